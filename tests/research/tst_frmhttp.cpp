#include "core/Globals.h"
#include "core/RegistryAPI.h"
#include "research/frmHTTP.h"

#include "ResearchTestSupport.h"
#include "ScriptedHttpServer.h"
#include "TestEnvironment.h"

#include <QtTest>

#include <initializer_list>
#include <optional>
#include <utility>

using Server = ScriptedHttpServer;
using Behaviour = ScriptedHttpServer::Behaviour;
using Reply = ScriptedHttpServer::Reply;

Q_DECLARE_METATYPE(ScriptedHttpServer::Reply)

namespace {

const QString kEmptyReply = QStringLiteral("Connection Error: FileData empty");

struct Completion {
    qint16 index = 0;
    qint32 code = 0;
    QString data;
};

// A loaded transport window for the "Google" engine on fresh settings,
// with its events recorded.
struct Transport {
    explicit Transport(std::initializer_list<Setting> settings = {}, qint16 connections = 1)
    {
        putPreferences(settings);
        window.setConnections(connections);
        window.Load();
        window.setEngine(QStringLiteral("Google"));
    }

    // The next completion, waiting for it when it has not come yet.
    std::optional<Completion> next(int timeoutMs = 5000)
    {
        if (completed.size() <= taken && !completed.wait(timeoutMs))
            return std::nullopt;
        const QList<QVariant> args = completed.at(taken++);
        return Completion{args.at(0).value<qint16>(), args.at(1).toInt(), args.at(2).toString()};
    }

    TestEnvironment env;
    frmHTTP window;
    QSignalSpy completed{&window, &frmHTTP::Completed};
    QSignalSpy disconnected{&window, &frmHTTP::Disconnected};
    QSignalSpy progress{&window, &frmHTTP::Progress};
    qsizetype taken = 0;
};

} // namespace

class TestFrmHttp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { BuildKeyPaths(); }
    void replies_data();
    void replies();
    void requestAsSent_data();
    void requestAsSent();
    void timeoutInterval_data();
    void timeoutInterval();
    void timeOut_data();
    void timeOut();
    void startDelay_data();
    void startDelay();
    void cancel_data();
    void cancel();
    void secondConnectOnBusySlot_data();
    void secondConnectOnBusySlot();
    void slotsAreIndependent();
    void proxy_data();
    void proxy();
    void connectWithoutSlot_data();
    void connectWithoutSlot();
    void closeWhileRunning();
    void releasedWindowReportsNothing();
    void releaseFromCompletedHandler();
    void resultFile_data();
    void resultFile();
    void headerTextThatCannotBeSent_data();
    void headerTextThatCannotBeSent();
    void settingThatDoesNotFit_data();
    void settingThatDoesNotFit();
};

void TestFrmHttp::replies_data()
{
    QTest::addColumn<Reply>("reply");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<qint32>("code");
    QTest::addColumn<QString>("data");

    const QString rval = QStringLiteral("<rval><value>größe 42</value></rval>");
    QTest::newRow("200 with body") << Server::answer(200, rval.toUtf8(), "text/xml") << false << 200 << rval;
    QTest::newRow("200 empty") << Server::answer(200, "") << false << 10400 << kEmptyReply;
    QTest::newRow("500 with a fault")
        << Server::answer(500, "<soap:Fault>RateExceeded</soap:Fault>", "text/xml") << false << 500
        << "<soap:Fault>RateExceeded</soap:Fault>";
    QTest::newRow("400 with a fault")
        << Server::answer(400, "<soap:Fault>QueryError</soap:Fault>", "text/xml") << false << 400
        << "<soap:Fault>QueryError</soap:Fault>";
    // "TimeOut" is 30 s: a hang would come back as 10200, long after the wait.
    QTest::newRow("connection refused") << Reply() << true << 10400 << kEmptyReply;
    QTest::newRow("closed without reply")
        << Server::misbehaving(Behaviour::CloseWithoutReply) << false << 10400 << kEmptyReply;
}

