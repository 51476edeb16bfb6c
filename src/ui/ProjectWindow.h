#pragma once
// What the main window asks of a project window (a child window of its
// multiple-document area). The project window widget implements it.

#include <string>

namespace orbik::ui {

class ProjectWindow {
  public:
    virtual ~ProjectWindow() = default;

    virtual std::string ProjectName() const = 0;
    virtual bool DirectKeysShown() const = 0;
    virtual void SetDirectKeysShown(bool shown) = 0;
    // The window's build command.
    virtual void CreateFile() = 0;
    // Puts the main window's project commands (Create File, Transfer Config,
    // Show Direct Keys) into this window's state: it became the active one.
    virtual void ShowCommandStates() = 0;
    // Taking back the last change of the project's files, and doing it again.
    virtual bool CanUndo() const = 0;
    virtual bool CanRedo() const = 0;
    virtual void Undo() = 0;
    virtual void Redo() = 0;
};

}  // namespace orbik::ui
