#include "schedule/Clock.h"
#include "schedule/DueScan.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
using namespace zento;

/// `n` alerts spread over 2027, with every hundredth one damaged as a hand-edited store might be.
AlertTable tableOf(int n) {
    std::vector<Alerte> alerts;
    alerts.reserve(static_cast<std::size_t>(n));
    for (int id = 1; id <= n; ++id) {
        Alerte a;
        a.Id = id;
        a.Message = "Rendez-vous numéro " + std::to_string(id);
        char date[16], time[8];
        std::snprintf(date, sizeof date, "%02d/%02d/2027", id % 28 + 1, id % 12 + 1);
        std::snprintf(time, sizeof time, "%02d:%02d", id % 24, id % 60);
        a.AlertDate = id % 100 == 0 ? "abîmé" : date;
        a.AlertTime = id % 7 == 0 ? "" : time;
        a.Recurrence = std::to_string(id % 9);
        alerts.push_back(std::move(a));
    }
    return AlertTable(std::move(alerts));
}

// One timer tick when nothing is due: the scan walks every position.
void BM_DueScanNothingDue(benchmark::State& state) {
    const DueSchedule schedule(tableOf(static_cast<int>(state.range(0))));
    const LocalTime now = AtTime(*ParseDate("01/01/2026"), std::chrono::hours{12});
    for (auto _ : state)
        benchmark::DoNotOptimize(schedule.firstDue(now));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_DueScanNothingDue)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// The same with the skip predicate the window passes (no popup open): what one tick costs.
void BM_DueScanNothingDueWithSkip(benchmark::State& state) {
    const DueSchedule schedule(tableOf(static_cast<int>(state.range(0))));
    const LocalTime now = AtTime(*ParseDate("01/01/2026"), std::chrono::hours{12});
    const auto skip = [](std::int32_t) { return false; };
    for (auto _ : state)
        benchmark::DoNotOptimize(schedule.firstDue(now, skip));
}
BENCHMARK(BM_DueScanNothingDueWithSkip)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// What every reload costs on top of reading the file.
void BM_BuildDueSchedule(benchmark::State& state) {
    const AlertTable table = tableOf(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(DueSchedule(table));
}
BENCHMARK(BM_BuildDueSchedule)->Arg(10000)->Unit(benchmark::kMicrosecond);

// One reading of the clock, the zone looked at again each time: through /etc/localtime (a stat)
// when TZ is not set, through TZ when it is.
void BM_SystemClockNow(benchmark::State& state) {
    const char* const old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    if (state.range(0) == 0)
        ::unsetenv("TZ");
    else
        ::setenv("TZ", "Europe/Paris", 1);
    const SystemClock clock;
    for (auto _ : state)
        benchmark::DoNotOptimize(clock.now());
    state.SetLabel(state.range(0) == 0 ? "system zone" : "TZ set");
    if (old)
        ::setenv("TZ", saved.c_str(), 1);
    else
        ::unsetenv("TZ");
}
BENCHMARK(BM_SystemClockNow)->Arg(0)->Arg(1)->Unit(benchmark::kNanosecond);

} // namespace
