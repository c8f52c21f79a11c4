#include "core/Globals.h"
#include "core/Version.h"
#include "platform/CurlLibrary.h"
#include "platform/SmtpComponent.h"
#include "preferences/frmPreference.h"
#include "preferences/frmSendMail.h"

#include "ModalWatcher.h"
#include "ScriptedSmtpServer.h"
#include "SmtpTestServer.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QtTest>

namespace {

constexpr int kTestMs = 20000;
const QString kSuccess = QStringLiteral("SMTP mail server test completed successfully.");
const QString kFailure = QStringLiteral("SMTP mail server test failed. ");
const QString kWaiting = QStringLiteral("Please wait while testing your SMTP mail server ...");

QString status(const frmSendMail& window)
{
    return window.findChild<QLabel*>(QStringLiteral("lblStatus"))->text();
}

QString shownLog(const frmSendMail& window)
{
    return window.findChild<QPlainTextEdit*>(QStringLiteral("txtLog"))->toPlainText();
}

// The settings the preferences dialog hands over for a test of the user's
// own address.
void configure(frmSendMail& window, quint16 port, const QString& password)
{
    window.From(QStringLiteral("User Name"), QStringLiteral("user@example.com"));
    window.setHost(QStringLiteral("127.0.0.1"));
    window.setPort(port);
    window.setToRecipient(QStringLiteral("user@example.com"));
    window.setSMTPUsername(QStringLiteral("bob"));
    window.setSMTPPassword(password);
    window.setAuthentication(true);
}

} // namespace

class TestFrmSendMail : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { BuildKeyPaths(); }
    void testMail_data();
    void testMail();
    void aFailureShowsItsReason_data();
    void aFailureShowsItsReason();
    void aRefusedSendShowsWhy_data();
    void aRefusedSendShowsWhy();
    void loggedTextsKeepToTheirLines_data();
    void loggedTextsKeepToTheirLines();
    void logIsTrimmedAndHeadedWhenTheWindowOpens_data();
    void logIsTrimmedAndHeadedWhenTheWindowOpens();
    void closingDuringASendAbortsIt();
    void closingEndsTheSocketDialogueToo();
    void openedByThePreferencesDialog();
    void smtpPortVariant_data();
    void smtpPortVariant();

private:
    platform::CurlLibrary m_curl;
};

void TestFrmSendMail::testMail_data()
{
    QTest::addColumn<bool>("startTls");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("status");
    QTest::newRow("plain connection") << false << "s3cret" << kSuccess;
    QTest::newRow("STARTTLS") << true << "s3cret" << kSuccess;
    QTest::newRow("wrong password") << false << "wrong-s3cret" << kFailure;
}

void TestFrmSendMail::testMail()
{
    QFETCH(bool, startTls);
    QFETCH(QString, password);
    QFETCH(QString, status);
    TestEnvironment env;
    SmtpTestServer server;
    QString error;
    QVERIFY2(server.start({startTls ? SmtpTestServer::Security::StartTls : SmtpTestServer::Security::Plain,
                           QStringLiteral("bob"), QStringLiteral("s3cret"), {QStringLiteral("PLAIN")}, {}},
                          &error),
             qPrintable(error));
    platform::SmtpComponent::setTrustedCertificates(startTls ? server.caFile() : QString());

    frmSendMail window;
    configure(window, server.port(), password);
    window.setSSL(startTls);
    window.show();
    QCOMPARE(window.windowTitle(), QStringLiteral("Send Mail"));
    QCOMPARE(::status(window), kWaiting);
    QCOMPARE(window.findChild<QLabel*>(QStringLiteral("lblSMTPServer"))->text(), QStringLiteral("127.0.0.1"));
    QTRY_VERIFY_WITH_TIMEOUT(::status(window) != kWaiting, kTestMs);
    QCOMPARE(::status(window), status);

    const QString shown = shownLog(window);
    const QString mailLog = QString::fromUtf8(TestEnvironment::readAll(env.programDir() + QStringLiteral("/sendmail.log")));
    const QString errorLog = QString::fromUtf8(TestEnvironment::readAll(env.programDir() + QStringLiteral("/Error.log")));
    for (const QString& line : {QStringLiteral("Test Send email at "), QStringLiteral("AUTH PLAIN"),
                                QStringLiteral("<hidden>")}) {
        QVERIFY2(shown.contains(line), qPrintable(line));
        QVERIFY2(mailLog.contains(line), qPrintable(line));
    }
    QVERIFY(errorLog.contains(QStringLiteral("Send Message Done.")));
    for (const QString& secret : {password, QString::fromLatin1(("\0bob\0" + password.toUtf8()).toBase64())}) {
        QVERIFY(!shown.contains(secret));
        QVERIFY(!mailLog.contains(secret));
        QVERIFY(!errorLog.contains(secret));
    }
    if (status == kSuccess) {
        QVERIFY(shown.contains(QStringLiteral("250 Message accepted")));
        QVERIFY(mailLog.contains(QStringLiteral("QUIT")));
        const QList<QJsonObject> messages = server.messages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0][QStringLiteral("mail_from")].toString(), QStringLiteral("user@example.com"));
        QCOMPARE(messages[0][QStringLiteral("headers")].toObject()[QStringLiteral("From")].toString(),
                 QStringLiteral("User Name <user@example.com>"));
        QCOMPARE(messages[0][QStringLiteral("tls")].toBool(), startTls);
    } else {
        QVERIFY(shown.contains(QStringLiteral("535 ")));
        QVERIFY(server.messages().isEmpty());
    }
    platform::SmtpComponent::setTrustedCertificates(QString());
}

