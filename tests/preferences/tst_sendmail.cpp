#include "core/Globals.h"
#include "platform/CurlLibrary.h"
#include "platform/SmtpComponent.h"
#include "preferences/clsSendMail.h"

#include "SmtpTestServer.h"
#include "TestEnvironment.h"

#include <QtTest>

#include <functional>
#include <memory>

namespace {

constexpr int kSendMs = 20000;
const QString kPassword = QStringLiteral("pa55:word");

// Everything one SendMail reported.
struct Outcome {
    bool completed = false;
    bool completedInsideSendMail = false;
    qint32 code = -1;
    QString text;
    QStringList invalidRecipients;
    QStringList dialogue;
    QStringList events;
    QStringList notes;   // the entries of sendmail.log reported by OnLogEntry
};

Outcome send(clsSendMail& mail)
{
    Outcome outcome;
    QObject context;
    QObject::connect(&mail, &clsSendMail::Completed, &context, [&](qint32 code, const QString& text) {
        outcome.completed = true;
        outcome.code = code;
        outcome.text = text;
    });
    QObject::connect(&mail, &clsSendMail::InValidRecipient, &context,
                     [&](const QString& text) { outcome.invalidRecipients << text; });
    QObject::connect(&mail, &clsSendMail::OnSendCommand, &context, [&](const QString& l) { outcome.dialogue << l; });
    QObject::connect(&mail, &clsSendMail::OnServerResponse, &context, [&](const QString& l) { outcome.dialogue << l; });
    QObject::connect(&mail, &clsSendMail::OnConnected, &context, [&] { outcome.events << QStringLiteral("connected"); });
    QObject::connect(&mail, &clsSendMail::OnAuthenticated, &context,
                     [&] { outcome.events << QStringLiteral("authenticated"); });
    QObject::connect(&mail, &clsSendMail::OnError, &context, [&] { outcome.events << QStringLiteral("error"); });
    QObject::connect(&mail, &clsSendMail::OnLogEntry, &context, [&](const QString& e) { outcome.notes << e; });
    mail.SendMail();
    outcome.completedInsideSendMail = outcome.completed;
    if (outcome.completed)
        return outcome;
    if (!mail.OnSenting())
        qWarning("OnSenting is false during the send");
    (void)QTest::qWaitFor([&] { return outcome.completed; }, kSendMs);
    return outcome;
}

// The message of a sender to one reader through 127.0.0.1.
void address(clsSendMail& mail, quint16 port)
{
    mail.setHost(QStringLiteral("127.0.0.1"));
    mail.setPort(QString::number(port));
    mail.setFromAddr(QStringLiteral("sender@example.com"));
    mail.setFromName(QStringLiteral("Sender Name"));
    mail.setToRecipient(QStringLiteral("reader@example.com"));
}

QString header(const QJsonObject& message, const QString& name)
{
    return message[QStringLiteral("headers")].toObject()[name].toString();
}

QStringList recipients(const QJsonObject& message)
{
    QStringList result;
    for (const QJsonValue& v : message[QStringLiteral("rcpt_tos")].toArray())
        result << v.toString();
    return result;
}

QString structure(const QJsonObject& message)
{
    return message[QStringLiteral("structure")].toString();
}

QJsonObject part(const QJsonObject& message, const QString& type)
{
    return SmtpTestServer::findPart(message[QStringLiteral("tree")].toObject(), type);
}

// Credentials in any form the dialogue could carry them.
QStringList secrets()
{
    return {kPassword, QString::fromLatin1(kPassword.toUtf8().toBase64()),
            QString::fromLatin1(QByteArray("\0bob\0" + kPassword.toUtf8()).toBase64())};
}

} // namespace

class TestSendMail : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void startTlsWithLogin();
    void htmlMessageWithEveryPart();
    void refusedBeforeSending_data();
    void refusedBeforeSending();
    void serverRefusals_data();
    void serverRefusals();
    void invalidCopiesAreLeftOut_data();
    void invalidCopiesAreLeftOut();
    void priorityCodes_data();
    void priorityCodes();
    void inlineImages_data();
    void inlineImages();
    void charsets_data();
    void charsets();

