#include "signals/SlotData.h"

#include "platform/Bytes.h"
#include "signals/SignalNames.h"

namespace orbik::signals {

namespace {

bool Fail(std::string* error, std::string message) {
    if (error) *error = std::move(message);
    return false;
}

// An even slot (index odd, from 0) that the writer stores as its partner.
bool SharesPartner(const SlotData& data, int index) {
    return index % 2 == 1 && !data.slots[size_t(index) - 1].empty() &&
           (data.slots[size_t(index)].empty() ||
            data.slots[size_t(index)] == data.slots[size_t(index) - 1]);
}

}  // namespace

bool ReadSlotData(std::string_view unpacked, SlotData* data, std::string* error) {
    IcpHeader header;
    if (!ParseIcpHeader(unpacked, &header, error)) return false;
    if (IsPackedForm(header.form)) return Fail(error, "the file is packed");
    SlotData read;
    read.fileHeader.assign(unpacked.substr(0, kFileNameSize));
    for (int i = 0; i < kSlotCount; ++i) {
        std::uint16_t offset = header.slots[size_t(i)];
        if (offset == kEmptySlot) continue;
        if (std::size_t(offset) + kBlockHeaderSize > unpacked.size())
            return Fail(error, "slot " + std::to_string(i + 1) + " lies outside the file");
        std::size_t length =
            std::size_t(platform::GetBigEndian(unpacked, offset, 2)) * kItemSize + kBlockHeaderSize;
        if (offset + length > unpacked.size())
            return Fail(error, "slot " + std::to_string(i + 1) + " lies outside the file");
        read.slots[size_t(i)].assign(unpacked.substr(offset, length));
    }
    *data = std::move(read);
    return true;
}

std::uint64_t BytesUsed(const SlotData& data) {
    std::uint64_t used = kHeaderSize;
    for (int i = 0; i < kSlotCount; ++i) {
        const std::string& block = data.slots[size_t(i)];
        if (block.empty()) continue;
        if (i % 2 == 1 && block == data.slots[size_t(i) - 1]) continue;
        used += block.size();
    }
    return used;
}

bool WriteUnpacked(const SlotData& data, std::string* unpacked, std::string* error) {
    if (BytesUsed(data) > kSignalMemoryCapacity) return Fail(error, kNotEnoughMemoryText);
    std::string header = data.fileHeader;
    header.resize(kFileNameSize, ' ');
    header += char(kUnpackedForm);
    std::string blocks;
    std::uint32_t offset = kHeaderSize, previous = kEmptySlot;
    for (int i = 0; i < kSlotCount; ++i) {
        const std::string& block = data.slots[size_t(i)];
        std::uint32_t slotOffset = kEmptySlot;
        if (SharesPartner(data, i)) {
            slotOffset = previous;
        } else if (!block.empty()) {
            slotOffset = offset;
            blocks += block;
            offset += std::uint32_t(block.size());
        }
        platform::AppendBigEndian(header, slotOffset, 2);
        previous = slotOffset;
    }
    *unpacked = header + blocks;
    return true;
}

int SignalIndex(std::string_view key) {
    for (int k = 0; k < kSignalCount; ++k)
        if (SignalKey(k) == key) return k;
    return -1;
}

}  // namespace orbik::signals
