#pragma once

namespace zento {

class ActionLauncher;
class Clock;
class RandomSource;
class SoundOutput;
class UserDialogs;

/// Every outside effect a window may cause or read goes through one of these seams, so that
/// tests replace them: the clock, the random source, message boxes and dialogs, sound output and
/// the action launcher. The program builds one set at start-up and hands it to its windows.
struct Services {
    Clock& clock;
    RandomSource& random;
    UserDialogs& dialogs;
    SoundOutput& sound;
    ActionLauncher& launcher;
};

} // namespace zento
