// Procedure texts and key=value lines: parse, convert, encode.

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzProject.h"
#include "compiler/Procedure.h"
#include "compiler/Steps.h"
#include "project/KeyValue.h"

using namespace orbik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    static const bool ready = [] {
        fuzz::WriteFile(fuzz::ScratchDir() / "P" / "Items&Menus" / "Main" / "MENU.TXT",
                        "keyword=a\r\n");
        fuzz::WriteFile(fuzz::ScratchDir() / "P" / "Items&Menus" / "Sub" / "MENU.TXT",
                        "keyword=a\r\n");
        return true;
    }();
    (void)ready;

    std::string line = project::CleanLine(text);
    (void)project::LineHasKey(line, "procedure");
    (void)project::ParseNumber(project::ValueOf(line), 4);
    (void)project::ParseNumber(text, 2);

    compiler::BuildState state =
        compiler::MakeBuildState("P", fuzz::ScratchDir() / "P", fuzz::ScratchDir());
    compiler::AddMenu(state, "Main");
    state.items.resize(1);
    state.items[0].name = "TV";
    // The syntax step alone never needs the project; a valid build call
    // must have passed it.
    compiler::ParsedProcedure syntax = compiler::ParseProcedureSyntax(project::ValueOf(line));
    if (syntax.fault == compiler::ProcedureFault::None &&
        syntax.call.values.size() != syntax.call.types.size())
        abort();
    if (auto procedure = compiler::ParseProcedure(project::ValueOf(line), state)) {
        if (syntax.fault != compiler::ProcedureFault::None) abort();
        std::string bytes = compiler::EncodeProcedure(*procedure);
        if (bytes.empty() || static_cast<std::uint8_t>(bytes[0]) != procedure->opcode) abort();
        if (procedure->values.size() != procedure->types.size()) abort();
    }
    return 0;
}
