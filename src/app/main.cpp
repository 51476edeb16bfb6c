// orbik: the windowed configuration program. Its program directory is the
// working directory it starts in.

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QStandardPaths>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/forms/TMainForm.h"
#include "orbik/Version.h"
#include "platform/FileSystem.h"
#include "ui/Dialogs.h"
#include "ui/UiText.h"

namespace {

namespace fs = std::filesystem;

// Started from the desktop's menu, an installed orbik begins in the home
// folder, which is no program directory. Then it works in one of the
// user's own under the data folder, made from the installed template on
// the first start. A directory with orbik.ini is always used as it is.
fs::path ProgramDirectory() {
    fs::path current = fs::current_path();
    if (orbik::platform::FileExists(current / "orbik.ini")) return current;
    QString templateDir = QCoreApplication::applicationDirPath() + "/../share/orbik/template";
    if (!QFileInfo::exists(templateDir + "/orbik.ini")) return current;
    fs::path own = orbik::ui::PathFromQString(
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    std::error_code error;
    if (!fs::exists(own / "orbik.ini")) {
        fs::create_directories(own, error);
        if (!error)
            fs::copy(orbik::ui::PathFromQString(templateDir), own,
                     fs::copy_options::recursive | fs::copy_options::skip_existing, error);
        if (error) {
            std::fprintf(stderr, "orbik: cannot create %s: %s\n", own.c_str(),
                         error.message().c_str());
            return current;
        }
    }
    fs::current_path(own, error);
    return error ? current : own;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("ORBIK");
    // Window geometry is the user's and the screen's, not the installation's:
    // it goes to the user's settings (~/.config/ORBIK/ORBIK.conf), not orbik.ini.
    QApplication::setOrganizationName("ORBIK");
    QApplication::setApplicationVersion(orbik::kProgramVersion);
    QApplication::setWindowIcon(QIcon::fromTheme("orbik"));
    QGuiApplication::setDesktopFileName("orbik");

    orbik::ui::QtDialogs dialogs;
    orbik::app::TMainForm mainForm(ProgramDirectory(), dialogs);
    mainForm.show();
    return app.exec();
}