void TestFrmSendMail::aFailureShowsItsReason_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("connection refused") << "refused";
    QTest::newRow("no greeting within the time-out") << "silent";
    QTest::newRow("certificate not trusted") << "untrusted";
}

void TestFrmSendMail::aFailureShowsItsReason()
{
    // A test that fails before any command was sent has nothing but the
    // mail component's own notes to show why.
    QFETCH(QString, kind);
    TestEnvironment env;
    ScriptedSmtpServer silent;   // accepts, never greets
    SmtpTestServer tls;
    frmSendMail window;
    if (kind == QLatin1String("refused")) {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        configure(window, closed.serverPort(), QStringLiteral("s3cret"));
    } else if (kind == QLatin1String("silent")) {
        configure(window, silent.port(), QStringLiteral("s3cret"));
        window.setTimeOut(1);
    } else {
        QString error;
        QVERIFY2(tls.start({SmtpTestServer::Security::StartTls, {}, {}, {}, {}}, &error), qPrintable(error));
        configure(window, tls.port(), QStringLiteral("s3cret"));
        window.setSSL(true);
    }
    window.show();
    QTRY_VERIFY_WITH_TIMEOUT(::status(window) != kWaiting, kTestMs);
    QCOMPARE(::status(window), kFailure);

    // The window shows what the log has, line by line, the reason included.
    const QString mailLog = QString::fromUtf8(TestEnvironment::readAll(env.programDir() + QStringLiteral("/sendmail.log")));
    const QStringList logged = mailLog.split(QStringLiteral("\r\n"));
    QCOMPARE(shownLog(window).split(QLatin1Char('\n')), logged);
    const auto reason = std::find_if(logged.begin(), logged.end(),
                                     [](const QString& line) { return line.startsWith(QLatin1String("* Error ")); });
    QVERIFY2(reason != logged.end(), qPrintable(mailLog));
}

void TestFrmSendMail::aRefusedSendShowsWhy_data()
{
    // The test goes from the user's address to the same: an address the
    // check refuses is refused before anything is sent.
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("sender");      // "": the address
    QTest::addColumn<QString>("note");        // as sendmail.log has it, after "* "
    QTest::addColumn<QString>("errorLine");   // as Error.log has it
    const QString notValid = QStringLiteral("all recipients address are not valid. ");
    const QString refused = QStringLiteral("clsSendMail_SendMail refused: ");
    const auto row = [&](const char* name, const QString& address, const QString& why) {
        QTest::newRow(name) << address << QString() << notValid + why << refused + notValid + why;
    };
    row("a plus tag", "first+tag@example.com", "\"first+tag@example.com\": Invalid character");
    row("no period in the domain", "me@example", "\"me@example\": Missing the period");
    row("CR LF and a command of its own", "me@example.com\r\nRCPT TO:<victim@example.com>",
        "\"me@example.com\\r\\nRCPT TO:<victim@example.com>\": Too many @");
    row("a trailing CR LF", "me@example.com\r\n", "\"me@example.com\\r\\n\": Invalid character");
    QTest::newRow("CR LF in the sender alone")
        << "me@example.com" << "me@example.com\r\nRCPT TO:<victim@example.com>"
        << "INVALID_MAIL_FORMAT: A line break or NUL in the sender address"
        << "clsSendMailX_SendMail error: A line break or NUL in the sender address";
}

