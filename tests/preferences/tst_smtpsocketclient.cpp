#include "preferences/SmtpSocketClient.h"

#include "ScriptedSmtpServer.h"
#include "TestEnvironment.h"

#include <QtTest>

namespace {

constexpr int kDialogueMs = 15000;

const QByteArray kUser = "bob";
const QByteArray kPassword = "pa55word";

// One dialogue of the client with a scripted server.
struct Run {
    QStringList log;
    QStringList statuses;
    int ended = 0;
};

// The replies of a plain HELO dialogue for one recipient, ending with 221.
QList<QByteArray> heloReplies(int recipients = 1)
{
    QList<QByteArray> replies{"250 scripted\r\n", "250 sender ok\r\n"};
    for (int i = 0; i < recipients; ++i)
        replies << "250 recipient ok\r\n";
    replies << "354 go ahead\r\n" << "250 queued\r\n" << "221 bye\r\n";
    return replies;
}

class Fixture
{
public:
    Fixture()
        : client(settings)
    {
        settings.senderName = QStringLiteral("Sender");
        settings.senderAddress = QStringLiteral("sender@example.com");
        settings.Host = QStringLiteral("127.0.0.1");
        settings.Port = server.port();
        settings.SMTPUsername = QString::fromLatin1(kUser);
        settings.SMTPPassword = QString::fromLatin1(kPassword);
        server.setGreeting({"220 scripted ready\r\n"});
        QObject::connect(&client, &SmtpSocketClient::mailLog,
                         [this](const QStringList& lines) { run.log << lines.join(QStringLiteral("\r\n")); });
        QObject::connect(&client, &SmtpSocketClient::status, [this](const QString& t) { run.statuses << t; });
        QObject::connect(&client, &SmtpSocketClient::ended, [this] { ++run.ended; });
    }

    void script(const QList<QByteArray>& replies)
    {
        for (const QByteArray& reply : replies)
            server.addReply(reply);
    }

    bool send(const QString& to, const QString& subject = QStringLiteral("Hi"),
              const QString& body = QStringLiteral("Hello"), const QString& copy = QString(),
              const QString& blindCopy = QString())
    {
        client.SendMail(to, subject, body, copy, blindCopy);
        return QTest::qWaitFor([this] { return run.ended > 0; }, kDialogueMs);
    }

    QString errorLog() const
    {
        return QString::fromUtf8(TestEnvironment::readAll(env.programDir() + QStringLiteral("/Error.log")));
    }

    TestEnvironment env;
    ScriptedSmtpServer server;
    SendMailSettings settings;
    SmtpSocketClient client;
    Run run;
};

const QString kSuccess = QStringLiteral("SMTP mail server test completed successfully.");
const QString kFailure = QStringLiteral("Error occured when sending message.");

} // namespace

class TestSmtpSocketClient : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void heloDialogueWithEveryRecipient();
    void authLoginOverSplitMultiLineReplies();
    void dialoguesThatFail_data();
    void dialoguesThatFail();
    void repliesBeyondTheLimits_data();
    void repliesBeyondTheLimits();
    void aReplyIsWaitedForOneTimeOutFromItsCommand();
    void bodyGoesOutWhole_data();
    void bodyGoesOutWhole();
    void wrapWord_data();
    void wrapWord();
};

void TestSmtpSocketClient::heloDialogueWithEveryRecipient()
{
    Fixture f;
    f.script(heloReplies(5));
    QVERIFY(f.send(QStringLiteral("a@example.com, b@example.com,c@example.com"), QStringLiteral("Hi"),
                   QStringLiteral("Hello\r\nWorld"), QStringLiteral("cc@example.com"), QStringLiteral("bcc@example.com")));

    QCOMPARE(f.server.commands,
             (QList<QByteArray>{"HELO local_machine", "MAIL FROM:<sender@example.com>", "RCPT TO:<a@example.com>",
                                "RCPT TO:<b@example.com>", "RCPT TO:<c@example.com>", "RCPT TO:<cc@example.com>",
                                "RCPT TO:<bcc@example.com>", "DATA", "QUIT"}));
    QCOMPARE(f.server.data, QByteArray("From: Sender<sender@example.com>\r\n"
                                       "To: a@example.com, b@example.com,c@example.com\r\n"
                                       "Cc: cc@example.com\r\n"
                                       "Content-Type: text/plain; charset=us-ascii\r\n"
                                       "Subject: Hi\r\n"
                                       "X-Mailer: Harrowgate\r\n"
                                       "\r\n"
                                       "Hello\r\nWorld\r\n"));
    QCOMPARE(f.run.statuses, QStringList{kSuccess});
    QCOMPARE(f.run.ended, 1);
    QCOMPARE(f.client.addressList().size(), 5);
    // The log names the server where the wire says "local_machine".
    QVERIFY(f.run.log.contains(QStringLiteral("HELO 127.0.0.1\r\n")));
    QVERIFY(f.errorLog().contains(QStringLiteral("Send Message Done.")));
    QVERIFY(!f.client.Connect());
}

