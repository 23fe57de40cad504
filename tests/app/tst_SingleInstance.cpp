#include "app/SingleInstance.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QSysInfo>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using namespace zento;
using SecondStart = SingleInstance::SecondStart;

namespace {

const QByteArray Ok = "ZENTO/1 OK\n";

struct Folder {
    test::TempDir dir;
    operator QString() const { return QString::fromStdString(dir.path().string()); }
};

/// What the copy listening in `folder` answers to these bytes before it hangs up. This thread
/// serves the copy meanwhile.
QByteArray exchange(const QString& folder, const QByteArray& bytes) {
    QLocalSocket client;
    client.connectToServer(SingleInstance::socketPath(folder));
    if (!client.waitForConnected(500))
        return "unreachable";
    client.write(bytes);
    QByteArray answer;
    const auto hungUp = [&] {
        answer += client.readAll();
        return client.state() == QLocalSocket::UnconnectedState;
    };
    return QTest::qWaitFor(hungUp, 1000) ? answer + client.readAll() : "still open";
}

/// This program as another copy (see probe()), run as another user when `asUser` is given.
std::unique_ptr<QProcess> startProbe(const QString& folder, std::optional<uid_t> asUser = {}) {
    auto p = std::make_unique<QProcess>();
    if (asUser)
        p->setChildProcessModifier([id = *asUser] {
            if (::setgid(id) != 0 || ::setuid(id) != 0)
                std::_Exit(5);
        });
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--probe"), folder});
    return p;
}

/// The next line the probe prints (what came of it, when none came in time).
QString nextLine(QProcess& p) {
    (void)QTest::qWaitFor([&] { return p.canReadLine() || p.state() == QProcess::NotRunning; }, 5000);
    return QString::fromUtf8(p.readLine()).trimmed();
}

bool ended(QProcess& p) {
    return p.state() == QProcess::NotRunning || p.waitForFinished(5000);
}

} // namespace

