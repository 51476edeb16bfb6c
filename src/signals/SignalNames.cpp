#include "signals/SignalNames.h"

#include <algorithm>

#include "platform/Ini.h"
#include "signals/IrCodeFile.h"

namespace orbik::signals {

namespace {

// clang-format off
constexpr std::array<std::string_view, kSignalCount> kKeys = {
    "on", "off", "0", "1", "2", "3", "4", "5", "6", "7", "8", "9",
    "10_up", "20_up", "two_digits", "av", "next", "previous",
    "vol_plus", "vol_minus", "mute", "text_on", "text_off",
    "red", "green", "yellow", "blue", "hold",
    "record", "play", "stop", "fast_forward", "fast_backward",
    "direct_1", "direct_2", "direct_3", "direct_4", "direct_5",
    "direct_6", "direct_7", "direct_8", "direct_9", "direct_10",
    "up", "down", "left", "right", "menu", "ok", "dim", "speak"};
// clang-format on

// A line break inside a name would end its line and start a line of its own.
std::string OneLine(std::string name) {
    std::replace_if(
        name.begin(), name.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return name;
}

}  // namespace

std::string_view SignalKey(int k) {
    return kKeys.at(k);
}

SignalNameList UnusedSignalNames() {
    SignalNameList names;
    names.fill(std::string(kNotUsed));
    return names;
}

SignalNameList ReadSignalNames(const std::filesystem::path& file) {
    platform::IniFile ini(file);
    SignalNameList names;
    for (int k = 0; k < kSignalCount; ++k)
        names[k] = ini.Read(kSignalNamesSection, kKeys[k], kNotUsed);
    return names;
}

bool WriteSignalNames(const std::filesystem::path& file, const SignalNameList& names,
                      std::string* error) {
    platform::IniFile ini(file);
    for (int k = 0; k < kSignalCount; ++k)
        ini.Write(kSignalNamesSection, kKeys[k], OneLine(names[k]));
    return ini.Save(error);
}

std::filesystem::path SignalNameFile(const std::filesystem::path& codeFile) {
    return FileBase(codeFile) + ".txt";
}

}  // namespace orbik::signals
