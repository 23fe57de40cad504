#include "schedule/Clock.h"

#include <ctime>

namespace zento {
using namespace std::chrono;

LocalTime SystemClock::now() const {
    return toLocal(system_clock::now());
}

LocalTime SystemClock::toLocal(system_clock::time_point instant) {
    const sys_seconds s = floor<seconds>(instant);
    const std::time_t t = static_cast<std::time_t>(s.time_since_epoch().count());
    // localtime_r keeps the zone it read first: a zone changed while the program runs (travel,
    // a laptop moved) would go unseen until a restart. tzset reads it again, cheaply: glibc
    // compares TZ with its last value and, without TZ, stats /etc/localtime and reads it only
    // when it changed.
    ::tzset();
    std::tm tm{};
    if (::localtime_r(&t, &tm) == nullptr)
        return LocalTime{s.time_since_epoch()};
    const Date day{year{tm.tm_year + 1900}, month{static_cast<unsigned>(tm.tm_mon + 1)},
                   std::chrono::day{static_cast<unsigned>(tm.tm_mday)}};
    return local_days{day} + hours{tm.tm_hour} + minutes{tm.tm_min} + seconds{tm.tm_sec};
}

} // namespace zento
