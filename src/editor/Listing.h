#pragma once
// The project listing: the menu tree as printable text.

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "editor/ProjectModel.h"

namespace orbik::editor {

// Seven header lines with the project name and the print date, then the
// menu tree from Main depth first: an empty line before each top-level
// entry, 15 blanks of indent per level and, with `withActions`, each
// procedure line after its entry at 45 blanks whatever the depth.
std::vector<std::string> ListingLines(const ProjectModel& model, std::string_view projectName,
                                      std::chrono::year_month_day printDate, bool withActions);

// The lines as a rich-text (RTF) document in one fixed-pitch font, so that
// the indents line up in a word processor. Lines and font name are
// Windows-1252 bytes; `pointSize` is the font's size.
std::string ListingRtf(const std::vector<std::string>& lines, std::string_view fontName,
                       int pointSize);

}  // namespace orbik::editor
