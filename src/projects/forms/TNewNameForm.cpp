#include "projects/forms/TNewNameForm.h"

#include "projects/NewName.h"
#include "ui/UiText.h"
#include "ui/WindowContext.h"
#include "ui_TNewNameForm.h"

namespace orbik::projects {

TNewNameForm::TNewNameForm(const ui::WindowContext& context, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TNewNameForm>()) {
    ui_->setupUi(this);
    setObjectName("NewNameForm");
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    ui::UiTexts text(context.settings);
    setWindowTitle(text("NewNameForm", "New Namew"));
    ui_->L_NewName->setText(text("L_NewName", "Please enter a new name"));
    ui_->Ok_B->setText(text("NNF_Ok_B", "OK"));
    ui_->Cancel_B->setText(text("NNF_Cancel_B", "Cancel"));
    ui_->L_NotAllowed->setText(ui::FromCp1252(NotAllowedText()));
    ui_->L_NotAllowed->hide();
    connect(ui_->E_NewName, &QLineEdit::textChanged, this, &TNewNameForm::E_NewNameChange);
    connect(ui_->Ok_B, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->Cancel_B, &QPushButton::clicked, this, &QDialog::reject);
}

TNewNameForm::~TNewNameForm() = default;

NewName TNewNameForm::Result() const {
    return {ui::ToCp1252(ui_->E_NewName->text())};
}

void TNewNameForm::SetMaxLength(int length) {
    ui_->E_NewName->setMaxLength(length);
}

void TNewNameForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ui_->E_NewName->setFocus();
}

void TNewNameForm::E_NewNameChange() {
    // A name of blanks stays refused too: trimmed, it would name the folder itself.
    NameCheck check = CheckNewName(ui::ToCp1252(ui_->E_NewName->text()));
    ui_->Ok_B->setEnabled(check == NameCheck::Ok);
    ui_->L_NotAllowed->setVisible(check == NameCheck::RefusedChar);
}

}  // namespace orbik::projects
