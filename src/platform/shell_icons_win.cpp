#include "platform/shell_icons_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include "model/text.h"

namespace velmora {

namespace {

constexpr UINT kSmallIconFlags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_SHELLICONSIZE |
                                 SHGFI_DISPLAYNAME | SHGFI_TYPENAME;

}  // namespace

IconHandle SmallResourceIcon(HINSTANCE instance, int id) {
  return IconHandle(static_cast<HICON>(
      LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));
}

IconHandle SmallFileIcon(const std::string& path) {
  if (path.empty()) return {};
  // An icon file is its own picture. Windows' shell shows it that way; Wine's
  // gives a generic document icon, so icon files are read directly.
  if (IEndsWith(path, ".ico"))
    if (HICON own = static_cast<HICON>(
            LoadImageA(nullptr, path.c_str(), IMAGE_ICON, 16, 16, LR_LOADFROMFILE)))
      return IconHandle(own);
  SHFILEINFOA info{};
  const auto list = reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, kSmallIconFlags));
  if (!list || info.iIcon < 0) return {};
  return IconHandle(ImageList_GetIcon(list, info.iIcon, ILD_TRANSPARENT));
}

int SystemIconIndex(const std::string& path) {
  if (path.empty()) return -1;
  SHFILEINFOA info{};
  // Without SHGFI_EXETYPE: that flag stands alone, and combined with the
  // others Wine answers 0 for every file, the program's own included.
  if (!SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, kSmallIconFlags)) return -1;
  return info.iIcon;
}

HIMAGELIST SystemSmallImageList() {
  SHFILEINFOA info{};
  return reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
}

}  // namespace velmora
