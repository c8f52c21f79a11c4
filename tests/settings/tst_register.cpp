#include "core/Globals.h"
#include "core/RegistryAPI.h"
#include "core/uucode.h"
#include "settings/clsRegister.h"

#include "SettingsFixture.h"
#include "TestEnvironment.h"

#include <QtTest>

using namespace RegistryAPI;
using namespace testsettings;

class TestRegister : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { BuildKeyPaths(); }
    void dealer_data();
    void dealer();
    void dealerFileInEveryEncoding_data();
    void dealerFileInEveryEncoding();
    void tokenRoundTrip_data();
    void tokenRoundTrip();
    void storedTokenOfAWellFormedSave();
    void numericPartsIgnored();
    void flags();
    void yahooCredentialsStayOutOfTheLog();
};

void TestRegister::dealer_data()
{
    QTest::addColumn<QString>("ini");      // "" for no dealer file
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("home");
    QTest::addColumn<QString>("tutorial");
    const QString maker = clsRegister::MakerSite();
    const QString kb = clsRegister::MakerKnowledgeBase() + "/knowledgebase/ppcquillmark/index.asp";
    QTest::newRow("no dealer file") << "" << "Tarnwell Pty Ltd" << "TWL" << clsRegister::MakerSalesEmail()
                                    << maker + "/index.html" << kb;
    QTest::newRow("KZV means the maker") << "[Dealer]\nName=KZV\nCode=KZ\nHome=http://kzv\n" << "Tarnwell Pty Ltd"
                                         << "TWL" << clsRegister::MakerSalesEmail() << maker + "/index.html" << kb;
    QTest::newRow("kzv is a dealer") << "[Dealer]\nName=kzv\nCode=KZ\nHome=http://kzv\nEmail=a@kzv.com\n" << "kzv"
                                     << "KZ" << "a@kzv.com" << "http://kzv" << kb;
    QTest::newRow("name only") << "[Dealer]\nName=Acme\n" << "Acme" << "" << "" << maker + "/order.html" << kb;
    QTest::newRow("tips for tutorial") << "[Dealer]\nName=Acme\nTipsURL=http://tips\n" << "Acme" << "" << ""
                                       << maker + "/order.html" << "http://tips";
    QTest::newRow("tutorial before tips")
        << "[Dealer]\nName=Acme\nTipsURL=http://tips\nTutorialURL=http://tut\n" << "Acme" << "" << ""
        << maker + "/order.html" << "http://tut";
}

void TestRegister::dealer()
{
    QFETCH(QString, ini);
    QFETCH(QString, name);
    QFETCH(QString, id);
    QFETCH(QString, email);
    QFETCH(QString, home);
    QFETCH(QString, tutorial);
    TestEnvironment env;
    if (!ini.isEmpty())
        QVERIFY(TestEnvironment::writeAll(env.windowsDir() + "/quillmk.ini", ini.toUtf8()));
    clsRegister reg;
    reg.GetSettings();
    QCOMPARE(reg.Dealername(), name);
    QCOMPARE(reg.DealerID(), id);
    QCOMPARE(reg.DealerEmail(), email);
    QCOMPARE(reg.DealerURL(), home);
    QCOMPARE(reg.TutorialURL(), tutorial);
    QCOMPARE(reg.SupportURL(), clsRegister::MakerSite() + "/support.html");
    QCOMPARE(reg.PDFLocation(), clsRegister::MakerKnowledgeBase() + "/knowledgebase/pdf/quillmark_userguide.pdf");
}

void TestRegister::dealerFileInEveryEncoding_data()
{
    QTest::addColumn<QByteArray>("file");
    const QString text = QStringLiteral("[Dealer]\r\nName=Caf\u00E9 Ads\r\nHome=http://cafe.example\r\n");
    const auto utf16 = [&text](QStringConverter::Encoding encoding) {
        QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
        return QByteArray(encoder.encode(text));
    };
    QTest::newRow("utf-8") << text.toUtf8();
    QTest::newRow("utf-8 with its mark") << "\xEF\xBB\xBF" + text.toUtf8();
    QTest::newRow("windows-1252") << text.toLatin1();
    // What a Windows editor writes when the dealer file is saved as "Unicode".
    QTest::newRow("utf-16le with its mark") << utf16(QStringConverter::Utf16LE);
    QTest::newRow("utf-16be with its mark") << utf16(QStringConverter::Utf16BE);
}

void TestRegister::dealerFileInEveryEncoding()
{
    QFETCH(QByteArray, file);
    TestEnvironment env;
    QVERIFY(TestEnvironment::writeAll(env.windowsDir() + "/quillmk.ini", file));
    clsRegister reg;
    reg.GetSettings();
    QCOMPARE(reg.Dealername(), QStringLiteral("Caf\u00E9 Ads"));
    QCOMPARE(reg.DealerURL(), QStringLiteral("http://cafe.example"));
}

