// Quick menus and the program's own menu as a user meets them: a click on a
// menu button drops the menu under it, the keyboard and the mouse pick an
// entry, letters turn pages, Esc or a click elsewhere closes it; the own menu
// hides the toolbar, minimizes, shows the About box and ends the program.
//
// Rows are painted, not child windows, so the tests read the screen: the
// highlight bar is the only thing in the menu in the system highlight colour,
// and where it sits tells which row the program has selected.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>
#include <string>
#include <vector>

#include "cust_driver.h"
#include "driver.h"
#include "fixture.h"

namespace velmora::e2e {
namespace {

const std::string kEmptyCommand =
    "Empty string in the File Field. Check your entries in the Customize page.";
const std::string kNoMenu =
    "No menu or executable file found under this button. Check your configuration in the "
    "customize page.";
constexpr size_t kRecordSize = 570;

std::string Separator() { return ItemRecord("", "MenuLineSeparator", ""); }
std::string Breaker() { return ItemRecord("", "MenuBreaker", ""); }

double TppY() { return TwipsPerPixelY(); }
int PxY(double twips) { return static_cast<int>(std::lround(twips / TppY())); }

// Line height of the menu font (the message font of the system).
int MenuFontHeight() {
  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = sizeof ncm;
  HFONT font = nullptr;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
    font = CreateFontIndirectA(&ncm.lfMessageFont);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  if (font) DeleteObject(font);
  return tm.tmHeight;
}

// ---------------------------------------------------------------------------
// Top of the highlight bar in the menu's client area, -1 without one. The bar
// reaches the window's right edge, past every caption.
int HighlightTop(HWND menu) {
  const Capture c = CaptureClient(menu);
  if (c.width < 4) return -1;
  const DWORD highlight = AsPixel(GetSysColor(COLOR_HIGHLIGHT));
  for (int y = 0; y < c.height; ++y)
    if (c.At(c.width - 3, y) == highlight) return y;
  return -1;
}

// A window of another program for the user to switch to: a thread of its own
// keeps its message queue going, so that it takes activation like any window.
class OtherWindow {
 public:
  OtherWindow() {
    thread_ = std::thread([this] {
      WNDCLASSA wc{};
      wc.lpfnWndProc = DefWindowProcA;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
      wc.lpszClassName = "VelmoraE2eOther";
      RegisterClassA(&wc);
      HWND w = CreateWindowExA(0, wc.lpszClassName, "Another program", WS_OVERLAPPEDWINDOW, 200,
                               300, 500, 300, nullptr, nullptr, wc.hInstance, nullptr);
      ShowWindow(w, SW_SHOWNORMAL);
      threadId_ = GetCurrentThreadId();
      window_ = w;
      MSG msg;
      while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      DestroyWindow(w);
    });
    WaitUntil([this] { return window_.load() != nullptr; });
  }
  ~OtherWindow() {
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    thread_.join();
  }
  HWND Handle() const { return window_; }
  POINT Middle() const { return CenterOf(WindowRect(window_)); }
  // A click into its client area, as a user switching programs does.
  bool Activate() {
    ClickAt(Middle());
    return WaitUntil([this] { return GetForegroundWindow() == window_; }, 5000) ||
           (BringToForeground(window_) &&
            WaitUntil([this] { return GetForegroundWindow() == window_; }, 5000));
  }

 private:
  std::thread thread_;
  std::atomic<HWND> window_{nullptr};
  std::atomic<DWORD> threadId_{0};
};

// ---------------------------------------------------------------------------
class MenuTest : public ProgramTest {
 protected:
  void WriteMenu(const std::string& name, const std::string& entries,
                 const std::string& buttonCommand = "") {
    ASSERT_TRUE(folder_.Write("Menus\\" + name, ItemRecord("Menu", "", buttonCommand) + entries));
  }
  std::string Entry(const std::string& title, const std::string& arg) const {
    return ItemRecord(title, "", helper_ + " " + arg);
  }

  // Starts the program and waits until its toolbar is up, idle and measured.
  bool Start(App& app) { return ProgramTest::Start(app) && MeasureButtons(); }
  bool MeasureButtons() {
    buttonWidth_ = LOWORD(SendMessageA(toolbar1_, TB_GETBUTTONSIZE, 0, 0));
    return buttonWidth_ > 0;
  }

  // Middle of button `index` (1 = the program's own), in its part on the screen.
  POINT ButtonPoint(int index) const {
    const RECT r = WindowRect(toolbar1_);
    return {r.left + (index - 1) * buttonWidth_ + buttonWidth_ / 2,
            (std::max<LONG>(r.top, 0) + r.bottom) / 2};
  }

