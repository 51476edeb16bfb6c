#pragma once
// The device page's work on disk: the code files of a device are copied
// into the working folder Devices/temp, edited there (the file being
// edited in its unpacked form, ".ixp") and copied back on save.

#include <array>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "editor/ProjectModel.h"
#include "signals/IrCodeFile.h"
#include "signals/SignalNames.h"
#include "signals/SlotData.h"

namespace orbik::editor {

namespace fs = std::filesystem;

inline constexpr std::string_view kFilenameExists = "Filename already exists";
inline constexpr std::string_view kDeleteIrDeviceQuestion = "Delete IR Device?";
// A code file's name is stored in its 10-byte header.
inline constexpr std::size_t kCodeFileNameBound = 10;
inline constexpr std::string_view kEditedExtension = ".ixp";
inline constexpr std::string_view kStoredExtension = ".icp";
inline constexpr std::string_view kTemplateFile = "Empty.ixp";
inline constexpr std::string_view kWorkFolderDeviceText =
    "A device of this project is named temp like the working folder Devices\\temp. The code "
    "files are shown but cannot be changed here.";

// A device named like the working folder (a project made elsewhere): its
// folder is the working folder, so the page only shows it and nothing
// empties it.
bool IsWorkFolderDevice(std::string_view device);
bool HasWorkFolderDevice(const ProjectModel& model);

// The entries of the page's code file list.
struct CodeFileList {
    std::vector<std::string> files;
    int ticked = -1;  // the file in use, -1 when none
};
// Each code file of the device that exists, in order; with `copy`, copied
// with its name file into the working folder (replacing what is there).
// The ticked entry is the item's start option when that file is listed.
// Failures read "path: reason".
CodeFileList OpenCodeFiles(const fs::path& projectDir, const DeviceRecord& device, int startOption,
                           bool copy, std::vector<std::string>* failures);

// Copy, Delete and Edit are offered for an entry other than the first of
// a list of several, and never for "--01.icp" or "--02.icp".
bool CanChangeCodeFile(const std::vector<std::string>& files, int selected);

// What the list view shows of a code file that is not being edited.
struct CodeFileView {
    signals::SignalNameList names;
    std::array<bool, signals::kSignalCount> learned{};
};
// The names of a missing name file are written as 51 "<not used>" when
// `writeMissingNames`; a header that cannot be read shows nothing learned.
CodeFileView ReadCodeFile(const fs::path& dir, std::string_view file, bool writeMissingNames);

// New IR Device: a name that the new-name rules allow, of at most 10
// characters, for which neither name.icp nor name.ixp is in the folder.
// The message says why not; empty when the name is fine.
std::string CheckNewCodeFileName(const fs::path& workDir, std::string_view name);
// Writes the template as name.ixp with the name in its header.
bool CreateCodeFile(const fs::path& workDir, std::string_view name, const fs::path& templateFile,
                    std::string* file, signals::SlotData* slots, std::string* error);

// Edit IR Device: the file in its unpacked form under base.ixp, and its
// slots. The packed original stays until save replaces it.
bool OpenForEditing(const fs::path& workDir, std::string_view file, std::string* edited,
                    signals::SlotData* slots, std::string* error);

// Save of the file being edited: its names, the unpacked file, then packed
// under base.icp when it packs (else the unpacked form is stored under that
// name); the ".ixp" file goes. *stored is the entry's new name.
bool StoreEditedFile(const fs::path& workDir, std::string_view edited,
                     const signals::SlotData& slots, const signals::SignalNameList& names,
                     std::string* stored, std::string* error);

// Save of the device: the item and device records take the list; in the
// device folder the code files no longer listed go with their name files,
// devlist.txt is written and the working copies are copied back.
// Returns the failures ("path: reason").
std::vector<std::string> StoreDevice(ProjectModel& model, std::size_t device, Index item,
                                     const fs::path& projectDir, const CodeFileList& list);

}  // namespace orbik::editor
