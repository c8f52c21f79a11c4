#include "core/RegistryAPI.h"
#include "platform/Registry.h"

#include "RootObeysPermissions.h"
#include "TestEnvironment.h"

#include <QtTest>

using namespace RegistryAPI;

namespace {

const QString kKey = QStringLiteral("Software\\Tarnwell\\PPC Quillmark v1\\Preference");

QString get(Root root, const QString& key, const QString& name, const QVariant& def = QStringLiteral("<default>"))
{
    return GetRegistryValue(root, key, name, REG_SZ, def).toString();
}

} // namespace

class TestRegistry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void oddNamesRoundTrip();
    void keyExistsApartFromItsValues();
    void setWithoutKeyDoesNothing();
    void namesIgnoreCaseAndKeepIt();
    void missingValueGivesDefaultOfAnyType();
    void unsupportedTypeIsLoggedAndGivesDefault();
    void hivesAreSeparate();
    void hiveFileIsPrivateAndReadable();
    void changesOnDiskAndFolderSwitchAreSeen();
    void unreadableHiveIsNeverOverwritten();
    void unreadableHiveIsNamedOnce();
    void unreadableLinesAreLoggedOnce();
};

void TestRegistry::roundTrip_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << QStringLiteral("C:/work");
    QTest::newRow("empty") << QString();
    QTest::newRow("1023 chars") << QString(1023, QLatin1Char('x'));
    // The old 1024-character buffer lost longer values; they must come back whole.
    QTest::newRow("5000 chars") << QString(5000, QLatin1Char('y'));
    QTest::newRow("line breaks") << QStringLiteral("a\r\nb\nc\r");
    QTest::newRow("ini specials") << QStringLiteral("[x]=y;z # \"q\" \\n \\");
    QTest::newRow("blanks at both ends") << QStringLiteral("  padded\t ");
    QTest::newRow("control and percent") << QStringLiteral("%41 \x01\x1f tab\t");
    QTest::newRow("unicode") << QStringLiteral("caf\u00E9 \u20AC \U0001F600");
    QTest::newRow("number text") << QStringLiteral("-1");
}

void TestRegistry::roundTrip()
{
    QFETCH(QString, value);
    TestEnvironment env;
    CreateRegistryKey(HKEY_CURRENT_USER, kKey);
    SetRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("Value"), REG_SZ, value);
    QCOMPARE(get(HKEY_CURRENT_USER, kKey, QStringLiteral("Value")), value);
    // ... also after reading the file afresh.
    platform::Registry::reset();
    QCOMPARE(get(HKEY_CURRENT_USER, kKey, QStringLiteral("Value")), value);
}

void TestRegistry::oddNamesRoundTrip()
{
    TestEnvironment env;
    const QString key = QStringLiteral("Software\\[odd] key = 100% \r\n\\ end ]");
    const QString name = QStringLiteral(" \"name\" = [x] ");
    CreateRegistryKey(HKEY_CURRENT_USER, key);
    SetRegistryValue(HKEY_CURRENT_USER, key, name, REG_SZ, QStringLiteral("v"));
    SetRegistryValue(HKEY_CURRENT_USER, key, QString(), REG_SZ, QStringLiteral("default value"));
    platform::Registry::reset();
    QCOMPARE(get(HKEY_CURRENT_USER, key, name), QStringLiteral("v"));
    QCOMPARE(get(HKEY_CURRENT_USER, key, QString()), QStringLiteral("default value"));
    QCOMPARE(get(HKEY_CURRENT_USER, QStringLiteral("Software\\[odd] key = 100% \r"), name),
             QStringLiteral("<default>"));
}

void TestRegistry::keyExistsApartFromItsValues()
{
    TestEnvironment env;
    QVERIFY(!platform::Registry::keyExists(platform::Registry::Hive::CurrentUser, kKey));
    QCOMPARE(CreateRegistryKey(HKEY_CURRENT_USER, kKey), false); // created now
    platform::Registry::reset();
    // The empty key and its parents survive in the file.
    QVERIFY(platform::Registry::keyExists(platform::Registry::Hive::CurrentUser, kKey));
    QVERIFY(platform::Registry::keyExists(platform::Registry::Hive::CurrentUser,
                                          QStringLiteral("Software\\Tarnwell")));

    SetRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("A"), REG_SZ, QStringLiteral("1"));
    QCOMPARE(CreateRegistryKey(HKEY_CURRENT_USER, kKey), true); // existed
    QCOMPARE(get(HKEY_CURRENT_USER, kKey, QStringLiteral("A")), QStringLiteral("1"));
}

