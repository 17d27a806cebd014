// Small (16x16) icons of files as the shell shows them.
#pragma once

#include <windows.h>

#include <string>

#include "platform/gdi_counter.h"

namespace velmora {

// The file's small system icon, or nullptr when the shell has none for it (the
// file does not exist). The caller destroys the icon.
HICON SmallFileIcon(const std::string& path);

// An owned HICON, destroyed with the object.
class IconHandle {
 public:
  IconHandle() = default;
  explicit IconHandle(HICON icon) : icon_(icon) {}
  IconHandle(IconHandle&& other) noexcept : icon_(other.icon_) { other.icon_ = nullptr; }
  IconHandle& operator=(IconHandle&& other) noexcept {
    if (this != &other) {
      reset();
      icon_ = other.icon_;
      other.icon_ = nullptr;
    }
    return *this;
  }
  IconHandle(const IconHandle&) = delete;
  IconHandle& operator=(const IconHandle&) = delete;
  ~IconHandle() { reset(); }
  void reset() {
    if (icon_) DestroyIcon(Uncount(Counted::Icon, icon_));
    icon_ = nullptr;
  }
  HICON get() const { return icon_; }
  explicit operator bool() const { return icon_ != nullptr; }

 private:
  HICON icon_ = nullptr;
};

}  // namespace velmora
