#include "IrSamples.h"

#include <cstdio>
#include <vector>

#include "platform/Bytes.h"
#include "platform/FileSystem.h"
#include "platform/Ini.h"
#include "signals/IrCodeFile.h"
#include "signals/SignalNames.h"

namespace orbik::demogen {

namespace fs = std::filesystem;
using namespace orbik::signals;

namespace {

constexpr const char* kSampleName = "TV_Demo";

// An item as four durations in microseconds: mark, space, mark, space.
std::string Item(unsigned a, unsigned b, unsigned c, unsigned d) {
    std::string item;
    for (unsigned v : {a, b, c, d})
        platform::AppendBigEndian(item, static_cast<std::uint16_t>(v), 2);
    return item;
}

// Pulse-distance code: a leader, two bits per item, a trailer.
std::vector<std::string> Code(unsigned address, unsigned command) {
    unsigned bits = address << 8 | command;
    auto space = [&](int bit) { return (bits >> bit & 1) ? 1690u : 560u; };
    std::vector<std::string> items = {Item(9000, 4500, 560, 560)};
    for (int bit = 15; bit > 0; bit -= 2)
        items.push_back(Item(560, space(bit), 560, space(bit - 1)));
    items.push_back(Item(560, 40000, 0, 0));
    return items;
}

std::string Block(const std::vector<std::string>& items) {
    std::string block;
    platform::AppendBigEndian(block, static_cast<std::uint16_t>(items.size()), 2);
    block += std::string("\x26\x00\x10\x00\x00", 5);  // from the learning device
    block += '\x01';                                  // sent once
    for (const auto& item : items) block += item;
    return block;
}

struct SampleSignal {
    int index;  // in the signal name list
    const char* name;
    unsigned command;
    bool repeatCode;  // the second slot holds the code sent while the key is held
};

const std::vector<SampleSignal>& SampleSignals() {
    static const std::vector<SampleSignal> signals = {
        {0, "Power on", 0x08, false}, {1, "Standby", 0x09, false},  {2, "0", 0x10, false},
        {3, "1", 0x11, false},        {4, "2", 0x12, false},        {5, "3", 0x13, false},
        {6, "4", 0x14, false},        {7, "5", 0x15, false},        {8, "6", 0x16, false},
        {9, "7", 0x17, false},        {10, "8", 0x18, false},       {11, "9", 0x19, false},
        {18, "Volume +", 0x02, true}, {19, "Volume -", 0x03, true}, {20, "Mute", 0x0D, false},
        {43, "Up", 0x40, false},      {44, "Down", 0x41, false},    {45, "Left", 0x42, false},
        {46, "Right", 0x43, false},   {47, "Menu", 0x44, false},    {48, "OK", 0x45, false},
    };
    return signals;
}

std::string Header(const std::string& name, const std::vector<std::uint16_t>& slots) {
    std::string out = name;
    out.resize(kFileNameSize, ' ');
    out += static_cast<char>(kUnpackedForm);
    for (std::uint16_t offset : slots) platform::AppendBigEndian(out, offset, 2);
    return out;
}

}  // namespace

std::string EmptyTemplate() {
    return Header("Empty", std::vector<std::uint16_t>(kSlotCount, kEmptySlot));
}

std::string SampleRemote() {
    std::vector<std::uint16_t> slots(kSlotCount, kEmptySlot);
    std::string blocks;
    auto add = [&](int slot, const std::string& block) {
        slots[slot] = static_cast<std::uint16_t>(kHeaderSize + blocks.size());
        blocks += block;
    };
    for (const auto& signal : SampleSignals()) {
        add(2 * signal.index, Block(Code(0x04, signal.command)));
        if (signal.repeatCode)
            add(2 * signal.index + 1, Block({Item(9000, 2250, 560, 0), Item(560, 40000, 0, 0)}));
        else
            slots[2 * signal.index + 1] = slots[2 * signal.index];
    }
    return Header(kSampleName, slots) + blocks;
}

bool WriteIrSamples(const fs::path& output, const WriteBytes& write) {
    platform::IniFile ini(output / "orbik.ini");
    fs::path irFolder = platform::JoinSetting(output, ini.Read("Paths", "Def_IR"));
    fs::path library = platform::JoinSetting(output, ini.Read("Paths", "IR_ICP"));

    std::string packed, error;
    if (!PackIcp(SampleRemote(), &packed, &error)) {
        std::fprintf(stderr, "orbik-demogen: cannot pack the sample remote: %s\n", error.c_str());
        return false;
    }
    SignalNameList names = UnusedSignalNames();
    for (const auto& signal : SampleSignals()) names[signal.index] = signal.name;
    fs::path sample = library / (std::string(kSampleName) + ".icp");
    if (!write(irFolder / "Empty.ixp", EmptyTemplate()) || !write(sample, packed)) return false;
    // The demo project's devices: each starts from the template as "--01.icp"
    // (as the editor creates a device), the television also has the sample.
    fs::path devices =
        platform::JoinSetting(output, ini.Read("Paths", "Project")) / "Demo" / "Devices";
    if (!write(devices / "television" / "--01.icp", EmptyTemplate()) ||
        !write(devices / "television" / "tv.icp", packed) ||
        !write(devices / "telephone" / "--01.icp", EmptyTemplate()))
        return false;
    // Code files keep their signal names beside them, in the library as in
    // a device folder.
    for (const fs::path& codeFile : {sample, devices / "television" / "tv.icp"}) {
        if (!WriteSignalNames(SignalNameFile(codeFile), names, &error)) {
            std::fprintf(stderr, "orbik-demogen: %s\n", error.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace orbik::demogen
