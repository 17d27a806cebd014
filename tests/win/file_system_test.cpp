// The Win32 file system against the real API (under Wine in CI).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "model/item_record.h"
#include "platform/file_system_win.h"
#include "win_test_support.h"

namespace velmora {
namespace {

// A scratch folder, as a path ending in "\\".
class TempFolder {
 public:
  std::string path() const { return folder_.Path() + "\\"; }

 private:
  wintest::TempFolder folder_;
};

// A file system whose safe write fails at its n-th step, as a full disk or
// a vanished medium would make it.
class FailingFileSystem : public Win32FileSystem {
 public:
  explicit FailingFileSystem(int failAt) : failAt_(failAt) {}
  int steps = 0;

 protected:
  bool BeforeStep(WriteStep) override { return ++steps != failAt_; }

 private:
  int failAt_;
};

TEST(Win32FileSystem, AWriteFailingAtAnyStepLeavesTheOldFileAndNoTemporaryOne) {
  TempFolder dir;
  const std::string file = dir.path() + "vlmra250.dat";
  const std::string old = "1100000000000000";
  // Bigger than one chunk, so that the write step comes twice.
  const std::string fresh(Win32FileSystem::kWriteChunk + 10, '1');
  Win32FileSystem plain;
  ASSERT_TRUE(plain.WriteAll(file, old));
  FailingFileSystem counter(0);
  ASSERT_TRUE(counter.WriteAll(dir.path() + "count.bin", fresh));
  const int steps = counter.steps;
  ASSERT_EQ(steps, 6) << "create, two writes, flush, close, move";
  for (int failAt = 1; failAt <= steps; ++failAt) {
    SCOPED_TRACE(failAt);
    FailingFileSystem fs(failAt);
    EXPECT_FALSE(fs.WriteAll(file, fresh));
    EXPECT_EQ(fs.LastError().number, static_cast<long>(ERROR_DISK_FULL));
    EXPECT_EQ(plain.ReadAll(file), old);
    EXPECT_FALSE(plain.Exists(file + kWriteTempSuffix));
  }
  // The quick write of the poll fails the same way, without waiting.
  FailingFileSystem now(6);
  EXPECT_FALSE(now.WriteAllNow(file, fresh));
  EXPECT_EQ(plain.ReadAll(file), old);
}

TEST(Win32FileSystem, AFolderThatCannotBeListedIsNotAnEmptyOne) {
  TempFolder dir;
  Win32FileSystem fs;
  ASSERT_TRUE(fs.CreateFolder(dir.path() + "empty"));
  const auto empty = fs.TryListFiles(dir.path() + "empty\\", "*");
  ASSERT_TRUE(empty.has_value());
  EXPECT_TRUE(empty->empty());
  EXPECT_FALSE(fs.TryListFiles(dir.path() + "missing\\", "*").has_value());
  EXPECT_NE(fs.LastError().number, 0);
}

TEST(Win32FileSystem, ThePrefixIsReplacedAndAnyTailKeptPieceByPiece) {
  TempFolder dir;
  Win32FileSystem fs;
  const std::string file = dir.path() + "vlmra250.dat";
  std::string tail(3 * Win32FileSystem::kCopyPiece + 17, '\0');
  for (std::size_t i = 0; i < tail.size(); ++i) tail[i] = static_cast<char>(i * 13 + 1);
  ASSERT_TRUE(fs.WriteAll(file, "0000000000000000" + tail));
  ASSERT_TRUE(fs.WritePrefix(file, "1100000000000001"));
  EXPECT_EQ(fs.ReadAt(file, 0, 16), "1100000000000001");
  EXPECT_EQ(fs.Size(file), 16 + tail.size());
  EXPECT_EQ(fs.ReadAt(file, 16, tail.size()), tail);
  // A missing or short file simply becomes the prefix.
  ASSERT_TRUE(fs.WritePrefix(dir.path() + "new.dat", "10"));
  EXPECT_EQ(fs.ReadAll(dir.path() + "new.dat"), "10");
  // A failure while the tail is copied keeps the old file.
  FailingFileSystem failing(4);
  EXPECT_FALSE(failing.WritePrefix(file, "0000000000000000"));
  EXPECT_EQ(fs.ReadAt(file, 0, 16), "1100000000000001");
  EXPECT_FALSE(fs.Exists(file + kWriteTempSuffix));
}

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

TEST(Win32FileSystem, RenameAndDeleteReportErrors) {
  TempFolder dir;
  Win32FileSystem fs;
  ASSERT_TRUE(fs.WriteAll(dir.path() + "a.dat", "a"));
  EXPECT_TRUE(fs.Rename(dir.path() + "a.dat", dir.path() + "TTTTTTTT"));
  EXPECT_FALSE(fs.Exists(dir.path() + "a.dat"));
  EXPECT_FALSE(fs.Rename(dir.path() + "a.dat", dir.path() + "b.dat"));
  EXPECT_EQ(fs.LastError().number, ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(fs.Delete(dir.path() + "TTTTTTTT"));
  EXPECT_FALSE(fs.Delete(dir.path() + "TTTTTTTT"));
  EXPECT_EQ(fs.LastError().number, ERROR_FILE_NOT_FOUND);
}

}  // namespace
}  // namespace velmora
