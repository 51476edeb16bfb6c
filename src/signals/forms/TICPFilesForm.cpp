#include "signals/forms/TICPFilesForm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "signals/IcpLibrary.h"
#include "ui/Desktop.h"
#include "ui/Dialogs.h"
#include "ui/UiText.h"
#include "ui/WindowContext.h"

namespace orbik::signals {

namespace {

QPushButton* Button(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TICPFilesForm::TICPFilesForm(ui::WindowContext& context, IcpFilesRequest request, QWidget* parent)
    : QDialog(parent), context_(context), request_(std::move(request)) {
    setObjectName("ICPFilesForm");
    ui::UiTexts text(context.settings);
    setWindowTitle(text("ICPFilesForm", "ICP Files"));
    LB_ICPFiles = new QListWidget(this);
    LB_ICPFiles->setObjectName("LB_ICPFiles");
    Rename_B = Button(this, "Rename_B", text("IFF_Rename_B", "Rename"));
    Copy_B = Button(this, "Copy_B", text("IFF_Copy_B", "Copy"));
    Delete_B = Button(this, "Delete_B", text("IFF_Delete_B", "Delete"));
    Browse_B = Button(this, "Browse_B", text("IFF_Browse_B", "Browse"));
    Add_B = Button(this, "Add_B", text("IFF_Add_B", "Add"));
    Cancel_B = Button(this, "Cancel_B", text("IFF_Cancel_B", "Cancel"));
    E_newname = new QLineEdit(this);
    E_newname->setObjectName("E_newname");
    E_newname->setMaxLength(int(kLibraryNameBound));
    E_newname->installEventFilter(this);
    Ok_B = Button(this, "Ok_B", text("IFF_Ok_B", "Ok"));
    Cancel2_B = Button(this, "Cancel2_B", text("IFF_Cancel2_B", "Cancel"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(LB_ICPFiles, 0, 0, 6, 1);
    int row = 0;
    for (QPushButton* button : {Rename_B, Copy_B, Delete_B, Browse_B, Add_B, Cancel_B})
        layout->addWidget(button, row++, 1);
    auto* entry = new QHBoxLayout;
    entry->addWidget(E_newname, 1);
    entry->addWidget(Ok_B);
    entry->addWidget(Cancel2_B);
    layout->addLayout(entry, 6, 0, 1, 2);

    connect(LB_ICPFiles, &QListWidget::currentRowChanged, this, &TICPFilesForm::UpdateButtons);
    connect(Rename_B, &QPushButton::clicked, this, [this] { OpenNameEntry(Mode::Rename); });
    connect(Copy_B, &QPushButton::clicked, this, [this] { OpenNameEntry(Mode::Copy); });
    connect(Cancel2_B, &QPushButton::clicked, this, &TICPFilesForm::CloseNameEntry);
    connect(E_newname, &QLineEdit::textChanged, this, &TICPFilesForm::E_newnameChange);
    connect(Ok_B, &QPushButton::clicked, this, &TICPFilesForm::Ok_BClick);
    connect(Delete_B, &QPushButton::clicked, this, &TICPFilesForm::Delete_BClick);
    connect(Browse_B, &QPushButton::clicked, this, &TICPFilesForm::Browse_BClick);
    connect(Add_B, &QPushButton::clicked, this, &TICPFilesForm::Add_BClick);
    connect(Cancel_B, &QPushButton::clicked, this, &QDialog::reject);
    FillList({});
    CloseNameEntry();
    ui::AssignAccessKeys(*this);
}

void TICPFilesForm::FillList(const std::string& select) {
    files_ = ListCodeFiles(request_.libraryDir);
    LB_ICPFiles->clear();
    for (const std::string& file : files_) {
        LB_ICPFiles->addItem(ui::FromCp1252(file));
        if (file == select) LB_ICPFiles->setCurrentRow(LB_ICPFiles->count() - 1);
    }
    UpdateButtons();
}

std::string TICPFilesForm::Selected() const {
    int row = LB_ICPFiles->currentRow();
    return row >= 0 && row < int(files_.size()) ? files_[std::size_t(row)] : std::string();
}

void TICPFilesForm::UpdateButtons() {
    bool selected = !Selected().empty() && LB_ICPFiles->isEnabled();
    for (QPushButton* button : {Rename_B, Copy_B, Delete_B, Add_B}) button->setEnabled(selected);
}

void TICPFilesForm::Tell(std::string_view text) {
    context_.dialogs.Inform(this, windowTitle(), ui::FromCp1252(text));
}

void TICPFilesForm::OpenNameEntry(Mode mode) {
    mode_ = mode;
    ui::UiTexts text(context_.settings);
    Ok_B->setText(mode == Mode::Rename ? text("IFF_RenameFile", "Rename File")
                                       : text("IFF_CopyFile", "Copy File"));
    E_newname->clear();
    for (QWidget* widget : {static_cast<QWidget*>(E_newname), static_cast<QWidget*>(Ok_B),
                            static_cast<QWidget*>(Cancel2_B)})
        widget->show();
    Ok_B->setEnabled(false);
    for (QWidget* widget : {static_cast<QWidget*>(Rename_B), static_cast<QWidget*>(Copy_B),
                            static_cast<QWidget*>(Browse_B), static_cast<QWidget*>(Delete_B),
                            static_cast<QWidget*>(LB_ICPFiles)})
        widget->setEnabled(false);
    E_newname->setFocus();
}

void TICPFilesForm::CloseNameEntry() {
    for (QWidget* widget : {static_cast<QWidget*>(E_newname), static_cast<QWidget*>(Ok_B),
                            static_cast<QWidget*>(Cancel2_B)})
        widget->hide();
    LB_ICPFiles->setEnabled(true);
    Browse_B->setEnabled(true);
    UpdateButtons();
}

void TICPFilesForm::E_newnameChange() {
    Ok_B->setEnabled(NameOffered(ui::ToCp1252(E_newname->text()), files_));
}

void TICPFilesForm::Ok_BClick() {
    std::string name = ui::ToCp1252(E_newname->text());
    if (std::string refused = CheckLibraryName(name); !refused.empty()) return Tell(refused);
    std::string file = Selected(), error;
    FileMove moved = mode_ == Mode::Rename
                         ? RenameLibraryFile(request_.libraryDir, file, name, &error)
                         : CopyLibraryFile(request_.libraryDir, file, name, &error);
    if (!Done(moved, error)) return;
    CloseNameEntry();
    FillList(name + ".icp");
}

void TICPFilesForm::Delete_BClick() {
    std::string file = Selected();
    if (file.empty()) return;
    ui::UiTexts text(context_.settings);
    if (!context_.dialogs.AskYesNo(this, windowTitle(),
                                   text("IFF_DeleteQuestion", std::string(kDeleteIcpQuestion))))
        return;
    std::string error;
    if (!DeleteCodeFile(request_.libraryDir, file, &error))
        context_.dialogs.Warn(this, windowTitle(), ui::FromCp1252(error));
    int row = LB_ICPFiles->currentRow();
    FillList({});
    LB_ICPFiles->setCurrentRow(std::min(row, LB_ICPFiles->count() - 1));
}

void TICPFilesForm::Browse_BClick() {
    QString chosen =
        context_.dialogs.OpenFileName(this, windowTitle(), {}, "ICP File (*.ICP *.icp)");
    if (chosen.isEmpty()) return;
    fs::path source = ui::PathFromQString(chosen);
    std::string file = platform::PathToMessage(source.filename()), error;
    if (Done(CopyCodeFile(source.parent_path(), file, request_.libraryDir, file, &error), error))
        FillList(file);
}

void TICPFilesForm::Add_BClick() {
    std::string file = Selected(), error;
    if (file.empty()) return;
    if (!Done(CopyCodeFile(request_.libraryDir, file, request_.workDir, file, &error), error))
        return;
    result_.added = file;
    accept();
}

// A file that is there already, or that could not be moved, is told.
bool TICPFilesForm::Done(FileMove moved, const std::string& error) {
    if (moved == FileMove::Exists) Tell(kFileExistsText);
    if (moved == FileMove::Failed)
        context_.dialogs.Warn(this, windowTitle(), ui::FromCp1252(error));
    return moved == FileMove::Done;
}

bool TICPFilesForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == E_newname && event->type() == QEvent::KeyPress) {
        int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (Ok_B->isEnabled()) Ok_BClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace orbik::signals
