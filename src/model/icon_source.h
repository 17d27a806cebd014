// What picture stands for an entry: a built-in picture by key, the shell's
// small icon of a file, or nothing. One classifier for every place that shows
// entries, since they read the same FileName text but not by the same rules:
//
//                       empty text     "http"                 fixed words
//   toolbar button      "qm"           whole text only        new, button
//   single button       "qm"           whole text only        button
//   quick-menu row      nothing        any text starting so   new, button, "imgIcons <key>"
//   editor node         "unknown"      whole text only        new, button, unknown,
//                                                             separator, page break
//
// A file whose icon the shell cannot give is shown by the caller's fallback
// picture: "qm", or "qmark" in the editor's tree image list.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// Built-in picture keys.
inline constexpr const char* kPictureNew = "new";
inline constexpr const char* kPictureButton = "button";
inline constexpr const char* kPictureUnknownIcon = "qm";     // the shared image list's key
inline constexpr const char* kPictureUnknownNode = "unknown";
inline constexpr const char* kPictureSeparator = "sep";
inline constexpr const char* kPictureBreak = "break";
inline constexpr const char* kPictureEditorQm = "qmark";    // "qm" as the editor's tree stores it

enum class IconUse {
  ToolbarButton,  // a menu button's picture on the toolbar
  SingleButton,   // an icon in the single-button strip
  QuickMenuRow,   // an entry of a quick menu, the own menu's included
  EditorNode,     // a node of the Customize tree
};

enum class IconKind {
  None,     // draw nothing: the row's icon column stays button face
  Picture,  // the built-in picture `picture`
  File,     // the shell's small icon of `path`; `picture` when there is none
};

struct IconSource {
  IconKind kind = IconKind::None;
  std::string picture;
  std::string path;
  friend bool operator==(const IconSource&, const IconSource&) = default;
};

struct IconContext {
  std::string programFolder;  // where a FileName beginning with "\" points
  std::string httpIconFile;   // the file whose icon stands for web addresses
};

// `text` is the entry's FileName as read from its file.
IconSource ClassifyIcon(IconUse use, std::string_view text, const IconContext& context);

// A FileName beginning with "\" names a file under the program folder; any
// other text is returned unchanged.
std::string CompleteIconPath(std::string_view text, std::string_view programFolder);

}  // namespace velmora