private:
    QJsonObject lastMessage() const { return m_server.messages().value(m_server.messages().size() - 1); }

    platform::CurlLibrary m_curl;
    std::unique_ptr<TestEnvironment> m_env;
    SmtpTestServer m_server;   // plain, with and without login
};

void TestSendMail::initTestCase()
{
    m_env = std::make_unique<TestEnvironment>();
    BuildKeyPaths();
    QString error;
    QVERIFY2(m_server.start({SmtpTestServer::Security::Plain, QStringLiteral("bob"), kPassword, {QStringLiteral("PLAIN")},
                             {QStringLiteral("nobody@example.com")}},
                            &error),
             qPrintable(error));
}

void TestSendMail::cleanup()
{
    platform::SmtpComponent::setTrustedCertificates(QString());
}

void TestSendMail::startTlsWithLogin()
{
    SmtpTestServer server;
    QString error;
    QVERIFY2(server.start({SmtpTestServer::Security::StartTls, QStringLiteral("bob"), kPassword,
                           {QStringLiteral("LOGIN")}, {}},
                          &error),
             qPrintable(error));
    platform::SmtpComponent::setTrustedCertificates(server.caFile());
    clsSendMail mail;
    address(mail, server.port());
    mail.setSSL(true);
    mail.setAuthentication(true);
    mail.setUserName(QStringLiteral("bob"));
    mail.setPassword(kPassword);
    mail.setCC(QStringLiteral("copy@example.com"));
    mail.setBCC(QStringLiteral("hidden@example.com"));
    mail.setSubject(QStringLiteral("Quarterly report"));
    mail.setBodyText(QStringLiteral("First line\nSecond line"));

    const Outcome outcome = send(mail);
    QCOMPARE(outcome.code, 0);
    QCOMPARE(outcome.text, QStringLiteral("Send mail completed"));
    QVERIFY(!outcome.completedInsideSendMail);
    QVERIFY(!mail.OnSenting());
    QCOMPARE(outcome.events, (QStringList{QStringLiteral("connected"), QStringLiteral("authenticated")}));
    QVERIFY(outcome.dialogue.contains(QStringLiteral("STARTTLS")));
    QVERIFY(outcome.dialogue.contains(QStringLiteral("AUTH LOGIN")));

    const QList<QJsonObject> messages = server.messages();
    QCOMPARE(messages.size(), 1);
    const QJsonObject& message = messages[0];
    QVERIFY(message[QStringLiteral("tls")].toBool());
    QCOMPARE(message[QStringLiteral("mechanism")].toString(), QStringLiteral("LOGIN"));
    QCOMPARE(message[QStringLiteral("login")].toString(), QStringLiteral("bob"));
    QCOMPARE(recipients(message), (QStringList{QStringLiteral("reader@example.com"), QStringLiteral("copy@example.com"),
                                               QStringLiteral("hidden@example.com")}));
    QCOMPARE(header(message, QStringLiteral("From")), QStringLiteral("Sender Name <sender@example.com>"));
    QCOMPARE(header(message, QStringLiteral("To")), QStringLiteral("reader@example.com"));
    QCOMPARE(header(message, QStringLiteral("Cc")), QStringLiteral("copy@example.com"));
    QVERIFY(!message[QStringLiteral("headers")].toObject().contains(QStringLiteral("Bcc")));
    QVERIFY(!message[QStringLiteral("raw")].toString().contains(QStringLiteral("hidden@example.com")));
    QCOMPARE(header(message, QStringLiteral("Subject")), QStringLiteral("Quarterly report"));
    QCOMPARE(header(message, QStringLiteral("X-Mailer")), QStringLiteral("PPC Quillmark v1"));
    QCOMPARE(header(message, QStringLiteral("X-Priority")), QStringLiteral("3"));
    QVERIFY(!header(message, QStringLiteral("Date")).isEmpty());
    QCOMPARE(structure(message), QStringLiteral("multipart/mixed(text/plain)"));
    QCOMPARE(part(message, QStringLiteral("text/plain"))[QStringLiteral("text")].toString(),
             QStringLiteral("First line\r\nSecond line"));

    // No credential in what was shown, in the mail log or in the error log.
    const QString logs = outcome.dialogue.join(QLatin1Char('\n'))
        + QString::fromUtf8(TestEnvironment::readAll(m_env->programDir() + QStringLiteral("/sendmail.log")))
        + QString::fromUtf8(TestEnvironment::readAll(m_env->programDir() + QStringLiteral("/Error.log")));
    for (const QString& secret : secrets())
        QVERIFY2(!logs.contains(secret), qPrintable(secret));
    QVERIFY(outcome.dialogue.contains(QStringLiteral("<hidden>")));
}

