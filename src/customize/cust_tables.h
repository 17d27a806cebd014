// The Customize page's menus, toolbar, shortcuts, built-in modules, help tips
// and message texts as data. The window builds its controls from these tables
// and hands the ids back to the model; the model decides by id, so a caption,
// a key or a rule lives in exactly one place.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "core/commands.h"
#include "core/options.h"

namespace velmora {

// Every structural operation of the tree editor.
enum class CustCommand : std::uint8_t {
  None,
  MoveUp,
  MoveDown,
  AddButton,
  InsertButton,
  AddMenuItem,
  InsertMenuItem,
  InsertSeparator,
  InsertBreaker,
  Cut,
  Copy,
  Paste,
  Delete,
  UndoDelete,
  Rename,
};

// ---- The tree's right-click menu ---------------------------------------------

// Menu ids, in menu order. The window uses them as WM_COMMAND ids.
enum PopupId : int {
  kPopupModule = 200,  // the "Insert Built-in Module" submenu
  kPopupAddButton,
  kPopupInsertButton,
  kPopupAddMenuItem,
  kPopupInsertMenuItem,
  kPopupSeparator,
  kPopupBreaker,
  kPopupCut,
  kPopupCopy,
  kPopupPaste,
  kPopupRemove,
  kPopupUndo,
  kPopupRename,
};
inline constexpr int kPopupFirst = kPopupModule;
inline constexpr int kPopupLast = kPopupRename;
inline constexpr int kPopupCount = kPopupLast - kPopupFirst + 1;

// id 0 marks a separator line.
inline constexpr CommandInfo kPopupMenu[] = {
    {kPopupModule, "Insert Built-in Module"},
    {0},
    {kPopupAddButton, "Add Button"},
    {kPopupInsertButton, "Insert Button"},
    {0},
    {kPopupAddMenuItem, "Add Menu Item"},
    {kPopupInsertMenuItem, "Insert Menu Item"},
    {0},
    {kPopupSeparator, "Insert Menu Separator"},
    {kPopupBreaker, "Insert Menu Breaker"},
    {0},
    {kPopupCut, "Cut"},
    {kPopupCopy, "Copy"},
    {kPopupPaste, "Paste"},
    {0},
    {kPopupRemove, "Delete"},
    {kPopupUndo, "Undo Delete"},
    {0},
    {kPopupRename, "Rename"},
};
static_assert(IdsInRange(kPopupMenu, kPopupFirst, kPopupLast));

// The operation behind each popup id (the module submenu has its own table).
CustCommand PopupCommand(int popupId);

// When a popup item is enabled, by the kind of the selected node.
enum class EnableRule : std::uint8_t {
  On,
  Off,
  OnUnlessMarker,     // off for a separator or page break
  OnWithClipboard,    // on when the clipboard entry is not all empty
  OnWithUndo,         // on when the undo list holds records
};
struct PopupEnableRow {
  int id;
  EnableRule root, menuButton, menuItem, singleButton;
};
// Items not listed keep their designed (enabled) state.
inline constexpr PopupEnableRow kPopupEnable[] = {
    // id                   root                     menu button              menu item                       single button
    {kPopupAddButton,      EnableRule::On,          EnableRule::On,          EnableRule::On,                 EnableRule::On},
    {kPopupInsertButton,   EnableRule::Off,         EnableRule::On,          EnableRule::Off,                EnableRule::On},
    {kPopupAddMenuItem,    EnableRule::Off,         EnableRule::On,          EnableRule::On,                 EnableRule::Off},
    {kPopupInsertMenuItem, EnableRule::Off,         EnableRule::Off,         EnableRule::On,                 EnableRule::Off},
    {kPopupSeparator,      EnableRule::Off,         EnableRule::Off,         EnableRule::On,                 EnableRule::Off},
    {kPopupRemove,         EnableRule::Off,         EnableRule::On,          EnableRule::On,                 EnableRule::On},
    {kPopupRename,         EnableRule::Off,         EnableRule::On,          EnableRule::OnUnlessMarker,     EnableRule::On},
    {kPopupCut,            EnableRule::Off,         EnableRule::Off,         EnableRule::On,                 EnableRule::On},
    {kPopupCopy,           EnableRule::Off,         EnableRule::Off,         EnableRule::On,                 EnableRule::On},
    {kPopupPaste,          EnableRule::Off,         EnableRule::Off,         EnableRule::OnWithClipboard,    EnableRule::OnWithClipboard},
    {kPopupUndo,           EnableRule::OnWithUndo,  EnableRule::OnWithUndo,  EnableRule::OnWithUndo,         EnableRule::OnWithUndo},
};

// Enabled state of every popup item, indexed by id - kPopupFirst.
struct PopupState {
  std::array<bool, kPopupCount> enabled{};
  bool IsEnabled(int id) const {
    return id >= kPopupFirst && id <= kPopupLast && enabled[id - kPopupFirst];
  }
};

// ---- The edit toolbar above the tree -------------------------------------------

struct EditToolbarButton {
  const char* key;      // also the image key; nullptr marks a separator
  const char* toolTip;
  CustCommand command;
};
inline constexpr EditToolbarButton kEditToolbar[] = {
    {"up", "Move Selection Up", CustCommand::MoveUp},
    {"down", "Move Selection down", CustCommand::MoveDown},
    {nullptr, nullptr, CustCommand::None},
    {"button", "Add New Button", CustCommand::AddButton},
    {"new", "Add New Menu Item", CustCommand::AddMenuItem},
    {"sep", "Insert Menu Separator", CustCommand::InsertSeparator},
    {nullptr, nullptr, CustCommand::None},
    {"cut", "Cut Item", CustCommand::Cut},
    {"copy", "Copy Item", CustCommand::Copy},
    {"paste", "Paste", CustCommand::Paste},
    {nullptr, nullptr, CustCommand::None},
    {"delete", "Delete", CustCommand::Delete},
    {"undo", "Undo Delete", CustCommand::UndoDelete},
};

// The command of a toolbar key (letter case ignored); None for an unknown key.
CustCommand ToolbarCommand(std::string_view key);

// ---- Keyboard shortcuts in the tree ----------------------------------------------

enum KeyModifier : int { kModNone = 0, kModShift = 1, kModCtrl = 2, kModAlt = 4 };

inline constexpr int kVkInsert = 45;
inline constexpr int kVkDelete = 46;
inline constexpr int kVkF2 = 113;
inline constexpr int kVkF3 = 114;
inline constexpr int kVkF9 = 120;
inline constexpr int kCharEnter = 13;

struct TreeShortcut {
  int virtualKey;
  int modifiers;           // exactly these modifiers must be down
  CustCommand command;
  bool notOnMenuButton;    // does nothing while a menu button is selected
};
// Delete is handled on its own: on a root it explains instead of deleting.
inline constexpr TreeShortcut kTreeShortcuts[] = {
    {'B', kModCtrl, CustCommand::AddButton, false},
    {'M', kModCtrl, CustCommand::AddMenuItem, false},
    {'Z', kModCtrl, CustCommand::UndoDelete, false},
    {kVkInsert, kModShift, CustCommand::InsertSeparator, true},
    {'S', kModCtrl, CustCommand::InsertSeparator, true},
    {kVkF9, kModCtrl, CustCommand::InsertBreaker, true},
    {'X', kModCtrl, CustCommand::Cut, true},
    {'C', kModCtrl, CustCommand::Copy, true},
    {'V', kModCtrl, CustCommand::Paste, true},
};

// ---- Built-in modules --------------------------------------------------------------

enum ModuleId : int {
  kModuleNetSearch = 230,
  kModuleFileFind,
  kModuleCopyDisk,
  kModuleFormatDisk,
  kModuleMyComputer,
  kModuleExplorer,
  kModuleControlPanel,
  kModuleRecycleBin,
};
inline constexpr int kModuleFirst = kModuleNetSearch;
inline constexpr int kModuleLast = kModuleRecycleBin;

// The submenu, in order; id 0 marks a separator line. The caption is also the
// entry's title.
inline constexpr CommandInfo kModuleMenu[] = {
    {kModuleNetSearch, "Net Search"},
    {kModuleFileFind, "File Find"},
    {0},
    {kModuleCopyDisk, "Copy Disk"},
    {kModuleFormatDisk, "Format Disk"},
    {0},
    {kModuleMyComputer, "My Computer"},
    {kModuleExplorer, "Windows Explorer"},
    {kModuleControlPanel, "Control Panel"},
    {kModuleRecycleBin, "Recycle Bin"},
};
static_assert(IdsInRange(kModuleMenu, kModuleFirst, kModuleLast));

struct ModuleEntry {
  int id;
  const char* title;
  const char* icon;     // relative to the program folder: it begins with "\"
  const char* command;  // the command word the launcher knows
};
inline constexpr ModuleEntry kModules[] = {
    {kModuleNetSearch, "Net Search", "\\icons\\netsrch.ico", "NetSearch"},
    {kModuleFileFind, "File Find", "\\icons\\filefind.ico", "FileFind"},
    {kModuleCopyDisk, "Copy Disk", "\\icons\\disks04.ico", "CopyDisk"},
    {kModuleFormatDisk, "Format Disk", "\\icons\\disk06.ico", "FormatDisk"},
    {kModuleMyComputer, "My Computer", "\\icons\\mycomp.ico", "MyComputer"},
    {kModuleExplorer, "Windows Explorer", "\\icons\\explorer.ico", "Explorer"},
    {kModuleControlPanel, "Control Panel", "\\icons\\ctrpanel.ico", "ControlPanel"},
    {kModuleRecycleBin, "Recycle Bin", "\\icons\\recycle.ico", "RecycleBin"},
};
static_assert(std::size(kModules) == kModuleLast - kModuleFirst + 1);

const ModuleEntry* FindModule(int id);

// ---- Help tips on first use ----------------------------------------------------------

enum class TipId : std::uint8_t { IconLibrary, OtherFilesIcons, SelectFile, Ampersand };

struct TipInfo {
  TipId id;
  int position;  // the Options string position that switches the tip off
  const char* title;
  const char* text;  // "&&" shows as one "&" in the tip window
};
inline constexpr TipInfo kTips[] = {
    {TipId::IconLibrary, kOptTipIconLibraryOff, "Icon Library",
     "Use icons from the library for the toolbar buttons and for applications that do not "
     "have icons such as DOS programs. \r\n\r\n"
     "All Windows programs have built-in icons. So, you don't need to specify a different "
     "icon for an application that already has one unless you wanted to."},
    {TipId::OtherFilesIcons, kOptTipOtherIconsOff, "Other Files Icons",
     "You can select an icon from any file in your hard disk that has an icon in the Windows "
     "Explorer. "
     "It dosn't have to be an actual icon file. Use icons from other files for toolbar "
     "buttons and for files that do not have icons in the Windows Explorer.\r\n\r\n"
     "All Windows programs have built-in icons. So, you don't need to specify a different "
     "icon for an application that already has one unless you wanted to."},
    {TipId::SelectFile, kOptTipSelectFileOff, "Select File",
     "This option is useful for custom entries where you have an icon file different from "
     "the executable file. "
     "You can also use this field to enter web site address starting with the letters "
     "http:// such as http://www.example.com/. "
     "Please see the Help file for more information.\r\n\r\n"
     "The returned result will be inserted in the File entry box. It will not affect "
     "entries in the Title or Icon field."
     "Entry in this field is not required for Menu Buttons."},
    {TipId::Ampersand, kOptTipAmpersandOff, "Ampersand Character",
     "The Ampersand '&&' character has an internal use in Windows. If you want to use it, "
     "you have to enter it twice &&&&. Otherwise, it will not appear as you expected."},
};

const TipInfo& FindTip(TipId id);

// ---- The page's controls and its File menu -----------------------------------------------

// Child-window ids of the page's controls (the property panel itself is a
// frame the page paints); the end-to-end tests find the controls by them.
// Edit toolbar buttons are kEditToolbarFirstId + their index in kEditToolbar.
enum CustControlId : int {
  kIdLblMenuTree = 100,
  kIdToolbar1,
  kIdTreeView1,
  kIdLblProperties,
  kIdLblTitle,
  kIdTxtTitle,
  kIdLblFile,
  kIdTxtCommand,  // the File box
  kIdLblIcon,
  kIdTxtFile,     // the Icon box
  kIdCmdSelect,
  kIdCmdAllFiles,
  kIdCmdLibrary,
  kIdCmdOK,
  kIdFraBrowse,
  kIdCmdBrowseFiles,
  kIdCmdBrowseFolders,
  kIdFraSelect,
  kIdChkStartMenu,
  kIdChkDesktop,
  kIdCmdSave,
  kIdCmdCancel,
  kEditToolbarFirstId = 150,
};
static_assert(kEditToolbarFirstId > kIdCmdCancel);
static_assert(kEditToolbarFirstId + std::size(kEditToolbar) <= kPopupFirst);

// The File menu of the page's menu bar; "&Options" follows it.
inline constexpr const char* kFileMenuCaption = "&File";
enum FileMenuId : int { kMnuFileSave = 250, kMnuFileExit };
inline constexpr CommandInfo kFileMenu[] = {
    {kMnuFileSave, "&Update Toolbar"},
    {0},
    {kMnuFileExit, "E&xit"},
};
static_assert(IdsInRange(kFileMenu, kMnuFileSave, kMnuFileExit));
static_assert(kMnuFileSave > kModuleLast);

// ---- Texts -----------------------------------------------------------------------------

inline constexpr const char* kCustCaption = " - Customize";  // after the application title
inline constexpr const char* kMenuTreeText = "Menu Tree";
inline constexpr const char* kPropertiesText = "Properties";

inline constexpr const char* kMenuButtonsText = "Menu Buttons";
inline constexpr const char* kSingleButtonsText = "Single Buttons";
inline constexpr const char* kNewButtonText = "New Button";
inline constexpr const char* kNewMenuItemText = "New Menu Item";
inline constexpr const char* kSeparatorText = "Menu Separator";
inline constexpr const char* kBreakerText = "Menu Breaker";

inline constexpr const char* kRootNotDeletedText = "Velmora icon cannot be deleted.";
inline constexpr const char* kDeleteMenuText =
    "You have selected to delete the entire menu.\r\nDo you want to continue ?";
inline constexpr const char* kRootDisabledText =
    "This option is disabled if the selected item in the Menu Tree is the Velmora icon.";
inline constexpr const char* kMarkerNotEditedText =
    "Menu Separator or Menu Breaker cannot be edited.";
inline constexpr const char* kRootIconText = "Velmora Icon cannot be changed.";
inline constexpr const char* kMarkerIconsText =
    "Menu Separator or Menu Breaker Icons cannot be changed.";
inline constexpr const char* kSeparatorIconText = "Menu Separator Icon cannot be changed.";
inline constexpr const char* kSavePromptText =
    "Do you want to save your changes before you exit?";
inline constexpr const char* kFolderInstruction =
    "To select a folder, highlight it and click OK.";
inline constexpr const char* kOneFileTitle = "Select one file";
inline constexpr const char* kManyFilesTitle = "Select one or more files";

}  // namespace velmora
