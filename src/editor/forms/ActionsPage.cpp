#include "editor/forms/ActionsPage.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

#include "editor/ActionLines.h"
#include "editor/forms/TCreateRFForm.h"
#include "editor/forms/TEditActionForm.h"
#include "editor/forms/TLinkBTForm.h"
#include "editor/forms/TProjectForm.h"
#include "ui/Desktop.h"
#include "ui/Dialogs.h"
#include "ui/UiText.h"
#include "ui/WindowContext.h"

namespace orbik::editor {

namespace {

// The items of the groups.
enum InterfaceItem { IrSignal, RepeatSignal, RadioSignal, ParallelPort, SerialPort, Pause };
enum TelephoneItem { SendNumber, DeleteNumber, AddDigit, DeleteDigit };
enum MenuItem { Sleep, Return };
enum BtItem { Answer, HangUp, Link, Unlink, FindName, SendBtNumber, More };

// The items of "More...": the digits, then Redial and voice recognition.
constexpr char kBtDigits[] = "0123456789*#R";

QBoxLayout* Column(QGroupBox* box) {
    auto* column = new QVBoxLayout;
    static_cast<QBoxLayout*>(box->layout())->addLayout(column);
    return column;
}

}  // namespace

ActionsPage::ActionsPage(TProjectForm& form, ui::WindowContext& context)
    : QWidget(&form), form_(form), context_(context) {
    setObjectName("ActionsPage");
    Build();
    form_.SetPageHooks(form_.PageTab(TProjectForm::Page::Configure), {[this] {
                                                                          ConfirmLines();
                                                                          SetPending(false);
                                                                      },
                                                                      [this] { ShowEntry(); }});
    connect(&form_, &TProjectForm::ModelLoaded, this, &ActionsPage::ShowEntry);
    connect(&form_, &TProjectForm::EntrySelected, this, &ActionsPage::ShowEntry);
    if (auto* writer = form_.findChild<QAction*>("ToolButton3"))
        connect(writer, &QAction::triggered, this, &ActionsPage::OpenRfWriter);
    ShowEntry();
}

void ActionsPage::Build() {
    ui::UiTexts text(context_.settings);
    auto caption = [&](const char* name, const char* defaultText) {
        return text(std::string("PF_") + name, defaultText);
    };

    actions_ = new QListWidget(this);
    actions_->setObjectName("LB_Actions");
    const SpinButton spin = MakeSpinButton(this, "SpinButton1");
    up_ = spin.up;
    down_ = spin.down;
    edit_ = MakeButton(this, "EditAction_B", caption("EditAction_B", "Edit"));
    confirm_ = MakeButton(this, "Confirm_B", caption("Confirm_B", "Confirm"));
    restore_ = MakeButton(this, "Restore_B", caption("Restore_B", "Restore"));

    groups_[Interface] = MakeRadioGroup(
        this, "RG_Signals", caption("RG_Signals", "Interface"),
        {"IR Signal", "Repeat Signal", "RF Signal", "Parallel Signal", "Serial Signal", "Pause"},
        text);
    groups_[Telephone] =
        MakeRadioGroup(this, "RG_Number", caption("RG_Number", "Telephone"),
                       {"Send Number", "Delete Number", "Add Digit", "Delete Digit"}, text);
    groups_[Menu] =
        MakeRadioGroup(this, "RG_Extra", caption("RG_Extra", "Menu"), {"Sleep", "Return"}, text);
    groups_[Bluetooth] = MakeRadioGroup(
        this, "RG_BT", caption("RG_BT", "Bluetooth"),
        {"Answer", "Hang up", "Link BT", "Unlink BT", "Find Name", "Send Name", "More..."}, text);

    const QString timeHint = caption("TimeHint", "Select Time / ms");
    QBoxLayout* inputs = Column(groups_[Interface].box);
    buttons_ = MakeButtonsBox(groups_[Interface].box, "CB_Buttons");
    devices_ = new QComboBox(groups_[Interface].box);
    devices_->setObjectName("CB_Devices");
    asDigit_ = new QCheckBox(caption("CB_Digit", "as digit"), groups_[Interface].box);
    asDigit_->setObjectName("CB_Digit");
    buttons2_ = MakeButtonsBox(groups_[Interface].box, "CB_Buttons2");
    repTime_ = MakeTimesBox(groups_[Interface].box, "CB_RepTime", timeHint);
    pause_ = MakeTimesBox(groups_[Interface].box, "CB_Pause", timeHint);
    for (QWidget* input :
         std::initializer_list<QWidget*>{buttons_, devices_, asDigit_, buttons2_, repTime_, pause_})
        inputs->addWidget(input);
    inputs->addStretch();

    inputs = Column(groups_[Telephone].box);
    send_ = MakeTimesBox(groups_[Telephone].box, "CB_Send", timeHint);
    addDigit_ = new QComboBox(groups_[Telephone].box);
    addDigit_->setObjectName("CB_AddDigit");
    for (char d = '0'; d <= '9'; ++d) addDigit_->addItem(QString(QChar(d)));
    addDigit_->setPlaceholderText(caption("CB_AddDigit", "Select Digit"));
    addDigit_->setCurrentIndex(-1);
    inputs->addWidget(send_);
    inputs->addWidget(addDigit_);
    inputs->addStretch();

    inputs = Column(groups_[Bluetooth].box);
    btFind_ = new QLineEdit(groups_[Bluetooth].box);
    btFind_->setObjectName("E_bt_find");
    btSend_ = new QLineEdit(groups_[Bluetooth].box);
    btSend_->setObjectName("E_bt_send");
    ConfigureFindNameFields(*btFind_, *btSend_, text);
    btMore_ = new QComboBox(groups_[Bluetooth].box);
    btMore_->setObjectName("CB_BT_More");
    const QString sendDigit = caption("SendDigit", "Send Digit");
    for (const char* d = kBtDigits; *d; ++d) btMore_->addItem(sendDigit + " " + QChar(*d));
    btMore_->addItem(caption("Redial", "Redial"));
    btMore_->addItem(caption("VoiceRecognition", "Start Voice Recogition"));
    inputs->addWidget(btFind_);
    inputs->addWidget(btSend_);
    inputs->addWidget(btMore_);
    inputs->addStretch();

    // The buttons of each group: "+", "n" and "x" with their hints.
    const struct {
        Group group;
        const char *add, *insert, *remove;
    } buttonNames[] = {{Interface, "Add_B1", "Insert_B1", "Delete_B1"},
                       {Telephone, "Add_B2", "Insert_B2", "Delete_B2"},
                       {Menu, "Add_B3", nullptr, nullptr},
                       {Bluetooth, "Add_B4", "Insert_B3", "Delete_B3"}};
    for (const auto& names : buttonNames) {
        QGroupBox* box = groups_[names.group].box;
        QBoxLayout* column = Column(box);
        add_[names.group] = MakeButton(box, names.add, "+", caption(names.add, "Add"));
        column->addWidget(add_[names.group]);
        connect(add_[names.group], &QPushButton::clicked, this,
                [this, group = names.group] { Add(group, Place::Append); });
        if (names.insert) {
            insert_[names.group] =
                MakeButton(box, names.insert, "n", caption(names.insert, "Insert"));
            delete_[names.group] =
                MakeButton(box, names.remove, "x", caption(names.remove, "Delete"));
            column->addWidget(insert_[names.group]);
            column->addWidget(delete_[names.group]);
            connect(insert_[names.group], &QPushButton::clicked, this,
                    [this, group = names.group] { Add(group, Place::Insert); });
            connect(delete_[names.group], &QPushButton::clicked, this, &ActionsPage::Delete);
        }
        column->addStretch();
        for (QPushButton* button : {add_[names.group], insert_[names.group], delete_[names.group]})
            if (button) button->setMaximumWidth(32);
        connect(groups_[names.group].buttons, &QButtonGroup::idToggled, this,
                &ActionsPage::UpdateControls);
    }

    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(edit_);
    listButtons->addStretch();
    listButtons->addWidget(confirm_);
    listButtons->addWidget(restore_);
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(actions_);
    listRow->addWidget(spin.column);
    auto* left = new QVBoxLayout;
    left->addLayout(listRow);
    left->addLayout(listButtons);
    auto* right = new QGridLayout;
    right->addWidget(groups_[Interface].box, 0, 0);
    right->addWidget(groups_[Telephone].box, 0, 1);
    right->addWidget(groups_[Bluetooth].box, 1, 0);
    right->addWidget(groups_[Menu].box, 1, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 2);
    layout->addLayout(right, 3);

    actions_->installEventFilter(this);
    connect(actions_, &QListWidget::currentRowChanged, this, &ActionsPage::UpdateControls);
    connect(actions_, &QListWidget::itemDoubleClicked, this, &ActionsPage::EditAction_BClick);
    connect(up_, &QToolButton::clicked, this, [this] { Move(true); });
    connect(down_, &QToolButton::clicked, this, [this] { Move(false); });
    connect(edit_, &QPushButton::clicked, this, &ActionsPage::EditAction_BClick);
    connect(confirm_, &QPushButton::clicked, this, &ActionsPage::Confirm_BClick);
    connect(restore_, &QPushButton::clicked, this, &ActionsPage::Restore_BClick);
    connect(buttons_, &QComboBox::currentIndexChanged, this, &ActionsPage::UpdateControls);
    connect(addDigit_, &QComboBox::currentIndexChanged, this, &ActionsPage::UpdateControls);
}

void ActionsPage::ShowEntry() {
    shown_ = form_.SelectedEntry();
    const ProjectModel& model = form_.Model();
    lines_.clear();
    devices_->clear();
    for (const DeviceRecord& device : model.devices) devices_->addItem(ui::FromCp1252(device.name));
    devices_->setCurrentIndex(-1);
    devices_->setEnabled(false);
    menuOffered_ = false;
    if (shown_) {
        const MenuEntry& entry = EntryAt(model, *shown_);
        lines_ = entry.procedure;
        if (entry.device) {
            devices_->setCurrentIndex(static_cast<int>(*entry.device));
            devices_->setEnabled(true);
        }
        menuOffered_ = MenuGroupOffered(model, *shown_);
    }
    ShowLines(std::nullopt);
    SetPending(false);
}

void ActionsPage::ShowLines(std::optional<std::size_t> selected) {
    ShowActionLines(*actions_, lines_, selected);
    UpdateControls();
}

void ActionsPage::SetPending(bool pending) {
    pending_ = pending;
    if (pending) form_.MarkChanged();
    UpdateControls();
}

void ActionsPage::Changed(std::optional<std::size_t> selected) {
    ShowLines(selected);
    SetPending(true);
}

bool ActionsPage::CanCompose(Group group) const {
    const auto chosen = groups_[group].Chosen();
    if (!chosen) return false;
    if (group == Telephone && *chosen == AddDigit) return addDigit_->currentIndex() >= 0;
    return true;
}

void ActionsPage::UpdateControls() {
    const bool editable = shown_ && form_.Model().hasExternalDisplay;
    const auto selected = SelectedLine(*actions_);
    const auto kind = ActionListKind::Procedure;
    for (Group group : {Interface, Telephone, Menu, Bluetooth}) {
        groups_[group].box->setEnabled(editable && (group != Menu || menuOffered_));
        add_[group]->setEnabled(editable && CanCompose(group));
        if (insert_[group]) {
            insert_[group]->setEnabled(editable && selected && CanCompose(group) &&
                                       CanInsertBefore(kind, lines_, *selected));
            delete_[group]->setEnabled(editable && selected && CanDelete(kind, lines_, *selected));
        }
    }
    add_[Menu]->setVisible(menuOffered_);
    edit_->setEnabled(editable && selected);
    up_->setEnabled(editable && selected && CanMove(kind, lines_, *selected, true));
    down_->setEnabled(editable && selected && CanMove(kind, lines_, *selected, false));
    confirm_->setEnabled(pending_);
    restore_->setEnabled(pending_);
    ShowInputs();
}

void ActionsPage::ShowInputs() {
    const auto signal = groups_[Interface].Chosen();
    const auto number = groups_[Telephone].Chosen();
    const auto bt = groups_[Bluetooth].Chosen();
    buttons_->setVisible(signal == IrSignal);
    devices_->setVisible(signal == IrSignal);
    asDigit_->setVisible(signal == IrSignal);
    asDigit_->setEnabled(IsDigitButton(ComboText(*buttons_)));
    buttons2_->setVisible(signal == RepeatSignal);
    repTime_->setVisible(signal == RepeatSignal);
    pause_->setVisible(signal == Pause);
    send_->setVisible(number == SendNumber);
    addDigit_->setVisible(number == AddDigit);
    btFind_->setVisible(bt == FindName);
    btSend_->setVisible(bt == FindName);
    btMore_->setVisible(bt == More);
}

std::vector<std::string> ActionsPage::Compose(Group group) {
    const int item = groups_[group].Chosen().value_or(-1);
    const ProjectModel& model = form_.Model();
    switch (group) {
        case Interface:
            switch (item) {
                case IrSignal: {
                    const MenuEntry& entry = EntryAt(model, *shown_);
                    const std::string own = entry.device ? model.devices[*entry.device].name : "";
                    return IrSignalLines(ComboText(*buttons_), asDigit_->isChecked(),
                                         devices_->isEnabled() ? ComboText(*devices_) : "", own);
                }
                case RepeatSignal:
                    return {StartScanLine(ComboText(*buttons2_), ComboText(*repTime_))};
                case RadioSignal:
                    return RadioSignalLines(context_, this);
                case ParallelPort:
                    return ParallelOutputLines(context_, this);
                case Pause:
                    return {WaitLine(ComboText(*pause_))};
                default:  // a serial port action is not composed here
                    return {};
            }
        case Telephone:
            switch (item) {
                case SendNumber:
                    return {SendTelephoneNumberLine(ComboText(*send_))};
                case DeleteNumber:
                    return {std::string(kClearTelephoneNumber)};
                case AddDigit:
                    return {AddTelNumberDigitLine(addDigit_->currentIndex())};
                case DeleteDigit:
                    return {std::string(kRemoveTelNumberDigit)};
                default:
                    return {};
            }
        case Menu:
            return item == Sleep ? SleepLines() : std::vector<std::string>{};
        case Bluetooth:
            switch (item) {
                case Answer:
                    return {SendBtLine(BtCommand::Answer)};
                case HangUp:
                    return {SendBtLine(BtCommand::HangUp)};
                case Link: {
                    TLinkBTForm dialog(context_, std::nullopt, this);
                    auto result = ui::RunModalForm(context_.dialogs, dialog);
                    if (!result || result->line.empty()) return {};
                    return {result->line};
                }
                case Unlink:
                    return {std::string(kDisconnectBt)};
                case FindName: {
                    ComposedLine composed = FindBtTelephoneNumberLine(
                        ui::ToCp1252(btFind_->text()), ui::ToCp1252(btSend_->text()));
                    if (composed.ok()) return {composed.line};
                    context_.dialogs.Warn(this, form_.windowTitle(),
                                          ui::FromCp1252(composed.error));
                    return {};
                }
                case SendBtNumber:
                    return {std::string(kSendBtTelephoneNumber)};
                case More: {
                    const int choice = btMore_->currentIndex();
                    const int digits = static_cast<int>(sizeof kBtDigits) - 1;
                    if (choice >= 0 && choice < digits)
                        return {*SendBtDigitLine(kBtDigits[choice])};
                    if (choice == digits) return {SendBtLine(BtCommand::Redial)};
                    if (choice == digits + 1) return {SendBtLine(BtCommand::VoiceRecognition)};
                    return {};
                }
                default:
                    return {};
            }
    }
    return {};
}

void ActionsPage::Add(Group group, Place place) {
    if (!shown_ || !CanCompose(group)) return;
    if (group == Menu && groups_[Menu].Chosen() == Return) {
        MenuReturn();
        return;
    }
    const auto selected = SelectedLine(*actions_);
    if (place == Place::Insert &&
        (!selected || !CanInsertBefore(ActionListKind::Procedure, lines_, *selected)))
        return;
    const std::vector<std::string> added = Compose(group);
    if (added.empty()) return;
    if (group == Menu) menuOffered_ = false;  // asleep: no second Sleep, no Return
    if (place == Place::Append) {
        AddActions(ActionListKind::Procedure, lines_, added);
        Changed(lines_.size() - 1);
    } else {
        InsertActions(ActionListKind::Procedure, lines_, *selected, added);
        // The selection stays on its line, so further inserts come before it too.
        Changed(*selected + added.size());
    }
}

bool ActionsPage::eventFilter(QObject* watched, QEvent* event) {
    if (ui::IsDeleteKeyIn(actions_, watched, event)) {
        Delete();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ActionsPage::Delete() {
    const auto selected = SelectedLine(*actions_);
    // The buttons say whether the selected line may go.
    if (!selected || !delete_[Interface]->isEnabled()) return;
    if (auto next = DeleteAction(ActionListKind::Procedure, lines_, *selected);
        next || lines_.empty())
        Changed(next);
}

void ActionsPage::Move(bool up) {
    const auto selected = SelectedLine(*actions_);
    if (!selected) return;
    if (auto moved = MoveAction(ActionListKind::Procedure, lines_, *selected, up)) Changed(moved);
}

void ActionsPage::EditAction_BClick() {
    const auto selected = SelectedLine(*actions_);
    if (!selected || !edit_->isEnabled()) return;
    const std::string& line = lines_[*selected];
    std::string edited;
    if (line.find("ConnectBt") != std::string::npos) {
        TLinkBTForm dialog(context_, ParseConnectBt(line), this);
        if (auto result = ui::RunModalForm(context_.dialogs, dialog)) edited = result->line;
    } else {
        TEditActionForm dialog(context_, line, this);
        if (auto result = ui::RunModalForm(context_.dialogs, dialog)) edited = result->line;
    }
    if (edited.empty()) return;
    lines_[*selected] = edited;
    Changed(selected);
}

void ActionsPage::ConfirmLines() {
    if (!shown_) return;
    ConfirmProcedure(form_.Model(), *shown_, lines_);
    lines_ = EntryAt(form_.Model(), *shown_).procedure;
    ShowLines(SelectedLine(*actions_));
}

void ActionsPage::Confirm_BClick() {
    ConfirmLines();
    SetPending(false);
    form_.SaveProject();
}

void ActionsPage::Restore_BClick() {
    ShowEntry();
    form_.MarkClean();
}

void ActionsPage::MenuReturn() {
    ui::UiTexts text(context_.settings);
    if (!context_.dialogs.AskYesNo(
            this, form_.windowTitle(),
            text("PF_DevSelOff", "Deviceselection must be switched off, ok?"))) {
        ShowEntry();
        form_.MarkClean();
        return;
    }
    ConfirmMenuReturn(form_.Model(), *shown_, lines_);
    menuOffered_ = false;
    ShowLines(lines_.size() - 1);
    SetPending(false);
    form_.SaveProject();
}

void ActionsPage::OpenRfWriter() {
    TCreateRFForm dialog(context_, this);
    ui::RunModalForm(context_.dialogs, dialog);
}

}  // namespace orbik::editor
