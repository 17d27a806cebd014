#include "shell/own_menu.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "model/item_record.h"

namespace velmora {
namespace {

TEST(OwnMenu, FileHoldsElevenBlankPaddedRecords) {
  test::FakeFileSystem fs;
  std::string folder = "C:\\Velmora";
  ASSERT_TRUE(BuildOwnMenu(fs, folder));
  EXPECT_EQ(folder, "C:\\Velmora\\");  // the caller's text gains its backslash

  const auto bytes = fs.ReadAll("C:\\Velmora\\mainmenu.dat");
  ASSERT_TRUE(bytes.has_value());
  ASSERT_EQ(bytes->size(), 11u * 570u);
  EXPECT_EQ(bytes->substr(0, 570), std::string(570, ' '));
  // Record 4: "Always on Top" with the check mark, FileExe blank.
  const std::string r4 = bytes->substr(3 * 570, 570);
  EXPECT_EQ(r4.substr(0, 50), "Always on Top" + std::string(37, ' '));
  EXPECT_EQ(r4.substr(50, 260), "imgIcons chkmark" + std::string(244, ' '));
  EXPECT_EQ(r4.substr(310), std::string(260, ' '));

  const auto records = ReadAllRecords(fs, "C:\\Velmora\\mainmenu.dat");
  ASSERT_EQ(records.size(), 11u);
  const char* titles[] = {"", "Customize Velmora", "Auto Hide", "Always on Top", "",
                          "Help Topics", "About", "", "Minimize", "", "Exit"};
  for (std::size_t i = 0; i < 11; ++i) {
    EXPECT_EQ(records[i].Title, titles[i]) << i;
    EXPECT_TRUE(records[i].FileExe.empty()) << i;
  }
  for (std::size_t i : {4u, 7u, 9u}) EXPECT_EQ(KindOf(records[i]), EntryKind::Separator);
  EXPECT_EQ(records[1].FileName, "imgIcons cust");
  EXPECT_EQ(records[5].FileName, "imgIcons help");
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

}  // namespace
}  // namespace velmora