  // Clicks button `index` and waits for its quick menu on the screen.
  HWND OpenMenu(App& app, int index) {
    const std::vector<HWND> before = FindWindows(app.Pid(), Visible("VelmoraQuickMenu"));
    ClickAt(ButtonPoint(index));
    HWND menu = nullptr;
    app.WaitUntil([&] {
      for (HWND w : FindWindows(app.Pid(), Visible("VelmoraQuickMenu")))
        if (std::find(before.begin(), before.end(), w) == before.end()) menu = w;
      return menu != nullptr;
    });
    if (!menu) return nullptr;
    // Keys reach the menu only once it is the foreground window; the program
    // asks for that itself, but under Wine the request can lose to the window
    // manager, so the test asks again rather than type into another window.
    const auto front = [&] { return GetForegroundWindow() == menu; };
    if (!app.WaitUntil(front, 3000) && !(BringToForeground(menu) && app.WaitUntil(front, 3000))) {
      ADD_FAILURE() << "the quick menu did not become the foreground window";
      return nullptr;
    }
    app.Sync();
    return menu;
  }

  // Moves the pointer off the toolbar and its menus, and waits for the
  // tool-tip it showed there to go: the tests read the screen.
  static void PointerAway(App& app) {
    MoveMouse({20, GetSystemMetrics(SM_CYSCREEN) - 20});
    app.WaitUntil([&] { return !app.Find(Visible("VelmoraHelpTip")); }, 3000);
    app.Sync();
  }

  static bool WaitHidden(App& app, HWND window) {
    return app.WaitUntil([&] { return !IsWindowVisible(window); });
  }

  // Esc only hides the menu; its 100 ms timer finishes the closing (highlight
  // and keyboard position reset) once another window is active, and shows
  // nothing of it. Reopened sooner, the menu is simply still open.
  static bool WaitClosed(App& app, HWND menu) {
    if (!WaitHidden(app, menu)) return false;
    const DWORD thread = GetWindowThreadProcessId(menu, nullptr);
    const bool inactive = app.WaitUntil([&] {
      GUITHREADINFO info{};
      info.cbSize = sizeof info;
      return GetGUIThreadInfo(thread, &info) && info.hwndActive != menu;
    });
    Sleep(300);
    return inactive && app.Sync();
  }

  // Presses `vk` and waits until the highlight bar has moved away from `from`.
  static int PressAndTrack(App& app, HWND menu, WORD vk, int from) {
    PressKey(vk);
    int top = from;
    app.WaitUntil([&] { return (top = HighlightTop(menu)) != from; }, 5000);
    return top;
  }
  static int TypeAndTrack(App& app, HWND menu, char ch, int from) {
    TypeText(std::string(1, ch));
    int top = from;
    app.WaitUntil([&] { return (top = HighlightTop(menu)) != from; }, 5000);
    return top;
  }

  // Where Down takes the highlight, from the first row round to the first
  // again: one place per row of the page.
  static std::vector<int> RowsByKeyboard(App& app, HWND menu) {
    std::vector<int> rows;
    int top = HighlightTop(menu);
    for (int i = 0; i < 60; ++i) {
      top = PressAndTrack(app, menu, VK_DOWN, top);
      if (top < 0 || (!rows.empty() && top == rows.front())) break;
      rows.push_back(top);
    }
    return rows;
  }

  // Opens the own menu and runs its entry `entry` (1 to 7) from the keyboard:
  // Down from no highlight goes to the first row.
  HWND ChooseOwn(App& app, int entry) {
    HWND menu = OpenMenu(app, 1);
    if (!menu) return nullptr;
    for (int i = 0; i < entry; ++i) PressKey(VK_DOWN);
    app.Sync();
    PressKey(VK_RETURN);
    return menu;
  }

