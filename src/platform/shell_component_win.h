// The shell component through VLShell.dll, loaded from the program folder.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/shell_component.h"

namespace velmora {

// Creates components from the DLL at `dllPath` (the Program folder +
// "VLShell.dll"). The DLL is loaded by the first Create that finds it and stays
// loaded while the factory lives; it is unloaded with the factory only when no
// object of it is left. Use from one thread.
class VlShellFactory : public ShellComponentFactory {
 public:
  explicit VlShellFactory(std::string dllPath);
  ~VlShellFactory() override;
  VlShellFactory(const VlShellFactory&) = delete;
  VlShellFactory& operator=(const VlShellFactory&) = delete;

  std::unique_ptr<ShellComponent> Create(ShellError& error) override;

 private:
  std::string dllPath_;
  HMODULE module_ = nullptr;
};

// A component error from a COM status: Win32 failures give back their Win32
// code, everything else the HRESULT as a signed number. Success gives number 0.
ShellError ShellErrorFromHresult(HRESULT hr);
ShellError ShellErrorFromWin32(DWORD code);

}  // namespace velmora