void TestSmtpSocketClient::authLoginOverSplitMultiLineReplies()
{
    Fixture f;
    f.client.setSMTPAuth(true);
    f.server.setGreeting({"22", "0 scripted ready\r\n"});
    f.server.addStep({{"250-scripted\r\n250-AU", "TH LOGIN\r\n", "250 HELP\r\n"}, false});
    f.script({"334 VXNlcm5hbWU6\r\n", "334 UGFzc3dvcmQ6\r\n", "235 2.7.0 accepted\r\n", "250 sender ok\r\n",
              "250 recipient ok\r\n", "354 go ahead\r\n", "250 queued\r\n", "221 bye\r\n"});
    QVERIFY(f.send(QStringLiteral("reader@example.com")));

    QCOMPARE(f.server.commands,
             (QList<QByteArray>{"EHLO local_machine", "AUTH LOGIN", kUser.toBase64(), kPassword.toBase64(),
                                "MAIL FROM:<sender@example.com>", "RCPT TO:<reader@example.com>", "DATA", "QUIT"}));
    QCOMPARE(f.run.statuses, QStringList{kSuccess});
    QVERIFY(f.run.log.contains(QStringLiteral("EHLO 127.0.0.1\r\n")));
    const QString logs = f.run.log.join(QLatin1Char('\n')) + f.errorLog()
        + QString::fromUtf8(TestEnvironment::readAll(f.env.programDir() + QStringLiteral("/sendmail.log")));
    QVERIFY(!logs.contains(QString::fromLatin1(kPassword)));
    QVERIFY(!logs.contains(QString::fromLatin1(kPassword.toBase64())));
    QCOMPARE(f.run.log.count(QStringLiteral("<hidden>")), 4);
    QVERIFY(f.run.log.contains(QStringLiteral("235 2.7.0 accepted")));
}

void TestSmtpSocketClient::dialoguesThatFail_data()
{
    QTest::addColumn<bool>("login");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QList<QByteArray>>("replies");   // "": no reply
    QTest::addColumn<bool>("closeAfterReplies");
    QTest::addColumn<QList<QByteArray>>("commands");
    QTest::addColumn<QString>("errorLine");

    QTest::newRow("550 to a recipient") << false << "nobody@example.com" << "Hi"
                                        << QList<QByteArray>{"250 scripted\r\n", "250 ok\r\n", "550 no such user\r\n",
                                                             "221 bye\r\n"}
                                        << false
                                        << QList<QByteArray>{"HELO local_machine", "MAIL FROM:<sender@example.com>",
                                                             "RCPT TO:<nobody@example.com>", "QUIT"}
                                        << "Error sending mail: 550 - 550 no such user";
    QTest::newRow("432 is refused, not answered with the password")
        << true << "reader@example.com" << "Hi"
        << QList<QByteArray>{"250 scripted\r\n", "432 4.7.12 A password transition is needed\r\n", "221 bye\r\n"} << false
        << QList<QByteArray>{"EHLO local_machine", "AUTH LOGIN", "QUIT"} << "Error sending mail: 432 - 432 4.7.12";
    // The login goes only to a server that was asked for it.
    QTest::newRow("334 without AUTH LOGIN is refused, the login not sent")
        << false << "reader@example.com" << "Hi"
        << QList<QByteArray>{"334 VXNlcm5hbWU6\r\n", "221 bye\r\n"} << false
        << QList<QByteArray>{"HELO local_machine", "QUIT"} << "Error sending mail: 334 - 334 VXNlcm5hbWU6";
    QTest::newRow("no recipient ends with QUIT") << false << "" << "Hi"
                                                 << QList<QByteArray>{"250 scripted\r\n", "250 ok\r\n", "221 bye\r\n"}
                                                 << false
                                                 << QList<QByteArray>{"HELO local_machine",
                                                                      "MAIL FROM:<sender@example.com>", "QUIT"}
                                                 << "Error sending mail: no recipient";
    QTest::newRow("221 before the data was accepted")
        << false << "reader@example.com" << "Hi" << QList<QByteArray>{"221 closing\r\n"} << false
        << QList<QByteArray>{"HELO local_machine"} << "Disconnected from mail server after error...";
    QTest::newRow("server closes in the middle")
        << false << "reader@example.com" << "Hi" << QList<QByteArray>{""} << true
        << QList<QByteArray>{"HELO local_machine"}
        << "Error sending mail: The remote host closed the connection";
    QTest::newRow("no reply within the time-out")
        << false << "reader@example.com" << "Hi" << QList<QByteArray>{} << false
        << QList<QByteArray>{"HELO local_machine"} << "Error sending mail: No reply from the mail server";
    QTest::newRow("line break in the subject")
        << false << "reader@example.com" << "Hi\r\nBcc: victim@example.com" << QList<QByteArray>{} << false
        << QList<QByteArray>{} << "Error sending mail: A line break or NUL in an address or the subject";
}

