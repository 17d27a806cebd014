#include "iconlib/icon_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace velmora {
namespace {

void Put16(std::string& s, std::uint32_t v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>(v >> 8 & 0xFF));
}
void Put32(std::string& s, std::uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

// One bitmap picture: `colour(x, y)` gives 0xAARRGGBB (top row first) for 24
// and 32 bits, a palette index for fewer; `masked(x, y)` sets the AND bit.
struct Picture {
  int size = 32;
  int bits = 32;
  std::vector<std::uint32_t> palette;
  std::uint32_t (*colour)(int x, int y) = nullptr;
  bool (*masked)(int x, int y) = nullptr;
  std::uint32_t compression = 0;
  bool png = false;
};

std::string Bitmap(const Picture& p) {
  if (p.png) return std::string("\x89PNG\r\n\x1a\n", 8) + std::string(40, 'x');
  std::string s;
  Put32(s, 40);
  Put32(s, static_cast<std::uint32_t>(p.size));
  Put32(s, static_cast<std::uint32_t>(p.size * 2));
  Put16(s, 1);
  Put16(s, static_cast<std::uint32_t>(p.bits));
  Put32(s, p.compression);
  for (int i = 0; i < 5; ++i) Put32(s, 0);
  for (std::uint32_t c : p.palette) Put32(s, c);
  const int xorStride = (p.size * p.bits + 31) / 32 * 4;
  for (int y = p.size - 1; y >= 0; --y) {  // bottom row first
    std::string row(static_cast<std::size_t>(xorStride), '\0');
    for (int x = 0; x < p.size; ++x) {
      std::uint32_t c = p.colour ? p.colour(x, y) : 0;
      if (p.bits <= 8) {
        c &= (1u << p.bits) - 1;
        const int bit = x * p.bits;
        row[static_cast<std::size_t>(bit / 8)] |= static_cast<char>(c << (8 - p.bits - bit % 8));
      } else {
        for (int k = 0; k < p.bits / 8; ++k)
          row[static_cast<std::size_t>(x * (p.bits / 8) + k)] = static_cast<char>(c >> (8 * k));
      }
    }
    s += row;
  }
  const int andStride = (p.size + 31) / 32 * 4;
  for (int y = p.size - 1; y >= 0; --y) {
    std::string row(static_cast<std::size_t>(andStride), '\0');
    for (int x = 0; x < p.size; ++x)
      if (p.masked && p.masked(x, y)) row[static_cast<std::size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
    s += row;
  }
  return s;
}

std::string Ico(const std::vector<Picture>& pictures) {
  std::string s;
  Put16(s, 0);
  Put16(s, 1);
  Put16(s, static_cast<std::uint32_t>(pictures.size()));
  std::vector<std::string> bodies;
  for (const auto& p : pictures) bodies.push_back(Bitmap(p));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * pictures.size());
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    const auto& p = pictures[i];
    s.push_back(static_cast<char>(p.size >= 256 ? 0 : p.size));
    s.push_back(static_cast<char>(p.size >= 256 ? 0 : p.size));
    s.push_back(0);
    s.push_back(0);
    Put16(s, 1);
    Put16(s, static_cast<std::uint32_t>(p.bits));
    Put32(s, static_cast<std::uint32_t>(bodies[i].size()));
    Put32(s, offset);
    offset += static_cast<std::uint32_t>(bodies[i].size());
  }
  for (const auto& b : bodies) s += b;
  return s;
}

std::uint32_t At(const IconPixels& p, int x, int y) {
  return p.argb[static_cast<std::size_t>(y) * p.width + x];
}

// Top half red and opaque, bottom half blue at half alpha.
std::uint32_t Halves(int, int y) { return y < 16 ? 0xFFFF0000u : 0x800000FFu; }
std::uint32_t Stripes(int x, int) { return x % 2 ? 2u : 1u; }
bool LeftColumn(int x, int) { return x == 0; }

