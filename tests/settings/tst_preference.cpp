#include "core/Globals.h"
#include "core/RegistryAPI.h"
#include "core/Version.h"
#include "core/uucode.h"
#include "settings/clsPreference.h"
#include "settings/SettingsTable.h"
#include "settings/clsRegister.h"

#include "EveryPreference.h"
#include "FileSaves.h"
#include "FileSizeLimit.h"
#include "ScriptedPrompter.h"
#include "SettingsFixture.h"
#include "TestEnvironment.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include <array>
#include <vector>

using namespace RegistryAPI;
using namespace testsettings;

namespace {

QString cu(const QString& name)
{
    return stored(HKEY_CURRENT_USER, g_sPreferenceKey, name);
}

QString lm(const QString& name)
{
    return stored(HKEY_LOCAL_MACHINE, g_sPreferenceKey, name);
}

// A property by its name, as text, for table-driven checks.
QString prop(const clsPreference& p, const QString& name)
{
    const QHash<QString, std::function<QString()>> props = {
        {"CompetitorLookUp", [&] { return QString::number(p.CompetitorLookUp()); }},
        {"Proxy", [&] { return p.Proxy(); }},
        {"TimeOut", [&] { return p.TimeOut(); }},
        {"ConfirmConnection", [&] { return p.ConfirmConnection(); }},
        {"Port", [&] { return p.Port(); }},
        {"HTTPUserName", [&] { return p.HTTPUserName(); }},
        {"HTTPPassword", [&] { return p.HTTPPassword(); }},
        {"HttpLogin", [&] { return p.HttpLogin(); }},
        {"SMTPServer", [&] { return p.SMTPServer(); }},
        {"SMTPPort", [&] { return p.SMTPPort(); }},
        {"LogoPosition", [&] { return p.LogoPosition(); }},
        {"AccessType", [&] { return QString::number(p.AccessType()); }},
        {"Authentication", [&] { return QString::number(p.Authentication()); }},
        {"UpdateEngineData", [&] { return QString::number(p.UpdateEngineData()); }},
        {"HideIcon", [&] { return QString::number(p.HideIcon()); }},
        {"SMTPAuthentication", [&] { return QString::number(p.SMTPAuthentication()); }},
        {"Hour", [&] { return QString::number(p.Hour()); }},
        {"Minute", [&] { return QString::number(p.Minute()); }},
        {"MaxListing", [&] { return p.MaxListing(); }},
        {"UserAgent", [&] { return p.UserAgent(); }},
        {"Connections", [&] { return QString::number(p.Connections()); }},
        {"TimeDelay", [&] { return p.TimeDelay(); }},
        {"SSL", [&] { return QString::number(p.SSL()); }},
        {"LoginType", [&] { return QString::number(p.LoginType()); }},
        {"GoogleAdwordsEditor", [&] { return p.GoogleAdwordsEditor(); }},
        {"Token", [&] { return p.Token(); }},
        {"UserName", [&] { return p.UserName(); }},
    };
    return props.value(name)();
}

// The generation of each value of the hive file that carries the mark of
// setEveryPreference ("g<n>;" at its start), in file order.
QList<int> generationMarks(Root root)
{
    QList<int> marks;
    static const QRegularExpression mark(QStringLiteral("=\"g(\\d+);"));
    const QString text = QString::fromUtf8(TestEnvironment::readAll(platform::Registry::hiveFile(root)));
    for (QRegularExpressionMatchIterator it = mark.globalMatch(text); it.hasNext();)
        marks << it.next().captured(1).toInt();
    return marks;
}

// A row of a settings table as far as the save order is concerned.
struct PlacedRow {
    int savePosition;
};

// Forty rows, one more than the preferences have, written last row first:
// the table's own check accepts them at compile time.
constexpr auto kFortyRows = [] {
    std::array<PlacedRow, 40> rows {};
    for (int i = 0; i < 40; ++i)
        rows[size_t(i)].savePosition = 39 - i;
    return rows;
}();
static_assert(SettingsTable::hasEverySavePosition(kFortyRows));

// The values of setEveryPreference that carry its mark, in each hive.
constexpr int kMarkedUserValues = 25;
constexpr int kMarkedMachineValues = 2; // CTK, WorkingFolder

} // namespace

