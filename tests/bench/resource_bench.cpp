// Resource benchmark: what a long session does must leave Velmora's GDI and
// USER object counts where they were and its private memory within 1 MB:
//   * 500 menu openings and closings, paging through every page of a
//     2,000-entry menu, 50 toolbar rebuilds (a program folder of 2,080 entries);
//   * 50 openings of the Customize page on 1,000 entries, each with an edit of
//     a title, "&Update Toolbar" and closing the page;
//   * 50 openings of the icon library from the page, every category shown,
//     then Cancel;
//   * 200 Net Search openings from a single button, each with a search (the
//     browser is nop_browser.exe, named by openurl.ini).
// Each scenario's baseline is taken after one warm-up round, with the counts
// settled: the program builds quick menus while it is idle, so counts are read
// until they hold still.
//
// GetGuiResources answers 0 under Wine, so the program's own live counts are
// read too (the toolbar's "Velmora.ResourceCounts" message), and its windows
// are counted here by enumeration. Kernel handles (GetProcessHandleCount) are
// printed for information.
//
// Every scenario prints a FIGURE line (scripts/bench.sh collects them).
//
//   resource_bench.exe <stage folder> [open/close cycles] [rebuilds]
//                      [--icons <folder with .ico and category .ini files>]
//                      [--browser <nop_browser.exe>] [--customize N] [--library N]
//                      [--searches N]
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "bench_driver.h"
#include "customize/cust_tables.h"

namespace {

struct Counts {
  long gdi = 0, icons = 0, windows = 0;  // our own counts
  DWORD guiGdi = 0, guiUser = 0;         // GetGuiResources
  DWORD handles = 0;                     // kernel handles, for information
  double privateMb = 0;
  std::map<std::string, long> classes;   // the windows by class, to say which ones changed
  long kinds[7] = {};                    // bitmaps, DCs, pens, brushes, fonts, icons, image lists
};

constexpr const char* kKindNames[7] = {"bitmaps", "DCs", "pens", "brushes", "fonts", "icons", "image lists"};

struct WindowTally {
  DWORD pid;
  long count = 0;
  std::map<std::string, long> classes;
};

void TallyClass(HWND hwnd, WindowTally& t) {
  char cls[64] = "";
  GetClassNameA(hwnd, cls, sizeof cls);
  ++t.classes[cls];
}

BOOL CALLBACK CountChild(HWND hwnd, LPARAM lp) {
  ++reinterpret_cast<WindowTally*>(lp)->count;
  TallyClass(hwnd, *reinterpret_cast<WindowTally*>(lp));
  return TRUE;
}

BOOL CALLBACK CountTop(HWND hwnd, LPARAM lp) {
  auto* t = reinterpret_cast<WindowTally*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == t->pid) {
    ++t->count;
    TallyClass(hwnd, *t);
    EnumChildWindows(hwnd, CountChild, lp);
  }
  return TRUE;
}

SIZE_T CommittedPrivate(HANDLE process) {
  SIZE_T total = 0;
  MEMORY_BASIC_INFORMATION m;
  for (const char* at = nullptr; VirtualQueryEx(process, at, &m, sizeof m) == sizeof m;
       at = static_cast<const char*>(m.BaseAddress) + m.RegionSize)
    if (m.State == MEM_COMMIT && m.Type == MEM_PRIVATE) total += m.RegionSize;
  return total;
}

