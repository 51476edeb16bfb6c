#pragma once
// Dialogs for window tests: records every title and text and returns the
// answers queued beforehand. A question, prompt or dialog without a queued
// answer fails the test and is answered No/Cancel; so does a modal window
// that comes when another (or none) was expected.

#include <gtest/gtest.h>

#include <QDialog>
#include <QFont>
#include <QString>
#include <any>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "ui/Dialogs.h"
#include "ui/UiText.h"

namespace orbik::test {

class ScriptedDialogs : public ui::Dialogs {
  public:
    struct Shown {
        // "inform", "warn", "yesno", "confirm", "text", "open", "save", "replace",
        // "choose", "printer", "font", "window"
        QString kind;
        QString title;  // for "window" the window's object name
        QString text;   // the message, prompt label or file filter; the
                        // file name for "replace"; the caption of a window
    };

    void QueueAnswer(bool yes) { answers_.push_back(yes); }
    void QueueFileName(const QString& name) { fileNames_.push_back(name); }
    // An answer to AskText; nothing means Cancel.
    void QueueText(std::optional<QString> text) { texts_.push_back(std::move(text)); }
    void QueueFont(std::optional<QFont> font) { fonts_.push_back(std::move(font)); }
    // The next modal window must be `name`: `act` works it as the user
    // would and must close it; the window's own answer is returned.
    void QueueWindow(const QString& name, std::function<void(QDialog&)> act) {
        windows_.push_back({name, std::move(act), {}});
    }
    // The next modal window must be `name`; it answers `result` untouched.
    template <class Result>
    void QueueWindowResult(const QString& name, Result result) {
        windows_.push_back({name, {}, std::any(std::move(result))});
    }

    const std::vector<Shown>& Log() const { return log_; }
    QStringList Messages() const {
        QStringList texts;
        for (const auto& s : log_) texts << s.text;
        return texts;
    }
    void Clear() { log_.clear(); }
    bool AllAnswersUsed() const {
        return answers_.empty() && fileNames_.empty() && texts_.empty() && fonts_.empty() &&
               windows_.empty();
    }

    void Inform(QWidget*, const QString& title, const QString& text) override {
        log_.push_back({"inform", title, text});
    }
    void Warn(QWidget*, const QString& title, const QString& text) override {
        log_.push_back({"warn", title, text});
    }
    bool AskYesNo(QWidget*, const QString& title, const QString& text) override {
        log_.push_back({"yesno", title, text});
        return NextAnswer(text);
    }
    bool Confirm(QWidget*, const QString& title, const QString& text) override {
        log_.push_back({"confirm", title, text});
        return NextAnswer(text);
    }
    std::optional<QString> AskText(QWidget*, const QString& title, const QString& label,
                                   const QString&) override {
        log_.push_back({"text", title, label});
        return Next(texts_, "prompt", label);
    }
    QString OpenFileName(QWidget*, const QString& title, const QString&,
                         const QString& filter) override {
        log_.push_back({"open", title, filter});
        return NextFileName(title);
    }
    // As the real dialog: an existing file needs a Yes to the replace
    // question (from the queued answers); No cancels.
    QString SaveFileName(QWidget*, const QString& title, const QString&, const QString& filter,
                         const QString& defaultSuffix = {}) override {
        log_.push_back({"save", title, filter});
        QString name = NextFileName(title);
        if (!name.isEmpty() && !defaultSuffix.isEmpty() &&
            ui::PathFromQString(name).extension().empty())
            name += "." + defaultSuffix;
        if (name.isEmpty() || !std::filesystem::exists(ui::PathFromQString(name))) return name;
        log_.push_back({"replace", title, name});
        return NextAnswer("replace " + name) ? name : QString();
    }
    QString ChooseFileName(QWidget*, const QString& title, const QString&, const QString& filter,
                           const QString&) override {
        log_.push_back({"choose", title, filter});
        return NextFileName(title);
    }
    bool ChoosePrinter(QWidget*, QPrinter&) override {
        log_.push_back({"printer", {}, {}});
        return NextAnswer("printer dialog");
    }
    std::optional<QFont> ChooseFont(QWidget*, const QString& title, const QFont&) override {
        log_.push_back({"font", title, {}});
        return Next(fonts_, "font dialog", title);
    }
    std::any RunModal(QDialog& window, const std::function<std::any()>& result) override {
        log_.push_back({"window", window.objectName(), window.windowTitle()});
        if (windows_.empty() || windows_.front().name != window.objectName()) {
            ADD_FAILURE() << "unexpected window: " << window.objectName().toStdString()
                          << (windows_.empty()
                                  ? std::string()
                                  : ", expected " + windows_.front().name.toStdString());
            return {};
        }
        Window next = std::move(windows_.front());
        windows_.pop_front();
        if (!next.act) {
            if (result && result().type() != next.result.type())
                ADD_FAILURE() << "queued answer of another type for " << next.name.toStdString();
            return next.result;
        }
        bool closed = false;
        QObject::connect(&window, &QDialog::finished, [&closed] { closed = true; });
        window.show();
        next.act(window);
        if (!closed) {
            ADD_FAILURE() << next.name.toStdString() << " was left open";
            window.done(QDialog::Rejected);
        }
        if (window.result() != QDialog::Accepted || !result) return {};
        return result();
    }

  private:
    struct Window {
        QString name;
        std::function<void(QDialog&)> act;
        std::any result;
    };

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
    template <class T>
    std::optional<T> Next(std::deque<std::optional<T>>& queue, const char* what,
                          const QString& text) {
        if (queue.empty()) {
            ADD_FAILURE() << "unexpected " << what << ": " << text.toStdString();
            return std::nullopt;
        }
        std::optional<T> answer = std::move(queue.front());
        queue.pop_front();
        return answer;
    }

    std::vector<Shown> log_;
    std::deque<bool> answers_;
    std::deque<QString> fileNames_;
    std::deque<std::optional<QString>> texts_;
    std::deque<std::optional<QFont>> fonts_;
    std::deque<Window> windows_;
};

}  // namespace orbik::test
