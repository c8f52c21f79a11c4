#pragma once

#include <QString>

// What the test-mail window is given before it is shown, and what its two
// mail clients read from it.
struct SendMailSettings {
    QString senderName;
    QString senderAddress;
    QString ToRecipient;
    QString Subject;
    QString Host;
    quint16 Port = 0;         // 0: the client's default (25)
    QString SMTPUsername;
    QString SMTPPassword;
    bool Authentication = false;
    bool SSL = false;
    qint32 TimeOut = 0;       // seconds; 0: the client's default (60)
};
