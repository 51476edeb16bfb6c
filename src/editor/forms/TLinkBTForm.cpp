#include "editor/forms/TLinkBTForm.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "ui/UiText.h"
#include "ui/WindowContext.h"

namespace orbik::editor {

namespace {
constexpr int kByName = 0;
constexpr int kById = 1;
}  // namespace

TLinkBTForm::TLinkBTForm(const ui::WindowContext& context, const std::optional<LinkFields>& initial,
                         QWidget* parent)
    : QDialog(parent) {
    setObjectName("LinkBTForm");
    ui::UiTexts text(context.settings);
    setWindowTitle(text("LinkBTForm", "Link BT"));
    by_ = MakeRadioGroup(this, "RG1", text("LBT_RG1", "Link with Phone"), {"by Name", "by ID"},
                         text, "LBT_");
    source_ = MakeRadioGroup(this, "RG2", text("LBT_RG2", "Read Contacts from"),
                             {"Phone Memory", "SIM Card"}, text, "LBT_");
    name_ = new QLineEdit(this);
    name_->setObjectName("E_bt_name");
    // One of the 30 slots holds the contact source; "," cannot be sent.
    name_->setMaxLength(static_cast<int>(kLinkNameLength));
    name_->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[^,\\x00-\\x1f]*"), name_));
    name_->setPlaceholderText(text("LBT_E_bt_name", "BT Name"));
    name_->setToolTip(name_->placeholderText());
    id_ = new QLineEdit(this);
    id_->setObjectName("BTID1");
    id_->setInputMask(">HH:HH:HH:HH:HH:HH;_");
    id_->setToolTip(text("LBT_BTID1", "BT ID"));
    ok_ = MakeButton(this, "B_ok", text("LBT_B_ok", "Ok"));
    auto* cancel = MakeButton(this, "B_cancel", text("LBT_B_cancel", "Cancel"));
    ok_->setDefault(true);  // Enter presses OK while it is enabled

    auto* fields = new QVBoxLayout;
    fields->addWidget(name_);
    fields->addWidget(id_);
    auto* top = new QHBoxLayout;
    top->addWidget(by_.box);
    top->addLayout(fields);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(source_.box);
    layout->addLayout(buttons);

    by_.buttons->button(kByName)->setChecked(true);
    source_.buttons->button(0)->setChecked(true);
    if (initial) {
        by_.buttons->button(initial->byId ? kById : kByName)->setChecked(true);
        (initial->byId ? id_ : name_)->setText(ui::FromCp1252(initial->nameOrId));
        source_.ChooseNone();
        if (initial->source)
            source_.buttons->button(*initial->source == ContactSource::SimCard ? 1 : 0)
                ->setChecked(true);
    }
    connect(by_.buttons, &QButtonGroup::idToggled, this, &TLinkBTForm::RG1Click);
    connect(source_.buttons, &QButtonGroup::idToggled, this, &TLinkBTForm::Update);
    connect(name_, &QLineEdit::textChanged, this, &TLinkBTForm::Update);
    connect(id_, &QLineEdit::textChanged, this, &TLinkBTForm::Update);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    RG1Click();
}

void TLinkBTForm::RG1Click() {
    const bool byId = by_.Chosen() == kById;
    name_->setEnabled(!byId);
    id_->setEnabled(byId);
    Update();
}

ComposedLine TLinkBTForm::Composed() const {
    const auto source = source_.Chosen();
    if (!source) return {{}, "no contact source"};
    const ContactSource from = *source == 1 ? ContactSource::SimCard : ContactSource::PhoneMemory;
    if (by_.Chosen() == kById) {
        // A position still blank leaves the address short of its digits.
        if (!id_->hasAcceptableInput()) return {{}, "BT ID is not complete"};
        return ConnectBtByIdLine(ui::ToCp1252(id_->text()), from);
    }
    return ConnectBtByNameLine(ui::ToCp1252(name_->text()), from);
}

void TLinkBTForm::Update() {
    ComposedLine composed = Composed();
    ok_->setEnabled(composed.ok());
    ok_->setToolTip(ui::FromCp1252(composed.error));
}

LinkBtResult TLinkBTForm::Result() const {
    return {Composed().line};
}

}  // namespace orbik::editor
