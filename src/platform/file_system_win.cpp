#include "platform/file_system_win.h"

#include <windows.h>

#include <limits>
#include <vector>

#include "model/text.h"
#include "platform/error_win.h"
#include "platform/handles_win.h"

namespace velmora {

namespace {

// nullopt when the folder itself cannot be read; an empty list when nothing
// in it matches.
template <typename Keep>
std::optional<std::vector<std::string>> TryList(const std::string& folder,
                                                const std::string& pattern, Keep keep) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  FindHandle find(FindFirstFileA((WithBackslash(folder) + pattern).c_str(), &data));
  if (!find) {
    if (GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_NO_MORE_FILES) return names;
    return std::nullopt;
  }
  do {
    const std::string name = data.cFileName;
    if (name != "." && name != ".." && keep(data)) names.push_back(name);
  } while (FindNextFileA(find.get(), &data));
  return names;
}

template <typename Keep>
std::vector<std::string> List(const std::string& folder, const std::string& pattern, Keep keep) {
  return TryList(folder, pattern, keep).value_or(std::vector<std::string>{});
}

// Normal files only, as a file list shows them: a Desktop's hidden
// desktop.ini is nobody's menu entry.
bool NormalFile(const WIN32_FIND_DATAA& d) {
  return !(d.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

}  // namespace

bool Win32FileSystem::Fail() {
  error_ = LastSystemError();
  return false;
}

bool Win32FileSystem::Exists(const std::string& path) {
  WIN32_FIND_DATAA data;
  FindHandle find(FindFirstFileA(path.c_str(), &data));
  return find.valid();
}

bool Win32FileSystem::IsFolder(const std::string& path) {
  const DWORD attr = GetFileAttributesA(path.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::IsReadOnly(const std::string& path) {
  const DWORD attr = GetFileAttributesA(path.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY) &&
         (attr & FILE_ATTRIBUTE_READONLY);
}

std::optional<std::uint64_t> Win32FileSystem::Size(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    Fail();
    return std::nullopt;
  }
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::optional<std::string> Win32FileSystem::ReadAt(const std::string& path, std::uint64_t offset,
                                                   std::size_t count) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    Fail();
    return std::nullopt;
  }
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size)) {
    Fail();
    return std::nullopt;
  }
  const auto total = static_cast<std::uint64_t>(size.QuadPart);
  if (offset >= total) return std::string();
  count = static_cast<std::size_t>(std::min<std::uint64_t>(count, total - offset));
  LARGE_INTEGER pos;
  pos.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(file.get(), pos, nullptr, FILE_BEGIN)) {
    Fail();
    return std::nullopt;
  }
  std::string bytes(count, '\0');
  std::size_t done = 0;
  while (done < count) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 24));
    DWORD got = 0;
    if (!ReadFile(file.get(), bytes.data() + done, chunk, &got, nullptr)) {
      Fail();
      return std::nullopt;
    }
    if (got == 0) break;
    done += got;
  }
  bytes.resize(done);
  return bytes;
}

bool Win32FileSystem::WriteAll(const std::string& path, const std::string& bytes) {
  return SafeWrite(path, bytes, false, true);
}

bool Win32FileSystem::WriteAllNow(const std::string& path, const std::string& bytes) {
  return SafeWrite(path, bytes, false, false);
}

bool Win32FileSystem::WritePrefix(const std::string& path, const std::string& prefix) {
  return SafeWrite(path, prefix, true, true);
}

bool Win32FileSystem::CopyTail(const std::string& path, std::uint64_t from,
                               const std::function<bool(const char*, std::size_t)>& write) {
  FileHandle source(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!source.valid()) return GetLastError() == ERROR_FILE_NOT_FOUND;  // nothing to keep
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(source.get(), &size)) return false;
  if (static_cast<std::uint64_t>(size.QuadPart) <= from) return true;
  LARGE_INTEGER pos{};
  pos.QuadPart = static_cast<LONGLONG>(from);
  if (!SetFilePointerEx(source.get(), pos, nullptr, FILE_BEGIN)) return false;
  // Piece by piece: however large the file, only one piece is ever held.
  std::vector<char> piece(kCopyPiece);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(source.get(), piece.data(), static_cast<DWORD>(piece.size()), &got, nullptr))
      return false;
    if (got == 0) return true;
    if (!write(piece.data(), got)) return false;
  }
}

