#include "platform/CurlLibrary.h"
#include "platform/SmtpComponent.h"
#include "platform/SmtpLogRedactor.h"

#include "ScriptedSmtpServer.h"
#include "SmtpTestServer.h"

#include <QtTest>

#include <curl/curl.h>
#include <dlfcn.h>
#include <netdb.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <thread>

using namespace platform;

namespace {

constexpr int kSendMs = 20000;

// A name whose lookup hangs, as with a name server that does not answer.
constexpr char kStalledHost[] = "stalled-lookup.invalid";
constexpr int kStallSeconds = 20;

} // namespace

// This program's own name lookup stands in for the system's, which the mail
// transport calls: it answers kStalledHost only after kStallSeconds (with a
// failure, asking no name server) and hands every other name to the system.
extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo* hints, addrinfo** result)
{
    if (node && std::strcmp(node, kStalledHost) == 0) {
        std::this_thread::sleep_for(std::chrono::seconds(kStallSeconds));
        return EAI_AGAIN;
    }
    using Lookup = int (*)(const char*, const char*, const addrinfo*, addrinfo**);
    static const auto system = reinterpret_cast<Lookup>(dlsym(RTLD_NEXT, "getaddrinfo"));
    return system(node, service, hints, result);
}

namespace {

// What one send reported, in order.
struct Recorder {
    explicit Recorder(SmtpComponent& smtp)
    {
        QObject::connect(&smtp, &SmtpComponent::OnConnected, [this] { events << QStringLiteral("connected"); });
        QObject::connect(&smtp, &SmtpComponent::OnAuthenticated, [this] { events << QStringLiteral("authenticated"); });
        QObject::connect(&smtp, &SmtpComponent::OnError, [this](int c, const QString& d) {
            events << QStringLiteral("error");
            code = c;
            description = d;
        });
        QObject::connect(&smtp, &SmtpComponent::OnSending, [this](qint64 s, qint64 t) { progress.append({s, t}); });
        QObject::connect(&smtp, &SmtpComponent::OnSendCommand, [this](const QString& l) { lines << QStringLiteral("> ") + l; });
        QObject::connect(&smtp, &SmtpComponent::OnServerRespond, [this](const QString& l) { lines << QStringLiteral("< ") + l; });
        QObject::connect(&smtp, &SmtpComponent::OnClosed, [this] { events << QStringLiteral("closed"); });
    }
    bool waitClosed(int ms = kSendMs)
    {
        return QTest::qWaitFor([this] { return events.contains(QStringLiteral("closed")); }, ms);
    }

    QStringList events;
    QStringList lines;
    QList<QPair<qint64, qint64>> progress;
    int code = 0;
    QString description;
};

// A small message from one address to another, reporting everything.
void fill(SmtpComponent& smtp, quint16 port)
{
    smtp.setServer(QStringLiteral("127.0.0.1"));
    smtp.setServerPort(port);
    smtp.setFromAddr(QStringLiteral("sender@example.com"));
    smtp.addRecipient(QStringLiteral("reader@example.com"), SmtpRecipientKind::To);
    smtp.setSubject(QStringLiteral("Test"));
    smtp.setBodyText(QStringLiteral("Hello"));
    smtp.setReportDialogue(true);
    smtp.setReportProgress(true);
}

// A dialogue that is accepted up to the message data.
void scriptUpToData(ScriptedSmtpServer& server)
{
    server.setGreeting({"220 scripted ready\r\n"});
    server.addReply("250 scripted\r\n");   // EHLO
    server.addReply("250 OK\r\n");         // MAIL FROM
    server.addReply("250 OK\r\n");         // RCPT TO
    server.addReply("354 Go ahead\r\n");   // DATA
}

} // namespace

class TestSmtpComponent : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void implicitTlsWithPlainLogin();
    void failuresEndWithError_data();
    void failuresEndWithError();
    void aTimeOutEndsTheConnection_data();
    void aTimeOutEndsTheConnection();
    void abortEndsARunningSendAtOnce();
    void destroyingTheComponentEndsItsSend();
    void abortDoesNotWaitForANameLookup_data();
    void abortDoesNotWaitForANameLookup();
    void lineBreaksAreRefused_data();
    void lineBreaksAreRefused();
    void redactor_data();
    void redactor();
    void testServerStopsWhenItsTestEnds();

private:
    CurlLibrary m_curl;
};

void TestSmtpComponent::cleanup()
{
    SmtpComponent::setTrustedCertificates(QString());
}

