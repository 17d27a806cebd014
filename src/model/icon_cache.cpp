#include "model/icon_cache.h"

#include "core/file_system.h"
#include "model/text.h"

namespace velmora {

namespace {

constexpr std::string_view kMagic = "VLIC";
constexpr std::uint32_t kVersion = 1;
// A cache of many thousand icons is still only megabytes; more is not ours.
constexpr std::size_t kFileLimit = 64u << 20;

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  bool Bytes(std::size_t n, std::string_view& out) {
    if (bytes_.size() - pos_ < n) return false;
    out = bytes_.substr(pos_, n);
    pos_ += n;
    return true;
  }
  bool U8(std::uint8_t& v) {
    std::string_view b;
    if (!Bytes(1, b)) return false;
    v = static_cast<unsigned char>(b[0]);
    return true;
  }
  bool U16(std::uint16_t& v) {
    std::string_view b;
    if (!Bytes(2, b)) return false;
    v = static_cast<std::uint16_t>(LittleEndian32(b));
    return true;
  }
  bool U32(std::uint32_t& v) {
    std::string_view b;
    if (!Bytes(4, b)) return false;
    v = LittleEndian32(b);
    return true;
  }
  bool U64(std::uint64_t& v) {
    std::uint32_t low = 0, high = 0;
    if (!U32(low) || !U32(high)) return false;
    v = (static_cast<std::uint64_t>(high) << 32) | low;
    return true;
  }
  bool AtEnd() const { return pos_ == bytes_.size(); }

 private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
};

void PutU64(std::string& out, std::uint64_t v) {
  out += LittleEndianBytes(static_cast<std::uint32_t>(v));
  out += LittleEndianBytes(static_cast<std::uint32_t>(v >> 32));
}

}  // namespace

IconCacheData IconCacheData::Parse(std::string_view bytes) {
  IconCacheData cache;
  Reader in(bytes);
  std::string_view magic;
  std::uint32_t version = 0, count = 0;
  if (!in.Bytes(kMagic.size(), magic) || magic != kMagic || !in.U32(version) ||
      version != kVersion || !in.U32(count) || count > kIconCacheLimit)
    return {};
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint16_t length = 0;
    std::string_view path, pixels, mask;
    CachedIcon icon;
    std::uint8_t has = 0;
    if (!in.U16(length) || length == 0 || !in.Bytes(length, path) || !in.U64(icon.size) ||
        !in.U64(icon.time) || !in.U8(has) || has > 1)
      return {};
    icon.hasIcon = has == 1;
    if (icon.hasIcon) {
      if (!in.Bytes(kIconPixels, pixels) || !in.Bytes(kIconMask, mask)) return {};
      icon.pixels = pixels;
      icon.mask = mask;
    }
    cache.Put(std::string(path), std::move(icon));
  }
  if (!in.AtEnd()) return {};
  cache.changed_ = false;
  return cache;
}

std::string IconCacheData::Serialize() const {
  std::string out(kMagic);
  out += LittleEndianBytes(kVersion);
  out += LittleEndianBytes(static_cast<std::uint32_t>(entries_.size()));
  for (const auto& [key, entry] : entries_) {
    out += LittleEndianBytes(static_cast<std::uint32_t>(entry.path.size())).substr(0, 2);
    out += entry.path;
    PutU64(out, entry.icon.size);
    PutU64(out, entry.icon.time);
    out += static_cast<char>(entry.icon.hasIcon ? 1 : 0);
    if (entry.icon.hasIcon) out += entry.icon.pixels + entry.icon.mask;
  }
  return out;
}

const CachedIcon* IconCacheData::Find(const std::string& path, std::uint64_t size,
                                      std::uint64_t time) const {
  const auto found = entries_.find(ToLower(path));
  if (found == entries_.end()) return nullptr;
  found->second.used = true;
  const CachedIcon& icon = found->second.icon;
  return icon.size == size && icon.time == time ? &icon : nullptr;
}

void IconCacheData::Put(const std::string& path, CachedIcon icon) {
  // Only what a file can hold, so that Serialize and Parse always agree.
  if (path.empty() || path.size() > 0xFFFF) return;
  if (icon.hasIcon && (icon.pixels.size() != kIconPixels || icon.mask.size() != kIconMask)) return;
  if (!icon.hasIcon) icon.pixels.clear(), icon.mask.clear();
  entries_[ToLower(path)] = Entry{path, std::move(icon), true};
  changed_ = true;
}

void IconCacheData::MarkAllUnused() {
  for (auto& [key, entry] : entries_) entry.used = false;
}

void IconCacheData::Prune() {
  for (auto it = entries_.begin(); it != entries_.end();) {
    if (!it->second.used) {
      it = entries_.erase(it);
      changed_ = true;
    } else {
      ++it;
    }
  }
}

IconCacheData ReadIconCache(FileSystem& fs, const std::string& programFolder) {
  const auto bytes = fs.ReadAt(programFolder + kIconCacheFile, 0, kFileLimit);
  return bytes ? IconCacheData::Parse(*bytes) : IconCacheData();
}

bool WriteIconCache(FileSystem& fs, const std::string& programFolder, IconCacheData& cache) {
  if (!cache.Changed()) return true;
  if (!fs.WriteAllNow(programFolder + kIconCacheFile, cache.Serialize())) return false;
  cache.Saved();
  return true;
}

}  // namespace velmora
