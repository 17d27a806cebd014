// The icon library window over a real Icons folder, with a host standing in
// for the Customize page.
#include "iconlib/frmLibrary.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/file_system_win.h"
#include "platform/handles_win.h"
#include "platform/ui_win.h"
#include "win_test_support.h"

namespace velmora {
namespace {

class FakeHost : public LibraryHost {
 public:
  bool canTake = true;
  std::vector<std::string> chosen;
  int closed = 0;
  bool HostCanTakeIcon() override { return canTake; }
  void HostIconChosen(const std::string& iconPath) override { chosen.push_back(iconPath); }
  void HostLibraryClosed() override { ++closed; }
};

// The icons copied beside the test program at build time.
std::string TestIcon(const std::string& name) {
  char exe[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string folder = exe;
  folder.resize(folder.find_last_of('\\') + 1);
  return folder + "testicons\\" + name;
}

void WriteText(const std::string& path, const std::string& text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD put = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &put, nullptr);
  CloseHandle(file);
}

class LibraryWindow : public ::testing::Test {
 protected:
  LibraryWindow() {
    icons = folder.Path() + "\\Icons\\";
    CreateDirectoryA(icons.c_str(), nullptr);
    CopyFileA(TestIcon("calc.ico").c_str(), (icons + "calc.ico").c_str(), FALSE);
    CopyFileA(TestIcon("DISK06.ICO").c_str(), (icons + "DISK06.ICO").c_str(), FALSE);
    CopyFileA(TestIcon("folder.ico").c_str(), (icons + "folder.ico").c_str(), FALSE);
    CopyFileA(TestIcon("mycomp.ico").c_str(), (icons + "MyComputerBig.ico").c_str(), FALSE);
    WriteText(icons + "broken.ico", "this is no icon");
    WriteText(icons + "Tools.ini", "folder.ico\r\n\r\nmissing.ico\r\nbroken.ico\r\ncalc.ico\r\n");
  }
  ~LibraryWindow() override { window.reset(); }