class TestPreference : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { BuildKeyPaths(); }
    void defaultsOnEmptyRegistry_data();
    void defaultsOnEmptyRegistry();
    void writesBackOnLoad();
    void conversions_data();
    void conversions();
    void reportStartTime_data();
    void reportStartTime();
    void badNumberLeavesTheRestLoaded();
    void httpLogin();
    void versionRecord();
    void saveLoadRoundTripAndHives();
    void saveWritesEveryValueInItsOrder();
    void lastSaveWins();
    void refusedSaveIsReported();
    void saveWritesEachHiveOnce_data();
    void saveWritesEachHiveOnce();
    void saveCutShortKeepsEveryOldValue();
    void killedSaveLeavesOneGeneration();
    void developerTokenStaysOutOfTheLog();
    void workingPath();
    void windowStateStaysOutOfTheTable();
    void saveOrderFollowsTheTable_data();
    void saveOrderFollowsTheTable();
};

void TestPreference::defaultsOnEmptyRegistry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("TimeOut") << "TimeOut" << "60";
    QTest::newRow("Port") << "Port" << "8080";
    QTest::newRow("SMTPPort") << "SMTPPort" << "25";
    QTest::newRow("UserAgent") << "UserAgent" << "PPC Quillmark";
    QTest::newRow("ConfirmConnection") << "ConfirmConnection" << "1";
    QTest::newRow("MaxListing") << "MaxListing" << "100";
    QTest::newRow("LogoPosition") << "LogoPosition" << "Top";
    QTest::newRow("TimeDelay") << "TimeDelay" << "3";
    QTest::newRow("AccessType") << "AccessType" << "1";
    QTest::newRow("Hour") << "Hour" << "12";
    QTest::newRow("Minute") << "Minute" << "0";
    QTest::newRow("Connections") << "Connections" << "5";
    QTest::newRow("LoginType") << "LoginType" << "0";
    QTest::newRow("SSL") << "SSL" << "0";
    QTest::newRow("HttpLogin") << "HttpLogin" << "";
    QTest::newRow("Proxy") << "Proxy" << "";
    QTest::newRow("GoogleAdwordsEditor") << "GoogleAdwordsEditor"
                                         << "C:\\Program Files\\Google\\Google AdWords Editor\\adwords_editor.exe";
}

void TestPreference::defaultsOnEmptyRegistry()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    TestEnvironment env;
    clsPreference p;
    p.GetSettings();
    QCOMPARE(prop(p, name), expected);
    QCOMPARE(p.WorkingFolder(), env.programDir());
    QCOMPARE(p.LastReportDate(), QDateTime(QDate::currentDate().addDays(-1), QTime(0, 0)));
}

void TestPreference::writesBackOnLoad()
{
    TestEnvironment env;
    storeKey(HKEY_CURRENT_USER, g_sPreferenceKey);
    clsPreference p;
    p.GetSettings();
    QCOMPARE(cu("LastUpdate"), QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
    QCOMPARE(p.LastUpdate(), cu("LastUpdate"));
    // Nothing else is written by a load.
    QCOMPARE(cu("TimeOut"), QStringLiteral("<absent>"));
    QCOMPARE(lm("WorkingFolder"), QStringLiteral("<absent>"));
}

void TestPreference::conversions_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("afterLoad"); // the stored value after the load
    QTest::newRow("Connections 0") << "Connections" << "0" << "Connections" << "5" << "5";
    QTest::newRow("Connections -2") << "Connections" << "-2" << "Connections" << "5" << "5";
    QTest::newRow("Connections abc") << "Connections" << "abc" << "Connections" << "5" << "5";
    QTest::newRow("Connections 7") << "Connections" << "7" << "Connections" << "7" << "7";
    QTest::newRow("Hour 22") << "Hour" << "22" << "Hour" << "22" << "22";
    QTest::newRow("Hour 23") << "Hour" << "23" << "Hour" << "12" << "23";
    QTest::newRow("Hour -1") << "Hour" << "-1" << "Hour" << "12" << "-1";
    QTest::newRow("Hour x") << "Hour" << "x" << "Hour" << "12" << "x";
    QTest::newRow("Minute 59") << "Minute" << "59" << "Minute" << "59" << "59";
    QTest::newRow("Minute 60") << "Minute" << "60" << "Minute" << "0" << "60";
    QTest::newRow("number with trailing text") << "AccessType" << " 2abc" << "AccessType" << "2" << " 2abc";
    QTest::newRow("non-numeric number") << "AccessType" << "abc" << "AccessType" << "0" << "abc";
    QTest::newRow("half to even down") << "SSL" << "2.5" << "SSL" << "2" << "2.5";
    QTest::newRow("half to even up") << "SSL" << "3.5" << "SSL" << "4" << "3.5";
    QTest::newRow("LoginType empty") << "LGIY" << "" << "LoginType" << "0" << "";
    QTest::newRow("LoginType 1") << "LGIY" << "1" << "LoginType" << "1" << "1";
    QTest::newRow("text kept as is") << "YMID" << " me " << "UserName" << " me " << " me ";
}

