#include "backup/Backup.h"

#include <algorithm>

#include "compiler/ImageRecords.h"
#include "platform/Bytes.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "projects/NewName.h"
#include "signals/IcpLibrary.h"
#include "signals/IrCodeFile.h"

namespace orbik::backup {

namespace {

using platform::GetBigEndian;

constexpr std::size_t kOffsetSize = 3;
using compiler::kCountsAt;
using compiler::kItemDeviceTypeAt;
using compiler::kItemFixedSize;
using compiler::kItemNamesAt;
using compiler::kItemOptionKindAt;
using compiler::kItemTypeAt;
// The identification is the start of the descriptor.
constexpr std::uint64_t kIdAt = compiler::kDescriptorAt;
constexpr std::uint8_t kPlainItem = compiler::StoredItemType(compiler::kPlainItem);
constexpr std::uint8_t kDevicesOption = compiler::StoredOptionKind(compiler::OptionKind::Devices);

std::string WithoutTrailingBlanks(std::string_view text) {
    std::size_t end = text.find_last_not_of(' ');
    return std::string(text.substr(0, end == text.npos ? 0 : end + 1));
}

// Reads from one file and tells, for a part that does not fit, what it was.
class Reader {
  public:
    Reader(std::string_view bytes, std::string* error) : bytes_(bytes), error_(error) {}

    bool Has(std::uint64_t at, std::uint64_t count, const std::string& what) {
        if (at <= bytes_.size() && count <= bytes_.size() - at) return true;
        if (error_)
            *error_ = what + " (" + std::to_string(count) + " bytes at " + std::to_string(at) +
                      ") lies beyond the end of the file (" + std::to_string(bytes_.size()) +
                      " bytes)";
        return false;
    }
    std::uint32_t Number(std::uint64_t at, std::size_t width) const {
        return GetBigEndian(bytes_, at, width);
    }
    std::uint8_t Byte(std::uint64_t at) const { return static_cast<std::uint8_t>(bytes_[at]); }
    std::string_view Bytes(std::uint64_t at, std::size_t count) const {
        return bytes_.substr(at, count);
    }

