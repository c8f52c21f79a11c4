#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace platform {

enum class SmtpRecipientKind { To = 0, Cc = 1, Bcc = 2 };

// How the connection is secured: not at all, by STARTTLS after the greeting
// (required: a server that does not offer it is refused), or TLS from the
// first byte.
enum class SmtpSecurity { None, StartTls, ImplicitTls };

enum class SmtpBodyFormat { PlainText = 0, Html = 1 };

// Transfer encoding of the body: 7bit where the text allows it (ASCII, lines
// of at most 998 bytes; otherwise quoted-printable), or quoted-printable.
enum class SmtpTransferEncoding { SevenBit = 1, QuotedPrintable = 3 };

struct SmtpRecipient {
    QString address;
    SmtpRecipientKind kind = SmtpRecipientKind::To;
};

struct SmtpInlineImage {
    QString path;
    QString contentId;   // without angle brackets
};

// Everything one send needs; the transfer works on its own copy.
struct SmtpMessage {
    // Connection.
    QString server;
    int port = 0;        // 0: the protocol's own (25, or 465 with TLS from the first byte)
    SmtpSecurity security = SmtpSecurity::None;
    QString userName;    // empty: no login
    QString password;
    int timeOutSeconds = 60;
    QString caFile;      // trusted authorities; empty: the system's

    // Envelope and header.
    QString fromAddr;
    QString fromName;
    QList<SmtpRecipient> recipients;
    QString replyTo;
    QString subject;
    QString charset = QStringLiteral("iso-8859-1");
    int priority = 3;    // X-Priority: 1 high, 3 normal, 4 low
    QString mailer;
    QList<QPair<QString, QString>> headers;

    // Body.
    SmtpBodyFormat format = SmtpBodyFormat::PlainText;
    SmtpTransferEncoding encoding = SmtpTransferEncoding::SevenBit;
    QString bodyText;
    QString altBodyText; // plain alternative of an HTML body
    QList<SmtpInlineImage> inlineImages;
    QStringList attachments;

    // Which events the transfer reports.
    bool reportDialogue = false;
    bool reportProgress = false;
};

} // namespace platform
