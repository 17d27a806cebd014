// The setup program as a user meets it: a silent install into a fresh user
// profile, Velmora started from its Start Menu shortcut, the setup run again
// over the installed copy while Velmora runs, and the uninstaller, which keeps
// the user's menus and settings unless told to remove them.
//
// A fresh profile: the tests share one Wine prefix (a new one costs half a
// minute). What the setup and the program use of a profile are the user's
// shell folders (local application data for the program folder, the Start
// Menu, the Startup folder, the Desktop for the sample menus) and the
// uninstall entry in HKCU. The shell folders are pointed into a new temporary
// folder for each test and put back afterwards; the uninstall entry is
// removed before and after each test.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "driver.h"

#ifndef VELMORA_SETUP
#error "VELMORA_SETUP must name the setup program to test"
#endif

namespace velmora::e2e {

namespace {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmora";
const char kShellFoldersKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const char kBackupRoot[] = "Software\\Velmora Tests";
const char kBackupKey[] = "Software\\Velmora Tests\\User Shell Folders";

struct ProfileFolder {
  const char* value;  // in User Shell Folders
  const char* path;   // below the fresh profile
};
const ProfileFolder kProfileFolders[] = {
    {"Local AppData", "AppData\\Local"},
    {"AppData", "AppData\\Roaming"},
    {"Start Menu", "AppData\\Roaming\\Microsoft\\Windows\\Start Menu"},
    {"Programs", "AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"},
    {"StartUp", "AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp"},
    {"Desktop", "Desktop"},
};

std::vector<std::string> ShippedFiles() {
  std::vector<std::string> out;
  std::string all = VELMORA_SHIPPED_FILES;
  for (size_t pos = 0; pos <= all.size();) {
    size_t end = all.find(',', pos);
    if (end == std::string::npos) end = all.size();
    if (end > pos) out.push_back(all.substr(pos, end - pos));
    pos = end + 1;
  }
  return out;
}

std::string SetupPath() { return UnixToWinePath(VELMORA_SETUP); }

std::optional<std::string> RegString(const char* key, const char* name) {
  char buf[2048] = "";
  DWORD size = sizeof buf - 1, type = 0;
  if (RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ | RRF_NOEXPAND, &type, buf,
                   &size) != ERROR_SUCCESS)
    return std::nullopt;
  return std::string(buf);
}

std::optional<DWORD> RegDword(const char* key, const char* name) {
  DWORD value = 0, size = sizeof value;
  if (RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  return value;
}

bool KeyExists(const char* key) {
  HKEY h = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

bool RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = fd.cFileName, path = folder + "\\" + name;
      if (name == "." || name == "..") continue;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path);
      else
        DeleteFileA(path.c_str());
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  return RemoveDirectoryA(folder.c_str()) != 0;
}

bool MakeFolders(const std::string& path) {
  for (size_t pos = path.find('\\', 3); ; pos = path.find('\\', pos + 1)) {
    const std::string part = path.substr(0, pos);
    if (!CreateDirectoryA(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
      return false;
    if (pos == std::string::npos) return true;
  }
}

// Runs a command line and waits for it; its exit code, or ~0 on a time-out.
DWORD RunCommand(const std::string& commandLine, DWORD timeoutMs = 120000) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string cmd = commandLine;
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi))
    return ~0u;
  DWORD code = ~0u;
  if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0)
    GetExitCodeProcess(pi.hProcess, &code);
  else
    TerminateProcess(pi.hProcess, 0xDEAD);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code;
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// The process of that file name, or 0.
DWORD ProcessId(const std::string& exeName) {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32 pe{};
  pe.dwSize = sizeof pe;
  DWORD found = 0;
  for (BOOL ok = Process32First(snap, &pe); ok && !found; ok = Process32Next(snap, &pe))
    if (lstrcmpiA(pe.szExeFile, exeName.c_str()) == 0) found = pe.th32ProcessID;
  CloseHandle(snap);
  return found;
}

}  // namespace

