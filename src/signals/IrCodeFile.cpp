#include "signals/IrCodeFile.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "platform/Bytes.h"
#include "platform/FileSystem.h"

namespace orbik::signals {

namespace {

using Offsets = std::array<std::uint16_t, kSlotCount>;
using Units = std::array<std::size_t, kSlotCount>;
// Dictionary indices of one signal; a dictionary never exceeds 256 entries.
using Indices = std::vector<std::uint8_t>;

constexpr std::size_t kDictionaryStart = kHeaderSize + 1;

bool Fail(std::string* error, std::string message) {
    if (error) *error = std::move(message);
    return false;
}

std::string SlotName(int slot) {
    return "slot " + std::to_string(slot + 1);
}

struct Block {
    std::uint16_t count = 0;
    std::string_view signalHeader;  // 6 bytes
    std::string_view units;         // count x 8 bytes: items or bit string
};

bool ReadBlock(std::string_view data, std::uint16_t offset, Block* block, std::string* why) {
    std::size_t start = offset;
    if (start + kBlockHeaderSize > data.size())
        return Fail(why,
                    "block at offset " + std::to_string(start) + " lies past the end of the file");
    block->count = platform::GetBigEndian(data, start, 2);
    std::size_t length = kItemSize * block->count;
    if (start + kBlockHeaderSize + length > data.size())
        return Fail(why, "block of " + std::to_string(block->count) + " units at offset " +
                             std::to_string(start) + " runs past the end of the file");
    block->signalHeader = data.substr(start + 2, kBlockHeaderSize - 2);
    block->units = data.substr(start + kBlockHeaderSize, length);
    return true;
}

bool ReadBlocks(std::string_view data, const IcpHeader& header,
                std::array<Block, kSlotCount>* blocks, std::string* error) {
    for (int s = 0; s < kSlotCount; ++s) {
        if (header.slots[s] == kEmptySlot) continue;
        std::string why;
        if (!ReadBlock(data, header.slots[s], &(*blocks)[s], &why))
            return Fail(error, SlotName(s) + ": " + why);
    }
    return true;
}

// Blocks are kept shared only between neighbouring slots: a slot that has
// the offset of the slot before gets no block of its own.
bool SharesPrevious(const Offsets& slots, int s) {
    return s > 0 && slots[s] != kEmptySlot && slots[s] == slots[s - 1];
}

bool WritesBlock(const Offsets& slots, int s) {
    return slots[s] != kEmptySlot && !SharesPrevious(slots, s);
}

// The slot table for blocks written one after another from `start`.
bool LayOutSlots(const Offsets& old, const Units& units, std::size_t start, Offsets* result,
                 std::string* error) {
    std::size_t running = start;
    for (int s = 0; s < kSlotCount; ++s) {
        if (old[s] == kEmptySlot) {
            (*result)[s] = kEmptySlot;
            continue;
        }
        // 65535 would read back as an empty slot.
        if (running >= kEmptySlot)
            return Fail(error, SlotName(s) + " would start at offset " + std::to_string(running) +
                                   ", beyond what the slot table can hold");
        (*result)[s] = static_cast<std::uint16_t>(running);
        bool nextShares = s + 1 < kSlotCount && old[s + 1] == old[s];
        if (!nextShares) running += kItemSize * (units[s] + 1);
    }
    return true;
}

std::string ComposeHeader(const IcpHeader& header, std::uint8_t form, const Offsets& slots) {
    std::string out(header.name.data(), header.name.size());
    out += static_cast<char>(form);
    for (std::uint16_t offset : slots) platform::AppendBigEndian(out, offset, 2);
    return out;
}

// Index i becomes i zero bits and a 1 bit, from the most significant bit
// of each byte down; the string is padded with zero bytes to whole units.
bool EncodeBitString(const Indices& indices, std::string* bits) {
    std::string bytes;
    std::size_t bit = 0;
    for (std::uint8_t index : indices) {
        bit += index;
        std::size_t byte = bit / 8;
        if (byte >= kMaxBitStringBytes) return false;
        if (bytes.size() <= byte) bytes.resize(byte + 1, '\0');
        bytes[byte] = static_cast<char>(bytes[byte] | (0x80 >> (bit % 8)));
        ++bit;
    }
    bytes.resize((bytes.size() + kItemSize - 1) / kItemSize * kItemSize, '\0');
    *bits = std::move(bytes);
    return true;
}

// The bit string is read through a zero-filled buffer of 512 bytes; zero
// bits after the last index add up until they pass the dictionary size.
bool DecodeBitString(std::string_view bits, std::size_t entries, Indices* indices,
                     std::string* why) {
    if (bits.size() > kBitBufferSize) return Fail(why, "bit string longer than 512 bytes");
    indices->clear();
    std::size_t run = 0;
    for (std::size_t pos = 0; run < entries; ++pos) {
        if (pos >= kBitBufferSize) return Fail(why, "bit string does not end within 512 bytes");
        auto byte = pos < bits.size() ? static_cast<std::uint8_t>(bits[pos]) : 0;
        int used = 0;
        for (int bit = 0; bit < 8; ++bit) {
            if (!(byte & (0x80 >> bit))) continue;
            run += bit - used;
            used = bit + 1;
            if (run >= entries)
                return Fail(why, "index " + std::to_string(run) +
                                     " lies outside the dictionary of " + std::to_string(entries) +
                                     " items");
            if (indices->size() == kMaxItemsPerSignal) return Fail(why, "more than 1024 items");
            indices->push_back(static_cast<std::uint8_t>(run));
            run = 0;
        }
        run += 8 - used;
    }
    return true;
}

std::size_t DictionaryEntries(std::string_view data) {
    auto stored = static_cast<std::uint8_t>(data[kHeaderSize]);
    return stored == 0 ? kFullDictionary : stored;
}

bool CheckDictionary(std::string_view data, std::size_t* entries, std::string* error) {
    if (data.size() < kDictionaryStart) return Fail(error, "the file ends before its dictionary");
    *entries = DictionaryEntries(data);
    if (kDictionaryStart + kItemSize * *entries > data.size())
        return Fail(
            error, "the file ends within its dictionary of " + std::to_string(*entries) + " items");
    return true;
}

// Items of the file in order of first appearance, with how often each occurs.
struct ItemTable {
    std::vector<std::string_view> items;
    std::vector<std::size_t> counts;
    std::unordered_map<std::string_view, std::uint8_t> ids;
};

bool CountItems(const IcpHeader& header, const std::array<Block, kSlotCount>& blocks,
                ItemTable* table, std::array<Indices, kSlotCount>* ids, std::string* error) {
    // Slots that share a block count its items once per slot.
    for (int s = 0; s < kSlotCount; ++s) {
        if (header.slots[s] == kEmptySlot) continue;
        const Block& block = blocks[s];
        if (block.count > kMaxItemsPerSignal)
            return Fail(error, SlotName(s) + ": more than 1024 items");
        for (std::size_t i = 0; i < block.count; ++i) {
            std::string_view item = block.units.substr(i * kItemSize, kItemSize);
            auto found = table->ids.find(item);
            if (found == table->ids.end()) {
                if (table->items.size() == kMaxDictionary)
                    return Fail(error, "more than 255 different items");
                found =
                    table->ids.emplace(item, static_cast<std::uint8_t>(table->items.size())).first;
                table->items.push_back(item);
                table->counts.push_back(0);
            }
            ++table->counts[found->second];
            (*ids)[s].push_back(found->second);
        }
    }
    return true;
}

}  // namespace

bool ParseIcpHeader(std::string_view bytes, IcpHeader* header, std::string* error) {
    if (bytes.empty()) return Fail(error, "the file is empty");
    if (bytes.size() < kHeaderSize) return Fail(error, "the file is shorter than its header");
    std::copy_n(bytes.begin(), kFileNameSize, header->name.begin());
    header->form = static_cast<std::uint8_t>(bytes[kFileNameSize]);
    header->filler = 0;
    for (int s = 0; s < kSlotCount; ++s)
        header->slots[s] = platform::GetBigEndian(bytes, kFileNameSize + 1 + 2 * s, 2);
    return true;
}

bool ReadIcpHeader(const fs::path& file, IcpHeader* header, std::string* error) {
    std::string bytes;
    if (!platform::ReadWholeFile(file, &bytes, kMaxFileSize, error)) return false;
    if (!ParseIcpHeader(bytes, header, error)) {
        if (error) *error = file.string() + ": " + *error;
        return false;
    }
    return true;
}

bool PackIcp(std::string_view unpacked, std::string* packed, std::string* error) {
    IcpHeader header;
    if (!ParseIcpHeader(unpacked, &header, error)) return false;
    if (IsPackedForm(header.form)) return Fail(error, "the file is already packed");
    std::array<Block, kSlotCount> blocks;
    if (!ReadBlocks(unpacked, header, &blocks, error)) return false;

    ItemTable table;
    std::array<Indices, kSlotCount> ids;
    if (!CountItems(header, blocks, &table, &ids, error)) return false;

    // Most frequent first; equal counts keep the order of first appearance.
    std::vector<std::uint8_t> order(table.items.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::uint8_t a, std::uint8_t b) {
        return table.counts[a] > table.counts[b];
    });
    std::vector<std::uint8_t> rank(order.size());
    for (std::size_t d = 0; d < order.size(); ++d) rank[order[d]] = static_cast<std::uint8_t>(d);

