#pragma once
// A project window as the main window sees one, for window tests.

#include <QWidget>
#include <string>

#include "ui/ProjectWindow.h"
#include "ui/UiText.h"

namespace orbik::test {

class FakeProjectWindow : public QWidget, public ui::ProjectWindow {
  public:
    explicit FakeProjectWindow(std::string name) : name_(std::move(name)) {
        setWindowTitle(ui::FromCp1252(name_));
    }
    std::string ProjectName() const override { return name_; }
    bool DirectKeysShown() const override { return directKeys_; }
    void SetDirectKeysShown(bool shown) override { directKeys_ = shown; }
    void CreateFile() override { ++builds; }
    void ShowCommandStates() override { ++activations; }
    int activations = 0;
    bool CanUndo() const override { return canUndo; }
    bool CanRedo() const override { return canRedo; }
    void Undo() override { ++undos; }
    void Redo() override { ++redos; }
    int builds = 0;
    bool canUndo = false, canRedo = false;
    int undos = 0, redos = 0;

  private:
    std::string name_;
    bool directKeys_ = false;
};

}  // namespace orbik::test
