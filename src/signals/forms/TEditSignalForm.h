#pragma once
// Renames a signal and sets how often the device repeats it.

#include <QDialog>

#include "signals/forms/SignalDialogs.h"

class QLineEdit;
class QSpinBox;
namespace orbik::ui {
class WindowContext;
}

namespace orbik::signals {

class TEditSignalForm : public QDialog {
    Q_OBJECT

  public:
    TEditSignalForm(const ui::WindowContext& context, const EditSignalValues& values,
                    QWidget* parent = nullptr);

    EditSignalValues Result() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLineEdit* E_Signalname;
    QSpinBox* E_Rep;
};

}  // namespace orbik::signals
