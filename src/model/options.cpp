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
  const std::string path = programFolder + kOptionsFile;
  // Bytes after the sixteenth belong to nobody we know of; keep them all.
  const auto size = fs.Size(path);
  const auto existing = size ? fs.ReadAt(path, 0, static_cast<std::size_t>(*size)) : std::nullopt;
  return fs.WriteAll(path, options.Overlay(existing ? *existing : std::string()));
}

}  // namespace velmora
