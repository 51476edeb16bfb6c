// The image of a whole build of the demo project, read back through its
// own pointers, and what a build that outgrows the device leaves on disk.

#include <gtest/gtest.h>

#include "compiler/BuildConfiguration.h"
#include "compiler/Image.h"
#include "compiler/ImageFiles.h"
#include "platform/Bytes.h"
#include "platform/FileSystem.h"
#include "support/TempDir.h"

namespace orbik::compiler {
namespace {

using platform::GetBigEndian;
using platform::XorChecksum;

class DemoImageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(platform::CopyDirectory(ORBIK_DEMO_DIR, dir.Path()));
        state = MakeBuildState("Demo", dir / "Project/Demo", dir.Path());
    }

    std::string Read(const char* name) const {
        std::string bytes;
        platform::ReadWholeFile(state.projectDir / name, &bytes, platform::kMaxTextFileSize);
        return bytes;
    }

    test::TempDir dir;
    BuildState state;
    StatusLines log;
};

TEST_F(DemoImageTest, FilesHoldTheImageAndDevicesAreWhereTheirPointersSay) {
    ASSERT_TRUE(BuildConfiguration(state, log)) << log.Status();
    const std::string& image = state.image;

    std::string cim = Read("Demo.CIM");
    EXPECT_EQ(cim.size() % 2, 0u);
    EXPECT_EQ(cim.substr(0, image.size()), image);
    EXPECT_EQ(XorChecksum(cim), 0);  // the last byte is the xor of all before it
    StatusLines quiet;
    EXPECT_EQ(Read("Demo.CIF"), FrameCim(cim, quiet));

    std::uint32_t previous = 0;
    for (int s = 0; s < 9; ++s) {
        std::uint32_t start = GetBigEndian(image, 3 * s, 3);
        EXPECT_GE(start, previous) << "section " << s;
        previous = start;
    }
    EXPECT_EQ(GetBigEndian(image, 3 * 4, 3), 2723u);

    std::size_t dda = GetBigEndian(image, 3 * 7, 3);
    bool sawAligned = false;
    for (std::size_t t = 0; t < state.deviceTypes.size(); ++t) {
        std::size_t table = GetBigEndian(image, dda + 3 * t, 3);
        const auto& devices = state.deviceTypes[t].devices;
        ASSERT_EQ(GetBigEndian(image, table, 2), devices.size());
        for (std::size_t d = 0; d < devices.size(); ++d) {
            std::size_t at = GetBigEndian(image, table + 2 + 3 * d, 3);
            std::string data;
            ASSERT_TRUE(platform::ReadWholeFile(devices[d].path, &data, kMaxImageSize));
            EXPECT_EQ(image.substr(at, data.size()), data) << devices[d].name;
            if (devices[d].name.rfind("--", 0) == 0) {
                EXPECT_EQ(at % 65536, 0u) << devices[d].name;
                sawAligned = true;
            }
        }
    }
    EXPECT_TRUE(sawAligned);
}

TEST_F(DemoImageTest, OversizedImageStopsTheBuildAndKeepsEarlierFiles) {
    ASSERT_TRUE(BuildConfiguration(state, log)) << log.Status();
    std::string cim = Read("Demo.CIM"), cif = Read("Demo.CIF"), listing = Read("PROTOCOL.TXT");

    dir.Write("Project/Demo/Devices/television/tv.icp", std::string(3 * 1024 * 1024, 'x'));
    StatusLines failed;
    EXPECT_FALSE(BuildConfiguration(state, failed));
    EXPECT_EQ(failed.Status(), "more than 3145727 bytes in configuration");
    EXPECT_EQ(failed.Finished().rfind("writing MDA ..............", 0), 0u) << failed.Finished();
    EXPECT_EQ(Read("Demo.CIM"), cim);
    EXPECT_EQ(Read("Demo.CIF"), cif);
    EXPECT_EQ(Read("PROTOCOL.TXT"), listing);
}

}  // namespace
}  // namespace orbik::compiler