  int buttonWidth_ = 0;
};

using QuickMenu = MenuTest;
using OwnMenu = MenuTest;

// ---------------------------------------------------------------------------
TEST_F(QuickMenu, OpensUnderItsButtonWithOneRowPerEntryAndIsReusedUnread) {
  // Six entries in three groups; the separator runs and the breaker at the end
  // add no row.
  ASSERT_NO_FATAL_FAILURE(WriteMenu("BMENU001.MNU", ItemRecord("First menu", "", "")));
  const std::string six = Entry("One", "1") + Entry("Two", "2") + Separator() + Separator() +
                          Entry("Three", "3") + Entry("Four", "4") + Separator() +
                          Entry("Five", "5") + Entry("Six", "6") + Breaker();
  ASSERT_NO_FATAL_FAILURE(WriteMenu("BMENU002.MNU", six));
  App app(folder_);
  ASSERT_TRUE(Start(app));

  HWND menu = OpenMenu(app, 3);
  ASSERT_TRUE(menu) << "no quick menu after a click on button 3 " << app.Report();
  const RECT placed = WindowRect(menu);
  const RECT bar = WindowRect(toolbar_);
  const RECT buttons = WindowRect(toolbar1_);
  EXPECT_EQ(placed.left, bar.left + 2 * buttonWidth_) << "not under button 3";
  EXPECT_LE(std::abs(placed.left - (buttons.left + 2 * buttonWidth_)), 1)
      << "menu at x " << placed.left << ", button 3 starts at "
      << buttons.left + 2 * buttonWidth_;
  // One pixel lower with large pixels, as the old program did.
  EXPECT_EQ(placed.top, bar.bottom + (TppY() > 14 ? 1 : 0)) << "toolbar bottom " << bar.bottom;
  EXPECT_TRUE(GetWindowLongA(menu, GWL_EXSTYLE) & WS_EX_TOPMOST);

  const std::vector<int> rows = RowsByKeyboard(app, menu);
  ASSERT_EQ(rows.size(), 6u) << "rows the highlight visits with Down";
  EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end()));
  // A single page ends 200 twips below its last row; the separators add 12
  // pixels of room each.
  const int rowHeight = MenuFontHeight() + (TppY() >= 14 ? 7 : 5);
  EXPECT_LE(std::abs((rows[2] - rows[1]) - (rowHeight + 12)), 1) << "separator room";
  EXPECT_LE(std::abs((rows[1] - rows[0]) - rowHeight), 1);
  RECT client{};
  GetClientRect(menu, &client);
  const int expectedHeight = PxY(100 + 200) + 6 * rowHeight - (rowHeight - MenuFontHeight()) + 24;
  EXPECT_LE(std::abs(static_cast<int>(placed.bottom - placed.top) - expectedHeight), 3)
      << "window " << placed.bottom - placed.top << " px high, client " << client.bottom;

  PressKey(VK_ESCAPE);
  ASSERT_TRUE(WaitClosed(app, menu)) << "Esc did not close the menu";
  // The file is read once: a changed file shows only after a rebuild.
  ASSERT_NO_FATAL_FAILURE(WriteMenu("BMENU002.MNU", Entry("Only", "only")));
  HWND again = OpenMenu(app, 3);
  ASSERT_TRUE(again) << "no menu on the second click";
  EXPECT_EQ(again, menu) << "a new window for the same button";
  const RECT second = WindowRect(again);
  EXPECT_TRUE(EqualRect(&second, &placed)) << "height " << second.bottom - second.top;
  EXPECT_EQ(HighlightTop(again), -1) << "the highlight survived the closing";
  EXPECT_EQ(RowsByKeyboard(app, again).size(), 6u) << "entries read again";

  // Another button gets a window of its own, and only one menu shows.
  HWND other = OpenMenu(app, 2);
  ASSERT_TRUE(other);
  EXPECT_NE(other, menu);
  EXPECT_FALSE(IsWindowVisible(menu)) << "the first menu stayed open";
  EXPECT_TRUE(app.Close());
  EXPECT_TRUE(app.ExitedCleanly());
  EXPECT_TRUE(app.SeenMessages().empty()) << app.SeenMessages()[0];
}

