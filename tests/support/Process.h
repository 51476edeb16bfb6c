#pragma once
// Runs a program to its end and collects what it printed.

#include <functional>
#include <string>
#include <vector>

namespace orbik::test {

struct ProcessResult {
    int status = -1;     // exit status, -1 when it did not exit normally
    std::string output;  // standard output and standard error, interleaved
};

ProcessResult RunProcess(const std::vector<std::string>& argv);

struct WatchedProcess : ProcessResult {
    double cpuSeconds = 0;             // user + system time the process used
    double secondsAfterMeanwhile = 0;  // from the end of `meanwhile` to its exit
    bool killed = false;               // still running after the time limit
};

// Starts the program, runs `meanwhile` while it runs (e.g. stops the
// device under it), then waits at most `limitMs` for it to end; kills it
// after that.
WatchedProcess RunProcessWhile(const std::vector<std::string>& argv,
                               const std::function<void()>& meanwhile, int limitMs);

}  // namespace orbik::test
