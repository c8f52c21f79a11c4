#include "core/RegistryAPI.h"
#include "platform/HttpClient.h"
#include "research/GoogleResultParser.h"
#include "research/KeywordResearchView.h"
#include "research/clsKeywordBuilder.h"
#include "settings/clsRegister.h"

#include "InstalledCodeFiles.h"
#include "ResearchTestSupport.h"
#include "ScriptedHttpServer.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"

#include <QtTest>

#include <optional>

using Server = ScriptedHttpServer;
using Behaviour = ScriptedHttpServer::Behaviour;
using Reply = ScriptedHttpServer::Reply;
using Text = std::optional<QString>;

Q_DECLARE_METATYPE(ScriptedHttpServer::Reply)

namespace {

// One entry of a reply: the keyword, competition and search-volume data
// items in that order, each value left out when not given.
struct Entry {
    Text keyword;
    Text competition;
    Text volume;
    int dataItems = 3;
};

QString dataItem(const QString& p, const QString& key, const QString& type, const Text& value)
{
    QString item = "<" + p + "data><" + p + "key>" + key + "</" + p + "key><" + p + "value xsi:type=\"" + type
        + "\"><" + p + "Attribute.Type>" + type + "</" + p + "Attribute.Type>";
    if (value)
        item += "<" + p + "value>" + *value + "</" + p + "value>";
    return item + "</" + p + "value></" + p + "data>";
}

// A TargetingIdeaService reply; p is the element prefix ("" or "ns2:").
QString reply(const QList<Entry>& entries, const QString& p = QString())
{
    QString text = "<?xml version=\"1.0\"?><soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\" "
                   "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xmlns:ns2=\"urn:o\"><soap:Body><"
        + p + "getResponse><" + p + "rval><" + p + "totalNumEntries>" + QString::number(entries.size()) + "</" + p
        + "totalNumEntries>";
    for (const Entry& e : entries) {
        text += "<" + p + "entries>";
        const QString items[] = {dataItem(p, "KEYWORD_TEXT", "StringAttribute", e.keyword),
                                 dataItem(p, "COMPETITION", "DoubleAttribute", e.competition),
                                 dataItem(p, "SEARCH_VOLUME", "LongAttribute", e.volume)};
        for (int i = 0; i < e.dataItems; ++i)
            text += items[i];
        text += "</" + p + "entries>";
    }
    return text + "</" + p + "rval></" + p + "getResponse></soap:Body></soap:Envelope>";
}

RandomFraction fixed(double r)
{
    return [r] { return r; };
}

QStringList logLines(const TestEnvironment& env, const QString& prefix)
{
    QStringList lines;
    const QString log = QString::fromUtf8(TestEnvironment::readAll(env.programDir() + "/Error.log"));
    for (const QString& line : log.split("\r\n"))
        if (line.startsWith(prefix))
            lines.append(line);
    return lines;
}

struct Idea {
    QString keyword, competition, search, global, kei;
    bool operator==(const Idea&) const = default;
};

QList<Idea> ideas(const KeywordIdeas& records)
{
    QList<Idea> out;
    for (const clsKWBuilder& r : records)
        out.append({r.Keyword, r.Competition, r.Search, r.GlobalSearch, r.KEI});
    return out;
}

char* toString(const Idea& idea)
{
    return QTest::toString(QStringList{idea.keyword, idea.competition, idea.search, idea.global, idea.kei}.join('|'));
}

class RecordingView : public KeywordResearchView
{
public:
    void setProgressValue(int value) override { progress.append(value); }
    void setStatusText(const QString& text) override { status.append(text); }
    void DownLoadCompleted() override { ++completed; }

    QList<int> progress;
    QStringList status;
    int completed = 0;
};

// A reply of one idea, sent after delayMs.
Reply slowIdeas(int delayMs)
{
    Reply slow = Server::answer(200, reply({{"shoes", "0.5", "100"}}).toUtf8(), "text/xml");
    slow.delayMs = delayMs;
    return slow;
}

const QString kServicePath = QStringLiteral("/api/adwords/o/v201809/TargetingIdeaService");

// A driver posting to a loopback service, on fresh settings with the code
// files installed and the dealer settings loaded.
struct Request {
    Request()
    {
        putPreferences({});
        installCodeFiles(env);
        g_oRegister = std::make_unique<clsRegister>();
        g_oRegister->GetSettings();
        builder.setFormKeywordBuilder(&view);
        builder.setEngineName("Google");
        builder.setAuthToken("tok");
        builder.setRandomSource(fixed(0.5));
    }
    ~Request() { g_oRegister.reset(); }

    void send(const Reply& answer, const QString& body = QStringLiteral("<get/>"))
    {
        server.route(kServicePath, answer);
        builder.Connect(body, server.url(kServicePath));
    }

