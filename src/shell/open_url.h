// Showing a web address in the user's default browser: by DDE with the running
// browser, by starting the browser program, or through an internet-shortcut
// file, in that order; the way that works is remembered for the run.
#pragma once

#include <string>

#include "core/launch_services.h"

namespace velmora {

// The browser's open-address command: the address in double quotes, unchanged.
std::string OpenUrlDdeCommand(const std::string& address);
std::string BrowserUnreachableMessage();

void OpenURL(LaunchServices& services, const std::string& address);

}  // namespace velmora
