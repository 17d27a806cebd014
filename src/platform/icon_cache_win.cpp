#include "platform/icon_cache_win.h"

#include <cstring>

#include "core/file_system.h"
#include "platform/image_list_win.h"
#include "platform/shell_icons_win.h"

namespace velmora {

namespace {

constexpr int kSide = 16;

// Top-down DIB descriptions of the two bitmaps of a 16 x 16 icon.
struct ColorInfo {
  BITMAPINFOHEADER header{};
  ColorInfo() {
    header.biSize = sizeof header;
    header.biWidth = kSide;
    header.biHeight = -kSide;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
  }
  BITMAPINFO* get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

struct MaskInfo {
  BITMAPINFOHEADER header{};
  RGBQUAD colors[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  MaskInfo() {
    header.biSize = sizeof header;
    header.biWidth = kSide;
    header.biHeight = -kSide;
    header.biPlanes = 1;
    header.biBitCount = 1;
    header.biCompression = BI_RGB;
  }
  BITMAPINFO* get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

// What identifies a file's present state: its size and last write; a file
// that is not there has neither.
bool FileStamp(const std::string& path, std::uint64_t& size, std::uint64_t& time) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
    size = ~std::uint64_t{0};
    time = 0;
    return false;
  }
  size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  time = (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
         data.ftLastWriteTime.dwLowDateTime;
  return true;
}

}  // namespace

bool IconToPixels(HICON icon, std::string& pixels, std::string& mask) {
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return false;
  GdiBitmap color(info.hbmColor), bits(info.hbmMask);
  BITMAP bm{};
  if (!color || !GetObjectA(color.get(), sizeof bm, &bm) || bm.bmWidth != kSide ||
      bm.bmHeight != kSide)
    return false;
  WindowDC screen{nullptr};
  ColorInfo colorInfo;
  pixels.assign(kIconPixels, '\0');
  if (GetDIBits(screen.get(), color.get(), 0, kSide, pixels.data(), colorInfo.get(), DIB_RGB_COLORS) != kSide)
    return false;
  MaskInfo maskInfo;
  mask.assign(kIconMask, '\0');
  return bits && GetDIBits(screen.get(), bits.get(), 0, kSide, mask.data(), maskInfo.get(),
                           DIB_RGB_COLORS) == kSide;
}

namespace {

// The two bitmaps of a 16 x 16 icon made from its pixels and mask.
bool PixelBitmaps(const std::string& pixels, const std::string& mask, GdiBitmap& color, GdiBitmap& bits) {
  if (pixels.size() != kIconPixels || mask.size() != kIconMask) return false;
  WindowDC screen{nullptr};
  ColorInfo colorInfo;
  void* colorBits = nullptr;
  color = GdiBitmap(CreateDIBSection(screen.get(), colorInfo.get(), DIB_RGB_COLORS, &colorBits, nullptr, 0));
  if (!color || !colorBits) return false;
  std::memcpy(colorBits, pixels.data(), kIconPixels);
  bits = GdiBitmap(CreateBitmap(kSide, kSide, 1, 1, nullptr));
  MaskInfo maskInfo;
  return bits && SetDIBits(screen.get(), bits.get(), 0, kSide, mask.data(), maskInfo.get(),
                           DIB_RGB_COLORS) == kSide;
}

}  // namespace

IconHandle IconFromPixels(const std::string& pixels, const std::string& mask) {
  GdiBitmap color, bits;
  if (!PixelBitmaps(pixels, mask, color, bits)) return {};
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmColor = color.get();
  info.hbmMask = bits.get();
  // The icon keeps copies; both bitmaps go with this scope.
  return IconHandle(CreateIconIndirect(&info));
}

bool AddPixels(KeyedImageList& list, const std::string& key, const std::string& pixels,
               const std::string& mask) {
  GdiBitmap color, bits;
  // The list keeps copies.
  return PixelBitmaps(pixels, mask, color, bits) && list.AddBitmaps(key, color.get(), bits.get());
}

bool AddIconPixels(KeyedImageList& list, const std::string& key, HICON icon) {
  std::string pixels, mask;
  if (IconToPixels(icon, pixels, mask) && AddPixels(list, key, pixels, mask)) return true;
  return list.AddIcon(key, icon);
}

ShellIconCache::ShellIconCache(FileSystem& fs, std::string programFolder)
    : fs_(fs), programFolder_(std::move(programFolder)) {}

void ShellIconCache::Load() {
  if (loaded_) return;
  loaded_ = true;
  data_ = ReadIconCache(fs_, programFolder_);
}

const CachedIcon* ShellIconCache::Entry(const std::string& path, IconHandle& asked) {
  Load();
  std::uint64_t size = 0, time = 0;
  FileStamp(path, size, time);
  if (const CachedIcon* cached = data_.Find(path, size, time)) return cached;
  ++shellLookups_;
  asked = SmallFileIcon(path);
  CachedIcon entry;
  entry.size = size;
  entry.time = time;
  entry.hasIcon = asked && IconToPixels(asked.get(), entry.pixels, entry.mask);
  // An icon that cannot be read back as 16 x 16 pixels is shown but not kept.
  if (!entry.hasIcon && asked) return nullptr;
  data_.Put(path, std::move(entry));
  return data_.Find(path, size, time);
}

IconHandle ShellIconCache::Icon(const std::string& path) {
  IconHandle asked;
  const CachedIcon* entry = Entry(path, asked);
  if (asked || !entry || !entry->hasIcon) return asked;
  return IconFromPixels(entry->pixels, entry->mask);
}

bool ShellIconCache::AddTo(KeyedImageList& list, const std::string& key, const std::string& path) {
  IconHandle asked;
  const CachedIcon* entry = Entry(path, asked);
  if (entry && entry->hasIcon && AddPixels(list, key, entry->pixels, entry->mask)) return true;
  // The shell's icon could not be read back as pixels: added as it is.
  return asked && list.AddIcon(key, asked.get());
}

void ShellIconCache::BeginRound() {
  Load();
  data_.MarkAllUnused();
}

void ShellIconCache::EndRound() { data_.Prune(); }

void ShellIconCache::Save() {
  if (loaded_) WriteIconCache(fs_, programFolder_, data_);
}

}  // namespace velmora
