#include "app/SingleInstance.h"
#include "support/QtTestMain.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QSysInfo>
#include <QThread>

#include <future>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace zento;
using Message = SingleInstance::Message;

namespace {

/// Waits for another process are longer than in-process ones: it has to start first.
constexpr int ProcessWaitMs = 5000;

QString folderOf(const test::TempDir& dir) {
    return QString::fromStdString(dir.path().string());
}

/// A client that sends raw bytes to whoever listens in `folder`.
std::unique_ptr<QLocalSocket> sendRaw(const QString& folder, const QByteArray& bytes) {
    auto socket = std::make_unique<QLocalSocket>();
    socket->connectToServer(SingleInstance::socketPath(folder));
    if (!socket->waitForConnected(500))
        return nullptr;
    socket->write(bytes);
    socket->flush();
    return socket;
}

/// The connections the primary still holds open.
qsizetype openConnections(const SingleInstance& instance) {
    return instance.findChildren<QLocalSocket*>().size();
}

/// Sends from another thread while this one keeps the primary's event loop running.
std::future<bool> sendInBackground(const QString& folder, Message m, int timeoutMs = 1000) {
    return std::async(std::launch::async, [folder, m, timeoutMs] {
        return SingleInstance::sendToRunningCopy(folder, m, timeoutMs);
    });
}

/// Spins the event loop until the background send has its result.
bool finishes(std::future<bool>& f, int ms) {
    QDeadlineTimer deadline(ms);
    while (f.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(5);
    }
    return true;
}

QString probePath() {
    return QStringLiteral(ZENTO_INSTANCE_PROBE);
}

/// Starts the probe with these arguments after the folder.
std::unique_ptr<QProcess> startProbe(const QString& folder, const QStringList& more = {}) {
    auto p = std::make_unique<QProcess>();
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start(probePath(), QStringList{folder} + more);
    return p;
}

/// The next line the probe prints, without its newline ("" when none came in time).
QString nextLine(QProcess& p) {
    QDeadlineTimer deadline(ProcessWaitMs);
    while (!p.canReadLine() && !deadline.hasExpired() && p.state() != QProcess::NotRunning)
        QTest::qWait(10);
    return QString::fromUtf8(p.readLine()).trimmed();
}

/// True once the probe has ended (waitForFinished alone is false when it already has).
bool ended(QProcess& p) {
    return p.state() == QProcess::NotRunning || p.waitForFinished(ProcessWaitMs);
}

bool quitProbe(QProcess& p) {
    p.write("quit\n");
    p.closeWriteChannel();
    return ended(p) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstCopyIsPrimarySecondIsNot();
    void messagesArriveAsSignals_data();
    void messagesArriveAsSignals();
    void foreignInputIsIgnored_data();
    void foreignInputIsIgnored();
    void silentClientIsDropped();
    void sendFailsWithoutAnAnswer_data();
    void sendFailsWithoutAnAnswer();
    void leftoversOfACrash_data();
    void leftoversOfACrash();
    void destroyedPrimaryMakesWayForANewOne();

    void secondCopyInAnotherProcess();
    void primaryInAnotherProcess();
    void crashedProcessDoesNotBlockTheNextStart();
    void simultaneousStartsMakeOnePrimary();
    void anotherUsersCopyInASharedFolderBlocksNobody();
    void aSecondStartAlwaysEnds_data();
    void aSecondStartAlwaysEnds();
};

void TestSingleInstance::firstCopyIsPrimarySecondIsNot() {
    test::TempDir dir;
    const QString folder = folderOf(dir);
    SingleInstance first(folder);
    SingleInstance second(folder);
    QVERIFY(first.tryBecomePrimary());
    QVERIFY(first.tryBecomePrimary()); // asking again changes nothing
    QVERIFY(!second.tryBecomePrimary());
    QVERIFY(!second.isPrimary());
    QVERIFY(QFileInfo::exists(SingleInstance::lockPath(folder)));
    // Only this user may talk to the running copy.
    const QFileInfo socket(SingleInstance::socketPath(folder));
    QVERIFY(socket.exists());
    const auto others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                        QFile::WriteOther | QFile::ExeOther;
    QCOMPARE(socket.permissions() & others, QFile::Permissions());

    // Another user's folder (here: another folder) is another world.
    test::TempDir otherDir;
    SingleInstance other(folderOf(otherDir));
    QVERIFY(other.tryBecomePrimary());
}

void TestSingleInstance::messagesArriveAsSignals_data() {
    QTest::addColumn<Message>("message");
    QTest::addColumn<int>("signal"); // which of the spies below should fire
    QTest::newRow("activate") << Message::Activate << 0;
    QTest::newRow("reload") << Message::Reload << 1;
    QTest::newRow("show") << Message::Show << 2;
    QTest::newRow("new alert") << Message::NewAlert << 3;
}

void TestSingleInstance::messagesArriveAsSignals() {
    QFETCH(Message, message);
    QFETCH(int, signal);
    test::TempDir dir;
    const QString folder = folderOf(dir);
    SingleInstance primary(folder);
    QVERIFY(primary.tryBecomePrimary());
    QSignalSpy activated(&primary, &SingleInstance::activateRequested);
    QSignalSpy reloaded(&primary, &SingleInstance::reloadRequested);
    QSignalSpy shown(&primary, &SingleInstance::showRequested);
    QSignalSpy newAlert(&primary, &SingleInstance::newAlertRequested);
    QSignalSpy* spies[] = {&activated, &reloaded, &shown, &newAlert};

    auto sent = sendInBackground(folder, message);
    QVERIFY(finishes(sent, 1500));
    QVERIFY(sent.get());
    for (int i = 0; i < 4; ++i)
        QCOMPARE(spies[i]->count(), i == signal ? 1 : 0);

    // The server keeps listening after a message.
    auto again = sendInBackground(folder, Message::Activate);
    QVERIFY(finishes(again, 1500));
    QVERIFY(again.get());
    QCOMPARE(activated.count(), signal == 0 ? 2 : 1);
    QTRY_COMPARE_WITH_TIMEOUT(openConnections(primary), 0, 500);
}

void TestSingleInstance::foreignInputIsIgnored_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("clientCloses"); // the server cannot tell yet, so the client hangs up

