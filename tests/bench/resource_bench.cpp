// Resource benchmark: opening and closing menus 500 times, paging through
// every page of a 2,000-entry menu and 50 toolbar rebuilds must leave
// Velmora's GDI and USER object counts where they were and its private memory
// within a few MB. Prints the counts before and after each scenario and the
// memory a 2,000-entry menu holds.
//
// GetGuiResources answers 0 under Wine, so the program's own live counts are
// read too (the toolbar's "Velmora.ResourceCounts" message), and its windows
// are counted here by enumeration.
//
//   resource_bench.exe <stage folder> [open/close cycles] [rebuilds]
#include <windows.h>
#include <psapi.h>

#include <cstdio>

#include "bench_driver.h"

namespace {

struct Counts {
  long gdi = 0, icons = 0, windows = 0;  // our own counts
  DWORD guiGdi = 0, guiUser = 0;         // GetGuiResources
  double privateMb = 0;
};

struct WindowTally {
  DWORD pid;
  long count = 0;
};

BOOL CALLBACK CountChild(HWND, LPARAM lp) {
  ++reinterpret_cast<WindowTally*>(lp)->count;
  return TRUE;
}

BOOL CALLBACK CountTop(HWND hwnd, LPARAM lp) {
  auto* t = reinterpret_cast<WindowTally*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == t->pid) {
    ++t->count;
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
  WindowTally tally{r.pi.dwProcessId};
  EnumWindows(CountTop, reinterpret_cast<LPARAM>(&tally));
  c.windows = tally.count;
  c.guiGdi = GetGuiResources(r.pi.hProcess, GR_GDIOBJECTS);
  c.guiUser = GetGuiResources(r.pi.hProcess, GR_USEROBJECTS);
  PROCESS_MEMORY_COUNTERS_EX pmc{};
  pmc.cb = sizeof pmc;
  if (GetProcessMemoryInfo(r.pi.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc),
                           sizeof pmc))
    c.privateMb = static_cast<double>(pmc.PrivateUsage) / (1024.0 * 1024.0);
  // Wine reports PrivateUsage as 0; committed private pages are the same measure.
  if (c.privateMb == 0) c.privateMb = static_cast<double>(CommittedPrivate(r.pi.hProcess)) / (1024.0 * 1024.0);
  return c;
}

void Print(const char* when, const Counts& c) {
  std::printf("  %-36s GDI %5ld  icons %4ld  windows %4ld  | GetGuiResources %lu/%lu | private %7.2f MB\n",
              when, c.gdi, c.icons, c.windows, c.guiGdi, c.guiUser, c.privateMb);
}

bool Same(const Counts& a, const Counts& b) {
  return a.gdi == b.gdi && a.icons == b.icons && a.windows == b.windows && a.guiGdi == b.guiGdi &&
         a.guiUser == b.guiUser;
}

bool Verdict(const char* scenario, const Counts& before, const Counts& after) {
  const double grown = after.privateMb - before.privateMb;
  const bool ok = Same(before, after) && grown < 4.0;
  std::printf("  => %s: objects %s, private memory %+.2f MB: %s\n", scenario,
              Same(before, after) ? "unchanged" : "CHANGED", grown, ok ? "ok" : "LEAK?");
  return ok;
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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: resource_bench <stage folder> [open/close cycles] [rebuilds]\n");
    return 2;
  }
  const int cycles = argc > 2 ? std::max(1, std::atoi(argv[2])) : 500;
  const int rebuilds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 50;
  // Button 2: 40 entries; 3: 2,000 entries; 4-7: small menus; and single buttons.
  const std::vector<int> menus{40, 2000, 10, 10, 10, 10};
  const std::string folder = bench::MakeProgramFolder(argv[1], "velmora-resource-bench", menus, 4);
  bench::Running r = bench::Start(folder + "\\Velmora.exe", folder, "VelmoraToolbar");
  if (!r.main) {
    std::fprintf(stderr, "Velmora did not start\n");
    bench::Stop(r);
    return 1;
  }
  HWND toolbar = r.main;
  Sleep(1000);
  bool ok = true;
  const Counts start = Measure(r, toolbar);
  std::printf("resources of Velmora (own counts: GDI = bitmaps, DCs, pens, brushes, fonts,\n"
              "image lists it created; icons = icons it created; windows = its windows)\n");
  Print("after start-up", start);
  if (start.guiGdi == 0 && start.guiUser == 0)
    std::printf("  (GetGuiResources answers 0 here: the own counts are the measure)\n");

  // 1. Open and close. The window cache keeps each menu once opened, so the
  // baseline is taken with every small menu opened once.
  const std::vector<int> buttons{2, 4, 5, 6, 7};
  for (int b : buttons) CloseMenu(OpenPainted(r, toolbar, b));
  const Counts warm = Measure(r, toolbar);
  Print("menus opened once (cached)", warm);
  for (int i = 0; i < cycles; ++i)
    CloseMenu(OpenPainted(r, toolbar, buttons[static_cast<std::size_t>(i) % buttons.size()]));
  const Counts cycled = Measure(r, toolbar);
  char label[64];
  std::snprintf(label, sizeof label, "after %d open/close", cycles);
  Print(label, cycled);
  ok &= Verdict("open/close", warm, cycled);

  // 2. Paging: the first pass fills the page images, which the menu keeps; a
  // second pass must add nothing.
  const int pages = PageThrough(r, toolbar, 3);
  const Counts paged = Measure(r, toolbar);
  std::printf("  2,000-entry menu: %d pages\n", pages);
  Print("after paging (page images made)", paged);
  PageThrough(r, toolbar, 3);
  const Counts paged2 = Measure(r, toolbar);
  Print("after paging again", paged2);
  ok &= Verdict("paging", paged, paged2);

  // 3. Rebuilds let every menu window go; the first sets the baseline.
  static const UINT rebuild = RegisterWindowMessageA("Velmora.Rebuild");
  DWORD_PTR unused = 0;
  SendMessageTimeoutA(toolbar, rebuild, 0, 0, SMTO_BLOCK, 30000, &unused);
  const Counts rebuilt = Measure(r, toolbar);
  Print("after one rebuild (menus released)", rebuilt);
  // The menus were built while the program was idle after start, so what
  // they hold shows as what a rebuild gives back; the 2,000-entry menu is
  // nearly all of it.
  std::printf("  memory the menus held, the 2,000-entry one nearly all of it: %.2f MB private, "
              "%ld GDI objects, %ld windows\n",
              paged2.privateMb - rebuilt.privateMb, paged2.gdi - rebuilt.gdi,
              paged2.windows - rebuilt.windows);
  for (int i = 0; i < rebuilds; ++i)
    SendMessageTimeoutA(toolbar, rebuild, 0, 0, SMTO_BLOCK, 30000, &unused);
  const Counts rebuiltAll = Measure(r, toolbar);
  std::snprintf(label, sizeof label, "after %d more rebuilds", rebuilds);
  Print(label, rebuiltAll);
  ok &= Verdict("rebuilds", rebuilt, rebuiltAll);
  // Start-up's counts include the menus the program builds while idle; a
  // rebuild lets them go and the next idle time builds them again, so only
  // memory is compared with start-up.
  std::printf("  => private memory after everything against start-up: %+.2f MB\n",
              rebuiltAll.privateMb - start.privateMb);

  bench::Stop(r);
  return ok ? 0 : 1;
}
