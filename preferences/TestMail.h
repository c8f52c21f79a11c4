#pragma once

#include <QString>

#include <functional>

class QWidget;

// What "Test SMTP server" hands the test-mail window: the mail settings as
// they stand in the preferences dialog, saved or not. The test message goes
// from the user's address to the same address.
struct TestMailSettings {
    QString fromName;
    QString fromAddress;
    QString host;
    int port = 0; // 0-65535; 0 when the port box is empty or holds no number
    QString toRecipient;
    QString smtpUsername;
    QString smtpPassword;
    bool authentication = false;
    bool ssl = false;
};

// Shows the test-mail window modally over owner with these settings and
// returns when it has closed.
using TestMailWindow = std::function<void(QWidget* owner, const TestMailSettings& settings)>;
