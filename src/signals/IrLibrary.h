#pragma once
// IR signal library files (".ir"): ready-made signals, each a signal block
// of the unpacked IR code file form. A directory of 29-byte records (name:
// 1 length byte and 20 bytes of text; offset and length, 32-bit
// little-endian) ends where the first record's data begins; the data
// follows.
//
// The file comes from outside: no record is trusted to lie inside it.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace orbik::signals {

inline constexpr std::size_t kIrRecordSize = 29;
inline constexpr std::size_t kIrNameSize = 20;
// Far beyond any real library, small enough to read whole.
inline constexpr std::uintmax_t kMaxIrLibrarySize = 16u << 20;

struct IrRecord {
    std::string name;  // Windows-1252, as stored
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

struct IrDirectory {
    std::vector<IrRecord> records;  // only records whose data lies in the file
    int skipped = 0;                // damaged records, left out
};

// The directory of a whole file's bytes. A record is skipped when its data
// does not lie between the end of the directory and the end of the file,
// or is too short for a signal block's count and header.
IrDirectory ReadIrDirectory(std::string_view file);

// The record's data; empty for a record that does not lie in the file.
std::string_view IrRecordData(std::string_view file, const IrRecord& record);

// The last record of that name (names may repeat); nullptr when none.
const IrRecord* FindIrRecord(const IrDirectory& directory, std::string_view name);

// "2 damaged signals of TV.ir were skipped"; empty for 0.
std::string SkippedRecordsMessage(const std::string& fileName, int skipped);

struct IrLibrary {
    std::string bytes;
    IrDirectory directory;
};

// Reads the file whole (at most kMaxIrLibrarySize) and its directory.
// The error reads "path: reason".
bool LoadIrLibrary(const std::filesystem::path& file, IrLibrary* library,
                   std::string* error = nullptr);

// The names of the "*.ir" files of a folder, any letter case, in byte order.
std::vector<std::string> ListIrLibraries(const std::filesystem::path& folder);

}  // namespace orbik::signals
