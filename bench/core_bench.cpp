// The core's share: pack and unpack of a whole configuration through the
// in-memory field store, and the save and load of a whole .cfg file.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "configfile/configfile.h"
#include "settings/pipeline.h"

namespace {

using namespace trekmor;
namespace fs = std::filesystem;

void BM_PackUnpack(benchmark::State& state) {
  FieldStore fields = FieldStore::withStartValues();
  Image image;
  // An empty SSID comes back as "0" from the image; from then on the
  // settings stay what they are.
  packConfigImage(fields, image, 1);
  unpackConfigImage(image, fields, silentInterface());
  const FieldStore settled = fields;
  for (auto _ : state) {
    const bool packed = static_cast<bool>(packConfigImage(fields, image, 1));
    const bool unpacked = unpackConfigImage(image, fields, silentInterface());
    benchmark::DoNotOptimize(packed && unpacked);
  }
  if (!(fields == settled)) state.SkipWithError("the round trip changed a field");
}
BENCHMARK(BM_PackUnpack)->Unit(benchmark::kMicrosecond);

// A folder of its own in the temporary folder, removed afterwards.
struct Folder {
  fs::path path = fs::temp_directory_path() / ("trekmor-bench-" + std::to_string(std::random_device()()));
  Folder() { fs::create_directories(path); }
  ~Folder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
};

// Over an existing file, as a user saves again and again: every key is
// replaced in place and the file swapped in atomically (written, flushed to
// the disk, renamed).
void BM_SaveLoad(benchmark::State& state) {
  const Folder folder;
  const fs::path file = folder.path / "aprs_trekmor.cfg";
  FieldStore fields = FieldStore::withStartValues();
  for (auto _ : state) {
    const bool saved = static_cast<bool>(saveConfiguration(fields, file));
    const bool loaded = loadConfiguration(file, fields, silentInterface()) == LoadResult::Loaded;
    benchmark::DoNotOptimize(saved && loaded);
  }
  if (!(fields == FieldStore::withStartValues())) state.SkipWithError("the round trip changed a field");
}
BENCHMARK(BM_SaveLoad)->Unit(benchmark::kMillisecond);

// The worst a user can hand the load: the largest file it accepts, made of
// the shortest lines, under a valid header (every key then falls back to its
// missing value).
void BM_LoadLargestAcceptedFile(benchmark::State& state) {
  const Folder folder;
  const fs::path file = folder.path / "large.cfg";
  std::string bytes = "[!WARNING]\r\nApplication=" + std::string(kApplicationName) + "\r\n";
  bytes.resize(ProfileFile::kMaxSize, '\n');
  std::ofstream(file, std::ios::binary) << bytes;
  FieldStore fields = FieldStore::withStartValues();
  for (auto _ : state) {
    benchmark::DoNotOptimize(loadConfiguration(file, fields, silentInterface()));
  }
}
BENCHMARK(BM_LoadLargestAcceptedFile)->Unit(benchmark::kMillisecond);

// The same size of file made of the shortest headers, all of one name: every
// section after the first is one that no lookup finds.
void BM_LoadManySectionsOfOneName(benchmark::State& state) {
  const Folder folder;
  const fs::path file = folder.path / "sections.cfg";
  std::string bytes = "[!WARNING]\r\nApplication=" + std::string(kApplicationName) + "\r\n";
  while (bytes.size() + 4 <= ProfileFile::kMaxSize) bytes += "[A]\n";
  std::ofstream(file, std::ios::binary) << bytes;
  FieldStore fields = FieldStore::withStartValues();
  for (auto _ : state) {
    benchmark::DoNotOptimize(loadConfiguration(file, fields, silentInterface()));
  }
}
BENCHMARK(BM_LoadManySectionsOfOneName)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
