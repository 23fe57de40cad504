#include "ReferenceLoader.h"
#include "store/AlertStore.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {
namespace fs = std::filesystem;

/// A store of `n` alerts in a private folder, made once per size.
fs::path storeOf(int n) {
    const fs::path dir = fs::temp_directory_path() / ("zento-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path path = dir / ("Alertes-" + std::to_string(n) + ".ini");
    if (fs::exists(path))
        return path;
    std::ofstream out(path, std::ios::binary);
    out << "[Param]\r\nNb=" << n << "\r\nFond=\r\nPolice=\r\nImg=5\r\n";
    for (int id = 1; id <= n; ++id) {
        out << "[Alerte" << id << "]\r\n"
            << "Info1=Rendez-vous numéro " << id << " chez le dentiste\r\n"
            << "Info2=" << (id % 28 + 1 < 10 ? "0" : "") << id % 28 + 1 << "/0" << id % 9 + 1 << "/2027\r\n"
            << "Info3=" << id % 9 << "\r\nInfo4=" << id % 16 << "\r\nInfo5=Defaut.wav\r\n"
            << "Info6=8438015\r\nInfo7=0\r\nInfo8=09:30\r\nInfo9=0\r\nInfo10=\r\n";
    }
    return path;
}

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
// Quadratic: one pass is already tens of seconds at this size.
BENCHMARK(BM_ReferenceLoadAllAlerts)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);

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
        if (!store.WriteAlert(a))
            state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_WriteOneAlert)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(fs::temp_directory_path() / ("zento-bench-" + std::to_string(::getpid())), ec);
    return 0;
}
