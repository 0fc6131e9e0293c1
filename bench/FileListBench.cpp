// TFileListBox loading a folder of 20,000 files, 2,000 of them matching "*.mid", against
// a bare readdir and sort of the same folder.
#include "FileCtrls.h"
#include "TestFiles.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <dirent.h>

#include <algorithm>
#include <cstdlib>

namespace {

struct TFolder {
    sveltor::test::TTempDir Dir;
    TFolder() {
        for (int i = 0; i < 20000; ++i) {
            const std::string name = "file" + std::to_string(i) + (i % 10 == 0 ? ".mid" : ".txt");
            sveltor::test::WriteBytes(Dir / name, {'x'});
        }
    }
};
TFolder& Folder() {
    static TFolder folder;
    return folder;
}

void BM_FileListBoxLoad(benchmark::State& state) {
    sveltor::TFileListBox list(nullptr);
    list.SetMask("*.mid");
    list.SetDirectory(Folder().Dir.Path());
    for (auto _ : state) {
        list.Update();
        benchmark::DoNotOptimize(list.count());
    }
    state.counters["listed"] = list.count();
}
BENCHMARK(BM_FileListBoxLoad)->Unit(benchmark::kMillisecond);

void BM_ReaddirSortBaseline(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<std::string> names;
        DIR* dir = ::opendir(Folder().Dir.Path().c_str());
        while (const dirent* entry = ::readdir(dir))
            names.emplace_back(entry->d_name);
        ::closedir(dir);
        std::sort(names.begin(), names.end());
        benchmark::DoNotOptimize(names.data());
    }
}
BENCHMARK(BM_ReaddirSortBaseline)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
