// The program on a disk with no room left, used as a person would: start it,
// edit and save on the Customize page, search the web, leave. Nothing the
// user had may be lost or damaged, the failures the program reports must be
// reported, and it must keep running and end cleanly.
//
// The program folder has to be on a real file system that is full, so this
// runs only when tests/e2e/full_disk.sh has mounted a small one and named it
// in VELMORA_E2E_ROOT; otherwise it is skipped.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <optional>
#include <string>

#include "cust_driver.h"
#include "customize/cust_tables.h"
#include "driver.h"
#include "fixture.h"

namespace velmora::e2e {
namespace {

const std::string kSavePrompt = "Do you want to save your changes before you exit?";

// Writes into `path` until the file system refuses another byte.
bool FillDisk(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string block(64 * 1024, 'x');
  for (DWORD piece : {64u * 1024u, 512u, 1u}) {
    for (;;) {
      DWORD put = 0;
      if (!WriteFile(file, block.data(), piece, &put, nullptr) || put != piece) break;
    }
  }
  const bool full = GetLastError() == ERROR_DISK_FULL || GetLastError() == ERROR_HANDLE_DISK_FULL;
  CloseHandle(file);
  return full;
}

class FullDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    if (GetEnvironmentVariableA("VELMORA_E2E_ROOT", nullptr, 0) == 0)
      GTEST_SKIP() << "needs a small file system of its own (tests/e2e/full_disk.sh)";
    KillStrayInstances();
    folder_.emplace();
  }
  // Every file below the program folder with its bytes, the filler left out.
  std::map<std::string, std::string> Everything() {
    std::map<std::string, std::string> out;
    for (const std::string& name : folder_->List())
      if (name != "filler" && name.back() != '\\') out[name] = folder_->Read(name).value_or("<unreadable>");
    return out;
  }
  std::optional<ProgramFolder> folder_;
};

TEST_F(FullDisk, NothingTheUserHadIsLostAndTheProgramKeepsRunning) {
  ProgramFolder& folder = *folder_;
  ASSERT_TRUE(folder.MakeFolder("Menus"));
  ASSERT_TRUE(folder.Write("Menus\\BMENU001.MNU", ItemRecord("Tools", "", "") +
                                                       ItemRecord("Net Search", "", "NetSearch") +
                                                       ItemRecord("Alpha", "", "a.exe")));
  ASSERT_TRUE(folder.Write("Menus\\BMENU002.MNU", ItemRecord("Games", "", "") +
                                                       ItemRecord("Chess", "", "c.exe")));
  ASSERT_TRUE(folder.Write("Menus\\BMENU001.BTN", ItemRecord("Run", "", "r.exe")));
  ASSERT_TRUE(folder.Write(kOptionsFile, kSettled));
  ASSERT_TRUE(folder.Write("nsearch.dat", "cats\r\ndogs\r\n"));
  ASSERT_TRUE(folder.Write("toolbarp.dat", std::string("\x00\x40\x1C\x46", 4)));
  ASSERT_TRUE(FillDisk(folder.PathOf("filler"))) << "the file system did not fill up";
  const auto before = Everything();

  App app(folder);
  ASSERT_TRUE(app.Start()) << app.Error();
  ASSERT_TRUE(app.WaitStarted() && app.Sync()) << app.Report();
  HWND toolbar = app.Find(Visible("VelmoraToolbar"));
  HWND toolbar1 = toolbar ? FindWindowExA(toolbar, nullptr, "ToolbarWindow32", nullptr) : nullptr;
  ASSERT_TRUE(toolbar1);

  // An edit the disk has no room for: the save says so, the files stay.
  auto page = OpenCustomize(app, toolbar1);
  ASSERT_TRUE(page) << app.Report();
  PressKey('M', {VK_CONTROL});
  ASSERT_TRUE(app.Sync());
  ClickAt(page->ControlCentre(kIdCmdSave));
  auto failed = app.WaitForMessageBox("The toolbar could not be updated.");
  ASSERT_TRUE(failed) << app.Report();
  EXPECT_EQ(Everything(), before);
  ASSERT_TRUE(failed->Press(IDOK));
  ASSERT_TRUE(failed->WaitGone());
  ClickAt(page->ControlCentre(kIdCmdCancel));
  auto prompt = app.WaitForMessageBox(kSavePrompt);
  ASSERT_TRUE(prompt) << app.Report();
  ASSERT_TRUE(prompt->Press(IDNO));
  ASSERT_TRUE(app.WaitUntil([&] { return !IsWindow(page->window); }));

  // A search: finding the browser needs a file of its own, which cannot be
  // written; the program says it cannot find the browser.
  HWND menu = OpenQuickMenu(app, toolbar1, 2);
  ASSERT_TRUE(menu) << app.Report();
  PressKey(VK_DOWN);
  PressKey(VK_RETURN);
  HWND search = app.WaitForWindow(Visible("VelmoraNetSearch"));
  ASSERT_TRUE(search) << app.Report();
  ASSERT_TRUE(KeyboardIn(app, search)) << app.Report();
  TypeText("birds");
  PressKey(VK_RETURN);
  auto noBrowser = app.WaitForMessageBox("Cannot find your default browser.");
  ASSERT_TRUE(noBrowser) << app.Report();
  ASSERT_TRUE(noBrowser->Press(IDOK));
  ASSERT_TRUE(noBrowser->WaitGone());
  PostMessageA(search, WM_CLOSE, 0, 0);
  ASSERT_TRUE(app.WaitUntil([&] { return !IsWindowVisible(search); }));

  // Still running, and it ends the normal way; every write at the exit fails
  // and keeps what was there.
  EXPECT_TRUE(app.Running());
  EXPECT_TRUE(app.Close());
  EXPECT_TRUE(app.ExitedCleanly());
  EXPECT_EQ(Everything(), before) << "a file was lost, changed or left behind";
}

}  // namespace
}  // namespace velmora::e2e
