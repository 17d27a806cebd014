#include "quickmenu/qmenu_nav.h"
#include "qmenu_screen.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace velmora {
namespace {

// "-" is a separator, "|" a page break, anything else an entry with that title
// running title + ".exe".
std::vector<ItemRecord> Records(const std::vector<std::string>& items) {
  std::vector<ItemRecord> records{{"Button", "", ""}};
  for (const auto& t : items) {
    if (t == "-") records.push_back({"", "MenuLineSeparator", ""});
    else if (t == "|") records.push_back({"", "MenuBreaker", ""});
    else records.push_back({t, "C:\\i.ico", t + ".exe"});
  }
  return records;
}

struct Menu {
  explicit Menu(const std::vector<ItemRecord>& records) : layout(LayoutQuickMenu(records, Screen96())), nav(layout) {}
  explicit Menu(const std::vector<std::string>& items) : Menu(Records(items)) {}
  Menu(std::initializer_list<std::string> items) : Menu(std::vector<std::string>(items)) {}
  double Mid(int label) const { return layout.Label(label).top + layout.Label(label).height / 2; }
  QMenuEffects Hover(int label) { return nav.PointerMove(layout.textLeft + 10, Mid(label)); }
  QMenuEffects Release(int label) { return nav.ButtonRelease(true, layout.textLeft + 10, Mid(label)); }
  QMenuEffects Key(int vk) { return nav.KeyDown(vk); }
  QMenuEffects Char(char c) {
    nav.KeyDown(0);  // a key-down always comes first
    return nav.KeyPress(static_cast<unsigned char>(c));
  }
  const QMenuNavState& s() const { return nav.state(); }

