#pragma once
// The simulated device's memory and its answers to requests, without the
// line: one request frame in, one reply (or none) out.

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace orbiksim {

constexpr uint32_t kMemorySize = 0x400000;
constexpr uint32_t kConfigBase = 0x100000;  // configuration address 0
constexpr uint32_t kConfigSize = 0x300000;
constexpr uint32_t kVoiceStart = 0x80000;  // memory images and the stored voice start here
constexpr uint32_t kVoiceEnd = 0x100000;
constexpr uint32_t kSignalMemorySize = 0x10000;
constexpr size_t kMaxSignalBytes = 8190;  // a longer signal is refused as too long

// What a learn request does: store the learned signal, or fail as the
// device can (the user's signal too long, nobody pressed a key in time, a
// confused line answering with another reply).
enum class LearnOutcome { Learned, TooLong, Timeout, WrongReply };

// A learned signal of `count` 8-byte items: count x 8 + 8 bytes of pattern.
std::vector<uint8_t> SampleSignal(uint16_t count);

struct Faults {
    double nakRate = 0;   // block writes answered "send again" without storing
    double dropRate = 0;  // block replies lost
    // Replies (of every request) with one byte damaged on the line: a parity
    // error, which the PC's port handles as its settings say (DamagedByte).
    double corruptRate = 0;
    // Block replies with one data bit flipped after the code, as two errors
    // in one byte would pass the parity check.
    double bitflipRate = 0;
    std::vector<int> shortReply;  // request codes answered one byte short
    std::vector<int> noReply;     // request codes never answered
};

// What the PC's port makes of a byte with a parity error: drops it (IGNPAR),
// reads it as 0x00 (INPCK alone), or passes it on as damaged (no check).
enum class DamagedByte { Dropped, ReadAsZero, Kept };

struct Stats {
    long requests = 0;
    long naks = 0;
    long drops = 0;
    long corrupts = 0;          // parity errors and bit flips
    long resends = 0;           // frames that repeated a frame answered "send again"
    long resendMismatches = 0;  // frames after "send again" that differed from it
    long plays = 0;
};

class SimDevice {
  public:
    SimDevice();

    std::vector<uint8_t> identifyReply = {0x80, 0x83, 0x04, 0x00};
    std::vector<uint8_t> deviceId = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB};
    std::vector<uint8_t> learnedSignal;  // stored at signal address 0 by learn
    uint8_t learnStatus = 0;
    LearnOutcome learnOutcome = LearnOutcome::Learned;
    Faults faults;
    DamagedByte damagedByte = DamagedByte::Dropped;  // set from the line's settings
    std::mt19937_64 random{1};

    std::vector<uint8_t> memory;
    std::vector<uint8_t> signalMemory;
    Stats stats;

    // The reply to one request payload (code first); nullopt for none.
    std::optional<std::vector<uint8_t>> Handle(const std::vector<uint8_t>& payload);
    // The firmware as sent, undoing the upgrade tool's encoding: the bytes
    // written by 0x90 below the voice area.
    std::vector<uint8_t> DecodedFirmware() const;
    // Set when the last request ended the connection.
    bool endedConnection = false;

  private:
    std::optional<std::vector<uint8_t>> Learn();
    std::optional<std::vector<uint8_t>> Answer(const std::vector<uint8_t>& payload);
    std::vector<uint8_t> WriteBlock(std::vector<uint8_t>& target, uint32_t address,
                                    const uint8_t* data, int count, uint8_t checksum, uint8_t code);
    std::vector<uint8_t> ReadBlock(const std::vector<uint8_t>& source, uint32_t address, int count,
                                   uint8_t code) const;
    bool Chance(double rate);
    void DamageOneByte(std::vector<uint8_t>& reply);
    void TrackResend(const std::vector<uint8_t>& payload, const std::vector<uint8_t>& reply);

    uint32_t firmwareEnd_ = 0;
    std::vector<uint8_t> rejectedFrame_;
};

}  // namespace orbiksim
