// One C++ object per window. The object is bound to its HWND at WM_NCCREATE,
// so the messages sent while the window is being created reach it. Messages
// arrive cracked (OnPaint, OnCommand, OnNotify, OnTimer, OnMouse, OnKey ...);
// HandleMessage sees every message first for what the hooks do not cover.
//
// Lifetime: a window object is owned through WindowPtr, whose deleter destroys
// the window while the derived object is still whole, so OnDestroyed and the
// derived handlers run. The base destructor is only a safety net: it detaches
// the object first, so a window destroyed from there never calls into a
// half-destroyed object.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <optional>

namespace velmora {

struct WindowArgs {
  const char* className = nullptr;
  const char* title = "";
  DWORD style = WS_POPUP;
  DWORD exStyle = 0;
  int x = 0, y = 0, width = 0, height = 0;
  HWND parent = nullptr;  // the owner of a top-level window, the parent of a child
  int childId = 0;        // for WS_CHILD windows
  HICON icon = nullptr;
  HCURSOR cursor = nullptr;
  int backgroundColor = COLOR_BTNFACE;  // a system colour index; -1 for none
  UINT classStyle = 0;
  // Tab, Shift+Tab, Enter, Esc and Alt+letter go to the window's controls the
  // way a dialog box handles them.
  bool dialogKeys = false;
};

struct MouseEvent {
  UINT message = 0;  // WM_MOUSEMOVE, WM_LBUTTONDOWN, ...
  POINT pt{};        // client coordinates, pixels
  WPARAM keys = 0;   // MK_* flags
  bool Left() const { return (keys & MK_LBUTTON) != 0; }
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

  // The message loop asks every window before a message is dispatched: its
  // accelerators, then its dialog keys. True when the message was used up.
  bool PreTranslate(MSG& msg);
  // Runs the pre-translate chain over every live window. The main loop, the
  // loop that lets pending messages run and every modal loop go through it.
  static bool PreTranslateAll(MSG& msg);

 protected:
  bool CreateWindowFrom(const WindowArgs& args);
  // Keyboard shortcuts of this window (and its children), translated to
  // WM_COMMAND before anything else sees the key. The table is owned here.
  void SetAccelerators(const ACCEL* entries, int count);
  // Routes a child control's messages through OnControlMessage.
  void Subclass(HWND control);

  // Every message passes here first; the default cracks it into the hooks
  // below and hands what is left to DefWindowProc.
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);

  // WM_PAINT and WM_PRINTCLIENT both draw through here, so a window can be
  // captured on Wine as on Windows. False: the window does not paint itself.
  virtual bool OnPaint(HDC) { return false; }
  virtual bool OnCommand(int /*id*/, int /*code*/, HWND /*control*/) { return false; }
  virtual std::optional<LRESULT> OnNotify(NMHDR&) { return std::nullopt; }
  virtual void OnTimer(UINT_PTR) {}
  virtual bool OnMouse(const MouseEvent&) { return false; }
  virtual bool OnKeyDown(WPARAM /*key*/) { return false; }
  virtual void OnSize(UINT /*state*/, int /*width*/, int /*height*/) {}
  // A subclassed control's message; nullopt lets the control have it.
  virtual std::optional<LRESULT> OnControlMessage(HWND, UINT, WPARAM, LPARAM) {
    return std::nullopt;
  }
  // Called from WM_NCDESTROY, after which hwnd() is null.
  virtual void OnDestroyed() {}

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                      DWORD_PTR self);
  LRESULT Crack(UINT msg, WPARAM wp, LPARAM lp);
  void Detach();

  HWND hwnd_ = nullptr;
  HACCEL accelerators_ = nullptr;
  bool dialogKeys_ = false;
};

// Owns a window object: the window goes first, then the object.
struct WindowDeleter {
  void operator()(Window* window) const {
    if (!window) return;
    window->Destroy();
    delete window;
  }
};
template <class T>
using WindowPtr = std::unique_ptr<T, WindowDeleter>;
template <class T, class... Args>
WindowPtr<T> MakeWindow(Args&&... args) {
  return WindowPtr<T>(new T(std::forward<Args>(args)...));
}

// A child window that paints itself and reports its mouse through callbacks:
// pictures, strips and pages of the program's windows.
class Panel : public Window {
 public:
  struct Handlers {
    std::function<void(HDC)> paint;
    std::function<bool(const MouseEvent&)> mouse;  // true: handled
  };
  // `className` names the class; CS_DBLCLKS in `classStyle` for double clicks.
  bool Create(HWND parent, int id, DWORD style, const char* className, UINT classStyle,
              Handlers handlers);

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnPaint(HDC dc) override;
  bool OnMouse(const MouseEvent& e) override;
  Handlers handlers_;
};

// Registers a window class once; later calls with the same name do nothing.
// Every class of the program goes through here.
bool EnsureWindowClass(const char* name, WNDPROC proc, UINT style, HICON icon, HCURSOR cursor,
                       int backgroundColor);

// A child control of a window, e.g. a STATIC label or a BUTTON, in the dialog font.
HWND CreateChild(HWND parent, const char* cls, const char* text, DWORD style, int x, int y,
                 int width, int height, int id, DWORD exStyle = 0);

}  // namespace velmora
