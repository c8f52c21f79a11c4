#include "SmtpTestServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <csignal>
#include <sys/types.h>

namespace {

constexpr int kStartMs = 20000;
constexpr int kStopMs = 5000;

QString mailDir(const QTemporaryDir& dir)
{
    return dir.filePath(QStringLiteral("mail"));
}

} // namespace

SmtpTestServer::~SmtpTestServer()
{
    stop();
}

QString SmtpTestServer::caFile() const
{
    return m_dir.filePath(QStringLiteral("cert.pem"));
}

bool SmtpTestServer::makeCertificate(QString* error)
{
    QProcess openssl;
    openssl.setWorkingDirectory(m_dir.path());
    openssl.start(QStringLiteral("/usr/bin/openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
                   QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                   QStringLiteral("-keyout"), QStringLiteral("key.pem"), QStringLiteral("-out"), QStringLiteral("cert.pem"),
                   QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                   QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1")});
    if (!openssl.waitForFinished(kStartMs) || openssl.exitCode() != 0) {
        *error = QStringLiteral("openssl failed: ") + QString::fromLocal8Bit(openssl.readAllStandardError());
        return false;
    }
    return true;
}

bool SmtpTestServer::start(const Options& options, QString* error)
{
    if (!m_dir.isValid() || !QDir(m_dir.path()).mkdir(QStringLiteral("mail"))) {
        *error = QStringLiteral("no temporary folder");
        return false;
    }
    QStringList args{QStringLiteral(QUILLMARK_SMTP_TEST_SERVER), QStringLiteral("--maildir"), mailDir(m_dir)};
    if (options.security != Security::Plain) {
        if (!makeCertificate(error))
            return false;
        args << QStringLiteral("--security")
             << (options.security == Security::StartTls ? QStringLiteral("starttls") : QStringLiteral("tls"))
             << QStringLiteral("--cert") << caFile() << QStringLiteral("--key")
             << m_dir.filePath(QStringLiteral("key.pem"));
    }
    if (!options.user.isEmpty())
        args << QStringLiteral("--user") << options.user + QLatin1Char(':') + options.password;
    args << QStringLiteral("--mechanisms") << options.mechanisms.join(QLatin1Char(','));
    for (const QString& address : options.rejectRecipients)
        args << QStringLiteral("--reject-rcpt") << address;

    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral("/usr/bin/python3"), args);
    const QDeadlineTimer deadline(kStartMs);
    QByteArray output;
    while (!output.contains('\n') && !deadline.hasExpired()) {
        if (m_process.state() == QProcess::NotRunning)
            break;
        m_process.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
        output += m_process.readAllStandardOutput();
    }
    const QList<QByteArray> words = output.trimmed().split(' ');
    if (words.size() != 2 || words.at(0) != "READY") {
        *error = QStringLiteral("the SMTP test server did not start: ") + QString::fromLocal8Bit(output);
        stop();
        return false;
    }
    m_port = static_cast<quint16>(words.at(1).toUInt());
    return m_port != 0;
}

void SmtpTestServer::stop()
{
    const qint64 pid = m_process.processId();
    if (pid <= 0)
        return;
    ::kill(static_cast<pid_t>(pid), SIGTERM);
    if (!m_process.waitForFinished(kStopMs)) {
        ::kill(static_cast<pid_t>(pid), SIGKILL);
        m_process.waitForFinished(kStopMs);
    }
}

QList<QJsonObject> SmtpTestServer::messages() const
{
    QList<QJsonObject> result;
    for (int n = 1;; ++n) {
        QFile file(QDir(mailDir(m_dir)).filePath(QStringLiteral("%1.json").arg(n)));
        if (!file.open(QIODevice::ReadOnly))
            break;
        result.append(QJsonDocument::fromJson(file.readAll()).object());
    }
    return result;
}

QJsonObject SmtpTestServer::findPart(const QJsonObject& tree, const QString& type)
{
    if (tree.value(QStringLiteral("type")).toString() == type)
        return tree;
    const QJsonArray parts = tree.value(QStringLiteral("parts")).toArray();
    for (const QJsonValue& part : parts) {
        const QJsonObject found = findPart(part.toObject(), type);
        if (!found.isEmpty())
            return found;
    }
    return QJsonObject();
}
