// VLShell.dll: special folders and shortcut files for the program, as one COM
// class that the program creates straight from the DLL (no registration).
//
// Every method initialises COM on the calling thread for its own duration, so
// the program may call it from any thread whether or not it has set up COM.
// Nothing thrown inside may leave the DLL: each entry point turns a C++
// exception into an error HRESULT.

#include "platform/vlshell_api.h"

#include "platform/handles_win.h"

#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

using velmora::ComPtr;

namespace {

// Live objects (component objects and class factories) and LockServer locks;
// the DLL may be unloaded only when both are zero.
LONG g_objects = 0;
LONG g_locks = 0;

constexpr size_t kMaxText = kVLShellTextChars - 1;

class ComScope {
 public:
  ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ~ComScope() {
    if (hr_ == S_OK || hr_ == S_FALSE) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

  // A thread already in the multithreaded apartment can create the shell link
  // all the same; only a real failure stops the call.
  HRESULT Status() const { return hr_ == RPC_E_CHANGED_MODE ? S_OK : (FAILED(hr_) ? hr_ : S_OK); }

 private:
  HRESULT hr_;
};

template <class F>
HRESULT Guarded(F&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

HRESULT LastWin32Error() {
  const DWORD code = GetLastError();
  return code ? HRESULT_FROM_WIN32(code) : E_FAIL;
}

void CopyOut(char* out, const char* text) {
  if (!out) return;
  const size_t n = strnlen(text, kMaxText);
  std::memcpy(out, text, n);
  out[n] = '\0';
}

void Clear(char* out) {
  if (out) out[0] = '\0';
}

bool TooLong(const char* text) { return text && std::strlen(text) >= MAX_PATH; }

HRESULT ToWide(const std::string& text, std::wstring& out) {
  const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (n <= 0) return LastWin32Error();
  out.assign(static_cast<size_t>(n), L'\0');
  if (MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, out.data(), n) != n) return LastWin32Error();
  out.resize(static_cast<size_t>(n) - 1);
  return S_OK;
}

// IPersistFile wants an absolute path; a relative one is taken from the
// current folder, as the file functions would.
HRESULT FullPath(const char* path, std::string& out) {
  char buffer[MAX_PATH];
  const DWORD n = GetFullPathNameA(path, MAX_PATH, buffer, nullptr);
  if (n == 0) return LastWin32Error();
  if (n >= MAX_PATH) return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
  out.assign(buffer, n);
  return S_OK;
}

bool IsOfferedFolder(short folder) {
  switch (folder) {
    case CSIDL_DESKTOP:
    case CSIDL_PROGRAMS:
    case CSIDL_STARTUP:
    case CSIDL_STARTMENU:
      return true;
    default:
      return false;
  }
}

// IUnknown for an object with one interface. Live objects are counted so
// that the DLL is not unloaded under them.
template <class Interface>
class ComObject : public Interface {
 public:
  explicit ComObject(const IID& iid) : iid_(iid) { InterlockedIncrement(&g_objects); }
  virtual ~ComObject() { InterlockedDecrement(&g_objects); }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, iid_)) {
      *object = static_cast<Interface*>(this);
      this->AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

 private:
  const IID& iid_;
  LONG refs_ = 1;
};

class VLShell final : public ComObject<IVLShell> {
 public:
  VLShell() : ComObject(IID_IVLShell) {}


