// The running program: its process-wide state, the platform services and the
// windows, each loaded on first use and owned here.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/dialogs_win.h"
#include "platform/file_system_win.h"
#include "platform/shell_component.h"
#include "platform/ui_win.h"
#include "shell/app_state.h"
#include "shell/open_url.h"

namespace velmora {

class frmHelp;
class frmMinimize;
class frmStartup;
class frmToolbar;
class frmNetSearch;
class frmAbout;
class frmQMenu;
class LaunchPlatform;

class App {
 public:
  explicit App(HINSTANCE instance);
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // The start-up sequence. False when the program must end at once.
  bool Main();
  // Ends the program: unloads the toolbar (saving the options), then the
  // minimize window, and leaves the message loop.
  void Shutdown();
  bool ShuttingDown() const { return shuttingDown_; }

  void SplashProgress();
  void ShowHelpTip(const std::string& text);

  frmToolbar& Toolbar();
  frmMinimize& Minimize();
  frmHelp& Help();
  bool ToolbarLoaded() const { return toolbar_ != nullptr; }

  // The Net Search window, loaded (and its engines and history read) on first use.
  frmNetSearch& NetSearch();
  bool NetSearchLoaded() const;
  // Runs an entry's command; a built-in word is replaced by its command line.
  void RunItem(std::string& command);
  void OpenURL(const std::string& address);
  // The services the launcher and the web-address opener act through.
  LaunchServices Launch();

  // The own menu's seven commands. The own menu's window is looked up each
  // time it is needed: messages handled on the way may have rebuilt the
  // toolbar (and its menus) or ended the program.
  void xMainMenu(int number);
  void ShowCustomize();
  void ShowAbout();

  AppState state;
  Win32FileSystem fs;
  Win32Dialogs dialogs;
  std::unique_ptr<ShellComponentFactory> shell;
  Tpp tpp;
  HINSTANCE instance;

 private:
  std::unique_ptr<frmStartup> startup_;
  std::unique_ptr<frmToolbar> toolbar_;
  std::unique_ptr<frmMinimize> minimize_;
  std::unique_ptr<frmHelp> help_;
  std::unique_ptr<frmNetSearch> netSearch_;
  std::unique_ptr<frmAbout> about_;
  std::unique_ptr<LaunchPlatform> launchPlatform_;
  frmQMenu* OwnMenu() const;
  bool shuttingDown_ = false;
};

}  // namespace velmora
