#include "toolbar/placement.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "model/text.h"

namespace velmora {

Placement PlaceHorizontally(const PlacementInput& in) {
  Placement p;
  const double sw = in.screenWidth, w = in.width;
  if (in.movable) {
    p.left = in.savedLeft > 0 ? in.savedLeft : sw - w - kMarginWithSingles;
    if (p.left + w > sw) p.left = sw - w - kMarginWithSingles;
  } else {
    p.left = sw - w - (in.hasSingles ? kMarginWithSingles : kMarginWithoutSingles);
    if (in.stripWidth < 850) p.left = sw - in.toolbarWidth - kMarginWithoutSingles;
  }
  if (w > sw) {
    p.tooWide = true;
    p.left = kTooWideLeft;
  }
  return p;
}

double AdjustRightOnMouseUp(double left, const PlacementInput& in) {
  const double sw = in.screenWidth;
  if (!in.hasSingles) {
    if (sw - kMarginWithoutSingles < in.toolbarWidth + left)
      return sw - in.toolbarWidth - kMarginWithoutSingles;
  } else if (sw - kMarginWithSingles < left + in.width) {
    return sw - in.width - kMarginWithSingles;
  }
  return left;
}

bool CursorOverHiddenToolbar(double cursorX, double cursorY, double left, double width,
                             double height) {
  return left < cursorX && cursorX < left + width && cursorY < height - 250;
}

double ParseToolbarPos(std::string_view bytes, double screenWidth) {
  if (bytes.size() < 4) return 0;
  const float value = std::bit_cast<float>(LittleEndian32(bytes));
  // A Left the screen could never show is no saved position.
  if (!std::isfinite(value) || value <= 0 || value >= screenWidth) return 0;
  return value;
}

std::string EncodeToolbarPos(double left) {
  return LittleEndianBytes(std::bit_cast<std::uint32_t>(static_cast<float>(left)));
}

}  // namespace velmora
