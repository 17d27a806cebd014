// Message boxes and the standard dialogs, owned by a window of the program
// (or by nobody).
#pragma once

#include <windows.h>

#include "core/dialogs.h"

namespace velmora {

class Win32Dialogs : public Dialogs {
 public:
  explicit Win32Dialogs(HWND owner = nullptr) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }
  MsgResult Show(const std::string& text, MsgButtons buttons, MsgIcon icon,
                 const std::string& caption = kAppTitle) override;
  std::optional<std::string> OpenFile(const OpenFileRequest& request) override;
  std::optional<FolderChoice> BrowseForFolder(const std::string& instruction) override;

 private:
  HWND Owner() const { return owner_ && IsWindow(owner_) ? owner_ : nullptr; }
  HWND owner_;
};

// The text an open-file dialog left in its buffer: one path and a NUL, or a
// folder, a NUL, each file name and a NUL, and a second NUL at the end. The
// result keeps the NUL after every piece and drops the final one, so that a
// single file comes back as its path alone.
std::string OpenFileResult(const char* buffer, std::size_t size);

}  // namespace velmora
