#include "app/SingleInstance.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QtDebug>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <utility>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace zento {
namespace {

constexpr QByteArrayView Prefix = "ZENTO/1 ";
constexpr QByteArrayView ActivateLine = "ZENTO/1 ACTIVATE";
constexpr QByteArrayView ReloadLine = "ZENTO/1 RELOAD";
constexpr QByteArrayView ShowLine = "ZENTO/1 SHOW";
constexpr QByteArrayView NewAlertLine = "ZENTO/1 NEW-ALERT";

constexpr std::pair<SingleInstance::Message, QByteArrayView> MessageLines[] = {
    {SingleInstance::Message::Activate, ActivateLine},
    {SingleInstance::Message::Reload, ReloadLine},
    {SingleInstance::Message::Show, ShowLine},
    {SingleInstance::Message::NewAlert, NewAlertLine},
};
constexpr QByteArrayView OkLine = "ZENTO/1 OK\n";

/// A lock file this old whose owner cannot be read was left half-written by a crash: QLockFile
/// never calls such a file stale once time-based staleness is off. Younger ones may belong to a
/// copy that is writing it right now.
constexpr qint64 DamagedLockAgeMs = 5000;

/// Part of the lock's and the socket's names, so that the temporary folder, where every user's
/// copy meets when the system has no runtime folder, still separates the users.
QString userTag() {
#ifdef Q_OS_UNIX
    return QString::number(::getuid());
#else
    QString name;
    for (const QChar c : qEnvironmentVariable("USERNAME"))
        if (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_'))
            name += c;
    return name.isEmpty() ? QStringLiteral("user") : name;
#endif
}

/// Milliseconds left before `deadline`, at least 1 so that a Qt wait never means "forever".
int remaining(const QDeadlineTimer& deadline) {
    return static_cast<int>(std::max<qint64>(1, deadline.remainingTime()));
}

/// One client of the running copy: what it sent so far, until its line is complete.
struct Client {
    QByteArray received;
    bool done = false;
};

} // namespace

SingleInstance::SingleInstance(QString runtimeFolder, QObject* parent)
    : QObject(parent), m_folder(runtimeFolder.isEmpty() ? defaultRuntimeFolder() : std::move(runtimeFolder)) {
}

SingleInstance::~SingleInstance() {
    // Closing removes the socket file; the lock goes with m_lock.
    if (m_server)
        m_server->close();
}

QString SingleInstance::defaultRuntimeFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QDir::tempPath() : folder;
}

QString SingleInstance::socketPath(const QString& runtimeFolder) {
    return QDir(runtimeFolder).filePath(QStringLiteral("zento-%1.socket").arg(userTag()));
}

QString SingleInstance::lockPath(const QString& runtimeFolder) {
    return QDir(runtimeFolder).filePath(QStringLiteral("zento-%1.lock").arg(userTag()));
}

QByteArray SingleInstance::encodeMessage(Message m) {
    QByteArray line;
    for (const auto& [message, text] : MessageLines)
        if (message == m)
            line = text.toByteArray();
    line += '\n';
    return line;
}

std::optional<SingleInstance::Message> SingleInstance::decodeMessage(QByteArrayView line) {
    for (const auto& [message, text] : MessageLines)
        if (line == text)
            return message;
    return std::nullopt;
}

bool SingleInstance::tryBecomePrimary() {
    if (m_primary)
        return true;
    QDir().mkpath(m_folder);
    m_lock = std::make_unique<QLockFile>(lockPath(m_folder));
    // Held for the whole run: only a dead owner makes the lock stale, never its age.
    m_lock->setStaleLockTime(0);
    if (!takeLock()) {
        if (m_lock->error() == QLockFile::LockFailedError) {
            m_lock.reset();
            return false;
        }
        // The folder refuses lock files: ask the socket instead, and run alone if nobody answers.
        qWarning("Zento : verrou %s impossible à créer", qUtf8Printable(m_lock->fileName()));
        m_lock.reset();
        QLocalSocket probe;
        probe.connectToServer(socketPath(m_folder));
        if (probe.waitForConnected(100))
            return false;
    }
    m_primary = true;
    acceptConnections();
    return true;
}

SingleInstance::SecondStart SingleInstance::activateRunningCopy(Message m, int timeoutMs) {
    const QDeadlineTimer deadline(std::max(timeoutMs, 1));
    if (sendToRunningCopy(m_folder, m, timeoutMs))
        return SecondStart::Answered;
    // A copy that is ending closes its socket a moment before it lets go of the lock: the rest of
    // the wait is for that moment.
    while (!tryBecomePrimary()) {
        if (deadline.hasExpired())
            return SecondStart::NoAnswer;
        QThread::msleep(static_cast<unsigned long>(std::min(20, remaining(deadline))));
    }
    return SecondStart::TookOver;
}

