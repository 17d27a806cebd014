// Message boxes, the only way failures and questions reach the user.
#pragma once

#include <string>

namespace velmora {

enum class MsgIcon { None, Information, Critical, Exclamation, Question };
enum class MsgButtons { Ok, YesNo };
enum class MsgResult { Ok, Yes, No };

inline constexpr const char* kAppTitle = "Velmora";

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Shows a modal message box with `caption` (the application title when empty)
  // and returns the button the user pressed.
  virtual MsgResult Show(const std::string& text, MsgButtons buttons, MsgIcon icon,
                         const std::string& caption = kAppTitle) = 0;
};

}  // namespace velmora