Counts Measure(const bench::Running& r, HWND toolbar) {
  static const UINT message = RegisterWindowMessageA("Velmora.ResourceCounts");
  Counts c;
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(toolbar, message, 0, 0, SMTO_BLOCK, 5000, &answer);
  c.gdi = static_cast<long>(answer);
  SendMessageTimeoutA(toolbar, message, 1, 0, SMTO_BLOCK, 5000, &answer);
  c.icons = static_cast<long>(answer);
  for (int k = 0; k < 7; ++k) {
    SendMessageTimeoutA(toolbar, message, static_cast<WPARAM>(2 + k), 0, SMTO_BLOCK, 5000, &answer);
    c.kinds[k] = static_cast<long>(answer);
  }
  WindowTally tally{r.pi.dwProcessId, 0, {}};
  EnumWindows(CountTop, reinterpret_cast<LPARAM>(&tally));
  c.windows = tally.count;
  c.classes = std::move(tally.classes);
  c.guiGdi = GetGuiResources(r.pi.hProcess, GR_GDIOBJECTS);
  c.guiUser = GetGuiResources(r.pi.hProcess, GR_USEROBJECTS);
  GetProcessHandleCount(r.pi.hProcess, &c.handles);
  PROCESS_MEMORY_COUNTERS_EX pmc{};
  pmc.cb = sizeof pmc;
  if (GetProcessMemoryInfo(r.pi.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc),
                           sizeof pmc))
    c.privateMb = static_cast<double>(pmc.PrivateUsage) / (1024.0 * 1024.0);
  // Wine reports PrivateUsage as 0; committed private pages are the same measure.
  if (c.privateMb == 0) c.privateMb = static_cast<double>(CommittedPrivate(r.pi.hProcess)) / (1024.0 * 1024.0);
  return c;
}

bool Same(const Counts& a, const Counts& b) {
  return a.gdi == b.gdi && a.icons == b.icons && a.windows == b.windows && a.guiGdi == b.guiGdi &&
         a.guiUser == b.guiUser;
}

// The counts once the program's idle work is done: read until they and the
// memory hold still for a second (or 30 seconds pass).
Counts Settle(const bench::Running& r, HWND toolbar) {
  Counts last = Measure(r, toolbar);
  int still = 0;
  const double start = bench::Now();
  while (still < 4 && bench::Now() - start < 30000) {
    Sleep(250);
    const Counts now = Measure(r, toolbar);
    still = Same(now, last) && std::fabs(now.privateMb - last.privateMb) < 0.02 ? still + 1 : 0;
    last = now;
  }
  return last;
}

void Print(const char* when, const Counts& c) {
  std::printf("  %-40s GDI %5ld  icons %4ld  windows %4ld  | GetGuiResources %lu/%lu | handles %4lu"
              " | private %7.2f MB\n",
              when, c.gdi, c.icons, c.windows, c.guiGdi, c.guiUser, c.handles, c.privateMb);
}

constexpr double kMemoryLimitMb = 1.0;

bool Verdict(const char* scenario, const Counts& before, const Counts& after) {
  const double grown = after.privateMb - before.privateMb;
  const bool ok = Same(before, after) && grown < kMemoryLimitMb;
  std::printf("  => %s: objects %s, private memory %+.2f MB, handles %+ld: %s\n", scenario,
              Same(before, after) ? "unchanged" : "CHANGED", grown,
              static_cast<long>(after.handles) - static_cast<long>(before.handles), ok ? "ok" : "LEAK");
  // Which windows and which kinds of GDI object changed, as evidence.
  std::map<std::string, long> classes = after.classes;
  for (const auto& [cls, n] : before.classes) classes[cls] -= n;
  for (const auto& [cls, n] : classes)
    if (n != 0) std::printf("     windows of class %-24s %+ld\n", cls.c_str(), n);
  for (int k = 0; k < 7; ++k)
    if (after.kinds[k] != before.kinds[k])
      std::printf("     %-35s %+ld\n", kKindNames[k], after.kinds[k] - before.kinds[k]);
  std::printf("FIGURE|soak: %s|objects unchanged, private memory < %.0f MB|GDI %ld->%ld, icons %ld->%ld, "
              "windows %ld->%ld, memory %+.2f MB|%s\n",
              scenario, kMemoryLimitMb, before.gdi, after.gdi, before.icons, after.icons, before.windows,
              after.windows, grown, ok ? "ok" : "LEAK");
  std::fflush(stdout);
  return ok;
}

// A scenario that could not be driven to its end is no result: it fails.
bool Failed(const char* scenario, const char* what) {
  std::printf("  => %s: %s\n", scenario, what);
  std::printf("FIGURE|soak: %s|objects unchanged, private memory < %.0f MB|not driven: %s|over\n", scenario,
              kMemoryLimitMb, what);
  std::fflush(stdout);
  return false;
}

