// The help as the program opens it: the welcome topic on the first start, the
// contents from "Help Topics" in the Velmora menu, and a message instead when
// the help file is not there. These are the only tests whose program folders
// hold the help files; each closes the help viewer it caused.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "driver.h"
#include "fixture.h"

namespace velmora::e2e {
namespace {

const std::string kStartupQuestion = "Would you like to set Velmora as a startup program?";
const std::string kHelpNotFound = "Velmora help file was not found in Velmora folder.";
constexpr int kHelpTopicsEntry = 4;

// The text of the viewer showing a page that contains `part`, or what the
// viewers showed last.
std::string WaitForHelpPage(App& app, const std::string& part) {
  std::string shown;
  app.WaitUntil([&] {
    for (HWND viewer : HelpViewerWindows()) {
      shown = HelpViewerText(viewer);
      if (shown.find(part) != std::string::npos) return true;
    }
    return false;
  });
  return shown;
}

class Help : public ::testing::Test {
 protected:
  void SetUp() override {
    KillStrayInstances();
    // No viewer runs before the program asks for one: Wine's WinHelpA
    // starts it but looks for its window too early, and the program makes
    // up for that.
    ASSERT_TRUE(CloseHelpViewers());
  }
  void TearDown() override { EXPECT_TRUE(CloseHelpViewers()) << "a help viewer stayed"; }

  // A program folder after its first start, with one menu button.
  static void MakeSettled(const ProgramFolder& folder) {
    ASSERT_TRUE(folder.Write(kOptionsFile, kSettled));
    ASSERT_TRUE(folder.MakeFolder("Menus"));
    ASSERT_TRUE(folder.Write("Menus\\BMENU001.MNU",
                             ItemRecord("Tools", "", "") + ItemRecord("Notepad", "", "notepad.exe")));
  }

  // Opens the Velmora menu with a click on the program's button and runs
  // entry `entry` from the keyboard, as a person would.
  static bool ChooseOwnMenuEntry(App& app, int entry) {
    HWND toolbar = app.Find(Visible("VelmoraToolbar"));
    HWND buttons = toolbar ? FindWindowExA(toolbar, nullptr, TOOLBARCLASSNAMEA, nullptr) : nullptr;
    if (!buttons) return false;
    const int width = LOWORD(SendMessageA(buttons, TB_GETBUTTONSIZE, 0, 0));
    const RECT r = WindowRect(buttons);
    ClickAt({r.left + width / 2, (std::max<LONG>(r.top, 0) + r.bottom) / 2});
    HWND menu = app.WaitForWindow(Visible("VelmoraQuickMenu"));
    if (!menu) return false;
    const auto front = [&] { return GetForegroundWindow() == menu; };
    if (!app.WaitUntil(front, 3000) && !(BringToForeground(menu) && app.WaitUntil(front, 3000)))
      return false;
    app.Sync();
    for (int i = 0; i < entry; ++i) PressKey(VK_DOWN);  // from no highlight to the entry
    app.Sync();
    PressKey(VK_RETURN);
    return true;
  }
};

TEST_F(Help, TheFirstStartOpensTheWelcomeTopic) {
  StartupLinkGuard link;
  ProgramFolder folder(HelpFiles::Copy);
  App app(folder);
  ASSERT_TRUE(app.Start()) << app.Error();
  auto question = app.WaitForMessageBox(kStartupQuestion);
  ASSERT_TRUE(question) << "no first-start question " << app.Report();
  ASSERT_TRUE(question->Press(IDNO));

  // The help comes last, after the question.
  const std::string page = WaitForHelpPage(app, "Welcome to Velmora");
  ASSERT_NE(page.find("Welcome to Velmora"), std::string::npos)
      << "the help did not open at the welcome topic; shown: \"" << page << "\" "
      << app.Report();
  EXPECT_NE(page.find("On this first start"), std::string::npos) << page;
  ASSERT_TRUE(app.WaitStarted()) << app.Report();
  EXPECT_TRUE(app.Close());
  EXPECT_TRUE(app.ExitedCleanly());
  EXPECT_EQ(app.SeenMessages(), std::vector<std::string>{question->text});
  // The viewer holds the help file open: close it before the folder goes.
  EXPECT_TRUE(CloseHelpViewers());
}

TEST_F(Help, HelpTopicsOpensTheContentsOrSaysTheFileIsMissing) {
  {
    SCOPED_TRACE("without the help files");
    ProgramFolder folder;
    ASSERT_NO_FATAL_FAILURE(MakeSettled(folder));
    App app(folder);
    ASSERT_TRUE(app.Start()) << app.Error();
    ASSERT_TRUE(app.WaitStarted() && app.Sync()) << app.Report();
    ASSERT_TRUE(ChooseOwnMenuEntry(app, kHelpTopicsEntry)) << app.Report();
    auto missing = app.WaitForMessageBox(kHelpNotFound);
    ASSERT_TRUE(missing) << app.Report();
    EXPECT_EQ(missing->text, kHelpNotFound);
    EXPECT_EQ(missing->caption, "Velmora");
    ASSERT_TRUE(missing->Press(IDOK));
    ASSERT_TRUE(missing->WaitGone());
    EXPECT_TRUE(HelpViewerWindows().empty()) << "a viewer opened for a missing file";
    EXPECT_TRUE(app.Close());
  }
  {
    SCOPED_TRACE("with the help files");
    ProgramFolder folder(HelpFiles::Copy);
    ASSERT_NO_FATAL_FAILURE(MakeSettled(folder));
    App app(folder);
    ASSERT_TRUE(app.Start()) << app.Error();
    ASSERT_TRUE(app.WaitStarted() && app.Sync()) << app.Report();
    EXPECT_TRUE(HelpViewerWindows().empty()) << "help opened on a later start";
    ASSERT_TRUE(ChooseOwnMenuEntry(app, kHelpTopicsEntry)) << app.Report();
    const std::string page = WaitForHelpPage(app, "Velmora is a launcher");
    ASSERT_NE(page.find("Velmora is a launcher"), std::string::npos)
        << "Help Topics did not show the contents; shown: \"" << page << "\" " << app.Report();
    EXPECT_NE(page.find("Troubleshooting"), std::string::npos) << page;
    EXPECT_TRUE(app.Close());
    EXPECT_TRUE(app.ExitedCleanly());
    EXPECT_TRUE(app.SeenMessages().empty()) << app.SeenMessages()[0];
    EXPECT_TRUE(CloseHelpViewers());
  }
}

}  // namespace
}  // namespace velmora::e2e
