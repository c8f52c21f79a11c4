#include "platform/HttpClient.h"

#include "ScriptedHttpServer.h"

#include <QtTest>

using platform::HttpClient;
using Server = ScriptedHttpServer;
using Behaviour = ScriptedHttpServer::Behaviour;
using Reply = ScriptedHttpServer::Reply;

Q_DECLARE_METATYPE(ScriptedHttpServer::Reply)

namespace {

// A client pointed at a server that answers its one path with reply.
struct Served {
    explicit Served(const Reply& reply)
    {
        server.route("/p", reply);
        client.setUrl(server.url("/p"));
    }
    ScriptedHttpServer server;
    HttpClient client;
    QSignalSpy completed{&client, &HttpClient::requestCompleted};
};

} // namespace

class TestHttpClient : public QObject
{
    Q_OBJECT

private slots:
    void requestAsSent_data();
    void requestAsSent();
    void replies_data();
    void replies();
    void failuresComplete_data();
    void failuresComplete();
    void abortKeepsWhatArrived_data();
    void abortKeepsWhatArrived();
    void newRequestSupersedesTheOld();
    void timeOutBoundsTheWholeRequest();
    void userAgentThatCannotBeSentRefusesTheRequest_data();
    void userAgentThatCannotBeSentRefusesTheRequest();
    void overlongReplyIsDropped_data();
    void overlongReplyIsDropped();
};

void TestHttpClient::requestAsSent_data()
{
    QTest::addColumn<bool>("post");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<QByteArrayList>("values");

    QTest::newRow("get, a line ending in CRLF")
        << false << QByteArray() << QStringList{"Content-type: text/html\r\n"}
        << QByteArray("Content-type") << QByteArrayList{"text/html"};
    // A length counted in characters is short for any non-ASCII text.
    const QString text = QStringLiteral("<q>schuhe größe 42 – günstig</q>");
    const QByteArray utf8 = text.toUtf8();
    QTest::newRow("post, a character count sent as the byte length, once")
        << true << utf8
        << QStringList{"Content-Type: text/xml\r\n", "Content-length: " + QString::number(text.size()) + "\r\n"}
        << QByteArray("Content-Length") << QByteArrayList{QByteArray::number(utf8.size())};
    QTest::newRow("post without lines gets a form content type")
        << true << QByteArray("a=1&b=2") << QStringList()
        << QByteArray("Content-Type") << QByteArrayList{"application/x-www-form-urlencoded"};
    QTest::newRow("a line with a break inside is not sent")
        << false << QByteArray() << QStringList{"X-Token: abc\r\nX-Injected: 1"}
        << QByteArray("X-Injected") << QByteArrayList();
    QTest::newRow("a line holding NUL is not sent")
        << false << QByteArray() << QStringList{QString::fromLatin1("X-Token: ab\0cd", 15)}
        << QByteArray("X-Token") << QByteArrayList();
    QTest::newRow("a line with a lone CR inside is not sent")
        << false << QByteArray() << QStringList{"X-Token: abc\rX-Injected: 1"}
        << QByteArray("X-Token") << QByteArrayList();
    QTest::newRow("an empty value is sent")
        << true << QByteArray("x") << QStringList{"SOAPaction: \"\""}
        << QByteArray("SOAPaction") << QByteArrayList{"\"\""};
}

void TestHttpClient::requestAsSent()
{
    QFETCH(bool, post);
    QFETCH(QByteArray, body);
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, header);
    QFETCH(QByteArrayList, values);

    ScriptedHttpServer server;
    server.route("/in", Server::answer(200, "ok"));
    HttpClient client;
    client.setUrl(server.url("/in?x=1"));
    client.setUserAgent("PPC Quillmark");
    QCOMPARE(post ? client.post(body, lines) : client.get(lines), QStringLiteral("ok"));

    QCOMPARE(server.requests().size(), 1);
    const Server::Request& request = server.requests().at(0);
    QCOMPARE(request.method, post ? QByteArray("POST") : QByteArray("GET"));
    QCOMPARE(request.target, QByteArray("/in?x=1"));
    QCOMPARE(request.values("User-Agent"), QByteArrayList{"PPC Quillmark"});
    QCOMPARE(request.values(header), values);
    QCOMPARE(request.body, body);
    if (post)
        QCOMPARE(request.values("Content-Length").size(), 1);
}

