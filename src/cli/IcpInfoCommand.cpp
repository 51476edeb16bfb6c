// orbik-cli icp-info: what an IR code file holds, slot by slot.

#include <cstdio>
#include <optional>

#include "cli/Commands.h"
#include "platform/FileSystem.h"
#include "signals/IrCodeFile.h"
#include "signals/SignalNames.h"

namespace orbik::cli {

namespace {

using namespace orbik::signals;

// Names come from the file: control bytes would reach the terminal as
// escape sequences.
std::string Printable(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return text;
}

std::string FormText(std::uint8_t form) {
    if (form == kPackedForm) return "packed (0)";
    if (form == kUnpackedForm) return "unpacked (255)";
    return "unknown (" + std::to_string(form) + "), read as packed";
}

void PrintSlot(int s, const IcpSlotInfo& slot, const SignalNameList* names) {
    int signal = s / 2;
    std::printf("%4d  %6d  %-13s ", s + 1, signal, std::string(SignalKey(signal)).c_str());
    if (slot.offset == kEmptySlot) {
        std::printf("%6s\n", "empty");
        return;
    }
    std::printf("%6u  ", slot.offset);
    if (slot.sharesPrevious)
        std::printf("%5s  %6s  %5s  (shares slot %d)", "-", "-", "-", s);
    else if (!slot.problem.empty())
        std::printf("%5s  %6s  %5s  error: %s", "-", "-", "-", slot.problem.c_str());
    else
        std::printf("%5u  %6zu  %5zu", slot.count, kItemSize * (slot.count + 1u), slot.items);
    if (names && s % 2 == 0) std::printf("  %s", Printable((*names)[signal]).c_str());
    std::printf("\n");
}

}  // namespace

int RunIcpInfo(const Args& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: orbik-cli icp-info FILE\n");
        return 2;
    }
    std::string bytes, error;
    IcpSummary summary;
    if (!platform::ReadWholeFile(args[0], &bytes, kMaxFileSize, &error)) {
        std::fprintf(stderr, "orbik-cli icp-info: %s\n", error.c_str());
        return 1;
    }
    if (!DescribeIcp(bytes, &summary, &error)) {
        std::fprintf(stderr, "orbik-cli icp-info: %s: %s\n", args[0].c_str(), error.c_str());
        return 1;
    }
    std::optional<SignalNameList> names;
    std::filesystem::path nameFile = SignalNameFile(args[0]);
    if (platform::FileExists(nameFile)) names = ReadSignalNames(nameFile);

    const IcpHeader& header = summary.header;
    int learned = 0, problems = 0;
    for (int s = 0; s < kSlotCount; ++s) {
        if (s % 2 == 0 && summary.slots[s].offset != kEmptySlot) ++learned;
        if (!summary.slots[s].problem.empty()) ++problems;
    }
    std::printf("File:        %s\n", args[0].c_str());
    std::printf("Name:        \"%s\"\n",
                Printable(std::string(header.name.data(), header.name.size())).c_str());
    std::printf("Form:        %s\n", FormText(header.form).c_str());
    if (IsPackedForm(header.form)) std::printf("Dictionary:  %zu items\n", summary.dictionarySize);
    std::printf("Size:        %zu bytes\n", bytes.size());
    std::printf("Learned:     %d of %d signals\n", learned, kSignalCount);
    if (names) std::printf("Names:       %s\n", nameFile.string().c_str());
    std::printf("\nslot  signal  key            offset  count  length  items%s\n",
                names ? "  name" : "");
    for (int s = 0; s < kSlotCount; ++s) PrintSlot(s, summary.slots[s], names ? &*names : nullptr);
    if (problems > 0) {
        std::fprintf(stderr, "orbik-cli icp-info: %s: %d damaged block%s\n", args[0].c_str(),
                     problems, problems == 1 ? "" : "s");
        return 1;
    }
    return 0;
}

}  // namespace orbik::cli
