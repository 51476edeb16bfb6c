#include "editor/forms/MenuPage.h"

#include <QCheckBox>
#include <QEvent>

#include "editor/MenuDisk.h"
#include "editor/forms/TPrintForm.h"
#include "editor/forms/TProjectForm.h"
#include "platform/FileSystem.h"
#include "ui/Desktop.h"
#include "ui/Dialogs.h"
#include "ui/UiText.h"
#include "ui/WindowContext.h"
#include "ui_MenuPage.h"

namespace orbik::editor {

namespace {

struct Caption {
    const char* control;
    const char* defaultText;
};
constexpr Caption kCaptions[] = {
    {"GB_MenuSet", "Menu Settings"},     {"CB_Next", "Next"},
    {"CB_Execute", "Execute"},           {"CB_Sleep", "Sleep"},
    {"CB_devsel", "Deviceselection"},    {"CB_double", "Doubledigits"},
    {"ConfirmSet_B", "Confirm"},         {"GB_CreateDevice", "Device"},
    {"CreateDevice_B", "Create Device"}, {"GB_Edit", "Edit"},
    {"DeleteItem_B", "Delete Selected"}, {"AddItem_B", "Add Command"},
};

}  // namespace

MenuPage::MenuPage(TProjectForm& form, ui::WindowContext& context)
    : ui_(std::make_unique<Ui::MenuPage>()), form_(form), context_(context) {
    ui_->setupUi(this);
    for (QCheckBox* box :
         {ui_->CB_Next, ui_->CB_Execute, ui_->CB_Sleep, ui_->CB_devsel, ui_->CB_double})
        connect(box, &QCheckBox::toggled, this, &MenuPage::FlagBoxClick);
    connect(ui_->ConfirmSet_B, &QPushButton::clicked, this, &MenuPage::ConfirmSet_BClick);
    connect(ui_->CreateDevice_B, &QPushButton::clicked, this, &MenuPage::CreateDevice_BClick);
    connect(ui_->DeleteItem_B, &QPushButton::clicked, this, &MenuPage::DeleteItem_BClick);
    connect(ui_->AddItem_B, &QPushButton::clicked, this, &MenuPage::AddItem_BClick);
    connect(&form_, &TProjectForm::KeywordActivated, this, &MenuPage::AddItem_BClick);
    connect(&form_, &TProjectForm::EntrySelected, this, &MenuPage::ShowEntry);
    connect(&form_, &TProjectForm::ModelLoaded, this, [this] {
        ApplyTexts();
        ShowEntry();
    });
    ui_->GB_MenuSet->installEventFilter(this);
    // The listing shows the menu tree this page edits.
    form_.SetPrintCommand([this] {
        TPrintForm listing(context_, form_.Model(), form_.ProjectName(), &form_);
        ui::RunModalWindow(context_.dialogs, listing);
    });
    // A pending change of the boxes is confirmed into the entry they show.
    form_.SetPageHooks(form_.PageTab(TProjectForm::Page::Tree),
                       {[this] {
                            if (shown_) ConfirmFlags(form_.Model(), *shown_, Boxes());
                        },
                        [this] { ShowEntry(); }});
    ShowEntry();
}

MenuPage::~MenuPage() = default;

void MenuPage::ApplyTexts() {
    ui::UiTexts text(context_.settings);
    for (const Caption& c : kCaptions) {
        QString caption = text(std::string("PF_") + c.control, c.defaultText);
        if (auto* box = findChild<QGroupBox*>(c.control))
            box->setTitle(caption);
        else
            findChild<QAbstractButton*>(c.control)->setText(caption);
    }
    ui::AssignAccessKeys(*this);
}

void MenuPage::ShowEntry() {
    const bool editable = !form_.ReadOnly() && form_.Model().menus.size() >= 2;
    shown_ = editable ? form_.SelectedEntry() : std::nullopt;
    FlagView view;
    if (shown_) view = ShowFlags(form_.Model(), *shown_);
    showing_ = true;
    const MenuFlags& f = view.flags;
    ui_->CB_Next->setChecked(f.next);
    ui_->CB_Execute->setChecked(f.execute);
    ui_->CB_Sleep->setChecked(f.sleep);
    ui_->CB_devsel->setChecked(f.deviceSelection);
    ui_->CB_double->setChecked(f.doubleDigits);
    showing_ = false;
    for (QWidget* w : {static_cast<QWidget*>(ui_->CB_Next), static_cast<QWidget*>(ui_->CB_Execute),
                       static_cast<QWidget*>(ui_->CB_Sleep), static_cast<QWidget*>(ui_->CB_double),
                       static_cast<QWidget*>(ui_->ConfirmSet_B)})
        w->setEnabled(view.enabled);
    ui_->CB_devsel->setEnabled(view.enabled && view.deviceSelectionEnabled);
    ui_->CreateDevice_B->setEnabled(shown_ && CanCreateDevice(form_.Model(), *shown_));
    ui_->DeleteItem_B->setEnabled(shown_.has_value());
    ui_->AddItem_B->setEnabled(editable);
}

MenuFlags MenuPage::Boxes() const {
    return {ui_->CB_Next->isChecked(), ui_->CB_Execute->isChecked(), ui_->CB_Sleep->isChecked(),
            ui_->CB_devsel->isChecked(), ui_->CB_double->isChecked()};
}

void MenuPage::Tell(const QString& text) {
    context_.dialogs.Inform(this, form_.windowTitle(), text);
}

void MenuPage::Changed() {
    form_.SaveProject();
    form_.Refresh();
}

void MenuPage::FlagBoxClick() {
    if (!showing_) form_.MarkChanged();
}

void MenuPage::ConfirmSet_BClick() {
    if (!shown_ || !ConfirmFlags(form_.Model(), *shown_, Boxes())) return;
    Changed();
}

void MenuPage::AddItem_BClick() {
    if (form_.ReadOnly()) return;
    std::optional<std::size_t> keyword = form_.SelectedKeyword();
    if (!keyword || *keyword >= form_.Model().keywords.size()) return;
    AddResult added =
        AddKeyword(form_.Model(), form_.Model().keywords[*keyword].name, form_.SelectedEntry());
    if (!added.ok) {
        ui::UiTexts text(context_.settings);
        Tell(text("CommandNotAllowed", std::string(kCommandNotAllowed)));
        return;
    }
    Changed();
}

void MenuPage::DeleteItem_BClick() {
    std::optional<EntryRef> selected = form_.SelectedEntry();
    if (!selected || form_.ReadOnly()) return;
    ui::UiTexts text(context_.settings);
    if (!context_.dialogs.AskYesNo(this, form_.windowTitle(),
                                   text("DeleteSelected", std::string(kDeleteSelectedQuestion))))
        return;
    DeleteResult deleted = DeleteEntry(form_.Model(), *selected);
    if (!deleted.ok) {
        Tell(text("CommandNotAllowed", std::string(kCommandNotAllowed)));
        return;
    }
    form_.BeforeDiskChange();
    std::vector<std::string> failures = ApplyFolderChanges(form_.ProjectDir(), deleted.changes);
    if (!failures.empty()) {
        QStringList lines;
        for (const auto& failure : failures) lines << ui::FromCp1252(failure);
        context_.dialogs.Warn(this, form_.windowTitle(), lines.join("\n"));
    }
    Changed();
}

void MenuPage::CreateDevice_BClick() {
    if (!shown_) return;
    // A device whose folder cannot be made is taken back from the model:
    // saved, it would name a folder the next load does not find.
    ProjectModel before = form_.Model();
    CreateDeviceResult created = CreateDevice(form_.Model(), *shown_);
    if (!created.ok) {
        context_.dialogs.Warn(this, form_.windowTitle(), ui::FromCp1252(created.message));
        return;
    }
    form_.BeforeDiskChange();
    std::string error;
    if (!CreateDeviceFolder(
            form_.Model(), created.device, form_.ProjectDir(),
            platform::JoinSetting(context_.ProgramDir(), context_.settings.defIr) / "Empty.ixp",
            &error)) {
        form_.Model() = std::move(before);
        context_.dialogs.Warn(this, form_.windowTitle(), ui::FromCp1252(error));
    }
    Changed();
}

bool MenuPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->GB_MenuSet && event->type() == QEvent::MouseButtonDblClick)
        form_.SetStructureShown(!form_.StructureShown());
    return QWidget::eventFilter(watched, event);
}

}  // namespace orbik::editor
