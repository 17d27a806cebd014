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

namespace velmora {

class frmHelp;
class frmMinimize;
class frmStartup;
class frmToolbar;

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

  void SplashProgress();
  void ShowHelpTip(const std::string& text);

  frmToolbar& Toolbar();
  frmMinimize& Minimize();
  frmHelp& Help();
  bool ToolbarLoaded() const { return toolbar_ != nullptr; }

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
  bool shuttingDown_ = false;
};

}  // namespace velmora