void TestHttpClient::replies_data()
{
    QTest::addColumn<Reply>("reply");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");

    QTest::newRow("200 in UTF-8 without a charset")
        << Server::answer(200, QStringLiteral("größe").toUtf8(), "text/xml") << 200 << "größe";
    QTest::newRow("the charset of the content type")
        << Server::answer(200, QByteArray("caf\xe9"), "text/plain; charset=ISO-8859-1") << 200 << "café";
    QTest::newRow("an error status is a reply")
        << Server::answer(500, "<fault>quota</fault>", "text/xml") << 500 << "<fault>quota</fault>";
    QTest::newRow("a 400 with a body is a reply")
        << Server::answer(400, "{\"error\":\"invalid_grant\"}", "application/json") << 400
        << "{\"error\":\"invalid_grant\"}";
    QTest::newRow("a 400 without a body is a reply") << Server::answer(400, "") << 400 << "";
    QTest::newRow("a 404 is a reply") << Server::answer(404, "<html>gone</html>", "text/html") << 404
                                      << "<html>gone</html>";
    Reply redirect = Server::answer(302, "moved");
    redirect.headers.append(Server::Header("Location", "/elsewhere"));
    QTest::newRow("a redirect is not followed") << redirect << 302 << "moved";
}

void TestHttpClient::replies()
{
    QFETCH(Reply, reply);
    QFETCH(int, status);
    QFETCH(QString, text);

    Served s(reply);
    QCOMPARE(s.client.get(), text);
    QCOMPARE(s.client.statusCode(), status);
    QCOMPARE(s.client.errorString(), QString());
    QCOMPARE(s.client.state(), HttpClient::Idle);
    QCOMPARE(s.server.requests().size(), 1);
}

void TestHttpClient::failuresComplete_data()
{
    QTest::addColumn<Reply>("reply");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<int>("timeoutMs");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");

    QTest::newRow("connection refused") << Reply() << true << 0 << 0 << QByteArray();
    QTest::newRow("closed without reply")
        << Server::misbehaving(Behaviour::CloseWithoutReply) << false << 0 << 0 << QByteArray();
    QTest::newRow("silent server, time-out")
        << Server::misbehaving(Behaviour::NoReply) << false << 300 << 0 << QByteArray();
    QTest::newRow("stalled reply, time-out")
        << Server::misbehaving(Behaviour::PartialThenStall, "0123456789", 4) << false << 300 << 200
        << QByteArray("0123");
    QTest::newRow("closed in the middle of the body")
        << Server::misbehaving(Behaviour::PartialThenClose, "0123456789", 4) << false << 0 << 200
        << QByteArray("0123");
    // An error status does not make a reply cut off midway a whole one.
    for (const int status : {400, 500}) {
        Reply cut = Server::misbehaving(Behaviour::PartialThenClose, "{\"error\":\"invalid_grant\"}", 6);
        cut.status = status;
        QTest::addRow("a %d closed in the middle of the body", status)
            << cut << false << 0 << status << QByteArray("{\"erro");
    }
}

void TestHttpClient::failuresComplete()
{
    QFETCH(Reply, reply);
    QFETCH(bool, refused);
    QFETCH(int, timeoutMs);
    QFETCH(int, status);
    QFETCH(QByteArray, body);

    Served s(reply);
    if (refused)
        s.client.setUrl(Server::refusingUrl());
    s.client.setTimeout(timeoutMs);
    s.client.startGet();
    QCOMPARE(s.completed.size(), 0);
    QCOMPARE(s.client.state(), HttpClient::Sending);

    QVERIFY(s.completed.wait(5000));
    QCOMPARE(s.client.state(), HttpClient::Idle);
    QCOMPARE(s.client.statusCode(), status);
    QCOMPARE(s.client.replyBody(), body);
    QVERIFY(!s.client.errorString().isEmpty());
    if (timeoutMs > 0)
        QVERIFY2(s.client.errorString().startsWith("Time out"), qPrintable(s.client.errorString()));
    QTest::qWait(50);
    QCOMPARE(s.completed.size(), 1);
}

void TestHttpClient::abortKeepsWhatArrived_data()
{
    QTest::addColumn<Reply>("reply");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");

    QTest::newRow("before any reply") << Server::misbehaving(Behaviour::NoReply) << 0 << "";
    QTest::newRow("after part of the reply")
        << Server::misbehaving(Behaviour::PartialThenStall, QStringLiteral("<rval>größe</rval>").toUtf8(), 13) << 200
        << "<rval>größe";
}

void TestHttpClient::abortKeepsWhatArrived()
{
    QFETCH(Reply, reply);
    QFETCH(int, status);
    QFETCH(QString, text);

    Served s(reply);
    s.client.startGet();
    QVERIFY(s.server.waitForRequests(1));
    QTRY_COMPARE(s.client.replyText(), text);

    s.client.abort();
    QCOMPARE(s.client.state(), HttpClient::Aborted);
    QCOMPARE(s.completed.size(), 0);
    s.client.abort();
    QVERIFY(s.completed.wait(5000));
    QCOMPARE(s.client.state(), HttpClient::Idle);
    QCOMPARE(s.client.statusCode(), status);
    QCOMPARE(s.client.replyText(), text);
    QCOMPARE(s.client.errorString(), QStringLiteral("Aborted"));
    QTest::qWait(50);
    QCOMPARE(s.completed.size(), 1);
}