// Puts back the shell folders a test pointed elsewhere (also after a crash:
// the original values wait in the backup key until then).
void RestoreProfile() {
  HKEY backup = nullptr, folders = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kBackupKey, 0, KEY_READ, &backup) != ERROR_SUCCESS) return;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFoldersKey, 0, KEY_SET_VALUE, &folders) ==
      ERROR_SUCCESS) {
    for (const ProfileFolder& f : kProfileFolders) {
      BYTE data[2048];
      DWORD type = 0, size = sizeof data;
      if (RegQueryValueExA(backup, f.value, nullptr, &type, data, &size) != ERROR_SUCCESS) continue;
      if (type == REG_DWORD)  // there was no such value
        RegDeleteValueA(folders, f.value);
      else
        RegSetValueExA(folders, f.value, 0, type, data, size);
    }
    RegCloseKey(folders);
  }
  RegCloseKey(backup);
  RegDeleteTreeA(HKEY_CURRENT_USER, kBackupRoot);
  RegDeleteKeyA(HKEY_CURRENT_USER, kBackupRoot);
}

namespace {

// The user's shell folders in a new folder for the life of the object.
class FreshProfile {
 public:
  FreshProfile() {
    RestoreProfile();
    char temp[MAX_PATH] = "", longTemp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    std::string root = GetLongPathNameA(temp, longTemp, MAX_PATH) ? longTemp : temp;
    if (!root.empty() && root.back() == '\\') root.pop_back();
    // A blank in the path catches command lines that are not quoted.
    base_ = root + "\\velmora setup profile " + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(GetTickCount());
    HKEY backup = nullptr, folders = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kBackupKey, 0, nullptr, 0, KEY_WRITE, nullptr, &backup,
                        nullptr) != ERROR_SUCCESS)
      return;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFoldersKey, 0, KEY_READ | KEY_SET_VALUE,
                      &folders) != ERROR_SUCCESS) {
      RegCloseKey(backup);
      return;
    }
    ok_ = true;
    for (const ProfileFolder& f : kProfileFolders) {
      BYTE data[2048];
      DWORD type = 0, size = sizeof data;
      if (RegQueryValueExA(folders, f.value, nullptr, &type, data, &size) == ERROR_SUCCESS) {
        ok_ = RegSetValueExA(backup, f.value, 0, type, data, size) == ERROR_SUCCESS && ok_;
      } else {
        const DWORD absent = 0;
        ok_ = RegSetValueExA(backup, f.value, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&absent),
                             sizeof absent) == ERROR_SUCCESS &&
              ok_;
      }
    }
    RegCloseKey(backup);
    for (const ProfileFolder& f : kProfileFolders) {
      const std::string path = Folder(f.value);
      ok_ = MakeFolders(path) && ok_;
      ok_ = RegSetValueExA(folders, f.value, 0, REG_EXPAND_SZ,
                           reinterpret_cast<const BYTE*>(path.c_str()),
                           static_cast<DWORD>(path.size() + 1)) == ERROR_SUCCESS &&
            ok_;
    }
    RegCloseKey(folders);
  }
  ~FreshProfile() {
    RestoreProfile();
    WaitUntil([&] { return RemoveTree(base_) || !PathExists(base_); }, 5000);
  }
  FreshProfile(const FreshProfile&) = delete;
  FreshProfile& operator=(const FreshProfile&) = delete;

  bool Ok() const { return ok_; }
  std::string Folder(const std::string& value) const {
    for (const ProfileFolder& f : kProfileFolders)
      if (value == f.value) return base_ + "\\" + f.path;
    return base_;
  }

 private:
  std::string base_;
  bool ok_ = false;
};

