// The Customize page's "&Options" menu as data and rules. Each item shows one
// setting of the Options string as a check mark and changes it when chosen;
// a few also act at once (the toolbar's placement, the Startup shortcut, the
// custom web icon file, a message). The page builds its menu from
// kOptionsMenu, ticks it from OptionsMarks() when it opens, and hands every
// choice to OptionsMenuClick(), whose effects carry the new mark of every
// item: the marks always mirror the string, so nothing else sets them.
//
// The handlers change the string in memory only; the program writes it to
// its file when it ends.
//
// Decisions beyond the menu's long-standing rules:
//  * A custom web icon whose httpicon.ini cannot be written (read-only file,
//    full disk) is reported with the system's error and changes nothing: the
//    option is not switched on over a file that does not name the icon.
//  * The custom icon's file dialog does not offer to create a missing file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/commands.h"
#include "core/options.h"

namespace velmora {

class Dialogs;
class FileSystem;
class ShellComponentFactory;

// ---- The menu --------------------------------------------------------------------

inline constexpr const char* kOptionsMenuCaption = "&Options";

// Menu ids, in menu order; the window uses them as WM_COMMAND ids. The range
// 300-320 is the Options menu's, clear of the tree's popup and module menus.
enum OptionsMenuId : int {
  kMnuOptionToolbarFixed = 300,
  kMnuOptionToolbarMovable,
  kMnuOptionRightPosition,
  kMnuOptionSet,
  kMnuOptionRemove,
  kMnuOptionStartupScreen,
  kMnuOptionShowExtension,
  kMnuOptionDoubleClick,
  kMnuOptionSingleClick,
  kMnuOptionDefaultHTML,
  kMnuOptionCustomHTML,
  kMnuOptionReset,
};
inline constexpr int kOptionsMenuFirst = kMnuOptionToolbarFixed;
inline constexpr int kOptionsMenuLast = kMnuOptionReset;
inline constexpr int kOptionsItemCount = kOptionsMenuLast - kOptionsMenuFirst + 1;

// id 0 marks a separator line. The captions are the menu's own, spelling and all.
inline constexpr CommandInfo kOptionsMenu[] = {
    {kMnuOptionToolbarFixed, "Toolbar in Fixed Position"},
    {kMnuOptionToolbarMovable, "Toolbar Movable"},
    {kMnuOptionRightPosition, "Auto Adjust Right Position"},
    {0},
    {kMnuOptionSet, "Set Velmora as Startup program"},
    {kMnuOptionRemove, "Remove Velmora from Startup Folder"},
    {0},
    {kMnuOptionStartupScreen, "Show Startup Screen"},
    {0},
    {kMnuOptionShowExtension, "Leave Extension in File Title"},
    {0},
    {kMnuOptionDoubleClick, "Activate Single Buttons with Double Clcik"},
    {kMnuOptionSingleClick, "Activate Single Buttons with Single Clcik"},
    {0},
    {kMnuOptionDefaultHTML, "Use Default HTML Icon"},
    {kMnuOptionCustomHTML, "Use Custom HTML Icon"},
    {0},
    {kMnuOptionReset, "Reset Help Tip Dialog"},
};
static_assert(IdsInRange(kOptionsMenu, kOptionsMenuFirst, kOptionsMenuLast));
static_assert(kOptionsMenuFirst >= 300 && kOptionsMenuLast <= 320);

// How an item's check mark follows the settings.
enum class MarkRule : std::uint8_t {
  None,         // never ticked
  WhenOn,       // ticked when its position is "1"
  WhenOff,      // ticked when its position is "0"
  WhenMovable,  // ticked when the toolbar is movable
  WhenFixed,    // ticked when it is fixed
};

// What choosing an item does.
enum class OptionsAction : std::uint8_t {
  PlaceFixed,     // position off, the toolbar fixed and placed at once
  MakeMovable,    // position on, the toolbar may be dragged
  Toggle,         // the position flips
  SetOn,
  SetOff,
  SetStartup,     // the Startup shortcut is made
  RemoveStartup,  // and taken away again
  DefaultHtml,    // position off, with a message, unless already off
  CustomHtml,     // asks for a file, writes httpicon.ini, position on
  ResetTips,      // every help tip shows again
};

struct OptionsItem {
  int id;
  int position;  // the Options string position the item shows and changes; 0: none
  MarkRule mark;
  OptionsAction action;
};
inline constexpr OptionsItem kOptionsItems[] = {
    {kMnuOptionToolbarFixed, kOptToolbarMovable, MarkRule::WhenFixed, OptionsAction::PlaceFixed},
    {kMnuOptionToolbarMovable, kOptToolbarMovable, MarkRule::WhenMovable, OptionsAction::MakeMovable},
    {kMnuOptionRightPosition, kOptNoRightAdjust, MarkRule::WhenOff, OptionsAction::Toggle},
    {kMnuOptionSet, 0, MarkRule::None, OptionsAction::SetStartup},
    {kMnuOptionRemove, 0, MarkRule::None, OptionsAction::RemoveStartup},
    {kMnuOptionStartupScreen, kOptNoSplash, MarkRule::WhenOff, OptionsAction::Toggle},
    {kMnuOptionShowExtension, kOptCutExtension, MarkRule::WhenOn, OptionsAction::Toggle},
    {kMnuOptionDoubleClick, kOptSingleClickLaunch, MarkRule::WhenOff, OptionsAction::SetOff},
    {kMnuOptionSingleClick, kOptSingleClickLaunch, MarkRule::WhenOn, OptionsAction::SetOn},
    {kMnuOptionDefaultHTML, kOptCustomWebIcon, MarkRule::WhenOff, OptionsAction::DefaultHtml},
    {kMnuOptionCustomHTML, kOptCustomWebIcon, MarkRule::WhenOn, OptionsAction::CustomHtml},
    {kMnuOptionReset, 0, MarkRule::None, OptionsAction::ResetTips},
};

// Every menu id has exactly one row, in id order, so a row is found by index.
constexpr bool OptionsItemsMatchMenu() {
  if (std::size(kOptionsItems) != static_cast<std::size_t>(kOptionsItemCount)) return false;
  int listed = 0;
  for (const CommandInfo& c : kOptionsMenu) listed += c.id != 0;
  if (listed != kOptionsItemCount) return false;
  for (int i = 0; i < kOptionsItemCount; ++i)
    if (kOptionsItems[i].id != kOptionsMenuFirst + i) return false;
  return true;
}
static_assert(OptionsItemsMatchMenu());

const OptionsItem* FindOptionsItem(int id);

// ---- Texts -----------------------------------------------------------------------

inline constexpr const char* kTipsResetText = "Help tip dialog has been reset.";
inline constexpr const char* kDefaultHtmlText =
    "The new settings will be used next time you start the program.";
inline constexpr const char* kCustomHtmlChosenText = "You have selected: ";
inline constexpr const char* kCustomHtmlNextStartText =
    "The new icon will be used next time you start the program.";

// ---- Marks and choices -------------------------------------------------------------

// The check mark of every item, by id.
struct OptionsMarkState {
  std::array<bool, kOptionsItemCount> checked{};
  bool IsChecked(int id) const {
    return id >= kOptionsMenuFirst && id <= kOptionsMenuLast && checked[id - kOptionsMenuFirst];
  }
  friend bool operator==(const OptionsMarkState&, const OptionsMarkState&) = default;
};

// The marks as the page opens: the program-wide movable flag for the two
// toolbar items, the string for the rest.
OptionsMarkState OptionsMarks(const Options& options, bool toolbarMovable);

// What the menu asks of the toolbar. An empty function is skipped. The
// single-click choice needs nothing here: the toolbar reads that option at
// every click.
struct OptionsToolbar {
  std::function<bool()> hasSingleButtons;
  // Moves the toolbar to its fixed place beside the right margin.
  std::function<void()> placeFixed;
  // Rebuilds the toolbar (InitNewButtons), which also places it.
  std::function<void()> rebuild;
  // The program-wide movable flag that the toolbar's dragging reads.
  std::function<void(bool)> setMovable;
};

struct OptionsServices {
  Options& options;
  Dialogs& dialogs;
  FileSystem& fs;
  std::string programFolder;  // ends in "\"
  ShellComponentFactory& shell;
  // The page's window, for the Startup folder look-up.
  std::uintptr_t window = 0;
  OptionsToolbar toolbar = {};
};

// What the toolbar was asked to do (already done through OptionsToolbar); a
// page that loses the front to a rebuilt toolbar can take it back.
enum class ToolbarRequest : std::uint8_t { None, PlacedFixed, Rebuilt, MadeMovable };

struct OptionsEffects {
  bool handled = false;  // the id was an Options item
  OptionsMarkState marks;  // every item's mark after the choice
  std::optional<bool> showExtension;  // the page's show-extension flag becomes this
  ToolbarRequest toolbar = ToolbarRequest::None;
};

// One choice of the menu. Messages go through s.dialogs; the Options string
// changes in memory only.
OptionsEffects OptionsMenuClick(int id, OptionsServices& s);

}  // namespace velmora
