// PROTOCOL.TXT: the tables after the checks, for people to read.

#include <string>
#include <vector>

#include "compiler/ImageFiles.h"
#include "compiler/Steps.h"
#include "platform/Text.h"

namespace orbik::compiler {

namespace {

void Heading(std::vector<std::string>& out, std::size_t count, const char* what) {
    out.push_back(std::to_string(count) + " " + what);
    out.push_back("================");
    out.push_back("");
}

template <class Names>
std::string PerLanguage(const BuildState& state, const Names& names) {
    std::string line;
    for (std::size_t l = 0; l < state.languages.size(); ++l) {
        if (l > 0) line += " / ";
        line += names[l];
    }
    return line;
}

std::string OptionsLine(const BuildState& state, const t_iteminfo& item) {
    std::string line = std::to_string(item.minOption) + " / " + std::to_string(item.maxOption) +
                       " / " + std::to_string(item.offOption) + " / " +
                       std::to_string(item.startOption) + " : ";
    auto texts = [&] {
        std::string list;
        for (int option = item.minOption; option <= item.maxOption; ++option)
            list += OptionText(item, option) + " ";
        return list;
    };
    switch (item.optionKind) {
        case OptionKind::Languages:
            return line + "languages " + texts();
        case OptionKind::Devices:
            return line + "devices(" + state.deviceTypes[item.deviceType - 1].name + ")";
        case OptionKind::Numbers:
            return line + "numbers";
        case OptionKind::Symbols:
            return line + "symbols " + texts();
    }
    return line;
}

std::string ProcedureLine(const t_procinfo& procedure) {
    std::string line = procedure.name + "(" + std::to_string(procedure.opcode) + ") ";
    for (std::size_t i = 0; i < procedure.texts.size() && i < procedure.values.size(); ++i)
        line += procedure.texts[i] + "(" + std::to_string(procedure.values[i]) + ") ";
    return line;
}

}  // namespace

std::string ProtocolText(const BuildState& state) {
    std::vector<std::string> out;
    Heading(out, state.languages.size(), "languages");
    for (const auto& language : state.languages) out.push_back(language.name);
    out.insert(out.end(), {"", ""});

    Heading(out, state.keywords.size(), "keywords");
    for (const auto& keyword : state.keywords) {
        out.push_back("keyword=" + keyword.name);
        out.push_back(PerLanguage(state, keyword.names));
        out.push_back("");
    }
    out.insert(out.end(), {"", ""});

    Heading(out, state.items.size(), "items");
    for (const auto& item : state.items) {
        out.push_back("item=" + item.name);
        out.push_back(PerLanguage(state, item.names));
        out.push_back("keyword=" + (item.keyword ? state.keywords[item.keyword - 1].name : "none"));
        out.push_back(OptionsLine(state, item));
        out.push_back("");
    }
    out.insert(out.end(), {"", ""});

    Heading(out, state.menus.size(), "menus");
    for (const auto& menu : state.menus) {
        for (std::size_t k = 0; k < menu.keywords.size() && k < state.keywords.size(); ++k) {
            const auto& procedures = menu.keywords[k].procedures;
            if (procedures.empty()) continue;
            out.push_back(menu.name + ", " + state.keywords[k].name + ", " +
                          std::to_string(procedures.size()) + " procedures");
            for (const auto& procedure : procedures) out.push_back(ProcedureLine(procedure));
            out.push_back("");
        }
        out.push_back("");
    }

    Heading(out, state.deviceTypes.size(), "device types");
    for (const auto& type : state.deviceTypes) out.push_back(type.name);
    out.insert(out.end(), {"", ""});
    return platform::JoinLines(out);
}

bool WriteProtocol(BuildState& state, platform::FileReplacement& outputs, BuildLog& log) {
    return StageOutputFile(outputs, project::TopFile(state.projectDir, project::kProtocolFile),
                           ProtocolText(state), log);
}

}  // namespace orbik::compiler
