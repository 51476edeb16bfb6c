#pragma once
// Every message box, question, prompt, file, printer and font dialog of
// every window, and the program's own modal windows, go through Dialogs, so
// that tests can script the answers (ScriptedDialogs) and no window blocks
// a test in a modal loop.

#include <QFont>
#include <QString>
#include <any>
#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

class QDialog;
class QPrinter;
class QWidget;

namespace orbik::ui {

class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // Information box with OK.
    virtual void Inform(QWidget* parent, const QString& title, const QString& text) = 0;
    // Warning box with OK: something the user has to fix (a port, a file).
    virtual void Warn(QWidget* parent, const QString& title, const QString& text) = 0;
    // Yes/No question; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& title, const QString& text) = 0;
    // OK/Cancel confirmation; true for OK.
    virtual bool Confirm(QWidget* parent, const QString& title, const QString& text) = 0;
    // A one-line text prompt with OK and Cancel; nothing when cancelled.
    virtual std::optional<QString> AskText(QWidget* parent, const QString& title,
                                           const QString& label, const QString& initial) = 0;

    // File dialogs; an empty result means the user cancelled.
    virtual QString OpenFileName(QWidget* parent, const QString& title, const QString& dir,
                                 const QString& filter) = 0;
    // Choosing a file that exists asks whether to replace it; the name is
    // returned only when the user agreed, so callers may overwrite it.
    // `defaultSuffix` (without the dot) is added to a name without one
    // before that question.
    virtual QString SaveFileName(QWidget* parent, const QString& title, const QString& dir,
                                 const QString& filter, const QString& defaultSuffix = {}) = 0;
    // An open dialog that also takes names of files that do not exist yet;
    // `defaultSuffix` (without the dot) is added to a name without one.
    virtual QString ChooseFileName(QWidget* parent, const QString& title, const QString& dir,
                                   const QString& filter, const QString& defaultSuffix) = 0;

    // The printer dialog on `printer`; true when the user chose to print.
    virtual bool ChoosePrinter(QWidget* parent, QPrinter& printer) = 0;
    // The font dialog starting at `initial`; nothing when cancelled.
    virtual std::optional<QFont> ChooseFont(QWidget* parent, const QString& title,
                                            const QFont& initial) = 0;

    // Runs one of the program's own modal windows until it closes. When it
    // was accepted, `result` reads its answer (empty when there is none);
    // when it was cancelled the answer is empty.
    virtual std::any RunModal(QDialog& window, const std::function<std::any()>& result) = 0;
};

// A modal window whose answer is of no interest to the caller.
inline void RunModalWindow(Dialogs& dialogs, QDialog& window) {
    dialogs.RunModal(window, {});
}

// A modal window that answers with a plain struct: `form.Result()` after it
// was accepted, nothing when it was cancelled.
template <class Form, class Result = std::decay_t<decltype(std::declval<Form&>().Result())>>
std::optional<Result> RunModalForm(Dialogs& dialogs, Form& form) {
    std::any answer = dialogs.RunModal(form, [&form] { return std::any(form.Result()); });
    if (const Result* result = std::any_cast<Result>(&answer)) return *result;
    return std::nullopt;
}

// The real dialogs, on Qt's standard dialogs.
class QtDialogs : public Dialogs {
  public:
    void Inform(QWidget* parent, const QString& title, const QString& text) override;
    void Warn(QWidget* parent, const QString& title, const QString& text) override;
    bool AskYesNo(QWidget* parent, const QString& title, const QString& text) override;
    bool Confirm(QWidget* parent, const QString& title, const QString& text) override;
    std::optional<QString> AskText(QWidget* parent, const QString& title, const QString& label,
                                   const QString& initial) override;
    QString OpenFileName(QWidget* parent, const QString& title, const QString& dir,
                         const QString& filter) override;
    QString SaveFileName(QWidget* parent, const QString& title, const QString& dir,
                         const QString& filter, const QString& defaultSuffix = {}) override;
    QString ChooseFileName(QWidget* parent, const QString& title, const QString& dir,
                           const QString& filter, const QString& defaultSuffix) override;
    bool ChoosePrinter(QWidget* parent, QPrinter& printer) override;
    std::optional<QFont> ChooseFont(QWidget* parent, const QString& title,
                                    const QFont& initial) override;
    std::any RunModal(QDialog& window, const std::function<std::any()>& result) override;
};

}  // namespace orbik::ui
