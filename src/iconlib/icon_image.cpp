#include "iconlib/icon_image.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace velmora {

namespace {

constexpr int kMaxSide = 256;
constexpr std::uint64_t kHeaderSize = 40;  // BITMAPINFOHEADER
constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;

std::uint32_t U16(std::string_view b, std::uint64_t at) {
  return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 1])) << 8;
}
std::uint32_t U32(std::string_view b, std::uint64_t at) {
  return U16(b, at) | U16(b, at + 2) << 16;
}
std::uint8_t Byte(std::string_view b, std::uint64_t at) { return static_cast<std::uint8_t>(b[at]); }

bool IsPng(std::string_view picture) {
  return picture.size() >= 8 && picture.substr(0, 8) == std::string_view("\x89PNG\r\n\x1a\n", 8);
}

// One picture of the directory, sized by its own header where it has one.
struct Entry {
  int width = 0;
  int height = 0;
  int bits = 0;
  bool png = false;
  std::string_view picture;  // the bytes that are there, at most the entry's size
};

std::optional<Entry> ReadEntry(std::string_view file, std::size_t index) {
  const std::uint64_t at = kDirectorySize + kEntrySize * index;
  if (at + kEntrySize > file.size()) return std::nullopt;
  Entry e;
  e.width = Byte(file, at) ? Byte(file, at) : kMaxSide;
  e.height = Byte(file, at + 1) ? Byte(file, at + 1) : kMaxSide;
  e.bits = static_cast<int>(U16(file, at + 6));
  const std::uint64_t size = U32(file, at + 8), offset = U32(file, at + 12);
  if (offset >= file.size() || size == 0) return std::nullopt;
  e.picture = file.substr(static_cast<std::size_t>(offset),
                          static_cast<std::size_t>(std::min<std::uint64_t>(size, file.size() - offset)));
  e.png = IsPng(e.picture);
  if (!e.png) {
    // The bitmap's own header is what its pixels follow.
    if (e.picture.size() < kHeaderSize) return std::nullopt;
    const auto w = static_cast<std::int32_t>(U32(e.picture, 4));
    const auto h = static_cast<std::int32_t>(U32(e.picture, 8)) / 2;
    if (w <= 0 || w > kMaxSide || h <= 0 || h > kMaxSide) return std::nullopt;
    e.width = w;
    e.height = h;
    e.bits = static_cast<int>(U16(e.picture, 14));
  }
  return e;
}

// Exact size with the most colours; else the smallest larger; else the largest.
bool Better(const Entry& a, const Entry& b, int size) {
  const bool exactA = a.width == size && a.height == size, exactB = b.width == size && b.height == size;
  if (exactA != exactB) return exactA;
  if (exactA) return a.png != b.png ? !a.png : a.bits > b.bits;
  const bool largerA = a.width >= size, largerB = b.width >= size;
  if (largerA != largerB) return largerA;
  if (a.width != b.width) return largerA ? a.width < b.width : a.width > b.width;
  return a.png != b.png ? !a.png : a.bits > b.bits;
}

std::uint32_t Premultiply(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a) {
  if (a == 255) return 0xFF000000u | r << 16 | g << 8 | b;
  const auto mul = [a](std::uint32_t c) { return (c * a + 127) / 255; };
  return a << 24 | mul(r) << 16 | mul(g) << 8 | mul(b);
}

enum class Bmp : std::uint8_t { Ok, Bad, System };

