// Reading backups made from a real build of the demo project, as a .CIM and
// as memory images, whole, cut short and damaged, and copying IR code files
// out of them into a library.

#include "backup/Backup.h"

#include <gtest/gtest.h>

#include "platform/Bytes.h"
#include "support/DemoImage.h"
#include "support/TempDir.h"

namespace orbik::backup {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

const std::string& DemoCim() {
    static const TempDir program;
    static const std::string cim = test::BuildDemoCim(program.Path());
    return cim;
}

BackupContents Read(std::string_view bytes, std::string_view name, bool ok = true) {
    BackupContents contents;
    std::string error;
    EXPECT_EQ(ReadBackup(bytes, name, &contents, &error), ok) << name << ": " << error;
    return contents;
}

// Type names, file names and (optionally) positions from the base.
std::string Listing(const BackupContents& c, bool positions = true) {
    std::string text;
    for (const auto& type : c.deviceTypes) {
        text += type.name + ":";
        for (const auto& f : type.irFiles)
            text += " " + f.name + (positions ? "@" + std::to_string(f.position - c.base) : "");
        text += "|";
    }
    return text;
}

TEST(Backup, ImageAndMemoryBackupsOfTheDemoListTheSame) {
    const std::string& cim = DemoCim();
    BackupContents c = Read(cim, "Demo.CIM");
    EXPECT_EQ(c.base, 0u);
    EXPECT_EQ(c.id, "Demo      ");  // the descriptor (the project name), 10 characters
    EXPECT_EQ(c.counts, (std::array<std::uint8_t, 5>{2, 21, 10, 5, 2}));
    std::string listing = Listing(c);
    EXPECT_EQ(Listing(c, false), "TV: Empty TV_Demo|Phone: Empty|");
    // "--" devices lie on 64 KiB boundaries.
    for (const auto& type : c.deviceTypes) EXPECT_EQ(type.irFiles[0].position % kCopySize, 0u);

    std::string mem = test::MemoryImage(cim, false), headed = test::MemoryImage(cim, true);
    const struct {
        std::string_view bytes;
        const char* name;
        std::uint64_t base;
    } cases[] = {
        {mem, "backup.mem", 0x80000},    {mem, "BACKUP.MEM", 0x80000},
        {headed, "BACKUP.MEM", 0x80003}, {headed, "backup.cim", 0x80003},  // length first
        {mem, "backup.cim", 0},
    };
    for (const auto& m : cases) {
        BackupContents read = Read(m.bytes, m.name, m.base != 0);
        EXPECT_EQ(read.base, m.base) << m.name;
        if (m.base != 0) EXPECT_EQ(Listing(read), listing) << m.name;
    }
    EXPECT_EQ(BaseOffset("x.cim", 0x380002), 0u);
    EXPECT_EQ(BaseOffset("x.mem", 0x380004), 0x80000u);
}

// Cut anywhere, a backup reads up to the cut and says so; it reads whole
// exactly from the length that holds its last IR code file name.
TEST(Backup, EveryCutIsReportedAndKeepsWhatCameBefore) {
    const std::string& cim = DemoCim();
    BackupContents whole = Read(cim, "Demo.CIM");
    std::uint64_t end = 0;
    for (const auto& type : whole.deviceTypes)
        for (const auto& f : type.irFiles) end = std::max(end, f.position + kIrNameSize);
    for (std::size_t length = 0; length <= end; ++length) {
        BackupContents part;
        std::string error;
        bool ok = ReadBackup(std::string_view(cim).substr(0, length), "Demo.CIM", &part, &error);
        ASSERT_EQ(ok, length == end) << length;
        ASSERT_EQ(part.hasSummary, length >= 96) << length;
        ASSERT_EQ(Listing(whole).rfind(Listing(part), 0), 0u) << length;
    }
}

TEST(Backup, OffsetsOutsideTheFileAreReportedWithTheFileName) {
    std::string cim = DemoCim();
    std::uint32_t dda = Read(cim, "Demo.CIM").sections[kDda];
    platform::StoreBigEndian(0xFFFFFF, 3, cim.data() + dda + 3);  // the second type's table
    EXPECT_EQ(Read(cim, "Demo.CIM", false).deviceTypes.size(), 1u);
    platform::StoreBigEndian(cim.size() - 10, 3, cim.data() + 3 * kIda);
    EXPECT_TRUE(Read(cim, "Demo.CIM", false).deviceTypes.empty());

    TempDir dir;
    fs::path file = dir.Write("DEMO.MEM", cim);  // shorter than the memory base
    std::string bytes, error;
    BackupContents part;
    EXPECT_FALSE(ReadBackupFile(file, &bytes, &part, &error));
    EXPECT_NE(error.find(file.string()), std::string::npos) << error;
    EXPECT_FALSE(part.hasSummary);
}

TEST(Backup, TheLastItemThatSelectsATypeNamesIt) {
    // Items: TV (type 0), Radio, Phone (type 1), ... Radio is made to select
    // type 0 after TV; Phone stops selecting type 1.
    std::string cim = DemoCim();
    BackupContents c = Read(cim, "Demo.CIM");
    std::size_t items = c.counts[kItems], size = 133 + c.counts[kKeywords];
    std::size_t first = c.sections[kIda] + 3 * items;
    ASSERT_EQ(cim.substr(first + size + 1, 5), "Radio");
    cim[first + size] = 13;
    cim[first + size + 42] = 2;
    cim[first + size + 43] = 0;
    ASSERT_EQ(cim[first + 2 * size + 43], 1);
    cim[first + 2 * size + 42] = 3;
    c = Read(cim, "Demo.CIM");
    EXPECT_EQ(c.deviceTypes.at(0).name, "Radio");
    EXPECT_EQ(c.deviceTypes.at(1).name, "");
    EXPECT_EQ(c.deviceTypes.at(1).irFiles.size(), 1u);
}

bool Copy(std::string_view backup, const BackupDeviceType& type, const TempDir& library,
          std::string_view name, bool* packed = nullptr, std::string* error = nullptr) {
    bool ignored;
    return CopyIrFile(backup, type, library.Path(), name, packed ? packed : &ignored, error);
}

std::vector<std::string> Files(const TempDir& dir) {
    return ListIcpFiles(dir.Path());
}

TEST(Backup, CopyStoresTheFirstFilePackedOrAsItIsUnderThePaddedName) {
    const std::string& cim = DemoCim();
    const std::string mem = test::MemoryImage(cim, true);
    const BackupContents c = Read(cim, "Demo.CIM");
    TempDir library, fromMem;
    bool packed = false;
    ASSERT_TRUE(Copy(cim, c.deviceTypes[0], library, " New ", &packed));
    EXPECT_TRUE(packed);
    std::string file = library.Read("New.icp");
    EXPECT_EQ(file.substr(0, 11), std::string("New       \0", 11));
    EXPECT_EQ(file.size(), 215u + 1 + 2048);  // the empty template: the blocks only
    ASSERT_TRUE(Copy(mem, Read(mem, "x.mem").deviceTypes[0], fromMem, "New"));
    EXPECT_EQ(fromMem.Read("New.icp"), file);

    // The last "--" file has less than 64 KiB behind it; cut inside its
    // header it cannot pack and is kept as it is.
    std::uint64_t at = c.deviceTypes[1].irFiles[0].position;
    ASSERT_LT(cim.size() - at, kCopySize);
    ASSERT_TRUE(Copy(cim, c.deviceTypes[1], library, "Tail", &packed) && packed);
    std::string_view cut = std::string_view(cim).substr(0, at + 100);
    ASSERT_TRUE(Copy(cut, Read(cut, "Demo.CIM").deviceTypes[1], library, "Cut", &packed));
    EXPECT_FALSE(packed);
    EXPECT_EQ(library.Read("Cut.icp"), "Cut       " + std::string(cut.substr(at + 10)));
    EXPECT_EQ(Files(library), (std::vector<std::string>{"Cut.icp", "New.icp", "Tail.icp"}));
}

TEST(Backup, CopyRefusesBadOrTakenNamesAndWritesNothing) {
    const BackupDeviceType tv = Read(DemoCim(), "Demo.CIM").deviceTypes[0];
    TempDir library;
    library.Write("OLD.ICP", "kept");
    library.Write("sub/x", "");
    for (const char* bad : {"../x", "", "  ", "a.b", "sub/y", "12345678901"})
        EXPECT_FALSE(Copy(DemoCim(), tv, library, bad)) << bad;
    std::string error;
    EXPECT_FALSE(Copy(DemoCim(), tv, library, "old", nullptr, &error));
    EXPECT_EQ(error, kFileExistsText);
    EXPECT_EQ(library.Read("OLD.ICP"), "kept");
    EXPECT_EQ(Files(library), std::vector<std::string>{"OLD.ICP"});
    EXPECT_TRUE(Copy(DemoCim(), tv, library, "1234567890"));
    EXPECT_FALSE(Copy(DemoCim(), BackupDeviceType{"none", {}}, library, "Empty"));
    library.Write("b.icp/inner", "");  // a folder is not listed
    library.Write("B.Icp", "");
    EXPECT_EQ(Files(library), (std::vector<std::string>{"1234567890.icp", "B.Icp", "OLD.ICP"}));
}

}  // namespace
}  // namespace orbik::backup
