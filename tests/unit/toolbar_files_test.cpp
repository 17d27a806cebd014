#include "toolbar/toolbar_files.h"

#include <gtest/gtest.h>

#include "core/app_state.h"
#include "fakes.h"
#include "model/item_record.h"
#include "model/state_files.h"

namespace velmora {
namespace {

class ToolbarFiles : public ::testing::Test {
 protected:
  ToolbarFiles() {
    state.folders = ProgramFoldersOf("C:\\V\\Velmora.exe");
    fs.AddFolder("C:\\V\\Menus");
  }
  void Add(const std::string& name, const std::vector<ItemRecord>& records) {
    fs.AddFile(state.folders.menus + name, EncodeFile(records));
  }
  AppState state;
  test::FakeFileSystem fs;
  test::FakeDialogs dialogs;
};

TEST_F(ToolbarFiles, AFileThatCannotBeReadIsReportedAndTheBuildGoesOn) {
  Add("A.MNU", {{"Alpha", "", ""}, {"x", "", "x.exe"}});
  Add("B.MNU", {{"Beta", "", ""}});
  Add("C.BTN", {{"Gamma", "", "g.exe"}});
  fs.FailOn("ReadAt", state.folders.menus + "A.MNU", 32,
            "The process cannot access the file because it is being used by another process.");
  int progress = 0;
  const ToolbarBuildInput in = ReadToolbarBuildInput(fs, dialogs, state, [&] { ++progress; });

  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text,
            "Error: 32 - The process cannot access the file because it is being used by another "
            "process.");
  EXPECT_EQ(dialogs.shown[0].icon, MsgIcon::None);
  ASSERT_EQ(in.menuFiles.size(), 2u);
  EXPECT_EQ(in.menuFiles[0].first, ItemRecord{}) << "the unreadable file's button has no title";
  EXPECT_EQ(in.menuFiles[1].first.Title, "Beta");
  ASSERT_EQ(in.singleButtons.size(), 1u);
  EXPECT_EQ(in.singleButtons[0].FileExe, "g.exe");
  EXPECT_EQ(progress, 3);
}

TEST_F(ToolbarFiles, ThePositionFileIsReadOnlyForAMovableToolbar) {
  fs.AddFile(state.folders.program + "toolbarp.dat", std::string("\x00\x00\x48\x44", 4));
  EXPECT_TRUE(ReadToolbarBuildInput(fs, dialogs, state, nullptr).savedPosition.empty());
  state.options.Set(kOptToolbarMovable, true);
  EXPECT_EQ(ReadToolbarBuildInput(fs, dialogs, state, nullptr).savedPosition.size(), 4u);
}

TEST_F(ToolbarFiles, WritesAStopCutShortLeaveNothingBehindAtTheNextStart) {
  fs.AddFile("C:\\V\\vlmra250.dat", "1111");
  fs.AddFile("C:\\V\\vlmra250.dat.~vl", "11");
  fs.AddFile("C:\\V\\Menus\\BMENU001.MNU.~vl", "half");
  fs.AddFile("C:\\V\\Icons\\x.ico.~vl", "half");
  fs.AddFile("C:\\V\\notes.~vlx", "not ours");
  fs.SetShortName("C:\\V\\notes.~vlx", "NOTES~1.~VL");
  RemoveWriteLeftovers(fs, state.folders);
  EXPECT_FALSE(fs.HasFile("C:\\V\\vlmra250.dat.~vl"));
  EXPECT_FALSE(fs.HasFile("C:\\V\\Menus\\BMENU001.MNU.~vl"));
  EXPECT_FALSE(fs.HasFile("C:\\V\\Icons\\x.ico.~vl"));
  EXPECT_TRUE(fs.HasFile("C:\\V\\vlmra250.dat"));
  EXPECT_TRUE(fs.HasFile("C:\\V\\notes.~vlx")) << "matched only through its short name";
}

}  // namespace
}  // namespace velmora
