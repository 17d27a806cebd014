// The icon cache: the small icons the shell gave for files, kept beside the
// program so that a start does not have to ask the shell again. Asking the
// shell for the first icon of a run starts its whole image list, which is
// most of what a start costs beyond showing a window.
//
// It is a cache, not state: every entry is keyed by the file's path, size and
// last-write time, an entry whose file changed is simply asked for again,
// and a damaged or foreign file reads as an empty cache. The program works
// the same without it.
//
// File layout (little-endian), all of it or nothing:
//   "VLIC"  magic
//   u32     version (1)
//   u32     entry count
//   then per entry:
//     u16   path length, then the path's bytes (as the program names the file)
//     u64   file size
//     u64   last-write time (the system's file time)
//     u8    1 = the shell had an icon, 0 = it had none (the caller's fallback)
//     with an icon: 16 x 16 BGRA pixels (1024 bytes), then the 16 x 16 AND
//     mask, one bit a pixel, rows of 4 bytes (64 bytes)
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace velmora {

class FileSystem;

inline constexpr const char* kIconCacheFile = "iconcach.dat";
inline constexpr std::size_t kIconPixels = 16 * 16 * 4;
inline constexpr std::size_t kIconMask = 16 * 4;
// Entries are never more than this; a file claiming more is not ours.
inline constexpr std::uint32_t kIconCacheLimit = 100000;

struct CachedIcon {
  std::uint64_t size = 0;
  std::uint64_t time = 0;
  bool hasIcon = false;
  std::string pixels;  // kIconPixels bytes when hasIcon
  std::string mask;    // kIconMask bytes when hasIcon
  friend bool operator==(const CachedIcon&, const CachedIcon&) = default;
};

class IconCacheData {
 public:
  // The entries of a cache file; anything malformed gives an empty cache.
  static IconCacheData Parse(std::string_view bytes);
  std::string Serialize() const;

  // The entry for `path` when the file still has `size` and `time`.
  const CachedIcon* Find(const std::string& path, std::uint64_t size, std::uint64_t time) const;
  void Put(const std::string& path, CachedIcon icon);
  // Entries not looked up or put since the last MarkAllUnused are dropped
  // when `Prune` runs: files the toolbar no longer shows leave the cache.
  void MarkAllUnused();
  void Prune();

  std::size_t Count() const { return entries_.size(); }
  bool Changed() const { return changed_; }
  void Saved() { changed_ = false; }

 private:
  struct Entry {
    std::string path;
    CachedIcon icon;
    mutable bool used = true;
  };
  std::unordered_map<std::string, Entry> entries_;  // by lower-case path
  bool changed_ = false;
};

// Reads and writes the cache file of `programFolder` (ending in "\").
IconCacheData ReadIconCache(FileSystem& fs, const std::string& programFolder);
bool WriteIconCache(FileSystem& fs, const std::string& programFolder, IconCacheData& cache);

}  // namespace velmora
