#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "customize/cust_layout.h"

namespace velmora {
namespace {

// A font whose characters are `charWidth` twips wide; "&" takes no room.
CustMetrics Font(double lineHeight, double charWidth) {
  CustMetrics m;
  m.lineHeight = lineHeight;
  m.toolbarHeight = lineHeight * 2;
  m.checkWidth = lineHeight;
  m.textWidth = [charWidth](std::string_view text) {
    double n = 0;
    for (const char c : text) n += c == '&' ? 0 : 1;
    return n * charWidth;
  };
  return m;
}

using Named = std::pair<const char*, LayoutRect>;

std::vector<Named> Controls(const CustLayout& l) {
  return {{"lblMenuTree", l.lblMenuTree},   {"toolbar", l.toolbar},
          {"tree", l.tree},                 {"lblProperties", l.lblProperties},
          {"lblTitle", l.lblTitle},         {"txtTitle", l.txtTitle},
          {"lblFile", l.lblFile},           {"txtCommand", l.txtCommand},
          {"lblIcon", l.lblIcon},           {"txtFile", l.txtFile},
          {"cmdSelect", l.cmdSelect},       {"cmdAllFiles", l.cmdAllFiles},
          {"cmdLibrary", l.cmdLibrary},     {"cmdOK", l.cmdOK},
          {"fraBrowse", l.fraBrowse},       {"fraSelect", l.fraSelect},
          {"cmdSave", l.cmdSave},           {"cmdCancel", l.cmdCancel}};
}

bool Overlap(const LayoutRect& a, const LayoutRect& b) {
  return a.x < b.Right() && b.x < a.Right() && a.y < b.Bottom() && b.y < a.Bottom();
}
bool Inside(const LayoutRect& inner, const LayoutRect& outer) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.Right() <= outer.Right() &&
         inner.Bottom() <= outer.Bottom();
}

// At its minimum, with a small and a large font and long captions, every
// control has room: inside the client area, clear of every other, and the
// controls of the panel and its frames inside them.
TEST(CustLayout, NothingOverlapsOrLeavesTheWindowAtTheMinimumSize) {
  for (const auto& [line, chars] : {std::pair{195.0, 90.0}, {240.0, 140.0}, {390.0, 260.0}}) {
    SCOPED_TRACE(line);
    const CustMetrics m = Font(line, chars);
    const TwipSize least = CustMinimumClient(m);
    const CustLayout l = LayOutCustomize(least, m);
    const LayoutRect client{0, 0, least.w, least.h};
    const auto all = Controls(l);
    for (std::size_t i = 0; i < all.size(); ++i) {
      EXPECT_TRUE(Inside(all[i].second, client)) << all[i].first;
      EXPECT_GT(all[i].second.w, 0) << all[i].first;
      for (std::size_t j = i + 1; j < all.size(); ++j)
        EXPECT_FALSE(Overlap(all[i].second, all[j].second)) << all[i].first << " / " << all[j].first;
    }
    for (const auto& r : {l.txtTitle, l.cmdLibrary, l.cmdOK, l.fraBrowse, l.fraSelect})
      EXPECT_TRUE(Inside(r, l.panel));
    EXPECT_TRUE(Inside(l.cmdBrowseFiles, l.fraBrowse) && Inside(l.cmdBrowseFolders, l.fraBrowse));
    EXPECT_TRUE(Inside(l.chkStartMenu, l.fraSelect) && Inside(l.chkDesktop, l.fraSelect));
    EXPECT_FALSE(Overlap(l.cmdBrowseFiles, l.cmdBrowseFolders));
    EXPECT_FALSE(Overlap(l.chkStartMenu, l.chkDesktop));
    EXPECT_GE(l.cmdOK.w, m.textWidth("Confirm Changes in Entry Boxes")) << "caption cut off";
    EXPECT_GE(l.cmdSave.w, m.textWidth("&Update Toolbar"));
    EXPECT_LT(l.panel.Bottom(), l.cmdSave.y);
    // Smaller than the minimum is laid out as the minimum.
    const CustLayout squeezed = LayOutCustomize({least.w / 2, least.h / 3}, m);
    EXPECT_EQ(squeezed.tree.w, l.tree.w);
    EXPECT_EQ(squeezed.cmdCancel.y, l.cmdCancel.y);
  }
}

// Extra room goes to the tree; the panel keeps its size at the top right and
// the command buttons keep their distance from the bottom right corner.
TEST(CustLayout, TheTreeTakesTheExtraRoomAndThePanelAndButtonsFollowTheirCorners) {
  const CustMetrics m = Font(195, 90);
  const TwipSize least = CustMinimumClient(m);
  const CustLayout a = LayOutCustomize(least, m);
  const CustLayout b = LayOutCustomize({least.w + 3000, least.h + 1500}, m);
  EXPECT_EQ(b.tree.w - a.tree.w, 3000);
  EXPECT_EQ(b.tree.h - a.tree.h, 1500);
  EXPECT_EQ(b.toolbar.w, b.tree.w);
  EXPECT_EQ(b.panel.x - a.panel.x, 3000);
  EXPECT_EQ(b.panel.y, a.panel.y);
  EXPECT_EQ(b.panel.w, a.panel.w);
  EXPECT_EQ(b.panel.h, a.panel.h);
  EXPECT_EQ(b.txtTitle.w, a.txtTitle.w);
  EXPECT_EQ(b.cmdCancel.x - a.cmdCancel.x, 3000);
  EXPECT_EQ(b.cmdCancel.y - a.cmdCancel.y, 1500);
  EXPECT_EQ(b.cmdCancel.Right(), b.panel.Right());
  EXPECT_EQ(b.tree.Bottom(), b.cmdCancel.Bottom());
  EXPECT_EQ(b.toolbar.y, b.panel.y);
  EXPECT_EQ(b.lblMenuTree.y, b.lblProperties.y);
}

TEST(CustLayout, ThePageOpensTwoThirdsOfTheWorkAreaHighWithinItsBounds) {
  const CustMetrics m = Font(195, 90);
  const TwipSize least = CustMinimumClient(m);
  const TwipSize frame{240, 690};
  const TwipSize roomy = CustOpeningClient({19200, 11400}, frame, m);
  EXPECT_DOUBLE_EQ(roomy.h + frame.h, 11400.0 * 2 / 3);
  EXPECT_GE(roomy.w, least.w);
  EXPECT_LE(roomy.w + frame.w, 19200);
  // A small screen: never below the minimum, never beyond the work area when
  // it can be helped.
  const TwipSize tiny = CustOpeningClient({6000, 4000}, frame, m);
  EXPECT_EQ(tiny.w, least.w);
  EXPECT_EQ(tiny.h, least.h);
  const TwipSize narrow = CustOpeningClient({least.w + frame.w + 100, 30000}, frame, m);
  EXPECT_LE(narrow.w + frame.w, least.w + frame.w + 100);
}

}  // namespace
}  // namespace velmora
