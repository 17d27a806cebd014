// The Customize page's Options menu, its first-use tips and the icon library
// as a user meets them: options chosen in the menu reach vlmra250.dat when the
// program ends and tick the menu at the next opening; the Startup shortcut
// comes and goes; the toolbar follows the placement and click options at
// once; each tip shows until its box is ticked and comes back after a reset;
// an icon picked from a category ends up in the menu file.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "cust_driver.h"
#include "customize/cust_options.h"
#include "customize/cust_tables.h"
#include "driver.h"
#include "fixture.h"
#include "shell/startup.h"

namespace velmora::e2e {
namespace {

const std::string kSavePrompt = "Do you want to save your changes before you exit?";

std::string WithOption(std::string options, int position, bool on) {
  options[static_cast<std::size_t>(position - 1)] = on ? '1' : '0';
  return options;
}

unsigned Marks(std::initializer_list<int> ids) {
  unsigned bits = 0;
  for (const int id : ids) bits |= 1u << (id - kOptionsMenuFirst);
  return bits;
}

std::string MarkNames(std::optional<unsigned> bits) {
  if (!bits) return "<no answer>";
  std::string out;
  for (const CommandInfo& item : kOptionsMenu)
    if (item.id != 0 && (*bits & (1u << (item.id - kOptionsMenuFirst)))) out += std::string(item.caption) + "; ";
  return out;
}

// A 32 x 32 icon file of one colour (32-bit picture and its AND mask).
std::string IconFile(std::uint32_t argb) {
  constexpr std::uint32_t n = 32, pixels = n * n * 4, mask = n * 4;
  std::string out;
  const auto u16 = [&](std::uint32_t v) {
    for (int i = 0; i < 2; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  const auto u32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  u16(0), u16(1), u16(1);                                      // the directory: one picture
  out += static_cast<char>(n), out += static_cast<char>(n), u16(0);
  u16(1), u16(32), u32(40 + pixels + mask), u32(22);
  u32(40), u32(n), u32(2 * n), u16(1), u16(32), u32(0), u32(pixels + mask), u32(0), u32(0), u32(0), u32(0);
  for (std::uint32_t i = 0; i < n * n; ++i) u32(argb);
  out.append(mask, '\0');
  return out;
}

// The screen point of icon `index` of a library grid: rows of 900 x 600 twip
// icons, 200 twips apart across and 400 down (room for the caption), the
// block of columns centred in the grid, 150 twips below its top.
POINT LibraryIconPoint(HWND grid, int index) {
  RECT client{};
  GetClientRect(grid, &client);
  const double tppX = TwipsPerPixelX(), tppY = TwipsPerPixelY(), width = client.right * tppX;
  const int columns = std::max(1, static_cast<int>(width / 1100));
  const double left = (width - (columns * 1100 - 200)) / 2;
  const int row = index / columns, column = index % columns;
  POINT at{static_cast<int>((left + column * 1100 + 450) / tppX),
           static_cast<int>((150 + row * 1000 + 300) / tppY)};
  ClientToScreen(grid, &at);
  return at;
}

// Whether the icon at screen point `at` shows the selection's highlight.
bool IconLit(HWND grid, POINT at) {
  ScreenToClient(grid, &at);
  const Capture c = CaptureClient(grid);
  const DWORD highlight = AsPixel(GetSysColor(COLOR_HIGHLIGHT));
  int lit = 0;
  for (int y = std::max(0, static_cast<int>(at.y) - 30); y < std::min(c.height, static_cast<int>(at.y) + 40); ++y)
    for (int x = std::max(0, static_cast<int>(at.x) - 30); x < std::min(c.width, static_cast<int>(at.x) + 30); ++x)
      lit += c.At(x, y) == highlight;
  return lit >= 20;
}

// Shows category `row` of the library's list (0: All Categories) by a click;
// its grid once on the screen.
HWND ShowCategory(App& app, HWND library, int row) {
  HWND list = GetDlgItem(library, 100);
  if (!list) return nullptr;
  const int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  POINT item{8, row * height + height / 2};
  ClientToScreen(list, &item);
  ClickAt(item);
  HWND grid = nullptr;
  app.WaitUntil([&] {
    grid = GetDlgItem(library, 1000 + row);
    return grid && IsWindowVisible(grid);
  });
  return grid && IsWindowVisible(grid) ? grid : nullptr;
}

struct Tip {
  HWND window = nullptr;
  std::string caption, title, text;
};

class OptionsMenu : public PageTest {
 protected:
  bool Start(App& app, const std::string& options) {
    EXPECT_TRUE(folder_.Write(kOptionsFile, options));
    return ProgramTest::Start(app);
  }
  void Choose(App& app, int id) { ASSERT_TRUE(ChooseOptionsItem(app, *page_, id)) << app.Report(); }
  bool WaitMarks(App& app, unsigned expected) {
    return app.WaitUntil([&] { return OptionMarks(*page_) == expected; });
  }

  // Answers the message box that shows exactly `text` with OK.
  void Acknowledge(App& app, const std::string& text) {
    auto box = app.WaitForMessageBox(text);
    ASSERT_TRUE(box) << "no message \"" << text << "\" " << app.Report();
    EXPECT_EQ(box->text, text);
    EXPECT_EQ(box->caption, "Velmora");
    ASSERT_TRUE(box->Press(IDOK));
    ASSERT_TRUE(box->WaitGone());
  }

  void Press(int controlId) { ClickAt(page_->ControlCentre(controlId)); }
  // A window Wine has only just mapped can let a first click through to the
  // window below it: a click that did nothing is made again.
  bool ClickUntil(App& app, POINT at, const std::function<bool()>& done) {
    for (int attempt = 0; attempt < 3; ++attempt) {
      ClickAt(at);
      if (app.WaitUntil(done, 3000)) return true;
    }
    return false;
  }
  // Clicks into a box and waits until it has the keyboard.
  bool FocusBox(App& app, int id) {
    HWND box = page_->Control(id);
    return ClickUntil(app, CenterOf(WindowRect(box)), [&] {
      GUITHREADINFO info{};
      info.cbSize = sizeof info;
      return GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &info) && info.hwndFocus == box;
    });
  }
  bool ClickNode(App& app, const std::vector<std::string>& path) {
    std::optional<POINT> at;
    if (!app.WaitUntil([&] { return (at = tree_->TextCentre(tree_->Find(path))).has_value(); })) return false;
    ClickAt(*at);
    return app.WaitUntil([&] { return tree_->Selected() == tree_->Find(path); });
  }
  // Opens the selected menu button from the keyboard, then selects `entry`.
  bool SelectEntry(App& app, const std::string& menu, const std::string& entry) {
    HTREEITEM item = tree_->Find({"Menu Buttons", menu});
    if (tree_->Selected() != item && !ClickNode(app, {"Menu Buttons", menu})) return false;
    PressKey(VK_RIGHT);
    if (!app.WaitUntil([&] { return tree_->Expanded(item); })) return false;
    return ClickNode(app, {"Menu Buttons", menu, entry});
  }

  std::optional<Tip> WaitForTip(App& app, DWORD timeoutMs = DefaultTimeout()) {
    HWND w = app.WaitForWindow(Visible("VelmoraTip"), timeoutMs);
    if (!w) return std::nullopt;
    return Tip{w, CaptionOf(w), ChildText(w, 102), ChildText(w, 103)};
  }
  // Presses a button that shows a tip first. A click that a page just given
  // back the front let through is made again; the tip, modal, takes any
  // click that comes after it.
  std::optional<Tip> PressForTip(App& app, int controlId) {
    for (int attempt = 0; attempt < 3; ++attempt) {
      Press(controlId);
      if (auto tip = WaitForTip(app, 3000)) return tip;
    }
    return std::nullopt;
  }
  // Ticks "&Don't show this message again" when asked to, then presses OK.
  void CloseTip(App& app, const Tip& tip, bool dontShowAgain) {
    HWND check = GetDlgItem(tip.window, 101);
    ASSERT_TRUE(check);
    EXPECT_EQ(ControlText(check), "&Don't show this message again");
    if (dontShowAgain) {
      ASSERT_TRUE(ClickUntil(app, CenterOf(WindowRect(check)),
                             [&] { return SendMessageA(check, BM_GETCHECK, 0, 0) == BST_CHECKED; }));
    }
    ASSERT_TRUE(ClickUntil(app, CenterOf(WindowRect(GetDlgItem(tip.window, IDOK))),
                           [&] { return !IsWindow(tip.window); }))
        << app.Report();
  }
  void ExpectTip(const Tip& tip, TipId id, const std::string& text) {
    EXPECT_EQ(tip.caption, "   Tip");
    EXPECT_EQ(tip.title, FindTip(id).title);
    EXPECT_EQ(tip.text, text);
  }
  void CancelFileDialog(App& app) {
    HWND dialog = WaitForFileDialog(app, "Select one file");
    ASSERT_TRUE(dialog) << app.Report();
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(app.WaitUntil([&] { return !IsWindow(dialog); }));
    ASSERT_TRUE(PageReady(app, *page_));
  }

  HWND WaitForLibrary(App& app) { return app.WaitForWindow(Visible("VelmoraLibrary")); }
  void CancelLibrary(App& app, HWND library) {
    ASSERT_TRUE(ClickUntil(app, CenterOf(WindowRect(GetDlgItem(library, IDCANCEL))),
                           [&] { return !IsWindowVisible(library); }));
    ASSERT_TRUE(PageReady(app, *page_));
  }

};

// ---------------------------------------------------------------------------

// The three toggles are chosen, the file holds them after the exit, the next
// page ticks the menu by them, and choosing them again restores the string.
// "Leave Extension in File Title" also keeps the extension of a file added
// from now on.
TEST_F(OptionsMenu, ToggledOptionsAreSavedAtExitAndTickTheMenuNextTime) {
  const std::string picks = folder_.WorkFolder() + "\\picks";
  ASSERT_TRUE(CreateDirectoryA(picks.c_str(), nullptr));
  ASSERT_TRUE(WriteBytes(picks + "\\notes.txt", "notes"));
  ASSERT_TRUE(folder_.Write("Menus\\BMENU001.MNU", ItemRecord("Tools", "", "") + ItemRecord("Alpha", "", "a.exe")));
  const unsigned settledMarks = Marks({kMnuOptionToolbarFixed, kMnuOptionRightPosition,
                                       kMnuOptionDoubleClick, kMnuOptionDefaultHTML});
  const unsigned toggledMarks = Marks({kMnuOptionToolbarFixed, kMnuOptionStartupScreen, kMnuOptionShowExtension,
                                       kMnuOptionDoubleClick, kMnuOptionDefaultHTML});
  std::string toggled = WithOption(kSettled, kOptNoSplash, false);
  toggled = WithOption(toggled, kOptCutExtension, true);
  toggled = WithOption(toggled, kOptNoRightAdjust, true);
  {
    App app(folder_);
    ASSERT_TRUE(Start(app, kSettled));
    ASSERT_TRUE(Open(app));
    EXPECT_EQ(OptionMarks(*page_), settledMarks) << MarkNames(OptionMarks(*page_));
    for (const int id : {kMnuOptionStartupScreen, kMnuOptionShowExtension, kMnuOptionRightPosition})
      ASSERT_NO_FATAL_FAILURE(Choose(app, id));
    EXPECT_TRUE(WaitMarks(app, toggledMarks)) << MarkNames(OptionMarks(*page_));

    ASSERT_TRUE(SelectEntry(app, "Tools", "Alpha"));
    Press(kIdCmdBrowseFiles);
    HWND dialog = WaitForFileDialog(app, "Select one or more files");
    ASSERT_TRUE(dialog) << app.Report();
    ASSERT_TRUE(ChooseInFileDialog(app, dialog, picks, "notes.txt"));
    EXPECT_TRUE(app.WaitUntil([&] { return tree_->Outline() == "Menu Buttons[Tools[notes.txt]],Single Buttons[]"; }))
        << tree_->Outline();

    ASSERT_TRUE(BringToForeground(page_->window));
    Press(kIdCmdCancel);
    auto box = app.WaitForMessageBox(kSavePrompt);
    ASSERT_TRUE(box) << app.Report();
    ASSERT_TRUE(box->Press(IDNO));
    ASSERT_TRUE(app.WaitUntil([&] { return !IsWindow(page_->window); }));
    // In memory only until the program ends.
    EXPECT_EQ(folder_.Read(kOptionsFile), kSettled);
    EXPECT_TRUE(app.Close());
    EXPECT_TRUE(app.ExitedCleanly());
  }
  EXPECT_EQ(folder_.Read(kOptionsFile), toggled);
  {
    App app(folder_);
    ASSERT_TRUE(Start(app, toggled));
    ASSERT_TRUE(Open(app));
    EXPECT_EQ(OptionMarks(*page_), toggledMarks) << MarkNames(OptionMarks(*page_));
    for (const int id : {kMnuOptionStartupScreen, kMnuOptionShowExtension, kMnuOptionRightPosition})
      ASSERT_NO_FATAL_FAILURE(Choose(app, id));
    EXPECT_TRUE(WaitMarks(app, settledMarks)) << MarkNames(OptionMarks(*page_));
    EXPECT_TRUE(app.Close());
  }
  EXPECT_EQ(folder_.Read(kOptionsFile), kSettled);
}

TEST_F(OptionsMenu, TheStartupShortcutIsSetAndRemovedWithItsMessages) {
  StartupLinkGuard link;
  ASSERT_TRUE(folder_.Write("Menus\\BMENU001.MNU", ItemRecord("Tools", "", "")));
  App app(folder_);
  ASSERT_TRUE(Start(app, kSettled));
  ASSERT_TRUE(Open(app));

  ASSERT_NO_FATAL_FAILURE(Choose(app, kMnuOptionRemove));
  ASSERT_NO_FATAL_FAILURE(Acknowledge(app, kNotInStartupText));

  ASSERT_NO_FATAL_FAILURE(Choose(app, kMnuOptionSet));
  ASSERT_NO_FATAL_FAILURE(Acknowledge(app, kShortcutCreatedText));
  const auto shortcut = ReadShortcut(StartupLinkPath());
  ASSERT_TRUE(shortcut) << "no " << StartupLinkPath();
  EXPECT_TRUE(SameText(shortcut->target, folder_.PathOf("Velmora.exe"))) << shortcut->target;

  ASSERT_NO_FATAL_FAILURE(Choose(app, kMnuOptionRemove));
  ASSERT_NO_FATAL_FAILURE(Acknowledge(app, kRemovedFromStartupText));
  EXPECT_FALSE(PathExists(StartupLinkPath()));
  // Neither item has a mark or touches the string.
  EXPECT_EQ(OptionMarks(*page_), Marks({kMnuOptionToolbarFixed, kMnuOptionRightPosition,
                                        kMnuOptionDoubleClick, kMnuOptionDefaultHTML}));
  EXPECT_TRUE(app.Close());
  EXPECT_EQ(folder_.Read(kOptionsFile), kSettled);
}

// With single buttons: "Toolbar Movable" lets a drag move the toolbar at
// once, "Toolbar in Fixed Position" puts it back beside the right margin at
// once, and the click option changes what one click on a single button does
// without a new start.
TEST_F(OptionsMenu, TheToolbarFollowsItsPlacementAndClickOptionsAtOnce) {
  ASSERT_TRUE(folder_.Write("Menus\\BMENU001.MNU", ItemRecord("Tools", "", "")));
  ASSERT_TRUE(folder_.Write("Menus\\BMENU001.BTN", ItemRecord("Run it", "", MarkerProgramPath() + " one")));
  for (const char* name : {"BMENU002.BTN", "BMENU003.BTN"})
    ASSERT_TRUE(folder_.Write(std::string("Menus\\") + name, ItemRecord("Other", "", "notepad.exe")));
  App app(folder_);
  ASSERT_TRUE(Start(app, kSettled));
  const double tpp = TwipsPerPixelX();
  const auto px = [&](double twips) { return static_cast<int>(std::lround(twips / tpp)); };
  // The margin beside a strip of three single buttons.
  const RECT start = WindowRect(toolbar_);
  const int fixedLeft = px((GetSystemMetrics(SM_CXSCREEN) - (start.right - start.left)) * tpp - 900);
  ASSERT_NEAR(start.left, fixedLeft, 1);
  ASSERT_TRUE(Open(app));

  // The first single button, pointed at until its tip shows: the toolbar
  // knows then which button a click is for, and keeps it while the pointer
  // stays. A pointer already resting there gets no move, so it is nudged.
  HWND strip = FindWindowExA(toolbar_, nullptr, "VelmoraSingleButtons", nullptr);
  ASSERT_TRUE(strip);
  const RECT r = WindowRect(strip);
  const POINT button{r.left + 12, (std::max<LONG>(r.top, 0) + r.bottom) / 2};
  MoveMouse(button);
  DWORD moved = GetTickCount();
  ASSERT_TRUE(app.WaitUntil([&] {
    if (GetTickCount() - moved > 250) {
      MoveMouse({button.x + 1, button.y});
      MoveMouse(button);
      moved = GetTickCount();
    }
    return app.Find(Visible("VelmoraHelpTip")) != nullptr;
  })) << "no tip over the single button";
  // The runs once every start a click made has written its record.
  const auto settledRuns = [&] {
    app.Sync();
    WaitUntil([] { return !MarkerProgramRunning(); });
    return MarkerRuns(marker_).size();
  };
  const auto runsReach = [&](std::size_t n) { return WaitUntil([&] { return MarkerRuns(marker_).size() >= n; }); };
  ClickAt(button);
  EXPECT_EQ(settledRuns(), 0u) << "one click ran a button set to double clicks";
  ASSERT_NO_FATAL_FAILURE(Choose(app, kMnuOptionSingleClick));
  ClickAt(button);
  EXPECT_TRUE(runsReach(1)) << "one click did not run it";
  EXPECT_EQ(settledRuns(), 1u);
  ASSERT_NO_FATAL_FAILURE(Choose(app, kMnuOptionDoubleClick));
  ClickAt(button);
  EXPECT_EQ(settledRuns(), 1u) << "back to double clicks, one click still ran it";
  DoubleClickAt(button);
  EXPECT_TRUE(runsReach(2)) << "a double click did not run it";
  EXPECT_EQ(settledRuns(), 2u);

  // Movable: the toolbar follows the mouse from the gap between its buttons
  // and the strip.
  ASSERT_NO_FATAL_FAILURE(Choose(app, kMnuOptionToolbarMovable));
  const RECT bar = WindowRect(toolbar1_);
  const int y = (std::max<LONG>(bar.top, 0) + bar.bottom) / 2;
  const POINT grab{bar.right + 2, y};
  MoveMouse({grab.x, y + 200});
  BringToForeground(toolbar_);
  MoveMouse(grab);
  LeftButtonAt(grab, true);
  const int distance = 240;
  for (int step = 1; step <= 4; ++step) {
    const POINT to{grab.x - distance * step / 4, y};
    const int expected = start.left - distance * step / 4;
    DWORD sent = GetTickCount();
    MoveMouse(to);
    // Under Wine the first move after the press can be dropped: a move that
    // is not followed is made again.
    app.WaitUntil([&] {
      if (std::abs(WindowRect(toolbar_).left - expected) <= 1) return true;
      if (GetTickCount() - sent > 250) {
        MoveMouse({to.x + 1, to.y});
        MoveMouse(to);
        sent = GetTickCount();
      }
      return false;
    }, 5000);
  }
  LeftButtonAt({grab.x - distance, y}, false);
  EXPECT_NEAR(WindowRect(toolbar_).left, start.left - distance, 1) << "the drag did not move the toolbar";

  // Fixed: straight back to its place, no rebuild (the same strip).
  ASSERT_NO_FATAL_FAILURE(Choose(app, kMnuOptionToolbarFixed));
  EXPECT_TRUE(app.WaitUntil([&] { return std::abs(WindowRect(toolbar_).left - fixedLeft) <= 1; }))
      << "left " << WindowRect(toolbar_).left << ", fixed place " << fixedLeft;
  EXPECT_TRUE(IsWindow(strip));
  EXPECT_TRUE(app.SeenMessages().empty()) << app.SeenMessages()[0];
  EXPECT_TRUE(app.Close());
  EXPECT_EQ(folder_.Read(kOptionsFile), kSettled);
}

// Each of the four tips on its first trigger, with its title and text; a
// ticked box stops the Icon Library tip, the reset brings it back, and the
// tick reaches the file at exit.
TEST_F(OptionsMenu, EachTipShowsUntilItsBoxIsTickedAndTheResetBringsThemBack) {
  ASSERT_TRUE(folder_.Write("Menus\\BMENU001.MNU", ItemRecord("Tools", "", "") + ItemRecord("Alpha", "", "a.exe")));
  App app(folder_);
  ASSERT_TRUE(Start(app, kSettled));
  ASSERT_TRUE(Open(app));
  const auto f3 = [&] {
    ASSERT_TRUE(FocusBox(app, kIdTxtFile));
    PressKey(VK_F3);
  };

  ASSERT_NO_FATAL_FAILURE(f3());
  auto tip = WaitForTip(app);
  ASSERT_TRUE(tip) << app.Report();
  ExpectTip(*tip, TipId::IconLibrary, FindTip(TipId::IconLibrary).text);
  ASSERT_NO_FATAL_FAILURE(CloseTip(app, *tip, true));
  HWND library = WaitForLibrary(app);
  ASSERT_TRUE(library) << app.Report();
  ASSERT_NO_FATAL_FAILURE(CancelLibrary(app, library));
  // Ticked: the library comes straight away.
  ASSERT_NO_FATAL_FAILURE(f3());
  ASSERT_TRUE(WaitForLibrary(app)) << app.Report();
  EXPECT_TRUE(FindWindows(app.Pid(), AnyState("VelmoraTip")).empty());
  ASSERT_NO_FATAL_FAILURE(CancelLibrary(app, library));

  ASSERT_TRUE(tip = PressForTip(app, kIdCmdAllFiles)) << app.Report();
  ExpectTip(*tip, TipId::OtherFilesIcons, FindTip(TipId::OtherFilesIcons).text);
  ASSERT_NO_FATAL_FAILURE(CloseTip(app, *tip, false));
  ASSERT_NO_FATAL_FAILURE(CancelFileDialog(app));

  ASSERT_TRUE(tip = PressForTip(app, kIdCmdSelect)) << app.Report();
  ExpectTip(*tip, TipId::SelectFile, FindTip(TipId::SelectFile).text);
  EXPECT_NE(tip->text.find("such as http://www.example.com/. Please"), std::string::npos);
  ASSERT_NO_FATAL_FAILURE(CloseTip(app, *tip, false));
  ASSERT_NO_FATAL_FAILURE(CancelFileDialog(app));

  // The ampersand's own text shows each doubled "&" as one.
  ASSERT_TRUE(FocusBox(app, kIdTxtTitle));
  TypeText("&");
  ASSERT_TRUE(tip = WaitForTip(app)) << app.Report();
  ExpectTip(*tip, TipId::Ampersand,
            "The Ampersand '&' character has an internal use in Windows. If you want to use it, "
            "you have to enter it twice &&. Otherwise, it will not appear as you expected.");
  ASSERT_NO_FATAL_FAILURE(CloseTip(app, *tip, false));
  EXPECT_TRUE(app.WaitUntil([&] { return page_->BoxText(kIdTxtTitle) == "Tools&"; })) << "the & was not typed";

  ASSERT_NO_FATAL_FAILURE(Choose(app, kMnuOptionReset));
  ASSERT_NO_FATAL_FAILURE(Acknowledge(app, kTipsResetText));
  ASSERT_NO_FATAL_FAILURE(f3());
  ASSERT_TRUE(tip = WaitForTip(app)) << "the reset did not bring the tip back " << app.Report();
  EXPECT_EQ(tip->title, "Icon Library");
  ASSERT_NO_FATAL_FAILURE(CloseTip(app, *tip, true));
  ASSERT_TRUE(WaitForLibrary(app));
  ASSERT_NO_FATAL_FAILURE(CancelLibrary(app, library));
  EXPECT_TRUE(app.Close());
  EXPECT_EQ(folder_.Read(kOptionsFile), WithOption(kSettled, kOptTipIconLibraryOff, true));
}

// An icon picked from a category view: OK puts its path into the Icon box and
// confirms it, the save writes it into the entry's record, and closing the
// page takes the library window with it.
TEST_F(OptionsMenu, AnIconPickedFromACategoryIsSavedAsTheEntrysIcon) {
  ASSERT_TRUE(folder_.MakeFolder("Icons"));
  const std::pair<const char*, std::uint32_t> icons[] = {
      {"alpha.ico", 0xFFC03030}, {"beta.ico", 0xFF30C030}, {"delta.ico", 0xFF3030C0}, {"gamma.ico", 0xFFC0C030}};
  for (const auto& [name, colour] : icons) ASSERT_TRUE(folder_.Write(std::string("Icons\\") + name, IconFile(colour)));
  // Sorted by name in its view: alpha, gamma; the missing one is left out.
  ASSERT_TRUE(folder_.Write("Icons\\Tools.ini", "gamma.ico\r\n\r\nmissing.ico\r\nalpha.ico\r\n"));
  ASSERT_TRUE(folder_.Write("Icons\\Games.ini", "beta.ico\r\n"));
  const std::string tools = ItemRecord("Tools", "", "");
  ASSERT_TRUE(folder_.Write("Menus\\BMENU001.MNU", tools + ItemRecord("Alpha", "", "a.exe")));
  App app(folder_);
  ASSERT_TRUE(Start(app, WithOption(kSettled, kOptTipIconLibraryOff, true)));
  ASSERT_TRUE(Open(app));
  ASSERT_TRUE(SelectEntry(app, "Tools", "Alpha"));

  Press(kIdCmdLibrary);
  HWND library = WaitForLibrary(app);
  ASSERT_TRUE(library) << app.Report();
  EXPECT_EQ(CaptionOf(library), "  Icon Library");
  EXPECT_EQ(GetWindow(library, GW_OWNER), page_->window);
  HWND list = GetDlgItem(library, 100);
  ASSERT_TRUE(list);
  ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 3);
  // "All Categories", "Games", "Tools".
  HWND grid = ShowCategory(app, library, 2);
  ASSERT_TRUE(grid) << "the Tools view did not show";
  const POINT gamma = LibraryIconPoint(grid, 1);
  ASSERT_FALSE(IconLit(grid, gamma));
  ASSERT_TRUE(ClickUntil(app, gamma, [&] { return IconLit(grid, gamma); })) << "the icon did not light up";
  ASSERT_TRUE(ClickUntil(app, CenterOf(WindowRect(GetDlgItem(library, IDOK))),
                         [&] { return page_->BoxText(kIdTxtFile) == "\\icons\\gamma.ico"; }))
      << "Icon box: " << page_->BoxText(kIdTxtFile);
  EXPECT_FALSE(IsWindowVisible(library));

  Press(kIdCmdSave);
  const std::string expected = tools + ItemRecord("Alpha", "\\icons\\gamma.ico", "a.exe");
  EXPECT_TRUE(app.WaitUntil([&] { return folder_.Read("Menus\\BMENU001.MNU") == expected; }));

  ASSERT_TRUE(BringToForeground(page_->window));
  Press(kIdCmdCancel);
  ASSERT_TRUE(app.WaitUntil([&] { return !IsWindow(page_->window); })) << app.Report();
  EXPECT_TRUE(FindWindows(app.Pid(), AnyState("VelmoraLibrary")).empty()) << "the library outlived the page";
  EXPECT_TRUE(app.SeenMessages().empty()) << app.SeenMessages()[0];
  EXPECT_TRUE(app.Close());
  EXPECT_TRUE(app.ExitedCleanly());
}

// ---------------------------------------------------------------------------
// Pictures for the documentation, not a check: run on its own with
// --gtest_also_run_disabled_tests and VELMORA_SHOT_FOLDER set (see
// quickmenu_test.cpp): the Options menu open on the page, and the icon
// library showing a category with an icon selected.
TEST_F(OptionsMenu, DISABLED_ScreenshotsForTheDocumentation) {
  const std::string dpi = std::to_string(ScreenDpi());
  const auto icon = [](const std::string& name) { return "\\Icons\\" + name + ".ico"; };
  const auto entry = [&](const std::string& title, const std::string& name) {
    return ItemRecord(title, icon(name), "notepad.exe");
  };
  ASSERT_TRUE(folder_.Write("Menus\\BMENU001.MNU", ItemRecord("Programs", icon("program"), "") +
                                                      entry("Text Editor", "editor") + entry("Calculator", "calc") +
                                                      entry("Character Map", "charmap")));
  ASSERT_TRUE(folder_.Write("Menus\\BMENU002.MNU", ItemRecord("Internet", icon("web"), "") + entry("Mail", "mail")));
  ASSERT_TRUE(folder_.Write("Menus\\BMENU003.MNU", ItemRecord("System", icon("system"), "") + entry("Monitor", "sysmon")));
  ASSERT_TRUE(folder_.Write("Menus\\BMENU001.BTN", ItemRecord("Net Search", icon("netsrch"), "NetSearch")));
  App app(folder_);
  // The icon library's pictures come with a start that has position 2 clear;
  // the library's tip is off, a few marks differ from the defaults.
  std::string options = WithOption(kSettled, kOptContentInstalled, false);
  options = WithOption(options, kOptTipIconLibraryOff, true);
  options = WithOption(options, kOptToolbarMovable, true);
  options = WithOption(options, kOptSingleClickLaunch, true);
  ASSERT_TRUE(Start(app, options));
  ASSERT_TRUE(Open(app));
  ASSERT_TRUE(SelectEntry(app, "Programs", "Calculator"));

  // The menu from the keyboard, "Leave Extension in File Title" lit.
  MoveMouse({8, GetSystemMetrics(SM_CYSCREEN) - 8});
  ASSERT_TRUE(BringToForeground(page_->window));
  ASSERT_TRUE(app.Sync());
  PressKey('O', {VK_MENU});
  HWND popup = WaitForPopupMenu(app);
  ASSERT_TRUE(popup);
  for (int i = 0; i < 6; ++i) PressKey(VK_DOWN);
  ASSERT_TRUE(app.Sync());
  Sleep(500);
  RECT area = WindowRect(page_->window);
  const RECT p = WindowRect(popup);
  UnionRect(&area, &area, &p);
  InflateRect(&area, 12, 12);
  EXPECT_TRUE(RequestScreenshot("options-" + dpi, area));
  PressKey(VK_ESCAPE);
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(app.WaitUntil([&] { return !app.Find(Visible("#32768")); }));

  Press(kIdCmdLibrary);
  HWND library = WaitForLibrary(app);
  ASSERT_TRUE(library) << app.Report();
  HWND grid = ShowCategory(app, library, 2);  // "Computer"
  ASSERT_TRUE(grid);
  ClickAt(LibraryIconPoint(grid, 7));
  MoveMouse({8, GetSystemMetrics(SM_CYSCREEN) - 8});
  ASSERT_TRUE(app.Sync());
  Sleep(500);
  area = WindowRect(library);
  InflateRect(&area, 12, 12);
  EXPECT_TRUE(RequestScreenshot("library-" + dpi, area));
  ASSERT_NO_FATAL_FAILURE(CancelLibrary(app, library));
  EXPECT_TRUE(app.Close());
}

}  // namespace
}  // namespace velmora::e2e
