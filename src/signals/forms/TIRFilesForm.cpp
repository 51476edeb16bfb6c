#include "signals/forms/TIRFilesForm.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QVBoxLayout>

#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "signals/SignalEdit.h"
#include "ui/Desktop.h"
#include "ui/Dialogs.h"
#include "ui/UiText.h"
#include "ui/WindowContext.h"

namespace orbik::signals {

TIRFilesForm::TIRFilesForm(ui::WindowContext& context, IrFilesRequest request, QWidget* parent)
    : QDialog(parent), context_(context), request_(std::move(request)) {
    setObjectName("IRFilesForm");
    ui::UiTexts text(context.settings);
    setWindowTitle(text("IRFilesForm", "IR Files"));
    result_ = {false, request_.file, request_.names, request_.place};
    if (!platform::DirectoryExists(request_.folder)) {
        std::string error;
        if (!platform::CreateDirectories(request_.folder, &error))
            context_.dialogs.Warn(this, windowTitle(), ui::FromCp1252(error));
    }
    files_ = ListIrLibraries(request_.folder);

    TC_Files = new QTabBar(this);
    TC_Files->setObjectName("TC_Files");
    for (const std::string& file : files_) TC_Files->addTab(ui::FromCp1252(file));
    LB_Signals = new QListWidget(this);
    LB_Signals->setObjectName("LB_Signals");
    LB_Signals->installEventFilter(this);
    CB_Toggle = new QCheckBox(text("IRF_CB_Toggle", "As Toggle Signal"), this);
    CB_Toggle->setObjectName("CB_Toggle");
    CB_Toggle->setEnabled(IsLearned(request_.file, request_.signal));
    Label1 = new QLabel(ui::FromCp1252(kNotEnoughMemoryText), this);
    Label1->setObjectName("Label1");
    Label1->setStyleSheet("color: red");
    Label1->hide();
    Ok_B = new QPushButton(text("IRF_Ok_B", "Ok"), this);
    Ok_B->setObjectName("Ok_B");
    Ok_B->setEnabled(false);
    Ok_B->setAutoDefault(false);
    Cancel_B = new QPushButton(text("IRF_Cancel_B", "Cancel"), this);
    Cancel_B->setObjectName("Cancel_B");
    Cancel_B->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TC_Files);
    layout->addWidget(LB_Signals, 1);
    layout->addWidget(CB_Toggle);
    layout->addWidget(Label1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Ok_B);
    buttons->addWidget(Cancel_B);
    layout->addLayout(buttons);

    if (request_.place.tab >= 0 && request_.place.tab < TC_Files->count())
        TC_Files->setCurrentIndex(request_.place.tab);
    ReadTab();
    if (request_.place.row >= 0 && request_.place.row < LB_Signals->count()) {
        LB_Signals->setCurrentRow(request_.place.row);
        LB_Signals->verticalScrollBar()->setValue(request_.place.top);
    }
    Ok_B->setEnabled(LB_Signals->currentRow() >= 0);
    connect(TC_Files, &QTabBar::currentChanged, this, &TIRFilesForm::ReadTab);
    connect(LB_Signals, &QListWidget::currentRowChanged, this,
            [this](int row) { Ok_B->setEnabled(row >= 0); });
    connect(LB_Signals, &QListWidget::itemDoubleClicked, this, &TIRFilesForm::Ok_BClick);
    connect(Ok_B, &QPushButton::clicked, this, &TIRFilesForm::Ok_BClick);
    connect(Cancel_B, &QPushButton::clicked, this, &QDialog::reject);
    ui::AssignAccessKeys(*this);
}

void TIRFilesForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    LB_Signals->setFocus();
}

void TIRFilesForm::ReadTab() {
    LB_Signals->clear();
    library_ = {};
    int tab = TC_Files->currentIndex();
    if (tab >= 0 && tab < int(files_.size())) {
        std::string error;
        fs::path file = request_.folder / platform::NameToPath(files_[std::size_t(tab)]);
        if (!LoadIrLibrary(file, &library_, &error)) {
            context_.dialogs.Warn(this, windowTitle(), ui::FromCp1252(error));
        } else if (library_.directory.skipped > 0) {
            context_.dialogs.Warn(this, windowTitle(),
                                  ui::FromCp1252(SkippedRecordsMessage(
                                      files_[std::size_t(tab)], library_.directory.skipped)));
        }
        for (const IrRecord& record : library_.directory.records)
            LB_Signals->addItem(ui::FromCp1252(record.name));
    }
    Ok_B->setEnabled(LB_Signals->currentRow() >= 0);
}

void TIRFilesForm::Ok_BClick() {
    QListWidgetItem* item = LB_Signals->currentItem();
    if (!item || !Ok_B->isEnabled()) return;
    std::string name = ui::ToCp1252(item->text());
    const IrRecord* record = FindIrRecord(library_.directory, name);
    if (!record) return;
    result_.file = request_.file;
    result_.names = request_.names;
    TakeResult taken = TakeLibrarySignal(result_.file, result_.names, request_.signal,
                                         IrRecordData(library_.bytes, *record), record->name,
                                         CB_Toggle->isEnabled() && CB_Toggle->isChecked());
    result_.taken = taken.ok;
    if (!taken.ok) {
        Label1->show();
        context_.dialogs.Inform(
            this, windowTitle(),
            ui::UiTexts(context_.settings)("IRF_NoMemory", "Not enough Memory"));
    }
    result_.place = {TC_Files->currentIndex(), LB_Signals->currentRow(),
                     LB_Signals->verticalScrollBar()->value()};
    accept();
}

bool TIRFilesForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == LB_Signals && event->type() == QEvent::KeyPress) {
        int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Space) {
            if (CB_Toggle->isEnabled()) CB_Toggle->toggle();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (Ok_B->isEnabled()) Ok_BClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace orbik::signals
