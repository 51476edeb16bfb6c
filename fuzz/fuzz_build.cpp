// A whole build of a project whose files come from the input: segments
// separated by a line "%%" become, in order, the project's files. The
// recordings of every keyword and language the input names are provided,
// so builds get through to the image writers.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzProject.h"
#include "compiler/BuildConfiguration.h"
#include "platform/Text.h"
#include "project/KeyValue.h"

using namespace orbik;
namespace fs = std::filesystem;

namespace {

const char* const kFiles[] = {
    "P.txt",
    "LANGUAGES.TXT",
    "DISPLAYS.TXT",
    "KEYWORDS.TXT",
    "Items&Menus/A/ITEM.TXT",
    "Items&Menus/Main/MENU.TXT",
    "Items&Menus/Sub/MENU.TXT",
    "Items&Menus/B/item.txt",
    "Devices/TV/DEVLIST.TXT",
    "Devices/TV/DEVVOCAB.TXT",
    "Devices/TV/tv.icp",
    "Devices/TV/--01.icp",
};

bool PlainName(const std::string& name) {
    return !name.empty() && name.size() < 40 && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos && name != "." && name != "..";
}

// Values of `key` lines in a segment.
std::vector<std::string> Values(const std::string& segment, const char* key) {
    std::vector<std::string> values;
    for (const auto& raw : platform::SplitLines(segment)) {
        std::string line = project::CleanLine(raw);
        if (project::LineHasKey(line, key)) values.push_back(project::ValueOf(line));
    }
    return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 65536) return 0;
    std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> segments(1);
    for (const auto& line : platform::SplitLines(input)) {
        if (line == "%%") {
            segments.emplace_back();
            continue;
        }
        segments.back() += line + "\r\n";
    }

    const fs::path program = fuzz::ScratchDir();
    std::error_code ec;
    fs::remove_all(program / "Project", ec);
    fs::remove_all(program / "Speech", ec);
    const fs::path projectDir = program / "Project" / "P";
    for (std::size_t i = 0; i < segments.size() && i < std::size(kFiles); ++i)
        fuzz::WriteFile(projectDir / kFiles[i], segments[i]);

    std::vector<std::string> languages = Values(segments[0], "language");
    std::vector<std::string> keywords =
        segments.size() > 3 ? Values(segments[3], "keyword") : std::vector<std::string>{};
    if (languages.size() <= 4 && keywords.size() <= 20) {
        for (const auto& language : languages) {
            if (!PlainName(language)) continue;
            fs::path dir = program / "Speech" / language;
            fuzz::WriteFile(dir / (language + "_announcement_1.ply"), "a1");
            fuzz::WriteFile(dir / (language + "_announcement_3.ply"), "a3");
            for (const auto& keyword : keywords) {
                if (!PlainName(keyword)) continue;
                std::string stem = language + "_" + keyword + "_";
                fuzz::WriteFile(dir / (stem + "1.ply"), "ply");
                for (char p = '1'; p <= '4'; ++p) fuzz::WriteFile(dir / (stem + p + ".pat"), "pat");
            }
        }
    }

    compiler::StatusLines log;
    compiler::BuildState state = compiler::MakeBuildState("P", projectDir, program);
    bool built = compiler::BuildConfiguration(state, log);
    if (built == log.Failed()) abort();  // a failure must say why, a success must not
    if (built && !fs::exists(projectDir / "P.CIM")) abort();
    return 0;
}
