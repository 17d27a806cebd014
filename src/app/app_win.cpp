#include "app/app_win.h"

#include "about/frmAbout.h"
#include "core/product.h"
#include "customize/frmCust.h"
#include "model/options.h"
#include "model/state_files.h"
#include "netsearch/frmNetSearch.h"
#include "platform/dde_client_win.h"
#include "platform/icon_cache_win.h"
#include "platform/launch_platform_win.h"
#include "platform/shell_component_win.h"
#include "quickmenu/frmQMenu.h"
#include "shell/frmHelp.h"
#include "shell/frmMinimize.h"
#include "shell/frmStartup.h"
#include "shell/frmTip.h"
#include "shell/launcher.h"
#include "shell/own_menu.h"
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

// Wine's WinHelpA starts the viewer when none runs but looks for its window
// only once, usually before the viewer has made it, and fails; Windows waits
// for it. A call that failed so is made again once the viewer is there.
bool OpenHelp(HWND owner, const std::string& file, UINT command, ULONG_PTR data) {
  if (WinHelpA(owner, file.c_str(), command, data)) return true;
  const DWORD start = GetTickCount();
  while (!FindWindowA("MS_WINHELP", nullptr)) {
    if (GetTickCount() - start > 10000) return false;
    Sleep(50);
  }
  return WinHelpA(owner, file.c_str(), command, data) != FALSE;
}

}  // namespace

App::App(HINSTANCE instance) : tpp_(Tpp::FromScreen()), instance_(instance) {
  state_.folders = ProgramFoldersOf(ExecutablePath());
  shell_ = std::make_unique<VlShellFactory>(state_.folders.program + "VLShell.dll");
  launchPlatform_ =
      std::make_unique<Win32LaunchPlatform>([this]() -> DdeClient& { return Minimize().Text1(); });
  runner_ = std::make_unique<ShellRunner>(Launch());
  icons_ = std::make_unique<ShellIconCache>(fs_, state_.folders.program);
}

App::~App() = default;

LaunchServices App::Launch() {
  return {state_, fs_, dialogs_, *shell_, *launchPlatform_, *this};
}

ItemRunner& App::Runner() { return *runner_; }

HWND App::ToolbarWindow() const { return toolbar_ ? toolbar_->hwnd() : nullptr; }

frmToolbar& App::Toolbar() {
  if (!toolbar_) {
    ToolbarServices services{instance_,
                             tpp_,
                             state_,
                             fs_,
                             dialogs_,
                             *shell_,
                             Minimize().ImgIcons(),
                             *this,
                             Runner(),
                             *this,
                             *icons_,
                             [this] { SplashProgress(); },
                             [this](int command) { OwnMenuCommand(command); },
                             [this](const QMenuRun& run) { RunEntry(run); },
                             [this] { Minimize().AfterToolbarBuild(); },
                             [this] { Minimize().MinimizeProgram(); },
                             [this] { Shutdown(); }};
    toolbar_ = MakeWindow<frmToolbar>(std::move(services));
  }
  return *toolbar_;
}

frmMinimize& App::Minimize() {
  if (!minimize_) {
    minimize_ = MakeWindow<frmMinimize>(MinimizeServices{
        instance_, state_, [this] { return ToolbarWindow(); }, [this] { Shutdown(); }});
    minimize_->Load();
  }
  return *minimize_;
}

frmNetSearch& App::NetSearch() {
  if (!netSearch_) netSearch_ = MakeWindow<frmNetSearch>(NetSearchServices{instance_, tpp_, Launch(), Runner()});
  if (!netSearch_->Loaded()) netSearch_->Load();
  return *netSearch_;
}

void App::ShowNetSearch() {
  HWND window = NetSearch().hwnd();
  ShowWindow(window, SW_SHOWNORMAL);
  SetForegroundWindow(window);
  BringWindowToTop(window);
}

void App::DoEvents() { velmora::DoEvents(); }

void App::Show(const std::string& text) {
  if (!help_) {
    help_ = MakeWindow<frmHelp>();
    help_->Load();
  }
  help_->ShowTip(text, tpp_);
}

void App::Hide() {
  if (help_ && help_->Visible()) ShowWindow(help_->hwnd(), SW_HIDE);
}

bool App::Showing() const { return help_ && help_->Visible(); }

void App::SplashProgress() {
  if (state_.options.IsOn(kOptNoSplash) || state_.StartupDone) return;
  if (!startup_) {
    startup_ = MakeWindow<frmStartup>();
    startup_->Load(instance_, tpp_);
  }
  startup_->Progress();
}