HWND OpenMenu(const bench::Running& r, HWND toolbar, int button) {
  bench::MoveTo(bench::ToolbarButtonCentre(toolbar, button));
  bench::Click();
  HWND menu = nullptr;
  bench::WaitFor(
      [&] { return (menu = bench::FindOf(r.pi.dwProcessId, "VelmoraQuickMenu", true)) != nullptr; },
      10000);
  return menu;
}

// A menu is cached with its page image once painted: closing it earlier would
// leave that image to a later opening and look like growth.
HWND OpenPainted(const bench::Running& r, HWND toolbar, int button) {
  HWND menu = OpenMenu(r, toolbar, button);
  if (menu) bench::WaitFor([&] { return bench::LooksPainted(menu); }, 10000);
  return menu;
}

void CloseMenu(HWND menu) {
  if (!menu) return;
  PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  bench::WaitFor([&] { return !IsWindowVisible(menu); }, 5000);
}

// Opens the menu and turns its pages until Page Down no longer changes what
// shows: every page is painted once. Returns the number of pages seen.
int PageThrough(const bench::Running& r, HWND toolbar, int button) {
  HWND menu = OpenPainted(r, toolbar, button);
  if (!menu) return 0;
  int pages = 1;
  std::uint64_t shown = bench::ClientHash(menu);
  for (;;) {
    PostMessageA(menu, WM_KEYDOWN, VK_NEXT, 0);
    std::uint64_t now = shown;
    if (!bench::WaitFor([&] { return (now = bench::ClientHash(menu)) != shown; }, 3000)) break;
    // A page is complete once the picture holds still.
    std::uint64_t settled = now;
    do {
      now = settled;
      Sleep(30);
      settled = bench::ClientHash(menu);
    } while (settled != now);
    shown = settled;
    ++pages;
  }
  CloseMenu(menu);
  return pages;
}

// ---- the menus, paging and rebuilds ------------------------------------------------

bool MenuSoaks(const std::string& stage, int cycles, int rebuilds) {
  // Button 2: 40 entries; 3: 2,000 entries; 4-7: small menus; and single buttons.
  const std::vector<int> menus{40, 2000, 10, 10, 10, 10};
  const std::string folder = bench::MakeProgramFolder(stage, "velmora-resource-bench", menus, 4);
  bench::Running r = bench::Start(folder + "\\Velmora.exe", folder, "VelmoraToolbar");
  if (!r.main) {
    std::fprintf(stderr, "Velmora did not start\n");
    bench::Stop(r);
    return false;
  }
  HWND toolbar = r.main;
  bool ok = true;
  const Counts start = Settle(r, toolbar);
  std::printf("resources of Velmora (own counts: GDI = bitmaps, DCs, pens, brushes, fonts,\n"
              "image lists it created; icons = icons it created; windows = its windows)\n");
  Print("after start-up", start);
  if (start.guiGdi == 0 && start.guiUser == 0)
    std::printf("  (GetGuiResources answers 0 here: the own counts are the measure)\n");

  // 1. Open and close. The window cache keeps each menu once opened, so the
  // baseline is taken with every small menu opened once.
  const std::vector<int> buttons{2, 4, 5, 6, 7};
  for (int b : buttons) CloseMenu(OpenPainted(r, toolbar, b));
  const Counts warm = Settle(r, toolbar);
  Print("menus opened once (cached)", warm);
  for (int i = 0; i < cycles; ++i)
    CloseMenu(OpenPainted(r, toolbar, buttons[static_cast<std::size_t>(i) % buttons.size()]));
  const Counts cycled = Settle(r, toolbar);
  char label[96];
  std::snprintf(label, sizeof label, "after %d open/close", cycles);
  Print(label, cycled);
  std::snprintf(label, sizeof label, "%d quick-menu openings and closings", cycles);
  ok &= Verdict(label, warm, cycled);

  // 2. Paging: the first pass fills the page images, which the menu keeps; a
  // second pass must add nothing.
  const int pages = PageThrough(r, toolbar, 3);
  const Counts paged = Settle(r, toolbar);
  std::printf("  2,000-entry menu: %d pages\n", pages);
  Print("after paging (page images made)", paged);
  PageThrough(r, toolbar, 3);
  const Counts paged2 = Settle(r, toolbar);
  Print("after paging again", paged2);
  ok &= Verdict("paging a 2,000-entry menu", paged, paged2);

  // 3. Rebuilds let every menu window go; the first sets the baseline.
  static const UINT rebuild = RegisterWindowMessageA("Velmora.Rebuild");
  DWORD_PTR unused = 0;
  SendMessageTimeoutA(toolbar, rebuild, 0, 0, SMTO_BLOCK, 30000, &unused);
  const Counts released = Measure(r, toolbar);
  const Counts rebuilt = Settle(r, toolbar);
  Print("right after one rebuild (menus released)", released);
  Print("after one rebuild, idle work done", rebuilt);
  // The menus were built while the program was idle after start, so what
  // they hold shows as what a rebuild gives back; the 2,000-entry menu is
  // nearly all of it.
  std::printf("  memory the menus held, the 2,000-entry one nearly all of it: %.2f MB private, "
              "%ld GDI objects, %ld windows\n",
              paged2.privateMb - released.privateMb, paged2.gdi - released.gdi,
              paged2.windows - released.windows);
  for (int i = 0; i < rebuilds; ++i)
    SendMessageTimeoutA(toolbar, rebuild, 0, 0, SMTO_BLOCK, 30000, &unused);
  const Counts rebuiltAll = Settle(r, toolbar);
  std::snprintf(label, sizeof label, "after %d more rebuilds", rebuilds);
  Print(label, rebuiltAll);
  std::snprintf(label, sizeof label, "%d toolbar rebuilds", rebuilds);
  ok &= Verdict(label, rebuilt, rebuiltAll);
  std::printf("  => private memory after everything against start-up: %+.2f MB\n",
              rebuiltAll.privateMb - start.privateMb);
  bench::Stop(r);
  return ok;
}