void TestSmtpSocketClient::dialoguesThatFail()
{
    QFETCH(bool, login);
    QFETCH(QString, to);
    QFETCH(QString, subject);
    QFETCH(QList<QByteArray>, replies);
    QFETCH(bool, closeAfterReplies);
    QFETCH(QList<QByteArray>, commands);
    QFETCH(QString, errorLine);

    Fixture f;
    // Only a server that never answers is waited out; a loaded machine must
    // not turn the other failures into time-outs.
    f.settings.TimeOut = replies.isEmpty() ? 1 : 60;
    f.client.setSMTPAuth(login);
    for (qsizetype i = 0; i < replies.size(); ++i) {
        const QList<QByteArray> pieces = replies.at(i).isEmpty() ? QList<QByteArray>{} : QList<QByteArray>{replies.at(i)};
        f.server.addStep({pieces, closeAfterReplies && i == replies.size() - 1});
    }
    QVERIFY(f.send(to, subject));

    QCOMPARE(f.server.commands, commands);
    QCOMPARE(f.run.statuses, QStringList{kFailure});
    QCOMPARE(f.run.ended, 1);
    QVERIFY2(f.errorLog().contains(errorLine), qPrintable(f.errorLog()));
    QVERIFY(!f.errorLog().contains(QStringLiteral("Send Message Done.")));
    QVERIFY(!f.server.commands.contains(kPassword.toBase64()));
    QVERIFY(!f.run.log.join(QLatin1Char('\n')).contains(QString::fromLatin1(kPassword.toBase64())));
}

void TestSmtpSocketClient::repliesBeyondTheLimits_data()
{
    // The answer to HELO, in pieces, and the error it ends with ("": none,
    // the dialogue goes on to its end).
    QTest::addColumn<QList<QByteArray>>("answer");
    QTest::addColumn<QString>("errorLine");
    const QString tooLong = QStringLiteral("Error sending mail: The mail server sent a reply line longer than 512 octets");
    const QString tooMany = QStringLiteral("Error sending mail: The mail server sent more than 100 lines in answer to one command");
    QTest::newRow("a line of 512 octets") << QList<QByteArray>{"250 " + QByteArray(506, 'x') + "\r\n"} << QString();
    QTest::newRow("a line of 513 octets") << QList<QByteArray>{"250 " + QByteArray(507, 'x') + "\r\n"} << tooLong;
    QTest::newRow("a line that does not end")
        << QList<QByteArray>{"250 " + QByteArray(300, 'x'), QByteArray(300, 'x'), QByteArray(300, 'x')} << tooLong;
    QTest::newRow("a reply of 100 lines")
        << QList<QByteArray>{QByteArray("250-x\r\n").repeated(99) + "250 x\r\n"} << QString();
    QTest::newRow("a reply of 101 lines, in pieces")
        << QList<QByteArray>{QByteArray("250-x\r\n").repeated(60), QByteArray("250-x\r\n").repeated(40) + "250 x\r\n"}
        << tooMany;
    QTest::newRow("one line that is no reply after another")
        << QList<QByteArray>{QByteArray("garbage\r\n").repeated(150)} << tooMany;
}

