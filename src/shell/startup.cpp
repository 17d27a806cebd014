#include "shell/startup.h"

#include "model/item_record.h"
#include "model/options.h"
#include "model/state_files.h"
#include "model/text.h"
#include "core/dialogs.h"
#include "core/file_system.h"
#include "core/shell_component.h"
#include "core/app_state.h"
#include "core/product.h"

namespace velmora {

namespace {

constexpr const char* kCleanupTempName = "TTTTTTTT";

// The shortcut's path, or empty when the Startup folder is unknown: a bare
// "\Velmora.lnk" would name a file at the root of the current drive.
std::string StartupLinkPath(ShellComponentFactory& shell, std::uintptr_t window) {
  std::string folder(260, ' ');
  Error error;
  if (auto component = shell.Create(error))
    error = component->GetSpecialFolder(window, kFolderStartup, folder);
  folder = Trim(folder);
  if (error || folder.empty()) return {};
  return folder + kStartupLinkName;
}

}  // namespace

std::string ShellMissingText() {
  return std::string(
             "Unable to communicate with the file VLShell.dll located under Velmora folder. "
             "Please run the setup program again to clear this error. If the problem presist, "
             "please send email to ") +
         kSupportEmail + " to report this problem.";
}

void LoadOptions(FileSystem& fs, AppState& app) {
  app.options = ReadOptions(fs, app.folders.program);
}

void RunVersionCleanup(FileSystem& fs, AppState& app) {
  if (app.options.IsOn(kOptCleanupDone)) return;
  const std::string& dir = app.folders.program;
  const std::string options = dir + kOptionsFile;
  const std::string parked = dir + kCleanupTempName;
  const bool renamed = fs.Rename(options, parked);
  for (const auto& name : fs.ListFiles(dir, "*.dat")) {
    // A listing can match "*.dat" through a short 8.3 alias of a longer
    // extension; only real ".dat" files are the program's state.
    if (!IEndsWith(name, ".dat")) continue;
    // If the options could not be parked they must not be deleted with the rest.
    if (!renamed && IEquals(name, kOptionsFile)) continue;
    if (!fs.Delete(dir + name)) break;
  }
  if (renamed) fs.Rename(parked, options);
  app.options.Set(kOptCleanupDone, true);
  SaveOptions(fs, dir, app.options);
}

void ChooseHttpIconFile(FileSystem& fs, AppState& app) {
  const std::string& dir = app.folders.program;
  if (app.options.IsOn(kOptCustomWebIcon)) {
    const std::string line = ReadFirstLine(fs, dir + kHttpIconIni);
    if (!Trim(line).empty()) app.HttpIconFile = line;
    return;
  }
  app.HttpIconFile = dir + kHttpIconHtm;
  if (!fs.Exists(app.HttpIconFile)) WriteEmptyHtml(fs, app.HttpIconFile);
}

bool CheckShellComponent(ShellComponentFactory& shell, Dialogs& dialogs) {
  Error error;
  if (shell.Create(error)) return true;
  dialogs.Show(ShellMissingText(), MsgButtons::Ok, MsgIcon::None);
  return dialogs.Show(kShellQuitQuestionText, MsgButtons::YesNo, MsgIcon::Question) !=
         MsgResult::Yes;
}

void OfferStartupShortcut(FileSystem& fs, ShellComponentFactory& shell, Dialogs& dialogs,
                          AppState& app, std::uintptr_t toolbarWindow) {
  const std::string link = StartupLinkPath(shell, toolbarWindow);
  if ((link.empty() || !fs.Exists(link)) &&
      dialogs.Show(kStartupQuestionText, MsgButtons::YesNo, MsgIcon::Question) == MsgResult::Yes)
    CreateStartupShortcut(shell, dialogs, link, app.folders.program + kExeName,
                          app.folders.exeFolder);
  app.options.Set(kOptFirstStartDone, true);
  SaveOptions(fs, app.folders.program, app.options);
}

void CreateStartupShortcut(ShellComponentFactory& shell, Dialogs& dialogs,
                           const std::string& linkPath, const std::string& targetPath,
                           const std::string& workingFolder) {
  Error error;
  if (auto component = shell.Create(error))
    error = component->CreateShortcut(linkPath, targetPath, workingFolder);
  if (error) {
    dialogs.Show(kShortcutFailedText + std::to_string(error.number), MsgButtons::Ok,
                 MsgIcon::Critical);
    return;
  }
  dialogs.Show(kShortcutCreatedText, MsgButtons::Ok, MsgIcon::Information);
}

void SetStartupShortcut(ShellComponentFactory& shell, Dialogs& dialogs, const AppState& app,
                        std::uintptr_t window) {
  Error error;
  auto component = shell.Create(error);
  std::string folder(260, ' ');
  if (component) error = component->GetSpecialFolder(window, kFolderStartup, folder);
  component.reset();
  if (error) {
    dialogs.Show(ErrorText(error, ErrorOrder::DescriptionFirst), MsgButtons::Ok,
                 MsgIcon::Information);
    return;
  }
  // A blank folder gives an empty link, which the component refuses.
  folder = Trim(folder);
  CreateStartupShortcut(shell, dialogs, folder.empty() ? std::string() : folder + kStartupLinkName,
                        app.folders.program + kExeName, app.folders.exeFolder);
}

void RemoveStartupShortcut(FileSystem& fs, ShellComponentFactory& shell, Dialogs& dialogs,
                           std::uintptr_t window) {
  const std::string link = StartupLinkPath(shell, window);
  if (link.empty() || !fs.Exists(link)) {
    dialogs.Show(kNotInStartupText, MsgButtons::Ok, MsgIcon::Information);
    return;
  }
  if (!fs.Delete(link)) {
    const auto error = fs.LastError();
    dialogs.Show(ErrorText(error, ErrorOrder::DescriptionFirst), MsgButtons::Ok,
                 MsgIcon::Information);
    return;
  }
  dialogs.Show(kRemovedFromStartupText, MsgButtons::Ok, MsgIcon::Information);
}

}  // namespace velmora
