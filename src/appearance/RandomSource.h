#pragma once

#include <cstdint>
#include <random>

namespace zento {

/// Uniform random numbers, injected so that the random colours of new alerts can be tested.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    /// A number uniform in [0, 1).
    virtual double NextUniform() = 0;
};

/// The program's source: a Mersenne twister seeded from the system's entropy and the time.
class StdRandomSource final : public RandomSource {
public:
    StdRandomSource();
    /// A fixed seed, for reproducible sequences.
    explicit StdRandomSource(std::uint64_t seed) : m_engine(seed) {}

    double NextUniform() override;

private:
    std::mt19937_64 m_engine;
};

} // namespace zento
