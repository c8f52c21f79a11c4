#include "app/modStartUp.h"
#include "core/Globals.h"
#include "core/RegistryAPI.h"
#include "core/Version.h"

#include "ScriptedPrompter.h"
#include "SettingsFixture.h"
#include "TestEnvironment.h"

#include <QtTest>

using namespace RegistryAPI;
using namespace testsettings;

namespace {

const QByteArray kCrlf = "\r\n";

// Runs the program in env's folders; it closes its window once the event
// loop runs. Returns the exit code (-1 when it did not finish).
int runProgram(QProcess& process, bool quitAfterStart = true)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("QUILLMARK_TEST", "1");
    if (quitAfterStart)
        environment.insert("QUILLMARK_QUIT_AFTER_START", "1");
    else
        environment.remove("QUILLMARK_QUIT_AFTER_START");
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QUILLMARK_EXE), {});
    if (!process.waitForStarted())
        return -1;
    if (!quitAfterStart)
        return 0;
    if (!process.waitForFinished(60000))
        return -1;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

int runProgram()
{
    QProcess process;
    return runProgram(process);
}

QString hklm(const QString& key, const QString& name)
{
    return stored(HKEY_LOCAL_MACHINE, key, name);
}

} // namespace

class TestStartUp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { BuildKeyPaths(); }
    void header();
    void errorLogRotation_data();
    void errorLogRotation();
    void errorLogKeptWhenCopyFails();
    void mailLogTrim_data();
    void mailLogTrim();
    void firstRunOnlyOnce();
    void engineMigration();
    void engineMigrationConflict();
    void accountFileWrittenOnlyWhenItChanges_data();
    void accountFileWrittenOnlyWhenItChanges();
    void headerComesBeforeWhatTheFirstStepsLog();
    void secondInstanceRefused();
    void workingFolder_data();
    void workingFolder();
};

void TestStartUp::header()
{
    TestEnvironment env;
    QCOMPARE(runProgram(), 0);
    const QByteArray log = TestEnvironment::readAll(env.programDir() + "/Error.log");
    const QList<QByteArray> lines = log.split('\n');
    QVERIFY2(lines.size() >= 9, log.constData());
    QCOMPARE(lines.at(0), QByteArray("\r"));
    const QStringList v = Version::text().split('.');
    const QByteArray version = (v.at(0) + "." + v.at(1) + "." + QString::number(v.at(2).toInt()).rightJustified(2, '0')).toUtf8();
    QCOMPARE(lines.at(1), "PPC Quillmark - Version: " + version + "\r");
    QVERIFY(lines.at(2).startsWith(" Time: "));
    QVERIFY(lines.at(2).size() > 9);
    QCOMPARE(lines.at(3), QByteArray(60, '-') + "\r");
    QCOMPARE(lines.at(4), "AppPath: " + env.programDir().toUtf8() + "\r");
    QCOMPARE(lines.at(5), "WorkingFolder: " + env.programDir().toUtf8() + "\r");
    QCOMPARE(lines.at(6), QByteArray("loading frmMain .....\r"));
    QCOMPARE(lines.at(7), QByteArray("ChangeEngineFolder: save account file\"\r"));
    // Showing the main window runs its load before Main ends.
    QCOMPARE(lines.at(8), QByteArray("frmMain form load start \r"));
    QVERIFY(log.contains("frmMain: form load completed.\r\nend of modStartUp\r\n"));
    // The current user's Preference key exists after a start.
    SetRegistryValue(HKEY_CURRENT_USER, g_sPreferenceKey, "MainFormPos", REG_SZ, "1");
    QCOMPARE(stored(HKEY_CURRENT_USER, g_sPreferenceKey, "MainFormPos"), QStringLiteral("1"));
}

void TestStartUp::errorLogRotation_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("rotated");
    QTest::newRow("exactly 500000 stays") << 500000 << false;
    QTest::newRow("500001 is rotated") << 500001 << true;
}

void TestStartUp::errorLogRotation()
{
    QFETCH(int, size);
    QFETCH(bool, rotated);
    TestEnvironment env;
    const QString log = env.programDir() + "/Error.log";
    QByteArray old(size, 'x');
    old.replace(0, 3, "OLD");
    QVERIFY(TestEnvironment::writeAll(log, old));
    // An older copy of the same day is replaced.
    const QString backup = env.programDir() + "/backup/Error.log." + QDate::currentDate().toString("yyyyMMdd");
    QVERIFY(TestEnvironment::writeAll(backup, "earlier copy"));
    QCOMPARE(runProgram(), 0);
    const QByteArray now = TestEnvironment::readAll(log);
    if (rotated) {
        QCOMPARE(TestEnvironment::readAll(backup), old);
        QVERIFY(now.startsWith("\r\nPPC Quillmark - Version: "));
    } else {
        QCOMPARE(TestEnvironment::readAll(backup), QByteArray("earlier copy"));
        QVERIFY(now.startsWith(old + "\r\nPPC Quillmark - Version: "));
    }
}

