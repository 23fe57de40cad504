#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>

class QWidget;

namespace zento {

class SoundOutput;

/// The editor's preview button: four pictures at one place, of which one pair shows. Idle, the
/// start picture `imgPlay` and the greyed stop picture `imgStopGris`; playing, the greyed start
/// `imgPlaygris` and the stop picture `imgStop`.
///
/// A preview plays the file and shows the playing look for the file's length, measured with a
/// monotonic clock while the event loop keeps running; while "Répéter en boucle" stays checked
/// the cycle repeats. Stopping ends the sound and the cycle.
///
/// The editor owns the pictures and their clicks: a click on imgPlay calls imgPlay_Click with
/// the chosen file, one on imgStop calls imgStop_Click, every change of the loop box
/// chkReveil_Click. Whenever the preview's controls go (switching to "Popup" alone, the editor
/// closed or hidden) it calls imgStop_Click; a cycle that ends while all four are hidden does
/// not show them again.
class SoundPreview final : public QObject {
    Q_OBJECT
public:
    SoundPreview(SoundOutput& sound, QWidget* imgPlay, QWidget* imgStop, QWidget* imgPlaygris,
                 QWidget* imgStopGris, QObject* parent = nullptr);

    /// true: the idle look; false: the playing look.
    void imgPlayStop(bool play);

    /// Starts the preview of the file at `path`; `loopChecked` tells whether "Répéter en boucle"
    /// is checked, read at the start and at the end of every cycle. A preview already running is
    /// replaced. A file that cannot be played (no WAV of some length) ends the preview at once.
    void imgPlay_Click(const QString& path, std::function<bool()> loopChecked);
    /// Idle look, silence, and the cycle ends.
    void imgStop_Click();
    /// The loop box changed: unchecking it (whoever does) stops a running preview, sound and
    /// look; checking it counts at the next start.
    void chkReveil_Click(bool checked);

    /// A preview cycle is running.
    bool isPreviewing() const { return m_timer.isActive(); }
    /// The playing look is showing.
    bool isPlayingLook() const { return m_playingLook; }
    /// The length of one cycle for that file: the WAV's duration to the millisecond, 0 when the
    /// file is not a readable WAV.
    static std::chrono::milliseconds previewLength(const QString& path);

Q_SIGNALS:
    /// The look changed (true: the playing look).
    void lookChanged(bool playing);
    /// A cycle ended and no other follows.
    void previewFinished();

private:
    void startCycle();
    void cycleTimeout();
    void finish();
    bool anyPictureShown() const;

    SoundOutput& m_sound;
    QWidget* m_imgPlay;
    QWidget* m_imgStop;
    QWidget* m_imgPlaygris;
    QWidget* m_imgStopGris;

    QTimer m_timer;
    QDeadlineTimer m_cycleEnd;
    std::chrono::milliseconds m_length{0};
    std::function<bool()> m_loopChecked;
    bool m_looping = false; ///< started in a loop and not unchecked since
    bool m_playingLook = false;
};

} // namespace zento