void TestSendMail::htmlMessageWithEveryPart()
{
    const QString image = m_env->path(QStringLiteral("chart.png"));
    const QString attachment = m_env->path(QStringLiteral("report.pdf"));
    QVERIFY(TestEnvironment::writeAll(image, QByteArray("\x89PNG\r\n\x1a\n-image-", 15)));
    QVERIFY(TestEnvironment::writeAll(attachment, QByteArray(3000, 'x')));
    clsSendMail mail;
    address(mail, m_server.port());
    mail.setMsgFormat(QStringLiteral("HTML"));
    mail.setBodyHTML(QStringLiteral("<html><body><p>Results</p><img src=\"%1\" alt=\"chart\"></body></html>").arg(image));
    mail.setBodyText(QStringLiteral("Results"));
    mail.setAttachment({QStringLiteral("  ") + attachment + QStringLiteral(" "), m_env->path(QStringLiteral("gone.txt"))});
    mail.setReplyTo(QStringLiteral("replies@example.com"));
    mail.setRequestRead(true);
    mail.setFromAddr(QString());   // the first recipient sends

    const Outcome outcome = send(mail);
    QCOMPARE(outcome.code, 0);
    const QJsonObject message = lastMessage();
    QCOMPARE(structure(message), QStringLiteral("multipart/mixed(multipart/related(multipart/alternative(text/plain,"
                                                "text/html),image/png),application/pdf)"));
    QCOMPARE(message[QStringLiteral("mail_from")].toString(), QStringLiteral("reader@example.com"));
    QCOMPARE(header(message, QStringLiteral("Reply-To")), QStringLiteral("replies@example.com"));
    QCOMPARE(header(message, QStringLiteral("Disposition-Notification-To")), QStringLiteral("reader@example.com"));
    const QJsonObject png = part(message, QStringLiteral("image/png"));
    QCOMPARE(png[QStringLiteral("disposition")].toString(), QStringLiteral("inline"));
    QCOMPARE(png[QStringLiteral("size")].toInt(), 15);
    const QString contentId = png[QStringLiteral("content_id")].toString();
    QVERIFY(contentId.startsWith(QLatin1Char('<')) && contentId.endsWith(QLatin1Char('>')));
    const QString html = part(message, QStringLiteral("text/html"))[QStringLiteral("text")].toString();
    QVERIFY2(html.contains(QStringLiteral("src=\"cid:") + contentId.mid(1, contentId.size() - 2) + QLatin1Char('"')),
             qPrintable(html));
    QVERIFY(!html.contains(image));
    QCOMPARE(part(message, QStringLiteral("text/plain"))[QStringLiteral("text")].toString(), QStringLiteral("Results"));
    const QJsonObject pdf = part(message, QStringLiteral("application/pdf"));
    QCOMPARE(pdf[QStringLiteral("filename")].toString(), QStringLiteral("report.pdf"));
    QCOMPARE(pdf[QStringLiteral("disposition")].toString(), QStringLiteral("attachment"));
    QCOMPARE(pdf[QStringLiteral("size")].toInt(), 3000);
}

