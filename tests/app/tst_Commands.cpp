#include "support/QtTestMain.h"
#include "support/TestEnvironment.h"

#include <QProcess>
#include <QProcessEnvironment>

using zento::test::readFile;
using zento::test::TempDir;

namespace {

struct Run {
    int code = -1;
    QString out, err;
};

/// The real program, started as a user would from a terminal, in a home of its own and with no
/// display at all.
struct Home {
    TempDir dir;
    QString home() const { return QString::fromStdString(dir.path().string()); }
    std::string ini() const { return (dir / ".local/share/Zento/Alertes.ini").string(); }

    Run run(const QStringList& args) const {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home() + QStringLiteral("/.config"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home());
        for (const char* name : {"XDG_DATA_HOME", "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(ZENTO_PROGRAM), args);
        if (!p.waitForFinished(10000))
            qFatal("zento did not end");
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }
    /// What --list prints, a line each, without the position and the Id.
    QStringList rows() const {
        QStringList r = run({"--list"}).out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (QString& line : r)
            line = line.section(QLatin1Char('\t'), 2);
        return r;
    }
    /// A command's output, if it succeeded with one save (the backup is the file from before it).
    QString savedOnce(const QStringList& args) const {
        const std::string before = readFile(ini());
        const Run r = run(args);
        return r.code == 0 && readFile(ini() + "~") == before ? r.out
                                                              : QStringLiteral("not saved once: ") + r.err;
    }
};

} // namespace

class tst_Commands final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void failuresSayWhyAndWriteNothingAndEachChangeSavesOnce() {
        Home h;
        const Run help = h.run({"--help"});
        QVERIFY(help.code == 0 && !help.out.isEmpty());
        const Run empty = h.run({"--list"});
        QVERIFY(empty.code == 0 && empty.out.count(QLatin1Char('\n')) == 1); // the header alone
        // The data folder it made is remembered.
        QVERIFY(readFile(h.dir / ".config/Olvani/Zento.conf")
                    .find("DataPath=" + h.ini().substr(0, h.ini().rfind('/'))) != std::string::npos);
        zento::test::writeFile(h.dir / "broken.ics", "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:x\r\n");
        const QList<std::tuple<QStringList, int, QString>> cases = {
            {{"--nimporte"}, 2, "option inconnue : --nimporte\n\n" + help.out}, // the usage follows
            {{"--add"}, 1, "Indiquez un message"},
            {{"--add", "--date", "30/02/2027", "x"}, 1, "Date non valide"},
            {{"--add", "--sound", "absent.wav", "x"}, 1, "Son introuvable"},
            {{"--delete", "1"}, 1, "Aucune alerte"},
            {{"--import", h.home() + "/broken.ics"}, 1, "ligne 2"},
        };
        for (const auto& [args, code, why] : cases) {
            const Run r = h.run(args);
            QCOMPARE(r.code, code);
            QVERIFY2(r.err.contains(why) && r.out.isEmpty(), qPrintable(r.err));
        }
        QVERIFY(readFile(h.ini()).empty());

        // Options anywhere, "=" or a blank before a value, the words left over the message.
        QCOMPARE(h.savedOnce({"--add", "Rendez-vous", "--date", "12/01/2027", "--time=9:30", "chez",
                              "--recurrence", "annuel", "--loop", "--emoticon", "12", "--colors",
                              "&H0080FFFF&,0", "le", "--action", "mailto:x@y.fr", "--", "--dentiste"}),
                 QStringLiteral("1\n"));
        QCOMPARE(h.savedOnce({"--add", "--no-sound", "Réunion"}), QStringLiteral("2\n"));
        const QStringList rows = h.rows();
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[1], QStringLiteral("Rendez-vous chez le --dentiste\t12/01/2027\t8\t12\tDefaut.wav\t"
                                         "8454143\t0\t09:30\t1\tmailto:x@y.fr"));
        QVERIFY(rows[2].startsWith(QStringLiteral("Réunion\t")) &&
                rows[2].section(QLatin1Char('\t'), 4, 4).isEmpty());
        QCOMPARE(h.savedOnce({"--delete", "1"}), QString());
        QCOMPARE(h.rows().size(), 2);
    }

    void calendarsComeInOnceAndTheirActionsWithConsent() {
        Home from, to;
        from.run({"--add", "--date", "31/01/2030", "--recurrence", "Mensuel", "--action",
                  "https://exemple.fr", "Loyer"});
        const Run out = from.run({"--export", "-"});
        QVERIFY(out.code == 0 && out.out.startsWith(QStringLiteral("BEGIN:VCALENDAR\r\n")));
        QVERIFY2(out.err.contains(QStringLiteral("Loyer")), "a month-end rule is said to be approximate");
        const QString file = to.home() + QStringLiteral("/in.ics");
        QCOMPARE(from.run({"--export", file}).code, 0);

        const Run first = to.run({"--import", file});
        QVERIFY2(first.code == 0 && first.out.startsWith(QStringLiteral("1 alertes importées\n")),
                 qPrintable(first.out));
        QVERIFY2(!to.rows().value(1).endsWith(QStringLiteral("https://exemple.fr")),
                 "no action without consent");
        const std::string stored = readFile(to.ini());
        QCOMPARE(to.run({"--import", "--with-actions", file}).out,
                 QStringLiteral("0 alertes importées\n1 élément déjà importé\n"));
        QVERIFY2(readFile(to.ini()) == stored, "a second import adds nothing");
        Home fresh;
        QCOMPARE(fresh.run({"--import", "--with-actions", file}).code, 0);
        QCOMPARE(fresh.rows(), from.rows());
    }
};

ZENTO_QTEST_MAIN(tst_Commands)
#include "tst_Commands.moc"
