#include "media/QtActionLauncher.h"
#include "media/QtSoundOutput.h"
#include "media/SoundFolder.h"
#include "support/QtTestMain.h"

#include <QFileInfo>

using namespace zento;

class tst_QtMedia : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void actionUrl_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QUrl>("url");
        const auto file = [](const char* path) { return QUrl::fromLocalFile(QString::fromUtf8(path)); };
        QTest::newRow("empty") << "  " << QUrl();
        QTest::newRow("web address, blanks around")
            << " https://example.org/a?b=1 " << QUrl("https://example.org/a?b=1");
        QTest::newRow("mailto") << "mailto:jean@example.fr" << QUrl("mailto:jean@example.fr");
        QTest::newRow("ftp") << "ftp://ftp.example.org/pub" << QUrl("ftp://ftp.example.org/pub");
        QTest::newRow("file URL") << "file:///tmp/a%20b.txt" << file("/tmp/a b.txt");
        QTest::newRow("www without scheme") << "www.example.org" << QUrl("http://www.example.org");
        QTest::newRow("path with blanks")
            << "/home/marie/Mes documents/note.txt" << file("/home/marie/Mes documents/note.txt");
        QTest::newRow("relative: from home") << "notes/courses.txt" << file("/home/marie/notes/courses.txt");
        QTest::newRow("tilde") << "~/agenda.odt" << file("/home/marie/agenda.odt");
        QTest::newRow("a drive letter is no scheme")
            << "C:\\Mes documents\\note.txt" << file("/home/marie/C:\\Mes documents\\note.txt");
        QTest::newRow("shell text is a file name")
            << "a.txt; rm -rf ~" << file("/home/marie/a.txt; rm -rf ~");
        QTest::newRow("# and ? in a name") << "/tmp/n°1 #?.txt" << file("/tmp/n°1 #?.txt");
    }
    void actionUrl() {
        QFETCH(QString, target);
        QFETCH(QUrl, url);
        const QUrl got = zento::actionUrl(target, QStringLiteral("/home/marie"));
        QCOMPARE(got, url);
        QCOMPARE(got.toLocalFile(), url.toLocalFile());
    }

    void missingActionsAreOnlyLogged() {
        QtActionLauncher launcher;
        launcher.OpenAction(""); // quietly nothing
        QTest::ignoreMessage(QtWarningMsg, "Zento : action « /nulle/part.txt » : fichier introuvable");
        launcher.OpenAction("/nulle/part.txt");
    }

    void soundOutput() {
        test::TempDir dir;
        const QString defaut = soundFolder() + QStringLiteral("Defaut.wav");
        const QString carillon = soundFolder() + QStringLiteral("Carillon.wav");
        QVERIFY(QFileInfo::exists(defaut) && QFileInfo::exists(carillon));
        test::writeFile(dir / "texte.wav", "ceci n'est pas un son");

        // As on this machine: no audio output, everything silent.
        QtSoundOutput silent(defaut);
        silent.PlaySoundFile(carillon.toStdString(), true);
        QVERIFY(silent.currentPath().isEmpty());
        silent.StopSound();

        QtSoundOutput out(defaut);
        out.setRequireAudioOutput(false); // to watch which file would play
        out.PlaySoundFile((dir / "absent.wav").string(), false);
        out.PlaySoundFile(soundFolder().toStdString(), false); // an alert without a sound: the folder
        QVERIFY(out.currentPath().isEmpty());
        out.PlaySoundFile(carillon.toStdString(), true);
        QCOMPARE(out.currentPath(), carillon);
        QVERIFY(out.isLooping());
        // A file that cannot be played gives the default sound, replacing the current one.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Error decoding"));
        out.PlaySoundFile((dir / "texte.wav").string(), false);
        QTRY_COMPARE_WITH_TIMEOUT(out.currentPath(), defaut, 2000);
        QVERIFY(!out.isLooping());
        out.StopSound();
        QVERIFY(out.currentPath().isEmpty());
    }
};

ZENTO_QTEST_MAIN(tst_QtMedia)
#include "tst_QtMedia.moc"