void TestFrmSendMail::aRefusedSendShowsWhy()
{
    QFETCH(QString, address);
    QFETCH(QString, sender);
    QFETCH(QString, note);
    QFETCH(QString, errorLine);
    TestEnvironment env;
    QTcpServer closed;   // nothing may connect
    QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
    frmSendMail window;
    configure(window, closed.serverPort(), QStringLiteral("s3cret"));
    window.From(QStringLiteral("User Name"), sender.isEmpty() ? address : sender);
    window.setToRecipient(address);
    window.show();
    QTRY_VERIFY_WITH_TIMEOUT(::status(window) != kWaiting, kTestMs);
    QCOMPARE(::status(window), kFailure);
    QTest::qWait(50);
    QVERIFY(!closed.hasPendingConnections());

    // The reason stands on a line of its own in the window and in both logs.
    const QString mailLog = QString::fromUtf8(TestEnvironment::readAll(env.programDir() + QStringLiteral("/sendmail.log")));
    const QStringList logged = mailLog.split(QStringLiteral("\r\n"));
    QVERIFY2(logged.contains(QStringLiteral("* ") + note), qPrintable(mailLog));
    QCOMPARE(shownLog(window).split(QLatin1Char('\n')), logged);
    const QString errorLog = QString::fromUtf8(TestEnvironment::readAll(env.programDir() + QStringLiteral("/Error.log")));
    const QStringList errorLines = errorLog.split(QStringLiteral("\r\n"));
    QVERIFY2(errorLines.contains(errorLine), qPrintable(errorLog));
    for (const QStringList& lines : {logged, errorLines}) {
        for (const QString& line : lines)
            QVERIFY2(!line.startsWith(QLatin1String("RCPT")) && !line.contains(QLatin1Char('\n')), qPrintable(line));
    }
}

void TestFrmSendMail::loggedTextsKeepToTheirLines_data()
{
    // A text from the user or a server is written into sendmail.log with its
    // line breaks as escapes: it cannot add lines of its own.
    QTest::addColumn<bool>("socketClient");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QByteArray>("greeting");
    QTest::addColumn<QString>("escaped");   // as the log has the text
    QTest::newRow("a reply to the mail component") << false << "127.0.0.1" << QByteArray("554 no\rForged line\r\n")
                                                   << "554 no\\rForged line";
    QTest::newRow("the server name") << false << "127.0.0.1\r\nForged line" << QByteArray("220 ready\r\n")
                                     << "SMTP Host: 127.0.0.1\\r\\nForged line";
    QTest::newRow("a reply to the socket client") << true << "127.0.0.1" << QByteArray("220 ready\rForged line\r\n")
                                                  << "220 ready\\rForged line";
}

void TestFrmSendMail::loggedTextsKeepToTheirLines()
{
    QFETCH(bool, socketClient);
    QFETCH(QString, host);
    QFETCH(QByteArray, greeting);
    QFETCH(QString, escaped);
    TestEnvironment env;
    ScriptedSmtpServer server;
    server.setGreeting({greeting});
    for (const char* reply : {"250 scripted\r\n", "250 ok\r\n", "250 ok\r\n", "354 go ahead\r\n", "250 queued\r\n",
                              "221 bye\r\n"})
        server.addReply(reply);
    frmSendMail window;
    if (socketClient) {
        bool ended = false;
        connect(&window, &frmSendMail::DialogueEnded, [&ended] { ended = true; });
        window.MailServer(host, server.port());
        window.From(QStringLiteral("User Name"), QStringLiteral("user@example.com"));
        window.SendMail(QStringLiteral("reader@example.com"), QStringLiteral("Hi"), QStringLiteral("Hello"), QString(),
                        QString());
        QTRY_VERIFY_WITH_TIMEOUT(ended, kTestMs);
    } else {
        configure(window, server.port(), QStringLiteral("s3cret"));
        window.setHost(host);
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(::status(window) != kWaiting, kTestMs);
    }

    const QString mailLog = QString::fromUtf8(TestEnvironment::readAll(env.programDir() + QStringLiteral("/sendmail.log")));
    QVERIFY2(mailLog.contains(escaped), qPrintable(mailLog));
    const QStringList logged = mailLog.split(QStringLiteral("\r\n"));
    for (const QString& line : logged) {
        QVERIFY2(!line.startsWith(QLatin1String("Forged line")), qPrintable(mailLog));
        QVERIFY2(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')), qPrintable(mailLog));
    }
    // The window shows what the log has.
    QCOMPARE(shownLog(window).split(QLatin1Char('\n')), logged);
}

void TestFrmSendMail::logIsTrimmedAndHeadedWhenTheWindowOpens_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("kept");
    QTest::newRow("32000 bytes stay") << 32000 << true;
    QTest::newRow("32001 bytes are deleted") << 32001 << false;
}

