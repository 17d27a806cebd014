// The set-up most end-to-end tests share: a fresh program folder with an
// empty Menus folder, the marker program ready to record what Velmora starts,
// and the program started until its toolbar is up and idle.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "cust_driver.h"
#include "driver.h"

namespace velmora::e2e {

inline const std::string kOptionsFile = "vlmra250.dat";
// Asked nothing at start, no splash; every tip still to come, the toolbar
// fixed, single buttons on a double click.
inline const std::string kSettled = "1100000010000001";

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Whether something the test started may still write the marker file.
  virtual bool MarkerBusy() const { return MarkerProgramRunning(); }

  // Starts the program (with the settled options unless the test wrote its
  // own) and waits until its toolbar is up and idle: toolbar_ and toolbar1_.
  bool Start(App& app);
  // A started program's toolbar is up and idle.
  bool WaitUp(App& app);
  // The toolbar's windows; a rebuild may make them anew.
  bool FindToolbar(App& app);
  // Waits for `n` records of the marker program and returns them all.
  std::vector<MarkerRun> WaitRuns(std::size_t n) const;

  ProgramFolder folder_;
  std::string helper_, marker_;
  HWND toolbar_ = nullptr, toolbar1_ = nullptr;
};

// ...and the Customize page, opened from the own menu, with its tree.
class PageTest : public ProgramTest {
 protected:
  bool Open(App& app);

  std::optional<CustomizePage> page_;
  std::optional<RemoteTree> tree_;
};

}  // namespace velmora::e2e
