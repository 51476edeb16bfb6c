#include "compiler/ImageWriter.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "compiler/Image.h"
#include "compiler/ImageFiles.h"
#include "compiler/ImageRecords.h"
#include "compiler/Steps.h"
#include "platform/FileSystem.h"
#include "project/BuiltinTables.h"

namespace orbik::compiler {

namespace {

constexpr std::size_t kButtonWidth = 9;
constexpr std::size_t kDcaRecords = 64;
constexpr std::size_t kDcaRecordSize = 27;
constexpr std::size_t kKeywordsPerTick = 10;
constexpr std::size_t kAlignedDeviceBoundary = 65536;

// What the section writers share while one image is laid out.
struct Layout {
    const BuildState& state;
    BuildLog& log;
    Image image;
    bool failed = false;  // a message is shown already

    std::size_t K() const { return state.keywords.size(); }
    // The checks allow no more; the per-language tables hold no more.
    std::size_t L() const { return std::min<std::size_t>(state.languages.size(), kMaxLanguages); }

    // No more dots once the status line shows why the build stopped.
    void Tick() {
        if (!failed) log.Tick();
    }

    // Copies a recording or a device file into the image.
    void AppendFile(const fs::path& path) {
        if (failed || image.Overflowed()) return;
        std::size_t room = kMaxImageSize - image.Position();
        std::string data, error;
        if (!platform::ReadWholeFile(path, &data, room, &error)) {
            // A file beyond the room left overflows the image, unread.
            auto size = platform::RegularFileSize(path);
            if (size && *size > room) {
                image.Fits(static_cast<std::size_t>(*size));  // counts as overflowed
                return;
            }
            FailNotFound(path, log, platform::ErrorReason(error));
            failed = true;
            return;
        }
        image.AppendBytes(data);
    }
};

std::uint8_t Low(std::int64_t value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

void WriteCda(Layout& out) {
    const BuildState& s = out.state;
    out.image.AppendText(s.descriptor, kDescriptorWidth);
    for (std::size_t count :
         {out.L(), s.keywords.size(), s.items.size(), s.menus.size(), s.deviceTypes.size()})
        out.image.AppendByte(Low(static_cast<std::int64_t>(count)));
}

void WriteDma(Layout& out) {
    for (std::size_t l = 0; l < kMaxLanguages; ++l)
        for (const std::string& text : out.state.displayTexts[l])
            out.image.AppendText(l < out.L() ? text : std::string(), kDisplayWidth);
}

void WriteDba(Layout& out) {
    for (std::string_view name : project::kButtonNames) out.image.AppendText(name, kButtonWidth);
}

void WriteDca(Layout& out) {
    out.image.AppendBytes(std::string(kDcaRecords * kDcaRecordSize, '\xFF'));
}

void WriteKda(Layout& out) {
    const auto& keywords = out.state.keywords;
    for (const t_kwrdinfo& keyword : keywords) out.image.AppendByte(keyword.type);
    std::size_t table = out.image.ReservePointers(out.L() * out.K());
    for (std::size_t l = 0; l < out.L(); ++l) {
        for (std::size_t k = 0; k < out.K(); ++k) {
            if (k % kKeywordsPerTick == 0) out.Tick();
            const t_kwrdinfo& keyword = keywords[k];
            out.image.SetPointer(table, l * out.K() + k, out.image.Position());
            out.image.AppendText(keyword.names[l], kNameWidth);
            if (!HasRecordings(keyword.type)) continue;
            for (const fs::path& pattern : keyword.patterns[l]) out.AppendFile(pattern);
            out.AppendFile(keyword.playback[l]);
        }
    }
}

// Field of 1 + 8 x 10 bytes: how many texts, then the texts of options
// minoption..maxoption.
void WriteOptionTexts(Layout& out, const t_iteminfo& item) {
    std::size_t start = out.image.Position();
    if (item.optionKind == OptionKind::Languages || item.optionKind == OptionKind::Symbols) {
        int count = item.maxOption - item.minOption + 1;
        out.image.AppendByte(Low(count));
        // The checks keep the range to what the field holds; never spill past it.
        for (int option = item.minOption;
             option <= item.maxOption &&
             out.image.Position() + kNameWidth <= start + kOptionTextField;
             ++option) {
            out.image.AppendText(OptionText(item, option), kNameWidth);
        }
    }
    out.image.AppendZeros(start + kOptionTextField - out.image.Position());
}

void WriteIda(Layout& out) {
    const auto& items = out.state.items;
    std::size_t table = out.image.ReservePointers(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        const t_iteminfo& item = items[i];
        out.image.SetPointer(table, i, out.image.Position());
        out.image.AppendByte(StoredItemType(item.type));
        for (std::size_t l = 0; l < kMaxLanguages; ++l)
            out.image.AppendText(item.names[l], kNameWidth);
        out.image.AppendByte(item.keyword == 0 ? 0xFF : Low(item.keyword - 1));
        out.image.AppendByte(StoredOptionKind(item.optionKind));
        bool devices = item.optionKind == OptionKind::Devices;
        out.image.AppendByte(devices ? Low(item.deviceType - 1) : 0);
        for (std::int16_t value :
             {item.minOption, item.maxOption, item.offOption, item.startOption})
            out.image.AppendWord(static_cast<std::uint16_t>(value));
        WriteOptionTexts(out, item);
        for (std::size_t k = 0; k < out.K(); ++k) {
            bool active = k < item.activeKeywords.size() && item.activeKeywords[k] != 0;
            out.image.AppendByte(active ? 0x00 : 0xFF);
        }
    }
}

const std::vector<t_procinfo>& ProceduresOf(const Menu& menu, std::size_t k) {
    static const std::vector<t_procinfo> kNone;
    return k < menu.keywords.size() ? menu.keywords[k].procedures : kNone;
}

void WriteMenu(Layout& out, const Menu& menu) {
    out.image.AppendByte(menu.doubleDigits ? 0x00 : 0xFF);
    for (std::size_t k = 0; k < out.K(); ++k)
        out.image.AppendByte(ProceduresOf(menu, k).empty() ? 0xFF : 0x00);
    std::size_t lists = out.image.ReservePointers(out.K());
    for (std::size_t k = 0; k < out.K(); ++k) {
        const auto& procedures = ProceduresOf(menu, k);
        out.image.SetPointer(lists, k, out.image.Position());
        out.image.AppendByte(Low(static_cast<std::int64_t>(procedures.size())));
        std::size_t table = out.image.ReservePointers(procedures.size());
        for (std::size_t p = 0; p < procedures.size(); ++p) {
            out.image.SetPointer(table, p, out.image.Position());
            out.image.AppendBytes(EncodeProcedure(procedures[p]));
        }
    }
}

void WriteMda(Layout& out) {
    const auto& menus = out.state.menus;
    std::size_t table = out.image.ReservePointers(menus.size());
    for (std::size_t m = 0; m < menus.size(); ++m) {
        out.Tick();
        out.image.SetPointer(table, m, out.image.Position());
        WriteMenu(out, menus[m]);
    }
}

bool IsAligned(const DeviceFile& device) {
    return device.name.rfind("--", 0) == 0;
}

void WriteDda(Layout& out) {
    const auto& types = out.state.deviceTypes;
    std::size_t typeTable = out.image.ReservePointers(types.size());
    std::vector<std::size_t> deviceTables;
    for (std::size_t t = 0; t < types.size(); ++t) {
        out.image.SetPointer(typeTable, t, out.image.Position());
        out.image.AppendWord(static_cast<std::uint16_t>(types[t].devices.size()));
        deviceTables.push_back(out.image.ReservePointers(types[t].devices.size()));
    }
    // Unaligned devices first, packed; then each aligned one on its boundary.
    for (bool aligned : {false, true}) {
        for (std::size_t t = 0; t < types.size(); ++t) {
            out.Tick();
            const auto& devices = types[t].devices;
            for (std::size_t d = 0; d < devices.size(); ++d) {
                if (IsAligned(devices[d]) != aligned) continue;
                if (aligned) out.image.AlignTo(kAlignedDeviceBoundary);
                out.image.SetPointer(deviceTables[t], d, out.image.Position());
                out.AppendFile(devices[d].path);
            }
        }
    }
}

void WriteAda(Layout& out) {
    const auto& announcements = out.state.announcements;
    std::size_t table = out.image.ReservePointers(2 * out.L());
    for (std::size_t l = 0; l < out.L(); ++l) {
        for (std::size_t a = 0; a < announcements.size(); ++a) {
            out.image.SetPointer(table, l * 2 + a, out.image.Position());
            out.AppendFile(announcements[a].paths[l]);
        }
    }
}

struct Section {
    const char* label;
    void (*write)(Layout&);
};

constexpr Section kSections[] = {
    {"writing CDA .............. ", WriteCda}, {"writing DMA .............. ", WriteDma},
    {"writing DBA .............. ", WriteDba}, {"writing DCA .............. ", WriteDca},
    {"writing KDA .............. ", WriteKda}, {"writing IDA .............. ", WriteIda},
    {"writing MDA .............. ", WriteMda}, {"writing DDA .............. ", WriteDda},
    {"writing ADA .............. ", WriteAda},
};

}  // namespace

bool WriteImageSections(BuildState& state, BuildLog& log) {
    Layout out{state, log, Image{}};
    out.image.Clear();
    // The header is written last, over the room kept for it here.
    out.image.AppendZeros(kHeaderSize);
    std::size_t starts[std::size(kSections)];

    for (std::size_t i = 0; i < std::size(kSections); ++i) {
        log.BeginStep(kSections[i].label);
        starts[i] = out.image.Position();
        kSections[i].write(out);
        if (out.failed) return false;
        if (out.image.Overflowed()) {
            log.Fail("more than " + std::to_string(kMaxImageSize) + " bytes in configuration");
            return false;
        }
        log.FinishStep();
    }

    log.BeginStep("writing GH ............... ");
    for (std::size_t i = 0; i < std::size(kSections); ++i) out.image.SetPointer(0, i, starts[i]);
    log.FinishStep();
    state.image = out.image.TakeBytes();
    return true;
}

bool WriteImageFiles(BuildState& state, platform::FileReplacement& outputs, BuildLog& log) {
    return WriteCimAndCif(state.image, state.projectDir, state.projectName, outputs, log);
}

}  // namespace orbik::compiler
