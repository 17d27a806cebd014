#include "quickmenu/qmenu_layout.h"
#include "qmenu_screen.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace velmora {
namespace {

// A menu written compactly: "-" is a separator, "|" a page break, anything
// else an entry with that title.
std::vector<ItemRecord> Menu(const std::vector<std::string>& items) {
  std::vector<ItemRecord> records{{"Button", "C:\\b.ico", ""}};
  for (const auto& t : items) {
    if (t == "-") records.push_back({"Menu Separator", "MenuLineSeparator", ""});
    else if (t == "|") records.push_back({"", "menubreaker", ""});
    else records.push_back({t, "C:\\icons\\" + t + ".ico", t + ".exe"});
  }
  return records;
}

std::vector<std::string> Entries(int n, const std::string& prefix = "Entry ") {
  std::vector<std::string> out;
  for (int i = 1; i <= n; ++i) out.push_back(prefix + std::to_string(i));
  return out;
}

// Window height 14710: an entry and its gap take 300.
constexpr double kWindowHeight96 = 1024 * 15 - 600 - 50;

QMenuMetrics Screen120() {
  QMenuMetrics m = Screen96();
  m.tppx = m.tppy = 12;
  m.screenWidth = 1280 * 12;
  m.screenHeight = 1024 * 12;
  m.labelHeight = 156;
  return m;
}

// Every page holds entries, the pages cover the labels in order, rows go down
// the page and stay clear of the arrow row, and the arrow row is inside the window.
void ExpectSoundPages(const QMenuLayout& l) {
  ASSERT_FALSE(l.pages.empty());
  ASSERT_EQ(l.Paged(), l.arrows.has_value());
  if (l.EntryCount() == 0) {
    EXPECT_EQ(l.pages.size(), 1u);
    return;
  }
  int next = 1;
  for (int p = 0; p <= l.PageCount(); ++p) {
    const QMenuPage& page = l.pages[static_cast<std::size_t>(p)];
    ASSERT_FALSE(page.Empty()) << "page " << p;
    ASSERT_EQ(page.FirstLabel, next) << "page " << p;
    EXPECT_EQ(page.Init, p == 0);
    EXPECT_DOUBLE_EQ(l.Label(page.FirstLabel).top, 100);
    for (int i = page.FirstLabel; i <= page.LastLabel; ++i) {
      EXPECT_EQ(l.Label(i).page, p);
      if (i > page.FirstLabel) {
        EXPECT_GE(l.Label(i).top, l.Label(i - 1).Bottom() + l.rowGap);
      }
      EXPECT_LT(l.Label(i).Bottom(), l.arrows ? l.arrows->lineY : l.height) << "label " << i;
    }
    for (double y : page.separators) {
      EXPECT_GT(y, l.Label(page.FirstLabel).Bottom());
      EXPECT_LT(y + l.tppy, l.arrows ? l.arrows->lineY : l.height);
    }
    next = page.LastLabel + 1;
  }
  EXPECT_EQ(next, l.EntryCount() + 1);
  if (l.arrows) {
    EXPECT_LE(l.arrows->top + l.arrows->height, l.height);
  }
}

TEST(QMenuLayout, SinglePageRowsSizesAndWidth) {
  const auto l = LayoutQuickMenu(Menu({"Notepad", "Calculator", "Paint"}), Screen96());
  EXPECT_DOUBLE_EQ(l.rowGap, 105);
  EXPECT_DOUBLE_EQ(l.textLeft, 16 * 15 + 120);
  EXPECT_DOUBLE_EQ(l.barLeft, 21 * 15);
  ASSERT_EQ(l.EntryCount(), 3);
  EXPECT_DOUBLE_EQ(l.Label(1).top, 100);
  EXPECT_DOUBLE_EQ(l.Label(2).top, 400);
  EXPECT_DOUBLE_EQ(l.Label(3).top, 700);
  EXPECT_EQ(l.Label(2).caption, "Calculator");
  EXPECT_EQ(l.Label(2).command, "Calculator.exe");
  EXPECT_EQ(l.Label(2).icon, "C:\\icons\\Calculator.ico");
  EXPECT_DOUBLE_EQ(l.widest, 10 * 90);
  EXPECT_DOUBLE_EQ(l.width, 360 + 900 + 200);
  EXPECT_DOUBLE_EQ(l.height, 700 + 195 + 200);
  EXPECT_DOUBLE_EQ(l.usableHeight, kWindowHeight96);
  EXPECT_EQ(l.pages.size(), 1u);
  ExpectSoundPages(l);
}

TEST(QMenuLayout, EmptyAndMissingMenusGiveOneEmptyPage) {
  for (const auto& records : {std::vector<ItemRecord>{}, Menu({}), Menu({"-", "|", "-", "|"})}) {
    const auto l = LayoutQuickMenu(records, Screen96());
    EXPECT_EQ(l.EntryCount(), 0);
    ASSERT_EQ(l.pages.size(), 1u);
    EXPECT_TRUE(l.pages[0].Empty());
    EXPECT_TRUE(l.pages[0].separators.empty());
    EXPECT_FALSE(l.arrows);
    EXPECT_GT(l.height, 0);
  }
}

TEST(QMenuLayout, SeparatorRunsDrawOnceAndAddSpaceOnce) {
  const auto one = LayoutQuickMenu(Menu({"A", "-", "B"}), Screen96());
  const auto run = LayoutQuickMenu(Menu({"A", "-", "-", "-", "B"}), Screen96());
  for (const auto* l : {&one, &run}) {
    ASSERT_EQ(l->pages[0].separators.size(), 1u);
    // Shadow line 2 pixels below the gap, the next row 12 pixels further down.
    EXPECT_DOUBLE_EQ(l->pages[0].separators[0], 295 + 105 + 30);
    EXPECT_DOUBLE_EQ(l->Label(2).top, 295 + 105 + 180);
  }
  // At 120 dpi the line sits 4 pixels below the gap.
  const auto l120 = LayoutQuickMenu(Menu({"A", "-", "B"}), Screen120());
  EXPECT_DOUBLE_EQ(l120.rowGap, 60);
  EXPECT_DOUBLE_EQ(l120.pages[0].separators[0], 100 + 156 + 60 + 48);
  EXPECT_DOUBLE_EQ(l120.Label(2).top, 100 + 156 + 60 + 144);
}

TEST(QMenuLayout, SeparatorsWithNothingToSeparateAreNotDrawn) {
  // Directly after a break, and at the very top.
  const auto l = LayoutQuickMenu(Menu({"-", "A", "|", "-", "B", "-", "C"}), Screen96());
  ASSERT_EQ(l.pages.size(), 2u);
  EXPECT_TRUE(l.pages[0].separators.empty());
  EXPECT_DOUBLE_EQ(l.Label(1).top, 100);
  EXPECT_DOUBLE_EQ(l.Label(2).top, 100);
  ASSERT_EQ(l.pages[1].separators.size(), 1u);
  // Below a page's last row everything is painted over; a single page is not.
  EXPECT_TRUE(LayoutQuickMenu(Menu({"A", "-", "|", "B", "-"}), Screen96()).pages[0].separators.empty());
  EXPECT_TRUE(LayoutQuickMenu(Menu({"A", "|", "B", "-"}), Screen96()).pages[1].separators.empty());
  const auto single = LayoutQuickMenu(Menu({"A", "-"}), Screen96());
  ASSERT_EQ(single.pages[0].separators.size(), 1u);
  EXPECT_LT(single.pages[0].separators[0] + 15, single.height);
}

TEST(QMenuLayout, EveryShortSequenceOfEntriesSeparatorsAndBreaksIsSound) {
  // All sequences of up to 7 records over entry, separator and break: breakers
  // at either end, in runs or around separators never leave an empty page.
  const char kinds[] = {'E', '-', '|'};
  for (int len = 0; len <= 7; ++len) {
    int total = 1;
    for (int i = 0; i < len; ++i) total *= 3;
    for (int code = 0; code < total; ++code) {
      std::vector<std::string> items;
      int expectedPages = 0;
      bool entryOnPage = false, breakPending = false;
      for (int i = 0, c = code; i < len; ++i, c /= 3) {
        const char k = kinds[c % 3];
        if (k == 'E') {
          items.push_back("E" + std::to_string(i));
          if (!entryOnPage || breakPending) ++expectedPages;
          entryOnPage = true;
          breakPending = false;
        } else {
          items.push_back(std::string(1, k));
          if (k == '|' && entryOnPage) breakPending = true;
        }
      }
      const auto l = LayoutQuickMenu(Menu(items), Screen96());
      SCOPED_TRACE(::testing::PrintToString(items));
      EXPECT_EQ(static_cast<int>(l.pages.size()), std::max(expectedPages, 1));
      ExpectSoundPages(l);
    }
  }
}

TEST(QMenuLayout, NeededHeightDecidesWhetherTheArrowRowIsReserved) {
  // 48 rows need 14400 and fit the window less 50; 49 need 14700 and do not.
  const auto fits = LayoutQuickMenu(Menu(Entries(48)), Screen96());
  EXPECT_EQ(fits.pages.size(), 1u);
  EXPECT_DOUBLE_EQ(fits.usableHeight, kWindowHeight96);
  EXPECT_DOUBLE_EQ(fits.height, 100 + 47 * 300 + 195 + 200);

  const auto paged = LayoutQuickMenu(Menu(Entries(49)), Screen96());
  EXPECT_DOUBLE_EQ(paged.usableHeight, kWindowHeight96 - 550);
  ASSERT_EQ(paged.pages.size(), 2u);
  // Row 48 would end at 14395, past usable - 50 = 14110: it opens page 1.
  EXPECT_EQ(paged.pages[0].LastLabel, 47);
  EXPECT_EQ(paged.pages[1].FirstLabel, 48);
  EXPECT_DOUBLE_EQ(paged.Label(48).top, 100);
  EXPECT_DOUBLE_EQ(paged.Label(49).top, 400);
  EXPECT_DOUBLE_EQ(paged.height, kWindowHeight96 + 15);

  // A separator group counts 12 pixels in the needed height.
  auto items = Entries(48);
  items.insert(items.begin() + 10, "-");
  EXPECT_EQ(LayoutQuickMenu(Menu(items), Screen96()).pages.size(), 1u);  // 14400 + 180
  // A run of them counts once.
  items.insert(items.begin() + 10, {"-", "-"});
  EXPECT_EQ(LayoutQuickMenu(Menu(items), Screen96()).pages.size(), 1u);
  items.insert(items.begin() + 30, "-");
  EXPECT_TRUE(LayoutQuickMenu(Menu(items), Screen96()).Paged());         // 14400 + 360
}

TEST(QMenuLayout, PageClosesWhenARowReachesFiftyAboveTheUsableHeight) {
  auto m = Screen96();
  // Usable height 14145: row 47 ends at exactly 14095 = usable - 50.
  m.screenHeight = 14145 + 550 + 600 + 50;
  const auto l = LayoutQuickMenu(Menu(Entries(60)), m);
  EXPECT_EQ(l.pages[0].LastLabel, 46);
  m.screenHeight += 1;
  EXPECT_EQ(LayoutQuickMenu(Menu(Entries(60)), m).pages[0].LastLabel, 47);
}

TEST(QMenuLayout, ArrowRowGeometry) {
  const auto l = LayoutQuickMenu(Menu(Entries(100)), Screen96());
  ASSERT_TRUE(l.arrows);
  const auto& a = *l.arrows;
  EXPECT_DOUBLE_EQ(a.lineY, l.usableHeight + 50);
  EXPECT_DOUBLE_EQ(a.top, a.lineY + 75);
  EXPECT_DOUBLE_EQ(a.height, 320);
  EXPECT_DOUBLE_EQ(a.width, l.width / 2 - 100);
  EXPECT_DOUBLE_EQ(a.upLeft, 50);
  EXPECT_DOUBLE_EQ(a.downLeft, 50 + a.width + 15);
  EXPECT_EQ(ArrowAt(l, 60, a.top + 10), QMenuArrow::Up);
  EXPECT_EQ(ArrowAt(l, a.downLeft, a.top + a.height - 1), QMenuArrow::Down);
  EXPECT_FALSE(ArrowAt(l, a.downLeft - 5, a.top + 10));  // the pixel between them
  EXPECT_FALSE(ArrowAt(l, 60, a.top + a.height));
  EXPECT_DOUBLE_EQ(LayoutQuickMenu(Menu(Entries(100)), Screen120()).arrows->top,
                   LayoutQuickMenu(Menu(Entries(100)), Screen120()).arrows->lineY + 84);
}

TEST(QMenuLayout, BreakingMenusKeepEveryRowClearOfTheArrowRow) {
  // Without a break these rows would all fit; the break adds the arrow row,
  // which must not cover the lower rows of the first page.
  auto items = Entries(46);
  items.insert(items.end(), {"-", "Tail", "|", "Next"});
  const auto l = LayoutQuickMenu(Menu(items), Screen96());
  ExpectSoundPages(l);
  EXPECT_EQ(l.pages[0].LastLabel, 46);

  // At 120 dpi rows can end below the usable height less 50 without the
  // needed height noticing: the page still gets its arrow row.
  auto m = Screen120();
  m.screenHeight = 216 * 40 + 60 + 600 + 50;
  const auto tight = LayoutQuickMenu(Menu(Entries(40)), m);
  ASSERT_TRUE(tight.Paged());
  ExpectSoundPages(tight);
}

TEST(QMenuLayout, RandomMenusOnManyScreensAreSound) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 300; ++round) {
    auto m = round % 2 ? Screen96() : Screen120();
    m.screenHeight = std::uniform_int_distribution<int>(200, 20000)(rng);
    m.labelHeight = std::uniform_int_distribution<int>(100, 400)(rng);
    std::vector<std::string> items;
    const int n = std::uniform_int_distribution<int>(0, 300)(rng);
    for (int i = 0; i < n; ++i) {
      const int r = std::uniform_int_distribution<int>(0, 9)(rng);
      items.push_back(r == 0 ? "-" : r == 1 ? "|" : "E" + std::to_string(i));
    }
    SCOPED_TRACE(round);
    ExpectSoundPages(LayoutQuickMenu(Menu(items), m));
  }
}

