#include "link/Transfer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/FileSystem.h"

namespace orbik::link {

namespace fs = std::filesystem;

namespace {

constexpr struct {
    Operation operation;
    const char* code;
} kCodes[] = {
    {Operation::TransCif, "trans_cif"}, {Operation::TransCim, "trans_cim"},
    {Operation::ReadCim, "read_cim"},   {Operation::TransMem, "trans_mem"},
    {Operation::ReadMem, "read_mem"},
};

uint32_t Address24(std::string_view bytes, size_t at) {
    return platform::GetBigEndian(bytes, at, 3);
}

uint32_t BlocksOf(uint64_t bytes, uint32_t blockSize) {
    return uint32_t((bytes + blockSize - 1) / blockSize);
}

std::string BlockText(uint32_t k, uint32_t n) {
    return std::to_string(k) + " of " + std::to_string(n);
}

// The checks on file bytes already read; `name` is how messages show the file.
bool CheckImageBytes(const TransferJob& job, const std::string& bytes, const std::string& name,
                     std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error) *error = name + why;
        return false;
    };
    if (bytes.empty()) return fail(" is empty");
    switch (job.operation) {
        case Operation::TransCif:
            if (bytes.size() % kFrameSize != 0)
                return fail(
                    " is not a framed configuration image (its size is not a multiple of 132)");
            for (size_t at = 0; at < bytes.size(); at += kFrameSize) {
                const auto* data = reinterpret_cast<const uint8_t*>(bytes.data() + at + 3);
                if (XorChecksum(data, kBlockSize) != data[kBlockSize])
                    return fail(": the checksum of frame " + std::to_string(at / kFrameSize + 1) +
                                " is wrong");
                if (Address24(bytes, at) + kBlockSize > kConfigSize)
                    return fail(" does not fit the configuration memory of ORBIK");
            }
            return true;
        case Operation::TransCim:
            if (bytes.size() > kConfigSize)
                return fail(" does not fit the configuration memory of ORBIK");
            return true;
        case Operation::TransMem: {
            uint64_t length = bytes.size() - (job.hasHeader ? kMemHeaderSize : 0);
            if (length == 0) return fail(" is empty");
            if (job.startAddress != kMemoryStart) return fail(": invalid start address");
            if (length > kMemorySize) return fail(" does not fit the memory of ORBIK");
            return true;
        }
        case Operation::ReadCim:
        case Operation::ReadMem:
            return true;
    }
    return true;
}

// One block of a send as the device stores it, and where the progress bar
// stands when it starts.
struct Block {
    uint32_t address = 0;  // configuration address (0x91) or memory address (0x90)
    std::string data;      // 128 bytes; a memory image's last block may be shorter
    uint8_t checksum = 0;
    uint64_t progress = 0;
};

// The file to send, read whole. One larger than the device's memory is
// refused unread; one whose reads fail is refused, never sent in part.
bool ReadSendFile(const TransferJob& job, std::string* bytes, std::string* error) {
    const std::string name = platform::PathToMessage(job.fileName);
    bool memory = job.operation == Operation::TransMem;
    uint64_t limit = memory ? kMemorySize + kMemHeaderSize
                     : job.operation == Operation::TransCif
                         ? uint64_t(kConfigSize) / kBlockSize * kFrameSize
                         : kConfigSize;
    auto fail = [&](const std::string& message) {
        if (error) *error = message;
        return false;
    };
    auto size = platform::RegularFileSize(job.fileName);
    if (!size) return fail(name + " not found");
    if (*size > limit)
        return fail(name + (memory ? " does not fit the memory of ORBIK"
                                   : " does not fit the configuration memory of ORBIK"));
    std::string why;
    if (!platform::ReadWholeFile(job.fileName, bytes, limit, &why))
        return fail("Cannot read " + name + ": " + platform::ErrorReason(why));
    return CheckImageBytes(job, *bytes, name, error);
}

class Runner {
  public:
    Runner(DeviceLink& link, const TransferJob& job, const TransferCallbacks& callbacks)
        : link_(link), job_(job), cb_(callbacks) {}

