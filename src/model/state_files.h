// The program folders and the small state files beside the executable.
#pragma once

#include <string>

namespace velmora {

class FileSystem;

inline constexpr const char* kHttpIconIni = "httpicon.ini";
inline constexpr const char* kHttpIconHtm = "httpicon.htm";
inline constexpr const char* kEmptyHtml = "<HTML> </HTML>\r\n";

struct ProgramFolders {
  std::string exeFolder;  // the executable's folder, no trailing "\"
  std::string program;    // exeFolder + "\"
  std::string menus;      // program + "Menus\"
  std::string icons;      // program + "Icons\"

  static ProgramFolders FromExecutable(const std::string& exePath);
};

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