bool Win32FileSystem::FailStep(WriteStep step) {
  if (BeforeStep(step)) return false;
  SetLastError(ERROR_DISK_FULL);
  return true;
}

bool Win32FileSystem::SafeWrite(const std::string& path, const std::string& bytes, bool keepTail,
                                bool wait) {
  // Write beside the target, then move over it: a crash or a full disk never
  // leaves a half-written file behind.
  const std::string temp = path + kWriteTempSuffix;
  // A read-only file stays as it is. Windows refuses to move over one anyway;
  // saying so first keeps the rule the same everywhere (Wine allows the move).
  const DWORD attr = GetFileAttributesA(path.c_str());
  if (attr != INVALID_FILE_ATTRIBUTES && (attr & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
    SetLastError(ERROR_ACCESS_DENIED);
    return Fail();
  }
  const auto abandon = [&](FileHandle& file) {
    Fail();
    file.reset();
    DeleteFileA(temp.c_str());
    return false;
  };
  {
    FileHandle file(FailStep(WriteStep::Create)
                        ? INVALID_HANDLE_VALUE
                        : CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return Fail();
    const auto write = [&](const char* data, std::size_t size) {
      std::size_t done = 0;
      while (done < size) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, kWriteChunk));
        DWORD put = 0;
        if (FailStep(WriteStep::Write) || !WriteFile(file.get(), data + done, chunk, &put, nullptr) ||
            put != chunk)
          return false;
        done += put;
      }
      return true;
    };
    if (!write(bytes.data(), bytes.size())) return abandon(file);
    if (keepTail && !CopyTail(path, bytes.size(), write)) return abandon(file);
    if (FailStep(WriteStep::Flush) || !FlushFileBuffers(file.get())) return abandon(file);
    // Closed whatever happens: an open handle would keep the temporary file.
    const bool refused = FailStep(WriteStep::Close);
    const bool closed = CloseHandle(file.release()) != FALSE;
    if (refused || !closed) {
      Fail();
      DeleteFileA(temp.c_str());
      return false;
    }
  }
  // Someone reading the file for a moment (a virus scanner, a backup tool)
  // blocks the replacement; a few short retries ride that out, unless the
  // caller must not wait (the toolbar's poll simply tries again next time).
  for (int attempt = 0;; ++attempt) {
    if (!FailStep(WriteStep::Move) &&
        MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return true;
    const DWORD code = GetLastError();
    if (!wait || attempt >= 10 || (code != ERROR_ACCESS_DENIED && code != ERROR_SHARING_VIOLATION))
      break;
    Sleep(20);
  }
  Fail();
  DeleteFileA(temp.c_str());
  return false;
}

bool Win32FileSystem::Delete(const std::string& path) {
  return DeleteFileA(path.c_str()) ? true : Fail();
}

bool Win32FileSystem::Rename(const std::string& from, const std::string& to) {
  return MoveFileA(from.c_str(), to.c_str()) ? true : Fail();
}

bool Win32FileSystem::CreateFolder(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr) ? true : Fail();
}

std::vector<std::string> Win32FileSystem::ListFiles(const std::string& folder,
                                                    const std::string& pattern) {
  return List(folder, pattern, NormalFile);
}

std::optional<std::vector<std::string>> Win32FileSystem::TryListFiles(const std::string& folder,
                                                                      const std::string& pattern) {
  auto names = TryList(folder, pattern, NormalFile);
  if (!names) Fail();
  return names;
}

std::vector<std::string> Win32FileSystem::ListFolders(const std::string& folder) {
  return List(folder, "*", [](const WIN32_FIND_DATAA& d) {
    return (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  });
}

}  // namespace velmora
