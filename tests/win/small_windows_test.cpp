// The help tip and the tip window against real windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "model/options.h"
#include "platform/ui_win.h"
#include "shell/frmHelp.h"
#include "shell/frmTip.h"
#include "win_test_support.h"

namespace velmora {
namespace {

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
  HWND tip = nullptr;
  const auto shown = [&] { return (tip = FindWindowA("VelmoraTip", nullptr)) && IsWindowVisible(tip); };
  if (!wintest::WaitFor(shown)) return;
  if (tick) SendMessageA(GetDlgItem(tip, frmTip::kCheck1Id), BM_SETCHECK, BST_CHECKED, 0);
  PostMessageA(tip, WM_COMMAND, MAKEWPARAM(frmTip::kOkId, BN_CLICKED), 0);
}

TEST(TipWindow, CheckBoxSwitchesItsOptionAndOnlyThat) {
  struct Case {
    int field;
    bool tick;
    const char* after;
  };
  Options options = Options::Parse("0000100000000000");
  for (const Case& c : {Case{7, true, "0000101000000000"},
                        Case{5, false, "0000001000000000"},  // unticked: shows again next time
                        Case{0, true, "0000001000000000"}}) {  // no option behind this hint
    SCOPED_TRACE(c.field);
    frmTip tip(options);
    tip.FieldNum = c.field;
    std::thread user(AnswerTip, c.tick);
    tip.ShowModal(nullptr, "Hint", "Some advice.");
    user.join();
    EXPECT_EQ(options.Text(), c.after);
  }
}

}  // namespace
}  // namespace velmora
