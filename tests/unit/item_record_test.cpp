#include "model/item_record.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace velmora {
namespace {

using test::FakeFileSystem;

std::string Field(const std::string& bytes, std::size_t offset, std::size_t width) {
  return bytes.substr(offset, width);
}

TEST(ItemRecordFormat, FieldsAtTheirOffsetsBlankPadded) {
  const auto bytes = EncodeRecord({"Notepad", "C:\\Icons\\n.ico", "notepad.exe"});
  ASSERT_EQ(bytes.size(), 570u);
  EXPECT_EQ(Field(bytes, 0, 50), "Notepad" + std::string(43, ' '));
  EXPECT_EQ(Field(bytes, 50, 260), "C:\\Icons\\n.ico" + std::string(246, ' '));
  EXPECT_EQ(Field(bytes, 310, 260), "notepad.exe" + std::string(249, ' '));
  EXPECT_EQ(EncodeRecord({}), std::string(570, ' '));
}

TEST(ItemRecordFormat, OverlongFieldsAreCutAtTheirWidth) {
  const std::string title51 = std::string(50, 'T') + "X";
  const std::string path261 = "C:\\" + std::string(257, 'p') + "X";
  ASSERT_EQ(path261.size(), 261u);
  const auto bytes = EncodeRecord({title51, path261, path261});
  ASSERT_EQ(bytes.size(), 570u);
  const auto back = DecodeRecord(bytes);
  EXPECT_EQ(back.Title, title51.substr(0, 50));
  EXPECT_EQ(back.FileName, path261.substr(0, 260));
  EXPECT_EQ(back.FileExe, path261.substr(0, 260));
  // Exactly the width fits without loss.
  EXPECT_EQ(DecodeRecord(EncodeRecord({title51.substr(0, 50), "", ""})).Title, title51.substr(0, 50));
}

TEST(ItemRecordFormat, ReadingTrimsBlanksAndKeepsOtherBytes) {
  std::string bytes = EncodeRecord({"  Spaced Title  ", " x ", "  a b  "});
  EXPECT_EQ(DecodeRecord(bytes), (ItemRecord{"Spaced Title", "x", "a b"}));

  // NULs, tabs and high bytes are text like any other.
  const ItemRecord odd{std::string("A\0B", 3), "\tC:\\\xe9t\xe9.ico", "\xff\x80\x01"};
  EXPECT_EQ(DecodeRecord(EncodeRecord(odd)), odd);
}

TEST(ItemRecordFormat, ShortSliceReadsMissingBytesAsBlanks) {
  const auto full = EncodeRecord({"Title", "Icon", "Run"});
  EXPECT_EQ(DecodeRecord(full.substr(0, 30)), (ItemRecord{"Title", "", ""}));
  EXPECT_EQ(DecodeRecord(full.substr(0, 60)), (ItemRecord{"Title", "Icon", ""}));
  EXPECT_EQ(DecodeRecord(""), ItemRecord{});
}

TEST(ItemRecordFormat, RecordCountRoundsToNearestHalvesToEven) {
  EXPECT_EQ(RecordCount(0), 0);
  EXPECT_EQ(RecordCount(285), 0);   // 0.5 → 0
  EXPECT_EQ(RecordCount(286), 1);
  EXPECT_EQ(RecordCount(570), 1);
  EXPECT_EQ(RecordCount(570 + 285), 2);   // 1.5 → 2
  EXPECT_EQ(RecordCount(2 * 570 + 285), 2);  // 2.5 → 2
  EXPECT_EQ(RecordCount(3 * 570 + 285), 4);  // 3.5 → 4
  EXPECT_EQ(RecordCount(5 * 570 - 1), 5);
  EXPECT_EQ(RecordCount(32767ull * 570), 32767);
  EXPECT_EQ(RecordCount(32768ull * 570), 32767);
  EXPECT_EQ(RecordCount(~0ull), 32767);
}

TEST(ItemRecordFormat, EntryKindsInAnyCaseWithBlanks) {
  EXPECT_EQ(KindOf({"Menu Separator", "MenuLineSeparator", ""}), EntryKind::Separator);
  EXPECT_EQ(KindOf({"", "  menulineseparator  ", ""}), EntryKind::Separator);
  EXPECT_EQ(KindOf({"x", "MENUBREAKER", ""}), EntryKind::PageBreak);
  EXPECT_EQ(KindOf({"", "MenuBreaker2", ""}), EntryKind::Item);
  EXPECT_EQ(KindOf({"", "\tMenuBreaker", ""}), EntryKind::Item);
  EXPECT_EQ(KindOf({"MenuBreaker", "C:\\a.ico", "MenuLineSeparator"}), EntryKind::Item);
}

TEST(MenuFiles, WriteThenReadBackThroughTheFileSystem) {
  FakeFileSystem fs;
  const std::string path = "C:\\V\\Menus\\BMENU001.MNU";
  const std::vector<ItemRecord> records = {
      {"Tools", "C:\\V\\Icons\\t.ico", ""},
      {"Notepad", "notepad.exe", "notepad.exe"},
      {"Menu Separator", "MenuLineSeparator", ""},
      {"Web", "", "http://example.com/?q=a b"}};
  ASSERT_TRUE(WriteRecords(fs, path, records));
  EXPECT_EQ(fs.Content(path)->size(), 4u * 570);
  EXPECT_EQ(*fs.Content(path), EncodeFile(records));
  EXPECT_EQ(ReadRecordCount(fs, path), 4);
  EXPECT_EQ(ReadAllRecords(fs, path), records);
  EXPECT_EQ(ReadRecord(fs, path, 3), records[2]);
  EXPECT_EQ(ReadRecord(fs, path, 5), ItemRecord{});
  EXPECT_EQ(ReadRecord(fs, path, 0), ItemRecord{});
}

TEST(MenuFiles, ShortLastRecordAndUnreadableFiles) {
  FakeFileSystem fs;
  const std::string path = "C:\\V\\Menus\\A.MNU";
  // 1.6 records round up to two; the second is what is there, the rest blanks.
  fs.AddFile(path, EncodeRecord({"One", "", "a.exe"}) + EncodeRecord({"Two", "MenuBreaker", ""}).substr(0, 342));
  const auto records = ReadAllRecords(fs, path);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1], (ItemRecord{"Two", "MenuBreaker", ""}));
  EXPECT_EQ(ReadRecord(fs, path, 2), records[1]);

  EXPECT_TRUE(ReadAllRecords(fs, "C:\\V\\Menus\\missing.mnu").empty());
  EXPECT_EQ(ReadRecordCount(fs, "C:\\V\\Menus\\missing.mnu"), 0);
  fs.FailOn("ReadAt", path);
  EXPECT_TRUE(ReadAllRecords(fs, path).empty());
  EXPECT_EQ(ReadRecord(fs, path, 1), ItemRecord{});
}

