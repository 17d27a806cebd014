// The Win32 file system against the real API (under Wine in CI).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "model/item_record.h"
#include "model/options.h"
#include "platform/file_system_win.h"

namespace velmora {
namespace {

class TempFolder {
 public:
  TempFolder() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    path_ = std::string(base) + "vlfs" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(GetTickCount()) + "\\";
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~TempFolder() {
    WIN32_FIND_DATAA d;
    HANDLE h = FindFirstFileA((path_ + "*").c_str(), &d);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        const std::string name = d.cFileName;
        if (name == "." || name == "..") continue;
        SetFileAttributesA((path_ + name).c_str(), FILE_ATTRIBUTE_NORMAL);
        if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          RemoveDirectoryA((path_ + name).c_str());
        else
          DeleteFileA((path_ + name).c_str());
      } while (FindNextFileA(h, &d));
      FindClose(h);
    }
    RemoveDirectoryA(path_.c_str());
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

TEST(Win32FileSystem, WritesWholeFilesAndReadsRanges) {
  TempFolder dir;
  Win32FileSystem fs;
  const std::string file = dir.path() + "a.bin";
  std::string bytes(100000, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);

  ASSERT_TRUE(fs.WriteAll(file, bytes));
  EXPECT_EQ(fs.Size(file), bytes.size());
  EXPECT_EQ(fs.ReadAll(file), bytes);
  EXPECT_EQ(fs.ReadAt(file, 570, 570), bytes.substr(570, 570));
  EXPECT_EQ(fs.ReadAt(file, bytes.size() - 10, 570), bytes.substr(bytes.size() - 10));
  EXPECT_EQ(fs.ReadAt(file, bytes.size() + 5, 10), std::string());

  // A shorter rewrite leaves no stale tail and no temporary file behind.
  ASSERT_TRUE(fs.WriteAll(file, "xyz"));
  EXPECT_EQ(fs.ReadAll(file), "xyz");
  EXPECT_EQ(fs.ListFiles(dir.path(), "*").size(), 1u);

  EXPECT_FALSE(fs.ReadAll(dir.path() + "missing.bin").has_value());
  EXPECT_FALSE(fs.Size(dir.path() + "missing.bin").has_value());
}

TEST(Win32FileSystem, FailedWriteKeepsTheOriginal) {
  TempFolder dir;
  Win32FileSystem fs;
  const std::string file = dir.path() + "keep.dat";
  ASSERT_TRUE(fs.WriteAll(file, "original"));
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(fs.WriteAll(file, "replacement"));
  EXPECT_NE(fs.LastError().number, 0);
  EXPECT_FALSE(fs.LastError().description.empty());
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(fs.ReadAll(file), "original");
  EXPECT_EQ(fs.ListFiles(dir.path(), "*").size(), 1u) << "temporary file left behind";

  // Into a folder that does not exist: a failure, not a crash.
  EXPECT_FALSE(fs.WriteAll(dir.path() + "no\\such\\file.dat", "x"));
}

TEST(Win32FileSystem, ListsMenuFilesWhateverTheirCase) {
  TempFolder dir;
  Win32FileSystem fs;
  for (const char* name : {"b.MNU", "a.mnu", "BMENU001.MNU", "c.Btn", "notes.txt", "x.mnuz"})
    ASSERT_TRUE(fs.WriteAll(dir.path() + name, ""));
  ASSERT_TRUE(fs.CreateFolder(dir.path() + "sub.mnu"));

  const auto menus = ListButtonFiles(fs, dir.path(), true);
  EXPECT_EQ(menus, (std::vector<std::string>{"A.MNU", "B.MNU", "BMENU001.MNU"}));
  EXPECT_EQ(ListButtonFiles(fs, dir.path(), false), std::vector<std::string>{"C.BTN"});
  EXPECT_EQ(fs.ListFolders(dir.path()), std::vector<std::string>{"sub.mnu"});
  EXPECT_TRUE(fs.IsFolder(dir.path() + "sub.mnu"));
  EXPECT_TRUE(fs.Exists(dir.path() + "SUB.MNU"));
  EXPECT_FALSE(fs.Exists(dir.path() + "nothing"));
}

TEST(Win32FileSystem, OptionsRoundTripKeepsForeignBytes) {
  TempFolder dir;
  Win32FileSystem fs;
  // Missing: all "0", and the file now exists, empty.
  Options options = ReadOptions(fs, dir.path());
  EXPECT_EQ(options.Text(), std::string(16, '0'));
  EXPECT_EQ(fs.Size(dir.path() + kOptionsFile), 0u);

  ASSERT_TRUE(fs.WriteAll(dir.path() + kOptionsFile, std::string("1x1\0", 4) + std::string(12, '1') + "TAIL"));
  options = ReadOptions(fs, dir.path());
  EXPECT_EQ(options.Text(), "1010111111111111");
  options.Set(2, true);
  ASSERT_TRUE(SaveOptions(fs, dir.path(), options));
  EXPECT_EQ(fs.ReadAll(dir.path() + kOptionsFile), "1110111111111111TAIL");
}

TEST(Win32FileSystem, RenameAndDeleteReportErrors) {
  TempFolder dir;
  Win32FileSystem fs;
  ASSERT_TRUE(fs.WriteAll(dir.path() + "a.dat", "a"));
  EXPECT_TRUE(fs.Rename(dir.path() + "a.dat", dir.path() + "TTTTTTTT"));
  EXPECT_FALSE(fs.Exists(dir.path() + "a.dat"));
  EXPECT_TRUE(fs.Rename(dir.path() + "TTTTTTTT", dir.path() + "a.dat"));
  EXPECT_TRUE(fs.Delete(dir.path() + "a.dat"));
  EXPECT_FALSE(fs.Delete(dir.path() + "a.dat"));
  EXPECT_EQ(fs.LastError().number, ERROR_FILE_NOT_FOUND);
}

}  // namespace
}  // namespace velmora