TEST(IconImage, ReadsThirtyTwoBitPicturesTopRowFirstPremultiplied) {
  const DecodedIcon icon = DecodeIcon(Ico({{32, 32, {}, Halves}}), 32);
  ASSERT_EQ(icon.result, IconDecode::Ok);
  ASSERT_EQ(icon.pixels.width, 32);
  EXPECT_EQ(At(icon.pixels, 5, 0), 0xFFFF0000u);
  EXPECT_EQ(At(icon.pixels, 5, 31), 0x80000080u);  // blue 255 at alpha 128
}

TEST(IconImage, PalettePicturesTakeTheirTransparencyFromTheMask) {
  for (int bits : {1, 4, 8}) {
    // Palette entries are blue, green, red, 0: black, red, green.
    Picture p{32, bits, {0, 0x00FF0000, 0x0000FF00}, Stripes, LeftColumn};
    p.palette.resize(1u << bits);
    const DecodedIcon icon = DecodeIcon(Ico({p}), 32);
    ASSERT_EQ(icon.result, IconDecode::Ok) << bits;
    EXPECT_EQ(At(icon.pixels, 0, 3), 0u) << bits;  // masked
    // Odd columns hold index 2, which one bit cannot: index 0 there.
    EXPECT_EQ(At(icon.pixels, 1, 3), bits == 1 ? 0xFF000000u : 0xFF00FF00u) << bits;
    EXPECT_EQ(At(icon.pixels, 2, 3), 0xFFFF0000u) << bits;
  }
  // A 32-bit picture whose alpha is all zero is an old one: the mask decides.
  const DecodedIcon old = DecodeIcon(Ico({{32, 32, {}, [](int, int) { return 0x00123456u; }, LeftColumn}}), 32);
  EXPECT_EQ(At(old.pixels, 0, 0), 0u);
  EXPECT_EQ(At(old.pixels, 1, 0), 0xFF123456u);
}

TEST(IconImage, ChoosesTheClosestPictureAndScalesIt) {
  const auto solid = [](int, int) { return 0xFF0000FFu; };
  const auto other = [](int, int) { return 0xFF00FF00u; };
  // The exact size with the most colours wins over larger and smaller ones.
  DecodedIcon icon = DecodeIcon(
      Ico({{16, 32, {}, other}, {48, 32, {}, other}, {32, 8, std::vector<std::uint32_t>(256), nullptr}, {32, 32, {}, solid}}), 32);
  ASSERT_EQ(icon.result, IconDecode::Ok);
  EXPECT_EQ(At(icon.pixels, 10, 10), 0xFF0000FFu);
  // Without it, a larger one shrinks; a smaller one alone grows.
  icon = DecodeIcon(Ico({{16, 32, {}, other}, {64, 32, {}, solid}}), 32);
  EXPECT_EQ(At(icon.pixels, 31, 31), 0xFF0000FFu);
  icon = DecodeIcon(Ico({{16, 32, {}, [](int x, int) { return x < 8 ? 0xFFFF0000u : 0xFF00FF00u; }}}), 32);
  ASSERT_EQ(icon.pixels.width, 32);
  EXPECT_EQ(At(icon.pixels, 15, 0), 0xFFFF0000u);
  EXPECT_EQ(At(icon.pixels, 16, 0), 0xFF00FF00u);
}

TEST(IconImage, PicturesOnlyTheSystemReadsAreLeftToIt) {
  Picture png;
  png.png = true;
  EXPECT_EQ(DecodeIcon(Ico({png}), 32).result, IconDecode::Unsupported);
  Picture bitfields{32, 32, {}, Halves};
  bitfields.compression = 3;
  EXPECT_EQ(DecodeIcon(Ico({bitfields}), 32).result, IconDecode::Unsupported);
  // A bitmap of the right size is taken before a PNG of another.
  png.size = 256;
  EXPECT_EQ(DecodeIcon(Ico({png, {32, 32, {}, Halves}}), 32).result, IconDecode::Ok);
}