Bmp DecodeBitmap(std::string_view p, IconPixels& out) {
  const std::uint64_t headerSize = U32(p, 0);
  if (headerSize < kHeaderSize || headerSize > p.size()) return Bmp::Bad;
  const auto w = static_cast<int>(static_cast<std::int32_t>(U32(p, 4)));
  const auto h = static_cast<int>(static_cast<std::int32_t>(U32(p, 8)) / 2);
  const int bits = static_cast<int>(U16(p, 14));
  const std::uint32_t compression = U32(p, 16);
  const std::uint32_t used = U32(p, 32);
  if (compression != 0) return Bmp::System;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return Bmp::Bad;
  const std::uint64_t colours = bits <= 8 ? (used && used < (1u << bits) ? used : (1u << bits)) : 0;
  const std::uint64_t palette = headerSize;
  const std::uint64_t xorStride = (static_cast<std::uint64_t>(w) * bits + 31) / 32 * 4;
  const std::uint64_t xorAt = palette + colours * 4;
  const std::uint64_t andStride = (static_cast<std::uint64_t>(w) + 31) / 32 * 4;
  const std::uint64_t andAt = xorAt + xorStride * h;
  if (andAt > p.size()) return Bmp::Bad;
  const bool hasMask = andAt + andStride * h <= p.size();

  out.width = w;
  out.height = h;
  out.argb.assign(static_cast<std::size_t>(w) * h, 0);
  std::vector<std::uint8_t> alpha(out.argb.size(), 255);
  bool anyAlpha = false;
  for (int y = 0; y < h; ++y) {
    const std::uint64_t row = xorAt + xorStride * static_cast<std::uint64_t>(h - 1 - y);
    for (int x = 0; x < w; ++x) {
      std::uint32_t r = 0, g = 0, b = 0;
      const std::size_t i = static_cast<std::size_t>(y) * w + x;
      if (bits <= 8) {
        const std::uint64_t bit = static_cast<std::uint64_t>(x) * bits;
        const std::uint8_t byte = Byte(p, row + bit / 8);
        const std::uint32_t index = (byte >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
        if (index < colours) {
          const std::uint64_t c = palette + index * 4;
          b = Byte(p, c), g = Byte(p, c + 1), r = Byte(p, c + 2);
        }
      } else {
        const std::uint64_t c = row + static_cast<std::uint64_t>(x) * (bits / 8);
        b = Byte(p, c), g = Byte(p, c + 1), r = Byte(p, c + 2);
        if (bits == 32) {
          alpha[i] = Byte(p, c + 3);
          anyAlpha = anyAlpha || alpha[i] != 0;
        }
      }
      out.argb[i] = r << 16 | g << 8 | b;
    }
  }
  // Pictures without an alpha channel (or with an empty one) take their
  // transparency from the AND mask: a set bit lets the background through.
  if (bits != 32 || !anyAlpha) {
    for (int y = 0; y < h; ++y) {
      const std::uint64_t row = andAt + andStride * static_cast<std::uint64_t>(h - 1 - y);
      for (int x = 0; x < w; ++x) {
        const std::size_t i = static_cast<std::size_t>(y) * w + x;
        alpha[i] = hasMask && (Byte(p, row + x / 8) >> (7 - x % 8) & 1) ? 0 : 255;
      }
    }
  }
  for (std::size_t i = 0; i < out.argb.size(); ++i) {
    const std::uint32_t c = out.argb[i];
    out.argb[i] = Premultiply(c >> 16 & 0xFF, c >> 8 & 0xFF, c & 0xFF, alpha[i]);
  }
  return Bmp::Ok;
}

// Averages boxes of premultiplied pixels when shrinking, repeats pixels when
// growing: small icons stay crisp.
IconPixels Scale(const IconPixels& in, int size) {
  if (in.width == size && in.height == size) return in;
  IconPixels out;
  out.width = out.height = size;
  out.argb.resize(static_cast<std::size_t>(size) * size);
  for (int y = 0; y < size; ++y) {
    const int y0 = y * in.height / size, y1 = std::max(y0 + 1, (y + 1) * in.height / size);
    for (int x = 0; x < size; ++x) {
      const int x0 = x * in.width / size, x1 = std::max(x0 + 1, (x + 1) * in.width / size);
      std::uint32_t sum[4] = {0, 0, 0, 0};
      for (int sy = y0; sy < y1; ++sy)
        for (int sx = x0; sx < x1; ++sx) {
          const std::uint32_t c = in.argb[static_cast<std::size_t>(sy) * in.width + sx];
          for (int k = 0; k < 4; ++k) sum[k] += c >> (8 * k) & 0xFF;
        }
      const std::uint32_t n = static_cast<std::uint32_t>((y1 - y0) * (x1 - x0));
      std::uint32_t c = 0;
      for (int k = 0; k < 4; ++k) c |= (sum[k] + n / 2) / n << (8 * k);
      out.argb[static_cast<std::size_t>(y) * size + x] = c;
    }
  }
  return out;
}

}  // namespace

