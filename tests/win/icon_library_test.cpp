// Unpacking icon.lib into a real folder (under Wine in CI).
#include "iconlib/icon_library.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system_win.h"
#include "win_test_support.h"

namespace velmora {
namespace {

std::string Entry(const std::string& name, const std::string& data, std::int32_t size) {
  std::string out = name;
  out.resize(20, ' ');
  const auto v = static_cast<std::uint32_t>(size);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  return out + data;
}
std::string Entry(const std::string& name, const std::string& data) {
  return Entry(name, data, static_cast<std::int32_t>(data.size()));
}

// A fresh program folder with an Icons folder in it, under a private parent, so
// that anything written beside either one shows up.
class ProgramFolder {
 public:
  ProgramFolder() {
    CreateDirectoryA(program().c_str(), nullptr);
    CreateDirectoryA(icons().c_str(), nullptr);
  }
  std::string parent() const { return parent_.Path() + "\\"; }
  std::string program() const { return parent() + "prog\\"; }
  std::string icons() const { return program() + "Icons\\"; }

  static std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> out;
    WIN32_FIND_DATAA d;
    HANDLE h = FindFirstFileA((folder + "*").c_str(), &d);
    if (h == INVALID_HANDLE_VALUE) return out;
    do {
      const std::string name = d.cFileName;
      if (name != "." && name != "..") out.push_back(name);
    } while (FindNextFileA(h, &d));
    FindClose(h);
    std::sort(out.begin(), out.end());
    return out;
  }

 private:
  wintest::TempFolder parent_;
};

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(IconLibraryOnDisk, UnpacksIntoTheIconsFolderAndNowhereElse) {
  ProgramFolder dir;
  Win32FileSystem fs;
  std::string icon(766, '\0');
  for (std::size_t i = 0; i < icon.size(); ++i) icon[i] = static_cast<char>(i * 13);
  // Names that would land outside the Icons folder or on a device if taken
  // as they are; each is unique so that a stray file can be looked for.
  const std::string archive =
      Entry("mycomp.ico", icon) + Entry("..\\vlesc1.ico", "x") + Entry("../vlesc2.ico", "x") +
      Entry("C:vlesc3.ico", "x") + Entry("\\vlesc4.ico", "x") + Entry("C:\\vlesc5.ico", "x") +
      Entry("CON", "x") + Entry("nul.ico", "x") + Entry("com1.ico", "x") +
      Entry("good.ico:stream", "x") + Entry("good.ico", "new") +
      Entry("Computer.ini", "mycomp.ico\r\n\r\n  good.ico\r\n") + Entry("end.ico", "", 0) +
      Entry("after.ico", "never");
  ASSERT_TRUE(fs.WriteAll(dir.program() + "icon.lib", archive));
  ASSERT_TRUE(fs.WriteAll(dir.icons() + "good.ico", "old"));

  const auto result = UnpackIconLibrary(fs, dir.icons().substr(0, dir.icons().size() - 1),
                                         dir.program().substr(0, dir.program().size() - 1));
  EXPECT_EQ(result.refused.size(), 9u);
  EXPECT_TRUE(result.failed.empty());

  EXPECT_EQ(ProgramFolder::Names(dir.icons()),
            (std::vector<std::string>{"Computer.ini", "good.ico", "mycomp.ico"}));
  EXPECT_EQ(fs.ReadAll(dir.icons() + "mycomp.ico"), icon);
  EXPECT_EQ(fs.ReadAll(dir.icons() + "good.ico"), "new");
  EXPECT_EQ(ProgramFolder::Names(dir.program()), (std::vector<std::string>{"Icons", "icon.lib"}));
  EXPECT_EQ(ProgramFolder::Names(dir.parent()), std::vector<std::string>{"prog"});
  for (const char* stray : {"C:\\vlesc3.ico", "C:\\vlesc4.ico", "C:\\vlesc5.ico", "vlesc3.ico"})
    EXPECT_FALSE(FileExists(stray)) << stray;

  const auto categories = ReadCategories(fs, dir.icons());
  ASSERT_EQ(categories.size(), 1u);
  EXPECT_EQ(categories[0].name, "Computer");
  EXPECT_EQ(categories[0].icons, (std::vector<std::string>{"mycomp.ico", "good.ico"}));
}

TEST(IconLibraryOnDisk, OversizedLastEntryGivesAShorterFile) {
  ProgramFolder dir;
  Win32FileSystem fs;
  ASSERT_TRUE(fs.WriteAll(dir.program() + "icon.lib",
                          Entry("a.ico", "aa") + Entry("big.ico", "only this", 0x7FFFFFFF)));
  const auto result = UnpackIconLibrary(fs, dir.icons(), dir.program());
  EXPECT_EQ(result.written, (std::vector<std::string>{"a.ico", "big.ico"}));
  EXPECT_EQ(fs.ReadAll(dir.icons() + "big.ico"), "only this");
}

}  // namespace
}  // namespace velmora
