#include "shell/open_url.h"

#include "model/state_files.h"
#include "model/text.h"
#include "netsearch/browser_detection.h"
#include "core/dialogs.h"
#include "core/file_system.h"
#include "core/launch_platform.h"
#include "core/app_state.h"
#include "core/product.h"
#include "core/ui_host.h"

namespace velmora {

std::string OpenUrlDdeCommand(const std::string& address) {
  return "\"" + address + "\",,-1,0,,,,";
}

std::string BrowserUnreachableMessage() {
  return std::string(
             "Unable to communicate with your default browser. This program should work with "
             "Netscape 4.02 or later and MS Explorer 4.0 or later. If you have one of those in "
             "your system and installed properly but you still cannot use this program, then "
             "please check Velmora help file, the topic HTTP Custom Settings. If you need any "
             "technical support, please send email to ") +
         kSupportEmail + ".";
}

namespace {

// The browser did not take the address by DDE: start it with the address, and
// when its stored path is stale, look the HTML handler up once more.
void StartBrowser(LaunchServices& s, const std::string& address) {
  AppState& st = s.state;
  if (s.platform.ShellOpen(st.BrowserPath, address, "", WindowStyle::Maximized).ok()) return;

  const std::string probe = st.folders.program + kTempHtml;
  WriteEmptyHtml(s.fs, probe);
  s.ui.DoEvents();
  std::string program;
  const Error found = s.platform.FindProgram(probe, program);
  st.BrowserPath = Trim(program);
  if (found.ok()) {
    if (!s.platform.ShellOpen(st.BrowserPath, address, "", WindowStyle::Maximized).ok()) {
      st.UseDde = false;
      st.UseUrlFile = true;
    }
  } else {
    st.UseDde = false;
    st.UseUrlFile = true;
  }
  s.fs.Delete(probe);
}

}  // namespace

void OpenURL(LaunchServices& s, const std::string& address) {
  AppState& st = s.state;
  if (!st.UseDde && !st.UseUrlFile) GetDefaultBrowser(st, s.fs, s.platform, s.ui);

  const std::string command = OpenUrlDdeCommand(address);
  if (st.UseDde) {
    if (s.platform.DdeConnect(st.DdeServer, st.DdeTopic)) {
      StartBrowser(s, address);
    } else {
      s.platform.DdeExecute(command);
    }
    s.platform.DdeClose();
  }

  if (st.UseUrlFile) {
    const std::string file = WithBackslash(st.folders.exeFolder) + kTempUrl;
    // A shortcut that could not be written must not be opened: the file left
    // from an earlier address would send the browser there instead.
    if (!s.fs.WriteAll(file, InternetShortcut(address)) ||
        !s.platform.ShellOpen(file, "", "", WindowStyle::Normal).ok())
      st.UseUrlFile = false;
  }

  if (!st.UseDde && !st.UseUrlFile)
    s.dialogs.Show(BrowserUnreachableMessage(), MsgButtons::Ok, MsgIcon::Critical);
}

}  // namespace velmora
