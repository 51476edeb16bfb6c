#include "editor/Listing.h"

#include "editor/ProjectSave.h"

namespace orbik::editor {

namespace {

constexpr std::size_t kIndentPerLevel = 15;
constexpr std::size_t kActionIndent = 45;
constexpr std::string_view kRule = "****************************************";

void ListMenu(const ProjectModel& model, std::size_t menu, std::size_t depth, bool withActions,
              std::vector<bool>* onPath, std::vector<std::string>* lines) {
    // A model never nests a menu inside itself; the guard keeps a hand-made
    // one from recursing forever.
    if (menu >= model.menus.size() || (*onPath)[menu]) return;
    (*onPath)[menu] = true;
    for (const auto& entry : model.menus[menu].entries) {
        if (depth == 0) lines->emplace_back();
        lines->push_back(std::string(depth * kIndentPerLevel, ' ') + entry.display);
        if (withActions)
            for (const auto& line : entry.procedure)
                lines->push_back(std::string(kActionIndent, ' ') + line);
        if (entry.subMenu) ListMenu(model, *entry.subMenu, depth + 1, withActions, onPath, lines);
    }
    (*onPath)[menu] = false;
}

}  // namespace

std::vector<std::string> ListingLines(const ProjectModel& model, std::string_view projectName,
                                      std::chrono::year_month_day printDate, bool withActions) {
    std::vector<std::string> lines{"",
                                   std::string(kRule),
                                   "",
                                   "     Project:   " + std::string(projectName),
                                   "     Printdate: " + ShortDate(printDate),
                                   "",
                                   std::string(kRule)};
    std::vector<bool> onPath(model.menus.size(), false);
    if (!model.menus.empty()) ListMenu(model, 0, 0, withActions, &onPath, &lines);
    return lines;
}

namespace {

// RTF takes 7-bit text: its control characters are escaped and every other
// byte is written as \'hh of the document's code page.
void AppendRtfText(std::string_view text, std::string* out) {
    static constexpr char kHex[] = "0123456789abcdef";
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '{' || c == '}') {
            *out += '\\';
            *out += c;
        } else if (byte >= 0x80 || byte < 0x20) {
            *out += "\\'";
            *out += kHex[byte >> 4];
            *out += kHex[byte & 0xF];
        } else {
            *out += c;
        }
    }
}

}  // namespace

std::string ListingRtf(const std::vector<std::string>& lines, std::string_view fontName,
                       int pointSize) {
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fmodern ";
    AppendRtfText(fontName, &rtf);
    rtf += ";}}\r\n\\f0\\fs" + std::to_string(pointSize > 0 ? 2 * pointSize : 20) + "\r\n";
    for (const auto& line : lines) {
        AppendRtfText(line, &rtf);
        rtf += "\\par\r\n";
    }
    rtf += "}\r\n";
    return rtf;
}

}  // namespace orbik::editor
