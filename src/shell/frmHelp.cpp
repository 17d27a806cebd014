#include "shell/frmHelp.h"

#include "platform/ui_win.h"

namespace velmora {

bool frmHelp::Load() {
  WindowArgs args;
  args.className = "VelmoraHelpTip";
  args.style = WS_POPUP | WS_BORDER;
  args.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  args.backgroundColor = COLOR_INFOBK;
  args.width = 10;
  args.height = 10;
  if (!CreateWindowFrom(args)) return false;
  SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return true;
}

void frmHelp::ShowTip(const std::string& text, const Tpp& tpp) {
  if (text.empty()) {
    ShowWindow(hwnd(), SW_HIDE);
    return;
  }
  ShowWindow(hwnd(), SW_HIDE);
  DoEvents();
  label1_ = " " + text + " ";
  // The caption is never shown (no title bar); it lets tools read the tip.
  SetWindowTextA(hwnd(), text.c_str());

  SIZE extent{};
  if (WindowDC dc{hwnd()}) {
    Selection font(dc.get(), UiFont());
    GetTextExtentPoint32A(dc.get(), label1_.data(), static_cast<int>(label1_.size()), &extent);
  }
  POINT cursor{};
  GetCursorPos(&cursor);
  const int width = extent.cx + 4, height = extent.cy + 6;
  int left = cursor.x - 2;
  const int top = cursor.y + 18;
  // Keep the tip 50 twips short of the right screen edge.
  const int screen = GetSystemMetrics(SM_CXSCREEN);
  if (left + width >= screen) left = screen - width - TwipsToPxX(50, tpp);
  labelLeft_ = 1;
  labelTop_ = (height - extent.cy) / 2 - TwipsToPxY(20, tpp);
  SetWindowPos(hwnd(), HWND_TOPMOST, left, top, width, height, SWP_NOACTIVATE);
  InvalidateRect(hwnd(), nullptr, TRUE);
  ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
}

bool frmHelp::OnPaint(HDC dc) {
  Selection font(dc, UiFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
  TextOutA(dc, labelLeft_, labelTop_, label1_.data(), static_cast<int>(label1_.size()));
  return true;
}

LRESULT frmHelp::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace velmora
