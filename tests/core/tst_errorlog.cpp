#include "core/ErrorLog.h"

#include "TestEnvironment.h"

#include <QtTest>

class TestErrorLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void recordsEndWithCrlfAndAreFlushed();
    void aLoggedTextKeepsToItsLine_data();
    void aLoggedTextKeepsToItsLine();
    void appendsNeverTruncates();
    void failedOpenStaysSilent();
    void heldRecordsFollowTheFirstRecord();
    void timeStamps_data();
    void timeStamps();
};

void TestErrorLog::recordsEndWithCrlfAndAreFlushed()
{
    TestEnvironment env;
    const QString log = env.programDir() + QStringLiteral("/Error.log");
    ErrorLog::WriteErrorLog(QStringLiteral("a"));
    // Flushed at once: another reader sees the record while the log is open.
    QCOMPARE(TestEnvironment::readAll(log), QByteArray("a\r\n"));
    ErrorLog::WriteErrorLog(QStringLiteral("b"));
    // A record may span several lines on purpose.
    ErrorLog::WriteErrorLogLines({QString(), QStringLiteral("multi"), QStringLiteral("line caf\u00E9")});
    QCOMPARE(TestEnvironment::readAll(log), QByteArray("a\r\nb\r\n\r\nmulti\r\nline caf\xC3\xA9\r\n"));
}

void TestErrorLog::aLoggedTextKeepsToItsLine_data()
{
    // Whatever a text holds, its record is one line: a line break in it is
    // written as an escape, so that no text forges a record of its own.
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("CRLF") << QStringLiteral("a\r\nb") << QByteArray("a\\r\\nb");
    QTest::newRow("LF") << QStringLiteral("a\nb") << QByteArray("a\\nb");
    QTest::newRow("CR") << QStringLiteral("a\rb") << QByteArray("a\\rb");
    QTest::newRow("at the end") << QStringLiteral("a\r\n") << QByteArray("a\\r\\n");
    QTest::newRow("vertical tab, form feed") << QStringLiteral("a\vb\fc") << QByteArray("a\\x0bb\\x0cc");
    QTest::newRow("Unicode line ends") << QStringLiteral("a\u0085b\u2028c\u2029d")
                                       << QByteArray("a\\u0085b\\u2028c\\u2029d");
    QTest::newRow("backslashes stay") << QStringLiteral("C:\\new\\file") << QByteArray("C:\\new\\file");
    QTest::newRow("tab stays") << QStringLiteral("a\tb") << QByteArray("a\tb");
}

void TestErrorLog::aLoggedTextKeepsToItsLine()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, written);
    TestEnvironment env;
    const QString log = env.programDir() + QStringLiteral("/Error.log");
    ErrorLog::WriteErrorLog(QStringLiteral("x: ") + text);
    // Every line of a record written on purpose keeps to its line too.
    ErrorLog::WriteErrorLogLines({QStringLiteral("y:"), text});
    // So do the records that wait for the start header, and the header.
    ErrorLog::HoldErrorLog();
    ErrorLog::WriteErrorLog(QStringLiteral("held: ") + text);
    ErrorLog::ReleaseErrorLog({QStringLiteral("header: ") + text});
    QCOMPARE(TestEnvironment::readAll(log), "x: " + written + "\r\ny:\r\n" + written + "\r\nheader: " + written
                                                + "\r\nheld: " + written + "\r\n");
}

void TestErrorLog::appendsNeverTruncates()
{
    TestEnvironment env;
    const QString log = env.programDir() + QStringLiteral("/Error.log");
    QVERIFY(TestEnvironment::writeAll(log, "earlier run\r\n"));
    ErrorLog::WriteErrorLog(QStringLiteral("a"));
    ErrorLog::CloseErrorLog(); // a new run opens the log again
    ErrorLog::WriteErrorLog(QStringLiteral("b"));
    QCOMPARE(TestEnvironment::readAll(log), QByteArray("earlier run\r\na\r\nb\r\n"));
}

void TestErrorLog::failedOpenStaysSilent()
{
    TestEnvironment env;
    const QString log = env.programDir() + QStringLiteral("/Error.log");
    QVERIFY(QDir().mkpath(log)); // a folder where the log should be: the open fails
    ErrorLog::WriteErrorLog(QStringLiteral("lost"));
    ErrorLog::WriteErrorLog(QStringLiteral("lost too"));
    QVERIFY(QFileInfo(log).isDir());
    QVERIFY(QDir().rmdir(log));
    // The run does not try again.
    ErrorLog::WriteErrorLog(QStringLiteral("still lost"));
    QVERIFY(!QFile::exists(log));
}

void TestErrorLog::heldRecordsFollowTheFirstRecord()
{
    TestEnvironment env;
    const QString log = env.programDir() + QStringLiteral("/Error.log");
    QVERIFY(TestEnvironment::writeAll(log, "earlier run\r\n"));
    ErrorLog::HoldErrorLog();
    ErrorLog::WriteErrorLog(QStringLiteral("early"));
    ErrorLog::CloseErrorLog(); // the rotation moves the log meanwhile
    QVERIFY(QFile::remove(log));
    QCOMPARE(TestEnvironment::readAll(log), QByteArray());
    ErrorLog::WriteErrorLog(QStringLiteral("later"));
    ErrorLog::ReleaseErrorLog({QStringLiteral("header")});
    ErrorLog::WriteErrorLog(QStringLiteral("after"));
    QCOMPARE(TestEnvironment::readAll(log), QByteArray("header\r\nearly\r\nlater\r\nafter\r\n"));
}

void TestErrorLog::timeStamps_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");
    QTest::newRow("US order, two-digit year widened") << "en_US" << "12/7/2026 3:05:09 PM";
    QTest::newRow("German order and dots") << "de_DE" << "07.12.2026 15:05:09";
    QTest::newRow("four-digit year already") << "en_GB" << "07/12/2026 15:05:09";
    QTest::newRow("dot between hours and minutes") << "fi_FI" << "7.12.2026 15.05.09";
    QTest::newRow("year first") << "ja_JP" << "2026/12/07 15:05:09";
    QTest::newRow("quoted words kept") << "bg_BG" << QStringLiteral("7.12.2026 \u0433. 15:05:09 \u0447.");
    QTest::newRow("seconds there already") << "C" << "7 Dec 2026 15:05:09";
}

void TestErrorLog::timeStamps()
{
    QFETCH(QString, locale);
    QFETCH(QString, expected);
    const QDateTime when(QDate(2026, 12, 7), QTime(15, 5, 9));
    QCOMPARE(ErrorLog::DateTimeText(when, QLocale(locale)), expected);
}

QTEST_GUILESS_MAIN(TestErrorLog)
#include "tst_errorlog.moc"
