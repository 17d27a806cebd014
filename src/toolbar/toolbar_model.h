// The toolbar's rules: what it is built from the menu and button files, what
// the pointer hits, which tips show, what a click opens or runs, where a drag
// puts the window and what its poll does. frmToolbar feeds messages in and
// applies the returned effects. Lengths are twips: window geometry on the
// screen, Toolbar1 and strip coordinates inside their controls.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/options.h"
#include "model/icon_source.h"
#include "model/item_record.h"
#include "toolbar/placement.h"

namespace velmora {

inline constexpr const char* kNoMenuText =
    "No menu or executable file found under this button. Check your configuration in the "
    "customize page.";
inline constexpr const char* kNoCommandText =
    "No executable file found under this button. Check your configuration in the Customize "
    "page.";
inline constexpr const char* kNoTitle = "No Title";
inline constexpr const char* kNoEntriesText =
    "Velmora doesn't contain any entries. Would you like to include sample menus from Windows "
    "common files in Velmora?";

inline constexpr const char* kProgramButtonKey = "QMENU";
inline constexpr const char* kProgramExe = "VELMORA.EXE";
inline constexpr int kPollMs = 300;
inline constexpr int kTipPollMs = 100;  // while a tip shows, so that it goes soon after the pointer

// Per menu button: what record 1 of its file says.
struct clsProgram {
  std::string Name;   // FileExe, trimmed
  std::string Title;
  short Files = 0;    // record count of the file
  friend bool operator==(const clsProgram&, const clsProgram&) = default;
};

// Sample menus before the build.
enum class SampleMenuStep {
  None,
  BuildAndRecord,  // build them without asking, turn option 2 on and save the options
  Ask,             // kNoEntriesText, Yes/No; build them on Yes
};
SampleMenuStep SampleMenusAtBuild(const Options& options, bool anyButtonFile);

struct ToolbarMenuFile {
  std::string path;  // full path: the button's Tag
  int records = 0;
  ItemRecord first;  // record 1
};

struct ToolbarBuildInput {
  std::vector<ToolbarMenuFile> menuFiles;  // in toolbar order
  std::vector<ItemRecord> singleButtons;   // record 1 of each single-button file, in toolbar order
  double tppx = 15;
  double tppy = 15;
  int buttonWidthPx = 0;    // as Toolbar1 reports it once its buttons are in (see Arrange)
  int toolbarHeightPx = 0;  // Toolbar1's height as the window sizes it
  double screenWidth = 0;
  IconContext icons;        // program folder and web icon file
  std::string ownMenuFile;  // program folder + own menu file: button 1's menu once written
  Options options;
  std::string savedPosition;  // toolbarp.dat's bytes; only read when movable
};

struct ToolbarButton {
  std::string key;    // "QMENU" or "B" + number; also its image key
  std::string title;
  std::string tag;    // the menu file; "QMENU" until the own menu is first written
  IconSource icon;
  double left = 0;    // Toolbar1 coordinates: button i spans (i - 1) W to i W
  double right = 0;
};

struct SingleButton {
  std::string text;   // FileExe + NUL + Title
  long left = 0;      // the icon's extent in the strip
  long right = 0;
  IconSource icon;
  std::string Command() const;  // the text before the NUL, as it is
  std::string Title() const;    // the text after it, trimmed
};

struct ToolbarLayout {
  bool movable = false;                // option 4 at this build
  std::vector<ToolbarButton> buttons;  // buttons[i - 1] is button i; button 1 is the program's
  std::map<std::string, clsProgram> programs;  // by "B" + number
  std::vector<SingleButton> singles;

  double buttonWidth = 0;    // W
  double toolbarLeft = -10;  // Toolbar1 in the window
  double toolbarTop = -20;
  double toolbarWidth = 0;   // TW = W x button count
  double toolbarHeight = 0;
  double lineToolbarX = 0;   // separator beside Toolbar1
  bool lineToolbar2Visible = false;  // a second one when there is no strip
  double lineToolbar2X = 0;

