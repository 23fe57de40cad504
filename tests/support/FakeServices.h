#pragma once

#include "support/CoreFakes.h"
#include "support/FakeDialogs.h"
#include "ui/Services.h"

namespace zento::test {

struct FakeServices {
    FakeClock clock;
    FakeRandom random;
    FakeDialogs dialogs;
    FakeSound sound;
    FakeLauncher launcher;
    Services services{clock, random, dialogs, sound, launcher};
};

} // namespace zento::test
