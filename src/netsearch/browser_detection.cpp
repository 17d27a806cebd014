#include "netsearch/browser_detection.h"

#include "model/state_files.h"
#include "model/text.h"
#include "core/file_system.h"
#include "core/launch_platform.h"
#include "core/ui_host.h"
#include "core/app_state.h"

namespace velmora {

namespace {

constexpr std::size_t kRegistryBuffer = 1024;
// openurl.ini holds two short lines; more than this is not an override file.
constexpr std::size_t kOpenUrlIniLimit = 64 * 1024;

bool IContains(const std::string& text, const std::string& part) {
  return ToLower(text).find(ToLower(part)) != std::string::npos;
}

void ReadOpenUrlIni(const std::string& bytes, AppState& st) {
  for (const std::string& raw : SplitLines(bytes)) {
    const std::string line = ToLower(Trim(raw));
    if (line.find("command=") != std::string::npos)
      st.BrowserPath = Trim(line.substr(8));
    else if (line.find("application=") != std::string::npos)
      st.DdeServer = Trim(line.substr(12));
  }
}

}  // namespace

void GetKeyValue(LaunchPlatform& platform, const std::string& subKey, const std::string& valueName,
                 std::string& result) {
  const RegistryValue value = platform.ReadClassesRoot(subKey, valueName, kRegistryBuffer);
  if (!value.opened) return;
  if (!value.queried) {
    result.clear();
    return;
  }
  std::string bytes = value.bytes.substr(0, kRegistryBuffer);
  if (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
  if (value.type != kRegSz) return;
  // Windows reads a string only up to its first NUL; so does every caller here.
  const auto nul = bytes.find('\0');
  if (nul != std::string::npos) bytes.resize(nul);
  result = bytes;
}

std::string StripQuotes(const std::string& text) {
  std::string out;
  int quotes = 0;
  for (char c : text) {
    if (c == '"') {
      if (++quotes == 2) break;
      continue;
    }
    out += c;
  }
  return out;
}

void GetDefaultBrowser(AppState& st, FileSystem& fs, LaunchPlatform& platform, UiHost& ui) {
  st.UseDde = false;
  st.UseUrlFile = false;
  st.BrowserPath.clear();
  st.DdeServer.clear();
  st.DdeTopic.clear();

  const std::string ini = st.folders.program + kOpenUrlIni;
  if (fs.Exists(ini)) {
    if (const auto bytes = fs.ReadAt(ini, 0, kOpenUrlIniLimit)) ReadOpenUrlIni(*bytes, st);
    if (!st.BrowserPath.empty() && !st.DdeServer.empty()) {
      st.DdeTopic = kOpenUrlTopic;
      st.UseDde = true;
      return;
    }
  }

  GetKeyValue(platform, kHttpCommandKey, "", st.BrowserPath);
  st.BrowserPath = Trim(st.BrowserPath);
  if (st.BrowserPath.find('"') != std::string::npos) st.BrowserPath = StripQuotes(st.BrowserPath);
  GetKeyValue(platform, kHttpDdeAppKey, "", st.DdeServer);
  st.DdeServer = Trim(st.DdeServer);
  GetKeyValue(platform, kHttpDdeTopicKey, "", st.DdeTopic);
  st.DdeTopic = Trim(st.DdeTopic);
  if (!st.DdeServer.empty() && !st.DdeTopic.empty()) st.UseDde = true;

  if (!st.UseDde) {
    const std::string probe = st.folders.program + kTempHtml;
    WriteEmptyHtml(fs, probe);
    ui.DoEvents();
    std::string program;
    const Error found = platform.FindProgram(probe, program);
    st.BrowserPath = Trim(program);
    if (found.ok()) {
      if (IContains(st.BrowserPath, "Netscape")) {
        st.DdeServer = "NSShell";
        st.DdeTopic = kOpenUrlTopic;
        st.UseDde = true;
      }
      if (IContains(st.BrowserPath, "IExplore")) {
        st.DdeServer = "IExplore";
        st.DdeTopic = kOpenUrlTopic;
        st.UseDde = true;
      }
    }
    fs.Delete(probe);
  }

  if (!st.UseDde) {
    const std::string probe = WithBackslash(st.folders.program) + kTempUrl;
    fs.WriteAll(probe, InternetShortcut(kProbeAddress));
    std::string program;
    const Error found = platform.FindProgram(probe, program);
    st.BrowserPath = Trim(program);
    if (!st.BrowserPath.empty() && found.ok()) {
      st.UseUrlFile = true;
      st.UseDde = false;
    }
    fs.Delete(probe);
  }
}

}  // namespace velmora