TEST_F(QuickMenu, EnterOrAClickRunsTheEntryAndAnEntryWithoutCommandSaysSo) {
  ASSERT_NO_FATAL_FAILURE(WriteMenu(
      "BMENU001.MNU", Entry("Alpha", "alpha") + Separator() + Entry("Beta", "beta") +
                          ItemRecord("Nothing", "", "") + Entry("Gamma", "gamma")));
  App app(folder_);
  ASSERT_TRUE(Start(app));

  HWND menu = OpenMenu(app, 2);
  ASSERT_TRUE(menu) << app.Report();
  int top = PressAndTrack(app, menu, VK_DOWN, -1);
  top = PressAndTrack(app, menu, VK_DOWN, top);
  ASSERT_GE(top, 0) << "no highlight after Down";
  PressKey(VK_RETURN);
  auto runs = WaitRuns(1);
  ASSERT_EQ(runs.size(), 1u) << "Enter ran nothing " << app.Report();
  EXPECT_EQ(runs[0].args, (std::vector<std::string>{"beta"}));
  EXPECT_TRUE(WaitHidden(app, menu)) << "menu stayed open after running an entry";

  // Up from nothing wraps to the last row; the mouse picks the row above it.
  menu = OpenMenu(app, 2);
  ASSERT_TRUE(menu);
  const int last = PressAndTrack(app, menu, VK_UP, -1);
  const int nothing = PressAndTrack(app, menu, VK_UP, last);
  ASSERT_GE(nothing, 0);
  ASSERT_LT(nothing, last);
  POINT origin{0, 0};
  ClientToScreen(menu, &origin);
  RECT client{};
  GetClientRect(menu, &client);
  // The bar starts 4 pixels into the gap above its row: aim at the row itself.
  const POINT row{origin.x + client.right / 2, origin.y + nothing + 12};
  MoveMouse(row);
  ASSERT_TRUE(app.WaitUntil([&] { return HighlightTop(menu) == nothing; }, 5000))
      << "pointer did not highlight the row, bar at " << HighlightTop(menu);
  ClickAt(row);
  auto box = app.WaitForMessageBox(kEmptyCommand);
  ASSERT_TRUE(box) << "no message for an entry without command " << app.Report();
  EXPECT_EQ(box->text, kEmptyCommand);
  EXPECT_EQ(box->caption, "Velmora");
  EXPECT_TRUE(box->HasButton(IDOK) && !box->HasButton(IDCANCEL));
  EXPECT_FALSE(IsWindowVisible(menu));
  ASSERT_TRUE(box->Press(IDOK));
  ASSERT_TRUE(box->WaitGone());

  // A click on the first row runs it.
  menu = OpenMenu(app, 2);
  ASSERT_TRUE(menu);
  const int first = PressAndTrack(app, menu, VK_DOWN, -1);
  ASSERT_GE(first, 0);
  ClickAt({origin.x + client.right / 2, origin.y + first + 12});
  runs = WaitRuns(2);
  ASSERT_EQ(runs.size(), 2u) << app.Report();
  EXPECT_EQ(runs[1].args, (std::vector<std::string>{"alpha"}));
  EXPECT_TRUE(WaitHidden(app, menu));
  EXPECT_TRUE(app.Close());
  EXPECT_TRUE(app.ExitedCleanly());
}

TEST_F(QuickMenu, LetterKeysSelectAcrossPagesAndTurnThem) {
  ASSERT_NO_FATAL_FAILURE(WriteMenu("BMENU001.MNU",
                                    Entry("Alpha", "a1") + Entry("Beta", "b1") + Breaker() +
                                        Separator() + Entry("Gamma", "g1") +
                                        Entry("apricot", "a2") + Breaker() + Breaker()));
  App app(folder_);
  ASSERT_TRUE(Start(app));
  HWND menu = OpenMenu(app, 2);
  ASSERT_TRUE(menu) << app.Report();
  PointerAway(app);
  // The arrow row is the bottom of the window: its pictures tell the pages
  // apart (up greyed on the first page, down greyed on the last).
  const Capture page0 = CaptureClient(menu);
  ASSERT_GT(page0.height, 40);
  const int arrowsTop = page0.height - 24;
  const auto arrowsNow = [&] { return CaptureClient(menu); };

  int top = TypeAndTrack(app, menu, 'g', -1);
  ASSERT_GE(top, 0) << "g selected nothing";
  EXPECT_TRUE(app.WaitUntil([&] { return !arrowsNow().SameArea(page0, arrowsTop, page0.height); },
                            5000))
      << "g did not turn to the second page";
  const Capture page1 = arrowsNow();
  const int gammaTop = top;

  // "a" cycles: apricot on this page, then Alpha back on the first page.
  top = TypeAndTrack(app, menu, 'a', top);
  EXPECT_GT(top, gammaTop) << "a did not move on to apricot";
  EXPECT_TRUE(arrowsNow().SameArea(page1, arrowsTop, page1.height)) << "page changed";
  const int apricotTop = top;
  top = TypeAndTrack(app, menu, 'a', top);
  EXPECT_EQ(top, gammaTop) << "a did not come round to Alpha, the first row";
  EXPECT_TRUE(app.WaitUntil([&] { return arrowsNow().SameArea(page0, arrowsTop, page0.height); },
                            5000))
      << "a did not turn back to the first page";
  top = TypeAndTrack(app, menu, 'B', top);
  EXPECT_EQ(top, apricotTop) << "B (any case) did not select Beta, the second row";

  // Enter runs what the letter found.
  PressKey(VK_RETURN);
  auto runs = WaitRuns(1);
  ASSERT_EQ(runs.size(), 1u) << app.Report();
  EXPECT_EQ(runs[0].args, (std::vector<std::string>{"b1"}));
  EXPECT_TRUE(app.Close());
  EXPECT_TRUE(app.ExitedCleanly());
}

