// The binary interface of VLShell.dll, shared by the DLL and the program.
//
// The DLL is created without registration: the program loads it from its own
// folder, asks DllGetClassObject for the class factory of CLSID_VLShell and
// creates an IVLShell from it. Changing anything here (identifiers, method order,
// argument types) breaks every copy of the DLL already installed beside an older
// or newer program, so a change needs new identifiers.
#pragma once

#include <windows.h>
#include <objbase.h>

// Every text buffer the component fills holds 260 characters and the NUL.
inline constexpr int kVLShellTextChars = 261;

// {2E4B1599-C4F9-4103-BDAC-576E704325CF}
inline constexpr GUID CLSID_VLShell = {
    0x2e4b1599, 0xc4f9, 0x4103, {0xbd, 0xac, 0x57, 0x6e, 0x70, 0x43, 0x25, 0xcf}};

// {3ED0CA94-6E33-4ABB-8807-CEAD25FF4475}
inline constexpr GUID IID_IVLShell = {
    0x3ed0ca94, 0x6e33, 0x4abb, {0x88, 0x07, 0xce, 0xad, 0x25, 0xff, 0x44, 0x75}};

// Texts are ANSI. Each method returns S_OK on success or an error HRESULT;
// Win32 failures come back as HRESULT_FROM_WIN32 of their code. Output buffers
// are always NUL-terminated, never written past kVLShellTextChars bytes, and
// empty after a failure. The methods need no COM initialisation by the caller.
struct IVLShell : public IUnknown {
  // `folder` is a CSIDL number: 0 Desktop, 2 Programs, 7 Startup, 11 Start Menu;
  // other numbers fail with E_INVALIDARG. `path` (kVLShellTextChars bytes,
  // callers preset it to 260 blanks) receives the full path without a trailing
  // "\", except for a bare drive root such as "C:\".
  virtual HRESULT STDMETHODCALLTYPE GetSpecialFolder(HWND window, short folder, char* path) = 0;

  // Creates or replaces the shortcut file `link`. `link` and `target` must not
  // be empty; the other texts may be empty (then not set). `iconIndex` is a
  // decimal number, used only together with `iconPath`.
  virtual HRESULT STDMETHODCALLTYPE CreateShortcut(const char* link, const char* target,
                                                   const char* workingFolder,
                                                   const char* arguments,
                                                   const char* description,
                                                   const char* iconPath,
                                                   const char* iconIndex) = 0;

  // Reads the shortcut file `link`. Each output is a buffer of kVLShellTextChars
  // bytes (or null when not wanted): `name` the link's file name, `iconLocation`
  // as "path,index" (empty when the shortcut has no icon of its own). Longer
  // values are cut.
  virtual HRESULT STDMETHODCALLTYPE ReadShortcut(const char* link, char* name, char* target,
                                                 char* arguments, char* workingFolder,
                                                 char* description, char* iconLocation) = 0;
};
