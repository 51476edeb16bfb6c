#pragma once
// What the device page hands to its signal dialogs and what they answer:
// plain values, so that the dialogs never reach into the page.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "signals/SignalNames.h"
#include "signals/SlotData.h"

namespace orbik::signals {

// The learning dialog works on the pair of signal k of the code file
// `file`; an empty block is an absent signal.
struct ScanRequest {
    int signal = 0;
    std::string buttonName;
    std::string signalName;
    SlotData file;
};
struct ScanResult {
    std::string first;
    std::string second;
    std::string signalName;
};

// The IR code library: its folder and the working folder files are added to.
struct IcpFilesRequest {
    std::filesystem::path libraryDir;
    std::filesystem::path workDir;
};
struct IcpFilesResult {
    std::string added;  // the file now in the working folder
};

// The IR signal library puts one signal into signal k's pair.
struct IrFilesPlace {
    int tab = 0;
    int row = -1;
    int top = 0;
};
struct IrFilesRequest {
    std::filesystem::path folder;
    int signal = 0;
    SlotData file;
    SignalNameList names;
    IrFilesPlace place;
};
struct IrFilesResult {
    bool taken = false;  // false: refused for want of memory
    SlotData file;
    SignalNameList names;
    IrFilesPlace place;
};

struct EditSignalValues {
    std::string name;
    int repetitions = 0;
};

}  // namespace orbik::signals
