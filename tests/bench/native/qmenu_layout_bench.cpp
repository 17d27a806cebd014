// Laying out a quick menu must cost time in proportion to its records.
#include <benchmark/benchmark.h>

#include "qmenu_menu.h"

namespace {

void BM_LayoutQuickMenu(benchmark::State& state) {
  const auto records = velmora::bench::MakeMenu(static_cast<int>(state.range(0)));
  const velmora::QMenuMetrics m = velmora::Screen96();
  for (auto _ : state) {
    auto layout = velmora::LayoutQuickMenu(records, m);
    benchmark::DoNotOptimize(layout);
  }
  state.SetComplexityN(state.range(0));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LayoutQuickMenu)->Arg(1000)->Arg(10000)->Arg(100000)->Complexity(benchmark::oN);

}  // namespace
