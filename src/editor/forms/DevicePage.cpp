#include "editor/forms/DevicePage.h"

#include <QAction>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "editor/forms/TProjectForm.h"
#include "link/Protocol.h"
#include "link/TransferSession.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "project/ProjectLayout.h"
#include "projects/forms/TNewNameForm.h"
#include "signals/IcpLibrary.h"
#include "signals/SignalEdit.h"
#include "signals/forms/TEditSignalForm.h"
#include "signals/forms/TICPFilesForm.h"
#include "signals/forms/TIRFilesForm.h"
#include "signals/forms/TScanIRForm.h"
#include "ui/Desktop.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"
#include "ui/UiText.h"
#include "ui/WindowContext.h"

namespace orbik::editor {

namespace {

QAction* AddTool(QToolBar* bar, const char* name, const QString& text) {
    QAction* action = bar->addAction(text);
    action->setObjectName(name);
    if (QWidget* button = bar->widgetForAction(action)) button->setObjectName(name);
    return action;
}

}  // namespace

DevicePage::DevicePage(TProjectForm& form, ui::WindowContext& context)
    : form_(form), context_(context) {
    setObjectName("DevicePage");
    ui::UiTexts text(context.settings);
    auto caption = [&](const char* control, const char* defaultText) {
        return text(std::string("PF_") + control, defaultText);
    };
    LB_IRDevices = new QListWidget(this);
    LB_IRDevices->setObjectName("LB_IRDevices");
    LB_IRDevices->installEventFilter(this);
    ToolBar2 = new QToolBar(this);
    ToolBar2->setObjectName("ToolBar2");
    TB_NewDev = AddTool(ToolBar2, "TB_NewDev", caption("TB_NewDev", "New IR Device"));
    TB_AddDev = AddTool(ToolBar2, "TB_AddDev", caption("TB_AddDev", "Add IR Device"));
    TB_CopyDev = AddTool(ToolBar2, "TB_CopyDev", caption("TB_CopyDev", "Copy IR Device"));
    TB_EditDev = AddTool(ToolBar2, "TB_EditDev", caption("TB_EditDev", "Edit IR Device"));
    TB_DelDev = AddTool(ToolBar2, "TB_DelDev", caption("TB_DelDev", "Delete IR Device"));
    TB_SaveDev = AddTool(ToolBar2, "TB_SaveDev", caption("TB_SaveDev", "Save Changes"));
    LV_Signals = new QTreeWidget(this);
    LV_Signals->setObjectName("LV_Signals");
    LV_Signals->setRootIsDecorated(false);
    LV_Signals->setHeaderLabels({caption("LV_Signals0", "Button"),
                                 caption("LV_Signals1", "Signalname"),
                                 caption("LV_Signals2", "Length")});
    LV_Signals->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ToolBar3 = new QToolBar(this);
    ToolBar3->setObjectName("ToolBar3");
    TB_ScanSig = AddTool(ToolBar3, "TB_ScanSig", caption("TB_ScanSig", "Scan/Test Signal"));
    TB_AddSig = AddTool(ToolBar3, "TB_AddSig", caption("TB_AddSig", "Signal from File"));
    TB_EditSig = AddTool(ToolBar3, "TB_EditSig", caption("TB_EditSig", "Edit Signal"));
    TB_DelSig = AddTool(ToolBar3, "TB_DelSig", caption("TB_DelSig", "Delete Signal"));
    L_ReadOnly = new QLabel(this);
    L_ReadOnly->setObjectName("L_ReadOnly");
    L_ReadOnly->setWordWrap(true);
    L_ReadOnly->setText(text("DeviceReadOnly", std::string(kWorkFolderDeviceText)));
    L_ReadOnly->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ToolBar2);
    layout->addWidget(L_ReadOnly);
    layout->addWidget(LB_IRDevices, 1);
    layout->addWidget(ToolBar3);
    layout->addWidget(LV_Signals, 3);

