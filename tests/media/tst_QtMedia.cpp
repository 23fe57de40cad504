#include "media/QtActionLauncher.h"
#include "media/QtSoundOutput.h"
#include "media/SoundFolder.h"
#include "support/QtTestMain.h"

using namespace zento;

class tst_QtMedia : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void actionTextNamesAUrlOrAFileNeverACommandAndAMissingOneIsOnlyLogged() {
        // The URL expected, or the local file it names (from "/"); the home folder is /home/marie.
        const std::pair<const char*, const char*> cases[] = {
            {"  ", ""},
            {" https://example.org/a?b=1 ", "https://example.org/a?b=1"},
            {"mailto:jean@example.fr", "mailto:jean@example.fr"},
            {"file:///tmp/a%20b.txt", "/tmp/a b.txt"},
            {"www.example.org", "http://www.example.org"},
            {"/home/marie/Mes documents/n°1 #?.txt", "/home/marie/Mes documents/n°1 #?.txt"},
            {"~/agenda.odt", "/home/marie/agenda.odt"},
            {"C:\\note.txt", "/home/marie/C:\\note.txt"},        // a drive letter is no scheme
            {"a.txt; rm -rf ~", "/home/marie/a.txt; rm -rf ~"}}; // shell text is a file name
        for (const auto& [target, expected] : cases) {
            const QString e = QString::fromUtf8(expected);
            const QUrl url = e.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(e) : QUrl(e);
            QCOMPARE(actionUrl(QString::fromUtf8(target), QStringLiteral("/home/marie")), url);
        }
        // What cannot be opened is only logged: the alert matters more than its action.
        QtActionLauncher launcher;
        launcher.OpenAction(""); // quietly nothing
        QTest::ignoreMessage(QtWarningMsg, "Zento : action « /nulle/part.txt » : fichier introuvable");
        launcher.OpenAction("/nulle/part.txt");
    }

    void unplayableFilesGiveTheDefaultSoundAndMissingOnesSilence() {
        test::TempDir dir;
        const QString defaut = soundFolder() + QStringLiteral("Defaut.wav");
        const QString carillon = soundFolder() + QStringLiteral("Carillon.wav");
        test::writeFile(dir / "texte.wav", "ceci n'est pas un son");

        QtSoundOutput silent(defaut); // as here: no audio output, everything silent
        silent.PlaySoundFile(carillon.toStdString(), true);
        QVERIFY(silent.currentPath().isEmpty());

        QtSoundOutput out(defaut);
        out.setRequireAudioOutput(false); // to watch which file would play
        out.PlaySoundFile((dir / "absent.wav").string(), false);
        out.PlaySoundFile(soundFolder().toStdString(), false); // an alert without a sound: the folder
        QVERIFY(out.currentPath().isEmpty());
        out.PlaySoundFile(carillon.toStdString(), true); // looped and stopped: the real-sound test
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Error decoding"));
        out.PlaySoundFile((dir / "texte.wav").string(), false); // replaces the current sound
        QTRY_COMPARE_WITH_TIMEOUT(out.currentPath(), defaut, 2000);
        QVERIFY(!out.isLooping());
    }
};

ZENTO_QTEST_MAIN(tst_QtMedia)
#include "tst_QtMedia.moc"
