// Fuzzes toolbarp.dat: whatever it holds, the saved position is 0 (none) or a
// finite Left inside the screen, on any screen width, it survives being
// written again, and the placement built on it keeps the toolbar on screen.
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "fuzz_support.h"
#include "model/text.h"
#include "toolbar/placement.h"

namespace {

using namespace velmora;
using fuzz::Require;

void CheckOn(std::string_view bytes, double screenWidth) {
  const double left = ParseToolbarPos(bytes, screenWidth);
  Require(std::isfinite(left) && left >= 0, "a position is finite and not negative");
  Require(left == 0 || left < screenWidth, "a position is on the screen");
  if (left == 0) return;
  Require(ParseToolbarPos(EncodeToolbarPos(left), screenWidth) == left,
          "a position written reads back the same");

  // The movable toolbar placed with this position ends inside the screen.
  for (const double width : {0.0, 1500.0, screenWidth / 2, screenWidth - 1, screenWidth + 1}) {
    PlacementInput in;
    in.screenWidth = screenWidth;
    in.width = width;
    in.toolbarWidth = width;
    in.stripWidth = 900;
    in.movable = true;
    in.hasSingles = true;
    in.savedLeft = left;
    const Placement p = PlaceHorizontally(in);
    Require(std::isfinite(p.left), "placement is finite");
    Require(p.tooWide == (width > screenWidth), "too wide exactly when wider than the screen");
    Require(p.tooWide || p.left + width <= screenWidth, "the toolbar ends inside the screen");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = fuzz::AsText(data, size);
  std::vector<double> widths = {1, 640 * 15.0, 800 * 12.0, 1024 * 15.0, 1280 * 15.0,
                                1920 * 15.0, 3840 * 15.0, 7680 * 15.0, 32767 * 15.0};
  // Screens just around the stored value itself.
  const float stored = std::bit_cast<float>(LittleEndian32(bytes));
  if (std::isfinite(stored) && stored > 0) {
    const double v = stored;
    widths.insert(widths.end(), {v, std::nextafter(v, 0.0),
                                 std::nextafter(v, std::numeric_limits<double>::infinity())});
  }
  for (const double w : widths) CheckOn(bytes, w);
  return 0;
}
