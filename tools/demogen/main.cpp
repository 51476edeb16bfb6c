// Generates the demo installation: copies the text tree (turning line ends
// into CR LF, as the program's own files have them), creates the folders
// named by [Paths] in orbik.ini, and writes deterministic binary
// placeholders for the recordings and data that cannot be shipped, and the
// IR code files (the empty template and a learned sample).
//
// usage: orbik-demogen SOURCE_DIR OUTPUT_DIR [PLACEHOLDER_LIST]

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "IrSamples.h"
#include "platform/FileSystem.h"
#include "platform/Ini.h"
#include "platform/Text.h"

namespace fs = std::filesystem;
using namespace orbik::platform;

namespace {

// The demo's largest files are memory images of a few MiB.
constexpr std::uintmax_t kMaxDemoFileSize = 64u << 20;

bool IsTextFile(const fs::path& p) {
    std::string ext = ToLowerAscii(p.extension().string());
    return ext == ".txt" || ext == ".ini";
}

bool WriteIfChanged(const fs::path& target, const std::string& bytes) {
    std::string old;
    if (ReadWholeFile(target, &old, kMaxDemoFileSize) && old == bytes) return true;
    std::string error;
    if (!CreateDirectories(target.parent_path(), &error) ||
        !WriteFileAtomic(target, bytes, &error)) {
        std::fprintf(stderr, "orbik-demogen: %s\n", error.c_str());
        return false;
    }
    return true;
}

bool CopyTree(const fs::path& source, const fs::path& output) {
    for (const auto& entry : fs::recursive_directory_iterator(source)) {
        fs::path target = output / fs::relative(entry.path(), source);
        if (entry.is_directory()) {
            if (!CreateDirectories(target)) return false;
            continue;
        }
        std::string bytes;
        std::string error;
        if (!ReadWholeFile(entry.path(), &bytes, kMaxDemoFileSize, &error)) {
            std::fprintf(stderr, "orbik-demogen: %s\n", error.c_str());
            return false;
        }
        if (IsTextFile(entry.path())) bytes = JoinLines(SplitLines(bytes));
        if (!WriteIfChanged(target, bytes)) return false;
    }
    return true;
}

// The shipped projects are generated whole: a file renamed or removed in the
// source must not linger from an earlier run.
bool RemoveShippedProjects(const fs::path& source, const fs::path& output) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(source / "Project", error)) {
        if (!entry.is_directory()) continue;
        fs::remove_all(output / "Project" / entry.path().filename(), error);
        if (error) {
            std::fprintf(stderr, "orbik-demogen: cannot remove %s: %s\n",
                         (output / "Project" / entry.path().filename()).c_str(),
                         error.message().c_str());
            return false;
        }
    }
    return !error;
}

bool CreatePathFolders(const fs::path& output) {
    IniFile ini(output / "orbik.ini");
    for (const char* key :
         {"Project", "Templates", "Def_IR", "IR_ICP", "IR_IR", "RF_DBS", "Speech"}) {
        std::string value = ini.Read("Paths", key);
        if (!value.empty() && !CreateDirectories(JoinSetting(output, value))) return false;
    }
    return true;
}

// xorshift noise seeded from the path, so every run writes the same bytes.
std::string Noise(const std::string& seedText, std::size_t size) {
    std::uint64_t state = 1469598103934665603ull;
    for (unsigned char c : seedText) state = (state ^ c) * 1099511628211ull;
    std::string bytes(size, '\0');
    for (auto& b : bytes) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        b = static_cast<char>(state >> 24);
    }
    return bytes;
}

bool WritePlaceholders(const fs::path& list, const fs::path& output) {
    std::vector<std::string> lines;
    if (!ReadTextFile(list, &lines,
                      [](const std::string& m) { std::fprintf(stderr, "%s\n", m.c_str()); }))
        return false;
    for (const auto& line : lines) {
        if (line.empty() || line[0] == ';') continue;
        std::istringstream fields(line);
        std::string path;
        std::size_t size = 0;
        if (!(fields >> path >> size)) {
            std::fprintf(stderr, "orbik-demogen: bad placeholder line: %s\n", line.c_str());
            return false;
        }
        if (!WriteIfChanged(output / path, Noise(path, size))) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: orbik-demogen SOURCE_DIR OUTPUT_DIR [PLACEHOLDER_LIST]\n");
        return 2;
    }
    fs::path source = argv[1], output = argv[2];
    bool ok = CreateDirectories(output) && RemoveShippedProjects(source, output) &&
              CopyTree(source, output) && CreatePathFolders(output) &&
              orbik::demogen::WriteIrSamples(output, WriteIfChanged);
    if (ok && argc == 4) ok = WritePlaceholders(argv[3], output);
    if (!ok) {
        std::fprintf(stderr, "orbik-demogen: could not generate %s\n", output.c_str());
        return 1;
    }
    return 0;
}
