// ImgIcons: a 16x16 image list whose pictures are addressed by text keys.
// Keys compare without regard to letter case; adding an existing key fails.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "platform/handles_win.h"

namespace velmora {

class KeyedImageList {
 public:
  KeyedImageList();

  HIMAGELIST handle() const { return list_.get(); }
  bool AddIcon(const std::string& key, HICON icon);
  bool AddBitmap(const std::string& key, HBITMAP color, COLORREF mask);
  // A picture from its colour bitmap and its monochrome mask, as an icon
  // holds them. Far cheaper than AddIcon, which draws the icon twice.
  bool AddBitmaps(const std::string& key, HBITMAP color, HBITMAP mask);
  bool Remove(const std::string& key);
  int IndexOf(const std::string& key) const;  // -1 when absent
  bool Draw(const std::string& key, HDC dc, int x, int y) const;
  // A copy of one picture as an icon of its own; empty when the key is absent.
  IconHandle IconOf(const std::string& key) const;
  std::size_t Count() const { return keys_.size(); }

 private:
  ImageListHandle list_;
  std::vector<std::string> keys_;  // keys_[i] names image i
};

}  // namespace velmora