TEST(QMenuLayout, ScreenTooShortForOneRowAndTheArrowRow) {
  auto m = Screen96();
  m.screenHeight = m.windowTop + 100;  // window height would be 50
  const auto l = LayoutQuickMenu(Menu({"A", "B", "-", "C", "|", "D", "E"}), m);
  ASSERT_EQ(l.pages.size(), 5u);
  for (const auto& page : l.pages) EXPECT_EQ(page.FirstLabel, page.LastLabel);
  ExpectSoundPages(l);

  m.labelHeight = 50000;  // one row taller than any screen
  const auto huge = LayoutQuickMenu(Menu(Entries(5)), m);
  EXPECT_EQ(huge.pages.size(), 5u);
  ExpectSoundPages(huge);
}

TEST(QMenuLayout, NarrowedAtTheScreensRightEdge) {
  auto m = Screen96();
  const std::string title50(50, 'W');
  m.windowLeft = 15000;
  const auto l = LayoutQuickMenu(Menu({"Short", title50}), m);
  EXPECT_DOUBLE_EQ(l.widest, 50 * 90);
  // 360 + 4500 + 200 from 15000 would pass 19200: ends 50 before the edge.
  EXPECT_DOUBLE_EQ(l.width, 19200 - 15000 - 50);
  // On a later activation from further left, the full width comes back.
  EXPECT_DOUBLE_EQ(QuickMenuWidth(l, 1000, 19200), 360 + 4500 + 200);
  EXPECT_DOUBLE_EQ(QuickMenuWidth(l, 14140, 19200), 360 + 4500 + 200);  // exactly fits
  // A window starting at the edge still shows its icon column.
  EXPECT_DOUBLE_EQ(QuickMenuWidth(l, 19200, 19200), l.textLeft);
}