void TestFrmSendMail::logIsTrimmedAndHeadedWhenTheWindowOpens()
{
    QFETCH(int, size);
    QFETCH(bool, kept);
    TestEnvironment env;
    const QString path = env.programDir() + QStringLiteral("/sendmail.log");
    const QByteArray old(size, 'o');
    QVERIFY(TestEnvironment::writeAll(path, old));
    frmSendMail window;
    window.setHost(QStringLiteral("mail.example.com"));
    window.show();
    window.close();   // before the send starts

    const QByteArray log = TestEnvironment::readAll(path);
    QCOMPARE(log.startsWith(old), kept);
    const QList<QByteArray> lines = log.mid(kept ? size : 0).split('\n');
    QVERIFY(lines.size() >= 6);
    QCOMPARE(lines[0], "PPC Quillmark Version " + Version::text().toLatin1() + '\r');
    QVERIFY(lines[1].startsWith(" Time: ") && lines[1].endsWith('\r'));
    QCOMPARE(lines[2], QByteArray(36, '-') + '\r');
    QCOMPARE(lines[3], QByteArray("SMTP Host: mail.example.com\r"));
    QCOMPARE(lines[4], QByteArray("\r"));
    QVERIFY(lines[5].startsWith("Test Send email at "));
    QVERIFY(shownLog(window).startsWith(QStringLiteral("PPC Quillmark Version ")));
}

void TestFrmSendMail::closingDuringASendAbortsIt()
{
    TestEnvironment env;
    ScriptedSmtpServer silent;   // accepts, never greets
    frmSendMail window;
    configure(window, silent.port(), QStringLiteral("s3cret"));
    window.show();
    QTRY_VERIFY_WITH_TIMEOUT(QString::fromUtf8(TestEnvironment::readAll(env.programDir() + QStringLiteral("/Error.log")))
                                 .contains(QStringLiteral("clsSendMail: start SendMail")),
                             kTestMs);
    QElapsedTimer clock;
    clock.start();
    window.findChild<QPushButton*>(QStringLiteral("cmdClose"))->click();
    QVERIFY(!window.isVisible());
    QVERIFY2(clock.elapsed() < 30000, "closing waited for the server");
    QTest::qWait(100);
    QCOMPARE(::status(window), kWaiting);
}

void TestFrmSendMail::closingEndsTheSocketDialogueToo()
{
    TestEnvironment env;
    ScriptedSmtpServer server;   // greets, then never answers
    server.setGreeting({"220 scripted ready\r\n"});
    frmSendMail window;
    int ended = 0;
    connect(&window, &frmSendMail::DialogueEnded, [&ended] { ++ended; });
    window.show();
    window.MailServer(QStringLiteral("127.0.0.1"), server.port());
    window.From(QStringLiteral("User Name"), QStringLiteral("user@example.com"));
    window.SendMail(QStringLiteral("reader@example.com"), QStringLiteral("Hi"), QStringLiteral("Hello"), QString(),
                    QString());
    QTRY_VERIFY_WITH_TIMEOUT(!server.commands.isEmpty(), kTestMs);
    window.findChild<QPushButton*>(QStringLiteral("cmdClose"))->click();
    // At once, not when the reply time-out has run out.
    QTRY_COMPARE_WITH_TIMEOUT(ended, 1, 5000);
    QVERIFY(!window.Connect());
    QTRY_VERIFY_WITH_TIMEOUT(server.disconnected, 5000);
}

