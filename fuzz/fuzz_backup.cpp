// The backup reader on arbitrary bytes: whatever the offsets and counts
// say, it reads only inside the file, and every IR code file it lists has
// its name inside the file.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "backup/Backup.h"

using namespace orbik::backup;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const char* name : {"backup.cim", "backup.mem"}) {
        BackupContents contents;
        std::string error;
        bool ok = ReadBackup(bytes, name, &contents, &error);
        if (ok != error.empty() || contents.deviceTypes.size() > contents.counts[kDevices])
            __builtin_trap();
        for (const auto& type : contents.deviceTypes)
            for (const auto& file : type.irFiles)
                if (file.position + kIrNameSize > size || file.name.size() > kIrNameSize)
                    __builtin_trap();
    }
    return 0;
}
