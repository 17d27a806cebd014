// The launcher, the web-address opener, the browser detection and the Net
// Search window over the real platform: a prepared "http" association in the
// registry, a DDE server of the test's own standing in for a running browser,
// and a stand-in program (vl_fake_browser.exe) that records how it was started.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "model/text.h"
#include "netsearch/browser_detection.h"
#include "netsearch/frmNetSearch.h"
#include "platform/dde_client_win.h"
#include "platform/file_system_win.h"
#include "platform/launch_platform_win.h"
#include "platform/shell_component_win.h"
#include "core/app_state.h"
#include "core/ui_host.h"
#include "model/state_files.h"
#include "platform/dialogs_win.h"
#include "platform/ui_win.h"
#include "shell/launcher.h"
#include "win_test_support.h"

namespace velmora {
namespace {

using wintest::TempFolder;
using wintest::TestDdeServer;
using wintest::WaitFor;

std::string ModuleFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return FolderOf(path);
}
std::string FakeBrowser() { return ModuleFolder() + "\\vl_fake_browser.exe"; }
// `program` in double quotes followed by `rest`, as association commands are.
std::string CommandOf(const std::string& program, const std::string& rest) {
  return "\"" + program + "\" " + rest;
}

std::string ReadFileText(const std::string& path) {
  Win32FileSystem fs;
  return fs.ReadAll(path).value_or("");
}

// Sets values under HKEY_CLASSES_ROOT for one test and puts back what was
// there: values are restored, keys the test created are removed.
class ClassesGuard {
 public:
  ~ClassesGuard() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (!it->createdTop.empty()) {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, it->createdTop.c_str());
        continue;
      }
      HKEY key;
      if (RegOpenKeyExA(HKEY_CLASSES_ROOT, it->key.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        continue;
      if (it->hadValue)
        RegSetValueExA(key, it->name.c_str(), 0, it->type,
                       reinterpret_cast<const BYTE*>(it->value.data()),
                       static_cast<DWORD>(it->value.size()));
      else
        RegDeleteValueA(key, it->name.c_str());
      RegCloseKey(key);
    }
  }
  void Set(const std::string& key, const std::string& value, DWORD type = REG_SZ,
           const std::string& name = "", bool withNul = true) {
    Save(key, name);
    HKEY h;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &h, nullptr),
              ERROR_SUCCESS)
        << key;
    const std::string data = withNul && (type == REG_SZ || type == REG_EXPAND_SZ) ? value + '\0' : value;
    RegSetValueExA(h, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size()));
    RegCloseKey(h);
  }
  void RemoveValue(const std::string& key, const std::string& name = "") {
    Save(key, name);
    HKEY h;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_ALL_ACCESS, &h) != ERROR_SUCCESS) return;
    RegDeleteValueA(h, name.c_str());
    RegCloseKey(h);
  }
  // The "http" association pointing at the stand-in browser, with or without
  // DDE information.
  void HttpAssociation(const std::string& server) {
    Set("http\\shell\\open\\command", CommandOf(FakeBrowser(), "-nohome \"%1\""));
    if (server.empty()) {
      RemoveValue("http\\shell\\open\\ddeexec\\Application");
      RemoveValue("http\\shell\\open\\ddeexec\\Topic");
    } else {
      Set("http\\shell\\open\\ddeexec\\Application", server);
      Set("http\\shell\\open\\ddeexec\\Topic", "WWW_OpenURL");
    }
  }

 private:
  struct Saved {
    std::string key, name;
    std::string createdTop;  // the first key on the path that did not exist
    bool hadValue = false;
    DWORD type = 0;
    std::string value;
  };
  void Save(const std::string& key, const std::string& name) {
    Saved s;
    s.key = key;
    s.name = name;
    std::string prefix;
    for (std::size_t pos = 0; pos != std::string::npos;) {
      const auto slash = key.find('\\', pos);
      prefix = key.substr(0, slash);
      HKEY h;
      if (RegOpenKeyExA(HKEY_CLASSES_ROOT, prefix.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) {
        s.createdTop = prefix;
        break;
      }
      RegCloseKey(h);
      pos = slash == std::string::npos ? slash : slash + 1;
    }
    if (s.createdTop.empty()) {
      HKEY h;
      if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &h) == ERROR_SUCCESS) {
        DWORD size = 0;
        if (RegQueryValueExA(h, name.c_str(), nullptr, &s.type, nullptr, &size) == ERROR_SUCCESS) {
          s.value.resize(size);
          s.hadValue = RegQueryValueExA(h, name.c_str(), nullptr, &s.type,
                                        reinterpret_cast<BYTE*>(s.value.data()), &size) == ERROR_SUCCESS;
        }
        RegCloseKey(h);
      }
    }
    saved_.push_back(std::move(s));
  }
  std::vector<Saved> saved_;
};

