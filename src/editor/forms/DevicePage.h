#pragma once
// The page "Edit Device" of the project window: the code files of the
// device of the selected entry, the signals of one of them, and the
// commands that learn, take and edit signals. The files are worked on in
// the working folder (DeviceEdit); the page only shows and commands.

#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <string>

#include "editor/DeviceEdit.h"
#include "editor/ProjectModel.h"
#include "signals/SignalNames.h"
#include "signals/SlotData.h"

class QAction;
class QListWidget;
class QListWidgetItem;
class QToolBar;
class QTreeWidget;
class QLabel;
namespace orbik::ui {
class WindowContext;
}

namespace orbik::editor {

class TProjectForm;

class DevicePage : public QWidget {
    Q_OBJECT

  public:
    DevicePage(TProjectForm& form, ui::WindowContext& context);
    ~DevicePage() override;

    // What the gauge shows: the header and every stored block.
    std::uint64_t BytesUsed() const { return signals::BytesUsed(slots_); }
    bool DeviceModified() const { return deviceModified_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Fills the page for the selected entry when the page is shown.
    void ShowDevice();
    void FillList();
    void LB_IRDevicesClick();
    void LB_IRDevicesTick(QListWidgetItem* item);
    void ShowCodeFile();
    void FillSignals();
    void UpdateButtons();
    void UpdateSignalTools();
    void SetEditing(bool editing);
    void ShowGauge();
    void Changed();
    void Failed(const std::string& message);

    void TB_NewDevClick();
    void TB_AddDevClick();
    void TB_CopyDevClick();
    void TB_EditDevClick();
    void TB_DelDevClick();
    void DeleteSelected();
    void TB_SaveDevClick();
    void DropChanges();
    void TB_ScanSigClick();
    void TB_AddSigClick();
    void TB_EditSigClick();
    void TB_DelSigClick();

    int SelectedFile() const;
    int SelectedSignal() const;
    std::filesystem::path WorkDir() const;
    std::filesystem::path LibraryDir() const;

    TProjectForm& form_;
    ui::WindowContext& context_;
    QListWidget* LB_IRDevices;
    QToolBar* ToolBar2;
    QToolBar* ToolBar3;
    QTreeWidget* LV_Signals;
    QAction* TB_NewDev;
    QAction* TB_AddDev;
    QAction* TB_CopyDev;
    QAction* TB_EditDev;
    QAction* TB_DelDev;
    QAction* TB_SaveDev;
    QAction* TB_ScanSig;
    QAction* TB_AddSig;
    QAction* TB_EditSig;
    QAction* TB_DelSig;
    QLabel* L_ReadOnly;

    Index device_;
    Index item_;
    bool readOnly_ = false;  // the device has the working folder's name
    CodeFileList list_;
    bool deviceModified_ = false;
    std::string edited_;  // the entry being edited (".ixp")
    signals::SlotData slots_;
    signals::SignalNameList names_ = signals::UnusedSignalNames();
    CodeFileView view_;  // the selected file while it is not edited
    bool filling_ = false;
    // Where the signal library dialog was left.
    int libraryTab_ = 0;
    int libraryRow_ = -1;
    int libraryTop_ = 0;
};

}  // namespace orbik::editor
