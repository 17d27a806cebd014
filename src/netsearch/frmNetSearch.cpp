#include "netsearch/frmNetSearch.h"

#include <commctrl.h>

#include "core/app_state.h"
#include "model/text.h"
#include "platform/ui_win.h"
#include "resource.h"

namespace velmora {

namespace {

constexpr double kWidth = 6075;
constexpr double kHeight = 3000;

}  // namespace

frmNetSearch::frmNetSearch(NetSearchServices services) : s_(std::move(services)) {}

frmNetSearch::~frmNetSearch() = default;

bool frmNetSearch::Load() {
  if (Loaded()) return true;
  const Tpp& tpp = s_.tpp;
  widthPx_ = TwipsToPxX(kWidth, tpp);
  heightPx_ = TwipsToPxY(kHeight, tpp);
  WindowArgs args;
  args.className = "VelmoraNetSearch";
  args.title = "Net Search";
  args.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  args.x = TwipsToPxX((ScreenWidthTwips(tpp) - kWidth) / 2, tpp);
  args.y = TwipsToPxY((ScreenHeightTwips(tpp) - kHeight) / 2 - kHeight / 4, tpp);
  args.width = widthPx_;
  args.height = heightPx_;
  args.icon = LoadIconA(s_.instance, MAKEINTRESOURCEA(IDI_VELMORA));
  // Tab moves on and Enter searches (the default button), as in a dialog.
  args.dialogKeys = true;
  if (!CreateWindowFrom(args)) return false;
  InitNetSearch();
  return true;
}

void frmNetSearch::InitNetSearch() {
  HWND w = hwnd();
  const DWORD child = WS_CHILD | WS_VISIBLE;
  Frame1_ = CreateChild(w, "BUTTON", "", child | BS_GROUPBOX, 0, 0, 0, 0, kIdFrame);
  Label1_ = CreateChild(w, "STATIC", "Looking for:", child, 0, 0, 0, 0, kIdLabel1);
  cmbText_ = CreateChild(w, "COMBOBOX", "", child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                         0, 0, 0, 0, kIdText);
  Label2_ = CreateChild(w, "STATIC", "Search with:", child, 0, 0, 0, 0, kIdLabel2);
  cmbEngine_ = CreateChild(w, "COMBOBOX", "", child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                           0, 0, 0, 0, kIdEngine);
  cmdFind_ = CreateChild(w, "BUTTON", "&Find", child | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0, 0, kIdFind);
  cmdClear_ = CreateChild(w, "BUTTON", "&Clear", child | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, kIdClear);
  for (HWND c : {Frame1_, Label1_, cmbText_, Label2_, cmbEngine_, cmdFind_, cmdClear_})
    SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), FALSE);
  LayOut();

  const std::string folder = s_.launch.state.folders.program;
  if (!model_.Load(s_.launch.fs, s_.launch.dialogs, folder)) return;
  for (const auto& engine : model_.Engines())
    SendMessageA(cmbEngine_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(engine.name.c_str()));
  SendMessageA(cmbEngine_, CB_SETCURSEL, 0, 0);
  FillHistoryList();

  DoEvents();
  ShowWindow(w, SW_SHOW);
  SetFocus(cmbText_);
}

void frmNetSearch::LayOut() {
  const Tpp& tpp = s_.tpp;
  RECT client{};
  GetClientRect(hwnd(), &client);
  const double innerW = client.right * tpp.x;
  const double innerH = client.bottom * tpp.y;
  const double frameW = innerW - (tpp.y >= 14 ? 290 : 350);
  const double frameH = innerH - 550;
  const double frameX = (innerW - frameW) / 2;
  const double frameY = 120;
  const auto place = [&](HWND c, double x, double y, double w, double h) {
    MoveWindow(c, TwipsToPxX(x, tpp), TwipsToPxY(y, tpp), TwipsToPxX(w, tpp), TwipsToPxY(h, tpp),
               FALSE);
  };
  place(Frame1_, frameX, frameY, frameW, frameH);
  const double margin = 180, labelW = 1150, buttonW = 1150, gap = 150, rowH = 375;
  const double listX = frameX + margin + labelW;
  const double buttonX = frameX + frameW - margin - buttonW;
  const double listW = buttonX - gap - listX;
  const double row1 = frameY + 420, row2 = row1 + rowH + 360;
  place(Label1_, frameX + margin, row1 + 60, labelW, 255);
  place(cmbText_, listX, row1, listW, 2400);  // a combo box's height includes its list
  place(cmdFind_, buttonX, row1 - 15, buttonW, rowH);
  place(Label2_, frameX + margin, row2 + 60, labelW, 255);
  place(cmbEngine_, listX, row2, listW, 2400);
  place(cmdClear_, buttonX, row2 - 15, buttonW, rowH);
}

void frmNetSearch::FillHistoryList() {
  SendMessageA(cmbText_, CB_RESETCONTENT, 0, 0);
  for (const auto& text : model_.History().NewestFirst())
    SendMessageA(cmbText_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void frmNetSearch::cmdFind_Click() {
  const std::string text = WindowTextOf(cmbText_);
  if (Trim(text).empty()) return;
  const int engine = static_cast<int>(SendMessageA(cmbEngine_, CB_GETCURSEL, 0, 0));
  const int before = model_.History().Count();
  const std::string newest = before ? model_.History().At(before - 1) : std::string();
  const auto refresh = [&] {
    const int count = model_.History().Count();
    if (count != before || (count && model_.History().At(count - 1) != newest)) FillHistoryList();
    SetWindowTextA(cmbText_, Trim(text).c_str());
  };
  bool refreshed = false;
  model_.Find(s_.launch, s_.runner, text, engine, [&] {
    refresh();
    refreshed = true;
    ShowWindow(hwnd(), SW_HIDE);
    ShowWindow(hwnd(), SW_MINIMIZE);
  });
  if (!refreshed && Loaded()) refresh();
}

void frmNetSearch::cmdClear_Click() {
  SetFocus(cmbText_);
  if (!model_.Clear(s_.launch.fs, s_.launch.dialogs, s_.launch.state.folders.program)) return;
  SendMessageA(cmbText_, CB_RESETCONTENT, 0, 0);
}

void frmNetSearch::KeepFixedSize() {
  RECT r{};
  GetWindowRect(hwnd(), &r);
  if (r.right - r.left != widthPx_ || r.bottom - r.top != heightPx_)
    SetWindowPos(hwnd(), nullptr, 0, 0, widthPx_, heightPx_, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool frmNetSearch::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED) return false;
  switch (id) {
    case kIdFind:
    case IDOK:  // Enter anywhere in the window
      cmdFind_Click();
      return true;
    case kIdClear:
      cmdClear_Click();
      return true;
    case IDCANCEL:  // Esc: nothing to cancel
      return true;
  }
  return false;
}

void frmNetSearch::OnSize(UINT state, int, int) {
  if (state != SIZE_MINIMIZED) KeepFixedSize();
}

LRESULT frmNetSearch::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case DM_GETDEFID:
      return MAKELRESULT(kIdFind, DC_HASDEFID);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      // Labels and the frame sit on the window's face colour.
      HDC dc = reinterpret_cast<HDC>(wp);
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE && cmbText_) SetFocus(cmbText_);
      return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

void frmNetSearch::OnDestroyed() {
  model_.Unload(s_.launch.fs, s_.launch.state.folders.program);
  model_ = NetSearchModel();
  Frame1_ = Label1_ = cmbText_ = Label2_ = cmbEngine_ = cmdFind_ = cmdClear_ = nullptr;
}

}  // namespace velmora