void TestFrmHttp::replies()
{
    QFETCH(Reply, reply);
    QFETCH(bool, refused);
    QFETCH(qint32, code);
    QFETCH(QString, data);

    ScriptedHttpServer server;
    server.route("/api", reply);
    const QString url = refused ? Server::refusingUrl("/api") : server.url("/api");
    Transport t;
    t.window.Connect(1, url, "Post", "<get/>");
    QCOMPARE(t.completed.size(), 0);

    const std::optional<Completion> c = t.next();
    QVERIFY(c);
    QCOMPARE(c->index, qint16(1));
    QCOMPARE(c->code, code);
    QCOMPARE(c->data, data);
    if (code == 200)
        QVERIFY(!t.progress.isEmpty() && t.progress.last().at(0).value<qint16>() == 1);
    QTest::qWait(50);
    QCOMPARE(t.completed.size(), 1);
}

void TestFrmHttp::requestAsSent_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<QByteArray>("verb");
    QTest::addColumn<QByteArrayList>("lines");   // each sent exactly once, value as given
    QTest::addColumn<QByteArrayList>("absent");  // header names not sent

    // The body holds non-ASCII text: its length in characters is 46, in UTF-8 bytes 49.
    const QByteArray length = "Content-length: 49";
    QTest::newRow("Google")
        << "Google" << "Post" << "http://" << QByteArray("POST")
        << QByteArrayList{"Content-Type: xml/html", length, "SOAPAction: comment", "Authorization: Bearer tok-1"}
        << QByteArrayList{};
    QTest::newRow("Yahoo") << "Yahoo" << "POST" << "http://" << QByteArray("POST")
                           << QByteArrayList{"Content-Type: text/xml", length, "SOAPaction: \"\""}
                           << QByteArrayList{"Authorization"};
    QTest::newRow("a MIVA variant")
        << "MIVA-Partner" << "post" << "http://" << QByteArray("POST")
        << QByteArrayList{"Content-Type: text/xml", length,
                          "SOAPAction: http://api.bid-network.invalid/api/1.0/GetBidLandscape"}
        << QByteArrayList{"Authorization"};
    QTest::newRow("MIVA itself has no header set")
        << "MIVA" << "Post" << "http://" << QByteArray("POST") << QByteArrayList{"Content-Length: 49"}
        << QByteArrayList{"SOAPAction", "Authorization"};
    QTest::newRow("any other method gets") << "Google" << "Get" << "http://" << QByteArray("GET") << QByteArrayList{}
                                           << QByteArrayList{"Content-Length", "Authorization", "SOAPAction"};
    QTest::newRow("no scheme: http:// in front")
        << "Google" << "Post" << "" << QByteArray("POST") << QByteArrayList{length} << QByteArrayList{};
    QTest::newRow("upper-case scheme kept")
        << "Google" << "Post" << "HTTP://" << QByteArray("POST") << QByteArrayList{length} << QByteArrayList{};
}

void TestFrmHttp::requestAsSent()
{
    QFETCH(QString, engine);
    QFETCH(QString, method);
    QFETCH(QString, scheme);
    QFETCH(QByteArray, verb);
    QFETCH(QByteArrayList, lines);
    QFETCH(QByteArrayList, absent);

    ScriptedHttpServer server;
    server.route("/api/v201809/TargetingIdeaService", Server::answer(200, "<ok/>"));
    Transport t({{"UserAgent", QStringLiteral("Quillmark Test Agent")}});
    t.window.setEngine(engine);
    t.window.setAuthToken(QStringLiteral("tok-1"));
    const QString body = QStringLiteral("<get><query>größe schuhe günstig</query></get>");
    QCOMPARE(body.size(), 46);
    t.window.Connect(1, scheme + server.url("/api/v201809/TargetingIdeaService").mid(7), method, body);
    const std::optional<Completion> c = t.next();
    QVERIFY(c);
    QCOMPARE(c->code, 200);

    QCOMPARE(server.requests().size(), 1);
    const Server::Request& request = server.requests().at(0);
    QCOMPARE(request.method, verb);
    QCOMPARE(request.values("User-Agent"), QByteArrayList{"Quillmark Test Agent"});
    QCOMPARE(request.body, verb == "POST" ? body.toUtf8() : QByteArray());
    for (const QByteArray& line : lines) {
        const qsizetype colon = line.indexOf(':');
        QCOMPARE(request.values(line.left(colon)), QByteArrayList{line.mid(colon + 2)});
    }
    for (const QByteArray& name : absent)
        QCOMPARE(request.values(name), QByteArrayList());
}

