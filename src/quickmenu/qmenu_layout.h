// The quick menu's geometry, worked out from the records of a menu file before
// anything is painted: where every entry row sits, which page it is on, where
// the etched separators go, how wide and tall the window is and where the arrow
// row lies. All lengths are twips, y measured from the window's top edge.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/item_record.h"

namespace velmora {

struct QMenuMetrics {
  double tppx = 15;
  double tppy = 15;
  double screenWidth = 0;
  double screenHeight = 0;
  double windowLeft = 0;   // where the caller put the window, under its button
  double windowTop = 0;
  double labelHeight = 0;  // the menu font's line height
  // Width of a caption in the menu font; an empty function measures everything as 0.
  std::function<double(const std::string&)> measureCaption;
};

struct QMenuEntry {
  std::string caption;  // Title
  std::string command;  // FileExe as read: cut at a NUL and trim before running it
  std::string icon;     // FileName, the icon source
  double top = 0;
  double height = 0;
  double width = 0;     // the caption's width; the row's left edge is QMenuLayout::textLeft
  int page = 0;
  // Letter search key: the trimmed title's first character in lower case, '\0'
  // for an empty title (a key press never matches it).
  char hotKey = '\0';
  double Bottom() const { return top + height; }
};

// One page, clsMenu-like. Label indices are 1-based; only a menu without any
// entry has a page with LastLabel < FirstLabel.
struct QMenuPage {
  int FirstLabel = 1;
  int LastLabel = 0;
  bool Init = false;  // page 0 is painted while the menu is built, the others on first showing
  // Etched separator lines: the shadow line at y, the highlight line TPPY lower,
  // both across the whole window.
  std::vector<double> separators;
  bool Empty() const { return LastLabel < FirstLabel; }
};

enum class QMenuArrow { Up = 0, Down = 1 };

// Only with several pages.
struct QMenuArrowRow {
  double lineY = 0;  // etched line above the arrows (shadow at y, highlight TPPY lower)
  double top = 0;
  double height = 0;
  double width = 0;  // of each arrow
  double upLeft = 0;
  double downLeft = 0;
  double LeftOf(QMenuArrow a) const { return a == QMenuArrow::Up ? upLeft : downLeft; }
};

struct QMenuLayout {
  double tppx = 15;
  double tppy = 15;
  double iconWidth = 0;
  double iconHeight = 0;
  double rowGap = 0;        // space below every entry
  double textLeft = 0;      // left edge of every caption
  double barLeft = 0;       // highlight bar's left edge for rows with an icon
  double barHeight = 0;
  double usableHeight = 0;  // what the entries of one page may fill
  double widest = 0;        // widest caption
  double width = 0;         // window, narrowed at the screen's right edge
  double height = 0;        // window
  std::vector<QMenuEntry> entries;  // entries[i - 1] is label i
  std::vector<QMenuPage> pages;     // never empty; pages[p] is page p
  std::optional<QMenuArrowRow> arrows;

  int EntryCount() const { return static_cast<int>(entries.size()); }
  int PageCount() const { return static_cast<int>(pages.size()) - 1; }  // index of the last page
  bool Paged() const { return pages.size() > 1; }
  const QMenuEntry& Label(int i) const { return entries[static_cast<std::size_t>(i - 1)]; }
};

// records[0] is the button's own record and is skipped.
QMenuLayout LayoutQuickMenu(const std::vector<ItemRecord>& records, const QMenuMetrics& metrics);

// The width rule: captions plus margins, narrowed so that the window ends 50
// twips before the screen's right edge. Applied again at every opening, since
// the button (and so the window's left) may have moved.
double QuickMenuWidth(const QMenuLayout& layout, double windowLeft, double screenWidth);
// The layout for a window at `windowLeft`: its width (narrowed at the screen
// edge) and the arrow row that spans it. True when the width changed, so
// that what was painted for the old width must go.
bool PlaceQuickMenu(QMenuLayout& layout, double windowLeft, double screenWidth);
// The two arrows share the window's width.
void FitArrows(QMenuLayout& layout);

// Where the icon of a label is drawn.
double IconLeft(const QMenuLayout& layout);
double IconTop(const QMenuLayout& layout, int label);

// The highlight bar and the raised frame around the icon of a label. The bar is
// as wide as the window; rows without an icon get the bar from the left edge
// and no frame.
struct QMenuBox {
  double barTop = 0;
  double barLeft = 0;
  double barHeight = 0;
  bool framed = false;
  // The frame's four lines as (x1, y1) - (x2, y2).
  struct Line { double x1, y1, x2, y2; };
  Line left{}, right{}, top{}, bottom{};
};
QMenuBox BoxFor(const QMenuLayout& layout, int label);

// The arrow under a point, whether enabled or not.
std::optional<QMenuArrow> ArrowAt(const QMenuLayout& layout, double x, double y);

}  // namespace velmora
