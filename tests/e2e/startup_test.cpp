// Start-up, the options file, the first start, the single instance, a broken
// shell component, minimizing to the taskbar and exit, as a user meets them.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "driver.h"

namespace velmora::e2e {
namespace {

const std::string kOptionsFile = "vlmra250.dat";
const std::string kStartupQuestion =
    "Would you like to set Velmora as a startup program?\r\n"
    "If you choose No, you can set it later from the Customize page under the Options menu.";
const std::string kStartupSet = "Velmora has been set as a startup program.";
const std::string kAlreadyRunning =
    "Velmora is already running. If you have minimized it to the taskbar, click its icon on "
    "the taskbar to activate it. If you have set it as Auto Hide, point the mouse to its "
    "previous position.";
const std::string kShellUnavailable =
    "Unable to communicate with the file VLShell.dll located under Velmora folder. Please run "
    "the setup program again to clear this error. If the problem presist, please send email to "
    "support@velmora.app to report this problem.";
const std::string kShellQuit =
    "If you continue working with the program while this file is unavailable, it will not "
    "function as it should be. Do you want to quit the program now.";
const std::string kSampleMenusFailed =
    "Error occured while Velmora was trying to add entries to buttons and menus. It looks like "
    "your Windows standard folders have been changed from the original names or they don't "
    "exist any more. Please use the Customize page to add entries to Velmora.";
// Positions 1, 2 and 16 set: no first-start question, no first-run branches.
const std::string kSettled = "1100000000000001";

// A program folder as a user has it after the first start: options settled and
// one menu button, so start-up has nothing to ask.
void MakeSettled(const ProgramFolder& folder, const std::string& options = kSettled) {
  ASSERT_TRUE(folder.Write("vlmra250.dat", options));
  if (!folder.IsFolder("Menus")) {
    ASSERT_TRUE(folder.MakeFolder("Menus"));
  }
  ASSERT_TRUE(folder.Write("Menus\\BMENU001.MNU", ItemRecord("Tools", "new", "") +
                                                       ItemRecord("Notepad", "notepad.exe",
                                                                  "notepad.exe")));
}

// The options string as the program reads it from `bytes`: 16 characters,
// anything but "1" counts as "0".
std::string ReadAsOptions(const std::string& bytes) {
  std::string o = bytes.substr(0, 16);
  o.resize(16, '0');
  for (char& c : o) c = c == '1' ? '1' : '0';
  return o;
}

// What the options file holds after a first start and a clean exit. Position 2
// belongs to the toolbar's first-run branch and is checked on its own.
void ExpectFirstStartOptions(const std::string& before, const std::optional<std::string>& after) {
  ASSERT_TRUE(after) << "options file missing";
  std::string expected = ReadAsOptions(before);
  expected[0] = '1';
  expected[15] = '1';
  if (before.size() > 16) expected += before.substr(16);
  ASSERT_EQ(after->size(), expected.size()) << "file: " << *after;
  EXPECT_TRUE((*after)[1] == '0' || (*after)[1] == '1') << "position 2: " << (*after)[1];
  std::string got = *after;
  got[1] = expected[1];
  EXPECT_EQ(got, expected);
}

bool HasOnlyButtons(const MessageBoxWindow& box, std::vector<int> ids) {
  for (int id : {IDOK, IDCANCEL, IDYES, IDNO, IDABORT, IDRETRY, IDIGNORE}) {
    bool wanted = std::find(ids.begin(), ids.end(), id) != ids.end();
    if (box.HasButton(id) != wanted) return false;
  }
  return true;
}

std::string ButtonsOf(const MessageBoxWindow& box) {
  std::string out = "buttons:";
  for (int id : {IDOK, IDCANCEL, IDYES, IDNO, IDABORT, IDRETRY, IDIGNORE})
    if (box.HasButton(id)) out.append(" ").append(std::to_string(id));
  return out;
}

// The renames and safe writes of start-up and exit leave nothing behind.
void ExpectNoLeftovers(const ProgramFolder& folder) {
  for (const std::string& name : folder.List()) {
    if (name.find('\\') != std::string::npos) continue;
    EXPECT_FALSE(SameText(name, "TTTTTTTT")) << "left behind: " << name;
    std::string lower = name;
    for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    EXPECT_TRUE(lower.find("vlmra250") == std::string::npos || lower == "vlmra250.dat")
        << "left behind: " << name;
  }
}

void ExpectTopStrip(HWND toolbar) {
  RECT r = WindowRect(toolbar);
  LONG style = GetWindowLongA(toolbar, GWL_STYLE);
  LONG exStyle = GetWindowLongA(toolbar, GWL_EXSTYLE);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST) << "toolbar not topmost";
  EXPECT_NE(style & WS_CAPTION, WS_CAPTION) << "toolbar has a title bar";
  EXPECT_LE(r.top, 0) << "toolbar not at the top edge";
  EXPECT_GT(r.bottom, 0) << "toolbar off the screen";
  EXPECT_LT(r.bottom - r.top, 80) << "toolbar is not a thin strip";
  EXPECT_GT(r.right - r.left, 0);
}

// Start-up is through once the program takes messages in its own loop. It
// lets messages run at a few points on the way, so a few round trips get past
// them. The options file is not polled meanwhile: under Wine a reader's open
// handle makes the program's replacing rename fail.
::testing::AssertionResult StartUpDone(App& app) {
  for (int i = 0; i < 3; ++i)
    if (!app.Sync()) return ::testing::AssertionFailure() << "no answer " << app.Report();
  auto boxes = app.MessageBoxes();
  if (boxes.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "box still open: \"" << boxes[0].text << "\" "
                                       << app.Report();
}

class Startup : public ::testing::Test {
 protected:
  void SetUp() override { KillStrayInstances(); }

  // Takes a started program through start-up: answers the first-start question
  // with No exactly when one must come, and waits until the program is idle.
  void SettleStart(App& app, bool expectQuestion) {
    if (expectQuestion) {
      auto question = app.WaitForMessageBox(kStartupQuestion);
      ASSERT_TRUE(question) << "no first-start question " << app.Report();
      ASSERT_TRUE(question->Press(IDNO));
      ASSERT_TRUE(question->WaitGone());
    }
    ASSERT_TRUE(app.WaitStarted()) << "toolbar did not come up " << app.Report();
    ASSERT_TRUE(StartUpDone(app));
    if (!expectQuestion) {
      EXPECT_TRUE(app.SeenMessages().empty()) << "unexpected box: " << app.SeenMessages()[0];
    }
  }

  StartupLinkGuard link_;
  ProgramFolder folder_;
};

TEST_F(Startup, FirstStartPreparesTheFolderAndOffersTheStartupShortcut) {
  // State files of an earlier version go; everything else of the user's stays.
  ASSERT_TRUE(folder_.Write("toolbarp.dat", "old"));
  ASSERT_TRUE(folder_.Write("NSEARCH.DAT", "old"));
  ASSERT_TRUE(folder_.Write("notes.txt", "mine"));
  ASSERT_TRUE(folder_.MakeFolder("Saved"));
  ASSERT_TRUE(folder_.Write("Saved\\inner.dat", "mine"));

  App app(folder_);
  ASSERT_TRUE(app.Start()) << app.Error();

  HWND splash = app.WaitForWindow(Visible("VelmoraSplash"));
  ASSERT_TRUE(splash) << "no splash window " << app.Report();
  EXPECT_NE(GetWindowLongA(splash, GWL_STYLE) & WS_CAPTION, WS_CAPTION) << "splash has a title bar";
  std::string label = ChildText(splash, 1001);
  EXPECT_TRUE(std::regex_match(label, std::regex("Initializing( \\.)*"))) << label;

  auto question = app.WaitForMessageBox(kStartupQuestion);
  ASSERT_TRUE(question) << "no first-start question " << app.Report();
  EXPECT_EQ(question->text, kStartupQuestion);
  EXPECT_EQ(question->caption, "Velmora");
  EXPECT_TRUE(HasOnlyButtons(*question, {IDYES, IDNO}));

  // The question comes last: the toolbar is up and the splash gone by then.
  HWND toolbar = app.Find(Visible("VelmoraToolbar"));
  ASSERT_TRUE(toolbar) << "toolbar not visible while the question is asked";
  ExpectTopStrip(toolbar);
  EXPECT_FALSE(app.Find(AnyState("VelmoraSplash"))) << "splash still there";
  HWND minimize = app.Find(AnyState("VelmoraMinimize"));
  ASSERT_TRUE(minimize) << "no minimize window";
  EXPECT_FALSE(IsWindowVisible(minimize));
  EXPECT_EQ(CaptionOf(minimize), "Velmora");

  EXPECT_FALSE(folder_.Exists("toolbarp.dat"));
  EXPECT_FALSE(folder_.Exists("NSEARCH.DAT"));
  EXPECT_EQ(folder_.Read("notes.txt"), "mine");
  EXPECT_EQ(folder_.Read("Saved\\inner.dat"), "mine");
  EXPECT_TRUE(folder_.Exists("Velmora.exe"));
  EXPECT_TRUE(folder_.Exists("VLShell.dll"));
  EXPECT_EQ(folder_.Read("httpicon.htm"), "<HTML> </HTML>\r\n");
  EXPECT_TRUE(folder_.IsFolder("Menus"));
  EXPECT_TRUE(folder_.IsFolder("Icons"));

  ASSERT_TRUE(question->Press(IDNO));
  ASSERT_TRUE(question->WaitGone());
  EXPECT_TRUE(StartUpDone(app));
  EXPECT_FALSE(PathExists(StartupLinkPath())) << "No made a shortcut";

  EXPECT_TRUE(app.Close()) << "program did not end on WM_CLOSE";
  EXPECT_TRUE(app.ExitedCleanly()) << std::hex << app.ExitCode();
  EXPECT_TRUE(app.Saw("VelmoraSplash"));
  EXPECT_EQ(app.SeenMessages(), std::vector<std::string>{kStartupQuestion});
  ExpectFirstStartOptions("", folder_.Read(kOptionsFile));
  ExpectNoLeftovers(folder_);
  EXPECT_EQ(ListTree(folder_.WorkFolder()), std::vector<std::string>{})
      << "files written to the working folder instead of the program folder";
}

TEST_F(Startup, YesPutsTheProgramIntoTheStartupFolderAndLaterStartsAskNothing) {
  std::string afterFirst;
  {
    App app(folder_);
    ASSERT_TRUE(app.Start()) << app.Error();
    auto question = app.WaitForMessageBox(kStartupQuestion);
    ASSERT_TRUE(question) << app.Report();
    ASSERT_TRUE(question->Press(IDYES));

    auto done = app.WaitForMessageBox(kStartupSet);
    ASSERT_TRUE(done) << "no confirmation after Yes";
    EXPECT_EQ(done->text, kStartupSet);
    EXPECT_EQ(done->caption, "Velmora");
    EXPECT_TRUE(HasOnlyButtons(*done, {IDOK}));

    auto link = ReadShortcut(StartupLinkPath());
    ASSERT_TRUE(link) << "no readable shortcut at " << StartupLinkPath();
    EXPECT_TRUE(SameText(link->target, folder_.PathOf("Velmora.exe"))) << link->target;
    EXPECT_TRUE(SameText(link->workingFolder, folder_.Path())) << link->workingFolder;
    EXPECT_EQ(link->arguments, "");

    ASSERT_TRUE(done->Press(IDOK));
    ASSERT_TRUE(done->WaitGone());
    EXPECT_TRUE(StartUpDone(app));
    EXPECT_TRUE(app.Close());
    EXPECT_TRUE(app.ExitedCleanly());
    EXPECT_EQ(app.SeenMessages(), (std::vector<std::string>{kStartupQuestion, kStartupSet}));
    ExpectFirstStartOptions("", folder_.Read(kOptionsFile));
    afterFirst = folder_.Read(kOptionsFile).value_or("");
  }

  // Without the shortcut a wrongly repeated first start would ask again; with
  // position 16 set, the state files of this version are no longer cleaned up.
  ASSERT_TRUE(RemoveStartupLink());
  ASSERT_TRUE(folder_.Write("mine.dat", "state"));
  App again(folder_);
  ASSERT_TRUE(again.Start()) << again.Error();
  ASSERT_NO_FATAL_FAILURE(SettleStart(again, false));
  EXPECT_TRUE(again.Close());
  EXPECT_TRUE(again.ExitedCleanly());
  EXPECT_TRUE(again.SeenMessages().empty());
  EXPECT_FALSE(PathExists(StartupLinkPath()));
  EXPECT_EQ(folder_.Read("mine.dat"), "state");
  EXPECT_EQ(folder_.Read(kOptionsFile), afterFirst);
  ExpectNoLeftovers(folder_);
}

TEST_F(Startup, AnExistingShortcutIsNeitherQuestionedNorTouched) {
  const std::string mine = "a shortcut the user made by hand";
  ASSERT_TRUE(WriteBytes(StartupLinkPath(), mine));

  App app(folder_);
  ASSERT_TRUE(app.Start()) << app.Error();
  ASSERT_TRUE(app.WaitStarted()) << app.Report();
  EXPECT_TRUE(StartUpDone(app));
  EXPECT_TRUE(app.Close());
  EXPECT_TRUE(app.ExitedCleanly());
  EXPECT_TRUE(app.SeenMessages().empty()) << app.SeenMessages()[0];
  EXPECT_EQ(ReadBytes(StartupLinkPath()), mine);
  ExpectFirstStartOptions("", folder_.Read(kOptionsFile));
}

// A user who deleted the Startup folder gets it back with the shortcut in it:
// the shell component asks the system to create a missing special folder.
TEST_F(Startup, AMissingStartupFolderIsMadeAgainForTheShortcut) {
  StartupFolderAway away;
  ASSERT_TRUE(away.Ok()) << "cannot move the Startup folder away";
  // Where a link path built from an empty folder name would land.
  const std::string driveRoot = folder_.Path().substr(0, 3) + "Velmora.lnk";
  const bool rootLinkBefore = PathExists(driveRoot);

  App app(folder_);
  ASSERT_TRUE(app.Start()) << app.Error();
  auto question = app.WaitForMessageBox(kStartupQuestion);
  ASSERT_TRUE(question) << app.Report();
  ASSERT_TRUE(question->Press(IDYES));
  ASSERT_TRUE(question->WaitGone());

  auto done = app.WaitForMessageBox("");  // whatever comes next
  ASSERT_TRUE(done) << "no report " << app.Report();
  EXPECT_EQ(done->text, "Velmora has been set as a startup program.");
  EXPECT_TRUE(HasOnlyButtons(*done, {IDOK}));
  ASSERT_TRUE(done->Press(IDOK));
  ASSERT_TRUE(done->WaitGone());

  EXPECT_TRUE(app.WaitStarted()) << app.Report();
  EXPECT_TRUE(StartUpDone(app));
  EXPECT_TRUE(app.Close());
  EXPECT_TRUE(app.ExitedCleanly());
  EXPECT_TRUE(PathExists(StartupLinkPath()));
  DeleteFileA(StartupLinkPath().c_str());
  if (!rootLinkBefore && PathExists(driveRoot)) {
    ADD_FAILURE() << "shortcut made at " << driveRoot;
    DeleteFileA(driveRoot.c_str());
  }
}

// Damaged, short and long options files: start-up copes, the user's bytes
// after the 16th survive, and each position acts as read.
TEST_F(Startup, OptionsFileIsReadAsFoundAndWrittenBackInPlace) {
  std::string tail;
  for (int i = 0; i < 84; ++i) tail += static_cast<char>((i * 53 + 7) & 0xFF);
  struct Case {
    const char* name;
    std::string bytes;
  };
  const std::vector<Case> cases = {
      {"empty", ""},
      {"three bytes", "1x1"},
      // 100 bytes, splash switched off, clean-up already done.
      {"long", "0100001010100111" + tail},
      {"binary", std::string("\x00\xff" "1\r\n\x80\x31" "0\x01 1abc\x00\x7f\x31\x31\x31", 19)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProgramFolder folder;
    ASSERT_NO_FATAL_FAILURE(MakeSettled(folder, c.bytes));
    ASSERT_TRUE(folder.Write("mine.dat", "state"));
    const std::string read = ReadAsOptions(c.bytes);

    App app(folder);
    ASSERT_TRUE(app.Start()) << app.Error();
    ASSERT_NO_FATAL_FAILURE(SettleStart(app, read[0] != '1'));
    EXPECT_TRUE(app.Close());
    EXPECT_TRUE(app.ExitedCleanly());

    EXPECT_EQ(app.Saw("VelmoraSplash"), read[8] != '1') << "splash against position 9";
    EXPECT_EQ(folder.Exists("mine.dat"), read[15] == '1') << "clean-up against position 16";
    ExpectFirstStartOptions(c.bytes, folder.Read(kOptionsFile));
    ExpectNoLeftovers(folder);
  }
}

TEST_F(Startup, AFileNamedMenusDoesNotStopStartUp) {
  ASSERT_TRUE(folder_.Write("Menus", "not a folder"));
  App app(folder_);
  ASSERT_TRUE(app.Start()) << app.Error();
  // The sample menus of the first start have nowhere to go: said once, then on.
  auto samples = app.WaitForMessageBox(kSampleMenusFailed);
  ASSERT_TRUE(samples) << app.Report();
  EXPECT_EQ(samples->text, kSampleMenusFailed);
  EXPECT_EQ(samples->caption, "Velmora");
  EXPECT_TRUE(HasOnlyButtons(*samples, {IDOK})) << ButtonsOf(*samples);
  ASSERT_TRUE(samples->Press(IDOK));
  ASSERT_NO_FATAL_FAILURE(SettleStart(app, true));
  EXPECT_EQ(app.SeenMessages(), (std::vector<std::string>{kSampleMenusFailed, kStartupQuestion}));
  EXPECT_TRUE(app.Close());
  EXPECT_TRUE(app.ExitedCleanly());
  EXPECT_EQ(folder_.Read("Menus"), "not a folder");
  EXPECT_TRUE(folder_.IsFolder("Icons"));
  ExpectFirstStartOptions("", folder_.Read(kOptionsFile));
}

TEST_F(Startup, ReadOnlyProgramFilesAreLeftAlone) {
  // A folder marked read-only does not stop writes on Windows (nor under Wine
  // as root); the read-only options file is what the program must respect.
  ASSERT_TRUE(folder_.Write(kOptionsFile, "0000000000000000"));
  ASSERT_TRUE(folder_.Write("notes.txt", "mine"));
  ASSERT_TRUE(folder_.SetReadOnly(kOptionsFile, true));
  ASSERT_TRUE(folder_.SetFolderReadOnly(true));

  App app(folder_);
  ASSERT_TRUE(app.Start()) << app.Error();
  ASSERT_NO_FATAL_FAILURE(SettleStart(app, true));
  EXPECT_TRUE(app.Close());
  EXPECT_TRUE(app.ExitedCleanly());
  EXPECT_EQ(folder_.Read(kOptionsFile), "0000000000000000");
  EXPECT_TRUE(folder_.IsReadOnly(kOptionsFile));
  EXPECT_EQ(folder_.Read("notes.txt"), "mine");
  ExpectNoLeftovers(folder_);
  folder_.SetFolderReadOnly(false);
}

TEST_F(Startup, ASecondStartIsTurnedAwayAndTheFirstKeepsRunning) {
  ASSERT_NO_FATAL_FAILURE(MakeSettled(folder_));
  App first(folder_);
  ASSERT_TRUE(first.Start()) << first.Error();
  ASSERT_NO_FATAL_FAILURE(SettleStart(first, false));
  const auto filesBefore = folder_.List();

  ProgramFolder elsewhere;
  ASSERT_TRUE(elsewhere.Write(kOptionsFile, "0000000000000000"));
  for (const ProgramFolder* f : {&folder_, &elsewhere}) {
    SCOPED_TRACE(f->Path());
    const auto options = f->Read(kOptionsFile);
    App second(*f);
    ASSERT_TRUE(second.Start()) << second.Error();
    auto box = second.WaitForMessageBox("already running");
    ASSERT_TRUE(box) << "second start not refused";
    EXPECT_EQ(box->text, kAlreadyRunning);
    EXPECT_EQ(box->caption, "Velmora");
    EXPECT_TRUE(HasOnlyButtons(*box, {IDOK}));
    ASSERT_TRUE(box->Press(IDOK));
    EXPECT_TRUE(second.WaitExit()) << "second instance did not end after OK";
    EXPECT_TRUE(second.ExitedCleanly());
    EXPECT_FALSE(second.Saw("VelmoraSplash") || second.Saw("VelmoraToolbar") ||
                 second.Saw("VelmoraMinimize"))
        << "second instance showed windows of its own";
    EXPECT_EQ(f->Read(kOptionsFile), options) << "second instance wrote options";
  }
  EXPECT_EQ(folder_.List(), filesBefore) << "second instance changed the program folder";
  EXPECT_FALSE(elsewhere.Exists("httpicon.htm"));

  ASSERT_TRUE(first.Running());
  EXPECT_TRUE(first.Find(Visible("VelmoraToolbar")));
  EXPECT_TRUE(first.Close());
  EXPECT_TRUE(first.ExitedCleanly());
}

TEST_F(Startup, AMissingShellComponentLetsTheUserQuit) {
  ASSERT_NO_FATAL_FAILURE(MakeSettled(folder_));
  ASSERT_TRUE(folder_.Remove("VLShell.dll"));
  App app(folder_);
  ASSERT_TRUE(app.Start()) << app.Error();

  auto report = app.WaitForMessageBox("Unable to communicate");
  ASSERT_TRUE(report) << app.Report();
  EXPECT_EQ(report->text, kShellUnavailable);
  EXPECT_EQ(report->caption, "Velmora");
  EXPECT_TRUE(HasOnlyButtons(*report, {IDOK})) << ButtonsOf(*report);
  ASSERT_TRUE(report->Press(IDOK));

  auto quit = app.WaitForMessageBox("Do you want to quit");
  ASSERT_TRUE(quit) << app.Report();
  EXPECT_EQ(quit->text, kShellQuit);
  EXPECT_EQ(quit->caption, "Velmora");
  EXPECT_TRUE(HasOnlyButtons(*quit, {IDYES, IDNO})) << ButtonsOf(*quit);
  ASSERT_TRUE(quit->Press(IDYES));
  EXPECT_TRUE(app.WaitExit()) << "Yes did not end the program";
  EXPECT_EQ(app.SeenMessages(), (std::vector<std::string>{kShellUnavailable, kShellQuit}));
}

TEST_F(Startup, ADamagedShellComponentLetsTheUserGoOn) {
  ASSERT_NO_FATAL_FAILURE(MakeSettled(folder_));
  ASSERT_TRUE(folder_.Corrupt("VLShell.dll"));
  App app(folder_);
  ASSERT_TRUE(app.Start()) << app.Error();

  auto report = app.WaitForMessageBox("Unable to communicate");
  ASSERT_TRUE(report) << app.Report();
  EXPECT_EQ(report->text, kShellUnavailable);
  ASSERT_TRUE(report->Press(IDOK));
  auto quit = app.WaitForMessageBox("Do you want to quit");
  ASSERT_TRUE(quit) << app.Report();
  ASSERT_TRUE(quit->Press(IDNO));

  ASSERT_TRUE(app.WaitStarted()) << "No did not go on to the toolbar " << app.Report();
  ASSERT_TRUE(StartUpDone(app));
  EXPECT_TRUE(app.Close());
  EXPECT_TRUE(app.ExitedCleanly());
  EXPECT_EQ(app.SeenMessages(), (std::vector<std::string>{kShellUnavailable, kShellQuit}));
  EXPECT_EQ(folder_.Read(kOptionsFile), kSettled);
}

TEST_F(Startup, MinimizeToTheTaskbarRestoreAndCloseFromThere) {
  ASSERT_NO_FATAL_FAILURE(MakeSettled(folder_));
  App app(folder_);
  ASSERT_TRUE(app.Start()) << app.Error();
  ASSERT_NO_FATAL_FAILURE(SettleStart(app, false));
  HWND toolbar = app.Find(Visible("VelmoraToolbar"));
  HWND minimize = app.Find(Hidden("VelmoraMinimize"));
  ASSERT_TRUE(toolbar && minimize);
  // A window manager may place a window anew when it is shown and activated;
  // the toolbar puts itself back to its top rows above the screen edge.
  RECT shown{};
  ASSERT_TRUE(app.WaitUntil([&] {
    shown = WindowRect(toolbar);
    return shown.top < 0;
  })) << "toolbar not above the screen edge: top " << shown.top;

  auto minimized = [&] {
    return IsWindowVisible(minimize) && IsIconic(minimize) && !IsWindowVisible(toolbar);
  };
  auto restored = [&] { return !IsWindowVisible(minimize) && IsWindowVisible(toolbar); };

  PostMessageA(toolbar, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(app.WaitUntil(minimized)) << "not minimized to the taskbar";
  EXPECT_EQ(CaptionOf(minimize), "Velmora");

  PostMessageA(minimize, WM_SYSCOMMAND, SC_RESTORE, 0);
  ASSERT_TRUE(app.WaitUntil(restored)) << "not restored from the taskbar";
  RECT back{};
  EXPECT_TRUE(app.WaitUntil([&] {
    back = WindowRect(toolbar);
    return EqualRect(&back, &shown);
  })) << "toolbar came back at " << back.left << "," << back.top << " - " << back.right << ","
      << back.bottom << ", was at " << shown.left << "," << shown.top << " - " << shown.right
      << "," << shown.bottom;

  // Closing from the taskbar is the normal exit: it writes the options back,
  // as a file changed behind the program's back shows.
  PostMessageA(toolbar, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(app.WaitUntil(minimized));
  ASSERT_TRUE(folder_.Write(kOptionsFile, "0000000000000000"));
  EXPECT_TRUE(app.Close()) << "WM_CLOSE to the taskbar window did not end the program";
  EXPECT_TRUE(app.ExitedCleanly());
  EXPECT_EQ(folder_.Read(kOptionsFile), kSettled);
  EXPECT_TRUE(app.SeenMessages().empty());
}

}  // namespace
}  // namespace velmora::e2e
