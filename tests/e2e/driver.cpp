#include "driver.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <stdexcept>
#include <utility>

#ifndef VELMORA_STAGE_DIR
#error "VELMORA_STAGE_DIR must name the folder of the staged program files"
#endif

namespace velmora::e2e {

namespace {

constexpr DWORD kPollMs = 5;
DWORD g_timeout = 0;

const char* const kProgramClasses[] = {"VelmoraToolbar", "VelmoraSplash", "VelmoraMinimize"};

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool FolderExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

template <class F>
void ForEachEntry(const std::string& folder, F f) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = fd.cFileName;
    if (name == "." || name == "..") continue;
    f(name, (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

// `skip` names files of the top folder that are left out.
bool CopyTree(const std::string& from, const std::string& to,
              const std::vector<std::string>& skip = {}) {
  if (!FolderExists(to) && !CreateDirectoryA(to.c_str(), nullptr)) return false;
  bool ok = true;
  ForEachEntry(from, [&](const std::string& name, bool folder) {
    for (const std::string& s : skip)
      if (!folder && lstrcmpiA(s.c_str(), name.c_str()) == 0) return;
    std::string src = from + "\\" + name, dst = to + "\\" + name;
    ok = (folder ? CopyTree(src, dst) : CopyFileA(src.c_str(), dst.c_str(), FALSE) != 0) && ok;
  });
  return ok;
}

// Clears read-only marks on the way so that nothing a test set stays behind.
bool RemoveTree(const std::string& folder) {
  SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_DIRECTORY);
  ForEachEntry(folder, [&](const std::string& name, bool isFolder) {
    std::string p = folder + "\\" + name;
    if (isFolder) {
      RemoveTree(p);
    } else {
      SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(p.c_str());
    }
  });
  return RemoveDirectoryA(folder.c_str()) != 0;
}

void CollectTree(const std::string& root, const std::string& prefix, std::vector<std::string>& out) {
  ForEachEntry(root + (prefix.empty() ? "" : "\\" + prefix.substr(0, prefix.size() - 1)),
               [&](const std::string& name, bool folder) {
                 if (folder) {
                   out.push_back(prefix + name + "\\");
                   CollectTree(root, prefix + name + "\\", out);
                 } else {
                   out.push_back(prefix + name);
                 }
               });
}

bool Matches(HWND w, const WindowQuery& query) {
  if (!query.className.empty() && ClassOf(w) != query.className) return false;
  if (query.caption && CaptionOf(w) != *query.caption) return false;
  bool visible = IsWindowVisible(w) != FALSE;
  if (query.visibility == WindowQuery::Visibility::Visible && !visible) return false;
  if (query.visibility == WindowQuery::Visibility::Hidden && visible) return false;
  return true;
}

struct EnumContext {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindowOf(HWND w, LPARAM p) {
  auto* c = reinterpret_cast<EnumContext*>(p);
  DWORD owner = 0;
  GetWindowThreadProcessId(w, &owner);
  if (owner == c->pid) c->found.push_back(w);
  return TRUE;
}

std::vector<HWND> TopWindowsOf(DWORD pid) {
  EnumContext ctx{pid, {}};
  EnumWindows(CollectWindowOf, reinterpret_cast<LPARAM>(&ctx));
  return ctx.found;
}

void SendInputs(std::vector<INPUT> inputs) {
  if (!inputs.empty()) SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT KeyInput(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}

INPUT MouseInput(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  return in;
}

struct ComScope {
  HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ~ComScope() {
    if (SUCCEEDED(hr)) CoUninitialize();
  }
};

}  // namespace

DWORD DefaultTimeout() {
  if (g_timeout == 0) {
    g_timeout = 20000;
    if (const char* env = std::getenv("VELMORA_E2E_TIMEOUT_MS")) {
      long v = std::strtol(env, nullptr, 10);
      if (v > 0) g_timeout = static_cast<DWORD>(v);
    }
  }
  return g_timeout;
}

void SetDefaultTimeout(DWORD ms) { g_timeout = ms; }

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    if (GetTickCount() - start >= timeoutMs) return done();
    Sleep(kPollMs);
  }
}

std::string UnixToWinePath(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  std::string out = "Z:" + path;
  std::replace(out.begin(), out.end(), '/', '\\');
  return out;
}

std::string StageFolder() { return UnixToWinePath(VELMORA_STAGE_DIR); }

bool SameText(const std::string& a, const std::string& b) {
  return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// ---------------------------------------------------------------------------
ProgramFolder::ProgramFolder(HelpFiles help) {
  static std::atomic<int> counter{0};
  char temp[MAX_PATH];
  DWORD n = GetTempPathA(MAX_PATH, temp);
  if (n == 0 || n >= MAX_PATH) throw std::runtime_error("GetTempPathA failed");
  std::string root = temp;
  // A test run may put the program folders elsewhere, e.g. on a small file
  // system the full-disk test fills.
  char elsewhere[MAX_PATH] = "";
  const DWORD m = GetEnvironmentVariableA("VELMORA_E2E_ROOT", elsewhere, MAX_PATH);
  if (m > 0 && m < MAX_PATH) root = elsewhere;
  if (!root.empty() && root.back() == '\\') root.pop_back();
  // Long names, so the program's idea of its own folder matches ours; a blank
  // in the name catches command lines and paths that are not quoted.
  char longRoot[MAX_PATH];
  if (GetLongPathNameA(root.c_str(), longRoot, MAX_PATH)) root = longRoot;
  base_ = root + "\\velmora e2e " + std::to_string(GetCurrentProcessId()) + "-" +
          std::to_string(counter++) + "-" + std::to_string(GetTickCount());
  path_ = base_ + "\\Velmora App";
  work_ = base_ + "\\elsewhere";
  std::string stage = StageFolder();
  if (!FileExists(stage + "\\Velmora.exe"))
    throw std::runtime_error("no Velmora.exe in the stage folder " + stage);
  if (!CreateDirectoryA(base_.c_str(), nullptr) || !CreateDirectoryA(work_.c_str(), nullptr) ||
      !CopyTree(stage, path_,
                help == HelpFiles::Copy
                    ? std::vector<std::string>{}
                    : std::vector<std::string>{"velmora.hlp", "velmora.cnt", "velmora.chm"})) {
    RemoveTree(base_);
    throw std::runtime_error("cannot make the program folder " + path_);
  }
}

ProgramFolder::~ProgramFolder() {
  // The program's files may stay locked for a moment after its process ended.
  WaitUntil([&] { return RemoveTree(base_) || !FolderExists(base_); }, 5000);
}

std::string ProgramFolder::PathOf(const std::string& name) const { return path_ + "\\" + name; }

bool ProgramFolder::Write(const std::string& name, const std::string& bytes) const {
  return WriteBytes(PathOf(name), bytes);
}

std::optional<std::string> ProgramFolder::Read(const std::string& name) const {
  return ReadBytes(PathOf(name));
}

bool ProgramFolder::MakeFolder(const std::string& name) const {
  return CreateDirectoryA(PathOf(name).c_str(), nullptr) != 0;
}

bool PathExists(const std::string& path) { return FileExists(path); }

bool WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = bytes.empty() ||
            WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
  return ok && written == bytes.size();
}

std::optional<std::string> ReadBytes(const std::string& path) {
  // Sharing delete too: a test polls files that the program replaces through
  // a rename, and a reader without it makes that rename fail.
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string out;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
  CloseHandle(h);
  return out;
}

bool ProgramFolder::Exists(const std::string& name) const { return FileExists(PathOf(name)); }

bool ProgramFolder::IsFolder(const std::string& name) const { return FolderExists(PathOf(name)); }

bool ProgramFolder::Remove(const std::string& name) const {
  SetFileAttributesA(PathOf(name).c_str(), FILE_ATTRIBUTE_NORMAL);
  return DeleteFileA(PathOf(name).c_str()) != 0;
}

bool ProgramFolder::Corrupt(const std::string& name) const {
  auto old = Read(name);
  if (!old) return false;
  std::string junk(std::max<size_t>(old->size(), 512), '\0');
  for (size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<char>((i * 37 + 11) & 0xFF);
  junk[0] = 'M';  // still looks like an executable at first glance
  junk[1] = 'Z';
  return Write(name, junk);
}

bool ProgramFolder::SetReadOnly(const std::string& name, bool readOnly) const {
  return SetFileAttributesA(PathOf(name).c_str(),
                            readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL) != 0;
}

bool ProgramFolder::IsReadOnly(const std::string& name) const {
  DWORD a = GetFileAttributesA(PathOf(name).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY);
}

bool ProgramFolder::SetFolderReadOnly(bool readOnly) const {
  return SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_DIRECTORY |
                                               (readOnly ? FILE_ATTRIBUTE_READONLY : 0)) != 0;
}

std::vector<std::string> ProgramFolder::List() const { return ListTree(path_); }

std::vector<std::string> ListTree(const std::string& folder) {
  std::vector<std::string> out;
  CollectTree(folder, "", out);
  std::sort(out.begin(), out.end());
  return out;
}

// ---------------------------------------------------------------------------
WindowQuery Visible(const std::string& className) {
  return {className, std::nullopt, WindowQuery::Visibility::Visible};
}
WindowQuery Hidden(const std::string& className) {
  return {className, std::nullopt, WindowQuery::Visibility::Hidden};
}
WindowQuery AnyState(const std::string& className) {
  return {className, std::nullopt, WindowQuery::Visibility::Any};
}

std::string ClassOf(HWND window) {
  char buf[256] = "";
  GetClassNameA(window, buf, sizeof buf);
  return buf;
}

std::string CaptionOf(HWND window) {
  char buf[1024] = "";
  GetWindowTextA(window, buf, sizeof buf);
  return buf;
}

std::string ControlText(HWND control) {
  // The text a control keeps through DefWindowProc can be read without a
  // message, so a busy program (one in the middle of its start-up) does not
  // block the reader; other controls answer WM_GETTEXT once their thread pumps.
  char buf[4096] = "";
  if (GetWindowTextA(control, buf, sizeof buf) > 0) return buf;
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutA(control, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &len)) return {};
  std::string text(len + 1, '\0');
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                           SMTO_NORMAL, 5000, &got))
    return {};
  text.resize(std::min<size_t>(got, len));
  return text;
}

