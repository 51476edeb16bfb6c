// Packing and unpacking a full IR code file: 51 learned signals of 100
// items each (about 41 KB), mostly the few items every signal of a remote
// shares, plus one item of its own per signal.

#include <benchmark/benchmark.h>

#include <string>

#include "platform/Bytes.h"
#include "signals/IrCodeFile.h"

using namespace orbik::signals;

namespace {

std::string FullUnpackedFile() {
    std::string blocks;
    std::string slots;
    std::uint32_t state = 12345;
    for (int signal = 0; signal < kSlotCount / 2; ++signal) {
        auto offset = static_cast<std::uint16_t>(kHeaderSize + blocks.size());
        orbik::platform::AppendBigEndian(slots, offset, 2);
        orbik::platform::AppendBigEndian(slots, offset, 2);  // both slots share the signal
        orbik::platform::AppendBigEndian(blocks, 100, 2);
        blocks += std::string("\x26\x00\x10\x00\x00\x01", 6);
        for (int i = 0; i < 100; ++i) {
            state = state * 1103515245u + 12345u;
            unsigned id = i == 0    ? 0u
                          : i == 99 ? 1u
                          : i == 50 ? 100u + signal
                                    : 2u + (state >> 16) % 4;
            std::string item(8, '\0');
            orbik::platform::StoreBigEndian(id * 2654435761u, 4, item.data());
            blocks += item;
        }
    }
    return std::string("Bench     ") + static_cast<char>(kUnpackedForm) + slots + blocks;
}

void BM_Pack(benchmark::State& state) {
    std::string unpacked = FullUnpackedFile(), packed;
    if (std::string error; !PackIcp(unpacked, &packed, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (auto _ : state) {
        bool ok = PackIcp(unpacked, &packed);
        benchmark::DoNotOptimize(ok);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * unpacked.size()));
}
BENCHMARK(BM_Pack);

void BM_Unpack(benchmark::State& state) {
    std::string unpacked = FullUnpackedFile(), packed, out;
    if (std::string error; !PackIcp(unpacked, &packed, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (auto _ : state) {
        bool ok = UnpackIcp(packed, &out);
        benchmark::DoNotOptimize(ok);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * out.size()));
}
BENCHMARK(BM_Unpack);

}  // namespace

BENCHMARK_MAIN();