void TestSmtpComponent::implicitTlsWithPlainLogin()
{
    SmtpTestServer server;
    QString error;
    QVERIFY2(server.start({SmtpTestServer::Security::ImplicitTls, QStringLiteral("bob"), QStringLiteral("s3cret!"),
                           {QStringLiteral("PLAIN")}, {}},
                          &error),
             qPrintable(error));
    SmtpComponent::setTrustedCertificates(server.caFile());
    SmtpComponent smtp;
    Recorder recorder(smtp);
    fill(smtp, server.port());
    QCOMPARE(smtp.prepareSecureConnection(SmtpSecurity::ImplicitTls), 0);
    smtp.setUserName(QStringLiteral("bob"));
    smtp.setPassword(QStringLiteral("s3cret!"));
    smtp.send();
    QVERIFY(smtp.isSending());
    QVERIFY(recorder.waitClosed());

    QCOMPARE(recorder.events,
             (QStringList{QStringLiteral("connected"), QStringLiteral("authenticated"), QStringLiteral("closed")}));
    const QList<QJsonObject> messages = server.messages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0][QStringLiteral("tls")].toBool(), true);
    QCOMPARE(messages[0][QStringLiteral("mechanism")].toString(), QStringLiteral("PLAIN"));
    QCOMPARE(messages[0][QStringLiteral("login")].toString(), QStringLiteral("bob"));
    QCOMPARE(messages[0][QStringLiteral("mail_from")].toString(), QStringLiteral("sender@example.com"));

    // The login is shown without its credentials.
    const qsizetype auth = recorder.lines.indexOf(QStringLiteral("> AUTH PLAIN"));
    QVERIFY(auth >= 0);
    QCOMPARE(recorder.lines.mid(auth + 1, 3),
             (QStringList{QStringLiteral("< <hidden>"), QStringLiteral("> <hidden>"),
                          QStringLiteral("< 235 2.7.0 Authentication successful")}));
    const QString dialogue = recorder.lines.join(QLatin1Char('\n'));
    QVERIFY(!dialogue.contains(QStringLiteral("s3cret")));
    QVERIFY(!dialogue.contains(QString::fromLatin1(QByteArray("\0bob\0s3cret!", 12).toBase64())));
    QVERIFY(dialogue.contains(QStringLiteral("< 235")));
    QVERIFY(dialogue.contains(QStringLiteral("> DATA")));

    // Progress runs up to a total that is never below what was sent.
    QVERIFY(!recorder.progress.isEmpty());
    for (const auto& [sent, total] : recorder.progress)
        QVERIFY(total > 0 && sent <= total);
    QVERIFY(recorder.progress.last().first > 0);
}

void TestSmtpComponent::failuresEndWithError_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("expectedCode");
    QTest::newRow("certificate not trusted") << "untrusted" << int(CURLE_PEER_FAILED_VERIFICATION);
    QTest::newRow("STARTTLS required but not offered") << "no-starttls" << int(CURLE_USE_SSL_FAILED);
    QTest::newRow("closed before the data was accepted") << "close-after-data" << int(CURLE_RECV_ERROR);
    QTest::newRow("closed in the middle of the data") << "close-during-data" << int(CURLE_SEND_ERROR);
    QTest::newRow("no greeting within the time-out") << "silent" << int(CURLE_OPERATION_TIMEDOUT);
    QTest::newRow("greeting refuses the client") << "refused" << 554;
    QTest::newRow("no mail server") << "no-server" << int(CURLE_FAILED_INIT);
}

void TestSmtpComponent::failuresEndWithError()
{
    QFETCH(QString, kind);
    QFETCH(int, expectedCode);

    SmtpTestServer real;
    ScriptedSmtpServer scripted;
    SmtpComponent smtp;
    Recorder recorder(smtp);
    QString error;
    if (kind == QLatin1String("untrusted") || kind == QLatin1String("no-starttls")) {
        const auto security =
            kind == QLatin1String("untrusted") ? SmtpTestServer::Security::StartTls : SmtpTestServer::Security::Plain;
        QVERIFY2(real.start({security, {}, {}, {}, {}}, &error), qPrintable(error));
        fill(smtp, real.port());
        smtp.prepareSecureConnection(SmtpSecurity::StartTls);
    } else {
        if (kind == QLatin1String("close-after-data")) {
            scriptUpToData(scripted);
            scripted.addStep({{}, true});
        } else if (kind == QLatin1String("close-during-data")) {
            scripted.setGreeting({"220 scripted ready\r\n"});
            for (int reply = 0; reply < 3; ++reply)   // EHLO, MAIL FROM, RCPT TO
                scripted.addReply("250 OK\r\n");
            scripted.addStep({{"354 Go ahead\r\n"}, true});
        } else if (kind == QLatin1String("refused")) {
            scripted.setGreeting({"554 no service here\r\n"});
        }
        fill(smtp, scripted.port());
        // Only the silent server is waited out; a loaded machine must not
        // turn the other failures into time-outs.
        smtp.setTimeOut(kind == QLatin1String("silent") ? 1 : 60);
    }
    if (kind == QLatin1String("no-server"))
        smtp.setServer(QString());
    if (kind == QLatin1String("close-during-data"))   // far more than the socket buffers hold
        smtp.setBodyText(QString(16 * 1024 * 1024, QLatin1Char('x')));
    smtp.send();
    QVERIFY(recorder.waitClosed());

    QCOMPARE(recorder.events.mid(recorder.events.size() - 2),
             (QStringList{QStringLiteral("error"), QStringLiteral("closed")}));
    QCOMPARE(recorder.code, expectedCode);
    QVERIFY(!recorder.description.isEmpty());
    QVERIFY(real.messages().isEmpty());
}

