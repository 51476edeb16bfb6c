#include "projects/forms/TProjectlist.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QStyle>
#include <QTabBar>
#include <QTreeWidget>

#include "project/ProjectLayout.h"
#include "projects/Archive.h"
#include "projects/NewName.h"
#include "projects/forms/TNewNameForm.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"
#include "ui/UiText.h"
#include "ui/WindowContext.h"
#include "ui_TProjectlist.h"

namespace orbik::projects {

namespace {

const QString kArchiveFilter = "ORBIK Project (*.opr);;Project (*.vpr)";
constexpr int kTypeRole = Qt::UserRole;

// What an export or import left out, one line each.
QString NotesText(const std::vector<std::string>& notes) {
    QStringList lines;
    for (const auto& note : notes) lines << ui::FromCp1252(note);
    return lines.join("\n");
}

}  // namespace

TProjectlist::TProjectlist(ui::WindowContext& context, QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::TProjectlist>()),
      context_(context),
      dialogs_(context.dialogs),
      folders_(FoldersOf(context.settings)) {
    ui_->setupUi(this);
    setObjectName("Projectlist");
    ui_->TC_Projectlist->addTab("Projects");
    ui_->TC_Projectlist->addTab("Default");
    ui_->TC_Projectlist->setAcceptDrops(true);
    ui_->TC_Projectlist->installEventFilter(this);
    ui_->LV_Projectlist->header()->resizeSection(0, 130);
    ui_->LV_Projectlist->header()->resizeSection(1, 93);
    ui_->LV_Projectlist->header()->resizeSection(2, 93);
    ui_->L_Creating->hide();
    QStyle* s = style();
    ui_->ToolNew->setIcon(s->standardIcon(QStyle::SP_FileIcon));
    ui_->ToolOpen->setIcon(s->standardIcon(QStyle::SP_DialogOpenButton));
    ui_->ToolCopy->setIcon(s->standardIcon(QStyle::SP_FileDialogNewFolder));
    ui_->ToolDelete->setIcon(s->standardIcon(QStyle::SP_TrashIcon));
    ui_->ToolImport->setIcon(s->standardIcon(QStyle::SP_ArrowDown));
    ui_->ToolExport->setIcon(s->standardIcon(QStyle::SP_ArrowUp));
    ui_->ToolClose->setIcon(s->standardIcon(QStyle::SP_DialogCloseButton));
    ApplyTexts();

    connect(ui_->TC_Projectlist, &QTabBar::currentChanged, this,
            &TProjectlist::TC_ProjectlistChange);
    connect(ui_->LV_Projectlist, &QTreeWidget::itemSelectionChanged, this,
            &TProjectlist::ApplySelectionRules);
    connect(ui_->LV_Projectlist, &QTreeWidget::itemDoubleClicked, this,
            &TProjectlist::LV_ProjectlistDblClick);
    connect(ui_->ToolNew, &QAction::triggered, this, &TProjectlist::ToolNewClick);
    connect(ui_->ToolOpen, &QAction::triggered, this, &TProjectlist::ToolOpenClick);
    connect(ui_->ToolCopy, &QAction::triggered, this, &TProjectlist::ToolCopyClick);
    connect(ui_->ToolDelete, &QAction::triggered, this, &TProjectlist::ToolDeleteClick);
    connect(ui_->ToolImport, &QAction::triggered, this, &TProjectlist::ToolImportClick);
    connect(ui_->ToolExport, &QAction::triggered, this, &TProjectlist::ToolExportClick);
    connect(ui_->ToolClose, &QAction::triggered, this, &QDialog::reject);
    Fill();
}

TProjectlist::~TProjectlist() = default;

void TProjectlist::ApplyTexts() {
    ui::UiTexts text(context_.settings);
    setWindowTitle(text("Projectsform", "Projectlist"));
    ui_->ToolNew->setToolTip(text("ToolNew", "Projects"));
    ui_->ToolOpen->setToolTip(text("ToolOpen", "Save"));
    ui_->ToolCopy->setToolTip(text("ToolCopy", "Print"));
    ui_->ToolDelete->setToolTip(text("ToolDelete", "Exit"));
    ui_->ToolImport->setToolTip(text("ToolImport", "Option"));
    ui_->ToolExport->setToolTip(text("ToolExport", "Info"));
    ui_->ToolClose->setToolTip(text("ToolClose", "Info"));
    ui_->LV_Projectlist->setHeaderLabels(
        {text("lv_name", "Name"), text("lv_created", "Created"), text("lv_changed", "Changed")});
    ui_->TC_Projectlist->setTabText(0, text("projecttab", "Projects"));
    ui_->TC_Projectlist->setTabText(1, text("templatetab", "Default"));
    nameExists1_ = text("L_NameExists1", "Name in ");
    nameExists2_ = text("L_NameExists2", " already exists!");
    alreadyOpen_ = text("Already_Open", "Project already open!");
}

bool TProjectlist::OnTemplates() const {
    return ui_->TC_Projectlist->currentIndex() == 1;
}

fs::path TProjectlist::FolderOf(int tab) const {
    return tab == 0 ? folders_.projects : folders_.templates;
}

std::string_view TProjectlist::ListNameOf(int tab) const {
    return tab == 0 ? kProjectListFile : kTemplateListFile;
}

std::string TProjectlist::Today() const {
    return FormatDate(context_.today());
}

void TProjectlist::SetSelectionButtons(bool enabled) {
    for (QAction* a :
         {ui_->ToolNew, ui_->ToolOpen, ui_->ToolCopy, ui_->ToolDelete, ui_->ToolExport})
        a->setEnabled(enabled);
}

void TProjectlist::Fill() {
    SetSelectionButtons(false);
    // The Templates tab lists the folder under its literal "templates" name.
    fs::path folder = OnTemplates() ? folders_.templatesList : folders_.projects;
    ui_->LV_Projectlist->clear();
    for (const auto& entry : ReadList(folder, ListNameOf(OnTemplates() ? 1 : 0))) AddRow(entry);
    ui_->LV_Projectlist->setToolTip(
        OnTemplates() ? tr("Drag and Drop Project to Projects for a New Project") : QString());
}

void TProjectlist::AddRow(const ListEntry& entry) {
    auto* row = new QTreeWidgetItem(ui_->LV_Projectlist);
    row->setText(0, ui::FromCp1252(entry.name));
    row->setText(1, ui::FromCp1252(entry.created));
    row->setText(2, ui::FromCp1252(entry.changed));
    row->setData(0, kTypeRole, entry.IsSolo() ? 0 : 1);
    row->setIcon(0, style()->standardIcon(entry.IsSolo() ? QStyle::SP_ComputerIcon
                                                         : QStyle::SP_DesktopIcon));
}

void TProjectlist::SelectName(const std::string& name) {
    QTreeWidget* list = ui_->LV_Projectlist;
    list->clearSelection();
    QString caption = ui::FromCp1252(name);
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = list->topLevelItem(i);
        if (row->text(0) != caption) continue;
        row->setSelected(true);
        list->setCurrentItem(row, 0, QItemSelectionModel::NoUpdate);
        list->scrollToItem(row);
    }
    ApplySelectionRules();
}