    TestEnvironment env;
    ScriptedPrompter prompter;
    Server server;
    RecordingView view;
    clsKeywordBuilder builder;
    QSignalSpy results{&builder, &clsKeywordBuilder::GetResultGoogleCompleted};
};

} // namespace

Q_DECLARE_METATYPE(Idea)

class TestKeywordIdeas : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { BuildKeyPaths(); }
    // The reply parser.
    void prefixes_data();
    void prefixes();
    void competition_data();
    void competition();
    void kei_data();
    void kei();
    void randomFactorPerIdea();
    void entriesWithMissingData();
    void unreadableReply_data();
    void unreadableReply();
    void deeplyNestedReplyIsNotRead();
    // The request driver.
    void completions_data();
    void completions();
    void cancel();
    void invalidLoginTokenIsForgotten();
    void closedWhileRunning();
    void bodyIsUtf8();
};

void TestKeywordIdeas::prefixes_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::newRow("unprefixed") << QString();
    QTest::newRow("ns2:") << "ns2:";
}

void TestKeywordIdeas::prefixes()
{
    QFETCH(QString, prefix);
    TestEnvironment env;
    const QString data = reply({{"shoes", "0.95", "12000"}, {"red shoes", "0.2", "900"}, {"cheap shoes", "0.5", {}}},
                               prefix);
    const QList<Idea> expected{{"shoes", "High", "12000", "12000", "0.1895"},
                               {"red shoes", "Low", "900", "900", "0.0675"},
                               {"cheap shoes", "Medium", "", "Not Enough Data", "-"}};
    QCOMPARE(ideas(GoogleResultParser::GetResultGoogle(data, fixed(0.5))), expected);
    QVERIFY(logLines(env, "clsKeywordBuilder").isEmpty());
}

void TestKeywordIdeas::competition_data()
{
    QTest::addColumn<Text>("value");
    QTest::addColumn<QString>("label");
    QTest::newRow("0") << Text("0") << "High";
    QTest::newRow("0.0001") << Text("0.0001") << "Low";
    QTest::newRow("0.3333") << Text("0.3333") << "Low";
    QTest::newRow("0.3334") << Text("0.3334") << "Medium";
    QTest::newRow("0.6667") << Text("0.6667") << "Medium";
    QTest::newRow("0.6668") << Text("0.6668") << "High";
    QTest::newRow("1") << Text("1") << "High";
    QTest::newRow("not a number") << Text("n/a") << "High";
    QTest::newRow("no value") << Text() << "";
}

void TestKeywordIdeas::competition()
{
    QFETCH(Text, value);
    QFETCH(QString, label);
    TestEnvironment env;
    const KeywordIdeas parsed = GoogleResultParser::GetResultGoogle(reply({{"kw", value, "100"}}), fixed(0));
    QCOMPARE(parsed.size(), 1);
    QCOMPARE(parsed.first().Competition, label);
}

void TestKeywordIdeas::kei_data()
{
    QTest::addColumn<QString>("competition");
    QTest::addColumn<QString>("volume");
    QTest::addColumn<double>("r");
    QTest::addColumn<QString>("kei");

    QTest::newRow("(1 + r) x s / (c x 100000)") << "0.5" << "1000" << 0.25 << "0.025";
    QTest::newRow("half rounds to even, down") << "1" << "25" << 0.0 << "0.0002";
    QTest::newRow("half rounds to even, up") << "1" << "35" << 0.0 << "0.0004";
    QTest::newRow("whole number") << "0.05" << "1000000" << 0.5 << "300";
    QTest::newRow("below the last decimal") << "1" << "4" << 0.0 << "0";
    QTest::newRow("competition 0") << "0" << "1000" << 0.5 << "-";
    QTest::newRow("volume 0") << "0.5" << "0" << 0.5 << "-";
    QTest::newRow("no volume") << "0.5" << "" << 0.5 << "-";
}

void TestKeywordIdeas::kei()
{
    QFETCH(QString, competition);
    QFETCH(QString, volume);
    QFETCH(double, r);
    QFETCH(QString, kei);
    TestEnvironment env;
    const Text v = volume.isEmpty() ? Text() : Text(volume);
    const KeywordIdeas parsed = GoogleResultParser::GetResultGoogle(reply({{"kw", competition, v}}), fixed(r));
    QCOMPARE(parsed.size(), 1);
    QCOMPARE(parsed.first().KEI, kei);
}

