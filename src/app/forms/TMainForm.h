#pragma once
// The frame of the configuration program: menu, tool bar, status bar and
// the area in which project windows open.

#include <QMainWindow>
#include <memory>

#include "settings/Settings.h"

class QAction;
class QLabel;
class QMdiArea;

namespace Ui {
class TMainForm;
}

namespace orbik::ui {
class Dialogs;
class ProjectWindow;
}  // namespace orbik::ui
namespace orbik::link {
class DeviceLink;
struct TransferJob;
}  // namespace orbik::link

namespace orbik::app {

class TMainForm : public QMainWindow {
    Q_OBJECT

  public:
    // Start-up: reads the settings of `programDir`, tests the port once and
    // applies the texts of the program language.
    TMainForm(const std::filesystem::path& programDir, ui::Dialogs& dialogs,
              QWidget* parent = nullptr);
    ~TMainForm() override;

    void ApplyMainTexts(const std::string& language);

    settings::Settings& Settings() { return settings_; }
    link::DeviceLink& Link() { return *link_; }
    QMdiArea* ProjectArea() const;
    // The active project window, or null when none is open.
    ui::ProjectWindow* ActiveProjectWindow() const;
    // Project windows call these to switch the two project commands.
    void SetProjectCommandsEnabled(bool enabled);

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
    void DataCreateFileClick();
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
    QString StartDir() const;

    std::unique_ptr<Ui::TMainForm> ui_;
    ui::Dialogs& dialogs_;
    settings::Settings settings_;
    std::unique_ptr<link::DeviceLink> link_;
    QLabel* portPanel_ = nullptr;
    QLabel* directoryPanel_ = nullptr;
};

}  // namespace orbik::app
