// Fuzzes openurl.ini through the browser detection: whatever the override
// file holds, the detected browser is consistent (DDE needs a server and a
// topic, an internet-shortcut browser needs a path), one line each, the file
// itself is left alone, no probe file is left behind, and detecting twice
// gives the same answer. Each input meets several machines.
#include <cstdint>
#include <string>

#include "../unit/fakes.h"
#include "../unit/launch_fakes.h"
#include "core/app_state.h"
#include "fuzz_support.h"
#include "model/state_files.h"
#include "netsearch/browser_detection.h"

namespace {

using namespace velmora;
using fuzz::Require;

const std::string kProgram = "C:\\P\\";

enum class Machine { Bare, RegistryDde, NetscapeForHtml, UrlFileOnly };

struct Detected {
  bool dde, urlFile;
  std::string path, server, topic;
  friend bool operator==(const Detected&, const Detected&) = default;
};

bool SingleLine(const std::string& s) { return s.find_first_of("\r\n") == std::string::npos; }

Detected Detect(const std::string& ini, Machine machine, bool& registryRead) {
  test::FakeFileSystem fs;
  fs.AddFile(kProgram + kOpenUrlIni, ini);
  test::FakeLaunchPlatform platform;
  switch (machine) {
    case Machine::Bare: break;
    case Machine::RegistryDde:
      platform.SetString(kHttpCommandKey, "\"C:\\Program Files\\Web\\web.exe\" -nohome");
      platform.SetString(kHttpDdeAppKey, "WebDDE");
      platform.SetString(kHttpDdeTopicKey, "WWW_OpenURL");
      break;
    case Machine::NetscapeForHtml:
      platform.FindsFor(kProgram + kTempHtml, 42, "C:\\Netscape\\Program\\netscape.exe");
      break;
    case Machine::UrlFileOnly:
      platform.FindsFor(kProgram + kTempUrl, 42, "C:\\Browser\\b.exe");
      break;
  }
  AppState st;
  st.folders.program = kProgram;
  // Whatever a previous detection left must not survive this one.
  st.UseDde = st.UseUrlFile = true;
  st.BrowserPath = st.DdeServer = st.DdeTopic = "stale";
  GetDefaultBrowser(st, fs, platform, platform);

  Require(fs.Content(kProgram + kOpenUrlIni) == ini, "the override file is left alone");
  Require(!fs.HasFile(kProgram + kTempHtml) && !fs.HasFile(kProgram + kTempUrl),
          "no probe file is left behind");
  registryRead = !platform.Calls("reg ").empty();
  return {st.UseDde, st.UseUrlFile, st.BrowserPath, st.DdeServer, st.DdeTopic};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string ini(fuzz::AsText(data, size));
  bool overridden = false;
  for (Machine m : {Machine::Bare, Machine::RegistryDde, Machine::NetscapeForHtml,
                    Machine::UrlFileOnly}) {
    bool registryRead = false;
    const Detected d = Detect(ini, m, registryRead);
    Require(!d.dde || (!d.server.empty() && !d.topic.empty()), "DDE has a server and a topic");
    Require(!d.urlFile || (!d.dde && !d.path.empty()), "a shortcut browser has a path");
    Require(SingleLine(d.path) && SingleLine(d.server) && SingleLine(d.topic),
            "what is detected is one line each");
    if (!registryRead) {
      // The override file answered: the same on every machine.
      Require(d.dde && d.topic == kOpenUrlTopic && Trim(d.path) == d.path &&
                  Trim(d.server) == d.server && !d.path.empty(),
              "an override gives a browser by DDE");
      overridden = true;
    } else {
      Require(!overridden, "an override answers on every machine or on none");
      switch (m) {
        case Machine::Bare: Require(!d.dde && !d.urlFile, "nothing found, nothing used"); break;
        case Machine::RegistryDde:
          Require(d == Detected{true, false, "C:\\Program Files\\Web\\web.exe", "WebDDE",
                                "WWW_OpenURL"},
                  "the registry's DDE browser");
          break;
        case Machine::NetscapeForHtml:
          Require(d.dde && d.server == "NSShell", "Netscape by DDE");
          break;
        case Machine::UrlFileOnly:
          // A server named by the file alone may stay behind, unused.
          Require(!d.dde && d.urlFile && d.path == "C:\\Browser\\b.exe",
                  "the browser of internet shortcuts");
          break;
      }
    }
    bool again = false;
    Require(Detect(ini, m, again) == d && again == registryRead, "detection is repeatable");
  }
  return 0;
}
