#include "platform/window_win.h"

#include "platform/ui_win.h"

namespace velmora {

Window::~Window() { Destroy(); }

void Window::Destroy() {
  if (hwnd_) DestroyWindow(hwnd_);
}

bool Window::CreateWindowFrom(const WindowArgs& args) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  if (!GetClassInfoExA(instance, args.className, &wc)) {
    wc = WNDCLASSEXA{};
    wc.cbSize = sizeof wc;
    wc.style = args.classStyle;
    wc.lpfnWndProc = &Window::Proc;
    wc.hInstance = instance;
    wc.hIcon = args.icon;
    wc.hIconSm = args.icon;
    wc.hCursor = args.cursor ? args.cursor : LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(args.backgroundColor);
    wc.lpszClassName = args.className;
    if (!RegisterClassExA(&wc)) return false;
  }
  CreateWindowExA(args.exStyle, args.className, args.title, args.style, args.x, args.y,
                  args.width, args.height, args.owner, nullptr, instance, this);
  return hwnd_ != nullptr;
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  return DefWindowProcA(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Window* self;
  if (msg == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    const LRESULT r = self->HandleMessage(msg, wp, lp);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->OnDestroyed();
    return r;
  }
  return self->HandleMessage(msg, wp, lp);
}

HWND CreateChild(HWND parent, const char* cls, const char* text, DWORD style, int x, int y,
                 int width, int height, int id, DWORD exStyle) {
  HWND child = CreateWindowExA(exStyle, cls, text, style | WS_CHILD, x, y, width, height, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleA(nullptr), nullptr);
  if (child) SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), FALSE);
  return child;
}

}  // namespace velmora
