#include "backup/forms/TOpenBackup.h"

#include "platform/FileSystem.h"
#include "projects/NewName.h"
#include "ui/Dialogs.h"
#include "ui/UiText.h"
#include "ui/WindowContext.h"
#include "ui_TOpenBackup.h"

namespace orbik::backup {

TOpenBackup::TOpenBackup(const ui::WindowContext& context, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TOpenBackup>()), context_(context) {
    ui_->setupUi(this);
    setObjectName("OpenBackup");
    FormCreate();
    connect(ui_->B_Browse, &QPushButton::clicked, this, &TOpenBackup::B_BrowseClick);
    connect(ui_->LB_FileDevices, &QListWidget::currentRowChanged, this,
            &TOpenBackup::LB_FileDevicesClick);
    connect(ui_->LB_ICPFiles, &QListWidget::itemSelectionChanged, this, &TOpenBackup::UpdateCopy);
    connect(ui_->E_NewName, &QLineEdit::textChanged, this, &TOpenBackup::E_NewNameChange);
    connect(ui_->B_Copy, &QPushButton::clicked, this, &TOpenBackup::B_CopyClick);
    connect(ui_->B_Close, &QPushButton::clicked, this, &QDialog::accept);
}

TOpenBackup::~TOpenBackup() = default;

void TOpenBackup::FormCreate() {
    ApplyTexts();
    ui_->L_NotAllowed->setText(ui::FromCp1252(projects::NotAllowedText()));
    ui_->L_NotAllowed->hide();
    library_ = platform::JoinSetting(context_.ProgramDir(), context_.settings.irIcp);
    FillLibrary();
}

void TOpenBackup::ApplyTexts() {
    ui::UiTexts text(context_.settings);
    setWindowTitle(text("OpenBackup", "Open Backup"));
    ui_->B_Browse->setText(text("OB_B_Browse", "Browse"));
    ui_->L_Existing_ICP->setText(text("OB_L_Existing_ICP", "Existing ICP Files"));
    ui_->L_ProjectDevices->setText(text("OB_L_ProjectDevices", "Project Devices"));
    ui_->L_ICPFiles->setText(text("OB_L_ICPFiles", "ICP Files"));
    ui_->L_NewName->setText(text("OB_L_NewName", "Enter New Name"));
    ui_->B_Copy->setToolTip(text("OB_B_Copy", "Copy --01 File"));
    ui_->B_Close->setText(text("OB_B_Close", "Close"));
}

void TOpenBackup::FillLibrary() {
    ui_->LB_IR_ICP->clear();
    for (const std::string& name : ListIcpFiles(library_))
        ui_->LB_IR_ICP->addItem(ui::FromCp1252(name));
}

void TOpenBackup::B_BrowseClick() {
    QString file = context_.dialogs.OpenFileName(
        this, windowTitle(), ui::QStringFromPath(context_.settings.ProjectsDir()),
        "Config / Memory File (*.cim *.mem *.CIM *.MEM)");
    if (file.isEmpty()) return;
    ui_->E_Filename->setText(file);
    OpenFile(file);
}

void TOpenBackup::OpenFile(const QString& file) {
    std::string error;
    bool read = backup::ReadBackupFile(ui::PathFromQString(file), &bytes_, &contents_, &error);
    ShowContents();
    // What was read before the damage stays listed.
    if (!read) context_.dialogs.Inform(this, windowTitle(), ui::FromCp1252(error));
}

void TOpenBackup::ShowContents() {
    QLabel* labels[kCountCount] = {ui_->L_Lang, ui_->L_Keyw, ui_->L_Item, ui_->L_Menu, ui_->L_Dev};
    const char* words[kCountCount] = {" Languages", " Keywords", " Items", " Menus", " Devices"};
    ui_->L_ID->setText(ui::FromCp1252(contents_.id));
    for (std::size_t c = 0; c < kCountCount; ++c)
        labels[c]->setText(contents_.hasSummary ? QString::number(contents_.counts[c]) + words[c]
                                                : QString());
    QSignalBlocker block(ui_->LB_FileDevices);
    ui_->LB_FileDevices->clear();
    for (const auto& type : contents_.deviceTypes)
        ui_->LB_FileDevices->addItem(ui::FromCp1252(type.name));
    ui_->LB_FileDevices->setEnabled(true);
    ui_->LB_ICPFiles->clear();
    ui_->E_NewName->clear();
    ui_->E_NewName->setEnabled(false);
    UpdateCopy();
}

// The row says which type: several types may show the same (or no) name.
void TOpenBackup::LB_FileDevicesClick() {
    int row = ui_->LB_FileDevices->currentRow();
    ui_->LB_ICPFiles->clear();
    if (row < 0 || row >= static_cast<int>(contents_.deviceTypes.size())) return;
    for (const auto& file : contents_.deviceTypes[row].irFiles)
        ui_->LB_ICPFiles->addItem(ui::FromCp1252(file.name));
    ui_->E_NewName->setEnabled(true);
    ui_->E_NewName->clear();
    UpdateCopy();
}

void TOpenBackup::E_NewNameChange() {
    std::string name = ui::ToCp1252(ui_->E_NewName->text());
    ui_->L_NotAllowed->setVisible(name.find_first_of(projects::kRefusedNameChars) !=
                                  std::string::npos);
    UpdateCopy();
}

// Copy needs a name that may become a file name and a file to copy.
void TOpenBackup::UpdateCopy() {
    ui_->B_Copy->setEnabled(ui_->E_NewName->isEnabled() && ui_->LB_ICPFiles->count() > 0 &&
                            projects::CheckNewName(ui::ToCp1252(ui_->E_NewName->text())) ==
                                projects::NameCheck::Ok);
}

void TOpenBackup::B_CopyClick() {
    int row = ui_->LB_FileDevices->currentRow();
    if (row < 0 || row >= static_cast<int>(contents_.deviceTypes.size())) return;
    bool packed = false;
    std::string error;
    if (!CopyIrFile(bytes_, contents_.deviceTypes[row], library_,
                    ui::ToCp1252(ui_->E_NewName->text()), &packed, &error)) {
        context_.dialogs.Inform(this, windowTitle(), ui::FromCp1252(error));
        return;
    }
    FillLibrary();
}

}  // namespace orbik::backup
