#pragma once

#include "media/SoundOutput.h"

#include <QPointer>
#include <QString>

class QSoundEffect;

namespace zento {

/// The program's sound output on QSoundEffect: WAV files, once or in a loop, one current sound.
///
/// A file that exists but cannot be played (not a WAV, damaged) gives the default sound
/// instead, and when that one cannot be played either, the desktop's beep. On a machine without
/// an audio output everything stays silent: nothing is reported.
class QtSoundOutput final : public SoundOutput {
public:
    /// `defaultSoundPath` empty: "Defaut.wav" of the sound folder.
    explicit QtSoundOutput(QString defaultSoundPath = {});
    ~QtSoundOutput() override;
    QtSoundOutput(const QtSoundOutput&) = delete;
    QtSoundOutput& operator=(const QtSoundOutput&) = delete;

    void PlaySoundFile(const std::string& path, bool loop) override;
    void StopSound() override;

    /// The file the current sound was started from (the default sound after a fallback); empty
    /// when nothing was started since the last stop.
    QString currentPath() const;
    bool isLooping() const { return m_loop; }

    /// Plays through QSoundEffect even when no audio output is found (tests on a machine
    /// without sound, where only the choice of file can be observed).
    void setRequireAudioOutput(bool require) { m_requireOutput = require; }

private:
    void start(const QString& path, bool loop);
    void onStatusChanged(QSoundEffect* effect);
    void release();

    QString m_defaultPath;
    QPointer<QSoundEffect> m_effect;
    bool m_loop = false;
    bool m_requireOutput = true;
};

} // namespace zento
