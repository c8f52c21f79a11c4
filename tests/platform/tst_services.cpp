#include "platform/Delay.h"
#include "platform/Locations.h"
#include "platform/Prompter.h"
#include "platform/ShellOpener.h"
#include "platform/WaitCursor.h"

#include "RecordingShellOpener.h"
#include "TestEnvironment.h"

#include <QtTest>

using namespace platform;

namespace {

class CountingPointer final : public BusyPointer
{
public:
    void show() override { ++shown; }
    void restore() override { ++restored; }
    int shown = 0;
    int restored = 0;
};

} // namespace

class TestServices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void withoutDesktopMessagesGetTheAnswerThatChangesNothing_data();
    void withoutDesktopMessagesGetTheAnswerThatChangesNothing();
    void withoutDesktopDialogsAreCancelledAndNothingOpens();
    void waitCursorRestoresThePointerItShowed();
    void shellOpenUsesTheOpener();
    void windowsDir();
    void delayReturnsAfterTheTime();
};

void TestServices::withoutDesktopMessagesGetTheAnswerThatChangesNothing_data()
{
    QTest::addColumn<MsgButtons>("buttons");
    QTest::addColumn<MsgResult>("answer");
    QTest::newRow("OK") << MsgButtons::OK << MsgResult::OK;
    QTest::newRow("OK/Cancel") << MsgButtons::OKCancel << MsgResult::OK;
    QTest::newRow("Yes/No") << MsgButtons::YesNo << MsgResult::No;
    QTest::newRow("Yes/No/Cancel") << MsgButtons::YesNoCancel << MsgResult::No;
    QTest::newRow("Retry/Cancel") << MsgButtons::RetryCancel << MsgResult::Cancel;
}

void TestServices::withoutDesktopMessagesGetTheAnswerThatChangesNothing()
{
    QFETCH(MsgButtons, buttons);
    QFETCH(MsgResult, answer);
    QCOMPARE(MsgBox(QStringLiteral("Replace the file?"), buttons, MsgIcon::Question, QStringLiteral("Save File")),
             answer);
}

void TestServices::withoutDesktopDialogsAreCancelledAndNothingOpens()
{
    FileDialogRequest request;
    request.save = true;
    request.suggestedName = QStringLiteral("x.txt");
    QCOMPARE(prompter().fileDialog(request), QString());
    QCOMPARE(prompter().browseForFolder(QStringLiteral("Folder"), QStringLiteral("/tmp")), QString());
    QVERIFY(!shellOpener().open(QStringLiteral("http://www.example.com")));
}

void TestServices::waitCursorRestoresThePointerItShowed()
{
    { const WaitCursor nothingInstalled; }
    CountingPointer first;
    CountingPointer second;
    setBusyPointer(&first);
    {
        const WaitCursor outer;
        {
            const WaitCursor inner;
            QCOMPARE(first.shown, 2);
        }
        QCOMPARE(first.restored, 1);
        setBusyPointer(&second);
    }
    QCOMPARE(first.restored, 2);
    QCOMPARE(second.restored, 0);
    setBusyPointer(nullptr);
}

void TestServices::shellOpenUsesTheOpener()
{
    RecordingShellOpener opener;
    QCOMPARE(ShellOpen(QStringLiteral("http://example.com/a b?x=\"1\"; rm -rf"), 1), 1);
    QCOMPARE(opener.targets, QStringList{QStringLiteral("http://example.com/a b?x=\"1\"; rm -rf")});
    opener.result = false;
    QCOMPARE(ShellOpen(QStringLiteral("/missing.pdf"), 10), 0);
}

void TestServices::windowsDir()
{
    TestEnvironment env;
    QCOMPARE(Locations::GetWindowsDir(), env.windowsDir() + QLatin1Char('/'));
    qputenv("QUILLMARK_WINDOWS_DIR", "/opt/sys/");
    QCOMPARE(Locations::GetWindowsDir(), QStringLiteral("/opt/sys/"));
}

void TestServices::delayReturnsAfterTheTime()
{
    QElapsedTimer t;
    t.start();
    Delay(0);
    Delay(-5);
    QVERIFY(t.elapsed() < 500);
    bool ran = false;
    QTimer::singleShot(10, this, [&ran] { ran = true; });
    Delay(1);
    QVERIFY(t.elapsed() >= 1000);
    QVERIFY(ran); // events keep running during the wait
}

QTEST_GUILESS_MAIN(TestServices)
#include "tst_services.moc"