void TestSmtpComponent::aTimeOutEndsTheConnection_data()
{
    // The replies the server gives after its greeting before it goes silent.
    QTest::addColumn<QByteArrayList>("replies");
    QTest::newRow("silent after the message data")
        << QByteArrayList{"250 scripted\r\n", "250 OK\r\n", "250 OK\r\n", "354 Go ahead\r\n"};
    QTest::newRow("silent after the recipient") << QByteArrayList{"250 scripted\r\n", "250 OK\r\n", "250 OK\r\n"};
    QTest::newRow("silent after the greeting") << QByteArrayList{};
}

void TestSmtpComponent::aTimeOutEndsTheConnection()
{
    // A server that stopped answering is asked nothing more: a QUIT would
    // only be waited for once again, for the whole time-out.
    QFETCH(QByteArrayList, replies);
    ScriptedSmtpServer silent;
    silent.setGreeting({"220 scripted ready\r\n"});
    for (const QByteArray& reply : replies)
        silent.addReply(reply);
    SmtpComponent smtp;
    Recorder recorder(smtp);
    fill(smtp, silent.port());
    smtp.setTimeOut(1);
    smtp.send();
    QVERIFY(recorder.waitClosed());

    QCOMPARE(recorder.code, int(CURLE_OPERATION_TIMEDOUT));
    QVERIFY2(!silent.commands.contains("QUIT"), silent.commands.join(' ').constData());
    QTRY_VERIFY(silent.disconnected);
}

void TestSmtpComponent::abortEndsARunningSendAtOnce()
{
    ScriptedSmtpServer silent;
    SmtpComponent smtp;
    Recorder recorder(smtp);
    fill(smtp, silent.port());
    smtp.setTimeOut(120);
    smtp.send();
    QVERIFY_THROWS_EXCEPTION(std::logic_error, smtp.send());
    QTest::qWait(200);
    smtp.abort();
    // Far below the time-out: the abort does not wait for the server.
    QVERIFY(recorder.waitClosed(10000));
    QCOMPARE(recorder.events, (QStringList{QStringLiteral("error"), QStringLiteral("closed")}));
    QCOMPARE(recorder.description, QStringLiteral("Send aborted"));
    QVERIFY(!smtp.isSending());
}

void TestSmtpComponent::destroyingTheComponentEndsItsSend()
{
    ScriptedSmtpServer silent;
    QElapsedTimer clock;
    clock.start();
    {
        SmtpComponent smtp;
        fill(smtp, silent.port());
        smtp.setTimeOut(120);
        smtp.send();
        QTest::qWait(200);
    }
    QVERIFY2(clock.elapsed() < 60000, "the destructor waited for the server");
}

void TestSmtpComponent::abortDoesNotWaitForANameLookup_data()
{
    QTest::addColumn<bool>("destroy");
    QTest::newRow("abort") << false;
    QTest::newRow("destruction") << true;
}

void TestSmtpComponent::abortDoesNotWaitForANameLookup()
{
    // Closing the Send Mail window must not freeze it until a name server
    // that does not answer gives up.
    QFETCH(bool, destroy);
    auto smtp = std::make_unique<SmtpComponent>();
    Recorder recorder(*smtp);
    fill(*smtp, 25);
    smtp->setServer(QString::fromLatin1(kStalledHost));
    smtp->send();
    QTest::qWait(300);   // the lookup has begun
    QElapsedTimer clock;
    clock.start();
    if (destroy) {
        smtp.reset();
    } else {
        smtp->abort();
        QVERIFY(recorder.waitClosed());
        QCOMPARE(recorder.description, QStringLiteral("Send aborted"));
    }
    QVERIFY2(clock.elapsed() < kStallSeconds * 1000 / 2, qPrintable(QString::number(clock.elapsed())));
}

