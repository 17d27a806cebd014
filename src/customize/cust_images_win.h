// The Customize page's pictures: ImgIcons, the page's own built-in pictures
// (the tree's fixed images and the edit toolbar's buttons), and ImageList1,
// the tree's image list. ImageList1 starts with the six fixed images and gets
// one image per distinct shell icon as nodes need them.
//
// The shell is asked once per icon source for the page's lifetime: a path
// seen before reuses its image without a look-up, and files the shell draws
// alike (the same system icon index) share one image. Icon files are read
// directly, as everywhere in the program (Wine's shell gives every .ico file
// one generic picture), so each icon file has an image of its own.
#pragma once

#include <windows.h>

#include <string>
#include <unordered_map>

#include "customize/cust_model.h"
#include "platform/image_list_win.h"

namespace velmora {

class CustImages {
 public:
  // `programFile`: the program's own executable, which shows the program's
  // icon from its resources (the shell gives executables a generic picture
  // under Wine).
  CustImages(HINSTANCE instance, std::string programFile);
  CustImages(const CustImages&) = delete;
  CustImages& operator=(const CustImages&) = delete;

  // ImgIcons: "unknown", "new", "break", "sep", "button", "qm" and the edit
  // toolbar's "up", "down", "cut", "copy", "paste", "delete", "undo".
  const KeyedImageList& ImgIcons() const { return imgIcons_; }
  HIMAGELIST ImageList1() const { return imageList1_.handle(); }

  // The index in ImageList1 of a node's picture; a shell icon is looked up
  // the first time its file is met. A file the shell knows no icon for shows
  // "qmark".
  int IndexOf(const NodeImage& image);
  // Shell look-ups so far (one per distinct icon source).
  int ShellLookups() const { return lookups_; }
  std::size_t ImageCount() const { return imageList1_.Count(); }

 private:
  int ShellImage(const std::string& path);

  KeyedImageList imgIcons_;
  KeyedImageList imageList1_;
  HINSTANCE instance_;
  std::string programFile_;
  HIMAGELIST system_ = nullptr;  // the shell's, never destroyed
  std::unordered_map<std::string, int> byPath_;  // upper-case path -> image
  std::unordered_map<int, int> bySystem_;        // system icon index -> image
  std::unordered_map<std::string, int> fixed_;   // fixed key -> image
  int lookups_ = 0;
};

}  // namespace velmora
