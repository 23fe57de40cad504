#include "appearance/RandomSource.h"

#include <chrono>

namespace zento {

namespace {

std::uint64_t freshSeed() {
    std::random_device device;
    const auto entropy = (static_cast<std::uint64_t>(device()) << 32) ^ device();
    const auto ticks =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    return entropy ^ ticks;
}

} // namespace

StdRandomSource::StdRandomSource() : m_engine(freshSeed()) {}

double StdRandomSource::NextUniform() {
    // The top 53 bits scaled by 2^-53: strictly below 1, which uniform_real_distribution does
    // not promise on every library.
    return static_cast<double>(m_engine() >> 11) * 0x1.0p-53;
}

} // namespace zento