class RecordingDialogs : public Dialogs {
 public:
  std::vector<std::string> texts;
  MsgResult Show(const std::string& text, MsgButtons buttons, MsgIcon, const std::string&) override {
    texts.push_back(text);
    return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::No;
  }
  std::optional<std::string> OpenFile(const OpenFileRequest&) override { return std::nullopt; }
  std::optional<FolderChoice> BrowseForFolder(const std::string&) override { return std::nullopt; }
};

// Lets messages run; never asked to show Net Search in these tests.
class TestUiHost : public UiHost {
 public:
  void ShowNetSearch() override {}
  void DoEvents() override { velmora::DoEvents(); }
};

// The records vl_fake_browser.exe wrote: each a list of "cwd=" and "arg=" lines.
std::vector<std::vector<std::string>> MarkerRecords(const std::string& marker) {
  std::vector<std::vector<std::string>> records(1);
  const std::string text = ReadFileText(marker);
  std::size_t pos = 0;
  while (pos < text.size()) {
    const auto end = text.find('\n', pos);
    const std::string line = text.substr(pos, end - pos);
    pos = end == std::string::npos ? text.size() : end + 1;
    if (line == "end")
      records.emplace_back();
    else
      records.back().push_back(line);
  }
  records.pop_back();
  return records;
}

class Launching : public ::testing::Test {
 protected:
  Launching()
      : shell(ModuleFolder() + "\\VLShell.dll"),
        platform([this]() -> DdeClient& { return dde; }) {
    state.folders = ProgramFoldersOf(folder.Path() + "\\Velmora.exe");
    marker = folder.Path() + "\\marker.txt";
    SetEnvironmentVariableA("VL_MARKER", marker.c_str());
  }
  ~Launching() override { SetEnvironmentVariableA("VL_MARKER", nullptr); }

  std::vector<std::vector<std::string>> WaitForRecords(std::size_t count) {
    WaitFor([&] { return MarkerRecords(marker).size() >= count; });
    return MarkerRecords(marker);
  }
  void Run(std::string command) { RunItem(services, command); }

  TempFolder folder;
  std::string marker;
  AppState state;
  Win32FileSystem fs;
  RecordingDialogs dialogs;
  VlShellFactory shell;
  DdeClient dde;
  Win32LaunchPlatform platform;
  TestUiHost ui;
  LaunchServices services{state, fs, dialogs, shell, platform, ui};
  ClassesGuard classes;
};

// ---------------------------------------------------------------------------

TEST_F(Launching, RegistryReadsNeverOverrun) {
  const std::string key = "VelmoraTestClass\\shell\\open\\command";
  const auto read = [&](std::string start = "before") {
    GetKeyValue(platform, key, "", start);
    return start;
  };
  classes.Set(key, "\"C:\\B\\b.exe\" %1");
  EXPECT_EQ(read(), "\"C:\\B\\b.exe\" %1");
  classes.Set(key, "no terminator", REG_SZ, "", false);
  EXPECT_EQ(read(), "no terminator");
  classes.Set(key, "");
  EXPECT_EQ(read(), "");
  classes.Set(key, std::string(1023, 'x'));  // 1024 bytes with its NUL: fits
  EXPECT_EQ(read().size(), 1023u);
  classes.Set(key, std::string(5000, 'y'));
  EXPECT_EQ(read(), "") << "longer than the buffer";
  classes.Set(key, std::string("\x07\0\0\0", 4), REG_DWORD);
  EXPECT_EQ(read(), "before") << "not a string";
  classes.RemoveValue(key);
  EXPECT_EQ(read(), "") << "missing value";
  std::string missingKey = "before";
  GetKeyValue(platform, "VelmoraTestClass\\no\\such\\key", "", missingKey);
  EXPECT_EQ(missingKey, "before");
}

