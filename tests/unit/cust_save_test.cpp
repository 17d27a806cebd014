#include <gtest/gtest.h>

#include "customize/cust_save.h"
#include "cust_support.h"

namespace velmora::test {
namespace {

// Fails or stops at a chosen change (write, delete, rename, folder creation),
// counted from 1 over the fake's life.
class FaultyFileSystem : public FakeFileSystem {
 public:
  struct Stop {};  // the program ended at this call; the call did not happen

  int changes = 0;
  int failAt = 0;           // this change fails; 0: none
  bool failOnward = false;  // and so does every later one
  int stopAt = 0;           // the program stops at this change; 0: never

  void Heal() {
    failAt = stopAt = 0;
    failOnward = false;
  }

  bool WriteAll(const std::string& path, const std::string& bytes) override {
    return Step() && FakeFileSystem::WriteAll(path, bytes);
  }
  bool Delete(const std::string& path) override { return Step() && FakeFileSystem::Delete(path); }
  bool Rename(const std::string& from, const std::string& to) override {
    return Step() && FakeFileSystem::Rename(from, to);
  }
  bool CreateFolder(const std::string& path) override {
    return Step() && FakeFileSystem::CreateFolder(path);
  }
  Error LastError() const override {
    return injected_ ? Error{112, "There is not enough space on the disk."} : FakeFileSystem::LastError();
  }

 private:
  bool Step() {
    ++changes;
    if (changes == stopAt) throw Stop{};
    injected_ = failAt != 0 && (changes == failAt || (failOnward && changes > failAt));
    return !injected_;
  }
  bool injected_ = false;
};

using Folder = std::map<std::string, std::string>;

class CustSaveTest : public ::testing::Test {
 protected:
  // The user's configuration: names the editor never writes, one it does,
  // and two files that are not menu files at all.
  void OldSet(FakeFileSystem& fs) {
    AddMenuFile(fs, "a.mnu", {{"A", "", ""}, {"a1", "x", "y"}});
    AddMenuFile(fs, "BMENU001.MNU", {{"B", "", ""}});
    AddMenuFile(fs, "x.btn", {{"X", "C:\\x.exe", "C:\\x.exe"}});
    AddMenuFile(fs, "notes.mnux", {{"not a menu", "", ""}});
    fs.SetShortName(kMenusFolder + "notes.mnux", "NOTES~1.MNU");
    fs.AddFile(kMenusFolder + "readme.txt", "keep");
  }

  const ToolbarContent content{
      {{{"One", "", ""}, {"1a", "C:\\1a.exe", "C:\\1a.exe"}, {"Menu Separator", "MenuLineSeparator", ""}},
       {{"Two", "", ""}},
       {{"Three", "", ""}, {std::string(70, 't'), std::string(300, 'p'), "http://x"}}},
      {{"S1", "", "C:\\s1.exe"}, {"S2", "", ""}}};

