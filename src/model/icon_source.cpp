#include "model/icon_source.h"

#include "model/item_record.h"
#include "model/text.h"

namespace velmora {

namespace {

constexpr std::string_view kWebWord = "http";
constexpr std::string_view kOwnPictureMarker = "imgicons";

IconSource Picture(std::string key) { return {IconKind::Picture, std::move(key), {}}; }

IconSource FileIcon(std::string path, const char* fallback) {
  // An empty path would ask the shell about the current folder.
  if (Trim(path).empty()) return Picture(fallback);
  return {IconKind::File, fallback, std::move(path)};
}

// The toolbar and the editor: only the whole word stands for web addresses,
// so a file called "https.ico" keeps its own icon there.
std::string ResolveWholeWord(std::string_view text, const IconContext& context) {
  std::string icon = CompleteIconPath(Trim(text), context.programFolder);
  if (IEquals(icon, kWebWord)) icon = context.httpIconFile;
  return icon;
}

IconSource ForToolbarButton(std::string_view text, const IconContext& context) {
  const std::string icon = ResolveWholeWord(text, context);
  const std::string word = ToLower(Trim(icon));
  if (word == kPictureNew || word == kPictureButton) return Picture(word);
  return FileIcon(icon, kPictureUnknownIcon);
}

// A new single button starts as "Button"; "new" marks only fresh menu items,
// so here it is taken as a file's name.
IconSource ForSingleButton(std::string_view text, const IconContext& context) {
  const std::string icon = ResolveWholeWord(text, context);
  const std::string word = ToLower(Trim(icon));
  if (word == kPictureButton) return Picture(word);
  return FileIcon(icon, kPictureUnknownIcon);
}

// Rows of web addresses keep whatever follows "http" in their FileName, so the
// prefix alone decides.
IconSource ForQuickMenuRow(std::string_view text, const IconContext& context) {
  std::string icon(text);
  if (!icon.empty() && icon[0] == '\\') icon = CompleteIconPath(icon, context.programFolder);
  if (IStartsWith(icon, kWebWord)) icon = context.httpIconFile;
  const std::string trimmed = Trim(icon);
  if (trimmed.empty()) return {};
  const std::string word = ToLower(trimmed);
  if (word == kPictureNew || word == kPictureButton) return Picture(word);
  const auto marker = word.find(kOwnPictureMarker);
  if (marker != std::string::npos)
    return Picture(Trim(std::string_view(trimmed).substr(marker + kOwnPictureMarker.size())));
  return FileIcon(icon, kPictureUnknownIcon);
}

IconSource ForEditorNode(std::string_view text, const IconContext& context) {
  const std::string completed = CompleteIconPath(Trim(text), context.programFolder);
  if (completed.empty()) return Picture(kPictureUnknownNode);
  const std::string icon = IEquals(completed, kWebWord) ? context.httpIconFile : completed;
  if (IEquals(icon, kSeparatorMarker)) return Picture(kPictureSeparator);
  if (IEquals(icon, kBreakerMarker)) return Picture(kPictureBreak);
  for (const char* word : {kPictureNew, kPictureButton, kPictureUnknownNode})
    if (IEquals(icon, word)) return Picture(word);
  return FileIcon(icon, kPictureEditorQm);
}

}  // namespace

std::string CompleteIconPath(std::string_view text, std::string_view programFolder) {
  if (text.empty() || text[0] != '\\') return std::string(text);
  // Joined at one backslash, so that a program folder at a drive root ("C:\")
  // does not give "C:\\icons\...".
  return WithBackslash(programFolder) + std::string(text.substr(1));
}

IconSource ClassifyIcon(IconUse use, std::string_view text, const IconContext& context) {
  switch (use) {
    case IconUse::ToolbarButton: return ForToolbarButton(text, context);
    case IconUse::SingleButton: return ForSingleButton(text, context);
    case IconUse::QuickMenuRow: return ForQuickMenuRow(text, context);
    case IconUse::EditorNode: return ForEditorNode(text, context);
  }
  return {};
}

}  // namespace velmora
