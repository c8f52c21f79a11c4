#include "research/OAuthAccessToken.h"
#include "research/ResearchEndpoints.h"
#include "research/clsKeywordBuilder.h"

#include "ResearchTestSupport.h"
#include "ScriptedHttpServer.h"
#include "TestEnvironment.h"

#include <QtTest>

using Server = ScriptedHttpServer;
using Behaviour = ScriptedHttpServer::Behaviour;
using Reply = ScriptedHttpServer::Reply;

Q_DECLARE_METATYPE(ScriptedHttpServer::Reply)

namespace {

const QString kRefreshPath = QStringLiteral("/token/oauthtoken.txt");
const QString kTokenPath = QStringLiteral("/o/oauth2/token");
const QByteArray kRefreshToken = "1/Rf+tok/en=";
const QByteArray kTokenReply = "{\n  \"access_token\" : \"ya29.A0-tok\",\n  \"expires_in\" : 3599,\n"
                               "  \"token_type\" : \"Bearer\"\n}";

QByteArray errorLog(const TestEnvironment& env) { return TestEnvironment::readAll(env.programDir() + "/Error.log"); }

} // namespace

class TestAccessToken : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { BuildKeyPaths(); }
    void tokenRoad();
    void tokenReply_data();
    void tokenReply();
    void onlyAWholeTokenReplyGivesAToken_data();
    void onlyAWholeTokenReplyGivesAToken();
    void failures_data();
    void failures();
    void throughTheProxy();
};

void TestAccessToken::tokenRoad()
{
    TestEnvironment env;
    putPreferences({{"UserAgent", "Preferences Agent"}});
    Server server;
    server.route(kRefreshPath, Server::answer(200, kRefreshToken + "\r\n"));
    server.route(kTokenPath, Server::answer(200, kTokenReply, "application/json"));
    server.route("/api/adwords/o/v201809/TargetingIdeaService", Server::answer(200, "<rval/>", "text/xml"));
    LoopbackEndpoints endpoints(server);

    OAuthAccessToken token;
    token.GetoAuthToken();
    QCOMPARE(token.token(), "ya29.A0-tok");
    QCOMPARE(server.requests().size(), 2);

    const Server::Request& refresh = server.requests().at(0);
    QCOMPARE(refresh.method, "GET");
    QCOMPARE(refresh.path(), kRefreshPath);
    QCOMPARE(refresh.header("User-Agent"), "PPCRavelin");
    const Server::Request& grant = server.requests().at(1);
    QCOMPARE(grant.method, "POST");
    QCOMPARE(grant.path(), kTokenPath);
    QCOMPARE(grant.header("Content-Type"), "application/x-www-form-urlencoded");
    // The refresh token's line break is not part of it; its "+", "/" and "=" are encoded.
    QCOMPARE(grant.body, "client_id=483920175264-k3j9q2m7x5v8b1n4c6z0w2e8r5t7y9u3.apps.googleusercontent.com"
                         "&client_secret=Xq7Lp-RtVwKe3NbZuYcHsMaD&grant_type=refresh_token"
                         "&refresh_token=1%2FRf%2Btok%2Fen%3D");

    // Held for the window's life: no second exchange.
    token.GetoAuthToken();
    QCOMPARE(server.requests().size(), 2);

    // The request carries it.
    clsKeywordBuilder builder;
    builder.setEngineName("Google");
    builder.setAuthToken(token.token());
    builder.Connect("<get/>", researchEndpoints().targetingIdeaServiceUrl());
    QVERIFY(server.waitForRequests(3));
    QCOMPARE(server.requests().at(2).header("Authorization"), "Bearer ya29.A0-tok");

    const QByteArray log = errorLog(env);
    QVERIFY(log.contains("frmKeywordBuilder_ClientLogin: get oAuthToken by web server successfully"));
    QVERIFY(!log.contains("Rf+tok"));
    QVERIFY(!log.contains("ya29"));
}

void TestAccessToken::tokenReply_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("expected");

    QTest::newRow("pairs after the token") << kTokenReply << "ya29.A0-tok";
    QTest::newRow("compact, token last") << QByteArray("{\"expires_in\":3599,\"access_token\":\"abc.DEF\"}")
                                         << "abc.DEF";
    QTest::newRow("CRLF lines") << QByteArray("{\r\n  \"token_type\" : \"Bearer\",\r\n  \"access_token\" : \"xyz\"\r\n}")
                                << "xyz";
    QTest::newRow("no access token") << QByteArray("{\n  \"error\" : \"invalid_grant\"\n}") << "";
    QTest::newRow("not JSON") << QByteArray("<html>busy</html>") << "";
}

