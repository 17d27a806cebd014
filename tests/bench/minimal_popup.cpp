// The yardstick for opening a menu: a Win32 program with one small window that
// shows a topmost popup on a click. The popup paints an icon and a caption on
// button face, as little as a menu row could be, and hides on Esc.
#include <windows.h>

namespace {

HWND popup = nullptr;

LRESULT CALLBACK PopupProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT r;
      GetClientRect(hwnd, &r);
      FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
      DrawIconEx(dc, 4, 4, LoadIconA(nullptr, IDI_APPLICATION), 16, 16, 0, nullptr, DI_NORMAL);
      SetBkMode(dc, TRANSPARENT);
      TextOutA(dc, 26, 5, "Entry", 5);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_KEYDOWN:
      if (wp == VK_ESCAPE) ShowWindow(hwnd, SW_HIDE);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_LBUTTONUP: {
      RECT r;
      GetWindowRect(hwnd, &r);
      if (!popup)
        popup = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "MinimalPopup", "",
                                WS_POPUP | WS_DLGFRAME, r.left, r.bottom, 160, 200, hwnd, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
      SetWindowPos(popup, HWND_TOPMOST, r.left, r.bottom, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
      SetForegroundWindow(popup);
      return 0;
    }
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = "MinimalPopupOwner";
  RegisterClassA(&wc);
  wc.lpfnWndProc = PopupProc;
  wc.hbrBackground = nullptr;
  wc.lpszClassName = "MinimalPopup";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "MinimalPopupOwner", "Minimal",
                              WS_POPUP, 400, 0, 300, 24, nullptr, nullptr, instance, nullptr);
  ShowWindow(hwnd, SW_SHOW);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
