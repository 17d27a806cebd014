// The launcher's decisions over a recording platform: which words it knows,
// what goes to the shell, the command-line fallback and the failure outcomes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes.h"
#include "launch_fakes.h"
#include "core/app_state.h"
#include "model/state_files.h"
#include "shell/launcher.h"

namespace velmora {
namespace {

using test::FakeDialogs;
using test::FakeFileSystem;
using test::FakeLaunchPlatform;
using test::FakeShell;
using Log = std::vector<std::string>;

class Launcher : public ::testing::Test {
 protected:
  Launcher() { state.folders = ProgramFoldersOf("C:\\Prog\\Velmora.exe"); }

  Log Run(std::string command) {
    RunItem(services, command);
    lastCommand = command;
    return platform.log;
  }

  AppState state;
  FakeFileSystem fs;
  FakeDialogs dialogs;
  FakeShell shell;
  FakeLaunchPlatform platform;
  LaunchServices services{state, fs, dialogs, shell, platform, platform};
  std::string lastCommand;
};

TEST_F(Launcher, WordsMatchTheWholeUntrimmedTextInAnyCase) {
  for (const char* word : {"netsearch", "NetSearch", "NETSEARCH"}) {
    platform.log.clear();
    EXPECT_EQ(Run(word), Log{"show-netsearch"}) << word;
  }
  // A blank before the word makes it a path for the shell.
  platform.log.clear();
  EXPECT_EQ(Run(" netsearch"), (Log{"shell  netsearch |  |  | normal"}));
  platform.log.clear();
  EXPECT_EQ(Run("netsearch.exe"), (Log{"shell netsearch.exe |  |  | normal"}));
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(Launcher, BuiltInWordsExpandIntoTheirCommandLines) {
  struct Case {
    const char* word;
    const char* line;
  };
  const Case cases[] = {
      {"Explorer", "explorer.exe /e,/root,,::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"},
      {"COPYDISK", "rundll32.exe diskcopy.dll,DiskCopyRunDll"},
      {"formatdisk", "rundll32.exe shell32.dll,SHFormatDrive"},  // the last one looked at
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.word);
    platform.log.clear();
    // The shell cannot open a command line with arguments; it is then started.
    platform.shellCodes[ToUpper(c.line)] = 2;
    EXPECT_EQ(Run(c.word), (Log{std::string("shell ") + c.line + " |  |  | normal",
                                std::string("start ") + c.line + " | normal"}));
    EXPECT_EQ(lastCommand, c.line) << "the caller's text is replaced";
  }
  // The stored expansion runs as an ordinary command line.
  platform.log.clear();
  platform.shellCodes.clear();
  EXPECT_EQ(Run("control.exe"), (Log{"shell control.exe |  |  | normal"}));
}

TEST_F(Launcher, OnlyPlainHttpGoesToTheBrowser) {
  state.UseUrlFile = true;  // a way is known: no detection
  Run("HTTP://Example.com/a");
  EXPECT_EQ(platform.Calls("shell"), Log{"shell C:\\Prog\\tempurl.url |  |  | normal"});
  EXPECT_EQ(fs.Content("C:\\Prog\\tempurl.url"),
            "[InternetShortcut]\r\nURL=HTTP://Example.com/a\r\n");

  for (const char* other : {"https://example.com/", "www.example.com", " http://example.com/"}) {
    platform.log.clear();
    EXPECT_EQ(Run(other), Log{std::string("shell ") + other + " |  |  | normal"}) << other;
  }
}

TEST_F(Launcher, WorkingFolderComesFromTheDrivePathOrTheShortcutTarget) {
  EXPECT_EQ(GetFileFolder("C:\\Tools\\app.exe"), "C:\\Tools\\");
  EXPECT_EQ(GetFileFolder("C:\\app.exe"), "C:\\");
  EXPECT_EQ(GetFileFolder("C:\\Tools\\app.exe -x C:\\data\\f.txt"), "C:\\Tools\\app.exe -x C:\\data\\");
  for (const char* none : {"\\\\server\\share\\a.exe", "notepad.exe", "\"C:\\x\\a.exe\"", "C:", "",
                           "C:a\\b", "C/\\x"})
    EXPECT_EQ(GetFileFolder(none), "") << none;

  platform.shellCodes["C:\\TOOLS\\APP.EXE -X"] = 2;
  EXPECT_EQ(Run("C:\\Tools\\app.exe -x"),
            (Log{"shell C:\\Tools\\app.exe -x |  | C:\\Tools\\ | normal",
                 "start C:\\Tools\\app.exe -x | normal"}));

  ShortcutInfo word;
  word.target = "  C:\\Office\\WORD.EXE ";
  shell.shortcuts["C:\\LINKS\\WORD.LNK"] = word;
  platform.log.clear();
  EXPECT_EQ(Run("C:\\Links\\Word.LNK"),
            (Log{"shell C:\\Links\\Word.LNK |  | C:\\Office\\ | normal"}));
  EXPECT_EQ(shell.CallsOf("ReadShortcut").back().link, "C:\\Links\\Word.LNK");
  EXPECT_EQ(shell.live, 0) << "the component is released";

  // An unreadable shortcut, a component that cannot be made, a bare target:
  // no folder, and the shell still gets the link.
  platform.log.clear();
  EXPECT_EQ(Run("C:\\Links\\gone.lnk"), (Log{"shell C:\\Links\\gone.lnk |  |  | normal"}));
  ShortcutInfo bare;
  bare.target = "notepad.exe";
  shell.shortcuts["C:\\LINKS\\BARE.LNK"] = bare;
  EXPECT_EQ(GetShortcutFolder(shell, "C:\\Links\\bare.lnk"), "");
  shell.createError = {5, "Access is denied."};
  EXPECT_EQ(GetShortcutFolder(shell, "C:\\Links\\Word.lnk"), "");
}

TEST_F(Launcher, MissingFileSaysUnavailable) {
  platform.shellDefault = 2;
  for (long error : {2L, 3L, 123L, 161L}) {
    SCOPED_TRACE(error);
    dialogs.shown.clear();
    platform.startErrors["C:\\gone\\x.exe"] = error;
    Run("C:\\gone\\x.exe");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "File/Device unavailable.");
    EXPECT_EQ(dialogs.shown[0].icon, MsgIcon::Critical);
    EXPECT_EQ(dialogs.shown[0].caption, "Velmora");
  }
  EXPECT_EQ(MessageErrorNumber(2), 53);
  EXPECT_EQ(MessageErrorNumber(161), 52);
  EXPECT_EQ(MessageErrorNumber(193), 193);
}

TEST_F(Launcher, AnExistingFileNobodyRunsGetsOpenWith) {
  platform.shellCodes["C:\\DOCS\\NOTES.XYZ"] = 31;  // no association
  platform.startErrors["C:\\Docs\\notes.xyz"] = 193;  // not a program
  fs.AddFile("C:\\Docs\\notes.xyz", "text");
  EXPECT_EQ(Run("C:\\Docs\\notes.xyz"),
            (Log{"shell C:\\Docs\\notes.xyz |  | C:\\Docs\\ | normal", "start C:\\Docs\\notes.xyz | normal",
                 "start rundll32.exe shell32.dll,OpenAs_RunDLL C:\\Docs\\notes.xyz | min"}));
  EXPECT_TRUE(dialogs.shown.empty());

  // The same error for a file that is not there shows nothing at all.
  platform.log.clear();
  platform.shellCodes["C:\\DOCS\\GONE.XYZ"] = 31;
  platform.startErrors["C:\\Docs\\gone.xyz"] = 193;
  EXPECT_EQ(Run("C:\\Docs\\gone.xyz").size(), 2u);
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(Launcher, FileFindAsksTheShellByDde) {
  platform.ddeServers.insert("FOLDERS|APPPROPERTIES");
  EXPECT_EQ(Run("FileFind"), (Log{"dde-connect Folders|AppProperties",
                                  "dde-execute [FindFolder(\"\",0)]", "dde-close"}));
  EXPECT_TRUE(dialogs.shown.empty());

  // A refused command is ignored.
  platform.log.clear();
  platform.ddeExecuteError = {16393, "not processed"};
  EXPECT_EQ(Run("filefind").size(), 3u);
  EXPECT_TRUE(dialogs.shown.empty());

  // Nobody answers: the system's description in the message, conversation closed.
  platform.ddeServers.clear();
  platform.log.clear();
  EXPECT_EQ(Run("FILEFIND"), (Log{"dde-connect Folders|AppProperties", "dde-close"}));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text,
            "Cannot run File Find module. Windows Error: No DDE conversation could be opened "
            "with the application");
  EXPECT_EQ(dialogs.shown[0].icon, MsgIcon::Critical);
}

}  // namespace
}  // namespace velmora