std::string ChildText(HWND parent, int controlId) {
  HWND c = GetDlgItem(parent, controlId);
  return c ? ControlText(c) : std::string();
}

RECT WindowRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

std::vector<HWND> FindWindows(DWORD pid, const WindowQuery& query) {
  std::vector<HWND> out;
  for (HWND w : TopWindowsOf(pid))
    if (Matches(w, query)) out.push_back(w);
  return out;
}

bool MessageBoxWindow::HasButton(int id) const { return GetDlgItem(window, id) != nullptr; }

bool MessageBoxWindow::Press(int id) const {
  HWND button = GetDlgItem(window, id);
  if (!button) return false;
  // The notification the button sends when clicked. BM_CLICK fakes a press
  // with capture and focus, which loses the click when the box is activated in
  // the middle of it (seen under Wine right after a box appears).
  return PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(button)) != 0;
}

bool MessageBoxWindow::WaitGone(DWORD timeoutMs) const {
  return e2e::WaitUntil([&] { return Gone(); }, timeoutMs);
}

std::vector<MessageBoxWindow> MessageBoxesOf(DWORD pid) {
  std::vector<MessageBoxWindow> out;
  for (HWND w : FindWindows(pid, AnyState("#32770"))) {
    MessageBoxWindow box;
    box.window = w;
    // Looked at before the texts: a box on the screen has all of them set.
    box.visible = IsWindowVisible(w) != FALSE;
    box.caption = CaptionOf(w);
    box.text = ChildText(w, 0xFFFF);
    out.push_back(box);
  }
  return out;
}

