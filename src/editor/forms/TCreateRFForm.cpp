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
    const struct {
        const char* name;
        const char* label;
        std::string RfTiming::*member;
    } fields[] = {{"Name1", "Name", &RfTiming::firstName},
                  {"Name2", "Second Name", &RfTiming::secondName},
                  {"Zero_L", "Zero Length", &RfTiming::zeroL},
                  {"One_L", "One Length", &RfTiming::oneL},
                  {"PW_Zero", "Zero Pulse", &RfTiming::pwZero},
                  {"PW_One", "One Pulse", &RfTiming::pwOne},
                  {"Count", "Count", &RfTiming::count},
                  {"W_Pause", "Word Pause", &RfTiming::wPause},
                  {"E_Pause", "End Pause", &RfTiming::ePause},
                  {"Nr_Bytes", "Bytes", &RfTiming::nrBytes},
                  {"Data", "Data", &RfTiming::data}};
    auto* form = new QFormLayout;
    for (const auto& field : fields) {
        auto* edit = new QLineEdit(ui::FromCp1252(defaults.*field.member), this);
        edit->setObjectName(field.name);
        form->addRow(text(std::string("CRF_") + field.name, field.label), edit);
        fields_.emplace_back(field.member, edit);
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