void TestHttpClient::newRequestSupersedesTheOld()
{
    ScriptedHttpServer server;
    server.route("/silent", Server::misbehaving(Behaviour::NoReply));
    server.route("/ok", Server::answer(200, "second"));
    HttpClient client;
    QSignalSpy completed(&client, &HttpClient::requestCompleted);

    // A running request, then one aborted whose completion is still queued:
    // neither may end the blocking call of the request that follows.
    client.setUrl(server.url("/silent"));
    client.startGet();
    QVERIFY(server.waitForRequests(1));
    client.setUrl(server.url("/ok"));
    client.startGet();
    client.abort();
    QCOMPARE(client.get(), QStringLiteral("second"));
    QCOMPARE(client.statusCode(), 200);
    QCOMPARE(completed.size(), 1);
    QTest::qWait(50);
    QCOMPARE(completed.size(), 1);
}

void TestHttpClient::timeOutBoundsTheWholeRequest()
{
    // A reply that keeps coming, a byte at a time, must not hold a blocking
    // call (which takes no user input) past its time-out.
    const QByteArray body(40, 'x');
    Served s(Server::trickling(body, 50));
    s.client.setTimeout(400);
    QElapsedTimer clock;
    clock.start();
    const QString text = s.client.get();
    QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(s.client.errorString().startsWith("Time out"), qPrintable(s.client.errorString()));
    QCOMPARE(s.client.statusCode(), 200);
    QVERIFY(text.size() < body.size());
    QCOMPARE(text, QString(text.size(), QLatin1Char('x')));
    QCOMPARE(s.completed.size(), 1);
}

void TestHttpClient::userAgentThatCannotBeSentRefusesTheRequest_data()
{
    QTest::addColumn<QString>("userAgent");
    QTest::addColumn<bool>("post");
    QTest::newRow("CR LF and a line of its own") << "Agent\r\nX-Injected: 1" << false;
    QTest::newRow("LF alone") << "Agent\nX-Injected: 1" << true;
    QTest::newRow("a trailing line break") << "Agent\r\n" << false;
    QTest::newRow("NUL") << QString::fromLatin1("Age\0nt", 6) << true;
}

void TestHttpClient::userAgentThatCannotBeSentRefusesTheRequest()
{
    QFETCH(QString, userAgent);
    QFETCH(bool, post);

    Served s(Server::answer(200, "ok"));
    s.client.setUserAgent(userAgent);
    const QString reply = post ? s.client.post("a=1") : s.client.get();
    QCOMPARE(reply, QString());
    QVERIFY2(s.client.errorString().contains("user agent"), qPrintable(s.client.errorString()));
    QCOMPARE(s.client.state(), HttpClient::Idle);
    QCOMPARE(s.completed.size(), 1);
    QTest::qWait(100);
    QVERIFY(s.server.requests().isEmpty());

    // The next request with a sound one goes out.
    s.client.setUserAgent("Agent");
    QCOMPARE(s.client.get(), QStringLiteral("ok"));
    QCOMPARE(s.server.requests().size(), 1);
}

void TestHttpClient::overlongReplyIsDropped_data()
{
    QTest::addColumn<Reply>("reply");
    QTest::addColumn<bool>("kept");

    const QByteArray limit(1000, 'a');
    QTest::newRow("at the limit") << Server::answer(200, limit) << true;
    QTest::newRow("a byte over the limit") << Server::answer(200, limit + 'b') << false;
    // The length is known before any of the body arrives.
    QTest::newRow("announced over the limit, then silence")
        << Server::misbehaving(Behaviour::PartialThenStall, limit + limit, 10) << false;
    Reply unannounced = Server::trickling(limit + limit, 0);
    unannounced.sendLength = false;
    QTest::newRow("no length given, coming past the limit") << unannounced << false;
}

void TestHttpClient::overlongReplyIsDropped()
{
    QFETCH(Reply, reply);
    QFETCH(bool, kept);

    Served s(reply);
    s.client.setMaxReplyBytes(1000);
    s.client.setTimeout(3000);
    const QString text = s.client.get();
    QCOMPARE(text.size(), kept ? 1000 : 0);
    if (kept) {
        QCOMPARE(s.client.errorString(), QString());
    } else {
        QVERIFY2(s.client.errorString().startsWith("Reply too large"), qPrintable(s.client.errorString()));
        QCOMPARE(s.client.replyBody(), QByteArray());
    }
    QCOMPARE(s.completed.size(), 1);
    QTest::qWait(50);
    QCOMPARE(s.completed.size(), 1);
}

QTEST_GUILESS_MAIN(TestHttpClient)
#include "tst_httpclient.moc"
