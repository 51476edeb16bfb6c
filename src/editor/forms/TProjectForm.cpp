#include "editor/forms/TProjectForm.h"

#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "compiler/BuildConfiguration.h"
#include "compiler/forms/TCreateForm.h"
#include "editor/DeviceEdit.h"
#include "editor/ProjectHistory.h"
#include "editor/ProjectLoad.h"
#include "editor/ProjectSave.h"
#include "editor/ProjectSource.h"
#include "editor/ProjectTree.h"
#include "editor/forms/ActionsPage.h"
#include "editor/forms/DevicePage.h"
#include "editor/forms/DirectKeysPage.h"
#include "editor/forms/MenuPage.h"
#include "platform/FileSystem.h"
#include "project/ProjectLayout.h"
#include "ui/Desktop.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"
#include "ui/UiText.h"
#include "ui/WindowContext.h"
#include "ui_TProjectForm.h"

namespace orbik::editor {

namespace {

// "PF_" + control name, the built-in text, and whether the control is a
// page (its tab title), a tool button (its hint) or a button (its caption).
enum class Target { Page, Hint, Caption };
struct FormText {
    const char* control;
    const char* defaultText;
    Target target;
};

constexpr FormText kFormTexts[] = {
    {"TB_SavePr", "Save", Target::Hint},
    {"TB_Print", "Print", Target::Hint},
    {"ToolButton3", "RF Files", Target::Hint},
    {"TB_Create", "Create File", Target::Hint},
    {"TB_ClosePr", "Close Project", Target::Hint},
    {"TB_Undo", "Undo", Target::Hint},
    {"TB_Redo", "Redo", Target::Hint},
    {"TS_Keywords", "Keywords", Target::Page},
    {"TS_Templates", "Templates", Target::Page},
    {"TS_Tree", "Edit Menu", Target::Page},
    {"TS_Configure", "Configure", Target::Page},
    {"TS_Device", "Edit Device", Target::Page},
    {"TS_DKeys", "DKeys", Target::Page},
    {"TS_Settings", "Settings", Target::Page},
    {"TS_Overview", "Overview", Target::Page},
    {"TS_Struct", "Structure", Target::Page},
};

const char* const kStructureTrees[] = {"Menus",    "Items", "Devices",
                                       "Keywords", "DKeys", "Keywordlist"};

// The images of the project tree and the keyword tree.
QIcon TreeIcon(const QStyle& style, int image) {
    switch (image) {
        case kImageItemWithDevice:
            return QIcon::fromTheme("video-display", style.standardIcon(QStyle::SP_ComputerIcon));
        case kImageTopItem:
            return style.standardIcon(QStyle::SP_DirIcon);
        case kImageDigit:
            return QIcon::fromTheme("input-dialpad",
                                    style.standardIcon(QStyle::SP_FileDialogListView));
        case kImageSubItem:
            return style.standardIcon(QStyle::SP_DirLinkIcon);
        default:
            return style.standardIcon(QStyle::SP_FileIcon);
    }
}

// Row numbers from the top of the tree down to `item`.
std::vector<int> TreePath(QTreeWidgetItem* item) {
    std::vector<int> path;
    for (; item; item = item->parent())
        path.insert(path.begin(), item->parent() ? item->parent()->indexOfChild(item)
                                                 : item->treeWidget()->indexOfTopLevelItem(item));
    return path;
}

// The node at `path` or, when it is gone, the one that took its place: the
// last node of its level, else its parent.
QTreeWidgetItem* NodeAt(const QTreeWidget& tree, const std::vector<int>& path) {
    QTreeWidgetItem* node = nullptr;
    for (int row : path) {
        int count = node ? node->childCount() : tree.topLevelItemCount();
        if (count == 0) break;
        int at = std::min(row, count - 1);
        node = node ? node->child(at) : tree.topLevelItem(at);
        if (at != row) break;
    }
    return node;
}

void AddNodes(const std::vector<TreeNode>& nodes, QTreeWidget* tree, QTreeWidgetItem* parent,
              const QStyle* style) {
    for (const TreeNode& node : nodes) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
        item->setText(0, ui::FromCp1252(node.text));
        if (style) {
            item->setIcon(0, TreeIcon(*style, node.image));
            item->setData(0, TProjectForm::kImageRole, node.image);
            item->setData(0, Qt::UserRole, QVariant::fromValue<qulonglong>(node.menu));
            item->setData(0, Qt::UserRole + 2, QVariant::fromValue<qulonglong>(node.entry));
        }
        AddNodes(node.children, tree, item, style);
    }
}

}  // namespace

