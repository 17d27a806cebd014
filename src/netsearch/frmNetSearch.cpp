#include "netsearch/frmNetSearch.h"

#include <commctrl.h>

#include "model/text.h"
#include "platform/ui_win.h"
#include "resource.h"
#include "shell/app_win.h"

namespace velmora {

namespace {

constexpr double kWidth = 6075;
constexpr double kHeight = 3000;
constexpr UINT_PTR kKeySubclassId = 1;

}  // namespace

frmNetSearch::frmNetSearch(App& app) : app_(app) {}

frmNetSearch::~frmNetSearch() { Destroy(); }

bool frmNetSearch::Load() {
  if (Loaded()) return true;
  const Tpp& tpp = app_.tpp;
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
  args.icon = LoadIconA(app_.instance, MAKEINTRESOURCEA(IDI_VELMORA));
  if (!CreateWindowFrom(args)) return false;
  InitNetSearch();
  return true;
}

void frmNetSearch::InitNetSearch() {
  app_.state.NetSearchLoaded = true;
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
  // Enter in either list searches, and Tab moves on, without a dialog loop.
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (GetComboBoxInfo(cmbText_, &info) && info.hwndItem)
    SetWindowSubclass(info.hwndItem, KeySubclass, kKeySubclassId, reinterpret_cast<DWORD_PTR>(this));
  SetWindowSubclass(cmbEngine_, KeySubclass, kKeySubclassId, reinterpret_cast<DWORD_PTR>(this));
  LayOut();

  const std::string folder = app_.state.folders.program;
  if (!model_.Load(app_.fs, app_.dialogs, folder)) return;
  for (const auto& engine : model_.Engines())
    SendMessageA(cmbEngine_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(engine.name.c_str()));
  SendMessageA(cmbEngine_, CB_SETCURSEL, 0, 0);
  FillHistoryList();

  DoEvents();
  ShowWindow(w, SW_SHOW);
  SetFocus(cmbText_);
}

void frmNetSearch::LayOut() {
  const Tpp& tpp = app_.tpp;
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
  LaunchServices services = app_.Launch();
  const auto refresh = [&] {
    const int count = model_.History().Count();
    if (count != before || (count && model_.History().At(count - 1) != newest)) FillHistoryList();
    SetWindowTextA(cmbText_, Trim(text).c_str());
  };
  bool refreshed = false;
  model_.Find(services, text, engine, [&] {
    refresh();
    refreshed = true;
    ShowWindow(hwnd(), SW_HIDE);
    ShowWindow(hwnd(), SW_MINIMIZE);
  });
  if (!refreshed && Loaded()) refresh();
}

void frmNetSearch::cmdClear_Click() {
  SetFocus(cmbText_);
  if (!model_.Clear(app_.fs, app_.dialogs, app_.state.folders.program)) return;
  SendMessageA(cmbText_, CB_RESETCONTENT, 0, 0);
}

void frmNetSearch::KeepFixedSize() {
  RECT r{};
  GetWindowRect(hwnd(), &r);
  if (r.right - r.left != widthPx_ || r.bottom - r.top != heightPx_)
    SetWindowPos(hwnd(), nullptr, 0, 0, widthPx_, heightPx_, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK frmNetSearch::KeySubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                           DWORD_PTR self) {
  auto* form = reinterpret_cast<frmNetSearch*>(self);
  if (msg == WM_CHAR && (wp == '\r' || wp == '\t')) return 0;  // no beep
  if (msg == WM_KEYDOWN && wp == VK_RETURN) {
    // A dropped-down list takes Enter to close itself first.
    HWND combo = GetParent(hwnd) == form->hwnd() ? hwnd : GetParent(hwnd);
    if (!SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0)) {
      PostMessageA(form->hwnd(), WM_COMMAND, MAKEWPARAM(kIdFind, BN_CLICKED),
                   reinterpret_cast<LPARAM>(form->cmdFind_));
      return 0;
    }
  }
  if (msg == WM_KEYDOWN && wp == VK_TAB) {
    SetFocus(GetNextDlgTabItem(form->hwnd(), GetFocus(), GetKeyState(VK_SHIFT) < 0));
    return 0;
  }
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, KeySubclass, kKeySubclassId);
  return DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT frmNetSearch::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (HIWORD(wp) == BN_CLICKED && LOWORD(wp) == kIdFind) {
        cmdFind_Click();
        return 0;
      }
      if (HIWORD(wp) == BN_CLICKED && LOWORD(wp) == kIdClear) {
        cmdClear_Click();
        return 0;
      }
      break;
    case WM_SIZE:
      if (wp != SIZE_MINIMIZED) KeepFixedSize();
      return 0;
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
  model_.Unload(app_.fs, app_.state.folders.program);
  model_ = NetSearchModel();
  app_.state.NetSearchLoaded = false;
  Frame1_ = Label1_ = cmbText_ = Label2_ = cmbEngine_ = cmdFind_ = cmdClear_ = nullptr;
}

}  // namespace velmora
