#include "model/state_files.h"

#include <algorithm>

#include "model/text.h"
#include "core/file_system.h"

namespace velmora {

ProgramFolders ProgramFoldersOf(const std::string& exePath) {
  ProgramFolders f;
  f.exeFolder = FolderOf(exePath);
  f.program = WithBackslash(f.exeFolder);
  f.menus = f.program + "Menus\\";
  f.icons = f.program + "Icons\\";
  return f;
}

std::string InternetShortcut(const std::string& address) {
  // A line break inside the address would end the URL line and let the rest
  // of it become entries of its own (an icon, a working folder, ...), so it
  // is written escaped, the way a browser reads it back.
  std::string url;
  for (char c : address) {
    if (c == '\r')
      url += "%0D";
    else if (c == '\n')
      url += "%0A";
    else
      url += c;
  }
  return "[InternetShortcut]\r\nURL=" + url + "\r\n";
}

bool WriteEmptyHtml(FileSystem& fs, const std::string& path) {
  return fs.WriteAll(path, kEmptyHtml);
}

std::string ReadFirstLine(FileSystem& fs, const std::string& path) {
  // A first line longer than this is not a path anybody wrote.
  const auto bytes = fs.ReadAt(path, 0, 64 * 1024);
  if (!bytes) return {};
  const auto lines = SplitLines(*bytes);
  return lines.empty() ? std::string() : lines.front();
}

bool WriteHttpIconIni(FileSystem& fs, const std::string& programFolder, const std::string& path) {
  std::string line = path;
  std::replace(line.begin(), line.end(), '\0', ' ');
  // Replaced by the safe write, never deleted first: a full disk would
  // otherwise lose the old file without a new one.
  return fs.WriteAll(programFolder + kHttpIconIni, Trim(line) + "\r\n");
}

void EnsureFolder(FileSystem& fs, const std::string& folder) {
  const auto path = WithoutBackslash(folder);
  if (!fs.Exists(path)) fs.CreateFolder(path);
}

}  // namespace velmora
