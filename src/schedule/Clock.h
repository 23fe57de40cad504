#pragma once

#include "store/DateText.h"

#include <chrono>

namespace zento {

/// The present local wall-clock time. Alerts are wall-clock moments, so everything that decides
/// whether one is due asks a Clock; tests give their own.
class Clock {
public:
    virtual ~Clock() = default;
    /// The present local date and time, to the second.
    virtual LocalTime now() const = 0;
};

/// The computer's clock, read in the time zone of the C library (the TZ variable or the system
/// setting) as it is at each reading, so that a change of zone is seen without a restart.
class SystemClock final : public Clock {
public:
    LocalTime now() const override;

    /// The local wall-clock time of a system instant, cut to the second. When the C library
    /// cannot convert it, the UTC wall-clock time is returned instead.
    static LocalTime toLocal(std::chrono::system_clock::time_point instant);
};

} // namespace zento