void TestPreference::conversions()
{
    QFETCH(QString, value);
    QFETCH(QString, stored);
    QFETCH(QString, property);
    QFETCH(QString, expected);
    QFETCH(QString, afterLoad);
    TestEnvironment env;
    storePreference(value, stored);
    clsPreference p;
    p.GetSettings();
    QCOMPARE(prop(p, property), expected);
    QCOMPARE(cu(value), afterLoad);
}

void TestPreference::reportStartTime_data()
{
    QTest::addColumn<QString>("hour");   // "<absent>": not stored
    QTest::addColumn<QString>("minute");
    QTest::addColumn<QTime>("expected");
    QTest::newRow("nothing stored") << "<absent>" << "<absent>" << QTime(1, 0);
    QTest::newRow("last valid values") << "22" << "59" << QTime(22, 59);
    // The load's hour would be 12 here; this reader's is 1.
    QTest::newRow("first refused values") << "23" << "60" << QTime(1, 0);
    QTest::newRow("not numbers") << "x" << "" << QTime(1, 0);
}

void TestPreference::reportStartTime()
{
    QFETCH(QString, hour);
    QFETCH(QString, minute);
    QFETCH(QTime, expected);
    TestEnvironment env;
    if (hour != kAbsent)
        storePreference("Hour", hour);
    if (minute != kAbsent)
        storePreference("Minute", minute);
    clsPreference p;
    QCOMPARE(p.GetReportStartTime(), expected);
    QCOMPARE(p.Hour(), qint16(expected.hour()));
    QCOMPARE(p.GetLastReportDate(), QDateTime(QDate::currentDate().addDays(-1), QTime(0, 0)));
}

void TestPreference::badNumberLeavesTheRestLoaded()
{
    TestEnvironment env;
    storePreference("AccessType", "70000");
    storePreference("Proxy", "proxy.local");
    storePreference("Port", "3128");
    storePreference("HideIcon", "99999");
    storePreference("SMTPServer", "mail.local");
    clsPreference p;
    p.GetSettings();
    QCOMPARE(p.AccessType(), qint16(1));
    QCOMPARE(p.Proxy(), QStringLiteral("proxy.local"));
    QCOMPARE(p.Port(), QStringLiteral("3128"));
    QCOMPARE(p.HideIcon(), qint16(0));
    QCOMPARE(p.SMTPServer(), QStringLiteral("mail.local"));
    const QByteArray log = TestEnvironment::readAll(env.programDir() + "/Error.log");
    QVERIFY(log.contains("clsPreference_Getsetting: Overflow - Log point 1\r\n"));
    QVERIFY(log.contains("clsPreference_Getsetting: Overflow - Log point 11\r\n"));
    // The next save keeps the loaded values.
    p.SaveSettings();
    QCOMPARE(cu("Proxy"), QStringLiteral("proxy.local"));
    QCOMPARE(cu("SMTPServer"), QStringLiteral("mail.local"));
    QCOMPARE(cu("AccessType"), QStringLiteral("1"));
}

void TestPreference::httpLogin()
{
    TestEnvironment env;
    storePreference("Auth_Username", "user");
    clsPreference p;
    p.GetSettings();
    QCOMPARE(p.HttpLogin(), QString());
    storePreference("Auth_Password", "pa:ss");
    clsPreference q;
    q.GetSettings();
    QCOMPARE(q.HttpLogin(), QString::fromLatin1(QByteArray("user:pa:ss").toBase64()));
    q.SaveSettings();
    QCOMPARE(cu("HttpLogin"), QStringLiteral("<absent>"));
}

void TestPreference::versionRecord()
{
    TestEnvironment env;
    store(HKEY_LOCAL_MACHINE, g_sVersionKey, "Version", "1.2.03");
    clsPreference p;
    p.GetSettings();
    QCOMPARE(stored(HKEY_LOCAL_MACHINE, g_sVersionKey, "Version"), Version::text());
}