    QTest::newRow("other version") << QByteArray("ZENTO/2 ACTIVATE\n") << false;
    QTest::newRow("no prefix") << QByteArray("ACTIVATE\n") << false;
    QTest::newRow("lower case") << QByteArray("zento/1 activate\n") << false;
    QTest::newRow("unknown word") << QByteArray("ZENTO/1 QUIT\n") << false;
    QTest::newRow("trailing space") << QByteArray("ZENTO/1 ACTIVATE \n") << false;
    QTest::newRow("carriage return") << QByteArray("ZENTO/1 ACTIVATE\r\n") << false;
    QTest::newRow("nul inside") << QByteArray("ZENTO/1 ACTI\0VATE\n", 18) << false;
    QTest::newRow("empty line") << QByteArray("\n") << false;
    QTest::newRow("line too long") << QByteArray(300, 'x') + "\nZENTO/1 ACTIVATE\n" << false;
    QTest::newRow("huge blob") << QByteArray(1 << 20, 'A') << false;
    QTest::newRow("no newline") << QByteArray("ZENTO/1 ACTIVATE") << true;
    QTest::newRow("nothing") << QByteArray() << true;
}

void TestSingleInstance::foreignInputIsIgnored() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, clientCloses);
    test::TempDir dir;
    const QString folder = folderOf(dir);
    SingleInstance primary(folder);
    QVERIFY(primary.tryBecomePrimary());
    QSignalSpy activated(&primary, &SingleInstance::activateRequested);
    QSignalSpy reloaded(&primary, &SingleInstance::reloadRequested);

    auto client = sendRaw(folder, bytes);
    QVERIFY(client);
    if (clientCloses)
        client->disconnectFromServer();
    // The server drops the connection without answering.
    QTRY_COMPARE_WITH_TIMEOUT(client->state(), QLocalSocket::UnconnectedState, 1000);
    QCOMPARE(client->readAll(), QByteArray());
    QTRY_COMPARE_WITH_TIMEOUT(openConnections(primary), 0, 500);
    QCOMPARE(activated.count(), 0);

    // ... and keeps working.
    auto sent = sendInBackground(folder, Message::Reload);
    QVERIFY(finishes(sent, 1500));
    QVERIFY(sent.get());
    QCOMPARE(reloaded.count(), 1);
    QCOMPARE(activated.count(), 0);
}

