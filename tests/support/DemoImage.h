#pragma once
// Backups made from a real build: the demo project built in a program
// directory of its own, and memory images that hold its configuration
// where the device keeps it.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace orbik::test {

// Copies the demo project and its recordings into `programDir`, lets
// `edit` change the project folder, builds it and returns the .CIM bytes
// (empty when the build failed).
std::string BuildDemoCim(const std::filesystem::path& programDir,
                         const std::function<void(const std::filesystem::path&)>& edit = {});

// A memory image of 0x380000 bytes from 0x80000, the configuration at
// 0x100000; with `header` the 3-byte start address 0x080000 comes first.
std::string MemoryImage(std::string_view cim, bool header);

}  // namespace orbik::test
