#include "shell/frmStartup.h"

#include "platform/ui_win.h"
#include "resource.h"

namespace velmora {

bool frmStartup::Load(HINSTANCE instance, const Tpp& tpp) {
  picture_.reset(static_cast<HBITMAP>(
      LoadImageA(instance, MAKEINTRESOURCEA(IDB_SPLASH), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
  BITMAP bm{};
  if (picture_) GetObjectA(picture_.get(), sizeof bm, &bm);

  const int frameX = GetSystemMetrics(SM_CXDLGFRAME), frameY = GetSystemMetrics(SM_CYDLGFRAME);
  const int width = TwipsToPxX(5000, tpp);
  const int pad = TwipsToPxY(120, tpp);
  TEXTMETRICA tm{};
  {
    WindowDC dc{nullptr};
    Selection font(dc.get(), UiFont());
    GetTextMetricsA(dc.get(), &tm);
  }
  const int labelHeight = tm.tmHeight + 2;
  const int clientHeight = pad + bm.bmHeight + pad + labelHeight + pad;
  const int outerW = width, outerH = clientHeight + 2 * frameY;

  WindowArgs args;
  args.className = "VelmoraSplash";
  args.style = WS_POPUP | WS_DLGFRAME;
  // Not topmost: a message box during loading must be able to come above it.
  args.exStyle = WS_EX_TOOLWINDOW;
  args.x = (GetSystemMetrics(SM_CXSCREEN) - outerW) / 2;
  args.y = (GetSystemMetrics(SM_CYSCREEN) - outerH) / 2;
  args.width = outerW;
  args.height = outerH;
  args.backgroundColor = COLOR_WINDOW;
  if (!CreateWindowFrom(args)) return false;

  const int clientW = outerW - 2 * frameX;
  HWND image1 = CreateChild(hwnd(), "STATIC", "", WS_VISIBLE | SS_BITMAP,
                            (clientW - bm.bmWidth) / 2, pad, bm.bmWidth, bm.bmHeight, 1000);
  // Lent to the control: the window releases it only after the control is gone.
  if (image1 && picture_)
    SendMessageA(image1, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture_.get()));
  Label1_ = CreateChild(hwnd(), "STATIC", "Initializing", WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                        pad, pad + bm.bmHeight + pad, clientW - 2 * pad, labelHeight, kLabel1Id);
  return true;
}

void frmStartup::Progress() {
  if (!Loaded()) return;
  if (!IsWindowVisible(hwnd())) ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
  char text[512];
  const int n = GetWindowTextA(Label1_, text, sizeof text - 3);
  // The row of dots stops growing once it fills the label: the text stays readable.
  if (n < 200) {
    lstrcatA(text, " .");
    SetWindowTextA(Label1_, text);
  }
  UpdateWindow(Label1_);
}

LRESULT frmStartup::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CTLCOLORSTATIC) {
    SetBkColor(reinterpret_cast<HDC>(wp), GetSysColor(COLOR_WINDOW));
    SetTextColor(reinterpret_cast<HDC>(wp), GetSysColor(COLOR_WINDOWTEXT));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
  }
  return Window::HandleMessage(msg, wp, lp);
}

void frmStartup::OnDestroyed() {
  // The picture control is gone by now; the bitmap was only lent to it.
  picture_.reset();
  Label1_ = nullptr;
}

}  // namespace velmora
