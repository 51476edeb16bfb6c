// IR code files on arbitrary bytes: reading the header, describing,
// packing and unpacking must never touch memory outside their buffers, and
// whatever they produce must convert back to the same bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "signals/IrCodeFile.h"

using namespace orbik::signals;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    IcpHeader header;
    ParseIcpHeader(bytes, &header);
    IcpSummary summary;
    DescribeIcp(bytes, &summary);

    std::string packed, unpacked, back, again;
    // A packed result unpacks, and packing that again gives the same file.
    if (PackIcp(bytes, &packed)) {
        if (!UnpackIcp(packed, &back) || !PackIcp(back, &again) || again != packed)
            __builtin_trap();
    }
    // An unpacked result that packs comes back unchanged.
    if (UnpackIcp(bytes, &unpacked) && PackIcp(unpacked, &again)) {
        if (!UnpackIcp(again, &back) || back != unpacked) __builtin_trap();
    }
    return 0;
}