TEST_F(Launching, RunningBrowserGetsTheAddressByDde) {
  TestDdeServer server("VLTestBrowser", "WWW_OpenURL");
  ASSERT_TRUE(server.Running());
  classes.HttpAssociation("VLTestBrowser");

  const std::string address = "http://example.com/find?q=\"quoted\"&x=1";
  Run(address);
  EXPECT_EQ(server.Commands(), std::vector<std::string>{"\"" + address + "\",,-1,0,,,,"});
  EXPECT_TRUE(state.UseDde);
  EXPECT_EQ(state.BrowserPath, FakeBrowser());
  EXPECT_EQ(state.DdeServer, "VLTestBrowser");
  EXPECT_FALSE(dde.Connected()) << "the conversation is closed";
  EXPECT_TRUE(dialogs.texts.empty());
  EXPECT_FALSE(fs.Exists(marker)) << "no program was started";
  EXPECT_FALSE(fs.Exists(folder.Path() + "\\temphtml.htm"));
}

TEST_F(Launching, BrowserNotRunningIsStartedWithTheAddress) {
  classes.HttpAssociation("VLTestNobodyHome");
  OpenURL(services, "http://example.com/a+b");
  const auto records = WaitForRecords(1);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].back(), "arg=http://example.com/a+b");
  EXPECT_TRUE(state.UseDde) << "DDE stays the way for the next address";
  EXPECT_TRUE(dialogs.texts.empty());
}

TEST_F(Launching, InternetShortcutWay) {
  classes.HttpAssociation("");
  classes.Set("http\\shell\\open\\command", "");
  classes.Set(".url", "VelmoraTestUrl");
  classes.Set("VelmoraTestUrl\\shell\\open\\command", CommandOf(FakeBrowser(), "\"%1\""));

  OpenURL(services, "http://example.com/page");
  EXPECT_FALSE(state.UseDde);
  EXPECT_TRUE(state.UseUrlFile);
  EXPECT_TRUE(IEquals(state.BrowserPath, FakeBrowser())) << state.BrowserPath;
  const std::string url = folder.Path() + "\\tempurl.url";
  EXPECT_EQ(ReadFileText(url), "[InternetShortcut]\r\nURL=http://example.com/page\r\n");
  const auto records = WaitForRecords(1);
  ASSERT_EQ(records.size(), 1u);
  ASSERT_FALSE(records[0].empty());
  EXPECT_TRUE(IEquals(records[0].back(), "arg=" + url)) << records[0].back();
  EXPECT_TRUE(dialogs.texts.empty());
}

TEST_F(Launching, NoWayWorksSaysSo) {
  classes.HttpAssociation("");
  classes.Set("http\\shell\\open\\command", "");
  classes.Set(".url", "VelmoraTestNoSuchClass");
  classes.RemoveValue(".htm");
  OpenURL(services, "http://example.com/");
  EXPECT_EQ(dialogs.texts, std::vector<std::string>{BrowserUnreachableMessage()});
  EXPECT_FALSE(state.UseDde || state.UseUrlFile);
  EXPECT_FALSE(fs.Exists(folder.Path() + "\\temphtml.htm"));
}

// ---------------------------------------------------------------------------
// The program's own object: the Net Search window through RunItem, a search
// that reaches the browser, and the history written at exit.

// Answers every message box of this process with its default button and
// remembers the texts, so a stray box fails the test instead of blocking it.
class BoxWatcher {
 public:
  BoxWatcher() : thread_([this] { Run(); }) {}
  ~BoxWatcher() {
    stop_ = true;
    thread_.join();
  }
  std::vector<std::string> Texts() {
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_;
  }

 private:
  void Run() {
    while (!stop_) {
      EnumWindows(Visit, reinterpret_cast<LPARAM>(this));
      Sleep(50);
    }
  }
  static BOOL CALLBACK Visit(HWND w, LPARAM self) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char cls[32] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (pid == GetCurrentProcessId() && std::string(cls) == "#32770" && IsWindowVisible(w)) {
      char text[1024] = {};
      GetDlgItemTextA(w, 0xFFFF, text, sizeof text);
      auto* watcher = reinterpret_cast<BoxWatcher*>(self);
      {
        std::lock_guard<std::mutex> lock(watcher->mutex_);
        watcher->texts_.push_back(text);
      }
      // Pressed once: the box is gone before the next look.
      SendMessageA(w, WM_COMMAND, GetDlgItem(w, IDNO) ? IDNO : IDOK, 0);
    }
    return TRUE;
  }
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<std::string> texts_;
  std::thread thread_;
};