  bool stripVisible = false;  // picSingleButton, framed
  double stripLeft = 0;
  double stripWidth = 0;
  double stripHeight = 0;
  double singleIconTop = 0;
  long singleIconWidth = 0;

  double width = 0;   // window
  double height = 0;
  double top = 0;     // its top rows lie above the screen edge
  Placement placement;  // left; tooWide: show kTooWideText (OK only) first

  int ButtonCount() const { return static_cast<int>(buttons.size()); }
  int SingleCount() const { return static_cast<int>(singles.size()); }
};

// The toolbar window as measured on the screen.
struct ToolbarFrame {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
};

// Where a quick menu opens and what it shows.
struct MenuRequest {
  int index = 0;      // the toolbar button
  std::string key;    // "F" + index: collection key and the window's Tag
  std::string file;   // what InitQMenu reads
  double left = 0;
  double top = 0;
  bool create = false;        // no window cached for `key` yet: create it and InitQMenu(file)
  bool buildOwnMenu = false;  // write the own menu's file (BuildOwnMenu) before creating
};

// What the window does after an event, in this order. An effect left at its
// default means nothing to do.
struct ToolbarEffects {
  bool stopPoll = false;         // Timer1 off
  bool hideTip = false;          // hide frmHelp when it shows
  bool showAndActivate = false;  // show the window and make it active
  bool rebuild = false;          // InitNewButtons; nothing below is set
  std::optional<double> restoreTop;
  // Write toolbarp.dat with this Left; call PositionSaved when that worked.
  std::optional<double> savePosition;
  bool rememberCursorWindow = false;  // the window under the cursor now
  bool clearCursorWindow = false;
  std::optional<std::string> showTip;  // ShowHelpTip
  bool hideMenus = false;              // every cached quick-menu window
  std::optional<std::string> run;      // RunItem
  std::optional<std::string> message;  // information icon
  // Create or reuse the window, place it, show it topmost and active, start
  // its poll and set the menu-open flag.
  std::optional<MenuRequest> openMenu;
  std::optional<int> pollInterval;  // Timer1 on at this interval (ms)
  bool hideWindow = false;          // auto-hide
  std::optional<double> setLeft;
  bool capture = false;             // the drag starts
  bool releaseCapture = false;
  bool resetButtons = false;        // every Toolbar1 button unpressed
};

// What the poll sees, sampled at the tick.
struct PollInput {
  double cursorX = 0;  // twips
  double cursorY = 0;
  bool cursorOverStrip = false;  // the window under the cursor is picSingleButton
  // The window under the cursor is the one remembered by the last tip over
  // Toolbar1; none remembered and none under the cursor also counts as the same.
  bool cursorOverRememberedWindow = false;
  bool visible = false;
  bool active = false;  // the toolbar is the active window
  bool minimized = false;
  bool autoHide = false;
  bool menuOpen = false;
  ToolbarFrame frame;
  double screenWidth = 0;  // now
};

// Where the quick menu of button `index` opens: under the button, one pixel
// lower on small-fonts screens.
struct MenuPosition {
  double left = 0;
  double top = 0;
};
MenuPosition QuickMenuPosition(int index, const ToolbarFrame& frame, double buttonWidth,
                               double tppy);

std::string QuickMenuKey(int index);  // "F" + index

// Option 11: a single left click runs a single button, else a double click does.
bool SingleButtonLaunches(bool doubleClick, const Options& options);

class ToolbarModel {
 public:
  // A fresh build: drops all hover and drag state, the poll at 300 ms.
  const ToolbarLayout& Build(const ToolbarBuildInput& in);
  // The geometry again for the Toolbar1 metrics measured once its buttons
  // are in (the control sizes its buttons only then): build with the metrics
  // left 0, add layout().buttons to Toolbar1, measure, then arrange.
  const ToolbarLayout& Arrange(int buttonWidthPx, int toolbarHeightPx);
  // UnloadItems: no buttons, no hover.
  void Clear();
  const ToolbarLayout& layout() const { return layout_; }