void TestPreference::saveLoadRoundTripAndHives()
{
    TestEnvironment env;
    clsPreference p;
    p.GetSettings();
    p.setProxy("proxy.local");
    p.setPort("3128");
    p.setAccessType(2);
    p.setHTTPUserName("pu");
    p.setHTTPPassword("pp");
    p.setToken("MYTOKEN");
    p.setWorkingFolder(env.path("work"));
    p.setUserName("adwords@x.com");
    p.setPassword("secret");
    p.setLoginType(1);
    p.setHour(7);
    p.setMinute(45);
    p.setSSL(1);
    p.setLastReportDate(QDateTime(QDate(2026, 12, 7), QTime(15, 5)));
    p.setAuthToken("AT");
    p.setAuthTokenDate("ATD");
    p.SaveSettings();

    // Which hive holds which value.
    QCOMPARE(lm("CTK"), QStringLiteral("MYTOKEN"));
    QCOMPARE(cu("CTK"), QStringLiteral("<absent>"));
    QCOMPARE(lm("WorkingFolder"), env.path("work"));
    QCOMPARE(cu("WorkingFolder"), QStringLiteral("<absent>"));
    QCOMPARE(cu("Proxy"), QStringLiteral("proxy.local"));
    QCOMPARE(lm("Proxy"), QStringLiteral("<absent>"));
    QCOMPARE(cu("Auth_Password"), QStringLiteral("pp"));
    QCOMPARE(cu("YMPd"), QStringLiteral("secret"));
    QCOMPARE(cu("LGIY"), QStringLiteral("1"));
    QCOMPARE(cu("AccessType"), QStringLiteral("2"));
    QCOMPARE(cu("LastReportDate"), QStringLiteral("Dec 07 2026 03:05 PM"));
    QCOMPARE(lm("AUTK"), QStringLiteral("<absent>"));
    QCOMPARE(lm("AUTKD"), QStringLiteral("<absent>"));
    QCOMPARE(cu("AUTK"), QStringLiteral("<absent>"));

    clsPreference q;
    q.GetSettings();
    QCOMPARE(q.Proxy(), QStringLiteral("proxy.local"));
    QCOMPARE(q.Port(), QStringLiteral("3128"));
    QCOMPARE(q.AccessType(), qint16(2));
    QCOMPARE(q.Token(), QStringLiteral("MYTOKEN"));
    QCOMPARE(q.WorkingFolder(), env.path("work"));
    QCOMPARE(q.UserName(), QStringLiteral("adwords@x.com"));
    QCOMPARE(q.Password(), QStringLiteral("secret"));
    QCOMPARE(q.LoginType(), qint16(1));
    QCOMPARE(q.Hour(), qint16(7));
    QCOMPARE(q.Minute(), qint16(45));
    QCOMPARE(q.SSL(), qint16(1));
    QCOMPARE(q.LastReportDate(), QDateTime(QDate(2026, 12, 7), QTime(15, 5)));
    QCOMPARE(q.TimeOut(), QStringLiteral("60"));
    QCOMPARE(q.AuthToken(), QString());

    // The access token travels only through its own pair of methods.
    q.setAuthToken("AT");
    q.setAuthTokenDate("ATD");
    q.SaveTokenSetting();
    QCOMPARE(lm("AUTK"), QStringLiteral("AT"));
    QCOMPARE(lm("AUTKD"), QStringLiteral("ATD"));
    clsPreference r;
    r.GetTokenSetting();
    QCOMPARE(r.AuthToken(), QStringLiteral("AT"));
    QCOMPARE(r.AuthTokenDate(), QStringLiteral("ATD"));

    const QByteArray log = TestEnvironment::readAll(env.programDir() + "/Error.log");
    QVERIFY(log.contains("clsPreference_SaveSetting  start ..."));
    QVERIFY(log.contains("clsPreference_SaveSetting end"));
}