void TestSingleInstance::silentClientIsDropped() {
    test::TempDir dir;
    const QString folder = folderOf(dir);
    SingleInstance primary(folder);
    primary.setClientTimeout(100);
    QVERIFY(primary.tryBecomePrimary());
    auto client = sendRaw(folder, "ZENTO/1 ACT"); // and then nothing more
    QVERIFY(client);
    QTRY_COMPARE_WITH_TIMEOUT(client->state(), QLocalSocket::UnconnectedState, 1000);
    QTRY_COMPARE_WITH_TIMEOUT(openConnections(primary), 0, 500);
}

void TestSingleInstance::sendFailsWithoutAnAnswer_data() {
    QTest::addColumn<QByteArray>("answer"); // what a foreign listener says; null: nobody listens
    QTest::newRow("nobody listens") << QByteArray();
    QTest::newRow("silent listener") << QByteArray("");
    QTest::newRow("wrong answer") << QByteArray("HTTP/1.1 400 Bad Request\n");
    QTest::newRow("other version") << QByteArray("ZENTO/2 OK\n");
}

void TestSingleInstance::sendFailsWithoutAnAnswer() {
    QFETCH(QByteArray, answer);
    test::TempDir dir;
    const QString folder = folderOf(dir);
    QLocalServer foreign;
    if (!answer.isNull()) {
        QVERIFY(foreign.listen(SingleInstance::socketPath(folder)));
        connect(&foreign, &QLocalServer::newConnection, &foreign, [&] {
            while (QLocalSocket* s = foreign.nextPendingConnection())
                if (!answer.isEmpty())
                    s->write(answer);
        });
    }
    QElapsedTimer clock;
    clock.start();
    auto sent = sendInBackground(folder, Message::Activate, 300);
    QVERIFY(finishes(sent, 1500));
    QVERIFY(!sent.get());
    QVERIFY2(clock.elapsed() < 1000, "the timeout bounds the wait");
}

void TestSingleInstance::leftoversOfACrash_data() {
    QTest::addColumn<QByteArray>("lockContent"); // null: no lock file
    QTest::addColumn<int>("lockAgeSeconds");
    QTest::addColumn<bool>("socketFile");
    QTest::addColumn<bool>("primary");

    // A process that has ended: its number names no running copy.
    QProcess gone;
    qint64 deadPid = 0;
    connect(&gone, &QProcess::started, &gone, [&] { deadPid = gone.processId(); });
    gone.start(probePath(), {});
    QVERIFY(gone.waitForFinished(ProcessWaitMs));
    QVERIFY(deadPid > 0);
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    const QByteArray deadLock = QByteArray::number(deadPid) + "\nzento\n" + host + "\n";

    QTest::newRow("lock of an ended process") << deadLock << 0 << false << true;
    QTest::newRow("old lock of an ended process") << deadLock << 3600 << true << true;
    QTest::newRow("socket file only") << QByteArray() << 0 << true << true;
    QTest::newRow("old damaged lock") << QByteArray("garbage") << 60 << true << true;
    QTest::newRow("old empty lock") << QByteArray("") << 60 << false << true;
    // A copy may be writing it at this very moment.
    QTest::newRow("fresh empty lock") << QByteArray("") << 0 << false << false;
    // The running test process itself holds it: a live owner.
    QTest::newRow("lock of a live process")
        << QByteArray::number(QCoreApplication::applicationPid()) + "\n" +
               QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8() + "\n" + host + "\n"
        << 3600 << false << false;
}

