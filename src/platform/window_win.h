// One C++ object per top-level window. The object is bound to its HWND at
// WM_NCCREATE, so the messages sent while the window is being created reach it.
#pragma once

#include <windows.h>

namespace velmora {

struct WindowArgs {
  const char* className = nullptr;
  const char* title = "";
  DWORD style = WS_POPUP;
  DWORD exStyle = 0;
  int x = 0, y = 0, width = 0, height = 0;
  HWND owner = nullptr;
  HICON icon = nullptr;
  HCURSOR cursor = nullptr;
  int backgroundColor = COLOR_BTNFACE;  // a system colour index
  UINT classStyle = 0;
};

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND hwnd() const { return hwnd_; }
  bool Loaded() const { return hwnd_ != nullptr; }
  bool Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }
  // Destroys the window; the object stays and may be created again.
  void Destroy();

 protected:
  bool CreateWindowFrom(const WindowArgs& args);
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  // Called from WM_NCDESTROY, after which hwnd() is null.
  virtual void OnDestroyed() {}

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  HWND hwnd_ = nullptr;
};

// Handles WM_PAINT and WM_PRINTCLIENT with one routine that draws into the
// given device context. False for every other message.
template <class PaintFn>
bool PaintMessage(HWND window, UINT msg, WPARAM wp, PaintFn&& paint) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    paint(dc);
    EndPaint(window, &ps);
    return true;
  }
  if (msg == WM_PRINTCLIENT) {
    paint(reinterpret_cast<HDC>(wp));
    return true;
  }
  return false;
}

// A child control of a window, e.g. a STATIC label or a BUTTON.
HWND CreateChild(HWND parent, const char* cls, const char* text, DWORD style, int x, int y,
                 int width, int height, int id, DWORD exStyle = 0);

}  // namespace velmora
