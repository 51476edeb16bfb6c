#pragma once
// The action language of menus: "SetMenu(Sleep)", "Wait(0x0100)", ...
// A procedure text is parsed against 29 fixed definitions, its arguments
// converted by their types, and encoded as opcode + argument bytes.
//
// Parsing is two steps: the syntax alone (ParseProcedureSyntax: no project,
// no disk, so an editor can check a line as it is typed), then the menu
// and item names, which only a project can resolve (ResolveProcedure).

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbik::compiler {

struct BuildState;

enum class ArgType : std::uint8_t {
    Menu = 0,       // menu name; encoded menu number - 1 ("Main" is 0)
    Item = 1,       // item name or "None" (255)
    Button = 2,     // button name, encoded 0..50
    BaudRate = 3,   // "300" .. "115200", encoded 0..8
    Parity = 4,     // "even", "odd", "none"
    Byte = 5,       // number, low byte written
    Word = 6,       // number, written high byte first
    Character = 7,  // "\r", "\n", "\s" or the first character of the text
    Flag = 8,       // "true", "record", "parallel_if"; every procedure ends with one
};

// One procedure definition or one parsed call.
struct t_procinfo {
    std::string name;
    std::uint16_t opcode = 0;           // 1..29; its low byte is written
    std::vector<ArgType> types;         // one per parameter; count = types.size()
    std::vector<std::string> texts;     // argument texts as written
    std::vector<std::uint16_t> values;  // encoded arguments (after parsing)
};

// The 29 definitions, opcode order (opcode = position + 1).
const std::vector<t_procinfo>& ProcedureDefinitions();

// Why a procedure text is invalid.
enum class ProcedureFault : std::uint8_t {
    None,
    NoClosingParenthesis,  // "(" without ")"
    UnknownName,           // not one of the 29 (names are case-sensitive)
    TooManyArguments,
    TooFewArguments,  // only the trailing flag may be left out
    BadArgument,      // not a name of its table, or an empty character
    UnknownMenu,      // no such menu in the project (resolving)
    UnknownItem,      // no such item in the project (resolving)
};

struct ParsedProcedure {
    // Valid when fault is None. Menu and item values are 0 until resolved,
    // except an item "None" (255).
    t_procinfo call;
    ProcedureFault fault = ProcedureFault::None;
    std::size_t argument = 0;  // the faulty argument (1-based), where one is to blame
};

// The first step: text -> call with every value that needs no project.
ParsedProcedure ParseProcedureSyntax(std::string_view text);

// The look-ups the project answers: the encoded number (menu or item
// number - 1) of a name, or nothing when the project has no such one.
struct ProcedureLookups {
    std::function<std::optional<std::uint16_t>(const std::string& name)> menu;
    std::function<std::optional<std::uint16_t>(const std::string& name)> item;
};

// The second step: fills the menu and item values of a parsed call, in
// argument order; UnknownMenu or UnknownItem (with the argument) when a
// name is not found, None otherwise.
ProcedureFault ResolveProcedure(t_procinfo& call, const ProcedureLookups& lookups,
                                std::size_t* argument = nullptr);

// Both steps for a build. Menu arguments are looked up in (and new ones
// appended to) state.menus, requiring their MENU.TXT in the project; item
// arguments in state.items. Empty when the text is invalid.
std::optional<t_procinfo> ParseProcedure(std::string_view text, BuildState& state);

// Opcode byte, then per parameter one byte (two, high first, for a word).
std::string EncodeProcedure(const t_procinfo& procedure);

}  // namespace orbik::compiler