TEST(IconImage, AnythingElseIsNoIconAndNeverReadsPastTheEnd) {
  const std::string good = Ico({{32, 32, {}, Halves, LeftColumn}});
  std::string tooWide = good;
  tooWide[6 + 16 + 5] = 0x10;  // width 4096
  std::string farOffset = good;
  farOffset[6 + 15] = 0x7F;
  for (const std::string& bytes :
       {std::string(), std::string("this is no icon"), std::string("\0\0\1\0\0\0", 6),
        std::string("\0\0\2\0\1\0", 6) + good.substr(6), std::string("\1\0\1\0\1\0", 6) + good.substr(6),
        good.substr(0, 22), good.substr(0, 200), tooWide, farOffset}) {
    EXPECT_EQ(DecodeIcon(bytes, 32).result, IconDecode::NotIcon) << bytes.size();
  }
  // Every truncation and every single byte changed: no crash, no read past
  // the end (the sanitizers would tell), and a whole picture when it says Ok.
  for (std::size_t n = 0; n <= good.size(); ++n) {
    const DecodedIcon icon = DecodeIcon(std::string_view(good).substr(0, n), 32);
    if (icon.result == IconDecode::Ok) {
      EXPECT_EQ(icon.pixels.argb.size(), 32u * 32u);
    }
  }
  for (std::size_t i = 0; i < 120; ++i) {
    for (unsigned char v : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
      std::string mutated = good;
      mutated[i] = static_cast<char>(v);
      const DecodedIcon icon = DecodeIcon(mutated, 32);
      if (icon.result == IconDecode::Ok) {
        EXPECT_EQ(icon.pixels.argb.size(), 32u * 32u);
      }
    }
  }
  // A damaged first picture leaves the next one.
  std::string two = Ico({{32, 32, {}, Halves}, {16, 32, {}, Halves}});
  two[6 + 8] = 0x10;  // the 32 x 32 picture now ends inside its pixels
  EXPECT_EQ(DecodeIcon(two, 32).result, IconDecode::Ok);
}

TEST(IconImage, BlendsOverTheImageWithinItsEdges) {
  IconPixels icon;
  icon.width = icon.height = 2;
  icon.argb = {0xFFFF0000u, 0x80000080u, 0, 0xFF00FF00u};
  std::vector<std::uint32_t> image(9, 0xFFFFFFFFu);
  BlendIcon(image.data(), 3, 3, 3, 2, 2, icon);  // only the top-left pixel lands
  EXPECT_EQ(image[8], 0xFFFF0000u);
  EXPECT_EQ(image[7], 0xFFFFFFFFu);
  std::fill(image.begin(), image.end(), 0xFFFFFFFFu);
  BlendIcon(image.data(), 3, 3, 3, -1, 0, icon);  // the right column lands at x 0
  EXPECT_EQ(image[0], 0xFF7F7FFFu);  // half blue over white
  EXPECT_EQ(image[3], 0xFF00FF00u);
  EXPECT_EQ(image[1], 0xFFFFFFFFu);
}

TEST(IconImage, AlphaFromDrawingOnBlackAndOnWhite) {
  const IconPixels p =
      PixelsFromBlackAndWhite({0x00FF0000, 0x00000000, 0x00400000}, {0x00FF0000, 0x00FFFFFF, 0x00FFBFBF}, 3, 1);
  ASSERT_EQ(p.argb.size(), 3u);
  EXPECT_EQ(p.argb[0], 0xFFFF0000u);  // opaque red
  EXPECT_EQ(p.argb[1], 0x00000000u);  // nothing drawn
  EXPECT_EQ(p.argb[2] >> 24, 0x40u);  // a quarter of red
  EXPECT_EQ(p.argb[2] & 0xFFFFFF, 0x400000u);
}

}  // namespace
}  // namespace velmora
