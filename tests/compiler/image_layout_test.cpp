// The sections of the configuration image as the writers lay them out from
// checked tables, and the header that points at them.

#include <gtest/gtest.h>

#include <vector>

#include "compiler/Image.h"
#include "compiler/ImageWriter.h"
#include "platform/Bytes.h"
#include "support/TempDir.h"

namespace orbik::compiler {
namespace {

using platform::GetBigEndian;

enum Section { CDA, DMA, DBA, DCA, KDA, IDA, MDA, DDA, ADA };

// Keeps every finished line, so the dots of each step can be checked.
class RecordingLog : public StatusLines {
  public:
    void FinishStep() override {
        StatusLines::FinishStep();
        finished.push_back(Finished());
    }
    std::vector<std::string> finished;
};

std::uint32_t Pointer(const std::string& image, std::size_t at) {
    return GetBigEndian(image, at, 3);
}
std::uint32_t SectionStart(const std::string& image, Section s) {
    return Pointer(image, 3 * s);
}
std::string Bytes(const std::string& image, std::size_t at, std::size_t n) {
    return image.substr(at, n);
}

class ImageLayoutTest : public ::testing::Test {
  protected:
    void SetUp() override {
        state = MakeBuildState("Demo", dir.Path(), dir.Path());
        Menu main;
        main.name = "Main";
        state.menus.push_back(main);
    }

    // A file of `size` bytes of `fill` in the temp dir.
    fs::path File(const std::string& name, std::size_t size, char fill = 'd') {
        return dir.Write(name, std::string(size, fill));
    }

    // Languages with their two announcements.
    void SetLanguages(const std::vector<std::string>& names) {
        for (std::size_t l = 0; l < names.size(); ++l) {
            state.languages.push_back({names[l], names[l]});
            for (int a = 0; a < 2; ++a)
                state.announcements[a].paths[l] = File(names[l] + std::to_string(a), 1, 'A');
        }
    }

    void AddKeyword(const std::string& name, std::uint8_t type) {
        t_kwrdinfo keyword;
        keyword.name = name;
        keyword.type = type;
        keyword.used = true;
        for (std::size_t l = 0; l < state.languages.size(); ++l) {
            keyword.names[l] = name + "_" + state.languages[l].name;
            if (!HasRecordings(type)) continue;
            keyword.playback[l] = File(name + std::to_string(l) + ".ply", 3, 'P');
            for (int p = 0; p < 4; ++p)
                keyword.patterns[l][p] = File(name + std::to_string(l) + std::to_string(p) + ".pat",
                                              2, static_cast<char>('1' + p));
        }
        state.keywords.push_back(keyword);
        for (Menu& menu : state.menus) menu.keywords.resize(state.keywords.size());
    }

    void AddDeviceType(const std::string& name,
                       const std::vector<std::pair<std::string, std::size_t>>& files) {
        DeviceType type;
        type.name = name;
        for (const auto& [file, size] : files)
            type.devices.push_back({file, File("Devices/" + name + "/" + file, size, 'D')});
        state.deviceTypes.push_back(type);
    }

    // Builds the sections; the image on success.
    std::string Build() {
        EXPECT_TRUE(WriteImageSections(state, log)) << log.Status();
        return state.image;
    }