    TransferOutcome Run() {
        switch (job_.operation) {
            case Operation::TransCif:
            case Operation::TransCim:
            case Operation::TransMem:
                return Send();
            case Operation::ReadCim:
                return Read(kReadConfigBlock, 0, kConfigSize, {});
            case Operation::ReadMem: {
                std::string header;
                platform::AppendBigEndian(header, job_.startAddress, kMemHeaderSize);
                return Read(kReadMemoryBlock, job_.startAddress, job_.length, header);
            }
        }
        return {};
    }

  private:
    enum class LoopEnd { Done, Stopped, Lost };

    void Status(const std::string& text) {
        if (cb_.status) cb_.status(text);
    }
    void Progress(uint64_t done, uint64_t total) {
        if (cb_.progress) cb_.progress(ProgressPercent(done, total));
    }
    // Once per block: let the caller run its events, then see whether Stop
    // came or the line is gone.
    bool KeepGoing() {
        if (cb_.processEvents) cb_.processEvents();
        return !link_.AbortTransfer && !link_.ConnectionLost;
    }
    LoopEnd Ended() const { return link_.ConnectionLost ? LoopEnd::Lost : LoopEnd::Stopped; }
    static TransferOutcome Failed(TransferResult result, std::string message) {
        return {result, std::move(message)};
    }
    TransferOutcome Finished(LoopEnd end) {
        switch (end) {
            case LoopEnd::Done:
                return {TransferResult::Complete, {}};
            case LoopEnd::Stopped:
                return {TransferResult::Stopped, {}};
            case LoopEnd::Lost:
                break;
        }
        return Failed(TransferResult::ConnectionLost, ConnectionLostMessage(link_.PortName()));
    }

    bool IsMemory() const { return job_.operation == Operation::TransMem; }

    // The file as the device will hold it, block by block.
    std::vector<Block> CutIntoBlocks() const {
        std::vector<Block> blocks;
        auto block = [&](uint32_t address, std::string data, uint64_t progress) {
            uint8_t sum = XorChecksum(reinterpret_cast<const uint8_t*>(data.data()), data.size());
            blocks.push_back({address, std::move(data), sum, progress});
        };
        switch (job_.operation) {
            case Operation::TransCif:
                // Sent as they are; the check made sure each checksum is right.
                for (size_t at = 0; at < file_.size(); at += kFrameSize)
                    block(Address24(file_, at), file_.substr(at + 3, kBlockSize), at + kFrameSize);
                break;
            case Operation::TransCim:
                for (size_t at = 0; at < file_.size(); at += kBlockSize) {
                    // The last block is padded with erased bytes.
                    std::string data = file_.substr(at, kBlockSize);
                    data.resize(kBlockSize, char(0xFF));
                    block(uint32_t(at), std::move(data), at);
                }
                break;
            default: {
                const size_t start = job_.hasHeader ? kMemHeaderSize : 0;
                for (size_t sent = 0; start + sent < file_.size(); sent += kBlockSize) {
                    std::string data = file_.substr(start + sent, kBlockSize);
                    uint64_t done = sent + data.size();
                    block(uint32_t(job_.startAddress + sent), std::move(data), done);
                }
                break;
            }
        }
        return blocks;
    }

    // Writes: check the whole file, erase, send block by block, verify when
    // asked, identify.
    TransferOutcome Send() {
        std::string error;
        if (!ReadSendFile(job_, &file_, &error)) return Failed(TransferResult::BadFile, error);
        blocks_ = CutIntoBlocks();

        Status(kDeletingMemoryText);
        // Blocks sent into memory that was not erased would be garbage.
        bool keepVoice = job_.keepVoice && !IsMemory();
        bool erased = link_.Exchange(keepVoice ? kEraseKeepVoice : kEraseMemory, kEraseTimeout);
        if (cb_.loopStarts) cb_.loopStarts();
        if (link_.ConnectionLost) return Finished(LoopEnd::Lost);
        if (!erased) return Failed(TransferResult::NoAnswer, kNoAnswerMessage);
        if (job_.operation == Operation::TransCif) link_.Identify();

        link_.AbortTransfer = false;
        std::vector<size_t> all(blocks_.size());
        for (size_t i = 0; i < all.size(); ++i) all[i] = i;
        LoopEnd end = SendBlocks(all);
        TransferOutcome outcome = Finished(end);
        if (end == LoopEnd::Done && job_.verify) outcome = Verify(all);
        if (outcome.result != TransferResult::ConnectionLost) link_.Identify();
        return outcome;
    }

