// A recording fake of the launch platform: every call is logged as one line of
// text, and the answers come from small tables a test fills in.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "model/text.h"
#include "core/launch_platform.h"
#include "core/ui_host.h"

namespace velmora::test {

inline const char* StyleName(WindowStyle style) {
  switch (style) {
    case WindowStyle::Normal: return "normal";
    case WindowStyle::Maximized: return "max";
    case WindowStyle::MinimizedFocus: return "min";
  }
  return "?";
}

// Also the user-interface host: the launcher's two calls to the windows land in
// the same log, in order with the platform calls.
class FakeLaunchPlatform : public LaunchPlatform, public UiHost {
 public:
  std::vector<std::string> log;

  // ShellExecute's code by upper-case file; unknown files: `shellDefault`.
  std::map<std::string, long> shellCodes;
  long shellDefault = 42;
  // StartCommandLine's error by command line; unknown ones start (0).
  std::map<std::string, long> startErrors;
  // FindExecutable's answer by upper-case file; unknown: 31 (no association).
  std::map<std::string, std::pair<long, std::string>> executables;
  // Values by sub key; an unknown key cannot be opened.
  std::map<std::string, RegistryValue> registry;
  // "service|topic" pairs (upper case) that answer a DDE connect.
  std::set<std::string> ddeServers;
  Error ddeExecuteError;
  // Runs at every DoEvents, e.g. to look at the files at that moment.
  std::function<void()> onDoEvents;

  void SetString(const std::string& subKey, const std::string& text) {
    registry[subKey] = {true, true, kRegSz, text + '\0'};
  }
  void FindsFor(const std::string& file, long code, const std::string& program) {
    executables[ToUpper(file)] = {code, program};
  }
  std::vector<std::string> Calls(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& line : log)
      if (line.rfind(prefix, 0) == 0) out.push_back(line);
    return out;
  }

  Error ShellOpen(const std::string& file, const std::string& parameters,
                  const std::string& folder, WindowStyle style) override {
    log.push_back("shell " + file + " | " + parameters + " | " + folder + " | " + StyleName(style));
    const auto it = shellCodes.find(ToUpper(file));
    return ShellCode(it == shellCodes.end() ? shellDefault : it->second);
  }
  Error StartCommandLine(const std::string& commandLine, WindowStyle style) override {
    log.push_back("start " + commandLine + " | " + StyleName(style));
    const auto it = startErrors.find(commandLine);
    if (it == startErrors.end() || it->second == 0) return {};
    return {it->second, "start failed"};
  }
  Error FindProgram(const std::string& file, std::string& program) override {
    log.push_back("find " + file);
    const auto it = executables.find(ToUpper(file));
    if (it == executables.end()) {
      program.clear();
      return ShellCode(31);
    }
    program = it->second.second;
    return ShellCode(it->second.first);
  }
  RegistryValue ReadClassesRoot(const std::string& subKey, const std::string& valueName,
                                std::size_t bufferSize) override {
    log.push_back("reg " + subKey + " | " + valueName + " | " + std::to_string(bufferSize));
    const auto it = registry.find(subKey);
    return it == registry.end() ? RegistryValue{} : it->second;
  }
  Error DdeConnect(const std::string& service, const std::string& topic) override {
    log.push_back("dde-connect " + service + "|" + topic);
    connected_ = ddeServers.count(ToUpper(service + "|" + topic)) != 0;
    if (connected_) return {};
    return {16394, "No DDE conversation could be opened with the application"};
  }
  Error DdeExecute(const std::string& command) override {
    log.push_back("dde-execute " + command);
    return connected_ ? ddeExecuteError : Error{16394, "not connected"};
  }
  void DdeClose() override {
    log.push_back("dde-close");
    connected_ = false;
  }
  void ShowNetSearch() override { log.push_back("show-netsearch"); }
  void DoEvents() override {
    log.push_back("do-events");
    if (onDoEvents) onDoEvents();
  }

 private:
  // The shell's convention, as the platform edge turns it into an error.
  static Error ShellCode(long code) {
    if (code > 32) return {};
    return {code, "shell code " + std::to_string(code)};
  }

  bool connected_ = false;
};

}  // namespace velmora::test
