#include "editor/forms/TParallelForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QPushButton>

#include "editor/ActionLines.h"
#include "editor/forms/ActionWidgets.h"
#include "ui/UiText.h"
#include "ui/WindowContext.h"

namespace orbik::editor {

namespace {
constexpr int kClose = 0;  // the items of an output's combo box
}

TParallelForm::TParallelForm(const ui::WindowContext& context, QWidget* parent) : QDialog(parent) {
    setObjectName("ParallelForm");
    ui::UiTexts text(context.settings);
    setWindowTitle(text("ParallelForm", "Parallel Output"));
    const QString output = text("PAR_Output", "Output");
    const QStringList values{text("PAR_Close", "CLOSE"), text("PAR_Open", "OPEN")};
    auto* layout = new QGridLayout(this);
    for (int i = 0; i < 8; ++i) {
        const QString n = QString::number(i + 1);
        masks_[i] = new QCheckBox(output + " " + n, this);
        masks_[i]->setObjectName("CB_Out" + n + "Mask");
        values_[i] = new QComboBox(this);
        values_[i]->setObjectName("CB_Out" + n + "Value");
        values_[i]->addItems(values);
        values_[i]->setCurrentIndex(-1);
        values_[i]->setEnabled(false);
        layout->addWidget(masks_[i], i, 0);
        layout->addWidget(values_[i], i, 1);
        connect(masks_[i], &QCheckBox::toggled, this, [this, i] { CB_OutMaskClick(i); });
    }
    ok_ = MakeButton(this, "Ok_B", text("PAR_Ok_B", "Ok"));
    auto* close = MakeButton(this, "Cancel_B", text("PAR_Cancel_B", "Close"));
    ok_->setDefault(true);
    ok_->setEnabled(false);
    layout->addWidget(ok_, 8, 0);
    layout->addWidget(close, 8, 1);
    connect(ok_, &QPushButton::clicked, this, &TParallelForm::Ok_BClick);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void TParallelForm::CB_OutMaskClick(int output) {
    const bool ticked = masks_[output]->isChecked();
    values_[output]->setEnabled(ticked);
    values_[output]->setCurrentIndex(ticked ? kClose : -1);
    bool any = false;
    for (QCheckBox* mask : masks_) any = any || mask->isChecked();
    ok_->setEnabled(any);
}

void TParallelForm::Ok_BClick() {
    ParallelOutputs outputs{};
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        if (!masks_[i]->isChecked()) continue;
        outputs[i] =
            values_[i]->currentIndex() == kClose ? OutputChange::Close : OutputChange::Open;
    }
    if (auto line = WriteParallelIFLine(outputs)) lines_.push_back(*line);
}

}  // namespace orbik::editor
