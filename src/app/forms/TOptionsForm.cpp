#include "app/forms/TOptionsForm.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "link/Protocol.h"
#include "orbik/Version.h"
#include "platform/SerialPorts.h"
#include "ui/Desktop.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"
#include "ui/UiText.h"
#include "ui/WindowContext.h"
#include "ui_TOptionsForm.h"

namespace orbik::app {

namespace {

const QString kCurrentFirmware = QString::fromLatin1(kFirmwareVersion);

// The upgrade tool: in the program directory, else beside this program
// (where an installation puts it).
QString FindUpgradeTool(const settings::Settings& settings) {
    const QString candidates[] = {
        ui::QStringFromPath(settings.programDir / "orbikflash"),
        QCoreApplication::applicationDirPath() + "/orbikflash",
    };
    for (const QString& path : candidates) {
        QFileInfo info(path);
        if (info.isFile() && info.isExecutable()) return info.canonicalFilePath();
    }
    return {};
}

// The desktop's terminal and the arguments that make it run a program.
QStringList TerminalCommand() {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return {};
    const struct {
        const char* program;
        const char* runFlag;
    } terminals[] = {{"x-terminal-emulator", "-e"},
                     {"gnome-terminal", "--"},
                     {"konsole", "-e"},
                     {"xfce4-terminal", "-x"},
                     {"xterm", "-e"}};
    for (const auto& t : terminals) {
        QString path = QStandardPaths::findExecutable(t.program);
        if (!path.isEmpty()) return {path, t.runFlag};
    }
    return {};
}

}  // namespace

TOptionsForm::TOptionsForm(ui::WindowContext& context, QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::TOptionsForm>()),
      context_(context),
      settings_(context.settings),
      link_(context.link),
      dialogs_(context.dialogs) {
    ui_->setupUi(this);
    setObjectName("OptionsForm");
    // A tool window without a close box: Close_B applies the choices.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    FormCreate();
    connect(ui_->CB_Port, &QComboBox::currentIndexChanged, this, &TOptionsForm::CB_PortChange);
    connect(ui_->Refresh_B, &QPushButton::clicked, this, &TOptionsForm::Refresh_BClick);
    connect(ui_->Store_B, &QPushButton::clicked, this, &TOptionsForm::Store_BClick);
    connect(ui_->Test_B, &QPushButton::clicked, this, &TOptionsForm::Test_BClick);
    connect(ui_->StoreL_B, &QPushButton::clicked, this, &TOptionsForm::StoreL_BClick);
    connect(ui_->PortPage, &QTabWidget::currentChanged, this, &TOptionsForm::PortPageChange);
    connect(ui_->B_Update, &QPushButton::clicked, this, &TOptionsForm::B_UpdateClick);
    connect(ui_->Close_B, &QPushButton::clicked, this, &TOptionsForm::Close_BClick);
}

TOptionsForm::~TOptionsForm() = default;

void TOptionsForm::FormCreate() {
    storeLanguages_ = false;
    FillPorts();
    std::string stored = platform::ReadProfileString(settings_.IniPath(), "Port", "Interface");
    bool shown = PortShown();
    if (shown && ui::ToCp1252(ui_->CB_Port->currentText()) != stored) {
        ui_->Store_B->setEnabled(true);
    } else {
        ui_->Store_B->setEnabled(false);
    }
    ui_->Test_B->setEnabled(shown);
    // Items carry the language's key; they show its name in the program language.
    for (QComboBox* box : {ui_->CB_MainLang, ui_->CB_PrLang})
        for (int i = 0; i < box->count(); ++i) box->setItemData(i, box->itemText(i));
    auto select = [](QComboBox* box, const std::string& text) {
        box->setCurrentIndex(box->findData(ui::FromCp1252(text)));
    };
    select(ui_->CB_MainLang, settings_.programLanguage);
    select(ui_->CB_PrLang, settings_.projectLanguage);
    ApplyTexts();
    ui_->PortPage->setTabVisible(ui_->PortPage->indexOf(ui_->TS_Language),
                                 settings_.languageSwitch);
    ui_->PortPage->setCurrentWidget(ui_->TS_Interface);
    ui::KeepGeometry(*this);
}

void TOptionsForm::ApplyTexts() {
    ui::UiTexts text(settings_);
    setWindowTitle(text("optionform", "OptionForm"));
    ui_->PortPage->setTabText(ui_->PortPage->indexOf(ui_->TS_Interface),
                              text("PortPage", "Interface"));
    ui_->PortPage->setTabText(ui_->PortPage->indexOf(ui_->TS_Language),
                              text("LangPage", "Language"));
    ui_->Refresh_B->setText(text("Refresh_B", "Refresh"));
    ui_->Store_B->setText(text("Store_B", "Store"));
    ui_->StoreL_B->setText(text("StoreL_B", "Store"));
    ui_->Label2->setText(text("Prog_L", "Program"));
    ui_->Label3->setText(text("Proj_L", "Project"));
    ui_->Close_B->setText(text("Close_B", "Close"));
    ui_->B_Update->setText(text("B_Update", "Update to") + " " + kCurrentFirmware);
    ui_->Test_B->setText(text("Test_B", "Test"));
    ui_->Label1->setText(text("Port_L", "COM Port"));
    ui_->PortPage->setTabText(ui_->PortPage->indexOf(ui_->TS_Firmware),
                              text("FirmwarePage", "Firmware"));
    ui_->L_FW_Version->setText(text("L_FW_Version", "No ORBIK found..."));
    ui_->CB_Port->setPlaceholderText(text("NoPorts", "no ports found"));
    for (QComboBox* box : {ui_->CB_MainLang, ui_->CB_PrLang})
        for (int i = 0; i < box->count(); ++i) {
            std::string name = ui::ToCp1252(box->itemData(i).toString());
            box->setItemText(i, text("Language_" + name, name));
        }
    noDeviceText_ = text("NoDevice", "No ORBIK found");
    restartText_ = text("Restart", "Please restart ORBIK!");
    msgText_ = text("MsgText", "Project must be closed");
    ui::AssignAccessKeys(*this);
}

// Lists the ports and selects the current one, else the first one; with no
// port at all the box says so.
void TOptionsForm::FillPorts() {
    std::vector<std::string> ports;
    platform::ListSerialPorts(platform::SerialPortScheme::FromEnvironment(), ports);
    QSignalBlocker block(ui_->CB_Port);
    ui_->CB_Port->clear();
    for (const auto& port : ports) ui_->CB_Port->addItem(ui::FromCp1252(port));
    int current = ui_->CB_Port->findText(ui::FromCp1252(settings_.portName));
    ui_->CB_Port->setCurrentIndex(current >= 0 || ports.empty() ? current : 0);
}

bool TOptionsForm::PortShown() const {
    return !ui_->CB_Port->currentText().isEmpty();
}

void TOptionsForm::UsePortShown() {
    context_.SetPort(ui::ToCp1252(ui_->CB_Port->currentText()));
}

void TOptionsForm::CB_PortChange() {
    bool shown = PortShown();
    ui_->Store_B->setEnabled(shown);
    ui_->Test_B->setEnabled(shown);
}

void TOptionsForm::Refresh_BClick() {
    FillPorts();
    if (PortShown()) {
        ui_->Store_B->setEnabled(true);
        ui_->Test_B->setEnabled(true);
    }
}

void TOptionsForm::Store_BClick() {
    UsePortShown();
    std::string error;
    if (!settings::StorePort(settings_, &error))
        dialogs_.Inform(this, windowTitle(), ui::FromCp1252(error));
    context_.mainWindow.SetStatusText(ui::FromCp1252(settings_.portName));
}

void TOptionsForm::Test_BClick() {
    ui::BusyCursor busy;
    UsePortShown();
    if (!link_.OpenPort()) return;
    // The port stays open until the dialog closes.
    link_.InitRequests();
    if (link_.Connected) {
        link_.Disconnect();
        ui_->L_ID->clear();
    } else if (link_.Identify()) {
        ui_->L_ID->setText(ui::FromCp1252("ORBIK " + link_.DeviceModel + " ID:" + link_.DeviceID));
    }
}

void TOptionsForm::StoreL_BClick() {
    storeLanguages_ = true;
}

void TOptionsForm::PortPageChange(int index) {
    if (ui_->PortPage->widget(index) != ui_->TS_Firmware) return;
    // Looking at the page is no command: what failed shows on the page.
    ui::BusyCursor busy;
    QString failure;
    platform::Reporter previous = link_.ReplaceReporter(
        [&failure](const std::string& message) { failure = ui::FromCp1252(message); });
    if (link_.OpenPort()) {
        link_.InitRequests();
        link_.Identify();
    }
    link_.ReplaceReporter(std::move(previous));
    if (!link_.Connected) {
        ui_->L_FW_Version->setText(
            failure.startsWith(ui::FromCp1252(link::kCannotOpenMessage)) ? failure : noDeviceText_);
    } else {
        ui_->L_FW_Version->setText(
            ui::FromCp1252("ORBIK " + link_.DeviceModel + " Version: " + link_.FirmwareVersion));
        link_.Disconnect();
        if (ui::FromCp1252(link_.FirmwareVersion) != kCurrentFirmware)
            ui_->B_Update->setEnabled(true);
    }
    link_.ClosePort();
}

void TOptionsForm::B_UpdateClick() {
    QString tool = FindUpgradeTool(settings_);
    ui::UiTexts texts(settings_);
    if (tool.isEmpty()) {
        dialogs_.Warn(this, windowTitle(), texts("NoUpgradeTool", "Cannot find orbikflash"));
        return;
    }
    if (!settings_.portNumber) {
        dialogs_.Warn(this, windowTitle(),
                      ui::FromCp1252(link::kCannotOpenMessage + settings_.portName));
        return;
    }
    // The tool opens the port itself.
    link_.ClosePort();
    const QString port = QString::number(*settings_.portNumber);
    QProcess process;
    process.setWorkingDirectory(ui::QStringFromPath(settings_.programDir));
    QStringList terminal = TerminalCommand();
    if (!terminal.isEmpty()) {
        process.setProgram(terminal.takeFirst());
        process.setArguments(terminal << tool << port);
    } else {
        // No terminal to watch it in: keep its output for the user.
        upgradeLog_ = QDir::temp().filePath(
            "orbikflash-" + QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss") + ".log");
        process.setProgram(tool);
        process.setArguments({port});
        process.setStandardOutputFile(upgradeLog_);
        process.setStandardErrorFile(upgradeLog_, QIODevice::Append);
    }
    if (!process.startDetached()) {
        dialogs_.Warn(this, windowTitle(), texts("CannotStart", "Cannot start") + " " + tool);
        upgradeLog_.clear();
        return;
    }
    ui_->B_Update->setEnabled(false);
    QString text = restartText_;
    if (!upgradeLog_.isEmpty()) text += "\n" + QDir::toNativeSeparators(upgradeLog_);
    ui_->L_FW_Version->setText(text);
}

void TOptionsForm::Close_BClick() {
    if (closing_) return;
    if (PortShown()) {
        UsePortShown();
        link_.OpenPort();
    }
    // A language that is not among the choices shows as nothing; it stays
    // as it was rather than becoming empty.
    auto chosen = [](const QComboBox* box, const std::string& current) {
        return box->currentIndex() < 0 ? current : ui::ToCp1252(box->currentData().toString());
    };
    context_.SetProgramLanguage(chosen(ui_->CB_MainLang, settings_.programLanguage));
    std::string projectLanguage = chosen(ui_->CB_PrLang, settings_.projectLanguage);
    ui::MainWindow& mainWindow = context_.mainWindow;
    bool projectOpen = !mainWindow.ProjectWindowCaptions().isEmpty();
    if (!projectOpen) {
        context_.SetProjectLanguage(projectLanguage);
    } else if (projectLanguage != settings_.projectLanguage &&
               dialogs_.Confirm(this, windowTitle(), msgText_)) {
        context_.SetProjectLanguage(projectLanguage);
        mainWindow.CloseActiveProjectWindow();
    }
    if (storeLanguages_) {
        std::string error;
        if (!settings::StoreLanguages(settings_, &error))
            dialogs_.Inform(this, windowTitle(), ui::FromCp1252(error));
    }
    if (link_.Connected) link_.Disconnect();
    link_.ClosePort();
    closing_ = true;
    accept();
}

void TOptionsForm::reject() {
    Close_BClick();
}

}  // namespace orbik::app
