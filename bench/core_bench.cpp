// Pack and unpack of a whole configuration through the in-memory field store.
#include <benchmark/benchmark.h>

#include "settings/pipeline.h"

namespace {

void BM_PackUnpack(benchmark::State& state) {
  const trekmor::FieldStore start = trekmor::FieldStore::withStartValues();
  trekmor::FieldStore fields = start;
  trekmor::Image image;
  for (auto _ : state) {
    const bool packed = static_cast<bool>(trekmor::packConfigImage(fields, image, 1));
    const bool unpacked = trekmor::unpackConfigImage(image, fields, trekmor::silentInterface());
    benchmark::DoNotOptimize(packed && unpacked);
  }
}
BENCHMARK(BM_PackUnpack)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