    // Sends the blocks `which`, each again until the device accepts it.
    LoopEnd SendBlocks(const std::vector<size_t>& which) {
        const bool memory = IsMemory();
        const int requestNumber = memory ? kWriteMemoryBlock : kWriteConfigBlock;
        const int timeout =
            job_.operation == Operation::TransCim ? kRawConfigBlockTimeout : kBlockTimeout;
        const uint64_t total =
            memory ? file_.size() - (job_.hasHeader ? kMemHeaderSize : 0) : file_.size();
        Request& request = link_.Requests[requestNumber];
        uint8_t status = 0;
        for (size_t i = 0; i < which.size();) {
            if (!KeepGoing()) return Ended();
            if (status == 0) {
                const Block& block = blocks_[which[i]];
                SetAddress24(request, block.address);
                // A memory block's count; 128 wraps to 0x80 as intended. Data
                // bytes after a short block's count keep their contents.
                request.payload[4] = uint8_t(block.data.size());
                std::memcpy(&request.payload[5], block.data.data(), block.data.size());
                request.payload[5 + kBlockSize] = block.checksum;
                std::string text = BlockText(uint32_t(which[i] + 1), uint32_t(blocks_.size()));
                // Framed images show the last status too: 0, or it would be resent.
                Status(job_.operation == Operation::TransCif ? text + " " + std::to_string(status)
                                                             : text);
                Progress(blocks_[which[i]].progress, total);
            }
            status = SendBlock(requestNumber, timeout);
            if (status == 0) ++i;
        }
        return LoopEnd::Done;
    }

    // The status byte of a block write; a reply that did not arrive whole
    // counts as a rejection.
    uint8_t SendBlock(int request, int timeoutMs) {
        if (!link_.Exchange(request, timeoutMs)) return 0xFF;
        return link_.ReplyOf(request).buffer[1];
    }

    // Reads back what was sent; blocks that differ are sent again and all
    // are read once more (a resent block may have hidden another), for at
    // most kVerifyRounds reads.
    TransferOutcome Verify(const std::vector<size_t>& all) {
        for (int round = 1;; ++round) {
            std::vector<size_t> differ;
            LoopEnd end = Compare(all, &differ);
            if (end != LoopEnd::Done) return Finished(end);
            if (differ.empty()) return {TransferResult::Complete, kVerifiedText};
            if (round == kVerifyRounds) {
                int n = int(differ.size());
                return {TransferResult::NotVerified,
                        std::to_string(n) + (n == 1 ? " block differs" : " blocks differ") +
                            " from " + job_.fileName.string(),
                        n};
            }
            end = SendBlocks(differ);
            if (end != LoopEnd::Done) return Finished(end);
        }
    }

    LoopEnd Compare(const std::vector<size_t>& which, std::vector<size_t>* differ) {
        const int request = IsMemory() ? kReadMemoryBlock : kReadConfigBlock;
        for (size_t i = 0; i < which.size();) {
            if (!KeepGoing()) return Ended();
            const Block& block = blocks_[which[i]];
            std::string stored;
            if (!ReadBlock(request, block.address, uint32_t(block.data.size()), stored)) continue;
            if (stored != block.data) differ->push_back(which[i]);
            ++i;
            Status("Verifying " + BlockText(uint32_t(i), uint32_t(which.size())));
            Progress(i, which.size());
        }
        return LoopEnd::Done;
    }