void TestSingleInstance::leftoversOfACrash() {
    QFETCH(QByteArray, lockContent);
    QFETCH(int, lockAgeSeconds);
    QFETCH(bool, socketFile);
    QFETCH(bool, primary);
    test::TempDir dir;
    const QString folder = folderOf(dir);
    if (!lockContent.isNull()) {
        QFile lock(SingleInstance::lockPath(folder));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(lockContent);
        lock.flush(); // before dating it back: a later flush would make it new again
        if (lockAgeSeconds > 0)
            QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-lockAgeSeconds),
                                     QFileDevice::FileModificationTime));
    }
    if (socketFile) {
        QFile socket(SingleInstance::socketPath(folder));
        QVERIFY(socket.open(QIODevice::WriteOnly));
        socket.write("left behind");
    }

    SingleInstance instance(folder);
    QCOMPARE(instance.tryBecomePrimary(), primary);
    if (!primary)
        return;
    QSignalSpy activated(&instance, &SingleInstance::activateRequested);
    auto sent = sendInBackground(folder, Message::Activate);
    QVERIFY(finishes(sent, 1500));
    QVERIFY(sent.get());
    QCOMPARE(activated.count(), 1);
}

void TestSingleInstance::destroyedPrimaryMakesWayForANewOne() {
    test::TempDir dir;
    const QString folder = folderOf(dir);
    {
        SingleInstance first(folder);
        QVERIFY(first.tryBecomePrimary());
    }
    QVERIFY(!QFileInfo::exists(SingleInstance::lockPath(folder)));
    QVERIFY(!QFileInfo::exists(SingleInstance::socketPath(folder)));
    QVERIFY(!SingleInstance::sendToRunningCopy(folder, Message::Activate, 100));

    SingleInstance next(folder);
    QVERIFY(next.tryBecomePrimary());
    QSignalSpy reloaded(&next, &SingleInstance::reloadRequested);
    auto sent = sendInBackground(folder, Message::Reload);
    QVERIFY(finishes(sent, 1500));
    QVERIFY(sent.get());
    QCOMPARE(reloaded.count(), 1);
}

void TestSingleInstance::secondCopyInAnotherProcess() {
    test::TempDir dir;
    const QString folder = folderOf(dir);
    SingleInstance primary(folder);
    QVERIFY(primary.tryBecomePrimary());
    QSignalSpy activated(&primary, &SingleInstance::activateRequested);
    QSignalSpy reloaded(&primary, &SingleInstance::reloadRequested);

    auto second = startProbe(folder);
    QCOMPARE(nextLine(*second), QStringLiteral("secondary"));
    QVERIFY(ended(*second));

    auto activate = startProbe(folder, {QStringLiteral("--send"), QStringLiteral("activate")});
    QCOMPARE(nextLine(*activate), QStringLiteral("sent"));
    QCOMPARE(activated.count(), 1);
    auto reload = startProbe(folder, {QStringLiteral("--send"), QStringLiteral("reload")});
    QCOMPARE(nextLine(*reload), QStringLiteral("sent"));
    QCOMPARE(reloaded.count(), 1);
    QCOMPARE(activated.count(), 1);
}

void TestSingleInstance::primaryInAnotherProcess() {
    test::TempDir dir;
    const QString folder = folderOf(dir);
    auto first = startProbe(folder);
    QCOMPARE(nextLine(*first), QStringLiteral("primary"));

    SingleInstance late(folder);
    QVERIFY(!late.tryBecomePrimary());
    QVERIFY(SingleInstance::sendToRunningCopy(folder, Message::Activate));
    QCOMPARE(nextLine(*first), QStringLiteral("activate"));
    QVERIFY(SingleInstance::sendToRunningCopy(folder, Message::Reload));
    QCOMPARE(nextLine(*first), QStringLiteral("reload"));

    QVERIFY(quitProbe(*first));
    QVERIFY(late.tryBecomePrimary());
}

void TestSingleInstance::crashedProcessDoesNotBlockTheNextStart() {
    test::TempDir dir;
    const QString folder = folderOf(dir);
    auto crashed = startProbe(folder, {QStringLiteral("--crash")});
    QCOMPARE(nextLine(*crashed), QStringLiteral("primary"));
    QVERIFY(ended(*crashed));
    QCOMPARE(crashed->exitCode(), 3);
    QVERIFY(QFileInfo::exists(SingleInstance::lockPath(folder)));
    QVERIFY(QFileInfo::exists(SingleInstance::socketPath(folder)));
    QVERIFY(!SingleInstance::sendToRunningCopy(folder, Message::Activate, 100));

    SingleInstance next(folder);
    QVERIFY(next.tryBecomePrimary());
    auto probe = startProbe(folder, {QStringLiteral("--send"), QStringLiteral("activate")});
    QSignalSpy activated(&next, &SingleInstance::activateRequested);
    QCOMPARE(nextLine(*probe), QStringLiteral("sent"));
    QCOMPARE(activated.count(), 1);
}

