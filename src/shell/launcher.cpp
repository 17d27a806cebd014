#include "shell/launcher.h"

#include "model/text.h"
#include "core/dialogs.h"
#include "core/file_system.h"
#include "core/launch_platform.h"
#include "core/shell_component.h"
#include "core/ui_host.h"

namespace velmora {

namespace {

void FileFind(LaunchServices& s) {
  if (const Error e = s.platform.DdeConnect(kFileFindService, kFileFindTopic)) {
    s.dialogs.Show(kFileFindError + e.description, MsgButtons::Ok, MsgIcon::Critical);
    s.platform.DdeClose();
    return;
  }
  s.platform.DdeExecute(kFileFindCommand);
  s.platform.DdeClose();
}

}  // namespace

std::string GetFileFolder(const std::string& path) {
  if (path.size() < 3 || path.compare(1, 2, ":\\") != 0) return {};
  return path.substr(0, path.find_last_of('\\') + 1);
}

std::string GetShortcutFolder(ShellComponentFactory& shell, const std::string& linkPath) {
  ShortcutInfo info;
  {
    Error error;
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
    s.ui.ShowNetSearch();
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
  if (s.platform.ShellOpen(command, "", folder, WindowStyle::Normal).ok()) return;

  const Error error = s.platform.StartCommandLine(command, WindowStyle::Normal);
  if (error.ok()) return;
  const long number = MessageErrorNumber(error.number);
  if (number == kErrFileNotFound || number == kErrBadFileName) {
    s.dialogs.Show(kFileUnavailable, MsgButtons::Ok, MsgIcon::Critical);
  } else if (s.fs.Exists(command)) {
    s.platform.StartCommandLine(kOpenWithCommand + command, WindowStyle::MinimizedFocus);
  }
}

}  // namespace velmora

namespace velmora {

void ShellRunner::RunItem(std::string& command) { velmora::RunItem(services_, command); }
void ShellRunner::OpenURL(const std::string& address) { velmora::OpenURL(services_, address); }

}  // namespace velmora
