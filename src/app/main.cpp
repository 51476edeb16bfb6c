// orbik: the windowed configuration program. Its program directory is the
// working directory it starts in.

#include <QApplication>
#include <filesystem>

#include "app/forms/TMainForm.h"
#include "orbik/Version.h"
#include "ui/Dialogs.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("ORBIK");
    // Window geometry is the user's and the screen's, not the installation's:
    // it goes to the user's settings (~/.config/ORBIK/ORBIK.conf), not orbik.ini.
    QApplication::setOrganizationName("ORBIK");
    QApplication::setApplicationVersion(orbik::kProgramVersion);

    orbik::ui::QtDialogs dialogs;
    orbik::app::TMainForm mainForm(std::filesystem::current_path(), dialogs);
    mainForm.show();
    return app.exec();
}
