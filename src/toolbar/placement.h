// Where the toolbar sits along the top edge, in twips: the build's horizontal
// rule, the mouse-up adjustment, the hover test of the poll and toolbarp.dat.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

inline constexpr const char* kToolbarPosFile = "toolbarp.dat";
inline constexpr double kMarginWithSingles = 900;
inline constexpr double kMarginWithoutSingles = 1750;
inline constexpr double kTooWideLeft = 700;
inline constexpr const char* kTooWideText =
    "Toolbar width is greater than the screen width. Some toolbar buttons will not be shown. "
    "Please adjust the toolbar buttons according to the screen width.";

struct PlacementInput {
  double screenWidth = 0;   // SW
  double width = 0;         // W, the window
  double toolbarWidth = 0;  // TW, Toolbar1
  double stripWidth = 0;    // picSingleButton, 0 when hidden
  bool movable = false;
  bool hasSingles = false;
  double savedLeft = 0;     // from toolbarp.dat; 0 = none
};

struct Placement {
  double left = 0;
  bool tooWide = false;  // show kTooWideText
};

Placement PlaceHorizontally(const PlacementInput& in);

// Auto Adjust Right Position, on left-button release: keeps the toolbar off
// the right margin. Returns the new Left.
double AdjustRightOnMouseUp(double left, const PlacementInput& in);

// The hover-show test of the poll (cursor in twips, window geometry in twips).
bool CursorOverHiddenToolbar(double cursorX, double cursorY, double left, double width,
                             double height);

// toolbarp.dat: four bytes, a little-endian IEEE single. Anything that is not a
// usable position (short file, NaN, infinity, off any screen) reads as 0 so that
// the default rule places the toolbar.
double ParseToolbarPos(std::string_view bytes, double screenWidth);
std::string EncodeToolbarPos(double left);

}  // namespace velmora