bool App::Main() {
  LoadOptions(fs_, state_);
  SplashProgress();
  DoEvents();
  RunVersionCleanup(fs_, state_);
  ChooseHttpIconFile(fs_, state_);

  frmToolbar& toolbar = Toolbar();
  dialogs_.SetOwner(nullptr);
  if (!toolbar.Load()) return false;
  dialogs_.SetOwner(toolbar.hwnd());

  frmMinimize& minimize = Minimize();
  ShowWindow(minimize.hwnd(), SW_HIDE);
  minimize.TakeToolbarGeometry();

  if (!state_.options.IsOn(kOptNoSplash)) startup_.reset();
  state_.StartupDone = true;

  if (!state_.options.IsOn(kOptFirstStartDone)) {
    DoEvents();
    OfferStartupShortcut(fs_, *shell_, dialogs_, state_, reinterpret_cast<std::uintptr_t>(toolbar.hwnd()));
    DoEvents();
    // Only open help that is there: asking the help viewer for a missing file
    // makes it complain, and a first start should not greet with an error.
    const std::string help = state_.folders.program + kHelpFile;
    if (fs_.Exists(help)) OpenHelp(toolbar.hwnd(), help, HELP_CONTEXT, kWelcomeHelpContext);
  }
  return true;
}

void App::ShowCustomize() {
  if (shuttingDown_) return;
  if (cust_ && cust_->Loaded()) {
    // Open already: a minimized page comes back; a page on the screen stays
    // as it is.
    HWND page = cust_->hwnd();
    if (IsWindowVisible(page) && IsIconic(page)) {
      ShowWindow(page, SW_SHOWNORMAL);
      SetForegroundWindow(page);
      BringWindowToTop(page);
    }
    return;
  }
  // Not modal; every opening reads the files afresh.
  cust_.reset();
  CustWindowServices services{
      instance_,
      tpp_,
      fs_,
      state_,
      *shell_,
      [this] {
        if (toolbar_ && !shuttingDown_) toolbar_->InitNewButtons();
      },
      OptionsToolbar{[this] { return toolbar_ && toolbar_->HasSingleButtons(); },
                     [this] {
                       if (toolbar_ && !shuttingDown_) toolbar_->PlaceFixed();
                     },
                     [this] {
                       if (toolbar_ && !shuttingDown_) toolbar_->InitNewButtons();
                     },
                     [this](bool movable) {
                       if (toolbar_) toolbar_->SetMovable(movable);
                     }},
      [this](HWND owner, const std::string& title, const std::string& text, int position) {
        frmTip tip(state_.options);
        tip.FieldNum = static_cast<short>(position);
        tip.ShowModal(owner, title, text);
      }};
  cust_ = MakeWindow<frmCust>(std::move(services));
  if (!cust_->Load()) cust_.reset();
}

void App::ShowAbout() {
  if (!about_) about_ = MakeWindow<frmAbout>(instance_);
  about_->ShowAbout();
}

void App::RunEntry(const QMenuRun& run) {
  if (shuttingDown_) return;
  if (run.command.empty()) {
    dialogs_.Show(kEmptyCommandText, MsgButtons::Ok, MsgIcon::Information);
    return;
  }
  std::string command = run.command;
  Runner().RunItem(command);
}

void App::OwnMenuCommand(int command) {
  if (command == 0 || shuttingDown_) return;
  // The own menu is looked up each time: the messages that ran before this
  // call may have rebuilt the toolbar (and its menus) or ended the program.
  const auto ownMenu = [this]() -> frmQMenu* {
    return toolbar_ && !shuttingDown_ ? toolbar_->QuickMenu(1) : nullptr;
  };
  if (frmQMenu* menu = ownMenu()) menu->HideMenu();
  DoEvents();
  if (shuttingDown_) return;

  const OwnMenuEffects fx = OwnMenuChoice(command, state_, fs_);
  if (fx.autoHide) state_.AutoHide = *fx.autoHide;
  for (const auto& [entry, icon] : fx.entryIcons)
    if (frmQMenu* menu = ownMenu()) menu->SetEntryIcon(entry, icon);
  if (fx.showToolbar && toolbar_ && !IsWindowVisible(toolbar_->hwnd()))
    ShowWindow(toolbar_->hwnd(), SW_SHOWNA);
  if (!fx.message.empty()) dialogs_.Show(fx.message, MsgButtons::Ok, MsgIcon::Critical);
  if (!fx.helpFile.empty() && !OpenHelp(ToolbarWindow(), fx.helpFile, HELP_CONTENTS, 0))
    dialogs_.Show(kHelpFailedText, MsgButtons::Ok, MsgIcon::Critical);
  if (fx.showCustomize) ShowCustomize();
  if (fx.showAbout) ShowAbout();
  if (fx.minimize) Minimize().MinimizeProgram();
  // Through the message queue: ending the program lets the menu's window go,
  // and it is still on the call stack here.
  if (fx.exit) PostMessageA(Minimize().hwnd(), WM_CLOSE, 0, 0);
}

void App::Shutdown() {
  if (shuttingDown_) return;
  // Unsaved edits on the Customize page get the page's own question first;
  // Cancel keeps the program running.
  if (cust_ && !cust_->QueryExit()) return;
  shuttingDown_ = true;
  cust_.reset();
  if (toolbar_) toolbar_->Unload();
  // Unloading the Net Search window saves the search history.
  if (netSearch_) netSearch_->Unload();
  if (about_) about_->Destroy();
  if (help_) help_->Destroy();
  if (minimize_) minimize_->Destroy();
  PostQuitMessage(0);
}

}  // namespace velmora
