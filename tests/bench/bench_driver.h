// What the whole-program benchmarks share: a program folder laid out like an
// installation, starting and ending Velmora, finding its windows, clicking as
// a user does, and telling from the screen whether a window has been painted.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "model/item_record.h"

namespace bench {

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD put = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
  CloseHandle(h);
}

inline void CopyFolderFiles(const std::string& from, const std::string& to) {
  WIN32_FIND_DATAA d;
  HANDLE h = FindFirstFileA((from + "\\*").c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    if (!(d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      CopyFileA((from + "\\" + d.cFileName).c_str(), (to + "\\" + d.cFileName).c_str(), FALSE);
  } while (FindNextFileA(h, &d));
  FindClose(h);
}

// Files whose icons the shell knows, so that entries draw real file icons.
inline std::vector<std::string> IconFiles() {
  char w[MAX_PATH];
  GetWindowsDirectoryA(w, MAX_PATH);
  const std::string win = w;
  return {win + "\\notepad.exe",          win + "\\regedit.exe",
          win + "\\explorer.exe",         win + "\\winhlp32.exe",
          win + "\\system32\\cmd.exe",    win + "\\system32\\control.exe",
          win + "\\system32\\taskmgr.exe", win + "\\win.ini",
          win + "\\system32\\wordpad.exe", win + "\\system32\\winemine.exe"};
}

// A menu file's records: the button record, then `entries` entries with file icons.
inline std::vector<velmora::ItemRecord> MenuRecords(const std::string& title, int entries) {
  const auto files = IconFiles();
  std::vector<velmora::ItemRecord> records{{title, files[0], ""}};
  for (int e = 1; e <= entries; ++e) {
    const std::string& file = files[static_cast<std::size_t>(e) % files.size()];
    records.push_back({"Entry " + std::to_string(e), file, file});
  }
  return records;
}

// A fresh program folder: the staged files, options past the first start, and
// one menu button per element of `menus` (button 2 holds menus[0], ...).
inline std::string MakeProgramFolder(const std::string& stage, const std::string& name,
                                     const std::vector<int>& menus, int singles) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string dir =
      std::string(temp) + name + "-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(dir.c_str(), nullptr);
  CopyFolderFiles(stage, dir);
  CreateDirectoryA((dir + "\\Menus").c_str(), nullptr);
  CreateDirectoryA((dir + "\\Icons").c_str(), nullptr);
  WriteBytes(dir + "\\vlmra250.dat", "1100000010000001");
  const auto files = IconFiles();
  for (std::size_t i = 0; i < menus.size(); ++i)
    WriteBytes(dir + "\\Menus\\" + velmora::EditorFileName(static_cast<int>(i) + 1, true),
               velmora::EncodeFile(MenuRecords("Menu " + std::to_string(i + 1), menus[i])));
  for (int i = 1; i <= singles; ++i)
    WriteBytes(dir + "\\Menus\\" + velmora::EditorFileName(i, false),
               velmora::EncodeFile({{"Button " + std::to_string(i),
                                     files[static_cast<std::size_t>(i) % files.size()], files[0]}}));
  return dir;
}

inline double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// The median of the measurements that succeeded (negative ones failed).
inline double Median(std::vector<double> v) {
  v.erase(std::remove_if(v.begin(), v.end(), [](double x) { return x < 0; }), v.end());
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

struct Search {
  DWORD pid;
  const char* cls;
  bool visibleOnly;
  HWND found = nullptr;
};

inline BOOL CALLBACK FindProc(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  char cls[64];
  if (pid == s->pid && (!s->visibleOnly || IsWindowVisible(hwnd)) &&
      GetClassNameA(hwnd, cls, sizeof cls) && lstrcmpA(cls, s->cls) == 0) {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// A top-level window of the process with class `cls`.
inline HWND FindOf(DWORD pid, const char* cls, bool visibleOnly) {
  Search s{pid, cls, visibleOnly};
  EnumWindows(FindProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

// Polls `done` until it holds or `timeoutMs` pass; a yield between polls
// leaves the other core to the program and Wine.
template <class F>
bool WaitFor(F done, double timeoutMs) {
  const double start = Now();
  for (;;) {
    if (done()) return true;
    if (Now() - start > timeoutMs) return false;
    Sleep(1);
  }
}

struct Running {
  PROCESS_INFORMATION pi{};
  HWND main = nullptr;
};

// Starts `exe` in `folder` and waits for its visible window of class `cls`.
inline Running Start(const std::string& exe, const std::string& folder, const char* cls) {
  Running r;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  std::string cmd = "\"" + exe + "\"";
  // The program answers the benchmarks' messages only when started so.
  SetEnvironmentVariableA("VELMORA_TEST_HOOKS", "1");
  if (!CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &si, &r.pi))
    return r;
  WaitFor([&] { return (r.main = FindOf(r.pi.dwProcessId, cls, true)) != nullptr; }, 30000);
  return r;
}

inline void Stop(Running& r) {
  if (!r.pi.hProcess) return;
  // Velmora ends through its minimize window; other programs on WM_CLOSE.
  if (HWND minimize = FindOf(r.pi.dwProcessId, "VelmoraMinimize", false))
    PostMessageA(minimize, WM_CLOSE, 0, 0);
  else if (r.main)
    PostMessageA(r.main, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(r.pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(r.pi.hProcess, 1);
  CloseHandle(r.pi.hThread);
  CloseHandle(r.pi.hProcess);
  r = Running{};
}

inline void MoveTo(POINT p) { SetCursorPos(p.x, p.y); }

// A left click where the pointer is, as the hardware would send it.
inline void Click() {
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof(INPUT));
}

// The centre of menu button `index` (1 is the program's own) on the screen.
inline POINT ToolbarButtonCentre(HWND toolbar, int index) {
  HWND bar = FindWindowExA(toolbar, nullptr, "ToolbarWindow32", nullptr);
  RECT bar_r{}, win{};
  GetWindowRect(bar, &bar_r);
  GetWindowRect(toolbar, &win);
  const int width = LOWORD(SendMessageA(bar, TB_GETBUTTONSIZE, 0, 0));
  // Only the rows below the screen's top edge can be clicked.
  const int top = std::max<int>(win.top, 0);
  return POINT{bar_r.left + (index - 1) * width + width / 2, (top + win.bottom) / 2};
}

// The client area's pixels as on the screen, 0x00RRGGBB, row by row from the top.
inline std::vector<std::uint32_t> CaptureClient(HWND hwnd, int maxW, int maxH, int* w, int* h) {
  RECT r{};
  GetClientRect(hwnd, &r);
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  *w = std::min<int>(r.right, maxW);
  *h = std::min<int>(r.bottom, maxH);
  std::vector<std::uint32_t> pixels;
  if (*w <= 0 || *h <= 0) return pixels;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = *w;
  bi.bmiHeader.biHeight = -*h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, dib);
  BitBlt(mem, 0, 0, *w, *h, screen, origin.x, origin.y, SRCCOPY);
  GdiFlush();
  const auto* p = static_cast<const std::uint32_t*>(bits);
  pixels.assign(p, p + static_cast<std::size_t>(*w) * static_cast<std::size_t>(*h));
  for (auto& px : pixels) px &= 0xFFFFFF;
  SelectObject(mem, old);
  DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return pixels;
}

// Painted: the top-left corner of the client area (the first rows: icons and
// captions on the window's face) shows mostly button face and some icon or
// text pixels. Before its first paint a window shows what lay beneath or an
// unfilled surface, which fails one test or the other.
inline bool LooksPainted(HWND hwnd) {
  int w = 0, h = 0;
  const auto pixels = CaptureClient(hwnd, 120, 40, &w, &h);
  if (pixels.empty()) return false;
  const COLORREF c = GetSysColor(COLOR_BTNFACE);
  const std::uint32_t face = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
  const auto faces = static_cast<std::size_t>(std::count(pixels.begin(), pixels.end(), face));
  return faces * 4 >= pixels.size() && pixels.size() - faces >= 8;
}

inline std::uint64_t ClientHash(HWND hwnd) {
  int w = 0, h = 0;
  std::uint64_t hash = 1469598103934665603ull;
  for (std::uint32_t px : CaptureClient(hwnd, 4096, 4096, &w, &h))
    hash = (hash ^ px) * 1099511628211ull;
  return hash;
}

}  // namespace bench