// ---------------------------------------------------------------------------
App::App(const ProgramFolder& folder) : folder_(folder) {}

App::~App() {
  if (Running() && !Close(5000)) Kill();
  if (pi_.hProcess) CloseHandle(pi_.hProcess);
  if (pi_.hThread) CloseHandle(pi_.hThread);
}

bool App::Start(bool testHooks) {
  if (pi_.hProcess) {
    error_ = "already started";
    return false;
  }
  std::string exe = folder_.PathOf("Velmora.exe");
  std::string cmd = "\"" + exe + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  // The program answers the tests' messages (a rebuild, its object counts)
  // only when its environment says a test started it.
  SetEnvironmentVariableA("VELMORA_TEST_HOOKS", testHooks ? "1" : nullptr);
  if (!CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder_.WorkFolder().c_str(), &si, &pi_)) {
    error_ = "CreateProcessA failed: " + std::to_string(GetLastError());
    pi_ = {};
    return false;
  }
  pid_ = pi_.dwProcessId;
  return true;
}

bool App::Running() const {
  return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

bool App::WaitExit(DWORD timeoutMs) {
  if (!pi_.hProcess) return true;
  return WaitWhile([&] { return Running(); }, timeoutMs);
}

DWORD App::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (pi_.hProcess) GetExitCodeProcess(pi_.hProcess, &code);
  return code;
}

