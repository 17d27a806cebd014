#include "platform/dialogs_win.h"

#include <commdlg.h>
#include <shlobj.h>

#include <vector>

#include "platform/handles_win.h"

namespace velmora {

MsgResult Win32Dialogs::Show(const std::string& text, MsgButtons buttons, MsgIcon icon,
                             const std::string& caption) {
  UINT type = MB_OK;
  if (buttons == MsgButtons::YesNo) type = MB_YESNO;
  if (buttons == MsgButtons::YesNoCancel) type = MB_YESNOCANCEL;
  switch (icon) {
    case MsgIcon::Information: type |= MB_ICONINFORMATION; break;
    case MsgIcon::Critical: type |= MB_ICONERROR; break;
    case MsgIcon::Exclamation: type |= MB_ICONWARNING; break;
    case MsgIcon::Question: type |= MB_ICONQUESTION; break;
    case MsgIcon::None: break;
  }
  // The toolbar is topmost: without an owner the box could open behind it.
  type |= MB_SETFOREGROUND | (Owner() ? 0 : MB_TOPMOST);
  switch (MessageBoxA(Owner(), text.c_str(), caption.c_str(), type)) {
    case IDYES: return MsgResult::Yes;
    case IDNO: return MsgResult::No;
    case IDCANCEL: return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Cancel;
    default: return MsgResult::Ok;
  }
}

std::string OpenFileResult(const char* buffer, std::size_t size) {
  std::size_t end = 0;
  // Pieces run until an empty one (two NULs in a row) or the buffer's end.
  while (end < size && buffer[end] != '\0') {
    while (end < size && buffer[end] != '\0') ++end;
    if (end < size) ++end;  // the piece's NUL
  }
  std::string text(buffer, end);
  // One piece is a whole path: no NUL behind it.
  if (text.find('\0') == text.size() - 1) text.pop_back();
  return text;
}

std::optional<std::string> Win32Dialogs::OpenFile(const OpenFileRequest& request) {
  std::vector<char> buffer(std::max<std::size_t>(request.bufferSize, 2), '\0');
  std::string filter = request.filterName;
  filter += '\0';
  filter += request.filterPattern;
  filter += '\0';
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = Owner();
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrTitle = request.title.c_str();
  ofn.lpstrInitialDir = request.initialFolder.empty() ? nullptr : request.initialFolder.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_LONGNAMES | OFN_HIDEREADONLY;
  if (request.returnLinks) ofn.Flags |= OFN_NODEREFERENCELINKS;
  if (request.createPrompt) ofn.Flags |= OFN_CREATEPROMPT;
  if (request.multiSelect) ofn.Flags |= OFN_ALLOWMULTISELECT;
  if (!GetOpenFileNameA(&ofn)) return std::nullopt;
  buffer.back() = '\0';
  return OpenFileResult(buffer.data(), buffer.size());
}

std::optional<FolderChoice> Win32Dialogs::BrowseForFolder(const std::string& instruction) {
  char displayName[MAX_PATH] = "";
  BROWSEINFOA info{};
  info.hwndOwner = Owner();
  info.pszDisplayName = displayName;
  info.lpszTitle = instruction.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  CoTaskMem items(SHBrowseForFolderA(&info));
  if (!items) return std::nullopt;
  // The path buffer is generous: some shells write more than MAX_PATH for
  // long folder names before cutting at the NUL.
  std::vector<char> path(512, '\0');
  if (!SHGetPathFromIDListA(static_cast<PCIDLIST_ABSOLUTE>(items.get()), path.data()))
    return std::nullopt;
  path.back() = '\0';
  FolderChoice choice;
  choice.path = path.data();
  displayName[MAX_PATH - 1] = '\0';
  choice.displayName = displayName;
  if (choice.path.empty()) return std::nullopt;
  return choice;
}

}  // namespace velmora
