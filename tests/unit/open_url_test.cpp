// Browser detection and the web-address opener over a recording platform:
// the order of the sources, the three ways and the state they leave.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes.h"
#include "launch_fakes.h"
#include "netsearch/browser_detection.h"
#include "core/app_state.h"
#include "model/state_files.h"
#include "shell/open_url.h"

namespace velmora {
namespace {

using test::FakeDialogs;
using test::FakeFileSystem;
using test::FakeLaunchPlatform;
using test::FakeShell;
using Log = std::vector<std::string>;

constexpr const char* kHtml = "C:\\Prog\\temphtml.htm";
constexpr const char* kUrl = "C:\\Prog\\tempurl.url";
constexpr const char* kIe = "C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE";

class Browser : public ::testing::Test {
 protected:
  Browser() { state.folders = ProgramFoldersOf("C:\\Prog\\Velmora.exe"); }

  void Detect() { GetDefaultBrowser(state, fs, platform, platform); }
  void Registry(const std::string& command, const std::string& app, const std::string& topic) {
    platform.SetString(kHttpCommandKey, command);
    platform.SetString(kHttpDdeAppKey, app);
    platform.SetString(kHttpDdeTopicKey, topic);
  }
  void ExpectState(bool dde, bool urlFile, const std::string& path, const std::string& server,
                   const std::string& topic) {
    EXPECT_EQ(state.UseDde, dde);
    EXPECT_EQ(state.UseUrlFile, urlFile);
    EXPECT_EQ(state.BrowserPath, path);
    EXPECT_EQ(state.DdeServer, server);
    EXPECT_EQ(state.DdeTopic, topic);
  }

