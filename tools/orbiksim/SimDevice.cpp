#include "SimDevice.h"

#include <algorithm>
#include <iterator>

#include "platform/Bytes.h"

namespace orbiksim {

namespace {

bool IsBlockRequest(uint8_t code) {
    return code == 0x90 || code == 0x91 || code == 0x92 || code == 0x93 || code == 0xB3 ||
           code == 0xB4;
}

bool IsBlockWrite(uint8_t code) {
    return code == 0x90 || code == 0x91 || code == 0xB3;
}

using orbik::platform::XorChecksum;

// The address field of a block request, after the request code.
uint32_t Address24(const std::vector<uint8_t>& p) {
    return orbik::platform::LoadBigEndian(&p[1], 3);
}

uint32_t Address16(const std::vector<uint8_t>& p) {
    return orbik::platform::LoadBigEndian(&p[1], 2);
}

bool Contains(const std::vector<int>& codes, int code) {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

// Replies of the requests the device knows but this system never sends:
// their slot's length and code, zero-filled.
std::optional<std::vector<uint8_t>> OtherReply(uint8_t code) {
    switch (code) {
        case 0x82:
        case 0xA0:
        case 0xA1:
        case 0xA4:
        case 0xA5:
        case 0xA6:
        case 0xA7:
        case 0xA8:
        case 0xA9:
        case 0xC1:
        case 0xC9:
            return std::vector<uint8_t>{0x80, 0, 0, 0};
        case 0xA2:
        case 0xAA:
            return std::vector<uint8_t>{0xA0, 0, 0, 0};
        case 0xB0:
            return std::vector<uint8_t>{0xB1, 0, 0, 0, 0, 0};
        case 0xC8: {
            std::vector<uint8_t> reply(20, 0);
            reply[0] = 0xC8;
            return reply;
        }
        default:
            return std::nullopt;
    }
}

}  // namespace

std::vector<uint8_t> SampleSignal(uint16_t count) {
    std::vector<uint8_t> signal(size_t(count) * 8 + 8);
    signal[0] = static_cast<uint8_t>(count >> 8);
    signal[1] = static_cast<uint8_t>(count);
    for (size_t i = 2; i < signal.size(); ++i) signal[i] = static_cast<uint8_t>(i * 37 + 11);
    return signal;
}

// A learned signal when none was given: count 20, so 168 bytes.
SimDevice::SimDevice()
    : learnedSignal(SampleSignal(20)),
      memory(kMemorySize, 0xFF),
      signalMemory(kSignalMemorySize, 0) {
    // An empty signal memory reads as a record that holds no signal.
    signalMemory[1] = 0xFF;
    signalMemory[2] = 0xFF;
}

bool SimDevice::Chance(double rate) {
    return rate > 0 && std::uniform_real_distribution<double>(0, 1)(random) < rate;
}

std::optional<std::vector<uint8_t>> SimDevice::Handle(const std::vector<uint8_t>& payload) {
    ++stats.requests;
    endedConnection = false;
    if (payload.empty()) return std::nullopt;
    uint8_t code = payload[0];
    if (Contains(faults.noReply, code)) return std::nullopt;
    auto reply = Answer(payload);
    if (!reply) return reply;
    if (IsBlockRequest(code)) {
        if (IsBlockWrite(code)) TrackResend(payload, *reply);
        if (Chance(faults.dropRate)) {
            ++stats.drops;
            return std::nullopt;
        }
        if (reply->size() > 1 && Chance(faults.bitflipRate)) {
            ++stats.corrupts;
            size_t at = 1 + random() % (reply->size() - 1);
            (*reply)[at] ^= static_cast<uint8_t>(1u << (random() % 8));
        }
    }
    if (!reply->empty() && Chance(faults.corruptRate)) DamageOneByte(*reply);
    if (Contains(faults.shortReply, code)) reply->pop_back();
    return reply;
}

void SimDevice::DamageOneByte(std::vector<uint8_t>& reply) {
    ++stats.corrupts;
    size_t at = random() % reply.size();
    switch (damagedByte) {
        case DamagedByte::Dropped:
            reply.erase(reply.begin() + static_cast<long>(at));
            break;
        case DamagedByte::ReadAsZero:
            reply[at] = 0;
            break;
        case DamagedByte::Kept:
            reply[at] ^= static_cast<uint8_t>(1u << (random() % 8));
            break;
    }
}

void SimDevice::TrackResend(const std::vector<uint8_t>& payload,
                            const std::vector<uint8_t>& reply) {
    if (!rejectedFrame_.empty()) {
        if (payload == rejectedFrame_)
            ++stats.resends;
        else
            ++stats.resendMismatches;
    }
    rejectedFrame_.clear();
    if (reply.size() >= 2 && reply[1] != 0) rejectedFrame_ = payload;
}

std::vector<uint8_t> SimDevice::WriteBlock(std::vector<uint8_t>& target, uint32_t address,
                                           const uint8_t* data, int count, uint8_t checksum,
                                           uint8_t code) {
    bool fits =
        count >= 1 && count <= 128 && address + static_cast<uint32_t>(count) <= target.size();
    if (!fits || XorChecksum(data, count) != checksum) return {code, 1};
    if (Chance(faults.nakRate)) {
        ++stats.naks;
        return {code, 1};
    }
    std::copy(data, data + count, target.begin() + address);
    return {code, 0};
}

std::vector<uint8_t> SimDevice::ReadBlock(const std::vector<uint8_t>& source, uint32_t address,
                                          int count, uint8_t code) const {
    std::vector<uint8_t> reply(static_cast<size_t>(count) + 2, 0xFF);
    reply[0] = code;
    for (int i = 0; i < count; ++i) reply[1 + i] = source[(address + i) % source.size()];
    reply[1 + count] = XorChecksum(reply.data() + 1, count);
    return reply;
}

std::optional<std::vector<uint8_t>> SimDevice::Learn() {
    switch (learnOutcome) {
        case LearnOutcome::Timeout:
            return std::nullopt;
        case LearnOutcome::WrongReply:
            return std::vector<uint8_t>{0x90, 0};
        case LearnOutcome::TooLong:
            return std::vector<uint8_t>{0xB0, 1};
        case LearnOutcome::Learned:
            break;
    }
    // The device cannot hold a longer signal, and keeps the one it had.
    if (learnedSignal.size() > kMaxSignalBytes) return std::vector<uint8_t>{0xB0, 1};
    if (learnStatus == 0)
        std::copy(learnedSignal.begin(), learnedSignal.end(), signalMemory.begin());
    return std::vector<uint8_t>{0xB0, learnStatus};
}

std::optional<std::vector<uint8_t>> SimDevice::Answer(const std::vector<uint8_t>& p) {
    const std::vector<uint8_t> done = {0x80, 0, 0, 0};
    switch (p[0]) {
        case 0x80:
            return identifyReply;
        case 0x81:
            endedConnection = true;
            return done;
        case 0x90: {
            if (p.size() < 134) return std::nullopt;
            uint32_t address = Address24(p);
            // The count says how many data bytes count; the checksum stays last.
            auto reply = WriteBlock(memory, address, &p[5], p[4], p[133], 0x90);
            if (reply[1] == 0 && address < kVoiceStart)
                firmwareEnd_ = std::max(firmwareEnd_, std::min(kVoiceStart, address + p[4]));
            return reply;
        }
        case 0x91: {
            if (p.size() < 134) return std::nullopt;
            uint32_t address = Address24(p);
            if (address + 128 > kConfigSize) return std::vector<uint8_t>{0x90, 1};
            return WriteBlock(memory, kConfigBase + address, &p[5], 128, p[133], 0x90);
        }
        case 0x92:
        case 0x93: {
            if (p.size() < 5 || p[4] > 128) return std::nullopt;
            uint32_t address = Address24(p) + (p[0] == 0x93 ? kConfigBase : 0);
            return ReadBlock(memory, address, p[4], 0x91);
        }
        case 0x94:
            std::fill(memory.begin() + kVoiceStart, memory.end(), 0xFF);
            return done;
        case 0x95:
            std::fill(memory.begin() + kVoiceEnd, memory.end(), 0xFF);
            return done;
        case 0xB1:
            return Learn();
        case 0xB2:
            ++stats.plays;
            return std::vector<uint8_t>{0xB0, 0};
        case 0xB3:
            if (p.size() < 133) return std::nullopt;
            return WriteBlock(signalMemory, Address16(p), &p[4], 128, p[132], 0xB0);
        case 0xB4:
            if (p.size() < 4) return std::nullopt;
            return ReadBlock(signalMemory, Address16(p), 128, 0xB2);
        case 0xC0: {
            // The device answers only the request with its fixed bytes.
            static const uint8_t kKey[] = {0x5A, 0x13, 0xC7, 0x2E};
            if (p.size() < 5 || !std::equal(std::begin(kKey), std::end(kKey), p.begin() + 1))
                return std::nullopt;
            std::vector<uint8_t> reply(55, 0);
            reply[0] = 0xC0;
            std::copy(deviceId.begin(), deviceId.end(), reply.begin() + 1);
            return reply;
        }
        default:
            return OtherReply(p[0]);
    }
}

std::vector<uint8_t> SimDevice::DecodedFirmware() const {
    // Each sent byte is the running state after state ^= ~x.
    std::vector<uint8_t> image(firmwareEnd_);
    uint8_t state = 0x40;
    for (uint32_t i = 0; i < firmwareEnd_; ++i) {
        image[i] = static_cast<uint8_t>(~(state ^ memory[i]));
        state = memory[i];
    }
    return image;
}

}  // namespace orbiksim
