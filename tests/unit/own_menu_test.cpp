#include "shell/own_menu.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "core/app_state.h"
#include "model/item_record.h"

namespace velmora {
namespace {

TEST(OwnMenu, FileHoldsElevenRecordsInTheProgramFolder) {
  test::FakeFileSystem fs;
  std::string folder = "C:\\Velmora";
  ASSERT_TRUE(BuildOwnMenu(fs, folder));
  EXPECT_EQ(folder, "C:\\Velmora\\");  // the caller's text gains its backslash
  EXPECT_EQ(fs.Content("C:\\Velmora\\mainmenu.dat"), EncodeFile(OwnMenuRecords()));
  const auto records = ReadAllRecords(fs, "C:\\Velmora\\mainmenu.dat");
  ASSERT_EQ(records.size(), 11u);
  for (std::size_t i : {4u, 7u, 9u}) EXPECT_EQ(KindOf(records[i]), EntryKind::Separator);
}

TEST(OwnMenu, CommandNumbersAreTheEntriesLabelIndices) {
  // Separators take no label, so the seven entries are labels 1 to 7.
  int label = 0;
  std::vector<std::string> byLabel;
  const auto records = OwnMenuRecords();
  for (std::size_t i = 1; i < records.size(); ++i)
    if (KindOf(records[i]) == EntryKind::Item) byLabel.push_back(records[i].Title), ++label;
  ASSERT_EQ(label, 7);
  EXPECT_EQ(byLabel[kCmdAutoHide - 1], "Auto Hide");
  EXPECT_EQ(byLabel[kCmdAbout - 1], "About");
  EXPECT_EQ(byLabel[kCmdExit - 1], "Exit");
}

TEST(OwnMenu, ChoicesMoveTheCheckMarkAndSayWhatToDo) {
  test::FakeFileSystem fs;
  AppState state;
  state.folders.program = "C:\\V\\";

  OwnMenuEffects hide = OwnMenuChoice(kCmdAutoHide, state, fs);
  EXPECT_EQ(hide.autoHide, std::optional<std::int16_t>(1));
  EXPECT_EQ(hide.entryIcons, (std::vector<std::pair<int, std::string>>{
                                 {kCmdAlwaysOnTop, ""}, {kCmdAutoHide, kCheckMarkIcon}}));

  // Always on Top brings a hidden toolbar back, but not into a minimized program.
  OwnMenuEffects top = OwnMenuChoice(kCmdAlwaysOnTop, state, fs);
  EXPECT_EQ(top.autoHide, std::optional<std::int16_t>(0));
  EXPECT_EQ(top.entryIcons.back(), (std::pair<int, std::string>{kCmdAlwaysOnTop, kCheckMarkIcon}));
  EXPECT_TRUE(top.showToolbar);
  state.Minimized = 1;
  EXPECT_FALSE(OwnMenuChoice(kCmdAlwaysOnTop, state, fs).showToolbar);

  EXPECT_TRUE(OwnMenuChoice(kCmdCustomize, state, fs).showCustomize);
  EXPECT_TRUE(OwnMenuChoice(kCmdAbout, state, fs).showAbout);
  EXPECT_TRUE(OwnMenuChoice(kCmdMinimize, state, fs).minimize);
  EXPECT_TRUE(OwnMenuChoice(kCmdExit, state, fs).exit);
  const OwnMenuEffects none = OwnMenuChoice(0, state, fs);
  EXPECT_FALSE(none.exit || none.showAbout || none.autoHide || !none.message.empty());
}

TEST(OwnMenu, HelpTopicsOpensTheHelpFileOnlyWhenItIsThere) {
  test::FakeFileSystem fs;
  AppState state;
  state.folders.program = "C:\\V\\";
  OwnMenuEffects missing = OwnMenuChoice(kCmdHelpTopics, state, fs);
  EXPECT_EQ(missing.message, kHelpNotFoundText);
  EXPECT_TRUE(missing.helpFile.empty());
  fs.AddFile("C:\\V\\velmora.hlp", "?_");
  OwnMenuEffects found = OwnMenuChoice(kCmdHelpTopics, state, fs);
  EXPECT_EQ(found.helpFile, "C:\\V\\velmora.hlp");
  EXPECT_TRUE(found.message.empty());
}

}  // namespace
}  // namespace velmora
