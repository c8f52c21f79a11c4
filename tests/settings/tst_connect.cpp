#include "core/Globals.h"
#include "core/RegistryAPI.h"
#include "settings/clsConnect.h"

#include "SettingsFixture.h"
#include "TestEnvironment.h"

#include <QtTest>

using namespace RegistryAPI;
using namespace testsettings;

class TestConnect : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { BuildKeyPaths(); }
    void hostFromUrl_data();
    void hostFromUrl();
    void formatURL_data();
    void formatURL();
    void httpProperties_data();
    void httpProperties();
    void settingsAreThoseOfConstruction();
    void errorMessage_data();
    void errorMessage();
    void findSection_data();
    void findSection();
};

void TestConnect::hostFromUrl_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("expected");
    QTest::newRow("scheme host path query") << "http://www.example.com/a/b.html?x=1" << "www.example.com";
    QTest::newRow("host then query") << "https://example.com?q=shoes" << "example.com";
    QTest::newRow("no scheme") << "example.com/path" << "example.com";
    QTest::newRow("host only") << "http://example.com" << "example.com";
    QTest::newRow("relative path") << "/index.html" << "";
    QTest::newRow("empty") << "" << "";
}

void TestConnect::hostFromUrl()
{
    QFETCH(QString, url);
    QFETCH(QString, expected);
    QCOMPARE(GetHostFromURL(url), expected);
}

void TestConnect::formatURL_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("expected");
    QTest::newRow("rooted link, secure base")
        << "/login/form.asp" << "https://www.h.com/a/b.html?x=1" << "https://www.h.com/login/form.asp";
    QTest::newRow("bare file name") << "next.asp" << "http://www.h.com/a/b.html" << "http://www.h.com/a/next.asp";
    QTest::newRow("upper-case HTTP unchanged") << "HTTP://other.com/x" << "http://www.h.com/" << "HTTP://other.com/x";
    QTest::newRow("base without scheme") << "/x" << "www.h.com/a" << "https://www.h.com/x";
    QTest::newRow("base of host only") << "page.html" << "http://www.h.com" << "http://www.h.com/page.html";
    QTest::newRow("empty link") << "" << "http://www.h.com/" << "";
}

void TestConnect::formatURL()
{
    QFETCH(QString, link);
    QFETCH(QString, base);
    QFETCH(QString, expected);
    TestEnvironment env;
    clsConnect c;
    QCOMPARE(c.FormatURL(link, base), expected);
}

void TestConnect::httpProperties_data()
{
    QTest::addColumn<QString>("accessType");
    QTest::addColumn<QString>("proxy");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("expectedProxy");
    QTest::addColumn<QString>("expectedUser");
    QTest::addColumn<QString>("expectedPassword");
    QTest::newRow("proxy with login") << "2" << " proxy.local " << "pu" << "pp" << "proxy.local:3128" << "pu" << "pp";
    QTest::newRow("proxy, login incomplete") << "2" << "proxy.local" << "pu" << "" << "proxy.local:3128" << "" << "";
    QTest::newRow("proxy type, no proxy") << "2" << "" << "pu" << "pp" << "" << "" << "";
    QTest::newRow("direct with proxy set") << "1" << "proxy.local" << "pu" << "pp" << "" << "" << "";
    QTest::newRow("default with proxy set") << "0" << "proxy.local" << "pu" << "pp" << "" << "" << "";
}

void TestConnect::httpProperties()
{
    QFETCH(QString, accessType);
    QFETCH(QString, proxy);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, expectedProxy);
    QFETCH(QString, expectedUser);
    QFETCH(QString, expectedPassword);
    TestEnvironment env;
    storePreference("AccessType", accessType);
    storePreference("Proxy", proxy);
    storePreference("Port", " 3128");
    storePreference("Auth_Username", user);
    storePreference("Auth_Password", password);
    storePreference("UserAgent", "Agent/1");
    clsConnect c;
    c.setTimeOut(120000);
    c.setSecurity(3);
    c.setCache(true);
    HttpProperties http;
    c.SetHttpProperties(http, "https://svc/x");
    QVERIFY(http.newRequest);
    QCOMPARE(http.url, QStringLiteral("https://svc/x"));
    QCOMPARE(http.timeOut, 120000);
    QCOMPARE(http.security, 3);
    QCOMPARE(http.cache, true);
    QCOMPARE(http.userAgent, QStringLiteral("Agent/1"));
    QCOMPARE(http.proxy, expectedProxy);
    QCOMPARE(http.proxyUser, expectedUser);
    QCOMPARE(http.proxyPassword, expectedPassword);
}

void TestConnect::settingsAreThoseOfConstruction()
{
    TestEnvironment env;
    storePreference("AccessType", "2");
    storePreference("Proxy", "first");
    clsConnect c;
    storePreference("Proxy", "second");
    HttpProperties http;
    c.SetHttpProperties(http, "u");
    QCOMPARE(http.proxy, QStringLiteral("first:8080"));
}

void TestConnect::errorMessage_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("expected");
    QTest::newRow("9060") << 9060 << "Error: Connection Timed Out.";
    QTest::newRow("12007") << 12007 << "Error: Server is down.";
    QTest::newRow("12017") << 12017 << "Error: Transfer Aborted.";
    QTest::newRow("other") << 5 << "Error #5 Something failed";
}

void TestConnect::errorMessage()
{
    QFETCH(int, number);
    QFETCH(QString, expected);
    TestEnvironment env;
    clsConnect c;
    qint32 n = number;
    QString description = QStringLiteral("Something failed");
    QCOMPARE(c.GetErrorMessage(n, description), expected);
}

void TestConnect::findSection_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<bool>("cut");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("textAfter");
    QTest::newRow("cut, marker included, case-insensitive")
        << "x<B>bold</b> rest" << "<b>" << "</b>" << true << "<B>bold" << " rest";
    QTest::newRow("no cut leaves text")
        << "x<B>bold</b> rest" << "<b>" << "</b>" << false << "<B>bold" << "x<B>bold</b> rest";
    QTest::newRow("missing end marker advances one past the marker start")
        << "ab[cd" << "[" << "]" << false << "" << "cd";
    QTest::newRow("missing start marker")
        << "abc" << "[" << "]" << true << "" << "abc";
    QTest::newRow("empty text") << "" << "[" << "]" << true << "" << "";
    QTest::newRow("bracket alternative") << "shoes [cheap] x" << "[" << "]" << false << "[cheap" << "shoes [cheap] x";
}

void TestConnect::findSection()
{
    QFETCH(QString, text);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(bool, cut);
    QFETCH(QString, expected);
    QFETCH(QString, textAfter);
    TestEnvironment env;
    clsConnect c;
    QCOMPARE(c.FindSection(text, start, end, cut), expected);
    QCOMPARE(text, textAfter);
}

QTEST_GUILESS_MAIN(TestConnect)
#include "tst_connect.moc"
