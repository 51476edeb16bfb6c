// Window tests run on Qt's offscreen platform so they need no display.
#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    // Remembered window geometry goes to a folder of the run's own.
    QTemporaryDir settingsDir;
    QApplication::setOrganizationName("ORBIK-tests");
    QApplication::setApplicationName("forms");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
