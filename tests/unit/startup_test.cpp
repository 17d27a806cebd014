#include "shell/startup.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "core/app_state.h"
#include "model/state_files.h"

namespace velmora {
namespace {

using test::FakeDialogs;
using test::FakeFileSystem;
using test::FakeShell;
using Call = FakeFileSystem::Call;

constexpr std::uintptr_t kToolbar = 0x1234;
constexpr std::uintptr_t kEditor = 0x5678;
const std::string kDir = "C:\\Program Files\\Velmora\\";
const std::string kStartup = "C:\\Users\\me\\Start Menu\\Programs\\Startup";
const std::string kLink = kStartup + "\\Velmora.lnk";

class Startup : public ::testing::Test {
 protected:
  Startup() {
    app.folders = ProgramFoldersOf(kDir + "Velmora.exe");
    shell.folders[kFolderStartup] = kStartup;
    shell.fs = &fs;
  }
  void StartWithOptions(const std::string& text) {
    fs.AddFile(kDir + "vlmra250.dat", text);
    LoadOptions(fs, app);
    fs.calls.clear();
  }
  struct Box {
    std::string text;
    MsgButtons buttons;
    MsgIcon icon;
  };
  void ExpectBoxes(const std::vector<Box>& expected) {
    ASSERT_EQ(dialogs.shown.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(dialogs.shown[i].text, expected[i].text) << i;
      EXPECT_EQ(dialogs.shown[i].buttons, expected[i].buttons) << i;
      EXPECT_EQ(dialogs.shown[i].icon, expected[i].icon) << i;
      EXPECT_EQ(dialogs.shown[i].caption, "Velmora") << i;
    }
  }

