#include "editor/forms/TEditActionForm.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "editor/ActionLines.h"
#include "editor/forms/ActionWidgets.h"
#include "ui/UiText.h"
#include "ui/WindowContext.h"

namespace orbik::editor {

TEditActionForm::TEditActionForm(const ui::WindowContext& context, const std::string& line,
                                 QWidget* parent)
    : QDialog(parent) {
    setObjectName("EditActionForm");
    ui::UiTexts text(context.settings);
    setWindowTitle(text("EditActionForm", "Edit Action"));

    action_ = new QLineEdit(ui::FromCp1252(line), this);
    action_->setObjectName("E_Action");
    action_->setMinimumWidth(420);
    name_ = new QLineEdit(this);
    name_->setObjectName("E_bt_find");
    number_ = new QLineEdit(this);
    number_->setObjectName("E_bt_send");
    ConfigureFindNameFields(*name_, *number_, text);
    manual_ = new QCheckBox(text("EAF_CB_manual", "Manual"), this);
    manual_->setObjectName("CB_manual");
    ok_ = MakeButton(this, "Ok_B", text("EAF_Ok_B", "Ok"));
    auto* cancel = MakeButton(this, "Cancel_B", text("EAF_Cancel_B", "Cancel"));
    ok_->setDefault(true);  // Enter presses OK

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(action_);
    layout->addWidget(name_);
    layout->addWidget(number_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(manual_);
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    if (line.find("FindBtTelephoneNumber") != std::string::npos) {
        if (auto fields = ParseFindBtTelephoneNumber(line)) {
            findName_ = true;
            name_->setText(ui::FromCp1252(fields->name));
            number_->setText(ui::FromCp1252(fields->number));
        }
    }
    connect(manual_, &QCheckBox::toggled, this, &TEditActionForm::CB_manualClick);
    for (QLineEdit* edit : {action_, name_, number_})
        connect(edit, &QLineEdit::textChanged, this, &TEditActionForm::Update);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    CB_manualClick();
}

bool TEditActionForm::FieldsShown() const {
    return findName_ && !manual_->isChecked();
}

void TEditActionForm::CB_manualClick() {
    const bool fields = FieldsShown();
    // Switching to text starts from what the fields make now.
    if (!fields && findName_) {
        ComposedLine composed =
            FindBtTelephoneNumberLine(ui::ToCp1252(name_->text()), ui::ToCp1252(number_->text()));
        if (composed.ok()) action_->setText(ui::FromCp1252(composed.line));
    }
    action_->setVisible(!fields);
    name_->setVisible(fields);
    number_->setVisible(fields);
    Update();
}

void TEditActionForm::Update() {
    if (!FieldsShown()) {
        ok_->setEnabled(!action_->text().isEmpty());
        ok_->setToolTip({});
        return;
    }
    ComposedLine composed =
        FindBtTelephoneNumberLine(ui::ToCp1252(name_->text()), ui::ToCp1252(number_->text()));
    ok_->setEnabled(composed.ok());
    ok_->setToolTip(ui::FromCp1252(composed.error));
}

EditedAction TEditActionForm::Result() const {
    if (!FieldsShown()) return {ui::ToCp1252(action_->text())};
    return {
        FindBtTelephoneNumberLine(ui::ToCp1252(name_->text()), ui::ToCp1252(number_->text())).line};
}

}  // namespace orbik::editor
