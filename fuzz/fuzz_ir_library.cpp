// IR signal library files on arbitrary bytes: every record the directory
// reader keeps lies inside the file, and every other record is counted.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "signals/IrLibrary.h"

using namespace orbik::signals;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    IrDirectory directory = ReadIrDirectory(bytes);
    for (const IrRecord& record : directory.records) {
        std::string_view signal = IrRecordData(bytes, record);
        if (signal.size() != record.length || record.name.size() > kIrNameSize) __builtin_trap();
        // Touch every byte, so a record reaching past the input is caught.
        volatile char sum = 0;
        for (char c : signal) sum = char(sum ^ c);
        if (FindIrRecord(directory, record.name) == nullptr) __builtin_trap();
    }
    std::size_t records = directory.records.size() + std::size_t(directory.skipped);
    if (size >= kIrRecordSize ? records < 1 || records > size / kIrRecordSize : records != 0)
        __builtin_trap();
    return 0;
}
