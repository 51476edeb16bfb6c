#pragma once
// The fixed vocabulary every build knows besides the project's own
// keywords: remote-control button names, flags, baud rates and parities.
// Procedures name entries of these tables; an entry is encoded as its
// position (0-based).

#include <array>
#include <string_view>

namespace orbik::project {

inline constexpr std::array<std::string_view, 51> kButtonNames = {
    "on",         "off",      "0",        "1",         "2",         "3",         "4",
    "5",          "6",        "7",        "8",         "9",         "10_up",     "20_up",
    "two_digits", "AV",       "next",     "previous",  "vol_plus",  "vol_minus", "mute",
    "ttxt_on",    "ttxt_off", "red",      "green",     "yellow",    "blue",      "hold",
    "record",     "play",     "stop",     "fast_frwd", "fast_bkwd", "direct_1",  "direct_2",
    "direct_3",   "direct_4", "direct_5", "direct_6",  "direct_7",  "direct_8",  "direct_9",
    "direct_10",  "up",       "down",     "left",      "right",     "menu",      "ok",
    "dim",        "speak",
};

inline constexpr std::array<std::string_view, 3> kFlagNames = {"true", "record", "parallel_if"};

inline constexpr std::array<std::string_view, 9> kBaudRates = {
    "300", "1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"};

inline constexpr std::array<std::string_view, 3> kParities = {"even", "odd", "none"};

}  // namespace orbik::project
