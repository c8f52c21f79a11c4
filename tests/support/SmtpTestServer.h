#pragma once

#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A real SMTP server (aiosmtpd, run with /usr/bin/python3) on 127.0.0.1 at a
// port the system picks, for one test. For TLS it serves a self-signed
// certificate made with openssl, which the client must be told to trust
// (caFile()). The server is stopped by its process id when the object goes.
class SmtpTestServer
{
public:
    enum class Security { Plain, StartTls, ImplicitTls };

    struct Options {
        Security security = Security::Plain;
        QString user;                 // empty: no AUTH offered
        QString password;
        QStringList mechanisms{QStringLiteral("LOGIN"), QStringLiteral("PLAIN")};
        QStringList rejectRecipients; // answered 550 at RCPT TO
    };

    SmtpTestServer() = default;
    ~SmtpTestServer();

    SmtpTestServer(const SmtpTestServer&) = delete;
    SmtpTestServer& operator=(const SmtpTestServer&) = delete;

    // Starts the server and waits until it listens; false with the reason.
    bool start(const Options& options, QString* error);
    void stop();

    // Closes the server's standard input, as the end of the test program
    // does however it ends (a crash, a kill by the test runner); the server
    // then stops by itself.
    void closeInput() { m_process.closeWriteChannel(); }
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }

    quint16 port() const { return m_port; }
    QString caFile() const;

    // The messages the server accepted, in order: "mail_from", "rcpt_tos",
    // "login", "mechanism", "tls", "headers" (decoded), "raw", "tree" (parts
    // with "type", "charset", "encoding", "content_id", "disposition",
    // "filename", "text" or "size", "parts") and "structure", a compact form
    // such as "multipart/mixed(text/plain,image/png)".
    QList<QJsonObject> messages() const;

    // Finds the first part of the tree with the given content type.
    static QJsonObject findPart(const QJsonObject& tree, const QString& type);

private:
    bool makeCertificate(QString* error);

    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
};
