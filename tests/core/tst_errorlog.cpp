#include "core/modCommon.h"

#include "TestEnvironment.h"

#include <QtTest>

class TestErrorLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void recordsEndWithCrlfAndAreFlushed();
    void appendsNeverTruncates();
    void failedOpenStaysSilent();
};

void TestErrorLog::recordsEndWithCrlfAndAreFlushed()
{
    TestEnvironment env;
    const QString log = env.programDir() + QStringLiteral("/Error.log");
    modCommon::WriteErrorLog(QStringLiteral("a"));
    // Flushed at once: another reader sees the record while the log is open.
    QCOMPARE(TestEnvironment::readAll(log), QByteArray("a\r\n"));
    modCommon::WriteErrorLog(QStringLiteral("b"));
    modCommon::WriteErrorLog(QStringLiteral("\r\nmulti\r\nline caf\u00E9"));
    QCOMPARE(TestEnvironment::readAll(log), QByteArray("a\r\nb\r\n\r\nmulti\r\nline caf\xC3\xA9\r\n"));
}

void TestErrorLog::appendsNeverTruncates()
{
    TestEnvironment env;
    const QString log = env.programDir() + QStringLiteral("/Error.log");
    QVERIFY(TestEnvironment::writeAll(log, "earlier run\r\n"));
    modCommon::WriteErrorLog(QStringLiteral("a"));
    modCommon::CloseErrorLog(); // a new run opens the log again
    modCommon::WriteErrorLog(QStringLiteral("b"));
    QCOMPARE(TestEnvironment::readAll(log), QByteArray("earlier run\r\na\r\nb\r\n"));
}

void TestErrorLog::failedOpenStaysSilent()
{
    TestEnvironment env;
    const QString log = env.programDir() + QStringLiteral("/Error.log");
    QVERIFY(QDir().mkpath(log)); // a folder where the log should be: the open fails
    modCommon::WriteErrorLog(QStringLiteral("lost"));
    modCommon::WriteErrorLog(QStringLiteral("lost too"));
    QVERIFY(QFileInfo(log).isDir());
    QVERIFY(QDir().rmdir(log));
    // The run does not try again.
    modCommon::WriteErrorLog(QStringLiteral("still lost"));
    QVERIFY(!QFile::exists(log));
}

QTEST_GUILESS_MAIN(TestErrorLog)
#include "tst_errorlog.moc"
