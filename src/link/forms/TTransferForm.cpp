#include "link/forms/TTransferForm.h"

#include <QCoreApplication>
#include <QDir>

#include "ui/Desktop.h"
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
    closeText_ = text("TF_Close", "Close");
    stoppedText_ = text("TF_Stopped", "Transfer stopped");
    completeText_ = text("TF_Complete", "Transfer Complete");
    noAnswerText_ = text("TF_NoAnswer", "No answer from ORBIK");
    foundText_ = text("TF_Found", "ORBIK %1 found");
    keepVoiceQuestion_ = text("TF_KeepVoiceQuestion", "Do you want to keep stored voice?");
    stopQuestion_ = text("TF_StopQuestion", "Stop the transfer?");
    deletingText_ = text("TF_Deleting", "Deleting Memory");
    ofText_ = " " + text("TF_Of", "of") + " ";
    SetStopMode(StopMode::Stop);
    ui::KeepGeometry(*this);
    connect(ui_->Retry_B, &QPushButton::clicked, this, &TTransferForm::Retry_BClick);
    connect(ui_->StartTransfer_B, &QPushButton::clicked, this,
            &TTransferForm::StartTransfer_BClick);
    connect(ui_->StopTransfer_B, &QPushButton::clicked, this, &TTransferForm::StopTransfer_BClick);
}

TTransferForm::~TTransferForm() = default;

void TTransferForm::Prepare() {
    ui_->L_File->setText(QDir::toNativeSeparators(ui::QStringFromPath(Job.fileName)));
    ui_->CB_KeepVoice->setVisible(Job.operation == Operation::TransCif ||
                                  Job.operation == Operation::TransCim);
    ui_->CB_Verify->setVisible(IsSend(Job.operation));
    if (IsSend(Job.operation)) SetStopMode(StopMode::Close);
    if (link_.Connected) {
        ShowDeviceFound();
    } else {
        ui_->Label1->setText(noAnswerText_);
        ui_->Retry_B->setVisible(true);
        ui_->StartTransfer_B->setEnabled(false);
    }
}

bool TTransferForm::VerifyChecked() const {
    return ui_->CB_Verify->isChecked();
}

// The loops' status in the program language: "Deleting Memory", "3 of 24576".
QString TTransferForm::StatusText(const std::string& status) const {
    if (status == kDeletingMemoryText) return deletingText_;
    return ui::FromCp1252(status).replace(" of ", ofText_);
}

void TTransferForm::SetStopMode(StopMode mode) {
    stopMode_ = mode;
    ui_->StopTransfer_B->setText(mode == StopMode::Stop ? stopText_ : closeText_);
    ui::AssignAccessKeys(*this);
}

void TTransferForm::ShowDeviceFound() {
    ui_->L_ID->setText(foundText_.arg(ui::FromCp1252(link_.DeviceModel)));
    ui_->Label1->clear();
    ui_->Retry_B->setVisible(false);
    ui_->StartTransfer_B->setEnabled(true);
}

void TTransferForm::Retry_BClick() {
    ui::BusyCursor busy;
    link_.ClosePort();
    if (!link_.OpenPort()) return;
    ui_->Retry_B->setEnabled(false);
    link_.Identify();
    if (link_.Connected) {
        ShowDeviceFound();
    } else {
        ui_->Label1->setText(noAnswerText_);
        ui_->Retry_B->setEnabled(true);
    }
}

void TTransferForm::StartTransfer_BClick() {
    started_ = true;
    SetStopMode(StopMode::Stop);
    ui_->StopTransfer_B->setEnabled(false);
    ui_->StartTransfer_B->setEnabled(false);
    if ((Job.operation == Operation::TransCif || Job.operation == Operation::TransCim) &&
        !ui_->CB_KeepVoice->isChecked() &&
        dialogs_.AskYesNo(this, windowTitle(), keepVoiceQuestion_))
        ui_->CB_KeepVoice->setChecked(true);
    // The erase has been chosen: the boxes no longer change anything.
    ui_->CB_KeepVoice->setEnabled(false);
    Job.keepVoice = ui_->CB_KeepVoice->isChecked();
    Job.verify = IsSend(Job.operation) && ui_->CB_Verify->isChecked();
    ui_->CB_Verify->setEnabled(false);

    TransferCallbacks callbacks;
    callbacks.status = [this](const std::string& text) { ui_->Label1->setText(StatusText(text)); };
    callbacks.progress = [this](int percent) { ui_->ProgressBar->setValue(percent); };
    callbacks.processEvents = [] { QCoreApplication::processEvents(); };
    callbacks.loopStarts = [this] { ui_->StopTransfer_B->setEnabled(true); };
    running_ = true;
    outcome_ = RunTransfer(link_, Job, callbacks);
    running_ = false;

    switch (outcome_.result) {
        case TransferResult::Complete:
            ui_->Label1->setText(outcome_.message.empty()
                                     ? completeText_
                                     : completeText_ + ", " + ui::FromCp1252(outcome_.message));
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
    // Before anything ran there is nothing to stop: Stop leaves at once.
    if (stopMode_ == StopMode::Stop && started_) {
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
    if (!running_) {
        link_.AbortTransfer = true;
        done(QDialog::Rejected);
        return;
    }
    // Escape or the close box while blocks go out: leaving now would leave
    // the device half-written, so ask, and stop between blocks as Stop does.
    if (link_.AbortTransfer) return;
    if (dialogs_.AskYesNo(this, windowTitle(), stopQuestion_) && running_) {
        link_.AbortTransfer = true;
        SetStopMode(StopMode::Close);
    }
}

// The connection ends when the command that opened the dialog ends it.
void TTransferForm::done(int result) {
    link_.AbortTransfer = false;
    QDialog::done(result);
}

}  // namespace orbik::link
