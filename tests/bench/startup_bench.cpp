// Start-up benchmark: time from process start to the toolbar window being
// visible, for Velmora with 30 menu buttons and 20 single buttons, next to the
// same measure for a program that only shows one window. Both run in turns in
// the same process, on the same machine, so the ratio is what counts.
//
//   startup_bench.exe <stage folder> <minimal_window.exe> [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "model/item_record.h"

namespace {

using velmora::EncodeFile;
using velmora::ItemRecord;

void WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD put = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
  CloseHandle(h);
}

bool CopyFolderFiles(const std::string& from, const std::string& to) {
  WIN32_FIND_DATAA d;
  HANDLE h = FindFirstFileA((from + "\\*").c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) return false;
  do {
    if (!(d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      CopyFileA((from + "\\" + d.cFileName).c_str(), (to + "\\" + d.cFileName).c_str(), FALSE);
  } while (FindNextFileA(h, &d));
  FindClose(h);
  return true;
}

// A program folder configured like a well-used installation.
std::string MakeProgramFolder(const std::string& stage) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string dir = std::string(temp) + "velmora-bench-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(dir.c_str(), nullptr);
  CopyFolderFiles(stage, dir);
  CreateDirectoryA((dir + "\\Menus").c_str(), nullptr);
  CreateDirectoryA((dir + "\\Icons").c_str(), nullptr);
  // First start done, content installed, clean-up done, no splash.
  WriteBytes(dir + "\\vlmra250.dat", "1100000010000001");
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  const std::string notepad = std::string(windows) + "\\notepad.exe";
  const std::string regedit = std::string(windows) + "\\regedit.exe";
  for (int i = 1; i <= 30; ++i) {
    std::vector<ItemRecord> records{{"Menu " + std::to_string(i), i % 2 ? notepad : regedit, ""}};
    for (int e = 1; e <= 10; ++e)
      records.push_back({"Entry " + std::to_string(e), notepad, notepad});
    WriteBytes(dir + "\\Menus\\" + velmora::EditorFileName(i, true), EncodeFile(records));
  }
  for (int i = 1; i <= 20; ++i)
    WriteBytes(dir + "\\Menus\\" + velmora::EditorFileName(i, false),
               EncodeFile({{"Button " + std::to_string(i), i % 2 ? regedit : notepad, notepad}}));
  return dir;
}

double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

struct Visible {
  DWORD pid;
  const char* cls;
  HWND found = nullptr;
};

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM lp) {
  auto* v = reinterpret_cast<Visible*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  char cls[64];
  if (pid == v->pid && IsWindowVisible(hwnd) && GetClassNameA(hwnd, cls, sizeof cls) &&
      lstrcmpA(cls, v->cls) == 0) {
    v->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// Milliseconds from CreateProcess to a visible window of `cls`; -1 on failure.
double TimeToWindow(const std::string& exe, const std::string& folder, const char* cls) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string cmd = "\"" + exe + "\"";
  const double start = Now();
  if (!CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &si, &pi))
    return -1;
  double elapsed = -1;
  for (;;) {
    Visible v{pi.dwProcessId, cls};
    EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&v));
    if (v.found) {
      elapsed = Now() - start;
      PostMessageA(v.found, WM_CLOSE, 0, 0);
      break;
    }
    if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0 || Now() - start > 30000) break;
  }
  // Velmora ends through its minimize window.
  if (HWND minimize = FindWindowA("VelmoraMinimize", nullptr)) PostMessageA(minimize, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return elapsed;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup_bench <stage folder> <minimal_window.exe> [runs]\n");
    return 2;
  }
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 7;
  const std::string folder = MakeProgramFolder(argv[1]);
  const std::string velmora = folder + "\\Velmora.exe";
  // One untimed start each warms the file cache and Wine's loaders.
  TimeToWindow(velmora, folder, "VelmoraToolbar");
  TimeToWindow(argv[2], folder, "MinimalWindow");
  std::vector<double> program, minimal;
  for (int i = 0; i < runs; ++i) {
    program.push_back(TimeToWindow(velmora, folder, "VelmoraToolbar"));
    minimal.push_back(TimeToWindow(argv[2], folder, "MinimalWindow"));
  }
  const double p = Median(program), m = Median(minimal);
  std::printf("start-up to visible toolbar, 30 menu + 20 single buttons, median of %d runs\n", runs);
  std::printf("  Velmora        %8.1f ms\n", p);
  std::printf("  minimal window %8.1f ms\n", m);
  std::printf("  ratio          %8.2f (goal: at most 1.5)\n", m > 0 ? p / m : 0.0);
  return 0;
}
