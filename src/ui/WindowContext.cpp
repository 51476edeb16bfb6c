#include "ui/WindowContext.h"

#include <QDate>

#include "link/Protocol.h"

namespace orbik::ui {

std::chrono::year_month_day LocalToday() {
    const QDate today = QDate::currentDate();
    return std::chrono::year{today.year()} / std::chrono::month{unsigned(today.month())} /
           std::chrono::day{unsigned(today.day())};
}

WindowContext::WindowContext(settings::Settings& settings, link::DeviceLink& link, Dialogs& dialogs,
                             MainWindow& mainWindow, Clock today)
    : settings(settings),
      link(link),
      dialogs(dialogs),
      mainWindow(mainWindow),
      today(std::move(today)),
      owned_(settings) {}

void WindowContext::SetPort(std::string_view portName) {
    owned_.SetPort(portName);
    link.SetPortName(owned_.portName);
}

void WindowContext::SetProgramLanguage(std::string language) {
    owned_.programLanguage = std::move(language);
}

void WindowContext::SetProjectLanguage(std::string language) {
    owned_.projectLanguage = std::move(language);
}

}  // namespace orbik::ui
