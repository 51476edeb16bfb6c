#pragma once
// What every window is handed when it is created: the settings, read-only
// but for a few explicit changes, the device link, the dialogs, the main
// window, the program directory and the clock that says what day it is.
// The main window owns the settings and the link; windows never keep
// copies of their own.

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "settings/Settings.h"

namespace orbik::link {
class DeviceLink;
}

namespace orbik::ui {

class Dialogs;
class MainWindow;

// "Today", in the local time zone; tests fix it.
using Clock = std::function<std::chrono::year_month_day()>;
std::chrono::year_month_day LocalToday();

class WindowContext {
  public:
    WindowContext(settings::Settings& settings, link::DeviceLink& link, Dialogs& dialogs,
                  MainWindow& mainWindow, Clock today = LocalToday);
    WindowContext(const WindowContext&) = delete;
    WindowContext& operator=(const WindowContext&) = delete;

    const settings::Settings& settings;
    link::DeviceLink& link;
    Dialogs& dialogs;
    MainWindow& mainWindow;
    const Clock today;

    // The working directory at start.
    const std::filesystem::path& ProgramDir() const { return settings.programDir; }

    // The changes windows make to the settings, for this run; storing them
    // in orbik.ini is a separate step. A new port is the link's port too.
    void SetPort(std::string_view portName);
    void SetProgramLanguage(std::string language);
    void SetProjectLanguage(std::string language);

  private:
    settings::Settings& owned_;
};

}  // namespace orbik::ui