void TestKeywordIdeas::randomFactorPerIdea()
{
    TestEnvironment env;
    QList<double> draws{0.0, 0.5, 0.999};
    auto next = [&draws] { return draws.takeFirst(); };
    const KeywordIdeas parsed =
        GoogleResultParser::GetResultGoogle(reply({{"a", "1", "100000"}, {"b", "1", "100000"}, {"c", "1", "100000"}}),
                                            next);
    QCOMPARE(parsed.size(), 3);
    QCOMPARE(parsed.at(0).KEI, "1");
    QCOMPARE(parsed.at(1).KEI, "1.5");
    QCOMPARE(parsed.at(2).KEI, "1.999");
    QVERIFY(draws.isEmpty());
}

void TestKeywordIdeas::entriesWithMissingData()
{
    TestEnvironment env;
    Entry twoItems{"two items", "0.5", "100"};
    twoItems.dataItems = 2;
    const QString data = reply({{"with volume", "0.5", "100"},
                                twoItems,
                                {{}, "0.5", "100"},
                                {"no competition", {}, "100"},
                                {"no volume", "0.5", {}}});
    const QList<Idea> expected{{"with volume", "Medium", "100", "100", "0.003"},
                               {"no competition", "", "100", "100", "-"},
                               {"no volume", "Medium", "", "Not Enough Data", "-"}};
    QCOMPARE(ideas(GoogleResultParser::GetResultGoogle(data, fixed(0.5))), expected);
    const QStringList logged = logLines(env, "clsKeywordBuilder_GetResultGoogle: ");
    QCOMPARE(logged.size(), 2);
    QVERIFY(logged.at(0).contains("entry 2"));
    QVERIFY(logged.at(1).contains("entry 3"));
}

void TestKeywordIdeas::unreadableReply_data()
{
    QTest::addColumn<QString>("data");
    const QString whole = reply({{"shoes", "0.5", "100"}});
    QTest::newRow("not XML") << "<html><body>Service Unavailable";
    QTest::newRow("truncated") << whole.left(whole.size() / 2);
    QTest::newRow("a fault, no result")
        << "<soap:Envelope xmlns:soap=\"urn:s\"><soap:Body><soap:Fault><faultstring>RateExceededError"
           "</faultstring></soap:Fault></soap:Body></soap:Envelope>";
    QTest::newRow("plain text") << "OK";
}

void TestKeywordIdeas::unreadableReply()
{
    QFETCH(QString, data);
    TestEnvironment env;
    QVERIFY(GoogleResultParser::GetResultGoogle(data, fixed(0)).isEmpty());
    QCOMPARE(logLines(env, "clsKeywordBuilder_GetResultGoogle: ").size(), 1);
}

void TestKeywordIdeas::deeplyNestedReplyIsNotRead()
{
    // Reading elements nested this deep takes the XML reader seconds (ever
    // longer the deeper), with the window waiting; no reply of the service
    // nests more than a handful.
    const int depth = 20000;
    const QString data = "<rval><entries>" + QString("<value>").repeated(depth) + QString("</value>").repeated(depth)
        + "</entries></rval>";
    TestEnvironment env;
    QVERIFY(GoogleResultParser::GetResultGoogle(data, fixed(0)).isEmpty());
    const QStringList logged = logLines(env, "clsKeywordBuilder_GetResultGoogle: ");
    QCOMPARE(logged.size(), 1);
    QVERIFY2(logged.first().contains("nested more than"), qPrintable(logged.first()));
}

void TestKeywordIdeas::completions_data()
{
    QTest::addColumn<Reply>("answer");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<int>("ideas");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("logLine");

    const QString error = QStringLiteral("Error occured while retrieving the data. Please report to this error to "
                                         "sales@tarnwell.com for further assistance.");
    const QString errorLog = QStringLiteral("clsKeywordBuilder_HTTP_Completed_Error: ");
    QTest::newRow("ideas") << Server::answer(200, reply({{"shoes", "0.5", "100"}, {"boots", "0.2", "50"}}).toUtf8(),
                                             "text/xml")
                           << false << 2 << "" << "";
    QTest::newRow("not XML: no ideas, no message")
        << Server::answer(200, "<html>maintenance</html>", "text/html") << false << 0 << "" << "";
    QTest::newRow("server fault") << Server::answer(500, "<soap:Fault>RateExceeded</soap:Fault>", "text/xml")
                                  << false << -1 << error << errorLog + "<soap:Fault>RateExceeded</soap:Fault>";
    QTest::newRow("400 with a body") << Server::answer(400, "bad request") << false << -1 << error
                                     << errorLog + "bad request";
    QTest::newRow("200 without a body") << Server::answer(200, "") << false << -1 << error
                                        << errorLog + "Connection Error: FileData empty";
    QTest::newRow("refused") << Reply() << true << -1 << error << errorLog + "Connection Error: FileData empty";
    // Far more than any list of ideas: not kept, so not read as one.
    QTest::newRow("a reply too large to keep")
        << Server::answer(200, QByteArray(platform::HttpClient::kDefaultMaxReplyBytes + 1, ' '), "text/xml") << false
        << -1 << error << errorLog + "Connection Error: FileData empty";
    QTest::newRow("\"cancelled\" in any case") << Server::answer(500, "cancelled") << false << -1
                                               << "Operation cancelled by user."
                                               << "clsKeywordBuilder_HTTP_Completed_Cancelled: cancelled";
}

