// The shell component through VLShell.dll, loaded from the program folder.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "core/shell_component.h"
#include "platform/handles_win.h"

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

  std::unique_ptr<ShellComponent> Create(Error& error) override;

 private:
  std::string dllPath_;
  ModuleHandle module_;
};

}  // namespace velmora
