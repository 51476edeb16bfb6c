#include "editor/DeviceEdit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/FileSystem.h"
#include "project/ProjectLayout.h"
#include "projects/NewName.h"
#include "signals/IcpLibrary.h"
#include "support/TempDir.h"

namespace orbik::editor {
namespace {

namespace fs = std::filesystem;

std::string Block(size_t count, char fill) {
    std::string block(count * 8 + 8, fill);
    block[0] = char(count >> 8);
    block[1] = char(count);
    return block;
}

std::string EmptyFile(const std::string& name) {
    return signals::HeaderName(name) + '\xFF' + std::string(204, '\xFF');
}

class DeviceFiles : public ::testing::Test {
  protected:
    DeviceFiles() {
        dir.Write("Empty.ixp", EmptyFile(""));
        dir.Write("P/Devices/tv/--01.icp", EmptyFile("first"));
        dir.Write("P/Devices/tv/--01.txt", "[signalnames]\r\non=Power\r\n");
        dir.Write("P/Devices/tv/Sony.icp", EmptyFile("Sony"));
        dir.Write("P/Devices/tv/old.icp", EmptyFile("old"));
        dir.Write("P/Devices/tv/old.txt", "x");
        device.name = "tv";
        device.signalFiles = {"--01.icp", "missing.icp", "Sony.icp"};
    }
    fs::path Project() const { return dir / "P"; }
    fs::path Work() const { return project::DeviceWorkDir(Project()); }

