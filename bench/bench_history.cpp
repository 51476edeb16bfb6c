// Undo history of a project folder: one change (copy before, compare
// after), and an undo with its redo, against the floor of copying the
// folder once. The folder holds 100 item folders, 25 device folders with a
// 32 KiB code file each and a 3 MiB image, as a built project does.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <string>

#include "editor/ProjectHistory.h"
#include "platform/FileSystem.h"

using namespace orbik;
namespace fs = std::filesystem;

namespace {

class BenchFolder {
  public:
    static BenchFolder& Get() {
        static BenchFolder folder;
        return folder;
    }
    const fs::path& Root() const { return root_; }
    fs::path Project() const { return root_ / "Bench"; }

  private:
    BenchFolder() {
        std::string pattern = (fs::temp_directory_path() / "orbik-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) abort();
        root_ = pattern;
        const fs::path project = Project();
        for (int i = 0; i < 100; ++i) {
            fs::path item = project / "Items&Menus" / ("item" + std::to_string(i));
            fs::create_directories(item);
            platform::WriteFileAtomic(item / "item.txt", std::string(300, 'i'));
            platform::WriteFileAtomic(item / "menu.txt", std::string(600, 'm'));
        }
        for (int d = 0; d < 25; ++d) {
            fs::path device = project / "Devices" / ("device" + std::to_string(d));
            fs::create_directories(device);
            platform::WriteFileAtomic(device / "--01.icp", std::string(32 * 1024, char(d)));
            platform::WriteFileAtomic(device / "devlist.txt", "device=--01.icp\r\n");
        }
        platform::WriteFileAtomic(project / "Bench.CIM", std::string(3 << 20, '\xFF'));
    }
    ~BenchFolder() { fs::remove_all(root_); }

    fs::path root_;
};

void BM_OneChange(benchmark::State& state) {
    BenchFolder& folder = BenchFolder::Get();
    auto history = editor::ProjectHistory::Create(folder.Project(), folder.Root(), nullptr);
    int n = 0;
    for (auto _ : state) {
        history->BeginChange(nullptr);
        platform::WriteFileAtomic(folder.Project() / "Items&Menus/item0/menu.txt",
                                  "change " + std::to_string(++n));
        history->EndChange();
    }
}

void BM_UndoRedo(benchmark::State& state) {
    BenchFolder& folder = BenchFolder::Get();
    auto history = editor::ProjectHistory::Create(folder.Project(), folder.Root(), nullptr);
    std::string error;
    if (!history->BeginChange(&error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    static int run = 0;  // each repetition changes the file anew
    platform::WriteFileAtomic(folder.Project() / "Items&Menus/item1/menu.txt",
                              "changed " + std::to_string(++run));
    history->EndChange();
    for (auto _ : state) {
        if (!history->Undo(&error) || !history->Redo(&error)) {
            state.SkipWithError(error.c_str());
            return;
        }
    }
}

void BM_CopyFolder(benchmark::State& state) {
    BenchFolder& folder = BenchFolder::Get();
    for (auto _ : state) {
        fs::copy(folder.Project(), folder.Root() / "copy", fs::copy_options::recursive);
        fs::remove_all(folder.Root() / "copy");
    }
}

}  // namespace

BENCHMARK(BM_OneChange)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_UndoRedo)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_CopyFolder)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