TProjectForm::TProjectForm(ui::WindowContext& context, std::string projectName, QWidget* parent)
    : QWidget(parent),
      ui_(std::make_unique<Ui::TProjectForm>()),
      context_(context),
      projectName_(std::move(projectName)),
      projectDir_(project::ProjectDir(context.settings.ProjectsDir(), projectName_)) {
    ui_->setupUi(this);
    setObjectName("ProjectForm");
    setWindowTitle(ui::FromCp1252(projectName_));
    CreateHistoryActions();

    ui::NameToolButtons(*ui_->ToolBar1);
    ui::SetToolIcons(*this,
                     {
                         {ui_->TB_SavePr, "document-save", QStyle::SP_DialogSaveButton},
                         {ui_->TB_Print, "document-print", QStyle::SP_FileDialogDetailedView},
                         {ui_->ToolButton3, "network-wireless", QStyle::SP_DriveNetIcon},
                         {ui_->TB_Create, "system-run", QStyle::SP_MediaPlay},
                         {ui_->TB_ClosePr, "window-close", QStyle::SP_DialogCloseButton},
                         {undo_, "edit-undo", QStyle::SP_ArrowBack},
                         {redo_, "edit-redo", QStyle::SP_ArrowForward},
                     });
    // The shortcuts belong to this project window, not to the whole frame.
    ui_->TB_SavePr->setShortcut(QKeySequence::Save);
    ui_->TB_Print->setShortcut(QKeySequence::Print);
    for (QAction* action : {ui_->TB_SavePr, ui_->TB_Print}) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
    }
    // Print needs the listing dialog.
    ui_->TB_Print->setEnabled(false);

    for (int i = 0; i < 4; ++i) {
        panels_[i] = new QLabel(this);
        panels_[i]->setObjectName(QString("StatusPanel%1").arg(i));
        panels_[i]->setMinimumWidth(120);
        ui_->StatusBar1->addWidget(panels_[i], i == 1 ? 1 : 0);
    }
    ui_->LB_Keywords->hide();  // the tree shows the same keywords
    ui_->Splitter1->setStretchFactor(0, 1);
    ui_->Splitter1->setStretchFactor(1, 2);
    ui_->Splitter1->setStretchFactor(2, 4);

    for (const char* name : kStructureTrees) {
        auto* tree = findChild<QTreeWidget*>(QString("TV_") + name);
        connect(findChild<QPushButton*>(QString("ExpandAll_") + name), &QPushButton::clicked, tree,
                &QTreeWidget::expandAll);
    }
    connect(ui_->TB_SavePr, &QAction::triggered, this, &TProjectForm::SaveProject);
    connect(ui_->TB_Create, &QAction::triggered, this, &TProjectForm::CreateFile);
    connect(ui_->TB_ClosePr, &QAction::triggered, this, &TProjectForm::TB_ClosePrClick);
    connect(ui_->TB_Print, &QAction::triggered, this, [this] {
        if (print_) print_();
    });
    connect(ui_->PC_Config, &QTabWidget::currentChanged, this, &TProjectForm::PC_ConfigChanging);
    connect(ui_->TV_Project, &QTreeWidget::currentItemChanged, this,
            &TProjectForm::TV_ProjectChange);
    // A double click clears the selection, so that what is added next goes to Main.
    connect(ui_->TV_Project, &QTreeWidget::itemDoubleClicked, this,
            [this] { ui_->TV_Project->setCurrentItem(nullptr); });
    connect(ui_->TV_KeyList, &QTreeWidget::itemDoubleClicked, this,
            &TProjectForm::KeywordActivated);
    CreatePages();
}

void TProjectForm::CreatePages() {
    AttachPage(Page::Tree, new MenuPage(*this, context_));
    AttachPage(Page::Configure, new ActionsPage(*this, context_));
    AttachPage(Page::DKeys, new DirectKeysPage(*this, context_));
    new DevicePage(*this, context_);
}

