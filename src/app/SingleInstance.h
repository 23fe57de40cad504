#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class QLocalServer;
class QLocalSocket;
class QLockFile;

namespace zento {

/// Makes sure one copy of Zento runs per user: two copies would show every due alert twice
/// and write the same store.
///
/// The first copy holds a lock file and listens on a local socket, both in the user's runtime
/// folder and both named after the user; only that user may connect. A later copy finds the
/// lock taken and sends the running copy a one-line message ("ZENTO/1 ACTIVATE",
/// "ZENTO/1 RELOAD", "ZENTO/1 SHOW", "ZENTO/1 NEW-ALERT"), which answers "ZENTO/1 OK".
/// A lock or socket left behind by a crashed copy does not stop a new start. Everything on the
/// listening side is asynchronous: the user-interface thread never waits for a client.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    enum class Message { Activate, Reload, Show, NewAlert };

    /// `runtimeFolder` empty: the user's runtime folder (QStandardPaths::RuntimeLocation, or the
    /// temporary folder when the system has none).
    explicit SingleInstance(QString runtimeFolder = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    /// True when this process is the one copy for the user: it then holds the lock and listens
    /// until destroyed. False when another copy runs (call sendToRunningCopy() then).
    /// Never waits: two copies starting at the same moment get exactly one primary.
    bool tryBecomePrimary();
    bool isPrimary() const { return m_primary; }

    /// What became of a start that found another copy running.
    enum class SecondStart {
        Answered, ///< the running copy came forward
        NoAnswer, ///< a copy holds the lock but does not answer: busy or hung
        TookOver, ///< the running copy ended meanwhile: this one is now the primary
    };
    Q_ENUM(SecondStart)

    /// For a copy that is not primary: asks the running copy to come forward, waiting at most
    /// `timeoutMs` for its answer so that a second start always ends. Without an answer, takes
    /// over when the running copy has gone meanwhile.
    SecondStart activateRunningCopy(Message m = Message::Activate, int timeoutMs = 3000);
    /// The process number of the copy holding the lock (0 when unknown), for the user to end
    /// a copy that does not answer.
    qint64 runningCopyProcessId() const;

    /// From a second copy: asks the running copy to act and waits at most `timeoutMs` for its
    /// answer (retrying the connection meanwhile, in case that copy is still starting). False
    /// when no copy answered.
    static bool sendToRunningCopy(const QString& runtimeFolder, Message m, int timeoutMs = 1000);

    /// The folder used when none is given.
    static QString defaultRuntimeFolder();
    /// "<folder>/zento-<uid>.socket" and "<folder>/zento-<uid>.lock".
    static QString socketPath(const QString& runtimeFolder);
    static QString lockPath(const QString& runtimeFolder);

    /// The line sent for `m`, newline included.
    static QByteArray encodeMessage(Message m);
    /// The message of one received line (without its newline); nullopt for anything else.
    static std::optional<Message> decodeMessage(QByteArrayView line);

    /// A connection that sends more than this without a newline is dropped.
    static constexpr int MaxLineBytes = 256;
    /// A connection that has not sent its line after this long is dropped (2 s by default).
    void setClientTimeout(int ms) { m_clientTimeoutMs = ms; }

    const QString& runtimeFolder() const { return m_folder; }

Q_SIGNALS:
    /// A second copy was started: bring the main window forward, hidden or minimised.
    void activateRequested();
    /// Another process changed the store (`zento --add`, `--delete`): reload it now.
    void reloadRequested();
    /// The desktop's actions (`zento --show`, `zento --new-alert`): show the window, hidden or
    /// not, and for a new alert open the editor on one.
    void showRequested();
    void newAlertRequested();

private:
    bool takeLock();
    void acceptConnections();
    void serve(QLocalSocket* socket);

    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    bool m_primary = false;
    int m_clientTimeoutMs = 2000;
};

} // namespace zento
