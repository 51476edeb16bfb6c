// PackIcp and UnpackIcp against a second, deliberately plain reading of the
// file format, on many generated files: the long way round, one step of the
// format at a time, so that the two can only agree by both being right.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "signals/IrCodeFile.h"

namespace orbik::signals {
namespace {

using Bytes = std::string;

unsigned Word(const Bytes& b, std::size_t at) {
    return static_cast<unsigned char>(b[at]) * 256u + static_cast<unsigned char>(b[at + 1]);
}

void PutWord(Bytes& b, unsigned value) {
    b += static_cast<char>(value >> 8);
    b += static_cast<char>(value & 0xFF);
}

constexpr unsigned kEmpty = 65535;

// The slot table for blocks laid one after another from `start`; a slot with
// the old offset of its neighbour before it shares that neighbour's block.
std::optional<std::vector<unsigned>> Layout(const std::vector<unsigned>& old,
                                            const std::vector<unsigned>& units, unsigned start) {
    std::vector<unsigned> table(102, kEmpty);
    unsigned running = start;
    for (int s = 0; s < 102; ++s) {
        if (old[s] == kEmpty) continue;
        if (running >= kEmpty) return std::nullopt;
        table[s] = running;
        if (!(s < 101 && old[s + 1] == old[s])) running += 8 * (units[s] + 1);
    }
    return table;
}

bool OwnBlock(const std::vector<unsigned>& old, int s) {
    return old[s] != kEmpty && !(s > 0 && old[s] == old[s - 1]);
}

std::optional<Bytes> ModelPack(const Bytes& in) {
    if (in.size() < 215 || static_cast<unsigned char>(in[10]) != 255) return std::nullopt;
    std::vector<unsigned> old(102);
    for (int s = 0; s < 102; ++s) old[s] = Word(in, 11 + 2 * s);

    // Count every slot's items, a shared block once per slot.
    std::vector<Bytes> table;
    std::vector<int> counts;
    std::vector<std::vector<int>> slotItems(102);
    std::vector<Bytes> signalHeaders(102);
    for (int s = 0; s < 102; ++s) {
        if (old[s] == kEmpty) continue;
        if (old[s] + 8 > in.size()) return std::nullopt;
        unsigned count = Word(in, old[s]);
        if (old[s] + 8 + 8ull * count > in.size()) return std::nullopt;
        signalHeaders[s] = in.substr(old[s] + 2, 6);
        for (unsigned j = 0; j < count; ++j) {
            Bytes item = in.substr(old[s] + 8 + 8 * j, 8);
            auto found = std::find(table.begin(), table.end(), item);
            int id = static_cast<int>(found - table.begin());
            if (found == table.end()) {
                if (table.size() == 255) return std::nullopt;
                table.push_back(item);
                counts.push_back(0);
            }
            ++counts[id];
            slotItems[s].push_back(id);
        }
    }

    // Highest count first; the earlier appended wins a tie.
    std::vector<int> dictionary, indexOf(table.size());
    std::vector<bool> picked(table.size());
    for (std::size_t k = 0; k < table.size(); ++k) {
        int best = -1;
        for (std::size_t e = 0; e < table.size(); ++e)
            if (!picked[e] && (best < 0 || counts[e] > counts[best])) best = static_cast<int>(e);
        picked[best] = true;
        indexOf[best] = static_cast<int>(dictionary.size());
        dictionary.push_back(best);
    }

    std::vector<Bytes> bits(102);
    std::vector<unsigned> units(102);
    for (int s = 0; s < 102; ++s) {
        if (old[s] == kEmpty) continue;
        std::vector<unsigned char> buffer(1, 0);
        int byte = 0, position = 7;
        for (int id : slotItems[s]) {
            int i = indexOf[id];
            while (i > position) {
                ++byte;
                if (byte > 256) return std::nullopt;
                buffer.push_back(0);
                i -= position + 1;
                position = 7;
            }
            buffer[byte] |= static_cast<unsigned char>(1u << (position - i));
            position -= i + 1;
        }
        unsigned used = byte + (position != 7 ? 1 : 0);
        units[s] = (used + 7) / 8;
        buffer.resize(8 * units[s], 0);
        bits[s].assign(buffer.begin(), buffer.end());
    }

    unsigned entries = table.empty() ? 256 : static_cast<unsigned>(table.size());
    auto slots = Layout(old, units, 216 + 8 * entries);
    if (!slots) return std::nullopt;
    Bytes out = in.substr(0, 10);
    out += '\0';
    for (unsigned offset : *slots) PutWord(out, offset);
    out += static_cast<char>(table.size());
    if (table.empty()) out += Bytes(2048, '\0');
    for (int e : dictionary) out += table[e];
    for (int s = 0; s < 102; ++s) {
        if (!OwnBlock(old, s)) continue;
        PutWord(out, units[s]);
        out += signalHeaders[s] + bits[s];
    }
    return out;
}

std::optional<Bytes> ModelUnpack(const Bytes& in) {
    if (in.size() < 216 || static_cast<unsigned char>(in[10]) != 0) return std::nullopt;
    std::vector<unsigned> old(102);
    for (int s = 0; s < 102; ++s) old[s] = Word(in, 11 + 2 * s);
    unsigned n = static_cast<unsigned char>(in[215]);
    if (n == 0) n = 256;
    if (216 + 8 * n > in.size()) return std::nullopt;

    std::vector<std::vector<unsigned>> indices(102);
    std::vector<Bytes> signalHeaders(102);
    std::vector<unsigned> units(102);
    for (int s = 0; s < 102; ++s) {
        if (old[s] == kEmpty) continue;
        if (old[s] + 8 > in.size()) return std::nullopt;
        unsigned count = Word(in, old[s]);
        if (8 * count > 512 || old[s] + 8 + 8 * count > in.size()) return std::nullopt;
        signalHeaders[s] = in.substr(old[s] + 2, 6);
        Bytes buffer = in.substr(old[s] + 8, 8 * count);
        buffer.resize(512, '\0');
        unsigned run = 0;
        for (std::size_t b = 0;; ++b) {
            if (run >= n) break;
            if (b == buffer.size()) return std::nullopt;  // no end within the buffer
            unsigned value = static_cast<unsigned char>(buffer[b]);
            int used = 0;
            for (int bit = 7; bit >= 0; --bit) {
                if (value & (1u << bit)) {
                    run += (7 - bit) - used;
                    used = 8 - bit;
                    if (run >= n || indices[s].size() == 1024) return std::nullopt;
                    indices[s].push_back(run);
                    run = 0;
                }
            }
            run += 8 - used;
        }
        units[s] = static_cast<unsigned>(indices[s].size());
    }

    auto slots = Layout(old, units, 215);
    if (!slots) return std::nullopt;
    Bytes out = in.substr(0, 10);
    out += '\xFF';
    for (unsigned offset : *slots) PutWord(out, offset);
    for (int s = 0; s < 102; ++s) {
        if (!OwnBlock(old, s)) continue;
        PutWord(out, units[s]);
        out += signalHeaders[s];
        for (unsigned i : indices[s]) out += in.substr(216 + 8 * i, 8);
    }
    return out;
}

std::optional<Bytes> Pack(const Bytes& in) {
    Bytes out;
    return PackIcp(in, &out) ? std::optional<Bytes>(out) : std::nullopt;
}

std::optional<Bytes> Unpack(const Bytes& in) {
    Bytes out;
    return UnpackIcp(in, &out) ? std::optional<Bytes>(out) : std::nullopt;
}

// Unpacked files as the editor writes them: blocks in slot order from 215,
// second slots empty, sharing the first slot's block, or with their own.
// Items are drawn from `kinds` distinct ones with a skew, so that counts
// differ, tie and run from a single item to past the dictionary's limit.
class FileGenerator {
  public:
    explicit FileGenerator(unsigned seed) : random_(seed) {}