void TestStartUp::errorLogKeptWhenCopyFails()
{
    TestEnvironment env;
    const QString log = env.programDir() + "/Error.log";
    const QByteArray old(500001, 'x');
    QVERIFY(TestEnvironment::writeAll(log, old));
    // A plain file named "backup" leaves no folder to copy into.
    QVERIFY(TestEnvironment::writeAll(env.programDir() + "/backup", "not a folder"));
    QCOMPARE(runProgram(), 0);
    QVERIFY(TestEnvironment::readAll(log).startsWith(old + "\r\nPPC Quillmark - Version: "));
}

void TestStartUp::mailLogTrim_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("kept");
    QTest::newRow("500000 stays") << 500000 << true;
    QTest::newRow("500001 is deleted") << 500001 << false;
}

void TestStartUp::mailLogTrim()
{
    QFETCH(int, size);
    QFETCH(bool, kept);
    TestEnvironment env;
    const QString mail = env.programDir() + "/sendmail.log";
    QVERIFY(TestEnvironment::writeAll(mail, QByteArray(size, 'm')));
    QCOMPARE(runProgram(), 0);
    QCOMPARE(QFile::exists(mail), kept);
    QVERIFY(!QFile::exists(env.programDir() + "/backup/sendmail.log"));
}

void TestStartUp::firstRunOnlyOnce()
{
    TestEnvironment env;
    QCOMPARE(runProgram(), 0);
    QCOMPARE(hklm(g_sVersionKey, "Version"), Version::text());
    QCOMPARE(hklm(g_sVersionKey, "Location"), env.programDir());
    store(HKEY_LOCAL_MACHINE, g_sVersionKey, "Location", "elsewhere");
    QCOMPARE(runProgram(), 0);
    QCOMPARE(hklm(g_sVersionKey, "Location"), QStringLiteral("elsewhere"));
}

void TestStartUp::engineMigration()
{
    TestEnvironment env;
    const QString work = env.programDir();
    QVERIFY(TestEnvironment::writeAll(work + "/Account.vxp",
                                      "[Yahoo]\r\na=1\r\n[Yahoo(UK)]\r\nb=2\r\n[Yahoo!]\r\nc=3\r\n[yahoo]"));
    QVERIFY(QDir().mkpath(work + "/Accounts/Yahoo/Camp"));
    QVERIFY(QDir().mkpath(work + "/reports/Yahoo(UK)"));
    QCOMPARE(runProgram(), 0);
    const QByteArray text = TestEnvironment::readAll(work + "/Account.vxp");
    QVERIFY2(text.startsWith("[Yahoo!]\r\na=1\r\n[Yahoo!(UK)]\r\nb=2\r\n[Yahoo!]\r\nc=3\r\n[yahoo]"), text.constData());
    QVERIFY(QFileInfo(work + "/Accounts/Yahoo!/Camp").isDir());
    QVERIFY(!QFileInfo::exists(work + "/Accounts/Yahoo"));
    QVERIFY(QFileInfo(work + "/reports/Yahoo!(UK)").isDir());
    QVERIFY(!QFileInfo::exists(work + "/reports/Yahoo(UK)"));
}

void TestStartUp::engineMigrationConflict()
{
    TestEnvironment env;
    const QString work = env.programDir();
    QVERIFY(QDir().mkpath(work + "/Accounts/Yahoo"));
    QVERIFY(QDir().mkpath(work + "/Accounts/Yahoo!"));
    QVERIFY(QDir().mkpath(work + "/reports/Yahoo"));
    QCOMPARE(runProgram(), 0);
    QVERIFY(QFileInfo::exists(work + "/Account.vxp")); // created although it was missing
    const QByteArray log = TestEnvironment::readAll(work + "/Error.log");
    QVERIFY(log.contains("modStartUp_ChangeEngineFolder_Error: "));
    QVERIFY(QFileInfo(work + "/Accounts/Yahoo").isDir());
    QVERIFY(QFileInfo(work + "/reports/Yahoo").isDir()); // later steps skipped
    QVERIFY(log.contains("end of modStartUp"));
}