QWidget* TProjectForm::PageTab(Page page) const {
    switch (page) {
        case Page::Tree:
            return ui_->TS_Tree;
        case Page::Configure:
            return ui_->TS_Configure;
        case Page::Device:
            return ui_->TS_Device;
        case Page::DKeys:
            return ui_->TS_DKeys;
    }
    return nullptr;
}

// A page scrolls when the window is narrower than the page needs (longer
// captions of other languages), instead of pushing the window wider than
// the main window's area.
void TProjectForm::AttachPage(Page page, QWidget* content) {
    auto* scroll = new QScrollArea(PageTab(page));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);
    auto* layout = new QVBoxLayout(PageTab(page));
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
}

std::optional<EntryRef> TProjectForm::SelectedEntry() const {
    const QTreeWidgetItem* item = ui_->TV_Project->currentItem();
    if (!loaded_ || !item) return std::nullopt;
    return EntryRef{item->data(0, Qt::UserRole).toULongLong(),
                    item->data(0, Qt::UserRole + 2).toULongLong()};
}

std::optional<std::size_t> TProjectForm::SelectedKeyword() const {
    const QTreeWidgetItem* item = ui_->TV_KeyList->currentItem();
    if (!loaded_ || !item) return std::nullopt;
    return item->data(0, Qt::UserRole + 2).toULongLong();
}

void TProjectForm::BeforeDiskChange() {
    std::string error;
    if (history_ && !history_->BeginChange(&error)) {
        ui::UiTexts text(context_.settings);
        ShowFailures(windowTitle(),
                     {text("NoUndo", "This change cannot be undone."), ui::FromCp1252(error)});
    }
}

void TProjectForm::CreateHistoryActions() {
    undo_ = new QAction(this);
    undo_->setObjectName("TB_Undo");
    undo_->setShortcut(QKeySequence::Undo);
    redo_ = new QAction(this);
    redo_->setObjectName("TB_Redo");
    redo_->setShortcut(QKeySequence("Ctrl+Shift+Z"));
    ui_->ToolBar1->insertActions(ui_->TB_Print, {undo_, redo_});
    for (QAction* action : {undo_, redo_}) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
    }
    connect(undo_, &QAction::triggered, this, &TProjectForm::Undo);
    connect(redo_, &QAction::triggered, this, &TProjectForm::Redo);
    UpdateHistoryActions();
}

void TProjectForm::UpdateHistoryActions() {
    undo_->setEnabled(CanUndo());
    redo_->setEnabled(CanRedo());
}

bool TProjectForm::CanUndo() const {
    return loaded_ && (!clean_ || (history_ && history_->CanUndo()));
}

bool TProjectForm::CanRedo() const {
    return loaded_ && clean_ && history_ && history_->CanRedo();
}

void TProjectForm::Undo() {
    if (!loaded_) return;
    if (!clean_) {
        Discard(ui_->PC_Config->currentWidget());
        UpdateHistoryActions();
        return;
    }
    StepHistory(true);
}

void TProjectForm::Redo() {
    if (loaded_ && clean_) StepHistory(false);
}

void TProjectForm::StepHistory(bool undo) {
    if (!history_) return;
    std::string error;
    if (!(undo ? history_->Undo(&error) : history_->Redo(&error))) {
        if (!error.empty()) ShowFailures(windowTitle(), {ui::FromCp1252(error)});
        UpdateHistoryActions();
        return;
    }
    QWidget* page = ui_->PC_Config->currentWidget();
    const std::vector<int> selected = TreePath(ui_->TV_Project->currentItem());
    const bool directKeys = DirectKeysShown(), structure = StructureShown();
    if (!Load()) {
        TB_ClosePrClick();
        return;
    }
    SetDirectKeysShown(directKeys);
    SetStructureShown(structure);
    if (QTreeWidgetItem* node = NodeAt(*ui_->TV_Project, selected))
        ui_->TV_Project->setCurrentItem(node);
    if (ui_->PC_Config->isTabVisible(ui_->PC_Config->indexOf(page)))
        ui_->PC_Config->setCurrentWidget(page);
    UpdateHistoryActions();
}

TProjectForm::~TProjectForm() = default;

void TProjectForm::Progress(const std::string& text) {
    context_.mainWindow.SetStatusText(ui::FromCp1252(text));
}

