#include "compiler/Procedure.h"

#include "compiler/BuildState.h"
#include "compiler/Steps.h"
#include "project/BuiltinTables.h"
#include "project/KeyValue.h"

namespace orbik::compiler {

using project::FindInList;
using project::kNotFound;

namespace {

t_procinfo Define(std::uint16_t opcode, const char* name, std::vector<ArgType> before) {
    t_procinfo p;
    p.name = name;
    p.opcode = opcode;
    p.types = std::move(before);
    p.types.push_back(ArgType::Flag);
    p.texts.assign(p.types.size(), "");
    p.texts.back() = "true";  // the flag may be left out
    return p;
}

std::vector<ArgType> Repeat(std::vector<ArgType> head, ArgType type, int count) {
    head.insert(head.end(), count, type);
    return head;
}

std::vector<t_procinfo> MakeDefinitions() {
    using A = ArgType;
    const A w = A::Word, b = A::Byte, c = A::Character;
    std::vector<ArgType> radio = Repeat({w, w, w, w, b, w, w}, b, 33);
    std::vector<ArgType> findNumber = Repeat(Repeat({b}, c, 24), b, 1);
    findNumber = Repeat(findNumber, c, 20);
    return {
        Define(1, "PushMenu", {}),
        Define(2, "PopMenu", {}),
        Define(3, "SetMenu", {A::Menu}),
        Define(4, "PushDevice", {}),
        Define(5, "PopDevice", {}),
        Define(6, "SetDevice", {A::Item}),
        Define(7, "SendButton", {A::Button}),
        Define(8, "SendDigit", {A::Button}),
        Define(9, "SendTeletextPage", {b}),
        Define(10, "SendTelephoneNumber", {w}),
        Define(11, "StartScan", {A::Button, w}),
        Define(12, "WriteRadioIF", radio),
        Define(13, "WriteSerialIF", {A::BaudRate, A::Parity, b}),
        Define(14, "WriteParallelIF", {b, b}),
        Define(15, "ReadParallelIF", {b}),
        Define(16, "ClearTelephoneNumber", {}),
        Define(17, "AddTelNumberDigit", {b, A::Button}),
        Define(18, "RemoveTelNumberDigit", {}),
        Define(19, "SetFlag", {A::Flag, w}),
        Define(20, "Wait", {w}),
        Define(21, "ModifyProcedurePtr", {b}),
        Define(22, "DisplayLightOn", {}),
        Define(23, "DisplayLightOff", {}),
        Define(24, "Nothing", {}),
        Define(25, "ConnectBt", Repeat({b}, c, 30)),
        Define(26, "DisconnectBt", {}),
        Define(27, "FindBtTelephoneNumber", findNumber),
        Define(28, "SendBt", Repeat({b}, c, 30)),
        Define(29, "SendBtTelephoneNumber", {}),
    };
}

template <std::size_t N>
bool LookUp(const std::string& text, const std::array<std::string_view, N>& table,
            std::uint16_t* value) {
    std::uint16_t number = FindInList(text, table);
    if (number == kNotFound) return false;
    *value = static_cast<std::uint16_t>(number - 1);
    return true;
}

bool ConvertCharacter(const std::string& text, std::uint16_t* value) {
    if (text == "\\r")
        *value = 13;
    else if (text == "\\n")
        *value = 10;
    else if (text == "\\s")
        *value = ';';
    else if (text.empty())
        return false;  // nothing to send: two commas in a row
    else
        *value = static_cast<unsigned char>(text[0]);
    return true;
}

// The value of an argument that needs no project; menus and items other
// than "None" are left to ResolveProcedure.
bool Convert(ArgType type, const std::string& text, std::uint16_t* value) {
    switch (type) {
        case ArgType::Menu:
            return true;
        case ArgType::Item:
            if (text == "None") *value = 255;
            return true;
        case ArgType::Button:
            return LookUp(text, project::kButtonNames, value);
        case ArgType::BaudRate:
            return LookUp(text, project::kBaudRates, value);
        case ArgType::Parity:
            return LookUp(text, project::kParities, value);
        case ArgType::Byte:
            *value = static_cast<std::uint16_t>(project::ParseNumber(text, 2));
            return true;
        case ArgType::Word:
            *value = static_cast<std::uint16_t>(project::ParseNumber(text, 4));
            return true;
        case ArgType::Character:
            return ConvertCharacter(text, value);
        case ArgType::Flag:
            return LookUp(text, project::kFlagNames, value);
    }
    return false;
}

}  // namespace

const std::vector<t_procinfo>& ProcedureDefinitions() {
    static const std::vector<t_procinfo> definitions = MakeDefinitions();
    return definitions;
}

ParsedProcedure ParseProcedureSyntax(std::string_view text) {
    ParsedProcedure parsed;
    auto fail = [&parsed](ProcedureFault fault, std::size_t argument = 0) {
        parsed.fault = fault;
        parsed.argument = argument;
        return parsed;
    };
    auto open = text.find('(');
    bool hasArguments = open != std::string_view::npos;
    if (hasArguments && text.find(')') == std::string_view::npos)
        return fail(ProcedureFault::NoClosingParenthesis);
    std::string_view name = hasArguments ? text.substr(0, open) : text;

    const t_procinfo* definition = nullptr;
    for (const auto& candidate : ProcedureDefinitions())
        if (candidate.name == name) definition = &candidate;
    if (!definition) return fail(ProcedureFault::UnknownName);
    t_procinfo& call = parsed.call;
    call = *definition;

    std::size_t supplied = 0;
    if (hasArguments) {
        // Everything after "(" but the last character, taken to be ")".
        std::string_view arguments =
            open + 1 < text.size() ? text.substr(open + 1, text.size() - open - 2) : "";
        for (std::size_t start = 0;;) {
            std::size_t comma = arguments.find(',', start);
            if (++supplied > call.types.size())
                return fail(ProcedureFault::TooManyArguments, supplied);
            call.texts[supplied - 1] = std::string(arguments.substr(start, comma - start));
            if (comma == std::string_view::npos) break;
            start = comma + 1;
        }
    }
    if (supplied + 1 < call.types.size()) return fail(ProcedureFault::TooFewArguments);

    call.values.assign(call.types.size(), 0);
    for (std::size_t i = 0; i < call.types.size(); ++i)
        if (!Convert(call.types[i], call.texts[i], &call.values[i]))
            return fail(ProcedureFault::BadArgument, i + 1);
    return parsed;
}

ProcedureFault ResolveProcedure(t_procinfo& call, const ProcedureLookups& lookups,
                                std::size_t* argument) {
    for (std::size_t i = 0; i < call.types.size() && i < call.values.size(); ++i) {
        const std::string& text = call.texts[i];
        std::optional<std::uint16_t> value;
        ProcedureFault fault = ProcedureFault::None;
        if (call.types[i] == ArgType::Menu) {
            value = lookups.menu(text);
            fault = ProcedureFault::UnknownMenu;
        } else if (call.types[i] == ArgType::Item && text != "None") {
            value = lookups.item(text);
            fault = ProcedureFault::UnknownItem;
        } else {
            continue;
        }
        if (!value) {
            if (argument) *argument = i + 1;
            return fault;
        }
        call.values[i] = *value;
    }
    return ProcedureFault::None;
}

std::optional<t_procinfo> ParseProcedure(std::string_view text, BuildState& state) {
    ParsedProcedure parsed = ParseProcedureSyntax(text);
    if (parsed.fault != ProcedureFault::None) return std::nullopt;
    ProcedureLookups lookups;
    // A menu counts once its MENU.TXT is there; its first mention numbers it.
    lookups.menu = [&state](const std::string& name) -> std::optional<std::uint16_t> {
        fs::path file =
            project::ItemsMenusFile(state.projectDir, name, project::kBuildFileNames.menu);
        if (!ProjectFileExists(state, file)) return std::nullopt;
        std::uint16_t number = FindInList(name, state.menus);
        if (number == kNotFound) number = AddMenu(state, name);
        return static_cast<std::uint16_t>(number - 1);
    };
    lookups.item = [&state](const std::string& name) -> std::optional<std::uint16_t> {
        std::uint16_t number = FindInList(name, state.items);
        if (number == kNotFound) return std::nullopt;
        return static_cast<std::uint16_t>(number - 1);
    };
    if (ResolveProcedure(parsed.call, lookups) != ProcedureFault::None) return std::nullopt;
    return std::move(parsed.call);
}

std::string EncodeProcedure(const t_procinfo& procedure) {
    std::string bytes(1, static_cast<char>(procedure.opcode & 0xFF));
    for (std::size_t i = 0; i < procedure.types.size() && i < procedure.values.size(); ++i) {
        std::uint16_t value = procedure.values[i];
        if (procedure.types[i] == ArgType::Word) bytes += static_cast<char>(value >> 8);
        bytes += static_cast<char>(value & 0xFF);
    }
    return bytes;
}

}  // namespace orbik::compiler
