// The About box against real windows: its tabs, its reports, one window only,
// closing keys and a capture that shows what is on the pages.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "about/frmAbout.h"
#include "about/system_report.h"
#include "platform/ui_win.h"
#include "win_test_support.h"

namespace velmora {
namespace {

class AboutBox : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
  }

  // Chooses a tab the way a click does: the strip changes, then tells its parent.
  void ChooseTab(int index) {
    SendMessageA(about_.TabStrip1(), TCM_SETCURSEL, index, 0);
    NMHDR header{about_.TabStrip1(), static_cast<UINT_PTR>(frmAbout::kTabStrip1Id),
                 static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(about_.hwnd(), WM_NOTIFY, frmAbout::kTabStrip1Id, reinterpret_cast<LPARAM>(&header));
  }

  frmAbout about_{GetModuleHandleA(nullptr)};
};

TEST_F(AboutBox, OpensWithThreeTabsAndTheVersionPage) {
  about_.ShowAbout();
  ASSERT_TRUE(about_.Visible());
  EXPECT_EQ(WindowTextOf(about_.hwnd()), "  About");
  RECT r;
  GetWindowRect(about_.hwnd(), &r);
  const Tpp tpp = Tpp::FromScreen();
  EXPECT_EQ(r.right - r.left, TwipsToPxX(6200, tpp));
  EXPECT_EQ(r.bottom - r.top, TwipsToPxY(5930, tpp));

  ASSERT_EQ(SendMessageA(about_.TabStrip1(), TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(about_.CurrentTab(), frmAbout::kTabVelmora);
  EXPECT_TRUE(IsWindowVisible(about_.PicVelmora()));
  EXPECT_FALSE(IsWindowVisible(about_.Drive1()));
  EXPECT_FALSE(IsWindowVisible(about_.PicInfo()));
  EXPECT_EQ(about_.VersionLabel().rfind("Version ", 0), 0u) << about_.VersionLabel();
}

TEST_F(AboutBox, SystemPageReportsThisMachine) {
  about_.ShowAbout();
  ChooseTab(frmAbout::kTabSystem);
  EXPECT_TRUE(IsWindowVisible(about_.PicVelmora()));
  EXPECT_FALSE(IsWindowVisible(about_.PicInfo()));
  const auto& lines = about_.SystemLines();
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[0], "  Operating System        :  Windows NT ");
  EXPECT_NE(lines[3], "  CPU Type        :  (Unknown)");
  MEMORYSTATUSEX memory{};
  memory.dwLength = sizeof memory;
  ASSERT_TRUE(GlobalMemoryStatusEx(&memory));
  EXPECT_EQ(lines[5], std::string("  Total Physical Memory:  ") +
                          FormatThousands(memory.ullTotalPhys / 1024) + " KB");
  EXPECT_NE(lines[7].find("C:  "), std::string::npos) << lines[7];
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  EXPECT_EQ(lines[9], "  Windows Directory   :  " + FolderText(windows));

  // The version page hides the report again.
  ChooseTab(frmAbout::kTabVelmora);
  EXPECT_TRUE(IsWindowVisible(about_.PicVelmora()));
}

TEST_F(AboutBox, DrivesPageFollowsTheChosenDrive) {
  about_.ShowAbout();
  ChooseTab(frmAbout::kTabDrives);
  EXPECT_FALSE(IsWindowVisible(about_.PicVelmora()));
  EXPECT_TRUE(IsWindowVisible(about_.Drive1()));
  EXPECT_TRUE(IsWindowVisible(about_.PicInfo()));

  const DWORD mask = GetLogicalDrives();
  int drives = 0;
  for (DWORD m = mask; m; m &= m - 1) ++drives;
  const int count = static_cast<int>(SendMessageA(about_.Drive1(), CB_GETCOUNT, 0, 0));
  ASSERT_EQ(count, drives);
  ASSERT_EQ(about_.DriveLines().size(), 8u);

  // Each drive in turn: the page shows that drive's size at once, in full even
  // when it is far beyond 2 GB (Wine's Z: is the whole host file system).
  for (int i = 0; i < count; ++i) {
    SendMessageA(about_.Drive1(), CB_SETCURSEL, i, 0);
    SendMessageA(about_.hwnd(), WM_COMMAND, MAKEWPARAM(frmAbout::kDrive1Id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(about_.Drive1()));
    char caption[128] = "";
    SendMessageA(about_.Drive1(), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(caption));
    const std::string root = std::string(caption, 2) + "\\";
    ULARGE_INTEGER available{}, total{}, free{};
    std::string expected = "  Total Size          :  0.00 MB";
    if (GetDiskFreeSpaceExA(root.c_str(), &available, &total, &free))
      expected = "  Total Size          :  " + FormatMegabytes(total.QuadPart) + " MB";
    const auto& lines = about_.DriveLines();
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], expected) << root;
  }
}

TEST_F(AboutBox, ShowingAgainOnlyBringsItForward) {
  about_.ShowAbout();
  const HWND first = about_.hwnd();
  ChooseTab(frmAbout::kTabSystem);
  about_.ShowAbout();
  EXPECT_EQ(about_.hwnd(), first);
  EXPECT_EQ(about_.CurrentTab(), frmAbout::kTabSystem) << "the texts were refilled";

  // OK unloads; the next ShowAbout builds a fresh box on the version page.
  SendMessageA(about_.hwnd(), WM_COMMAND, MAKEWPARAM(frmAbout::kOkId, BN_CLICKED), 0);
  EXPECT_FALSE(about_.Loaded());
  EXPECT_FALSE(IsWindow(first));
  about_.ShowAbout();
  ASSERT_TRUE(about_.Visible());
  EXPECT_EQ(about_.CurrentTab(), frmAbout::kTabVelmora);
}

TEST_F(AboutBox, EscapeClosesFromAnyControl) {
  for (int tab : {frmAbout::kTabVelmora, frmAbout::kTabDrives}) {
    about_.ShowAbout();
    ChooseTab(tab);
    HWND target = tab == frmAbout::kTabDrives ? about_.Drive1() : GetDlgItem(about_.hwnd(), IDOK);
    PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    EXPECT_TRUE(wintest::WaitFor([&] { return !about_.Loaded(); })) << "tab " << tab;
  }
}

// Captures the box the way PrintWindow does and counts the pixels of text
// colour inside one child's rectangle.
int DarkPixelsIn(HWND form, HWND child) {
  RECT wr, cr;
  GetWindowRect(form, &wr);
  GetWindowRect(child, &cr);
  const int w = wr.right - wr.left, h = wr.bottom - wr.top;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, w, h};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  PrintWindow(form, dc, 0);
  int dark = 0;
  for (int y = cr.top - wr.top; y < cr.bottom - wr.top; ++y)
    for (int x = cr.left - wr.left; x < cr.right - wr.left; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 200) ++dark;
    }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return dark;
}

TEST_F(AboutBox, CaptureShowsEveryPage) {
  about_.ShowAbout();
  const int versionPage = DarkPixelsIn(about_.hwnd(), about_.PicVelmora());
  EXPECT_GT(versionPage, 100);
  ChooseTab(frmAbout::kTabSystem);
  const int systemPage = DarkPixelsIn(about_.hwnd(), about_.PicVelmora());
  EXPECT_GT(systemPage, 300);
  EXPECT_NE(systemPage, versionPage);
  ChooseTab(frmAbout::kTabDrives);
  EXPECT_GT(DarkPixelsIn(about_.hwnd(), about_.PicInfo()), 200);
}

}  // namespace
}  // namespace velmora