    connect(TB_NewDev, &QAction::triggered, this, &DevicePage::TB_NewDevClick);
    connect(TB_AddDev, &QAction::triggered, this, &DevicePage::TB_AddDevClick);
    connect(TB_CopyDev, &QAction::triggered, this, &DevicePage::TB_CopyDevClick);
    connect(TB_EditDev, &QAction::triggered, this, &DevicePage::TB_EditDevClick);
    connect(TB_DelDev, &QAction::triggered, this, &DevicePage::TB_DelDevClick);
    connect(TB_SaveDev, &QAction::triggered, this, &DevicePage::TB_SaveDevClick);
    connect(TB_ScanSig, &QAction::triggered, this, &DevicePage::TB_ScanSigClick);
    connect(TB_AddSig, &QAction::triggered, this, &DevicePage::TB_AddSigClick);
    connect(TB_EditSig, &QAction::triggered, this, &DevicePage::TB_EditSigClick);
    connect(TB_DelSig, &QAction::triggered, this, &DevicePage::TB_DelSigClick);
    connect(LB_IRDevices, &QListWidget::currentRowChanged, this, &DevicePage::LB_IRDevicesClick);
    connect(LB_IRDevices, &QListWidget::itemChanged, this, &DevicePage::LB_IRDevicesTick);
    connect(LV_Signals, &QTreeWidget::currentItemChanged, this, &DevicePage::UpdateSignalTools);

    // Shown after the project window has settled the page that was left
    // (and emptied the working folder when it was this one).
    QWidget* tab = form.PageTab(TProjectForm::Page::Device);
    auto* tabs = qobject_cast<QTabWidget*>(tab->parentWidget()->parentWidget());
    connect(tabs, &QTabWidget::currentChanged, this, [this, tabs, tab] {
        if (tabs->currentWidget() == tab) ShowDevice();
    });
    connect(&form, &TProjectForm::EntrySelected, this, [this, tabs, tab] {
        if (tabs->currentWidget() == tab) ShowDevice();
    });
    form.SetPageHooks(tab, {[this] { TB_SaveDevClick(); }, [this] { DropChanges(); }});
    form.AttachPage(TProjectForm::Page::Device, this);
    SetEditing(false);
}

DevicePage::~DevicePage() = default;

std::filesystem::path DevicePage::WorkDir() const {
    if (readOnly_)
        return project::DeviceTypeDir(form_.ProjectDir(), form_.Model().devices[*device_].name);
    return project::DeviceWorkDir(form_.ProjectDir());
}

std::filesystem::path DevicePage::LibraryDir() const {
    return platform::JoinSetting(context_.ProgramDir(), context_.settings.irIcp);
}

int DevicePage::SelectedFile() const {
    return LB_IRDevices->currentRow();
}

int DevicePage::SelectedSignal() const {
    QTreeWidgetItem* item = LV_Signals->currentItem();
    return item ? LV_Signals->indexOfTopLevelItem(item) : -1;
}

void DevicePage::Failed(const std::string& message) {
    context_.dialogs.Warn(this, form_.windowTitle(), ui::FromCp1252(message));
}

void DevicePage::ShowDevice() {
    device_.reset();
    item_.reset();
    edited_.clear();
    slots_ = {};
    list_ = {};
    FillList();
    SetEditing(false);
    LV_Signals->clear();
    std::optional<EntryRef> entry = form_.SelectedEntry();
    if (!entry) return;
    const MenuEntry& selected = EntryAt(form_.Model(), *entry);
    if (!selected.item || !selected.device) return;
    device_ = selected.device;
    item_ = selected.item;
    const DeviceRecord& device = form_.Model().devices[*device_];
    // The working folder belongs to a device of that name: nothing may be
    // copied into it or emptied, so every device is only shown.
    readOnly_ = HasWorkFolderDevice(form_.Model());
    L_ReadOnly->setVisible(readOnly_);
    std::vector<std::string> failures;
    if (!readOnly_) {
        // What another device left there is not this device's.
        fs::path work = WorkDir();
        if (platform::DirectoryExists(work)) platform::EmptyDirectory(work);
    }
    list_ = OpenCodeFiles(form_.ProjectDir(), device, form_.Model().items[*item_].startOption,
                          !readOnly_, &failures);
    for (const std::string& failure : failures) Failed(failure);
    FillList();
    SetEditing(false);
    if (list_.ticked >= 0)
        LB_IRDevices->setCurrentRow(list_.ticked);
    else if (!list_.files.empty())
        LB_IRDevices->setCurrentRow(0);
    ShowCodeFile();
}

