#include "platform/image_list_win.h"

#include "model/text.h"

namespace velmora {

KeyedImageList::KeyedImageList() : list_(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 16, 16)) {}

int KeyedImageList::IndexOf(const std::string& key) const {
  for (std::size_t i = 0; i < keys_.size(); ++i)
    if (IEquals(keys_[i], key)) return static_cast<int>(i);
  return -1;
}

bool KeyedImageList::AddIcon(const std::string& key, HICON icon) {
  if (!list_ || !icon || IndexOf(key) >= 0) return false;
  if (ImageList_AddIcon(list_.get(), icon) < 0) return false;
  keys_.push_back(key);
  return true;
}

bool KeyedImageList::AddBitmap(const std::string& key, HBITMAP color, COLORREF mask) {
  if (!list_ || !color || IndexOf(key) >= 0) return false;
  if (ImageList_AddMasked(list_.get(), color, mask) < 0) return false;
  keys_.push_back(key);
  return true;
}

bool KeyedImageList::AddBitmaps(const std::string& key, HBITMAP color, HBITMAP mask) {
  if (!list_ || !color || !mask || IndexOf(key) >= 0) return false;
  if (ImageList_Add(list_.get(), color, mask) < 0) return false;
  keys_.push_back(key);
  return true;
}

bool KeyedImageList::Remove(const std::string& key) {
  const int i = IndexOf(key);
  if (i < 0 || !ImageList_Remove(list_.get(), i)) return false;
  keys_.erase(keys_.begin() + i);
  return true;
}

bool KeyedImageList::Draw(const std::string& key, HDC dc, int x, int y) const {
  const int i = IndexOf(key);
  return i >= 0 && ImageList_Draw(list_.get(), i, dc, x, y, ILD_TRANSPARENT);
}

IconHandle KeyedImageList::IconOf(const std::string& key) const {
  const int i = IndexOf(key);
  return i < 0 ? IconHandle() : IconHandle(ImageList_GetIcon(list_.get(), i, ILD_TRANSPARENT));
}

}  // namespace velmora