void TProjectlist::ApplySelectionRules() {
    bool one = ui_->LV_Projectlist->selectedItems().size() == 1;
    for (QAction* a : {ui_->ToolOpen, ui_->ToolDelete, ui_->ToolExport}) a->setEnabled(one);
    ui_->ToolNew->setEnabled(one && OnTemplates());
    ui_->ToolCopy->setEnabled(one && !OnTemplates());
    if (OnTemplates()) ui_->ToolOpen->setEnabled(false);
}

std::string TProjectlist::SelectedName() const {
    auto rows = ui_->LV_Projectlist->selectedItems();
    return rows.size() == 1 ? ui::ToCp1252(rows.front()->text(0)) : std::string();
}

ListEntry TProjectlist::SelectedEntry() const {
    ListEntry entry;
    auto rows = ui_->LV_Projectlist->selectedItems();
    if (rows.size() != 1) return entry;
    entry.name = ui::ToCp1252(rows.front()->text(0));
    entry.type = rows.front()->data(0, kTypeRole).toInt() == 0 ? kTypeSolo : kTypeMax;
    return entry;
}

QString TProjectlist::NameExistsText(int tab) const {
    return nameExists1_ + " " + ui_->TC_Projectlist->tabText(tab) + " " + nameExists2_;
}

void TProjectlist::SetBusy(bool busy) {
    ui_->L_Creating->setVisible(busy);
    if (busy) ui_->L_Creating->repaint();
    for (QAction* a :
         {ui_->ToolOpen, ui_->ToolCopy, ui_->ToolExport, ui_->ToolDelete, ui_->ToolImport})
        a->setEnabled(!busy);
    ui_->LV_Projectlist->setEnabled(!busy);
    ui_->TC_Projectlist->setEnabled(!busy);
    if (!busy) ApplySelectionRules();
}