class tst_SingleInstance final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void linesFromAnotherCopy_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("signal"); // the one it raises; -1: dropped unanswered (activate: below)
        QTest::newRow("reload") << QByteArray("ZENTO/1 RELOAD\n") << 1;
        QTest::newRow("show") << QByteArray("ZENTO/1 SHOW\n") << 2;
        QTest::newRow("new alert") << QByteArray("ZENTO/1 NEW-ALERT\n") << 3;
        QTest::newRow("other version") << QByteArray("ZENTO/2 ACTIVATE\n") << -1;
        QTest::newRow("lower case") << QByteArray("zento/1 activate\n") << -1;
        QTest::newRow("carriage return") << QByteArray("ZENTO/1 ACTIVATE\r\n") << -1;
        QTest::newRow("nul inside") << QByteArray("ZENTO/1 ACTI\0VATE\n", 18) << -1;
        QTest::newRow("line too long") << QByteArray(300, 'x') + "\nZENTO/1 ACTIVATE\n" << -1;
        QTest::newRow("huge blob") << QByteArray(1 << 20, 'A') << -1;
        QTest::newRow("no newline") << QByteArray("ZENTO/1 ACTIVATE") << -1;
    }

    void linesFromAnotherCopy() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, signal);
        const Folder folder;
        SingleInstance primary(folder);
        primary.setClientTimeout(300); // for the client that never ends its line
        QVERIFY(primary.tryBecomePrimary());
        const QSignalSpy spies[] = {QSignalSpy(&primary, &SingleInstance::activateRequested),
                                    QSignalSpy(&primary, &SingleInstance::reloadRequested),
                                    QSignalSpy(&primary, &SingleInstance::showRequested),
                                    QSignalSpy(&primary, &SingleInstance::newAlertRequested)};
        QCOMPARE(exchange(folder, bytes), signal < 0 ? QByteArray() : Ok);
        // ... and it goes on listening, holding no connection open.
        QCOMPARE(exchange(folder, "ZENTO/1 ACTIVATE\n"), Ok);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(spies[i].count(), int(i == signal) + int(i == 0));
        QTRY_COMPARE_WITH_TIMEOUT(primary.findChildren<QLocalSocket*>().size(), 0, 500);
    }

    void aSecondStartAlwaysEnds_data() {
        // What the running copy does meanwhile, or what another program that took its socket's name
        // answers; without one, the lock file a crash left, this old.
        QTest::addColumn<QString>("runningCopy");
        QTest::addColumn<QByteArray>("lock");
        QTest::addColumn<int>("lockAgeSeconds");
        QTest::addColumn<SecondStart>("outcome");
        QTest::newRow("answers") << "answers" << QByteArray() << 0 << SecondStart::Answered;
        QTest::newRow("hangs") << "hangs" << QByteArray() << 0 << SecondStart::NoAnswer;
        QTest::newRow("ends meanwhile") << "ends" << QByteArray() << 0 << SecondStart::TookOver;
        // Ending, it closes its socket a moment before it lets go of the lock.
        QTest::newRow("ends after closing") << "closes" << QByteArray() << 0 << SecondStart::TookOver;
        QTest::newRow("another version answers") << "ZENTO/2 OK\n"
                                                 << QByteArray() << 0 << SecondStart::NoAnswer;
        QTest::newRow("old damaged lock") << "" << QByteArray("garbage") << 60 << SecondStart::TookOver;
        // A copy may be writing it at this very moment.
        QTest::newRow("fresh empty lock") << "" << QByteArray("") << 0 << SecondStart::NoAnswer;
        // The running test process itself holds it: a live owner, however old its lock.
        QTest::newRow("lock of a live process")
            << ""
            << QByteArray::number(QCoreApplication::applicationPid()) + "\n" +
                   QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8() + "\n" +
                   QSysInfo::machineHostName().toUtf8() + "\n"
            << 3600 << SecondStart::NoAnswer;
    }

    void aSecondStartAlwaysEnds() {
        QFETCH(QString, runningCopy);
        QFETCH(QByteArray, lock);
        QFETCH(int, lockAgeSeconds);
        QFETCH(SecondStart, outcome);
        const Folder folder;
        std::unique_ptr<SingleInstance> first;
        QLocalServer foreign;
        QLockFile held(SingleInstance::lockPath(folder));
        const bool closes = runningCopy == QLatin1String("closes");
        if (closes) {
            QVERIFY(held.tryLock(0));
            QTimer::singleShot(150, [&] { held.unlock(); });
        } else if (runningCopy.isEmpty()) {
            const std::string file = SingleInstance::lockPath(folder).toStdString();
            test::writeFile(file, lock.toStdString());
            std::filesystem::last_write_time(file, std::filesystem::file_time_type::clock::now() -
                                                       std::chrono::seconds(lockAgeSeconds));
        } else {
            first = std::make_unique<SingleInstance>(folder);
            QVERIFY(first->tryBecomePrimary());
        }
        if (runningCopy.startsWith(QLatin1String("ZENTO/")) || closes) {
            QLocalServer::removeServer(SingleInstance::socketPath(folder));
            QVERIFY(foreign.listen(SingleInstance::socketPath(folder)));
            connect(&foreign, &QLocalServer::newConnection, &foreign, [&] {
                while (QLocalSocket* s = foreign.nextPendingConnection()) {
                    if (closes)
                        s->disconnectFromServer();
                    else
                        s->write(runningCopy.toUtf8());
                }
            });
        }
        int activated = 0;
        if (first)
            connect(first.get(), &SingleInstance::activateRequested, [&] { ++activated; });
        const QDeadlineTimer bound(1500);
        // The running copy is this thread: it answers only while its event loop runs.
        SecondStart got{};
        qint64 pid = 0;
        std::unique_ptr<QThread> second(QThread::create([&] {
            SingleInstance copy(folder);
            got = copy.tryBecomePrimary() ? SecondStart::TookOver
                                          : copy.activateRunningCopy(SingleInstance::Message::Activate, 300);
            pid = copy.runningCopyProcessId();
        }));
        second->start();
        if (runningCopy == QLatin1String("hangs") || runningCopy == QLatin1String("ends")) {
            QThread::msleep(100);
            if (runningCopy == QLatin1String("ends"))
                first.reset();
            QVERIFY(second->wait(2000));
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(second->isFinished(), 2000);
        }
        QCOMPARE(got, outcome);
        QVERIFY2(!bound.hasExpired(), "the wait is bounded");
        // The copy running afterwards is named, so that one that hangs can be ended.
        QCOMPARE(pid, runningCopy.isEmpty() && lock.isEmpty() ? 0 : QCoreApplication::applicationPid());
        QCOMPARE(activated, outcome == SecondStart::Answered ? 1 : 0);
    }

    void copiesInOtherProcessesMakeOneThatAnswersUntilItCrashes() {
        const Folder folder;
        std::vector<std::unique_ptr<QProcess>> copies;
        for (int i = 0; i < 4; ++i) // starting at the same moment
            copies.push_back(startProbe(folder));
        QProcess* first = nullptr;
        for (auto& p : copies) {
            const QString said = nextLine(*p);
            if (said == QLatin1String("primary"))
                QVERIFY2(!std::exchange(first, p.get()), "two primaries");
            else
                QVERIFY(said == QLatin1String("secondary") && ended(*p));
        }
        QVERIFY(first);
        SingleInstance late(folder);
        QVERIFY(!late.tryBecomePrimary());
        QCOMPARE(late.activateRunningCopy(SingleInstance::Message::Activate, 2000), SecondStart::Answered);
        QCOMPARE(nextLine(*first), QStringLiteral("activate"));
        QCOMPARE(late.runningCopyProcessId(), first->processId());

        // Killed, it leaves its lock and its socket file behind.
        first->kill();
        QVERIFY(ended(*first));
        QVERIFY(QFileInfo::exists(SingleInstance::lockPath(folder)) &&
                QFileInfo::exists(SingleInstance::socketPath(folder)));
        QVERIFY(late.tryBecomePrimary());
        QCOMPARE(exchange(folder, "ZENTO/1 ACTIVATE\n"), Ok);
        // Only its user may connect.
        struct stat node {};
        QVERIFY(::stat(qPrintable(SingleInstance::socketPath(folder)), &node) == 0 &&
                (node.st_mode & 077) == 0);
    }

    void anotherUsersCopyInASharedFolderBlocksNobody() {
        // Without a runtime folder every user's copy meets in the temporary folder.
        if (::geteuid() != 0)
            QSKIP("starting a copy as another user needs root");
        const Folder folder;
        QVERIFY(::chmod(folder.dir.path().c_str(), 01777) == 0);
        const auto other = startProbe(folder, 65534); // nobody
        QCOMPARE(nextLine(*other), QStringLiteral("primary"));
        SingleInstance mine(folder);
        QVERIFY(mine.tryBecomePrimary());
        other->write("quit\n");
        QVERIFY(ended(*other) && other->exitCode() == 0);
    }
};

/// Started with "--probe <folder>", this program stands in for another Zento process: it prints
/// "primary" (then "activate" for each request, until any input or its end) or "secondary".
int probe(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    SingleInstance instance(QString::fromLocal8Bit(argv[2]));
    const auto say = [](const char* word) { std::printf("%s\n", word), std::fflush(stdout); };
    const bool primary = instance.tryBecomePrimary();
    say(primary ? "primary" : "secondary");
    if (!primary)
        return 0;
    QObject::connect(&instance, &SingleInstance::activateRequested, [&] { say("activate"); });
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    return app.exec();
}

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], "--probe") == 0)
        return probe(argc, argv);
    zento::test::isolateTestEnvironment();
    QCoreApplication app(argc, argv);
    tst_SingleInstance test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_SingleInstance.moc"