  // The folder after a clean save, and the number of changes it took.
  std::pair<Folder, int> CleanSave() {
    FaultyFileSystem fs;
    OldSet(fs);
    EXPECT_EQ(SaveToolbarFiles(fs, kMenusFolder, content).outcome, SaveOutcome::Saved);
    return {Snapshot(fs), fs.changes};
  }
  Folder Old() {
    FakeFileSystem fs;
    OldSet(fs);
    return Snapshot(fs);
  }
};

TEST_F(CustSaveTest, ASaveReplacesEveryMenuAndButtonFileAndNothingElse) {
  const auto [folder, changes] = CleanSave();
  EXPECT_EQ(folder, (Folder{
      {"BMENU001.MNU", EncodeFile(content.menus[0])},
      {"BMENU002.MNU", EncodeFile(content.menus[1])},
      {"BMENU003.MNU", EncodeFile(content.menus[2])},
      {"BMENU001.BTN", EncodeFile({content.singles[0]})},
      {"BMENU002.BTN", EncodeFile({content.singles[1]})},
      {"notes.mnux", EncodeFile({{"not a menu", "", ""}})},
      {"readme.txt", "keep"}}));
  // Over-long fields are cut at their widths.
  EXPECT_EQ(folder.at("BMENU003.MNU").size(), 2 * kRecordLength);
  EXPECT_EQ(folder.at("BMENU003.MNU").substr(kRecordLength, 50), std::string(50, 't'));
  EXPECT_EQ(changes, 18);
}

// One failing change: the save reports Unchanged with the old folder as it
// was, or Saved with exactly the new one. Every change failing from then on:
// whatever the save reports, the next start leaves one whole set.
TEST_F(CustSaveTest, AFailureAtAnyStepLeavesTheOldSetOrTheNewSetAndNothingElse) {
  const auto [saved, changes] = CleanSave();
  const Folder old = Old();
  for (const bool onward : {false, true}) {
    int unchanged = 0;
    for (int k = 1; k <= changes; ++k) {
      SCOPED_TRACE("failing from change " + std::to_string(k) + (onward ? " onward" : " once"));
      FaultyFileSystem fs;
      OldSet(fs);
      fs.failAt = k;
      fs.failOnward = onward;
      const auto report = SaveToolbarFiles(fs, kMenusFolder, content);
      if (report.outcome == SaveOutcome::Unchanged) {
        ++unchanged;
        EXPECT_EQ(Snapshot(fs), old);
        EXPECT_EQ(report.error.number, 112);
      } else if (!onward) {
        EXPECT_EQ(report.outcome, SaveOutcome::Saved);
        EXPECT_EQ(Snapshot(fs), saved);
      }
      fs.Heal();
      EXPECT_TRUE(RecoverMenusFolder(fs, kMenusFolder).complete);
      EXPECT_EQ(Snapshot(fs), k > 9 ? saved : old);  // the commit is the ninth change
    }
    if (!onward) {
      EXPECT_EQ(unchanged, 9);
    }
  }
}

TEST_F(CustSaveTest, AStopAtAnyStepIsFinishedOrUndoneByTheNextStartEvenIfThatStopsToo) {
  const auto [saved, changes] = CleanSave();
  const Folder old = Old();
  for (int k = 1; k <= changes; ++k) {
    FaultyFileSystem fs;
    OldSet(fs);
    fs.stopAt = k;
    EXPECT_THROW(SaveToolbarFiles(fs, kMenusFolder, content), FaultyFileSystem::Stop);
    // The next start stops in its recovery at every step, and the one after
    // that finishes.
    for (int j = 1;; ++j) {
      SCOPED_TRACE("stop at change " + std::to_string(k) + ", then at recovery step " + std::to_string(j));
      FaultyFileSystem again;
      static_cast<FakeFileSystem&>(again) = fs;
      again.Heal();
      again.stopAt = j;
      bool stopped = false;
      try {
        RecoverMenusFolder(again, kMenusFolder);
      } catch (const FaultyFileSystem::Stop&) {
        stopped = true;
      }
      again.Heal();
      const auto report = RecoverMenusFolder(again, kMenusFolder);
      EXPECT_TRUE(report.complete);
      EXPECT_EQ(Snapshot(again), k > 9 ? saved : old);
      if (!stopped) break;
    }
  }
}

TEST_F(CustSaveTest, ReadOnlyFilesFullDisksAndMissingFoldersAreFoundBeforeTheSwitch) {
  FaultyFileSystem fs;
  OldSet(fs);
  const Folder old = Snapshot(fs);
  fs.SetReadOnly(kMenusFolder + "x.btn");
  auto report = SaveToolbarFiles(fs, kMenusFolder, content);
  EXPECT_EQ(report.outcome, SaveOutcome::Unchanged);
  EXPECT_EQ(fs.changes, 0);
  EXPECT_EQ(SaveFailureText(report),
            "The toolbar could not be updated. Its menu and button files have been left as they were."
            "\r\n\r\nC:\\Velmora\\Menus\\x.btn\r\nError: 5 - Access is denied.");
  fs.SetReadOnly(kMenusFolder + "x.btn", false);
  fs.SetReadOnly(kMenusFolder + "notes.mnux");  // no menu file: no obstacle

  fs.FailOn("WriteAll", kMenusFolder + "BMENU003.MNU" + std::string(kStagedSuffix), 112,
            "There is not enough space on the disk.");
  report = SaveToolbarFiles(fs, kMenusFolder, content);
  EXPECT_EQ(report.outcome, SaveOutcome::Unchanged);
  EXPECT_EQ(report.path, kMenusFolder + "BMENU003.MNU");
  EXPECT_NE(SaveFailureText(report).find("Error: 112 - There is not enough space on the disk."), std::string::npos);
  EXPECT_EQ(Snapshot(fs), old);

  FaultyFileSystem vanished;  // a folder that has gone is made again
  EXPECT_EQ(SaveToolbarFiles(vanished, kMenusFolder, content).outcome, SaveOutcome::Saved);
  EXPECT_EQ(vanished.PathsOf("CreateFolder"), std::vector<std::string>{"C:\\Velmora\\Menus"});
  FaultyFileSystem gone;  // unless it cannot be
  gone.failAt = 1;
  gone.failOnward = true;
  report = SaveToolbarFiles(gone, kMenusFolder, content);
  EXPECT_EQ(report.outcome, SaveOutcome::Unchanged);
  EXPECT_EQ(report.path, kMenusFolder);
}

TEST_F(CustSaveTest, RecoveryLeavesAnOrdinaryFolderAloneAndClearsWriteDebris) {
  FakeFileSystem fs;
  OldSet(fs);
  const Folder old = Snapshot(fs);
  auto report = RecoverMenusFolder(fs, kMenusFolder);
  EXPECT_FALSE(report.found);
  EXPECT_TRUE(fs.Changes().empty());

  fs.AddFile(kMenusFolder + "BMENU001.MNU.~vn.~vl", "half");
  fs.AddFile(kMenusFolder + "commit.~vc.~vl", "half");
  report = RecoverMenusFolder(fs, kMenusFolder);
  EXPECT_TRUE(report.found);
  EXPECT_TRUE(report.complete);
  EXPECT_EQ(Snapshot(fs), old);
}

}  // namespace
}  // namespace velmora::test