    Bytes Next() {
        static constexpr int kKinds[] = {1, 2, 7, 8, 9, 30, 120, 255, 256};
        int kinds = kKinds[Pick(std::size(kKinds))];
        int learned = 1 + static_cast<int>(Pick(51));
        int maxItems = Pick(4) == 0 ? 300 : 40;
        Bytes name = "Dev " + std::to_string(Pick(100000));
        name.resize(10, ' ');
        Bytes file = name + '\xFF', blocks;
        std::vector<unsigned> slots(102, kEmpty);
        // Offsets are 16 bits: stop well before a block could start past them.
        for (int signal = 0; signal < 51 && blocks.size() < 50000; ++signal) {
            if (Pick(51) >= static_cast<unsigned>(learned)) continue;
            slots[2 * signal] = 215 + blocks.size();
            blocks += Block(kinds, maxItems);
            switch (Pick(3)) {
                case 0:
                    break;
                case 1:
                    slots[2 * signal + 1] = slots[2 * signal];
                    break;
                default:
                    slots[2 * signal + 1] = 215 + blocks.size();
                    blocks += Block(kinds, maxItems);
            }
        }
        for (unsigned offset : slots) PutWord(file, offset);
        return file + blocks;
    }

    unsigned Pick(std::size_t bound) {
        return std::uniform_int_distribution<unsigned>(0, bound - 1)(random_);
    }

