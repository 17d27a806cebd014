// The yardstick for start-up time: a Win32 program that only shows one window.
// Built a second time with VELMORA_SAME_LIBRARIES, it loads the system
// libraries Velmora loads, and so tells their share of Velmora's start-up.
#include <windows.h>
#ifdef VELMORA_SAME_LIBRARIES
#include <commctrl.h>
#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>
#include <winver.h>
#endif

static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CLOSE) {
    DestroyWindow(hwnd);
    return 0;
  }
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command, int) {
#ifdef VELMORA_SAME_LIBRARIES
  // Imported, so loaded at start as Velmora's are; never called.
  if (command && command[0] == '\x01') {
    InitCommonControls();
    GetOpenFileNameA(nullptr);
    CoInitialize(nullptr);
    SHGetFileInfoA(nullptr, 0, nullptr, 0, 0);
    GetFileVersionInfoSizeA(nullptr, nullptr);
    RegCloseKey(nullptr);
  }
#else
  (void)command;
#endif
  WNDCLASSA wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = "MinimalWindow";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "MinimalWindow", "Minimal",
                              WS_POPUP, 800, 0, 300, 24, nullptr, nullptr, instance, nullptr);
  ShowWindow(hwnd, SW_SHOW);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