    test::TempDir dir;
    BuildState state;
    RecordingLog log;
};

TEST_F(ImageLayoutTest, EmptyKeywordListGivesFixedOffsetsAndEmptyKda) {
    state.descriptor = "Living_room";
    t_iteminfo item;
    item.name = "Volume";
    state.items.push_back(item);
    std::string image = Build();

    std::vector<std::uint32_t> starts;
    for (int s = CDA; s <= ADA; ++s) starts.push_back(SectionStart(image, Section(s)));
    // One item of 133 bytes; Main with its doubledigits byte only.
    EXPECT_EQ(starts, (std::vector<std::uint32_t>{27, 96, 536, 995, 2723, 2723, 2859, 2863, 2863}));
    EXPECT_EQ(image.size(), 2863u);

    EXPECT_EQ(Bytes(image, 27, 12), "Living.room ");
    EXPECT_EQ(Bytes(image, 91, 5), std::string("\0\0\1\1\0", 5));  // L K I M D
    EXPECT_EQ(Bytes(image, 96, 440), std::string(440, ' '));
    EXPECT_EQ(Bytes(image, 536, 18), "on       off      ");
    EXPECT_EQ(Bytes(image, 536 + 50 * 9, 9), "speak    ");
    EXPECT_EQ(Bytes(image, 536 + 12 * 9, 9), "10.up    ");
    EXPECT_EQ(Bytes(image, 995, 1728), std::string(1728, '\xFF'));
    EXPECT_EQ(Pointer(image, 2723), 2726u);
    EXPECT_EQ(image[2862], '\xFF');  // doubledigits off

    std::vector<std::string> expected;
    for (const char* name : {"CDA", "DMA", "DBA", "DCA", "KDA", "IDA", "MDA", "DDA", "ADA"})
        expected.push_back(std::string("writing ") + name + " .............. ok");
    expected[MDA] = "writing MDA .............. .ok";  // a dot per menu
    expected.push_back("writing GH ............... ok");
    EXPECT_EQ(log.finished, expected);
}

TEST_F(ImageLayoutTest, KeywordsAndDisplaysPerLanguage) {
    SetLanguages({"English", "German"});
    state.displayTexts[1][4] = "Schlafen";
    AddKeyword("television", kControl);  // texts longer than 10 are cut
    AddKeyword("ok", kDirectKey);        // no recordings
    std::string image = Build();

    EXPECT_EQ(Bytes(image, 91, 2), std::string("\2\2", 2));
    EXPECT_EQ(Bytes(image, 96 + (5 + 4) * 22, 22), "Schlafen              ");
    std::size_t kda = SectionStart(image, KDA);
    EXPECT_EQ(kda, 2723u);
    EXPECT_EQ(Bytes(image, kda, 2), std::string("\7\6", 2));
    std::size_t table = kda + 2;
    std::size_t records = table + 4 * 3;
    // Language-major: television/English, ok/English, television/German, ok/German.
    std::uint32_t tvEn = Pointer(image, table), okEn = Pointer(image, table + 3);
    std::uint32_t tvDe = Pointer(image, table + 6), okDe = Pointer(image, table + 9);
    EXPECT_EQ(tvEn, records);
    EXPECT_EQ(Bytes(image, tvEn, 10), "television");
    EXPECT_EQ(Bytes(image, tvEn + 10, 11), "11223344PPP");  // .pat 1-4, then .ply
    EXPECT_EQ(okEn, tvEn + 21);
    EXPECT_EQ(Bytes(image, okEn, 10), "ok.English");
    EXPECT_EQ(tvDe, okEn + 10);
    EXPECT_EQ(Bytes(image, tvDe, 10), "television");
    EXPECT_EQ(okDe, tvDe + 21);
    EXPECT_EQ(Bytes(image, okDe, 10), "ok.German ");
    EXPECT_EQ(SectionStart(image, IDA), okDe + 10);
}

TEST_F(ImageLayoutTest, KdaTicksBeforeEveryTenthKeywordOfEachLanguage) {
    SetLanguages({"English", "German"});
    for (int k = 0; k < 21; ++k) AddKeyword("key" + std::to_string(k), kDirectKey);
    Build();
    EXPECT_EQ(log.finished[KDA], "writing KDA .............. ......ok");
}

TEST_F(ImageLayoutTest, ItemRecords) {
    SetLanguages({"English"});
    AddKeyword("radio", kControl);
    AddKeyword("sleep", kSleep);
    AddDeviceType("TV", {{"a.icp", 1}});
    AddDeviceType("Radio", {{"b.icp", 1}});

    t_iteminfo symbols;
    symbols.name = "Mode";
    symbols.names[0] = "Mode";
    symbols.keyword = 2;
    symbols.optionKind = OptionKind::Symbols;
    symbols.maxOption = 1;
    symbols.offOption = 0;
    symbols.startOption = 1;
    symbols.optionTexts = {"-", "Stereo", "Mono"};
    symbols.activeKeywords = {0, 1};
    t_iteminfo devices;
    devices.name = "Radio";
    devices.optionKind = OptionKind::Devices;
    devices.deviceType = 2;
    devices.minOption = 0;
    devices.maxOption = 0;
    devices.type = 0;
    devices.activeKeywords = {1, 1};
    t_iteminfo languages;
    languages.optionKind = OptionKind::Languages;
    languages.optionTexts = {"-", "English"};
    languages.maxOption = 0;
    state.items = {symbols, devices, languages};
    std::string image = Build();

    std::size_t ida = SectionStart(image, IDA);
    std::size_t record = Pointer(image, ida);
    EXPECT_EQ(record, ida + 9);
    EXPECT_EQ(Pointer(image, ida + 3), record + 135);
    EXPECT_EQ(Pointer(image, ida + 6), record + 270);

    EXPECT_EQ(image[record], 13);
    EXPECT_EQ(Bytes(image, record + 1, 40), "Mode" + std::string(36, ' '));
    EXPECT_EQ(Bytes(image, record + 41, 3), std::string("\1\4\0", 3));  // keyword 2, symbols
    EXPECT_EQ(Bytes(image, record + 44, 8), std::string("\xFF\xFF\0\1\0\0\0\1", 8));
    EXPECT_EQ(Bytes(image, record + 52, 31), "\3-         Stereo    Mono      ");
    EXPECT_EQ(Bytes(image, record + 83, 50), std::string(50, '\0'));
    EXPECT_EQ(Bytes(image, record + 133, 2), std::string("\xFF\0", 2));

    std::size_t radio = record + 135;
    EXPECT_EQ(image[radio], 1);
    EXPECT_EQ(Bytes(image, radio + 41, 3), std::string("\xFF\2\1", 3));  // no keyword, type 2
    EXPECT_EQ(Bytes(image, radio + 52, 81), std::string(81, '\0'));  // numbers/devices: no texts
    EXPECT_EQ(Bytes(image, radio + 133, 2), std::string(2, '\0'));

    std::size_t lang = record + 270;
    EXPECT_EQ(Bytes(image, lang + 42, 2), std::string("\1\0", 2));
    EXPECT_EQ(Bytes(image, lang + 52, 21), "\2-         English   ");
}

TEST_F(ImageLayoutTest, ItemTextsNeverSpillPastTheirField) {
    t_iteminfo item;
    item.optionKind = OptionKind::Languages;
    item.minOption = -1;
    item.maxOption = 40;  // the checks reject this; the writer must stay in bounds anyway
    item.optionTexts = {"-", "a", "b", "c", "d", "e", "f", "g", "h", "i"};
    state.items = {item, item};
    std::string image = Build();
    std::size_t ida = SectionStart(image, IDA);
    EXPECT_EQ(Pointer(image, ida + 3) - Pointer(image, ida), 133u);
    std::size_t field = Pointer(image, ida) + 52;
    EXPECT_EQ(image[field], 42);
    EXPECT_EQ(Bytes(image, field + 71, 10), "g         ");
}

TEST_F(ImageLayoutTest, MenusWithProcedureLists) {
    AddKeyword("sleep", kSleep);
    AddKeyword("tv", kControl);
    AddKeyword("radio", kControl);
    Menu sleep;
    sleep.name = "Sleep";
    sleep.doubleDigits = true;
    sleep.keywords.resize(3);
    state.menus.push_back(sleep);

    t_procinfo setMenu{"SetMenu", 3, {ArgType::Menu, ArgType::Flag}, {"Sleep", ""}, {1, 0}};
    t_procinfo wait{"Wait", 20, {ArgType::Word, ArgType::Flag}, {"0x0100", ""}, {0x100, 0}};
    state.menus[0].keywords[0].procedures = {setMenu, wait};
    state.menus[1].keywords[1].procedures = {wait};
    std::string image = Build();
    EXPECT_EQ(log.finished[6], "writing MDA .............. ..ok");

    std::size_t mda = SectionStart(image, MDA);
    std::size_t main = Pointer(image, mda);
    EXPECT_EQ(main, mda + 6);
    EXPECT_EQ(Bytes(image, main, 4), std::string("\xFF\0\xFF\xFF", 4));
    std::size_t lists = main + 4;
    std::size_t list = Pointer(image, lists);
    EXPECT_EQ(list, lists + 9);
    EXPECT_EQ(image[list], 2);
    EXPECT_EQ(Pointer(image, list + 1), list + 7);
    EXPECT_EQ(Pointer(image, list + 4), list + 10);
    EXPECT_EQ(Bytes(image, list + 7, 7), std::string("\3\1\0\x14\1\0\0", 7));
    // Keywords without procedures still get a list with count 0.
    EXPECT_EQ(Pointer(image, lists + 3), list + 14);
    EXPECT_EQ(image[list + 14], 0);
    EXPECT_EQ(Pointer(image, lists + 6), list + 15);
    EXPECT_EQ(image[list + 15], 0);

    std::size_t sub = Pointer(image, mda + 3);
    EXPECT_EQ(sub, list + 16);
    EXPECT_EQ(Bytes(image, sub, 4), std::string("\0\xFF\0\xFF", 4));
    std::size_t subList = Pointer(image, sub + 4 + 3);
    EXPECT_EQ(image[subList], 1);
    EXPECT_EQ(Pointer(image, subList + 1), subList + 4);
    EXPECT_EQ(Bytes(image, subList + 4, 4), std::string("\x14\1\0\0", 4));
}

TEST_F(ImageLayoutTest, DevicesPackedThenAlignedOn64KiB) {
    AddDeviceType("TV", {{"tv1.icp", 5}, {"--01.icp", 4}, {"tv2.icp", 6}});
    AddDeviceType("Radio", {{"--02.icp", 2}, {"r.icp", 3}});
    std::string image = Build();
    EXPECT_EQ(log.finished[7], "writing DDA .............. ....ok");

    std::size_t dda = SectionStart(image, DDA);
    std::size_t tv = Pointer(image, dda), radio = Pointer(image, dda + 3);
    EXPECT_EQ(tv, dda + 6);
    EXPECT_EQ(GetBigEndian(image, tv, 2), 3u);
    EXPECT_EQ(radio, tv + 2 + 9);
    EXPECT_EQ(GetBigEndian(image, radio, 2), 2u);
    std::size_t data = radio + 2 + 6;
    EXPECT_EQ(Pointer(image, tv + 2), data);          // tv1
    EXPECT_EQ(Pointer(image, tv + 8), data + 5);      // tv2
    EXPECT_EQ(Pointer(image, radio + 5), data + 11);  // r
    EXPECT_EQ(Pointer(image, tv + 5), 65536u);        // --01
    EXPECT_EQ(Pointer(image, radio + 2), 131072u);    // --02
    EXPECT_EQ(Bytes(image, 65536, 4), "DDDD");
    EXPECT_EQ(image[65535], '\0');
    EXPECT_EQ(SectionStart(image, ADA), 131074u);
    EXPECT_EQ(image.size(), 131074u);
}

TEST_F(ImageLayoutTest, AlignedDeviceStaysOnBoundaryAndMovesPastIt) {
    AddDeviceType("TV", {{"filler.icp", 0}, {"--01.icp", 1}});
    Build();
    std::size_t data = Pointer(state.image, SectionStart(state.image, DDA) + 5);

    for (auto [filler, expected] :
         {std::pair<std::size_t, std::uint32_t>{131072 - data, 131072}, {131073 - data, 196608}}) {
        File("Devices/TV/filler.icp", filler);
        std::string image = Build();
        EXPECT_EQ(Pointer(image, SectionStart(image, DDA) + 8), expected) << filler;
    }
}

TEST_F(ImageLayoutTest, AnnouncementsPerLanguage) {
    state.languages = {{"English", ""}, {"German", ""}};
    state.announcements[0].paths = {File("e1", 1, 'a'), File("g1", 2, 'b')};
    state.announcements[1].paths = {File("e3", 3, 'c'), File("g3", 4, 'e')};
    std::string image = Build();
    std::size_t ada = SectionStart(image, ADA);
    // English 1, English 3, German 1, German 3.
    EXPECT_EQ(image.substr(ada + 12), "acccbbeeee");
    std::vector<std::size_t> pointers;
    for (int i = 0; i < 4; ++i) pointers.push_back(Pointer(image, ada + 3 * i));
    EXPECT_EQ(pointers, (std::vector<std::size_t>{ada + 12, ada + 13, ada + 16, ada + 18}));
}

TEST_F(ImageLayoutTest, ImageMayFillConfigurationMemoryButNoMore) {
    AddDeviceType("TV", {{"big.icp", 0}});
    Build();
    std::size_t data = Pointer(state.image, SectionStart(state.image, DDA) + 5);

    File("Devices/TV/big.icp", kMaxImageSize - data);
    EXPECT_EQ(Build().size(), 3145727u);

    File("Devices/TV/big.icp", kMaxImageSize - data + 1);
    state.image = "previous";
    EXPECT_FALSE(WriteImageSections(state, log));
    EXPECT_EQ(log.Status(), "more than 3145727 bytes in configuration");
    EXPECT_EQ(log.Finished(), "writing MDA .............. .ok");
    EXPECT_EQ(state.image, "previous");
}

TEST_F(ImageLayoutTest, AlignmentPastTheLimitStopsToo) {
    AddDeviceType("TV", {{"big.icp", 3100000}, {"--01.icp", 1}});
    EXPECT_FALSE(WriteImageSections(state, log));
    EXPECT_EQ(log.Status(), "more than 3145727 bytes in configuration");
}

TEST_F(ImageLayoutTest, DeviceFileGoneSinceTheChecksStops) {
    AddDeviceType("TV", {{"tv.icp", 1}});
    fs::remove(state.deviceTypes[0].devices[0].path);
    EXPECT_FALSE(WriteImageSections(state, log));
    EXPECT_EQ(log.Status(), "file " + state.deviceTypes[0].devices[0].path.string() + " not found");
}

}  // namespace
}  // namespace orbik::compiler