bool App::ExitedCleanly() const {
  DWORD code = ExitCode();
  return !Running() && code != STILL_ACTIVE && code < 0xC0000000u;
}

bool App::Close(DWORD timeoutMs) {
  if (!Running()) return true;
  bool asked = false;
  for (HWND w : FindWindows(pid_, AnyState("VelmoraMinimize")))
    asked = PostMessageA(w, WM_CLOSE, 0, 0) || asked;
  if (asked && WaitExit(timeoutMs)) return true;
  Kill();
  return false;
}

void App::Kill() {
  if (!Running()) return;
  TerminateProcess(pi_.hProcess, 0xDEAD);
  WaitForSingleObject(pi_.hProcess, 10000);
}

void App::Observe() {
  if (!pid_) return;
  for (HWND w : TopWindowsOf(pid_)) {
    std::string cls = ClassOf(w);
    if (IsWindowVisible(w)) seenClasses_.insert(cls);
    if (cls != "#32770" || seenBoxes_.count(w)) continue;
    // A box caught between its creation and its initialisation has no text yet;
    // it counts once it has one or is on the screen.
    std::string text = ChildText(w, 0xFFFF);
    if (text.empty() && !IsWindowVisible(w)) continue;
    seenBoxes_.insert(w);
    seenMessages_.push_back(text);
  }
}

std::string App::Report() const {
  std::string r = Running() ? "[running" : "[ended, exit code " + std::to_string(ExitCode());
  r += "; windows seen:";
  for (const auto& cls : seenClasses_) r += " " + cls;
  r += "; messages seen:";
  for (const auto& text : seenMessages_) r += " \"" + text + "\"";
  return r + "]";
}

HWND App::Find(const WindowQuery& query) {
  Observe();
  auto found = FindWindows(pid_, query);
  return found.empty() ? nullptr : found.front();
}

bool App::WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  return e2e::WaitUntil(
      [&] {
        Observe();
        if (!done()) return false;
        // What satisfied the wait may have come up since the last look.
        Observe();
        return true;
      },
      timeoutMs);
}

bool App::WaitWhile(const std::function<bool()>& busy, DWORD timeoutMs) {
  return WaitUntil([&] { return !busy(); }, timeoutMs);
}

HWND App::WaitForWindow(const WindowQuery& query, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        auto all = FindWindows(pid_, query);
        if (!all.empty()) found = all.front();
        return found != nullptr || !Running();
      },
      timeoutMs);
  return found;
}

bool App::WaitStarted(DWORD timeoutMs) {
  return WaitUntil(
      [&] {
        return !Running() || (!FindWindows(pid_, Visible("VelmoraToolbar")).empty() &&
                              !FindWindows(pid_, AnyState("VelmoraMinimize")).empty());
      },
      timeoutMs) &&
         Running();
}

std::vector<MessageBoxWindow> App::MessageBoxes() {
  Observe();
  return MessageBoxesOf(pid_);
}

