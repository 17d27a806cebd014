// Fuzzes the quick menu: any records on any screen, then any sequence of
// pointer, arrow, key and timer events. The input decodes as
//
//   metrics   tppx, tppy, screen size, window position, line height
//   records   a count, then per record a kind and a title
//   events    the rest, one after another
//
// The layout never has an empty page (unless the menu has no entry), its rows
// go down each page clear of the arrow row, and every entry can be reached by
// the mouse and by the keyboard. After every event the highlight is on a row
// of the page shown or nowhere, the arrows are enabled exactly as the page
// says, and the effects tell the window about every change it must show.
#include <cmath>
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "fuzz_support.h"
#include "model/text.h"
#include "quickmenu/qmenu_layout.h"
#include "quickmenu/qmenu_nav.h"

namespace {

using namespace velmora;
using fuzz::Bytes;
using fuzz::Require;

QMenuMetrics DecodeMetrics(Bytes& in) {
  QMenuMetrics m;
  // Twips per pixel at 96 dpi (the least Windows offers) up to 480 dpi, as
  // the system's exact ratio or cut to a whole number.
  for (double* tpp : {&m.tppx, &m.tppy}) {
    *tpp = 1440.0 / (96 + in.Below(385));
    if (in.Bit()) *tpp = std::floor(*tpp);
  }
  const int widthPx = 160 + in.Below(7680);
  const int heightPx = 120 + in.Below(4320);
  m.screenWidth = widthPx * m.tppx;
  m.screenHeight = heightPx * m.tppy;
  m.windowLeft = in.Below(widthPx) * m.tppx;
  m.windowTop = in.Below(heightPx) * m.tppy;
  m.labelHeight = (1 + in.Below(64)) * m.tppy;
  const double perChar = std::round(m.tppx * (3 + in.Below(12)));
  m.measureCaption = [perChar](const std::string& s) { return perChar * static_cast<double>(s.size()); };
  return m;
}

std::vector<ItemRecord> DecodeRecords(Bytes& in) {
  std::vector<ItemRecord> records{{"Button", "C:\\b.ico", ""}};
  const int count = in.Below(256);
  for (int i = 0; i < count && !in.Empty(); ++i) {
    const int kind = in.Byte();
    switch (kind % 16) {
      case 0: records.push_back({"Menu Separator", "MenuLineSeparator", ""}); break;
      case 1: records.push_back({"", "  menulineseparator ", ""}); break;
      case 2: records.push_back({"", "MenuBreaker", ""}); break;
      case 3: records.push_back({"x", "MENUBREAKER", "x.exe"}); break;
      default: {
        std::string title = in.Text(12);
        // Commands as files hold them: blanks around, sometimes a NUL and
        // rubbish after it.
        std::string command = (kind & 16) ? "" : "  C:\\run" + std::to_string(i) + ".exe ";
        if (kind & 32) command += std::string(1, '\0') + "junk";
        records.push_back({std::move(title), (kind & 64) ? "" : "C:\\i.ico", std::move(command)});
      }
    }
  }
  return records;
}

double Limit(const QMenuLayout& l) { return l.arrows ? l.arrows->lineY : l.height; }

// Both arrows inside the window, side by side, each at least a pixel wide so
// that the pointer can press it.
void CheckArrows(const QMenuLayout& l) {
  Require(std::isfinite(l.width) && l.width >= l.textLeft, "a sensible width");
  if (!l.arrows) return;
  const QMenuArrowRow& a = *l.arrows;
  Require(a.top + a.height <= l.height, "the arrow row is inside the window");
  Require(a.width >= l.tppx * (1 - 1e-9), "an arrow is at least a pixel wide");
  Require(a.upLeft >= 0 && a.upLeft + a.width <= a.downLeft && a.downLeft + a.width <= l.width,
          "the arrows lie side by side inside the window");
  for (const QMenuArrow arrow : {QMenuArrow::Up, QMenuArrow::Down})
    Require(ArrowAt(l, a.LeftOf(arrow) + a.width / 2, a.top + a.height / 2) == arrow,
            "the pointer finds each arrow");
}

void CheckLayout(const QMenuLayout& l, const std::vector<ItemRecord>& records) {
  int items = 0;
  for (std::size_t r = 1; r < records.size(); ++r) items += KindOf(records[r]) == EntryKind::Item;
  Require(l.EntryCount() == items, "one row per entry record");
  Require(!l.pages.empty(), "there is a page");
  Require(l.Paged() == l.arrows.has_value(), "arrows exactly with several pages");
  Require(std::isfinite(l.height) && l.height > 0, "a window of sensible height");
  if (l.EntryCount() == 0) {
    Require(l.pages.size() == 1, "an empty menu has one page");
    return;
  }
  int next = 1;
  for (int p = 0; p <= l.PageCount(); ++p) {
    const QMenuPage& page = l.pages[static_cast<std::size_t>(p)];
    Require(!page.Empty(), "no empty page");
    Require(page.FirstLabel == next, "pages cover the rows in order");
    Require(page.Init == (p == 0), "only page 0 is drawn up front");
    for (int i = page.FirstLabel; i <= page.LastLabel; ++i) {
      const QMenuEntry& e = l.Label(i);
      Require(e.page == p, "a row knows its page");
      Require(i == page.FirstLabel || e.top >= l.Label(i - 1).Bottom() + l.rowGap,
              "rows go down the page");
      Require(i != page.FirstLabel || e.top == 100, "a page starts at its top");
      Require(e.Bottom() < Limit(l), "rows stay clear of the arrow row");
    }
    for (const double y : page.separators)
      Require(y > l.Label(page.FirstLabel).Bottom() && y + l.tppy < Limit(l),
              "separators lie between rows");
    next = page.LastLabel + 1;
  }
  Require(next == l.EntryCount() + 1, "every row is on a page");
  CheckArrows(l);
}

std::string Command(const QMenuEntry& e) {
  return Trim(std::string_view(e.command).substr(0, e.command.find('\0')));
}

// On a fresh menu: every page can be shown by the arrows and the keys, and on
// it every row highlights under the pointer and in turn under Down and Up.
void CheckReachable(const QMenuLayout& l) {
  if (l.EntryCount() == 0) return;
  QMenuNav mouse(l), keys(l);
  for (int p = 0; p <= l.PageCount(); ++p) {
    const QMenuPage& page = l.pages[static_cast<std::size_t>(p)];
    Require(mouse.state().currentPage == p && keys.state().currentPage == p, "pages in turn");
    for (int i = page.FirstLabel; i <= page.LastLabel; ++i) {
      const QMenuEntry& e = l.Label(i);
      mouse.PointerMove(l.textLeft, e.top + e.height / 2);
      Require(mouse.state().highlighted == i, "the pointer reaches every row");
      keys.KeyDown(kQMenuKeyDown);
      Require(keys.state().highlighted == i, "Down reaches every row");
    }
    keys.KeyDown(kQMenuKeyDown);
    Require(keys.state().highlighted == page.FirstLabel, "Down wraps to the page's first row");
    keys.KeyDown(kQMenuKeyUp);
    Require(keys.state().highlighted == page.LastLabel, "Up wraps to the page's last row");

    const auto run = mouse.ButtonRelease(true, l.textLeft, l.Label(page.LastLabel).top);
    Require(run.run && run.run->label == page.LastLabel &&
                run.run->command == Command(l.Label(page.LastLabel)),
            "a click runs the row under the pointer");
    if (p < l.PageCount()) {
      mouse.ArrowRelease(QMenuArrow::Down, true, true);
      keys.KeyDown(kQMenuKeyPageDown);
    }
  }
  keys.KeyDown(kQMenuKeyHome);
  Require(keys.state().currentPage == 0, "Home shows the first page");

  // A letter visits every row it starts, in order, then starts over.
  const char key = l.Label(1).hotKey;
  if (key <= 32 || key >= 127) return;
  std::vector<int> expected;
  for (int i = 1; i <= l.EntryCount(); ++i)
    if (l.Label(i).hotKey == key) expected.push_back(i);
  expected.push_back(expected.front());
  QMenuNav letters(l);
  for (const int label : expected) {
    letters.KeyDown(0);
    letters.KeyPress(static_cast<unsigned char>(key));
    Require(letters.state().highlighted == label &&
                letters.state().currentPage == l.Label(label).page,
            "a letter reaches every row it starts");
  }
}

struct Point {
  double x, y;
};

Point AnyPoint(Bytes& in, const QMenuLayout& l, const QMenuNav& nav, double w, double h) {
  const int mode = in.Below(8);
  if (mode < 3 && l.EntryCount() > 0) {
    const QMenuPage& page = l.pages[static_cast<std::size_t>(nav.state().currentPage)];
    const int label = mode < 2 && !page.Empty()
                          ? page.FirstLabel + in.Below(page.LastLabel - page.FirstLabel + 1)
                          : 1 + in.Below(l.EntryCount());
    const QMenuEntry& e = l.Label(label);
    const double ys[] = {e.top, e.top + e.height / 2, e.Bottom(), e.Bottom() + 1,
                         e.top - l.rowGap + l.tppy, e.top - l.rowGap + l.tppy - 1, e.top - l.rowGap};
    return {in.Bit() ? l.textLeft : in.Below(static_cast<int>(w) + 1), ys[in.Below(7)]};
  }
  if (mode == 3 && l.arrows) {
    const QMenuArrowRow& a = *l.arrows;
    const QMenuArrow arrow = in.Bit() ? QMenuArrow::Up : QMenuArrow::Down;
    return {a.LeftOf(arrow) + in.Below(static_cast<int>(a.width) + 2) - 1,
            a.top + in.Below(static_cast<int>(a.height) + 2) - 1};
  }
  if (mode == 4) {
    switch (in.Below(4)) {
      case 0: return {-1, h / 2};
      case 1: return {w + 1, h / 2};
      case 2: return {w / 2, -1};
      default: return {w / 2, h + 1};
    }
  }
  return {static_cast<double>(in.Below(static_cast<int>(w) + 1)),
          static_cast<double>(in.Below(static_cast<int>(h) + 1))};
}

bool Enabled(const QMenuNavState& s, QMenuArrow a) {
  return a == QMenuArrow::Up ? s.upEnabled : s.downEnabled;
}

// The arrow under a point, when it takes input.
std::optional<QMenuArrow> LiveArrowAt(const QMenuLayout& l, const QMenuNav& nav, Point p) {
  const auto arrow = ArrowAt(l, p.x, p.y);
  if (arrow && Enabled(nav.state(), *arrow)) return arrow;
  return std::nullopt;
}

void CheckStep(const QMenuLayout& l, const QMenuNavState& before, const QMenuNavState& s,
               const QMenuEffects& fx) {
  Require(s.currentPage >= 0 && s.currentPage <= l.PageCount(), "a page that exists");
  const QMenuPage& page = l.pages[static_cast<std::size_t>(s.currentPage)];
  Require(s.highlighted == 0 || (s.highlighted >= page.FirstLabel && s.highlighted <= page.LastLabel),
          "the highlight is on a row of the page shown, or nowhere");
  Require(s.upEnabled == (s.currentPage > 0) && s.downEnabled == (s.currentPage < l.PageCount()),
          "the arrows are enabled exactly as the page says");
  Require(!s.framedArrow || (l.Paged() && Enabled(s, *s.framedArrow)),
          "the arrow frame is only on an arrow that takes input");

  if (s.highlighted != before.highlighted) {
    Require(fx.highlightChanged, "a highlight change is reported");
    Require(before.highlighted == 0 || fx.unhighlighted == before.highlighted,
            "the row losing the highlight is repainted");
  }
  if (s.currentPage != before.currentPage)
    Require(fx.pageChanged && s.previousPage == before.currentPage, "a page change is reported");
  if (s.upEnabled != before.upEnabled || s.downEnabled != before.downEnabled)
    Require(fx.arrowsChanged, "an arrow change is reported");
  if (s.framedArrow != before.framedArrow || s.arrowSunken != before.arrowSunken)
    Require(fx.arrowFrameChanged, "an arrow frame change is reported");
  if (fx.hideMenu)
    Require(s.highlighted == 0 && s.keyboardPosition == 0 && !s.framedArrow && !s.arrowSunken &&
                !s.keyboardMode && !s.pointerLeft,
            "a hidden menu starts afresh");
  if (fx.run) {
    Require(fx.hideMenu, "the menu hides before an entry runs");
    const QMenuPage& shown = l.pages[static_cast<std::size_t>(before.currentPage)];
    Require(fx.run->label >= shown.FirstLabel && fx.run->label <= shown.LastLabel,
            "only a row of the page shown runs");
    Require(fx.run->command == Command(l.Label(fx.run->label)), "the row's own command runs");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bytes in(data, size);
  const QMenuMetrics metrics = DecodeMetrics(in);
  const std::vector<ItemRecord> records = DecodeRecords(in);
  QMenuLayout layout = LayoutQuickMenu(records, metrics);
  CheckLayout(layout, records);
  CheckReachable(layout);

  QMenuNav nav(layout);
  // The window tells the navigator its client size, a whole number of pixels.
  const auto client = [&] {
    return std::pair(std::lround(layout.width / layout.tppx) * layout.tppx,
                     std::lround(layout.height / layout.tppy) * layout.tppy);
  };
  auto [width, height] = client();
  nav.SetWindowSize(width, height);
  static const int kKeys[] = {kQMenuKeyEscape, kQMenuKeyPageUp, kQMenuKeyPageDown, kQMenuKeyEnd,
                              kQMenuKeyHome,   kQMenuKeyUp,     kQMenuKeyDown,     13};
  for (int step = 0; step < 2000 && !in.Empty(); ++step) {
    const QMenuNavState before = nav.state();
    QMenuEffects fx;
    const QMenuArrow arrow = in.Bit() ? QMenuArrow::Up : QMenuArrow::Down;
    switch (in.Below(10)) {
      case 0: {
        const Point p = AnyPoint(in, layout, nav, width, height);
        if (const auto a = LiveArrowAt(layout, nav, p)) fx = nav.ArrowMove(*a, false);
        else fx = nav.PointerMove(p.x, p.y);
        break;
      }
      case 1: {
        const bool left = in.Byte() % 4 != 0;
        const Point p = AnyPoint(in, layout, nav, width, height);
        if (const auto a = LiveArrowAt(layout, nav, p)) fx = nav.ArrowRelease(*a, left, true);
        else fx = nav.ButtonRelease(left, p.x, p.y);
        break;
      }
      case 2:
        if (Enabled(before, arrow)) fx = nav.ArrowPress(arrow);
        break;
      case 3: {
        const bool left = in.Bit(), inside = in.Bit();
        if (Enabled(before, arrow)) fx = nav.ArrowRelease(arrow, left, inside);
        break;
      }
      case 4: {
        const bool held = in.Bit();
        if (Enabled(before, arrow)) fx = nav.ArrowMove(arrow, held);
        break;
      }
      case 5: {
        const int b = in.Byte();
        fx = nav.KeyDown(b < 128 ? kKeys[b % 8] : b);
        break;
      }
      case 6: {
        // Half the codes are the letter some row starts with, in either case;
        // the others any code up to 127 (Enter among them).
        const int b = in.Byte();
        int c = b - 128;
        if (b < 128 && layout.EntryCount() > 0) {
          c = static_cast<unsigned char>(layout.Label(1 + b % layout.EntryCount()).hotKey);
          if (b & 64) c = static_cast<unsigned char>(UpperChar(static_cast<char>(c)));
        } else if (b < 128) {
          c = b;
        }
        fx = nav.KeyPress(c);
        if (c == kQMenuCharEnter && before.highlighted != 0 && !before.pointerLeft)
          Require(fx.run && fx.run->label == before.highlighted, "Enter runs the highlighted row");
        break;
      }
      case 7: {
        const int b = in.Byte();
        fx = nav.TimerTick(b % 8 != 0, (b & 8) != 0);
        break;
      }
      case 8: fx = nav.HideMenu(); break;
      case 9: {
        // Opened again under a button that moved: placed and sized anew.
        PlaceQuickMenu(layout, in.Below(static_cast<int>(metrics.screenWidth) + 1),
                       metrics.screenWidth);
        std::tie(width, height) = client();
        nav.SetWindowSize(width, height);
        fx = nav.HideMenu();
        CheckArrows(layout);
        break;
      }
    }
    CheckStep(layout, before, nav.state(), fx);
  }
  return 0;
}
