// The driver's input path, checked against a window of our own: every later
// test that clicks or types relies on it, and none of the start-up tests does.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "driver.h"

namespace velmora::e2e {
namespace {

// A top-level window with one edit control, run on its own thread so that the
// test thread can wait while the window takes input.
class EditWindow {
 public:
  EditWindow() {
    thread_ = std::thread([this] { Run(); });
    WaitUntil([&] { return ready_.load(); });
  }
  ~EditWindow() {
    if (frame_) PostMessageA(frame_, WM_CLOSE, 0, 0);
    thread_.join();
  }
  HWND frame() const { return frame_; }
  HWND edit() const { return edit_; }
  int clicks() const { return clicks_.load(); }

 private:
  static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<EditWindow*>(GetWindowLongPtrA(w, GWLP_USERDATA));
    if (msg == WM_LBUTTONDOWN && self) ++self->clicks_;
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(w, msg, wp, lp);
  }

  void Run() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VelmoraE2EDriverCheck";
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&wc);
    frame_ = CreateWindowExA(0, wc.lpszClassName, "driver check", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                             200, 200, 400, 200, nullptr, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrA(frame_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    edit_ = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
                            10, 10, 360, 24, frame_, nullptr, wc.hInstance, nullptr);
    ready_ = true;
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
    UnregisterClassA(wc.lpszClassName, wc.hInstance);
  }

  std::thread thread_;
  std::atomic<bool> ready_{false};
  std::atomic<int> clicks_{0};
  HWND frame_ = nullptr, edit_ = nullptr;
};

TEST(Driver, ClicksAndTypesLikeAUser) {
  EditWindow window;
  ASSERT_TRUE(window.frame() && window.edit());
  ASSERT_TRUE(BringToForeground(window.frame()));

  // A click on the frame outside the edit reaches the frame.
  RECT frame = WindowRect(window.frame());
  RECT edit = WindowRect(window.edit());
  ClickAt({(edit.left + edit.right) / 2, (edit.bottom + frame.bottom) / 2});
  EXPECT_TRUE(WaitUntil([&] { return window.clicks() == 1; })) << window.clicks();

  // Input is queued in order: the click gives the edit the focus before the
  // keys arrive.
  ClickAt(CenterOf(edit));
  const std::string text = "Hello, World! ~_+{}|:\"<>? 0123 abc";
  TypeText(text);
  EXPECT_TRUE(WaitUntil([&] { return ControlText(window.edit()) == text; }))
      << "typed: " << ControlText(window.edit());

  PressKey(VK_BACK);
  PressKey(VK_HOME);
  PressKey(VK_DELETE);
  PressKey('A', {VK_SHIFT});
  // Backspace took the last character, Home and Delete the first; Shift+A.
  std::string edited = text.substr(1, text.size() - 2);
  edited.insert(edited.begin(), 'A');
  EXPECT_TRUE(WaitUntil([&] { return ControlText(window.edit()) == edited; }))
      << "after editing keys: " << ControlText(window.edit());
}

}  // namespace
}  // namespace velmora::e2e
