// One layout of a menu of N entries and nothing else, for counting its
// instructions under callgrind (scripts/bench.sh collects only inside
// LayoutQuickMenu, so building the records is not counted).
//
//   qmenu_layout_once <entries>
#include <cstdio>
#include <cstdlib>
#include <algorithm>

#include "qmenu_menu.h"

int main(int argc, char** argv) {
  const int entries = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
  const auto records = velmora::bench::MakeMenu(entries);
  const velmora::QMenuMetrics m = velmora::Screen96();
  const auto layout = velmora::LayoutQuickMenu(records, m);
  // Printing a result keeps the call from being optimized away.
  std::printf("%zu pages\n", layout.pages.size());
  return 0;
}
