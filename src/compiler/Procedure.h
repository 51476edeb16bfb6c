#pragma once
// The action language of menus: "SetMenu(Sleep)", "Wait(0x0100)", ...
// A procedure text is parsed against 29 fixed definitions, its arguments
// converted by their types, and encoded as opcode + argument bytes.

#include <cstdint>
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

// Parses and validates a procedure text. Menu arguments are looked up in
// (and new ones appended to) state.menus, requiring their MENU.TXT in the
// project; item arguments in state.items. Empty when the text is invalid.
std::optional<t_procinfo> ParseProcedure(std::string_view text, BuildState& state);

// Opcode byte, then per parameter one byte (two, high first, for a word).
std::string EncodeProcedure(const t_procinfo& procedure);

}  // namespace orbik::compiler