    std::array<std::string, kSlotCount> bits;
    Units bitUnits{}, itemUnits{};
    for (int s = 0; s < kSlotCount; ++s) {
        if (header.slots[s] == kEmptySlot) continue;
        for (auto& id : ids[s]) id = rank[id];
        if (!EncodeBitString(ids[s], &bits[s]))
            return Fail(error, SlotName(s) + ": bit string longer than 257 bytes");
        bitUnits[s] = bits[s].size() / kItemSize;
        itemUnits[s] = blocks[s].count;
    }

    std::size_t entries = table.items.empty() ? kFullDictionary : table.items.size();
    Offsets slots, unpackedSlots;
    if (!LayOutSlots(header.slots, bitUnits, kDictionaryStart + kItemSize * entries, &slots, error))
        return false;
    // A packed file that could not be unpacked again would lose its signals.
    if (!LayOutSlots(header.slots, itemUnits, kHeaderSize, &unpackedSlots, error)) return false;

    std::string out = ComposeHeader(header, kPackedForm, slots);
    out += static_cast<char>(table.items.size());
    if (table.items.empty()) out.append(kItemSize * kFullDictionary, '\0');
    for (std::uint8_t id : order) out += table.items[id];
    for (int s = 0; s < kSlotCount; ++s) {
        if (!WritesBlock(header.slots, s)) continue;
        platform::AppendBigEndian(out, static_cast<std::uint16_t>(bitUnits[s]), 2);
        out += blocks[s].signalHeader;
        out += bits[s];
    }
    *packed = std::move(out);
    return true;
}

