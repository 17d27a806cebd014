#include "customize/cust_drag_win.h"

#include <algorithm>
#include <cstring>

#include "platform/ui_win.h"

namespace velmora {

namespace {

constexpr int kIconGap = 3;  // between a node's icon and its text, as the tree draws them

ImageListHandle DrawnPicture(HIMAGELIST icons, int image, const std::string& text, SIZE textSize) {
  int iconW = 16, iconH = 16;
  ImageList_GetIconSize(icons, &iconW, &iconH);
  const int w = iconW + kIconGap + textSize.cx, h = std::max<int>(iconH, textSize.cy);
  WindowDC screen(nullptr);
  MemoryDC dc(screen.get());
  GdiBitmap picture(CreateCompatibleBitmap(screen.get(), w, h));
  if (!dc || !picture) return {};
  {
    Selection bitmap(dc.get(), picture.get());
    RECT all{0, 0, w, h};
    FillRect(dc.get(), &all, GetSysColorBrush(COLOR_WINDOW));
    ImageList_Draw(icons, image, dc.get(), 0, (h - iconH) / 2, ILD_TRANSPARENT);
    Selection font(dc.get(), UiFont());
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), GetSysColor(COLOR_WINDOWTEXT));
    RECT label{iconW + kIconGap, 0, w, h};
    DrawTextA(dc.get(), text.c_str(), -1, &label,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  // Only the icon and the text follow the pointer: the background is the
  // mask. 24 bits, because text drawn by GDI has no alpha and would vanish.
  ImageListHandle list(ImageList_Create(w, h, ILC_COLOR24 | ILC_MASK, 1, 1));
  if (!list || ImageList_AddMasked(list.get(), picture.get(), GetSysColor(COLOR_WINDOW)) < 0) return {};
  return list;
}

}  // namespace

void DragPicture::Begin(HWND tree, HTREEITEM item, POINT grab, HIMAGELIST icons, int image,
                        const std::string& text) {
  End(nullptr);
  RECT textRect{};
  std::memcpy(&textRect, &item, sizeof item);  // the item goes in, its rectangle comes back
  SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&textRect));
  image_.reset(reinterpret_cast<HIMAGELIST>(
      SendMessageA(tree, TVM_CREATEDRAGIMAGE, 0, reinterpret_cast<LPARAM>(item))));
  if (!image_ || ImageList_GetImageCount(image_.get()) == 0)
    image_ = DrawnPicture(icons, image, text,
                          SIZE{textRect.right - textRect.left, textRect.bottom - textRect.top});
  int iconW = 16, iconH = 16;
  ImageList_GetIconSize(icons, &iconW, &iconH);
  // The picture's left edge is the icon's, left of the text.
  began_ = image_ && ImageList_BeginDrag(image_.get(), 0, grab.x - (textRect.left - iconW - kIconGap),
                                         grab.y - textRect.top);
  if (!began_) image_.reset();
}

void DragPicture::MoveTo(HWND page, POINT screen) {
  if (!began_) return;
  RECT window{};
  GetWindowRect(page, &window);
  // Relative to the window, frame included.
  if (shown_) ImageList_DragMove(screen.x - window.left, screen.y - window.top);
  else shown_ = ImageList_DragEnter(page, screen.x - window.left, screen.y - window.top) != FALSE;
}

void DragPicture::Hide() const {
  if (shown_) ImageList_DragShowNolock(FALSE);
}

void DragPicture::Show() const {
  if (shown_) ImageList_DragShowNolock(TRUE);
}

void DragPicture::End(HWND page) {
  if (shown_ && page) ImageList_DragLeave(page);
  if (began_) ImageList_EndDrag();
  began_ = shown_ = false;
  image_.reset();
}

}  // namespace velmora
