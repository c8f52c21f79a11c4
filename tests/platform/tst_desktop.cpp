#include "platform/desktop/DesktopServices.h"

#include <QGuiApplication>
#include <QtTest>

using namespace platform;

class TestDesktop : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void servicesAreInstalledForTheirLifetime();
    void nestedWaitCursorsSetTheOverrideCursorOnce();
};

void TestDesktop::servicesAreInstalledForTheirLifetime()
{
    Prompter* console = &prompter();
    {
        const desktop::DesktopServices unattended(false);
        QCOMPARE(&prompter(), console);
        QVERIFY(dynamic_cast<desktop::DesktopShellOpener*>(&shellOpener()));
    }
    {
        const desktop::DesktopServices attended(true);
        QVERIFY(dynamic_cast<desktop::MessageBoxPrompter*>(&prompter()));
    }
    QCOMPARE(&prompter(), console);
    QVERIFY(!dynamic_cast<desktop::DesktopShellOpener*>(&shellOpener()));
}

void TestDesktop::nestedWaitCursorsSetTheOverrideCursorOnce()
{
    const desktop::DesktopServices services(false);
    QVERIFY(!QGuiApplication::overrideCursor());
    {
        const WaitCursor outer;
        {
            const WaitCursor inner;
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        QVERIFY(QGuiApplication::overrideCursor());
    }
    QVERIFY(!QGuiApplication::overrideCursor());
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