void TestAccessToken::tokenReply()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, expected);

    TestEnvironment env;
    putPreferences({});
    Server server;
    server.route(kTokenPath, Server::answer(200, reply, "application/json"));
    LoopbackEndpoints endpoints(server);
    QCOMPARE(OAuthAccessToken().GetAccessToken("refresh"), expected);
}

void TestAccessToken::onlyAWholeTokenReplyGivesAToken_data()
{
    QTest::addColumn<Reply>("reply");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QByteArray>("logLine");

    const QByteArray json = "application/json";
    const QByteArray refused = "frmKeywordBuilder_GetAccessToken_Error: ";
    QTest::newRow("an error naming access_token")
        << Server::answer(400,
                          "{\"error\":\"invalid_request\",\"error_description\":\"Missing access_token: send one\"}",
                          json)
        << "" << refused + "HTTP status 400\r\n";
    QTest::newRow("a 400 without a body") << Server::answer(400, "", json) << "" << refused + "HTTP status 400\r\n";
    QTest::newRow("a server error holding a token") << Server::answer(500, kTokenReply, json) << ""
                                                    << refused + "HTTP status 500\r\n";
    QTest::newRow("a reply cut off by the time-out")
        << Server::misbehaving(Behaviour::PartialThenStall, kTokenReply, 30) << ""
        << QByteArray("frmKeywordBuilder_PostToServer error:  Time out");
    Reply cutRefusal = Server::misbehaving(Behaviour::PartialThenClose, "{\"error\" : \"invalid_grant\"}", 10);
    cutRefusal.status = 400;
    QTest::newRow("a 400 cut off midway") << cutRefusal << ""
                                         << QByteArray("frmKeywordBuilder_PostToServer error:  Connection closed");
    QTest::newRow("unclosed JSON") << Server::answer(200, "{\"access_token\" : \"acc\"", json) << ""
                                   << refused + "the reply is not JSON";
    QTest::newRow("nested arrays")
        << Server::answer(200, "{\"scopes\" : [[\"read\"], [\"write\"]], \"access_token\" : \"tok.1\"}", json)
        << "tok.1" << QByteArray();
    QTest::newRow("the token inside another object")
        << Server::answer(200, "{\"data\":{\"access_token\":\"x\"}}", json) << ""
        << refused + "the reply has no access_token text";
    QTest::newRow("a token that is a number") << Server::answer(200, "{\"access_token\":12345}", json) << ""
                                              << refused + "the reply has no access_token text";
    QTest::newRow("an array of objects") << Server::answer(200, "[{\"access_token\":\"x\"}]", json) << ""
                                         << refused + "the reply is not a JSON object";
    QTest::newRow("a token holding NUL") << Server::answer(200, "{\"access_token\":\"ab\\u0000cd\"}", json) << ""
                                         << refused + "the reply's access_token is not a bearer token";
    QTest::newRow("a raw NUL in the token") << Server::answer(200, QByteArray("{\"access_token\":\"ab\0cd\"}", 24), json)
                                           << "" << refused + "the reply's access_token is not a bearer token";
    QTest::newRow("a token holding a header line")
        << Server::answer(200, "{\"access_token\":\"ab\\r\\nX-Injected: 1\"}", json) << ""
        << refused + "the reply's access_token is not a bearer token";
}

void TestAccessToken::onlyAWholeTokenReplyGivesAToken()
{
    QFETCH(Reply, reply);
    QFETCH(QString, expected);
    QFETCH(QByteArray, logLine);

    TestEnvironment env;
    putPreferences({});
    Server server;
    server.route(kRefreshPath, Server::answer(200, kRefreshToken));
    server.route(kTokenPath, reply);
    LoopbackEndpoints endpoints(server);

    OAuthAccessToken token(1000);
    token.GetoAuthToken();
    QCOMPARE(token.token(), expected);
    const QByteArray log = errorLog(env);
    if (!logLine.isEmpty())
        QVERIFY2(log.contains(logLine), log.constData());
    QVERIFY(!log.contains("Rf+tok"));
    // A failed exchange is tried afresh: nothing of it is kept.
    if (expected.isEmpty()) {
        server.route(kTokenPath, Server::answer(200, kTokenReply, "application/json"));
        token.GetoAuthToken();
        QCOMPARE(token.token(), "ya29.A0-tok");
    }
}

