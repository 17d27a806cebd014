#include "shell/own_menu.h"

#include <gtest/gtest.h>

#include "fakes.h"
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

}  // namespace
}  // namespace velmora
