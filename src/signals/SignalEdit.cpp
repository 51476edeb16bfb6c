#include "signals/SignalEdit.h"

#include <algorithm>

namespace orbik::signals {

bool IsLearned(const SlotData& data, int k) {
    return !data.slots[FirstSlot(k)].empty();
}

std::string ShownSignalName(bool learned, std::string_view name) {
    return std::string(learned && name == kNotUsed ? kInUse : name);
}

std::string SignalLengthText(const SlotData& data, int k) {
    const std::string& first = data.slots[FirstSlot(k)];
    const std::string& second = data.slots[SecondSlot(k)];
    if (first.empty()) return "n.a.";
    std::string text = std::to_string(first.size());
    if (!second.empty() && second != first) text += " / " + std::to_string(second.size());
    return text;
}

std::uint64_t BytesUsedWith(const SlotData& data, int k, const std::string& first,
                            const std::string& second) {
    SlotData changed = data;
    changed.slots[FirstSlot(k)] = first;
    changed.slots[SecondSlot(k)] = second;
    return BytesUsed(changed);
}

void DeleteSignal(SlotData& data, SignalNameList& names, int k) {
    data.slots[FirstSlot(k)].clear();
    data.slots[SecondSlot(k)].clear();
    names[std::size_t(k)] = std::string(kNotUsed);
}

TakeResult TakeLibrarySignal(SlotData& data, SignalNameList& names, int k, std::string_view block,
                             std::string_view recordName, bool toggle) {
    // A toggle signal needs a first one to alternate with.
    toggle = toggle && IsLearned(data, k);
    std::string first = toggle ? data.slots[FirstSlot(k)] : std::string(block);
    std::string second = toggle ? std::string(block) : std::string();
    std::uint64_t used = BytesUsedWith(data, k, first, second);
    if (used >= kSignalMemoryCapacity) return {false, BytesUsed(data)};
    data.slots[FirstSlot(k)] = std::move(first);
    data.slots[SecondSlot(k)] = std::move(second);
    std::string& name = names[std::size_t(k)];
    if (toggle) {
        name.erase(name.find_last_not_of(' ') + 1);
        name += " / " + std::string(recordName);
    } else {
        name = std::string(recordName);
    }
    return {true, used};
}

int Repetitions(const SlotData& data, int k) {
    const std::string& first = data.slots[FirstSlot(k)];
    return first.size() > kRepetitionByte ? static_cast<unsigned char>(first[kRepetitionByte]) : 0;
}

void SetRepetitions(SlotData& data, int k, int count) {
    char value = char(std::clamp(count, 0, kMaxRepetitions));
    for (std::size_t slot : {FirstSlot(k), SecondSlot(k)})
        if (data.slots[slot].size() > kRepetitionByte) data.slots[slot][kRepetitionByte] = value;
}

}  // namespace orbik::signals