TEST(MenuFiles, NamingSchemes) {
  EXPECT_EQ(EditorFileName(1, true), "BMENU001.MNU");
  EXPECT_EQ(EditorFileName(12, false), "BMENU012.BTN");
  EXPECT_EQ(EditorFileName(1000, true), "BMENU1000.MNU");
  EXPECT_EQ(SampleFileName(7, false), "BMENU007.BTN");
  EXPECT_EQ(SampleFileName(123, true), "BMENU0123.MNU");
}

TEST(MenuFiles, ButtonOrderIsUpperCaseByteOrder) {
  // Upper-cased first: "a.mnu" sorts as "A.MNU", before "BMENU001.MNU" and before
  // "_X.MNU" ('_' lies between the capitals and the small letters).
  EXPECT_EQ(SortedButtonFiles({"BMENU002.MNU", "_x.mnu", "BMENU001.MNU", "a.mnu"}, ".MNU"),
            (std::vector<std::string>{"A.MNU", "BMENU001.MNU", "BMENU002.MNU", "_X.MNU"}));
  // Characters above 0x7F sort after every ASCII letter, as unsigned bytes.
  EXPECT_EQ(SortedButtonFiles({"\xe9t\xe9.mnu", "zz.mnu", "ab.MnU"}, ".MNU"),
            (std::vector<std::string>{"AB.MNU", "ZZ.MNU", "\xc9T\xc9.MNU"}));
  // The number inside the name does not matter, only the text.
  EXPECT_EQ(SortedButtonFiles({"BMENU10.BTN", "BMENU9.btn"}, ".BTN"),
            (std::vector<std::string>{"BMENU10.BTN", "BMENU9.BTN"}));
}

TEST(MenuFiles, ListingDropsNamesMatchedOnlyThroughAShortAlias) {
  FakeFileSystem fs;
  const std::string menus = "C:\\V\\Menus\\";
  for (const char* name : {"b.mnu", "A.Mnu", "x.mnuz", "c.btn", "d.MNU.bak"}) fs.AddFile(menus + name);
  fs.SetShortName(menus + "x.mnuz", "X~1.MNU");
  fs.SetShortName(menus + "d.MNU.bak", "DMNU~1.BAK");
  // A real listing of "*.mnu" may return "x.mnuz" through its alias X~1.MNU.
  EXPECT_EQ(SortedButtonFiles({"b.mnu", "x.mnuz", "A.Mnu"}, ".MNU"),
            (std::vector<std::string>{"A.MNU", "B.MNU"}));
  EXPECT_EQ(ListButtonFiles(fs, menus, true), (std::vector<std::string>{"A.MNU", "B.MNU"}));
  EXPECT_EQ(ListButtonFiles(fs, menus, false), (std::vector<std::string>{"C.BTN"}));
  EXPECT_EQ(fs.PathsOf("ListFiles"), (std::vector<std::string>{menus, menus}));
}

}  // namespace
}  // namespace velmora
