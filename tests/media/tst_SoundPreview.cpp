#include "media/SoundPreview.h"
#include "media/WavBytes.h"
#include "support/CoreFakes.h"
#include "support/QtTestMain.h"

#include <QElapsedTimer>
#include <QSignalSpy>

#include <algorithm>
#include <memory>

using namespace zento;

// Stopping by the Stop picture, the loop box or leaving the editor is tested on the editor.
class tst_SoundPreview : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> m_dir;
    test::FakeSound m_sound;
    std::unique_ptr<QWidget> m_panel;
    QWidget *m_play, *m_stop, *m_playGrey, *m_stopGrey;
    std::unique_ptr<SoundPreview> m_preview;
    QString m_wav; ///< 200 ms of silence
    bool m_loopBox = false;

    void play(const QString& path) {
        m_preview->imgPlay_Click(path, [this] { return m_loopBox; });
    }
    /// Play and a greyed Stop while idle; a greyed Play and Stop while playing.
    bool looks(bool playing) const {
        return m_play->isHidden() == playing && m_stopGrey->isHidden() == playing &&
               m_playGrey->isHidden() != playing && m_stop->isHidden() != playing;
    }

private Q_SLOTS:
    void init() {
        m_dir = std::make_unique<test::TempDir>();
        test::writeFile(*m_dir / "court.wav", test::wav::riff(test::wav::fmt(8000) + test::wav::data(3200)));
        m_wav = QString::fromStdString((*m_dir / "court.wav").string());
        m_sound = {};
        m_panel = std::make_unique<QWidget>();
        for (QWidget** w : {&m_play, &m_stop, &m_playGrey, &m_stopGrey})
            *w = new QWidget(m_panel.get());
        m_preview = std::make_unique<SoundPreview>(m_sound, m_play, m_stop, m_playGrey, m_stopGrey);
        m_preview->imgPlayStop(true);
        m_loopBox = false;
    }

    void playsOnceForItsLengthEvenIfTheLoopBoxIsTickedMeanwhile() {
        QSignalSpy finished(m_preview.get(), &SoundPreview::previewFinished);
        QElapsedTimer clock;
        clock.start();
        play(m_wav);
        QVERIFY(looks(true));
        m_loopBox = true; // started once: a new cycle would have no sound
        m_preview->chkReveil_Click(true);
        QCOMPARE(m_sound.plays.size(), std::size_t{1});
        QVERIFY(m_sound.plays[0].path == m_wav.toStdString() && !m_sound.plays[0].loop);
        QTRY_VERIFY_WITH_TIMEOUT(looks(false), 1000);
        const qint64 elapsed = clock.elapsed();
        QVERIFY2(elapsed >= 195 && elapsed < 900, QByteArray::number(elapsed).constData());
        QCOMPARE(finished.count(), 1);
        QCOMPARE(m_sound.stops, 0);
    }

    void repeatsWhileTheLoopBoxIsTickedUntilTheControlsAreHidden() {
        m_loopBox = true;
        QSignalSpy lookChanges(m_preview.get(), &SoundPreview::lookChanged);
        QSignalSpy finished(m_preview.get(), &SoundPreview::previewFinished);
        play(m_wav);
        QVERIFY(m_sound.plays.back().loop);
        const auto started = [](const QList<QVariant>& look) { return look.at(0).toBool(); };
        QTRY_VERIFY_WITH_TIMEOUT(std::count_if(lookChanges.begin(), lookChanges.end(), started) >= 2, 700);
        QCOMPARE(finished.count(), 0);
        QCOMPARE(m_sound.plays.size(), std::size_t{1}); // the sound loops by itself
        for (QWidget* w : {m_play, m_stop, m_playGrey, m_stopGrey})
            w->hide(); // the editor switched to "Popup": the cycle ends without showing them
        QTRY_VERIFY_WITH_TIMEOUT(!m_preview->isPreviewing(), 600);
        QVERIFY(m_play->isHidden() && m_stop->isHidden() && m_playGrey->isHidden() && m_stopGrey->isHidden());
        QVERIFY(!m_preview->isPlayingLook());
        QCOMPARE(finished.count(), 1);
    }

    void aFileThatCannotBePlayedEndsAtOnce() {
        test::writeFile(*m_dir / "faux.wav", "pas un son");
        m_loopBox = true;
        play(m_wav);
        play(QString::fromStdString((*m_dir / "faux.wav").string())); // replaces the running preview
        QVERIFY(looks(false) && !m_preview->isPreviewing());
        // Nothing left for the output to loop (it would fall back to the default sound).
        QVERIFY(!m_sound.playing);
        QCOMPARE(m_sound.plays.back().path, m_wav.toStdString());
    }
};

ZENTO_QTEST_MAIN(tst_SoundPreview)
#include "tst_SoundPreview.moc"
