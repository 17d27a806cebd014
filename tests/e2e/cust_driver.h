// What the end-to-end tests of the Customize page need beyond driver.h:
// reading the page's tree and edit toolbar from this process, opening the
// page through the own menu, the pop-up menu and the open-file dialog, and a
// drag with the mouse.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "driver.h"

namespace velmora::e2e {

// Memory in another process, for the control messages that pass a pointer
// (a tree item's text, an item's rectangle): the control writes there, and
// this process reads it back.
class RemoteBuffer {
 public:
  RemoteBuffer(DWORD pid, std::size_t size);
  ~RemoteBuffer();
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  bool Ok() const { return base_ != nullptr; }
  // An address inside the buffer, as the other process sees it.
  LPARAM At(std::size_t offset) const { return reinterpret_cast<LPARAM>(base_ + offset); }
  bool Write(std::size_t offset, const void* data, std::size_t n) const;
  bool Read(std::size_t offset, void* data, std::size_t n) const;

 private:
  HANDLE process_ = nullptr;
  char* base_ = nullptr;
};

// A tree-view control of the program, read item by item. Every call gives up
// after a few seconds when the program does not answer (a message box of its
// own is up), instead of hanging the test.
class RemoteTree {
 public:
  RemoteTree(DWORD pid, HWND tree);
  HWND Handle() const { return tree_; }

  std::vector<HTREEITEM> Children(HTREEITEM parent) const;  // nullptr: the top level
  std::string Text(HTREEITEM item) const;
  bool Expanded(HTREEITEM item) const;
  HTREEITEM Selected() const;
  HTREEITEM DropTarget() const;
  // The item reached by these texts from the top level ({"Menu Buttons",
  // "Tools", "Alpha"}); nullptr when there is none.
  HTREEITEM Find(const std::vector<std::string>& path) const;
  // The texts of the item's children; the top level for an empty path.
  std::vector<std::string> ChildTexts(const std::vector<std::string>& path) const;
  // "Menu Buttons[Tools[Alpha,Beta],Games[]],Single Buttons[Run]": the whole
  // tree, to compare in one line.
  std::string Outline() const;
  // The item's text on the screen; nullopt when it is not shown.
  std::optional<RECT> TextRect(HTREEITEM item) const;
  std::optional<POINT> TextCentre(HTREEITEM item) const;

 private:
  LRESULT Send(UINT msg, WPARAM wp, LPARAM lp) const;
  std::string OutlineOf(HTREEITEM parent) const;

  DWORD pid_;
  HWND tree_;
  RemoteBuffer buffer_;
};

// The screen rectangle of button `index` (separators count) of a toolbar
// control of the program.
std::optional<RECT> RemoteToolbarButton(DWORD pid, HWND toolbar, int index);

// The page, found by its class, and its controls by id.
struct CustomizePage {
  HWND window = nullptr;
  HWND Control(int id) const { return GetDlgItem(window, id); }
  std::string BoxText(int id) const { return ControlText(Control(id)); }
  POINT ControlCentre(int id) const { return CenterOf(WindowRect(Control(id))); }
};

// Clicks the program's own button, chooses "Customize Velmora" from the
// keyboard and waits until the page is on the screen, in front.
std::optional<CustomizePage> OpenCustomize(App& app, HWND toolbar1);
// Opens the own menu and runs its entry `entry` (1 to 7) from the keyboard.
bool ChooseOwnMenuEntry(App& app, HWND toolbar1, int entry);
// Clicks menu button `index` (1 = the program's own) and waits for its menu
// in front.
HWND OpenQuickMenu(App& app, HWND toolbar1, int index);

// Replaces a box's text by typing, as a person does: click, select all, type.
void TypeIntoBox(HWND box, const std::string& text);

// The pop-up menu ("#32768") of the program once it is on the screen.
HWND WaitForPopupMenu(App& app);

// The open-file dialog of the program with this title, on the screen.
HWND WaitForFileDialog(App& app, const std::string& title);
// Types `folder` into the dialog's file name box and opens it, then types
// `names` (for several files each in double quotes) and presses Open.
bool ChooseInFileDialog(App& app, HWND dialog, const std::string& folder, const std::string& names);

// A right click with the point travelling in the same input as the buttons
// (see LeftButtonAt): the tree takes a pointer that moves between the button
// going down and up for a drag, and shows no menu.
void RightClickAt(POINT screen);

// Drags with the left button from one screen point to another in small steps,
// so that the control under the pointer sees a drag start and moves.
void DragWithMouse(POINT from, POINT to);

// Opens the page's "&Options" menu from the keyboard (Alt+O) and chooses the
// item with command id `id` (kOptionsMenu), as a person does with the arrow
// keys and Enter. True once the menu has closed.
// Waits until the page is in front and active with the keyboard in one of its
// controls, as it is again a moment after a dialog or message box has gone:
// a click or key sent before then may be lost while Wine hands the front back.
bool PageReady(App& app, const CustomizePage& page);
// The same for any window of the program: in front, active, and the keyboard
// in one of its controls.
bool KeyboardIn(App& app, HWND window);
bool ChooseOptionsItem(App& app, const CustomizePage& page, int id);
// The Options menu's check marks as the page's menu holds them, bit i for the
// item kOptionsMenuFirst + i (a test hook of the page); nullopt when the page
// does not answer.
std::optional<unsigned> OptionMarks(const CustomizePage& page);

// For the documentation's pictures: asks a watching script to take the screen
// area (see quickmenu_test.cpp). False without VELMORA_SHOT_FOLDER.
bool RequestScreenshot(const std::string& name, RECT area);

}  // namespace velmora::e2e