void TestSingleInstance::simultaneousStartsMakeOnePrimary() {
    test::TempDir dir;
    const QString folder = folderOf(dir);
    std::vector<std::unique_ptr<QProcess>> copies;
    for (int i = 0; i < 4; ++i)
        copies.push_back(startProbe(folder));
    int primaries = 0;
    QProcess* primary = nullptr;
    for (auto& p : copies) {
        const QString said = nextLine(*p);
        QVERIFY2(said == QLatin1String("primary") || said == QLatin1String("secondary"), qPrintable(said));
        if (said == QLatin1String("primary")) {
            ++primaries;
            primary = p.get();
        }
    }
    QCOMPARE(primaries, 1);
    QVERIFY(quitProbe(*primary));
    for (auto& p : copies)
        QVERIFY(ended(*p));
}

void TestSingleInstance::anotherUsersCopyInASharedFolderBlocksNobody() {
    // Without a runtime folder every user's copy meets in the temporary folder.
    if (::geteuid() != 0)
        QSKIP("starting a copy as another user needs root");
    test::TempDir dir;
    const QString folder = folderOf(dir);
    QVERIFY(::chmod(dir.path().c_str(), 01777) == 0);
    QProcess other;
    other.setChildProcessModifier([] {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) // nobody
            std::_Exit(5);
    });
    other.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    other.start(probePath(), {folder});
    QCOMPARE(nextLine(other), QStringLiteral("primary"));
    SingleInstance mine(folder);
    QVERIFY(mine.tryBecomePrimary());
    QVERIFY(quitProbe(other));
}

void TestSingleInstance::aSecondStartAlwaysEnds_data() {
    QTest::addColumn<QString>("runningCopy"); // what the running copy does meanwhile
    QTest::addColumn<SingleInstance::SecondStart>("outcome");
    QTest::newRow("answers") << "answers" << SingleInstance::SecondStart::Answered;
    QTest::newRow("hangs") << "hangs" << SingleInstance::SecondStart::NoAnswer;
    QTest::newRow("ends meanwhile") << "ends" << SingleInstance::SecondStart::TookOver;
}

void TestSingleInstance::aSecondStartAlwaysEnds() {
    QFETCH(QString, runningCopy);
    QFETCH(SingleInstance::SecondStart, outcome);
    test::TempDir dir;
    const QString folder = folderOf(dir);
    auto first = std::make_unique<SingleInstance>(folder);
    QVERIFY(first->tryBecomePrimary());
    QSignalSpy activated(first.get(), &SingleInstance::activateRequested);
    QElapsedTimer clock;
    clock.start();
    // The running copy is this thread: it answers only while its event loop runs.
    SingleInstance::SecondStart got{};
    qint64 pid = 0;
    std::unique_ptr<QThread> second(QThread::create([&] {
        SingleInstance copy(folder);
        got = copy.tryBecomePrimary() ? SingleInstance::SecondStart::TookOver : copy.activateRunningCopy(SingleInstance::Message::Activate, 300);
        pid = copy.runningCopyProcessId();
    }));
    second->start();
    if (runningCopy == QLatin1String("answers")) {
        QTRY_VERIFY_WITH_TIMEOUT(second->isFinished(), 2000);
    } else {
        QThread::msleep(100);
        if (runningCopy == QLatin1String("ends"))
            first.reset();
        QVERIFY(second->wait(2000));
    }
    QCOMPARE(got, outcome);
    QVERIFY2(clock.elapsed() < 1500, "the wait is bounded");
    // The copy running afterwards is named, so that one that hangs can be ended.
    QCOMPARE(pid, QCoreApplication::applicationPid());
    if (first)
        QCOMPARE(activated.count(), runningCopy == QLatin1String("answers") ? 1 : 0);
}

ZENTO_QTEST_MAIN(TestSingleInstance)
#include "tst_SingleInstance.moc"
