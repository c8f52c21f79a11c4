#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLockFile;
class QLocalServer;

// Lets only one copy of the program run per program folder: a lock file in the
// program folder (in the temp folder when the program folder cannot hold it),
// plus a local socket on which the running copy listens so a second start can
// ask it to bring its window to the front.
namespace platform {

class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // name: a short name for the program's lock file and socket.
    explicit SingleInstance(const QString& name = QStringLiteral("PPCQuillmark"), QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is now the only running copy (it then listens
    // for activation requests); false when another running copy holds the
    // lock. A lock that can be made nowhere does not stop the start.
    bool tryAcquire();

    // Asks the running copy to raise its window. True when the request was
    // delivered.
    bool activateRunning();

    // The lock file (the one held, else the program folder's) and the local
    // socket name.
    QString lockFilePath() const;
    QString serverName() const;

Q_SIGNALS:
    // Emitted in the running copy when a second start asked for its window.
    void activationRequested();

private:
    void onNewConnection();

    QString m_name;
    QString m_lockPath; // of the lock held
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};

} // namespace platform
