#include "ui/Dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace orbik::ui {

void QtDialogs::Inform(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::information(parent, title, text);
}

bool QtDialogs::AskYesNo(QWidget* parent, const QString& title, const QString& text) {
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

bool QtDialogs::Confirm(QWidget* parent, const QString& title, const QString& text) {
    return QMessageBox::question(parent, title, text, QMessageBox::Ok | QMessageBox::Cancel) ==
           QMessageBox::Ok;
}

QString QtDialogs::OpenFileName(QWidget* parent, const QString& title, const QString& dir,
                                const QString& filter) {
    return QFileDialog::getOpenFileName(parent, title, dir, filter);
}

QString QtDialogs::SaveFileName(QWidget* parent, const QString& title, const QString& dir,
                                const QString& filter) {
    return QFileDialog::getSaveFileName(parent, title, dir, filter);
}

QString QtDialogs::ChooseFileName(QWidget* parent, const QString& title, const QString& dir,
                                  const QString& filter, const QString& defaultSuffix) {
    QFileDialog dialog(parent, title, dir, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

}  // namespace orbik::ui
