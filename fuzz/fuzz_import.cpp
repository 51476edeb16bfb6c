// Importing arbitrary bytes as a project archive: whatever the archive
// holds, nothing may appear outside the new project's folder and the list
// file of the destination.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "FuzzProject.h"
#include "platform/Text.h"
#include "projects/Archive.h"
#include "projects/NewName.h"

namespace fs = std::filesystem;
using namespace orbik::projects;

namespace {

bool Inside(const fs::path& p, const fs::path& folder) {
    fs::path relative = p.lexically_relative(folder);
    return !relative.empty() && *relative.begin() != "..";
}

// True when every path below `root` is the archive, the list file or lies
// in the folder of `name`.
bool OnlyExpectedFiles(const fs::path& root, const fs::path& dest, const std::string& name) {
    std::error_code ec;
    for (fs::recursive_directory_iterator it(root, fs::directory_options::none, ec), end;
         !ec && it != end; it.increment(ec)) {
        fs::path p = it->path();
        if (p == root / "in.zip" || p == root / "box" || p == dest || p == dest / "projectlist.INI")
            continue;
        if (!name.empty() && Inside(p, dest / orbik::platform::NameToPath(name))) continue;
        return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path& root = orbik::fuzz::ScratchDir();
    fs::path dest = root / "box" / "Project";
    std::error_code ec;
    fs::remove_all(root / "box", ec);
    fs::create_directories(dest, ec);
    orbik::fuzz::WriteFile(root / "in.zip",
                           std::string_view(reinterpret_cast<const char*>(data), size));

    ImportRequest request;
    request.archive = root / "in.zip";
    request.destFolder = dest;
    request.listName = kProjectListFile;
    request.today = "01.01.2000";
    ImportResult result = ImportProject(request);

    std::string name;
    if (result.outcome == Outcome::Done) {
        name = result.name;
        if (name.empty() || name.find_first_of(kRefusedNameChars) != std::string::npos)
            __builtin_trap();
    }
    if (!OnlyExpectedFiles(root, dest, name)) __builtin_trap();
    return 0;
}