// ---- the Customize page, the icon library, Net Search --------------------------------

bool Answers(HWND window, DWORD timeoutMs, LRESULT* result = nullptr, UINT msg = WM_NULL,
             WPARAM wp = 0, LPARAM lp = 0) {
  DWORD_PTR got = 0;
  const bool ok = SendMessageTimeoutA(window, msg, wp, lp, SMTO_NORMAL, timeoutMs, &got) != 0;
  if (result) *result = static_cast<LRESULT>(got);
  return ok;
}

void Key(WORD vk) {
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
}

// "Customize Velmora" chosen in the own menu, as a user does: the own
// button's click, Down, Enter. The page once it is on the screen and answers.
HWND OpenCustomize(const bench::Running& r, HWND toolbar) {
  const DWORD pid = r.pi.dwProcessId;
  for (int attempt = 0; attempt < 3; ++attempt) {
    HWND menu = OpenMenu(r, toolbar, 1);
    if (!menu) continue;
    SetForegroundWindow(menu);
    Answers(menu, 5000);
    Key(VK_DOWN);
    Answers(menu, 5000);
    Key(VK_RETURN);
    HWND page = nullptr;
    if (bench::WaitFor([&] { return (page = bench::FindOf(pid, "VelmoraCustomize", true)) != nullptr; }, 30000) &&
        Answers(page, 60000))
      return page;
    CloseMenu(bench::FindOf(pid, "VelmoraQuickMenu", true));
  }
  return nullptr;
}

std::string TextOf(HWND window) {
  char text[256] = "";
  DWORD_PTR got = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, &got);
  return text;
}