    // One block read: accepted only when the whole reply came and data and
    // checksum XOR to 0; a timed-out exchange leaves stale bytes behind.
    bool ReadBlock(int request, uint32_t address, uint32_t count, std::string& out) {
        Request& r = link_.Requests[request];
        SetAddress24(r, address);
        r.payload[4] = uint8_t(count);
        if (!link_.Exchange(request, kBlockTimeout)) return false;
        const uint8_t* reply = link_.ReplyOf(request).buffer.data();
        if (XorChecksum(reply + 1, count + 1) != 0) return false;
        out.append(reinterpret_cast<const char*>(reply + 1), count);
        return true;
    }

    // Reads: the destination's temporary file is made first, so a folder
    // that cannot be written fails before the long read; the data is
    // written in one piece when complete, so a stopped read leaves the
    // chosen file as it was.
    TransferOutcome Read(int request, uint32_t start, uint32_t length, std::string data) {
        platform::PendingFile out;
        std::string error;
        if (!out.Create(job_.fileName, &error))
            return Failed(TransferResult::WriteFailed, "Cannot write " + error);
        const uint32_t blocks = BlocksOf(length, kBlockSize);
        link_.AbortTransfer = false;
        if (cb_.loopStarts) cb_.loopStarts();
        uint32_t done = 0;
        for (uint32_t k = 0; done < length;) {
            if (!KeepGoing()) return Finished(Ended());
            uint32_t count = std::min<uint32_t>(kBlockSize, length - done);
            if (ReadBlock(request, start + done, count, data)) {
                done += count;
                ++k;
                Status(BlockText(k, blocks));
                Progress(done, length);
            }
        }
        if (!out.Commit(data, &error))
            return Failed(TransferResult::WriteFailed, "Cannot write " + error);
        return Finished(LoopEnd::Done);
    }

    DeviceLink& link_;
    const TransferJob& job_;
    const TransferCallbacks& cb_;
    std::string file_;
    std::vector<Block> blocks_;
};

}  // namespace

const char* OperationCode(Operation operation) {
    for (const auto& c : kCodes)
        if (c.operation == operation) return c.code;
    return "";
}

std::optional<Operation> OperationFromCode(std::string_view code) {
    for (const auto& c : kCodes)
        if (code == c.code) return c.operation;
    return std::nullopt;
}

Operation ConfigSendOperation(const fs::path& file) {
    std::string name = file.string();
    return !name.empty() && (name.back() == 'f' || name.back() == 'F') ? Operation::TransCif
                                                                       : Operation::TransCim;
}

bool IsSend(Operation operation) {
    return operation == Operation::TransCif || operation == Operation::TransCim ||
           operation == Operation::TransMem;
}

std::optional<MemImage> ExamineMemImage(const fs::path& file, std::string* error) {
    std::error_code ec;
    fs::path resolved = platform::ResolvePath(file);
    auto size = fs::file_size(resolved, ec);
    if (ec || !platform::FileExists(resolved)) {
        if (error) *error = file.string() + " not found";
        return std::nullopt;
    }
    MemImage image;
    image.length = uint32_t(std::min<uintmax_t>(size, UINT32_MAX));
    if (size == kMemorySize + kMemHeaderSize) {
        std::string bytes;
        if (!platform::ReadWholeFile(resolved, &bytes, kMemorySize + kMemHeaderSize, error))
            return std::nullopt;
        image.hasHeader = true;
        image.startAddress = Address24(bytes, 0);
        image.length = kMemorySize;
    }
    return image;
}

bool CheckSendFile(const TransferJob& job, std::string* error) {
    std::string bytes;
    return ReadSendFile(job, &bytes, error);
}

int ProgressPercent(uint64_t done, uint64_t total) {
    if (total == 0) return 100;
    return int(std::lround(double(done) * 99.0 / double(total))) + 1;
}

TransferOutcome RunTransfer(DeviceLink& link, const TransferJob& job,
                            const TransferCallbacks& callbacks) {
    return Runner(link, job, callbacks).Run();
}

}  // namespace orbik::link