TEST_F(QuickMenu, OddEntriesAndAnUnreadableFileNeverCrash) {
  // An empty title, a title as wide as the field, an icon source that does
  // not exist: each still gets a row that runs.
  ASSERT_NO_FATAL_FAILURE(WriteMenu(
      "BMENU001.MNU", ItemRecord("", "", helper_ + " untitled") +
                          ItemRecord(std::string(50, 'W'), "", helper_ + " wide") +
                          ItemRecord("Nowhere", "C:\\nowhere\\missing.exe", helper_ + " nowhere")));
  ASSERT_NO_FATAL_FAILURE(WriteMenu("BMENU002.MNU", Entry("Hidden", "hidden")));
  // Another program holds the second file for itself the whole time.
  HANDLE locked = CreateFileA(folder_.PathOf("Menus\\BMENU002.MNU").c_str(), GENERIC_READ, 0,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(folder_.Write(kOptionsFile, kSettled));
  App app(folder_);
  ASSERT_TRUE(app.Start()) << app.Error();
  // The build says which file it could not read, and goes on.
  auto box = app.WaitForMessageBox("Error: ");
  ASSERT_TRUE(box) << app.Report();
  EXPECT_EQ(box->text.rfind("Error: 32 - ", 0), 0u) << box->text;
  ASSERT_TRUE(box->Press(IDOK));
  ASSERT_TRUE(WaitUp(app) && MeasureButtons());

  HWND menu = OpenMenu(app, 2);
  ASSERT_TRUE(menu) << app.Report();
  EXPECT_LE(WindowRect(menu).right, GetSystemMetrics(SM_CXSCREEN)) << "off the screen";
  const std::vector<int> rows = RowsByKeyboard(app, menu);
  ASSERT_EQ(rows.size(), 3u);
  int top = HighlightTop(menu);  // Down came round to the first row
  top = PressAndTrack(app, menu, VK_DOWN, top);
  ASSERT_EQ(PressAndTrack(app, menu, VK_DOWN, top), rows[2]);
  PressKey(VK_RETURN);
  auto runs = WaitRuns(1);
  ASSERT_EQ(runs.size(), 1u) << app.Report();
  EXPECT_EQ(runs[0].args, (std::vector<std::string>{"nowhere"}));

  // The unreadable file opens an empty menu: no row to highlight, no other message.
  menu = OpenMenu(app, 3);
  ASSERT_TRUE(menu) << app.Report();
  PressKey(VK_DOWN);
  ASSERT_TRUE(app.Sync());
  EXPECT_EQ(HighlightTop(menu), -1);
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitHidden(app, menu));
  CloseHandle(locked);
  EXPECT_TRUE(app.Close());
  EXPECT_TRUE(app.ExitedCleanly());
  EXPECT_EQ(app.SeenMessages().size(), 1u);
}

// Keys typed in the same burst as the click that opens the menu all reach it:
// the letter finds its entry and Enter runs it, every time.
TEST_F(QuickMenu, NoKeyTypedRightAfterTheClickIsLost) {
  ASSERT_NO_FATAL_FAILURE(WriteMenu(
      "BMENU001.MNU", Entry("Alpha", "a") + Entry("Beta", "b") + Entry("Gamma", "g")));
  App app(folder_);
  ASSERT_TRUE(Start(app));
  // The menu once, so that every round below measures the same thing.
  HWND menu = OpenMenu(app, 2);
  ASSERT_TRUE(menu);
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(WaitHidden(app, menu));
  constexpr int kRounds = 50;
  for (int round = 1; round <= kRounds; ++round) {
    SCOPED_TRACE(round);
    ClickThenKeys(ButtonPoint(2), {'B', VK_RETURN});
    const auto runs = WaitRuns(static_cast<size_t>(round));
    ASSERT_EQ(runs.size(), static_cast<size_t>(round)) << app.Report();
    EXPECT_EQ(runs.back().args, (std::vector<std::string>{"b"}));
    ASSERT_TRUE(WaitHidden(app, menu));
  }
  EXPECT_TRUE(app.Close());
}