// Selects the first menu button in the page's tree from the keyboard (the
// page follows only the user's selections): Home, then Down. The keys are
// sent, not posted: a posted key could still wait in the queue while the
// edit and "Confirm" that follow, sent, overtake it; Confirm would then meet
// the root, whose message box stops the round.
bool SelectFirstMenu(HWND page) {
  HWND tree = GetDlgItem(page, velmora::kIdTreeView1);
  for (const WPARAM key : {VK_HOME, VK_DOWN}) {
    Answers(tree, 5000, nullptr, WM_KEYDOWN, key, 0);
    Answers(tree, 5000, nullptr, WM_KEYUP, key, 0xC0000001);
  }
  const auto firstMenu = [&] {
    LRESULT caret = 0, root = 0, first = 0;
    Answers(tree, 5000, &caret, TVM_GETNEXTITEM, TVGN_CARET, 0);
    Answers(tree, 5000, &root, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    Answers(tree, 5000, &first, TVM_GETNEXTITEM, TVGN_CHILD, root);
    return caret != 0 && caret == first;
  };
  return bench::WaitFor(
      [&] {
        return Answers(page, 5000) && firstMenu() &&
               TextOf(GetDlgItem(page, velmora::kIdTxtTitle)).rfind("Menu 1", 0) == 0;
      },
      5000);
}

void PressButton(HWND page, int id, bool wait) {
  const WPARAM wp = MAKEWPARAM(id, BN_CLICKED);
  const LPARAM lp = reinterpret_cast<LPARAM>(GetDlgItem(page, id));
  if (wait)
    Answers(page, 120000, nullptr, WM_COMMAND, wp, lp);
  else
    PostMessageA(page, WM_COMMAND, wp, lp);
}

bool ClosePage(HWND page) {
  PressButton(page, velmora::kIdCmdCancel, false);  // "Exit"
  return bench::WaitFor([&] { return !IsWindow(page) || !IsWindowVisible(page); }, 20000);
}

std::string ReadFileText(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  std::string bytes(GetFileSize(h, nullptr), '\0');
  DWORD got = 0;
  ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
  CloseHandle(h);
  bytes.resize(got);
  return bytes;
}

// One round: the page opened, the first menu's title edited and confirmed,
// "&Update Toolbar", "Exit". False when a step did not happen (the saved file
// must hold the new title).
bool CustomizeRound(const bench::Running& r, HWND toolbar, const std::string& folder, int round) {
  HWND page = OpenCustomize(r, toolbar);
  if (!page) {
    std::fprintf(stderr, "  round %d: the page did not open\n", round);
    return false;
  }
  if (!SelectFirstMenu(page)) {
    std::fprintf(stderr, "  round %d: the first menu was not selected\n", round);
    ClosePage(page);
    return false;
  }
  const std::string title = std::string("Menu 1 ") + (round % 2 ? "odd" : "even");
  HWND box = GetDlgItem(page, velmora::kIdTxtTitle);
  Answers(box, 5000, nullptr, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title.c_str()));
  PressButton(page, velmora::kIdCmdOK, true);
  PressButton(page, velmora::kIdCmdSave, true);
  const bool saved =
      ReadFileText(folder + "\\Menus\\" + velmora::EditorFileName(1, true)).find(title) != std::string::npos;
  if (!saved) std::fprintf(stderr, "  round %d: the file does not hold the new title\n", round);
  const bool closed = ClosePage(page);
  if (!closed) std::fprintf(stderr, "  round %d: the page did not close\n", round);
  return closed && saved;
}

