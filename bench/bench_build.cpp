// Building a project whose image nearly fills the device's configuration
// memory, against the floor any build has to pay: reading every input file
// and writing the .CIM and .CIF once. Prints both medians and their ratio
// (the build should stay within 3 times the floor).

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "RatioMain.h"
#include "compiler/BuildConfiguration.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace fs = std::filesystem;
using namespace orbik;

namespace {

constexpr std::uintmax_t kNoLimit = UINTMAX_MAX;
constexpr int kKeywords = 100;
constexpr int kSubMenus = 10;
const char* const kLanguages[] = {"English", "German"};

// A program directory with its speech library and one project, "Bench".
class Installation {
  public:
    static Installation& Get() {
        static Installation installation;
        return installation;
    }
    ~Installation() {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }

    const fs::path& ProgramDir() const { return root_; }
    fs::path ProjectDir() const { return root_ / "Project" / "Bench"; }
    const std::vector<fs::path>& Inputs() const { return inputs_; }

  private:
    Installation() {
        std::string pattern = (fs::temp_directory_path() / "orbik-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        root_ = pattern;
        WriteProject();
        WriteSpeech();
    }

    void Text(const fs::path& relative, const std::vector<std::string>& lines) {
        Binary(relative, platform::JoinLines(lines));
    }
    // Deterministic bytes that are seldom a whole block of 0xFF.
    void Noise(const fs::path& relative, std::size_t size) {
        std::string bytes(size, '\0');
        std::uint32_t x = static_cast<std::uint32_t>(inputs_.size()) * 2654435761u + 1;
        for (char& c : bytes) {
            x = x * 1103515245u + 12345u;
            c = static_cast<char>(x >> 24);
        }
        Binary(relative, bytes);
    }
    void Binary(const fs::path& relative, const std::string& bytes) {
        fs::path path = root_ / relative;
        if (!platform::CreateDirectories(path.parent_path()) ||
            !platform::WriteFileAtomic(path, bytes))
            std::abort();
        inputs_.push_back(path);
    }

    static std::string Keyword(int k) { return "command" + std::to_string(k); }

    void WriteProject() {
        fs::path project = "Project/Bench";
        Text(project / "Bench.txt",
             {"descriptor=Benchmark living room", "language=English", "language=German",
              "item=Television", "item=Volume", "item=Sound"});
        Text(project / "LANGUAGES.TXT", {"English=English", "German=Deutsch"});
        Text(project / "DISPLAYS.TXT",
             {"display=0", "English=Say a command", "German=Befehl sprechen"});

        std::vector<std::string> keywords;
        for (int k = 0; k < kKeywords; ++k) {
            keywords.insert(keywords.end(), {"keyword=" + Keyword(k), "type=execute",
                                             "English=Cmd " + std::to_string(k),
                                             "German=Befehl " + std::to_string(k)});
        }
        Text(project / "KEYWORDS.TXT", keywords);

        fs::path items = project / "Items&Menus";
        Text(items / "Television/ITEM.TXT",
             {"English=TV", "German=Fernseher", "keyword=" + Keyword(0), "option=devices=TV"});
        Text(items / "Volume/ITEM.TXT",
             {"English=Volume", "German=Lautstaerke", "keyword=" + Keyword(1), "minoption=0",
              "maxoption=20", "startoption=5"});
        Text(items / "Sound/ITEM.TXT", {"English=Sound", "German=Klang", "keyword=" + Keyword(2),
                                        "option=Stereo", "option=Mono", "startoption=0"});

        std::vector<std::string> main;
        for (int k = 0; k < kKeywords; ++k) {
            main.insert(main.end(),
                        {"keyword=" + Keyword(k), "procedure=SendButton(vol_plus)",
                         "procedure=Wait(0x0100)",
                         "procedure=SetMenu(Sub" + std::to_string(k % kSubMenus) + ")"});
        }
        Text(items / "Main/MENU.TXT", main);
        for (int m = 0; m < kSubMenus; ++m) {
            std::vector<std::string> sub{"doubledigits=on"};
            for (int k = 0; k < kKeywords; ++k)
                sub.insert(sub.end(), {"keyword=" + Keyword(k), "procedure=SendButton(ok)",
                                       "procedure=SetMenu(Main)"});
            Text(items / ("Sub" + std::to_string(m)) / "MENU.TXT", sub);
        }

        fs::path tv = project / "Devices/TV";
        Text(tv / "DEVLIST.TXT", {"device=tv1.icp", "device=tv2.icp", "device=--01.icp"});
        Text(tv / "DEVVOCAB.TXT", {"keyword=" + Keyword(3)});
        Noise(tv / "tv1.icp", 60000);
        Noise(tv / "tv2.icp", 60000);
        Noise(tv / "--01.icp", 30000);
    }

    void WriteSpeech() {
        for (std::string language : kLanguages) {
            fs::path dir = fs::path("Speech") / language;
            for (int n : {1, 3})
                Noise(dir / (language + "_announcement_" + std::to_string(n) + ".ply"), 20000);
            for (int k = 0; k < kKeywords; ++k) {
                std::string stem = language + "_" + Keyword(k) + "_";
                Noise(dir / (stem + "1.ply"), 6800);
                for (int p = 1; p <= 4; ++p) Noise(dir / (stem + std::to_string(p) + ".pat"), 1800);
            }
        }
    }

    fs::path root_;
    std::vector<fs::path> inputs_;
};

void BM_Build(benchmark::State& state) {
    Installation& installation = Installation::Get();
    for (auto _ : state) {
        compiler::StatusLines log;
        if (!compiler::BuildConfiguration("Bench", installation.ProjectDir(),
                                          installation.ProgramDir(), log)) {
            state.SkipWithError(log.Status().c_str());
            return;
        }
    }
    std::string cim;
    platform::ReadWholeFile(installation.ProjectDir() / "Bench.CIM", &cim, kNoLimit);
    state.counters["cim_bytes"] = static_cast<double>(cim.size());
}

void BM_ReadInputsWriteOutputs(benchmark::State& state) {
    Installation& installation = Installation::Get();
    std::string cim, cif;
    fs::path project = installation.ProjectDir();
    compiler::StatusLines log;
    if (!platform::FileExists(project / "Bench.CIF"))
        compiler::BuildConfiguration("Bench", project, installation.ProgramDir(), log);
    if (!platform::ReadWholeFile(project / "Bench.CIM", &cim, kNoLimit) ||
        !platform::ReadWholeFile(project / "Bench.CIF", &cif, kNoLimit)) {
        state.SkipWithError("no build output to copy");
        return;
    }
    for (auto _ : state) {
        std::size_t bytes = 0;
        for (const fs::path& input : installation.Inputs()) {
            std::string data;
            platform::ReadWholeFile(input, &data, kNoLimit);
            bytes += data.size();
        }
        benchmark::DoNotOptimize(bytes);
        platform::WriteFileAtomic(project / "Bench.CIM", cim);
        platform::WriteFileAtomic(project / "Bench.CIF", cif);
    }
}

// The floor writes copies of the build's output files, made on first use.
BENCHMARK(BM_Build)->Unit(benchmark::kMillisecond)->Repetitions(15)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReadInputsWriteOutputs)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    return orbik::bench::RunRatioBenchmarks(
        argc, argv,
        {"BM_Build", "BM_ReadInputsWriteOutputs", "build", "read inputs + write outputs", 3});
}