void TestFrmHttp::timeoutInterval_data()
{
    QTest::addColumn<qint16>("seconds");
    QTest::addColumn<int>("ms");
    QTest::newRow("0: never") << qint16(0) << 0;
    QTest::newRow("30") << qint16(30) << 30000;
    QTest::newRow("62 kept") << qint16(62) << 62000;
    QTest::newRow("63 capped") << qint16(63) << 60000;
    QTest::newRow("32767 capped") << qint16(32767) << 60000;
}

void TestFrmHttp::timeoutInterval()
{
    QFETCH(qint16, seconds);
    QFETCH(int, ms);
    QCOMPARE(frmHTTP::timeoutIntervalMs(seconds), ms);
}

void TestFrmHttp::timeOut_data()
{
    QTest::addColumn<Reply>("reply");
    QTest::addColumn<QString>("timeDelay");
    QTest::addColumn<qint32>("code");
    QTest::addColumn<QString>("data");
    QTest::addColumn<int>("requests");
    QTest::newRow("silent server") << Server::misbehaving(Behaviour::NoReply) << "0" << 10200 << "Time out" << 1;
    QTest::newRow("part of a reply")
        << Server::misbehaving(Behaviour::PartialThenStall, "<rval><entries>", 7) << "0" << 200 << "<rval><" << 1;
    // Timed out at the first tick, before the delay ended: never sent.
    QTest::newRow("while waiting for the start delay")
        << Server::answer(200, "<rval/>") << "1.5" << 10200 << "Time out" << 0;
}

void TestFrmHttp::timeOut()
{
    QFETCH(Reply, reply);
    QFETCH(QString, timeDelay);
    QFETCH(qint32, code);
    QFETCH(QString, data);
    QFETCH(int, requests);

    ScriptedHttpServer server;
    server.route("/slow", reply);
    Transport t({{"TimeOut", QStringLiteral("1")}, {"TimeDelay", timeDelay}});
    QElapsedTimer clock;
    clock.start();
    t.window.Connect(1, server.url("/slow"), "Post", "<get/>");
    const std::optional<Completion> c = t.next();
    QVERIFY(c);
    QVERIFY2(clock.elapsed() >= 900, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(c->code, code);
    QCOMPARE(c->data, data);
    // The ticks after the end find nothing to do.
    QTest::qWait(1200);
    QCOMPARE(t.completed.size(), 1);
    QCOMPARE(server.requests().size(), requests);
}

void TestFrmHttp::startDelay_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<bool>("delayed");
    QTest::addColumn<int>("ms");
    QTest::newRow("0 sends at once") << "0" << false << 0;
    QTest::newRow("0.5 waits 500 ms") << "0.5" << true << 500;
    QTest::newRow("100 waits 60000 ms") << "100" << true << 60000;
    QTest::newRow("no number") << "soon" << false << 0;
}