void TestSendMail::refusedBeforeSending_data()
{
    using Change = std::function<void(clsSendMail&)>;
    QTest::addColumn<Change>("change");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty recipient") << Change([](clsSendMail& m) { m.setToRecipient(QString()); }) << 30003
                                     << "Empty recipient";
    QTest::newRow("two recipients") << Change([](clsSendMail& m) {
        m.setToRecipient(QStringLiteral("a@example.com, b@example.com"));
    }) << 30003 << "all recipients address are not valid.";
    QTest::newRow("recipient with a name") << Change([](clsSendMail& m) {
        m.setToRecipient(QStringLiteral("Reader <reader@example.com>"));
    }) << 30003 << "all recipients address are not valid.";
    QTest::newRow("line break in the sender") << Change([](clsSendMail& m) {
        m.setFromAddr(QStringLiteral("sender@example.com>\r\nRCPT TO:<victim@example.com"));
    }) << 30001 << "INVALID_MAIL_FORMAT: A line break or NUL in the sender address";
    QTest::newRow("line break in the sender name") << Change([](clsSendMail& m) {
        m.setFromName(QStringLiteral("Name\nBcc: victim@example.com"));
    }) << 30001 << "INVALID_MAIL_FORMAT: A line break or NUL in the sender name";
    QTest::newRow("line break in the subject") << Change([](clsSendMail& m) {
        m.setSubject(QStringLiteral("Hello\r\nBcc: victim@example.com"));
    }) << 30001 << "INVALID_MAIL_FORMAT: A line break or NUL in the subject";
    QTest::newRow("NUL in reply-to") << Change([](clsSendMail& m) {
        m.setReplyTo(QStringLiteral("a@example.com") + QChar(0));
    }) << 30001 << "INVALID_MAIL_FORMAT: A line break or NUL in the reply-to address";
    QTest::newRow("port beyond 65535") << Change([](clsSendMail& m) { m.setPort(QStringLiteral("70000")); }) << 30001
                                       << "INVALID_MAIL_FORMAT: Invalid server port 70000";
    QTest::newRow("port beyond any whole number") << Change([](clsSendMail& m) {
        m.setPort(QStringLiteral("99999999999999999999"));
    }) << 30001 << "INVALID_MAIL_FORMAT: Invalid server port 99999999999999999999";
}

void TestSendMail::refusedBeforeSending()
{
    QFETCH(std::function<void(clsSendMail&)>, change);
    QFETCH(int, code);
    QFETCH(QString, text);
    const qsizetype before = m_server.messages().size();
    clsSendMail mail;
    address(mail, m_server.port());
    change(mail);
    const Outcome outcome = send(mail);
    QVERIFY(outcome.completedInsideSendMail);
    QCOMPARE(outcome.code, code);
    QCOMPARE(outcome.text, text);
    QVERIFY(!mail.OnSenting());
    QVERIFY(outcome.dialogue.isEmpty());
    QCOMPARE(m_server.messages().size(), before);
    // Nothing reached the server: the one note says why.
    QCOMPARE(outcome.notes.size(), 1);
    QVERIFY2(outcome.notes.first().startsWith(QStringLiteral("* ") + text), qPrintable(outcome.notes.first()));
}

void TestSendMail::serverRefusals_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("textStart");
    QTest::newRow("wrong password") << "wrong" << "reader@example.com" << "SendMailError:  ErrCode: 535, Error: 535 ";
    QTest::newRow("recipient refused") << kPassword << "nobody@example.com"
                                       << "SendMailError:  ErrCode: 550, Error: 550 5.1.1 Mailbox unavailable";
}

void TestSendMail::serverRefusals()
{
    QFETCH(QString, password);
    QFETCH(QString, to);
    QFETCH(QString, textStart);
    const qsizetype before = m_server.messages().size();
    clsSendMail mail;
    address(mail, m_server.port());
    mail.setToRecipient(to);
    mail.setAuthentication(true);
    mail.setUserName(QStringLiteral("bob"));
    mail.setPassword(password);
    const Outcome outcome = send(mail);
    QCOMPARE(outcome.code, 30024);
    QVERIFY2(outcome.text.startsWith(textStart), qPrintable(outcome.text));
    QVERIFY(outcome.text.endsWith(QStringLiteral(" SMTP Server: 127.0.0.1")));
    QVERIFY(outcome.events.contains(QStringLiteral("error")));
    QCOMPARE(m_server.messages().size(), before);
}