void TProjectForm::SetPageShown(QWidget* page, bool shown) {
    auto* tabs = qobject_cast<QTabWidget*>(page->parentWidget()->parentWidget());
    tabs->setTabVisible(tabs->indexOf(page), shown);
}

bool TProjectForm::Load() {
    for (QWidget* page : {ui_->TS_DKeys, ui_->TS_Settings, ui_->TS_Overview, ui_->TS_Struct,
                          ui_->TS_Device, ui_->TS_Templates})
        SetPageShown(page, false);
    MarkClean();
    ui::MainWindow& main = context_.mainWindow;
    main.SetTransferConfigEnabled(
        platform::FileExists(project::ImageFile(projectDir_, projectName_, ".cif")));

    LoadResult loaded =
        LoadProject(DiskSource(), projectDir_, projectName_, context_.settings.projectLanguage,
                    [this](const std::string& text) { Progress(text); });
    if (!loaded.ok) {
        main.SetStatusText({});
        main.SetCreateFileEnabled(false);
        QStringList lines{ui::FromCp1252(loaded.message)};
        if (!loaded.reason.empty()) lines << ui::FromCp1252(loaded.reason);
        ShowFailures(windowTitle(), lines);
        return false;
    }
    model_ = std::move(loaded.model);
    loaded_ = true;
    if (!history_) {
        // Without a history the project is edited all the same, without undo.
        std::error_code ec;
        if (fs::path temp = fs::temp_directory_path(ec); !ec)
            history_ = ProjectHistory::Create(projectDir_, temp, nullptr);
        // The device page's working copies are no part of the project, unless
        // a device of that name keeps its files there.
        if (history_ && !HasWorkFolderDevice(model_))
            history_->Ignore(project::DeviceWorkDir(projectDir_).lexically_relative(projectDir_));
    }
    UpdateHistoryActions();

    ui::UiTexts text(context_.settings);
    panels_[0]->setText(model_.hasExternalDisplay ? text("ModelMax", ModelText(model_))
                                                  : text("ModelSolo", ModelText(model_)));
    if (ReadOnly()) ui_->PC_Keywords->setEnabled(false);
    FillKeywords();
    Progress("Updating Structure Lists...");
    FillStructureLists();
    FillProjectTree();
    ApplyTexts();
    ui_->PC_Config->setCurrentWidget(ui_->TS_Configure);
    currentPage_ = ui_->TS_Configure;
    UpdateKeywordGauge();
    // A solo project has no direct keys to show.
    main.SetShowDirectKeysEnabled(!ReadOnly());
    main.SetStatusText({});
    Q_EMIT ModelLoaded();
    if (!loaded.orphanMainEntries.empty())
        context_.dialogs.Warn(this, windowTitle(),
                              ui::FromCp1252(OrphanEntriesWarning(loaded.orphanMainEntries)));
    return true;
}

void TProjectForm::ApplyTexts() {
    ui::UiTexts text(context_.settings);
    auto lookup = [&](const char* control, const char* defaultText) {
        return text(std::string("PF_") + control, defaultText);
    };
    for (const FormText& t : kFormTexts) {
        if (t.target == Target::Hint) {
            auto* action = findChild<QAction*>(t.control);
            action->setText(lookup(t.control, t.defaultText));
            action->setToolTip(
                action->text() +
                (action->shortcut().isEmpty()
                     ? QString()
                     : " (" + action->shortcut().toString(QKeySequence::NativeText) + ")"));
        } else {
            QWidget* page = findChild<QWidget*>(t.control);
            auto* tabs = qobject_cast<QTabWidget*>(page->parentWidget()->parentWidget());
            tabs->setTabText(tabs->indexOf(page), lookup(t.control, t.defaultText));
        }
    }
    for (const char* name : kStructureTrees)
        findChild<QPushButton*>(QString("ExpandAll_") + name)
            ->setText(lookup("ExpandAll", "Expand All"));
    ui::AssignAccessKeys(*this);
}

