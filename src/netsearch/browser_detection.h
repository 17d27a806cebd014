// Finding the default browser: a user override file, the registry's "http"
// association, the program that opens an HTML file, and last the program that
// opens an internet-shortcut file. The answer goes into the run's state.
#pragma once

#include <string>

namespace velmora {

struct AppState;
class FileSystem;
class LaunchPlatform;
class UiHost;

inline constexpr const char* kOpenUrlIni = "openurl.ini";
// The DDE topic browsers take addresses on.
inline constexpr const char* kOpenUrlTopic = "WWW_OpenURL";
inline constexpr const char* kHttpCommandKey = "http\\shell\\open\\Command";
inline constexpr const char* kHttpDdeAppKey = "http\\shell\\open\\ddeexec\\Application";
inline constexpr const char* kHttpDdeTopicKey = "http\\shell\\open\\ddeexec\\Topic";
// Written into the probe internet shortcut; only its form matters.
inline constexpr const char* kProbeAddress = "http://www.example.com/";

// Reads one value under HKEY_CLASSES_ROOT as text into `result`: unchanged when
// the key cannot be opened, empty when the value cannot be read or does not
// fit, the text when it is a string; other kinds of value leave it unchanged.
void GetKeyValue(LaunchPlatform& platform, const std::string& subKey, const std::string& valueName,
                 std::string& result);

// The text with its double quotes removed, cut at the second one.
std::string StripQuotes(const std::string& text);

// Fills UseDde, UseUrlFile, BrowserPath, DdeServer and DdeTopic of `state`.
void GetDefaultBrowser(AppState& state, FileSystem& fs, LaunchPlatform& platform, UiHost& ui);

}  // namespace velmora
