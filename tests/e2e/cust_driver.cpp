#include "cust_driver.h"

#include <dlgs.h>

#include <algorithm>
#include <cstring>

#include "customize/cust_options.h"

namespace velmora::e2e {

namespace {

constexpr std::size_t kBufferSize = 4096;
constexpr std::size_t kTextOffset = 1024;
constexpr DWORD kAnswerMs = 5000;

}  // namespace

// ---------------------------------------------------------------------------
RemoteBuffer::RemoteBuffer(DWORD pid, std::size_t size)
    : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid)) {
  if (process_)
    base_ = static_cast<char*>(
        VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

RemoteBuffer::~RemoteBuffer() {
  if (base_) VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
  if (process_) CloseHandle(process_);
}

bool RemoteBuffer::Write(std::size_t offset, const void* data, std::size_t n) const {
  return base_ && WriteProcessMemory(process_, base_ + offset, data, n, nullptr);
}

bool RemoteBuffer::Read(std::size_t offset, void* data, std::size_t n) const {
  return base_ && ReadProcessMemory(process_, base_ + offset, data, n, nullptr);
}

// ---------------------------------------------------------------------------
RemoteTree::RemoteTree(DWORD pid, HWND tree) : pid_(pid), tree_(tree), buffer_(pid, kBufferSize) {}

LRESULT RemoteTree::Send(UINT msg, WPARAM wp, LPARAM lp) const {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(tree_, msg, wp, lp, SMTO_NORMAL, kAnswerMs, &result)) return 0;
  return static_cast<LRESULT>(result);
}

std::vector<HTREEITEM> RemoteTree::Children(HTREEITEM parent) const {
  std::vector<HTREEITEM> out;
  auto item = reinterpret_cast<HTREEITEM>(
      parent ? Send(TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent))
             : Send(TVM_GETNEXTITEM, TVGN_ROOT, 0));
  while (item) {
    out.push_back(item);
    item = reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
  }
  return out;
}

std::string RemoteTree::Text(HTREEITEM item) const {
  if (!item || !buffer_.Ok()) return {};
  TVITEMA request{};
  request.mask = TVIF_TEXT;
  request.hItem = item;
  request.pszText = reinterpret_cast<char*>(buffer_.At(kTextOffset));
  request.cchTextMax = 256;
  const char empty[256] = {};
  buffer_.Write(kTextOffset, empty, sizeof empty);
  buffer_.Write(0, &request, sizeof request);
  if (!Send(TVM_GETITEMA, 0, buffer_.At(0))) return {};
  // The control may answer with a pointer of its own instead of filling ours.
  TVITEMA answer{};
  buffer_.Read(0, &answer, sizeof answer);
  char text[257] = {};
  if (answer.pszText == request.pszText) {
    buffer_.Read(kTextOffset, text, 256);
  } else if (answer.pszText) {
    HANDLE process = OpenProcess(PROCESS_VM_READ, FALSE, pid_);
    if (process) {
      ReadProcessMemory(process, answer.pszText, text, 256, nullptr);
      CloseHandle(process);
    }
  }
  return text;
}

bool RemoteTree::Expanded(HTREEITEM item) const {
  return (Send(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

HTREEITEM RemoteTree::Selected() const {
  return reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, TVGN_CARET, 0));
}

HTREEITEM RemoteTree::DropTarget() const {
  return reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, TVGN_DROPHILITE, 0));
}

HTREEITEM RemoteTree::Find(const std::vector<std::string>& path) const {
  HTREEITEM at = nullptr;
  for (const std::string& text : path) {
    HTREEITEM found = nullptr;
    for (HTREEITEM child : Children(at))
      if (Text(child) == text) {
        found = child;
        break;
      }
    if (!found) return nullptr;
    at = found;
  }
  return at;
}

std::vector<std::string> RemoteTree::ChildTexts(const std::vector<std::string>& path) const {
  std::vector<std::string> out;
  HTREEITEM parent = path.empty() ? nullptr : Find(path);
  if (!path.empty() && !parent) return out;
  for (HTREEITEM child : Children(parent)) out.push_back(Text(child));
  return out;
}

std::string RemoteTree::OutlineOf(HTREEITEM parent) const {
  std::string out;
  for (HTREEITEM child : Children(parent)) {
    if (!out.empty()) out += ',';
    out += Text(child);
    const std::string inner = OutlineOf(child);
    if (!inner.empty() || !parent) out += '[' + inner + ']';
  }
  return out;
}

std::string RemoteTree::Outline() const { return OutlineOf(nullptr); }