// One round of the library: "Librar&y", every category shown, Cancel.
int LibraryRound(const bench::Running& r, HWND page) {
  PressButton(page, velmora::kIdCmdLibrary, false);
  HWND library = nullptr;
  if (!bench::WaitFor([&] { return (library = bench::FindOf(r.pi.dwProcessId, "VelmoraLibrary", true)) != nullptr; },
                      30000))
    return -1;
  Answers(library, 30000);
  HWND list = GetDlgItem(library, 100);
  LRESULT count = 0;
  Answers(list, 5000, &count, LB_GETCOUNT);
  for (LRESULT i = 0; i < count; ++i) {
    Answers(list, 5000, nullptr, LB_SETCURSEL, static_cast<WPARAM>(i));
    Answers(library, 30000, nullptr, WM_COMMAND, MAKEWPARAM(100, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    // The grid is painted before the next message is taken.
    HWND grid = GetDlgItem(library, 1000 + static_cast<int>(i));
    bench::WaitFor([&] { return grid && IsWindowVisible(grid); }, 2000);
    RedrawWindow(grid, nullptr, nullptr, RDW_INVALIDATE);
    Answers(library, 5000);
  }
  PostMessageA(library, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  if (!bench::WaitFor([&] { return !IsWindowVisible(library); }, 10000)) return -1;
  return static_cast<int>(count);
}

// One Net Search: the single button clicked, a query typed, Enter; the window
// hides itself once the browser was started.
bool SearchRound(const bench::Running& r, HWND toolbar, int round) {
  HWND strip = FindWindowExA(toolbar, nullptr, "VelmoraSingleButtons", nullptr);
  if (!strip) return false;
  RECT s{};
  GetWindowRect(strip, &s);
  // The first icon: 60 twips in, 16 pixels wide.
  const POINT at{s.left + 4 + 8, (std::max<LONG>(s.top, 0) + s.bottom) / 2};
  HWND search = nullptr;
  const auto shown = [&] {
    search = bench::FindOf(r.pi.dwProcessId, "VelmoraNetSearch", true);
    return search && !IsIconic(search);
  };
  for (int attempt = 0; attempt < 3 && !shown(); ++attempt) {
    // The toolbar knows which button a click is for from the pointer's moves.
    bench::MoveTo({at.x + 1, at.y});
    Sleep(20);
    bench::MoveTo(at);
    if (attempt > 0)
      bench::WaitFor([&] { return bench::FindOf(r.pi.dwProcessId, "VelmoraHelpTip", true) != nullptr; }, 3000);
    Sleep(50);
    bench::Click();
    bench::WaitFor(shown, 5000);
  }
  if (!shown()) return false;
  HWND text = FindWindowExA(search, nullptr, "ComboBox", nullptr);
  const std::string query = "velmora soak " + std::to_string(round);
  Answers(text, 5000, nullptr, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(query.c_str()));
  // Enter in the window: the default button, "&Find".
  Answers(search, 30000, nullptr, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  return bench::WaitFor([&] { return !IsWindowVisible(search) || IsIconic(search); }, 10000);
}

bool WindowSoaks(const std::string& stage, const std::string& icons, const std::string& browser,
                 int customizations, int libraries, int searches) {
  // Ten menu buttons of 100 entries: 1,000 entries; one single button: Net Search.
  const std::string folder =
      bench::MakeProgramFolder(stage, "velmora-soak-bench", std::vector<int>(10, 100), 0);
  bench::WriteBytes(folder + "\\Menus\\" + velmora::EditorFileName(1, false),
                    velmora::EncodeFile({{"Net Search", "", "NetSearch"}}));
  // Past the first start, the icon library's tip off, single buttons on one click.
  std::string options = "1100000010000001";
  options[velmora::kOptTipIconLibraryOff - 1] = '1';
  options[velmora::kOptSingleClickLaunch - 1] = '1';
  bench::WriteBytes(folder + "\\vlmra250.dat", options);
  bench::CopyFolderFiles(icons, folder + "\\Icons");
  // A DDE server nobody offers: the address goes to the browser's command line.
  bench::WriteBytes(folder + "\\openurl.ini", "Command=" + browser + "\r\nApplication=VLNobody\r\n");

  bench::Running r = bench::Start(folder + "\\Velmora.exe", folder, "VelmoraToolbar");
  if (!r.main) {
    std::fprintf(stderr, "Velmora did not start\n");
    bench::Stop(r);
    return false;
  }
  HWND toolbar = r.main;
  bool ok = true;
  char label[96];
  std::printf("\nresources of Velmora with 10 menus of 100 entries and a Net Search button\n");
  Print("after start-up", Settle(r, toolbar));

  // 1. The Customize page with a save each time.
  std::snprintf(label, sizeof label, "%d Customize openings with a save (1,000 entries)", customizations);
  if (!CustomizeRound(r, toolbar, folder, 0)) {
    ok &= Failed(label, "the warm-up round did not open, edit, save and close the page");
  } else {
    const Counts before = Settle(r, toolbar);
    Print("page opened, edited, saved, closed once", before);
    int done = 0;
    const double t = bench::Now();
    // A round the driver lost (a key that missed the own menu) is made once
    // more, as a user would; the retries are reported.
    int retried = 0;
    for (int i = 1; i <= customizations; ++i) {
      bool ok = CustomizeRound(r, toolbar, folder, i);
      if (!ok) ok = (++retried, CustomizeRound(r, toolbar, folder, i));
      done += ok ? 1 : 0;
    }
    if (retried) std::printf("  (%d rounds made a second time)\n", retried);
    const double perRound = (bench::Now() - t) / customizations;
    const Counts after = Settle(r, toolbar);
    char when[64];
    std::snprintf(when, sizeof when, "after %d more (%d complete, %.0f ms each)", customizations, done, perRound);
    Print(when, after);
    ok &= done == customizations ? Verdict(label, before, after) : Failed(label, "some rounds did not complete");
  }

  // 2. The icon library, every category, each time from a page opened for
  // it and closed after: what the library leaves behind would show.
  std::snprintf(label, sizeof label, "%d icon library openings over all categories", libraries);
  const auto libraryRound = [&] {
    HWND page = OpenCustomize(r, toolbar);
    const int categories = page && SelectFirstMenu(page) ? LibraryRound(r, page) : -1;
    return page && ClosePage(page) ? categories : -1;
  };
  // Two warm-up rounds: the own menu, opened for "Customize Velmora", keeps
  // its window and page picture until the next rebuild (these rounds save
  // nothing), and the first round does not always leave the picture made.
  int categories = libraryRound();
  if (categories > 1) categories = libraryRound();
  if (categories <= 1) {
    ok &= Failed(label, "the library did not open with its categories");
  } else {
    const Counts before = Settle(r, toolbar);
    std::printf("  icon library: %d categories (All Categories included)\n", categories);
    Print("page and library opened once, closed", before);
    int done = 0;
    for (int i = 0; i < libraries; ++i) done += libraryRound() == categories ? 1 : 0;
    const Counts after = Settle(r, toolbar);
    Print("after the openings", after);
    ok &= done == libraries ? Verdict(label, before, after) : Failed(label, "some openings did not complete");
  }

  // 3. Net Search.
  std::snprintf(label, sizeof label, "%d Net Search openings with a search", searches);
  if (!SearchRound(r, toolbar, 0)) {
    ok &= Failed(label, "the Net Search window did not open or search");
  } else {
    const Counts before = Settle(r, toolbar);
    Print("Net Search opened and searched once", before);
    int done = 0;
    for (int i = 1; i <= searches; ++i) done += SearchRound(r, toolbar, i) ? 1 : 0;
    const Counts after = Settle(r, toolbar);
    Print("after the searches", after);
    ok &= done == searches ? Verdict(label, before, after) : Failed(label, "some searches did not complete");
  }
  bench::Stop(r);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr,
                 "usage: resource_bench <stage folder> [open/close cycles] [rebuilds] [--icons folder]\n"
                 "                      [--browser nop_browser.exe] [--customize N] [--library N] [--searches N]\n");
    return 2;
  }
  int cycles = 500, rebuilds = 50, customizations = 50, libraries = 50, searches = 200;
  std::string icons, browser;
  std::vector<const char*> positional;
  for (int i = 2; i < argc; ++i) {
    const auto is = [&](const char* flag) { return std::strcmp(argv[i], flag) == 0 && i + 1 < argc; };
    if (is("--icons")) icons = argv[++i];
    else if (is("--browser")) browser = argv[++i];
    else if (is("--customize")) customizations = std::max(1, std::atoi(argv[++i]));
    else if (is("--library")) libraries = std::max(1, std::atoi(argv[++i]));
    else if (is("--searches")) searches = std::max(1, std::atoi(argv[++i]));
    else positional.push_back(argv[i]);
  }
  if (positional.size() > 0) cycles = std::max(1, std::atoi(positional[0]));
  if (positional.size() > 1) rebuilds = std::max(1, std::atoi(positional[1]));
  bool ok = MenuSoaks(argv[1], cycles, rebuilds);
  if (icons.empty() || browser.empty())
    std::printf("\n(no --icons or --browser: the Customize, library and Net Search soaks are left out)\n");
  else
    ok &= WindowSoaks(argv[1], icons, browser, customizations, libraries, searches);
  return ok ? 0 : 1;
}