void TestRegister::tokenRoundTrip_data()
{
    QTest::addColumn<QString>("token");
    const QString full = QStringLiteral("Ab3De6Gh9Jk2Mn5Pq8St1VwXyZ");
    for (int n : {0, 1, 5, 9, 10, 11, 12, 22, 26})
        QTest::newRow(qPrintable(QString::number(n) + " characters")) << full.left(n);
    QTest::newRow("ends with g") << QStringLiteral("abcg");
    QTest::newRow("eleventh is g") << QStringLiteral("0123456789g");
}

void TestRegister::tokenRoundTrip()
{
    QFETCH(QString, token);
    TestEnvironment env;
    {
        clsRegister reg;
        reg.setTarnwellGoogleAPIToken(token);
        reg.SaveSettings();
    }
    for (int round = 0; round < 2; ++round) {
        clsRegister reg;
        reg.GetSettings();
        QCOMPARE(reg.TarnwellGoogleAPIToken(), token);
        QCOMPARE(BuiltInDeveloperToken, token);
        reg.SaveSettings(); // a load and save again changes nothing
    }
    BuiltInDeveloperToken.clear();
}

void TestRegister::storedTokenOfAWellFormedSave()
{
    // Values as an earlier release wrote them for a 22-character token.
    TestEnvironment env;
    const QString token = QStringLiteral("Ab3De6Gh9Jk2Mn5Pq8St1V");
    store(HKEY_LOCAL_MACHINE, g_sSettingKey, "GTX", uucode::Encode(token.left(10) + "g"));
    store(HKEY_LOCAL_MACHINE, g_sRegisterKey, "TGY", uucode::Encode("t" + token.mid(10)));
    clsRegister reg;
    reg.GetSettings();
    QCOMPARE(reg.TarnwellGoogleAPIToken(), token);
}

void TestRegister::numericPartsIgnored()
{
    TestEnvironment env;
    clsRegister reg;
    store(HKEY_LOCAL_MACHINE, g_sSettingKey, "GTX", "12345");
    store(HKEY_LOCAL_MACHINE, g_sRegisterKey, "TGY", uucode::Encode("tXYZ"));
    reg.GetSettings();
    QCOMPARE(reg.TarnwellGoogleAPIToken(), QStringLiteral("XYZ"));
    store(HKEY_LOCAL_MACHINE, g_sSettingKey, "GTX", uucode::Encode("ABCg"));
    store(HKEY_LOCAL_MACHINE, g_sRegisterKey, "TGY", "42");
    reg.GetSettings();
    QCOMPARE(reg.TarnwellGoogleAPIToken(), QStringLiteral("ABC"));
    BuiltInDeveloperToken.clear();
}

void TestRegister::flags()
{
    TestEnvironment env;
    clsRegister reg;
    reg.GetSettings();
    QCOMPARE(reg.GoogleAPISelection(), false);
    reg.SaveSettings();
    auto setting = [](const char* name) {
        return stored(HKEY_LOCAL_MACHINE, g_sSettingKey, QString::fromLatin1(name));
    };
    auto registerValue = [](const char* name) {
        return stored(HKEY_LOCAL_MACHINE, g_sRegisterKey, QString::fromLatin1(name));
    };
    QCOMPARE(setting("GAPIS"), QStringLiteral("0"));
    QCOMPARE(setting("UOGT"), QStringLiteral("0"));
    QCOMPARE(registerValue("UOYT"), QStringLiteral("0"));
    reg.setGoogleAPISelection(true);
    reg.setUseMyOwnYahooAPIToken(true);
    reg.SaveSettings();
    QCOMPARE(setting("GAPIS"), QStringLiteral("-1"));
    QCOMPARE(registerValue("UOYT"), QStringLiteral("-1"));
    clsRegister again;
    again.GetSettings();
    QCOMPARE(again.GoogleAPISelection(), true);
}

void TestRegister::yahooCredentialsStayOutOfTheLog()
{
    TestEnvironment env;
    storePreference("YTK", "tok\r\nen");
    storePreference("YMPd", "pw-secret");
    clsRegister reg;
    reg.setUseMyOwnYahooAPIToken(true);
    reg.GetYahooToken();
    QCOMPARE(g_sYahooAPIToken, QStringLiteral("token"));
    const QByteArray log = TestEnvironment::readAll(env.programDir() + "/Error.log");
    QVERIFY(log.contains("clsPreference_GetYahooToken: UseMyOwnYahooAPIToken is true but YahooToken, MasterUserName or "
                         "MasterPassword is blank: '*'; ''; '*'"));
    QVERIFY(!log.contains("tok"));
    QVERIFY(!log.contains("pw-secret"));
}

QTEST_GUILESS_MAIN(TestRegister)
#include "tst_register.moc"
