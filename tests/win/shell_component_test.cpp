// VLShell.dll and its loader against the real shell: special folders, shortcut
// files, the DLL's own bookkeeping and every way loading it can fail.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "platform/shell_component_win.h"
#include "platform/vlshell_api.h"
#include "win_test_support.h"

namespace velmora {
namespace {

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, n);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string StagedDll() { return ProgramFolder() + "VLShell.dll"; }

bool IsFile(const std::string& path) {
  const DWORD attr = GetFileAttributesA(path.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFolder(const std::string& path) {
  const DWORD attr = GetFileAttributesA(path.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_EQ(written, bytes.size());
}

// A fresh folder under the temporary folder for each test, removed afterwards.
class TempFolderTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return dir_.PathOf(name); }

  wintest::TempFolder dir_;
  const std::string& folder_ = dir_.Path();
};

class ShellComponentTest : public TempFolderTest {
 protected:
  void SetUp() override {
    Error error;
    shell_ = factory_.Create(error);
    ASSERT_TRUE(shell_) << error.number << " " << error.description;
    EXPECT_FALSE(error);
  }

  VlShellFactory factory_{StagedDll()};
  std::unique_ptr<ShellComponent> shell_;
};

TEST_F(ShellComponentTest, SpecialFoldersAreExistingFoldersWithoutTrailingBackslash) {
  for (const std::int16_t number : {kFolderDesktop, kFolderPrograms, kFolderStartup, kFolderStartMenu}) {
    SCOPED_TRACE(number);
    std::string path = "stale";
    const Error error = shell_->GetSpecialFolder(0, number, path);
    EXPECT_FALSE(error) << error.description;
    ASSERT_FALSE(path.empty());
    EXPECT_NE(path.back(), ' ');
    if (!(path.size() == 3 && path[1] == ':')) {
      EXPECT_NE(path.back(), '\\') << path;
    }
    EXPECT_TRUE(IsFolder(path)) << path;
  }
}

TEST_F(ShellComponentTest, UnknownFolderNumbersFail) {
  for (const std::int16_t number : {1, 5, 26, -1, 0x7fff}) {
    SCOPED_TRACE(number);
    std::string path = "stale";
    const Error error = shell_->GetSpecialFolder(0, number, path);
    EXPECT_EQ(error.number, ERROR_INVALID_PARAMETER);  // E_INVALIDARG is a Win32 HRESULT
    EXPECT_FALSE(error.description.empty());
    EXPECT_EQ(path, "");
  }
}

TEST_F(ShellComponentTest, ShortcutIsCreatedReadBackAndOverwritten) {
  const std::string first = Path("First.exe");
  WriteFile(first, "MZ");
  const std::string link = Path("Velmora.lnk");

  Error error = shell_->CreateShortcut(link, first, folder_);
  ASSERT_FALSE(error) << error.number << " " << error.description;
  EXPECT_TRUE(IsFile(link));
  EXPECT_FALSE(IsFile(link + ".tmp"));

  ShortcutInfo info;
  error = shell_->ReadShortcut(link, info);
  ASSERT_FALSE(error) << error.number << " " << error.description;
  EXPECT_EQ(lstrcmpiA(info.target.c_str(), first.c_str()), 0) << info.target;
  EXPECT_EQ(lstrcmpiA(info.workingFolder.c_str(), folder_.c_str()), 0) << info.workingFolder;
  EXPECT_EQ(info.name, "Velmora.lnk");
  EXPECT_EQ(info.arguments, "");
  EXPECT_EQ(info.description, "");

  // Asking twice goes to the component again and replaces the shortcut. The
  // program's own shortcut may name a target that is moved there later: the
  // link is written all the same.
  const std::string later = Path("NotThereYet.exe");
  error = shell_->CreateShortcut(link, later, "");
  ASSERT_FALSE(error) << error.number << " " << error.description;
  error = shell_->ReadShortcut(link, info);
  ASSERT_FALSE(error);
  EXPECT_EQ(lstrcmpiA(info.target.c_str(), later.c_str()), 0) << info.target;
  EXPECT_EQ(info.workingFolder, "");
}

TEST_F(ShellComponentTest, ShortcutThatCannotBeMadeIsAnErrorAndLeavesNothing) {
  const std::string target = Path("App.exe");
  WriteFile(target, "MZ");

  const std::string intoMissing = Path("Missing\\Velmora.lnk");
  Error error = shell_->CreateShortcut(intoMissing, target, folder_);
  EXPECT_NE(error.number, 0);
  EXPECT_FALSE(error.description.empty());
  EXPECT_FALSE(IsFile(intoMissing));
  EXPECT_FALSE(IsFolder(Path("Missing")));

  error = shell_->CreateShortcut("", target, folder_);
  EXPECT_EQ(error.number, ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(error.description.empty());

  error = shell_->CreateShortcut(Path("NoTarget.lnk"), "", folder_);
  EXPECT_EQ(error.number, ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(IsFile(Path("NoTarget.lnk")));

  // A name the file system refuses would otherwise be silently shortened.
  error = shell_->CreateShortcut(Path(std::string(300, 'x') + ".lnk"), target, folder_);
  EXPECT_NE(error.number, 0);
}

TEST_F(ShellComponentTest, ReadingAMissingOrDamagedShortcutFails) {
  ShortcutInfo info;
  info.target = "stale";
  Error error = shell_->ReadShortcut(Path("Nothing.lnk"), info);
  EXPECT_NE(error.number, 0);
  EXPECT_FALSE(error.description.empty());
  EXPECT_EQ(info.target, "");

  WriteFile(Path("Damaged.lnk"), std::string(200, '\x5a'));
  error = shell_->ReadShortcut(Path("Damaged.lnk"), info);
  EXPECT_NE(error.number, 0);
  EXPECT_EQ(info.target, "");
}

// --- The DLL through its binary interface ---------------------------------

class VlShellDllTest : public TempFolderTest {
 protected:
  void SetUp() override {
    module_ = LoadLibraryA(StagedDll().c_str());
    ASSERT_TRUE(module_) << GetLastError();
    getClassObject_ = reinterpret_cast<decltype(getClassObject_)>(
        reinterpret_cast<void (*)()>(GetProcAddress(module_, "DllGetClassObject")));
    canUnloadNow_ = reinterpret_cast<decltype(canUnloadNow_)>(
        reinterpret_cast<void (*)()>(GetProcAddress(module_, "DllCanUnloadNow")));
    ASSERT_TRUE(getClassObject_);
    ASSERT_TRUE(canUnloadNow_);
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }

  IVLShell* NewShell() {
    IClassFactory* factory = nullptr;
    EXPECT_EQ(getClassObject_(CLSID_VLShell, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
              S_OK);
    if (!factory) return nullptr;
    IVLShell* shell = nullptr;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IVLShell, reinterpret_cast<void**>(&shell)), S_OK);
    factory->Release();
    return shell;
  }

  HMODULE module_ = nullptr;
  HRESULT(STDAPICALLTYPE* getClassObject_)(REFCLSID, REFIID, void**) = nullptr;
  HRESULT(STDAPICALLTYPE* canUnloadNow_)() = nullptr;
};

TEST_F(VlShellDllTest, CanUnloadOnlyWithoutLiveObjectsOrLocks) {
  EXPECT_EQ(canUnloadNow_(), S_OK);

  IClassFactory* factory = nullptr;
  ASSERT_EQ(getClassObject_(CLSID_VLShell, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
  EXPECT_EQ(canUnloadNow_(), S_FALSE);

  IVLShell* shell = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IVLShell, reinterpret_cast<void**>(&shell)), S_OK);
  IUnknown* outer = shell;
  void* aggregated = nullptr;
  EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, &aggregated), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  factory->Release();
  EXPECT_EQ(canUnloadNow_(), S_FALSE);

  IUnknown* unknown = nullptr;
  ASSERT_EQ(shell->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  void* other = reinterpret_cast<void*>(1);
  EXPECT_EQ(shell->QueryInterface(IID_IClassFactory, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(shell->Release(), 1u);
  EXPECT_EQ(unknown->Release(), 0u);
  EXPECT_EQ(canUnloadNow_(), S_FALSE);  // still locked

  // The lock is taken through a factory that no longer exists: a new one undoes it.
  ASSERT_EQ(getClassObject_(CLSID_VLShell, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  factory->Release();
  EXPECT_EQ(canUnloadNow_(), S_OK);

  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(getClassObject_(IID_IVLShell, IID_IClassFactory, &none), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(none, nullptr);
}

TEST_F(VlShellDllTest, BuffersAreCutAndNeverOverrun) {
  IVLShell* shell = NewShell();
  ASSERT_TRUE(shell);
  const std::string link = Path("Long.lnk");
  const std::string target = Path("App.exe");
  WriteFile(target, "MZ");
  const std::string arguments(600, 'a');
  const std::string description(600, 'd');
  ASSERT_EQ(shell->CreateShortcut(link.c_str(), target.c_str(), folder_.c_str(), arguments.c_str(),
                                  description.c_str(), target.c_str(), "3"),
            S_OK);

  // Six buffers of the agreed size, each followed by guard bytes.
  constexpr int kGuard = 64;
  char buffers[6][kVLShellTextChars + kGuard];
  std::memset(buffers, '#', sizeof buffers);
  ASSERT_EQ(shell->ReadShortcut(link.c_str(), buffers[0], buffers[1], buffers[2], buffers[3],
                                buffers[4], buffers[5]),
            S_OK);
  for (auto& buffer : buffers)
    EXPECT_EQ(std::string(buffer + kVLShellTextChars, kGuard), std::string(kGuard, '#'));
  EXPECT_STREQ(buffers[0], "Long.lnk");
  EXPECT_EQ(lstrcmpiA(buffers[1], target.c_str()), 0);
  EXPECT_EQ(std::string(buffers[2]), arguments.substr(0, 260));
  EXPECT_EQ(lstrcmpiA(buffers[3], folder_.c_str()), 0);
  EXPECT_EQ(std::string(buffers[4]), description.substr(0, 260));
  EXPECT_EQ(lstrcmpiA(buffers[5], (target + ",3").c_str()), 0) << buffers[5];

  // Unwanted outputs may be left out.
  char only[kVLShellTextChars] = {};
  EXPECT_EQ(shell->ReadShortcut(link.c_str(), nullptr, only, nullptr, nullptr, nullptr, nullptr), S_OK);
  EXPECT_EQ(lstrcmpiA(only, target.c_str()), 0);

  char path[kVLShellTextChars + kGuard];
  std::memset(path, ' ', kVLShellTextChars - 1);
  std::memset(path + kVLShellTextChars - 1, '#', kGuard + 1);
  path[kVLShellTextChars - 1] = '\0';
  ASSERT_EQ(shell->GetSpecialFolder(nullptr, 7, path), S_OK);
  EXPECT_GT(std::strlen(path), 0u);
  EXPECT_EQ(std::string(path + kVLShellTextChars, kGuard), std::string(kGuard, '#'));
  EXPECT_EQ(shell->GetSpecialFolder(nullptr, 7, nullptr), E_POINTER);
  EXPECT_EQ(shell->GetSpecialFolder(nullptr, 3, path), E_INVALIDARG);
  EXPECT_STREQ(path, "");
  shell->Release();
}

TEST_F(VlShellDllTest, WorksInEitherApartmentAndLeavesCOMAsItFoundIt) {
  IVLShell* shell = NewShell();
  ASSERT_TRUE(shell);
  const std::string target = Path("App.exe");
  WriteFile(target, "MZ");

  HRESULT freshThread = E_FAIL, multithreaded = E_FAIL, afterwards = E_FAIL;
  std::thread([&] {
    // No COM on this thread: the DLL sets it up and takes it down again.
    freshThread = shell->CreateShortcut(Path("A.lnk").c_str(), target.c_str(), "", "", "", "", "");
    afterwards = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(afterwards)) {
      multithreaded =
          shell->CreateShortcut(Path("B.lnk").c_str(), target.c_str(), "", "", "", "", "");
      CoUninitialize();
    }
  }).join();
  EXPECT_EQ(freshThread, S_OK);
  EXPECT_EQ(afterwards, S_OK) << "COM was left initialised on the thread";
  EXPECT_EQ(multithreaded, S_OK);
  EXPECT_TRUE(IsFile(Path("A.lnk")));
  EXPECT_TRUE(IsFile(Path("B.lnk")));
  shell->Release();
}

// --- Loading the DLL --------------------------------------------------------

TEST_F(TempFolderTest, FactoryReportsEveryWayTheDllCannotBeUsed) {
  const std::string dll = Path("VLShell.dll");
  Error error;

  {
    VlShellFactory factory(dll);
    EXPECT_FALSE(factory.Create(error));
    EXPECT_TRUE(error.number == ERROR_MOD_NOT_FOUND || error.number == ERROR_FILE_NOT_FOUND)
        << error.number;
    EXPECT_FALSE(error.description.empty());
  }

  WriteFile(dll, std::string(4096, '\x5a'));
  {
    VlShellFactory factory(dll);
    EXPECT_FALSE(factory.Create(error));
    EXPECT_EQ(error.number, ERROR_BAD_EXE_FORMAT);
    EXPECT_FALSE(error.description.empty());
    EXPECT_EQ(error.description.find("%1"), std::string::npos) << error.description;
  }

  // A real DLL that is not the component.
  char system[MAX_PATH] = {};
  ASSERT_NE(GetSystemDirectoryA(system, MAX_PATH), 0u);
  ASSERT_TRUE(CopyFileA((std::string(system) + "\\version.dll").c_str(), dll.c_str(), FALSE));
  {
    VlShellFactory factory(dll);
    EXPECT_FALSE(factory.Create(error));
    EXPECT_EQ(error.number, ERROR_PROC_NOT_FOUND);
    EXPECT_FALSE(error.description.empty());
  }
}

TEST_F(TempFolderTest, FactoryLoadsTheDllOnceItIsThereAndKeepsItForLiveObjects) {
  const std::string dll = Path("VLShell.dll");
  auto factory = std::make_unique<VlShellFactory>(dll);
  Error error;
  EXPECT_FALSE(factory->Create(error));
  EXPECT_NE(error.number, 0);

  ASSERT_TRUE(CopyFileA(StagedDll().c_str(), dll.c_str(), FALSE));
  std::unique_ptr<ShellComponent> shell = factory->Create(error);
  ASSERT_TRUE(shell) << error.number << " " << error.description;
  EXPECT_FALSE(error);

  // The factory goes first: the object must still work, so its code stays.
  factory.reset();
  std::string path;
  EXPECT_FALSE(shell->GetSpecialFolder(0, kFolderStartup, path));
  EXPECT_FALSE(path.empty());
  shell.reset();
}

}  // namespace
}  // namespace velmora
