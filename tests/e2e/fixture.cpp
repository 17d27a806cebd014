#include "fixture.h"

#include "customize/cust_tables.h"

namespace velmora::e2e {

void ProgramTest::SetUp() {
  KillStrayInstances();
  helper_ = MarkerProgramPath();
  ASSERT_TRUE(PathExists(helper_)) << "marker program not built: " << helper_;
  ASSERT_TRUE(folder_.MakeFolder("Menus"));
  marker_ = folder_.WorkFolder() + "\\..\\marker.txt";
  // Velmora and whatever it starts inherit the variable.
  SetEnvironmentVariableA("VL_MARKER", marker_.c_str());
}

void ProgramTest::TearDown() {
  SetEnvironmentVariableA("VL_MARKER", nullptr);
  WaitUntil([this] { return !MarkerBusy(); });
}

bool ProgramTest::Start(App& app) {
  if (!folder_.Exists(kOptionsFile)) {
    EXPECT_TRUE(folder_.Write(kOptionsFile, kSettled));
  }
  if (!app.Start()) {
    ADD_FAILURE() << app.Error();
    return false;
  }
  return WaitUp(app);
}

bool ProgramTest::WaitUp(App& app) {
  if (!app.WaitStarted() || !app.Sync()) {
    ADD_FAILURE() << "toolbar did not come up " << app.Report();
    return false;
  }
  return FindToolbar(app);
}

bool ProgramTest::FindToolbar(App& app) {
  app.WaitUntil([&] {
    toolbar_ = app.Find(Visible("VelmoraToolbar"));
    toolbar1_ = toolbar_ ? FindWindowExA(toolbar_, nullptr, "ToolbarWindow32", nullptr) : nullptr;
    return toolbar1_ != nullptr;
  });
  if (!toolbar1_) ADD_FAILURE() << "no toolbar buttons " << app.Report();
  return toolbar1_ != nullptr;
}

std::vector<MarkerRun> ProgramTest::WaitRuns(std::size_t n) const {
  std::vector<MarkerRun> runs;
  WaitUntil([&] { return (runs = MarkerRuns(marker_)).size() >= n; });
  return runs;
}

bool PageTest::Open(App& app) {
  page_ = OpenCustomize(app, toolbar1_);
  if (!page_) {
    ADD_FAILURE() << "the Customize page did not open " << app.Report();
    return false;
  }
  tree_.emplace(app.Pid(), page_->Control(kIdTreeView1));
  return true;
}

}  // namespace velmora::e2e