  AppState state;
  FakeFileSystem fs;
  FakeDialogs dialogs;
  FakeShell shell;
  FakeLaunchPlatform platform;
  LaunchServices services{state, fs, dialogs, shell, platform, platform};
};

TEST(StripQuotes, KeepsTheFirstQuotedPart) {
  EXPECT_EQ(StripQuotes("\"C:\\Program Files\\B\\b.exe\" -nohome \"%1\""), "C:\\Program Files\\B\\b.exe");
  EXPECT_EQ(StripQuotes("C:\\b.exe -x"), "C:\\b.exe -x");
  EXPECT_EQ(StripQuotes("C:\\b\"x\"y.exe"), "C:\\bx");
  EXPECT_EQ(StripQuotes("\"only one"), "only one");
  EXPECT_EQ(StripQuotes("\"\""), "");
  EXPECT_EQ(StripQuotes(""), "");
}

TEST_F(Browser, RegistryValuesOfEveryShape) {
  const auto read = [&](RegistryValue value, std::string start = "before") {
    platform.registry["k"] = value;
    GetKeyValue(platform, "k", "", start);
    return start;
  };
  EXPECT_EQ(read({true, true, kRegSz, std::string("abc\0", 4)}), "abc");
  EXPECT_EQ(read({true, true, kRegSz, "abc"}), "abc") << "stored without its NUL";
  EXPECT_EQ(read({true, true, kRegSz, std::string("\0", 1)}), "");
  EXPECT_EQ(read({true, true, kRegSz, ""}), "");
  EXPECT_EQ(read({true, true, kRegSz, std::string("a\0b\0", 4)}), "a");
  EXPECT_EQ(read({true, false, 0, ""}), "") << "missing value or one too long for the buffer";
  EXPECT_EQ(read({false, false, 0, ""}), "before") << "missing key";
  EXPECT_EQ(read({true, true, 4, std::string("\x01\0\0\0", 4)}), "before") << "a number";
  EXPECT_EQ(read({true, true, 2, std::string("%x%\0", 4)}), "before") << "an expandable string";
  // A platform that hands back more than it was asked for is cut to the buffer.
  EXPECT_EQ(read({true, true, kRegSz, std::string(3000, 'x')}).size(), 1024u);
  EXPECT_EQ(platform.log.back(), "reg k |  | 1024");
}

TEST_F(Browser, OpenUrlIniWithBothKeysDecidesAlone) {
  fs.AddFile("C:\\Prog\\openurl.ini",
             "[Browser]\r\n  Command= C:\\Web\\BROWSER.exe  \r\nApplication=MyBrowser\r\n");
  Detect();
  ExpectState(true, false, "c:\\web\\browser.exe", "mybrowser", "WWW_OpenURL");
  EXPECT_TRUE(platform.log.empty()) << "no registry, no probes";
}

TEST_F(Browser, OpenUrlIniWithOneKeyFallsThroughToTheRegistry) {
  fs.AddFile("C:\\Prog\\openurl.ini", "command=c:\\old\\b.exe");
  Registry(" \"C:\\Program Files\\B\\b.exe\" -nohome", "", "");
  platform.onDoEvents = [&] { EXPECT_EQ(state.BrowserPath, "C:\\Program Files\\B\\b.exe"); };
  Detect();
  platform.onDoEvents = nullptr;
  // The registry replaces the path; no DDE data: the HTML handler is asked.
  EXPECT_EQ(platform.Calls("reg").size(), 3u);
  EXPECT_EQ(platform.Calls("find").front(), std::string("find ") + kHtml);

  // Application only, the registry without the key: the file's value stays
  // and the registry's topic completes it.
  state = {};
  state.folders = ProgramFoldersOf("C:\\Prog\\Velmora.exe");
  fs.AddFile("C:\\Prog\\openurl.ini", "Application=Other\n");
  platform.registry.clear();
  platform.SetString(kHttpDdeTopicKey, "WWW_OpenURL");
  Detect();
  ExpectState(true, false, "", "other", "WWW_OpenURL");
}

TEST_F(Browser, RegistryDdeAssociation) {
  Registry("\"C:\\Program Files\\B\\b.exe\" -osint -url \"%1\"", " BrowserSrv ", "WWW_OpenURL ");
  Detect();
  ExpectState(true, false, "C:\\Program Files\\B\\b.exe", "BrowserSrv", "WWW_OpenURL");
  EXPECT_TRUE(platform.Calls("find").empty());
  EXPECT_TRUE(fs.Changes().empty()) << "no probe files";
}

TEST_F(Browser, HtmlHandlerNamesTheDdeServer) {
  platform.SetString(kHttpCommandKey, "C:\\b.exe %1");
  platform.FindsFor(kHtml, 42, std::string(" ") + kIe + " ");
  platform.onDoEvents = [&] { EXPECT_EQ(fs.Content(kHtml), "<HTML> </HTML>\r\n"); };
  Detect();
  ExpectState(true, false, kIe, "IExplore", "WWW_OpenURL");
  EXPECT_FALSE(fs.HasFile(kHtml)) << "the probe is deleted";

  platform.FindsFor(kHtml, 42, "D:\\NETSCAPE\\Program\\netscape.exe");
  Detect();
  ExpectState(true, false, "D:\\NETSCAPE\\Program\\netscape.exe", "NSShell", "WWW_OpenURL");

  // A failed lookup's text does not count, whatever it says.
  platform.FindsFor(kHtml, 2, kIe);
  Detect();
  EXPECT_FALSE(state.UseDde);
}

TEST_F(Browser, InternetShortcutHandlerIsTheLastResort) {
  platform.FindsFor(kHtml, 42, "C:\\Other\\viewer.exe");
  platform.FindsFor(kUrl, 42, "C:\\Windows\\rundll32.exe");
  Detect();
  ExpectState(false, true, "C:\\Windows\\rundll32.exe", "", "");
  EXPECT_EQ(platform.Calls("find"), (Log{std::string("find ") + kHtml, std::string("find ") + kUrl}));
  EXPECT_FALSE(fs.HasFile(kUrl));
  EXPECT_EQ(fs.PathsOf("WriteAll").back(), kUrl);

  // A found program with an empty name is no program.
  platform.FindsFor(kUrl, 42, "  ");
  Detect();
  ExpectState(false, false, "", "", "");
}

TEST_F(Browser, RunningDdeBrowserGetsOneCommand) {
  Registry("C:\\B\\b.exe", "BrowserSrv", "WWW_OpenURL");
  platform.ddeServers.insert("BROWSERSRV|WWW_OPENURL");
  const std::string address = "http://example.com/?q=\"quoted\"";
  OpenURL(services, address);
  EXPECT_EQ(platform.Calls("dde"),
            (Log{"dde-connect BrowserSrv|WWW_OpenURL",
                 "dde-execute \"http://example.com/?q=\"quoted\"\",,-1,0,,,,", "dde-close"}));
  EXPECT_TRUE(platform.Calls("shell").empty());
  EXPECT_TRUE(fs.Changes().empty());

  // Decided once: the next call goes straight to DDE.
  platform.log.clear();
  OpenURL(services, "http://b/");
  EXPECT_TRUE(platform.Calls("reg").empty());
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(Browser, BrowserNotRunningIsStartedWithTheAddress) {
  Registry("C:\\B\\b.exe", "BrowserSrv", "WWW_OpenURL");
  OpenURL(services, "http://example.com/");
  EXPECT_EQ(platform.Calls("shell"), Log{"shell C:\\B\\b.exe | http://example.com/ |  | max"});
  EXPECT_TRUE(platform.Calls("find").empty());
  EXPECT_TRUE(state.UseDde);
}

TEST_F(Browser, StaleBrowserPathIsLookedUpAgain) {
  Registry("C:\\Moved\\b.exe", "BrowserSrv", "WWW_OpenURL");
  platform.shellCodes["C:\\MOVED\\B.EXE"] = 2;
  platform.FindsFor(kHtml, 42, "C:\\New\\b.exe ");
  OpenURL(services, "http://example.com/");
  EXPECT_EQ(platform.Calls("shell"), (Log{"shell C:\\Moved\\b.exe | http://example.com/ |  | max",
                                          "shell C:\\New\\b.exe | http://example.com/ |  | max"}));
  EXPECT_EQ(state.BrowserPath, "C:\\New\\b.exe");
  EXPECT_TRUE(state.UseDde);
  EXPECT_FALSE(fs.HasFile(kHtml));
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(Browser, DdeWayFailingFallsToTheShortcutInTheSameCall) {
  Registry("C:\\Moved\\b.exe", "BrowserSrv", "WWW_OpenURL");
  platform.shellCodes["C:\\MOVED\\B.EXE"] = 2;
  OpenURL(services, "http://example.com/\r\nIconFile=x");
  EXPECT_FALSE(state.UseDde);
  EXPECT_TRUE(state.UseUrlFile);
  EXPECT_EQ(platform.Calls("shell").back(), "shell C:\\Prog\\tempurl.url |  |  | normal");
  // The shortcut stays; a line break cannot add entries to it.
  EXPECT_EQ(fs.Content(kUrl), "[InternetShortcut]\r\nURL=http://example.com/%0D%0AIconFile=x\r\n");
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(Browser, AShortcutThatCannotBeWrittenIsNeverOpened) {
  state.UseUrlFile = true;
  fs.AddFile(kUrl, "[InternetShortcut]\r\nURL=http://old.example/\r\n");
  fs.FailOn("WriteAll", kUrl, 112, "There is not enough space on the disk.");
  OpenURL(services, "http://new.example/");
  EXPECT_TRUE(platform.Calls("shell").empty()) << "the old address would have opened";
  EXPECT_FALSE(state.UseUrlFile);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, BrowserUnreachableMessage());
}

TEST_F(Browser, NoWayWorksSaysSoOnceAndDetectsAgainNextTime) {
  platform.FindsFor(kUrl, 42, "C:\\Windows\\rundll32.exe");
  platform.shellCodes["C:\\PROG\\TEMPURL.URL"] = 31;
  for (int call = 0; call < 2; ++call) {
    platform.log.clear();
    dialogs.shown.clear();
    OpenURL(services, "http://example.com/");
    EXPECT_EQ(platform.Calls("reg").size(), 3u) << "detection runs on every call";
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, BrowserUnreachableMessage());
    EXPECT_EQ(dialogs.shown[0].icon, MsgIcon::Critical);
    EXPECT_FALSE(state.UseDde || state.UseUrlFile);
  }
}

}  // namespace
}  // namespace velmora
