#include "platform/shell_component_win.h"

#include <cstring>
#include <new>
#include <utility>

#include "model/text.h"
#include "platform/error_win.h"
#include "platform/handles_win.h"
#include "platform/vlshell_api.h"

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
  explicit VlShellComponent(ComPtr<IVLShell> shell) : shell_(std::move(shell)) {}

  Error GetSpecialFolder(std::uintptr_t window, std::int16_t folder,
                              std::string& path) override {
    char buffer[kVLShellTextChars];
    std::memset(buffer, ' ', kVLShellTextChars - 1);
    buffer[kVLShellTextChars - 1] = '\0';
    const HRESULT hr = shell_->GetSpecialFolder(reinterpret_cast<HWND>(window), folder, buffer);
    buffer[kVLShellTextChars - 1] = '\0';
    path = FAILED(hr) ? std::string() : TrimRight(FromBuffer(buffer));
    return ErrorFromHresult(hr);
  }

  Error CreateShortcut(const std::string& link, const std::string& target,
                            const std::string& workingFolder) override {
    return ErrorFromHresult(shell_->CreateShortcut(link.c_str(), target.c_str(),
                                                        workingFolder.c_str(), "", "", "", ""));
  }

  Error ReadShortcut(const std::string& link, ShortcutInfo& info) override {
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
    return ErrorFromHresult(hr);
  }

 private:
  ComPtr<IVLShell> shell_;
};

}  // namespace

VlShellFactory::VlShellFactory(std::string dllPath) : dllPath_(std::move(dllPath)) {}

VlShellFactory::~VlShellFactory() {
  if (!module_) return;
  // A component still alive runs code of the DLL: then it stays loaded.
  const auto canUnloadNow = Export<CanUnloadNowFn>(module_.get(), "DllCanUnloadNow");
  if (!canUnloadNow || canUnloadNow() != S_OK) module_.release();
}

std::unique_ptr<ShellComponent> VlShellFactory::Create(Error& error) {
  error = {};
  if (!module_) {
    DWORD code = 0;
    {
      // A damaged file must come back as an error code, not as a system box.
      ErrorModeGuard quiet;
      module_.reset(LoadLibraryA(dllPath_.c_str()));
      code = GetLastError();
    }
    if (!module_) {
      error = SystemError(code ? code : ERROR_MOD_NOT_FOUND);
      // Some loader texts name the file as "%1" ("%1 is not a valid Win32
      // application."); the user should see which file is meant.
      const size_t insert = error.description.find("%1");
      if (insert != std::string::npos) error.description.replace(insert, 2, dllPath_);
      return nullptr;
    }
  }

  const auto getClassObject = Export<GetClassObjectFn>(module_.get(), "DllGetClassObject");
  if (!getClassObject) {
    const DWORD code = GetLastError();
    module_.reset();
    error = SystemError(code ? code : ERROR_PROC_NOT_FOUND);
    return nullptr;
  }

  ComPtr<IClassFactory> classFactory;
  HRESULT hr = getClassObject(CLSID_VLShell, IID_IClassFactory, classFactory.Out());
  if (FAILED(hr) || !classFactory) {
    error = ErrorFromHresult(FAILED(hr) ? hr : E_UNEXPECTED);
    return nullptr;
  }
  ComPtr<IVLShell> shell;
  hr = classFactory->CreateInstance(nullptr, IID_IVLShell, shell.Out());
  if (FAILED(hr) || !shell) {
    error = ErrorFromHresult(FAILED(hr) ? hr : E_UNEXPECTED);
    return nullptr;
  }

  auto* component = new (std::nothrow) VlShellComponent(std::move(shell));
  if (!component) {
    error = ErrorFromHresult(E_OUTOFMEMORY);
    return nullptr;
  }
  return std::unique_ptr<ShellComponent>(component);
}

}  // namespace velmora