void TestRegistry::setWithoutKeyDoesNothing()
{
    TestEnvironment env;
    SetRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("A"), REG_SZ, QStringLiteral("1"));
    QVERIFY(!platform::Registry::keyExists(platform::Registry::Hive::CurrentUser, kKey));
    QCOMPARE(get(HKEY_CURRENT_USER, kKey, QStringLiteral("A")), QStringLiteral("<default>"));
    QVERIFY(!QFile::exists(platform::Registry::hiveFile(platform::Registry::Hive::CurrentUser)));
    QCOMPARE(TestEnvironment::readAll(env.programDir() + QStringLiteral("/Error.log")), QByteArray());

    // A parent key is not enough.
    CreateRegistryKey(HKEY_CURRENT_USER, QStringLiteral("Software\\Tarnwell"));
    SetRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("A"), REG_SZ, QStringLiteral("1"));
    QVERIFY(!platform::Registry::keyExists(platform::Registry::Hive::CurrentUser, kKey));
}

void TestRegistry::namesIgnoreCaseAndKeepIt()
{
    TestEnvironment env;
    CreateRegistryKey(HKEY_CURRENT_USER, kKey);
    SetRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("WorkingFolder"), REG_SZ, QStringLiteral("one"));
    SetRegistryValue(HKEY_CURRENT_USER, kKey.toUpper(), QStringLiteral("WORKINGFOLDER"), REG_SZ,
                     QStringLiteral("two"));
    QCOMPARE(get(HKEY_CURRENT_USER, kKey.toLower(), QStringLiteral("workingfolder")), QStringLiteral("two"));
    QCOMPARE(CreateRegistryKey(HKEY_CURRENT_USER, kKey.toLower()), true);

    const QByteArray file = TestEnvironment::readAll(
        platform::Registry::hiveFile(platform::Registry::Hive::CurrentUser));
    QVERIFY(file.contains("[Software\\Tarnwell\\PPC Quillmark v1\\Preference]"));
    QVERIFY(file.contains("\"WorkingFolder\"=\"two\""));
    QCOMPARE(file.count("WorkingFolder"), 1);
    QVERIFY(!file.toLower().contains("\"workingfolder\"=\"one\""));
}

void TestRegistry::missingValueGivesDefaultOfAnyType()
{
    TestEnvironment env;
    CreateRegistryKey(HKEY_CURRENT_USER, kKey);
    QCOMPARE(GetRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("Nope"), REG_SZ, 30), QVariant(30));
    QCOMPARE(GetRegistryValue(HKEY_CURRENT_USER, QStringLiteral("No\\Key"), QStringLiteral("X"), REG_SZ,
                              QStringLiteral("d")),
             QVariant(QStringLiteral("d")));
}

void TestRegistry::unsupportedTypeIsLoggedAndGivesDefault()
{
    TestEnvironment env;
    CreateRegistryKey(HKEY_CURRENT_USER, kKey);
    SetRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("A"), REG_SZ, QStringLiteral("text"));
    QCOMPARE(GetRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("A"), 4, QStringLiteral("d")).toString(),
             QStringLiteral("d"));
    SetRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("A"), 4, QStringLiteral("other"));
    QCOMPARE(get(HKEY_CURRENT_USER, kKey, QStringLiteral("A")), QStringLiteral("text"));
    QCOMPARE(TestEnvironment::readAll(env.programDir() + QStringLiteral("/Error.log")),
             QByteArray("RegistryAPI_GetRegistryValue: Unsupported value type\r\n"));
}

void TestRegistry::hivesAreSeparate()
{
    TestEnvironment env;
    CreateRegistryKey(HKEY_LOCAL_MACHINE, kKey);
    SetRegistryValue(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("CTK"), REG_SZ, QStringLiteral("machine"));
    QCOMPARE(get(HKEY_CURRENT_USER, kKey, QStringLiteral("CTK")), QStringLiteral("<default>"));
    QCOMPARE(get(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("CTK")), QStringLiteral("machine"));
    QVERIFY(QFile::exists(env.registryDir() + QStringLiteral("/HKEY_LOCAL_MACHINE.reg")));
    QVERIFY(!QFile::exists(env.registryDir() + QStringLiteral("/HKEY_CURRENT_USER.reg")));
}

void TestRegistry::hiveFileIsPrivateAndReadable()
{
    TestEnvironment env;
    CreateRegistryKey(HKEY_CURRENT_USER, kKey);
    SetRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("Pass word"), REG_SZ, QStringLiteral("a\"b\r\nc"));
    const QString file = env.registryDir() + QStringLiteral("/HKEY_CURRENT_USER.reg");
    QCOMPARE(QFileInfo(file).permissions() & 0x0777,
             QFileDevice::ReadUser | QFileDevice::WriteUser);
    const QByteArray bytes = TestEnvironment::readAll(file);
    QVERIFY2(bytes.contains("\"Pass word\"=\"a\\\"b\\r\\nc\"\n"), bytes.constData());
}