DecodedIcon DecodeIcon(std::string_view file, int size) {
  DecodedIcon result;
  if (size <= 0 || size > kMaxSide || file.size() < kDirectorySize) return result;
  if (U16(file, 0) != 0 || U16(file, 2) != 1) return result;
  const std::size_t count = U16(file, 4);
  std::vector<Entry> entries;
  for (std::size_t i = 0; i < count; ++i)
    if (auto e = ReadEntry(file, i)) entries.push_back(*e);
  std::sort(entries.begin(), entries.end(),
            [size](const Entry& a, const Entry& b) { return Better(a, b, size); });
  for (const Entry& e : entries) {
    if (e.png) {
      result.result = IconDecode::Unsupported;
      return result;
    }
    IconPixels pixels;
    switch (DecodeBitmap(e.picture, pixels)) {
      case Bmp::Ok:
        result.result = IconDecode::Ok;
        result.pixels = Scale(pixels, size);
        return result;
      case Bmp::System:
        result.result = IconDecode::Unsupported;
        return result;
      case Bmp::Bad:
        break;  // the next best picture may be whole
    }
  }
  return result;
}

void BlendIcon(std::uint32_t* image, int width, int height, int stride, int x, int y,
               const IconPixels& icon) {
  if (!image) return;
  const int left = std::max(0, -x), top = std::max(0, -y);
  const int right = std::min(icon.width, width - x), bottom = std::min(icon.height, height - y);
  for (int iy = top; iy < bottom; ++iy) {
    std::uint32_t* row = image + static_cast<std::ptrdiff_t>(y + iy) * stride + x;
    const std::uint32_t* src = icon.argb.data() + static_cast<std::size_t>(iy) * icon.width;
    for (int ix = left; ix < right; ++ix) {
      const std::uint32_t s = src[ix];
      const std::uint32_t a = s >> 24;
      if (a == 0) continue;
      if (a == 255) {
        row[ix] = s;
        continue;
      }
      const std::uint32_t d = row[ix], keep = 255 - a;
      std::uint32_t out = 0;
      for (int k = 0; k < 32; k += 8)
        out |= std::min<std::uint32_t>(255, (s >> k & 0xFF) + ((d >> k & 0xFF) * keep + 127) / 255) << k;
      row[ix] = out;
    }
  }
}

IconPixels PixelsFromBlackAndWhite(const std::vector<std::uint32_t>& onBlack,
                                   const std::vector<std::uint32_t>& onWhite, int width, int height) {
  IconPixels out;
  const std::size_t n = static_cast<std::size_t>(std::max(0, width)) * std::max(0, height);
  if (onBlack.size() < n || onWhite.size() < n) return out;
  out.width = width;
  out.height = height;
  out.argb.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    std::uint32_t spread = 0;
    for (int k = 0; k < 24; k += 8)
      spread += (onWhite[i] >> k & 0xFF) - std::min(onWhite[i] >> k & 0xFF, onBlack[i] >> k & 0xFF);
    const std::uint32_t a = 255 - std::min<std::uint32_t>(255, (spread + 1) / 3);
    std::uint32_t c = a << 24;
    for (int k = 0; k < 24; k += 8) c |= std::min(a, onBlack[i] >> k & 0xFF) << k;
    out.argb[i] = c;
  }
  return out;
}

}  // namespace velmora
