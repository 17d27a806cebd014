// Fuzzes the icon file decoder: whatever the file holds, a decoded picture
// has exactly the size asked for and premultiplied pixels, and nothing is read
// past the end of the file (the sanitizers watch that).
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "iconlib/icon_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A copy of exactly the input's length, so that any read beyond it is caught.
  const std::string file(velmora::fuzz::AsText(data, size));
  for (int side : {16, 32, 48}) {
    const velmora::DecodedIcon icon = velmora::DecodeIcon(file, side);
    if (icon.result != velmora::IconDecode::Ok) {
      velmora::fuzz::Require(icon.pixels.empty(), "no picture unless decoded");
      continue;
    }
    velmora::fuzz::Require(icon.pixels.width == side && icon.pixels.height == side &&
                               icon.pixels.argb.size() == static_cast<std::size_t>(side) * side,
                           "the picture has the size asked for");
    for (const std::uint32_t c : icon.pixels.argb) {
      const std::uint32_t a = c >> 24;
      velmora::fuzz::Require((c >> 16 & 0xFF) <= a && (c >> 8 & 0xFF) <= a && (c & 0xFF) <= a,
                             "colours are premultiplied");
    }
  }
  return 0;
}