void TProjectlist::TC_ProjectlistChange() {
    Fill();
}

void TProjectlist::LV_ProjectlistDblClick() {
    if (!OnTemplates() && ui_->LV_Projectlist->selectedItems().size() == 1) ToolOpenClick();
}

bool TProjectlist::DropAllowedAt(const QPoint& position) const {
    QTabBar* tabs = ui_->TC_Projectlist;
    return !tabs->tabRect(tabs->currentIndex()).contains(position);
}

bool TProjectlist::eventFilter(QObject* watched, QEvent* event) {
    if (watched != ui_->TC_Projectlist) return QDialog::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            bool ours = drag->source() == ui_->LV_Projectlist;
            if (ours && DropAllowedAt(drag->position().toPoint())) {
                // A copy: a move would make the list remove the dragged rows.
                drag->setDropAction(Qt::CopyAction);
                drag->accept();
            } else
                drag->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (drop->source() != ui_->LV_Projectlist ||
                !DropAllowedAt(drop->position().toPoint())) {
                drop->ignore();
                return true;
            }
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            // Asked for the name once the drag has ended, not inside it.
            QMetaObject::invokeMethod(this, &TProjectlist::ToolNewClick, Qt::QueuedConnection);
            return true;
        }
        default:
            return QDialog::eventFilter(watched, event);
    }
}

void TProjectlist::ToolNewClick() {
    ListEntry source = SelectedEntry();
    if (source.name.empty()) return;
    int from = OnTemplates() ? 1 : 0, to = 1 - from;
    for (;;) {
        TNewNameForm form(context_, this);
        auto answer = ui::RunModalForm(dialogs_, form);
        if (!answer) break;
        SetBusy(true);
        auto result = CreateEntry(FolderOf(from), source, FolderOf(to), answer->name,
                                  ListNameOf(to), Today());
        SetBusy(false);
        if (result.outcome == Outcome::NameExists) {
            dialogs_.Inform(this, windowTitle(), NameExistsText(to));
            continue;
        }
        if (result.outcome != Outcome::Done) {
            dialogs_.Inform(this, windowTitle(), ui::FromCp1252(result.detail));
            break;
        }
        ui_->TC_Projectlist->setCurrentIndex(to);  // refills the list
        SelectName(result.name);
        break;
    }
}

void TProjectlist::ToolOpenClick() {
    std::string name = SelectedName();
    if (name.empty()) return;
    if (context_.mainWindow.ProjectWindowCaptions().contains(ui::FromCp1252(name))) {
        dialogs_.Inform(this, windowTitle(), alreadyOpen_);
        return;
    }
    context_.mainWindow.OpenProjectWindow(name);
    accept();
}

void TProjectlist::ToolCopyClick() {
    ListEntry source = SelectedEntry();
    if (source.name.empty()) return;
    int tab = ui_->TC_Projectlist->currentIndex();
    for (;;) {
        TNewNameForm form(context_, this);
        auto answer = ui::RunModalForm(dialogs_, form);
        if (!answer) break;
        SetBusy(true);
        auto result = CreateEntry(folders_.projects, source, folders_.projects, answer->name,
                                  kProjectListFile, Today());
        SetBusy(false);
        if (result.outcome == Outcome::NameExists) {
            dialogs_.Inform(this, windowTitle(), NameExistsText(tab));
            continue;
        }
        if (result.outcome != Outcome::Done) {
            dialogs_.Inform(this, windowTitle(), ui::FromCp1252(result.detail));
            break;
        }
        Fill();
        SelectName(result.name);
        break;
    }
}