// A Velmora process started from its shortcut.
class Started {
 public:
  explicit Started(const std::string& link) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = link.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info)) return;
    process_ = info.hProcess;
    // Wine starts a shortcut's target through a second shell call and hands
    // back no process; find it by name then.
    if (!process_) {
      WaitUntil([&] { return (pid_ = ProcessId("Velmora.exe")) != 0; });
      if (pid_)
        process_ = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION,
                               FALSE, pid_);
    }
    if (process_) pid_ = GetProcessId(process_);
  }
  ~Started() {
    if (Running()) {
      TerminateProcess(process_, 0xDEAD);
      WaitForSingleObject(process_, 10000);
    }
    if (process_) CloseHandle(process_);
  }
  Started(const Started&) = delete;
  Started& operator=(const Started&) = delete;

  bool Ok() const { return process_ != nullptr; }
  bool Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
  bool WaitExit(DWORD ms) const { return !process_ || WaitForSingleObject(process_, ms) == WAIT_OBJECT_0; }
  std::string Exe() const {
    char path[MAX_PATH] = "";
    DWORD size = MAX_PATH;
    QueryFullProcessImageNameA(process_, 0, path, &size);
    return path;
  }

  // Answers the first-start question with No when it comes; true once the
  // toolbar is on the screen and the program waits for input.
  bool WaitToolbar(bool answerStartupQuestion) {
    bool answered = !answerStartupQuestion;
    const bool up = WaitUntil([&] {
      if (!answered) {
        for (auto& box : MessageBoxesOf(pid_))
          if (box.visible && box.text.find("startup program") != std::string::npos)
            answered = box.Press(IDNO);
        return false;
      }
      return !FindWindows(pid_, Visible("VelmoraToolbar")).empty() &&
             !FindWindows(pid_, AnyState("VelmoraMinimize")).empty() && MessageBoxesOf(pid_).empty();
    });
    return up && Sync() && Sync();
  }
  bool Sync() const {
    for (HWND w : FindWindows(pid_, AnyState("VelmoraToolbar"))) {
      DWORD_PTR ignored = 0;
      if (SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored)) return true;
    }
    return false;
  }
  // The program's own way out, which saves its state.
  bool Close() {
    for (HWND w : FindWindows(pid_, AnyState("VelmoraMinimize"))) PostMessageA(w, WM_CLOSE, 0, 0);
    return WaitExit(20000);
  }

 private:
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
};

class Setup : public ::testing::Test {
 protected:
  void SetUp() override {
    KillStrayInstances();
    CloseHelpViewers();
    RegDeleteTreeA(HKEY_CURRENT_USER, kUninstallKey);
    ASSERT_TRUE(profile_.Ok()) << "cannot make a fresh user profile";
    folder_ = profile_.Folder("Local AppData") + "\\Programs\\Velmora";
    shortcut_ = profile_.Folder("Programs") + "\\Velmora.lnk";
  }
  void TearDown() override {
    KillStrayInstances();
    CloseHelpViewers();
    RegDeleteTreeA(HKEY_CURRENT_USER, kUninstallKey);
  }

  std::string InFolder(const std::string& name) const { return folder_ + "\\" + name; }

  // The program files are the staged ones, byte for byte (netsrch.ini only
  // until the user changed it).
  void ExpectProgramFiles(bool usersEngines = false) const {
    for (const std::string& f : ShippedFiles()) {
      if (usersEngines && f == "netsrch.ini") continue;
      const auto staged = ReadBytes(StageFolder() + "\\" + f);
      ASSERT_TRUE(staged) << "not staged: " << f;
      EXPECT_TRUE(ReadBytes(InFolder(f)) == staged) << f << " is not the staged file";
    }
  }

  // Runs the uninstaller as Windows' list of programs does when asked for a
  // quiet uninstall, and waits for it: it hands over to a copy of itself in
  // the temporary folder and returns at once.
  void UninstallQuietly(const std::string& extra = "") const {
    const auto quiet = RegString(kUninstallKey, "QuietUninstallString");
    ASSERT_TRUE(quiet) << "no QuietUninstallString";
    EXPECT_EQ(RunCommand(*quiet + extra), 0u);
    // Its last step removes the uninstall entry; then its copy ends.
    ASSERT_TRUE(WaitUntil([&] { return !KeyExists(kUninstallKey); }, 60000))
        << "the uninstaller did not finish";
    EXPECT_TRUE(WaitUntil([] { return !ProcessRunning("Un.exe"); }, 20000));
    // Windows deletes the copy at the next restart; the test prefix has none.
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((std::string(temp) + "~nsu*.tmp").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do RemoveTree(std::string(temp) + fd.cFileName);
      while (FindNextFileA(h, &fd));
      FindClose(h);
    }
  }

  FreshProfile profile_;
  std::string folder_, shortcut_;
};

