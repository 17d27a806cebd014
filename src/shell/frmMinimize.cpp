#include "shell/frmMinimize.h"

#include "platform/dde_client_win.h"
#include "resource.h"
#include "shell/app_win.h"
#include "toolbar/frmToolbar.h"

namespace velmora {

namespace {

struct BuiltInPicture {
  const char* key;
  int id;
};
constexpr BuiltInPicture kBuiltInPictures[] = {
    {"new", IDI_IMG_NEW},   {"button", IDI_IMG_BUTTON}, {"qm", IDI_IMG_QM},
    {"up", IDI_IMG_UP},     {"up2", IDI_IMG_UP2},       {"down", IDI_IMG_DOWN},
    {"down2", IDI_IMG_DOWN2}, {"chkmark", IDI_IMG_CHKMARK}, {"cust", IDI_IMG_CUST},
    {"help", IDI_IMG_HELP},
};

}  // namespace

frmMinimize::frmMinimize(App& app) : app_(app) {}
frmMinimize::~frmMinimize() = default;

bool frmMinimize::Load() {
  LoadBuiltInPictures();
  WindowArgs args;
  args.className = "VelmoraMinimize";
  args.title = kAppTitle;
  args.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  args.icon = LoadIconA(app_.instance, MAKEINTRESOURCEA(IDI_VELMORA));
  return CreateWindowFrom(args);
}

void frmMinimize::LoadBuiltInPictures() {
  for (const auto& picture : kBuiltInPictures) {
    HICON icon = static_cast<HICON>(LoadImageA(app_.instance, MAKEINTRESOURCEA(picture.id),
                                               IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    ImgIcons_.AddIcon(picture.key, icon);
    if (icon) DestroyIcon(icon);  // the image list keeps its own copy
  }
}

DdeClient& frmMinimize::Text1() {
  if (!Text1_) Text1_ = std::make_unique<DdeClient>();
  return *Text1_;
}

void frmMinimize::TakeToolbarGeometry() {
  if (!Loaded() || !app_.ToolbarLoaded()) return;
  RECT r;
  if (!GetWindowRect(app_.Toolbar().hwnd(), &r)) return;
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  GetWindowPlacement(hwnd(), &wp);
  wp.rcNormalPosition = r;
  wp.showCmd = IsIconic(hwnd()) ? SW_SHOWMINNOACTIVE : (IsWindowVisible(hwnd()) ? SW_SHOWNA : SW_HIDE);
  SetWindowPlacement(hwnd(), &wp);
}

void frmMinimize::MinimizeProgram() {
  app_.state.Minimized = 1;
  if (app_.ToolbarLoaded()) ShowWindow(app_.Toolbar().hwnd(), SW_HIDE);
  TakeToolbarGeometry();
  ShowWindow(hwnd(), SW_MINIMIZE);
}

void frmMinimize::Form_Resize(WPARAM state) {
  if (state != SIZE_RESTORED && state != SIZE_MAXIMIZED) return;
  if (!IsWindowVisible(hwnd())) return;
  ShowWindow(hwnd(), SW_HIDE);
  app_.state.Minimized = 0;
  if (!app_.state.AutoHide && app_.ToolbarLoaded()) {
    HWND toolbar = app_.Toolbar().hwnd();
    ShowWindow(toolbar, SW_SHOW);
    SetWindowPos(toolbar, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(toolbar);
  }
}

LRESULT frmMinimize::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE:
      Form_Resize(wp);
      return 0;
    case WM_CLOSE:
      app_.Shutdown();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // Windows is ending: save what the normal exit saves.
      if (wp) app_.Shutdown();
      return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace velmora
