#include "model/options.h"

#include "core/file_system.h"

namespace velmora {

Options ReadOptions(FileSystem& fs, const std::string& programFolder) {
  const std::string path = programFolder + kOptionsFile;
  const auto bytes = fs.ReadAt(path, 0, kOptionCount);
  if (!bytes) {
    if (!fs.Exists(path)) fs.WriteAll(path, {});
    return Options{};
  }
  return Options::Parse(*bytes);
}

bool SaveOptions(FileSystem& fs, const std::string& programFolder, const Options& options) {
  // Bytes after the sixteenth belong to nobody we know of; keep them all,
  // without reading a file of any size into memory.
  return fs.WritePrefix(programFolder + kOptionsFile, options.Text());
}

}  // namespace velmora
