#include "shell/frmMinimize.h"

#include "platform/dde_client_win.h"
#include "resource.h"
#include "core/app_state.h"
#include "core/product.h"
#include "platform/handles_win.h"
#include "platform/icon_cache_win.h"
#include "platform/shell_icons_win.h"

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

frmMinimize::frmMinimize(MinimizeServices services) : s_(std::move(services)) {}
frmMinimize::~frmMinimize() = default;

bool frmMinimize::Load() {
  LoadBuiltInPictures();
  WindowArgs args;
  args.className = "VelmoraMinimize";
  args.title = kAppTitle;
  args.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  args.icon = LoadIconA(s_.instance, MAKEINTRESOURCEA(IDI_VELMORA));
  return CreateWindowFrom(args);
}

void frmMinimize::LoadBuiltInPictures() {
  for (const auto& picture : kBuiltInPictures) {
    // The image list keeps its own copy.
    AddIconPixels(ImgIcons_, picture.key, SmallResourceIcon(s_.instance, picture.id).get());
  }
}

DdeClient& frmMinimize::Text1() {
  if (!Text1_) Text1_ = std::make_unique<DdeClient>();
  return *Text1_;
}

void frmMinimize::TakeToolbarGeometry() {
  HWND toolbar = s_.toolbar ? s_.toolbar() : nullptr;
  RECT r;
  if (!Loaded() || !toolbar || !GetWindowRect(toolbar, &r)) return;
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  GetWindowPlacement(hwnd(), &wp);
  wp.rcNormalPosition = r;
  wp.showCmd = IsIconic(hwnd()) ? SW_SHOWMINNOACTIVE : (IsWindowVisible(hwnd()) ? SW_SHOWNA : SW_HIDE);
  SetWindowPlacement(hwnd(), &wp);
}

void frmMinimize::MinimizeProgram() {
  s_.state.Minimized = 1;
  if (HWND toolbar = s_.toolbar ? s_.toolbar() : nullptr) ShowWindow(toolbar, SW_HIDE);
  TakeToolbarGeometry();
  ShowWindow(hwnd(), SW_MINIMIZE);
}

void frmMinimize::AfterToolbarBuild() {
  if (IsIconic(hwnd())) ShowWindow(hwnd(), SW_RESTORE);
  TakeToolbarGeometry();
}

// Form_Resize: restoring the taskbar button brings the toolbar back.
void frmMinimize::OnSize(UINT state, int, int) {
  if (state != SIZE_RESTORED && state != SIZE_MAXIMIZED) return;
  if (!IsWindowVisible(hwnd())) return;
  ShowWindow(hwnd(), SW_HIDE);
  s_.state.Minimized = 0;
  HWND toolbar = s_.toolbar ? s_.toolbar() : nullptr;
  if (!s_.state.AutoHide && toolbar) {
    ShowWindow(toolbar, SW_SHOW);
    SetWindowPos(toolbar, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(toolbar);
  }
}

LRESULT frmMinimize::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CLOSE:
      if (s_.shutdown) s_.shutdown();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // Windows is ending: save what the normal exit saves.
      if (wp && s_.shutdown) s_.shutdown();
      return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace velmora
