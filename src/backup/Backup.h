#pragma once
// Backup files: a configuration image (.cim) or a raw memory image (.mem)
// read back from the device or kept from a build. The reader finds the
// configuration in the file, reads its summary and device types with their
// IR code files, and copies the first IR code file of a device type into
// the IR code library under a new name.
//
// Every offset and count comes from the file and is checked against its
// size: a damaged or short file gives a reason, never a read outside it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace orbik::backup {

namespace fs = std::filesystem;

// Where the configuration starts in a memory image: without a header the
// file is memory from 0x80000 and the configuration lies at 0x100000; a
// file of 0x380003 bytes carries a 3-byte start address first.
inline constexpr std::uint64_t kMemoryImageBase = 0x80000;
inline constexpr std::uint64_t kHeaderedMemorySize = 0x380003;
inline constexpr std::uint64_t kHeaderedMemoryBase = 0x80003;

// The sections the header points to, in the order of its nine offsets.
enum Section { kCda, kDma, kDba, kDca, kKda, kIda, kMda, kDda, kAda, kSectionCount };
// The five counts of the configuration data.
enum Count { kLanguages, kKeywords, kItems, kMenus, kDevices, kCountCount };

inline constexpr std::size_t kIdSize = 10;
inline constexpr std::size_t kIrNameSize = 10;
// A device file placed on its own takes up to 64 KiB of the image.
inline constexpr std::size_t kCopySize = 65536;
inline constexpr std::size_t kMaxNewNameSize = 10;

struct BackupIrFile {
    std::string name;            // the 10 bytes of its header, trailing blanks removed
    std::uint64_t position = 0;  // in the backup file
};

struct BackupDeviceType {
    std::string name;  // of the last item that selects it; empty when none does
    std::vector<BackupIrFile> irFiles;
};

struct BackupContents {
    std::uint64_t base = 0;
    std::array<std::uint32_t, kSectionCount> sections{};
    bool hasSummary = false;  // id and counts were read
    std::string id;           // the first 10 bytes of the descriptor, as stored
    std::array<std::uint8_t, kCountCount> counts{};
    std::vector<BackupDeviceType> deviceTypes;
};

// 0x80003 for a file of exactly 0x380003 bytes, whatever its name; else
// 0x80000 when the third-last character of the name is "m" or "M" (.mem);
// else 0.
std::uint64_t BaseOffset(std::string_view fileName, std::uint64_t fileSize);

// Reads the backup held in `bytes`, named `fileName`. False with a reason
// when the file ends before what its offsets and counts promise; `contents`
// then keeps what was read before (device types only when read whole).
bool ReadBackup(std::string_view bytes, std::string_view fileName, BackupContents* contents,
                std::string* error);

// The same on a file; the reason names the file.
bool ReadBackupFile(const fs::path& file, std::string* bytes, BackupContents* contents,
                    std::string* error);

// The "*.icp" files of the library folder (any letter case), in byte order.
std::vector<std::string> ListIcpFiles(const fs::path& libraryDir);

inline const std::string kFileExistsText = "Filename already exists";

// Copies the first IR code file of `type` out of the backup into
// libraryDir/<newName>.icp: up to 64 KiB from its position (less when the
// backup ends sooner), its name field set to the new name padded with
// blanks, packed when it packs and kept as it is otherwise. The new name is
// trimmed and must be a valid name of at most 10 characters (Windows-1252);
// an existing library file of that name in any letter case fails with
// kFileExistsText. Nothing is written on failure; `packed` says which form
// was stored.
bool CopyIrFile(std::string_view backup, const BackupDeviceType& type, const fs::path& libraryDir,
                std::string_view newName, bool* packed, std::string* error);

}  // namespace orbik::backup
