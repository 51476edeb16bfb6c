#pragma once
// IR code files of the demo installation: the empty template that every
// new device starts from, and a learned sample remote in the IR code
// library with its signal name file.

#include <filesystem>
#include <functional>
#include <string>

namespace orbik::demogen {

// The template: header only, form "unpacked", every slot empty.
std::string EmptyTemplate();

// A made-up TV remote, unpacked; signals that learned one code share it
// between their two slots, as the editor stores them.
std::string SampleRemote();

using WriteBytes = std::function<bool(const std::filesystem::path&, const std::string&)>;

// Writes Empty.ixp into the Def_IR folder and the sample, packed, with its
// name file into the IR_ICP folder of the demo installation, and the
// device files of the demo project.
bool WriteIrSamples(const std::filesystem::path& output, const WriteBytes& write);

}  // namespace orbik::demogen