void TestSmtpSocketClient::repliesBeyondTheLimits()
{
    QFETCH(QList<QByteArray>, answer);
    QFETCH(QString, errorLine);
    Fixture f;
    f.server.addStep({answer, false});
    f.script(heloReplies().mid(1));
    QVERIFY(f.send(QStringLiteral("reader@example.com")));

    if (errorLine.isEmpty()) {
        QCOMPARE(f.run.statuses, QStringList{kSuccess});
        QCOMPARE(f.server.commands.size(), 5);
    } else {
        QCOMPARE(f.run.statuses, QStringList{kFailure});
        QCOMPARE(f.server.commands, QList<QByteArray>{"HELO local_machine"});
        QVERIFY2(f.errorLog().contains(errorLine), qPrintable(f.errorLog()));
    }
    QCOMPARE(f.run.ended, 1);
}

void TestSmtpSocketClient::aReplyIsWaitedForOneTimeOutFromItsCommand()
{
    // Lines that are no reply do not put the time-out off: the dialogue
    // ends while they still come (one every 30 ms, for almost 3 seconds).
    constexpr int kLines = 90;
    Fixture f;
    f.settings.TimeOut = 1;
    f.server.addStep({QList<QByteArray>(kLines, "garbage\r\n"), false});
    QVERIFY(f.send(QStringLiteral("reader@example.com")));

    QCOMPARE(f.run.statuses, QStringList{kFailure});
    QVERIFY2(f.errorLog().contains(QStringLiteral("Error sending mail: No reply from the mail server")),
             qPrintable(f.errorLog()));
    QVERIFY(f.run.log.count(QStringLiteral("garbage")) < kLines);
}

void TestSmtpSocketClient::bodyGoesOutWhole_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<QByteArray>("sentBody");
    QTest::newRow("2500 characters in 1024-character pieces")
        << QString(2500, QLatin1Char('x')) << QByteArray("Content-Type: text/plain; charset=us-ascii")
        << QByteArray(2500, 'x') + "\r\n";
    QTest::newRow("lines beginning with a dot are doubled")
        << ".\r\n..x\r\nend\n.y" << QByteArray("Content-Type: text/plain; charset=us-ascii")
        << QByteArray("..\r\n...x\r\nend\r\n..y\r\n");
    QTest::newRow("Latin-1 HTML") << "<HTML>Caf\u00e9</HTML>" << QByteArray("Content-Type: text/html; Charset=iso-8859-1")
                                  << QByteArray("<HTML>Caf\xe9</HTML>\r\n");
    QTest::newRow("HTML beyond Latin-1") << "<html>10 \u20ac</html>" << QByteArray("Content-Type: text/html; Charset=utf-8")
                                         << QByteArray("<html>10 \xe2\x82\xac</html>\r\n");
    QTest::newRow("plain text beyond ASCII") << "Caf\u00e9" << QByteArray("Content-Type: text/plain; charset=utf-8")
                                             << QByteArray("Caf\xc3\xa9\r\n");
}

void TestSmtpSocketClient::bodyGoesOutWhole()
{
    QFETCH(QString, body);
    QFETCH(QByteArray, header);
    QFETCH(QByteArray, sentBody);
    Fixture f;
    f.script(heloReplies());
    QVERIFY(f.send(QStringLiteral("reader@example.com"), QStringLiteral("Hi"), body));
    QCOMPARE(f.run.statuses, QStringList{kSuccess});
    const qsizetype split = f.server.data.indexOf("\r\n\r\n");
    QVERIFY(split > 0);
    QVERIFY(f.server.data.left(split).split('\n').contains(header + '\r'));
    QCOMPARE(f.server.data.mid(split + 4), sentBody);
}

void TestSmtpSocketClient::wrapWord_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("wrapped");
    const QString word70(70, QLatin1Char('w'));
    QTest::newRow("short lines keep their breaks") << "a\nb\r\nc\rd" << "a\r\nb\r\nc\r\nd";
    QTest::newRow("broken at the last blank") << word70 + " abcde fghij" << word70 + " abcde\r\nfghij";
    QTest::newRow("a word longer than a line") << QString(80, QLatin1Char('z'))
                                               << QString(76, QLatin1Char('z')) + "\r\n" + QString(4, QLatin1Char('z'));
    QTest::newRow("exactly 76 characters") << QString(76, QLatin1Char('q')) << QString(76, QLatin1Char('q'));
    QTest::newRow("empty") << "" << "";
}

void TestSmtpSocketClient::wrapWord()
{
    QFETCH(QString, text);
    QFETCH(QString, wrapped);
    QCOMPARE(SmtpSocketClient::WrapWord(text), wrapped);
    for (const QString& line : wrapped.split(QStringLiteral("\r\n")))
        QVERIFY(line.size() <= 76);
}

QTEST_GUILESS_MAIN(TestSmtpSocketClient)
#include "tst_smtpsocketclient.moc"
