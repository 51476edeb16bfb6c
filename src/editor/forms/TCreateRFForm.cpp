#include "editor/forms/TCreateRFForm.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "editor/forms/ActionWidgets.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "ui/Dialogs.h"
#include "ui/UiText.h"
#include "ui/WindowContext.h"

namespace orbik::editor {

TCreateRFForm::TCreateRFForm(const ui::WindowContext& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName("CreateRFForm");
    ui::UiTexts text(context.settings);
    setWindowTitle(text("CreateRFForm", "Create RF File"));
    const RfTiming defaults;
    const std::pair<const char*, std::string RfTiming::*> fields[] = {
        {"Name1", &RfTiming::firstName}, {"Name2", &RfTiming::secondName},
        {"Zero_L", &RfTiming::zeroL},    {"One_L", &RfTiming::oneL},
        {"PW_Zero", &RfTiming::pwZero},  {"PW_One", &RfTiming::pwOne},
        {"Count", &RfTiming::count},     {"W_Pause", &RfTiming::wPause},
        {"E_Pause", &RfTiming::ePause},  {"Nr_Bytes", &RfTiming::nrBytes},
        {"Data", &RfTiming::data}};
    auto* form = new QFormLayout;
    for (const auto& [name, member] : fields) {
        auto* edit = new QLineEdit(ui::FromCp1252(defaults.*member), this);
        edit->setObjectName(name);
        form->addRow(text(std::string("CRF_") + name, name), edit);
        fields_.emplace_back(member, edit);
    }
    fileName_ = new QLineEdit(this);
    fileName_->setObjectName("Filename");
    form->addRow(text("CRF_Filename", "Filename"), fileName_);
    list_ = new QListWidget(this);
    list_->setObjectName("LB_RFSig");
    auto* add = MakeButton(this, "Add_B", text("CRF_Add_B", "Add"));
    auto* write = MakeButton(this, "New_B", text("CRF_New_B", "Write File"));
    auto* close = MakeButton(this, "Close_B", text("CRF_Close_B", "Close"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(write);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* columns = new QHBoxLayout;
    columns->addLayout(form);
    columns->addWidget(list_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);
    connect(add, &QPushButton::clicked, this, &TCreateRFForm::Add_BClick);
    connect(write, &QPushButton::clicked, this, &TCreateRFForm::New_BClick);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

RfTiming TCreateRFForm::Timing() const {
    RfTiming timing;
    for (const auto& [member, edit] : fields_)
        timing.*member = ui::ToCp1252(edit->text().trimmed());
    return timing;
}

void TCreateRFForm::Add_BClick() {
    RfTiming timing = Timing();
    if (auto problem = CheckRfTiming(timing); !problem.empty()) {
        context_.dialogs.Warn(this, windowTitle(), ui::FromCp1252(problem));
        return;
    }
    list_->addItem(ui::FromCp1252(";RF " + timing.firstName + " " + timing.secondName));
    signals_.push_back(std::move(timing));
}

void TCreateRFForm::New_BClick() {
    const std::string name = ui::ToCp1252(fileName_->text().trimmed());
    std::string error = CheckRfFileName(name);
    if (error.empty() && signals_.empty()) error = "no signal added";
    if (!error.empty()) {
        context_.dialogs.Warn(this, windowTitle(), ui::FromCp1252(error));
        return;
    }
    const auto path = RfWriterPath(context_.ProgramDir(), name);
    if (platform::FileExists(path) &&
        !context_.dialogs.AskYesNo(
            this, windowTitle(),
            ui::FromCp1252(platform::PathToMessage(path)) + " exists. Replace it?"))
        return;
    if (!WriteRfLibrary(context_.ProgramDir(), name, signals_, &error)) {
        context_.dialogs.Warn(this, windowTitle(), ui::FromCp1252(error));
        return;
    }
    written_.push_back(path);
    context_.dialogs.Inform(this, windowTitle(),
                            ui::FromCp1252(platform::PathToMessage(path)) + " written");
}

}  // namespace orbik::editor