std::optional<RECT> RemoteTree::TextRect(HTREEITEM item) const {
  if (!item || !buffer_.Ok()) return std::nullopt;
  // The item goes in where the rectangle comes back.
  RECT r{};
  static_assert(sizeof(HTREEITEM) <= sizeof(RECT));
  std::memcpy(&r, &item, sizeof item);
  buffer_.Write(0, &r, sizeof r);
  if (!Send(TVM_GETITEMRECT, TRUE, buffer_.At(0))) return std::nullopt;
  buffer_.Read(0, &r, sizeof r);
  RECT client{};
  GetClientRect(tree_, &client);
  const POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  if (!PtInRect(&client, middle)) return std::nullopt;
  MapWindowPoints(tree_, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::optional<POINT> RemoteTree::TextCentre(HTREEITEM item) const {
  const auto r = TextRect(item);
  if (!r) return std::nullopt;
  return CenterOf(*r);
}

std::optional<RECT> RemoteToolbarButton(DWORD pid, HWND toolbar, int index) {
  RemoteBuffer buffer(pid, sizeof(RECT));
  DWORD_PTR ok = 0;
  if (!buffer.Ok() ||
      !SendMessageTimeoutA(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index), buffer.At(0), SMTO_NORMAL,
                           kAnswerMs, &ok) ||
      !ok)
    return std::nullopt;
  RECT r{};
  buffer.Read(0, &r, sizeof r);
  MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// ---------------------------------------------------------------------------
namespace {

POINT ToolbarButtonPoint(HWND toolbar1, int index) {
  const RECT r = WindowRect(toolbar1);
  const int width = LOWORD(SendMessageA(toolbar1, TB_GETBUTTONSIZE, 0, 0));
  return {r.left + (index - 1) * width + width / 2, (std::max<LONG>(r.top, 0) + r.bottom) / 2};
}

bool InFront(App& app, HWND window) {
  const auto front = [&] { return GetForegroundWindow() == window; };
  return app.WaitUntil(front, 3000) || (BringToForeground(window) && app.WaitUntil(front, 3000));
}

}  // namespace

HWND OpenQuickMenu(App& app, HWND toolbar1, int index) {
  const std::vector<HWND> before = FindWindows(app.Pid(), Visible("VelmoraQuickMenu"));
  ClickAt(ToolbarButtonPoint(toolbar1, index));
  HWND menu = nullptr;
  app.WaitUntil([&] {
    for (HWND w : FindWindows(app.Pid(), Visible("VelmoraQuickMenu")))
      if (std::find(before.begin(), before.end(), w) == before.end()) menu = w;
    return menu != nullptr;
  });
  if (!menu || !InFront(app, menu)) return nullptr;
  app.Sync();
  return menu;
}

bool ChooseOwnMenuEntry(App& app, HWND toolbar1, int entry) {
  HWND menu = OpenQuickMenu(app, toolbar1, 1);
  if (!menu) return false;
  for (int i = 0; i < entry; ++i) PressKey(VK_DOWN);
  app.Sync();
  PressKey(VK_RETURN);
  return true;
}

std::optional<CustomizePage> OpenCustomize(App& app, HWND toolbar1) {
  if (!ChooseOwnMenuEntry(app, toolbar1, 1)) return std::nullopt;
  HWND page = app.WaitForWindow(Visible("VelmoraCustomize"));
  if (!page || !InFront(app, page) || !app.Sync()) return std::nullopt;
  return CustomizePage{page};
}

namespace {

GUITHREADINFO GuiInfo(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) {
    info = GUITHREADINFO{};
    info.cbSize = sizeof info;
  }
  return info;
}

}  // namespace

bool KeyboardIn(App& app, HWND window) {
  if (!InFront(app, window)) return false;
  const bool ready = app.WaitUntil([&] {
    const GUITHREADINFO info = GuiInfo(window);
    return info.hwndActive == window && info.hwndFocus && IsChild(window, info.hwndFocus);
  }, 3000);
  return app.Sync() && ready;
}

bool PageReady(App& app, const CustomizePage& page) { return KeyboardIn(app, page.window); }

bool ChooseOptionsItem(App& app, const CustomizePage& page, int id) {
  // The item's place among the menu's items; separators are stepped over.
  int index = -1, items = 0;
  for (const CommandInfo& item : kOptionsMenu) {
    if (item.id == 0) continue;
    if (item.id == id) index = items;
    ++items;
  }
  if (index < 0) return false;
  // The pointer out of the way of the menu.
  MoveMouse({8, GetSystemMetrics(SM_CYSCREEN) - 8});
  BringToForeground(page.window);  // a click on the toolbar may have taken the front
  const auto noMenu = [&] { return !app.Find(Visible("#32768")); };
  for (int attempt = 0; attempt < 3; ++attempt) {
    // The page active with a control holding the keyboard: right after a
    // message box has gone, the page may still be taking the front back, and
    // that closes a menu opened meanwhile under the keys meant for it.
    if (attempt > 0) {
      PressKey(VK_ESCAPE);
      app.WaitUntil(noMenu, 3000);
    }
    if (!InFront(app, page.window)) return false;
    PageReady(app, page);
    PressKey('O', {VK_MENU});
    if (!app.WaitForWindow(Visible("#32768"), 3000)) continue;
    // Shown is not yet tracking: Wine's menu loop takes the keys only once it
    // runs, and an arrow that came before would light another item.
    app.Sync();
    Sleep(150);
    // Opened from the keyboard, the menu lights its first item.
    for (int i = 0; i < index; ++i) PressKey(VK_DOWN);
    app.Sync();
    if (!(GuiInfo(page.window).flags & GUI_INMENUMODE) || noMenu()) continue;
    PressKey(VK_RETURN);
    return app.WaitUntil(noMenu);
  }
  return false;
}

std::optional<unsigned> OptionMarks(const CustomizePage& page) {
  static const UINT probe = RegisterWindowMessageA("Velmora.CustomizeProbe");
  DWORD_PTR bits = 0;
  if (!SendMessageTimeoutA(page.window, probe, 3, 0, SMTO_NORMAL, kAnswerMs, &bits)) return std::nullopt;
  return static_cast<unsigned>(bits);
}

void TypeIntoBox(HWND box, const std::string& text) {
  ClickAt(CenterOf(WindowRect(box)));
  WaitUntil([&] {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &info) && info.hwndFocus == box;
  }, 5000);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(box, EM_SETSEL, 0, -1, SMTO_NORMAL, kAnswerMs, &ignored);
  PressKey(VK_DELETE);
  TypeText(text);
}

