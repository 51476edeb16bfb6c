#pragma once
// The action lines the editor composes for procedures and direct keys, and
// the parsers that fill the Link BT and Find Name fields back from a line.
// Each composer returns exactly the text the device's build expects; input
// that a dialog refuses gives an error text instead of a line.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbik::editor {

// The times offered for pauses, repeats and sending a number (ms).
inline constexpr std::array<std::string_view, 5> kActionTimes = {"200", "500", "1000", "2000",
                                                                 "5000"};

inline constexpr std::string_view kClearTelephoneNumber = "ClearTelephoneNumber";
inline constexpr std::string_view kRemoveTelNumberDigit = "RemoveTelNumberDigit";
inline constexpr std::string_view kPopMenu = "PopMenu";
inline constexpr std::string_view kPushMenu = "PushMenu";
inline constexpr std::string_view kPushDevice = "PushDevice";
inline constexpr std::string_view kPopDevice = "PopDevice";
inline constexpr std::string_view kDisconnectBt = "DisconnectBt";
inline constexpr std::string_view kSendBtTelephoneNumber = "SendBtTelephoneNumber";
inline constexpr std::string_view kNothing = "Nothing";

// A composed line, or why the input is refused.
struct ComposedLine {
    std::string line;
    std::string error;  // empty when line is valid
    bool ok() const { return error.empty(); }
};

std::string SendButtonLine(std::string_view button);
std::string SendDigitLine(std::string_view button);  // buttons "0" to "9"
std::string SetDeviceLine(std::string_view device);
std::string SetMenuLine(std::string_view menu);
std::string StartScanLine(std::string_view button, std::string_view ms);
std::string WaitLine(std::string_view ms);
std::string SendTelephoneNumberLine(std::string_view ms);
std::string AddTelNumberDigitLine(int digit);  // 0 to 9, written twice

// "as digit" is offered only for the buttons "0" to "9".
bool IsDigitButton(std::string_view button);

// IR Signal on the Configure page: the send line, framed by two SetDevice
// lines when a device other than the entry's own is chosen.
std::vector<std::string> IrSignalLines(std::string_view button, bool asDigit,
                                       std::string_view chosenDevice, std::string_view entryDevice);
// IR Signal on a direct key: "PopDevice" restores the device, so only the
// switch to the chosen one is written (none when no device is chosen).
std::vector<std::string> DirectKeyIrSignalLines(std::string_view button,
                                                std::string_view chosenDevice);

// Menu: Sleep.
std::vector<std::string> SleepLines();

// The fixed Bluetooth commands. Digits are '0'..'9', '*', '#' and 'R'.
enum class BtCommand { Answer, HangUp, Redial, VoiceRecognition };
std::string SendBtLine(BtCommand command);
std::optional<std::string> SendBtDigitLine(char digit);

// Find Name: a name of at most 24 characters and a number of at most 20
// digits (blanks around it are dropped).
inline constexpr std::size_t kFindNameLength = 24;
inline constexpr std::size_t kFindNumberLength = 20;
ComposedLine FindBtTelephoneNumberLine(std::string_view name, std::string_view number);

struct FindNameFields {
    std::string name;
    std::string number;
    bool operator==(const FindNameFields&) const = default;
};
// The fields of a line that holds "FindBtTelephoneNumber"; nothing when the
// line has no argument list.
std::optional<FindNameFields> ParseFindBtTelephoneNumber(std::string_view line);

// Link BT. A name leaves one of the 30 slots for the contact source.
inline constexpr std::size_t kLinkNameLength = 29;
enum class ContactSource { PhoneMemory, SimCard };
struct LinkFields {
    bool byId = false;
    std::string nameOrId;                 // the name, or the address "XX:XX:XX:XX:XX:XX"
    std::optional<ContactSource> source;  // neither when the slot is unknown
    bool operator==(const LinkFields&) const = default;
};
ComposedLine ConnectBtByNameLine(std::string_view name, ContactSource source);
// Hex digits in either case; the line holds them in upper case.
ComposedLine ConnectBtByIdLine(std::string_view address, ContactSource source);
std::optional<LinkFields> ParseConnectBt(std::string_view line);

// Parallel Output: per output 1 to 8, unchanged, closed or opened.
enum class OutputChange { Unchanged, Close, Open };
using ParallelOutputs = std::array<OutputChange, 8>;
// Nothing when no output is changed (the dialog's OK is disabled then).
std::optional<std::string> WriteParallelIFLine(const ParallelOutputs& outputs);

// A line the build's procedure syntax refuses: the build's message and why,
// for a marker beside the line. RF name lines are not procedures and pass.
std::optional<std::string> ActionLineProblem(std::string_view line);

}  // namespace orbik::editor
