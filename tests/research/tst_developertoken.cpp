#include "research/DeveloperToken.h"
#include "settings/clsRegister.h"

#include "ResearchTestSupport.h"
#include "ScriptedHttpServer.h"
#include "TestEnvironment.h"

#include <QtTest>

using Server = ScriptedHttpServer;
using Behaviour = ScriptedHttpServer::Behaviour;
using Reply = ScriptedHttpServer::Reply;

Q_DECLARE_METATYPE(ScriptedHttpServer::Reply)

namespace {

const QString kPath = QStringLiteral("/secure/gapi.asp");

// The token the dealer settings hold after loading them afresh.
QString storedToken()
{
    clsRegister reloaded;
    reloaded.GetSettings();
    return reloaded.TarnwellGoogleAPIToken();
}

} // namespace

class TestDeveloperToken : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { BuildKeyPaths(); }
    void init();
    void cleanup() { g_oRegister.reset(); }
    void replies_data();
    void replies();
    void emptyReplyIsTriedOnceMore();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void TestDeveloperToken::init()
{
    m_env = std::make_unique<TestEnvironment>();
    putPreferences({});
    testsettings::saveRegister([](clsRegister& settings) { settings.setTarnwellGoogleAPIToken("OLD-token"); });
    g_oRegister = std::make_unique<clsRegister>();
    g_oRegister->GetSettings();
    BuiltInDeveloperToken = QStringLiteral("OLD-token");
}

void TestDeveloperToken::replies_data()
{
    QTest::addColumn<Reply>("reply");
    QTest::addColumn<int>("posts");
    QTest::addColumn<QString>("token");
    QTest::addColumn<QByteArray>("logLine");

    QTest::newRow("100 and a token") << Server::answer(200, "100 ABC-def_123") << 1 << "ABC-def_123"
                                     << QByteArray("frmRegister_GetGTK successfully");
    QTest::newRow("a refusal") << Server::answer(200, "200 unknown dealer") << 1 << "OLD-token"
                               << QByteArray("frmRegister_GetGTK_Failed: 200 unknown dealer");
    QTest::newRow("100 further on") << Server::answer(200, " 100 ABC") << 1 << "OLD-token"
                                    << QByteArray("frmRegister_GetGTK_Failed:  100 ABC");
    // A whole reply is the service's answer, whatever its status.
    QTest::newRow("a whole 400 with a body") << Server::answer(400, "unknown dealer") << 1 << "OLD-token"
                                             << QByteArray("frmRegister_GetGTK_Failed: unknown dealer");
    // A reply cut off is no answer: posted once more, then nothing is kept.
    QTest::newRow("cut off midway") << Server::misbehaving(Behaviour::PartialThenClose, "100 ABC-def_123", 9) << 2
                                    << "OLD-token" << QByteArray("frmRegister_GetGTK_Failed: ");
}

void TestDeveloperToken::replies()
{
    QFETCH(Reply, reply);
    QFETCH(int, posts);
    QFETCH(QString, token);
    QFETCH(QByteArray, logLine);

    Server server;
    server.route(kPath, reply);
    LoopbackEndpoints endpoints(server);
    DeveloperToken::GetGoogleToken();

    QCOMPARE(server.requests().size(), posts);
    QCOMPARE(server.requests().first().method, "POST");
    QCOMPARE(server.requests().first().body, "service=gettoken&dealerid=TWL");
    QCOMPARE(BuiltInDeveloperToken, token);
    QCOMPARE(storedToken(), token);
    const QByteArray log = TestEnvironment::readAll(m_env->programDir() + "/Error.log");
    QVERIFY2(log.contains(logLine + "\r\n"), log.constData());
    QVERIFY(!log.contains("ABC-def_123"));
}

void TestDeveloperToken::emptyReplyIsTriedOnceMore()
{
    Server server;
    server.route(kPath, Server::answer(200, ""));
    LoopbackEndpoints endpoints(server);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(DeveloperToken::PostPage(server.url(kPath), "service=gettoken&dealerid=TWL"), QString());
    QCOMPARE(server.requests().size(), 2);
    QVERIFY(clock.elapsed() >= 1900);

    DeveloperToken::GetGoogleToken();
    QCOMPARE(server.requests().size(), 4);
    QCOMPARE(BuiltInDeveloperToken, "OLD-token");
    QVERIFY(TestEnvironment::readAll(m_env->programDir() + "/Error.log").contains("frmRegister_GetGTK_Failed: \r\n"));
}

QTEST_GUILESS_MAIN(TestDeveloperToken)
#include "tst_developertoken.moc"
