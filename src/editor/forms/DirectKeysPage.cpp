#include "editor/forms/DirectKeysPage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

#include "editor/ActionLines.h"
#include "editor/forms/TProjectForm.h"
#include "ui/Desktop.h"
#include "ui/Dialogs.h"
#include "ui/UiText.h"
#include "ui/WindowContext.h"

namespace orbik::editor {

namespace {
enum SignalItem { IrSignal, RepeatSignal, RadioSignal, ParallelPort, SerialPort, Pause };
}

DirectKeysPage::DirectKeysPage(TProjectForm& form, ui::WindowContext& context)
    : QWidget(&form), form_(form), context_(context) {
    setObjectName("DirectKeysPage");
    Build();
    form_.SetPageHooks(form_.PageTab(TProjectForm::Page::DKeys), {[this] {
                                                                      ConfirmKey();
                                                                      SetPending(false);
                                                                  },
                                                                  [this] { ShowKey(); }});
    connect(&form_, &TProjectForm::ModelLoaded, this, &DirectKeysPage::ShowKey);
    ShowKey();
}

void DirectKeysPage::Build() {
    ui::UiTexts text(context_.settings);
    auto caption = [&](const char* name, const char* defaultText) {
        return text(std::string("PF_") + name, defaultText);
    };
    auto* keysLabel = new QLabel(caption("CB_DKeys", "Please Select Direct Key:"), this);
    keys_ = new QComboBox(this);
    keys_->setObjectName("CB_DKeys");
    keysLabel->setBuddy(keys_);
    const QString directKey = caption("DirectKey", "Direct Key");
    for (int n = 1; n <= kDirectKeyCount; ++n) keys_->addItem(directKey + " " + QString::number(n));
    active_ = new QCheckBox(caption("CB_Active", "Active"), this);
    active_->setObjectName("CB_Active");
    actions_ = new QListWidget(this);
    actions_->setObjectName("LB_DKey_Actions");

    signals_ = MakeRadioGroup(
        this, "RG_DKeySignals", caption("RG_DKeySignals", "Interface"),
        {"IR Signal", "Repeat Signal", "Radio Signal", "Parallel Port", "Serial Port", "Pause"},
        text);
    const QString timeHint = caption("TimeHint", "Select Time / ms");
    auto* inputs = new QVBoxLayout;
    static_cast<QBoxLayout*>(signals_.box->layout())->addLayout(inputs);
    buttons1_ = MakeButtonsBox(signals_.box, "CB_DKeyButtons1");
    devices_ = new QComboBox(signals_.box);
    devices_->setObjectName("CB_DKeyDevices");
    buttons2_ = MakeButtonsBox(signals_.box, "CB_DKeyButtons2");
    repTime_ = MakeTimesBox(signals_.box, "CB_DKeyRepTime", timeHint);
    pause_ = MakeTimesBox(signals_.box, "CB_DKeyPause", timeHint);
    for (QWidget* input :
         std::initializer_list<QWidget*>{buttons1_, devices_, buttons2_, repTime_, pause_})
        inputs->addWidget(input);
    inputs->addStretch();

    add_ = MakeButton(this, "DKeyAdd_B", "+", caption("DKeyAdd_B", "Add"));
    insert_ = MakeButton(this, "DKeyInsert_B", "n", caption("DKeyInsert_B", "Insert"));
    delete_ = MakeButton(this, "DKeyDelete_B", "x", caption("DKeyDelete_B", "Delete"));
    const SpinButton spin = MakeSpinButton(this, "SpinButton2");
    up_ = spin.up;
    down_ = spin.down;
    confirm_ = MakeButton(this, "ConfirmDKey_B", caption("ConfirmDKey_B", "Confirm"));
    restore_ = MakeButton(this, "RestoreDKey_B", caption("RestoreDKey_B", "Restore"));

    auto* top = new QHBoxLayout;
    top->addWidget(keysLabel);
    top->addWidget(keys_);
    top->addWidget(active_);
    top->addStretch();
    auto* editButtons = new QVBoxLayout;
    for (QWidget* button : std::initializer_list<QWidget*>{add_, insert_, delete_}) {
        button->setMaximumWidth(32);
        editButtons->addWidget(button);
    }
    editButtons->addStretch();
    auto* middle = new QHBoxLayout;
    middle->addWidget(actions_, 2);
    middle->addWidget(spin.column);
    middle->addLayout(editButtons);
    middle->addWidget(signals_.box, 2);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(confirm_);
    bottom->addWidget(restore_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle);
    layout->addLayout(bottom);

    connect(keys_, &QComboBox::currentIndexChanged, this, &DirectKeysPage::ShowKey);
    connect(active_, &QCheckBox::clicked, this, &DirectKeysPage::CB_ActiveClick);
    connect(signals_.buttons, &QButtonGroup::idToggled, this, &DirectKeysPage::UpdateControls);
    actions_->installEventFilter(this);
    connect(actions_, &QListWidget::currentRowChanged, this, &DirectKeysPage::UpdateControls);
    connect(add_, &QPushButton::clicked, this, &DirectKeysPage::DKeyAdd_BClick);
    connect(insert_, &QPushButton::clicked, this, &DirectKeysPage::DKeyInsert_BClick);
    connect(delete_, &QPushButton::clicked, this, &DirectKeysPage::DKeyDelete_BClick);
    connect(up_, &QToolButton::clicked, this, [this] { Move(true); });
    connect(down_, &QToolButton::clicked, this, [this] { Move(false); });
    connect(confirm_, &QPushButton::clicked, this, &DirectKeysPage::ConfirmDKey_BClick);
    connect(restore_, &QPushButton::clicked, this, &DirectKeysPage::RestoreDKey_BClick);
}

void DirectKeysPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FillDevices();  // the device page may have made new ones
}