TEST_F(QuickMenu, EscAndAClickElsewhereCloseIt) {
  ASSERT_NO_FATAL_FAILURE(WriteMenu("BMENU001.MNU", Entry("Alpha", "a") + Entry("Beta", "b")));
  App app(folder_);
  ASSERT_TRUE(Start(app));
  OtherWindow other;
  ASSERT_TRUE(other.Handle());

  HWND menu = OpenMenu(app, 2);
  ASSERT_TRUE(menu) << app.Report();
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitHidden(app, menu)) << "Esc did not close it";

  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    menu = OpenMenu(app, 2);
    ASSERT_TRUE(menu);
    if (round == 1) PressAndTrack(app, menu, VK_DOWN, -1);  // keyboard mode does not keep it
    ClickAt(other.Middle());
    EXPECT_TRUE(WaitHidden(app, menu)) << "a click on another window did not close it";
  }
  ASSERT_TRUE(app.Sync());
  EXPECT_TRUE(MarkerRuns(marker_).empty()) << "closing ran an entry";
  EXPECT_TRUE(app.Close());
  EXPECT_TRUE(app.ExitedCleanly());
}

TEST_F(QuickMenu, AButtonHoldingOnlyItselfRunsItsCommandOrSaysThereIsNone) {
  ASSERT_NO_FATAL_FAILURE(WriteMenu("BMENU001.MNU", "", ""));
  ASSERT_NO_FATAL_FAILURE(WriteMenu("BMENU002.MNU", "", helper_ + " direct"));
  App app(folder_);
  ASSERT_TRUE(Start(app));

  ClickAt(ButtonPoint(2));
  auto box = app.WaitForMessageBox("No menu or executable");
  ASSERT_TRUE(box) << app.Report();
  EXPECT_EQ(box->text, kNoMenu);
  EXPECT_EQ(box->caption, "Velmora");
  EXPECT_TRUE(box->HasButton(IDOK) && !box->HasButton(IDCANCEL));
  ASSERT_TRUE(box->Press(IDOK));
  ASSERT_TRUE(box->WaitGone());

  ClickAt(ButtonPoint(3));
  auto runs = WaitRuns(1);
  ASSERT_EQ(runs.size(), 1u) << app.Report();
  EXPECT_EQ(runs[0].args, (std::vector<std::string>{"direct"}));
  ASSERT_TRUE(app.Sync());
  EXPECT_FALSE(app.Saw("VelmoraQuickMenu")) << "a menu opened for a button without entries";
  EXPECT_TRUE(app.Close());
  EXPECT_EQ(app.SeenMessages(), std::vector<std::string>{kNoMenu});
}

// ---------------------------------------------------------------------------
// The own menu: Customize, Auto Hide, Always on Top, Help Topics, About,
// Minimize, Exit.

TEST_F(OwnMenu, HasSevenCommandsAndAboutShowsItsThreeTabs) {
  ASSERT_NO_FATAL_FAILURE(WriteMenu("BMENU001.MNU", Entry("Alpha", "a")));
  App app(folder_);
  ASSERT_TRUE(Start(app));
  HWND menu = OpenMenu(app, 1);
  ASSERT_TRUE(menu) << app.Report();
  const auto file = folder_.Read("mainmenu.dat");
  ASSERT_TRUE(file) << "mainmenu.dat not written";
  EXPECT_EQ(file->size(), 11 * kRecordSize);
  EXPECT_EQ(RowsByKeyboard(app, menu).size(), 7u);
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(WaitClosed(app, menu));

  ASSERT_TRUE(ChooseOwn(app, 5));
  HWND about = app.WaitForWindow(Visible("VelmoraAbout"));
  ASSERT_TRUE(about) << "About did not open " << app.Report();
  HWND tabs = FindWindowExA(about, nullptr, WC_TABCONTROLA, nullptr);
  ASSERT_TRUE(tabs) << "About has no tab strip";
  EXPECT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 3);

  // The captions live in the program: ask for them through its own memory.
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                               app.Pid());
  ASSERT_TRUE(process);
  auto* remote = static_cast<char*>(
      VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  ASSERT_TRUE(remote);
  std::vector<std::string> captions;
  for (int i = 0; i < 3; ++i) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = remote + 1024;
    item.cchTextMax = 256;
    const char zero[256] = {};
    WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
    WriteProcessMemory(process, remote + 1024, zero, sizeof zero, nullptr);
    SendMessageA(tabs, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(remote));
    char text[256] = {};
    ReadProcessMemory(process, remote + 1024, text, sizeof text - 1, nullptr);
    captions.emplace_back(text);
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  EXPECT_EQ(captions, (std::vector<std::string>{"Velmora", "System", "Drives"}));

  // A second About only brings the open one forward.
  ASSERT_TRUE(ChooseOwn(app, 5));
  ASSERT_TRUE(app.Sync());
  EXPECT_EQ(FindWindows(app.Pid(), Visible("VelmoraAbout")).size(), 1u);
  EXPECT_TRUE(app.Close());
  EXPECT_TRUE(app.ExitedCleanly());
}