  QMenuLayout layout;
  QMenuNav nav;
};

const std::vector<std::string> kThreePages = {"Notepad", "Paint", "net", "|", "Calc", "Notes", "|",
                                              "Word", "nano", "Excel"};

TEST(QMenuPointer, HighlightFollowsThePointerRowByRow) {
  Menu m({"Alpha", "Beta", "-", "Gamma"});
  auto fx = m.Hover(2);
  EXPECT_TRUE(fx.highlightChanged);
  EXPECT_EQ(fx.unhighlighted, 0);
  EXPECT_EQ(m.s().highlighted, 2);
  EXPECT_EQ(m.s().keyboardPosition, 2);
  fx = m.Hover(3);
  EXPECT_EQ(fx.unhighlighted, 2);
  EXPECT_EQ(m.s().highlighted, 3);
  EXPECT_FALSE(m.Hover(3).highlightChanged);

  // A row answers from one pixel below the previous row's bottom.
  const double rowTwoFrom = m.layout.Label(2).top - m.layout.rowGap + 15;
  m.nav.PointerMove(10, rowTwoFrom);
  EXPECT_EQ(m.s().highlighted, 2);
  m.nav.PointerMove(10, m.layout.Label(1).Bottom());
  EXPECT_EQ(m.s().highlighted, 1);
  // The separator's extra space belongs to no row: the highlight stays put.
  m.nav.PointerMove(10, m.layout.Label(2).Bottom() + 120);
  EXPECT_EQ(m.s().highlighted, 1);
  // Below the last row it goes.
  fx = m.nav.PointerMove(10, m.layout.Label(3).Bottom() + 1);
  EXPECT_EQ(fx.unhighlighted, 1);
  EXPECT_EQ(m.s().highlighted, 0);
  EXPECT_EQ(m.s().keyboardPosition, 0);
  EXPECT_FALSE(m.s().pointerLeft);
}

TEST(QMenuPointer, ReleaseRunsTheHighlightedRowOnly) {
  auto records = Records({"Alpha", "Beta", "-", "Gamma", "Empty"});
  records[2].FileExe = std::string("  notepad.exe  ") + '\0' + "tail";
  records[5].FileExe = "   ";
  Menu m(records);

  // Nothing highlighted, or another button: nothing runs.
  EXPECT_FALSE(m.Release(1).run);
  m.Hover(1);
  EXPECT_FALSE(m.nav.ButtonRelease(false, 400, m.Mid(1)).run);
  EXPECT_EQ(m.s().highlighted, 1);

  m.Hover(2);
  // Over the separator's gap: nothing runs and the menu stays open.
  auto fx = m.nav.ButtonRelease(true, 400, m.layout.Label(2).Bottom() + 120);
  EXPECT_FALSE(fx.run);
  EXPECT_FALSE(fx.hideMenu);

  fx = m.Release(2);
  EXPECT_TRUE(fx.hideMenu);
  ASSERT_TRUE(fx.run);
  EXPECT_EQ(fx.run->label, 2);
  EXPECT_EQ(fx.run->command, "notepad.exe");
  EXPECT_EQ(m.s().highlighted, 0);

  m.Hover(4);
  fx = m.Release(4);
  ASSERT_TRUE(fx.run);
  EXPECT_EQ(fx.run->label, 4);
  EXPECT_EQ(fx.run->command, "");  // the window shows the empty-command message

  // Below the rows, or outside the window: the highlight goes, nothing runs.
  m.Hover(3);
  fx = m.nav.ButtonRelease(true, 400, m.layout.Label(4).Bottom() + 5);
  EXPECT_FALSE(fx.run);
  EXPECT_EQ(m.s().highlighted, 0);
  m.Hover(3);
  EXPECT_FALSE(m.nav.ButtonRelease(true, m.layout.width + 1, m.Mid(3)).run);
  EXPECT_EQ(m.s().highlighted, 0);
}

TEST(QMenuPointer, AfterLeavingTheWindowAReleaseWaitsForTheNextTick) {
  Menu m({"Alpha", "Beta"});
  m.Hover(1);
  auto fx = m.nav.PointerMove(-15, m.Mid(1));
  EXPECT_TRUE(fx.highlightChanged);
  EXPECT_EQ(m.s().highlighted, 0);
  EXPECT_TRUE(m.s().pointerLeft);

  m.Hover(2);
  EXPECT_EQ(m.s().highlighted, 2);
  EXPECT_FALSE(m.Release(2).run);
  m.nav.TimerTick(true, true);
  EXPECT_FALSE(m.s().pointerLeft);
  EXPECT_TRUE(m.Release(2).run);

  // The poll itself sees the pointer off the menu.
  Menu n({"Alpha", "Beta"});
  n.Hover(2);
  fx = n.nav.TimerTick(true, false);
  EXPECT_EQ(fx.unhighlighted, 2);
  EXPECT_EQ(n.s().highlighted, 0);
  EXPECT_TRUE(n.s().pointerLeft);
}

TEST(QMenuPointer, KeyboardModeKeepsTheHighlightWhileThePointerIsAway) {
  Menu m({"Alpha", "Beta"});
  m.Key(kQMenuKeyDown);
  EXPECT_TRUE(m.s().keyboardMode);
  EXPECT_EQ(m.s().highlighted, 1);
  m.nav.TimerTick(true, false);
  EXPECT_EQ(m.s().highlighted, 1);
  EXPECT_FALSE(m.s().pointerLeft);

  m.nav.PointerMove(10, m.Mid(1));  // back over the menu: keyboard mode ends
  EXPECT_FALSE(m.s().keyboardMode);
  m.nav.TimerTick(true, false);
  EXPECT_EQ(m.s().highlighted, 0);

  // The pointer is off the menu and the poll has noticed; keys typed before
  // its next tick still choose: Enter runs what Down selected.
  ASSERT_TRUE(m.s().pointerLeft);
  m.Key(kQMenuKeyDown);
  EXPECT_FALSE(m.s().pointerLeft);
  const auto fx = m.nav.KeyPress(kQMenuCharEnter);
  ASSERT_TRUE(fx.run) << "Enter swallowed";
  EXPECT_EQ(fx.run->label, 1);
}

TEST(QMenuKeyboard, UpAndDownWrapWithinThePage) {
  Menu m(kThreePages);
  std::vector<int> seen;
  for (int i = 0; i < 4; ++i) {
    m.Key(kQMenuKeyDown);
    seen.push_back(m.s().highlighted);
  }
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 1}));
  m.Key(kQMenuKeyUp);
  EXPECT_EQ(m.s().highlighted, 3);

  m.Key(kQMenuKeyPageDown);  // page 1 holds labels 4 and 5
  EXPECT_EQ(m.s().highlighted, 0);
  m.Key(kQMenuKeyDown);
  EXPECT_EQ(m.s().highlighted, 4);
  m.Key(kQMenuKeyDown);
  m.Key(kQMenuKeyDown);
  EXPECT_EQ(m.s().highlighted, 4);
  m.Key(kQMenuKeyUp);
  EXPECT_EQ(m.s().highlighted, 5);

  // After a letter search the moves go from the found row.
  m.Char('w');  // Word, label 6, first on page 2
  m.Key(kQMenuKeyDown);
  EXPECT_EQ(m.s().highlighted, 7);
  m.Char('w');
  m.Key(kQMenuKeyUp);
  EXPECT_EQ(m.s().highlighted, 8);
}

