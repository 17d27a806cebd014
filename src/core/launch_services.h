// What running an entry needs, and the small interface windows use to run one.
#pragma once

#include <string>

namespace velmora {

struct AppState;
class Dialogs;
class FileSystem;
class LaunchPlatform;
class ShellComponentFactory;
class UiHost;

// The services the launcher, the web-address opener and the browser detection
// act through.
struct LaunchServices {
  AppState& state;
  FileSystem& fs;
  Dialogs& dialogs;
  ShellComponentFactory& shell;
  LaunchPlatform& platform;
  UiHost& ui;
};

// Runs entries for a window: a menu row, a single button, a search.
class ItemRunner {
 public:
  virtual ~ItemRunner() = default;
  // Runs `command`; a built-in word that stands for a command line is replaced
  // by it in `command`.
  virtual void RunItem(std::string& command) = 0;
  virtual void OpenURL(const std::string& address) = 0;
};

}  // namespace velmora
