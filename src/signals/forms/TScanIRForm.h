#pragma once
// Learns the signals of one button through the device: "Scan Signal"
// waits for the other remote, "Send Signal" plays what the device holds,
// "Save Signal" reads it into the chosen slot, "Ok" hands both back.

#include <QDialog>
#include <string>

#include "signals/forms/SignalDialogs.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
namespace orbik::ui {
class WindowContext;
}

namespace orbik::signals {

class TScanIRForm : public QDialog {
    Q_OBJECT

  public:
    TScanIRForm(ui::WindowContext& context, ScanRequest request, QWidget* parent = nullptr);
    ~TScanIRForm() override;

    ScanResult Result() const;
    // The memory the code file would use with the blocks of this dialog.
    std::uint64_t BytesUsed() const;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    std::string& Current();
    void ShowImages();
    void SelectSlot();
    void Scan_BClick();
    void TestSignal_BClick();
    void SaveSig_BClick();
    void SignalOk_BClick();
    void CloseScan_BClick();
    bool HandleKey(QKeyEvent* key);

    ui::WindowContext& context_;
    ScanRequest request_;
    std::string signal1_;
    std::string signal2_;
    bool inDevice_ = false;

    QLineEdit* E_Signalname;
    QLabel* L_SigName;
    QRadioButton* RB_Sig1;
    QRadioButton* RB_Sig2;
    QLabel* Label1;
    QLabel* Image1;
    QLabel* Image2;
    QPushButton* Scan_B;
    QPushButton* TestSignal_B;
    QPushButton* SaveSig_B;
    QProgressBar* ProgressBar1;
    QCheckBox* CB_KeepSig2;
    QLabel* Label2;
    QPushButton* CloseScan_B;
    QPushButton* SignalOk_B;
    QLabel* L_Button;
    QLabel* L_active_Button;
};

}  // namespace orbik::signals
