// The file system through the Win32 ANSI API.
#pragma once

#include <functional>

#include "core/file_system.h"

namespace velmora {

class Win32FileSystem : public FileSystem {
 public:
  bool Exists(const std::string& path) override;
  bool IsFolder(const std::string& path) override;
  bool IsReadOnly(const std::string& path) override;
  std::optional<std::uint64_t> Size(const std::string& path) override;
  std::optional<std::string> ReadAt(const std::string& path, std::uint64_t offset,
                                    std::size_t count) override;
  bool WriteAll(const std::string& path, const std::string& bytes) override;
  bool WriteAllNow(const std::string& path, const std::string& bytes) override;
  bool WritePrefix(const std::string& path, const std::string& prefix) override;
  bool Delete(const std::string& path) override;
  bool Rename(const std::string& from, const std::string& to) override;
  bool CreateFolder(const std::string& path) override;
  std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern) override;
  std::optional<std::vector<std::string>> TryListFiles(const std::string& folder,
                                                       const std::string& pattern) override;
  std::vector<std::string> ListFolders(const std::string& folder) override;
  Error LastError() const override { return error_; }

  // Bytes per WriteFile call, and per piece of a kept tail.
  static constexpr std::size_t kWriteChunk = 1u << 24;
  static constexpr std::size_t kCopyPiece = 1u << 20;

 protected:
  // The steps of a safe write, in order; Write comes once per chunk.
  enum class WriteStep { Create, Write, Flush, Close, Move };
  // Called before each step; false makes that step fail as a full disk
  // would. Tests override it to prove that any failing step leaves the old
  // file as it was and no temporary file behind.
  virtual bool BeforeStep(WriteStep) { return true; }

 private:
  // `bytes` become the file's start; with `keepTail` the old file's bytes
  // after them follow; `wait` rides out a file held by another program.
  bool SafeWrite(const std::string& path, const std::string& bytes, bool keepTail, bool wait);
  bool CopyTail(const std::string& path, std::uint64_t from,
                const std::function<bool(const char*, std::size_t)>& write);
  // True when BeforeStep refused `step` (the last error is set then).
  bool FailStep(WriteStep step);
  bool Fail();
  Error error_;
};

}  // namespace velmora
