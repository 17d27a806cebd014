// Net Search without its window: engines file, query encoding, templates,
// history rules and what Find, Clear and unloading do.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes.h"
#include "launch_fakes.h"
#include "netsearch/browser_detection.h"
#include "netsearch/search_query.h"
#include "core/app_state.h"
#include "model/state_files.h"
#include "shell/launcher.h"

namespace velmora {
namespace {

using test::FakeDialogs;
using test::FakeFileSystem;
using test::FakeLaunchPlatform;
using test::FakeShell;
using Lines = std::vector<std::string>;

TEST(EncodeQuery, ReservedCharactersAreEscaped) {
  EXPECT_EQ(EncodeQuery("a.b-c*d"), "a.b-c*d");
  EXPECT_EQ(EncodeQuery("\xE9t\xE9 \x7F\x01"), "\xE9t\xE9+\x7F\x01");
  EXPECT_EQ(EncodeQuery("!\"#$%&'()"), "%21%22%23%24%25%26%27%28%29");
  EXPECT_EQ(EncodeQuery(",/:;<=>?@"), "%2C%2F%3A%3B%3C%3D%3E%3F%40");
  EXPECT_EQ(EncodeQuery("[\\]^_`{|}~"), "%5B%5C%5D%5E%5F%60%7B%7C%7D%7E");
  EXPECT_EQ(EncodeQuery("AZaz09"), "AZaz09");
  EXPECT_EQ(EncodeQuery(""), "");
}

TEST(Templates, PrefixAndSuffixAroundTheBrackets) {
  const auto parts = SplitTemplate("http://s.example/find?q=[words]&lang=en");
  EXPECT_TRUE(parts.ok);
  EXPECT_EQ(parts.prefix, "http://s.example/find?q=");
  EXPECT_EQ(parts.suffix, "&lang=en");
  EXPECT_EQ(SplitTemplate("http://s/?q=[x]").suffix, "");
  EXPECT_EQ(SplitTemplate("http://s/?q=[x][y]z").suffix, "[y]z");
  EXPECT_FALSE(SplitTemplate("http://s/?q=").ok);
  EXPECT_FALSE(SplitTemplate("http://s/?q=[x").ok);
  EXPECT_FALSE(SplitTemplate("http://s/?q=x]").ok);
  EXPECT_FALSE(SplitTemplate("").ok);
}

TEST(Engines, FileFormat) {
  const std::string file =
      "; search engines\r\n[Engines]\r\n"
      "  name=Alpha  \r\n URL=http://a/?q=[q]\r\n"
      "\r\n"
      "NAME=Beta\nNAME=Lost\nURL=http://lost/[q]\n"  // the second NAME= is used up
      "NAME=Gamma\rcomment\r"                         // no URL= line: empty template
      "NAME=Delta";                                   // last line
  EXPECT_EQ(ParseEngines(file), (std::vector<Engine>{{"Alpha", "http://a/?q=[q]"},
                                                     {"Beta", ""},
                                                     {"Gamma", ""},
                                                     {"Delta", ""}}));
  EXPECT_TRUE(ParseEngines("").empty());
  EXPECT_TRUE(ParseEngines("\r\n\r\n").empty());
}

TEST(Engines, HostileBytesAndLongLines) {
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 7919) & 0xFF);
  ParseEngines(binary);  // must simply not fail
  const std::string longName(200000, 'n');
  const std::string longUrl = "http://x/?q=[q]" + std::string(300000, 'u');
  const auto engines =
      ParseEngines("NAME=" + longName + "\r\nURL=" + longUrl + "\r\n");
  ASSERT_EQ(engines.size(), 1u);
  EXPECT_EQ(engines[0].name, longName);
  EXPECT_EQ(engines[0].urlTemplate, longUrl);
  static const char kWithNul[] = "NAME=A\0B\r\nURL=\xFF[\0]\r\n";
  const std::string withNul(kWithNul, sizeof kWithNul - 1);
  const auto odd = ParseEngines(withNul);
  ASSERT_EQ(odd.size(), 1u);
  EXPECT_EQ(odd[0].name, std::string("A\0B", 3));
  EXPECT_TRUE(SplitTemplate(odd[0].urlTemplate).ok);
}

