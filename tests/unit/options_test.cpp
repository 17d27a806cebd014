#include "model/options.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "model/state_files.h"

namespace velmora {
namespace {

using test::FakeFileSystem;

const std::string kDir = "C:\\Velmora\\";
const std::string kOptionsPath = kDir + "vlmra250.dat";

TEST(OptionsString, AnythingButOneReadsAsZero) {
  EXPECT_EQ(Options::Parse("").Text(), std::string(16, '0'));
  EXPECT_EQ(Options::Parse("1x1").Text(), "1010000000000000");
  EXPECT_EQ(Options::Parse(std::string("1\0 1\xb1", 5)).Text(), "1001000000000000");
  EXPECT_EQ(Options::Parse("11111111111111111111").Text(), std::string(16, '1'));
  const auto o = Options::Parse("0x0000000001000x");
  EXPECT_EQ(o.At(2), '0');
  EXPECT_TRUE(o.IsOn(kOptCustomWebIcon));
  EXPECT_FALSE(o.IsOn(kOptCleanupDone));
}

TEST(OptionsString, PositionsAreOneBasedAndOutOfRangeIsHarmless) {
  Options o;
  o.Set(1, true);
  o.Set(16, true);
  o.Set(0, true);
  o.Set(17, true);
  EXPECT_EQ(o.Text(), "1000000000000001");
  EXPECT_FALSE(o.IsOn(0));
  EXPECT_FALSE(o.IsOn(17));
  o.Set(1, false);
  EXPECT_EQ(o.Text(), "0000000000000001");
}

TEST(OptionsFile, MissingFileIsCreatedEmptyAndReadsAllZero) {
  FakeFileSystem fs;
  Options o;
  o.Set(kOptFirstStartDone, true);
  o.Set(kOptCleanupDone, true);
  ASSERT_TRUE(SaveOptions(fs, kDir, o));  // saved without a file: exactly sixteen bytes
  EXPECT_EQ(fs.Content(kOptionsPath), "1000000000000001");

  fs = FakeFileSystem();
  EXPECT_EQ(ReadOptions(fs, kDir).Text(), std::string(16, '0'));
  EXPECT_EQ(fs.Content(kOptionsPath), "");
}

TEST(OptionsFile, ShortDamagedAndLongFiles) {
  FakeFileSystem fs;
  fs.AddFile(kOptionsPath, "1x1");
  auto o = ReadOptions(fs, kDir);
  EXPECT_EQ(o.Text(), "1010000000000000");
  EXPECT_EQ(fs.Content(kOptionsPath), "1x1");  // reading changes nothing
  ASSERT_TRUE(SaveOptions(fs, kDir, o));
  EXPECT_EQ(fs.Content(kOptionsPath), "1010000000000000");

  fs.AddFile(kOptionsPath, "0101010101010101EXTRA");
  o = ReadOptions(fs, kDir);
  EXPECT_EQ(o.Text(), "0101010101010101");
  o.Set(1, true);
  ASSERT_TRUE(SaveOptions(fs, kDir, o));
  EXPECT_EQ(fs.Content(kOptionsPath), "1101010101010101EXTRA");
}

TEST(OptionsFile, UnreadableExistingFileIsLeftAlone) {
  FakeFileSystem fs;
  fs.AddFile(kOptionsPath, "1111111111111111");
  fs.FailOn("ReadAt", kOptionsPath);
  EXPECT_EQ(ReadOptions(fs, kDir).Text(), std::string(16, '0'));
  EXPECT_TRUE(fs.PathsOf("WriteAll").empty());
}

TEST(OptionsFile, SaveKeepsEveryByteAfterTheSixteenthOfALargeFile) {
  // Whatever follows the options is not ours to change, however much there is.
  FakeFileSystem fs;
  std::string big = std::string(16, '0') + std::string((1u << 20) + 100, 'z');
  big.back() = '!';
  fs.AddFile(kOptionsPath, big);
  Options o;
  o.Set(2, true);
  SaveOptions(fs, kDir, o);
  const auto after = fs.Content(kOptionsPath);
  ASSERT_TRUE(after);
  EXPECT_EQ(after->size(), big.size());
  EXPECT_EQ(after->substr(0, 16), "0100000000000000");
  EXPECT_EQ(after->back(), '!');
}

TEST(StateFiles, HttpIconIniIsOneTrimmedLineWithoutNuls) {
  FakeFileSystem fs;
  fs.AddFile(kDir + "HTTPICON.INI", "C:\\old.htm\r\nsecond line\r\n");
  ASSERT_TRUE(WriteHttpIconIni(fs, kDir, std::string("  C:\\Web\\ie.exe\0\0", 17)));
  EXPECT_EQ(fs.Content(kDir + "httpicon.ini"), "C:\\Web\\ie.exe\r\n");
  // One safe write replaces the old file: a write that fails keeps it.
  EXPECT_EQ(fs.Changes(), (std::vector<FakeFileSystem::Call>{
                              {"WriteAll", kDir + "httpicon.ini", ""}}));
  fs.FailOn("WriteAll", kDir + "httpicon.ini", 112, "There is not enough space on the disk.");
  EXPECT_FALSE(WriteHttpIconIni(fs, kDir, "C:\\Other\\x.exe"));
  EXPECT_EQ(fs.Content(kDir + "httpicon.ini"), "C:\\Web\\ie.exe\r\n");
  fs = FakeFileSystem();
  // A NUL inside the path becomes a blank and stays.
  ASSERT_TRUE(WriteHttpIconIni(fs, kDir, std::string("C:\\a\0b.exe", 10)));
  EXPECT_EQ(fs.Content(kDir + "httpicon.ini"), "C:\\a b.exe\r\n");
}

TEST(StateFiles, FirstLineEndsAtAnyLineBreak) {
  FakeFileSystem fs;
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\a.htm\r\nnext", "C:\\a.htm"}, {"C:\\b.htm\nnext", "C:\\b.htm"},
      {"C:\\c.htm\rnext", "C:\\c.htm"},   {"no line end", "no line end"},
      {"\r\nsecond", ""},                 {"  padded  \r\n", "  padded  "}};
  for (const auto& [content, line] : cases) {
    fs.AddFile(kDir + "f.ini", content);
    EXPECT_EQ(ReadFirstLine(fs, kDir + "f.ini"), line) << content;
  }
  EXPECT_EQ(ReadFirstLine(fs, kDir + "missing.ini"), "");
}

TEST(StateFiles, FolderIsCreatedOnlyWhenAListingFindsNothing) {
  FakeFileSystem fs;
  EnsureFolder(fs, kDir + "Menus\\");
  EXPECT_EQ(fs.PathsOf("CreateFolder"), (std::vector<std::string>{kDir + "Menus"}));
  EnsureFolder(fs, kDir + "MENUS\\");
  EXPECT_EQ(fs.PathsOf("CreateFolder").size(), 1u);
}

}  // namespace
}  // namespace velmora
