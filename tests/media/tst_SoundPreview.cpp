#include "media/SoundPreview.h"
#include "support/FakeServices.h"
#include "support/QtTestMain.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QWidget>

#include <algorithm>
#include <memory>

using namespace zento;

namespace {

/// A silent mono 16-bit PCM WAV at 8 kHz, of that many milliseconds.
std::string silentWav(unsigned milliseconds) {
    const unsigned dataSize = milliseconds * 16;
    std::string b;
    const auto le = [&b](unsigned v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            b += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    b += "RIFF";
    le(36 + dataSize, 4);
    b += "WAVEfmt ";
    le(16, 4);
    le(1, 2);     // PCM
    le(1, 2);     // mono
    le(8000, 4);  // samples per second
    le(16000, 4); // bytes per second
    le(2, 2);     // block align
    le(16, 2);    // bits per sample
    b += "data";
    le(dataSize, 4);
    b.append(dataSize, '\0');
    return b;
}

} // namespace

class tst_SoundPreview : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> m_dir;
    test::FakeSound m_sound;
    std::unique_ptr<QWidget> m_panel;
    QWidget *m_play, *m_stop, *m_playGrey, *m_stopGrey;
    std::unique_ptr<SoundPreview> m_preview;
    QString m_wav; ///< 200 ms
    bool m_loopBox = false;

    void play(const QString& path) {
        m_preview->imgPlay_Click(path, [this] { return m_loopBox; });
    }
    bool idleLook() const {
        return !m_play->isHidden() && !m_stopGrey->isHidden() && m_playGrey->isHidden() && m_stop->isHidden();
    }
    bool playingLook() const {
        return m_play->isHidden() && m_stopGrey->isHidden() && !m_playGrey->isHidden() && !m_stop->isHidden();
    }

private Q_SLOTS:
    void init() {
        m_dir = std::make_unique<test::TempDir>();
        test::writeFile(*m_dir / "court.wav", silentWav(200));
        m_wav = QString::fromStdString((*m_dir / "court.wav").string());
        m_sound = {};
        m_panel = std::make_unique<QWidget>();
        m_play = new QWidget(m_panel.get());
        m_stop = new QWidget(m_panel.get());
        m_playGrey = new QWidget(m_panel.get());
        m_stopGrey = new QWidget(m_panel.get());
        m_preview = std::make_unique<SoundPreview>(m_sound, m_play, m_stop, m_playGrey, m_stopGrey);
        m_preview->imgPlayStop(true);
        m_loopBox = false;
    }
    void cleanup() {
        m_preview.reset();
        m_panel.reset();
    }

    void playsOnceForItsLength() {
        QCOMPARE(SoundPreview::previewLength(m_wav).count(), 200);
        QSignalSpy finished(m_preview.get(), &SoundPreview::previewFinished);
        QElapsedTimer clock;
        clock.start();
        play(m_wav);
        QVERIFY(playingLook());
        QCOMPARE(m_sound.plays.size(), std::size_t{1});
        QVERIFY(m_sound.plays[0].path == m_wav.toStdString() && !m_sound.plays[0].loop);
        QTRY_VERIFY_WITH_TIMEOUT(idleLook(), 1000);
        const qint64 elapsed = clock.elapsed();
        QVERIFY2(elapsed >= 195 && elapsed < 900, QByteArray::number(elapsed).constData());
        QCOMPARE(finished.count(), 1);
    }

    void repeatsWhileTheLoopBoxIsChecked() {
        m_loopBox = true;
        QSignalSpy looks(m_preview.get(), &SoundPreview::lookChanged);
        QSignalSpy finished(m_preview.get(), &SoundPreview::previewFinished);
        play(m_wav);
        QVERIFY(m_sound.plays.back().loop);
        const auto cyclesStarted = [&looks] {
            return std::count_if(looks.begin(), looks.end(),
                                 [](const QList<QVariant>& a) { return a.at(0).toBool(); });
        };
        QTRY_VERIFY_WITH_TIMEOUT(cyclesStarted() >= 2, 700);
        QCOMPARE(finished.count(), 0);
        QCOMPARE(m_sound.plays.size(), std::size_t{1}); // the sound loops by itself

        // Unchecking stops it at once: sound, look and cycle.
        m_loopBox = false;
        m_preview->chkReveil_Click(false);
        QCOMPARE(m_sound.stops, 1);
        QVERIFY(idleLook() && !m_preview->isPreviewing());
        QCOMPARE(finished.count(), 1);
        m_preview->chkReveil_Click(false); // with nothing previewing, a sound playing is left alone
        QCOMPARE(m_sound.stops, 1);
    }

    void stopEndsTheCycle() {
        m_loopBox = true;
        play(m_wav);
        QTest::qWait(50);
        m_preview->imgStop_Click();
        QVERIFY(idleLook());
        QCOMPARE(m_sound.stops, 1);
        QVERIFY(!m_preview->isPreviewing());
        QTest::qWait(300); // no silent cycle brings the playing look back
        QVERIFY(idleLook());
    }

    void checkingTheBoxAfterTheStartDoesNotRepeat() {
        play(m_wav); // started once: a new cycle would have no sound
        m_loopBox = true;
        m_preview->chkReveil_Click(true);
        QTRY_VERIFY_WITH_TIMEOUT(!m_preview->isPreviewing(), 600);
        QVERIFY(idleLook());
        QCOMPARE(m_sound.stops, 0);
    }

    void aFileThatCannotBePlayedEndsAtOnce() {
        test::writeFile(*m_dir / "faux.wav", "pas un son");
        m_loopBox = true;
        for (const QString& path :
             {QString::fromStdString((*m_dir / "faux.wav").string()), QStringLiteral("/nulle/part.wav")}) {
            QCOMPARE(SoundPreview::previewLength(path).count(), 0);
            play(m_wav);
            play(path); // replaces the running preview
            QVERIFY(idleLook() && !m_preview->isPreviewing());
            // Nothing left for the output to loop (it would fall back to the default sound).
            QVERIFY(!m_sound.playing);
            QCOMPARE(m_sound.plays.back().path, m_wav.toStdString());
        }
    }

    void hiddenControlsStayHidden() {
        play(m_wav);
        for (QWidget* w : {m_play, m_stop, m_playGrey, m_stopGrey})
            w->hide(); // the editor switched to "Popup"
        QTRY_VERIFY_WITH_TIMEOUT(!m_preview->isPreviewing(), 600);
        QVERIFY(m_play->isHidden() && m_stop->isHidden() && m_playGrey->isHidden() && m_stopGrey->isHidden());
        QVERIFY(!m_preview->isPlayingLook());
    }
};

ZENTO_QTEST_MAIN(tst_SoundPreview)
#include "tst_SoundPreview.moc"