TEST_F(OwnMenu, AutoHideHidesTheToolbarBehindAnotherWindowAndAHoverBringsItBack) {
  ASSERT_NO_FATAL_FAILURE(WriteMenu("BMENU001.MNU", Entry("Alpha", "a")));
  App app(folder_);
  ASSERT_TRUE(Start(app));
  const RECT shown = WindowRect(toolbar_);
  OtherWindow other;
  ASSERT_TRUE(other.Handle());

  // Always on Top, the default: another program in front leaves the toolbar.
  ASSERT_TRUE(other.Activate()) << "the other window did not become active";
  MoveMouse(other.Middle());
  ASSERT_TRUE(app.Sync());
  EXPECT_FALSE(app.WaitUntil([&] { return !IsWindowVisible(toolbar_); }, 1500))
      << "toolbar hid without Auto Hide";

  HWND menu = ChooseOwn(app, 2);
  ASSERT_TRUE(menu) << app.Report();
  ASSERT_TRUE(WaitHidden(app, menu));
  ASSERT_TRUE(other.Activate());
  MoveMouse(other.Middle());
  ASSERT_TRUE(app.WaitUntil([&] { return !IsWindowVisible(toolbar_); }))
      << "Auto Hide did not hide the toolbar behind another window";

  // Pointing at the top edge where the toolbar was brings it back.
  MoveMouse({(shown.left + shown.right) / 2, 0});
  ASSERT_TRUE(app.WaitUntil([&] { return IsWindowVisible(toolbar_) != FALSE; }))
      << "a hover at the top edge did not bring the toolbar back";
  // The window manager may place it anew when shown; the toolbar puts itself
  // back to its place above the screen edge.
  RECT back{};
  EXPECT_TRUE(app.WaitUntil([&] {
    back = WindowRect(toolbar_);
    return EqualRect(&back, &shown);
  })) << "came back at " << back.left << "," << back.top << ", was at " << shown.left << ","
      << shown.top;

  // Always on Top again: it stays.
  menu = ChooseOwn(app, 3);
  ASSERT_TRUE(menu);
  ASSERT_TRUE(WaitHidden(app, menu));
  ASSERT_TRUE(other.Activate());
  MoveMouse(other.Middle());
  ASSERT_TRUE(app.Sync());
  EXPECT_FALSE(app.WaitUntil([&] { return !IsWindowVisible(toolbar_); }, 1500))
      << "toolbar still hides after Always on Top";
  EXPECT_TRUE(app.Close());
  EXPECT_TRUE(app.ExitedCleanly());
}

TEST_F(OwnMenu, MinimizeGoesToTheTaskbarAndRestoreBringsTheToolbarBack) {
  ASSERT_NO_FATAL_FAILURE(WriteMenu("BMENU001.MNU", Entry("Alpha", "a")));
  App app(folder_);
  ASSERT_TRUE(Start(app));
  HWND minimize = app.Find(Hidden("VelmoraMinimize"));
  ASSERT_TRUE(minimize);
  ASSERT_TRUE(ChooseOwn(app, 6)) << app.Report();
  ASSERT_TRUE(app.WaitUntil([&] {
    return IsWindowVisible(minimize) && IsIconic(minimize) && !IsWindowVisible(toolbar_);
  })) << "Minimize did not go to the taskbar " << app.Report();

  PostMessageA(minimize, WM_SYSCOMMAND, SC_RESTORE, 0);
  ASSERT_TRUE(app.WaitUntil(
      [&] { return !IsWindowVisible(minimize) && IsWindowVisible(toolbar_) != FALSE; }))
      << "restoring did not bring the toolbar back";
  // And the menus work as before.
  HWND menu = OpenMenu(app, 2);
  EXPECT_TRUE(menu) << "no menu after restoring";
  EXPECT_TRUE(app.Close());
  EXPECT_TRUE(app.ExitedCleanly());
}