TEST(QMenuKeyboard, PagingKeysOnAThreePageMenu) {
  Menu m(kThreePages);
  ASSERT_EQ(m.layout.PageCount(), 2);
  EXPECT_FALSE(m.s().upEnabled);
  EXPECT_TRUE(m.s().downEnabled);

  auto fx = m.Key(kQMenuKeyHome);  // already on page 0
  EXPECT_FALSE(fx.pageChanged);

  m.Key(kQMenuKeyDown);
  fx = m.Key(kQMenuKeyEnd);
  EXPECT_TRUE(fx.pageChanged);
  EXPECT_EQ(fx.unhighlighted, 1);
  EXPECT_EQ(m.s().currentPage, 2);
  EXPECT_EQ(m.s().previousPage, 0);
  EXPECT_TRUE(m.s().upEnabled);
  EXPECT_FALSE(m.s().downEnabled);
  EXPECT_FALSE(m.Char('\r').run);  // the old page's highlight is gone

  m.Key(kQMenuKeyDown);
  fx = m.Key(kQMenuKeyPageDown);  // on the last page: the page stays
  EXPECT_FALSE(fx.pageChanged);
  EXPECT_EQ(m.s().currentPage, 2);
  EXPECT_EQ(m.s().highlighted, 0);

  m.Key(kQMenuKeyPageUp);
  EXPECT_EQ(m.s().currentPage, 1);
  EXPECT_TRUE(m.s().upEnabled);
  EXPECT_TRUE(m.s().downEnabled);
  fx = m.Key(kQMenuKeyHome);
  EXPECT_EQ(m.s().currentPage, 0);
  EXPECT_FALSE(m.s().upEnabled);
  EXPECT_TRUE(m.s().downEnabled);
  EXPECT_FALSE(m.Key(kQMenuKeyPageUp).pageChanged);

  Menu single({"Alpha", "Beta"});
  for (int vk : {kQMenuKeyPageDown, kQMenuKeyEnd, kQMenuKeyPageUp, kQMenuKeyHome}) {
    EXPECT_FALSE(single.Key(vk).pageChanged);
  }
}

TEST(QMenuKeyboard, LettersCycleThroughMatchesAcrossPages) {
  Menu m(kThreePages);
  struct Step { int label; int page; };
  const std::vector<Step> expected = {{1, 0}, {3, 0}, {5, 1}, {7, 2}, {1, 0}, {3, 0}};
  for (const auto& step : expected) {
    const auto fx = m.Char('N');  // letter case does not matter
    EXPECT_EQ(m.s().highlighted, step.label);
    EXPECT_EQ(m.s().currentPage, step.page);
    EXPECT_EQ(m.s().keyboardPosition, step.label + 1);
    EXPECT_TRUE(fx.highlightChanged);
  }
  // From the last page back to page 0 and on to the middle: the arrows follow.
  m.Char('e');  // Excel, page 2
  EXPECT_FALSE(m.s().downEnabled);
  m.Char('c');  // Calc, page 1
  EXPECT_EQ(m.s().currentPage, 1);
  EXPECT_TRUE(m.s().upEnabled);
  EXPECT_TRUE(m.s().downEnabled);

  // The search goes on from the row under the pointer.
  m.Key(kQMenuKeyHome);
  m.Hover(2);
  m.Char('n');
  EXPECT_EQ(m.s().highlighted, 3);

  // No match, blanks and control characters change nothing.
  for (char c : {'z', ' ', '\t', '\x7f'}) {
    const auto fx = m.Char(c);
    EXPECT_FALSE(fx.highlightChanged);
    EXPECT_EQ(m.s().highlighted, 3);
  }
}

