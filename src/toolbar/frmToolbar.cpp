#include "toolbar/frmToolbar.h"

#include <commctrl.h>

#include "model/options.h"
#include "model/state_files.h"
#include "platform/ui_win.h"
#include "resource.h"
#include "shell/app_win.h"
#include "shell/frmMinimize.h"
#include "shell/startup.h"

namespace velmora {

namespace {
constexpr int kToolbar1Id = 100;
}

frmToolbar::frmToolbar(App& app) : app_(app) {}

bool frmToolbar::Load() {
  WindowArgs args;
  args.className = "VelmoraToolbar";
  args.title = kAppTitle;
  args.style = WS_POPUP | WS_CLIPCHILDREN;
  args.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  args.icon = LoadIconA(app_.instance, MAKEINTRESOURCEA(IDI_VELMORA));
  args.backgroundColor = COLOR_BTNFACE;
  // Off screen to the right until the build places it.
  args.x = GetSystemMetrics(SM_CXSCREEN);
  args.width = 1;
  args.height = 1;
  if (!CreateWindowFrom(args)) return false;

  if (!CheckShellComponent(*app_.shell, app_.dialogs)) return false;
  EnsureFolder(app_.fs, app_.state.folders.menus);
  EnsureFolder(app_.fs, app_.state.folders.icons);
  app_.state.AutoHide = 0;
  SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  Toolbar1_ = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                              WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_NODIVIDER |
                                  CCS_NORESIZE | CCS_NOPARENTALIGN,
                              0, 0, 0, 0, hwnd(), reinterpret_cast<HMENU>(kToolbar1Id),
                              app_.instance, nullptr);
  SendMessageA(Toolbar1_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  LoadToolbar();
  return true;
}

void frmToolbar::AddProgramButton() {
  auto& images = app_.Minimize().ImgIcons();
  HICON icon = static_cast<HICON>(LoadImageA(app_.instance, MAKEINTRESOURCEA(IDI_VELMORA),
                                             IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
  images.AddIcon("QMENU", icon);
  if (icon) DestroyIcon(icon);
  imageKeys_.push_back("QMENU");
  SendMessageA(Toolbar1_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.handle()));

  TBBUTTON button{};
  button.iBitmap = images.IndexOf("QMENU");
  button.idCommand = 1;
  button.fsState = TBSTATE_ENABLED;
  button.fsStyle = BTNS_BUTTON;
  SendMessageA(Toolbar1_, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
  buttonCount_ = 1;
  titles_.assign(1, kAppTitle);
}

void frmToolbar::LoadToolbar() {
  const Tpp& tpp = app_.tpp;
  ShowWindow(hwnd(), SW_HIDE);
  app_.state.ToolbarMovable = app_.state.options.IsOn(kOptToolbarMovable) ? 1 : 0;
  app_.state.SingleButtonCount = 0;

  AddProgramButton();

  // Toolbar1 sits 10 twips left and 20 twips above the window's client area;
  // the window is one button row high less 50 twips and starts above the
  // screen edge, so only the buttons' faces show.
  const DWORD size = static_cast<DWORD>(SendMessageA(Toolbar1_, TB_GETBUTTONSIZE, 0, 0));
  const int buttonW = LOWORD(size), buttonH = HIWORD(size);
  const int toolbarW = buttonW * buttonCount_, toolbarH = buttonH + 4;
  MoveWindow(Toolbar1_, -TwipsToPxX(10, tpp), -TwipsToPxY(20, tpp), toolbarW, toolbarH, FALSE);

  const double toolbarWidthTw = toolbarW * tpp.x;
  double widthTw = toolbarWidthTw + (app_.state.ToolbarMovable ? 50 : 0);
  const double screenTw = ScreenWidthTwips(tpp);
  double leftTw = screenTw - toolbarWidthTw - 1750;
  const double heightTw = toolbarH * tpp.y - 50;
  const double topTw = tpp.SmallFontsY() ? -80 : -50;

  SetWindowPos(hwnd(), HWND_TOPMOST, TwipsToPxX(leftTw, tpp), TwipsToPxY(topTw, tpp),
               TwipsToPxX(widthTw, tpp), TwipsToPxY(heightTw, tpp), SWP_NOACTIVATE);
  ShowWindow(hwnd(), SW_SHOW);
  SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  if (!app_.state.AutoHide) SetForegroundWindow(hwnd());
  savedLeft_ = leftTw;
  savedTop_ = topTw;
  screenWidth_ = screenTw;
}

void frmToolbar::UnloadItems() {
  ShowWindow(hwnd(), SW_HIDE);
  app_.state.SingleButtonCount = 0;
  if (Toolbar1_) {
    while (SendMessageA(Toolbar1_, TB_DELETEBUTTON, 0, 0)) {}
    SendMessageA(Toolbar1_, TB_SETIMAGELIST, 0, 0);
  }
  for (const auto& key : imageKeys_) app_.Minimize().ImgIcons().Remove(key);
  imageKeys_.clear();
  titles_.clear();
  buttonCount_ = 0;
}

void frmToolbar::Unload() {
  if (!Loaded()) return;
  SaveOptions(app_.fs, app_.state.folders.program, app_.state.options);
  UnloadItems();
  Destroy();
}

LRESULT frmToolbar::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SYSCOMMAND:
      // A minimize request (Alt+Space, a taskbar tool) goes the own menu's way.
      if ((wp & 0xFFF0) == SC_MINIMIZE) {
        app_.Minimize().MinimizeProgram();
        return 0;
      }
      if ((wp & 0xFFF0) == SC_CLOSE) {
        app_.Shutdown();
        return 0;
      }
      break;
    case WM_CLOSE:
      app_.Shutdown();
      return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace velmora
