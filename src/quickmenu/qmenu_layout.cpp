#include "quickmenu/qmenu_layout.h"

#include <algorithm>

#include "model/text.h"

namespace velmora {
namespace {

constexpr double kFirstTop = 100;      // every page's first row
constexpr double kBottomMargin = 50;   // below the window, and before the usable height
constexpr double kArrowRoom = 550;     // taken off the usable height for the arrow row
constexpr double kArrowHeight = 320;
constexpr double kArrowInset = 50;
constexpr double kRightMargin = 200;
constexpr double kArrowGap = 100;      // FitArrows: each arrow is half the width less this
constexpr double kLeastArrow = 240;    // narrower, an arrow is hard to hit
constexpr double kTextIndent = 120;    // from the icon column to the captions
constexpr double kFrameX = 5;

char HotKeyOf(const std::string& title) {
  const std::string trimmed = Trim(title);
  return trimmed.empty() ? '\0' : LowerChar(trimmed.front());
}

struct Census {
  int entries = 0;
  int separatorGroups = 0;
  bool breakSplits = false;  // some breaker has entries on both sides
};

Census CountRecords(const std::vector<ItemRecord>& records) {
  Census c;
  bool previousWasSeparator = false;
  bool breakAfterEntry = false;
  for (std::size_t r = 1; r < records.size(); ++r) {
    const EntryKind kind = KindOf(records[r]);
    if (kind == EntryKind::Separator) {
      if (!previousWasSeparator) ++c.separatorGroups;
    } else if (kind == EntryKind::PageBreak) {
      if (c.entries > 0) breakAfterEntry = true;
    } else {
      if (breakAfterEntry) c.breakSplits = true;
      ++c.entries;
    }
    previousWasSeparator = kind == EntryKind::Separator;
  }
  return c;
}

class PageBuilder {
 public:
  PageBuilder(const QMenuMetrics& m, QMenuLayout& out) : m_(m), out_(out) {}

  // Lays out every entry. Returns false, leaving `out` half built, when a page
  // would close before room for the arrow row was reserved; the caller then
  // runs it again with the room reserved.
  bool Run(const std::vector<ItemRecord>& records, double usableHeight, bool arrowRoomReserved) {
    out_.entries.clear();
    out_.pages.clear();
    out_.widest = 0;
    out_.usableHeight = usableHeight;
    page_ = QMenuPage{};
    int k = 0;
    bool breakPending = false;
    // Nothing above a page's first row needs separating from it.
    bool afterSeparator = true;
    const double separatorOffset = m_.tppy > 14 ? 2 * m_.tppy : 4 * m_.tppy;
    const double separatorSpace = 12 * m_.tppy;

    for (std::size_t r = 1; r < records.size(); ++r) {
      const ItemRecord& record = records[r];
      const EntryKind kind = KindOf(record);
      if (kind == EntryKind::PageBreak) {
        // The page closes when the next entry comes: breakers at the end or in
        // a run leave no empty page behind.
        if (!breakPending && k >= page_.FirstLabel) {
          breakPending = true;
          afterSeparator = true;
        }
        continue;
      }
      if (kind == EntryKind::Separator) {
        if (afterSeparator) continue;
        page_.separators.push_back(out_.Label(k).Bottom() + out_.rowGap + separatorOffset);
        afterSeparator = true;
        continue;
      }

      ++k;
      QMenuEntry e;
      e.caption = record.Title;
      e.command = record.FileExe;
      e.icon = record.FileName;
      e.height = m_.labelHeight;
      e.width = m_.measureCaption ? m_.measureCaption(record.Title) : 0;
      e.hotKey = HotKeyOf(record.Title);
      if (breakPending) {
        ClosePage(k - 1);
        breakPending = false;
        e.top = kFirstTop;
      } else if (k == page_.FirstLabel) {
        e.top = kFirstTop;
      } else {
        e.top = out_.Label(k - 1).Bottom() + out_.rowGap + (afterSeparator ? separatorSpace : 0);
      }
      afterSeparator = false;
      e.page = static_cast<int>(out_.pages.size());
      out_.widest = std::max(out_.widest, e.width);
      out_.entries.push_back(std::move(e));

      // A page keeps at least its first entry, however short the screen.
      if (out_.entries.back().Bottom() >= out_.usableHeight - kBottomMargin && k > page_.FirstLabel) {
        if (!arrowRoomReserved) return false;
        ClosePage(k - 1);
        out_.entries.back().top = kFirstTop;
        out_.entries.back().page = static_cast<int>(out_.pages.size());
      }
    }

    if (out_.pages.empty()) {
      // A single page is never filled below its last row, so a trailing
      // separator stays visible.
      page_.LastLabel = k;
      page_.Init = true;
      out_.pages.push_back(std::move(page_));
    } else {
      ClosePage(k);
    }
    return true;
  }

 private:
  // Everything below the last row is painted over in button face, separators
  // included.
  void ClosePage(int lastLabel) {
    page_.LastLabel = lastLabel;
    const double fillTop = out_.Label(lastLabel).Bottom() + out_.rowGap + 2 * m_.tppy;
    std::erase_if(page_.separators, [&](double y) { return y >= fillTop; });
    page_.Init = out_.pages.empty();
    out_.pages.push_back(std::move(page_));
    page_ = QMenuPage{};
    page_.FirstLabel = lastLabel + 1;
  }