void TestStartUp::accountFileWrittenOnlyWhenItChanges_data()
{
    QTest::addColumn<QByteArray>("before"); // "<missing>": no file
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<bool>("saved");
    QTest::newRow("nothing to rename: left alone") << QByteArray("[Google]\r\na=1") << QByteArray("[Google]\r\na=1")
                                                   << false;
    QTest::newRow("empty file left alone") << QByteArray() << QByteArray() << false;
    QTest::newRow("missing file created") << QByteArray("<missing>") << QByteArray("\r\n") << true;
    QTest::newRow("old name renamed") << QByteArray("[Yahoo]\r\nb=2") << QByteArray("[Yahoo!]\r\nb=2\r\n") << true;
}

void TestStartUp::accountFileWrittenOnlyWhenItChanges()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(bool, saved);
    TestEnvironment env;
    ScriptedPrompter prompter;
    g_sWorkingFolder = env.path("work");
    const QString account = g_sWorkingFolder + "/Account.vxp";
    QVERIFY(QDir().mkpath(g_sWorkingFolder));
    if (before != "<missing>")
        QVERIFY(TestEnvironment::writeAll(account, before));
    modStartUp::ChangeEngineFolder();
    QCOMPARE(TestEnvironment::readAll(account), after);
    QCOMPARE(TestEnvironment::readAll(env.programDir() + "/Error.log").contains("save account file"), saved);
    QCOMPARE(prompter.messages.size(), 0);
}

void TestStartUp::headerComesBeforeWhatTheFirstStepsLog()
{
    TestEnvironment env;
    // A file where the registry folder should be: no hive can be saved.
    QVERIFY(TestEnvironment::writeAll(env.path("blocked"), "a file"));
    qputenv("QUILLMARK_REGISTRY_DIR", QFile::encodeName(env.path("blocked/registry")));
    QCOMPARE(runProgram(), 0);
    const QByteArray log = TestEnvironment::readAll(env.programDir() + "/Error.log");
    QVERIFY2(log.startsWith("\r\nPPC Quillmark - Version: "), log.constData());
    QVERIFY(log.contains("WorkingFolder: " + env.programDir().toUtf8() + "\r\nRegistryAPI_CreateRegistryKey:  "));
}

void TestStartUp::secondInstanceRefused()
{
    TestEnvironment env;
    const QString log = env.programDir() + "/Error.log";
    QProcess first;
    QCOMPARE(runProgram(first, false), 0);
    QTRY_VERIFY_WITH_TIMEOUT(TestEnvironment::readAll(log).contains("end of modStartUp"), 60000);
    const QByteArray before = TestEnvironment::readAll(log);

    QProcess second;
    QCOMPARE(runProgram(second), 0);
    const QByteArray message = second.readAllStandardError();
    QVERIFY2(message.contains("PPC Quillmark: An instance of this program is already running. You can not start two "
                              "instances at the same time."),
             message.constData());
    QCOMPARE(TestEnvironment::readAll(log), before);

    first.kill();
    first.waitForFinished();
}

void TestStartUp::workingFolder_data()
{
    QTest::addColumn<QString>("setting");   // relative to the test folder
    QTest::addColumn<QString>("expected");  // relative to the test folder; "<program>" for the program folder
    QTest::addColumn<bool>("logged");
    QTest::addColumn<QString>("reason");    // what the error line says after the path
    QTest::newRow("trailing separator dropped") << "work/" << "work" << false << "";
    QTest::newRow("missing folder created") << "fresh" << "fresh" << false << "";
    QTest::newRow("missing parent falls back") << "no/such/folder" << "<program>" << true
                                               << "No such file or directory";
    QTest::newRow("a file in its place falls back") << "plain.txt" << "<program>" << true << "File exists";
}

void TestStartUp::workingFolder()
{
    QFETCH(QString, setting);
    QFETCH(QString, expected);
    QFETCH(bool, logged);
    QFETCH(QString, reason);
    TestEnvironment env;
    QDir().mkpath(env.path("work"));
    QVERIFY(TestEnvironment::writeAll(env.path("plain.txt"), "a file"));
    store(HKEY_LOCAL_MACHINE, g_sPreferenceKey, "WorkingFolder", env.path(setting));
    const QString result = modStartUp::GetWorkingFolder();
    QCOMPARE(result, expected == "<program>" ? env.programDir() : env.path(expected));
    QVERIFY(QFileInfo(result).isDir());
    const QByteArray log = TestEnvironment::readAll(env.programDir() + "/Error.log");
    QCOMPARE(log.contains("modCommon_GetWorkingFolder_Error: "), logged);
    if (logged)
        QCOMPARE(log, "modCommon_GetWorkingFolder_Error: " + env.path(setting).toUtf8() + ": " + reason.toUtf8() + "\r\n");
}

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
