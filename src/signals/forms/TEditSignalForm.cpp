#include "signals/forms/TEditSignalForm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "signals/SignalEdit.h"
#include "ui/Desktop.h"
#include "ui/UiText.h"
#include "ui/WindowContext.h"

namespace orbik::signals {

TEditSignalForm::TEditSignalForm(const ui::WindowContext& context, const EditSignalValues& values,
                                 QWidget* parent)
    : QDialog(parent) {
    setObjectName("EditSignalForm");
    ui::UiTexts text(context.settings);
    setWindowTitle(text("EditSignalForm", "Edit Signal"));
    auto* label1 = new QLabel(text("ESF_Label1", "Signalname"), this);
    label1->setObjectName("Label1");
    auto* label2 = new QLabel(text("ESF_Label2", "Repetitions"), this);
    label2->setObjectName("Label2");
    E_Signalname = new QLineEdit(ui::FromCp1252(values.name), this);
    E_Signalname->setObjectName("E_Signalname");
    E_Rep = new QSpinBox(this);
    E_Rep->setObjectName("E_Rep");
    E_Rep->setRange(0, kMaxRepetitions);
    E_Rep->setValue(values.repetitions);
    auto* ok = new QPushButton(text("ESF_Ok_B", "Ok"), this);
    ok->setObjectName("Ok_B");
    auto* cancel = new QPushButton(text("ESF_Cancel_B", "Cancel"), this);
    cancel->setObjectName("Cancel_B");
    auto* grid = new QGridLayout(this);
    grid->addWidget(label1, 0, 0);
    grid->addWidget(E_Signalname, 0, 1);
    grid->addWidget(label2, 1, 0);
    grid->addWidget(E_Rep, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 2, 0, 1, 2);
    E_Signalname->installEventFilter(this);
    E_Rep->installEventFilter(this);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    ui::AssignAccessKeys(*this);
}

EditSignalValues TEditSignalForm::Result() const {
    return {ui::ToCp1252(E_Signalname->text()), E_Rep->value()};
}

bool TEditSignalForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            E_Rep->interpretText();
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace orbik::signals