void TestPreference::saveWritesEveryValueInItsOrder()
{
    // A value whose save fails stops the save, so the order decides what is kept.
    TestEnvironment env;
    clsPreference p;
    p.GetSettings();
    p.SaveSettings();
    const auto names = [&env](const char* hive) {
        QStringList found;
        const QByteArray file = TestEnvironment::readAll(env.registryDir() + QLatin1Char('/') + hive);
        static const QRegularExpression value(QStringLiteral("^\"([^\"]*)\"="));
        for (const QString& line : QString::fromUtf8(file).split(QLatin1Char('\n'))) {
            const QRegularExpressionMatch m = value.match(line);
            if (m.hasMatch())
                found << m.captured(1);
        }
        return found;
    };
    QCOMPARE(names("HKEY_CURRENT_USER.reg"),
             QStringList({"AccessType", "Proxy", "Port", "TimeOut", "ConfirmConnection", "SMTPServer", "SMTPPort",
                          "Auth_Username", "Auth_Password", "Authentication", "Hour", "Minute", "LastReportDate",
                          "SMTPAuthentication", "SMTPUsername", "SMTPPassword", "CompetitorLookUp", "MaxListing",
                          "ReporterName", "CompanyName", "Email", "WebSite", "LogoURL", "LogoPosition",
                          "UpdateEngineData", "HideIcon", "LastUpdate", "Apptoken", "UserAgent", "TimeDelay",
                          "Connections", "SSL", "LGIY", "YMID", "YMPd", "CUID", "AdwordsEditor"}));
    QCOMPARE(names("HKEY_LOCAL_MACHINE.reg"), QStringList({"CTK", "WorkingFolder"}));
}

void TestPreference::lastSaveWins()
{
    TestEnvironment env;
    storePreference("Proxy", "old");
    clsPreference first;
    clsPreference second;
    first.GetSettings();
    second.GetSettings();
    first.setProxy("new");
    first.SaveSettings();
    QCOMPARE(cu("Proxy"), QStringLiteral("new"));
    second.SaveSettings();
    QCOMPARE(cu("Proxy"), QStringLiteral("old"));
}

void TestPreference::refusedSaveIsReported()
{
    // A user hive that cannot be written must not pass for a saved setting.
    TestEnvironment env;
    ScriptedPrompter prompter;
    clsPreference p;
    p.GetSettings();
    p.setProxy("proxy.local");
    const QString hive = env.registryDir() + "/HKEY_CURRENT_USER.reg";
    QFile::remove(hive);
    QVERIFY(QDir().mkpath(hive)); // a folder in the hive file's place
    p.SaveSettings();
    QCOMPARE(prompter.messages.size(), 1);
    QCOMPARE(prompter.messages.at(0).title, QStringLiteral("SaveSetting Preference"));
    QCOMPARE(prompter.messages.at(0).icon, platform::MsgIcon::Information);
    QCOMPARE(prompter.messages.at(0).buttons, platform::MsgButtons::OK);
    const QByteArray log = TestEnvironment::readAll(env.programDir() + "/Error.log");
    QVERIFY2(log.contains("\r\nclsPreference_SaveSettings_Error: " + prompter.messages.at(0).text.toUtf8() + "\r\n"),
             log.constData());
    QVERIFY(!log.contains("clsPreference_SaveSetting end"));
    QCOMPARE(lm("CTK"), QStringLiteral("<absent>")); // the values after the failing one are not written
}

void TestPreference::saveWritesEachHiveOnce_data()
{
    QTest::addColumn<QString>("before"); // what was saved before the counted save
    QTest::addColumn<int>("userWrites");
    QTest::addColumn<int>("machineWrites");
    QTest::newRow("first save, which makes both keys") << "nothing" << 1 << 1;
    QTest::newRow("every value changed") << "generation 1" << 1 << 1;
    QTest::newRow("nothing changed") << "the same" << 0 << 0;
}

// One save is one write of each hive that it changes, however many values change.
void TestPreference::saveWritesEachHiveOnce()
{
    QFETCH(QString, before);
    QFETCH(int, userWrites);
    QFETCH(int, machineWrites);
    TestEnvironment env;
    QVERIFY(QDir().mkpath(env.registryDir()));
    clsPreference p;
    p.GetSettings();
    setEveryPreference(p, 1);
    if (before != "nothing")
        p.SaveSettings();
    if (before == "generation 1")
        setEveryPreference(p, 2);

    FileSaves writes(env.registryDir());
    QVERIFY(writes.isActive());
    p.SaveSettings();
    QCOMPARE(writes.count(QFileInfo(platform::Registry::hiveFile(HKEY_CURRENT_USER)).fileName()), userWrites);
    QCOMPARE(writes.count(QFileInfo(platform::Registry::hiveFile(HKEY_LOCAL_MACHINE)).fileName()), machineWrites);
    const int generation = before == "generation 1" ? 2 : 1;
    QCOMPARE(generationMarks(HKEY_CURRENT_USER), QList<int>(kMarkedUserValues, generation));
    QCOMPARE(generationMarks(HKEY_LOCAL_MACHINE), QList<int>(kMarkedMachineValues, generation));
}