TEST_F(Setup, InstallsStartsRepairsOverARunningCopyAndUninstallsKeepingTheUsersFiles) {
  // -- Install.
  ASSERT_EQ(RunCommand(Quoted(SetupPath()) + " /S"), 0u) << "silent install failed";
  std::vector<std::string> expected = ShippedFiles();
  expected.push_back("uninstall.exe");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(ListTree(folder_), expected) << "in " << folder_;
  ExpectProgramFiles();

  const auto link = ReadShortcut(shortcut_);
  ASSERT_TRUE(link) << "no Start Menu shortcut at " << shortcut_;
  EXPECT_TRUE(SameText(link->target, InFolder("Velmora.exe"))) << link->target;
  EXPECT_TRUE(SameText(link->workingFolder, folder_)) << link->workingFolder;

  const std::string uninstaller = Quoted(InFolder("uninstall.exe"));
  EXPECT_EQ(RegString(kUninstallKey, "DisplayName"), "Velmora");
  EXPECT_EQ(RegString(kUninstallKey, "DisplayVersion"), VELMORA_VERSION);
  EXPECT_NE(RegString(kUninstallKey, "Publisher").value_or(""), "");
  EXPECT_EQ(RegString(kUninstallKey, "DisplayIcon"), InFolder("Velmora.exe") + ",0");
  EXPECT_EQ(RegString(kUninstallKey, "InstallLocation"), folder_);
  EXPECT_EQ(RegString(kUninstallKey, "UninstallString"), uninstaller);
  EXPECT_EQ(RegString(kUninstallKey, "QuietUninstallString"), uninstaller + " /S");
  EXPECT_EQ(RegDword(kUninstallKey, "NoModify"), 1u);
  EXPECT_EQ(RegDword(kUninstallKey, "NoRepair"), 1u);
  size_t shippedBytes = 0;
  for (const std::string& f : ShippedFiles()) shippedBytes += ReadBytes(InFolder(f)).value_or("").size();
  const DWORD sizeKb = RegDword(kUninstallKey, "EstimatedSize").value_or(0);
  EXPECT_GE(sizeKb, shippedBytes / 1024);
  EXPECT_LE(sizeKb, shippedBytes / 1024 + 64);

  // -- First start from the shortcut: the first-start question, the toolbar.
  {
    Started velmora(shortcut_);
    ASSERT_TRUE(velmora.Ok()) << "the shortcut started nothing";
    EXPECT_TRUE(SameText(velmora.Exe(), InFolder("Velmora.exe"))) << velmora.Exe();
    ASSERT_TRUE(velmora.WaitToolbar(true)) << "no toolbar after starting from the shortcut";
    CloseHelpViewers();  // the first start opens the help
    ASSERT_TRUE(velmora.Close()) << "Velmora did not end";
  }
  ASSERT_TRUE(PathExists(InFolder("vlmra250.dat")));
  ASSERT_TRUE(PathExists(InFolder("Menus")));

  // -- The user's state, and damage to the program files.
  const std::string options = "1101000010100001";
  const std::string button = ItemRecord("Mine", "", "notepad.exe");
  const std::string engines = "NAME=Mine\r\nURL=http://search.invalid/?q=[q]\r\n";
  const std::string history = "first\r\nsecond\r\n";
  ASSERT_TRUE(WriteBytes(InFolder("vlmra250.dat"), options));
  ASSERT_TRUE(WriteBytes(InFolder("Menus\\BMENU001.BTN"), button));
  ASSERT_TRUE(WriteBytes(InFolder("netsrch.ini"), engines));
  ASSERT_TRUE(WriteBytes(InFolder("nsearch.dat"), history));
  ASSERT_TRUE(WriteBytes(InFolder("notes.txt"), "mine"));
  const std::vector<std::string> userTree = ListTree(InFolder("Menus"));
  // Files the running program does not hold (a settled start reads neither).
  ASSERT_TRUE(DeleteFileA(InFolder("velmora.chm").c_str()));
  ASSERT_TRUE(WriteBytes(InFolder("velmora.hlp"), "damaged"));
  ASSERT_TRUE(WriteBytes(InFolder("icon.lib"), "damaged"));

  // -- The setup again, while Velmora runs: it closes Velmora, repairs the
  // program files and leaves the user's alone.
  {
    Started velmora(shortcut_);
    ASSERT_TRUE(velmora.Ok());
    ASSERT_TRUE(velmora.WaitToolbar(false)) << "no toolbar on the second start";
    ASSERT_EQ(RunCommand(Quoted(SetupPath()) + " /S"), 0u) << "silent repair failed";
    EXPECT_TRUE(velmora.WaitExit(10000)) << "the setup left Velmora running";
  }
  ExpectProgramFiles(true);
  EXPECT_EQ(ReadBytes(InFolder("vlmra250.dat")), options);
  EXPECT_EQ(ReadBytes(InFolder("Menus\\BMENU001.BTN")), button);
  EXPECT_EQ(ListTree(InFolder("Menus")), userTree);
  EXPECT_EQ(ReadBytes(InFolder("netsrch.ini")), engines) << "the user's engines were replaced";
  EXPECT_EQ(ReadBytes(InFolder("nsearch.dat")), history);
  EXPECT_EQ(ReadBytes(InFolder("notes.txt")), "mine");
  EXPECT_TRUE(PathExists(shortcut_));

  // -- Uninstall quietly: the program goes, the user's files stay.
  const std::string startupLink = profile_.Folder("StartUp") + "\\Velmora.lnk";
  ASSERT_TRUE(WriteBytes(startupLink, "the shortcut Velmora makes on request"));
  ASSERT_NO_FATAL_FAILURE(UninstallQuietly());
  for (const std::string& f : ShippedFiles()) {
    if (f == "netsrch.ini") continue;  // the user's now
    EXPECT_FALSE(PathExists(InFolder(f))) << f << " left behind";
  }
  EXPECT_FALSE(PathExists(shortcut_)) << "Start Menu shortcut left behind";
  EXPECT_FALSE(PathExists(startupLink)) << "Startup shortcut left behind";
  EXPECT_EQ(ReadBytes(InFolder("vlmra250.dat")), options);
  EXPECT_EQ(ReadBytes(InFolder("Menus\\BMENU001.BTN")), button);
  EXPECT_EQ(ReadBytes(InFolder("netsrch.ini")), engines);
  EXPECT_EQ(ReadBytes(InFolder("nsearch.dat")), history);
  EXPECT_TRUE(PathExists(InFolder("Icons")));
}

