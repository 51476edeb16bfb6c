#pragma once
// Runs a program to its end and collects what it printed.

#include <string>
#include <vector>

namespace orbik::test {

struct ProcessResult {
    int status = -1;     // exit status, -1 when it did not exit normally
    std::string output;  // standard output and standard error, interleaved
};

ProcessResult RunProcess(const std::vector<std::string>& argv);

}  // namespace orbik::test
