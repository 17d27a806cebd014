// The help tip and the tip window against real windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "model/options.h"
#include "platform/ui_win.h"
#include "shell/frmHelp.h"
#include "shell/frmTip.h"

namespace velmora {
namespace {

HWND WaitForWindow(const char* cls, DWORD pid) {
  for (int i = 0; i < 400; ++i) {
    HWND found = nullptr;
    for (HWND w = FindWindowExA(nullptr, nullptr, cls, nullptr); w;
         w = FindWindowExA(nullptr, w, cls, nullptr)) {
      DWORD owner = 0;
      GetWindowThreadProcessId(w, &owner);
      if (owner == pid && IsWindowVisible(w)) found = w;
    }
    if (found) return found;
    Sleep(25);
  }
  return nullptr;
}

TEST(HelpTip, SitsBelowThePointerAndKeepsClearOfTheRightEdge) {
  const Tpp tpp = Tpp::FromScreen();
  frmHelp help;
  ASSERT_TRUE(help.Load());
  HWND before = GetForegroundWindow();

  SetCursorPos(200, 100);
  help.ShowTip("Accessories", tpp);
  RECT r;
  ASSERT_TRUE(GetWindowRect(help.hwnd(), &r));
  EXPECT_TRUE(IsWindowVisible(help.hwnd()));
  EXPECT_EQ(r.left, 198);
  EXPECT_EQ(r.top, 118);
  EXPECT_EQ(help.Label1(), " Accessories ");
  EXPECT_EQ(GetForegroundWindow(), before) << "the tip took the focus";
  EXPECT_TRUE(GetWindowLongA(help.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);

  const int screen = GetSystemMetrics(SM_CXSCREEN);
  SetCursorPos(screen - 5, 100);
  help.ShowTip("A rather long title near the right edge", tpp);
  ASSERT_TRUE(GetWindowRect(help.hwnd(), &r));
  EXPECT_EQ(r.right, screen - TwipsToPxX(50, tpp));

  help.ShowTip("", tpp);
  EXPECT_FALSE(IsWindowVisible(help.hwnd()));
}

// Answers the modal tip from a second thread, as a user would.
void AnswerTip(bool tick) {
  HWND tip = WaitForWindow("VelmoraTip", GetCurrentProcessId());
  if (!tip) return;
  if (tick) SendMessageA(GetDlgItem(tip, frmTip::kCheck1Id), BM_SETCHECK, BST_CHECKED, 0);
  PostMessageA(tip, WM_COMMAND, MAKEWPARAM(frmTip::kOkId, BN_CLICKED), 0);
}

TEST(TipWindow, CheckBoxSwitchesItsOptionAndOnlyThat) {
  Options options = Options::Parse("0000100000000000");
  {
    frmTip tip(options);
    tip.FieldNum = 7;
    std::thread user(AnswerTip, true);
    tip.ShowModal(nullptr, "Select File", "Click the button to choose a file.");
    user.join();
  }
  EXPECT_EQ(options.Text(), "0000101000000000");

  {
    frmTip tip(options);
    tip.FieldNum = 5;  // unticked: the hint shows again next time
    std::thread user(AnswerTip, false);
    tip.ShowModal(nullptr, "Icon Library", "Pick an icon.");
    user.join();
  }
  EXPECT_EQ(options.Text(), "0000001000000000");

  {
    frmTip tip(options);
    tip.FieldNum = 0;  // no option behind this hint
    std::thread user(AnswerTip, true);
    tip.ShowModal(nullptr, "Hint", "Nothing to switch.");
    user.join();
  }
  EXPECT_EQ(options.Text(), "0000001000000000");
}

}  // namespace
}  // namespace velmora