void DevicePage::FillList() {
    filling_ = true;
    LB_IRDevices->clear();
    for (std::size_t i = 0; i < list_.files.size(); ++i) {
        auto* item = new QListWidgetItem(ui::FromCp1252(list_.files[i]), LB_IRDevices);
        Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
        // While one file is ticked no other can be.
        if (list_.ticked < 0 || list_.ticked == int(i)) flags |= Qt::ItemIsEnabled;
        item->setFlags(flags);
        item->setCheckState(list_.ticked == int(i) ? Qt::Checked : Qt::Unchecked);
    }
    filling_ = false;
}

void DevicePage::LB_IRDevicesClick() {
    if (filling_) return;
    ShowCodeFile();
}

void DevicePage::LB_IRDevicesTick(QListWidgetItem* item) {
    if (filling_ || readOnly_) return;
    int row = LB_IRDevices->row(item);
    bool ticked = item->checkState() == Qt::Checked;
    if (ticked == (list_.ticked == row)) return;
    list_.ticked = ticked ? row : -1;
    FillList();
    LB_IRDevices->setCurrentRow(row);
    Changed();
}

void DevicePage::ShowCodeFile() {
    int row = SelectedFile();
    if (!deviceModified_ && row >= 0 && row < int(list_.files.size())) {
        view_ = ReadCodeFile(WorkDir(), list_.files[std::size_t(row)], !readOnly_);
        names_ = view_.names;
        FillSignals();
    } else if (!deviceModified_) {
        LV_Signals->clear();
    }
    UpdateButtons();
}

void DevicePage::FillSignals() {
    int current = SelectedSignal();
    LV_Signals->clear();
    for (int k = 0; k < signals::kSignalCount; ++k) {
        auto* row = new QTreeWidgetItem(LV_Signals);
        row->setText(0, ui::FromCp1252(signals::SignalKey(k)));
        // Not being edited: the header says which signals are learned, no lengths.
        bool learned =
            deviceModified_ ? signals::IsLearned(slots_, k) : view_.learned[std::size_t(k)];
        row->setText(1, ui::FromCp1252(signals::ShownSignalName(learned, names_[std::size_t(k)])));
        row->setText(2, deviceModified_ ? ui::FromCp1252(signals::SignalLengthText(slots_, k))
                                        : QString("n.a."));
        row->setData(0, Qt::UserRole, learned ? 1 : 0);
        row->setIcon(0, style()->standardIcon(learned ? QStyle::SP_DialogApplyButton
                                                      : QStyle::SP_DialogNoButton));
    }
    if (current >= 0) LV_Signals->setCurrentItem(LV_Signals->topLevelItem(current));
}

void DevicePage::UpdateButtons() {
    bool idle = !deviceModified_ && !readOnly_ && device_.has_value();
    bool change = idle && CanChangeCodeFile(list_.files, SelectedFile());
    TB_CopyDev->setEnabled(change);
    TB_DelDev->setEnabled(change);
    TB_EditDev->setEnabled(change);
    UpdateSignalTools();
}

void DevicePage::UpdateSignalTools() {
    int k = SelectedSignal();
    bool editing = deviceModified_ && k >= 0;
    TB_ScanSig->setEnabled(editing);
    TB_AddSig->setEnabled(editing);
    bool learned = editing && signals::IsLearned(slots_, k);
    TB_EditSig->setEnabled(learned);
    TB_DelSig->setEnabled(learned);
}

void DevicePage::SetEditing(bool editing) {
    deviceModified_ = editing;
    bool idle = !editing && !readOnly_ && device_.has_value();
    LB_IRDevices->setEnabled(!editing);
    TB_NewDev->setEnabled(idle);
    TB_AddDev->setEnabled(idle);
    TB_SaveDev->setEnabled(editing);
    if (QWidget* tree = form_.findChild<QWidget*>("TV_Project")) tree->setEnabled(!editing);
    UpdateButtons();
}

