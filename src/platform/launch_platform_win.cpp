#include "platform/launch_platform_win.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "platform/dde_client_win.h"
#include "platform/error_win.h"
#include "platform/handles_win.h"

namespace velmora {

namespace {

int ShowCommand(WindowStyle style) {
  switch (style) {
    case WindowStyle::Maximized: return SW_SHOWMAXIMIZED;
    case WindowStyle::MinimizedFocus: return SW_SHOWMINIMIZED;
    case WindowStyle::Normal: break;
  }
  return SW_SHOWNORMAL;
}

const char* OrNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

// ShellExecuteA and FindExecutableA answer with a number: above 32 means
// done, anything else is the reason. 0 is the system running out of memory.
Error ShellResult(HINSTANCE result) {
  const auto code = static_cast<long>(reinterpret_cast<INT_PTR>(result));
  if (code > 32) return {};
  return SystemError(code == 0 ? ERROR_NOT_ENOUGH_MEMORY : static_cast<unsigned long>(code));
}

}  // namespace

Win32LaunchPlatform::Win32LaunchPlatform(std::function<DdeClient&()> dde) : dde_(std::move(dde)) {}

Error Win32LaunchPlatform::ShellOpen(const std::string& file, const std::string& parameters,
                                       const std::string& folder, WindowStyle style) {
  // Some shells (Wine's among them) start a shortcut's target in the
  // caller's current folder rather than the one given here; being in that
  // folder for the call makes both ways agree.
  std::string previous;
  if (!folder.empty()) {
    previous.resize(MAX_PATH + 1);
    const DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(previous.size()), previous.data());
    previous.resize(n < previous.size() ? n : 0);
    if (previous.empty() || !SetCurrentDirectoryA(folder.c_str())) previous.clear();
  }
  const HINSTANCE result = ShellExecuteA(GetDesktopWindow(), nullptr, file.c_str(),
                                         OrNull(parameters), OrNull(folder), ShowCommand(style));
  if (!previous.empty()) SetCurrentDirectoryA(previous.c_str());
  return ShellResult(result);
}

Error Win32LaunchPlatform::StartCommandLine(const std::string& commandLine, WindowStyle style) {
  // CreateProcessA may write into the command line it is given.
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = static_cast<WORD>(ShowCommand(style));
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    const DWORD code = GetLastError();
    return SystemError(code ? code : ERROR_FILE_NOT_FOUND);
  }
  // Not waited for: the handles only have to go.
  KernelHandle thread(pi.hThread), process(pi.hProcess);
  return {};
}

Error Win32LaunchPlatform::FindProgram(const std::string& file, std::string& program) {
  char buffer[MAX_PATH + 1] = {};
  const HINSTANCE result = FindExecutableA(file.c_str(), nullptr, buffer);
  buffer[MAX_PATH] = '\0';
  program = buffer;
  return ShellResult(result);
}

RegistryValue Win32LaunchPlatform::ReadClassesRoot(const std::string& subKey,
                                                   const std::string& valueName,
                                                   std::size_t bufferSize) {
  RegistryValue value;
  HKEY opened = nullptr;
  // Read access only: the classes of the whole machine are not writable for
  // an ordinary user, and asking for more would fail to open them at all.
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, subKey.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
    return value;
  RegKeyHandle key(opened);
  value.opened = true;
  std::vector<BYTE> buffer(bufferSize);
  DWORD size = static_cast<DWORD>(bufferSize);
  DWORD type = 0;
  const LONG status = RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type,
                                       buffer.data(), &size);
  // ERROR_MORE_DATA (a value longer than the buffer) is a failed read: the
  // buffer's content is undefined then.
  if (status != ERROR_SUCCESS) return value;
  value.queried = true;
  value.type = type;
  value.bytes.assign(reinterpret_cast<const char*>(buffer.data()),
                     std::min<std::size_t>(size, bufferSize));
  return value;
}

Error Win32LaunchPlatform::DdeConnect(const std::string& service, const std::string& topic) {
  DdeClient& client = dde_();
  if (client.Connect(service, topic)) return {};
  return client.LastError();
}

Error Win32LaunchPlatform::DdeExecute(const std::string& command) {
  DdeClient& client = dde_();
  if (client.Execute(command)) return {};
  return client.LastError();
}

void Win32LaunchPlatform::DdeClose() { dde_().Disconnect(); }

}  // namespace velmora
