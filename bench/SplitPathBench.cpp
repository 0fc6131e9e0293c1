// Split and merge of one path, against the same decomposition done with
// std::filesystem::path, which allocates for every part.
#include "SplitPath.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {

const char* const Paths[] = {
    "/home/user/Music/Mac transfers/SONG.MID",
    "/home/user/\xE6\x9B\xB2/\xE5\xA4\x8F\xE3\x81\xAE\xE6\x9B\xB2.mid",
    "C:\\MIDI\\FILE.MID",
};

void BM_SplitMerge(benchmark::State& state) {
    const char* path = Paths[state.range(0)];
    for (auto _ : state) {
        sveltor::TSplitPath parts(path, sveltor::codepage::Utf8);
        benchmark::DoNotOptimize(parts.Merge());
    }
}
BENCHMARK(BM_SplitMerge)->DenseRange(0, 2);

void BM_FilesystemPathBaseline(benchmark::State& state) {
    const char* path = Paths[state.range(0)];
    for (auto _ : state) {
        const std::filesystem::path p(path);
        std::filesystem::path merged = p.parent_path();
        merged /= p.stem();
        merged += p.extension();
        benchmark::DoNotOptimize(merged.native().data());
    }
}
BENCHMARK(BM_FilesystemPathBaseline)->DenseRange(0, 2);

} // namespace

BENCHMARK_MAIN();
