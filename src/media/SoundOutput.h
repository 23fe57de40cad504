#pragma once

#include <string>

namespace zento {

/// The program's one current sound. Starting a sound replaces the one playing; stopping stops
/// it, whoever started it. Nothing is ever reported: a missing file is silence.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;

    /// Starts the WAV file asynchronously, once or repeating until stopped. A path that names
    /// no file plays nothing; a file that exists but cannot be played gives the default sound.
    virtual void PlaySoundFile(const std::string& path, bool loop) = 0;
    virtual void StopSound() = 0;
};

} // namespace zento
