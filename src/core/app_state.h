// Values that live for the whole run of the program. One object, owned by the
// program and handed to the windows that need it, so a test can build a fresh one.
#pragma once

#include <cstdint>
#include <string>

#include "core/options.h"

namespace velmora {

// The program's folders, each but the first ending in "\".
struct ProgramFolders {
  std::string exeFolder;  // the executable's folder, no trailing "\" (a drive root keeps it)
  std::string program;    // exeFolder + "\"
  std::string menus;      // program + "Menus\"
  std::string icons;      // program + "Icons\"
};

struct AppState {
  Options options;
  ProgramFolders folders;

  bool StartupDone = false;
  std::string HttpIconFile;

  std::int16_t AutoHide = 0;
  std::int16_t Minimized = 0;
  // A quick menu shows; the toolbar does not auto-hide meanwhile. OpenMenu is
  // the tag of that menu ("F" + button index): a menu that hides clears the
  // flag only when it is still its own, so switching straight from one menu
  // to another never leaves the flag cleared under the second.
  std::int16_t MenuOpen = 0;
  std::string OpenMenu;

  // Browser detection and the web-address opener.
  bool UseDde = false;
  bool UseUrlFile = false;
  std::string BrowserPath;
  std::string DdeServer;
  std::string DdeTopic;
};

}  // namespace velmora
