// The menu both layout benchmarks lay out: entries with a separator every 7
// records and a page break every 150, the way a large hand-made menu looks,
// laid out on the tests' 1280 x 1024 screen.
#pragma once

#include <string>
#include <vector>

#include "qmenu_screen.h"
#include "quickmenu/qmenu_layout.h"

namespace velmora::bench {

inline std::vector<ItemRecord> MakeMenu(int entries) {
  std::vector<ItemRecord> records{{"Programs", "C:\\icons\\b.ico", ""}};
  records.reserve(static_cast<std::size_t>(entries) * 8 / 7 + 2);
  for (int i = 1; i <= entries; ++i) {
    records.push_back({std::string(1, static_cast<char>('a' + i % 26)) + "pplication " +
                           std::to_string(i),
                       "C:\\Program Files\\App\\app.exe", "C:\\Program Files\\App\\app.exe"});
    if (i % 7 == 0) records.push_back({"Menu Separator", "MenuLineSeparator", ""});
    if (i % 150 == 0) records.push_back({"", "MenuBreaker", ""});
  }
  return records;
}

}  // namespace velmora::bench
