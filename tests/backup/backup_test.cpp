// Reading backups made from a real build of the demo project, as a .CIM and
// as memory images, whole, cut short and damaged, and copying IR code files
// out of them into a library.

#include "backup/Backup.h"

#include <gtest/gtest.h>

#include "platform/Bytes.h"
#include "platform/FileSystem.h"
#include "signals/IrCodeFile.h"
#include "support/DemoImage.h"
#include "support/TempDir.h"

namespace orbik::backup {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

struct Demo {
    Demo() : cim(test::BuildDemoCim(dir.Path())) {}
    TempDir dir;
    std::string cim;
};
const std::string& DemoCim() {
    static Demo demo;
    return demo.cim;
}

BackupContents Read(std::string_view bytes, std::string_view name, bool ok = true) {
    BackupContents contents;
    std::string error;
    EXPECT_EQ(ReadBackup(bytes, name, &contents, &error), ok) << name << ": " << error;
    return contents;
}

// Names and positions relative to the base, to compare backups of one image.
std::string Listing(const BackupContents& c) {
    std::string text = c.id;
    for (auto n : c.counts) text += " " + std::to_string(n);
    for (const auto& type : c.deviceTypes) {
        text += " | " + type.name + ":";
        for (const auto& f : type.irFiles)
            text += " " + f.name + "@" + std::to_string(f.position - c.base);
    }
    return text;
}

TEST(Backup, DemoImageShowsWhatTheProjectHolds) {
    BackupContents c = Read(DemoCim(), "Demo.CIM");
    EXPECT_EQ(c.base, 0u);
    EXPECT_EQ(c.id, "ORBIK demo");  // the descriptor, cut to 10
    EXPECT_EQ(c.counts, (std::array<std::uint8_t, 5>{2, 19, 6, 3, 2}));
    ASSERT_EQ(c.deviceTypes.size(), 2u);
    EXPECT_EQ(c.deviceTypes[0].name, "TV");
    EXPECT_EQ(c.deviceTypes[1].name, "Phone");
    ASSERT_EQ(c.deviceTypes[0].irFiles.size(), 2u);
    EXPECT_EQ(c.deviceTypes[0].irFiles[0].name, "Empty");
    EXPECT_EQ(c.deviceTypes[0].irFiles[1].name, "TV_Demo");
    // Files of "--" devices lie on 64 KiB boundaries.
    EXPECT_EQ(c.deviceTypes[0].irFiles[0].position % kCopySize, 0u);
    EXPECT_EQ(c.deviceTypes[1].irFiles[0].position % kCopySize, 0u);
}

TEST(Backup, MemoryImagesAndNamesFindTheConfigurationAtTheirBase) {
    const std::string& cim = DemoCim();
    std::string mem = test::MemoryImage(cim, false), headed = test::MemoryImage(cim, true);
    const struct {
        std::string_view bytes;
        const char* name;
        std::uint64_t base;
    } cases[] = {
        {mem, "backup.mem", 0x80000},    {mem, "BACKUP.MEM", 0x80000},
        {headed, "backup.mem", 0x80003}, {headed, "BACKUP.MEM", 0x80003},
        {headed, "backup.cim", 0x80003},  // the length decides before the name
    };
    std::string expected = Listing(Read(cim, "Demo.CIM"));
    for (const auto& c : cases) {
        BackupContents contents = Read(c.bytes, c.name);
        EXPECT_EQ(contents.base, c.base) << c.name;
        EXPECT_EQ(Listing(contents), expected) << c.name;
    }
    EXPECT_EQ(BaseOffset("x.cim", 0x380002), 0u);
    EXPECT_EQ(BaseOffset("x.cim", 0x380004), 0u);
    EXPECT_EQ(BaseOffset("x.Mem", 0x380004), 0x80000u);
    EXPECT_EQ(BaseOffset("em", 10), 0u);
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
        if (ok) break;
        ASSERT_NE(error.find("beyond the end of the file"), std::string::npos) << error;
        ASSERT_EQ(part.hasSummary, length >= 96) << length;
        ASSERT_LE(part.deviceTypes.size(), whole.deviceTypes.size());
        for (std::size_t t = 0; t < part.deviceTypes.size(); ++t)
            ASSERT_EQ(part.deviceTypes[t].irFiles.size(), whole.deviceTypes[t].irFiles.size());
    }
}

TEST(Backup, OffsetsOutsideTheFileAreReportedWithTheFileName) {
    std::string cim = DemoCim();
    BackupContents whole = Read(cim, "Demo.CIM");
    // The second device type's table points past the end.
    std::uint32_t dda = whole.sections[kDda];
    std::string bad = cim;
    platform::StoreBigEndian(0xFFFFFF, 3, bad.data() + dda + 3);
    BackupContents part = Read(bad, "Demo.CIM", false);
    EXPECT_EQ(part.deviceTypes.size(), 1u);
    // The item section too.
    bad = cim;
    platform::StoreBigEndian(static_cast<std::uint32_t>(cim.size() - 10), 3, bad.data() + 3 * kIda);
    EXPECT_TRUE(Read(bad, "Demo.CIM", false).deviceTypes.empty());

    TempDir dir;
    fs::path file = dir.Write("DEMO.MEM", bad);  // no memory base is possible in so short a file
    std::string bytes, error;
    EXPECT_FALSE(ReadBackupFile(file, &bytes, &part, &error));
    EXPECT_NE(error.find(file.string()), std::string::npos) << error;
    EXPECT_FALSE(part.hasSummary);
}

