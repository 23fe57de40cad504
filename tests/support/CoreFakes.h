#pragma once

#include "appearance/RandomSource.h"
#include "media/ActionLauncher.h"
#include "media/SoundOutput.h"
#include "schedule/Clock.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace zento::test {

/// A clock that reads what the test sets.
class FakeClock final : public Clock {
public:
    LocalTime current{};
    LocalTime now() const override { return current; }
    void set(Date d, std::chrono::seconds timeOfDay) { current = AtTime(d, timeOfDay); }
    void advance(std::chrono::seconds s) { current += s; }
};

/// Returns the scripted numbers in turn, then 0.
class FakeRandom final : public RandomSource {
public:
    std::deque<double> values;
    double NextUniform() override {
        if (values.empty())
            return 0.0;
        const double v = values.front();
        values.pop_front();
        return v;
    }
};

/// Records what would have been played.
class FakeSound final : public SoundOutput {
public:
    struct Play {
        std::string path;
        bool loop;
    };
    std::vector<Play> plays;
    int stops = 0;
    bool playing = false;
    void PlaySoundFile(const std::string& path, bool loop) override {
        plays.push_back({path, loop});
        playing = true;
    }
    void StopSound() override {
        ++stops;
        playing = false;
    }
};

/// Records what would have been opened, and tells `onOpen` when it happens.
class FakeLauncher final : public ActionLauncher {
public:
    std::vector<std::string> opened;
    std::function<void()> onOpen;
    void OpenAction(const std::string& target) override {
        opened.push_back(target);
        if (onOpen)
            onOpen();
    }
};

} // namespace zento::test
