#include "link/forms/TTransferForm.h"

#include <QCoreApplication>

#include "ui/Dialogs.h"
#include "ui/UiText.h"
#include "ui/WindowContext.h"
#include "ui_TTransferForm.h"

namespace orbik::link {

TTransferForm::TTransferForm(ui::WindowContext& context, QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::TTransferForm>()),
      link_(context.link),
      dialogs_(context.dialogs) {
    ui_->setupUi(this);
    setObjectName("TransferForm");
    ui::UiTexts text(context.settings);
    setWindowTitle(text("TransferForm", "Data Transfer"));
    ui_->CB_KeepVoice->setText(text("TF_CB_KeepVoice", "Keep Stored Voice"));
    ui_->CB_Verify->setText(text("TF_CB_Verify", "Verify"));
    ui_->CB_Verify->setChecked(context.settings.verifyAfterSend);
    ui_->StartTransfer_B->setText(text("TF_StartTransfer_B", "Start Transfer"));
    ui_->Retry_B->setText(text("TF_Retry_B", "Connect"));
    stopText_ = text("TF_StopTransfer_B", "Stop");
    stoppedText_ = text("TF_Stopped", "Transfer stopped");
    SetStopMode(StopMode::Stop);
    connect(ui_->Retry_B, &QPushButton::clicked, this, &TTransferForm::Retry_BClick);
    connect(ui_->StartTransfer_B, &QPushButton::clicked, this,
            &TTransferForm::StartTransfer_BClick);
    connect(ui_->StopTransfer_B, &QPushButton::clicked, this, &TTransferForm::StopTransfer_BClick);
}

TTransferForm::~TTransferForm() = default;

void TTransferForm::Prepare() {
    ui_->CB_KeepVoice->setVisible(Job.operation == Operation::TransCif ||
                                  Job.operation == Operation::TransCim);
    ui_->CB_Verify->setVisible(IsSend(Job.operation));
    if (IsSend(Job.operation)) SetStopMode(StopMode::Close);
    if (link_.Connected) {
        ShowDeviceFound();
    } else {
        ui_->Retry_B->setVisible(true);
        ui_->StartTransfer_B->setEnabled(false);
    }
}

bool TTransferForm::VerifyChecked() const {
    return ui_->CB_Verify->isChecked();
}

void TTransferForm::SetStopMode(StopMode mode) {
    stopMode_ = mode;
    ui_->StopTransfer_B->setText(mode == StopMode::Stop ? stopText_ : QString("Close"));
}

void TTransferForm::ShowDeviceFound() {
    ui_->L_ID->setText(ui::FromCp1252("ORBIK " + link_.DeviceModel + " found"));
    ui_->Retry_B->setVisible(false);
    ui_->StartTransfer_B->setEnabled(true);
}

void TTransferForm::Retry_BClick() {
    link_.ClosePort();
    if (!link_.OpenPort()) return;
    ui_->Retry_B->setEnabled(false);
    link_.Identify();
    if (link_.Connected)
        ShowDeviceFound();
    else
        ui_->Retry_B->setEnabled(true);
}

void TTransferForm::StartTransfer_BClick() {
    // Running, the button always reads "Stop", whatever the table says.
    stopMode_ = StopMode::Stop;
    ui_->StopTransfer_B->setText("Stop");
    ui_->StopTransfer_B->setEnabled(false);
    ui_->StartTransfer_B->setEnabled(false);
    if ((Job.operation == Operation::TransCif || Job.operation == Operation::TransCim) &&
        !ui_->CB_KeepVoice->isChecked() &&
        dialogs_.AskYesNo(this, windowTitle(), "Do you want to keep stored voice?"))
        ui_->CB_KeepVoice->setChecked(true);
    Job.keepVoice = ui_->CB_KeepVoice->isChecked();
    Job.verify = IsSend(Job.operation) && ui_->CB_Verify->isChecked();
    ui_->CB_Verify->setEnabled(false);

    TransferCallbacks callbacks;
    callbacks.status = [this](const std::string& text) {
        ui_->Label1->setText(ui::FromCp1252(text));
    };
    callbacks.progress = [this](int percent) { ui_->ProgressBar->setValue(percent); };
    callbacks.processEvents = [] { QCoreApplication::processEvents(); };
    callbacks.loopStarts = [this] { ui_->StopTransfer_B->setEnabled(true); };
    running_ = true;
    outcome_ = RunTransfer(link_, Job, callbacks);
    running_ = false;

    switch (outcome_.result) {
        case TransferResult::Complete:
            ui_->Label1->setText(outcome_.message.empty()
                                     ? QString("Transfer Complete")
                                     : "Transfer Complete, " + ui::FromCp1252(outcome_.message));
            break;
        case TransferResult::Stopped:
            ui_->Label1->setText(stoppedText_);
            break;
        default:
            ui_->Label1->setText(ui::FromCp1252(outcome_.message));
            dialogs_.Inform(this, windowTitle(), ui::FromCp1252(outcome_.message));
            break;
    }
    SetStopMode(StopMode::Close);
    ui_->StopTransfer_B->setEnabled(true);
    if (closeWhenDone_) done(QDialog::Rejected);
}

void TTransferForm::StopTransfer_BClick() {
    link_.AbortTransfer = true;
    if (stopMode_ == StopMode::Stop) {
        SetStopMode(StopMode::Close);
        return;
    }
    link_.Connected = false;
    if (running_)
        closeWhenDone_ = true;  // the loop ends after its block; close then
    else
        done(QDialog::Accepted);
}

void TTransferForm::reject() {
    // Escape or the close box: stop a running transfer first.
    link_.AbortTransfer = true;
    if (running_)
        closeWhenDone_ = true;
    else
        done(QDialog::Rejected);
}

// The connection ends when the command that opened the dialog ends it.
void TTransferForm::done(int result) {
    link_.AbortTransfer = false;
    QDialog::done(result);
}

}  // namespace orbik::link
