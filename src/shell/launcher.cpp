#include "shell/launcher.h"

#include "model/text.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "platform/launch_platform.h"
#include "platform/shell_component.h"

namespace velmora {

namespace {

constexpr long kErrorFileNotFound = 2;
constexpr long kErrorPathNotFound = 3;
constexpr long kErrorInvalidName = 123;
constexpr long kErrorBadPathname = 161;

void FileFind(LaunchServices& s) {
  if (const PlatformError e = s.platform.DdeConnect(kFileFindService, kFileFindTopic)) {
    s.dialogs.Show(kFileFindError + e.description, MsgButtons::Ok, MsgIcon::Critical);
    s.platform.DdeClose();
    return;
  }
  s.platform.DdeExecute(kFileFindCommand);
  s.platform.DdeClose();
}

}  // namespace

long LaunchErrorNumber(long systemError) {
  switch (systemError) {
    case kErrorFileNotFound:
    case kErrorPathNotFound:
      return 53;
    case kErrorInvalidName:
    case kErrorBadPathname:
      return 52;
    default:
      return systemError;
  }
}

std::string GetFileFolder(const std::string& path) {
  if (path.size() < 3 || path.compare(1, 2, ":\\") != 0) return {};
  return path.substr(0, path.find_last_of('\\') + 1);
}

std::string GetShortcutFolder(ShellComponentFactory& shell, const std::string& linkPath) {
  ShortcutInfo info;
  {
    ShellError error;
    auto component = shell.Create(error);
    if (!component) return {};
    component->ReadShortcut(Trim(linkPath), info);
  }
  const std::string target = Trim(info.target);
  const auto slash = target.find_last_of('\\');
  if (slash == std::string::npos) return {};
  return target.substr(0, slash + 1);
}

void RunItem(LaunchServices& s, std::string& command) {
  // Words are matched on the text as it stands: " netsearch" is a path.
  if (IEquals(command, "netsearch")) {
    s.platform.ShowNetSearch();
    return;
  }
  if (IEquals(command, "filefind")) {
    FileFind(s);
    return;
  }
  if (IStartsWith(command, "http://")) {
    OpenURL(s, command);
    return;
  }
  for (const auto& builtIn : kBuiltInCommands)
    if (builtIn.commandLine && IEquals(command, builtIn.word)) {
      command = builtIn.commandLine;
      break;
    }

  const std::string folder =
      Trim(IEndsWith(command, ".lnk") ? GetShortcutFolder(s.shell, command) : GetFileFolder(command));
  if (s.platform.ShellOpen(command, "", folder, WindowStyle::Normal) > 32) return;

  const long error = s.platform.StartCommandLine(command, WindowStyle::Normal);
  if (error == 0) return;
  const long number = LaunchErrorNumber(error);
  if (number == 53 || number == 52) {
    s.dialogs.Show(kFileUnavailable, MsgButtons::Ok, MsgIcon::Critical);
  } else if (s.fs.Exists(command)) {
    s.platform.StartCommandLine(kOpenWithCommand + command, WindowStyle::MinimizedFocus);
  }
}

}  // namespace velmora
