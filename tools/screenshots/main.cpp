// orbik-screens: shows the main window and the transfer dialog of the
// installation in the working directory, the settings dialog and the demo
// project open in the main window, and saves pictures of the screen, for
// checking the look under a virtual display (scripts/screenshots.sh).
// A device must answer on the installation's port.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <filesystem>

#include "app/forms/TMainForm.h"
#include "app/forms/TOptionsForm.h"
#include "link/Protocol.h"
#include "link/forms/TTransferForm.h"
#include "ui/Dialogs.h"
#include "ui/UiText.h"
#include "ui/WindowContext.h"

namespace {

bool SaveScreen(const QString& path) {
    QApplication::processEvents();
    QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    bool saved = shot.save(path);
    std::printf("%s %s\n", saved ? "saved" : "cannot save", qPrintable(path));
    return saved;
}

// Answers nothing: the pictures need no message boxes.
class SilentDialogs : public orbik::ui::QtDialogs {
  public:
    void Inform(QWidget*, const QString& title, const QString& text) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    }
    void Warn(QWidget* parent, const QString& title, const QString& text) override {
        Inform(parent, title, text);
    }
    bool AskYesNo(QWidget*, const QString&, const QString&) override { return true; }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("ORBIK");
    QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    // Pictures of one language are told apart by a suffix ("-German").
    QString suffix = argc > 2 ? "-" + QString::fromLocal8Bit(argv[2]) : QString();
    SilentDialogs dialogs;
    orbik::app::TMainForm main(std::filesystem::current_path(), dialogs);
    main.resize(900, 620);
    main.move(40, 30);
    main.show();
    QTimer::singleShot(500, [&] {
        bool ok = SaveScreen(out + "/main-window" + suffix + ".png");

        {
            orbik::app::TOptionsForm options(main.Context(), &main);
            options.show();
            ok = SaveScreen(out + "/settings-dialog" + suffix + ".png") && ok;
            options.findChild<QPushButton*>("Close_B")->click();
        }

        // The demo project as a user opens it, its menu tree unfolded and
        // the television chosen: its actions, then its device.
        main.OpenProjectWindow("Demo");
        if (auto* tree = main.findChild<QTreeWidget*>("TV_Project"))
            tree->setCurrentItem(tree->topLevelItem(0));
        ok = SaveScreen(out + "/project-window" + suffix + ".png") && ok;
        auto* pages = main.findChild<QTabWidget*>("PC_Config");
        if (auto* show = main.findChild<QAction*>("ShowDirectKeys1")) show->trigger();
        for (const char* page : {"TS_Device", "TS_Tree", "TS_DKeys"}) {
            if (auto* tab = main.findChild<QWidget*>(page); pages && tab)
                pages->setCurrentWidget(tab);
            ok = SaveScreen(out + "/project-window-" + page + suffix + ".png") && ok;
        }
        main.CloseActiveProjectWindow();

        auto& link = main.Context().link;
        link.OpenPort();
        link.Identify();
        orbik::link::TTransferForm transfer(main.Context(), &main);
        transfer.Job.operation = orbik::link::Operation::ReadCim;
        transfer.Job.fileName = orbik::ui::PathFromQString(QDir::tempPath() + "/orbik-screens.cim");
        transfer.Prepare();
        transfer.show();
        // Taken while the read runs: the timer fires between two blocks.
        QTimer::singleShot(1200, [&] {
            ok = SaveScreen(out + "/transfer-dialog" + suffix + ".png") && ok;
            transfer.findChild<QPushButton*>("StopTransfer_B")->click();
        });
        transfer.findChild<QPushButton*>("StartTransfer_B")->click();
        transfer.close();
        link.ClosePort();
        QFile::remove(orbik::ui::QStringFromPath(transfer.Job.fileName));
        app.exit(ok ? 0 : 1);
    });
    return app.exec();
}