  FakeFileSystem fs;
  FakeDialogs dialogs;
  FakeShell shell;
  AppState app;
};

TEST_F(Startup, CleanupDeletesOtherDatFilesOnceAndKeepsTheOptions) {
  for (const char* name : {"toolbarp.dat", "mainmenu.DAT", "nsearch.dat", "keep.datx", "netsrch.ini"})
    fs.AddFile(kDir + name, "x");
  fs.SetShortName(kDir + "keep.datx", "KEEP~1.DAT");
  fs.AddFile(kDir + "Menus\\sub.dat", "x");
  StartWithOptions("1101000000001000tail");

  RunVersionCleanup(fs, app);

  EXPECT_EQ(fs.Changes(), (std::vector<Call>{
                              {"Rename", kDir + "vlmra250.dat", kDir + "TTTTTTTT"},
                              {"Delete", kDir + "mainmenu.DAT", ""},
                              {"Delete", kDir + "nsearch.dat", ""},
                              {"Delete", kDir + "toolbarp.dat", ""},
                              {"Rename", kDir + "TTTTTTTT", kDir + "vlmra250.dat"},
                              {"WriteAll", kDir + "vlmra250.dat", ""}}));
  EXPECT_EQ(fs.Content(kDir + "vlmra250.dat"), "1101000000001001tail");
}

TEST_F(Startup, CleanupKeepsTheOptionsWhenTheyCannotBeParked) {
  fs.AddFile(kDir + "a.dat", "x");
  StartWithOptions("1");
  fs.FailOn("Rename", kDir + "vlmra250.dat");

  RunVersionCleanup(fs, app);

  EXPECT_FALSE(fs.HasFile(kDir + "a.dat"));
  EXPECT_EQ(fs.Content(kDir + "vlmra250.dat"), "1000000000000001");
  EXPECT_EQ(fs.PathsOf("Delete"), (std::vector<std::string>{kDir + "a.dat"}));
  EXPECT_EQ(fs.PathsOf("Rename").size(), 1u);
}

TEST_F(Startup, CleanupStopsAtTheFirstFailingDeletion) {
  for (const char* name : {"a.dat", "b.dat", "c.dat"}) fs.AddFile(kDir + name, "x");
  StartWithOptions("0000000000000000");
  fs.FailOn("Delete", kDir + "b.dat");

  RunVersionCleanup(fs, app);

  EXPECT_EQ(fs.PathsOf("Delete"), (std::vector<std::string>{kDir + "a.dat", kDir + "b.dat"}));
  EXPECT_FALSE(fs.HasFile(kDir + "TTTTTTTT"));
  EXPECT_EQ(fs.Content(kDir + "vlmra250.dat"), "0000000000000001");
}

TEST_F(Startup, CleanupDoneBeforeTouchesNothing) {
  fs.AddFile(kDir + "toolbarp.dat", "x");
  StartWithOptions("0000000000000001");
  RunVersionCleanup(fs, app);
  EXPECT_TRUE(fs.calls.empty());
}

TEST_F(Startup, DefaultWebIconFileIsCreatedOnlyWhenMissing) {
  StartWithOptions("");
  ChooseHttpIconFile(fs, app);
  EXPECT_EQ(app.HttpIconFile, kDir + "httpicon.htm");
  EXPECT_EQ(fs.Content(kDir + "httpicon.htm"), "<HTML> </HTML>\r\n");

  fs.AddFile(kDir + "HttpIcon.htm", "mine");
  fs.calls.clear();
  ChooseHttpIconFile(fs, app);
  EXPECT_EQ(fs.Content(kDir + "httpicon.htm"), "mine");
  EXPECT_TRUE(fs.Changes().empty());
}

TEST_F(Startup, CustomWebIconFileIsTheFirstLineAsReadUnlessBlank) {
  StartWithOptions("0000000000010000");
  ChooseHttpIconFile(fs, app);  // no httpicon.ini
  fs.AddFile(kDir + "httpicon.ini", "    \r\nC:\\second.htm\r\n");
  ChooseHttpIconFile(fs, app);
  EXPECT_EQ(app.HttpIconFile, "");
  EXPECT_TRUE(fs.Changes().empty());

  fs.AddFile(kDir + "httpicon.ini", " D:\\Web\\page.htm \r\nignored\r\n");
  ChooseHttpIconFile(fs, app);
  EXPECT_EQ(app.HttpIconFile, " D:\\Web\\page.htm ");
  EXPECT_FALSE(fs.HasFile(kDir + "httpicon.htm"));
}

TEST_F(Startup, ShellComponentMissingReportsThenAsksToQuit) {
  EXPECT_TRUE(CheckShellComponent(shell, dialogs));  // present: nothing said
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_EQ(shell.live, 0);

  shell.createError = {0x80040154L, "Class not registered"};
  for (const auto answer : {MsgResult::No, MsgResult::Yes}) {
    dialogs.shown.clear();
    dialogs.answers = {MsgResult::Ok, answer};
    EXPECT_EQ(CheckShellComponent(shell, dialogs), answer == MsgResult::No);
    ExpectBoxes({{ShellMissingText(), MsgButtons::Ok, MsgIcon::None},
                 {kShellQuitQuestionText, MsgButtons::YesNo, MsgIcon::Question}});
  }
}

TEST_F(Startup, FirstStartYesMakesTheShortcut) {
  StartWithOptions("0100000000000001");
  dialogs.answers = {MsgResult::Yes};

  OfferStartupShortcut(fs, shell, dialogs, app, kToolbar);

  const auto folderCalls = shell.CallsOf("GetSpecialFolder");
  ASSERT_EQ(folderCalls.size(), 1u);
  EXPECT_EQ(folderCalls[0].window, kToolbar);
  EXPECT_EQ(folderCalls[0].folder, 7);
  const auto made = shell.CallsOf("CreateShortcut");
  ASSERT_EQ(made.size(), 1u);
  EXPECT_EQ(made[0].link, kLink);
  EXPECT_EQ(made[0].target, "C:\\Program Files\\Velmora\\Velmora.exe");
  EXPECT_EQ(made[0].workingFolder, "C:\\Program Files\\Velmora");
  // One fresh component per use, all let go.
  EXPECT_EQ(shell.CallsOf("Create").size(), 2u);
  EXPECT_EQ(shell.live, 0);
  ExpectBoxes({{kStartupQuestionText, MsgButtons::YesNo, MsgIcon::Question},
               {kShortcutCreatedText, MsgButtons::Ok, MsgIcon::Information}});
  EXPECT_EQ(fs.Content(kDir + "vlmra250.dat"), "1100000000000001");
}

TEST_F(Startup, FirstStartShortcutFailureIsReportedAndTheStartStillCounts) {
  StartWithOptions("");
  dialogs.answers = {MsgResult::Yes};
  shell.opErrors["CreateShortcut"] = {-2147024891L, "Access is denied."};

  OfferStartupShortcut(fs, shell, dialogs, app, kToolbar);

  ExpectBoxes({{kStartupQuestionText, MsgButtons::YesNo, MsgIcon::Question},
               {"Shortcut cannot be created. - -2147024891", MsgButtons::Ok, MsgIcon::Critical}});
  EXPECT_EQ(fs.Content(kDir + "vlmra250.dat"), "1000000000000000");
}

TEST_F(Startup, FirstStartNoOrExistingLinkMakesNothing) {
  StartWithOptions("");
  OfferStartupShortcut(fs, shell, dialogs, app, kToolbar);  // unscripted: No
  EXPECT_EQ(dialogs.shown.size(), 1u);
  EXPECT_TRUE(shell.CallsOf("CreateShortcut").empty());
  EXPECT_TRUE(app.options.IsOn(kOptFirstStartDone));
  EXPECT_EQ(fs.Content(kDir + "vlmra250.dat"), "1000000000000000");

  // A link already there, in whatever letter case: no question at all.
  fs.AddFile(kStartup + "\\VELMORA.LNK", "made by hand");
  app.options.Set(kOptFirstStartDone, false);
  dialogs.shown.clear();
  dialogs.answers = {MsgResult::Yes};
  OfferStartupShortcut(fs, shell, dialogs, app, kToolbar);
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_TRUE(shell.CallsOf("CreateShortcut").empty());
  EXPECT_EQ(fs.Content(kDir + "vlmra250.dat"), "1000000000000000");
}

TEST_F(Startup, SetGoesToTheComponentEveryTimeAndReportsItsAbsence) {
  for (int i = 0; i < 2; ++i) SetStartupShortcut(shell, dialogs, app, kEditor);
  const auto made = shell.CallsOf("CreateShortcut");
  ASSERT_EQ(made.size(), 2u);
  EXPECT_EQ(made[1].link, kLink);
  EXPECT_EQ(made[1].workingFolder, "C:\\Program Files\\Velmora");
  EXPECT_EQ(shell.CallsOf("GetSpecialFolder")[1].window, kEditor);
  ExpectBoxes({{kShortcutCreatedText, MsgButtons::Ok, MsgIcon::Information},
               {kShortcutCreatedText, MsgButtons::Ok, MsgIcon::Information}});
  EXPECT_EQ(shell.live, 0);

  dialogs.shown.clear();
  shell.createError = {429, "ActiveX component can't create object"};
  SetStartupShortcut(shell, dialogs, app, kEditor);
  ExpectBoxes({{"Error: ActiveX component can't create object - 429", MsgButtons::Ok,
                MsgIcon::Information}});
  EXPECT_EQ(shell.CallsOf("CreateShortcut").size(), 2u);
}

TEST_F(Startup, RemoveDeletesTheLinkOnce) {
  fs.AddFile(kLink, "lnk");
  RemoveStartupShortcut(fs, shell, dialogs, kEditor);
  RemoveStartupShortcut(fs, shell, dialogs, kEditor);
  EXPECT_FALSE(fs.HasFile(kLink));
  EXPECT_EQ(fs.PathsOf("Delete"), (std::vector<std::string>{kLink}));
  EXPECT_EQ(shell.CallsOf("GetSpecialFolder")[0].window, kEditor);
  ExpectBoxes({{kRemovedFromStartupText, MsgButtons::Ok, MsgIcon::Information},
               {kNotInStartupText, MsgButtons::Ok, MsgIcon::Information}});
}

TEST_F(Startup, RemoveIgnoresOtherShortcutsAndReportsAFailedDeletion) {
  fs.AddFile(kStartup + "\\Velmora (2).lnk", "lnk");
  RemoveStartupShortcut(fs, shell, dialogs, kEditor);
  EXPECT_TRUE(fs.PathsOf("Delete").empty());

  fs.AddFile(kLink, "lnk");
  fs.FailOn("Delete", kLink, 32, "In use.");
  RemoveStartupShortcut(fs, shell, dialogs, kEditor);
  EXPECT_TRUE(fs.HasFile(kLink));
  ExpectBoxes({{kNotInStartupText, MsgButtons::Ok, MsgIcon::Information},
               {"Error: In use. - 32", MsgButtons::Ok, MsgIcon::Information}});
}

TEST_F(Startup, RemoveWithoutAStartupFolderDeletesNothing) {
  // Without the component there is no Startup folder to look in; a "\Velmora.lnk"
  // at the root of the current drive is somebody else's file.
  fs.AddFile("\\Velmora.lnk", "not ours");
  shell.createError = {429, "ActiveX component can't create object"};
  RemoveStartupShortcut(fs, shell, dialogs, kEditor);
  shell.createError = {};
  shell.opErrors["GetSpecialFolder"] = {2, "The system cannot find the file specified."};
  RemoveStartupShortcut(fs, shell, dialogs, kEditor);
  EXPECT_TRUE(fs.PathsOf("Delete").empty());
  EXPECT_TRUE(fs.HasFile("\\Velmora.lnk"));
}

}  // namespace
}  // namespace velmora
