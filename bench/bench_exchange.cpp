#include "BenchStore.h"
#include "exchange/CalendarExport.h"
#include "exchange/CalendarImport.h"
#include "store/AlertStore.h"

#include <benchmark/benchmark.h>
#include <sstream>

namespace {
using namespace std::chrono;

std::vector<zento::Alerte> alertsOf(int n) {
    return zento::AlertStore(zento::bench::storeOf(n)).LoadAllAlerts()->alerts();
}

zento::ExportOptions exportOptions() {
    zento::ExportOptions o;
    o.storeKey = "bench";
    o.stamp = sys_days{year{2026} / 11 / 1};
    return o;
}

zento::ImportOptions importOptions() {
    zento::ImportOptions o;
    o.newAlert = [] {
        // std::string temporaries: GCC 12 at -O3 warns wrongly (-Wrestrict) on assigned literals.
        zento::Alerte a;
        a.Emoticon = std::string("5");
        a.Sound = std::string("Defaut.wav");
        a.BackColor = std::string("8438015");
        a.ForeColor = std::string("0");
        a.LoopSound = std::string("0");
        return a;
    };
    return o;
}

/// Before every alert of the bench stores, so that all of them are imported.
const zento::LocalTime kNow = local_days{year{2026} / 12 / 1} + hours{12};

void BM_ExportCalendar(benchmark::State& state) {
    const auto alerts = alertsOf(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(zento::ExportCalendar(alerts, exportOptions()));
}
BENCHMARK(BM_ExportCalendar)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_ImportCalendar(benchmark::State& state) {
    const std::string text =
        zento::ExportCalendar(alertsOf(static_cast<int>(state.range(0))), exportOptions()).text;
    for (auto _ : state) {
        const auto plan = zento::PlanImport(text, kNow, importOptions());
        if (!plan || plan->alerts.size() != static_cast<std::size_t>(state.range(0)))
            state.SkipWithError("not every alert was planned");
    }
}
BENCHMARK(BM_ImportCalendar)->Arg(10000)->Unit(benchmark::kMillisecond);

/// The same file without our own properties, as another program would write it: every rule is
/// expanded by libical and checked against the recurrence kinds.
void BM_ImportForeignCalendar(benchmark::State& state) {
    std::istringstream in(
        zento::ExportCalendar(alertsOf(static_cast<int>(state.range(0))), exportOptions()).text);
    std::string text;
    for (std::string line; std::getline(in, line);)
        if (line.rfind("X-ZENTO-", 0) != 0)
            text.append(line).push_back('\n');
    for (auto _ : state) {
        const auto plan = zento::PlanImport(text, kNow, importOptions());
        if (!plan || plan->alerts.empty())
            state.SkipWithError("nothing was planned");
    }
}
BENCHMARK(BM_ImportForeignCalendar)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