// A save that fails part way (here the disk fills up when the hive grows)
// leaves every old value, in both hives, and says so; the store keeps the
// new values for the next save.
void TestPreference::saveCutShortKeepsEveryOldValue()
{
    TestEnvironment env;
    ScriptedPrompter prompter;
    clsPreference p;
    p.GetSettings();
    setEveryPreference(p, 1);
    p.SaveSettings();
    const QByteArray user = TestEnvironment::readAll(platform::Registry::hiveFile(HKEY_CURRENT_USER));
    const QByteArray machine = TestEnvironment::readAll(platform::Registry::hiveFile(HKEY_LOCAL_MACHINE));

    // The new values keep the hive's size up to ReporterName, which makes it
    // outgrow the limit: a save of one value at a time would keep those before.
    setEveryPreference(p, 2);
    p.setReporterName(QStringLiteral("g2;") + QString(8000, QLatin1Char('r')));
    {
        const FileSizeLimit limit(rlim_t(user.size()) + 4000);
        QVERIFY(limit.isActive());
        p.SaveSettings();
    }
    QCOMPARE(TestEnvironment::readAll(platform::Registry::hiveFile(HKEY_CURRENT_USER)), user);
    QCOMPARE(TestEnvironment::readAll(platform::Registry::hiveFile(HKEY_LOCAL_MACHINE)), machine);
    QCOMPARE(prompter.messages.size(), 1);
    QCOMPARE(prompter.messages.at(0).title, QStringLiteral("SaveSetting Preference"));
    const QByteArray log = TestEnvironment::readAll(env.programDir() + "/Error.log");
    QVERIFY(log.contains("clsPreference_SaveSettings_Error: "));
    QVERIFY(log.contains("RegistryAPI_SaveRegistry:  Cannot save the registry file "
                         + platform::Registry::hiveFile(HKEY_CURRENT_USER).toUtf8() + ": "));
    QCOMPARE(log.count("clsPreference_SaveSetting end"), 1);

    p.SaveSettings();
    QCOMPARE(generationMarks(HKEY_CURRENT_USER), QList<int>(kMarkedUserValues, 2));
    QCOMPARE(generationMarks(HKEY_LOCAL_MACHINE), QList<int>(kMarkedMachineValues, 2));
    QCOMPARE(stored(HKEY_CURRENT_USER, g_sPreferenceKey, "ReporterName"), p.ReporterName());
}

// A program killed while it saves its settings leaves each hive with the
// values of one save whole, never some of one save and some of the next.
void TestPreference::killedSaveLeavesOneGeneration()
{
    TestEnvironment env;
    QRandomGenerator random(20241210);
    for (int kill = 1; kill <= 6; ++kill) {
        QProcess probe; // saves in env's folders, one generation after the other
        probe.start(QStringLiteral(PREFERENCE_PROBE), {});
        QVERIFY(probe.waitForStarted());
        QVERIFY(probe.waitForReadyRead(30000));
        QTest::qSleep(random.bounded(5, 80));
        probe.kill();
        QVERIFY(probe.waitForFinished(30000));
        QCOMPARE(probe.exitStatus(), QProcess::CrashExit);

        for (const auto& [root, count] : {std::pair{HKEY_CURRENT_USER, kMarkedUserValues},
                                          std::pair{HKEY_LOCAL_MACHINE, kMarkedMachineValues}}) {
            const QList<int> marks = generationMarks(root);
            QCOMPARE(marks.size(), count);
            QVERIFY2(marks == QList<int>(count, marks.first()),
                     qPrintable(QStringLiteral("kill %1 left the generations ").arg(kill)
                                + platform::Registry::hiveFile(root) + ": " + QString::number(marks.first()) + " and "
                                + QString::number(*std::find_if(marks.cbegin(), marks.cend(),
                                                                [&](int m) { return m != marks.first(); }))));
        }
    }
}

