// The program folders and the small state files beside the executable.
#pragma once

#include <string>

#include "core/app_state.h"

namespace velmora {

class FileSystem;

inline constexpr const char* kHttpIconIni = "httpicon.ini";
inline constexpr const char* kHttpIconHtm = "httpicon.htm";
inline constexpr const char* kEmptyHtml = "<HTML> </HTML>\r\n";
// Probe files of the web-address opener, in the program folder.
inline constexpr const char* kTempHtml = "temphtml.htm";
inline constexpr const char* kTempUrl = "tempurl.url";

// The internet-shortcut file for `address`.
std::string InternetShortcut(const std::string& address);

// The folders of the executable at `exePath`.
ProgramFolders ProgramFoldersOf(const std::string& exePath);

// Creates or overwrites `path` with the one line "<HTML> </HTML>".
bool WriteEmptyHtml(FileSystem& fs, const std::string& path);

// The first line of a text file (CR LF, LF or CR ends it); empty when the file
// is missing.
std::string ReadFirstLine(FileSystem& fs, const std::string& path);

// httpicon.ini: one line, the path with blanks trimmed and NULs made blanks.
bool WriteHttpIconIni(FileSystem& fs, const std::string& programFolder, const std::string& path);

// Creates `folder` unless a listing of it finds something; reports nothing.
void EnsureFolder(FileSystem& fs, const std::string& folder);

}  // namespace velmora
