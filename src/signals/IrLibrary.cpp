#include "signals/IrLibrary.h"

#include <algorithm>

#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace orbik::signals {

namespace {

// A signal block is at least its count and its 6-byte header.
constexpr std::uint32_t kMinBlockSize = 8;

std::uint32_t LittleEndian32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | std::uint8_t(bytes[at + std::size_t(i)]);
    return value;
}

IrRecord RecordAt(std::string_view file, std::size_t at) {
    IrRecord record;
    std::size_t nameLength = std::min<std::size_t>(std::uint8_t(file[at]), kIrNameSize);
    record.name.assign(file.substr(at + 1, nameLength));
    record.offset = LittleEndian32(file, at + 1 + kIrNameSize);
    record.length = LittleEndian32(file, at + 1 + kIrNameSize + 4);
    return record;
}

}  // namespace

IrDirectory ReadIrDirectory(std::string_view file) {
    IrDirectory directory;
    if (file.size() < kIrRecordSize) return directory;
    // The first record's offset closes the directory; one that points
    // inside its own record or past the file still leaves that record.
    std::uint64_t end = std::min<std::uint64_t>(RecordAt(file, 0).offset, file.size());
    std::size_t count = std::max<std::size_t>(1, std::size_t(end / kIrRecordSize));
    const std::uint64_t dataStart = count * kIrRecordSize;
    for (std::size_t i = 0; i < count; ++i) {
        IrRecord record = RecordAt(file, i * kIrRecordSize);
        std::uint64_t dataEnd = std::uint64_t(record.offset) + record.length;
        if (record.offset < dataStart || dataEnd > file.size() || record.length < kMinBlockSize)
            ++directory.skipped;
        else
            directory.records.push_back(std::move(record));
    }
    return directory;
}

std::string_view IrRecordData(std::string_view file, const IrRecord& record) {
    if (std::uint64_t(record.offset) + record.length > file.size()) return {};
    return file.substr(record.offset, record.length);
}

const IrRecord* FindIrRecord(const IrDirectory& directory, std::string_view name) {
    auto last = std::find_if(directory.records.rbegin(), directory.records.rend(),
                             [&](const IrRecord& r) { return r.name == name; });
    return last == directory.records.rend() ? nullptr : &*last;
}

std::string SkippedRecordsMessage(const std::string& fileName, int skipped) {
    if (skipped <= 0) return {};
    return std::to_string(skipped) +
           (skipped == 1 ? " damaged signal of " : " damaged signals of ") + fileName +
           (skipped == 1 ? " was" : " were") + " skipped";
}

bool LoadIrLibrary(const std::filesystem::path& file, IrLibrary* library, std::string* error) {
    library->bytes.clear();
    library->directory = {};
    if (!platform::ReadWholeFile(file, &library->bytes, kMaxIrLibrarySize, error)) return false;
    library->directory = ReadIrDirectory(library->bytes);
    return true;
}

std::vector<std::string> ListIrLibraries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : platform::ListDirectory(folder)) {
        if (entry.kind == platform::EntryKind::Directory) continue;
        const std::string& n = entry.name;
        if (n.size() >= 3 &&
            platform::EqualsIgnoreCase(std::string_view(n).substr(n.size() - 3), ".ir"))
            names.push_back(n);
    }
    return names;
}

}  // namespace orbik::signals