HWND WaitForPopupMenu(App& app) { return app.WaitForWindow(Visible("#32768")); }

HWND WaitForFileDialog(App& app, const std::string& title) {
  HWND found = nullptr;
  app.WaitUntil([&] {
    for (HWND w : FindWindows(app.Pid(), Visible("#32770")))
      if (CaptionOf(w) == title) found = w;
    return found != nullptr;
  });
  return found;
}

namespace {

// The file name box: a combo box in Explorer-style dialogs, an edit in older ones.
HWND FileNameBox(HWND dialog) {
  if (HWND combo = GetDlgItem(dialog, cmb13)) {
    if (HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr)) return edit;
    return combo;
  }
  return GetDlgItem(dialog, edt1);
}

bool SetAndOpen(HWND dialog, const std::string& text) {
  HWND box = FileNameBox(dialog);
  if (!box) return false;
  DWORD_PTR ignored = 0;
  if (!SendMessageTimeoutA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                           kAnswerMs, &ignored))
    return false;
  return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                      reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK))) != 0;
}

}  // namespace

bool ChooseInFileDialog(App& app, HWND dialog, const std::string& folder, const std::string& names) {
  if (!SetAndOpen(dialog, folder)) return false;
  // Opening a folder leaves the dialog up, showing it, with the box emptied.
  if (!app.WaitUntil([&] { return IsWindow(dialog) && ControlText(FileNameBox(dialog)).empty(); }))
    return false;
  return SetAndOpen(dialog, names);
}

void RightClickAt(POINT screen) {
  MoveMouse(screen);
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  INPUT in[2]{};
  for (INPUT& i : in) {
    i.type = INPUT_MOUSE;
    i.mi.dx = static_cast<LONG>((screen.x * 65535LL + cx / 2) / std::max(cx - 1, 1));
    i.mi.dy = static_cast<LONG>((screen.y * 65535LL + cy / 2) / std::max(cy - 1, 1));
  }
  in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_RIGHTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_RIGHTUP;
  SendInput(2, in, sizeof(INPUT));
}

void DragWithMouse(POINT from, POINT to) {
  MoveMouse(from);
  Sleep(50);
  LeftButtonAt(from, true);
  Sleep(50);
  constexpr int kSteps = 12;
  for (int i = 1; i <= kSteps; ++i) {
    MoveMouse({from.x + (to.x - from.x) * i / kSteps, from.y + (to.y - from.y) * i / kSteps});
    Sleep(30);
  }
  Sleep(100);
  LeftButtonAt(to, false);
}

bool RequestScreenshot(const std::string& name, RECT area) {
  char folder[MAX_PATH] = "";
  if (!GetEnvironmentVariableA("VELMORA_SHOT_FOLDER", folder, MAX_PATH)) return false;
  area.left = std::max<LONG>(area.left, 0);
  area.top = std::max<LONG>(area.top, 0);
  area.right = std::min<LONG>(area.right, GetSystemMetrics(SM_CXSCREEN));
  area.bottom = std::min<LONG>(area.bottom, GetSystemMetrics(SM_CYSCREEN));
  const std::string done = std::string(folder) + "\\done.txt";
  DeleteFileA(done.c_str());
  if (!WriteBytes(std::string(folder) + "\\request.txt",
                  name + " " + std::to_string(area.left) + " " + std::to_string(area.top) + " " +
                      std::to_string(area.right - area.left) + " " +
                      std::to_string(area.bottom - area.top) + "\n"))
    return false;
  const bool ok = WaitUntil([&] { return PathExists(done); }, 60000);
  DeleteFileA(done.c_str());
  return ok;
}

}  // namespace velmora::e2e