TEST_F(OwnMenu, ExitEndsTheProgramAndSavesTheOptions) {
  ASSERT_NO_FATAL_FAILURE(WriteMenu("BMENU001.MNU", Entry("Alpha", "a")));
  App app(folder_);
  ASSERT_TRUE(Start(app));
  // Changed behind the program's back: only a save puts the options back.
  ASSERT_TRUE(folder_.Write(kOptionsFile, "0000000000000000"));
  ASSERT_TRUE(ChooseOwn(app, 7)) << app.Report();
  ASSERT_TRUE(app.WaitExit()) << "Exit did not end the program " << app.Report();
  EXPECT_TRUE(app.ExitedCleanly()) << std::hex << app.ExitCode();
  EXPECT_EQ(folder_.Read(kOptionsFile), kSettled);
  EXPECT_TRUE(app.SeenMessages().empty()) << app.SeenMessages()[0];
}

// ---------------------------------------------------------------------------
// Pictures for the documentation, not a check: run on its own with
// --gtest_also_run_disabled_tests and VELMORA_SHOT_FOLDER set to a folder that
// a script outside watches (RequestScreenshot in cust_driver.h).
TEST_F(QuickMenu, DISABLED_ScreenshotsForTheDocumentation) {
  const std::string dpi = std::to_string(ScreenDpi());
  // The pictures of the icon library, unpacked by the program on the start
  // that has position 2 clear.
  ASSERT_TRUE(folder_.Write(kOptionsFile, "1000000010000001"));
  auto icon = [](const std::string& name) { return "\\Icons\\" + name + ".ico"; };
  auto button = [&](const std::string& title, const std::string& name) {
    return ItemRecord(title, icon(name), "");
  };
  auto entry = [&](const std::string& title, const std::string& name) {
    return ItemRecord(title, icon(name), "notepad.exe");
  };
  const std::string menu =
      button("Programs", "program") + entry("Text Editor", "editor") +
      entry("Calculator", "calc") + entry("Character Map", "charmap") + Separator() +
      entry("Control Panel", "ctrpanel") + entry("Display Settings", "display") +
      entry("Printers", "printer") + Separator() + entry("Documents", "folder") +
      ItemRecord("Velmora on the Web", "http://velmora.app/", "http://velmora.app/") +
      ItemRecord("Plain entry without an icon", "", "notepad.exe") + Breaker() +
      entry("Games", "games") + entry("Music Player", "player") + entry("Video", "video") +
      Separator() + ItemRecord("Customize Velmora", "imgIcons cust", "");
  ASSERT_TRUE(folder_.Write("Menus\\BMENU001.MNU", menu));
  ASSERT_TRUE(folder_.Write("Menus\\BMENU002.MNU",
                            button("Internet", "web") + entry("Mail", "mail")));
  ASSERT_TRUE(folder_.Write("Menus\\BMENU003.MNU",
                            button("System", "system") + entry("Monitor", "sysmon")));
  ASSERT_TRUE(folder_.Write("Menus\\BMENU001.BTN",
                            ItemRecord("Net Search", icon("netsrch"), "NetSearch")));
  ASSERT_TRUE(folder_.Write("Menus\\BMENU002.BTN",
                            ItemRecord("My Computer", icon("mycomp"), "explorer.exe")));
  ASSERT_TRUE(folder_.Write("Menus\\BMENU003.BTN",
                            ItemRecord("Recycle Bin", icon("recycle"), "explorer.exe")));
  App app(folder_);
  ASSERT_TRUE(Start(app));
  MoveMouse({20, GetSystemMetrics(SM_CYSCREEN) - 20});
  ASSERT_TRUE(app.Sync());
  RECT bar = WindowRect(toolbar_);
  const int right = GetSystemMetrics(SM_CXSCREEN);
  ASSERT_TRUE(RequestScreenshot("toolbar-" + dpi, {bar.left - 40, 0, right, bar.bottom + 24}));

  HWND quick = OpenMenu(app, 2);
  ASSERT_TRUE(quick);
  // The pointer goes out of the picture; the keys keep the highlight.
  PointerAway(app);
  int top = -1;
  for (int i = 0; i < 3; ++i) top = PressAndTrack(app, quick, VK_DOWN, top);
  ASSERT_TRUE(app.Sync());
  const RECT m = WindowRect(quick);
  ASSERT_TRUE(RequestScreenshot("menu-" + dpi, {m.left - 24, 0, std::max(m.right, bar.right) + 16,
                                          m.bottom + 8}));
  EXPECT_TRUE(app.Close());
}

}  // namespace
}  // namespace velmora::e2e
