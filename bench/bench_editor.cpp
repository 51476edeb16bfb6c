// Loading a project into the editor's model and saving it back, against
// the floor of reading its files and writing the same files once. The
// project has 100 items (half of them with a device), 101 menus and the
// eight direct keys. Prints both medians and their ratio (target <= 3).

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <map>
#include <string>

#include "RatioMain.h"
#include "editor/ProjectLoad.h"
#include "editor/ProjectSave.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

using namespace orbik;
namespace fs = std::filesystem;

namespace {

editor::ProjectModel BenchModel() {
    editor::ProjectModel m;
    m.languages = {"English", "German", "", ""};
    for (int k = 0; k < 150; ++k)
        m.keywords.push_back({"word" + std::to_string(k),
                              "",
                              {{"English", "word " + std::to_string(k)}, {"German", "Wort"}},
                              k < 10 ? "digit" : "deviceselection"});
    for (int d = 0; d < 25; ++d) m.devices.push_back({"device" + std::to_string(d), 2, {}, {}, {}});
    editor::MenuRecord main{"Main", true, true, true, false, false, {}};
    editor::MenuRecord sleep{"Sleep", false, false, false, false, false, {}};
    sleep.entries.push_back({"word0", "", "", {"DisplayLightOn", "SetMenu(Main)"}, {}, {}, {}});
    m.menus = {main, sleep};
    for (int i = 0; i < 100; ++i) {
        editor::ItemRecord item;
        item.name = "item" + std::to_string(i);
        item.keyword = "word" + std::to_string(10 + i);
        item.type = i < 50 ? "other" : "display";
        item.texts = {{"English", "Item " + std::to_string(i)}, {"German", "Punkt"}};
        if (i < 50) item.device = static_cast<std::size_t>(i / 2);
        m.items.push_back(item);
        std::vector<std::string> procedure = {"SendButton(on)"};
        if (i < 99) {
            std::string sub = "sub" + std::to_string(i);
            procedure.push_back("SetMenu(" + sub + ")");
            editor::MenuRecord menu{sub, true, true, true, true, false, {}};
            for (int e = 0; e < 5; ++e)
                menu.entries.push_back(
                    {"word" + std::to_string(e + 110),
                     "",
                     "",
                     {"SendButton(b" + std::to_string(e) + ")", "Wait(100)", ";RF 1,2,3"},
                     {},
                     {},
                     {}});
            m.menus.push_back(menu);
        }
        m.menus[0].entries.push_back({item.keyword, "", "", procedure, {}, {}, {}});
    }
    for (auto& key : m.directKeys) key = {true, {"PushDevice", "SendButton(x)", "PopDevice"}};
    return m;
}

class BenchProject {
  public:
    static BenchProject& Get() {
        static BenchProject project;
        return project;
    }
    const fs::path& Dir() const { return dir_; }
    const std::vector<fs::path>& Inputs() const { return inputs_; }
    const std::vector<editor::SavedFile>& Outputs() const { return outputs_; }

  private:
    BenchProject() {
        std::string pattern = (fs::temp_directory_path() / "orbik-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) abort();
        dir_ = fs::path(pattern) / "Bench";
        fs::create_directories(dir_);
        editor::ProjectModel model = BenchModel();
        for (const auto& device : model.devices)
            platform::WriteFileAtomic((fs::create_directories(dir_ / "Devices" / device.name),
                                       dir_ / "Devices" / device.name / "devlist.txt"),
                                      "signal=" + device.name + ".icp\r\n");
        editor::WriteProjectFiles(editor::SaveProject(model, dir_, "Bench"));
        for (const auto& entry : fs::recursive_directory_iterator(dir_))
            if (entry.is_regular_file()) inputs_.push_back(entry.path());
        editor::LoadResult loaded =
            editor::LoadProject(editor::DiskSource(), dir_, "Bench", "English");
        if (!loaded.ok) abort();
        outputs_ = editor::SaveProject(loaded.model, dir_, "Bench");
    }
    ~BenchProject() { fs::remove_all(dir_.parent_path()); }

    fs::path dir_;
    std::vector<fs::path> inputs_;
    std::vector<editor::SavedFile> outputs_;
};

void BM_LoadSave(benchmark::State& state) {
    BenchProject& project = BenchProject::Get();
    for (auto _ : state) {
        editor::LoadResult loaded =
            editor::LoadProject(editor::DiskSource(), project.Dir(), "Bench", "English");
        if (!loaded.ok) {
            state.SkipWithError(loaded.message.c_str());
            return;
        }
        auto failures =
            editor::WriteProjectFiles(editor::SaveProject(loaded.model, project.Dir(), "Bench"));
        benchmark::DoNotOptimize(failures);
    }
    state.counters["menus"] = 101;
}

void BM_ReadWriteFiles(benchmark::State& state) {
    BenchProject& project = BenchProject::Get();
    std::vector<std::string> contents;
    for (const auto& file : project.Outputs()) contents.push_back(platform::JoinLines(file.lines));
    for (auto _ : state) {
        std::size_t bytes = 0;
        for (const fs::path& input : project.Inputs()) {
            std::string data;
            platform::ReadWholeFile(input, &data, platform::kMaxTextFileSize);
            bytes += data.size();
        }
        benchmark::DoNotOptimize(bytes);
        for (std::size_t i = 0; i < contents.size(); ++i)
            platform::WriteFileAtomic(project.Outputs()[i].path, contents[i]);
    }
}

BENCHMARK(BM_LoadSave)->Unit(benchmark::kMillisecond)->Repetitions(15)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReadWriteFiles)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    return orbik::bench::RunRatioBenchmarks(
        argc, argv,
        {"BM_LoadSave", "BM_ReadWriteFiles", "load + save", "read + write the same files", 3});
}