// The Net Search window with the program's real services, as the program
// gives them to it.
class NetSearchWindow : public ::testing::Test {
 protected:
  NetSearchWindow()
      : shell(ModuleFolder() + "\\VLShell.dll"),
        platform([this]() -> DdeClient& { return dde; }) {
    state.folders = ProgramFoldersOf(folder.Path() + "\\Velmora.exe");
  }
  ~NetSearchWindow() override { form.reset(); }
  frmNetSearch& Open() {
    form = MakeWindow<frmNetSearch>(NetSearchServices{GetModuleHandleA(nullptr), tpp, services, runner});
    form->Load();
    return *form;
  }
  // A key as the user types it: through the queue and the message loop.
  void Type(HWND control, WPARAM key) {
    PostMessageA(control, WM_KEYDOWN, key, 0);
    PostMessageA(control, WM_KEYUP, key, 0xC0000001);
  }

  TempFolder folder;
  AppState state;
  Win32FileSystem fs;
  Win32Dialogs dialogs;
  VlShellFactory shell;
  DdeClient dde;
  Win32LaunchPlatform platform;
  TestUiHost ui;
  LaunchServices services{state, fs, dialogs, shell, platform, ui};
  ShellRunner runner{services};
  Tpp tpp = Tpp::FromScreen();
  WindowPtr<frmNetSearch> form;
};

TEST_F(NetSearchWindow, SearchReachesTheBrowserAndHistoryIsSavedAtExit) {
  ClassesGuard classes;
  TestDdeServer server("VLTestBrowser", "WWW_OpenURL");
  ASSERT_TRUE(server.Running());
  classes.HttpAssociation("VLTestBrowser");
  BoxWatcher boxes;
  const std::string program = folder.Path() + "\\";
  fs.WriteAll(program + "netsrch.ini",
              "; engines\r\nNAME=Test Engine\r\nURL=http://search.example/?q=[words]&n=1\r\n"
              "NAME=Broken\r\nURL=http://broken.example/\r\n");
  fs.WriteAll(program + "nsearch.dat", "first\r\nsecond\r\n");
  fs.WriteAll(program + "temphtml.htm", "<HTML> </HTML>\r\n");

  frmNetSearch& search = Open();
  HWND window = search.hwnd();
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(SendMessageA(search.cmbEngine(), CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageA(search.cmbText(), CB_GETCOUNT, 0, 0), 2);
  char newest[64] = {};
  SendMessageA(search.cmbText(), CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(newest));
  EXPECT_STREQ(newest, "second");

  // The size is fixed.
  RECT before{};
  GetWindowRect(window, &before);
  SetWindowPos(window, nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
  RECT after{};
  GetWindowRect(window, &after);
  EXPECT_EQ(after.right - after.left, before.right - before.left);
  EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);

  // Enter in the text box searches.
  SetWindowTextA(search.cmbText(), " Tom & Jerry's +1 ");
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(search.cmbText(), &info));
  SetFocus(info.hwndItem);
  Type(info.hwndItem, VK_RETURN);
  ASSERT_TRUE(WaitFor([&] { return !server.Commands().empty(); }));
  EXPECT_EQ(server.Commands()[0],
            "\"http://search.example/?q=Tom+%26+Jerry%27s+%2B1&n=1\",,-1,0,,,,");
  EXPECT_TRUE(IsIconic(window)) << "the window minimizes after a search";
  EXPECT_EQ(SendMessageA(search.cmbText(), CB_GETCOUNT, 0, 0), 3);

  // A template without brackets is reported; Enter in the engine list works too.
  ShowWindow(window, SW_RESTORE);
  SendMessageA(search.cmbEngine(), CB_SETCURSEL, 1, 0);
  SetWindowTextA(search.cmbText(), "cats");
  SetFocus(search.cmbEngine());
  Type(search.cmbEngine(), VK_RETURN);
  ASSERT_TRUE(WaitFor([&] { return !boxes.Texts().empty(); }));
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{TemplateErrorMessage()});
  EXPECT_EQ(server.Commands().size(), 1u);

  search.Unload();
  EXPECT_EQ(ReadFileText(program + "nsearch.dat"), "first\r\nsecond\r\nTom & Jerry's +1\r\ncats\r\n");
  EXPECT_FALSE(fs.Exists(program + "temphtml.htm"));
}

TEST_F(NetSearchWindow, MissingEnginesFileIsReportedAndTheWindowStillLoads) {
  BoxWatcher boxes;
  frmNetSearch& search = Open();
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{MissingEnginesMessage()});
  EXPECT_TRUE(search.Loaded());
  EXPECT_EQ(SendMessageA(search.cmbEngine(), CB_GETCOUNT, 0, 0), 0);
  search.Unload();
  EXPECT_FALSE(fs.Exists(folder.Path() + "\\nsearch.dat")) << "no history, no file";
}

}  // namespace
}  // namespace velmora
