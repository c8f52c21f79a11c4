#include "platform/SingleInstance.h"

#include "platform/Locations.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

namespace platform {

namespace {

const QByteArray kActivate = "activate\n";

} // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent)
    , m_name(name)
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockFilePath() const
{
    if (!m_lockPath.isEmpty())
        return m_lockPath;
    return Locations::join(Locations::programDir(), m_name + QStringLiteral(".lock"));
}

QString SingleInstance::serverName() const
{
    // Socket names are short paths in the temp folder: one per program folder
    // and user.
    const QByteArray id = QDir(Locations::programDir()).absolutePath().toUtf8() + '\n'
        + qgetenv("USER");
    const QByteArray hash = QCryptographicHash::hash(id, QCryptographicHash::Sha1).toHex().left(16);
    return m_name + QLatin1Char('-') + QString::fromLatin1(hash);
}

bool SingleInstance::tryAcquire()
{
    if (m_server)
        return true; // acquired before
    // A program folder that cannot hold the lock (one the user may not write)
    // must neither stop the start nor let a second copy run: the temp folder
    // holds it then, under the socket's name, which is the same for every copy
    // of that program folder.
    const QString candidates[] = {
        lockFilePath(),
        QDir(QDir::tempPath()).filePath(serverName() + QStringLiteral(".lock")),
    };
    for (const QString& path : candidates) {
        auto lock = std::make_unique<QLockFile>(path);
        lock->setStaleLockTime(0); // only a dead owner's lock is stale
        if (lock->tryLock(0)) {
            m_lock = std::move(lock);
            m_lockPath = path;
            break;
        }
        if (lock->error() == QLockFile::LockFailedError)
            return false; // held by a running copy
    }

    const QString name = serverName();
    if (m_lock)
        QLocalServer::removeServer(name); // left behind by a crashed run
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    m_server->listen(name); // without a socket the program still runs alone
    return true;
}

bool SingleInstance::activateRunning()
{
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(2000))
        return false;
    socket.write(kActivate);
    const bool sent = socket.waitForBytesWritten(2000);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(1000);
    return sent;
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->readAll().contains(kActivate.trimmed()))
                Q_EMIT activationRequested();
        });
    }
}

} // namespace platform
