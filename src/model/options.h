// The Options string's file, vlmra250.dat.
#pragma once

#include <string>

#include "core/options.h"

namespace velmora {

class FileSystem;

inline constexpr const char* kOptionsFile = "vlmra250.dat";
// Reads the options of `programFolder` (ending in "\"); a missing file is created
// empty. Never fails: what cannot be read is "0".
Options ReadOptions(FileSystem& fs, const std::string& programFolder);
bool SaveOptions(FileSystem& fs, const std::string& programFolder, const Options& options);

}  // namespace velmora
