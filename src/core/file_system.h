// What the program needs of the file system, as a small interface so that the
// start-up, menu-file and state-file logic can run against a recording fake.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/error.h"

namespace velmora {

// WriteAll's temporary file beside its target: the target's name + this.
// One left behind means the program stopped in the middle of a write.
inline constexpr const char* kWriteTempSuffix = ".~vl";

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // True when a directory listing of `path` finds something (file or folder).
  virtual bool Exists(const std::string& path) = 0;
  virtual bool IsFolder(const std::string& path) = 0;
  // True when `path` is a file with the read-only attribute: it can be renamed
  // but neither replaced nor deleted. False when it is missing.
  virtual bool IsReadOnly(const std::string& path) = 0;
  virtual std::optional<std::uint64_t> Size(const std::string& path) = 0;

  // Up to `count` bytes from `offset`; fewer at the end of the file. nullopt when
  // the file cannot be opened.
  virtual std::optional<std::string> ReadAt(const std::string& path, std::uint64_t offset,
                                            std::size_t count) = 0;
  std::optional<std::string> ReadAll(const std::string& path, std::size_t limit = 64u << 20) {
    return ReadAt(path, 0, limit);
  }

  // Replaces the whole file. Either the new content is there afterwards or the
  // old file is untouched: never a half-written file.
  virtual bool WriteAll(const std::string& path, const std::string& bytes) = 0;
  // Replaces the first prefix.size() bytes of the file (creating it when it is
  // missing) and keeps every byte after them, as safely as WriteAll. The
  // kept bytes are copied piece by piece, never held whole, so the file's
  // size does not matter.
  virtual bool WritePrefix(const std::string& path, const std::string& prefix) {
    const auto size = Size(path);
    std::string bytes = prefix;
    if (size && *size > prefix.size())
      if (auto tail = ReadAt(path, prefix.size(), static_cast<std::size_t>(*size - prefix.size())))
        bytes += *tail;
    return WriteAll(path, bytes);
  }
  // The same, but it never waits: a file another program holds for a moment
  // makes it fail at once. For writes that a poll repeats anyway.
  virtual bool WriteAllNow(const std::string& path, const std::string& bytes) {
    return WriteAll(path, bytes);
  }

  virtual bool Delete(const std::string& path) = 0;
  virtual bool Rename(const std::string& from, const std::string& to) = 0;
  virtual bool CreateFolder(const std::string& path) = 0;

  // Names (not paths) of the normal files in `folder` (ending in "\") whose name
  // matches `pattern` ("*.mnu", "*.dat", "*"); matching ignores letter case;
  // hidden and system files are left out. Order as the system returns them.
  virtual std::vector<std::string> ListFiles(const std::string& folder,
                                             const std::string& pattern) = 0;
  // The same, but nullopt when the folder cannot be listed at all (missing,
  // access denied, a drive gone), as opposed to holding no matching file.
  virtual std::optional<std::vector<std::string>> TryListFiles(const std::string& folder,
                                                               const std::string& pattern) {
    return ListFiles(folder, pattern);
  }
  // Names of the sub-folders of `folder`, without "." and "..".
  virtual std::vector<std::string> ListFolders(const std::string& folder) = 0;

  // The error of the last failing call: the system's error number and its text.
  virtual Error LastError() const = 0;
};

}  // namespace velmora
