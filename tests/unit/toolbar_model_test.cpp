#include "toolbar/toolbar_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora {
namespace {

constexpr double kScreen = 19200;  // 1280 pixels at 15 twips

// Buttons 23 pixels wide, Toolbar1 30 pixels high.
struct Tb {
  explicit Tb(double tpp = 15) {
    in.tppx = in.tppy = tpp;
    in.buttonWidthPx = 23;
    in.toolbarHeightPx = 30;
    in.screenWidth = kScreen;
    in.icons = {"C:\\V\\", "C:\\V\\web.htm"};
    in.ownMenuFile = "C:\\V\\mainmenu.dat";
  }
  Tb& Menu(const std::string& title, const std::string& exe, int records) {
    const std::string path = "M" + std::to_string(in.menuFiles.size() + 2);
    in.menuFiles.push_back({path, records, {title, "", exe}});
    return *this;
  }
  Tb& Single(const std::string& title, const std::string& exe) {
    in.singleButtons.push_back({title, "", exe});
    return *this;
  }
  Tb& Movable() {
    in.options.Set(kOptToolbarMovable, true);
    return *this;
  }
  const ToolbarLayout& Build() {
    m.Build(in);
    m.Placed(Frame());
    return m.layout();
  }
  ToolbarFrame Frame() const {
    const ToolbarLayout& l = m.layout();
    return {l.placement.left, l.top, l.width, l.height};
  }
  PollInput Steady() const {  // nothing changed, the pointer where it was
    PollInput p;
    p.cursorOverRememberedWindow = p.visible = p.active = true;
    p.frame = Frame();
    p.screenWidth = kScreen;
    return p;
  }
  ToolbarBuildInput in;
  ToolbarModel m;
};

TEST(ToolbarBuild, TheProgramsButtonThenOneButtonPerMenuFile) {
  Tb t;
  const ToolbarLayout& l = t.Menu("Tools", "x.exe", 4).Menu("", "", 1).Build();
  ASSERT_EQ(l.ButtonCount(), 3);
  EXPECT_EQ(l.buttons[0].key + l.buttons[0].tag + l.buttons[0].title, "QMENUQMENUVelmora");
  EXPECT_EQ(l.buttons[0].icon.path, "C:\\V\\VELMORA.EXE");
  EXPECT_EQ(l.buttons[2].key + " " + l.buttons[2].tag, "B3 M3");
  EXPECT_EQ(l.programs.at("B2"), (clsProgram{"x.exe", "Tools", 4}));
  EXPECT_EQ(l.programs.size(), 2u);
  EXPECT_DOUBLE_EQ(l.buttons[2].left, 690);
  EXPECT_DOUBLE_EQ(l.toolbarWidth, 1035);
}

TEST(ToolbarBuild, SingleButtonStripFor1And3ButtonsAt96And120Dpi) {
  const struct { double tpp; std::vector<long> lefts; long lastRight; } rows[] = {
      {15, {60}, 300}, {15, {60, 330, 600}, 840}, {12, {60, 282, 504}, 696}};
  for (const auto& r : rows) {
    Tb t(r.tpp);
    t.Menu("A", "", 2).Movable();
    for (std::size_t k = 0; k < r.lefts.size(); ++k) t.Single("S", "run.exe");
    const ToolbarLayout& l = t.Build();
    for (std::size_t k = 0; k < r.lefts.size(); ++k) EXPECT_EQ(l.singles[k].left, r.lefts[k]);
    EXPECT_EQ(l.singles.back().right, r.lastRight);
    EXPECT_EQ(l.singles[0].text, std::string("run.exe\0S", 9));
    EXPECT_DOUBLE_EQ(l.stripLeft, l.toolbarWidth + 80);
    EXPECT_DOUBLE_EQ(l.stripWidth, r.lastRight + 60);
    EXPECT_DOUBLE_EQ(l.width, l.stripLeft + l.stripWidth);  // no grip room beside a strip
    EXPECT_FALSE(l.lineToolbar2Visible);
  }
}

TEST(ToolbarBuild, WithoutStripAsWideAsTheButtonsPlusGripWhenMovable) {
  for (double tpp : {15.0, 12.0}) {
    Tb fixed(tpp), movable(tpp);
    const ToolbarLayout& f = fixed.Menu("A", "", 2).Build();
    EXPECT_DOUBLE_EQ(movable.Menu("A", "", 2).Movable().Build().width, 46 * tpp + 50);
    EXPECT_DOUBLE_EQ(f.width, 46 * tpp);
    EXPECT_TRUE(f.lineToolbar2Visible);
    EXPECT_DOUBLE_EQ(f.lineToolbar2X, -10 + 46 * tpp + 45);
    EXPECT_DOUBLE_EQ(f.height, 30 * tpp - 50);
    EXPECT_DOUBLE_EQ(f.top, tpp > 14 ? -80 : -50);
  }
  // Only a movable toolbar goes back to its saved place.
  Tb fixed, movable;
  fixed.in.savedPosition = movable.in.savedPosition = EncodeToolbarPos(4000);
  EXPECT_DOUBLE_EQ(movable.Movable().Build().placement.left, 4000);
  EXPECT_DOUBLE_EQ(fixed.Build().placement.left, kScreen - 345 - 1750);
}

TEST(ToolbarBuild, ArrangedOnceToolbar1IsMeasuredAsIfMeasuredBefore) {
  Tb t;
  t.Menu("A", "", 2).Single("S", "s").Single("T", "t");
  const ToolbarLayout before = t.Build();
  t.in.buttonWidthPx = t.in.toolbarHeightPx = 0;
  t.m.Build(t.in);
  const ToolbarLayout& after = t.m.Arrange(23, 30);
  EXPECT_DOUBLE_EQ(after.buttons[1].right, before.buttons[1].right);
  EXPECT_DOUBLE_EQ(after.stripLeft, before.stripLeft);
  EXPECT_DOUBLE_EQ(after.width, before.width);
  EXPECT_DOUBLE_EQ(after.height, before.height);
  EXPECT_DOUBLE_EQ(after.placement.left, before.placement.left);
}

TEST(ToolbarBuild, SampleMenusComeUnaskedOnlyOnTheFirstStart) {
  Options later;
  later.Set(kOptContentInstalled, true);
  EXPECT_EQ(SampleMenusAtBuild(Options{}, true), SampleMenuStep::BuildAndRecord);
  EXPECT_EQ(SampleMenusAtBuild(later, true), SampleMenuStep::None);
  EXPECT_EQ(SampleMenusAtBuild(later, false), SampleMenuStep::Ask);
}

TEST(ToolbarHit, SharedEdgesGoToTheLowerButtonAndSinglesReach15TwipsOut) {
  Tb t;
  t.Menu("A", "", 2).Menu("B", "", 2).Single("A", "a").Single("B", "b").Single("C", "c").Build();
  const std::pair<double, int> buttons[] = {{0, 1}, {345, 1}, {345.5, 2}, {690, 2}, {1035, 3},
                                            {1035.5, 0}, {-1, 0}};
  for (auto [x, want] : buttons) EXPECT_EQ(t.m.ButtonAt(x), want) << x;
  // Icons at 60-300, 330-570, 600-840 in a strip 900 wide and 450 high.
  const std::pair<double, int> singles[] = {{59, 0} /* margin */, {60, 1}, {314, 1},
                                            {315, 0} /* halfway */, {316, 2}, {840, 3}, {841, 0}};
  for (auto [x, want] : singles) EXPECT_EQ(t.m.SingleButtonAt(x, 100), want) << x;
  EXPECT_EQ(t.m.SingleButtonAt(400, -1), 0);
  EXPECT_EQ(t.m.SingleButtonAt(400, 451), 0);
}

TEST(ToolbarTips, EachButtonsTitleOnceWhileThePollRunsFast) {
  Tb t;
  t.Menu("  Tools ", "", 2).Menu("", "", 2).Single(" Notes ", "n").Single("", "c").Build();
  auto fx = t.m.Toolbar1MouseMove(400, 100);
  EXPECT_TRUE(fx.rememberCursorWindow);
  EXPECT_EQ(fx.showTip, "Tools");
  EXPECT_EQ(fx.pollInterval, 100);
  EXPECT_FALSE(t.m.Toolbar1MouseMove(500, 100).showTip);  // same button
  fx = t.m.Toolbar1MouseMove(800, 100);
  EXPECT_EQ(fx.showTip, "No Title");
  EXPECT_FALSE(fx.pollInterval);  // already fast
  EXPECT_EQ(t.m.Toolbar1MouseMove(10, 100).showTip, "Velmora");
  for (auto [x, y] : {std::pair{-1.0, 100.0}, {1036.0, 100.0}, {400.0, 451.0}}) {
    fx = t.m.Toolbar1MouseMove(x, y);
    EXPECT_TRUE(fx.hideTip && !fx.rememberCursorWindow && !fx.showTip);
  }

  fx = t.m.SingleButtonMouseMove(100, 100);
  EXPECT_TRUE(fx.hideTip && fx.clearCursorWindow);
  EXPECT_EQ(fx.showTip, "Notes");
  EXPECT_EQ(t.m.HoverIndex(), 0);
  EXPECT_FALSE(t.m.SingleButtonMouseMove(120, 100).showTip);
  EXPECT_EQ(t.m.SingleButtonMouseMove(400, 100).showTip, "No Title");
  EXPECT_FALSE(t.m.SingleButtonMouseMove(30, 100).showTip);
  EXPECT_EQ(t.m.HoveredSingle(), 2);  // until the poll sees the pointer leave
}

TEST(ToolbarClick, AButtonHoldingOnlyItselfRunsOrSaysCustomizeInLowerCase) {
  Tb t;
  t.Menu("Calc", " calc.exe ", 1).Menu("Empty", " ", 1).Build();
  auto fx = t.m.ButtonClick(2, t.Frame(), false);
  EXPECT_TRUE(fx.stopPoll);
  EXPECT_EQ(fx.run, "calc.exe");
  EXPECT_EQ(fx.pollInterval, 300);
  EXPECT_FALSE(fx.openMenu || fx.resetButtons);
  fx = t.m.ButtonClick(3, t.Frame(), false);
  EXPECT_FALSE(fx.run);
  EXPECT_NE(fx.message.value_or("").find("in the customize page."), std::string::npos);
}

TEST(ToolbarClick, SingleButtonRunsItsCommandOrSaysCustomizeCapitalised) {
  Tb t;
  t.Single("Calc", "calc.exe").Single("Nothing", "  ").Build();
  EXPECT_FALSE(t.m.LaunchSingleButton().run);  // nothing hovered
  t.m.SingleButtonMouseMove(100, 100);
  EXPECT_EQ(t.m.LaunchSingleButton().run, "calc.exe");
  t.m.SingleButtonMouseMove(400, 100);
  EXPECT_NE(t.m.LaunchSingleButton().message.value_or("").find("in the Customize page."),
            std::string::npos);
  Options single;
  single.Set(kOptSingleClickLaunch, true);
  EXPECT_TRUE(SingleButtonLaunches(false, single) && !SingleButtonLaunches(true, single));
  EXPECT_TRUE(SingleButtonLaunches(true, Options{}) && !SingleButtonLaunches(false, Options{}));
}

TEST(ToolbarClick, MenusOpenUnderTheirButtonAt96And120Dpi) {
  for (double tpp : {15.0, 12.0}) {
    Tb t(tpp);
    t.Menu("A", "", 3).Menu("B", "", 5).Build();
    const ToolbarFrame frame{4000, t.m.layout().top, 700, 400};
    const auto fx = t.m.ButtonClick(3, frame, false);
    ASSERT_TRUE(fx.openMenu);
    EXPECT_EQ(fx.openMenu->key + " " + fx.openMenu->file, "F3 M3");
    EXPECT_TRUE(fx.openMenu->create && fx.hideMenus && fx.resetButtons);
    EXPECT_DOUBLE_EQ(fx.openMenu->left, 4000 + 2 * 23 * tpp);
    EXPECT_DOUBLE_EQ(fx.openMenu->top, tpp > 14 ? -80 + 400 + 15 : -50 + 400);
    EXPECT_FALSE(t.m.ButtonClick(3, frame, true).openMenu->create);
  }
}

TEST(ToolbarClick, TheOwnMenuIsWrittenWheneverItsWindowIsCreated) {
  Tb t;
  t.Build();
  const auto first = t.m.ButtonClick(1, t.Frame(), false).openMenu;
  ASSERT_TRUE(first);
  EXPECT_TRUE(first->buildOwnMenu);
  EXPECT_EQ(first->file, "C:\\V\\mainmenu.dat");
  const auto again = t.m.MenuFor(1, t.Frame(), true);
  EXPECT_FALSE(again.buildOwnMenu);
  EXPECT_EQ(again.file, "C:\\V\\mainmenu.dat");
  EXPECT_EQ(t.Build().buttons[0].tag, "QMENU");
}

TEST(ToolbarOptions, FixedPlacesByTheMarginsAndMovableLetsTheDragFollow) {
  Tb t;
  t.Menu("A", "", 2).Single("S1", "a").Single("S2", "b").Single("S3", "c").Movable().Build();
  const double width = t.m.layout().width;
  EXPECT_EQ(t.m.FixedLeft(kScreen, width), kScreen - width - 900);
  Tb narrow;
  narrow.Menu("A", "", 2).Single("S1", "a").Build();  // a strip narrower than 850
  EXPECT_EQ(narrow.m.FixedLeft(kScreen, narrow.m.layout().width),
            kScreen - narrow.m.layout().toolbarWidth - 1750);

  t.m.SetMovable(false);
  EXPECT_FALSE(t.m.FormMouseDown(4000, 60).capture);
  t.m.SetMovable(true);
  EXPECT_TRUE(t.m.FormMouseDown(4000, 60).capture);
}

TEST(ToolbarDrag, TheWindowFollowsThePointerAndTheDropDecides) {
  Tb fixed;
  fixed.Menu("A", "", 2).Build();
  EXPECT_FALSE(fixed.m.FormMouseDown(4000, 60).capture);
  EXPECT_FALSE(fixed.m.FormMouseMove(true, 5000).setLeft);

  Tb t;
  t.Menu("A", "", 2).Movable().Build();  // Toolbar1 690 wide
  const ToolbarFrame at{4285, -80, 740, 400};
  EXPECT_TRUE(t.m.FormMouseDown(4000, 60).capture);
  EXPECT_FALSE(t.m.FormMouseMove(true, 4040).setLeft) << "not yet a drag";
  EXPECT_EQ(t.m.FormMouseMove(true, 5000).setLeft, 5000 - 690 - 25);
  EXPECT_FALSE(t.m.FormMouseMove(false, 6000).setLeft);
  auto fx = t.m.FormMouseUp(6000, at, kScreen, Options{});
  EXPECT_EQ(fx.setLeft, 6000 - 690 - 25);
  EXPECT_TRUE(fx.releaseCapture && !t.m.Dragging());
  // A plain click leaves the toolbar where it is.
  t.m.FormMouseDown(5000, 60);
  EXPECT_FALSE(t.m.FormMouseUp(5030, at, kScreen, Options{}).setLeft);
  // Dropped against the right edge: pulled back off the margin, unless option 13.
  t.m.FormMouseDown(5000, 60);
  EXPECT_EQ(t.m.FormMouseUp(19000, at, kScreen, Options{}).setLeft, kScreen - 690 - 1750);
  Options noAdjust;
  noAdjust.Set(kOptNoRightAdjust, true);
  t.m.FormMouseDown(5000, 60);
  EXPECT_EQ(t.m.FormMouseUp(19000, at, kScreen, noAdjust).setLeft, 19000 - 690 - 25);
  t.m.FormMouseDown(5000, 60);
  t.m.CaptureLost();
  EXPECT_FALSE(t.m.FormMouseMove(true, 5000).setLeft);
}

bool AnyPollEffect(const ToolbarEffects& fx) {
  return fx.showAndActivate || fx.rebuild || fx.restoreTop || fx.savePosition ||
         fx.clearCursorWindow || fx.hideTip || fx.pollInterval || fx.hideWindow;
}

TEST(ToolbarPoll, AResolutionChangeRebuildsAndEndsTheTick) {
  Tb t;
  t.Build();
  EXPECT_FALSE(AnyPollEffect(t.m.Tick(t.Steady())));
  PollInput in = t.Steady();
  in.screenWidth = 1024 * 15;
  in.frame.top += 30;
  in.frame.left += 300;
  in.cursorOverRememberedWindow = in.active = false;
  in.autoHide = true;
  auto fx = t.m.Tick(in);
  EXPECT_TRUE(fx.rebuild);
  fx.rebuild = false;
  EXPECT_FALSE(AnyPollEffect(fx));
}

TEST(ToolbarPoll, KeepsTheTopAndSavesAMovedLeftUntilTheSaveWorks) {
  Tb t;
  t.Build();
  PollInput in = t.Steady();
  in.frame.top = 0;
  in.frame.left = 5000;
  auto fx = t.m.Tick(in);
  EXPECT_EQ(fx.restoreTop, -80);
  EXPECT_EQ(fx.savePosition, 5000);
  EXPECT_EQ(t.m.Tick(in).savePosition, 5000);  // not written: asked again
  t.m.PositionSaved(5000);
  EXPECT_FALSE(t.m.Tick(in).savePosition);
}

TEST(ToolbarPoll, ThePointerLeavingEndsTheTipAndMayAutoHide) {
  Tb t;
  t.Menu("A", "", 2).Single("S", "s").Build();
  t.m.Toolbar1MouseMove(400, 100);
  PollInput in = t.Steady();
  in.cursorOverRememberedWindow = false;
  in.cursorOverStrip = true;
  EXPECT_FALSE(AnyPollEffect(t.m.Tick(in)));  // the strip's tips rule there
  in.cursorOverStrip = false;
  auto fx = t.m.Tick(in);
  EXPECT_TRUE(fx.clearCursorWindow && fx.hideTip && !fx.hideWindow);
  EXPECT_EQ(fx.pollInterval, 300);
  EXPECT_EQ(t.m.HoverIndex(), 0);
  in.active = false;
  EXPECT_FALSE(t.m.Tick(in).hideWindow);  // auto-hide off
  in.autoHide = true;
  EXPECT_TRUE(t.m.Tick(in).hideWindow);
  in.menuOpen = true;
  EXPECT_FALSE(t.m.Tick(in).hideWindow);
}

TEST(ToolbarPoll, TouchingTheTopShowsAHiddenToolbarUnlessMinimized) {
  Tb t;
  t.Build();
  PollInput in = t.Steady();
  in.visible = in.active = in.cursorOverRememberedWindow = false;
  in.autoHide = true;
  in.cursorX = in.frame.left + 100;
  auto fx = t.m.Tick(in);
  EXPECT_TRUE(fx.showAndActivate && !fx.hideWindow);  // not hidden again by the same tick
  in.minimized = true;
  fx = t.m.Tick(in);
  EXPECT_TRUE(!fx.showAndActivate && fx.hideWindow);
}

}  // namespace
}  // namespace velmora
