// What the preview costs: opening the start-up device (synth, SoundFont and, with
// SVELTOR_BENCH_AUDIO=1, the PulseAudio driver), and Open's verdict on a 1 MB song and
// on a wrapped one, against reading the same file.
#include "FileSystem.h"
#include "MidiFixtures.h"
#include "Sequencer.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

using namespace sveltor;

TSequencerOptions Options() {
    TSequencerOptions options;
    const char* audio = std::getenv("SVELTOR_BENCH_AUDIO");
    if (audio == nullptr || std::string(audio) != "1")
        options.Drivers.clear();
    return options;
}

struct TFiles {
    test::TTempDir Dir;
    std::string Clean = Dir / "BIG.MID";
    std::string Wrapped = Dir / "WRAPPED.MID";
    TFiles() {
        const test::TBytes song = test::MakeSong({.Quarters = 130000}); // about 1 MB
        test::WriteBytes(Clean, song);
        test::WriteBytes(Wrapped, test::Wrap(song));
    }
};
TFiles& Files() {
    static TFiles files;
    return files;
}

void BM_OpenStartUpDevice(benchmark::State& state) {
    for (auto _ : state) {
        TFluidSequencer seq(Options());
        seq.Open("");
    }
}
BENCHMARK(BM_OpenStartUpDevice)->Unit(benchmark::kMillisecond);

void BM_ReadFile(benchmark::State& state) {
    const std::string& path = state.range(0) == 0 ? Files().Clean : Files().Wrapped;
    for (auto _ : state) {
        TFileStream file = TFileStream::OpenRead(path);
        std::vector<unsigned char> bytes(file.Size());
        file.ReadBuffer(bytes.data(), bytes.size());
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_ReadFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_OpenVerdict(benchmark::State& state) {
    const std::string& path = state.range(0) == 0 ? Files().Clean : Files().Wrapped;
    TFluidSequencer seq(TSequencerOptions{.Drivers = {}});
    for (auto _ : state) {
        try {
            seq.Open(path);
        } catch (const EMCIDeviceError&) {
        }
    }
}
BENCHMARK(BM_OpenVerdict)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