void TestSendMail::invalidCopiesAreLeftOut_data()
{
    QTest::addColumn<QString>("cc");
    QTest::addColumn<QString>("bcc");
    QTest::addColumn<QStringList>("invalid");
    QTest::addColumn<QStringList>("sentTo");
    QTest::newRow("second copy piece bad")
        << "one@example.com;not an address" << ""
        << QStringList{"Invalid recipient: aryEmails(1) =not an address"}
        << QStringList{"reader@example.com", "one@example.com"};
    QTest::newRow("pieces with blanks")
        << "one@example.com; two@example.com" << "" << QStringList{}
        << QStringList{"reader@example.com", "one@example.com", "two@example.com"};
    QTest::newRow("single bad copy") << "nobody" << "" << QStringList{"Invalid recipient: nobody"}
                                     << QStringList{"reader@example.com"};
    QTest::newRow("blind copy list is one address")
        << "" << "b1@example.com;b2@example.com"
        << QStringList{"Invalid recipient: b1@example.com;b2@example.com"} << QStringList{"reader@example.com"};
}

void TestSendMail::invalidCopiesAreLeftOut()
{
    QFETCH(QString, cc);
    QFETCH(QString, bcc);
    QFETCH(QStringList, invalid);
    QFETCH(QStringList, sentTo);
    clsSendMail mail;
    address(mail, m_server.port());
    mail.setCC(cc);
    mail.setBCC(bcc);
    const Outcome outcome = send(mail);
    QCOMPARE(outcome.code, 0);
    QCOMPARE(outcome.invalidRecipients, invalid);
    QCOMPARE(recipients(lastMessage()), sentTo);
}

void TestSendMail::priorityCodes_data()
{
    QTest::addColumn<int>("priority");
    QTest::addColumn<QString>("header");
    QTest::newRow("1 high") << 1 << "1";
    QTest::newRow("0 normal") << 0 << "3";
    QTest::newRow("3 normal") << 3 << "3";
    QTest::newRow("2 low") << 2 << "4";
    QTest::newRow("5 low") << 5 << "4";
    QTest::newRow("-1 low") << -1 << "4";
}

void TestSendMail::priorityCodes()
{
    QFETCH(int, priority);
    QFETCH(QString, header);
    clsSendMail mail;
    address(mail, m_server.port());
    mail.setPriority(static_cast<qint16>(priority));
    QCOMPARE(send(mail).code, 0);
    QCOMPARE(::header(lastMessage(), QStringLiteral("X-Priority")), header);
}

void TestSendMail::inlineImages_data()
{
    // %1 is the absolute path of an existing image, logo.png lies in the
    // program folder.
    QTest::addColumn<QString>("html");
    QTest::addColumn<int>("images");
    QTest::addColumn<QString>("kept");   // a text the body still holds
    QTest::newRow("quoted absolute path") << "<html><img src=\"%1\"></html>" << 1 << "src=\"cid:";
    QTest::newRow("single quotes") << "<html><IMG SRC = '%1' ></html>" << 1 << "SRC = 'cid:";
    QTest::newRow("relative to the program folder") << "<html><img src=\"logo.png\"></html>" << 1 << "src=\"cid:";
    QTest::newRow("file URL") << "<html><img src=\"file://%1\"></html>" << 1 << "src=\"cid:";
    QTest::newRow("background attribute") << "<html><td background=\"%1\">x</td></html>" << 1 << "background=\"cid:";
    QTest::newRow("same image twice") << "<html><img src=\"%1\"><img src=\"%1\"></html>" << 1 << "\"><img src=\"cid:";
    QTest::newRow("web image left alone") << "<html><img src=\"http://example.com/a.png\"></html>" << 0
                                          << "src=\"http://example.com/a.png\"";
    QTest::newRow("unquoted value at the end of the tag") << "<html><img src=%1></html>" << 0 << "src=%1>";
    QTest::newRow("missing file") << "<html><img src=\"/no/such/image.png\"></html>" << 0
                                  << "src=\"/no/such/image.png\"";
    QTest::newRow("a name that ends another is not touched")
        << "<html><img src=\"logo.png\"><p>see mylogo.png</p></html>" << 1 << "see mylogo.png";
}

