#include "media/SoundPreview.h"

#include "media/MediaLength.h"
#include "media/SoundOutput.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

namespace zento {

SoundPreview::SoundPreview(SoundOutput& sound, QWidget* imgPlay, QWidget* imgStop, QWidget* imgPlaygris,
                           QWidget* imgStopGris, QObject* parent)
    : QObject(parent), m_sound(sound), m_imgPlay(imgPlay), m_imgStop(imgStop), m_imgPlaygris(imgPlaygris),
      m_imgStopGris(imgStopGris) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &SoundPreview::cycleTimeout);
}

void SoundPreview::imgPlayStop(bool play) {
    const auto show = [](QWidget* w, bool visible) {
        if (w)
            w->setVisible(visible);
    };
    show(m_imgPlay, play);
    show(m_imgStopGris, play);
    show(m_imgPlaygris, !play);
    show(m_imgStop, !play);
    if (m_playingLook != !play) {
        m_playingLook = !play;
        Q_EMIT lookChanged(m_playingLook);
    }
}

std::chrono::milliseconds SoundPreview::previewLength(const QString& path) {
    // The header's exact duration: GetMediaLength's whole seconds would make a short sound last
    // no time at all.
    const auto info = readWavInfo(path.toStdString());
    if (!info)
        return std::chrono::milliseconds{0};
    const double ms = std::ceil(info->seconds() * 1000.0);
    // A damaged header may announce hours of sound; a day is more than any preview.
    return std::chrono::milliseconds{static_cast<long long>(std::min(ms, 86'400'000.0))};
}

void SoundPreview::imgPlay_Click(const QString& path, std::function<bool()> loopChecked) {
    m_loopChecked = std::move(loopChecked);
    m_length = previewLength(path);
    if (m_length.count() == 0) {
        // Nothing to play (missing, not a WAV, empty): the preview ends at once. Starting it
        // anyway would let the output fall back to the default sound, looping with nothing to
        // show it nor stop it.
        imgStop_Click();
        return;
    }
    const bool loop = m_loopChecked && m_loopChecked();
    m_looping = loop;
    m_sound.PlaySoundFile(path.toStdString(), loop);
    startCycle();
}

void SoundPreview::startCycle() {
    imgPlayStop(false);
    m_cycleEnd = QDeadlineTimer(m_length, Qt::PreciseTimer);
    m_timer.start(m_length);
}

void SoundPreview::cycleTimeout() {
    // A timer may fire a little early; the deadline is the monotonic truth.
    if (const auto left = m_cycleEnd.remainingTimeAsDuration(); left.count() > 0) {
        m_timer.start(std::chrono::ceil<std::chrono::milliseconds>(left));
        return;
    }
    if (!anyPictureShown()) {
        // The editor hid the sound controls meanwhile: leave them hidden.
        if (m_playingLook) {
            m_playingLook = false;
            Q_EMIT lookChanged(false);
        }
        finish();
        return;
    }
    imgPlayStop(true);
    if (m_looping && m_loopChecked && m_loopChecked()) {
        startCycle();
        return;
    }
    finish();
}

void SoundPreview::finish() {
    m_timer.stop();
    m_looping = false;
    Q_EMIT previewFinished();
}

void SoundPreview::imgStop_Click() {
    const bool wasPreviewing = isPreviewing();
    imgPlayStop(true);
    m_sound.StopSound();
    if (wasPreviewing)
        finish();
}

void SoundPreview::chkReveil_Click(bool checked) {
    // Only a running preview is stopped: the sound output may be playing a popup's sound.
    if (!checked && isPreviewing())
        imgStop_Click();
}

bool SoundPreview::anyPictureShown() const {
    for (const QWidget* w : {m_imgPlay, m_imgStop, m_imgPlaygris, m_imgStopGris})
        if (w && !w->isHidden())
            return true;
    return false;
}

} // namespace zento
