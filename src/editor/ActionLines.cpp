#include "editor/ActionLines.h"

#include <cctype>

#include "compiler/Procedure.h"

namespace orbik::editor {

namespace {

std::string Call(std::string_view name, std::string_view args) {
    std::string line(name);
    line += '(';
    line += args;
    line += ')';
    return line;
}

// Character slots: one per character, ";" as "\s" (the build cuts a line
// at ";"), blanks filling the slots not in use.
std::string Slots(const std::vector<std::string>& used, std::size_t width) {
    std::string out;
    for (const auto& slot : used) out += "," + slot;
    for (std::size_t i = used.size(); i < width; ++i) out += ", ";
    return out;
}

std::vector<std::string> CharacterSlots(std::string_view text) {
    std::vector<std::string> slots;
    for (char c : text) slots.push_back(c == ';' ? std::string("\\s") : std::string(1, c));
    return slots;
}

// A "," would shift every later argument; control characters would break
// the line in the file.
std::string SlotTextError(std::string_view text, std::string_view field) {
    for (unsigned char c : text) {
        if (c == ',') return std::string(field) + " must not contain \",\"";
        if (c < 0x20 || c == 0x7F)
            return std::string(field) + " must not contain control characters";
    }
    return {};
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// The arguments of "Name(a,b,...)", split at ","; nothing without a list.
std::optional<std::vector<std::string>> Arguments(std::string_view line) {
    const auto open = line.find('(');
    if (open == std::string_view::npos || line.size() < open + 2 || line.back() != ')')
        return std::nullopt;
    std::string_view rest = line.substr(open + 1, line.size() - open - 2);
    std::vector<std::string> args;
    for (;;) {
        const auto comma = rest.find(',');
        args.emplace_back(rest.substr(0, comma));
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    return args;
}

// A count argument within 0..limit; anything else reads as 0.
std::size_t Count(const std::string& text, std::size_t limit) {
    if (text.empty() || text.size() > 3) return 0;
    std::size_t n = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
        n = n * 10 + static_cast<std::size_t>(c - '0');
    }
    return n > limit ? limit : n;
}

// The slots' characters back: "\s" is ";", a slot stands for its first character.
std::string SlotText(const std::vector<std::string>& args, std::size_t from, std::size_t count) {
    std::string text;
    for (std::size_t i = from; i < from + count && i < args.size(); ++i) {
        if (args[i] == "\\s")
            text += ';';
        else if (!args[i].empty())
            text += args[i].front();
    }
    return text;
}

std::string SourceSlot(ContactSource source) {
    return source == ContactSource::SimCard ? "1" : "0";
}

// The ConnectBt line for the characters of a name or an address.
std::string ConnectBtLine(const std::vector<std::string>& characters, ContactSource source) {
    auto slots = characters;
    slots.push_back(SourceSlot(source));
    const std::size_t count = slots.size();
    return Call("ConnectBt", std::to_string(count) + Slots(slots, 30));
}

}  // namespace

std::string SendButtonLine(std::string_view button) {
    return Call("SendButton", button);
}
std::string SendDigitLine(std::string_view button) {
    return Call("SendDigit", button);
}
std::string SetDeviceLine(std::string_view device) {
    return Call("SetDevice", device);
}
std::string SetMenuLine(std::string_view menu) {
    return Call("SetMenu", menu);
}
std::string WaitLine(std::string_view ms) {
    return Call("Wait", ms);
}

std::string StartScanLine(std::string_view button, std::string_view ms) {
    return Call("StartScan", std::string(button) + "," + std::string(ms));
}

std::string SendTelephoneNumberLine(std::string_view ms) {
    return Call("SendTelephoneNumber", ms);
}

std::string AddTelNumberDigitLine(int digit) {
    const std::string d = std::to_string(digit);
    return Call("AddTelNumberDigit", d + "," + d);
}

bool IsDigitButton(std::string_view button) {
    return button.size() == 1 && button[0] >= '0' && button[0] <= '9';
}

std::vector<std::string> IrSignalLines(std::string_view button, bool asDigit,
                                       std::string_view chosenDevice,
                                       std::string_view entryDevice) {
    std::string send =
        asDigit && IsDigitButton(button) ? SendDigitLine(button) : SendButtonLine(button);
    if (entryDevice.empty() || chosenDevice.empty() || chosenDevice == entryDevice) return {send};
    return {SetDeviceLine(chosenDevice), send, SetDeviceLine(entryDevice)};
}

std::vector<std::string> DirectKeyIrSignalLines(std::string_view button,
                                                std::string_view chosenDevice) {
    if (chosenDevice.empty()) return {SendButtonLine(button)};
    return {SetDeviceLine(chosenDevice), SendButtonLine(button)};
}

std::vector<std::string> SleepLines() {
    return {"DisplayLightOff", "PushMenu", "SetMenu(Sleep)"};
}

std::string SendBtLine(BtCommand command) {
    switch (command) {
        case BtCommand::Answer:
            return "SendBt(6,A,T,A,\\r,\\n,1, , , , , , , , , , , , , , , , , , , , , , , , )";
        case BtCommand::HangUp:
            return "SendBt(10,A,T,+,C,H,U,P,\\r,\\n,2, , , , , , , , , , , , , , , , , , , , )";
        case BtCommand::Redial:
            return "SendBt(10,A,T,+,B,L,D,N,\\r,\\n,1, , , , , , , , , , , , , , , , , , , , )";
        case BtCommand::VoiceRecognition:
            return "SendBt(12,A,T,+,B,V,R,A,=,1,\\r,\\n,1, , , , , , , , , , , , , , , , , , )";
    }
    return {};
}

std::optional<std::string> SendBtDigitLine(char digit) {
    const bool known =
        (digit >= '0' && digit <= '9') || digit == '*' || digit == '#' || digit == 'R';
    if (!known) return std::nullopt;
    return "SendBt(10,A,T,+,V,T,S,=," + std::string(1, digit) +
           ",\\r,\\n, , , , , , , , , , , , , , , , , , , , )";
}

ComposedLine FindBtTelephoneNumberLine(std::string_view name, std::string_view number) {
    number = Trimmed(number);
    if (name.size() > kFindNameLength)
        return {{}, "Tel Name takes at most " + std::to_string(kFindNameLength) + " characters"};
    if (auto error = SlotTextError(name, "Tel Name"); !error.empty()) return {{}, error};
    if (number.size() > kFindNumberLength)
        return {{}, "Tel Number takes at most " + std::to_string(kFindNumberLength) + " digits"};
    for (char c : number)
        if (c < '0' || c > '9') return {{}, "Tel Number takes digits only"};
    std::string args = std::to_string(name.size()) + Slots(CharacterSlots(name), kFindNameLength);
    args += "," + std::to_string(number.size()) + Slots(CharacterSlots(number), kFindNumberLength);
    return {Call("FindBtTelephoneNumber", args), {}};
}

std::optional<FindNameFields> ParseFindBtTelephoneNumber(std::string_view line) {
    const auto args = Arguments(line);
    if (!args) return std::nullopt;
    FindNameFields fields;
    fields.name = SlotText(*args, 1, Count((*args)[0], kFindNameLength));
    const std::size_t numberAt = 1 + kFindNameLength;
    if (args->size() > numberAt)
        fields.number = SlotText(*args, numberAt + 1, Count((*args)[numberAt], kFindNumberLength));
    return fields;
}

ComposedLine ConnectBtByNameLine(std::string_view name, ContactSource source) {
    if (name.empty()) return {{}, "BT Name is empty"};
    if (name.size() > kLinkNameLength)
        return {{}, "BT Name takes at most " + std::to_string(kLinkNameLength) + " characters"};
    if (auto error = SlotTextError(name, "BT Name"); !error.empty()) return {{}, error};
    return {ConnectBtLine(CharacterSlots(name), source), {}};
}

ComposedLine ConnectBtByIdLine(std::string_view address, ContactSource source) {
    const std::string_view bad = "BT ID must be six pairs of hex digits separated by \":\"";
    if (address.size() != 17) return {{}, std::string(bad)};
    std::vector<std::string> characters;
    for (std::size_t i = 0; i < address.size(); ++i) {
        const auto c = static_cast<unsigned char>(address[i]);
        const bool ok = i % 3 == 2 ? c == ':' : std::isxdigit(c) != 0;
        if (!ok) return {{}, std::string(bad)};
        characters.emplace_back(1, static_cast<char>(std::toupper(c)));
    }
    return {ConnectBtLine(characters, source), {}};
}

std::optional<LinkFields> ParseConnectBt(std::string_view line) {
    const auto args = Arguments(line);
    if (!args) return std::nullopt;
    const auto& a = *args;
    LinkFields fields;
    // The count covers the characters and the source slot after them. A
    // name may hold ":" too, so its count tells it from an address.
    std::size_t count = Count(a[0], 30);
    fields.byId = a.size() > 3 && a[3] == ":" && (count == 0 || count == 18);
    if (fields.byId) {
        fields.nameOrId = SlotText(a, 1, 17);
        if (count == 0) count = 18;
    } else {
        fields.nameOrId = count > 0 ? SlotText(a, 1, count - 1) : std::string();
    }
    if (count > 0 && count < a.size()) {
        if (a[count] == "0") fields.source = ContactSource::PhoneMemory;
        if (a[count] == "1") fields.source = ContactSource::SimCard;
    }
    return fields;
}

std::optional<std::string> WriteParallelIFLine(const ParallelOutputs& outputs) {
    int mask = 0;
    int value = 0;
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        if (outputs[i] == OutputChange::Unchanged) continue;
        mask |= 1 << i;
        if (outputs[i] == OutputChange::Close) value |= 1 << i;
    }
    if (mask == 0) return std::nullopt;
    return Call("WriteParallelIF", std::to_string(mask) + "," + std::to_string(value));
}

namespace {

std::string FaultText(const compiler::ParsedProcedure& parsed) {
    using compiler::ProcedureFault;
    switch (parsed.fault) {
        case ProcedureFault::NoClosingParenthesis:
            return "missing \")\"";
        case ProcedureFault::UnknownName:
            return "unknown procedure (names are case-sensitive)";
        case ProcedureFault::TooManyArguments:
            return "too many arguments";
        case ProcedureFault::TooFewArguments:
            return "too few arguments";
        case ProcedureFault::BadArgument:
            return "invalid argument " + std::to_string(parsed.argument);
        default:
            return {};
    }
}

}  // namespace

std::optional<std::string> ActionLineProblem(std::string_view line) {
    if (line.substr(0, 3) == ";RF") return std::nullopt;
    const auto parsed = compiler::ParseProcedureSyntax(line);
    const std::string reason = FaultText(parsed);
    // Menu and item names are the build's to resolve: they are not marked.
    if (reason.empty()) return std::nullopt;
    // The build's own message, and why.
    return "invalid procedure " + std::string(line.substr(0, line.find('('))) + ": " + reason;
}

}  // namespace orbik::editor