void TProjectForm::FillKeywords() {
    ui_->LB_Keywords->clear();
    ui_->TV_KeyList->clear();
    for (const TreeNode& choice : KeywordChoices(model_, context_.settings.projectLanguage))
        ui_->LB_Keywords->addItem(ui::FromCp1252(choice.text));
    // A solo project is only shown: no keywords to add.
    if (ReadOnly()) return;
    AddNodes(KeywordChoices(model_, context_.settings.projectLanguage), ui_->TV_KeyList, nullptr,
             style());
}

void TProjectForm::FillProjectTree() {
    ui_->TV_Project->clear();
    AddNodes(ProjectTree(model_), ui_->TV_Project, nullptr, style());
    ui_->TV_Project->expandAll();
}

void TProjectForm::FillStructureLists() {
    StructureLists lists = BuildStructureLists(model_);
    const std::vector<TreeNode>* sources[] = {&lists.menus,      &lists.items,
                                              &lists.devices,    &lists.keywords,
                                              &lists.directKeys, &lists.keywordList};
    for (std::size_t i = 0; i < std::size(kStructureTrees); ++i) {
        auto* tree = findChild<QTreeWidget*>(QString("TV_") + kStructureTrees[i]);
        tree->clear();
        AddNodes(*sources[i], tree, nullptr, nullptr);
    }
}

void TProjectForm::UpdateKeywordGauge() {
    ui::UiTexts text(context_.settings);
    panels_[2]->setText(text("KeywordGauge", "%1 Keywords used").arg(KeywordCount(model_)));
}

void TProjectForm::Refresh() {
    const std::vector<int> selected = TreePath(ui_->TV_Project->currentItem());
    FillStructureLists();
    FillProjectTree();
    UpdateKeywordGauge();
    if (QTreeWidgetItem* node = NodeAt(*ui_->TV_Project, selected))
        ui_->TV_Project->setCurrentItem(node);
    else
        Q_EMIT EntrySelected();  // nothing is left to select
}

void TProjectForm::RefreshLists() {
    FillStructureLists();
    UpdateKeywordGauge();
}

void TProjectForm::SetStructureShown(bool shown) {
    SetPageShown(ui_->TS_Struct, shown);
}

bool TProjectForm::StructureShown() const {
    return ui_->PC_Config->isTabVisible(ui_->PC_Config->indexOf(ui_->TS_Struct));
}

void TProjectForm::SetBytesUsed(std::int64_t bytes) {
    ui::UiTexts text(context_.settings);
    panels_[3]->setText(text("MemoryGauge", "%1 of 65320 Bytes used").arg(bytes));
}

void TProjectForm::ClearBytesUsed() {
    panels_[3]->clear();
}

bool TProjectForm::DirectKeysShown() const {
    return ui_->PC_Config->isTabVisible(ui_->PC_Config->indexOf(ui_->TS_DKeys));
}

void TProjectForm::SetDirectKeysShown(bool shown) {
    if (ReadOnly()) return;
    SetPageShown(ui_->TS_DKeys, shown);
}

void TProjectForm::SetPageHooks(QWidget* page, PageHooks hooks) {
    hooks_[page] = std::move(hooks);
}

// While a page holds a change, what Save and the build would take is the
// files and model without it: both wait until it is confirmed or dropped.
void TProjectForm::SetClean(bool clean) {
    clean_ = clean;
    ui_->TB_SavePr->setEnabled(clean);
    ui_->TB_Create->setEnabled(clean);
    context_.mainWindow.SetCreateFileEnabled(clean);
    UpdateHistoryActions();
}

void TProjectForm::MarkChanged() {
    SetClean(false);
}

void TProjectForm::MarkClean() {
    SetClean(true);
}

void TProjectForm::SetPrintCommand(std::function<void()> print) {
    print_ = std::move(print);
    ui_->TB_Print->setEnabled(static_cast<bool>(print_));
}

void TProjectForm::ShowFailures(const QString& title, const QStringList& lines) {
    context_.dialogs.Warn(this, title, lines.join("\n"));
}

void TProjectForm::SaveProject() {
    BeforeDiskChange();
    auto failures = SaveProjectToDisk(model_, projectDir_, projectName_, context_.today(),
                                      [this](const std::string& text) { Progress(text); });
    context_.mainWindow.SetStatusText({});
    if (!failures.empty()) {
        QStringList lines;
        for (const SaveFailure& failure : failures) {
            lines << ui::FromCp1252(failure.message);
            if (!failure.reason.empty()) lines << "  " + ui::FromCp1252(failure.reason);
        }
        ShowFailures(windowTitle(), lines);
    }
    if (history_) history_->EndChange();
    MarkClean();
}

