// orbik-cli compose: the action lines the project window's dialogs make,
// for people who edit project files by hand and for scripts.

#include <cstdio>
#include <map>

#include "cli/Commands.h"
#include "editor/ActionLines.h"
#include "editor/RfLibrary.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace orbik::cli {

namespace {

using editor::ComposedLine;
using Lines = std::vector<std::string>;

constexpr const char* kUsage =
    "usage: orbik-cli compose find NAME NUMBER\n"
    "       orbik-cli compose link-name NAME phone|sim\n"
    "       orbik-cli compose link-id XX:XX:XX:XX:XX:XX phone|sim\n"
    "       orbik-cli compose parallel N=close|open ...\n"
    "       orbik-cli compose bt answer|hangup|redial|voice|digit-0 ... digit-9|digit-*|"
    "digit-#|digit-R\n"
    "       orbik-cli compose rf LIBRARY NAME REPETITION\n";

// What a composer gives: the lines, or the message of a refusal.
struct Composed {
    Lines lines;
    std::string error;
};

Composed From(const ComposedLine& line) {
    if (!line.ok()) return {{}, line.error};
    return {{line.line}, {}};
}

std::optional<editor::ContactSource> Source(const std::string& text) {
    if (text == "phone") return editor::ContactSource::PhoneMemory;
    if (text == "sim") return editor::ContactSource::SimCard;
    return std::nullopt;
}

Composed Link(const Args& args, bool byId) {
    const auto source = Source(args[2]);
    if (!source) return {{}, "the contact source is phone or sim, not " + args[2]};
    return From(byId ? editor::ConnectBtByIdLine(args[1], *source)
                     : editor::ConnectBtByNameLine(platform::Utf8ToCp1252(args[1]), *source));
}

Composed Parallel(const Args& args) {
    editor::ParallelOutputs outputs{};
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const std::string value = platform::ToLowerAscii(platform::TextAfter(arg, '=', 1));
        const bool numbered = arg.size() > 2 && arg[0] >= '1' && arg[0] <= '8' && arg[1] == '=';
        if (!numbered || (value != "close" && value != "open"))
            return {{}, "an output is N=close or N=open with N from 1 to 8, not " + arg};
        auto& output = outputs[static_cast<std::size_t>(arg[0] - '1')];
        if (output != editor::OutputChange::Unchanged)
            return {{}, std::string("output ") + arg[0] + " is given twice"};
        output = value == "close" ? editor::OutputChange::Close : editor::OutputChange::Open;
    }
    const auto line = editor::WriteParallelIFLine(outputs);
    if (!line) return {{}, "at least one output is needed"};
    return {{*line}, {}};
}

Composed Bluetooth(const std::string& choice) {
    static const std::map<std::string, editor::BtCommand> commands = {
        {"answer", editor::BtCommand::Answer},
        {"hangup", editor::BtCommand::HangUp},
        {"redial", editor::BtCommand::Redial},
        {"voice", editor::BtCommand::VoiceRecognition}};
    if (const auto found = commands.find(choice); found != commands.end())
        return {{editor::SendBtLine(found->second)}, {}};
    if (choice.size() == 7 && choice.rfind("digit-", 0) == 0)
        if (const auto line = editor::SendBtDigitLine(choice[6])) return {{*line}, {}};
    return {{}, "unknown Bluetooth choice " + choice};
}

Composed Radio(const Args& args) {
    const auto repetition = editor::ParseRepetition(args[3]);
    if (!repetition) return {{}, "the repetition is a number of at most two characters"};
    std::vector<editor::RfSignal> signals;
    std::string error;
    if (!editor::ReadRfLibrary(platform::NameToPath(args[1]), &signals, &error)) return {{}, error};
    const editor::RfSignal* signal = editor::FindRfSignal(signals, args[2]);
    if (!signal) return {{}, "no signal " + args[2] + " in " + args[1]};
    return {editor::RfActionLines(*signal, *repetition), {}};
}

}  // namespace

int RunCompose(const Args& args) {
    static const std::map<std::string, std::size_t> arity = {
        {"find", 3}, {"link-name", 3}, {"link-id", 3}, {"bt", 2}, {"rf", 4}};
    const std::string kind = args.empty() ? "" : args[0];
    const auto fixed = arity.find(kind);
    const bool known = fixed != arity.end() || kind == "parallel";
    if (!known || (fixed != arity.end() && args.size() != fixed->second)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    Composed composed;
    // Names are typed in UTF-8; one slot holds one Windows-1252 character,
    // and the lines are printed in Windows-1252, as project files hold them.
    if (kind == "find")
        composed =
            From(editor::FindBtTelephoneNumberLine(platform::Utf8ToCp1252(args[1]), args[2]));
    if (kind == "link-name") composed = Link(args, false);
    if (kind == "link-id") composed = Link(args, true);
    if (kind == "parallel") composed = Parallel(args);
    if (kind == "bt") composed = Bluetooth(args[1]);
    if (kind == "rf") composed = Radio(args);
    if (!composed.error.empty()) {
        std::fprintf(stderr, "%s\n", composed.error.c_str());
        return 1;
    }
    for (const auto& line : composed.lines) std::printf("%s\n", line.c_str());
    return 0;
}

}  // namespace orbik::cli