TEST(Backup, TypeNamesComeFromTheLastItemThatSelectsThem) {
    TempDir program;
    std::string cim = test::BuildDemoCim(program.Path(), [](const fs::path& project) {
        platform::WriteFileAtomic(project / "Items&Menus/Phone/ITEM.TXT",
                                  "English=Phone\r\nGerman=Telefon\r\nkeyword=phone\r\n"
                                  "option=devices=Television\r\nminoption=0\r\nstartoption=0\r\n");
    });
    ASSERT_FALSE(cim.empty());
    BackupContents c = Read(cim, "Demo.CIM");
    ASSERT_EQ(c.deviceTypes.size(), 1u);
    EXPECT_EQ(c.deviceTypes[0].name, "Phone");  // TV comes first in the item list

    // The build drops unused types, so unbind the item that names the second
    // type in the image: its option kind becomes numbers.
    cim = DemoCim();
    c = Read(cim, "Demo.CIM");
    std::size_t items = c.counts[kItems], size = 133 + c.counts[kKeywords];
    for (std::size_t i = 0, at = c.sections[kIda] + 3 * items; i < items; ++i, at += size)
        if (cim[at + 42] == 2 && cim[at + 43] == 1) cim[at + 42] = 3;
    c = Read(cim, "Demo.CIM");
    ASSERT_EQ(c.deviceTypes.size(), 2u);
    EXPECT_EQ(c.deviceTypes[0].name, "TV");
    EXPECT_EQ(c.deviceTypes[1].name, "");
    EXPECT_EQ(c.deviceTypes[1].irFiles.size(), 1u);
}

struct Copied {
    bool ok = false, packed = false;
    std::string error;
};
Copied Copy(std::string_view backup, const BackupDeviceType& type, const TempDir& library,
            std::string_view name) {
    Copied c;
    c.ok = CopyIrFile(backup, type, library.Path(), name, &c.packed, &c.error);
    return c;
}

std::vector<std::string> Files(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.Path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Backup, CopyPacksTheFirstFileUnderTheNewNamePaddedInTheHeaderOnly) {
    const std::string& cim = DemoCim();
    std::string mem = test::MemoryImage(cim, true);
    const BackupDeviceType tv = Read(cim, "Demo.CIM").deviceTypes[0];
    TempDir fromCim, fromMem;
    Copied c = Copy(cim, tv, fromCim, " New ");
    ASSERT_TRUE(c.ok) << c.error;
    EXPECT_TRUE(c.packed);
    EXPECT_EQ(Files(fromCim), std::vector<std::string>{"New.icp"});
    std::string packed = fromCim.Read("New.icp");
    EXPECT_EQ(packed.substr(0, 11), std::string("New       \0", 11));
    // Only the blocks are kept: the empty template packs into header and dictionary.
    EXPECT_EQ(packed.size(), signals::kHeaderSize + 1 + 8 * signals::kFullDictionary);

    ASSERT_TRUE(Copy(mem, Read(mem, "x.mem").deviceTypes[0], fromMem, "New").ok);
    EXPECT_EQ(fromMem.Read("New.icp"), packed);
}

TEST(Backup, CopyNearTheEndTakesWhatThereIsAndNeverLeavesAWorkingFile) {
    const std::string& cim = DemoCim();
    const BackupDeviceType phone = Read(cim, "Demo.CIM").deviceTypes[1];
    std::uint64_t at = phone.irFiles[0].position;
    ASSERT_LT(cim.size() - at, kCopySize);
    TempDir library;
    Copied c = Copy(cim, phone, library, "Tail");
    ASSERT_TRUE(c.ok) << c.error;
    EXPECT_TRUE(c.packed);
    // Cut inside the header the file cannot pack: it is kept as it is.
    std::string_view cut = std::string_view(cim).substr(0, at + 100);
    c = Copy(cut, Read(cut, "Demo.CIM").deviceTypes[1], library, "Cut");
    ASSERT_TRUE(c.ok) << c.error;
    EXPECT_FALSE(c.packed);
    EXPECT_EQ(library.Read("Cut.icp"), "Cut       " + std::string(cut.substr(at + 10)));
    EXPECT_EQ(Files(library), (std::vector<std::string>{"Cut.icp", "Tail.icp"}));
}

TEST(Backup, CopyRefusesBadOrTakenNamesAndWritesNothing) {
    const std::string& cim = DemoCim();
    const BackupDeviceType tv = Read(cim, "Demo.CIM").deviceTypes[0];
    TempDir library;
    library.Write("OLD.ICP", "kept");
    for (const char* bad : {"../x", "", "  ", "a.b", "x/y", "12345678901", "old"}) {
        Copied c = Copy(cim, tv, library, bad);
        EXPECT_FALSE(c.ok) << bad;
        EXPECT_FALSE(c.error.empty());
    }
    EXPECT_EQ(Copy(cim, tv, library, "Old").error, kFileExistsText);
    EXPECT_EQ(Files(library), std::vector<std::string>{"OLD.ICP"});
    EXPECT_EQ(library.Read("OLD.ICP"), "kept");
    EXPECT_TRUE(Copy(cim, tv, library, "1234567890").ok);
    EXPECT_FALSE(Copy(cim, BackupDeviceType{"none", {}}, library, "Empty").ok);
}

TEST(Backup, LibraryListsIcpFilesOfAnyCaseInByteOrder) {
    TempDir library;
    for (const char* name : {"b.ICP", "a.icp", "B.icp", "c.txt", "d.icp/inner"})
        library.Write(name, "");
    EXPECT_EQ(ListIcpFiles(library.Path()), (std::vector<std::string>{"B.icp", "a.icp", "b.ICP"}));
}

}  // namespace
}  // namespace orbik::backup