void TestKeywordIdeas::completions()
{
    QFETCH(Reply, answer);
    QFETCH(bool, refused);
    QFETCH(int, ideas);
    QFETCH(QString, message);
    QFETCH(QString, logLine);

    Request t;
    t.server.route(kServicePath, answer);
    t.builder.Connect("<get/>", refused ? Server::refusingUrl(kServicePath) : t.server.url(kServicePath));
    QCOMPARE(t.view.status, QStringList{"Please wait while retrieving data ..."});
    QCOMPARE(t.view.completed, 0);
    QTRY_COMPARE(t.view.completed, 1);

    const bool success = ideas >= 0;
    QCOMPARE(t.results.size(), success ? 1 : 0);
    QCOMPARE(t.builder.Keywords().size(), std::max(ideas, 0));
    if (success)
        QCOMPARE(t.results.first().first().value<KeywordIdeas>().size(), ideas);
    QCOMPARE(t.view.progress, (success ? QList<int>{1, 3} : QList<int>{1}));
    QCOMPARE(t.prompter.messages.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) {
        QCOMPARE(t.prompter.messages.first().text, message);
        QCOMPARE(t.prompter.messages.first().title, "Keyword Research");
        QCOMPARE(t.prompter.messages.first().icon, message.startsWith("Operation") ? platform::MsgIcon::Information
                                                                                  : platform::MsgIcon::Critical);
        QCOMPARE(logLines(t.env, "clsKeywordBuilder_HTTP_Completed"), QStringList{logLine});
    }
}

void TestKeywordIdeas::cancel()
{
    Request t;
    t.send(slowIdeas(3000));
    QVERIFY(t.server.waitForRequests(1));
    t.builder.Disconnect();
    QTRY_COMPARE(t.view.completed, 1);
    QCOMPARE(t.results.size(), 0);
    QCOMPARE(t.prompter.messages.size(), 1);
    QCOMPARE(t.prompter.messages.first().text, "Operation cancelled by user.");
    QCOMPARE(t.prompter.messages.first().icon, platform::MsgIcon::Information);
    QCOMPARE(logLines(t.env, "clsKeywordBuilder_HTTP_Completed"),
             QStringList{"clsKeywordBuilder_HTTP_Completed_Cancelled: Cancelled"});
    // The research window's stop timer waits for this.
    QTRY_VERIFY(t.builder.Disconnected());
}

void TestKeywordIdeas::invalidLoginTokenIsForgotten()
{
    Request t;
    auto stored = [](const char* name) {
        return testsettings::stored(RegistryAPI::HKEY_LOCAL_MACHINE, g_sPreferenceKey, QString::fromLatin1(name));
    };
    testsettings::store(RegistryAPI::HKEY_LOCAL_MACHINE, g_sPreferenceKey, "AUTK", "old-token");
    testsettings::store(RegistryAPI::HKEY_LOCAL_MACHINE, g_sPreferenceKey, "AUTKD", "Dec 01 2026 10:00 AM");
    t.send(Server::answer(500, "<faultstring>AuthenticationError.GOOGLE_ACCOUNT_COOKIE_INVALID</faultstring>"));
    QTRY_COMPARE(t.view.completed, 1);
    QCOMPARE(t.prompter.messages.first().icon, platform::MsgIcon::Critical);
    QCOMPARE(stored("AUTK"), QString());
    QCOMPARE(stored("AUTKD"), QString());
}

void TestKeywordIdeas::closedWhileRunning()
{
    Request t;
    t.send(slowIdeas(300));
    QVERIFY(t.server.waitForRequests(1));
    t.builder.CloseHTTPForm();
    QTest::qWait(1200);
    QCOMPARE(t.view.completed, 0);
    QCOMPARE(t.results.size(), 0);
    QVERIFY(t.prompter.messages.isEmpty());
}

void TestKeywordIdeas::bodyIsUtf8()
{
    Request t;
    const QString body = QStringLiteral("<o:queries>\u9774 caf&#xE9;</o:queries>");
    t.send(Server::answer(200, reply({}).toUtf8(), "text/xml"), body);
    QTRY_COMPARE(t.view.completed, 1);
    QCOMPARE(t.server.requests().first().body, body.toUtf8());
    QCOMPARE(t.server.requests().first().header("Authorization"), "Bearer tok");
}

QTEST_GUILESS_MAIN(TestKeywordIdeas)
#include "tst_keywordideas.moc"
