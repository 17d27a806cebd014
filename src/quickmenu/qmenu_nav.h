// What the quick menu does with the pointer, the keyboard and its poll: which
// entry is highlighted, which page shows, which arrows respond and which entry
// runs. The window feeds events in and applies the returned effects; it keeps
// no rule of its own. Coordinates are twips in the window's client area.
#pragma once

#include <optional>
#include <string>

#include "quickmenu/qmenu_layout.h"

namespace velmora {

// Key-down codes (virtual keys) the menu acts on.
inline constexpr int kQMenuKeyEscape = 27;
inline constexpr int kQMenuKeyPageUp = 33;
inline constexpr int kQMenuKeyPageDown = 34;
inline constexpr int kQMenuKeyEnd = 35;
inline constexpr int kQMenuKeyHome = 36;
inline constexpr int kQMenuKeyUp = 38;
inline constexpr int kQMenuKeyDown = 40;
// Key-press code (character) that runs the highlighted entry.
inline constexpr int kQMenuCharEnter = 13;

struct QMenuRun {
  int label = 0;        // 1-based; in the own menu, the command number
  std::string command;  // FileExe cut at its first NUL and trimmed; empty = nothing configured
};

// What the window must do after an event, in this order: hide, repaint page,
// move the highlight, arrows, then act on `run`.
struct QMenuEffects {
  // HideMenu ran: hide the window, stop the poll, clear the menu-open flag.
  bool hideMenu = false;
  // Esc: hide the window only; the poll then finds another window active.
  bool hideWindow = false;
  // Show state().currentPage in place of state().previousPage.
  bool pageChanged = false;
  // The highlight moved or went: `unhighlighted` (0 = none) gets its normal
  // caption colour back; state().highlighted (0 = none) gets the highlight
  // colour and BoxFor() its bar and frame, or the bar and frame are hidden.
  bool highlightChanged = false;
  int unhighlighted = 0;
  // state().upEnabled / downEnabled changed.
  bool arrowsChanged = false;
  // The arrow frame moved, appeared, disappeared or changed between raised and
  // sunken: see state().framedArrow and state().arrowSunken.
  bool arrowFrameChanged = false;
  // After hiding: the entry chosen, for the menu's run handler (the own menu
  // acts on the label, any other menu runs the command or says it is empty).
  std::optional<QMenuRun> run;
};

struct QMenuNavState {
  int highlighted = 0;       // label index, 0 = none; the bar shows exactly while non-zero
  int keyboardPosition = 0;  // where key moves and letter searches continue, 0 = none
  bool keyboardMode = false;
  bool pointerLeft = false;  // a release runs nothing while set
  std::optional<QMenuArrow> framedArrow;  // the arrow frame is shown exactly on this arrow
  bool arrowSunken = false;
  int currentPage = 0;
  int previousPage = 0;
  bool upEnabled = false;
  bool downEnabled = false;
};

class QMenuNav {
 public:
  // The layout must outlive the navigator.
  explicit QMenuNav(const QMenuLayout& layout);

  const QMenuNavState& state() const { return s_; }

  // The window's size as the out-of-window tests see it; starts as the
  // layout's, set it again when the width is re-applied on activation.
  void SetWindowSize(double width, double height);

  // Pointer over the window, not over an enabled arrow (route those to the
  // Arrow* calls). Also for moves outside the window while the pointer is captured.
  QMenuEffects PointerMove(double x, double y);
  // Any button released over the window.
  QMenuEffects ButtonRelease(bool leftButton, double x, double y);

  // Arrow labels; only while they are enabled, as a disabled arrow takes no input.
  QMenuEffects ArrowPress(QMenuArrow arrow);  // left button down, or a double click
  // `inside`: released within the arrow's own rectangle.
  QMenuEffects ArrowRelease(QMenuArrow arrow, bool leftButton, bool inside);
  QMenuEffects ArrowMove(QMenuArrow arrow, bool buttonHeld);

  QMenuEffects KeyDown(int virtualKey);  // every key-down, known or not
  QMenuEffects KeyPress(int character);  // every character, 0..255

  // The 100 ms poll: is the menu the active window, is it the window under the pointer?
  QMenuEffects TimerTick(bool menuActive, bool pointerOverMenu);
  QMenuEffects HideMenu();

 private:
  const QMenuPage& Page() const;
  int LabelAt(double y) const;
  bool OutsideWindow(double x, double y) const;
  bool OutsidePageRows(double y) const;
  // Hides the menu and runs row `label` (0: nothing).
  QMenuEffects RunLabel(int label);
  void SetHighlight(int label, QMenuEffects& fx);
  void DropHighlight(QMenuEffects& fx);
  void HideArrowFrame(QMenuEffects& fx);
  void ShowPage(int page, QMenuEffects& fx);
  void ReleaseInsideArrow(QMenuArrow arrow, QMenuEffects& fx);
  void MoveKeyboard(int step, QMenuEffects& fx);
  void LetterSearch(char key, QMenuEffects& fx);

  const QMenuLayout& layout_;
  QMenuNavState s_;
  double windowWidth_;
  double windowHeight_;
};

}  // namespace velmora