  frmLibrary& Open() {
    window = MakeWindow<frmLibrary>(LibraryServices{nullptr, tpp, fs, icons, host});
    EXPECT_TRUE(window->ShowLibrary(nullptr));
    return *window;
  }
  void Press(HWND grid, UINT message, int index) {
    const auto at = window->IconCentre(index);
    ASSERT_TRUE(at);
    SendMessageA(grid, message, MK_LBUTTON, MAKELPARAM(at->x, at->y));
  }
  void ChooseCategory(int index) {
    SendMessageA(window->List1(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(window->hwnd(), WM_COMMAND, MAKEWPARAM(frmLibrary::kList1Id, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(window->List1()));
  }
  std::vector<std::string> Shown() const {
    std::vector<std::string> out;
    for (const auto& icon : window->Model()->CurrentView().icons) out.push_back(icon.fileName);
    return out;
  }
  std::vector<std::string> Categories() const {
    std::vector<std::string> out;
    const auto count = SendMessageA(window->List1(), LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      char text[256] = "";
      SendMessageA(window->List1(), LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
      out.push_back(text);
    }
    return out;
  }
  // How many pixels of `r` (grid client pixels) the grid paints in `colour`,
  // painting into a bitmap of the screen's format.
  int Count(HWND grid, RECT r, COLORREF colour) {
    return CountIf(grid, r, [colour](COLORREF c) { return c == colour; });
  }
  template <class Test>
  int CountIf(HWND grid, RECT r, Test test) {
    RECT client;
    GetClientRect(grid, &client);
    WindowDC screen(nullptr);
    MemoryDC dc(screen.get());
    GdiBitmap image(CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
    Selection keep(dc.get(), image.get());
    SendMessageA(grid, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    int n = 0;
    for (LONG y = r.top; y < r.bottom; ++y)
      for (LONG x = r.left; x < r.right; ++x) n += test(GetPixel(dc.get(), x, y)) ? 1 : 0;
    return n;
  }
  RECT PixelsOf(const TwipRect& t) const {
    const double top = window->Model()->GridTop();
    return {static_cast<LONG>(std::lround(t.left / tpp.x)), static_cast<LONG>(std::lround((t.top + top) / tpp.y)),
            static_cast<LONG>(std::lround(t.Right() / tpp.x)), static_cast<LONG>(std::lround((t.Bottom() + top) / tpp.y))};
  }

  wintest::TempFolder folder;
  std::string icons;
  Tpp tpp = Tpp::FromScreen();
  Win32FileSystem fs;
  FakeHost host;
  WindowPtr<frmLibrary> window;
};

TEST_F(LibraryWindow, ListsTheCategoriesAndPaintsEveryIconButTheBrokenOne) {
  frmLibrary& library = Open();
  EXPECT_EQ(WindowTextOf(library.hwnd()), "  Icon Library");
  EXPECT_TRUE(IsWindowVisible(library.hwnd()));
  RECT r;
  GetWindowRect(library.hwnd(), &r);
  EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((r.top + r.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

  EXPECT_EQ(Categories(), (std::vector<std::string>{"All Categories", "Tools"}));
  EXPECT_EQ(Shown(), (std::vector<std::string>{"calc.ico", "DISK06.ICO", "folder.ico",
                                               "MyComputerBig.ico"}));
  EXPECT_EQ(library.Model()->CurrentView().icons[1].caption, "Disk06");
  EXPECT_EQ(library.Model()->CurrentView().icons[3].caption, "Mycompute ..");
  EXPECT_EQ(library.PicturesLoaded(), 4);

  // Each icon is painted at its place, around it the window colour.
  const COLORREF paper = GetSysColor(COLOR_WINDOW);
  for (int i = 0; i < 4; ++i) {
    const RECT box = PixelsOf(library.Model()->CurrentView().icons[static_cast<std::size_t>(i)].icon);
    const int area = (box.right - box.left) * (box.bottom - box.top);
    EXPECT_LT(Count(library.Grid(), box, paper), area - 200) << i;
  }
  EXPECT_EQ(Count(library.Grid(), {0, 0, 4, 4}, paper), 16);
  // No window per icon: the grid is one surface.
  EXPECT_EQ(GetWindow(library.Grid(), GW_CHILD), nullptr);
}

TEST_F(LibraryWindow, AClickSelectsAndOkHandsThePathToTheEditor) {
  frmLibrary& library = Open();
  Press(library.Grid(), WM_LBUTTONDOWN, 1);
  EXPECT_EQ(library.Model()->CurrentView().selected, 1);
  // The selected caption shows the highlight colour, the others do not.
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  const auto& shown = library.Model()->CurrentView().icons;
  EXPECT_GT(Count(library.Grid(), PixelsOf(shown[1].text), highlight), 60);
  EXPECT_EQ(Count(library.Grid(), PixelsOf(shown[0].text), highlight), 0);
  Press(library.Grid(), WM_LBUTTONDOWN, 2);
  EXPECT_EQ(Count(library.Grid(), PixelsOf(shown[1].text), highlight), 0);
  Press(library.Grid(), WM_LBUTTONDOWN, 1);

  SendMessageA(library.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_EQ(host.chosen, (std::vector<std::string>{"\\icons\\DISK06.ICO"}));
  EXPECT_EQ(host.closed, 1);
  EXPECT_FALSE(IsWindowVisible(library.hwnd()));

  // A double click is OK at once.
  library.ShowLibrary(nullptr);
  Press(library.Grid(), WM_LBUTTONDBLCLK, 3);
  EXPECT_EQ(host.chosen.back(), "\\icons\\MyComputerBig.ico");
  EXPECT_FALSE(IsWindowVisible(library.hwnd()));

  // With a root selected in the editor, OK only hides.
  host.canTake = false;
  library.ShowLibrary(nullptr);
  SendMessageA(library.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_EQ(host.chosen.size(), 2u);
  EXPECT_EQ(host.closed, 3);
  EXPECT_FALSE(IsWindowVisible(library.hwnd()));
}

// A 32 x 32 icon stored as PNG: the left half opaque red, the right half
// blue at half alpha.
const std::string kPngIcon(
    "\x00\x00\x01\x00\x01\x00\x20\x20\x00\x00\x01\x00\x20\x00\x69\x00\x00\x00\x16\x00\x00\x00\x89\x50"
    "\x4E\x47\x0D\x0A\x1A\x0A\x00\x00\x00\x0D\x49\x48\x44\x52\x00\x00\x00\x20\x00\x00\x00\x20\x08\x06"
    "\x00\x00\x00\x73\x7A\x7A\xF4\x00\x00\x00\x30\x49\x44\x41\x54\x78\xDA\xED\xCE\xB1\x0D\x00\x00\x08"
    "\xC3\xB0\x9E\xCE\xE7\xC0\x0F\x0C\x2C\x96\x92\xDD\xE9\xA4\x2F\x6F\x75\x1A\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\xE0\x1B\x30\x3E\xC0\xFA\x5B\xB7\x90\xF5\x5B\x00\x00\x00\x00\x49"
    "\x45\x4E\x44\xAE\x42\x60\x82",
    127);

TEST_F(LibraryWindow, AnIconOnlyTheSystemReadsIsShownWithItsTransparency) {
  WriteText(icons + "zpng.ico", kPngIcon);
  frmLibrary& library = Open();
  ASSERT_EQ(Shown().back(), "zpng.ico");
  EXPECT_EQ(library.PicturesLoaded(), 5);
  RECT box = PixelsOf(library.Model()->CurrentView().icons.back().icon);
  const int middle = (box.left + box.right) / 2;
  RECT left = box, right = box;
  left.right = middle;
  right.left = middle;
  EXPECT_GE(Count(library.Grid(), left, RGB(255, 0, 0)), 480);
  // Half blue over the white grid: light blue, not blue and not white.
  EXPECT_GE(CountIf(library.Grid(), right, [](COLORREF c) {
              return GetBValue(c) == 255 && GetRValue(c) > 110 && GetRValue(c) < 145 &&
                     GetGValue(c) > 110 && GetGValue(c) < 145;
            }),
            480);
}

TEST_F(LibraryWindow, ViewsAreBuiltOnceAndSwapped) {
  frmLibrary& library = Open();
  HWND all = library.Grid();
  Press(all, WM_LBUTTONDOWN, 0);

  ChooseCategory(1);
  HWND tools = library.Grid();
  ASSERT_NE(tools, all);
  EXPECT_TRUE(IsWindowVisible(tools));
  EXPECT_FALSE(IsWindowVisible(all));
  EXPECT_EQ(Shown(), (std::vector<std::string>{"calc.ico", "folder.ico"}));
  EXPECT_EQ(library.PicturesLoaded(), 4) << "icons already read are shared";

  // Nothing selected in this view: OK changes nothing.
  SendMessageA(library.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_TRUE(host.chosen.empty());

  library.ShowLibrary(nullptr);
  EXPECT_EQ(library.Grid(), tools) << "the view shown last comes back";
  ChooseCategory(0);
  EXPECT_EQ(library.Grid(), all);
  EXPECT_EQ(library.Model()->CurrentView().selected, 0);
  ChooseCategory(0);  // the view shown: nothing happens
  EXPECT_TRUE(IsWindowVisible(all));
}

TEST_F(LibraryWindow, EscAndTheCloseBoxHideTheWindowAndDestroyingFreesEverything) {
  const long gdi = LiveCount(Counted::Bitmap) + LiveCount(Counted::Dc) + LiveCount(Counted::ImageList);
  const long icons = LiveCount(Counted::Icon);
  frmLibrary& library = Open();
  ASSERT_TRUE(wintest::WaitFor([&] { return GetFocus() == library.List1(); }, 5000));
  // Esc in the list, through the message loop's dialog keys.
  PostMessageA(library.List1(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(wintest::WaitFor([&] { return !IsWindowVisible(library.hwnd()); }, 5000));
  EXPECT_EQ(host.closed, 1);

  library.ShowLibrary(nullptr);
  SendMessageA(library.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(library.hwnd()));
  EXPECT_TRUE(library.Loaded());
  EXPECT_EQ(host.closed, 2);

  window.reset();
  EXPECT_EQ(LiveCount(Counted::Bitmap) + LiveCount(Counted::Dc) + LiveCount(Counted::ImageList), gdi);
  EXPECT_EQ(LiveCount(Counted::Icon), icons);
  EXPECT_EQ(host.closed, 2) << "destroying is not the user closing it";
}

TEST_F(LibraryWindow, ManyIconsScrollAndAMissingFolderOpensEmpty) {
  for (int i = 0; i < 120; ++i)
    CopyFileA(TestIcon("calc.ico").c_str(), (icons + "many" + std::to_string(100 + i) + ".ico").c_str(),
              FALSE);
  frmLibrary& library = Open();
  const LibraryView& view = library.Model()->CurrentView();
  ASSERT_GT(view.scrollMax, 0);
  EXPECT_TRUE(IsWindowEnabled(library.ScrollBar()));
  const LONG before = library.IconCentre(10)->y;
  SendMessageA(library.hwnd(), WM_VSCROLL, SB_PAGEDOWN, reinterpret_cast<LPARAM>(library.ScrollBar()));
  EXPECT_GT(view.scroll, 0);
  EXPECT_EQ(GetScrollPos(library.ScrollBar(), SB_CTL), view.scroll);
  EXPECT_NEAR(library.IconCentre(10)->y, before - view.scroll * 100 / tpp.y, 1);
  SendMessageA(library.hwnd(), WM_VSCROLL, SB_BOTTOM, reinterpret_cast<LPARAM>(library.ScrollBar()));
  EXPECT_EQ(view.scroll, view.scrollMax);
  // A click on the last icon, scrolled into view, selects it.
  Press(library.Grid(), WM_LBUTTONDOWN, static_cast<int>(view.icons.size()) - 1);
  EXPECT_EQ(view.selected, static_cast<int>(view.icons.size()) - 1);

  window.reset();
  icons = folder.Path() + "\\NoSuchFolder\\";
  frmLibrary& empty = Open();
  EXPECT_EQ(Categories(), (std::vector<std::string>{"All Categories"}));
  EXPECT_TRUE(Shown().empty());
  EXPECT_FALSE(IsWindowEnabled(empty.ScrollBar()));
  SendMessageA(empty.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_TRUE(host.chosen.empty());
  EXPECT_FALSE(IsWindowVisible(empty.hwnd()));
}

}  // namespace
}  // namespace velmora
