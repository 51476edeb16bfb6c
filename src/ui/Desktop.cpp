#include "ui/Desktop.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSet>
#include <QSettings>
#include <QToolBar>
#include <QTranslator>
#include <QWidget>
#include <memory>

namespace orbik::ui {

BusyCursor::BusyCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyCursor::~BusyCursor() {
    QApplication::restoreOverrideCursor();
}

namespace {

// The position of the letter marked by a single "&", or -1. An "&" before
// anything else ("Items & Menus") is the character itself.
qsizetype AccessKeyIndex(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        if (caption[i + 1].isLetterOrNumber()) return i + 1;
    }
    return -1;
}

QString WithAccessKey(const QString& caption, QSet<QChar>& used) {
    if (qsizetype key = AccessKeyIndex(caption); key >= 0) {
        used.insert(caption[key].toLower());
        return caption;
    }
    QString text = caption;
    text.replace("&", "&&");
    auto tryAt = [&](qsizetype i) {
        QChar c = text[i].toLower();
        if (!c.isLetterOrNumber() || used.contains(c)) return false;
        used.insert(c);
        text.insert(i, '&');
        return true;
    };
    for (qsizetype i = 0; i < text.size(); ++i)
        if ((i == 0 || text[i - 1] == ' ') && tryAt(i)) return text;
    for (qsizetype i = 0; i < text.size(); ++i)
        if ((i == 0 || text[i - 1] != '&') && tryAt(i)) return text;
    return text;
}

}  // namespace

QStringList WithAccessKeys(const QStringList& captions) {
    // Keys already given are reserved before free ones are chosen.
    QSet<QChar> used;
    for (const QString& caption : captions)
        if (qsizetype key = AccessKeyIndex(caption); key >= 0) used.insert(caption[key].toLower());
    QStringList result;
    for (const QString& caption : captions) result << WithAccessKey(caption, used);
    return result;
}

QString WithoutAccessKey(const QString& caption) {
    QString text = caption;
    if (qsizetype key = AccessKeyIndex(text); key >= 0) text.remove(key - 1, 1);
    return text.replace("&&", "&");
}

void AssignAccessKeys(QMenuBar& bar) {
    const QList<QAction*> titles = bar.actions();
    QStringList texts;
    for (QAction* action : titles) texts << action->text();
    texts = WithAccessKeys(texts);
    for (qsizetype i = 0; i < titles.size(); ++i) titles[i]->setText(texts[i]);
    for (QAction* title : titles) {
        if (!title->menu()) continue;
        QList<QAction*> items;
        for (QAction* action : title->menu()->actions())
            if (!action->isSeparator()) items << action;
        QStringList captions;
        for (QAction* action : items) captions << action->text();
        captions = WithAccessKeys(captions);
        for (qsizetype i = 0; i < items.size(); ++i) items[i]->setText(captions[i]);
    }
}

void AssignAccessKeys(QWidget& window) {
    const auto buttons = window.findChildren<QAbstractButton*>();
    QStringList captions;
    for (QAbstractButton* button : buttons) captions << button->text();
    captions = WithAccessKeys(captions);
    for (qsizetype i = 0; i < buttons.size(); ++i) buttons[i]->setText(captions[i]);
}

namespace {

class GeometryKeeper : public QObject {
  public:
    explicit GeometryKeeper(QWidget& window) : QObject(&window), window_(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &window_) return false;
        if (event->type() == QEvent::Show && !restored_) {
            restored_ = true;
            Restore();
        } else if (event->type() == QEvent::Hide && restored_) {
            QSettings().setValue(Key(), window_.saveGeometry());
        }
        return false;
    }

  private:
    QString Key() const { return "geometry/" + window_.objectName(); }

    void Restore() {
        QByteArray stored = QSettings().value(Key()).toByteArray();
        if (!stored.isEmpty() && window_.restoreGeometry(stored)) return;
        QScreen* screen = window_.screen();
        if (!screen) return;
        // First start: no larger than the screen (scaled screens are small).
        QRect available = screen->availableGeometry();
        QSize size = window_.size().boundedTo(available.size() * 9 / 10);
        if (size == window_.size()) return;
        window_.resize(size);
        window_.move(available.center() - QPoint(size.width() / 2, size.height() / 2));
    }

    QWidget& window_;
    bool restored_ = false;
};

}  // namespace

void KeepGeometry(QWidget& window) {
    window.installEventFilter(new GeometryKeeper(window));
}

bool UseQtTranslations(const std::string& language) {
    static std::unique_ptr<QTranslator> installed;
    if (installed) {
        QCoreApplication::removeTranslator(installed.get());
        installed.reset();
    }
    const char* locale = language == "German"    ? "de"
                         : language == "French"  ? "fr"
                         : language == "Spanish" ? "es"
                         : language == "Italian" ? "it"
                         : language == "Finnish" ? "fi"
                         : language == "Dutch"   ? "nl"
                                                 : nullptr;
    if (!locale) return true;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLocale(QString::fromLatin1(locale)), "qt", "_",
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(translator.get());
    installed = std::move(translator);
    return true;
}

void NameToolButtons(QToolBar& bar) {
    for (QAction* action : bar.actions()) {
        if (QWidget* button = bar.widgetForAction(action); button && !action->isSeparator())
            button->setObjectName(action->objectName());
    }
}

void SetToolIcons(const QWidget& window, std::initializer_list<ToolIcon> icons) {
    for (const ToolIcon& icon : icons)
        icon.action->setIcon(
            QIcon::fromTheme(icon.themeName, window.style()->standardIcon(icon.fallback)));
}

bool IsDeleteKeyIn(const QObject* list, const QObject* watched, const QEvent* event) {
    return watched == list && event->type() == QEvent::KeyPress &&
           static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Delete;
}

}  // namespace orbik::ui
