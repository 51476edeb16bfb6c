#include "app/forms/TInfoForm.h"

#include "ui/Desktop.h"
#include "ui/UiText.h"
#include "ui/WindowContext.h"
#include "ui_TInfoForm.h"

namespace orbik::app {

TInfoForm::TInfoForm(const ui::WindowContext& context, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TInfoForm>()) {
    ui_->setupUi(this);
    setObjectName("InfoForm");
    // No close box: OK is the way out.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowStaysOnTopHint);
    ui::UiTexts text(context.settings);
    setWindowTitle(text("InfoForm", "Info"));
    ui_->Label1->setText(text("Info_Label1", "Configuration Software for"));
    ui_->Label3->setText(text("Info_Label3", "devices"));
    ui_->Label5->setText(text("Info_Version", "Version") + " " +
                         ui::FromCp1252(settings::ProgramVersion(context.settings.IniPath())));
    ui_->Ok_B->setText(text("Ok_B", "OK"));
    ui::AssignAccessKeys(*this);
    connect(ui_->Ok_B, &QPushButton::clicked, this, &QDialog::accept);
}

TInfoForm::~TInfoForm() = default;

}  // namespace orbik::app
