// What names the product everywhere: its title, its help file and where users
// write for support.
#pragma once

namespace velmora {

inline constexpr const char* kAppTitle = "Velmora";
inline constexpr const char* kSupportEmail = "support@velmora.app";
// In the program folder.
inline constexpr const char* kHelpFile = "velmora.hlp";
// The help topic a first start opens.
inline constexpr unsigned kWelcomeHelpContext = 1002;

}  // namespace velmora
