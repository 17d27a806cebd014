// The running program: its process-wide state, the platform services and the
// windows, each loaded on first use and owned here. Every window receives the
// services it uses, never this object: this is the one place that knows them
// all.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "core/app_state.h"
#include "core/launch_services.h"
#include "core/ui_host.h"
#include "platform/dialogs_win.h"
#include "platform/file_system_win.h"
#include "platform/ui_win.h"
#include "platform/window_win.h"

namespace velmora {

class ShellComponentFactory;
class ShellIconCache;
class LaunchPlatform;
class ShellRunner;
class frmAbout;
class frmCust;
class frmHelp;
class frmMinimize;
class frmNetSearch;
class frmStartup;
class frmToolbar;
struct QMenuRun;

class App : private UiHost, private ToolTip {
 public:
  explicit App(HINSTANCE instance);
  ~App() override;
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // The start-up sequence. False when the program must end at once.
  bool Main();
  // Ends the program: unloads the toolbar (saving the options), then the
  // minimize window, and leaves the message loop.
  void Shutdown();

 private:
  // UiHost
  void ShowNetSearch() override;
  void DoEvents() override;
  // ToolTip: the tool-tip window is loaded the first time it shows.
  void Show(const std::string& text) override;
  void Hide() override;
  bool Showing() const override;

  void SplashProgress();
  frmToolbar& Toolbar();
  frmMinimize& Minimize();
  frmNetSearch& NetSearch();
  HWND ToolbarWindow() const;
  LaunchServices Launch();
  ItemRunner& Runner();

  // A row of the program's own menu, by command number; a row of any other
  // quick menu.
  void OwnMenuCommand(int command);
  void RunEntry(const QMenuRun& run);
  void ShowCustomize();
  void ShowAbout();

  AppState state_;
  Win32FileSystem fs_;
  Win32Dialogs dialogs_;
  std::unique_ptr<ShellComponentFactory> shell_;
  std::unique_ptr<LaunchPlatform> launchPlatform_;
  std::unique_ptr<ShellRunner> runner_;
  std::unique_ptr<ShellIconCache> icons_;
  Tpp tpp_;
  HINSTANCE instance_;
  bool shuttingDown_ = false;

  WindowPtr<frmStartup> startup_;
  WindowPtr<frmMinimize> minimize_;
  WindowPtr<frmToolbar> toolbar_;
  WindowPtr<frmHelp> help_;
  WindowPtr<frmNetSearch> netSearch_;
  WindowPtr<frmAbout> about_;
  // The Customize page while it is open; a closed page is built anew from the
  // files at its next opening.
  WindowPtr<frmCust> cust_;
};

}  // namespace velmora
