#pragma once
// Every message box, question and file dialog of every window goes through
// Dialogs, so that tests can script the answers (ScriptedDialogs) and no
// window blocks a test in a modal loop.

#include <QString>

class QWidget;

namespace orbik::ui {

class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // Information box with OK.
    virtual void Inform(QWidget* parent, const QString& title, const QString& text) = 0;
    // Yes/No question; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& title, const QString& text) = 0;
    // OK/Cancel confirmation; true for OK.
    virtual bool Confirm(QWidget* parent, const QString& title, const QString& text) = 0;
    // File dialogs; an empty result means the user cancelled.
    virtual QString OpenFileName(QWidget* parent, const QString& title, const QString& dir,
                                 const QString& filter) = 0;
    virtual QString SaveFileName(QWidget* parent, const QString& title, const QString& dir,
                                 const QString& filter) = 0;
    // An open dialog that also takes names of files that do not exist yet;
    // `defaultSuffix` (without the dot) is added to a name without one.
    virtual QString ChooseFileName(QWidget* parent, const QString& title, const QString& dir,
                                   const QString& filter, const QString& defaultSuffix) = 0;
};

// The real dialogs, on QMessageBox and QFileDialog.
class QtDialogs : public Dialogs {
  public:
    void Inform(QWidget* parent, const QString& title, const QString& text) override;
    bool AskYesNo(QWidget* parent, const QString& title, const QString& text) override;
    bool Confirm(QWidget* parent, const QString& title, const QString& text) override;
    QString OpenFileName(QWidget* parent, const QString& title, const QString& dir,
                         const QString& filter) override;
    QString SaveFileName(QWidget* parent, const QString& title, const QString& dir,
                         const QString& filter) override;
    QString ChooseFileName(QWidget* parent, const QString& title, const QString& dir,
                           const QString& filter, const QString& defaultSuffix) override;
};

}  // namespace orbik::ui