void TProjectForm::Discard(QWidget* page) {
    if (auto hook = hooks_.find(page); hook != hooks_.end() && hook->second.discard)
        hook->second.discard();
    MarkClean();
}

void TProjectForm::ResolveChange(QWidget* page, const QString& question, bool saveAfterConfirm) {
    if (clean_ || resolving_) return;
    resolving_ = true;
    if (context_.dialogs.AskYesNo(this, windowTitle(), question)) {
        if (auto hook = hooks_.find(page); hook != hooks_.end() && hook->second.confirm)
            hook->second.confirm();
        MarkClean();
        if (saveAfterConfirm) SaveProject();
    } else {
        Discard(page);
    }
    resolving_ = false;
    UpdateHistoryActions();
}

void TProjectForm::EmptyTempDevices() {
    // A device of that name keeps its files there.
    if (HasWorkFolderDevice(model_)) return;
    fs::path temp = project::DeviceWorkDir(projectDir_);
    if (platform::DirectoryExists(temp)) platform::EmptyDirectory(temp);
}

void TProjectForm::PC_ConfigChanging(int index) {
    QWidget* left = currentPage_;
    currentPage_ = ui_->PC_Config->widget(index);
    if (!loaded_ || !left || left == currentPage_) return;
    ui::UiTexts text(context_.settings);
    ResolveChange(left, text("SaveChanges", "Save Changes?"), false);
    if (left == ui_->TS_Device) {
        panels_[3]->clear();
        EmptyTempDevices();
    }
}

void TProjectForm::TV_ProjectChange(QTreeWidgetItem* current, QTreeWidgetItem* previous) {
    if (!loaded_) return;
    if (previous) {
        ui::UiTexts text(context_.settings);
        ResolveChange(ui_->PC_Config->currentWidget(), text("ConfirmChanges", "Confirm Changes?"),
                      true);
    }
    const MenuEntry* entry = current ? &EntryAt(model_, *SelectedEntry()) : nullptr;
    bool device = !ReadOnly() && entry && entry->item && entry->device;
    if (!device && ui_->PC_Config->currentWidget() == ui_->TS_Device)
        ui_->PC_Config->setCurrentWidget(ui_->TS_Configure);
    SetPageShown(ui_->TS_Device, device);
    Q_EMIT EntrySelected();
}

void TProjectForm::ShowCommandStates() {
    if (!loaded_) return;
    ui::MainWindow& main = context_.mainWindow;
    main.SetCreateFileEnabled(clean_);
    main.SetTransferConfigEnabled(
        platform::FileExists(project::ImageFile(projectDir_, projectName_, ".cif")));
    main.SetShowDirectKeysEnabled(!ReadOnly());
}

void TProjectForm::CreateFile() {
    createForm_ = std::make_unique<compiler::TCreateForm>(context_, this);
    createForm_->show();
    {
        ui::BusyCursor busy;
        compiler::BuildConfiguration(projectName_, projectDir_, context_.ProgramDir(),
                                     *createForm_);
    }
    createForm_->BuildFinished();
    context_.mainWindow.SetTransferConfigEnabled(
        platform::FileExists(project::ImageFile(projectDir_, projectName_, ".cif")));
}

void TProjectForm::TB_ClosePrClick() {
    context_.mainWindow.SetShowDirectKeysEnabled(false);
    // Inside the main window the frame around this window goes too.
    if (context_.mainWindow.ActiveProjectWindow() == this)
        context_.mainWindow.CloseActiveProjectWindow();
    else
        close();
}

// Closing asks nothing and saves nothing.
void TProjectForm::closeEvent(QCloseEvent* event) {
    if (loaded_) {
        ui::MainWindow& main = context_.mainWindow;
        main.SetShowDirectKeysEnabled(false);
        main.SetCreateFileEnabled(false);
        main.SetTransferConfigEnabled(true);
        main.SetStatusText({});
        EmptyTempDevices();
        loaded_ = false;
    }
    history_.reset();  // its copies of the project go with it
    createForm_.reset();
    event->accept();
}

}  // namespace orbik::editor
