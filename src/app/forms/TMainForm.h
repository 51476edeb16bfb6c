#pragma once
// The frame of the configuration program: menu, tool bar, status bar and
// the area in which project windows open.

#include <QMainWindow>
#include <functional>
#include <memory>

#include "settings/Settings.h"
#include "ui/MainWindow.h"

class QAction;
class QLabel;
class QMdiSubWindow;

namespace Ui {
class TMainForm;
}

namespace orbik::ui {
class Dialogs;
class ProjectWindow;
class WindowContext;
}  // namespace orbik::ui
namespace orbik::link {
class DeviceLink;
struct TransferJob;
}  // namespace orbik::link

namespace orbik::app {

class TMainForm : public QMainWindow, public ui::MainWindow {
    Q_OBJECT

  public:
    // Makes the widget of a project window (a ui::ProjectWindow) for a
    // project name; tests put stand-ins in.
    using ProjectWindowFactory = std::function<QWidget*(const std::string& projectName)>;

    // Start-up: reads the settings of `programDir`, tests the port once and
    // applies the texts of the program language.
    TMainForm(const std::filesystem::path& programDir, ui::Dialogs& dialogs,
              QWidget* parent = nullptr);
    ~TMainForm() override;

    void ApplyMainTexts(const std::string& language);

    // What the main window hands to every window it opens.
    ui::WindowContext& Context() { return *context_; }
    void SetProjectWindowFactory(ProjectWindowFactory factory);

    // ui::MainWindow
    void SetStatusText(const QString& text) override;
    void SetCreateFileEnabled(bool enabled) override;
    void SetTransferConfigEnabled(bool enabled) override;
    void SetShowDirectKeysEnabled(bool enabled) override;
    void OpenProjectWindow(const std::string& projectName) override;
    QStringList ProjectWindowCaptions() const override;
    ui::ProjectWindow* ActiveProjectWindow() const override;
    void CloseActiveProjectWindow() override;

    QString PortPanelText() const;
    QString DirectoryPanelText() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FormCreate();
    void TestPort();
    void ConnectCommands();
    void FileCloseClick();
    void ShowDirectKeys1Click();
    void MenuEditShow();
    void DataCreateFileClick();
    void ExtrasBackupClick();
    void FileProjectsClick();
    void ExtrasOptionsClick();
    void MenuInfoClick();
    void DataTransConfigClick();
    void DataReadConfigClick();
    void DataTransMemClick();
    void DataReadMemClick();
    // Identify, then the transfer dialog for the job; the port is closed after.
    void RunTransferDialog(const link::TransferJob& job);
    bool CheckSendFile(const link::TransferJob& job);
    void Inform(const QString& title, const QString& text);
    void WarnDevice(const QString& message);
    QString StartDir() const;
    void UpdateCaption();
    void ProjectWindowActivated(QMdiSubWindow* sub);

    std::unique_ptr<Ui::TMainForm> ui_;
    ui::Dialogs& dialogs_;
    settings::Settings settings_;
    std::unique_ptr<link::DeviceLink> link_;
    std::unique_ptr<ui::WindowContext> context_;
    ProjectWindowFactory projectWindowFactory_;
    QLabel* portPanel_ = nullptr;
    QLabel* directoryPanel_ = nullptr;
    QString mainTitle_;
};

}  // namespace orbik::app