  const QMenuMetrics& m_;
  QMenuLayout& out_;
  QMenuPage page_;
};

}  // namespace

QMenuLayout LayoutQuickMenu(const std::vector<ItemRecord>& records, const QMenuMetrics& m) {
  QMenuLayout out;
  out.tppx = m.tppx;
  out.tppy = m.tppy;
  out.iconWidth = 16 * m.tppx;
  out.iconHeight = 16 * m.tppy;
  out.rowGap = m.tppy >= 14 ? 7 * m.tppy : 5 * m.tppy;
  out.textLeft = out.iconWidth + kTextIndent;
  out.barLeft = 21 * m.tppx;
  out.barHeight = 21 * m.tppy;

  // A window too short for one row above the arrow row is made that tall; it
  // then runs past the screen's bottom rather than hiding its only row.
  const double minHeight = kFirstTop + m.labelHeight + out.rowGap + kArrowRoom + kBottomMargin;
  const double windowHeight = std::max(m.screenHeight - m.windowTop - kBottomMargin, minHeight);

  const Census census = CountRecords(records);
  const double needed = (m.labelHeight + out.rowGap) * census.entries +
                        12 * m.tppy * census.separatorGroups;
  // Room for the arrow row is kept on every page whenever there will be more
  // than one, so that no row ends up under the arrows.
  const bool reserve = windowHeight - kBottomMargin < needed || census.breakSplits;
  PageBuilder builder(m, out);
  if (!builder.Run(records, reserve ? windowHeight - kArrowRoom : windowHeight, reserve)) {
    builder.Run(records, windowHeight - kArrowRoom, true);
  }

  out.width = QuickMenuWidth(out, m.windowLeft, m.screenWidth);
  if (!out.Paged()) {
    out.height = out.entries.empty() ? kFirstTop + kRightMargin
                                     : out.entries.back().Bottom() + kRightMargin;
  } else {
    out.height = windowHeight + m.tppy;
    QMenuArrowRow row;
    row.lineY = out.usableHeight + kBottomMargin;
    row.top = row.lineY + (m.tppy > 14 ? 5 * m.tppy : 7 * m.tppy);
    row.height = kArrowHeight;
    out.arrows = row;
    FitArrows(out);
  }
  return out;
}

void FitArrows(QMenuLayout& layout) {
  if (!layout.arrows) return;
  QMenuArrowRow& row = *layout.arrows;
  row.width = layout.width / 2 - kArrowGap;
  row.upLeft = kArrowInset;
  row.downLeft = row.upLeft + row.width + layout.tppx;
}

bool PlaceQuickMenu(QMenuLayout& layout, double windowLeft, double screenWidth) {
  const double width = QuickMenuWidth(layout, windowLeft, screenWidth);
  if (width == layout.width) return false;
  layout.width = width;
  FitArrows(layout);
  return true;
}

double QuickMenuWidth(const QMenuLayout& layout, double windowLeft, double screenWidth) {
  const double width = layout.textLeft + layout.widest + kRightMargin;
  if (windowLeft + width <= screenWidth) return width;
  // However little room is left, the icon column stays, and a paged menu
  // keeps two arrows a pointer can hit: it rather passes the screen's edge.
  double least = layout.textLeft;
  if (layout.Paged()) least = std::max(least, std::min(width, 2 * (kLeastArrow + kArrowGap)));
  return std::max(screenWidth - windowLeft - kBottomMargin, least);
}

double IconLeft(const QMenuLayout& layout) { return 2 * layout.tppx; }

double IconTop(const QMenuLayout& layout, int label) {
  const double top = layout.Label(label).top;
  return layout.tppy >= 14 ? top - layout.tppy : top + layout.tppy;
}

QMenuBox BoxFor(const QMenuLayout& layout, int label) {
  const QMenuEntry& e = layout.Label(label);
  QMenuBox box;
  box.barTop = e.top - layout.rowGap + 4 * layout.tppy;
  box.barHeight = layout.barHeight;
  if (Trim(e.icon).empty()) {
    box.barLeft = 0;
    return box;
  }
  box.barLeft = layout.barLeft;
  box.framed = true;
  const double t = box.barTop;
  const double h = box.barHeight;
  const double right = kFrameX + 19 * layout.tppx;
  box.left = {kFrameX, t, kFrameX, t + h - 2 * layout.tppy};
  box.right = {right, t, right, t + h - layout.tppy};
  box.top = {kFrameX, t, right, t};
  box.bottom = {kFrameX, t + h - 2 * layout.tppy, right + kFrameX, t + h - 2 * layout.tppy};
  return box;
}

std::optional<QMenuArrow> ArrowAt(const QMenuLayout& layout, double x, double y) {
  if (!layout.arrows) return std::nullopt;
  const QMenuArrowRow& row = *layout.arrows;
  if (y < row.top || y >= row.top + row.height) return std::nullopt;
  for (QMenuArrow a : {QMenuArrow::Up, QMenuArrow::Down}) {
    const double left = row.LeftOf(a);
    if (x >= left && x < left + row.width) return a;
  }
  return std::nullopt;
}

}  // namespace velmora