void TestFrmHttp::startDelay()
{
    QFETCH(QString, setting);
    QFETCH(bool, delayed);
    QFETCH(int, ms);
    QCOMPARE(frmHTTP::startDelayMs(setting), ms);
    if (ms > 1000)
        return;

    ScriptedHttpServer server;
    server.route("/api", Server::answer(200, "<ok/>"));
    Transport t({{"TimeDelay", setting}});
    QCOMPARE(t.window.TimeDelay(), delayed);
    QElapsedTimer clock;
    clock.start();
    t.window.Connect(1, server.url("/api"), "Post", "<get/>");
    QVERIFY(server.waitForRequests(1));
    if (delayed)
        QVERIFY2(clock.elapsed() >= ms - 50, qPrintable(QString::number(clock.elapsed())));
    const std::optional<Completion> c = t.next();
    QVERIFY(c);
    QCOMPARE(c->code, 200);
}

void TestFrmHttp::cancel_data()
{
    QTest::addColumn<Reply>("reply");
    QTest::addColumn<QString>("timeDelay");
    QTest::addColumn<qint64>("waitForBytes");  // -1: cancel before the request is sent
    QTest::addColumn<qint32>("code");
    QTest::addColumn<QString>("data");

    QTest::newRow("before any reply")
        << Server::misbehaving(Behaviour::NoReply) << "0" << qint64(0) << 10300 << "Cancelled";
    QTest::newRow("after part of the reply")
        << Server::misbehaving(Behaviour::PartialThenStall, "<rval><entries/></rval>", 9) << "0" << qint64(9) << 200
        << "<rval><en";
    QTest::newRow("during the start delay")
        << Server::answer(200, "<rval/>") << "0.5" << qint64(-1) << 10300 << "Cancelled";
}

void TestFrmHttp::cancel()
{
    QFETCH(Reply, reply);
    QFETCH(QString, timeDelay);
    QFETCH(qint64, waitForBytes);
    QFETCH(qint32, code);
    QFETCH(QString, data);

    ScriptedHttpServer server;
    server.route("/api", reply);
    Transport t({{"TimeDelay", timeDelay}});
    t.window.Connect(1, server.url("/api"), "Post", "<get/>");
    if (waitForBytes >= 0)
        QVERIFY(server.waitForRequests(1));
    if (waitForBytes > 0)
        QTRY_VERIFY(!t.progress.isEmpty() && t.progress.last().at(1).toLongLong() == waitForBytes);

    t.window.Disconnect();
    QCOMPARE(t.completed.size(), 0);
    const std::optional<Completion> c = t.next();
    QVERIFY(c);
    QCOMPARE(c->code, code);
    QCOMPARE(c->data, data);
    QVERIFY(t.disconnected.wait(3000));
    QCOMPARE(t.completed.size(), 1);
    QCOMPARE(server.requests().size(), waitForBytes >= 0 ? 1 : 0);
}

void TestFrmHttp::secondConnectOnBusySlot_data()
{
    QTest::addColumn<Reply>("reply");
    QTest::addColumn<qint64>("waitForBytes");
    QTest::addColumn<qint32>("code");
    QTest::addColumn<QString>("data");
    QTest::newRow("no reply yet") << Server::misbehaving(Behaviour::NoReply) << qint64(0) << 10200 << "Time out";
    QTest::newRow("part of the reply")
        << Server::misbehaving(Behaviour::PartialThenStall, "<rval>first</rval>", 11) << qint64(11) << 200
        << "<rval>first";
}

void TestFrmHttp::secondConnectOnBusySlot()
{
    QFETCH(Reply, reply);
    QFETCH(qint64, waitForBytes);
    QFETCH(qint32, code);
    QFETCH(QString, data);

    ScriptedHttpServer server;
    server.route("/first", reply);
    server.route("/second", Server::answer(200, "second"));
    Transport t;
    t.window.Connect(1, server.url("/first"), "Post", "<first/>");
    QVERIFY(server.waitForRequests(1));
    if (waitForBytes > 0)
        QTRY_VERIFY(!t.progress.isEmpty() && t.progress.last().at(1).toLongLong() == waitForBytes);

    t.window.Connect(1, server.url("/second"), "Post", "<second/>");
    QCOMPARE(t.completed.size(), 0);
    const std::optional<Completion> c = t.next();
    QVERIFY(c);
    QCOMPARE(c->code, code);
    QCOMPARE(c->data, data);
    QTest::qWait(100);
    QCOMPARE(server.requests().size(), 1);
    QCOMPARE(t.completed.size(), 1);
}

