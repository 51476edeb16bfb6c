#pragma once
// The context a main window hands to the windows it opens, built for a
// window test: the settings given, a link on their port whose messages are
// kept, scripted dialogs, a stand-in main window and a fixed day.

#include <chrono>
#include <string>
#include <vector>

#include "link/Protocol.h"
#include "settings/Settings.h"
#include "support/FakeMainWindow.h"
#include "support/ScriptedDialogs.h"
#include "ui/WindowContext.h"

namespace orbik::test {

inline constexpr std::chrono::year_month_day kTestDay{std::chrono::year{2026},
                                                      std::chrono::month{12}, std::chrono::day{8}};

struct TestContext {
    explicit TestContext(settings::Settings s) : settings(std::move(s)) {}

    settings::Settings settings;
    std::vector<std::string> messages;
    link::DeviceLink link{settings.portName,
                          [this](const std::string& m) { messages.push_back(m); }};
    ScriptedDialogs dialogs;
    FakeMainWindow mainWindow;
    ui::WindowContext context{settings, link, dialogs, mainWindow, [] { return kTestDay; }};
};

}  // namespace orbik::test
