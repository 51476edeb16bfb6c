#pragma once
// Runs orbiksim, the simulated device, for a test: a fresh ORBIK_COM_DIR
// (set in this process's environment while the object lives, so the port
// class and child processes find the port), the device published as
// COM<port>, and its memory, firmware and signal memory saved to files in
// that folder for the test to read back.
//
// One SimulatedDevice at a time per process: they share ORBIK_COM_DIR.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace orbik::test {

struct SimulatedDeviceOptions {
    int port = 3;
    // Further orbiksim options (orbiksim --help lists them), e.g.
    //   {"--identify", "80,03,04,00"}  identify reply bytes
    //   {"--device-id", "0123456789AB"}
    //   {"--nak-rate", "0.2", "--seed", "7"}  block writes answered "send again"
    //   {"--drop-rate", "1"}  lost block replies
    //   {"--corrupt-rate", "0.3"}  parity errors in replies, as the port handles them
    //   {"--bitflip-rate", "0.1"}  data bits damaged in block replies
    //   {"--request-log", path}  the code of each request, one a line
    //   {"--no-reply", "94"} / {"--short-reply", "80"}  per request code, hex
    //   {"--learn-status", "1"}  learning fails with that status
    //   {"--learn-count", "100"}  learns a signal of 100 items (808 bytes)
    //   {"--learn-result", "too-long"}  also "timeout", "wrong-reply"
    //   {"--baud", "57600"}  replies paced like the real line
    std::vector<std::string> args;
    // Device memory from address 0 at start (the rest is erased, 0xFF).
    std::string initialMemory;
    // What the device stores in signal memory when it learns a signal;
    // empty for its built-in sample.
    std::string learnedSignal;
};

class SimulatedDevice {
  public:
    explicit SimulatedDevice(SimulatedDeviceOptions options = {});
    ~SimulatedDevice();
    SimulatedDevice(const SimulatedDevice&) = delete;
    SimulatedDevice& operator=(const SimulatedDevice&) = delete;

    int Port() const { return options_.port; }
    std::string PortName() const { return "COM" + std::to_string(options_.port); }
    const std::filesystem::path& Dir() const { return dir_.Path(); }

    // Makes the running device write its files and waits until it has.
    void Save();
    // Stops the device (it saves first); returns its closing line, "STATS
    // requests=.. naks=.. drops=.. corrupts=.. resends=.. resend_mismatches=..
    // plays=.. bytes_in=.. bytes_out=.."
    std::string Stop();
    bool Running() const { return pid_ > 0; }

    // From the files the device saved last (Save, Stop or an end of
    // connection): memory bytes at a device address, the decoded firmware
    // image, the 64 KiB signal memory.
    std::string Memory(uint32_t address, size_t length) const;
    std::string Firmware() const;
    std::string SignalMemory() const;

    // Device memory model.
    static constexpr uint32_t kMemorySize = 0x400000;
    static constexpr uint32_t kConfigBase = 0x100000;  // configuration address 0
    static constexpr uint32_t kImageBase = 0x80000;    // memory images start here

  private:
    std::string ReadLine(int timeoutMs);

    SimulatedDeviceOptions options_;
    TempDir dir_;
    int pid_ = -1;
    int out_ = -1;  // orbiksim's standard output
    std::string pending_;
    std::string oldComDir_;
    bool hadComDir_ = false;
};

}  // namespace orbik::test
