// The cost of keeping an entry in the configuration history, beside the
// device operation that makes it: the newest entry of the tracker read and
// compared, the new one written atomically (a temporary file renamed into place).
// The folder holds 0, 100 or 1000 earlier entries of the same tracker.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "history/store.h"

namespace {

using namespace trekmor;
namespace fs = std::filesystem;

constexpr const char* kSerial = "300024000F5138333536A07F";

// A folder of its own (TREKMOR_BENCH_DIR, else the temporary folder), removed afterwards.
struct Folder {
  fs::path path;
  Folder() {
    const char* base = std::getenv("TREKMOR_BENCH_DIR");
    path = (base ? fs::path(base) : fs::temp_directory_path()) / ("trekmor-bench-" + std::to_string(std::random_device()()));
    fs::create_directories(path);
  }
  ~Folder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
};

Image numbered(std::uint32_t n) {
  Image image{};
  for (std::size_t k = 0; k < 4; ++k) image[100 + k] = static_cast<std::uint8_t>(n >> (8 * k));
  return image;
}

void fill(const HistoryStore& store, int earlier) {
  for (int k = 0; k < earlier; ++k) {
    store.record(makeHistoryEntry(kSerial, HistoryEvent::Read, numbered(0x80000000u + static_cast<std::uint32_t>(k)), 112));
  }
}

// A configuration the tracker has not held yet: read, compared, stored.
void BM_RecordNewEntry(benchmark::State& state) {
  const Folder folder;
  const HistoryStore store(folder.path);
  fill(store, static_cast<int>(state.range(0)));
  std::uint32_t n = 0;
  for (auto _ : state) {
    const auto recorded = store.record(makeHistoryEntry(kSerial, HistoryEvent::Written, numbered(n++), 112));
    if (recorded.status != HistoryStore::Recorded::Status::Stored) state.SkipWithError(recorded.reason.c_str());
  }
}
BENCHMARK(BM_RecordNewEntry)->Arg(0)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

// The same configuration read again: compared with the newest and not stored.
void BM_RecordUnchangedEntry(benchmark::State& state) {
  const Folder folder;
  const HistoryStore store(folder.path);
  fill(store, static_cast<int>(state.range(0)));
  store.record(makeHistoryEntry(kSerial, HistoryEvent::Read, numbered(1), 112));
  for (auto _ : state) {
    const auto recorded = store.record(makeHistoryEntry(kSerial, HistoryEvent::Read, numbered(1), 112));
    if (recorded.status != HistoryStore::Recorded::Status::Unchanged) state.SkipWithError("stored twice");
  }
}
BENCHMARK(BM_RecordUnchangedEntry)->Arg(0)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
