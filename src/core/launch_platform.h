// What starting things needs of Windows: the shell's open action, plain
// command lines, the registry's class associations, a DDE conversation and the
// Net Search window. The launcher, the web-address opener and the browser
// detection talk to the world only through this, so tests hand them a
// recording fake.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace velmora {

// How a started program's first window shows.
enum class WindowStyle {
  Normal,          // SW_SHOWNORMAL
  Maximized,       // SW_SHOWMAXIMIZED
  MinimizedFocus,  // SW_SHOWMINIMIZED
};

// A failure with the number the system gave and its text; number 0 is none.
struct PlatformError {
  long number = 0;
  std::string description;
  explicit operator bool() const { return number != 0; }
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
  // empty `parameters` or `folder` is passed as none. Returns the shell's code:
  // above 32 means started.
  virtual long ShellOpen(const std::string& file, const std::string& parameters,
                            const std::string& folder, WindowStyle style) = 0;
  // Starts `commandLine` as a new process without waiting for it. Returns 0, or
  // the system's error number when it could not be started.
  virtual long StartCommandLine(const std::string& commandLine, WindowStyle style) = 0;
  // FindExecutableA for `file` with a 260-character result; `program` receives
  // the result text. Returns the shell's code: above 32 means found.
  virtual long FindProgram(const std::string& file, std::string& program) = 0;
  // Reads a value of `subKey` under HKEY_CLASSES_ROOT into a buffer of
  // `bufferSize` bytes.
  virtual RegistryValue ReadClassesRoot(const std::string& subKey, const std::string& valueName,
                                        std::size_t bufferSize) = 0;

  // The program's one DDE conversation (manual: commands only).
  virtual PlatformError DdeConnect(const std::string& service, const std::string& topic) = 0;
  virtual PlatformError DdeExecute(const std::string& command) = 0;
  virtual void DdeClose() = 0;

  // Loads the Net Search window when needed, shows it normally and in front.
  virtual void ShowNetSearch() = 0;
  // Lets waiting window messages run.
  virtual void DoEvents() = 0;
};

}  // namespace velmora
