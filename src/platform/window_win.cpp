#include "platform/window_win.h"

#include <algorithm>
#include <vector>

#include "platform/ui_win.h"

namespace velmora {

namespace {

constexpr UINT_PTR kSubclassId = 1;

// Windows that take part in the pre-translate chain: those with accelerators
// or dialog keys. One user-interface thread, so no lock.
std::vector<Window*>& Translators() {
  static std::vector<Window*> windows;
  return windows;
}

void Forget(Window* window) {
  auto& all = Translators();
  all.erase(std::remove(all.begin(), all.end(), window), all.end());
}

}  // namespace

bool EnsureWindowClass(const char* name, WNDPROC proc, UINT style, HICON icon, HCURSOR cursor,
                       int backgroundColor) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExA(instance, name, &wc)) return true;
  wc = WNDCLASSEXA{};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hIconSm = icon;
  wc.hCursor = cursor ? cursor : LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = backgroundColor >= 0 ? GetSysColorBrush(backgroundColor) : nullptr;
  wc.lpszClassName = name;
  return RegisterClassExA(&wc) != 0;
}

Window::~Window() {
  // The derived part is gone: nothing may reach it while the window dies.
  Forget(this);
  if (hwnd_) {
    HWND window = hwnd_;
    Detach();
    DestroyWindow(window);
  }
  if (accelerators_) DestroyAcceleratorTable(accelerators_);
}

void Window::Detach() {
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
}

void Window::Destroy() {
  if (hwnd_) DestroyWindow(hwnd_);
}

bool Window::CreateWindowFrom(const WindowArgs& args) {
  if (!EnsureWindowClass(args.className, &Window::Proc, args.classStyle, args.icon, args.cursor,
                         args.backgroundColor))
    return false;
  dialogKeys_ = args.dialogKeys;
  const bool child = (args.style & WS_CHILD) != 0;
  CreateWindowExA(args.exStyle, args.className, args.title, args.style, args.x, args.y,
                  args.width, args.height, args.parent,
                  child ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.childId)) : nullptr,
                  GetModuleHandleA(nullptr), this);
  if (hwnd_ && (dialogKeys_ || accelerators_)) {
    Forget(this);
    Translators().push_back(this);
  }
  return hwnd_ != nullptr;
}

void Window::SetAccelerators(const ACCEL* entries, int count) {
  if (accelerators_) DestroyAcceleratorTable(accelerators_);
  accelerators_ = CreateAcceleratorTableA(const_cast<ACCEL*>(entries), count);
  if (hwnd_ && accelerators_) {
    Forget(this);
    Translators().push_back(this);
  }
}

void Window::Subclass(HWND control) {
  if (control) SetWindowSubclass(control, &Window::ControlProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

bool Window::PreTranslate(MSG& msg) {
  if (!hwnd_ || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))) return false;
  if (accelerators_ && TranslateAcceleratorA(hwnd_, accelerators_, &msg)) return true;
  return dialogKeys_ && IsDialogMessageA(hwnd_, &msg);
}

bool Window::PreTranslateAll(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  // A copy: a handler run by a translated key may create or destroy windows.
  const std::vector<Window*> windows = Translators();
  for (Window* window : windows)
    if (std::find(Translators().begin(), Translators().end(), window) != Translators().end() &&
        window->PreTranslate(msg))
      return true;
  return false;
}

LRESULT Window::Default(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcA(hwnd_, msg, wp, lp); }

LRESULT Window::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) { return Crack(msg, wp, lp); }

LRESULT Window::Crack(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      OnPaint(dc);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      if (OnPaint(reinterpret_cast<HDC>(wp))) return 0;
      break;
    case WM_COMMAND:
      if (OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp))) return 0;
      break;
    case WM_NOTIFY:
      if (auto result = OnNotify(*reinterpret_cast<NMHDR*>(lp))) return *result;
      break;
    case WM_TIMER:
      OnTimer(wp);
      return 0;
    case WM_KEYDOWN:
      if (OnKeyDown(wp)) return 0;
      break;
    case WM_SIZE:
      OnSize(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp));
      break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      MouseEvent e;
      e.message = msg;
      e.pt = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      e.keys = wp;
      if (OnMouse(e)) return 0;
      break;
    }
  }
  return Default(msg, wp, lp);
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
  // No exception may unwind through the system's frames: a handler that
  // throws loses its message, and the program goes on.
  try {
    if (msg == WM_NCDESTROY) {
      const LRESULT r = self->HandleMessage(msg, wp, lp);
      Forget(self);
      self->Detach();
      self->OnDestroyed();
      return r;
    }
    return self->HandleMessage(msg, wp, lp);
  } catch (...) {
    if (msg == WM_NCDESTROY && self->hwnd_) self->Detach();
    return DefWindowProcA(hwnd, msg, wp, lp);
  }
}

LRESULT CALLBACK Window::ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                     DWORD_PTR data) {
  auto* self = reinterpret_cast<Window*>(data);
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, &Window::ControlProc, kSubclassId);
  try {
    if (self && self->hwnd_)
      if (auto result = self->OnControlMessage(hwnd, msg, wp, lp)) return *result;
  } catch (...) {
    // As in Proc: the control gets its message as if nothing had been there.
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

bool Panel::Create(HWND parent, int id, DWORD style, const char* className, UINT classStyle,
                   Handlers handlers) {
  handlers_ = std::move(handlers);
  WindowArgs args;
  args.className = className;
  args.style = style | WS_CHILD;
  args.parent = parent;
  args.childId = id;
  args.classStyle = classStyle;
  args.backgroundColor = -1;  // every pixel is painted
  return CreateWindowFrom(args);
}

LRESULT Panel::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_ERASEBKGND && handlers_.paint) return 1;
  return Window::HandleMessage(msg, wp, lp);
}

bool Panel::OnPaint(HDC dc) {
  if (!handlers_.paint) return false;
  handlers_.paint(dc);
  return true;
}

bool Panel::OnMouse(const MouseEvent& e) { return handlers_.mouse && handlers_.mouse(e); }

HWND CreateChild(HWND parent, const char* cls, const char* text, DWORD style, int x, int y,
                 int width, int height, int id, DWORD exStyle) {
  HWND child = CreateWindowExA(exStyle, cls, text, style | WS_CHILD, x, y, width, height, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleA(nullptr), nullptr);
  if (child) SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), FALSE);
  return child;
}

}  // namespace velmora
