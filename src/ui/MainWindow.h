#pragma once
// What the other windows ask of the main window: its status panel 1, the
// enabling of three of its commands and its project windows. TMainForm
// implements it; a project window or the project list reaches the main
// window only through it.

#include <QStringList>
#include <string>

namespace orbik::ui {

class ProjectWindow;

class MainWindow {
  public:
    virtual ~MainWindow() = default;

    // Status bar panel 1: the port name, or a project window's progress.
    virtual void SetStatusText(const QString& text) = 0;
    // "Create File" (DataCreateFile).
    virtual void SetCreateFileEnabled(bool enabled) = 0;
    // The tool button "Transfer Config" (ToolButton7).
    virtual void SetTransferConfigEnabled(bool enabled) = 0;
    // "Show Direct Keys" (ShowDirectKeys1).
    virtual void SetShowDirectKeysEnabled(bool enabled) = 0;

    // Opens the project window of `projectName` (Windows-1252) as a child
    // window of the main window.
    virtual void OpenProjectWindow(const std::string& projectName) = 0;
    // The captions of the open project windows, oldest first.
    virtual QStringList ProjectWindowCaptions() const = 0;
    // The active project window (the newest when none has the focus); null
    // when none is open.
    virtual ProjectWindow* ActiveProjectWindow() const = 0;
    virtual void CloseActiveProjectWindow() = 0;
};

}  // namespace orbik::ui
