#pragma once
// The main of a benchmark that compares a piece of work with its floor (the
// same files read and written once): runs both, interleaved, and prints the
// ratio of their medians.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace orbik::bench {

// Passes the results on and keeps the medians for the ratio.
class MedianReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.aggregate_name == "median")
                medians[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    std::map<std::string, double> medians;
};

struct RatioSides {
    const char* work;       // benchmark function name
    const char* floor;      // benchmark function name
    const char* workText;   // "load + save"
    const char* floorText;  // "read + write the same files"
    double target;
};

inline int RunRatioBenchmarks(int argc, char** argv, const RatioSides& sides) {
    // Interleaved repetitions: load from other processes weighs on both
    // sides of the ratio alike. A flag given on the command line still wins.
    std::vector<char*> args(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    auto work = reporter.medians.find(sides.work);
    auto floor = reporter.medians.find(sides.floor);
    if (work == reporter.medians.end() || floor == reporter.medians.end() || floor->second <= 0)
        return 0;
    std::printf("median %s %.3f ms, median %s %.3f ms, ratio %.2f (target <= %g)\n", sides.workText,
                work->second, sides.floorText, floor->second, work->second / floor->second,
                sides.target);
    return 0;
}

}  // namespace orbik::bench
