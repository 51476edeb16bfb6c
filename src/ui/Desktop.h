#pragma once
// What makes the windows behave as desktop users expect: a busy cursor
// while the device is awaited, access keys on captions, remembered window
// geometry and Qt's own texts in the program language.

#include <QString>
#include <QStringList>
#include <QStyle>
#include <initializer_list>
#include <string>

class QAction;
class QEvent;
class QObject;
class QMenuBar;
class QToolBar;
class QWidget;

namespace orbik::ui {

// The wait cursor for as long as it lives (identify, connect).
class BusyCursor {
  public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Gives every caption an access key that no other caption of the list has,
// preferring the starts of words; a caption that has one keeps it, and a
// literal "&" is escaped. The captions read the same without the "&".
QStringList WithAccessKeys(const QStringList& captions);
// The same applied to the menu titles of `bar` and to the items of each menu.
void AssignAccessKeys(QMenuBar& bar);
// The same applied to the buttons and check boxes of `window`.
void AssignAccessKeys(QWidget& window);
// A caption as shown: without its access key marker.
QString WithoutAccessKey(const QString& caption);

// True for the Delete key pressed in `list`, seen by its event filter: in
// the program's lists it deletes the selected entry where a button would.
bool IsDeleteKeyIn(const QObject* list, const QObject* watched, const QEvent* event);

// Names each tool button of `bar` after its action, so that it can be
// found as the control it is.
void NameToolButtons(QToolBar& bar);

// An action's icon from the desktop's icon theme where it has a fitting
// one; Qt's own (in the window's style) else.
struct ToolIcon {
    QAction* action;
    const char* themeName;
    QStyle::StandardPixmap fallback;
};
void SetToolIcons(const QWidget& window, std::initializer_list<ToolIcon> icons);

// Restores the window's size, position and maximised state when it is
// first shown and stores them when it is hidden, under its object name, in
// the user's QSettings. A window without stored geometry is shrunk to fit
// the screen it opens on.
void KeepGeometry(QWidget& window);

// Loads Qt's own translations (Yes/No, file dialogs) for a program
// language such as "German"; "English" or an unknown one removes them.
// False when the language has translations that could not be found.
bool UseQtTranslations(const std::string& language);

}  // namespace orbik::ui
