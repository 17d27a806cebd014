#include "shell/frmTip.h"

#include "model/options.h"
#include "platform/ui_win.h"
#include "resource.h"

namespace velmora {

void frmTip::ShowModal(HWND owner, const std::string& title, const std::string& tip) {
  const Tpp tpp = Tpp::FromScreen();
  const int w = TwipsToPxX(5400, tpp), h = TwipsToPxY(2700, tpp);
  WindowArgs args;
  args.className = "VelmoraTip";
  args.title = "   Tip";
  args.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  args.exStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;
  args.x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
  args.y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  args.width = w;
  args.height = h;
  args.parent = owner;
  args.dialogKeys = true;
  if (!CreateWindowFrom(args)) return;

  RECT client;
  GetClientRect(hwnd(), &client);
  const int pad = TwipsToPxX(180, tpp), icon = 32;
  const int textLeft = pad + icon + pad, textW = client.right - textLeft - pad;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  {
    // A long hint makes the window taller rather than losing its last lines.
    WindowDC dc(hwnd());
    Selection font(dc.get(), UiFont());
    RECT need{0, 0, textW, 0};
    DrawTextA(dc.get(), tip.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    // The text runs from below the title to half a margin above the buttons.
    const int room = (client.bottom - pad - TwipsToPxY(375, tpp)) - (pad + TwipsToPxY(360, tpp)) - pad / 2;
    if (need.bottom > room) {
      SetWindowPos(hwnd(), nullptr, args.x, args.y - (need.bottom - room) / 2, w, h + need.bottom - room,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      GetClientRect(hwnd(), &client);
    }
  }

  HWND picture = CreateChild(hwnd(), "STATIC", "", WS_VISIBLE | SS_ICON, pad, pad, icon, icon, 100);
  SendMessageA(picture, STM_SETICON,
               reinterpret_cast<WPARAM>(LoadIconA(instance, MAKEINTRESOURCEA(IDI_TIP))), 0);
  HWND lblTitle = CreateChild(hwnd(), "STATIC", title.c_str(), WS_VISIBLE | SS_NOPREFIX,
                              textLeft, pad, textW, TwipsToPxY(300, tpp), 102);
  titleFont_ = DerivedUiFont(0, FW_BOLD, 96);
  SendMessageA(lblTitle, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()), FALSE);
  const int tipTop = pad + TwipsToPxY(360, tpp);
  const int buttonH = TwipsToPxY(375, tpp), buttonW = TwipsToPxX(1215, tpp);
  const int bottom = client.bottom - pad - buttonH;
  CreateChild(hwnd(), "STATIC", tip.c_str(), WS_VISIBLE | SS_NOPREFIX, textLeft, tipTop, textW,
              bottom - tipTop - pad / 2, 103);
  Check1_ = CreateChild(hwnd(), "BUTTON", "&Don't show this message again",
                        WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, pad, bottom,
                        client.right - 3 * pad - buttonW, buttonH, kCheck1Id);
  HWND ok = CreateChild(hwnd(), "BUTTON", "OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                        client.right - pad - buttonW, bottom, buttonW, buttonH, kOkId);

  const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  ShowWindow(hwnd(), SW_SHOW);
  SetFocus(ok);
  MSG msg;
  while (!done_ && GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchWithChain(msg);
  if (!done_) PostQuitMessage(static_cast<int>(msg.wParam));  // WM_QUIT arrived: pass it on
  if (ownerWasEnabled) EnableWindow(owner, TRUE);
  Destroy();
  titleFont_.reset();
  if (owner) SetForegroundWindow(owner);
}

void frmTip::cmdOK_Click() {
  ApplyTipChoice(options_, FieldNum, SendMessageA(Check1_, BM_GETCHECK, 0, 0) == BST_CHECKED);
  done_ = true;
}

bool frmTip::OnCommand(int id, int, HWND) {
  if (id != kOkId && id != IDCANCEL) return false;
  // Esc and the close box count as OK: the hint has been read.
  cmdOK_Click();
  return true;
}

LRESULT frmTip::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CLOSE:
      cmdOK_Click();
      return 0;
    case WM_CTLCOLORSTATIC:
      SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace velmora