void TestFrmHttp::slotsAreIndependent()
{
    ScriptedHttpServer server;
    server.route("/silent", Server::misbehaving(Behaviour::NoReply));
    server.route("/ok", Server::answer(200, "two"));
    Transport t({}, 2);
    t.window.Connect(1, server.url("/silent"), "Post", "<one/>");
    t.window.Connect(2, server.url("/ok"), "Post", "<two/>");
    const std::optional<Completion> two = t.next();
    QVERIFY(two);
    QCOMPARE(two->index, qint16(2));
    QCOMPARE(two->code, 200);
    QCOMPARE(two->data, QStringLiteral("two"));

    t.window.Disconnect();
    const std::optional<Completion> one = t.next();
    QVERIFY(one);
    QCOMPARE(one->index, qint16(1));
    QCOMPARE(one->code, 10300);
}

void TestFrmHttp::proxy_data()
{
    QTest::addColumn<QString>("accessType");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<qint32>("code");
    QTest::addColumn<QString>("data");
    QTest::addColumn<int>("proxyRequests");

    QTest::newRow("login answers the challenge") << "2" << "pu" << "pp" << 200 << "via proxy" << 2;
    QTest::newRow("no login: the proxy's refusal") << "2" << "" << "" << 407 << "proxy login required" << 1;
    QTest::newRow("user name alone is no login") << "2" << "pu" << "" << 407 << "proxy login required" << 1;
    QTest::newRow("wrong password: refused") << "2" << "pu" << "wrong" << 407 << "proxy login required" << 2;
    QTest::newRow("access type 1 goes direct") << "1" << "pu" << "pp" << 200 << "direct" << 0;
}

void TestFrmHttp::proxy()
{
    QFETCH(QString, accessType);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(qint32, code);
    QFETCH(QString, data);
    QFETCH(int, proxyRequests);

    ScriptedHttpServer origin;
    ScriptedHttpServer proxy;
    origin.route("/api", Server::answer(200, "direct"));
    proxy.route("/api", Server::answer(200, "via proxy"));
    proxy.requireProxyLogin("pu", "pp");
    Transport t({{"AccessType", accessType},
                 {"Proxy", QStringLiteral(" 127.0.0.1 ")},
                 {"Port", QString::number(proxy.port())},
                 {"Auth_Username", user},
                 {"Auth_Password", password}});
    t.window.Connect(1, origin.url("/api"), "Post", "<get/>");
    const std::optional<Completion> c = t.next();
    QVERIFY(c);
    QCOMPARE(c->code, code);
    QCOMPARE(c->data, data);
    QCOMPARE(proxy.requests().size(), proxyRequests);
    QCOMPARE(origin.requests().size(), proxyRequests == 0 ? 1 : 0);
    if (proxyRequests > 0)
        QCOMPARE(proxy.requests().at(0).target, origin.url("/api").toLatin1());
}

void TestFrmHttp::connectWithoutSlot_data()
{
    QTest::addColumn<qint16>("connections");
    QTest::addColumn<qint16>("index");
    QTest::newRow("Connections 0: no slots") << qint16(0) << qint16(1);
    QTest::newRow("index past the last slot") << qint16(1) << qint16(2);
    QTest::newRow("index 0") << qint16(1) << qint16(0);
}

