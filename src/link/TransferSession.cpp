#include "link/TransferSession.h"

namespace orbik::link {

std::optional<MemSendPlan> PlanMemSend(const std::filesystem::path& file, std::string* error) {
    auto image = ExamineMemImage(file, error);
    if (!image) return std::nullopt;
    MemSendPlan plan;
    plan.job.operation = Operation::TransMem;
    plan.job.fileName = file;
    plan.job.hasHeader = image->hasHeader;
    plan.job.startAddress = image->startAddress;
    plan.job.length = image->length;
    // An empty file is named as such before anything else is said of it.
    if (image->length > 0 && image->startAddress != kMemoryStart) {
        if (error) *error = kInvalidStartAddressMessage;
        return std::nullopt;
    }
    if (!CheckSendFile(plan.job, error)) return std::nullopt;
    plan.shorterThanMemory = image->length != kMemorySize;
    return plan;
}

void RunSession(DeviceLink& link, const std::function<void(bool found)>& run) {
    run(link.Identify());
    link.Disconnect();
}

}  // namespace orbik::link
