// Feeds arbitrary bytes to the iCalendar import. Besides the sanitizers' own findings, it checks
// that every planned alert is one the store and the editor accept, and that the planned alerts
// still ahead (up to the year 3000, the last libical writes) come back the same from an export
// and a second import.
#include "exchange/CalendarExport.h"
#include "exchange/CalendarImport.h"
#include "schedule/DueScan.h"
#include "store/DateText.h"
#include "store/TextEncoding.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

using namespace zento;
using namespace std::chrono;

namespace {

[[noreturn]] void fail(const char* what, int line) {
    std::fprintf(stderr, "fuzz_calendar: invariant broken at line %d: %s\n", line, what);
    std::abort();
}
#define CHECK(cond)                                                                                          \
    do {                                                                                                     \
        if (!(cond))                                                                                         \
            fail(#cond, __LINE__);                                                                           \
    } while (0)

const LocalTime kNow = local_days{year{2027} / 1 / 4} + hours{12};

ImportOptions options(bool actions) {
    ImportOptions o;
    o.acceptActions = actions;
    o.newAlert = [] {
        Alerte a;
        a.Emoticon = "5";
        a.Sound = "Defaut.wav";
        a.BackColor = "12632319";
        a.ForeColor = "255";
        a.LoopSound = "0";
        return a;
    };
    return o;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ::setenv("TZ", "Europe/Paris", 1);
    ::tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto plan = PlanImport(bytes, kNow, options(true));
    if (!plan) {
        CHECK(plan.error().code == ErrorCode::BadCalendar && !plan.error().detail.empty());
        CHECK(isValidUtf8(plan.error().detail));
        return 0;
    }
    std::vector<Alerte> ahead;
    for (const Alerte& a : plan->alerts) {
        CHECK(a.Id == 0 && !a.Uid.empty() && isValidUtf8(a.Uid));
        CHECK(!a.Message.empty() && isValidUtf8(a.Message));
        CHECK(a.Message.find_first_of("\r\n") == std::string::npos);
        CHECK(ParseDate(a.AlertDate) && FormatDate(*ParseDate(a.AlertDate)) == a.AlertDate);
        CHECK(a.AlertTime.empty() || (ParseTime(a.AlertTime) && a.AlertTime.size() == 5));
        const auto code = ParseInt32(a.Recurrence);
        CHECK(code && *code >= 0 && *code <= 8);
        const auto moment = DueMoment(a);
        CHECK(moment);
        if ((a.AlertTime.empty() ? DayOf(*moment) >= DayOf(kNow) : *moment >= kNow) &&
            DayOf(*moment).year() <= year{3000})
            ahead.push_back(a);
    }
    for (const std::string& line : ImportReportLines(*plan))
        CHECK(isValidUtf8(line));

    const CalendarExport out = ExportCalendar(ahead, ExportOptions{"fuzz", sys_seconds{}});
    CHECK(out.leftOut.empty());
    const auto again = PlanImport(out.text, kNow, options(true));
    CHECK(again.ok());
    CHECK(again->alerts == ahead);
    return 0;
}
