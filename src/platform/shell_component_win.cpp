#include "platform/shell_component_win.h"

#include <cstring>
#include <new>
#include <utility>

#include "model/text.h"
#include "platform/file_system_win.h"
#include "vlshell/vlshell_api.h"

namespace velmora {
namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();

// GetProcAddress hands back a generic function pointer; going through
// void (*)() keeps the conversion free of cast-function-type warnings.
template <class Fn>
Fn Export(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

std::string FromBuffer(const char (&buffer)[kVLShellTextChars]) {
  return std::string(buffer, strnlen(buffer, kVLShellTextChars - 1));
}

// Texts go to the DLL whole: cutting a path would name another file, and the
// DLL refuses what it cannot store. What comes back is cut at 260 characters.
class VlShellComponent final : public ShellComponent {
 public:
  explicit VlShellComponent(IVLShell* shell) : shell_(shell) {}
  ~VlShellComponent() override { shell_->Release(); }
  VlShellComponent(const VlShellComponent&) = delete;
  VlShellComponent& operator=(const VlShellComponent&) = delete;

  ShellError GetSpecialFolder(std::uintptr_t window, std::int16_t folder,
                              std::string& path) override {
    char buffer[kVLShellTextChars];
    std::memset(buffer, ' ', kVLShellTextChars - 1);
    buffer[kVLShellTextChars - 1] = '\0';
    const HRESULT hr = shell_->GetSpecialFolder(reinterpret_cast<HWND>(window), folder, buffer);
    buffer[kVLShellTextChars - 1] = '\0';
    path = FAILED(hr) ? std::string() : TrimRight(FromBuffer(buffer));
    return ShellErrorFromHresult(hr);
  }

  ShellError CreateShortcut(const std::string& link, const std::string& target,
                            const std::string& workingFolder) override {
    return ShellErrorFromHresult(shell_->CreateShortcut(link.c_str(), target.c_str(),
                                                        workingFolder.c_str(), "", "", "", ""));
  }

  ShellError ReadShortcut(const std::string& link, ShortcutInfo& info) override {
    char name[kVLShellTextChars] = {}, target[kVLShellTextChars] = {},
         arguments[kVLShellTextChars] = {}, workingFolder[kVLShellTextChars] = {},
         description[kVLShellTextChars] = {}, iconLocation[kVLShellTextChars] = {};
    const HRESULT hr = shell_->ReadShortcut(link.c_str(), name, target, arguments, workingFolder,
                                            description, iconLocation);
    info = {};
    if (SUCCEEDED(hr)) {
      info.name = FromBuffer(name);
      info.target = FromBuffer(target);
      info.arguments = FromBuffer(arguments);
      info.workingFolder = FromBuffer(workingFolder);
      info.description = FromBuffer(description);
      info.iconLocation = FromBuffer(iconLocation);
    }
    return ShellErrorFromHresult(hr);
  }

 private:
  IVLShell* shell_;
};

}  // namespace

ShellError ShellErrorFromWin32(DWORD code) {
  if (code == 0) return {};
  return {static_cast<long>(code), SystemErrorText(code)};
}

ShellError ShellErrorFromHresult(HRESULT hr) {
  if (SUCCEEDED(hr)) return {};
  if (HRESULT_FACILITY(hr) == FACILITY_WIN32 && HRESULT_CODE(hr) != 0)
    return ShellErrorFromWin32(static_cast<DWORD>(HRESULT_CODE(hr)));
  return {static_cast<long>(hr), SystemErrorText(static_cast<unsigned long>(hr))};
}

VlShellFactory::VlShellFactory(std::string dllPath) : dllPath_(std::move(dllPath)) {}

VlShellFactory::~VlShellFactory() {
  if (!module_) return;
  // A component still alive runs code of the DLL: then it stays loaded.
  const auto canUnloadNow = Export<CanUnloadNowFn>(module_, "DllCanUnloadNow");
  if (canUnloadNow && canUnloadNow() == S_OK) FreeLibrary(module_);
}

std::unique_ptr<ShellComponent> VlShellFactory::Create(ShellError& error) {
  error = {};
  if (!module_) {
    // A damaged file must come back as an error code, not as a system box.
    DWORD oldMode = 0;
    const bool modeSet = SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &oldMode);
    module_ = LoadLibraryA(dllPath_.c_str());
    const DWORD code = GetLastError();
    if (modeSet) SetThreadErrorMode(oldMode, nullptr);
    if (!module_) {
      error = ShellErrorFromWin32(code ? code : ERROR_MOD_NOT_FOUND);
      // Some loader texts name the file as "%1" ("%1 is not a valid Win32
      // application."); the user should see which file is meant.
      const size_t insert = error.description.find("%1");
      if (insert != std::string::npos) error.description.replace(insert, 2, dllPath_);
      return nullptr;
    }
  }

  const auto getClassObject = Export<GetClassObjectFn>(module_, "DllGetClassObject");
  if (!getClassObject) {
    const DWORD code = GetLastError();
    FreeLibrary(module_);
    module_ = nullptr;
    error = ShellErrorFromWin32(code ? code : ERROR_PROC_NOT_FOUND);
    return nullptr;
  }

  IClassFactory* classFactory = nullptr;
  HRESULT hr = getClassObject(CLSID_VLShell, IID_IClassFactory, reinterpret_cast<void**>(&classFactory));
  if (FAILED(hr) || !classFactory) {
    error = ShellErrorFromHresult(FAILED(hr) ? hr : E_UNEXPECTED);
    return nullptr;
  }
  IVLShell* shell = nullptr;
  hr = classFactory->CreateInstance(nullptr, IID_IVLShell, reinterpret_cast<void**>(&shell));
  classFactory->Release();
  if (FAILED(hr) || !shell) {
    error = ShellErrorFromHresult(FAILED(hr) ? hr : E_UNEXPECTED);
    return nullptr;
  }

  auto* component = new (std::nothrow) VlShellComponent(shell);
  if (!component) {
    shell->Release();
    error = ShellErrorFromHresult(E_OUTOFMEMORY);
    return nullptr;
  }
  return std::unique_ptr<ShellComponent>(component);
}

}  // namespace velmora
