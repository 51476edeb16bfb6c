#include "signals/forms/TScanIRForm.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include "link/Learning.h"
#include "link/Protocol.h"
#include "signals/SignalEdit.h"
#include "ui/Desktop.h"
#include "ui/UiText.h"
#include "ui/WindowContext.h"

namespace orbik::signals {

namespace {

template <class Widget>
Widget* Make(QWidget* parent, const char* name) {
    auto* widget = new Widget(parent);
    widget->setObjectName(name);
    return widget;
}

link::LearningCallbacks Callbacks(QLabel* status, QProgressBar* progress) {
    link::LearningCallbacks callbacks;
    callbacks.status = [status](const std::string& text) {
        status->setText(ui::FromCp1252(text));
        // Repaint only: the wait cannot be stopped, so no click may land.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    callbacks.progress = [progress](int percent) { progress->setValue(percent); };
    callbacks.processEvents = [] { QCoreApplication::processEvents(); };
    return callbacks;
}

}  // namespace

TScanIRForm::TScanIRForm(ui::WindowContext& context, ScanRequest request, QWidget* parent)
    : QDialog(parent),
      context_(context),
      request_(std::move(request)),
      signal1_(request_.file.slots[FirstSlot(request_.signal)]),
      signal2_(request_.file.slots[SecondSlot(request_.signal)]) {
    setObjectName("ScanIRForm");
    ui::UiTexts text(context.settings);
    setWindowTitle(text("ScanIRForm", "Scan / Test IR"));
    E_Signalname = Make<QLineEdit>(this, "E_Signalname");
    L_SigName = Make<QLabel>(this, "L_SigName");
    L_SigName->setText(text("SIF_L_SigName", "Signalname"));
    RB_Sig1 = Make<QRadioButton>(this, "RB_Sig1");
    RB_Sig1->setText(text("SIF_RB_Sig1", "Signal 1"));
    RB_Sig2 = Make<QRadioButton>(this, "RB_Sig2");
    RB_Sig2->setText(text("SIF_RB_Sig2", "Signal 2"));
    Label1 = Make<QLabel>(this, "Label1");
    Image1 = Make<QLabel>(this, "Image1");
    Image2 = Make<QLabel>(this, "Image2");
    for (QLabel* image : {Image1, Image2}) {
        image->setPixmap(style()->standardIcon(QStyle::SP_DialogApplyButton).pixmap(16, 16));
        image->hide();
    }
    Scan_B = Make<QPushButton>(this, "Scan_B");
    Scan_B->setText(text("SIF_Scan_B", "Scan Signal"));
    TestSignal_B = Make<QPushButton>(this, "TestSignal_B");
    TestSignal_B->setText(text("SIF_TestSignal_B", "Send Signal"));
    SaveSig_B = Make<QPushButton>(this, "SaveSig_B");
    SaveSig_B->setText(text("SIF_SaveSig_B", "Save Signal"));
    ProgressBar1 = Make<QProgressBar>(this, "ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    CB_KeepSig2 = Make<QCheckBox>(this, "CB_KeepSig2");
    CB_KeepSig2->setText(text("SIF_CB_KeepSig2", "Keep Signal 2"));
    CB_KeepSig2->hide();
    Label2 = Make<QLabel>(this, "Label2");
    Label2->setText(ui::FromCp1252(kNotEnoughMemoryText));
    Label2->setStyleSheet("color: red");
    Label2->hide();
    CloseScan_B = Make<QPushButton>(this, "CloseScan_B");
    CloseScan_B->setText(text("SIF_CloseScan_B", "Cancel"));
    SignalOk_B = Make<QPushButton>(this, "SignalOk_B");
    SignalOk_B->setText(text("SIF_SignalOk_B", "Ok"));
    L_Button = Make<QLabel>(this, "L_Button");
    L_Button->setText(text("SIF_L_Button", "Button"));
    L_active_Button = Make<QLabel>(this, "L_active_Button");
    L_active_Button->setText(ui::FromCp1252(request_.buttonName));
    E_Signalname->setText(ui::FromCp1252(request_.signalName == kNotUsed ? request_.buttonName
                                                                         : request_.signalName));

    auto* grid = new QGridLayout(this);
    grid->addWidget(L_Button, 0, 0);
    grid->addWidget(L_active_Button, 0, 1, 1, 2);
    grid->addWidget(L_SigName, 1, 0);
    grid->addWidget(E_Signalname, 1, 1, 1, 2);
    grid->addWidget(RB_Sig1, 2, 0);
    grid->addWidget(Image1, 2, 1);
    grid->addWidget(Scan_B, 2, 2);
    grid->addWidget(RB_Sig2, 3, 0);
    grid->addWidget(Image2, 3, 1);
    grid->addWidget(TestSignal_B, 3, 2);
    grid->addWidget(CB_KeepSig2, 4, 0, 1, 2);
    grid->addWidget(SaveSig_B, 4, 2);
    grid->addWidget(Label1, 5, 0, 1, 3);
    grid->addWidget(Label2, 6, 0, 1, 3);
    grid->addWidget(ProgressBar1, 7, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(SignalOk_B);
    buttons->addWidget(CloseScan_B);
    grid->addLayout(buttons, 8, 0, 1, 3);

    for (QPushButton* button : {Scan_B, TestSignal_B, SaveSig_B, SignalOk_B, CloseScan_B}) {
        button->setAutoDefault(false);
        button->setEnabled(false);
    }
    CloseScan_B->setEnabled(true);
    RB_Sig2->setEnabled(false);
    for (QWidget* watched : {static_cast<QWidget*>(E_Signalname), static_cast<QWidget*>(RB_Sig1),
                             static_cast<QWidget*>(RB_Sig2)})
        watched->installEventFilter(this);

    connect(RB_Sig1, &QRadioButton::clicked, this, &TScanIRForm::SelectSlot);
    connect(RB_Sig2, &QRadioButton::clicked, this, &TScanIRForm::SelectSlot);
    connect(Scan_B, &QPushButton::clicked, this, &TScanIRForm::Scan_BClick);
    connect(TestSignal_B, &QPushButton::clicked, this, &TScanIRForm::TestSignal_BClick);
    connect(SaveSig_B, &QPushButton::clicked, this, &TScanIRForm::SaveSig_BClick);
    connect(SignalOk_B, &QPushButton::clicked, this, &TScanIRForm::SignalOk_BClick);
    connect(CloseScan_B, &QPushButton::clicked, this, &TScanIRForm::CloseScan_BClick);

    context_.link.AbortTransfer = false;
    if (context_.link.Connected) {
        RB_Sig1->setChecked(true);
        Scan_B->setEnabled(true);
    }
    ui::AssignAccessKeys(*this);
}

TScanIRForm::~TScanIRForm() = default;

void TScanIRForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!context_.link.Connected) {
        Label1->setText(ui::UiTexts(context_.settings)("SIF_NoConnection", "No connection"));
        return;
    }
    ShowImages();
    TestSignal_B->setEnabled(!signal1_.empty());
}

std::string& TScanIRForm::Current() {
    return RB_Sig2->isChecked() ? signal2_ : signal1_;
}

void TScanIRForm::ShowImages() {
    Image1->setVisible(!signal1_.empty());
    Image2->setVisible(!signal2_.empty());
    RB_Sig2->setEnabled(!signal2_.empty() || RB_Sig2->isEnabled());
}

void TScanIRForm::SelectSlot() {
    ProgressBar1->setValue(0);
    inDevice_ = false;
    ShowImages();
    TestSignal_B->setEnabled(!Current().empty());
    SaveSig_B->setEnabled(false);
    if (RB_Sig2->isChecked()) CB_KeepSig2->hide();
}

void TScanIRForm::Scan_BClick() {
    (RB_Sig2->isChecked() ? Image2 : Image1)->hide();
    Label1->setText(ui::FromCp1252(link::WaitingText(link::kLearnTimeout)));
    Label1->show();
    Scan_B->setEnabled(false);
    TestSignal_B->setEnabled(false);
    SaveSig_B->setEnabled(false);
    link::LearnResult result;
    {
        ui::BusyCursor busy;
        result = link::LearnSignal(context_.link, Callbacks(Label1, ProgressBar1));
    }
    if (result == link::LearnResult::Learned) {
        inDevice_ = true;
        Label1->clear();
        Label1->hide();
        TestSignal_B->setEnabled(true);
        SaveSig_B->setEnabled(true);
        if (!signal2_.empty() && RB_Sig1->isChecked()) CB_KeepSig2->show();
    } else {
        Label1->setText(ui::FromCp1252(link::LearnMessage(result)));
        inDevice_ = false;
        ShowImages();  // the slot still holds what it held
    }
    Scan_B->setEnabled(true);
}

void TScanIRForm::TestSignal_BClick() {
    if (!inDevice_) {
        Label1->hide();
        link::SignalTransfer written =
            link::WriteSignal(context_.link, Current(), Callbacks(Label1, ProgressBar1));
        if (written != link::SignalTransfer::Complete) {
            Label1->setText(ui::FromCp1252(link::kConnectionErrorMessage));
            Label1->show();
            return;
        }
        inDevice_ = true;
    }
    link::PlaySignal(context_.link);
}

void TScanIRForm::SaveSig_BClick() {
    std::string block;
    link::SignalTransfer read =
        link::ReadSignal(context_.link, &block, Callbacks(Label1, ProgressBar1));
    if (read != link::SignalTransfer::Complete) {
        if (read == link::SignalTransfer::Stopped) return;
        Label1->setText(ui::FromCp1252(read == link::SignalTransfer::TooLong
                                           ? link::kSignalTooLongMessage
                                           : link::kConnectionErrorMessage));
        Label1->show();
        return;
    }
    if (RB_Sig1->isChecked()) {
        signal1_ = std::move(block);
        RB_Sig2->setEnabled(true);
        if (!CB_KeepSig2->isChecked()) signal2_.clear();
    } else {
        signal2_ = std::move(block);
    }
    ShowImages();
    // Counted from the slots as they would be stored.
    bool fits = BytesUsed() <= kSignalMemoryCapacity;
    Label2->setVisible(!fits);
    SignalOk_B->setEnabled(fits);
    TestSignal_B->setEnabled(false);
    SaveSig_B->setEnabled(false);
    inDevice_ = false;
}

std::uint64_t TScanIRForm::BytesUsed() const {
    return BytesUsedWith(request_.file, request_.signal, signal1_, signal2_);
}

void TScanIRForm::SignalOk_BClick() {
    if (signal2_.empty()) signal2_ = signal1_;
    if (ui::ToCp1252(E_Signalname->text()) == kNotUsed)
        E_Signalname->setText(ui::FromCp1252(kInUse));
    accept();
}

ScanResult TScanIRForm::Result() const {
    return {signal1_, signal2_, ui::ToCp1252(E_Signalname->text())};
}

void TScanIRForm::CloseScan_BClick() {
    context_.link.AbortTransfer = true;
    reject();
}

bool TScanIRForm::HandleKey(QKeyEvent* key) {
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    if (key->modifiers() & Qt::ControlModifier) {
        if (TestSignal_B->isEnabled() && SaveSig_B->isEnabled()) SaveSig_B->click();
    } else if (TestSignal_B->isEnabled()) {
        TestSignal_B->click();
    } else if (Scan_B->isEnabled()) {
        Scan_B->click();
    }
    return true;
}

void TScanIRForm::keyPressEvent(QKeyEvent* event) {
    if (!HandleKey(event)) QDialog::keyPressEvent(event);
}

bool TScanIRForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && HandleKey(static_cast<QKeyEvent*>(event))) return true;
    return QDialog::eventFilter(watched, event);
}

}  // namespace orbik::signals