std::optional<MessageBoxWindow> App::WaitForMessageBox(const std::string& textPart,
                                                       DWORD timeoutMs) {
  std::optional<MessageBoxWindow> found;
  WaitUntil(
      [&] {
        for (auto& box : MessageBoxesOf(pid_)) {
          // Only a box on the screen is ready: while it initialises it still
          // has every button of the template.
          if (box.visible && box.text.find(textPart) != std::string::npos) {
            found = box;
            return true;
          }
        }
        return !Running();
      },
      timeoutMs);
  return found;
}

bool App::Sync(DWORD timeoutMs) {
  for (HWND w : TopWindowsOf(pid_)) {
    DWORD_PTR ignored = 0;
    if (SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored)) {
      Observe();
      return true;
    }
  }
  return false;
}

void KillStrayInstances() {
  for (const char* cls : kProgramClasses) {
    for (HWND w = FindWindowA(cls, nullptr); w; w = FindWindowA(cls, nullptr)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
      if (!h) break;
      TerminateProcess(h, 0xDEAD);
      WaitForSingleObject(h, 10000);
      CloseHandle(h);
      // A window of an ended process may linger until the server notices.
      WaitUntil([&] { return !IsWindow(w); }, 5000);
      if (IsWindow(w)) break;
    }
  }
}

// ---------------------------------------------------------------------------
namespace {
constexpr char kHelpViewerClass[] = "MS_WINHELP";

BOOL CALLBACK CollectHelpViewer(HWND w, LPARAM p) {
  if (ClassOf(w) == kHelpViewerClass) reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
  return TRUE;
}

std::vector<HWND> AllHelpViewers() {
  std::vector<HWND> found;
  EnumWindows(CollectHelpViewer, reinterpret_cast<LPARAM>(&found));
  return found;
}

BOOL CALLBACK FindRichEdit(HWND w, LPARAM p) {
  if (ClassOf(w).rfind("RichEdit", 0) == 0) {
    *reinterpret_cast<HWND*>(p) = w;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

std::vector<HWND> HelpViewerWindows() {
  std::vector<HWND> visible;
  for (HWND w : AllHelpViewers())
    if (IsWindowVisible(w)) visible.push_back(w);
  return visible;
}

std::string HelpViewerText(HWND viewer) {
  HWND text = nullptr;
  EnumChildWindows(viewer, FindRichEdit, reinterpret_cast<LPARAM>(&text));
  return text ? ControlText(text) : std::string();
}

bool CloseHelpViewers() {
  for (HWND w : AllHelpViewers()) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    PostMessageA(w, WM_CLOSE, 0, 0);
    if (h) {
      if (WaitForSingleObject(h, 5000) == WAIT_TIMEOUT) {
        TerminateProcess(h, 0xDEAD);
        WaitForSingleObject(h, 10000);
      }
      CloseHandle(h);
    }
  }
  return WaitUntil([] { return AllHelpViewers().empty(); }, 5000);
}

// ---------------------------------------------------------------------------
bool BringToForeground(HWND window) {
  if (GetForegroundWindow() == window) return true;
  // Windows only lets the process that last had input change the foreground; a
  // key event of our own makes us that process.
  SendInputs({KeyInput(VK_MENU, false), KeyInput(VK_MENU, true)});
  SetForegroundWindow(window);
  return WaitUntil([&] { return GetForegroundWindow() == window; }, 2000);
}

namespace {
INPUT AbsoluteMouseInput(POINT screen, DWORD flags) {
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  INPUT in = MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags);
  in.mi.dx = static_cast<LONG>((screen.x * 65535LL + cx / 2) / std::max(cx - 1, 1));
  in.mi.dy = static_cast<LONG>((screen.y * 65535LL + cy / 2) / std::max(cy - 1, 1));
  return in;
}
}  // namespace

void MoveMouse(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  // Absolute input as well, so the window under the point gets WM_MOUSEMOVE.
  SendInputs({AbsoluteMouseInput(screen, 0)});
}

void LeftButtonAt(POINT screen, bool down) {
  SendInputs({AbsoluteMouseInput(screen, down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP)});
}

void ClickAt(POINT screen, bool rightButton) {
  MoveMouse(screen);
  SendInputs({MouseInput(rightButton ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN),
              MouseInput(rightButton ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP)});
}

void DoubleClickAt(POINT screen) {
  MoveMouse(screen);
  SendInputs({MouseInput(MOUSEEVENTF_LEFTDOWN), MouseInput(MOUSEEVENTF_LEFTUP),
              MouseInput(MOUSEEVENTF_LEFTDOWN), MouseInput(MOUSEEVENTF_LEFTUP)});
}

void ClickThenKeys(POINT screen, const std::vector<WORD>& vks) {
  MoveMouse(screen);
  std::vector<INPUT> in{MouseInput(MOUSEEVENTF_LEFTDOWN), MouseInput(MOUSEEVENTF_LEFTUP)};
  for (WORD vk : vks) {
    in.push_back(KeyInput(vk, false));
    in.push_back(KeyInput(vk, true));
  }
  SendInputs(in);
}

void PressKey(WORD vk, const std::vector<WORD>& modifiers) {
  std::vector<INPUT> in;
  for (WORD m : modifiers) in.push_back(KeyInput(m, false));
  in.push_back(KeyInput(vk, false));
  in.push_back(KeyInput(vk, true));
  for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) in.push_back(KeyInput(*it, true));
  SendInputs(in);
}

