// The launch platform on Windows: the shell, CreateProcessA, the registry's
// class associations and the minimize window's DDE client.
#pragma once

#include <functional>

#include "core/launch_platform.h"

namespace velmora {

class DdeClient;

class Win32LaunchPlatform : public LaunchPlatform {
 public:
  // `dde` hands out the program's DDE client when a conversation is needed.
  explicit Win32LaunchPlatform(std::function<DdeClient&()> dde);

  Error ShellOpen(const std::string& file, const std::string& parameters,
                  const std::string& folder, WindowStyle style) override;
  Error StartCommandLine(const std::string& commandLine, WindowStyle style) override;
  Error FindProgram(const std::string& file, std::string& program) override;
  RegistryValue ReadClassesRoot(const std::string& subKey, const std::string& valueName,
                                std::size_t bufferSize) override;
  Error DdeConnect(const std::string& service, const std::string& topic) override;
  Error DdeExecute(const std::string& command) override;
  void DdeClose() override;

 private:
  std::function<DdeClient&()> dde_;
};

}  // namespace velmora
