// Small file icons as the shell shows them, remembered in the icon cache file
// beside the program (model/icon_cache.h): a file that has not changed since
// its icon was asked for gets the same pixels back without asking the shell.
#pragma once

#include <windows.h>

#include <string>

#include "model/icon_cache.h"
#include "platform/handles_win.h"

namespace velmora {

class FileSystem;
class KeyedImageList;

class ShellIconCache {
 public:
  // The cache file is read on the first look-up, not before.
  ShellIconCache(FileSystem& fs, std::string programFolder);

  // The file's small icon; an empty handle when the shell has none for it.
  IconHandle Icon(const std::string& path);
  // The same icon put into `list` under `key`, from the cached pixels without
  // making an icon of them; false when the shell has none for the file.
  bool AddTo(KeyedImageList& list, const std::string& key, const std::string& path);
  // Entries not looked up between these two calls leave the cache: a toolbar
  // build brackets its look-ups with them.
  void BeginRound();
  void EndRound();
  // Writes the file when something changed; never waits for a file another
  // program holds (a later save tries again).
  void Save();

  // How often the shell itself was asked, for the benchmarks.
  long ShellLookups() const { return shellLookups_; }

 private:
  void Load();
  // The entry for the file as it is now. When the cache had none the shell
  // is asked, its icon left in `asked` and remembered if it can be; null when
  // it cannot.
  const CachedIcon* Entry(const std::string& path, IconHandle& asked);

  FileSystem& fs_;
  std::string programFolder_;
  IconCacheData data_;
  bool loaded_ = false;
  long shellLookups_ = 0;
};

// The icon's pixels and mask in the cache's layout; false when the icon is
// not a 16 x 16 one that can be read back.
bool IconToPixels(HICON icon, std::string& pixels, std::string& mask);
IconHandle IconFromPixels(const std::string& pixels, const std::string& mask);
// An icon's pixels into `list` under `key`, as AddIcon would show them.
bool AddPixels(KeyedImageList& list, const std::string& key, const std::string& pixels,
               const std::string& mask);
// The icon into `list` under `key` by its pixels, a tenth of the time of
// adding the icon itself; by the icon when it is not a 16 x 16 one.
bool AddIconPixels(KeyedImageList& list, const std::string& key, HICON icon);

}  // namespace velmora