void TestAccessToken::failures_data()
{
    QTest::addColumn<Reply>("refresh");
    QTest::addColumn<Reply>("grant");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<bool>("grantPosted");
    QTest::addColumn<QByteArray>("logLine");

    const Reply good = Server::answer(200, kTokenReply, "application/json");
    const QByteArray getError = "frmKeywordBuilder_HTTPGetURL error:  ";
    QTest::newRow("refresh-token source refuses") << Reply() << good << true << false << getError;
    QTest::newRow("refresh-token source says 404")
        << Server::answer(404, "<html>Not Found</html>", "text/html") << good << false << false
        << getError + "HTTP status 404";
    QTest::newRow("refresh-token source says 400")
        << Server::answer(400, "<html>Bad Request</html>", "text/html") << good << false << false
        << getError + "HTTP status 400\r\n";
    QTest::newRow("refresh token cut off midway")
        << Server::misbehaving(Behaviour::PartialThenClose, kRefreshToken, 4) << good << false << false << getError;
    QTest::newRow("refresh-token source silent") << Server::misbehaving(Behaviour::NoReply) << good << false << false
                                                 << getError;
    // The window takes no input meanwhile: the time-out bounds the whole reply.
    QTest::newRow("refresh token trickling in") << Server::trickling(kRefreshToken + kRefreshToken, 200) << good
                                                << false << false << getError + "Time out";
    QTest::newRow("empty refresh token") << Server::answer(200, " \r\n") << good << false << false << QByteArray();
    QTest::newRow("token endpoint closes")
        << Server::answer(200, kRefreshToken) << Server::misbehaving(Behaviour::CloseWithoutReply) << false << true
        << QByteArray("frmKeywordBuilder_PostToServer error:  ");
    QTest::newRow("token endpoint refuses the grant")
        << Server::answer(200, kRefreshToken)
        << Server::answer(400, "{\n  \"error\" : \"invalid_grant\"\n}", "application/json") << false << true
        << QByteArray("frmKeywordBuilder_GetAccessToken_Error: HTTP status 400\r\n");
}

void TestAccessToken::failures()
{
    QFETCH(Reply, refresh);
    QFETCH(Reply, grant);
    QFETCH(bool, refused);
    QFETCH(bool, grantPosted);
    QFETCH(QByteArray, logLine);

    TestEnvironment env;
    putPreferences({});
    Server server;
    server.route(kRefreshPath, refresh);
    server.route(kTokenPath, grant);
    LoopbackEndpoints endpoints(refused ? Server::refusingUrl(QString()) : server.url(QString()));

    OAuthAccessToken token(1000);
    token.GetoAuthToken();
    QCOMPARE(token.token(), QString());
    const bool posted = std::any_of(server.requests().begin(), server.requests().end(),
                                    [](const Server::Request& r) { return r.path() == kTokenPath; });
    QCOMPARE(posted, grantPosted);
    if (!logLine.isEmpty())
        QVERIFY2(errorLog(env).contains(logLine), errorLog(env).constData());
    QVERIFY(!errorLog(env).contains("Rf+tok"));
}

void TestAccessToken::throughTheProxy()
{
    TestEnvironment env;
    Server origin;
    Server proxy;
    proxy.route(kRefreshPath, Server::answer(200, kRefreshToken));
    proxy.route(kTokenPath, Server::answer(200, kTokenReply, "application/json"));
    proxy.requireProxyLogin("pu", "pp");
    putPreferences({{"AccessType", "2"},
                    {"Proxy", "127.0.0.1"},
                    {"Port", QString::number(proxy.port())},
                    {"Auth_Username", "pu"},
                    {"Auth_Password", "pp"}});
    LoopbackEndpoints endpoints(origin);

    OAuthAccessToken token;
    token.GetoAuthToken();
    QCOMPARE(token.token(), "ya29.A0-tok");
    QVERIFY(origin.requests().isEmpty());
    // The first request is refused for want of the login, then both are answered.
    const QList<Server::Request>& sent = proxy.requests();
    QCOMPARE(sent.size(), 3);
    QCOMPARE(sent.at(1).target, origin.url(kRefreshPath).toLatin1());
    QCOMPARE(sent.at(2).target, origin.url(kTokenPath).toLatin1());
    QVERIFY(sent.at(2).header("Proxy-Authorization").startsWith("Basic "));
}

QTEST_GUILESS_MAIN(TestAccessToken)
#include "tst_accesstoken.moc"