TEST(History, ElevenSearchesKeepTheNewestTen) {
  SearchHistory history;
  for (int i = 1; i <= 11; ++i) EXPECT_TRUE(history.Add("s" + std::to_string(i)));
  EXPECT_EQ(history.Count(), 10);
  EXPECT_EQ(history.At(0), "s2");
  EXPECT_EQ(history.NewestFirst().front(), "s11");
  EXPECT_EQ(history.NewestFirst().back(), "s2");

  // A text already there, in any case, changes nothing.
  EXPECT_FALSE(history.Add("S5"));
  EXPECT_EQ(history.At(3), "s5");
  EXPECT_EQ(history.NewestFirst().front(), "s11");
  EXPECT_EQ(history.Count(), 10);
}

TEST(History, FileRoundTripAndBadFiles) {
  SearchHistory history;
  std::string file;
  for (int i = 1; i <= 14; ++i) file += "line " + std::to_string(i) + "\r\n";
  history.Load(file);
  EXPECT_EQ(history.Count(), 11) << "at most eleven are read";
  EXPECT_EQ(history.At(10), "line 11");
  // Never more than ten lines back to disk.
  EXPECT_EQ(SplitLines(history.Save()).size(), 10u);
  EXPECT_EQ(SplitLines(history.Save()).front(), "line 2");
  // A search after eleven were read still leaves ten, the newest last.
  EXPECT_TRUE(history.Add("new"));
  EXPECT_EQ(history.Count(), 10);
  EXPECT_EQ(history.At(0), "line 3");
  EXPECT_EQ(history.At(9), "new");

  history.Load("a\r\n\r\n   \nb\rc");
  EXPECT_EQ(history.NewestFirst(), (Lines{"c", "b", "a"})) << "blank lines are no entries";
  EXPECT_EQ(history.Save(), "a\r\nb\r\nc\r\n");

  const std::string longLine(1 << 16, 'x');
  history.Load(longLine + "\n" + std::string("\0\xFF", 2));
  EXPECT_EQ(history.Count(), 2);
  EXPECT_EQ(history.At(0), longLine);
  history.Load("");
  EXPECT_EQ(history.Count(), 0);
  EXPECT_EQ(history.Save(), "");
}

class NetSearch : public ::testing::Test {
 protected:
  NetSearch() {
    state.folders = ProgramFoldersOf("C:\\Prog\\Velmora.exe");
    // A running DDE browser from the registry.
    platform.SetString(kHttpCommandKey, "C:\\B\\b.exe");
    platform.SetString(kHttpDdeAppKey, "BrowserSrv");
    platform.SetString(kHttpDdeTopicKey, "WWW_OpenURL");
    platform.ddeServers.insert("BROWSERSRV|WWW_OPENURL");
  }
  NetSearchModel::FindResult Find(const std::string& text, int engine = 0) {
    hidden = false;
    return model.Find(services, runner, text, engine, [&] { hidden = true; });
  }

  AppState state;
  FakeFileSystem fs;
  FakeDialogs dialogs;
  FakeShell shell;
  FakeLaunchPlatform platform;
  LaunchServices services{state, fs, dialogs, shell, platform, platform};
  ShellRunner runner{services};
  NetSearchModel model;
  bool hidden = false;
};

TEST_F(NetSearch, MissingEnginesFile) {
  fs.AddFile("C:\\Prog\\nsearch.dat", "old\r\n");
  EXPECT_FALSE(model.Load(fs, dialogs, "C:\\Prog\\"));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, MissingEnginesMessage());
  EXPECT_EQ(dialogs.shown[0].icon, MsgIcon::Information);
  EXPECT_EQ(model.History().Count(), 0) << "no history either";
  // Find then reports the template error for any text.
  EXPECT_EQ(Find("words", -1), NetSearchModel::FindResult::TemplateError);
  EXPECT_EQ(dialogs.shown.back().text, TemplateErrorMessage());
  EXPECT_EQ(dialogs.shown.back().icon, MsgIcon::Critical);
  EXPECT_FALSE(hidden);
}

