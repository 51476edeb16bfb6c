#include "compiler/forms/TCreateForm.h"

#include "ui/UiText.h"
#include "ui/WindowContext.h"
#include "ui_TCreateForm.h"

namespace orbik::compiler {

TCreateForm::TCreateForm(const ui::WindowContext& context, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TCreateForm>()) {
    ui_->setupUi(this);
    setObjectName("CreateForm");
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    setFixedSize(548, 150);
    if (parent) move(parent->window()->geometry().center() - rect().center());
    ui::UiTexts text(context.settings);
    setWindowTitle(text("Createform", "Create File"));
    ui_->Close_B->setText(text("CF_Close_B", "Close"));
    connect(ui_->Close_B, &QPushButton::clicked, this, &QDialog::accept);
}

TCreateForm::~TCreateForm() = default;

void TCreateForm::BuildFinished() {
    ui_->Close_B->setEnabled(true);
}

void TCreateForm::Changed() {
    ui_->L_Status->setText(ui::FromCp1252(Status()));
    ui_->L_Status1->setText(ui::FromCp1252(Finished()));
    // Paint now: the build gives the event loop no chance until it ends.
    repaint();
}

}  // namespace orbik::compiler
