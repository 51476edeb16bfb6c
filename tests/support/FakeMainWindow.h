#pragma once
// The main window as the other windows see it, for window tests: it
// records what they ask and keeps its project windows in a list.

#include <memory>
#include <vector>

#include "support/FakeProjectWindow.h"
#include "ui/MainWindow.h"

namespace orbik::test {

class FakeMainWindow : public ui::MainWindow {
  public:
    void SetStatusText(const QString& text) override {
        statusText = text;
        statusTexts << text;
    }
    void SetCreateFileEnabled(bool enabled) override { createFileEnabled = enabled; }
    void SetTransferConfigEnabled(bool enabled) override { transferConfigEnabled = enabled; }
    void SetShowDirectKeysEnabled(bool enabled) override { showDirectKeysEnabled = enabled; }
    void OpenProjectWindow(const std::string& projectName) override {
        projects.push_back(std::make_unique<FakeProjectWindow>(projectName));
    }
    QStringList ProjectWindowCaptions() const override {
        QStringList captions;
        for (const auto& p : projects) captions << p->windowTitle();
        return captions;
    }
    ui::ProjectWindow* ActiveProjectWindow() const override {
        return projects.empty() ? nullptr : projects.back().get();
    }
    void CloseActiveProjectWindow() override {
        if (!projects.empty()) projects.pop_back();
    }

    QString statusText;
    QStringList statusTexts;  // every text, in order
    bool createFileEnabled = false;
    bool transferConfigEnabled = true;
    bool showDirectKeysEnabled = false;
    std::vector<std::unique_ptr<FakeProjectWindow>> projects;
};

}  // namespace orbik::test
