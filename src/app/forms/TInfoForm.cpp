#include "app/forms/TInfoForm.h"

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
    ui_->Label5->setText("Version " +
                         ui::FromCp1252(settings::ProgramVersion(context.settings.IniPath())));
    connect(ui_->Ok_B, &QPushButton::clicked, this, &QDialog::accept);
}

TInfoForm::~TInfoForm() = default;

}  // namespace orbik::app
