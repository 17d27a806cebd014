#include "customize/cust_options.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "fakes.h"
#include "shell/startup.h"

namespace velmora {
namespace {

using test::FakeDialogs;
using test::FakeFileSystem;
using test::FakeShell;

const std::string kDir = "C:\\Program Files\\Velmora\\";
const std::string kStartup = "C:\\Users\\me\\Start Menu\\Programs\\Startup";
const std::string kLink = kStartup + "\\Velmora.lnk";
const std::string kIni = kDir + "httpicon.ini";
constexpr std::uintptr_t kPage = 0x4242;

std::set<int> Ticked(const OptionsMarkState& marks) {
  std::set<int> out;
  for (int id = kOptionsMenuFirst; id <= kOptionsMenuLast; ++id)
    if (marks.IsChecked(id)) out.insert(id);
  return out;
}

class OptionsMenu : public ::testing::Test {
 protected:
  OptionsMenu() {
    shell.folders[kFolderStartup] = kStartup;
    shell.fs = &fs;
    fs.AddFolder(kStartup);
    services.toolbar.hasSingleButtons = [this] { return singles; };
    services.toolbar.placeFixed = [this] { toolbarCalls.push_back("placeFixed"); };
    services.toolbar.rebuild = [this] { toolbarCalls.push_back("rebuild"); };
    services.toolbar.setMovable = [this](bool on) {
      toolbarCalls.push_back(on ? "movable" : "fixed");
    };
  }
  OptionsEffects Click(int id) { return OptionsMenuClick(id, services); }
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const auto& box : dialogs.shown) out.push_back(box.text);
    return out;
  }

  Options options;
  FakeFileSystem fs;
  FakeDialogs dialogs;
  FakeShell shell;
  OptionsServices services{options, dialogs, fs, kDir, shell, kPage};
  bool singles = true;
  std::vector<std::string> toolbarCalls;
};

TEST(OptionsMarks, FollowTheStringAndTheMovableFlagAtLoad) {
  struct Case {
    const char* options;
    bool movable;
    std::set<int> ticked;
  };
  const Case cases[] = {
      {"0000000000000000", false,
       {kMnuOptionToolbarFixed, kMnuOptionRightPosition, kMnuOptionStartupScreen,
        kMnuOptionDoubleClick, kMnuOptionDefaultHTML}},
      {"1111111111111111", true,
       {kMnuOptionToolbarMovable, kMnuOptionShowExtension, kMnuOptionSingleClick,
        kMnuOptionCustomHTML}},
      // Each position on its own.
      {"0000000010000000", false,
       {kMnuOptionToolbarFixed, kMnuOptionRightPosition, kMnuOptionDoubleClick,
        kMnuOptionDefaultHTML}},
      {"0000000000001000", false,
       {kMnuOptionToolbarFixed, kMnuOptionStartupScreen, kMnuOptionDoubleClick,
        kMnuOptionDefaultHTML}},
      {"0000000000010000", false,
       {kMnuOptionToolbarFixed, kMnuOptionRightPosition, kMnuOptionStartupScreen,
        kMnuOptionDoubleClick, kMnuOptionCustomHTML}},
      // The two toolbar items follow the program's flag, not the string.
      {"0001000000000000", false,
       {kMnuOptionToolbarFixed, kMnuOptionRightPosition, kMnuOptionStartupScreen,
        kMnuOptionDoubleClick, kMnuOptionDefaultHTML}},
      {"0000000000000000", true,
       {kMnuOptionToolbarMovable, kMnuOptionRightPosition, kMnuOptionStartupScreen,
        kMnuOptionDoubleClick, kMnuOptionDefaultHTML}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.options) + (c.movable ? " movable" : " fixed"));
    EXPECT_EQ(Ticked(OptionsMarks(Options::Parse(c.options), c.movable)), c.ticked);
  }
}

