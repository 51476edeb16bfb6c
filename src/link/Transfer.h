#pragma once
// The five transfer operations between an image file and the device, as
// loops that the transfer dialog and the console both run. They report
// through callbacks and let the caller process its events once per block,
// which is when a Stop (DeviceLink::AbortTransfer) is noticed.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "link/Protocol.h"

namespace orbik::link {

enum class Operation { TransCif, TransCim, ReadCim, TransMem, ReadMem };

// "trans_cif", "trans_cim", "read_cim", "trans_mem", "read_mem".
const char* OperationCode(Operation operation);
std::optional<Operation> OperationFromCode(std::string_view code);
// A configuration file is sent framed when its name ends in "f" (either case).
Operation ConfigSendOperation(const std::filesystem::path& file);
bool IsSend(Operation operation);

// The device's areas.
constexpr uint32_t kConfigSize = 0x300000;  // configuration, from address 0
constexpr uint32_t kMemoryStart = 0x80000;  // memory images start here
constexpr uint32_t kMemorySize = 0x380000;
using platform::kFrameSize;  // .cif record: A24, 128 data, checksum
constexpr uint32_t kMemHeaderSize = 3;

struct TransferJob {
    Operation operation = Operation::TransCif;
    std::filesystem::path fileName;
    uint32_t startAddress = kMemoryStart;  // memory operations
    uint32_t length = kMemorySize;         // memory operations: bytes of memory
    bool hasHeader = false;                // trans_mem: the file starts with A24
    bool keepVoice = false;                // configuration sends: erase with 0x95
    bool verify = false;                   // sends: read back, compare, send again
};

// Rounds of reading back after a send with verify; the blocks that differ
// are sent again between rounds.
constexpr int kVerifyRounds = 3;

// What a .mem file holds: with a 3-byte start address when it is exactly
// 0x380003 bytes long, else memory from 0x80000.
struct MemImage {
    bool hasHeader = false;
    uint32_t startAddress = kMemoryStart;
    uint32_t length = 0;
};
std::optional<MemImage> ExamineMemImage(const std::filesystem::path& file, std::string* error);

// Whether a file can be sent as the job says: not empty, frames whole and
// sound, within the device's area. The message names the file. Nothing is
// erased before this holds.
bool CheckSendFile(const TransferJob& job, std::string* error);

struct TransferCallbacks {
    std::function<void(const std::string& text)> status;  // the status line
    std::function<void(int percent)> progress;            // 1..100
    std::function<void()> processEvents;                  // once per block
    std::function<void()> loopStarts;  // after the erase; Stop may be pressed now
};

enum class TransferResult {
    Complete,
    Stopped,
    NoAnswer,
    BadFile,
    WriteFailed,
    ConnectionLost,
    NotVerified,  // blocks still differ after the last verify round
};

struct TransferOutcome {
    TransferResult result = TransferResult::Complete;
    // Empty for Complete and Stopped; kVerifiedText for a verified send.
    std::string message;
    int differingBlocks = 0;  // NotVerified
};

inline const std::string kDeletingMemoryText = "Deleting Memory";
inline const std::string kVerifiedText = "Verified";
inline const std::string kNoAnswerMessage = "No answer from ORBIK, please restart and try again";

// Runs the job on an open, identified link.
TransferOutcome RunTransfer(DeviceLink& link, const TransferJob& job,
                            const TransferCallbacks& callbacks);

// done * 99 / total, to the nearest integer, plus 1.
int ProgressPercent(uint64_t done, uint64_t total);

}  // namespace orbik::link
