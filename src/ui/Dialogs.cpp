#include "ui/Dialogs.h"

#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace orbik::ui {

void QtDialogs::Inform(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::information(parent, title, text);
}

void QtDialogs::Warn(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::warning(parent, title, text);
}

bool QtDialogs::AskYesNo(QWidget* parent, const QString& title, const QString& text) {
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

bool QtDialogs::Confirm(QWidget* parent, const QString& title, const QString& text) {
    return QMessageBox::question(parent, title, text, QMessageBox::Ok | QMessageBox::Cancel) ==
           QMessageBox::Ok;
}

std::optional<QString> QtDialogs::AskText(QWidget* parent, const QString& title,
                                          const QString& label, const QString& initial) {
    bool ok = false;
    QString text = QInputDialog::getText(parent, title, label, QLineEdit::Normal, initial, &ok);
    if (!ok) return std::nullopt;
    return text;
}

QString QtDialogs::OpenFileName(QWidget* parent, const QString& title, const QString& dir,
                                const QString& filter) {
    return QFileDialog::getOpenFileName(parent, title, dir, filter);
}

QString QtDialogs::SaveFileName(QWidget* parent, const QString& title, const QString& dir,
                                const QString& filter, const QString& defaultSuffix) {
    // Qt's save dialog asks before it returns an existing file's name, the
    // default suffix added first.
    QFileDialog dialog(parent, title, dir, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
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

bool QtDialogs::ChoosePrinter(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<QFont> QtDialogs::ChooseFont(QWidget* parent, const QString& title,
                                           const QFont& initial) {
    bool ok = false;
    QFont font = QFontDialog::getFont(&ok, initial, parent, title);
    if (!ok) return std::nullopt;
    return font;
}

std::any QtDialogs::RunModal(QDialog& window, const std::function<std::any()>& result) {
    if (window.exec() != QDialog::Accepted || !result) return {};
    return result();
}

}  // namespace orbik::ui
