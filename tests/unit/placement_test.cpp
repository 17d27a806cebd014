#include "toolbar/placement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace velmora {
namespace {

PlacementInput Layout(double width, double toolbarWidth, double stripWidth, bool movable) {
  PlacementInput in;
  in.screenWidth = 19200;  // 1280 px at 15 twips
  in.width = width;
  in.toolbarWidth = toolbarWidth;
  in.stripWidth = stripWidth;
  in.hasSingles = stripWidth > 0;
  in.movable = movable;
  return in;
}

TEST(Placement, FixedToolbarKeepsItsMarginFromTheRightEdge) {
  // No single buttons: 1750 from the edge, measured from the buttons.
  EXPECT_DOUBLE_EQ(PlaceHorizontally(Layout(2070, 2070, 0, false)).left, 19200 - 2070 - 1750);
  // A strip of 850 twips or more: 900 from the edge, measured from the window.
  EXPECT_DOUBLE_EQ(PlaceHorizontally(Layout(5000, 2070, 2850, false)).left, 19200 - 5000 - 900);
  // A narrow strip (one or two icons) counts as none.
  EXPECT_DOUBLE_EQ(PlaceHorizontally(Layout(2900, 2070, 750, false)).left, 19200 - 2070 - 1750);
}

TEST(Placement, MovableToolbarUsesItsSavedLeftWhileItFits) {
  auto in = Layout(3000, 2070, 0, true);
  EXPECT_DOUBLE_EQ(PlaceHorizontally(in).left, 19200 - 3000 - 900);  // nothing saved
  in.savedLeft = 4000;
  EXPECT_DOUBLE_EQ(PlaceHorizontally(in).left, 4000);
  in.savedLeft = 17000;  // would run off the right edge
  EXPECT_DOUBLE_EQ(PlaceHorizontally(in).left, 19200 - 3000 - 900);
}

TEST(Placement, WiderThanTheScreenSaysSoAndSitsAt700) {
  for (bool movable : {false, true}) {
    const auto p = PlaceHorizontally(Layout(25000, 20000, 5000, movable));
    EXPECT_TRUE(p.tooWide);
    EXPECT_DOUBLE_EQ(p.left, 700);
  }
  EXPECT_FALSE(PlaceHorizontally(Layout(19200, 2070, 0, false)).tooWide);
}

TEST(Placement, MouseUpPullsTheToolbarBackFromTheRightMargin) {
  auto bare = Layout(2120, 2070, 0, true);
  EXPECT_DOUBLE_EQ(AdjustRightOnMouseUp(18000, bare), 19200 - 2070 - 1750);
  EXPECT_DOUBLE_EQ(AdjustRightOnMouseUp(1000, bare), 1000);
  auto withStrip = Layout(5000, 2070, 2850, true);
  EXPECT_DOUBLE_EQ(AdjustRightOnMouseUp(14000, withStrip), 19200 - 5000 - 900);
  EXPECT_DOUBLE_EQ(AdjustRightOnMouseUp(13300, withStrip), 13300);
}

TEST(Placement, HoverShowsOnlyOverTheToolbarsPlaceAtTheTop) {
  EXPECT_TRUE(CursorOverHiddenToolbar(5000, 0, 4000, 2000, 400));
  EXPECT_FALSE(CursorOverHiddenToolbar(4000, 0, 4000, 2000, 400));  // edges excluded
  EXPECT_FALSE(CursorOverHiddenToolbar(6000, 0, 4000, 2000, 400));
  EXPECT_FALSE(CursorOverHiddenToolbar(5000, 150, 4000, 2000, 400));  // below height - 250
}

std::string FloatBytes(float f) {
  std::string out(4, '\0');
  std::memcpy(out.data(), &f, 4);  // the test machines are little-endian
  return out;
}

TEST(ToolbarPosFile, IsALittleEndianSingle) {
  EXPECT_EQ(EncodeToolbarPos(4000), std::string("\x00\x00\x7a\x45", 4));
  EXPECT_DOUBLE_EQ(ParseToolbarPos(EncodeToolbarPos(12345), 19200), 12345);
  EXPECT_DOUBLE_EQ(ParseToolbarPos(EncodeToolbarPos(4000) + "junk", 19200), 4000);
}

TEST(ToolbarPosFile, AnythingUnusableMeansNoSavedPosition) {
  const double sw = 19200;
  EXPECT_EQ(ParseToolbarPos("", sw), 0);
  EXPECT_EQ(ParseToolbarPos("\x00\x00\x7a", sw), 0);
  EXPECT_EQ(ParseToolbarPos(FloatBytes(std::numeric_limits<float>::quiet_NaN()), sw), 0);
  EXPECT_EQ(ParseToolbarPos(FloatBytes(std::numeric_limits<float>::infinity()), sw), 0);
  EXPECT_EQ(ParseToolbarPos(FloatBytes(-std::numeric_limits<float>::infinity()), sw), 0);
  EXPECT_EQ(ParseToolbarPos(FloatBytes(-500), sw), 0);
  EXPECT_EQ(ParseToolbarPos(FloatBytes(3.0e38f), sw), 0);
  EXPECT_EQ(ParseToolbarPos(FloatBytes(19200), sw), 0);
  // And the default rule then keeps the toolbar on the screen.
  auto in = Layout(3000, 2070, 0, true);
  in.savedLeft = ParseToolbarPos(FloatBytes(std::numeric_limits<float>::quiet_NaN()), sw);
  const double left = PlaceHorizontally(in).left;
  EXPECT_GE(left, 0);
  EXPECT_LE(left + 3000, sw);
}

}  // namespace
}  // namespace velmora
