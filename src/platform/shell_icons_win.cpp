#include "platform/shell_icons_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include "model/text.h"
#include "platform/gdi_counter.h"

namespace velmora {

HICON SmallFileIcon(const std::string& path) {
  if (path.empty()) return nullptr;
  // An icon file is its own picture. Windows' shell shows it that way; Wine's
  // gives a generic document icon, so icon files are read directly.
  if (IEndsWith(path, ".ico"))
    if (HICON own = static_cast<HICON>(
            LoadImageA(nullptr, path.c_str(), IMAGE_ICON, 16, 16, LR_LOADFROMFILE)))
      return Count(Counted::Icon, own);
  SHFILEINFOA info{};
  const auto list = reinterpret_cast<HIMAGELIST>(SHGetFileInfoA(
      path.c_str(), 0, &info, sizeof info,
      SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_SHELLICONSIZE | SHGFI_DISPLAYNAME |
          SHGFI_TYPENAME));
  if (!list || info.iIcon < 0) return nullptr;
  return Count(Counted::Icon, ImageList_GetIcon(list, info.iIcon, ILD_TRANSPARENT));
}

}  // namespace velmora