void TypeText(const std::string& text) {
  for (char ch : text) {
    SHORT scan = VkKeyScanA(ch);
    if (scan == -1) {
      // No key for it on this layout: send the character itself.
      INPUT down{}, up{};
      down.type = up.type = INPUT_KEYBOARD;
      down.ki.wScan = up.ki.wScan = static_cast<unsigned char>(ch);
      down.ki.dwFlags = KEYEVENTF_UNICODE;
      up.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
      SendInputs({down, up});
      continue;
    }
    std::vector<WORD> mods;
    if (scan & 0x100) mods.push_back(VK_SHIFT);
    if (scan & 0x200) mods.push_back(VK_CONTROL);
    if (scan & 0x400) mods.push_back(VK_MENU);
    PressKey(static_cast<WORD>(scan & 0xFF), mods);
  }
}

POINT CenterOf(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// ---------------------------------------------------------------------------
std::string StartupFolder() {
  char buf[MAX_PATH] = "";
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_STARTUP | CSIDL_FLAG_DONT_VERIFY, nullptr,
                              SHGFP_TYPE_CURRENT, buf)))
    return {};
  std::string s = buf;
  if (!s.empty() && s.back() == '\\') s.pop_back();
  return s;
}

std::string StartupLinkPath() { return StartupFolder() + "\\Velmora.lnk"; }

bool RemoveStartupLink() {
  std::string link = StartupLinkPath();
  SetFileAttributesA(link.c_str(), FILE_ATTRIBUTE_NORMAL);
  return DeleteFileA(link.c_str()) || !FileExists(link);
}

StartupFolderAway::StartupFolderAway() : folder_(StartupFolder()) {
  if (folder_.empty()) return;
  aside_ = folder_ + " (moved away by e2e " + std::to_string(GetCurrentProcessId()) + ")";
  existed_ = FolderExists(folder_);
  ok_ = !existed_ || MoveFileA(folder_.c_str(), aside_.c_str());
  ok_ = ok_ && !FileExists(folder_);
}

StartupFolderAway::~StartupFolderAway() {
  if (!ok_) return;
  if (FileExists(folder_)) RemoveTree(folder_);
  if (existed_) {
    MoveFileA(aside_.c_str(), folder_.c_str());
  } else {
    CreateDirectoryA(folder_.c_str(), nullptr);
  }
}

