#pragma once
// Dialogs for window tests: records every title and text and returns the
// answers queued beforehand. A question or file dialog without a queued
// answer fails the test and is answered No/Cancel.

#include <gtest/gtest.h>

#include <QString>
#include <deque>
#include <vector>

#include "ui/Dialogs.h"

namespace orbik::test {

class ScriptedDialogs : public ui::Dialogs {
  public:
    struct Shown {
        QString kind;  // "inform", "yesno", "confirm", "open", "save", "choose"
        QString title;
        QString text;  // the message, or the file filter
    };

    void QueueAnswer(bool yes) { answers_.push_back(yes); }
    void QueueFileName(const QString& name) { fileNames_.push_back(name); }

    const std::vector<Shown>& Log() const { return log_; }
    QStringList Messages() const {
        QStringList texts;
        for (const auto& s : log_) texts << s.text;
        return texts;
    }
    void Clear() { log_.clear(); }
    bool AllAnswersUsed() const { return answers_.empty() && fileNames_.empty(); }

    void Inform(QWidget*, const QString& title, const QString& text) override {
        log_.push_back({"inform", title, text});
    }
    bool AskYesNo(QWidget*, const QString& title, const QString& text) override {
        log_.push_back({"yesno", title, text});
        return NextAnswer(text);
    }
    bool Confirm(QWidget*, const QString& title, const QString& text) override {
        log_.push_back({"confirm", title, text});
        return NextAnswer(text);
    }
    QString OpenFileName(QWidget*, const QString& title, const QString&,
                         const QString& filter) override {
        log_.push_back({"open", title, filter});
        return NextFileName(title);
    }
    QString SaveFileName(QWidget*, const QString& title, const QString&,
                         const QString& filter) override {
        log_.push_back({"save", title, filter});
        return NextFileName(title);
    }
    QString ChooseFileName(QWidget*, const QString& title, const QString&, const QString& filter,
                           const QString&) override {
        log_.push_back({"choose", title, filter});
        return NextFileName(title);
    }

  private:
    bool NextAnswer(const QString& text) {
        if (answers_.empty()) {
            ADD_FAILURE() << "unexpected question: " << text.toStdString();
            return false;
        }
        bool yes = answers_.front();
        answers_.pop_front();
        return yes;
    }
    QString NextFileName(const QString& title) {
        if (fileNames_.empty()) {
            ADD_FAILURE() << "unexpected file dialog: " << title.toStdString();
            return {};
        }
        QString name = fileNames_.front();
        fileNames_.pop_front();
        return name;
    }

    std::vector<Shown> log_;
    std::deque<bool> answers_;
    std::deque<QString> fileNames_;
};

}  // namespace orbik::test