TEST_F(Setup, UninstallWithRemoveDataRemovesWhatVelmoraWroteAndNothingElse) {
  ASSERT_EQ(RunCommand(Quoted(SetupPath()) + " /S"), 0u) << "silent install failed";
  // What a while of use leaves, and a file of the user's own.
  for (const char* name :
       {"vlmra250.dat", "toolbarp.dat", "mainmenu.dat", "nsearch.dat", "openurl.ini",
        "httpicon.ini", "httpicon.htm", "tempurl.url", "vlmra250.dat.~vl"})
    ASSERT_TRUE(WriteBytes(InFolder(name), "state")) << name;
  ASSERT_TRUE(CreateDirectoryA(InFolder("Menus").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA(InFolder("Icons").c_str(), nullptr));
  ASSERT_TRUE(WriteBytes(InFolder("Menus\\BMENU001.MNU"), ItemRecord("Tools", "", "")));
  ASSERT_TRUE(WriteBytes(InFolder("Menus\\BMENU001.MNU.~vn"), "half a save"));
  ASSERT_TRUE(WriteBytes(InFolder("Icons\\mine.ico"), "icon"));
  ASSERT_TRUE(WriteBytes(InFolder("notes.txt"), "mine"));

  ASSERT_NO_FATAL_FAILURE(UninstallQuietly(" /REMOVEDATA"));
  EXPECT_EQ(ListTree(folder_), std::vector<std::string>{"notes.txt"});
  EXPECT_FALSE(PathExists(shortcut_));
  ASSERT_TRUE(DeleteFileA(InFolder("notes.txt").c_str()));
}

// The setup must be able to refuse a 32-bit Windows itself, and must not ask
// for administrator rights: a 32-bit program whose manifest runs it as the
// user who started it.
TEST(SetupProgram, IsA32BitProgramThatRunsAsTheUser) {
  const auto exe = ReadBytes(SetupPath());
  ASSERT_TRUE(exe && exe->size() > 0x40) << SetupPath();
  const uint32_t pe = *reinterpret_cast<const uint32_t*>(exe->data() + 0x3c);
  ASSERT_LT(pe + 6, exe->size());
  EXPECT_EQ(exe->substr(pe, 4), std::string("PE\0\0", 4));
  EXPECT_EQ(*reinterpret_cast<const uint16_t*>(exe->data() + pe + 4), IMAGE_FILE_MACHINE_I386);
  EXPECT_NE(exe->find("level=\"asInvoker\""), std::string::npos) << "no asInvoker manifest";
  EXPECT_EQ(exe->find("requireAdministrator"), std::string::npos);
}

}  // namespace
}  // namespace velmora::e2e

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--restore-profile") {
      velmora::e2e::RestoreProfile();
      return 0;
    }
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
