// The program's own menu: its file, written in the item format, and the
// numbers of its seven commands.
#pragma once

#include <string>
#include <vector>

#include "model/item_record.h"

namespace velmora {

class FileSystem;

inline constexpr const char* kOwnMenuFile = "mainmenu.dat";
inline constexpr const char* kOwnMenuTag = "F1";
inline constexpr const char* kCheckMarkIcon = "imgIcons chkmark";

// Command numbers: the label index of each entry in the own menu.
enum OwnMenuCommand : int {
  kCmdCustomize = 1,
  kCmdAutoHide = 2,
  kCmdAlwaysOnTop = 3,
  kCmdHelpTopics = 4,
  kCmdAbout = 5,
  kCmdMinimize = 6,
  kCmdExit = 7,
};

inline constexpr const char* kHelpNotFoundText = "Velmora help file was not found in Velmora folder.";
inline constexpr const char* kHelpFailedText =
    "Unable to open the help file. Try to open it manually via the Windows Explorer.";
inline constexpr const char* kEmptyCommandText =
    "Empty string in the File Field. Check your entries in the Customize page.";

// The eleven records, the check mark on "Always on Top".
std::vector<ItemRecord> OwnMenuRecords();

// Appends "\" to `folder` when it lacks one (the caller's text changes), then
// replaces folder + "mainmenu.dat" with the eleven records.
bool BuildOwnMenu(FileSystem& fs, std::string& folder);

}  // namespace velmora