void TestSendMail::inlineImages()
{
    QFETCH(QString, html);
    QFETCH(int, images);
    QFETCH(QString, kept);
    const QString image = m_env->path(QStringLiteral("picture.png"));
    QVERIFY(TestEnvironment::writeAll(image, "png"));
    QVERIFY(TestEnvironment::writeAll(m_env->programDir() + QStringLiteral("/logo.png"), "png"));
    clsSendMail mail;
    address(mail, m_server.port());
    mail.setMsgFormat(QStringLiteral("html"));
    const auto withImage = [&image](QString text) { return text.replace(QStringLiteral("%1"), image); };
    mail.setBodyHTML(withImage(html));
    QCOMPARE(send(mail).code, 0);

    const QJsonObject message = lastMessage();
    const QString body = part(message, QStringLiteral("text/html"))[QStringLiteral("text")].toString();
    QCOMPARE(structure(message).count(QStringLiteral("image/png")), images);
    QVERIFY2(body.contains(withImage(kept)), qPrintable(body));
    QCOMPARE(body.count(QStringLiteral("cid:")), html.count(QStringLiteral("%1")) > 1 ? 2 : images);
}

void TestSendMail::charsets_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("charset");
    QTest::addColumn<QString>("encoding");
    QTest::newRow("ASCII") << "Plain" << "Plain text" << "iso-8859-1" << "7bit";
    QTest::newRow("Latin-1") << "Caf\u00e9 au lait" << "Cr\u00e8me br\u00fbl\u00e9e" << "iso-8859-1"
                             << "quoted-printable";
    QTest::newRow("beyond Latin-1 in the body") << "Price" << "10 \u20ac" << "utf-8" << "quoted-printable";
    QTest::newRow("beyond Latin-1 in the subject") << "\u03a9 \u20ac \U0001F600" << "x" << "utf-8" << "7bit";
    QTest::newRow("long subject") << QString(60, QChar(0x20AC)) << "x" << "utf-8" << "7bit";
    QTest::newRow("bare line feeds") << "Lines" << "a\nb\rc\n.\n" << "iso-8859-1" << "7bit";
    QTest::newRow("line longer than 998") << "Long" << QString(1500, QLatin1Char('y')) << "iso-8859-1"
                                          << "quoted-printable";
}

void TestSendMail::charsets()
{
    QFETCH(QString, subject);
    QFETCH(QString, body);
    QFETCH(QString, charset);
    QFETCH(QString, encoding);
    clsSendMail mail;
    address(mail, m_server.port());
    mail.setSubject(subject);
    mail.setBodyText(body);
    QCOMPARE(send(mail).code, 0);

    const QJsonObject message = lastMessage();
    QCOMPARE(header(message, QStringLiteral("Subject")), subject);
    const QJsonObject text = part(message, QStringLiteral("text/plain"));
    QCOMPARE(text[QStringLiteral("charset")].toString(), charset);
    QCOMPARE(text[QStringLiteral("encoding")].toString(), encoding);
    QString expected = body;
    expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    expected.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    QCOMPARE(text[QStringLiteral("text")].toString(), expected);
    const QString raw = message[QStringLiteral("raw")].toString();
    QVERIFY(!raw.contains(QStringLiteral("=0A")) && !raw.contains(QStringLiteral("=0D")));
    for (const QString& line : raw.split(QStringLiteral("\r\n")))
        QVERIFY2(line.size() <= 998, "a line of the message is too long");
}

QTEST_MAIN(TestSendMail)
#include "tst_sendmail.moc"
