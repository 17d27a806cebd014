// The window base, the scoped handles and the tree-view wrapper against the
// real system: what every window of the program stands on.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/dialogs_win.h"
#include "platform/handles_win.h"
#include "platform/treeview_win.h"
#include "platform/ui_win.h"
#include "platform/window_win.h"
#include "shell/frmStartup.h"
#include "win_test_support.h"

namespace velmora {
namespace {

// The dialog font is made once for the whole run; it is made before counting.
long GdiCount() {
  UiFont();
  return static_cast<long>(ResourceCountsReply(0));
}

// A window that holds a bitmap of its own, releases a second one when its
// window is destroyed, and throws from one of its handlers.
class Probe : public Window {
 public:
  static constexpr UINT kThrow = WM_APP + 1;
  bool Load(bool dialogKeys = false) {
    WindowArgs args;
    args.className = "VelmoraTestProbe";
    args.style = WS_OVERLAPPED | WS_CAPTION;
    args.width = 200;
    args.height = 100;
    args.dialogKeys = dialogKeys;
    if (!CreateWindowFrom(args)) return false;
    WindowDC screen{nullptr};
    owned_.reset(CreateCompatibleBitmap(screen.get(), 8, 8));
    lent_.reset(CreateCompatibleBitmap(screen.get(), 8, 8));
    button_ = CreateChild(hwnd(), "BUTTON", "&Go", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 10, 10,
                          80, 24, 42);
    return true;
  }
  int destroyedCalls = 0;
  int commands = 0;
  HWND button_ = nullptr;

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == kThrow) throw std::runtime_error("a handler failed");
    return Window::HandleMessage(msg, wp, lp);
  }
  bool OnCommand(int id, int, HWND) override {
    if (id == 42) ++commands;
    return id == 42;
  }
  void OnDestroyed() override {
    ++destroyedCalls;
    lent_.reset();
  }
  GdiBitmap owned_;
  GdiBitmap lent_;
};

TEST(WindowBase, ObjectsReleaseEverythingWhenTheyGoWhicheverWayTheyGo) {
  const long before = GdiCount();
  {
    auto probe = MakeWindow<Probe>();
    ASSERT_TRUE(probe->Load());
    EXPECT_EQ(GdiCount(), before + 2);
    Probe* raw = probe.get();
    probe.reset();  // the window first, then the object: OnDestroyed runs
    (void)raw;
  }
  EXPECT_EQ(GdiCount(), before);

  // A window destroyed by the system (its owner went) calls OnDestroyed too.
  Probe probe;
  ASSERT_TRUE(probe.Load());
  DestroyWindow(probe.hwnd());
  EXPECT_EQ(probe.destroyedCalls, 1);
  EXPECT_FALSE(probe.Loaded());
  EXPECT_EQ(GdiCount(), before + 1);  // the owned bitmap stays with the object
}

TEST(WindowBase, TheSplashPictureIsReleasedWithItsWindow) {
  const long before = GdiCount();
  const Tpp tpp = Tpp::FromScreen();
  {
    auto splash = MakeWindow<frmStartup>();
    ASSERT_TRUE(splash->Load(GetModuleHandleA(nullptr), tpp));
    splash->Progress();
  }
  EXPECT_EQ(GdiCount(), before);
}

TEST(WindowBase, AnExceptionInAHandlerStaysInsideTheWindow) {
  auto probe = MakeWindow<Probe>();
  ASSERT_TRUE(probe->Load());
  SendMessageA(probe->hwnd(), Probe::kThrow, 0, 0);
  // Still alive and answering.
  EXPECT_TRUE(IsWindow(probe->hwnd()));
  SendMessageA(probe->hwnd(), WM_COMMAND, MAKEWPARAM(42, BN_CLICKED), 0);
  EXPECT_EQ(probe->commands, 1);
}

TEST(WindowBase, DialogKeysReachTheControlsThroughTheMessageLoop) {
  auto probe = MakeWindow<Probe>();
  ASSERT_TRUE(probe->Load(true));
  ShowWindow(probe->hwnd(), SW_SHOW);
  SetForegroundWindow(probe->hwnd());
  SetFocus(probe->button_);
  // Alt+G presses the button whose caption has the mnemonic "&Go".
  PostMessageA(probe->button_, WM_SYSCHAR, 'g', 1 << 29);
  ASSERT_TRUE(wintest::WaitFor([&] { return probe->commands == 1; }, 5000));
}