  HRESULT STDMETHODCALLTYPE GetSpecialFolder(HWND window, short folder, char* path) override {
    if (!path) return E_POINTER;
    Clear(path);
    if (!IsOfferedFolder(folder)) return E_INVALIDARG;
    return Guarded([&]() -> HRESULT {
      ComScope com;
      if (FAILED(com.Status())) return com.Status();
      char buffer[MAX_PATH] = {};
      // A fresh profile may not have the Startup folder yet; the caller is
      // about to put a shortcut there, so let the shell make it.
      HRESULT hr = SHGetFolderPathA(window, folder | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                    buffer);
      if (hr != S_OK) return FAILED(hr) ? hr : HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
      size_t n = strnlen(buffer, MAX_PATH - 1);
      while (n > 0 && buffer[n - 1] == '\\' && !(n == 3 && buffer[1] == ':')) --n;
      if (n == 0) return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
      buffer[n] = '\0';
      CopyOut(path, buffer);
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE CreateShortcut(const char* link, const char* target,
                                           const char* workingFolder, const char* arguments,
                                           const char* description, const char* iconPath,
                                           const char* iconIndex) override {
    if (!link || !target) return E_POINTER;
    if (!*link || !*target) return E_INVALIDARG;
    if (TooLong(target) || TooLong(workingFolder) || TooLong(iconPath))
      return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    return Guarded([&]() -> HRESULT {
      std::string linkPath;
      HRESULT hr = FullPath(link, linkPath);
      if (FAILED(hr)) return hr;
      ComScope com;
      if (FAILED(com.Status())) return com.Status();

      ComPtr<IShellLinkA> shellLink;
      hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                            shellLink.Out());
      if (FAILED(hr)) return hr;
      if (FAILED(hr = shellLink->SetPath(target))) return hr;
      if (workingFolder && *workingFolder &&
          FAILED(hr = shellLink->SetWorkingDirectory(workingFolder)))
        return hr;
      if (arguments && *arguments && FAILED(hr = shellLink->SetArguments(arguments))) return hr;
      if (description && *description && FAILED(hr = shellLink->SetDescription(description)))
        return hr;
      if (iconPath && *iconPath) {
        const int index = iconIndex ? static_cast<int>(std::strtol(iconIndex, nullptr, 10)) : 0;
        if (FAILED(hr = shellLink->SetIconLocation(iconPath, index))) return hr;
      }

      ComPtr<IPersistFile> file;
      if (FAILED(hr = shellLink->QueryInterface(IID_IPersistFile, file.Out()))) return hr;

      // Write beside the link and move it over, so that a failed write never
      // leaves a damaged shortcut or takes away the one that was there.
      const std::string tempPath = linkPath + ".tmp";
      std::wstring wideTemp;
      if (FAILED(hr = ToWide(tempPath, wideTemp))) return hr;
      hr = file->Save(wideTemp.c_str(), TRUE);
      if (SUCCEEDED(hr) && GetFileAttributesA(tempPath.c_str()) == INVALID_FILE_ATTRIBUTES)
        hr = LastWin32Error();
      if (SUCCEEDED(hr) && !MoveFileExA(tempPath.c_str(), linkPath.c_str(),
                                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        hr = LastWin32Error();
      if (FAILED(hr)) {
        DeleteFileA(tempPath.c_str());
        return hr;
      }
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE ReadShortcut(const char* link, char* name, char* target,
                                         char* arguments, char* workingFolder, char* description,
                                         char* iconLocation) override {
    for (char* out : {name, target, arguments, workingFolder, description, iconLocation})
      Clear(out);
    if (!link) return E_POINTER;
    if (!*link) return E_INVALIDARG;
    return Guarded([&]() -> HRESULT {
      std::string linkPath;
      HRESULT hr = FullPath(link, linkPath);
      if (FAILED(hr)) return hr;
      std::wstring wideLink;
      if (FAILED(hr = ToWide(linkPath, wideLink))) return hr;
      ComScope com;
      if (FAILED(com.Status())) return com.Status();

      ComPtr<IShellLinkA> shellLink;
      hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                            shellLink.Out());
      if (FAILED(hr)) return hr;
      ComPtr<IPersistFile> file;
      if (FAILED(hr = shellLink->QueryInterface(IID_IPersistFile, file.Out()))) return hr;
      if (FAILED(hr = file->Load(wideLink.c_str(), STGM_READ))) return hr;

      CopyOut(name, linkPath.c_str() + linkPath.find_last_of("\\/:") + 1);

      // Arguments and descriptions may be longer than a path; read them whole
      // and cut them to the caller's buffer.
      char text[INFOTIPSIZE + 1];
      WIN32_FIND_DATAA found;
      text[0] = '\0';
      if (target && shellLink->GetPath(text, MAX_PATH, &found, 0) == S_OK) CopyOut(target, text);
      text[0] = '\0';
      if (arguments && SUCCEEDED(shellLink->GetArguments(text, INFOTIPSIZE))) CopyOut(arguments, text);
      text[0] = '\0';
      if (workingFolder && SUCCEEDED(shellLink->GetWorkingDirectory(text, MAX_PATH)))
        CopyOut(workingFolder, text);
      text[0] = '\0';
      if (description && SUCCEEDED(shellLink->GetDescription(text, INFOTIPSIZE)))
        CopyOut(description, text);
      text[0] = '\0';
      int index = 0;
      if (iconLocation && SUCCEEDED(shellLink->GetIconLocation(text, MAX_PATH, &index)) && *text) {
        const std::string location = std::string(text) + "," + std::to_string(index);
        CopyOut(iconLocation, location.c_str());
      }
      return S_OK;
    });
  }
};

class ClassFactory final : public ComObject<IClassFactory> {
 public:
  ClassFactory() : ComObject(IID_IClassFactory) {}


  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    VLShell* shell = new (std::nothrow) VLShell;
    if (!shell) return E_OUTOFMEMORY;
    const HRESULT hr = shell->QueryInterface(riid, object);
    shell->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock)
      InterlockedIncrement(&g_locks);
    else
      InterlockedDecrement(&g_locks);
    return S_OK;
  }
};

}  // namespace

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualCLSID(clsid, CLSID_VLShell)) return CLASS_E_CLASSNOTAVAILABLE;
  ClassFactory* factory = new (std::nothrow) ClassFactory;
  if (!factory) return E_OUTOFMEMORY;
  const HRESULT hr = factory->QueryInterface(riid, object);
  factory->Release();
  return hr;
}

STDAPI DllCanUnloadNow() {
  return (InterlockedCompareExchange(&g_objects, 0, 0) == 0 &&
          InterlockedCompareExchange(&g_locks, 0, 0) == 0)
             ? S_OK
             : S_FALSE;
}