void TestPreference::developerTokenStaysOutOfTheLog()
{
    TestEnvironment env;
    BuiltInDeveloperToken = QStringLiteral("Zq4Wx8Er2Ty6Ui0Op3As5D");
    clsPreference p;
    p.setToken("OWN");
    QCOMPARE(p.GetGoogleDeveloperToken(), BuiltInDeveloperToken);
    const QByteArray log = TestEnvironment::readAll(env.programDir() + "/Error.log");
    QVERIFY(log.contains("clsPreference_GetGDT at "));
    QVERIFY(log.contains("clsPreference_GetAGDT: "));
    QVERIFY(!log.contains("Zq4Wx8"));
    QVERIFY(!log.contains(uucode::Encode(QStringLiteral("Zq4Wx8")).toUtf8()));
    BuiltInDeveloperToken.clear();
}

void TestPreference::workingPath()
{
    TestEnvironment env;
    clsPreference p;
    QCOMPARE(p.GetWorkingPath(), env.programDir());
    store(HKEY_LOCAL_MACHINE, g_sPreferenceKey, "WorkingFolder", "/data/work/");
    clsPreference q;
    QCOMPARE(q.GetWorkingPath(), QStringLiteral("/data/work/"));
}

// The main window's last selection and bounds: current user only, written
// also before any save made the Preference key, and left alone by the
// saves of the table.
void TestPreference::windowStateStaysOutOfTheTable()
{
    TestEnvironment env;
    clsPreference window;
    QCOMPARE(window.GetLastSelectAcc(), QString());
    window.SetLastSelectAcc("Shop-Spring Sale");
    window.SetMainFormPos("1440,720,15000,10500");
    QCOMPARE(cu("LastSelectAcc"), QStringLiteral("Shop-Spring Sale"));
    QCOMPARE(cu("MainFormPos"), QStringLiteral("1440,720,15000,10500"));
    QCOMPARE(lm("LastSelectAcc"), QStringLiteral("<absent>"));
    QCOMPARE(lm("MainFormPos"), QStringLiteral("<absent>"));

    clsPreference settings;
    settings.GetSettings();
    setEveryPreference(settings, 7);
    settings.SaveSettings();
    QCOMPARE(clsPreference().GetLastSelectAcc(), QStringLiteral("Shop-Spring Sale"));
    QCOMPARE(cu("MainFormPos"), QStringLiteral("1440,720,15000,10500"));
}

// The save order comes from the rows themselves, whatever their number; a
// table whose positions skip or repeat one is refused (and then does not build).
void TestPreference::saveOrderFollowsTheTable_data()
{
    QTest::addColumn<QList<int>>("positions"); // of the rows, in table order
    QTest::addColumn<bool>("complete");
    QTest::addColumn<QList<int>>("written");   // the rows' indexes in save order

    QList<int> forty;
    QList<int> fortyWritten;
    for (const PlacedRow& row : kFortyRows)
        forty << row.savePosition;
    for (int i = 39; i >= 0; --i)
        fortyWritten << i;
    QTest::newRow("40 rows, last first") << forty << true << fortyWritten;
    // 7 and 41 have no common factor: row i is written at place 7 * i mod 41.
    QList<int> mixed;
    QList<int> mixedWritten(41);
    for (int i = 0; i < 41; ++i) {
        mixed << 7 * i % 41;
        mixedWritten[7 * i % 41] = i;
    }
    QTest::newRow("41 rows, mixed") << mixed << true << mixedWritten;
    QTest::newRow("in table order") << QList<int>{0, 1, 2} << true << QList<int>{0, 1, 2};
    QTest::newRow("no row") << QList<int>{} << true << QList<int>{};
    QTest::newRow("a position twice") << QList<int>{0, 1, 1} << false << QList<int>{};
    QTest::newRow("a position skipped") << QList<int>{0, 2, 3} << false << QList<int>{};
    QTest::newRow("a position past the last row") << QList<int>{0, 1, 3} << false << QList<int>{};
    QTest::newRow("a negative position") << QList<int>{-1, 0, 1} << false << QList<int>{};
}

void TestPreference::saveOrderFollowsTheTable()
{
    QFETCH(QList<int>, positions);
    QFETCH(bool, complete);
    QFETCH(QList<int>, written);
    std::vector<PlacedRow> rows;
    for (int p : positions)
        rows.push_back({p});
    QCOMPARE(SettingsTable::hasEverySavePosition(rows), complete);
    if (!complete)
        return;
    QList<int> order;
    for (const PlacedRow* row : SettingsTable::inSaveOrder(rows))
        order << int(row - rows.data());
    QCOMPARE(order, written);
}

QTEST_GUILESS_MAIN(TestPreference)
#include "tst_preference.moc"
