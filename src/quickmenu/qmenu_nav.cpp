#include "quickmenu/qmenu_nav.h"

#include <string_view>

#include "model/text.h"

namespace velmora {

QMenuNav::QMenuNav(const QMenuLayout& layout)
    : layout_(layout), windowWidth_(layout.width), windowHeight_(layout.height) {
  s_.upEnabled = false;
  s_.downEnabled = layout.Paged();
}

void QMenuNav::SetWindowSize(double width, double height) {
  windowWidth_ = width;
  windowHeight_ = height;
}

const QMenuPage& QMenuNav::Page() const {
  return layout_.pages[static_cast<std::size_t>(s_.currentPage)];
}

bool QMenuNav::OutsideWindow(double x, double y) const {
  return x < 0 || x > windowWidth_ || y < 0 || y > windowHeight_;
}

bool QMenuNav::OutsidePageRows(double y) const {
  const QMenuPage& page = Page();
  if (page.Empty()) return true;
  return y > layout_.Label(page.LastLabel).Bottom() ||
         y < layout_.Label(page.FirstLabel).top - layout_.rowGap;
}

// A row answers from just below the previous row's bottom down to its own
// bottom; the space a separator adds belongs to no row.
int QMenuNav::LabelAt(double y) const {
  const QMenuPage& page = Page();
  int lo = page.FirstLabel;
  int hi = page.LastLabel + 1;
  while (lo < hi) {  // first row whose bottom is at or below y
    const int mid = lo + (hi - lo) / 2;
    if (layout_.Label(mid).Bottom() < y) lo = mid + 1; else hi = mid;
  }
  if (lo > page.LastLabel) return 0;
  const QMenuEntry& e = layout_.Label(lo);
  return e.top - layout_.rowGap + layout_.tppy <= y ? lo : 0;
}

void QMenuNav::SetHighlight(int label, QMenuEffects& fx) {
  if (label == s_.highlighted) return;
  fx.highlightChanged = true;
  if (s_.highlighted != 0) fx.unhighlighted = s_.highlighted;
  s_.highlighted = label;
}

void QMenuNav::DropHighlight(QMenuEffects& fx) {
  SetHighlight(0, fx);
  s_.keyboardPosition = 0;
}

void QMenuNav::HideArrowFrame(QMenuEffects& fx) {
  if (!s_.framedArrow) return;
  s_.framedArrow.reset();
  fx.arrowFrameChanged = true;
}

// The arrows follow the page: up is disabled exactly on page 0, down exactly on
// the last page, whichever way the page was reached. A highlight left on a page
// that is no longer shown would come back without its bar, so it goes; the
// keyboard position stays for the next letter search.
void QMenuNav::ShowPage(int page, QMenuEffects& fx) {
  if (page == s_.currentPage) return;
  s_.previousPage = s_.currentPage;
  s_.currentPage = page;
  fx.pageChanged = true;
  SetHighlight(0, fx);
  const bool up = page > 0;
  const bool down = page < layout_.PageCount();
  if (up != s_.upEnabled || down != s_.downEnabled) fx.arrowsChanged = true;
  s_.upEnabled = up;
  s_.downEnabled = down;
}

void QMenuNav::ReleaseInsideArrow(QMenuArrow arrow, QMenuEffects& fx) {
  const int last = layout_.PageCount();
  if (arrow == QMenuArrow::Up && s_.currentPage > 0) ShowPage(s_.currentPage - 1, fx);
  if (arrow == QMenuArrow::Down && s_.currentPage < last) ShowPage(s_.currentPage + 1, fx);
  // At the end it points to, the arrow has nothing more to do: no frame.
  if ((arrow == QMenuArrow::Up && s_.currentPage == 0) ||
      (arrow == QMenuArrow::Down && s_.currentPage == last)) {
    HideArrowFrame(fx);
  }
}

QMenuEffects QMenuNav::PointerMove(double x, double y) {
  QMenuEffects fx;
  HideArrowFrame(fx);
  if (OutsideWindow(x, y)) {
    DropHighlight(fx);
    s_.pointerLeft = true;
    return fx;
  }
  s_.keyboardMode = false;
  if (OutsidePageRows(y)) {
    DropHighlight(fx);
    return fx;
  }
  const int label = LabelAt(y);
  if (label != 0 && label != s_.highlighted) {
    SetHighlight(label, fx);
    s_.keyboardPosition = label;
  }
  return fx;
}

QMenuEffects QMenuNav::ButtonRelease(bool leftButton, double x, double y) {
  QMenuEffects fx;
  if (!leftButton || s_.pointerLeft) return fx;
  if (s_.highlighted == 0 || OutsideWindow(x, y) || OutsidePageRows(y)) {
    DropHighlight(fx);
    return fx;
  }
  return RunLabel(LabelAt(y));
}

QMenuEffects QMenuNav::RunLabel(int label) {
  if (label == 0) return {};
  std::string_view exe = layout_.Label(label).command;
  exe = exe.substr(0, exe.find('\0'));
  QMenuEffects fx = HideMenu();
  fx.run = QMenuRun{label, Trim(exe)};
  return fx;
}

QMenuEffects QMenuNav::ArrowPress(QMenuArrow) {
  QMenuEffects fx;
  if (!s_.arrowSunken) fx.arrowFrameChanged = true;
  s_.arrowSunken = true;
  return fx;
}

QMenuEffects QMenuNav::ArrowRelease(QMenuArrow arrow, bool leftButton, bool inside) {
  QMenuEffects fx;
  if (s_.arrowSunken) fx.arrowFrameChanged = true;
  s_.arrowSunken = false;
  if (!layout_.Paged() || !leftButton || !inside) return fx;
  ReleaseInsideArrow(arrow, fx);
  return fx;
}

QMenuEffects QMenuNav::ArrowMove(QMenuArrow arrow, bool buttonHeld) {
  QMenuEffects fx;
  if (buttonHeld || s_.framedArrow == arrow) return fx;
  s_.framedArrow = arrow;
  s_.arrowSunken = false;
  fx.arrowFrameChanged = true;
  DropHighlight(fx);
  return fx;
}

// With nothing highlighted, Down starts at the page's first row and Up at its
// last. After a letter search the keyboard position is one past the match, so
// the moves go from the highlighted row itself.
void QMenuNav::MoveKeyboard(int step, QMenuEffects& fx) {
  const QMenuPage& page = Page();
  if (page.Empty()) return;
  const int from = s_.highlighted != 0 ? s_.highlighted : s_.keyboardPosition;
  int pos = from != 0 ? from + step : (step > 0 ? page.FirstLabel : page.LastLabel);
  if (pos < page.FirstLabel) pos = page.LastLabel;
  if (pos > page.LastLabel) pos = page.FirstLabel;
  s_.keyboardPosition = pos;
  SetHighlight(pos, fx);
}

QMenuEffects QMenuNav::KeyDown(int virtualKey) {
  QMenuEffects fx;
  if (virtualKey == kQMenuKeyEscape) {
    fx.hideWindow = true;
    return fx;
  }
  // Keyboard mode is what makes the poll clear the pointer-left flag; it is
  // cleared at once, or an Enter typed before the next tick would be lost.
  s_.keyboardMode = true;
  s_.pointerLeft = false;
  const bool paged = layout_.Paged();
  switch (virtualKey) {
    case kQMenuKeyUp:
      MoveKeyboard(-1, fx);
      break;
    case kQMenuKeyDown:
      MoveKeyboard(+1, fx);
      break;
    case kQMenuKeyPageUp:
      if (!paged) break;
      DropHighlight(fx);
      if (s_.upEnabled) ReleaseInsideArrow(QMenuArrow::Up, fx);
      break;
    case kQMenuKeyPageDown:
      if (!paged) break;
      DropHighlight(fx);
      if (s_.downEnabled) ReleaseInsideArrow(QMenuArrow::Down, fx);
      break;
    case kQMenuKeyHome:
      if (!paged || s_.currentPage == 0) break;
      ShowPage(0, fx);
      HideArrowFrame(fx);
      break;
    case kQMenuKeyEnd:
      if (!paged || s_.currentPage == layout_.PageCount()) break;
      ShowPage(layout_.PageCount(), fx);
      HideArrowFrame(fx);
      break;
    default:
      break;
  }
  return fx;
}

void QMenuNav::LetterSearch(char key, QMenuEffects& fx) {
  if (s_.keyboardPosition == 0) s_.keyboardPosition = Page().FirstLabel;
  const int count = layout_.EntryCount();
  int found = 0;
  for (int i = s_.keyboardPosition; i <= count && found == 0; ++i) {
    if (layout_.Label(i).hotKey == key) found = i;
  }
  for (int i = 1; i <= count && found == 0; ++i) {
    if (layout_.Label(i).hotKey == key) found = i;
  }
  if (found == 0) return;
  const int page = layout_.Label(found).page;
  if (page != s_.currentPage) {
    const QMenuArrow via = page < s_.currentPage ? QMenuArrow::Up : QMenuArrow::Down;
    ShowPage(page, fx);
    if ((via == QMenuArrow::Up && page == 0) ||
        (via == QMenuArrow::Down && page == layout_.PageCount())) {
      HideArrowFrame(fx);
    }
  }
  SetHighlight(found, fx);
  s_.keyboardPosition = found + 1;
}

QMenuEffects QMenuNav::KeyPress(int character) {
  QMenuEffects fx;
  if (character == kQMenuCharEnter) {
    // The highlighted row itself, not a click at its place: a window cut to
    // its icon column at the screen's edge has no caption to click.
    if (s_.highlighted == 0 || s_.pointerLeft) return fx;
    return RunLabel(s_.highlighted);
  }
  if (character <= 32 || character >= 127) return fx;
  LetterSearch(LowerChar(static_cast<char>(character)), fx);
  return fx;
}

QMenuEffects QMenuNav::TimerTick(bool menuActive, bool pointerOverMenu) {
  if (!menuActive) return HideMenu();
  QMenuEffects fx;
  if (!pointerOverMenu && !s_.keyboardMode) {
    DropHighlight(fx);
    s_.pointerLeft = true;
  } else {
    s_.pointerLeft = false;
  }
  if (!pointerOverMenu) HideArrowFrame(fx);
  return fx;
}

QMenuEffects QMenuNav::HideMenu() {
  QMenuEffects fx;
  fx.hideMenu = true;
  DropHighlight(fx);
  HideArrowFrame(fx);
  if (s_.arrowSunken) fx.arrowFrameChanged = true;
  s_.arrowSunken = false;
  s_.keyboardMode = false;
  // The next opening starts fresh: a pointer that had left the menu before it
  // closed must not swallow the first click on the reopened one.
  s_.pointerLeft = false;
  return fx;
}

}  // namespace velmora