bool UnpackIcp(std::string_view packed, std::string* unpacked, std::string* error) {
    IcpHeader header;
    if (!ParseIcpHeader(packed, &header, error)) return false;
    if (!IsPackedForm(header.form)) return Fail(error, "the file is not packed");
    std::size_t entries = 0;
    if (!CheckDictionary(packed, &entries, error)) return false;
    std::array<Block, kSlotCount> blocks;
    if (!ReadBlocks(packed, header, &blocks, error)) return false;

    std::array<Indices, kSlotCount> indices;
    Units units{};
    for (int s = 0; s < kSlotCount; ++s) {
        if (header.slots[s] == kEmptySlot) continue;
        std::string why;
        if (!DecodeBitString(blocks[s].units, entries, &indices[s], &why))
            return Fail(error, SlotName(s) + ": " + why);
        units[s] = indices[s].size();
    }
    Offsets slots;
    if (!LayOutSlots(header.slots, units, kHeaderSize, &slots, error)) return false;

    std::string out = ComposeHeader(header, kUnpackedForm, slots);
    for (int s = 0; s < kSlotCount; ++s) {
        if (!WritesBlock(header.slots, s)) continue;
        platform::AppendBigEndian(out, static_cast<std::uint16_t>(units[s]), 2);
        out += blocks[s].signalHeader;
        for (std::uint8_t index : indices[s])
            out += packed.substr(kDictionaryStart + kItemSize * index, kItemSize);
    }
    *unpacked = std::move(out);
    return true;
}

std::string FileBase(const fs::path& file) {
    std::string name = file.string();
    std::size_t separator = name.find_last_of("/\\");
    std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && (separator == std::string::npos || dot > separator))
        name.erase(dot);
    return name;
}

IcpWorkingNames WorkingNames(const fs::path& file) {
    std::string base = FileBase(file);
    return {file, fs::path(base + ".ICP"), fs::path(base + ".ICU")};
}

namespace {

// Reads `from`, converts it and writes `to` whole; nothing is written on failure.
bool ConvertFile(const fs::path& from, const fs::path& to,
                 bool (*convert)(std::string_view, std::string*, std::string*),
                 std::string* error) {
    std::string input, output;
    if (!platform::ReadWholeFile(from, &input, kMaxFileSize, error)) return false;
    if (!convert(input, &output, error)) {
        if (error) *error = from.string() + ": " + *error;
        return false;
    }
    return platform::WriteFileAtomic(to, output, error);
}

}  // namespace

bool PackIcpFile(const fs::path& file, std::string* error) {
    IcpWorkingNames names = WorkingNames(file);
    return ConvertFile(names.given, names.packed, PackIcp, error);
}

bool UnpackIcpFile(const fs::path& file, std::string* error) {
    IcpWorkingNames names = WorkingNames(file);
    return ConvertFile(names.packed, names.unpacked, UnpackIcp, error);
}

bool DescribeIcp(std::string_view bytes, IcpSummary* summary, std::string* error) {
    if (!ParseIcpHeader(bytes, &summary->header, error)) return false;
    bool packed = IsPackedForm(summary->header.form);
    std::size_t entries = 0;
    if (packed && !CheckDictionary(bytes, &entries, error)) return false;
    summary->dictionarySize = packed ? entries : 0;
    const Offsets& offsets = summary->header.slots;
    for (int s = 0; s < kSlotCount; ++s) {
        IcpSlotInfo& info = summary->slots[s];
        info = IcpSlotInfo{};
        info.offset = offsets[s];
        if (offsets[s] == kEmptySlot) continue;
        info.sharesPrevious = SharesPrevious(offsets, s);
        Block block;
        if (!ReadBlock(bytes, offsets[s], &block, &info.problem)) continue;
        info.count = block.count;
        info.items = block.count;
        Indices indices;
        if (packed)
            info.items =
                DecodeBitString(block.units, entries, &indices, &info.problem) ? indices.size() : 0;
    }
    return true;
}

}  // namespace orbik::signals