TEST_F(OptionsMenu, EachChoiceChangesItsPositionAndItsMarks) {
  struct Case {
    int id;
    const char* before;
    const char* after;
    std::vector<std::string> toolbar;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {kMnuOptionToolbarFixed, "1111111111111111", "1110111111111111", {"fixed", "placeFixed"}, {}},
      {kMnuOptionToolbarMovable, "0000000000000000", "0001000000000000", {"movable"}, {}},
      {kMnuOptionRightPosition, "0000000000000000", "0000000000001000", {}, {}},
      {kMnuOptionStartupScreen, "0000000000000000", "0000000010000000", {}, {}},
      {kMnuOptionShowExtension, "0000000000000000", "0000000001000000", {}, {}},
      {kMnuOptionSingleClick, "0000000000000000", "0000000000100000", {}, {}},
      {kMnuOptionDoubleClick, "1111111111111111", "1111111111011111", {}, {}},
      {kMnuOptionSingleClick, "0000000000100000", "0000000000100000", {}, {}},
      {kMnuOptionDefaultHTML, "0000000000010000", "0000000000000000", {}, {kDefaultHtmlText}},
      {kMnuOptionReset, "1111111111111111", "1111000011111111", {}, {kTipsResetText}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    options = Options::Parse(c.before);
    dialogs.shown.clear();
    toolbarCalls.clear();
    const OptionsEffects fx = Click(c.id);
    EXPECT_TRUE(fx.handled);
    EXPECT_EQ(options.Text(), c.after);
    EXPECT_EQ(toolbarCalls, c.toolbar);
    EXPECT_EQ(Texts(), c.messages);
    // The marks the page shows afterwards are those it would show on opening.
    EXPECT_EQ(fx.marks, OptionsMarks(options, options.IsOn(kOptToolbarMovable)));
  }
}

TEST_F(OptionsMenu, TogglesReturnToTheirFirstState) {
  for (const char* start : {"0000000000000000", "1111111111111111"}) {
    for (int id : {kMnuOptionRightPosition, kMnuOptionStartupScreen, kMnuOptionShowExtension}) {
      SCOPED_TRACE(std::string(start) + " " + std::to_string(id));
      options = Options::Parse(start);
      const auto before = OptionsMarks(options, options.IsOn(kOptToolbarMovable));
      const OptionsEffects once = Click(id);
      EXPECT_NE(options.Text(), start);
      EXPECT_NE(once.marks.IsChecked(id), before.IsChecked(id));
      // Titles of files added from now on keep or drop their extension.
      EXPECT_EQ(once.showExtension, id == kMnuOptionShowExtension
                                        ? std::optional<bool>(options.IsOn(kOptCutExtension))
                                        : std::nullopt);
      const OptionsEffects twice = Click(id);
      EXPECT_EQ(options.Text(), start);
      EXPECT_EQ(twice.marks, before);
    }
  }
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(OptionsMenu, FixedPositionMovesTheToolbarOrRebuildsItWithoutSingleButtons) {
  options = Options::Parse("0001000000000000");
  OptionsEffects fx = Click(kMnuOptionToolbarFixed);
  EXPECT_EQ(fx.toolbar, ToolbarRequest::PlacedFixed);
  EXPECT_EQ(toolbarCalls, (std::vector<std::string>{"fixed", "placeFixed"}));

  singles = false;
  toolbarCalls.clear();
  fx = Click(kMnuOptionToolbarFixed);
  EXPECT_EQ(fx.toolbar, ToolbarRequest::Rebuilt);
  EXPECT_EQ(toolbarCalls, (std::vector<std::string>{"fixed", "rebuild"}));
  EXPECT_TRUE(fx.marks.IsChecked(kMnuOptionToolbarFixed));
  EXPECT_FALSE(fx.marks.IsChecked(kMnuOptionToolbarMovable));

  toolbarCalls.clear();
  fx = Click(kMnuOptionToolbarMovable);
  EXPECT_EQ(fx.toolbar, ToolbarRequest::MadeMovable);
  EXPECT_EQ(toolbarCalls, (std::vector<std::string>{"movable"})) << "nothing moves at once";
  EXPECT_TRUE(fx.marks.IsChecked(kMnuOptionToolbarMovable));

  // A page without a toolbar to talk to still keeps the option.
  services.toolbar = {};
  Click(kMnuOptionToolbarFixed);
  EXPECT_FALSE(options.IsOn(kOptToolbarMovable));
}

TEST_F(OptionsMenu, DefaultHtmlIconWhenAlreadyDefaultShowsNothing) {
  fs.AddFile(kIni, "C:\\old.exe\r\n");
  const OptionsEffects fx = Click(kMnuOptionDefaultHTML);
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_EQ(options.Text(), "0000000000000000");
  EXPECT_TRUE(fx.marks.IsChecked(kMnuOptionDefaultHTML));
  EXPECT_TRUE(fs.Changes().empty());
}

TEST_F(OptionsMenu, CustomHtmlIconWritesTheFileAndSaysWhenItTakesEffect) {
  fs.AddFile(kIni, "C:\\old.exe\r\n");
  dialogs.openAnswers.push_back(std::string("  C:\\Apps\\browser.exe  \0junk", 28));
  const OptionsEffects fx = Click(kMnuOptionCustomHTML);

  ASSERT_EQ(dialogs.openRequests.size(), 1u);
  EXPECT_EQ(dialogs.openRequests[0].title, "Select one file");
  EXPECT_EQ(dialogs.openRequests[0].filterName, "All Files (*.*)");
  EXPECT_EQ(dialogs.openRequests[0].filterPattern, "*.*");
  EXPECT_FALSE(dialogs.openRequests[0].multiSelect);
  EXPECT_EQ(fs.Content(kIni), "C:\\Apps\\browser.exe\r\n");
  EXPECT_TRUE(options.IsOn(kOptCustomWebIcon));
  EXPECT_TRUE(fx.marks.IsChecked(kMnuOptionCustomHTML));
  EXPECT_FALSE(fx.marks.IsChecked(kMnuOptionDefaultHTML));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text,
            "You have selected: C:\\Apps\\browser.exe\r\nThe new icon will be used next time you "
            "start the program.");
  EXPECT_EQ(dialogs.shown[0].icon, MsgIcon::Information);
}

TEST_F(OptionsMenu, CustomHtmlIconCancelledOrUnwritableChangesNothing) {
  fs.AddFile(kIni, "C:\\old.exe\r\n");
  dialogs.openAnswers.push_back(std::nullopt);                 // cancelled
  dialogs.openAnswers.push_back(std::string("   \0x", 5));     // nothing but blanks
  for (int i = 0; i < 2; ++i) {
    const OptionsEffects fx = Click(kMnuOptionCustomHTML);
    EXPECT_FALSE(options.IsOn(kOptCustomWebIcon));
    EXPECT_TRUE(fx.marks.IsChecked(kMnuOptionDefaultHTML));
  }
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_TRUE(fs.Changes().empty());

  fs.SetReadOnly(kIni);
  dialogs.openAnswers.push_back(std::string("C:\\Apps\\browser.exe"));
  const OptionsEffects fx = Click(kMnuOptionCustomHTML);
  EXPECT_FALSE(options.IsOn(kOptCustomWebIcon)) << "the option would name no icon";
  EXPECT_TRUE(fx.marks.IsChecked(kMnuOptionDefaultHTML));
  EXPECT_EQ(fs.Content(kIni), "C:\\old.exe\r\n");
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Error: Access is denied. - 5"}));
}

TEST_F(OptionsMenu, SetAndRemoveTheStartupShortcut) {
  Click(kMnuOptionSet);
  const auto made = shell.CallsOf("CreateShortcut");
  ASSERT_EQ(made.size(), 1u);
  EXPECT_EQ(made[0].link, kLink);
  EXPECT_EQ(made[0].target, kDir + "Velmora.exe");
  EXPECT_EQ(made[0].workingFolder, "C:\\Program Files\\Velmora");
  for (const auto& call : shell.CallsOf("GetSpecialFolder")) EXPECT_EQ(call.window, kPage);
  EXPECT_TRUE(fs.HasFile(kLink));

  Click(kMnuOptionRemove);
  EXPECT_FALSE(fs.HasFile(kLink));
  Click(kMnuOptionRemove);
  EXPECT_EQ(Texts(), (std::vector<std::string>{kShortcutCreatedText, kRemovedFromStartupText,
                                               kNotInStartupText}));
  EXPECT_EQ(options.Text(), "0000000000000000") << "the shortcut is no option";
}

TEST_F(OptionsMenu, StartupFolderMissingOrReadOnlyIsReported) {
  // The shell cannot name the Startup folder.
  shell.folders.clear();
  Click(kMnuOptionSet);
  Click(kMnuOptionRemove);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Error: The system cannot find the file specified. - 2",
                                               kNotInStartupText}));
  EXPECT_TRUE(shell.CallsOf("CreateShortcut").empty());

  // The folder refuses the new file, and the old link cannot be deleted.
  shell.folders[kFolderStartup] = kStartup;
  shell.opErrors["CreateShortcut"] = {5, "Access is denied."};
  fs.AddFile(kLink, "link");
  fs.SetReadOnly(kLink);
  dialogs.shown.clear();
  Click(kMnuOptionSet);
  Click(kMnuOptionRemove);
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[0].text, "Shortcut cannot be created. - 5");
  EXPECT_EQ(dialogs.shown[0].icon, MsgIcon::Critical);
  EXPECT_EQ(dialogs.shown[1].text, "Error: Access is denied. - 5");
  EXPECT_EQ(dialogs.shown[1].icon, MsgIcon::Information);
  EXPECT_TRUE(fs.HasFile(kLink));
}

TEST_F(OptionsMenu, OtherIdsAreNotTheMenus) {
  options = Options::Parse("0101010101010101");
  for (int id : {0, kOptionsMenuFirst - 1, kOptionsMenuLast + 1, 230}) {
    const OptionsEffects fx = Click(id);
    EXPECT_FALSE(fx.handled);
    EXPECT_EQ(options.Text(), "0101010101010101");
  }
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_TRUE(toolbarCalls.empty());
}

}  // namespace
}  // namespace velmora
