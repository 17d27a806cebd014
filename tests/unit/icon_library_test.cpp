#include "iconlib/icon_library.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "fakes.h"

namespace velmora {
namespace {

using test::FakeFileSystem;

const std::string kProgram = "C:\\Velmora\\";
const std::string kIcons = "C:\\Velmora\\Icons\\";
const std::string kLibrary = "C:\\Velmora\\icon.lib";

// One archive entry: the name blank-padded to 20 bytes, then the size field
// (the data's length unless given) and the data.
std::string Entry(const std::string& name, const std::string& data,
                  std::optional<std::int32_t> size = std::nullopt) {
  std::string out = name;
  out.resize(20, ' ');
  const auto v = static_cast<std::uint32_t>(size.value_or(static_cast<std::int32_t>(data.size())));
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  return out + data;
}

std::string Bytes(std::size_t n, char seed) {
  std::string out(n, '\0');
  for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<char>(seed + i * 7);
  return out;
}

// Fails the test when a read asks for bytes the file does not hold: a reader
// that trusts the size field would allocate that much on Windows.
class BoundedFileSystem : public FakeFileSystem {
 public:
  std::optional<std::string> ReadAt(const std::string& path, std::uint64_t offset,
                                    std::size_t count) override {
    const auto bytes = Content(path);
    if (bytes) {
      EXPECT_LE(offset + count, bytes->size()) << "read past the end of " << path;
    }
    return FakeFileSystem::ReadAt(path, offset, count);
  }
};

class UnpackTest : public ::testing::Test {
 protected:
  UnpackResult Unpack(const std::string& archive) {
    fs.AddFile(kLibrary, archive);
    fs.AddFolder(kIcons);
    return UnpackIconLibrary(fs, "C:\\Velmora\\Icons", "C:\\Velmora");
  }
  BoundedFileSystem fs;
};

TEST_F(UnpackTest, UnpacksEveryEntryByteForByte) {
  const auto icon = Bytes(766, 'a');
  const auto full = std::string(20, 'N');  // a name filling all 20 bytes
  const auto result = Unpack(Entry("mycomp.ico", icon) + Entry(full, "xyz") +
                             Entry("Computer.ini", "mycomp.ico\r\n"));
  EXPECT_EQ(result.written, (std::vector<std::string>{"mycomp.ico", full, "Computer.ini"}));
  EXPECT_TRUE(result.refused.empty());
  EXPECT_EQ(fs.Content(kIcons + "mycomp.ico"), icon);
  EXPECT_EQ(fs.Content(kIcons + full), "xyz");
  EXPECT_EQ(fs.Content(kIcons + "Computer.ini"), "mycomp.ico\r\n");
}

TEST_F(UnpackTest, ReplacesExistingFiles) {
  fs.AddFile(kIcons + "desktop.ico", "old");
  Unpack(Entry("desktop.ico", "new"));
  EXPECT_EQ(fs.Content(kIcons + "desktop.ico"), "new");
}

TEST_F(UnpackTest, ZeroSizeEndsTheArchiveEvenInTheMiddle) {
  const auto result = Unpack(Entry("a.ico", "1") + Entry("stop.ico", "") + Entry("b.ico", "2"));
  EXPECT_EQ(result.written, std::vector<std::string>{"a.ico"});
  EXPECT_FALSE(fs.HasFile(kIcons + "stop.ico"));
  EXPECT_FALSE(fs.HasFile(kIcons + "b.ico"));
}

TEST_F(UnpackTest, DamagedArchivesNeverReadPastTheEnd) {
  struct Case {
    const char* what;
    std::string archive;
    std::vector<std::string> written;
    std::string lastContent;  // of the last written file
  };
  const std::vector<Case> cases = {
      {"truncated last entry", Entry("a.ico", "12") + Entry("b.ico", "3456").substr(0, 26),
       {"a.ico", "b.ico"}, "34"},
      {"size running past the end", Entry("a.ico", "12") + Entry("huge.ico", "abc", 0x7FFFFFFF),
       {"a.ico", "huge.ico"}, "abc"},
      {"negative size", Entry("a.ico", "12") + Entry("neg.ico", "abc", -5) + Entry("c.ico", "c"),
       {"a.ico"}, "12"},
      {"most negative size", Entry("a.ico", "12") + Entry("neg.ico", "", INT32_MIN), {"a.ico"}, "12"},
      {"header cut short", Entry("a.ico", "12") + std::string("partial.ico"), {"a.ico"}, "12"},
      {"empty archive", "", {}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs = BoundedFileSystem();
    const auto result = Unpack(c.archive);
    EXPECT_EQ(result.written, c.written);
    if (!c.written.empty()) {
      EXPECT_EQ(fs.Content(kIcons + c.written.back()), c.lastContent);
    }
  }
}

TEST_F(UnpackTest, EntriesThatWouldLeaveTheIconsFolderAreSkipped) {
  const std::vector<std::string> hostile = {
      "..\\velmora.exe", "../escape.ico", "C:evil.ico",   "C:\\evil.ico", "\\evil.ico",
      "\\\\srv\\sh\\x",  "/etc/x.ico",    "sub\\a.ico",   "CON",          "con.ico",
      "Nul.txt",         "AUX",           "prn.ico",      "COM1.ico",     "lpt9",
      "CON .ico",        "conin$",        "a.ico:stream", "..",           ".",
      "what?.ico",       "a*.ico",        "a<b>.ico",     "q\"x.ico",     "pipe|x.ico",
      "tab\tname.ico",   std::string("nul\0byte.ico", 12), "trailing.",  "",
  };
  std::string archive;
  for (const auto& name : hostile) archive += Entry(name, "bad");
  archive += Entry("good.ico", "ok");
  const auto result = Unpack(archive);

  EXPECT_EQ(result.written, std::vector<std::string>{"good.ico"});
  EXPECT_EQ(result.refused.size(), hostile.size());
  // Nothing landed anywhere but the good icon.
  for (const auto& change : fs.Changes()) EXPECT_EQ(change.path, kIcons + "good.ico");
}

TEST(EntryNames, OrdinaryNamesThatMerelyLookOddAreAccepted) {
  for (const char* name : {"CLIP01.ICO", "Misc04.ico", "console.ico", "com10.ico", "lpt.ico",
                           "COM0.ico", "nul_.ico", ".hidden", "a..b.ico", "My Computer.ico",
                           "caf\xE9.ico", "CONx.ico"})
    EXPECT_TRUE(IsSafeEntryName(name)) << name;
  for (const char* name : {"COM\xB9.ico", "lpt\xB2", "\x7F.ico"})
    EXPECT_FALSE(IsSafeEntryName(name)) << name;
}

TEST_F(UnpackTest, AFailingWriteSkipsOnlyThatEntry) {
  fs.FailOn("WriteAll", kIcons + "b.ico");
  const auto result = Unpack(Entry("a.ico", "1") + Entry("b.ico", "2") + Entry("c.ico", "3"));
  EXPECT_EQ(result.written, (std::vector<std::string>{"a.ico", "c.ico"}));
  EXPECT_EQ(result.failed, std::vector<std::string>{"b.ico"});
}

TEST_F(UnpackTest, MissingLibraryWritesNothing) {
  const auto result = UnpackIconLibrary(fs, kIcons, kProgram);
  EXPECT_TRUE(result.written.empty());
  EXPECT_TRUE(fs.Changes().empty());
  EXPECT_FALSE(IconLibraryExists(fs, kProgram));
  fs.AddFile(kLibrary);
  EXPECT_TRUE(IconLibraryExists(fs, "C:\\Velmora"));
}

TEST(Categories, LinesAreTrimmedAndBlankLinesIgnored) {
  EXPECT_EQ(ParseCategory("a.ico\r\n\r\n  b.ico  \n   \rc.ico\rd.ico"),
            (std::vector<std::string>{"a.ico", "b.ico", "c.ico", "d.ico"}));
  EXPECT_EQ(ParseCategory("a.ico\r\nb.ico\r\n"), (std::vector<std::string>{"a.ico", "b.ico"}));
  EXPECT_TRUE(ParseCategory("").empty());
  EXPECT_TRUE(ParseCategory("\r\n \r\n").empty());
}

TEST(Categories, OneCategoryPerIniFileInListBoxOrder) {
  FakeFileSystem fs;
  fs.AddFile(kIcons + "system.ini", "ctrpanel.ico\r\nrecycle.ico\r\n");
  fs.AddFile(kIcons + "Computer.ini", "mycomp.ico\r\n\r\ndesktop.ico");
  fs.AddFile(kIcons + "Internet.INI", "");
  fs.AddFile(kIcons + "mycomp.ico", "x");
  fs.AddFile(kIcons + "long.inix", "x");
  fs.SetShortName(kIcons + "long.inix", "LONG~1.INI");

  const auto categories = ReadCategories(fs, "C:\\Velmora\\Icons");
  ASSERT_EQ(categories.size(), 3u);
  EXPECT_EQ(categories[0].name, "Computer");
  EXPECT_EQ(categories[0].icons, (std::vector<std::string>{"mycomp.ico", "desktop.ico"}));
  EXPECT_EQ(categories[1].name, "Internet");
  EXPECT_TRUE(categories[1].icons.empty());
  EXPECT_EQ(categories[2].name, "system");
  EXPECT_EQ(categories[2].fileName, "system.ini");
  EXPECT_EQ(categories[2].icons, (std::vector<std::string>{"ctrpanel.ico", "recycle.ico"}));
}

}  // namespace
}  // namespace velmora