void TestRegistry::changesOnDiskAndFolderSwitchAreSeen()
{
    TestEnvironment env;
    CreateRegistryKey(HKEY_CURRENT_USER, kKey);
    SetRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("A"), REG_SZ, QStringLiteral("1"));

    // Another program rewrites the hive.
    const QString file = env.registryDir() + QStringLiteral("/HKEY_CURRENT_USER.reg");
    QVERIFY(TestEnvironment::writeAll(file, "[" + kKey.toUtf8() + "]\r\n\"A\"=\"changed on disk\"\r\n"));
    QCOMPARE(get(HKEY_CURRENT_USER, kKey, QStringLiteral("A")), QStringLiteral("changed on disk"));

    // The registry folder moves: the cached hive is not used for the new one.
    const QString moved = env.path(QStringLiteral("moved"));
    qputenv("QUILLMARK_REGISTRY_DIR", QFile::encodeName(moved));
    QCOMPARE(get(HKEY_CURRENT_USER, kKey, QStringLiteral("A")), QStringLiteral("<default>"));
    CreateRegistryKey(HKEY_CURRENT_USER, kKey); // a missing folder is made
    SetRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("A"), REG_SZ, QStringLiteral("2"));
    QVERIFY(QFile::exists(moved + QStringLiteral("/HKEY_CURRENT_USER.reg")));
    qputenv("QUILLMARK_REGISTRY_DIR", QFile::encodeName(env.registryDir()));
    QCOMPARE(get(HKEY_CURRENT_USER, kKey, QStringLiteral("A")), QStringLiteral("changed on disk"));
}

void TestRegistry::unreadableHiveIsNeverOverwritten()
{
    TestEnvironment env;
    const QString file = env.registryDir() + QStringLiteral("/HKEY_CURRENT_USER.reg");
    const QByteArray stored = "[" + kKey.toUtf8() + "]\r\n\"A\"=\"kept\"\r\n";
    QVERIFY(TestEnvironment::writeAll(file, stored));
    QVERIFY(QFile::setPermissions(file, QFileDevice::WriteOwner));
    {
        const RootObeysPermissions asAnyUser;
        QFile probe(file);
        QVERIFY2(!probe.open(QIODevice::ReadOnly), "a file without read permission can be read");

        CreateRegistryKey(HKEY_CURRENT_USER, kKey);
        SetRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("B"), REG_SZ, QStringLiteral("new"));
    }
    QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QCOMPARE(TestEnvironment::readAll(file), stored);
}

void TestRegistry::unreadableHiveIsNamedOnce()
{
    TestEnvironment env;
    const QString file = env.registryDir() + QStringLiteral("/HKEY_CURRENT_USER.reg");
    QVERIFY(QDir().mkpath(file)); // a folder where the hive should be: it cannot be read
    QCOMPARE(get(HKEY_CURRENT_USER, kKey, QStringLiteral("A")), QStringLiteral("<default>"));
    QCOMPARE(get(HKEY_CURRENT_USER, kKey, QStringLiteral("B")), QStringLiteral("<default>"));
    CreateRegistryKey(HKEY_CURRENT_USER, kKey);
    CreateRegistryKey(HKEY_CURRENT_USER, kKey);

    // The user learns which file and why, once, and that it was left alone.
    const QByteArray log = TestEnvironment::readAll(env.programDir() + QStringLiteral("/Error.log"));
    const QByteArray named = "RegistryAPI: " + file.toUtf8() + ": it cannot be read (";
    QCOMPARE(log.count(named), 1);
    QVERIFY2(log.contains("); its values are not used and it is left as it is\r\n"), log.constData());
    QCOMPARE(log.count("RegistryAPI_CreateRegistryKey:  Cannot save the registry file " + file.toUtf8()
                       + ": it could not be read\r\n"),
             2);
    QVERIFY(QFileInfo(file).isDir());
}

void TestRegistry::unreadableLinesAreLoggedOnce()
{
    TestEnvironment env;
    const QString file = env.registryDir() + QStringLiteral("/HKEY_CURRENT_USER.reg");
    QVERIFY(TestEnvironment::writeAll(file, "[" + kKey.toUtf8() + "]\n\"Proxy\"=proxy.lan\n\"Port\"=\"3128\"\n"));
    QCOMPARE(get(HKEY_CURRENT_USER, kKey, QStringLiteral("Port")), QStringLiteral("3128"));
    QCOMPARE(get(HKEY_CURRENT_USER, kKey, QStringLiteral("Proxy")), QStringLiteral("<default>"));
    SetRegistryValue(HKEY_CURRENT_USER, kKey, QStringLiteral("Port"), REG_SZ, QStringLiteral("8080"));
    QCOMPARE(TestEnvironment::readAll(env.programDir() + QStringLiteral("/Error.log")),
             "RegistryAPI: " + file.toUtf8() + " line 2: a name or value not in quotes; the line is kept as it is\r\n");
    QVERIFY(TestEnvironment::readAll(file).contains("\n\"Proxy\"=proxy.lan\n"));
}

QTEST_GUILESS_MAIN(TestRegistry)
#include "tst_registry.moc"
