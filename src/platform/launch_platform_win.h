// The launch platform on Windows: the shell, CreateProcessA, the registry's
// class associations and the minimize window's DDE client.
#pragma once

#include <functional>

#include "platform/launch_platform.h"

namespace velmora {

class DdeClient;

class Win32LaunchPlatform : public LaunchPlatform {
 public:
  // `dde` hands out the program's DDE client when a conversation is needed;
  // `showNetSearch` loads and shows the Net Search window.
  Win32LaunchPlatform(std::function<DdeClient&()> dde, std::function<void()> showNetSearch);

  long ShellOpen(const std::string& file, const std::string& parameters,
                    const std::string& folder, WindowStyle style) override;
  long StartCommandLine(const std::string& commandLine, WindowStyle style) override;
  long FindProgram(const std::string& file, std::string& program) override;
  RegistryValue ReadClassesRoot(const std::string& subKey, const std::string& valueName,
                                std::size_t bufferSize) override;
  PlatformError DdeConnect(const std::string& service, const std::string& topic) override;
  PlatformError DdeExecute(const std::string& command) override;
  void DdeClose() override;
  void ShowNetSearch() override;
  void DoEvents() override;

 private:
  std::function<DdeClient&()> dde_;
  std::function<void()> showNetSearch_;
};

}  // namespace velmora
