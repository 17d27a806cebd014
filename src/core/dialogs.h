// Message boxes and the standard file and folder dialogs: the only way
// failures and questions reach the user, and the only way the logic asks for
// a path.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "core/product.h"

namespace velmora {

enum class MsgIcon { None, Information, Critical, Exclamation, Question };
enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgResult { Ok, Yes, No, Cancel };

// The open-file dialog as the logic asks for it. The defaults are the ones
// every browse of the program uses.
struct OpenFileRequest {
  std::string title = "Select one file";
  // Pairs of description and pattern, as the dialog lists them.
  std::string filterName = "All Files (*.*)";
  std::string filterPattern = "*.*";
  std::string initialFolder;  // empty: the dialog's own choice
  bool multiSelect = false;
  // A shortcut is returned as the .lnk file itself, not its target.
  bool returnLinks = true;
  // Asks before naming a file that does not exist yet, as Explorer-style
  // dialogs do with OFN_CREATEPROMPT.
  bool createPrompt = true;
  std::size_t bufferSize = 32000;
};

// The chosen folder and the name the shell shows for it.
struct FolderChoice {
  std::string path;
  std::string displayName;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Shows a modal message box with `caption` (the application title when empty)
  // and returns the button the user pressed.
  virtual MsgResult Show(const std::string& text, MsgButtons buttons, MsgIcon icon,
                         const std::string& caption = kAppTitle) = 0;

  // nullopt when cancelled. Otherwise the text the dialog returned, exactly:
  // one file's full path, or, for several files of a multiple selection, the
  // folder and each name, each followed by a NUL.
  virtual std::optional<std::string> OpenFile(const OpenFileRequest& request) = 0;

  // The shell's folder browser (file-system folders only); nullopt when
  // cancelled or when the choice has no file-system path.
  virtual std::optional<FolderChoice> BrowseForFolder(const std::string& instruction) = 0;
};

}  // namespace velmora
