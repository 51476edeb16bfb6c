#include "link/Transfer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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

uint32_t Address24(const std::string& bytes, size_t at) {
    return uint32_t(uint8_t(bytes[at])) << 16 | uint32_t(uint8_t(bytes[at + 1])) << 8 |
           uint8_t(bytes[at + 2]);
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
                if (BlockChecksum(data, kBlockSize) != data[kBlockSize])
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

// The file to send, read whole. One larger than the device's memory is
// refused unread; one whose reads fail is refused, never sent in part.
bool ReadSendFile(const TransferJob& job, std::string* bytes, std::string* error) {
    const std::string name = job.fileName.string();
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
                return Send(&Runner::CifLoop, job_.keepVoice);
            case Operation::TransCim:
                return Send(&Runner::CimLoop, job_.keepVoice);
            case Operation::TransMem:
                return Send(&Runner::MemLoop, false);
            case Operation::ReadCim:
                return ReadCim();
            case Operation::ReadMem:
                return ReadMem();
        }
        return {};
    }

  private:
    using Loop = bool (Runner::*)();

    void Status(const std::string& text) {
        if (cb_.status) cb_.status(text);
    }
    void Progress(uint64_t done, uint64_t total) {
        if (cb_.progress) cb_.progress(ProgressPercent(done, total));
    }
    // Once per block: let the caller run its events, then see whether Stop came.
    bool KeepGoing() {
        if (cb_.processEvents) cb_.processEvents();
        return !link_.AbortTransfer;
    }
    static TransferOutcome Failed(TransferResult result, std::string message) {
        return {result, std::move(message)};
    }
    TransferOutcome Finished(bool complete) {
        return {complete ? TransferResult::Complete : TransferResult::Stopped, {}};
    }

    // Writes: check the whole file, erase, send block by block, identify.
    TransferOutcome Send(Loop loop, bool keepVoice) {
        std::string error;
        if (!ReadSendFile(job_, &file_, &error)) return Failed(TransferResult::BadFile, error);

        Status(kDeletingMemoryText);
        // Blocks sent into memory that was not erased would be garbage.
        bool erased = link_.Exchange(keepVoice ? kEraseKeepVoice : kEraseMemory, kEraseTimeout);
        if (cb_.loopStarts) cb_.loopStarts();
        if (!erased) return Failed(TransferResult::NoAnswer, kNoAnswerMessage);
        if (job_.operation == Operation::TransCif) link_.Identify();

        link_.AbortTransfer = false;
        bool complete = (this->*loop)();
        link_.Identify();
        return Finished(complete);
    }

    // The status byte of a block write; a reply that did not arrive whole
    // counts as a rejection.
    uint8_t SendBlock(int request, int timeoutMs) {
        if (!link_.Exchange(request, timeoutMs)) return 0xFF;
        return link_.ReplyOf(request).buffer[1];
    }

    bool CifLoop() {
        Request& request = link_.Requests[kWriteConfigBlock];
        const uint32_t frames = uint32_t(file_.size() / kFrameSize);
        uint8_t status = 0;
        for (uint32_t k = 0; k < frames;) {
            if (!KeepGoing()) return false;
            if (status == 0) {
                const char* frame = file_.data() + size_t(k) * kFrameSize;
                std::memcpy(&request.payload[1], frame, 3);
                request.payload[4] = 0x80;
                std::memcpy(&request.payload[5], frame + 3, kBlockSize + 1);
                Status(BlockText(k + 1, frames) + " " + std::to_string(status));
                Progress(uint64_t(k + 1) * kFrameSize, file_.size());
            }
            status = SendBlock(kWriteConfigBlock, kBlockTimeout);
            if (status == 0) ++k;
        }
        return true;
    }

    bool CimLoop() {
        Request& request = link_.Requests[kWriteConfigBlock];
        const uint32_t blocks = BlocksOf(file_.size(), kBlockSize);
        bool fresh = true;
        for (uint32_t k = 0; k < blocks;) {
            if (!KeepGoing()) return false;
            uint32_t address = k * kBlockSize;
            if (fresh) {
                // The last block is padded with erased bytes.
                uint8_t* data = &request.payload[5];
                std::memset(data, 0xFF, kBlockSize);
                size_t count = std::min<size_t>(kBlockSize, file_.size() - address);
                std::memcpy(data, file_.data() + address, count);
                data[kBlockSize] = BlockChecksum(data, kBlockSize);
                request.payload[4] = 0x80;
                SetAddress24(request, address);
                Status(BlockText(k + 1, blocks));
                Progress(address, file_.size());
            }
            fresh = SendBlock(kWriteConfigBlock, kRawConfigBlockTimeout) == 0;
            if (fresh) ++k;
        }
        return true;
    }

    bool MemLoop() {
        Request& request = link_.Requests[kWriteMemoryBlock];
        const size_t start = job_.hasHeader ? kMemHeaderSize : 0;
        const uint64_t length = file_.size() - start;
        const uint32_t blocks = BlocksOf(length, kBlockSize);
        bool fresh = true;
        uint64_t sent = 0;
        for (uint32_t k = 0; k < blocks;) {
            if (!KeepGoing()) return false;
            if (fresh) {
                size_t count = std::min<uint64_t>(kBlockSize, length - sent);
                uint8_t* data = &request.payload[5];
                std::memcpy(data, file_.data() + start + sent, count);
                request.payload[4] = uint8_t(count);  // 128 wraps to 0x80 as intended
                request.payload[133] = BlockChecksum(data, count);
                SetAddress24(request, uint32_t(job_.startAddress + sent));
                sent += count;
                Status(BlockText(k + 1, blocks));
                Progress(sent, length);
            }
            fresh = SendBlock(kWriteMemoryBlock, kBlockTimeout) == 0;
            if (fresh) ++k;
        }
        return true;
    }

    // One block read: accepted only when the whole reply came and data and
    // checksum XOR to 0; a timed-out exchange leaves stale bytes behind.
    bool ReadBlock(int request, uint32_t address, uint32_t count, std::string& out) {
        Request& r = link_.Requests[request];
        SetAddress24(r, address);
        r.payload[4] = uint8_t(count);
        if (!link_.Exchange(request, kBlockTimeout)) return false;
        const uint8_t* reply = link_.ReplyOf(request).buffer.data();
        if (BlockChecksum(reply + 1, count + 1) != 0) return false;
        out.append(reinterpret_cast<const char*>(reply + 1), count);
        return true;
    }

    // Reads: collected in memory and written in one piece when complete, so
    // a stopped read leaves the chosen file as it was.
    TransferOutcome Read(int request, uint32_t start, uint32_t length, std::string data) {
        const uint32_t blocks = BlocksOf(length, kBlockSize);
        link_.AbortTransfer = false;
        if (cb_.loopStarts) cb_.loopStarts();
        uint32_t done = 0;
        for (uint32_t k = 0; done < length;) {
            if (!KeepGoing()) return Finished(false);
            uint32_t count = std::min<uint32_t>(kBlockSize, length - done);
            if (ReadBlock(request, start + done, count, data)) {
                done += count;
                ++k;
                Status(BlockText(k, blocks));
                Progress(done, length);
            }
        }
        std::string error;
        if (!platform::WriteFileAtomic(job_.fileName, data, &error))
            return Failed(TransferResult::WriteFailed, "Cannot write " + job_.fileName.string() +
                                                           ": " + platform::ErrorReason(error));
        return Finished(true);
    }

    TransferOutcome ReadCim() { return Read(kReadConfigBlock, 0, kConfigSize, {}); }

    TransferOutcome ReadMem() {
        std::string header = {char(job_.startAddress >> 16), char(job_.startAddress >> 8),
                              char(job_.startAddress)};
        return Read(kReadMemoryBlock, job_.startAddress, job_.length, header);
    }

    DeviceLink& link_;
    const TransferJob& job_;
    const TransferCallbacks& cb_;
    std::string file_;
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