TEST(ScopedHandles, SelectionPutsTheDcsOwnObjectBack) {
  WindowDC screen{nullptr};
  MemoryDC dc{screen.get()};
  const HGDIOBJ original = GetCurrentObject(dc.get(), OBJ_BITMAP);
  GdiBitmap bitmap(CreateCompatibleBitmap(screen.get(), 4, 4));
  {
    Selection selected(dc.get(), bitmap.get());
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), bitmap.get());
  }
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), original);
}

TEST(ScopedHandles, MovingHandsTheHandleOnAndCountsItOnce) {
  const long before = GdiCount();
  WindowDC screen{nullptr};
  GdiBitmap a(CreateCompatibleBitmap(screen.get(), 4, 4));
  GdiBitmap b = std::move(a);
  EXPECT_FALSE(a);
  EXPECT_TRUE(b);
  EXPECT_EQ(GdiCount(), before + 2);  // the screen DC and one bitmap
  b.reset();
  EXPECT_EQ(GdiCount(), before + 1);
}

TEST(OpenFileDialog, ResultTextKeepsOnePathOrTheFolderAndEachName) {
  const char single[] = "C:\\Docs\\a.txt\0\0junk";
  EXPECT_EQ(OpenFileResult(single, sizeof single), "C:\\Docs\\a.txt");
  const char several[] = "C:\\Docs\0a.txt\0b c.txt\0\0junk";
  EXPECT_EQ(OpenFileResult(several, sizeof several), std::string("C:\\Docs\0a.txt\0b c.txt\0", 22));
  const char unterminated[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(OpenFileResult(unterminated, sizeof unterminated), "abcd");
}

class TreeFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(parent_.Load());
    ASSERT_TRUE(tree_.Create(parent_.hwnd(), 7));
    MoveWindow(tree_.hwnd(), 0, 0, 180, 300, FALSE);
  }
  std::string TextOf(HTREEITEM item) {
    char text[64] = "";
    TVITEMA data{};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = sizeof text;
    SendMessageA(tree_.hwnd(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    return text;
  }
  // The node ids of the children of `parent` (nullptr: top level), in order.
  std::vector<int> Children(HTREEITEM parent) {
    std::vector<int> out;
    for (HTREEITEM item = parent ? TreeView_GetChild(tree_.hwnd(), parent) : TreeView_GetRoot(tree_.hwnd());
         item; item = TreeView_GetNextSibling(tree_.hwnd(), item))
      out.push_back(*tree_.NodeOf(item));
    return out;
  }
  Probe parent_;
  TreeViewControl tree_;
};

TEST_F(TreeFixture, ItemsGoWhereTheModelSaysAndMapBackToNodes) {
  using P = TreeViewControl::Place;
  ASSERT_TRUE(tree_.Insert(1, std::nullopt, P::Last, std::nullopt, "Menu Buttons", 0));
  ASSERT_TRUE(tree_.Insert(2, 1, P::Last, std::nullopt, "Tools", 0));
  ASSERT_TRUE(tree_.Insert(3, 1, P::Last, std::nullopt, "Games", 0));
  ASSERT_TRUE(tree_.Insert(4, 1, P::Before, 2, "First", 0));
  ASSERT_TRUE(tree_.Insert(5, 1, P::After, 2, "Second", 0));
  ASSERT_TRUE(tree_.Insert(6, 1, P::Before, 3, "Fourth", 0));
  EXPECT_EQ(Children(tree_.ItemOf(1)), (std::vector<int>{4, 2, 5, 6, 3}));
  EXPECT_FALSE(tree_.Insert(9, 77, P::Last, std::nullopt, "orphan", 0)) << "no such parent";

  tree_.SetText(5, "Renamed");
  EXPECT_EQ(TextOf(tree_.ItemOf(5)), "Renamed");
  tree_.Select(6);
  EXPECT_EQ(tree_.Selected(), 6);

  // Removing a node forgets its children too; ids are never looked up stale.
  ASSERT_TRUE(tree_.Insert(7, 2, P::Last, std::nullopt, "Child", 0));
  tree_.Remove(2);
  EXPECT_FALSE(tree_.Shows(2));
  EXPECT_FALSE(tree_.Shows(7));
  EXPECT_EQ(tree_.Count(), 5u);
  EXPECT_EQ(Children(tree_.ItemOf(1)), (std::vector<int>{4, 5, 6, 3}));

  tree_.Expand(1, true);
  RECT r{};
  ASSERT_TRUE(TreeView_GetItemRect(tree_.hwnd(), tree_.ItemOf(6), &r, TRUE));
  EXPECT_EQ(tree_.HitTest({r.left + 2, (r.top + r.bottom) / 2}), 6);
  EXPECT_EQ(tree_.HitTest({2, 290}), std::nullopt) << "empty space below the items";
}

}  // namespace
}  // namespace velmora
