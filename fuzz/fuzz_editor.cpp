// A project's files from the input through the editor's load: segments
// separated by a line "%%" become, in order, the project's files, held in
// memory so nothing is written. A project that loads is saved and must
// load again.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>

#include "editor/ProjectLoad.h"
#include "editor/ProjectSave.h"
#include "platform/Text.h"

using namespace orbik;

namespace {

const char* const kFiles[] = {
    "P.txt",
    "keywords.txt",
    "Items&Menus/A/item.txt",
    "Items&Menus/Main/menu.txt",
    "Items&Menus/Sleep/menu.txt",
    "Items&Menus/Sub/menu.txt",
    "Items&Menus/B/item.txt",
    "Items&Menus/sub2/menu.txt",
    "Devices/TV/devlist.txt",
    "Devices/TV/devvocab.txt",
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 65536) return 0;
    std::string input(reinterpret_cast<const char*>(data), size);
    editor::MemorySource source;
    std::size_t file = 0;
    std::string segment;
    for (const auto& line : platform::SplitLines(input)) {
        if (line == "%%") {
            if (file < std::size(kFiles)) source.Put(std::string("P/") + kFiles[file++], segment);
            segment.clear();
            continue;
        }
        segment += line + "\r\n";
    }
    if (file < std::size(kFiles)) source.Put(std::string("P/") + kFiles[file], segment);

    editor::LoadResult first = editor::LoadProject(source, "P", "P", "English");
    if (!first.ok) return 0;
    // What the editor writes, it loads again.
    editor::WriteProjectFiles(editor::SaveProject(first.model, "P", "P"), &source);
    if (!editor::LoadProject(source, "P", "P", "English").ok) abort();
    return 0;
}