std::optional<ShortcutInfo> ReadShortcut(const std::string& linkPath) {
  ComScope com;
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link))))
    return std::nullopt;
  std::optional<ShortcutInfo> out;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(file->Load(wide, STGM_READ))) {
      ShortcutInfo info;
      char buf[MAX_PATH * 2] = "";
      if (SUCCEEDED(link->GetPath(buf, sizeof buf, nullptr, SLGP_RAWPATH))) info.target = buf;
      buf[0] = '\0';
      if (SUCCEEDED(link->GetWorkingDirectory(buf, sizeof buf))) info.workingFolder = buf;
      buf[0] = '\0';
      if (SUCCEEDED(link->GetArguments(buf, sizeof buf))) info.arguments = buf;
      out = info;
    }
    file->Release();
  }
  link->Release();
  return out;
}

// ---------------------------------------------------------------------------
std::string ItemRecord(const std::string& title, const std::string& fileName,
                       const std::string& fileExe) {
  auto field = [](std::string s, size_t width) {
    s.resize(width, ' ');
    return s;
  };
  return field(title, 50) + field(fileName, 260) + field(fileExe, 260);
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

std::string SelfPath() {
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  return self;
}

bool ProcessRunning(const std::string& exeName) {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 pe{};
  pe.dwSize = sizeof pe;
  bool found = false;
  for (BOOL ok = Process32First(snap, &pe); ok && !found; ok = Process32Next(snap, &pe))
    found = lstrcmpiA(pe.szExeFile, exeName.c_str()) == 0 &&
            pe.th32ProcessID != GetCurrentProcessId();
  CloseHandle(snap);
  return found;
}

namespace {
const char* const kMarkerProgram = "vl_fake_browser.exe";
}

// <build>\tests\e2e\e2e_tests.exe and <build>\tests\win\vl_fake_browser.exe.
std::string MarkerProgramPath() {
  const std::string guess = FolderOf(SelfPath()) + "\\..\\win\\" + kMarkerProgram;
  char full[MAX_PATH] = "";
  if (!GetFullPathNameA(guess.c_str(), MAX_PATH, full, nullptr)) return guess;
  return full;
}

bool MarkerProgramRunning() { return ProcessRunning(kMarkerProgram); }

std::vector<MarkerRun> MarkerRuns(const std::string& marker) {
  std::vector<MarkerRun> runs;
  const auto bytes = ReadBytes(marker);
  if (!bytes) return runs;
  MarkerRun run;
  size_t pos = 0;
  for (size_t end; (end = bytes->find('\n', pos)) != std::string::npos; pos = end + 1) {
    const std::string line = bytes->substr(pos, end - pos);
    if (line.rfind("cwd=", 0) == 0) run.cwd = line.substr(4);
    if (line.rfind("arg=", 0) == 0) run.args.push_back(line.substr(4));
    if (line == "end") runs.push_back(std::exchange(run, MarkerRun{}));
  }
  return runs;
}

int ScreenDpi(int axis) {
  HDC dc = GetDC(nullptr);
  const int dpi = GetDeviceCaps(dc, axis);
  ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

double TwipsPerPixelX() { return 1440.0 / ScreenDpi(LOGPIXELSX); }
double TwipsPerPixelY() { return 1440.0 / ScreenDpi(LOGPIXELSY); }

bool Capture::SameArea(const Capture& o, int top, int bottom) const {
  if (width != o.width || height != o.height) return false;
  return std::equal(pixels.begin() + top * width, pixels.begin() + bottom * width,
                    o.pixels.begin() + top * width);
}

Capture CaptureClient(HWND window) {
  Capture c;
  RECT client{};
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  c.width = client.right;
  c.height = client.bottom;
  if (c.width <= 0 || c.height <= 0) return Capture{};
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, c.width, c.height);
  HGDIOBJ old = SelectObject(mem, bitmap);
  BitBlt(mem, 0, 0, c.width, c.height, screen, origin.x, origin.y, SRCCOPY);
  SelectObject(mem, old);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = c.width;
  bi.bmiHeader.biHeight = -c.height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  c.pixels.resize(static_cast<size_t>(c.width) * c.height);
  GetDIBits(mem, bitmap, 0, c.height, c.pixels.data(), &bi, DIB_RGB_COLORS);
  for (DWORD& p : c.pixels) p &= 0xFFFFFF;
  DeleteObject(bitmap);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return c;
}

DWORD AsPixel(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

}  // namespace velmora::e2e
