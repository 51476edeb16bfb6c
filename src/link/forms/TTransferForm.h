#pragma once
// The transfer dialog: shows the device, runs one transfer operation with
// its progress, and lets the user stop it between blocks.

#include <QDialog>
#include <memory>

#include "link/Transfer.h"

namespace Ui {
class TTransferForm;
}
namespace orbik::ui {
class Dialogs;
class WindowContext;
}  // namespace orbik::ui

namespace orbik::link {

class TTransferForm : public QDialog {
    Q_OBJECT

  public:
    explicit TTransferForm(ui::WindowContext& context, QWidget* parent = nullptr);
    ~TTransferForm() override;

    // The operation and its file; set before Prepare.
    TransferJob Job;

    // After Identify: shows the device or offers Connect. Sends start with
    // the Stop button reading "Close", reads with "Stop".
    void Prepare();

    // The outcome of the last run.
    const TransferOutcome& Outcome() const { return outcome_; }
    // Whether "Verify" is checked (shown for sends; starts as the settings say).
    bool VerifyChecked() const;

  public Q_SLOTS:
    void done(int result) override;
    void reject() override;

  private:
    enum class StopMode { Stop, Close };
    void SetStopMode(StopMode mode);
    QString StatusText(const std::string& status) const;
    void ShowDeviceFound();
    void Retry_BClick();
    void StartTransfer_BClick();
    void StopTransfer_BClick();

    std::unique_ptr<Ui::TTransferForm> ui_;
    DeviceLink& link_;
    ui::Dialogs& dialogs_;
    QString stopText_;
    QString closeText_;
    QString stoppedText_;
    QString completeText_;
    QString noAnswerText_;
    QString foundText_;
    QString keepVoiceQuestion_;
    QString stopQuestion_;
    QString deletingText_;
    QString ofText_;
    StopMode stopMode_ = StopMode::Stop;
    bool started_ = false;
    bool running_ = false;
    bool closeWhenDone_ = false;
    TransferOutcome outcome_;
};

}  // namespace orbik::link