void DirectKeysPage::FillDevices() {
    const QString chosen = devices_->currentText();
    devices_->clear();
    devices_->addItem({});  // no device: the key sends to the one selected
    for (const DeviceRecord& device : form_.Model().devices)
        devices_->addItem(ui::FromCp1252(device.name));
    devices_->setCurrentIndex(std::max(0, devices_->findText(chosen)));
}

int DirectKeysPage::Key() const {
    return keys_->currentIndex() + 1;
}

void DirectKeysPage::ShowKey() {
    FillDevices();
    const DirectKeySlot& key = form_.Model().directKeys.at(static_cast<std::size_t>(Key() - 1));
    lines_ = key.active ? key.procedure : ActionLines{};
    active_->setChecked(key.active);
    signals_.ChooseNone();
    ShowLines(std::nullopt);
    SetPending(false);
}

void DirectKeysPage::ShowLines(std::optional<std::size_t> selected) {
    ShowActionLines(*actions_, lines_, selected);
    UpdateControls();
}

void DirectKeysPage::SetPending(bool pending) {
    pending_ = pending;
    if (!pending) listChanged_ = false;
    if (pending) form_.MarkChanged();
    UpdateControls();
}

void DirectKeysPage::Changed(std::optional<std::size_t> selected) {
    listChanged_ = true;
    ShowLines(selected);
    SetPending(true);
}

void DirectKeysPage::UpdateControls() {
    const auto kind = ActionListKind::DirectKey;
    const bool active = active_->isChecked();
    const auto chosen = signals_.Chosen();
    const auto selected = SelectedLine(*actions_);
    // A changed list belongs to its key: first confirm or restore it.
    keys_->setEnabled(!pending_);
    active_->setEnabled(!listChanged_);
    signals_.box->setEnabled(active);
    add_->setEnabled(active && chosen);
    insert_->setEnabled(active && chosen && selected && CanInsertBefore(kind, lines_, *selected));
    delete_->setEnabled(active && selected && CanDelete(kind, lines_, *selected));
    up_->setEnabled(active && selected && CanMove(kind, lines_, *selected, true));
    down_->setEnabled(active && selected && CanMove(kind, lines_, *selected, false));
    confirm_->setEnabled(pending_);
    restore_->setEnabled(pending_);
    buttons1_->setVisible(active && chosen == IrSignal);
    devices_->setVisible(active && chosen == IrSignal);
    buttons2_->setVisible(active && chosen == RepeatSignal);
    repTime_->setVisible(active && chosen == RepeatSignal);
    pause_->setVisible(active && chosen == Pause);
}

void DirectKeysPage::CB_ActiveClick() {
    const bool stored = form_.Model().directKeys.at(static_cast<std::size_t>(Key() - 1)).active;
    if (!active_->isChecked()) signals_.ChooseNone();
    if (active_->isChecked() != stored) {
        SetPending(true);
    } else {
        SetPending(false);
        form_.MarkClean();
    }
}

std::vector<std::string> DirectKeysPage::Compose() {
    switch (signals_.Chosen().value_or(-1)) {
        case IrSignal:
            return DirectKeyIrSignalLines(ComboText(*buttons1_), ComboText(*devices_));
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
}

void DirectKeysPage::DKeyAdd_BClick() {
    if (!add_->isEnabled()) return;
    const auto added = Compose();
    if (added.empty()) return;
    AddActions(ActionListKind::DirectKey, lines_, added);
    // The last added line, just before the closing "PopDevice".
    Changed(lines_.size() - 2);
}

void DirectKeysPage::DKeyInsert_BClick() {
    const auto selected = SelectedLine(*actions_);
    if (!selected || !insert_->isEnabled()) return;
    const auto added = Compose();
    if (added.empty() || !InsertActions(ActionListKind::DirectKey, lines_, *selected, added))
        return;
    Changed(*selected + added.size());
}

bool DirectKeysPage::eventFilter(QObject* watched, QEvent* event) {
    if (ui::IsDeleteKeyIn(actions_, watched, event)) {
        DKeyDelete_BClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void DirectKeysPage::DKeyDelete_BClick() {
    const auto selected = SelectedLine(*actions_);
    if (!selected || !delete_->isEnabled()) return;
    if (auto next = DeleteAction(ActionListKind::DirectKey, lines_, *selected)) Changed(next);
}

void DirectKeysPage::Move(bool up) {
    const auto selected = SelectedLine(*actions_);
    if (!selected) return;
    if (auto moved = MoveAction(ActionListKind::DirectKey, lines_, *selected, up)) Changed(moved);
}

void DirectKeysPage::ConfirmKey() {
    ConfirmDirectKey(form_.Model(), Key(), active_->isChecked(), lines_);
    if (!active_->isChecked()) lines_.clear();
    ShowLines(std::nullopt);
}

void DirectKeysPage::ConfirmDKey_BClick() {
    ConfirmKey();
    SetPending(false);
    form_.SaveProject();
    form_.RefreshLists();
}

void DirectKeysPage::RestoreDKey_BClick() {
    ShowKey();
    form_.MarkClean();
}

}  // namespace orbik::editor
