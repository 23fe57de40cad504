#include "support/QtTestMain.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>

using zento::test::readFile;
using zento::test::TempDir;

namespace {

struct Run {
    int code = -1;
    QString out;
    QString err;
};

/// The real program, started as a user would from a terminal, in a home of its own and with no
/// display at all.
struct Home {
    TempDir dir;
    QString data() const { return QString::fromStdString((dir / ".local/share/Zento").string()); }
    std::string ini() const { return (dir / ".local/share/Zento/Alertes.ini").string(); }

    Run run(const QStringList& args) const {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QString home = QString::fromStdString(dir.path().string());
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        env.remove(QStringLiteral("XDG_DATA_HOME"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(ZENTO_PROGRAM), args);
        if (!p.waitForFinished(10000))
            qFatal("zento did not end");
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }
};

} // namespace

class tst_Commands final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void versionHelpAndUnknownOptions() {
        Home h;
        QCOMPARE(h.run({"--version"}).out, QStringLiteral("Zento 2.0.0\n"));
        const Run help = h.run({"--help"});
        QCOMPARE(help.code, 0);
        QVERIFY(help.out.startsWith(QStringLiteral("Usage : zento")));
        const Run bad = h.run({"--nimporte"});
        QCOMPARE(bad.code, 2);
        QVERIFY(bad.out.isEmpty());
        QVERIFY(bad.err.contains(QStringLiteral("option inconnue : --nimporte")));
        QVERIFY(bad.err.contains(QStringLiteral("Usage : zento")));
    }

    void listOnAFirstStartCreatesTheFolderAndTheSetting() {
        Home h;
        const Run r = h.run({"--list"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out,
                 QStringLiteral("Position\tId\tMessage\tAlertDate\tRecurrence\tEmoticon\tSound\tBackColor\t"
                                "ForeColor\tAlertTime\tLoopSound\tAction\n"));
        QVERIFY(QDir(h.data()).exists());
        const std::string conf = readFile(h.dir / ".config/Olvani/Zento.conf");
        QVERIFY(conf.find("DataPath=" + h.data().toStdString()) != std::string::npos);
    }

    void addListAndDelete() {
        Home h;
        const Run add =
            h.run({"--add", "--date", "12/01/2027", "--time", "9:30", "--recurrence", "annuel", "--emoticon",
                   "12", "--colors", "255,16777215", "Rendez-vous", "chez", "le", "dentiste"});
        QCOMPARE(add.code, 0);
        QCOMPARE(add.out, QStringLiteral("1\n"));
        const std::string beforeSecond = readFile(h.ini());
        const Run second = h.run({"--add", "--no-sound", "Réunion\tà part"});
        QCOMPARE(second.out, QStringLiteral("2\n"));
        QVERIFY2(readFile(h.ini() + "~") == beforeSecond, "one save: the backup is the file before the add");
        const Run list = h.run({"--list"});
        const QStringList lines = list.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[1],
                 QStringLiteral("1\t1\tRendez-vous chez le dentiste\t12/01/2027\t8\t12\tDefaut.wav\t255\t"
                                "16777215\t09:30\t0\t"));
        QVERIFY(lines[2].startsWith(QStringLiteral("2\t2\tRéunion\\tà part\t")));
        const std::string ini = readFile(h.ini());
        QVERIFY(ini.find("Nb=2") != std::string::npos);

        QCOMPARE(h.run({"--delete", "1"}).code, 0);
        QVERIFY2(readFile(h.ini() + "~") == ini, "one save: the backup is the file before the delete");
        QCOMPARE(h.run({"--list"}).out.count(QLatin1Char('\n')), 2);
        const Run missing = h.run({"--delete", "1"});
        QCOMPARE(missing.code, 1);
        QVERIFY(missing.err.contains(QStringLiteral("Aucune alerte")));
    }

    void calendarsGoOutAndComeBackOnce() {
        Home from, to;
        QCOMPARE(from.run({"--add", "--date", "31/01/2030", "--time", "08:15", "--recurrence", "Mensuel",
                           "--action", "https://exemple.fr", "Loyer"})
                     .code,
                 0);
        QCOMPARE(from.run({"--add", "--date", "01/06/2030", "--no-sound", "Réunion 🎂"}).code, 0);
        const Run out = from.run({"--export", "-"});
        QCOMPARE(out.code, 0);
        QVERIFY(out.out.startsWith(QStringLiteral("BEGIN:VCALENDAR\r\n")));
        QVERIFY2(out.err.contains(QStringLiteral("Loyer")), "a month-end rule is said to be approximate");
        const std::string file = (to.dir / "in.ics").string();
        QCOMPARE(from.run({"--export", QString::fromStdString(file)}).code, 0);

        const Run first = to.run({"--import", QString::fromStdString(file)});
        QCOMPARE(first.code, 0);
        QVERIFY2(first.out.startsWith(QStringLiteral("2 alertes importées\n")), qPrintable(first.out));
        QVERIFY(first.out.contains(QStringLiteral("https://exemple.fr")));
        const auto rows = [](const Home& h) {
            QStringList r = h.run({"--list"}).out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            for (QString& line : r)
                line = line.section(QLatin1Char('\t'), 2); // without position and Id
            return r;
        };
        const QStringList got = rows(to);
        QCOMPARE(got.size(), 3);
        QVERIFY2(!got[1].endsWith(QStringLiteral("https://exemple.fr")), "no action without consent");
        const std::string stored = readFile(to.ini());
        QCOMPARE(to.run({"--import", "--with-actions", QString::fromStdString(file)}).out,
                 QStringLiteral("0 alertes importées\n2 éléments déjà importés\n"));
        QVERIFY2(readFile(to.ini()) == stored, "a second import adds nothing");

        Home fresh;
        QCOMPARE(fresh.run({"--import", "--with-actions", QString::fromStdString(file)}).code, 0);
        QCOMPARE(rows(fresh), rows(from));

        zento::test::writeFile(to.dir / "broken.ics", "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:x\r\n");
        const Run broken = to.run({"--import", QString::fromStdString((to.dir / "broken.ics").string())});
        QCOMPARE(broken.code, 1);
        QVERIFY(broken.err.contains(QStringLiteral("ligne 2")));
        QVERIFY2(readFile(to.ini()) == stored, "a broken file changes nothing");
    }

    void refusedAddsWriteNothing() {
        Home h;
        const QList<QPair<QStringList, QString>> cases = {
            {{"--add"}, QStringLiteral("Indiquez un message")},
            {{"--add", "--date", "30/02/2027", "x"}, QStringLiteral("Date non valide")},
            {{"--add", "--time", "7h", "x"}, QStringLiteral("Heure non valide")},
            {{"--add", "--sound", "absent.wav", "x"}, QStringLiteral("Son introuvable")},
            {{"--add", "--recurrence", "parfois", "x"}, QStringLiteral("Périodicité non valide")},
        };
        for (const auto& [args, why] : cases) {
            const Run r = h.run(args);
            QCOMPARE(r.code, 1);
            QVERIFY2(r.err.contains(why), qPrintable(r.err));
            QVERIFY(r.out.isEmpty());
        }
        QVERIFY(readFile(h.ini()).empty());
    }
};

ZENTO_QTEST_MAIN(tst_Commands)
#include "tst_Commands.moc"
