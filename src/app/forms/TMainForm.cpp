#include "app/forms/TMainForm.h"

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QStyle>
#include <QToolButton>
#include <optional>

#include "app/forms/TInfoForm.h"
#include "app/forms/TOptionsForm.h"
#include "backup/forms/TOpenBackup.h"
#include "editor/forms/TProjectForm.h"
#include "link/Protocol.h"
#include "link/Transfer.h"
#include "link/TransferSession.h"
#include "link/forms/TTransferForm.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "project/ProjectLayout.h"
#include "projects/forms/TProjectlist.h"
#include "ui/Desktop.h"
#include "ui/Dialogs.h"
#include "ui/ProjectWindow.h"
#include "ui/UiText.h"
#include "ui/WindowContext.h"
#include "ui_TMainForm.h"

namespace orbik::app {

namespace {

// Texts of the main window: section, built-in default, the action and
// whether the text is its hint (tool buttons) or its caption.
struct MainText {
    const char* section;
    const char* defaultText;
    const char* target;
    bool hint;
};

constexpr MainText kMainTexts[] = {
    {"ToolProjects", "Projectlist", "ToolProjects", true},
    {"DataTransConfig", "Transfer Configuration", "ToolButton7", true},
    {"DataReadConfig", "Read Configuration", "ToolButton8", true},
    {"DataTransMem", "Transfer Memory", "ToolButton10", true},
    {"DataReadMem", "Read Memory", "ToolButton11", true},
    {"ToolExit", "Exit", "ToolClose", true},
    {"ToolOpt", "Settings", "ToolOpt", true},
    {"ToolInfo", "Info", "ToolInfo", true},
    {"ToolBackup", "Open Backup", "ToolBackup", true},
    {"FileProjects", "Projects", "FileProjects", false},
    {"FileSave", "Save", "FileSave", false},
    {"FilePrint", "Print", "FilePrint", false},
    {"FileClose", "Exit", "FileClose", false},
    {"EditUndo", "Undo", "EditUndo", false},
    {"EditRedo", "Redo", "EditRedo", false},
    {"EditCopy", "Copy", "EditCopy", false},
    {"EditPaste", "Paste", "EditPaste", false},
    {"EditShow", "Show Direct Keys", "ShowDirectKeys1", false},
    {"DataCreateFile", "Create File", "DataCreateFile", false},
    {"DataTransConfig", "Transfer Config", "DataTransConfig", false},
    {"DataReadConfig", "Read Config", "DataReadConfig", false},
    {"DataTransMem", "Transfer Mem", "DataTransMem", false},
    {"DataReadMem", "Read Mem", "DataReadMem", false},
    {"ExtrasBackup", "Open Backup", "ExtrasBackup", false},
    {"ExtrasOptions", "Options", "ExtrasOptions", false},
    {"menuInfo", "Info", "MenuInfo", false},
};

struct MenuText {
    const char* section;
    const char* defaultText;
    const char* menu;
};

constexpr MenuText kMenuTexts[] = {
    {"MenuFile", "File", "MenuFile"},
    {"MenuEdit", "Edit", "MenuEdit"},
    {"MenuData", "Data Exchange", "MenuData"},
    {"MenuExtras", "Extras", "MenuExtras"},
};

// Commands that open a dialog show "..." after their caption.
constexpr const char* kDialogCommands[] = {
    "FileProjects", "DataTransConfig", "DataReadConfig", "DataTransMem",
    "DataReadMem",  "ExtrasBackup",    "ExtrasOptions",
};

}  // namespace

TMainForm::TMainForm(const std::filesystem::path& programDir, ui::Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::TMainForm>()), dialogs_(dialogs) {
    ui_->setupUi(this);
    setObjectName("MainForm");
    settings_.programDir = programDir;
    FormCreate();
}

TMainForm::~TMainForm() {
    // Project windows go while the context they were handed still exists.
    qDeleteAll(ui_->MdiArea->subWindowList());
}

void TMainForm::FormCreate() {
    ui::NameToolButtons(*ui_->ToolBar1);
    ui::SetToolIcons(*this,
                     {
                         {ui_->ToolProjects, "folder-open", QStyle::SP_DirOpenIcon},
                         {ui_->ToolButton7, "go-up", QStyle::SP_ArrowUp},
                         {ui_->ToolButton8, "go-down", QStyle::SP_ArrowDown},
                         {ui_->ToolButton10, "go-next", QStyle::SP_ArrowForward},
                         {ui_->ToolButton11, "go-previous", QStyle::SP_ArrowBack},
                         {ui_->ToolClose, "application-exit", QStyle::SP_DialogCloseButton},
                         {ui_->ToolBackup, "drive-harddisk", QStyle::SP_DriveHDIcon},
                         {ui_->ToolOpt, "preferences-system", QStyle::SP_FileDialogDetailedView},
                         {ui_->ToolInfo, "help-about", QStyle::SP_MessageBoxInformation},
                         {ui_->FileProjects, "folder-open", QStyle::SP_DirOpenIcon},
                         {ui_->DataTransConfig, "go-up", QStyle::SP_ArrowUp},
                         {ui_->DataReadConfig, "go-down", QStyle::SP_ArrowDown},
                         {ui_->DataTransMem, "go-next", QStyle::SP_ArrowForward},
                         {ui_->DataReadMem, "go-previous", QStyle::SP_ArrowBack},
                         {ui_->FileClose, "application-exit", QStyle::SP_DialogCloseButton},
                         {ui_->ExtrasBackup, "drive-harddisk", QStyle::SP_DriveHDIcon},
                     });
    ui_->ToolBar1->setIconSize(QSize(24, 24));

    portPanel_ = new QLabel(this);
    portPanel_->setObjectName("StatusPanel1");
    portPanel_->setMinimumWidth(160);
    directoryPanel_ = new QLabel(this);
    directoryPanel_->setObjectName("StatusPanel2");
    ui_->StatusBar1->addWidget(portPanel_);
    ui_->StatusBar1->addWidget(directoryPanel_, 1);
    ui_->StatusBar1->installEventFilter(this);

    ui_->MdiArea->setViewMode(QMdiArea::SubWindowView);
    connect(ui_->MdiArea, &QMdiArea::subWindowActivated, this, &TMainForm::ProjectWindowActivated);
    ui_->FileClose->setShortcut(QKeySequence::Quit);
    ui_->MenuInfo->setShortcut(QKeySequence::HelpContents);
    ui_->FileProjects->setShortcut(QKeySequence::Open);
    // The project window owns Ctrl+Z and Ctrl+Shift+Z; the menu only shows them.
    ui_->EditUndo->setShortcut(QKeySequence::Undo);
    ui_->EditRedo->setShortcut(QKeySequence("Ctrl+Shift+Z"));
    for (QAction* action : {ui_->EditUndo, ui_->EditRedo})
        action->setShortcutContext(Qt::WidgetShortcut);
    ConnectCommands();
    ui::KeepGeometry(*this);

    directoryPanel_->setText(ui::QStringFromPath(settings_.programDir));
    settings_ = settings::LoadSettings(settings_.programDir);
    link_ = std::make_unique<link::DeviceLink>(
        settings_.portName, [this](const std::string& m) { WarnDevice(ui::FromCp1252(m)); });
    context_ = std::make_unique<ui::WindowContext>(settings_, *link_, dialogs_, *this);
    // A project window that could not load its project has told why and
    // goes again at once.
    projectWindowFactory_ = [this](const std::string& projectName) -> QWidget* {
        auto window = std::make_unique<editor::TProjectForm>(*context_, projectName);
        return window->Load() ? window.release() : nullptr;
    };
    TestPort();
    link_->InitRequests();
    ApplyMainTexts(settings_.programLanguage);
}

void TMainForm::TestPort() {
    if (!settings_.portNumber) {
        // Start-up goes on; the user fixes the port in the settings dialog.
        ui::UiTexts text(settings_);
        portPanel_->setText(settings_.portName.empty()
                                ? text("NoPortChosen", "No COM port chosen (Extras, Options)")
                                : text("NotAPort", "\"%1\" is not a COM port (Extras, Options)")
                                      .arg(ui::FromCp1252(settings_.portName)));
        return;
    }
    if (link_->OpenPort()) {
        portPanel_->setText(ui::FromCp1252(settings_.portName));
        link_->ClosePort();
    }
}

void TMainForm::ConnectCommands() {
    connect(ui_->FileClose, &QAction::triggered, this, &TMainForm::FileCloseClick);
    connect(ui_->ToolClose, &QAction::triggered, this, &TMainForm::FileCloseClick);
    connect(ui_->ShowDirectKeys1, &QAction::triggered, this, &TMainForm::ShowDirectKeys1Click);
    connect(ui_->MenuEdit, &QMenu::aboutToShow, this, &TMainForm::MenuEditShow);
    connect(ui_->EditUndo, &QAction::triggered, this, [this] {
        if (ui::ProjectWindow* project = ActiveProjectWindow()) project->Undo();
    });
    connect(ui_->EditRedo, &QAction::triggered, this, [this] {
        if (ui::ProjectWindow* project = ActiveProjectWindow()) project->Redo();
    });
    connect(ui_->DataCreateFile, &QAction::triggered, this, &TMainForm::DataCreateFileClick);
    connect(ui_->ExtrasBackup, &QAction::triggered, this, &TMainForm::ExtrasBackupClick);
    connect(ui_->ToolBackup, &QAction::triggered, this, &TMainForm::ExtrasBackupClick);
    connect(ui_->FileProjects, &QAction::triggered, this, &TMainForm::FileProjectsClick);
    connect(ui_->ToolProjects, &QAction::triggered, this, &TMainForm::FileProjectsClick);
    connect(ui_->ExtrasOptions, &QAction::triggered, this, &TMainForm::ExtrasOptionsClick);
    connect(ui_->ToolOpt, &QAction::triggered, this, &TMainForm::ExtrasOptionsClick);
    connect(ui_->MenuInfo, &QAction::triggered, this, &TMainForm::MenuInfoClick);
    connect(ui_->ToolInfo, &QAction::triggered, this, &TMainForm::MenuInfoClick);
    connect(ui_->DataTransConfig, &QAction::triggered, this, &TMainForm::DataTransConfigClick);
    connect(ui_->ToolButton7, &QAction::triggered, this, &TMainForm::DataTransConfigClick);
    connect(ui_->DataReadConfig, &QAction::triggered, this, &TMainForm::DataReadConfigClick);
    connect(ui_->ToolButton8, &QAction::triggered, this, &TMainForm::DataReadConfigClick);
    connect(ui_->DataTransMem, &QAction::triggered, this, &TMainForm::DataTransMemClick);
    connect(ui_->ToolButton10, &QAction::triggered, this, &TMainForm::DataTransMemClick);
    connect(ui_->DataReadMem, &QAction::triggered, this, &TMainForm::DataReadMemClick);
    connect(ui_->ToolButton11, &QAction::triggered, this, &TMainForm::DataReadMemClick);
}

void TMainForm::ApplyMainTexts(const std::string& language) {
    settings::TextTable table(settings_.TextTablePath(), language);
    auto text = [&](const char* section, const char* defaultText) {
        return ui::FromCp1252(table.Lookup(section, defaultText));
    };
    mainTitle_ = text("mainform", "MainForm");
    UpdateCaption();
    for (const MainText& t : kMainTexts) {
        auto* action = findChild<QAction*>(t.target);
        if (t.hint)
            action->setToolTip(text(t.section, t.defaultText));
        else
            action->setText(text(t.section, t.defaultText));
    }
    for (const MenuText& t : kMenuTexts)
        findChild<QMenu*>(t.menu)->setTitle(text(t.section, t.defaultText));
    for (const char* name : kDialogCommands) {
        auto* action = findChild<QAction*>(name);
        action->setText(action->text() + "...");
    }
    ui::AssignAccessKeys(*ui_->MainMenu1);
    ui::UseQtTranslations(language);
}

void TMainForm::SetProjectWindowFactory(ProjectWindowFactory factory) {
    projectWindowFactory_ = std::move(factory);
}

void TMainForm::SetStatusText(const QString& text) {
    portPanel_->setText(text);
}

void TMainForm::SetCreateFileEnabled(bool enabled) {
    ui_->DataCreateFile->setEnabled(enabled);
}

void TMainForm::SetTransferConfigEnabled(bool enabled) {
    ui_->ToolButton7->setEnabled(enabled);
}

void TMainForm::SetShowDirectKeysEnabled(bool enabled) {
    ui_->ShowDirectKeys1->setEnabled(enabled);
}

void TMainForm::OpenProjectWindow(const std::string& projectName) {
    const QString caption = ui::FromCp1252(projectName);
    for (QMdiSubWindow* sub : ui_->MdiArea->subWindowList()) {
        if (sub->windowTitle() != caption) continue;
        ui::UiTexts text(settings_);
        dialogs_.Inform(this, windowTitle(), text("Already_Open", "Project already open!"));
        ui_->MdiArea->setActiveSubWindow(sub);
        return;
    }
    QWidget* window = projectWindowFactory_(projectName);
    if (!window) return;
    QMdiSubWindow* sub = ui_->MdiArea->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->showMaximized();
    UpdateCaption();
    // A new project's direct keys start hidden.
    ui::UiTexts text(settings_);
    ui_->ShowDirectKeys1->setText(text("EditShow", "Show Direct Keys"));
    ui::AssignAccessKeys(*ui_->MainMenu1);
}

QStringList TMainForm::ProjectWindowCaptions() const {
    QStringList captions;
    for (QMdiSubWindow* sub : ui_->MdiArea->subWindowList(QMdiArea::CreationOrder))
        captions << sub->windowTitle();
    return captions;
}

ui::ProjectWindow* TMainForm::ActiveProjectWindow() const {
    QMdiSubWindow* sub = ui_->MdiArea->activeSubWindow();
    if (!sub) {
        const auto list = ui_->MdiArea->subWindowList();
        if (list.isEmpty()) return nullptr;
        sub = list.constLast();
    }
    return dynamic_cast<ui::ProjectWindow*>(sub->widget());
}

void TMainForm::CloseActiveProjectWindow() {
    QMdiArea* area = ui_->MdiArea;
    if (area->subWindowList().isEmpty()) return;
    if (!area->activeSubWindow()) area->setActiveSubWindow(area->subWindowList().constLast());
    area->closeActiveSubWindow();
    UpdateCaption();
}

// With several projects open, the commands follow the one in front; with
// none left, the commands that need a project go.
void TMainForm::ProjectWindowActivated(QMdiSubWindow* sub) {
    UpdateCaption();
    if (!sub) {
        if (!ui_->MdiArea->subWindowList().isEmpty()) return;  // focus left the area
        SetCreateFileEnabled(false);
        SetShowDirectKeysEnabled(false);
        SetTransferConfigEnabled(true);
        return;
    }
    auto* project = dynamic_cast<ui::ProjectWindow*>(sub->widget());
    if (!project) return;
    project->ShowCommandStates();
    ui::UiTexts text(settings_);
    ui_->ShowDirectKeys1->setText(project->DirectKeysShown()
                                      ? text("EditHide", "Hide Direct Keys")
                                      : text("EditShow", "Show Direct Keys"));
    ui::AssignAccessKeys(*ui_->MainMenu1);
}

// The caption names the project being edited, as "Title - [Project]".
void TMainForm::UpdateCaption() {
    QMdiSubWindow* shown = ui_->MdiArea->activeSubWindow();
    if (!shown || shown->isHidden()) {
        shown = nullptr;
        for (QMdiSubWindow* sub : ui_->MdiArea->subWindowList())
            if (!sub->isHidden()) shown = sub;
    }
    setWindowTitle(shown ? QString("%1 - [%2]").arg(mainTitle_, shown->windowTitle()) : mainTitle_);
}

QString TMainForm::PortPanelText() const {
    return portPanel_->text();
}
QString TMainForm::DirectoryPanelText() const {
    return directoryPanel_->text();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->StatusBar1 && event->type() == QEvent::MouseButtonDblClick) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        int x = ui_->StatusBar1->mapTo(this, mouse->position().toPoint()).x();
        if (x >= 0 && x < 50) directoryPanel_->setText(QString::number(x));
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::FileCloseClick() {
    close();
}

void TMainForm::ShowDirectKeys1Click() {
    ui::ProjectWindow* project = ActiveProjectWindow();
    if (!project) return;
    bool show = !project->DirectKeysShown();
    project->SetDirectKeysShown(show);
    ui::UiTexts text(settings_);
    ui_->ShowDirectKeys1->setText(show ? text("EditHide", "Hide Direct Keys")
                                       : text("EditShow", "Show Direct Keys"));
    ui::AssignAccessKeys(*ui_->MainMenu1);
}

// Undo and Redo follow the project window the menu would act on.
void TMainForm::MenuEditShow() {
    ui::ProjectWindow* project = ActiveProjectWindow();
    ui_->EditUndo->setEnabled(project && project->CanUndo());
    ui_->EditRedo->setEnabled(project && project->CanRedo());
}

void TMainForm::DataCreateFileClick() {
    if (ui::ProjectWindow* project = ActiveProjectWindow()) project->CreateFile();
}

void TMainForm::ExtrasBackupClick() {
    backup::TOpenBackup backupWindow(*context_, this);
    ui::RunModalWindow(dialogs_, backupWindow);
}

void TMainForm::FileProjectsClick() {
    projects::TProjectlist list(*context_, this);
    ui::RunModalWindow(dialogs_, list);
}

void TMainForm::ExtrasOptionsClick() {
    TOptionsForm options(*context_, this);
    ui::RunModalWindow(dialogs_, options);
    SetStatusText(ui::FromCp1252(settings_.portName));
    ApplyMainTexts(settings_.programLanguage);
}

void TMainForm::MenuInfoClick() {
    TInfoForm info(*context_, this);
    ui::RunModalWindow(dialogs_, info);
}

void TMainForm::Inform(const QString& title, const QString& text) {
    dialogs_.Inform(this, title, text);
}

// The link's messages: the port or the device needs the user's attention;
// a port that cannot be opened is chosen in the settings dialog.
void TMainForm::WarnDevice(const QString& message) {
    QString text = message;
    if (message.startsWith(ui::FromCp1252(link::kCannotOpenMessage))) {
        ui::UiTexts table(settings_);
        text += "\n\n" + table("PortHint", "Choose the port under %1 \x9b %2.")
                             .arg(table("MenuExtras", "Extras"), table("ExtrasOptions", "Options"));
    }
    dialogs_.Warn(QApplication::activeModalWidget() ? QApplication::activeModalWidget() : this,
                  "ORBIK", text);
}

QString TMainForm::StartDir() const {
    return ui::QStringFromPath(settings_.programDir);
}

// An unusable image is refused before anything on the device is erased.
bool TMainForm::CheckSendFile(const link::TransferJob& job) {
    std::string error;
    if (link::CheckSendFile(job, &error)) return true;
    Inform("  PC to ORBIK", ui::FromCp1252(error));
    return false;
}

// Runs on an open port (the caller's PortGuard closes it afterwards).
void TMainForm::RunTransferDialog(const link::TransferJob& job) {
    std::optional<ui::BusyCursor> busy(std::in_place);  // while the device is identified
    link::RunSession(*link_, [&](bool) {
        busy.reset();
        link::TTransferForm transfer(*context_, this);
        transfer.Job = job;
        transfer.Prepare();
        ui::RunModalWindow(dialogs_, transfer);
        if (link::IsSend(job.operation) && transfer.VerifyChecked() != settings_.verifyAfterSend) {
            settings_.verifyAfterSend = transfer.VerifyChecked();
            settings::StoreVerify(settings_);
        }
    });
}

void TMainForm::DataTransConfigClick() {
    // The port comes first: without it there is nothing to choose a file for.
    link::PortGuard port(*link_);
    if (!port.IsOpen()) return;
    link::TransferJob job;
    if (ui::ProjectWindow* project = ActiveProjectWindow()) {
        std::string name = project->ProjectName();
        job.fileName =
            project::ImageFile(project::ProjectDir(settings_.ProjectsDir(), name), name, ".cif");
        job.operation = link::Operation::TransCif;
    } else {
        QString file = dialogs_.ChooseFileName(this, "Transfer Configuration", StartDir(),
                                               "Config Image cim/cif (*.ci?)", {});
        if (file.isEmpty()) return;
        job.fileName = ui::PathFromQString(file);
        if (!platform::FileExists(job.fileName)) {
            Inform("Transfer Configuration", file + " not found");
            return;
        }
        job.operation = link::ConfigSendOperation(job.fileName);
    }
    if (!CheckSendFile(job)) return;
    RunTransferDialog(job);
}

void TMainForm::DataReadConfigClick() {
    link::PortGuard port(*link_);
    if (!port.IsOpen()) return;
    QString file = dialogs_.SaveFileName(this, "Read Configuration", StartDir(),
                                         "Config Image (*.cim)", "cim");
    if (file.isEmpty()) return;
    link::TransferJob job;
    job.operation = link::Operation::ReadCim;
    job.fileName = ui::PathFromQString(file);
    RunTransferDialog(job);
}

void TMainForm::DataTransMemClick() {
    const QString caption = "  PC to ORBIK";
    QString file =
        dialogs_.ChooseFileName(this, "Transfer Memory", StartDir(), "MEM Image (*.mem)", "mem");
    if (file.isEmpty()) return;
    std::string error;
    auto plan = link::PlanMemSend(ui::PathFromQString(file), &error);
    if (!plan) {
        Inform(caption, ui::FromCp1252(error));
        return;
    }
    if (plan->shorterThanMemory &&
        !dialogs_.AskYesNo(this, caption, ui::FromCp1252(link::kShorterThanMemoryQuestion)))
        return;
    link::PortGuard port(*link_);
    if (port.IsOpen()) RunTransferDialog(plan->job);
}

void TMainForm::DataReadMemClick() {
    QString file =
        dialogs_.SaveFileName(this, "Read Memory", StartDir(), "MEM Image (*.mem)", "mem");
    if (file.isEmpty()) return;
    link::PortGuard port(*link_);
    if (!port.IsOpen()) return;
    link::TransferJob job;
    job.operation = link::Operation::ReadMem;
    job.fileName = ui::PathFromQString(file);
    job.startAddress = link::kMemoryStart;
    job.length = link::kMemorySize;
    RunTransferDialog(job);
}

}  // namespace orbik::app