TEST(QMenuLayout, APagedMenuOpenedFromAnotherPlaceFitsItsWidthAndArrowsAgain) {
  auto m = Screen96();
  m.windowLeft = 1000;
  const std::string title50(50, 'W');
  std::vector<std::string> items(60, title50);
  auto l = LayoutQuickMenu(Menu(items), m);
  ASSERT_TRUE(l.Paged());
  const double full = l.width;
  EXPECT_FALSE(PlaceQuickMenu(l, 1000, m.screenWidth)) << "same place, same width";
  // Its button was dragged near the right edge: the window ends 50 before it.
  EXPECT_TRUE(PlaceQuickMenu(l, 15000, m.screenWidth));
  EXPECT_DOUBLE_EQ(l.width, m.screenWidth - 15000 - 50);
  ASSERT_TRUE(l.arrows);
  EXPECT_DOUBLE_EQ(l.arrows->width, l.width / 2 - 100);
  EXPECT_LT(l.arrows->downLeft + l.arrows->width, l.width) << "the down arrow left the window";
  // At the very edge the arrows keep a size a pointer can hit.
  EXPECT_TRUE(PlaceQuickMenu(l, m.screenWidth, m.screenWidth));
  EXPECT_GE(l.arrows->width, 240);
  EXPECT_TRUE(PlaceQuickMenu(l, 1000, m.screenWidth));
  EXPECT_DOUBLE_EQ(l.width, full);
}