    test::TempDir dir;
    DeviceRecord device;
};

TEST_F(DeviceFiles, OpeningCopiesTheFilesThatExistAndTicksTheStartOption) {
    std::vector<std::string> failures;
    CodeFileList list = OpenCodeFiles(Project(), device, 2, true, &failures);
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(list.files, (std::vector<std::string>{"--01.icp", "Sony.icp"}));
    EXPECT_EQ(list.ticked, 1);  // Sony.icp, the third of the device's files
    EXPECT_EQ(dir.Read("P/Devices/temp/--01.txt"), "[signalnames]\r\non=Power\r\n");
    EXPECT_TRUE(platform::FileExists(Work() / "Sony.icp"));
    EXPECT_EQ(OpenCodeFiles(Project(), device, 1, true, nullptr).ticked, -1);  // not listed
    EXPECT_EQ(OpenCodeFiles(Project(), device, -1, true, nullptr).ticked, -1);
}

TEST_F(DeviceFiles, OnlyLaterFilesOfSeveralMayBeChanged) {
    std::vector<std::string> files{"--01.icp", "a.icp", "--02.ICP", "b.icp"};
    EXPECT_FALSE(CanChangeCodeFile(files, 0));
    EXPECT_TRUE(CanChangeCodeFile(files, 1));
    EXPECT_FALSE(CanChangeCodeFile(files, 2));
    EXPECT_TRUE(CanChangeCodeFile(files, 3));
    EXPECT_FALSE(CanChangeCodeFile(files, 4));
    EXPECT_FALSE(CanChangeCodeFile(files, -1));
    EXPECT_FALSE(CanChangeCodeFile({"a.icp"}, 0));
    EXPECT_FALSE(CanChangeCodeFile({"--01.icp", "--01.icp"}, 1));
}

TEST_F(DeviceFiles, AMissingNameFileIsWrittenWhenTheFileIsShown) {
    OpenCodeFiles(Project(), device, 0, true, nullptr);
    CodeFileView view = ReadCodeFile(Work(), "Sony.icp", true);
    EXPECT_EQ(view.names, signals::UnusedSignalNames());
    EXPECT_EQ(signals::ReadSignalNames(Work() / "Sony.txt"), signals::UnusedSignalNames());
    EXPECT_TRUE(platform::FileExists(Work() / "Sony.txt"));
    EXPECT_EQ(ReadCodeFile(Work(), "--01.icp", true).names[0], "Power");
    EXPECT_FALSE(ReadCodeFile(Project() / "Devices/tv", "old.icp", false).learned[0]);
}

TEST_F(DeviceFiles, NewNamesFollowTheNameRulesAndNeverReuseAFile) {
    OpenCodeFiles(Project(), device, 0, true, nullptr);
    EXPECT_EQ(CheckNewCodeFileName(Work(), "Philips"), "");
    EXPECT_EQ(CheckNewCodeFileName(Work(), "0123456789"), "");
    EXPECT_NE(CheckNewCodeFileName(Work(), "01234567890"), "");
    EXPECT_EQ(CheckNewCodeFileName(Work(), "sony"), kFilenameExists);
    EXPECT_EQ(CheckNewCodeFileName(Work(), "SONY"), kFilenameExists);
    for (const char* bad : {"../x", "a/b", "a.b", "  ", ""})
        EXPECT_EQ(CheckNewCodeFileName(Work(), bad), projects::NotAllowedText()) << bad;
}

TEST_F(DeviceFiles, ANewFileIsTheTemplateWithItsNameAndUsesTheHeaderOnly) {
    fs::create_directories(Work());
    std::string file, error;
    signals::SlotData slots;
    ASSERT_TRUE(CreateCodeFile(Work(), "Philips", dir / "Empty.ixp", &file, &slots, &error))
        << error;
    EXPECT_EQ(file, "Philips.ixp");
    EXPECT_EQ(signals::BytesUsed(slots), 215u);
    EXPECT_EQ(dir.Read("P/Devices/temp/Philips.ixp"), EmptyFile("Philips"));
    EXPECT_EQ(CheckNewCodeFileName(Work(), "philips"), kFilenameExists);
    EXPECT_FALSE(CreateCodeFile(Work(), "x", dir / "none.ixp", &file, &slots, &error));
}

TEST_F(DeviceFiles, EditedFileIsStoredPackedWithSharedSlotsAndCopiedBack) {
    ProjectModel model;
    model.devices.push_back(device);
    model.items.push_back(ItemRecord{});
    CodeFileList list = OpenCodeFiles(Project(), device, 0, true, nullptr);
    std::string edited, stored, error;
    signals::SlotData slots;
    ASSERT_TRUE(OpenForEditing(Work(), "Sony.icp", &edited, &slots, &error)) << error;
    EXPECT_EQ(edited, "Sony.ixp");
    EXPECT_FALSE(platform::FileExists(Work() / "Sony.icp"));  // unpacked: moved
    slots.slots[0] = Block(2, 'a');                           // learned in its first slot only
    signals::SignalNameList names = signals::UnusedSignalNames();
    names[0] = "Power";
    ASSERT_TRUE(StoreEditedFile(Work(), edited, slots, names, &stored, &error)) << error;
    EXPECT_EQ(stored, "Sony.icp");
    EXPECT_FALSE(platform::FileExists(Work() / "Sony.ixp"));
    list.files[1] = stored;

    auto failures = StoreDevice(model, 0, 0, Project(), list);
    EXPECT_TRUE(failures.empty()) << failures.front();
    EXPECT_EQ(model.devices[0].signalFiles, list.files);
    EXPECT_EQ(model.items[0].startOption, 0);
    EXPECT_EQ(model.items[0].maxOption, 1);
    EXPECT_EQ(dir.Read("P/Devices/tv/devlist.txt"), "device=--01.icp\r\ndevice=Sony.icp\r\n");
    EXPECT_FALSE(platform::FileExists(Project() / "Devices/tv/old.icp"));
    EXPECT_FALSE(platform::FileExists(Project() / "Devices/tv/old.txt"));
    EXPECT_EQ(signals::ReadSignalNames(Project() / "Devices/tv/Sony.txt")[0], "Power");

    // The stored file is packed and unpacks to both slots on one block.
    std::string packed = dir.Read("P/Devices/tv/Sony.icp"), unpacked;
    EXPECT_EQ(std::uint8_t(packed[10]), signals::kPackedForm);
    ASSERT_TRUE(signals::UnpackIcp(packed, &unpacked, &error)) << error;
    signals::SlotData back;
    ASSERT_TRUE(signals::ReadSlotData(unpacked, &back, &error));
    EXPECT_EQ(back.slots[0], Block(2, 'a'));
    EXPECT_EQ(back.slots[1], Block(2, 'a'));
    EXPECT_EQ(back.fileHeader, signals::HeaderName("Sony"));

    // Editing the packed file unpacks it; the packed one stays until save.
    ASSERT_TRUE(OpenForEditing(Work(), "Sony.icp", &edited, &slots, &error)) << error;
    EXPECT_EQ(slots.slots[1], Block(2, 'a'));
    EXPECT_TRUE(platform::FileExists(Work() / "Sony.ixp"));
}

TEST_F(DeviceFiles, TheWorkFolderNameIsNoDeviceName) {
    EXPECT_TRUE(IsWorkFolderDevice("temp"));
    EXPECT_TRUE(IsWorkFolderDevice("TEMP"));
    EXPECT_FALSE(IsWorkFolderDevice("temp1"));
    ProjectModel model;
    model.devices.push_back(device);
    EXPECT_FALSE(HasWorkFolderDevice(model));
    model.devices.push_back(DeviceRecord{"Temp", 1, {}, {}, {}});
    EXPECT_TRUE(HasWorkFolderDevice(model));
}

}  // namespace
}  // namespace orbik::editor
