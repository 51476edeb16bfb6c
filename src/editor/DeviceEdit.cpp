#include "editor/DeviceEdit.h"

#include <algorithm>

#include "editor/MenuOperations.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "project/ProjectLayout.h"
#include "projects/NewName.h"
#include "signals/IcpLibrary.h"

namespace orbik::editor {

namespace {

fs::path In(const fs::path& dir, std::string_view file) {
    return dir / platform::NameToPath(file);
}

bool Fail(std::string* error, std::string message) {
    if (error) *error = std::move(message);
    return false;
}

// Copies whole, replacing the target (in whatever case it is spelled).
bool CopyOver(const fs::path& from, const fs::path& to, std::string* error) {
    std::string bytes;
    return platform::ReadWholeFile(from, &bytes, signals::kMaxFileSize, error) &&
           platform::WriteFileAtomic(to, bytes, error);
}

std::string WithExtension(std::string_view file, std::string_view extension) {
    return signals::FileBase(platform::NameToPath(file)) + std::string(extension);
}

}  // namespace

bool IsWorkFolderDevice(std::string_view device) {
    return platform::EqualsIgnoreCase(device, kDeviceWorkFolder);
}

bool HasWorkFolderDevice(const ProjectModel& model) {
    return std::any_of(model.devices.begin(), model.devices.end(),
                       [](const DeviceRecord& d) { return IsWorkFolderDevice(d.name); });
}

CodeFileList OpenCodeFiles(const fs::path& projectDir, const DeviceRecord& device, int startOption,
                           bool copy, std::vector<std::string>* failures) {
    CodeFileList list;
    fs::path workDir = project::DeviceWorkDir(projectDir);
    std::string error;
    if (copy && !platform::DirectoryExists(workDir) &&
        !platform::CreateDirectories(workDir, &error)) {
        if (failures) failures->push_back(error);
        return list;
    }
    for (std::size_t i = 0; i < device.signalFiles.size(); ++i) {
        const std::string& file = device.signalFiles[i];
        fs::path source = project::DeviceTypeFile(projectDir, device.name, file);
        if (!platform::FileExists(source)) continue;
        if (copy) {
            fs::path names = signals::SignalNameFile(source);
            if (!CopyOver(source, In(workDir, file), &error) ||
                (platform::FileExists(names) &&
                 !CopyOver(names, signals::SignalNameFile(In(workDir, file)), &error))) {
                if (failures) failures->push_back(error);
                continue;
            }
        }
        if (int(i) == startOption) list.ticked = int(list.files.size());
        list.files.push_back(file);
    }
    return list;
}

bool CanChangeCodeFile(const std::vector<std::string>& files, int selected) {
    if (selected <= 0 || selected >= int(files.size()) || files.size() < 2) return false;
    const std::string& file = files[std::size_t(selected)];
    return !platform::EqualsIgnoreCase(file, "--01.icp") &&
           !platform::EqualsIgnoreCase(file, "--02.icp");
}

CodeFileView ReadCodeFile(const fs::path& dir, std::string_view file, bool writeMissingNames) {
    CodeFileView view;
    fs::path path = In(dir, file), names = signals::SignalNameFile(path);
    if (platform::FileExists(names)) {
        view.names = signals::ReadSignalNames(names);
    } else {
        view.names = signals::UnusedSignalNames();
        if (writeMissingNames) signals::WriteSignalNames(names, view.names);
    }
    signals::IcpHeader header;
    if (signals::ReadIcpHeader(path, &header))
        for (int k = 0; k < signals::kSignalCount; ++k)
            view.learned[std::size_t(k)] = header.slots[std::size_t(2 * k)] != signals::kEmptySlot;
    return view;
}

std::string CheckNewCodeFileName(const fs::path& workDir, std::string_view name) {
    if (projects::CheckNewName(name) != projects::NameCheck::Ok) return projects::NotAllowedText();
    if (name.size() > kCodeFileNameBound)
        return "At most " + std::to_string(kCodeFileNameBound) + " characters allowed!";
    std::string lower = platform::ToLowerAscii(name);
    if (platform::FileExists(In(workDir, lower + std::string(kStoredExtension))) ||
        platform::FileExists(In(workDir, lower + std::string(kEditedExtension))))
        return std::string(kFilenameExists);
    return {};
}

bool CreateCodeFile(const fs::path& workDir, std::string_view name, const fs::path& templateFile,
                    std::string* file, signals::SlotData* slots, std::string* error) {
    std::string bytes, reason;
    if (!platform::ReadWholeFile(templateFile, &bytes, signals::kMaxFileSize, error)) return false;
    signals::SlotData data;
    if (!signals::ReadSlotData(bytes, &data, &reason))
        return Fail(error, platform::PathToMessage(templateFile) + ": " + reason);
    data.fileHeader = signals::HeaderName(name);
    std::string unpacked;
    std::string created = std::string(name) + std::string(kEditedExtension);
    if (!signals::WriteUnpacked(data, &unpacked, error) ||
        !platform::WriteFileAtomic(In(workDir, created), unpacked, error))
        return false;
    *file = created;
    *slots = std::move(data);
    return true;
}

bool OpenForEditing(const fs::path& workDir, std::string_view file, std::string* edited,
                    signals::SlotData* slots, std::string* error) {
    fs::path path = In(workDir, file);
    std::string bytes, unpacked, reason;
    if (!platform::ReadWholeFile(path, &bytes, signals::kMaxFileSize, error)) return false;
    bool packed = bytes.size() > signals::kFileNameSize &&
                  signals::IsPackedForm(std::uint8_t(bytes[signals::kFileNameSize]));
    if (packed ? !signals::UnpackIcp(bytes, &unpacked, &reason) : (unpacked = bytes, false))
        return Fail(error, platform::PathToMessage(path) + ": " + reason);
    signals::SlotData data;
    if (!signals::ReadSlotData(unpacked, &data, &reason))
        return Fail(error, platform::PathToMessage(path) + ": " + reason);
    std::string name = WithExtension(file, kEditedExtension);
    fs::path target = In(workDir, name);
    if (!platform::WriteFileAtomic(target, unpacked, error)) return false;
    if (!packed && platform::ResolvePath(path) != platform::ResolvePath(target) &&
        !platform::DeletePath(path, error))
        return false;
    *edited = name;
    *slots = std::move(data);
    return true;
}

bool StoreEditedFile(const fs::path& workDir, std::string_view edited,
                     const signals::SlotData& slots, const signals::SignalNameList& names,
                     std::string* stored, std::string* error) {
    fs::path path = In(workDir, edited);
    std::string unpacked, packed;
    if (!signals::WriteSignalNames(signals::SignalNameFile(path), names, error) ||
        !signals::WriteUnpacked(slots, &unpacked, error) ||
        !platform::WriteFileAtomic(path, unpacked, error))
        return false;
    std::string name = WithExtension(edited, kStoredExtension);
    // A file that does not pack (too many distinct items) is kept unpacked.
    if (!signals::PackIcp(unpacked, &packed)) packed = unpacked;
    fs::path target = In(workDir, name);
    if (!platform::WriteFileAtomic(target, packed, error)) return false;
    if (platform::ResolvePath(path) != platform::ResolvePath(target) &&
        !platform::DeletePath(path, error))
        return false;
    *stored = name;
    return true;
}

std::vector<std::string> StoreDevice(ProjectModel& model, std::size_t device, Index item,
                                     const fs::path& projectDir, const CodeFileList& list) {
    DeviceRecord& record = model.devices.at(device);
    record.signalFiles = list.files;
    if (item) {
        ItemRecord& bound = model.items.at(*item);
        bound.startOption = list.ticked;
        bound.maxOption = std::int32_t(list.files.size()) - 1;
    }
    std::vector<std::string> failures;
    std::string error;
    fs::path folder = project::DeviceTypeDir(projectDir, record.name);
    auto listed = [&](const std::string& name) {
        return std::any_of(list.files.begin(), list.files.end(), [&](const std::string& file) {
            return platform::EqualsIgnoreCase(file, name);
        });
    };
    for (const std::string& name : signals::ListCodeFiles(folder))
        if (!listed(name) && !signals::DeleteCodeFile(folder, name, &error))
            failures.push_back(error);
    std::vector<std::string> lines;
    for (const std::string& file : list.files) lines.push_back("device=" + file);
    if (!platform::WriteFileAtomic(
            project::DeviceTypeFile(projectDir, record.name, project::kEditorFileNames.deviceList),
            platform::JoinLines(lines), &error))
        failures.push_back(error);
    fs::path workDir = project::DeviceWorkDir(projectDir);
    for (const std::string& file : list.files) {
        fs::path from = In(workDir, file), names = signals::SignalNameFile(from);
        if (!CopyOver(from, In(folder, file), &error)) failures.push_back(error);
        if (platform::FileExists(names) &&
            !CopyOver(names, signals::SignalNameFile(In(folder, file)), &error))
            failures.push_back(error);
    }
    return failures;
}

}  // namespace orbik::editor
