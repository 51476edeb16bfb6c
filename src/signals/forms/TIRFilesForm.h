#pragma once
// Takes one ready-made signal from an IR signal library (one tab per
// ".ir" file) into the pair of the selected signal, as its first signal
// or, "As Toggle Signal", as its second.

#include <QDialog>

#include "signals/IrLibrary.h"
#include "signals/forms/SignalDialogs.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTabBar;
namespace orbik::ui {
class WindowContext;
}

namespace orbik::signals {

class TIRFilesForm : public QDialog {
    Q_OBJECT

  public:
    TIRFilesForm(ui::WindowContext& context, IrFilesRequest request, QWidget* parent = nullptr);

    IrFilesResult Result() const { return result_; }

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ReadTab();
    void Ok_BClick();

    ui::WindowContext& context_;
    IrFilesRequest request_;
    IrFilesResult result_;
    std::vector<std::string> files_;
    IrLibrary library_;
    QTabBar* TC_Files;
    QListWidget* LB_Signals;
    QCheckBox* CB_Toggle;
    QLabel* Label1;
    QPushButton* Ok_B;
    QPushButton* Cancel_B;
};

}  // namespace orbik::signals
