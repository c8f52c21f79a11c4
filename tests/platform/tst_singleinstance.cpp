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
};

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

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