void DevicePage::ShowGauge() {
    form_.SetBytesUsed(std::int64_t(BytesUsed()));
}

void DevicePage::Changed() {
    form_.MarkChanged();
    TB_SaveDev->setEnabled(true);
}

void DevicePage::TB_NewDevClick() {
    fs::path work = WorkDir();
    std::string name;
    for (;;) {
        projects::TNewNameForm prompt(context_, this);
        prompt.SetMaxLength(int(kCodeFileNameBound));
        auto answer = ui::RunModalForm(context_.dialogs, prompt);
        if (!answer) return;
        std::string refused = CheckNewCodeFileName(work, answer->name);
        if (refused.empty()) {
            name = answer->name;
            break;
        }
        Failed(refused);
    }
    std::string file, error;
    signals::SlotData slots;
    fs::path templateFile =
        platform::JoinSetting(context_.ProgramDir(), context_.settings.defIr) / kTemplateFile;
    if (!CreateCodeFile(work, name, templateFile, &file, &slots, &error)) return Failed(error);
    Changed();
    list_.files.push_back(file);
    list_.ticked = int(list_.files.size()) - 1;
    FillList();
    LB_IRDevices->setCurrentRow(list_.ticked);
    edited_ = file;
    slots_ = std::move(slots);
    names_ = signals::UnusedSignalNames();
    SetEditing(true);
    FillSignals();
    ShowGauge();
}

void DevicePage::TB_AddDevClick() {
    signals::TICPFilesForm dialog(context_, {LibraryDir(), WorkDir()}, this);
    auto added = ui::RunModalForm(context_.dialogs, dialog);
    if (!added || added->added.empty()) return;
    Changed();
    list_.files.push_back(added->added);
    FillList();
    LB_IRDevices->setCurrentRow(int(list_.files.size()) - 1);
}

void DevicePage::TB_CopyDevClick() {
    int row = SelectedFile();
    if (row < 0) return;
    std::string error;
    switch (signals::CopyCodeFile(WorkDir(), list_.files[std::size_t(row)], LibraryDir(),
                                  list_.files[std::size_t(row)], &error)) {
        case signals::FileMove::Done:
            context_.dialogs.Inform(this, form_.windowTitle(),
                                    ui::FromCp1252(signals::kFileCopiedText));
            break;
        case signals::FileMove::Exists:
            context_.dialogs.Inform(this, form_.windowTitle(),
                                    ui::FromCp1252(signals::kFileExistsText));
            break;
        case signals::FileMove::Failed:
            Failed(error);
            break;
    }
}

void DevicePage::TB_EditDevClick() {
    int row = SelectedFile();
    if (row < 0) return;
    form_.BeforeDiskChange();
    std::string edited, error;
    signals::SlotData slots;
    if (!OpenForEditing(WorkDir(), list_.files[std::size_t(row)], &edited, &slots, &error))
        return Failed(error);
    context_.mainWindow.SetCreateFileEnabled(false);
    Changed();
    list_.files[std::size_t(row)] = edited;
    LB_IRDevices->item(row)->setText(ui::FromCp1252(edited));
    edited_ = edited;
    slots_ = std::move(slots);
    SetEditing(true);
    FillSignals();
    ShowGauge();
}

void DevicePage::TB_DelDevClick() {
    ui::UiTexts text(context_.settings);
    if (!context_.dialogs.AskYesNo(this, form_.windowTitle(),
                                   text("DeleteIRDevice", std::string(kDeleteIrDeviceQuestion))))
        return;
    DeleteSelected();
}

void DevicePage::DeleteSelected() {
    int row = SelectedFile();
    if (row < 0 || !TB_DelDev->isEnabled()) return;
    std::string error;
    if (!signals::DeleteCodeFile(WorkDir(), list_.files[std::size_t(row)], &error))
        return Failed(error);
    Changed();
    list_.files.erase(list_.files.begin() + row);
    if (list_.ticked == row)
        list_.ticked = -1;
    else if (list_.ticked > row)
        --list_.ticked;
    FillList();
    LB_IRDevices->setCurrentRow(std::min(row, int(list_.files.size()) - 1));
    ShowCodeFile();
}

