// Laying out a quick menu must cost time in proportion to its records.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "quickmenu/qmenu_layout.h"

namespace {

using velmora::ItemRecord;

// Entries with a separator every 7 records and a page break every 150, the
// way a large hand-made menu looks.
std::vector<ItemRecord> MakeMenu(int entries) {
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

void BM_LayoutQuickMenu(benchmark::State& state) {
  const auto records = MakeMenu(static_cast<int>(state.range(0)));
  velmora::QMenuMetrics m;
  m.screenWidth = 1280 * 15;
  m.screenHeight = 1024 * 15;
  m.windowLeft = 3000;
  m.windowTop = 600;
  m.labelHeight = 195;
  m.measureCaption = [](const std::string& s) { return 90.0 * static_cast<double>(s.size()); };
  for (auto _ : state) {
    auto layout = velmora::LayoutQuickMenu(records, m);
    benchmark::DoNotOptimize(layout);
  }
  state.SetComplexityN(state.range(0));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LayoutQuickMenu)->Arg(1000)->Arg(10000)->Arg(100000)->Complexity(benchmark::oN);

}  // namespace