void TestSmtpComponent::lineBreaksAreRefused_data()
{
    using Setter = std::function<void(SmtpComponent&, const QString&)>;
    QTest::addColumn<Setter>("setter");
    QTest::newRow("sender address") << Setter([](SmtpComponent& s, const QString& v) { s.setFromAddr(v); });
    QTest::newRow("sender name") << Setter([](SmtpComponent& s, const QString& v) { s.setFromName(v); });
    QTest::newRow("recipient") << Setter([](SmtpComponent& s, const QString& v) {
        s.addRecipient(v, SmtpRecipientKind::Bcc);
    });
    QTest::newRow("subject") << Setter([](SmtpComponent& s, const QString& v) { s.setSubject(v); });
    QTest::newRow("reply-to") << Setter([](SmtpComponent& s, const QString& v) { s.setReplyTo(v); });
    QTest::newRow("mailer") << Setter([](SmtpComponent& s, const QString& v) { s.setMailer(v); });
    QTest::newRow("header value") << Setter([](SmtpComponent& s, const QString& v) {
        s.addHeader(QStringLiteral("X-Test"), v);
    });
    QTest::newRow("header name") << Setter([](SmtpComponent& s, const QString& v) {
        s.addHeader(v, QStringLiteral("x"));
    });
}

void TestSmtpComponent::lineBreaksAreRefused()
{
    QFETCH(std::function<void(SmtpComponent&, const QString&)>, setter);
    SmtpComponent smtp;
    for (const QString& bad : {QStringLiteral("a@b.com\r\nRCPT TO:<x@y.com>"), QStringLiteral("a\nb"),
                               QStringLiteral("a\rb"), QString(QStringLiteral("a")) + QChar(0) + QStringLiteral("b")})
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, setter(smtp, bad));
    setter(smtp, QStringLiteral("Plain-text_value"));
}

void TestSmtpComponent::redactor_data()
{
    // ">" lines go out, "<" lines come in; the third column is what is shown.
    QTest::addColumn<QStringList>("dialogue");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("login with challenges") << QStringList{"> EHLO me", "< 250 AUTH LOGIN", "> AUTH LOGIN",
                                                          "< 334 VXNlcm5hbWU6", "> Ym9i", "< 334 UGFzc3dvcmQ6",
                                                          "> czNjcmV0", "< 235 2.7.0 ok", "> MAIL FROM:<a@b.c>"}
                                           << QStringList{"> EHLO me", "< 250 AUTH LOGIN", "> AUTH LOGIN",
                                                          "< <hidden>", "> <hidden>", "< <hidden>",
                                                          "> <hidden>", "< 235 2.7.0 ok", "> MAIL FROM:<a@b.c>"};
    QTest::newRow("initial response") << QStringList{"> AUTH PLAIN AGJvYgBzM2NyZXQ=", "< 535 5.7.8 invalid",
                                                     "> QUIT"}
                                      << QStringList{"> AUTH PLAIN <hidden>", "< 535 5.7.8 invalid", "> QUIT"};
    QTest::newRow("empty challenge") << QStringList{"> auth plain", "< 334 ", "> AGJvYgBzM2NyZXQ=", "< 235 ok"}
                                     << QStringList{"> auth plain", "< <hidden>", "> <hidden>", "< 235 ok"};
    QTest::newRow("a second login hides again")
        << QStringList{"> AUTH LOGIN", "< 334 x", "> a", "< 535 no", "> AUTH LOGIN", "< 334 x", "> b", "< 235 ok"}
        << QStringList{"> AUTH LOGIN", "< <hidden>", "> <hidden>", "< 535 no",
                       "> AUTH LOGIN", "< <hidden>", "> <hidden>", "< 235 ok"};
    QTest::newRow("AUTHOR is no login") << QStringList{"> AUTHOR x", "< 334 y"} << QStringList{"> AUTHOR x", "< 334 y"};
}

void TestSmtpComponent::redactor()
{
    QFETCH(QStringList, dialogue);
    QFETCH(QStringList, shown);
    SmtpLogRedactor redactor;
    QStringList result;
    for (const QString& line : dialogue) {
        const QString text = line.mid(2);
        result << line.left(2) + (line.startsWith(QLatin1Char('>')) ? redactor.command(text) : redactor.reply(text));
    }
    QCOMPARE(result, shown);
}

void TestSmtpComponent::testServerStopsWhenItsTestEnds()
{
    // A test program that crashes or is killed cannot stop its server by
    // its process id; the server must not outlive it.
    SmtpTestServer server;
    QString error;
    QVERIFY2(server.start({}, &error), qPrintable(error));
    QVERIFY(server.isRunning());
    server.closeInput();
    QTRY_VERIFY_WITH_TIMEOUT(!server.isRunning(), 10000);
}

QTEST_GUILESS_MAIN(TestSmtpComponent)
#include "tst_smtpcomponent.moc"
