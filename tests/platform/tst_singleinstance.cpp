#include "platform/SingleInstance.h"

#include "TestEnvironment.h"

#include <QtTest>

using platform::SingleInstance;

class TestSingleInstance : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void secondCopyIsRefusedAndRaisesTheFirst();
    void lockIsFreedWhenTheFirstEnds();
    void secondProcessIsRefused();
    void programFolderWithoutRoomForALockStillRefusesASecondProcess();
};

namespace {

// Runs si_probe (it inherits the test's folders) while keeping our event loop
// running so that a first copy in this process can answer it.
int runProbe()
{
    QProcess probe;
    probe.start(QStringLiteral(SI_PROBE), {});
    if (!probe.waitForStarted())
        return -1;
    QDeadlineTimer deadline(10000);
    while (probe.state() != QProcess::NotRunning && !deadline.hasExpired())
        QTest::qWait(10);
    return probe.exitStatus() == QProcess::NormalExit ? probe.exitCode() : -2;
}

} // namespace

void TestSingleInstance::secondCopyIsRefusedAndRaisesTheFirst()
{
    TestEnvironment env;
    SingleInstance first;
    QVERIFY(first.tryAcquire());
    QVERIFY(QFile::exists(first.lockFilePath()));
    QVERIFY(first.lockFilePath().startsWith(env.programDir()));
    QSignalSpy raised(&first, &SingleInstance::activationRequested);

    SingleInstance second;
    QVERIFY(!second.tryAcquire());
    QVERIFY(second.activateRunning());
    QVERIFY(raised.wait(5000));
    QCOMPARE(raised.count(), 1);
}

void TestSingleInstance::lockIsFreedWhenTheFirstEnds()
{
    TestEnvironment env;
    {
        SingleInstance first;
        QVERIFY(first.tryAcquire());
    }
    SingleInstance next;
    QVERIFY(next.tryAcquire());
    // Nobody else runs: asking for activation reaches only ourselves.
    QSignalSpy raised(&next, &SingleInstance::activationRequested);
    QVERIFY(next.activateRunning());
    QVERIFY(raised.wait(5000));
}

void TestSingleInstance::secondProcessIsRefused()
{
    TestEnvironment env;
    auto first = std::make_unique<SingleInstance>();
    QVERIFY(first->tryAcquire());
    QSignalSpy raised(first.get(), &SingleInstance::activationRequested);

    QCOMPARE(runProbe(), 1); // refused, and the request was delivered
    QTRY_COMPARE(raised.count(), 1);
    // The refused start wrote no log.
    QVERIFY(!QFile::exists(env.programDir() + QStringLiteral("/Error.log")));

    // Once the first copy is gone, the next start gets the lock.
    first.reset();
    QCOMPARE(runProbe(), 0);
}

void TestSingleInstance::programFolderWithoutRoomForALockStillRefusesASecondProcess()
{
    // No lock file can be made where a plain file stands in the program
    // folder's path (as in a folder the user may not write).
    TestEnvironment env;
    QVERIFY(TestEnvironment::writeAll(env.path(QStringLiteral("file")), "not a folder"));
    qputenv("QUILLMARK_PROGRAM_DIR", QFile::encodeName(env.path(QStringLiteral("file/program"))));
    auto first = std::make_unique<SingleInstance>();
    QVERIFY(first->tryAcquire());
    QSignalSpy raised(first.get(), &SingleInstance::activationRequested);

    QCOMPARE(runProbe(), 1);
    QTRY_COMPARE(raised.count(), 1);
    first.reset();
    QCOMPARE(runProbe(), 0);
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