TEST_F(NetSearch, FindOpensTheEncodedAddressAndRemembersTheText) {
  fs.AddFile("C:\\Prog\\netsrch.ini", "NAME=One\r\nURL=http://one/?q=[q]&x=1\r\nNAME=Two\r\nURL=two\r\n");
  fs.AddFile("C:\\Prog\\nsearch.dat", "older\r\nold\r\n");
  ASSERT_TRUE(model.Load(fs, dialogs, "C:\\Prog\\"));
  EXPECT_EQ(model.Engines().size(), 2u);
  EXPECT_EQ(model.History().NewestFirst(), (Lines{"old", "older"}));

  EXPECT_EQ(Find("   "), NetSearchModel::FindResult::Nothing);
  EXPECT_TRUE(platform.log.empty());

  EXPECT_EQ(Find("  Tom & Jerry's +1 "), NetSearchModel::FindResult::Opened);
  EXPECT_TRUE(hidden);
  EXPECT_EQ(model.LastAddress(), "http://one/?q=Tom+%26+Jerry%27s+%2B1&x=1");
  EXPECT_EQ(platform.Calls("dde-execute"),
            Lines{"dde-execute \"http://one/?q=Tom+%26+Jerry%27s+%2B1&x=1\",,-1,0,,,,"});
  EXPECT_EQ(model.History().NewestFirst().front(), "Tom & Jerry's +1");

  // A template without brackets: the history still takes the text.
  EXPECT_EQ(Find("cats", 1), NetSearchModel::FindResult::TemplateError);
  EXPECT_FALSE(hidden);
  EXPECT_EQ(model.History().NewestFirst().front(), "cats");
  EXPECT_TRUE(dialogs.shown.size() == 1 && dialogs.shown[0].text == TemplateErrorMessage());

  // Unloading writes the history, oldest first, and removes the probe file.
  fs.AddFile("C:\\Prog\\temphtml.htm", "x");
  model.Unload(fs, "C:\\Prog");
  EXPECT_EQ(fs.Content("C:\\Prog\\nsearch.dat"), "older\r\nold\r\nTom & Jerry's +1\r\ncats\r\n");
  EXPECT_FALSE(fs.HasFile("C:\\Prog\\temphtml.htm"));
}

TEST_F(NetSearch, NoBrowserMessage) {
  platform.registry.clear();
  fs.AddFile("C:\\Prog\\netsrch.ini", "NAME=One\r\nURL=http://one/?q=[q]\r\n");
  ASSERT_TRUE(model.Load(fs, dialogs, "C:\\Prog\\"));
  EXPECT_EQ(Find("x"), NetSearchModel::FindResult::NoBrowser);
  EXPECT_FALSE(hidden);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  // Pieced together from parts: the blanks between them are easily lost.
  EXPECT_EQ(dialogs.shown[0].text,
            "Cannot find your default browser. This program supports Netscape 4.05 or later and "
            "MS Explorer 4.0 or later. If you do have one of those installed in your machine and "
            "this program cannot find it, please send email to support@velmora.app and report "
            "this problem.");
  EXPECT_TRUE(platform.Calls("dde").empty());
}

TEST_F(NetSearch, ClearAsksOnlyWhenThereIsHistory) {
  fs.AddFile("C:\\Prog\\netsrch.ini", "");
  fs.AddFile("C:\\Prog\\nsearch.dat", "a\r\n");
  ASSERT_TRUE(model.Load(fs, dialogs, "C:\\Prog\\"));
  EXPECT_FALSE(model.Clear(fs, dialogs, "C:\\Prog\\"));  // answered No
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, kClearQuestion);
  EXPECT_EQ(dialogs.shown[0].caption, "Velmora - Net Search");
  EXPECT_EQ(dialogs.shown[0].icon, MsgIcon::Question);
  EXPECT_EQ(dialogs.shown[0].buttons, MsgButtons::YesNo);
  EXPECT_TRUE(fs.HasFile("C:\\Prog\\nsearch.dat"));

  dialogs.answers.push_back(MsgResult::Yes);
  EXPECT_TRUE(model.Clear(fs, dialogs, "C:\\Prog\\"));
  EXPECT_EQ(model.History().Count(), 0);
  EXPECT_FALSE(fs.HasFile("C:\\Prog\\nsearch.dat"));
  EXPECT_TRUE(model.Clear(fs, dialogs, "C:\\Prog\\"));
  EXPECT_EQ(dialogs.shown.size(), 2u) << "an empty history is cleared without asking";

  // With nothing to remember the file is left alone at unloading.
  fs.AddFile("C:\\Prog\\nsearch.dat", "kept\r\n");
  model.Unload(fs, "C:\\Prog\\");
  EXPECT_EQ(fs.Content("C:\\Prog\\nsearch.dat"), "kept\r\n");
}

}  // namespace
}  // namespace velmora
