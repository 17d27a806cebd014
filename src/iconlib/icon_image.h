// Icon files read into pixels, for windows that paint many icons themselves:
// the library decodes each file once into a small premultiplied picture and
// blends the visible ones into its back buffer, instead of holding a system
// icon per file (reading 2,000 icons through the system takes seconds).
//
// The decoder reads the ".ico" container and its bitmap pictures (1, 4, 8,
// 24 and 32 bits per pixel with the AND mask); a picture stored as PNG, or
// compressed in a way the container does not usually hold, is left to the
// system. Every offset and size in the file is checked against the bytes
// that are there: a damaged or hostile file gives NotIcon, never a read past
// the end.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace velmora {

// Width x height pixels, top row first, each 0xAARRGGBB with the colour
// premultiplied by its alpha.
struct IconPixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;
  bool empty() const { return argb.empty(); }
};

enum class IconDecode : std::uint8_t {
  Ok,
  NotIcon,      // not an icon file, or no picture in it can be read
  Unsupported,  // an icon whose picture only the system can read (PNG)
};

struct DecodedIcon {
  IconDecode result = IconDecode::NotIcon;
  IconPixels pixels;  // size x size when Ok
};

// The picture of `file` closest to size x size, scaled to that size: an
// exact size first (the most colours), else the next larger, else the largest.
DecodedIcon DecodeIcon(std::string_view file, int size);

// Blends `icon` over the pixels of a 32-bit top-down image (`stride` pixels a
// row) with its top-left corner at (x, y), clipped to width x height.
void BlendIcon(std::uint32_t* image, int width, int height, int stride, int x, int y,
               const IconPixels& icon);

// The picture the system drew twice, on black and on white (0x00RRGGBB each,
// width x height): the alpha is what the two differ by.
IconPixels PixelsFromBlackAndWhite(const std::vector<std::uint32_t>& onBlack,
                                   const std::vector<std::uint32_t>& onWhite, int width, int height);

}  // namespace velmora