TEST(QMenuLayout, HotKeysAreLowerCaseFirstLettersWithTheirPage) {
  const auto l = LayoutQuickMenu(Menu({"Notepad", "  ", "|", "\xC9" "cran", "7-Zip", ""}), Screen96());
  EXPECT_EQ(l.Label(1).hotKey, 'n');
  EXPECT_EQ(l.Label(1).page, 0);
  EXPECT_EQ(l.Label(2).hotKey, '\0');  // a blank title
  EXPECT_EQ(l.Label(3).hotKey, '\xE9');
  EXPECT_EQ(l.Label(3).page, 1);
  EXPECT_EQ(l.Label(4).hotKey, '7');
  EXPECT_EQ(l.Label(5).hotKey, '\0');
  EXPECT_EQ(l.Label(5).page, 1);
}

TEST(QMenuLayout, HighlightBoxAndIconPosition) {
  auto records = Menu({"A", "B"});
  records[2].FileName = "  ";
  const auto l = LayoutQuickMenu(records, Screen96());
  const auto framed = BoxFor(l, 1);
  EXPECT_DOUBLE_EQ(framed.barTop, 100 - 105 + 60);
  EXPECT_DOUBLE_EQ(framed.barLeft, 21 * 15);
  EXPECT_DOUBLE_EQ(framed.barHeight, 21 * 15);
  EXPECT_TRUE(framed.framed);
  EXPECT_DOUBLE_EQ(framed.bottom.x2, 5 + 19 * 15 + 5);
  EXPECT_DOUBLE_EQ(framed.bottom.y1, framed.barTop + 21 * 15 - 30);
  const auto bare = BoxFor(l, 2);  // no icon: the bar covers the icon column, no frame
  EXPECT_DOUBLE_EQ(bare.barLeft, 0);
  EXPECT_FALSE(bare.framed);
  EXPECT_DOUBLE_EQ(IconLeft(l), 30);
  EXPECT_DOUBLE_EQ(IconTop(l, 2), 400 - 15);
  EXPECT_DOUBLE_EQ(IconTop(LayoutQuickMenu(Menu({"A"}), Screen120()), 1), 100 + 12);
}

}  // namespace
}  // namespace velmora