void TestFrmHttp::connectWithoutSlot()
{
    QFETCH(qint16, connections);
    QFETCH(qint16, index);

    Transport t({}, connections);
    t.window.Connect(index, QStringLiteral("127.0.0.1:9/api"), "Post", "<get/>");
    QCOMPARE(t.completed.size(), 0);
    const std::optional<Completion> c = t.next();
    QVERIFY(c);
    QCOMPARE(c->index, index);
    QCOMPARE(c->code, 10100);
    QCOMPARE(c->data, QString());
    QVERIFY(TestEnvironment::readAll(t.env.programDir() + "/Error.log")
                .contains("frmHTTP_Connect_Error: 9 - Subscript out of range\r\nURL: http://127.0.0.1:9/api\r\n"));
}

void TestFrmHttp::closeWhileRunning()
{
    ScriptedHttpServer server;
    server.route("/silent", Server::misbehaving(Behaviour::NoReply));
    Transport t;
    t.window.Connect(1, server.url("/silent"), "Post", "<get/>");
    QVERIFY(server.waitForRequests(1));

    QVERIFY(!t.window.Unload());
    QVERIFY(t.window.isLoaded());
    const std::optional<Completion> c = t.next();
    QVERIFY(c);
    QCOMPARE(c->code, 10300);
    QTRY_VERIFY(!t.window.isLoaded());
    QCOMPARE(t.disconnected.size(), 0);

    // Idle, a close is not refused.
    t.window.Load();
    QVERIFY(t.window.isLoaded());
    QVERIFY(t.window.Unload());
    QVERIFY(!t.window.isLoaded());
}

void TestFrmHttp::releasedWindowReportsNothing()
{
    ScriptedHttpServer server;
    server.route("/silent", Server::misbehaving(Behaviour::NoReply));
    TestEnvironment env;
    putPreferences({});
    QPointer<frmHTTP> window = new frmHTTP;
    QSignalSpy completed(window.data(), &frmHTTP::Completed);
    QSignalSpy disconnected(window.data(), &frmHTTP::Disconnected);
    window->setConnections(1);
    window->Load();
    window->setEngine(QStringLiteral("Google"));
    window->Connect(1, server.url("/silent"), "Post", "<get/>");
    QVERIFY(server.waitForRequests(1));

    window->release();
    QTRY_VERIFY(window.isNull());
    QCOMPARE(completed.size(), 0);
    QCOMPARE(disconnected.size(), 0);
}

void TestFrmHttp::releaseFromCompletedHandler()
{
    ScriptedHttpServer server;
    server.route("/ok", Server::answer(200, "<rval/>"));
    TestEnvironment env;
    putPreferences({});
    QPointer<frmHTTP> window = new frmHTTP;
    int completions = 0;
    connect(window.data(), &frmHTTP::Completed, this, [&](qint16, qint32, const QString&) {
        ++completions;
        window->release();
    });
    window->setConnections(1);
    window->Load();
    window->Connect(1, server.url("/ok"), "Get");
    QTRY_VERIFY(window.isNull());
    QCOMPARE(completions, 1);
}

void TestFrmHttp::resultFile_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("file");  // relative to the test folder
    QTest::addColumn<bool>("english");
    QTest::addColumn<qint32>("code");
    QTest::addColumn<QString>("data");  // "%1" is the file's path

    QTest::newRow("saved") << QByteArray("<html>ideas</html>") << "results.html" << false << 200
                           << "Results data save in file";
    QTest::newRow("empty reply") << QByteArray() << "results.html" << false << 10401 << kEmptyReply;
    QTest::newRow("folder missing") << QByteArray("<html/>") << "missing/results.html" << false << 10402
                                    << kEmptyReply + ". FilePath=%1";
    QTest::newRow("English window: the reply itself") << QByteArray("<html>ideas</html>") << "results.html" << true
                                                      << 200 << "<html>ideas</html>";
}

