#pragma once
// Builds the bytes of an IR signal library file for tests: the directory
// of 29-byte records, then the records' data in order.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace orbik::test {

inline std::string IrLibraryBytes(const std::vector<std::pair<std::string, std::string>>& records) {
    std::string directory, data;
    const size_t dataStart = records.size() * 29;
    for (const auto& [name, bytes] : records) {
        std::string record(29, '\0');
        record[0] = char(name.size());
        record.replace(1, name.size(), name);
        uint32_t offset = uint32_t(dataStart + data.size()), length = uint32_t(bytes.size());
        for (int i = 0; i < 4; ++i) {
            record[21 + i] = char(offset >> (8 * i));
            record[25 + i] = char(length >> (8 * i));
        }
        directory += record;
        data += bytes;
    }
    return directory + data;
}

}  // namespace orbik::test
