// The item launcher: whatever an entry holds (a built-in command word, a web
// address, a shortcut, a path or a command line) ends here and runs.
#pragma once

#include <string>

#include "shell/open_url.h"

namespace velmora {

class ShellComponentFactory;

struct BuiltInCommand {
  const char* word;
  const char* commandLine;  // null: handled by the launcher itself
};

// In the order they are compared.
inline constexpr BuiltInCommand kBuiltInCommands[] = {
    {"netsearch", nullptr},
    {"filefind", nullptr},
    {"explorer", "explorer.exe /e,/root,,::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"},
    {"mycomputer", "explorer.exe /n,/root,,::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"},
    {"recyclebin", "explorer.exe /n,/root,,::{645FF040-5081-101B-9F08-00AA002F954E}"},
    {"controlpanel", "control.exe"},
    {"copydisk", "rundll32.exe diskcopy.dll,DiskCopyRunDll"},
    {"formatdisk", "rundll32.exe shell32.dll,SHFormatDrive"},
};

inline constexpr const char* kFileFindService = "Folders";
inline constexpr const char* kFileFindTopic = "AppProperties";
inline constexpr const char* kFileFindCommand = "[FindFolder(\"\",0)]";
inline constexpr const char* kFileFindError = "Cannot run File Find module. Windows Error: ";
inline constexpr const char* kFileUnavailable = "File/Device unavailable.";
inline constexpr const char* kOpenWithCommand = "rundll32.exe shell32.dll,OpenAs_RunDLL ";

// Runs `command`. A built-in word that expands to a command line is replaced
// by it in `command`.
void RunItem(LaunchServices& services, std::string& command);

// What the windows run entries through.
class ShellRunner : public ItemRunner {
 public:
  explicit ShellRunner(LaunchServices services) : services_(services) {}
  void RunItem(std::string& command) override;
  void OpenURL(const std::string& address) override;

 private:
  LaunchServices services_;
};

// The folder part of a drive-letter path, with its "\"; empty otherwise.
std::string GetFileFolder(const std::string& path);
// The folder of a shortcut's target, with its "\"; empty when unknown.
std::string GetShortcutFolder(ShellComponentFactory& shell, const std::string& linkPath);

}  // namespace velmora
