// Showing a web address in the user's default browser: by DDE with the running
// browser, by starting the browser program, or through an internet-shortcut
// file, in that order; the way that works is remembered for the run.
#pragma once

#include <string>

namespace velmora {

struct AppState;
class Dialogs;
class FileSystem;
class LaunchPlatform;
class ShellComponentFactory;

// The services the launcher, the web-address opener and the browser detection
// act through.
struct LaunchServices {
  AppState& state;
  FileSystem& fs;
  Dialogs& dialogs;
  ShellComponentFactory& shell;
  LaunchPlatform& platform;
};

inline constexpr const char* kSupportEmail = "support@velmora.app";
inline constexpr const char* kTempHtml = "temphtml.htm";
inline constexpr const char* kTempUrl = "tempurl.url";
inline constexpr const char* kOpenUrlTopic = "WWW_OpenURL";

// The browser's open-address command: the address in double quotes, unchanged.
std::string OpenUrlDdeCommand(const std::string& address);
// The internet-shortcut file for `address`.
std::string InternetShortcut(const std::string& address);
std::string BrowserUnreachableMessage();

void OpenURL(LaunchServices& services, const std::string& address);

}  // namespace velmora