TEST(QMenuKeyboard, EmptyTitlesAreNeverFound) {
  Menu m({"", "Alpha", " "});
  m.Char('a');
  EXPECT_EQ(m.s().highlighted, 2);
  m.Char('a');
  EXPECT_EQ(m.s().highlighted, 2);
}

TEST(QMenuKeyboard, EnterRunsTheHighlightedEntryAndEscOnlyHides) {
  Menu m({"Alpha", "Beta"});
  EXPECT_FALSE(m.Char('\r').run);
  m.Key(kQMenuKeyDown);
  m.Key(kQMenuKeyDown);
  auto fx = m.Char('\r');
  ASSERT_TRUE(fx.run);
  EXPECT_EQ(fx.run->label, 2);
  EXPECT_EQ(fx.run->command, "Beta.exe");
  EXPECT_TRUE(fx.hideMenu);
  EXPECT_FALSE(m.s().keyboardMode);

  fx = m.Key(kQMenuKeyEscape);
  EXPECT_TRUE(fx.hideWindow);
  EXPECT_FALSE(fx.hideMenu);
  EXPECT_FALSE(m.s().keyboardMode);
  fx = m.nav.TimerTick(false, false);  // another window is active now
  EXPECT_TRUE(fx.hideMenu);
}

TEST(QMenuKeyboard, EnterRunsTheRowInAWindowCutToItsIconColumn) {
  // Opened from a button at the screen's right edge: no caption shows.
  auto records = Records({"Alpha", "Beta"});
  auto metrics = Screen96();
  metrics.windowLeft = metrics.screenWidth;
  const QMenuLayout layout = LayoutQuickMenu(records, metrics);
  ASSERT_DOUBLE_EQ(layout.width, layout.textLeft);
  QMenuNav nav(layout);
  nav.SetWindowSize(layout.width, layout.height);
  nav.KeyDown(kQMenuKeyDown);
  nav.KeyDown(0);
  const auto fx = nav.KeyPress(kQMenuCharEnter);
  ASSERT_TRUE(fx.run) << "Enter swallowed";
  EXPECT_EQ(fx.run->label, 1);
}

TEST(QMenuArrows, FrameAndPagingByMouse) {
  Menu m(kThreePages);
  m.Hover(2);
  auto fx = m.nav.ArrowMove(QMenuArrow::Down, false);
  EXPECT_TRUE(fx.arrowFrameChanged);
  EXPECT_EQ(m.s().framedArrow, QMenuArrow::Down);
  EXPECT_EQ(m.s().highlighted, 0);
  EXPECT_FALSE(m.nav.ArrowMove(QMenuArrow::Down, false).arrowFrameChanged);

  m.nav.ArrowPress(QMenuArrow::Down);
  EXPECT_TRUE(m.s().arrowSunken);
  fx = m.nav.ArrowRelease(QMenuArrow::Down, true, false);  // dragged off the arrow
  EXPECT_FALSE(m.s().arrowSunken);
  EXPECT_FALSE(fx.pageChanged);
  EXPECT_FALSE(m.nav.ArrowRelease(QMenuArrow::Down, false, true).pageChanged);

  fx = m.nav.ArrowRelease(QMenuArrow::Down, true, true);
  EXPECT_TRUE(fx.pageChanged);
  EXPECT_EQ(m.s().currentPage, 1);
  EXPECT_EQ(m.s().framedArrow, QMenuArrow::Down);
  m.nav.ArrowRelease(QMenuArrow::Down, true, true);
  EXPECT_EQ(m.s().currentPage, 2);
  EXPECT_FALSE(m.s().framedArrow);  // at the end the arrow loses its frame
  EXPECT_FALSE(m.s().downEnabled);

  // Over the window again, or the pointer off the menu: no frame.
  m.nav.ArrowMove(QMenuArrow::Up, true);
  EXPECT_FALSE(m.s().framedArrow);
  m.nav.ArrowMove(QMenuArrow::Up, false);
  fx = m.nav.PointerMove(10, m.Mid(7));
  EXPECT_TRUE(fx.arrowFrameChanged);
  EXPECT_FALSE(m.s().framedArrow);
  m.nav.ArrowMove(QMenuArrow::Up, false);
  m.nav.TimerTick(true, false);
  EXPECT_FALSE(m.s().framedArrow);
}

