#pragma once

#include <windows.h>

#include "platform/dialogs.h"

namespace velmora {

// Message boxes owned by a window of the program (or by nobody).
class Win32Dialogs : public Dialogs {
 public:
  explicit Win32Dialogs(HWND owner = nullptr) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }
  MsgResult Show(const std::string& text, MsgButtons buttons, MsgIcon icon,
                 const std::string& caption = kAppTitle) override;

 private:
  HWND owner_;
};

}  // namespace velmora