qint64 SingleInstance::runningCopyProcessId() const {
    qint64 pid = 0;
    return QLockFile(lockPath(m_folder)).getLockInfo(&pid, nullptr, nullptr) ? pid : 0;
}

bool SingleInstance::takeLock() {
    if (m_lock->tryLock(0))
        return true;
    if (m_lock->error() != QLockFile::LockFailedError)
        return false;
    qint64 pid = 0;
    QString host;
    QString app;
    if (m_lock->getLockInfo(&pid, &host, &app))
        return false; // a live owner (a dead one was already cleared by tryLock)
    const QDateTime written = QFileInfo(m_lock->fileName()).lastModified();
    if (!written.isValid() || std::abs(written.msecsTo(QDateTime::currentDateTime())) < DamagedLockAgeMs)
        return false;
    m_lock->removeStaleLockFile();
    return m_lock->tryLock(0);
}

void SingleInstance::acceptConnections() {
    const QString path = socketPath(m_folder);
    // We hold the lock, so a socket file there was left by a copy that has died.
    QLocalServer::removeServer(path);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection())
            serve(socket);
    });
    // Still the one copy without a socket (the lock keeps others out); they cannot wake us then.
    if (!m_server->listen(path))
        qWarning("Zento : écoute sur %s impossible : %s", qUtf8Printable(path),
                 qUtf8Printable(m_server->errorString()));
}

void SingleInstance::serve(QLocalSocket* socket) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    // A client that connects and says nothing must not hold a connection open for ever.
    QTimer::singleShot(m_clientTimeoutMs, socket, &QLocalSocket::abort);

    auto client = std::make_shared<Client>();
    const auto readSome = [this, socket, client] {
        if (client->done)
            return;
        // Never read more than one line can hold: a huge blob is dropped unread.
        client->received += socket->read(MaxLineBytes + 1 - client->received.size());
        const qsizetype end = client->received.indexOf('\n');
        if (end < 0) {
            if (client->received.size() > MaxLineBytes) {
                client->done = true;
                socket->abort();
            }
            return;
        }
        client->done = true;
        const std::optional<Message> m = decodeMessage(QByteArrayView(client->received).first(end));
        if (!m) {
            socket->abort();
            return;
        }
        // Answer first, so that the other copy can end while we act.
        socket->write(OkLine.data(), OkLine.size());
        socket->disconnectFromServer();
        switch (*m) {
        case Message::Activate:
            Q_EMIT activateRequested();
            break;
        case Message::Reload:
            Q_EMIT reloadRequested();
            break;
        case Message::Show:
            Q_EMIT showRequested();
            break;
        case Message::NewAlert:
            Q_EMIT newAlertRequested();
            break;
        }
    };
    connect(socket, &QLocalSocket::readyRead, this, readSome);
    if (socket->bytesAvailable() > 0)
        readSome();
}

bool SingleInstance::sendToRunningCopy(const QString& runtimeFolder, Message m, int timeoutMs) {
    const QDeadlineTimer deadline(std::max(timeoutMs, 1));
    const QString path = socketPath(runtimeFolder);
    for (;;) {
        QLocalSocket socket;
        socket.connectToServer(path);
        if (socket.waitForConnected(remaining(deadline))) {
            const QByteArray line = encodeMessage(m);
            socket.write(line);
            if (!socket.waitForBytesWritten(remaining(deadline)) && socket.bytesToWrite() > 0)
                return false;
            QByteArray reply;
            while (!reply.contains('\n') && reply.size() <= MaxLineBytes && !deadline.hasExpired()) {
                const bool more = socket.waitForReadyRead(remaining(deadline));
                reply += socket.read(MaxLineBytes + 1 - reply.size());
                if (!more)
                    break;
            }
            return reply.startsWith(OkLine);
        }
        // Not listening yet: the running copy may be starting at this very moment.
        const auto error = socket.error();
        const bool notYet = error == QLocalSocket::ServerNotFoundError ||
                            error == QLocalSocket::ConnectionRefusedError ||
                            error == QLocalSocket::SocketTimeoutError;
        if (!notYet || deadline.hasExpired())
            return false;
        QThread::msleep(static_cast<unsigned long>(std::min(50, remaining(deadline))));
    }
}

} // namespace zento