bool DevicePage::eventFilter(QObject* watched, QEvent* event) {
    if (ui::IsDeleteKeyIn(LB_IRDevices, watched, event)) {
        DeleteSelected();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void DevicePage::TB_SaveDevClick() {
    if (!device_ || readOnly_) return;
    form_.BeforeDiskChange();
    std::string error;
    if (deviceModified_) {
        std::string stored;
        int row =
            int(std::find(list_.files.begin(), list_.files.end(), edited_) - list_.files.begin());
        if (!StoreEditedFile(WorkDir(), edited_, slots_, names_, &stored, &error)) {
            // The working copy stays; the user may try again.
            return Failed(error);
        }
        if (row < int(list_.files.size())) list_.files[std::size_t(row)] = stored;
    }
    for (const std::string& failure :
         StoreDevice(form_.Model(), *device_, item_, form_.ProjectDir(), list_))
        Failed(failure);
    int row = SelectedFile();
    edited_.clear();
    slots_ = {};
    SetEditing(false);
    LV_Signals->clear();
    form_.ClearBytesUsed();
    form_.SaveProject();
    FillList();
    LB_IRDevices->setCurrentRow(std::min(row, int(list_.files.size()) - 1));
    ShowCodeFile();
}

void DevicePage::DropChanges() {
    edited_.clear();
    slots_ = {};
    SetEditing(false);
    LV_Signals->clear();
}

void DevicePage::TB_ScanSigClick() {
    int k = SelectedSignal();
    if (!deviceModified_ || k < 0) return;
    link::DeviceLink& device = context_.link;
    link::PortGuard port(device);
    if (!port.IsOpen()) return;
    std::optional<signals::ScanResult> learned;
    link::RunSession(device, [&](bool found) {
        if (!found) return;
        signals::TScanIRForm dialog(
            context_, {k, std::string(signals::SignalKey(k)), names_[std::size_t(k)], slots_},
            this);
        learned = ui::RunModalForm(context_.dialogs, dialog);
    });
    if (!learned) return;
    slots_.slots[signals::FirstSlot(k)] = learned->first;
    slots_.slots[signals::SecondSlot(k)] = learned->second;
    names_[std::size_t(k)] = learned->signalName;
    FillSignals();
    UpdateSignalTools();
    ShowGauge();
}

void DevicePage::TB_AddSigClick() {
    int k = SelectedSignal();
    if (!deviceModified_ || k < 0) return;
    fs::path folder = platform::JoinSetting(context_.ProgramDir(), context_.settings.irIr);
    signals::TIRFilesForm dialog(
        context_, {folder, k, slots_, names_, {libraryTab_, libraryRow_, libraryTop_}}, this);
    auto result = ui::RunModalForm(context_.dialogs, dialog);
    if (!result) return;
    libraryTab_ = result->place.tab;
    libraryRow_ = result->place.row;
    libraryTop_ = result->place.top;
    slots_ = result->file;
    names_ = result->names;
    FillSignals();
    UpdateSignalTools();
    ShowGauge();
}

void DevicePage::TB_EditSigClick() {
    int k = SelectedSignal();
    if (!deviceModified_ || k < 0 || !signals::IsLearned(slots_, k)) return;
    signals::TEditSignalForm dialog(
        context_, {names_[std::size_t(k)], signals::Repetitions(slots_, k)}, this);
    auto result = ui::RunModalForm(context_.dialogs, dialog);
    if (!result) return;
    names_[std::size_t(k)] = result->name;
    signals::SetRepetitions(slots_, k, result->repetitions);
    FillSignals();
    ShowGauge();
}

void DevicePage::TB_DelSigClick() {
    int k = SelectedSignal();
    if (!deviceModified_ || k < 0) return;
    signals::DeleteSignal(slots_, names_, k);
    FillSignals();
    UpdateSignalTools();
    ShowGauge();
}

}  // namespace orbik::editor