  // The Options menu's "Toolbar in Fixed Position" with single buttons: the
  // Left the fixed rule gives the window as it is now (its margin beside the
  // strip, or beside the buttons when the strip is narrow).
  double FixedLeft(double screenWidth, double windowWidth) const;
  // "Toolbar Movable" and "Toolbar in Fixed Position": dragging follows at once.
  void SetMovable(bool movable) { layout_.movable = movable; }

  // After the build has placed and shown the window: the poll keeps it there.
  void Placed(const ToolbarFrame& frame);
  // toolbarp.dat now holds `left`. Until then the poll keeps asking to save.
  void PositionSaved(double left) { savedLeft_ = left; }

  double SavedLeft() const { return savedLeft_; }
  double SavedTop() const { return savedTop_; }
  short HoverIndex() const { return hoverIndex_; }
  short HoveredSingle() const { return hoveredSingle_; }
  int PollInterval() const { return pollInterval_; }
  bool Dragging() const { return dragging_; }
  bool Movable() const { return layout_.movable; }

  // Toolbar1 coordinates. 0 = none; a shared edge belongs to the lower number.
  int ButtonAt(double x) const;
  // Strip coordinates, 0 = none.
  int SingleButtonAt(double x, double y) const;
  std::string TipTitle(int index) const;
  std::string SingleTipTitle(int k) const;

  // Pointer over Toolbar1 or over the strip, in their own coordinates.
  ToolbarEffects Toolbar1MouseMove(double x, double y);
  ToolbarEffects SingleButtonMouseMove(double x, double y);

  // A click on toolbar button `index`; `menuCached`: the quick-menu
  // collection holds a window under QuickMenuKey(index).
  ToolbarEffects ButtonClick(int index, const ToolbarFrame& frame, bool menuCached);
  // Whether button `index` has a quick menu (the program's own always does; a
  // button whose file holds only itself runs its command instead).
  bool OpensMenu(int index) const;
  // The menu of button `index` at its place; also for building menus ahead of
  // a click. Creating the own menu makes its file button 1's Tag.
  MenuRequest MenuFor(int index, const ToolbarFrame& frame, bool menuCached);

  // The hovered single button runs. Call it after hiding the tip and letting
  // pending messages run, as they may move the hover.
  ToolbarEffects LaunchSingleButton() const;

  // Dragging, on the window itself (outside Toolbar1 and the strip).
  // `pointerX` is the pointer's screen position in twips.
  // `dragThreshold`: how far (twips) the pointer must travel before the
  // window follows it; a shorter way is a click.
  ToolbarEffects FormMouseDown(double pointerX, double dragThreshold);
  ToolbarEffects FormMouseMove(bool leftButton, double pointerX);
  // Left button up: the drop decides the final Left, then Auto Adjust Right
  // Position (unless option 13 turns it off) keeps the toolbar off the margin.
  ToolbarEffects FormMouseUp(double pointerX, const ToolbarFrame& frame, double screenWidth,
                             const Options& options);
  void CaptureLost() { dragging_ = false; }
  // Left while dragging with the pointer at `pointerX`: just right of the buttons.
  double DragLeft(double pointerX) const;

  // Timer1.
  ToolbarEffects Tick(const PollInput& in);

 private:
  void SetPoll(int ms, ToolbarEffects& fx);
  bool InStripArea(double x, double y) const;  // inside the margins
  const clsProgram* Program(int index) const;

  ToolbarLayout layout_;
  double tppx_ = 15;
  double tppy_ = 15;
  double screenWidth_ = 0;  // at build
  std::string savedPosition_;
  std::string ownMenuFile_;
  double savedLeft_ = 0;
  double savedTop_ = 0;
  short hoverIndex_ = 0;
  short hoveredSingle_ = 0;
  int pollInterval_ = 0;  // 0 = off
  bool dragging_ = false;
  bool moved_ = false;
  double downX_ = 0;
  double dragThreshold_ = 0;

  bool Moved(double pointerX);
};

}  // namespace velmora
