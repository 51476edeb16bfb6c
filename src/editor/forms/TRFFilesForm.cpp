#include "editor/forms/TRFFilesForm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabBar>

#include "editor/forms/ActionWidgets.h"
#include "platform/Text.h"
#include "ui/Dialogs.h"
#include "ui/UiText.h"
#include "ui/WindowContext.h"

namespace orbik::editor {

TRFFilesForm::TRFFilesForm(const ui::WindowContext& context, std::filesystem::path folder,
                           QWidget* parent)
    : QDialog(parent), context_(context), folder_(std::move(folder)) {
    setObjectName("RFFilesForm");
    ui::UiTexts text(context.settings);
    setWindowTitle(text("RFFilesForm", "RF Files"));
    tabs_ = new QTabBar(this);
    tabs_->setObjectName("TC_RFFiles");
    tabs_->setExpanding(false);
    signals_ = new QListWidget(this);
    signals_->setObjectName("LB_RFSignals");
    auto* label = new QLabel(text("RFF_Label1", "Repetitions"), this);
    label->setObjectName("Label1");
    count_ = new QLineEdit("1", this);
    count_->setObjectName("E_Count");
    count_->setMaxLength(2);
    count_->setValidator(new QRegularExpressionValidator(QRegularExpression("-?[0-9]*"), count_));
    label->setBuddy(count_);
    ok_ = MakeButton(this, "Ok_B", text("RFF_Ok_B", "Ok"));
    auto* close = MakeButton(this, "Close_B", text("RFF_Close_B", "Close"));
    ok_->setDefault(true);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(label);
    bottom->addWidget(count_);
    bottom->addStretch();
    bottom->addWidget(ok_);
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(signals_);
    layout->addLayout(bottom);

    for (const std::string& file : ListRfLibraries(folder_)) tabs_->addTab(ui::FromCp1252(file));
    connect(tabs_, &QTabBar::currentChanged, this, &TRFFilesForm::TC_RFFilesChange);
    connect(signals_, &QListWidget::currentRowChanged, this, &TRFFilesForm::Update);
    connect(signals_, &QListWidget::itemDoubleClicked, this, &TRFFilesForm::Ok_BClick);
    connect(count_, &QLineEdit::textChanged, this, &TRFFilesForm::Update);
    connect(ok_, &QPushButton::clicked, this, &TRFFilesForm::Ok_BClick);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    TC_RFFilesChange(tabs_->currentIndex());
}

void TRFFilesForm::TC_RFFilesChange(int index) {
    loaded_.clear();
    signals_->clear();
    if (index >= 0) {
        std::string error;
        const auto path = folder_ / platform::NameToPath(ui::ToCp1252(tabs_->tabText(index)));
        if (!ReadRfLibrary(path, &loaded_, &error))
            context_.dialogs.Warn(this, windowTitle(), ui::FromCp1252(error));
    }
    for (const RfSignal& signal : loaded_) signals_->addItem(ui::FromCp1252(signal.name));
    Update();
}

void TRFFilesForm::Update() {
    const int row = signals_->currentRow();
    ok_->setEnabled(row >= 0 && static_cast<std::size_t>(row) < loaded_.size() &&
                    ParseRepetition(ui::ToCp1252(count_->text())).has_value());
}

void TRFFilesForm::Ok_BClick() {
    if (!ok_->isEnabled()) return;
    const auto repetition = ParseRepetition(ui::ToCp1252(count_->text()));
    const auto lines = RfActionLines(loaded_[static_cast<std::size_t>(signals_->currentRow())],
                                     repetition.value_or(1));
    lines_.insert(lines_.end(), lines.begin(), lines.end());
}

}  // namespace orbik::editor
