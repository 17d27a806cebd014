#include "shell/app_win.h"

#include <commctrl.h>

#include "model/options.h"
#include "model/text.h"
#include "netsearch/frmNetSearch.h"
#include "platform/launch_platform_win.h"
#include "platform/shell_component_win.h"
#include "about/frmAbout.h"
#include "quickmenu/frmQMenu.h"
#include "shell/frmHelp.h"
#include "shell/own_menu.h"
#include "shell/frmMinimize.h"
#include "shell/frmStartup.h"
#include "shell/launcher.h"
#include "shell/startup.h"
#include "toolbar/frmToolbar.h"

namespace velmora {

namespace {

std::string ExecutablePath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace

App::App(HINSTANCE inst) : tpp(Tpp::FromScreen()), instance(inst) {
  state.folders = ProgramFolders::FromExecutable(ExecutablePath());
  shell = std::make_unique<VlShellFactory>(state.folders.program + "VLShell.dll");
}

App::~App() {
  // Windows go before the services they use.
  startup_.reset();
  help_.reset();
  toolbar_.reset();
  netSearch_.reset();
  about_.reset();
  minimize_.reset();
}

frmToolbar& App::Toolbar() {
  if (!toolbar_) toolbar_ = std::make_unique<frmToolbar>(*this);
  return *toolbar_;
}

frmMinimize& App::Minimize() {
  if (!minimize_) {
    minimize_ = std::make_unique<frmMinimize>(*this);
    minimize_->Load();
  }
  return *minimize_;
}

frmNetSearch& App::NetSearch() {
  if (!netSearch_) netSearch_ = std::make_unique<frmNetSearch>(*this);
  if (!netSearch_->Loaded()) netSearch_->Load();
  return *netSearch_;
}

bool App::NetSearchLoaded() const { return netSearch_ && netSearch_->Loaded(); }

LaunchServices App::Launch() {
  if (!launchPlatform_)
    launchPlatform_ = std::make_unique<Win32LaunchPlatform>(
        [this]() -> DdeClient& { return Minimize().Text1(); },
        [this] {
          HWND window = NetSearch().hwnd();
          ShowWindow(window, SW_SHOWNORMAL);
          SetForegroundWindow(window);
          BringWindowToTop(window);
        });
  return {state, fs, dialogs, *shell, *launchPlatform_};
}

void App::RunItem(std::string& command) {
  LaunchServices services = Launch();
  velmora::RunItem(services, command);
}

void App::OpenURL(const std::string& address) {
  LaunchServices services = Launch();
  velmora::OpenURL(services, address);
}

frmHelp& App::Help() {
  if (!help_) {
    help_ = std::make_unique<frmHelp>();
    help_->Load();
  }
  return *help_;
}

void App::SplashProgress() {
  if (state.options.IsOn(kOptNoSplash) || state.StartupDone) return;
  if (!startup_) {
    startup_ = std::make_unique<frmStartup>();
    startup_->Load(instance, tpp);
  }
  startup_->Progress();
}

void App::ShowHelpTip(const std::string& text) {
  if (text.empty() && !help_) return;
  Help().ShowTip(text, tpp);
}

bool App::Main() {
  LoadOptions(fs, state);
  SplashProgress();
  DoEvents();
  RunVersionCleanup(fs, state);
  ChooseHttpIconFile(fs, state);

  frmToolbar& toolbar = Toolbar();
  dialogs.SetOwner(nullptr);
  if (!toolbar.Load()) return false;
  dialogs.SetOwner(toolbar.hwnd());

  frmMinimize& minimize = Minimize();
  ShowWindow(minimize.hwnd(), SW_HIDE);
  minimize.TakeToolbarGeometry();

  if (!state.options.IsOn(kOptNoSplash)) startup_.reset();
  state.StartupDone = true;

  if (!state.options.IsOn(kOptFirstStartDone)) {
    DoEvents();
    OfferStartupShortcut(fs, *shell, dialogs, state, reinterpret_cast<std::uintptr_t>(toolbar.hwnd()));
    DoEvents();
    // Only open help that is there: asking the help viewer for a missing file
    // makes it complain, and a first start should not greet with an error.
    const std::string help = state.folders.program + "velmora.hlp";
    if (fs.Exists(help)) WinHelpA(toolbar.hwnd(), help.c_str(), HELP_CONTEXT, 1002);
  }
  return true;
}

void App::ShowCustomize() {
  // The Customize page comes with the editor; its entry stays in the menu.
}

void App::ShowAbout() {
  if (!about_) about_ = std::make_unique<frmAbout>(instance);
  about_->ShowAbout();
}

frmQMenu* App::OwnMenu() const {
  return toolbar_ && !shuttingDown_ ? toolbar_->QuickMenu(1) : nullptr;
}

void App::xMainMenu(int number) {
  if (number == 0 || shuttingDown_) return;
  if (frmQMenu* menu = OwnMenu()) menu->HideMenu();
  DoEvents();
  if (shuttingDown_) return;
  const auto setIcon = [this](int entry, const char* icon) {
    if (frmQMenu* menu = OwnMenu()) menu->SetEntryIcon(entry, icon);
  };
  switch (number) {
    case kCmdCustomize:
      ShowCustomize();
      break;
    case kCmdAutoHide:
      state.AutoHide = 1;
      setIcon(kCmdAlwaysOnTop, "");
      setIcon(kCmdAutoHide, kCheckMarkIcon);
      break;
    case kCmdAlwaysOnTop:
      state.AutoHide = 0;
      setIcon(kCmdAutoHide, "");
      setIcon(kCmdAlwaysOnTop, kCheckMarkIcon);
      if (toolbar_ && !IsWindowVisible(toolbar_->hwnd()) && !state.Minimized)
        ShowWindow(toolbar_->hwnd(), SW_SHOWNA);
      break;
    case kCmdHelpTopics: {
      const std::string help = state.folders.program + "velmora.hlp";
      if (!fs.Exists(help))
        dialogs.Show(kHelpNotFoundText, MsgButtons::Ok, MsgIcon::Critical);
      else if (!WinHelpA(toolbar_ ? toolbar_->hwnd() : nullptr, help.c_str(), HELP_CONTENTS, 0))
        dialogs.Show(kHelpFailedText, MsgButtons::Ok, MsgIcon::Critical);
      break;
    }
    case kCmdAbout:
      ShowAbout();
      break;
    case kCmdMinimize:
      Minimize().MinimizeProgram();
      break;
    case kCmdExit:
      // Through the message queue: ending the program lets this menu's
      // window go, and it is still on the call stack here.
      PostMessageA(Minimize().hwnd(), WM_CLOSE, 0, 0);
      break;
  }
}

void App::Shutdown() {
  if (shuttingDown_) return;
  shuttingDown_ = true;
  if (toolbar_) toolbar_->Unload();
  // Unloading the Net Search window saves the search history.
  if (netSearch_) netSearch_->Unload();
  if (about_) about_->Destroy();
  if (help_) help_->Destroy();
  if (minimize_) minimize_->Destroy();
  PostQuitMessage(0);
}

}  // namespace velmora
