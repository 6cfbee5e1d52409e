// Opening the stock library as a run does when no set is named: its pack (sets stored
// prepared, copied and checked) against its library file (four files read and prepared for
// each set), from the build tree's stock library.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "library/packed_library.h"
#include "reading/stock_library.h"

namespace morvik {
namespace {

// The build tree's stock library, found beside this program as beside morvik.
std::string StockPack() {
  return FindStockLibrary(std::filesystem::read_symlink("/proc/self/exe").parent_path().string());
}

void BM_OpenStockPack(benchmark::State& state) {
  const std::string pack = StockPack();
  if (!IsPackedLibraryName(pack)) {
    state.SkipWithError("no stock.pack in the build tree");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(OpenPackedLibrary(pack));
}
BENCHMARK(BM_OpenStockPack)->Unit(benchmark::kMicrosecond);

void BM_OpenStockSets(benchmark::State& state) {
  const std::string sets = std::filesystem::path(StockPack()).replace_extension(".sets").string();
  for (auto _ : state) benchmark::DoNotOptimize(LoadReferenceLibrary(sets));
}
BENCHMARK(BM_OpenStockSets)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace morvik