void TestFrmSendMail::openedByThePreferencesDialog()
{
    TestEnvironment env;
    SmtpTestServer server;
    QString error;
    QVERIFY2(server.start({SmtpTestServer::Security::Plain, QStringLiteral("bob"), QStringLiteral("s3cret"),
                           {QStringLiteral("LOGIN")}, {}},
                          &error),
             qPrintable(error));

    // What the test-mail window was given and how its test ended.
    struct {
        QStringList properties;
        QString status;
    } seen;
    // Runs inside the preferences dialog's modal loop.
    const ModalWatcher<frmPreference> preferences([&](frmPreference& prefs) {
        const auto text = [&prefs](const char* name, const QString& value) {
            prefs.findChild<QLineEdit*>(QLatin1String(name))->setText(value);
        };
        text("txtMailServer", QStringLiteral("127.0.0.1"));
        text("txtSMTPPort", QString::number(server.port()));
        prefs.findChild<QCheckBox*>(QStringLiteral("chkSMTPAuth"))->setChecked(true);
        text("txtSMTPUsername", QStringLiteral("bob"));
        text("txtSMTPPassword", QStringLiteral("s3cret"));
        text("txtReporterName", QStringLiteral("User Name"));
        text("txtReporterEmail", QStringLiteral("user@example.com"));
        // Notes what the test-mail window was given, and closes it once its
        // test has ended.
        const ModalWatcher<frmSendMail> mailWindow(
            [&](frmSendMail& mail) {
                if (seen.properties.isEmpty()) {
                    seen.properties = {mail.Host(), QString::number(mail.Port()), mail.ToRecipient(),
                                       mail.SMTPUsername(), mail.SMTPPassword(),
                                       QString::number(mail.Authentication()), QString::number(mail.SSL())};
                }
                if (::status(mail) == kWaiting)
                    return false;
                seen.status = ::status(mail);
                mail.findChild<QPushButton*>(QStringLiteral("cmdClose"))->click();
                return true;
            },
            50);
        // Returns when the test-mail window has closed.
        prefs.findChild<QPushButton*>(QStringLiteral("cmdTestSendMail"))->click();
        prefs.reject();
    });
    QTimer::singleShot(kTestMs, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    QVERIFY(!frmPreference::ShowModal(nullptr));
    QVERIFY(preferences.seen());

    QCOMPARE(seen.properties, (QStringList{QStringLiteral("127.0.0.1"), QString::number(server.port()),
                                           QStringLiteral("user@example.com"), QStringLiteral("bob"),
                                           QStringLiteral("s3cret"), QStringLiteral("1"), QStringLiteral("0")}));
    QCOMPARE(seen.status, kSuccess);
    const QList<QJsonObject> messages = server.messages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0][QStringLiteral("headers")].toObject()[QStringLiteral("From")].toString(),
             QStringLiteral("User Name <user@example.com>"));
    QCOMPARE(messages[0][QStringLiteral("rcpt_tos")].toArray().first().toString(), QStringLiteral("user@example.com"));
    const QString errorLog = QString::fromUtf8(TestEnvironment::readAll(env.programDir() + QStringLiteral("/Error.log")));
    const qsizetype started = errorLog.indexOf(QStringLiteral("Testing mail server for user@example.com at "));
    QVERIFY(started >= 0);
    QVERIFY(errorLog.indexOf(QStringLiteral("Send Message Done."), started) > started);
    QVERIFY(errorLog.indexOf(QStringLiteral("Testing mail server completed at "), started) > started);
}

void TestFrmSendMail::smtpPortVariant_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("port");
    QTest::newRow("text") << QVariant(QStringLiteral("587")) << 587;
    QTest::newRow("half rounds to even, up") << QVariant(25.5) << 26;
    QTest::newRow("half rounds to even, down") << QVariant(24.5) << 24;
    QTest::newRow("above 32767") << QVariant(40000) << 40000;
    QTest::newRow("not a number keeps the port") << QVariant(QStringLiteral("abc")) << 2525;
    QTest::newRow("above 65535 keeps the port") << QVariant(70000) << 2525;
    QTest::newRow("negative keeps the port") << QVariant(-1) << 2525;
}

void TestFrmSendMail::smtpPortVariant()
{
    QFETCH(QVariant, value);
    QFETCH(int, port);
    TestEnvironment env;
    frmSendMail window;
    window.setPort(2525);
    window.setSMTPPort(value);
    QCOMPARE(int(window.Port()), port);
    QCOMPARE(window.SMTPPort().toInt(), port);
}

QTEST_MAIN(TestFrmSendMail)
#include "tst_frmsendmail.moc"
