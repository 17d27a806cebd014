// Where the Customize page's controls go, in twips, for a client area of a
// given size. The page is laid out in two columns:
//
//   Menu Tree                          Properties
//   [edit toolbar]                     +-------------------------------+
//   +----------------------------+     | Title [                     ] |
//   |                            |     | File  [                     ] |
//   |  the tree: takes all the   |     | Icon  [                     ] |
//   |  width and height the      |     |       [Select][Other][Library]|
//   |  window has beyond the     |     |       [ Confirm Changes ...  ]|
//   |  minimum                   |     | +-Browse----+ +-Select From-+ |
//   |                            |     | | [Files  ] | | [] Start Menu| |
//   |                            |     | | [Folders] | | [] Desktop   | |
//   |                            |     | +-----------+ +-------------+ |
//   |                            |     +-------------------------------+
//   |                            |
//   +----------------------------+      [Update Toolbar] [Exit]
//
// The property panel keeps its width and height, pinned to the top right; the
// two command buttons stay in the bottom right corner; the tree grows. Widths
// follow the captions as the font measures them, so a large system font
// widens buttons instead of clipping them.
#pragma once

#include <functional>
#include <string_view>

namespace velmora {

struct LayoutRect {
  double x = 0, y = 0, w = 0, h = 0;
  double Right() const { return x + w; }
  double Bottom() const { return y + h; }
};

struct TwipSize {
  double w = 0, h = 0;
};

// What the layout needs to know of the screen and the font.
struct CustMetrics {
  double lineHeight = 195;     // one line of the dialog font
  double toolbarHeight = 390;  // the edit toolbar's button height
  double checkWidth = 195;     // a check box's box
  // Width of a caption in the dialog font ("&" marks a mnemonic and takes no room).
  std::function<double(std::string_view)> textWidth;
};

struct CustLayout {
  LayoutRect lblMenuTree, toolbar, tree;
  LayoutRect lblProperties, panel;
  LayoutRect lblTitle, txtTitle, lblFile, txtCommand, lblIcon, txtFile;
  LayoutRect cmdSelect, cmdAllFiles, cmdLibrary, cmdOK;
  LayoutRect fraBrowse, cmdBrowseFiles, cmdBrowseFolders;
  LayoutRect fraSelect, chkStartMenu, chkDesktop;
  LayoutRect cmdSave, cmdCancel;
};

// The smallest client area in which nothing overlaps or is cut off.
TwipSize CustMinimumClient(const CustMetrics& metrics);

// The client area the page opens with inside a work area of `work`: two
// thirds of its height, the tree about as wide as the panel, never smaller
// than the minimum nor larger than the work area.
TwipSize CustOpeningClient(TwipSize work, TwipSize nonClient, const CustMetrics& metrics);

// Every control for a client area of `client`; a client area smaller than the
// minimum is laid out as the minimum (the window's own edges clip it).
CustLayout LayOutCustomize(TwipSize client, const CustMetrics& metrics);

}  // namespace velmora