  private:
    std::string_view bytes_;
    std::string* error_;
};

bool ReadSummary(Reader& in, BackupContents* out) {
    std::uint64_t base = out->base;
    if (!in.Has(base, kSectionCount * kOffsetSize, "the section offsets")) return false;
    for (std::size_t s = 0; s < kSectionCount; ++s)
        out->sections[s] = in.Number(base + s * kOffsetSize, kOffsetSize);
    if (!in.Has(base + kIdAt, kIdSize, "the identification") ||
        !in.Has(base + kCountsAt, kCountCount, "the counts"))
        return false;
    out->id = std::string(in.Bytes(base + kIdAt, kIdSize));
    for (std::size_t c = 0; c < kCountCount; ++c) out->counts[c] = in.Byte(base + kCountsAt + c);
    out->hasSummary = true;
    return true;
}

// The name of each device type from the items that select it; the last one wins.
bool ReadTypeNames(Reader& in, const BackupContents& contents, std::vector<std::string>* names) {
    std::uint64_t items = contents.counts[kItems];
    std::uint64_t recordSize = kItemFixedSize + contents.counts[kKeywords];
    std::uint64_t table = contents.base + contents.sections[kIda];
    if (!in.Has(table, items * kOffsetSize, "the item table")) return false;
    std::uint64_t record = table + items * kOffsetSize;
    for (std::uint64_t i = 0; i < items; ++i, record += recordSize) {
        if (!in.Has(record, recordSize, "item " + std::to_string(i + 1))) return false;
        std::uint8_t device = in.Byte(record + kItemDeviceTypeAt);
        if (in.Byte(record + kItemTypeAt) == kPlainItem &&
            in.Byte(record + kItemOptionKindAt) == kDevicesOption && device < names->size())
            (*names)[device] = WithoutTrailingBlanks(in.Bytes(record + kItemNamesAt, kIrNameSize));
    }
    return true;
}

bool ReadDeviceType(Reader& in, const BackupContents& contents, std::size_t d,
                    BackupDeviceType* type) {
    std::string what = "device type " + std::to_string(d + 1);
    std::uint64_t base = contents.base;
    std::uint64_t pointer = base + contents.sections[kDda] + d * kOffsetSize;
    std::uint64_t table = base + in.Number(pointer, kOffsetSize);
    if (!in.Has(table, 2, what)) return false;
    std::uint64_t files = in.Number(table, 2);
    if (!in.Has(table + 2, files * kOffsetSize, "the IR code file table of " + what)) return false;
    for (std::uint64_t f = 0; f < files; ++f) {
        std::uint64_t position = base + in.Number(table + 2 + f * kOffsetSize, kOffsetSize);
        if (!in.Has(position, kIrNameSize, "IR code file " + std::to_string(f + 1) + " of " + what))
            return false;
        type->irFiles.push_back({WithoutTrailingBlanks(in.Bytes(position, kIrNameSize)), position});
    }
    return true;
}

bool ReadDeviceTypes(Reader& in, BackupContents* out, const std::vector<std::string>& names) {
    std::uint64_t types = out->counts[kDevices];
    if (!in.Has(out->base + out->sections[kDda], types * kOffsetSize, "the device table"))
        return false;
    for (std::size_t d = 0; d < types; ++d) {
        BackupDeviceType type{names[d], {}};
        if (!ReadDeviceType(in, *out, d, &type)) return false;
        out->deviceTypes.push_back(std::move(type));
    }
    return true;
}

bool Fail(std::string* error, std::string message) {
    if (error) *error = std::move(message);
    return false;
}

}  // namespace

std::uint64_t BaseOffset(std::string_view fileName, std::uint64_t fileSize) {
    if (fileSize == kHeaderedMemorySize) return kHeaderedMemoryBase;
    // Names read back from the device may come in upper case.
    if (fileName.size() >= 3 && (fileName[fileName.size() - 3] | 0x20) == 'm')
        return kMemoryImageBase;
    return 0;
}

bool ReadBackup(std::string_view bytes, std::string_view fileName, BackupContents* contents,
                std::string* error) {
    *contents = BackupContents{};
    contents->base = BaseOffset(fileName, bytes.size());
    Reader in(bytes, error);
    std::vector<std::string> names;
    if (!ReadSummary(in, contents)) return false;
    names.resize(contents->counts[kDevices]);
    return ReadTypeNames(in, *contents, &names) && ReadDeviceTypes(in, contents, names);
}

bool ReadBackupFile(const fs::path& file, std::string* bytes, BackupContents* contents,
                    std::string* error) {
    std::string reason;
    std::string name = platform::PathToMessage(file);
    *contents = BackupContents{};
    // The largest backup is a memory image with its address: 0x380003 bytes.
    constexpr std::uintmax_t kLargestBackup = 0x380003;
    if (!platform::ReadWholeFile(file, bytes, kLargestBackup, &reason))
        return Fail(error, "Cannot read " + name + ": " + platform::ErrorReason(reason));
    if (!ReadBackup(*bytes, platform::PathToMessage(file.filename()), contents, &reason))
        return Fail(error, "Read error in backup file " + name + ": " + reason);
    return true;
}

std::vector<std::string> ListIcpFiles(const fs::path& libraryDir) {
    return signals::ListCodeFiles(libraryDir);
}

bool CopyIrFile(std::string_view backup, const BackupDeviceType& type, const fs::path& libraryDir,
                std::string_view newName, bool* packed, std::string* error) {
    std::string name = projects::TrimBlanks(newName);
    if (projects::CheckNewName(name) != projects::NameCheck::Ok)
        return Fail(error, "\"" + std::string(newName) + "\": " + projects::NotAllowedText());
    if (name.size() > kMaxNewNameSize)
        return Fail(error, "\"" + name + "\": a name has at most " +
                               std::to_string(kMaxNewNameSize) + " characters");
    if (type.irFiles.empty()) return Fail(error, "The device type holds no IR code file");
    fs::path target = libraryDir / platform::NameToPath(name + ".icp");
    if (platform::FileExists(target)) return Fail(error, kFileExistsText);

    // The first file of the type, whatever the user picked: it is the one
    // placed on a 64 KiB boundary, with room for the whole file.
    std::uint64_t position = type.irFiles.front().position;
    if (position + kIrNameSize > backup.size())
        return Fail(error, "The IR code file lies beyond the end of the backup");
    std::string data(backup.substr(position, kCopySize));
    std::string header = name;
    header.resize(kIrNameSize, ' ');
    std::copy(header.begin(), header.end(), data.begin());

    std::string packedData;
    *packed = signals::PackIcp(data, &packedData);
    return platform::WriteFileAtomic(target, *packed ? packedData : data, error);
}

}  // namespace orbik::backup
