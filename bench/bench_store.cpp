#include "BenchStore.h"
#include "ReferenceLoader.h"
#include "store/AlertStore.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace {
namespace fs = std::filesystem;
using zento::bench::storeOf;

void BM_LoadAllAlerts(benchmark::State& state) {
    const zento::AlertStore store(storeOf(static_cast<int>(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(store.LoadAllAlerts());
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LoadAllAlerts)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_ReferenceLoadAllAlerts(benchmark::State& state) {
    const fs::path path = storeOf(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(zento::bench::referenceLoadAllAlerts(path));
}
BENCHMARK(BM_ReferenceLoadAllAlerts)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
// Quadratic: one pass is already tens of seconds at this size, so one pass only, even when the
// command line asks for repetitions.
BENCHMARK(BM_ReferenceLoadAllAlerts)
    ->Arg(10000)
    ->Iterations(1)
    ->Repetitions(1)
    ->Unit(benchmark::kMillisecond);

void BM_WriteOneAlert(benchmark::State& state) {
    const fs::path source = storeOf(static_cast<int>(state.range(0)));
    const fs::path path = source.parent_path() / ("write-" + std::to_string(state.range(0)) + ".ini");
    fs::copy_file(source, path, fs::copy_options::overwrite_existing);
    zento::AlertStore store(path);
    zento::Alerte a;
    a.Id = static_cast<std::int32_t>(state.range(0)) / 2;
    a.Message = "Appeler le garage";
    a.AlertDate = "12/01/2027";
    for (auto _ : state) {
        const zento::Status saved = store.edit([&](zento::StoreEdit& e) {
            e.setAlert(a);
            return true;
        });
        if (!saved)
            state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_WriteOneAlert)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    // bench/run needs the same stores for the real program: --write-store N PATH [YEAR].
    if (argc >= 4 && std::string_view(argv[1]) == "--write-store") {
        const int year = argc >= 5 ? std::atoi(argv[4]) : 2027;
        return zento::bench::writeStore(argv[3], std::atoi(argv[2]), year) ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    zento::bench::removeBenchFolder();
    return 0;
}
