// The program's own menu: its rows as a table, its file written in the item
// format, and what each of its seven commands does, as effects the program
// applies.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/commands.h"
#include "model/item_record.h"

namespace velmora {

class FileSystem;
struct AppState;

inline constexpr const char* kOwnMenuFile = "mainmenu.dat";
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

// The rows in menu order; id 0 is a separator line.
inline constexpr CommandInfo kOwnMenuRows[] = {
    {kCmdCustomize, "Customize Velmora"},
    {kCmdAutoHide, "Auto Hide"},
    {kCmdAlwaysOnTop, "Always on Top"},
    {0},
    {kCmdHelpTopics, "Help Topics"},
    {kCmdAbout, "About"},
    {0},
    {kCmdMinimize, "Minimize"},
    {0},
    {kCmdExit, "Exit"},
};
static_assert(IdsInRange(kOwnMenuRows, kCmdCustomize, kCmdExit));

inline constexpr const char* kHelpNotFoundText = "Velmora help file was not found in Velmora folder.";
inline constexpr const char* kHelpFailedText =
    "Unable to open the help file. Try to open it manually via the Windows Explorer.";
inline constexpr const char* kEmptyCommandText =
    "Empty string in the File Field. Check your entries in the Customize page.";

// The eleven records: an empty one for the button, then the rows, the check
// mark on "Always on Top".
std::vector<ItemRecord> OwnMenuRecords();

// Appends "\" to `folder` when it lacks one (the caller's text changes), then
// replaces folder + "mainmenu.dat" with the eleven records.
bool BuildOwnMenu(FileSystem& fs, std::string& folder);

// What choosing a row of the own menu does. The menu is hidden and pending
// messages have run before these apply.
struct OwnMenuEffects {
  bool showCustomize = false;
  bool showAbout = false;
  bool minimize = false;
  bool exit = false;
  std::optional<std::int16_t> autoHide;  // the new AutoHide value
  // Entry icons to change in the shown menu: the check mark moves.
  std::vector<std::pair<int, std::string>> entryIcons;
  // Always on Top brings a hidden toolbar back, unless the program is minimized.
  bool showToolbar = false;
  // Help Topics: the help file to open at its contents, or the message when
  // the file is not there.
  std::string helpFile;
  std::string message;
};

OwnMenuEffects OwnMenuChoice(int command, const AppState& state, FileSystem& fs);

}  // namespace velmora
