// What starting things needs of Windows: the shell's open action, plain
// command lines, the registry's class associations and a DDE conversation. The
// launcher, the web-address opener and the browser detection talk to the world
// only through this, so tests hand them a recording fake.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/error.h"

namespace velmora {

// How a started program's first window shows.
enum class WindowStyle {
  Normal,          // SW_SHOWNORMAL
  Maximized,       // SW_SHOWMAXIMIZED
  MinimizedFocus,  // SW_SHOWMINIMIZED
};

// One default-value read under HKEY_CLASSES_ROOT, as the system reported it.
struct RegistryValue {
  bool opened = false;      // the key could be opened
  bool queried = false;     // the value was read (fitting in the buffer)
  std::uint32_t type = 0;   // REG_SZ is 1
  std::string bytes;        // the bytes the system returned, at most the buffer size
};

inline constexpr std::uint32_t kRegSz = 1;

class LaunchPlatform {
 public:
  virtual ~LaunchPlatform() = default;

  // ShellExecuteA with the desktop window as owner and the default verb; an
  // empty `parameters` or `folder` is passed as none. ok() when it started;
  // otherwise the shell's code and its meaning.
  virtual Error ShellOpen(const std::string& file, const std::string& parameters,
                          const std::string& folder, WindowStyle style) = 0;
  // Starts `commandLine` as a new process without waiting for it. The error
  // carries the system's number when it could not be started.
  virtual Error StartCommandLine(const std::string& commandLine, WindowStyle style) = 0;
  // FindExecutableA for `file` with a 260-character result; `program` receives
  // the result text. ok() when a program was found.
  virtual Error FindProgram(const std::string& file, std::string& program) = 0;
  // Reads a value of `subKey` under HKEY_CLASSES_ROOT into a buffer of
  // `bufferSize` bytes.
  virtual RegistryValue ReadClassesRoot(const std::string& subKey, const std::string& valueName,
                                        std::size_t bufferSize) = 0;

  // The program's one DDE conversation (manual: commands only).
  virtual Error DdeConnect(const std::string& service, const std::string& topic) = 0;
  virtual Error DdeExecute(const std::string& command) = 0;
  virtual void DdeClose() = 0;
};

}  // namespace velmora
