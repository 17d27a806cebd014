// The picture of a node being dragged in the Customize page's tree: it
// follows the pointer over the page until the drop or Esc.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "platform/handles_win.h"

namespace velmora {

class DragPicture {
 public:
  // Takes the node's picture: the tree control's own, or, where the control
  // gives an empty one (Wine does), its icon and text drawn here. `grab` is
  // the pointer in the tree's client area; the picture keeps that place
  // under it.
  void Begin(HWND tree, HTREEITEM item, POINT grab, HIMAGELIST icons, int image, const std::string& text);
  // Over `page` at a screen point. It first shows at the first move: the
  // control is still repainting the node it has just let go of.
  void MoveTo(HWND page, POINT screen);
  // Off the screen while what lies beneath changes, and back.
  void Hide() const;
  void Show() const;
  void End(HWND page);
  bool Showing() const { return shown_; }

 private:
  ImageListHandle image_;
  bool began_ = false;
  bool shown_ = false;
};

}  // namespace velmora