void TProjectlist::ToolDeleteClick() {
    QTreeWidget* list = ui_->LV_Projectlist;
    auto rows = list->selectedItems();
    if (rows.size() != 1) return;
    if (!dialogs_.AskYesNo(this, windowTitle(), tr("Delete Project?"))) return;
    int tab = ui_->TC_Projectlist->currentIndex();
    std::vector<std::string> open;
    if (tab == 0)
        for (const QString& caption : context_.mainWindow.ProjectWindowCaptions())
            open.push_back(ui::ToCp1252(caption));
    auto result =
        DeleteEntry(FolderOf(tab), ui::ToCp1252(rows.front()->text(0)), ListNameOf(tab), open);
    if (result.outcome == Outcome::AlreadyOpen) {
        dialogs_.Inform(this, windowTitle(), alreadyOpen_);
        return;
    }
    if (result.outcome != Outcome::Done) return;  // the row stays
    int index = list->indexOfTopLevelItem(rows.front());
    delete list->takeTopLevelItem(index);
    if (list->topLevelItemCount() == 0) {
        SetSelectionButtons(false);
        return;
    }
    QTreeWidgetItem* next = list->topLevelItem(std::min(index, list->topLevelItemCount() - 1));
    list->setCurrentItem(next);
    SelectName(ui::ToCp1252(next->text(0)));
    list->setFocus();
}

void TProjectlist::ToolExportClick() {
    std::string name = SelectedName();
    if (name.empty()) return;
    int tab = ui_->TC_Projectlist->currentIndex();
    SetBusy(true);
    QString file = dialogs_.SaveFileName(this, tr("Export"), {}, kArchiveFilter);
    if (!file.isEmpty()) {
        if (!file.contains('.')) file += ".opr";
        auto result =
            ExportProject(project::ProjectDir(FolderOf(tab), name), ui::PathFromQString(file));
        if (result.outcome != Outcome::Done)
            dialogs_.Inform(this, windowTitle(), ui::FromCp1252(result.detail));
        else if (!result.notes.empty())
            dialogs_.Inform(this, windowTitle(), NotesText(result.notes));
    }
    SetBusy(false);
}

void TProjectlist::ToolImportClick() {
    QString file = dialogs_.OpenFileName(this, tr("Import"), {}, kArchiveFilter);
    if (file.isEmpty()) return;
    int tab = ui_->TC_Projectlist->currentIndex();
    ImportRequest request;
    request.archive = ui::PathFromQString(file);
    request.destFolder = FolderOf(tab);
    request.listName = ListNameOf(tab);
    if (tab == 0)
        for (const QString& caption : context_.mainWindow.ProjectWindowCaptions())
            request.openProjects.push_back(ui::ToCp1252(caption));
    request.today = Today();
    request.report = [this](const std::string& message) {
        dialogs_.Inform(this, windowTitle(), ui::FromCp1252(message));
    };
    SetBusy(true);
    ImportResult result = ImportProject(request);
    SetBusy(false);
    switch (result.outcome) {
        case Outcome::Done: {
            ListEntry entry;
            entry.name = result.name;
            entry.type = result.type;
            entry.created = entry.changed = request.today;
            AddRow(entry);
            SelectName(result.name);
            ui_->LV_Projectlist->setFocus();
            if (!result.notes.empty())
                dialogs_.Inform(this, windowTitle(), NotesText(result.notes));
            break;
        }
        case Outcome::NameExists:
            dialogs_.Inform(this, windowTitle(), ui::FromCp1252(NameTakenMessage(result.name)));
            break;
        case Outcome::AlreadyOpen:
            dialogs_.Inform(this, windowTitle(), alreadyOpen_);
            break;
        default:
            dialogs_.Inform(this, windowTitle(), ui::FromCp1252(result.detail));
            break;
    }
}

}  // namespace orbik::projects