void TestFrmHttp::resultFile()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, file);
    QFETCH(bool, english);
    QFETCH(qint32, code);
    QFETCH(QString, data);

    ScriptedHttpServer server;
    server.route("/suggest", Server::answer(200, body, "text/html"));
    Transport t;
    t.window.setEngine(QStringLiteral("Overture(jp)"));
    t.window.setIsEnglishWindow(english);
    const QString path = t.env.path(file);
    t.window.Connect(1, server.url("/suggest"), "Get", path);
    const std::optional<Completion> c = t.next();
    QVERIFY(c);
    QCOMPARE(c->code, code);
    QCOMPARE(c->data, data.contains("%1") ? data.arg(path) : data);
    if (code == 200 && !english)
        QCOMPARE(TestEnvironment::readAll(path), body);
}

void TestFrmHttp::headerTextThatCannotBeSent_data()
{
    QTest::addColumn<QString>("userAgent");
    QTest::addColumn<QString>("token");
    QTest::addColumn<bool>("sent");
    QTest::addColumn<QByteArray>("logLine");

    const QByteArray agentRefused = "HttpConnection_SetHttpProperties error:  the UserAgent setting holds a line break";
    const QByteArray tokenLeftOut = "frmHTTP_ConnectHTTP error:  the access token holds a line break or NUL";
    QTest::newRow("a UserAgent setting with a line of its own")
        << "Agent\r\nX-Injected: 1" << "tok-1" << false << agentRefused;
    QTest::newRow("a UserAgent setting with NUL") << QString::fromLatin1("Age\0nt", 6) << "tok-1" << false
                                                  << agentRefused;
    QTest::newRow("a token with a line of its own") << "Agent" << "tok\r\nX-Injected: 1" << true << tokenLeftOut;
    QTest::newRow("a token with NUL") << "Agent" << QString::fromLatin1("to\0k", 5) << true << tokenLeftOut;
}

void TestFrmHttp::headerTextThatCannotBeSent()
{
    QFETCH(QString, userAgent);
    QFETCH(QString, token);
    QFETCH(bool, sent);
    QFETCH(QByteArray, logLine);

    ScriptedHttpServer server;
    server.route("/api/v201809/TargetingIdeaService", Server::answer(200, "<ok/>"));
    Transport t({{"UserAgent", userAgent}});
    t.window.setAuthToken(token);
    t.window.Connect(1, server.url("/api/v201809/TargetingIdeaService"), "POST", "<get/>");
    const std::optional<Completion> c = t.next();
    QVERIFY(c);
    QCOMPARE(c->code, sent ? 200 : qint32(frmHTTP::CodeEmptyReply));
    QTest::qWait(100);
    QCOMPARE(server.requests().size(), sent ? 1 : 0);
    if (sent) {
        const Server::Request& request = server.requests().at(0);
        QCOMPARE(request.values("Authorization"), QByteArrayList());
        QCOMPARE(request.values("X-Injected"), QByteArrayList());
        for (const Server::Header& header : request.headers)
            QVERIFY2(!header.second.contains('\0'), header.first.constData());
    }
    const QByteArray log = TestEnvironment::readAll(t.env.programDir() + "/Error.log");
    QVERIFY2(log.contains(logLine), log.constData());
}

void TestFrmHttp::settingThatDoesNotFit_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("label");
    QTest::newRow("AccessType") << "AccessType" << "log point 1";
    QTest::newRow("TimeOut") << "TimeOut" << "log point 2";
}

void TestFrmHttp::settingThatDoesNotFit()
{
    QFETCH(QString, name);
    QFETCH(QString, label);
    Transport t({{qPrintable(name), QStringLiteral("99999")}});
    QVERIFY(TestEnvironment::readAll(t.env.programDir() + "/Error.log")
                .contains(("frmHTTP_GetsocketSetting error :  Overflow - " + label + "\r\n").toUtf8()));
}

QTEST_GUILESS_MAIN(TestFrmHttp)
#include "tst_frmhttp.moc"
