#include "platform/dialogs_win.h"

namespace velmora {

MsgResult Win32Dialogs::Show(const std::string& text, MsgButtons buttons, MsgIcon icon,
                             const std::string& caption) {
  UINT type = buttons == MsgButtons::YesNo ? MB_YESNO : MB_OK;
  switch (icon) {
    case MsgIcon::Information: type |= MB_ICONINFORMATION; break;
    case MsgIcon::Critical: type |= MB_ICONERROR; break;
    case MsgIcon::Exclamation: type |= MB_ICONWARNING; break;
    case MsgIcon::Question: type |= MB_ICONQUESTION; break;
    case MsgIcon::None: break;
  }
  // The toolbar is topmost: without an owner the box could open behind it.
  type |= MB_SETFOREGROUND | (owner_ ? 0 : MB_TOPMOST);
  switch (MessageBoxA(owner_ && IsWindow(owner_) ? owner_ : nullptr, text.c_str(),
                      caption.c_str(), type)) {
    case IDYES: return MsgResult::Yes;
    case IDNO: return MsgResult::No;
    default: return MsgResult::Ok;
  }
}

}  // namespace velmora