TEST(QMenuArrows, HideMenuResetsAndTheOpenPageSurvives) {
  Menu m(kThreePages);
  m.Key(kQMenuKeyPageDown);
  m.Key(kQMenuKeyDown);
  m.nav.ArrowMove(QMenuArrow::Up, false);
  m.nav.PointerMove(-10, -10);  // the pointer went elsewhere before it closed
  ASSERT_TRUE(m.s().pointerLeft);
  auto fx = m.nav.HideMenu();
  EXPECT_FALSE(m.s().pointerLeft) << "a reopened menu would swallow its first click";
  EXPECT_TRUE(fx.hideMenu);
  EXPECT_EQ(m.s().highlighted, 0);
  EXPECT_EQ(m.s().keyboardPosition, 0);
  EXPECT_FALSE(m.s().keyboardMode);
  EXPECT_FALSE(m.s().framedArrow);
  EXPECT_EQ(m.s().currentPage, 1);
  EXPECT_TRUE(m.s().upEnabled);
  // Shown again: the frame comes back on the first move over the same arrow.
  EXPECT_TRUE(m.nav.ArrowMove(QMenuArrow::Up, false).arrowFrameChanged);
}

TEST(QMenuLarge, TwoThousandEntriesAreAllReachable) {
  std::vector<std::string> items;
  for (int i = 1; i <= 2000; ++i) {
    items.push_back("entry " + std::to_string(i));
    if (i % 9 == 0) items.push_back("-");
    if (i % 300 == 0) items.push_back("|");
  }
  Menu m(items);
  const int last = m.layout.PageCount();
  ASSERT_GT(last, 40);

  for (int p = 1; p <= last; ++p) {
    EXPECT_TRUE(m.Key(kQMenuKeyPageDown).pageChanged);
    EXPECT_EQ(m.s().currentPage, p);
  }
  EXPECT_FALSE(m.Key(kQMenuKeyPageDown).pageChanged);
  m.Key(kQMenuKeyHome);

  // One letter walks every entry in order, turning every page, then starts over.
  std::set<int> pages;
  for (int i = 1; i <= 2000; ++i) {
    m.Char('e');
    ASSERT_EQ(m.s().highlighted, i);
    ASSERT_EQ(m.s().currentPage, m.layout.Label(i).page);
    pages.insert(m.s().currentPage);
  }
  EXPECT_EQ(static_cast<int>(pages.size()), last + 1);
  m.Char('e');
  EXPECT_EQ(m.s().highlighted, 1);
  EXPECT_EQ(m.s().currentPage, 0);

  // And every row of a page answers to the pointer.
  m.Key(kQMenuKeyEnd);
  const auto& page = m.layout.pages.back();
  for (int i = page.FirstLabel; i <= page.LastLabel; ++i) {
    m.Hover(i);
    EXPECT_EQ(m.s().highlighted, i);
  }
}

TEST(QMenuLarge, AnEmptyMenuIgnoresEverything) {
  Menu m(std::vector<std::string>{});
  for (int vk : {kQMenuKeyDown, kQMenuKeyUp, kQMenuKeyEnd, kQMenuKeyPageDown}) m.Key(vk);
  m.Char('a');
  m.Char('\r');
  m.nav.PointerMove(100, 150);
  EXPECT_FALSE(m.nav.ButtonRelease(true, 100, 150).run);
  EXPECT_EQ(m.s().highlighted, 0);
  EXPECT_EQ(m.s().currentPage, 0);
}

}  // namespace
}  // namespace velmora
