// A signal learned through orbiksim into a button of a device's code file
// reaches the built image: the code file stored there unpacks to a file
// whose two slots for that button hold the learned block.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "backup/Backup.h"
#include "platform/FileSystem.h"
#include "signals/IrCodeFile.h"
#include "signals/SignalNames.h"
#include "signals/SlotData.h"
#include "support/Process.h"
#include "support/SimulatedDevice.h"
#include "support/TempDir.h"
#include "support/TestProject.h"

namespace orbik {
namespace {

namespace fs = std::filesystem;

std::string Block(size_t count) {
    std::string block(count * 8 + 8, '\0');
    block[0] = char(count >> 8);
    block[1] = char(count);
    for (size_t i = 2; i < block.size(); ++i) block[i] = char(i * 31 % 241);
    return block;
}

TEST(DeviceLearning, ALearnedButtonReachesTheBuiltImageInBothSlots) {
    test::SimulatedDeviceOptions options;
    options.learnedSignal = Block(40);
    test::SimulatedDevice device(options);
    test::TestProject project;
    project.File("Items&Menus/A/ITEM.TXT", {"English=A", "keyword=tv", "option=devices=TV"});
    project.File("Devices/TV/DEVVOCAB.TXT", {});
    project.File("Devices/TV/DEVLIST.TXT", {"device=tv.icp"});
    fs::path codeFile = project.ProjectDir() / "Devices/TV/tv.icp";
    fs::copy_file(fs::path(ORBIK_DEMO_DIR) / "IR/Empty.ixp", codeFile);

    auto run = test::RunProcess(
        {ORBIK_CLI_PATH, "learn", codeFile.string(), "vol_minus", "--port", device.PortName()});
    ASSERT_EQ(run.status, 0) << run.output;
    ASSERT_FALSE(project.Build().Failed()) << project.Build().Status();

    std::string image, error;
    backup::BackupContents contents;
    ASSERT_TRUE(backup::ReadBackupFile(project.ProjectDir() / "P.CIM", &image, &contents, &error))
        << error;
    ASSERT_EQ(contents.deviceTypes.size(), 1u);
    ASSERT_EQ(contents.deviceTypes[0].irFiles.size(), 1u);
    test::TempDir library;
    bool packed = false;  // already packed: stored as it is
    ASSERT_TRUE(
        backup::CopyIrFile(image, contents.deviceTypes[0], library.Path(), "out", &packed, &error))
        << error;
    std::string stored = library.Read("out.icp"), unpacked = stored;
    // The image holds the file as the device folder did: packed.
    ASSERT_TRUE(signals::IsPackedForm(std::uint8_t(stored.at(signals::kFileNameSize))));
    ASSERT_TRUE(signals::UnpackIcp(stored, &unpacked, &error)) << error;
    signals::SlotData slots;
    ASSERT_TRUE(signals::ReadSlotData(unpacked, &slots, &error)) << error;
    const size_t k = size_t(signals::SignalIndex("vol_minus"));
    EXPECT_EQ(slots.slots[2 * k], Block(40));
    EXPECT_EQ(slots.slots[2 * k + 1], Block(40));
    EXPECT_EQ(signals::BytesUsed(slots), 215u + Block(40).size());
}

}  // namespace
}  // namespace orbik
