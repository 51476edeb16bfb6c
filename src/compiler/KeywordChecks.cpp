// Languages, display texts, keyword declarations, packing and recordings.

#include <string>

#include "compiler/Steps.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace orbik::compiler {

using project::FindInList;
using project::kBuildFileNames;
using project::kNotFound;
using project::LineFile;
using project::LineHasKey;
using project::SpeechDir;
using project::SpeechFile;
using project::TopFile;
using project::ValueOf;

bool CheckLanguages(BuildState& state, BuildLog& log) {
    LineFile file;
    if (!OpenProjectFile(file, state, state.mainFile, log)) return false;
    const std::string mainPath = platform::PathToMessage(state.mainFile);
    state.languages.clear();
    bool haveDescriptor = false;
    std::string line;
    while (file.ReadLine(&line)) {
        log.Tick();
        if (!haveDescriptor && LineHasKey(line, "descriptor")) {
            state.descriptor = ValueOf(line);
            haveDescriptor = true;
        }
        if (!LineHasKey(line, "language")) continue;
        std::string name = ValueOf(line);
        if (FindInList(name, state.languages) != kNotFound) {
            log.Fail("multiple declaration of " + name + " in " + mainPath);
            return false;
        }
        state.languages.push_back({name, ""});
        if (state.languages.size() > kMaxLanguages) {
            log.Fail("more than 4 languages in " + mainPath);
            return false;
        }
    }

    if (!OpenProjectFile(file, state, TopFile(state.projectDir, kBuildFileNames.languages), log))
        return false;
    while (file.ReadLine(&line))
        for (auto& language : state.languages)
            if (LineHasKey(line, language.name)) language.displayName = ValueOf(line);
    return true;
}

namespace {

std::string DisplayText(std::string text) {
    text.resize(kDisplayWidth, ' ');
    return text;
}

}  // namespace

bool CheckDisplays(BuildState& state, BuildLog& log) {
    LineFile file;
    if (!OpenProjectFile(file, state, TopFile(state.projectDir, kBuildFileNames.displays), log))
        return false;
    for (auto& language : state.displayTexts) language.fill(std::string(kDisplayWidth, ' '));
    int display = -1;  // none selected: language lines are ignored
    std::string line;
    while (file.ReadLine(&line)) {
        if (LineHasKey(line, "display")) {
            int number = project::ParseNumber(ValueOf(line), 0);
            // A number outside 0..4 selects nothing, so its texts land nowhere.
            display = number >= 0 && number < kDisplayCount ? number : -1;
            continue;
        }
        if (display < 0) continue;
        for (std::size_t l = 0; l < state.languages.size(); ++l)
            if (LineHasKey(line, state.languages[l].name))
                state.displayTexts[l][display] = DisplayText(ValueOf(line));
    }
    return true;
}

namespace {

constexpr const char* kKeywordTypes[] = {"sleep",           "wakeup",    "next",    "execute",
                                         "deviceselection", "directkey", "control", "digit",
                                         "teletextitem",    "telname"};

}  // namespace

bool CheckKeywords(BuildState& state, BuildLog& log) {
    LineFile file;
    if (!OpenProjectFile(file, state, TopFile(state.projectDir, kBuildFileNames.keywords), log))
        return false;
    state.keywords.clear();
    t_kwrdinfo beforeFirst;  // what "type" and text lines before any keyword apply to
    t_kwrdinfo* current = &beforeFirst;
    std::string line;
    while (file.ReadLine(&line)) {
        if (LineHasKey(line, "keyword")) {
            std::string name = ValueOf(line);
            if (FindInList(name, state.keywords) != kNotFound) {
                log.Fail("multiple declaration of " + name + " in KEYWORDS.TXT");
                return false;
            }
            state.keywords.push_back({});
            current = &state.keywords.back();
            current->name = name;
            if (state.keywords.size() > kMaxDeclaredKeywords) {
                log.Fail("more than 1024 keywords defined in KEYWORDS.TXT");
                return false;
            }
        }
        if (LineHasKey(line, "type")) {
            std::string value = ValueOf(line);
            for (std::uint8_t code = 1; code <= kTelName; ++code) {
                if (value != kKeywordTypes[code - 1]) continue;
                current->type = code;
                if (IsCoreKeyword(code)) current->used = true;
            }
        }
        for (std::size_t l = 0; l < state.languages.size(); ++l)
            if (LineHasKey(line, state.languages[l].name)) current->names[l] = ValueOf(line);
    }
    return true;
}

bool PackKeywords(BuildState& state, BuildLog& log) {
    std::vector<t_kwrdinfo> kept;
    for (auto& keyword : state.keywords) {
        if (!keyword.used) continue;
        log.Tick();
        kept.push_back(std::move(keyword));
    }
    state.keywords = std::move(kept);
    if (state.keywords.size() > kMaxUsedKeywords) {
        log.Fail("more than 100 keywords used in configuration");
        return false;
    }
    return true;
}

namespace {

// A recording of the speech library; false (after log.Fail) when missing.
bool FindRecording(const BuildState& state, const Language& language, const std::string& file,
                   fs::path* path, BuildLog& log) {
    *path = SpeechFile(state.programDir, language.name, file);
    std::string reason;
    // The library may be a link within the program directory, not beyond it.
    if (InsideDir(SpeechDir(state.programDir), *path) &&
        FileResolvesInside(state.programDir, *path, &reason))
        return true;
    FailNotFound(*path, log, reason);
    return false;
}

}  // namespace

bool CheckPlaybacks(BuildState& state, BuildLog& log) {
    for (std::size_t l = 0; l < state.languages.size(); ++l) {
        log.Tick();
        const Language& language = state.languages[l];
        if (!FindRecording(state, language, "announcement_1.ply", &state.announcements[0].paths[l],
                           log) ||
            !FindRecording(state, language, "announcement_3.ply", &state.announcements[1].paths[l],
                           log))
            return false;
        for (auto& keyword : state.keywords) {
            if (!HasRecordings(keyword.type)) continue;
            if (!FindRecording(state, language, keyword.name + "_1.ply", &keyword.playback[l], log))
                return false;
            for (int p = 0; p < 4; ++p) {
                std::string file = keyword.name + "_" + std::to_string(p + 1) + ".pat";
                if (!FindRecording(state, language, file, &keyword.patterns[l][p], log))
                    return false;
            }
        }
    }
    return true;
}

}  // namespace orbik::compiler