  private:
    Bytes Block(int kinds, int maxItems) {
        unsigned count = Pick(maxItems + 1);
        Bytes block;
        PutWord(block, count);
        block += "\x5A\x01\x02\x03\x04";
        block += static_cast<char>(Pick(100));  // repetitions
        std::geometric_distribution<int> skew(kinds > 30 ? 0.02 : 0.3);
        for (unsigned j = 0; j < count; ++j) {
            int kind = skew(random_) % kinds;
            block += "IR";
            block += static_cast<char>(kind >> 8);
            block += static_cast<char>(kind);
            block += "\x10\x20\x30";
            block += static_cast<char>(kind * 7);
        }
        return block;
    }

    std::mt19937 random_;
};

TEST(IrCodeFileModel, PackAndUnpackAgreeWithThePlainReadingOnGeneratedFiles) {
    FileGenerator files(20261208);
    int packed = 0, refused = 0;
    for (int n = 0; n < 300; ++n) {
        Bytes unpacked = files.Next();
        SCOPED_TRACE("file " + std::to_string(n));
        auto expected = ModelPack(unpacked);
        auto actual = Pack(unpacked);
        ASSERT_EQ(actual.has_value(), expected.has_value());
        if (!expected) {
            ++refused;
            continue;
        }
        ++packed;
        ASSERT_EQ(*actual, *expected);
        // The editor's files are already in canonical order: unpacking gives them back.
        auto back = Unpack(*actual);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(*back, *ModelUnpack(*actual));
        EXPECT_EQ(*back, unpacked);
        EXPECT_EQ(Pack(*back), actual);
    }
    // Both outcomes must have been exercised for the comparison to mean anything.
    EXPECT_GT(packed, 150);
    EXPECT_GT(refused, 10);
}

// Damaged packed files: wherever the bytes were changed, the implementation
// unpacks exactly what the plain reading does, or both refuse.
TEST(IrCodeFileModel, UnpackAgreesOnDamagedFiles) {
    FileGenerator files(77);
    int compared = 0, refused = 0;
    while (compared < 400) {
        auto packed = Pack(files.Next());
        if (!packed) continue;
        for (int k = 0; k < 4; ++k, ++compared) {
            Bytes damaged = *packed;
            for (unsigned flips = 1 + files.Pick(3); flips > 0; --flips) {
                // Mostly the bit strings, sometimes the slot table or the dictionary size.
                std::size_t at =
                    files.Pick(4) == 0 ? 11 + files.Pick(205) : files.Pick(damaged.size());
                damaged[at] = static_cast<char>(damaged[at] ^ (1u << files.Pick(8)));
            }
            if (files.Pick(8) == 0) damaged.resize(files.Pick(damaged.size()));
            SCOPED_TRACE("damaged file " + std::to_string(compared));
            auto expected = ModelUnpack(damaged);
            ASSERT_EQ(Unpack(damaged), expected);
            if (!expected) ++refused;
        }
    }
    EXPECT_GT(refused, 20);
    EXPECT_LT(refused, compared - 20);
}

}  // namespace
}  // namespace orbik::signals
