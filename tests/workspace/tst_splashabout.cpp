#include "CaptionFit.h"
#include "ModalWatcher.h"
#include "TestEnvironment.h"

#include "core/Globals.h"
#include "core/Version.h"
#include "platform/desktop/DesktopServices.h"
#include "settings/clsRegister.h"
#include "workspace/frmAbout.h"
#include "workspace/frmSplash.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class tst_SplashAbout : public QObject
{
    Q_OBJECT

    // The hourglass as the program shows it: the application's override cursor.
    platform::desktop::OverrideCursor m_pointer;

private slots:
    void initTestCase() { platform::setBusyPointer(&m_pointer); }
    void cleanupTestCase() { platform::setBusyPointer(nullptr); }

    void splashShowsTheLogoOfDealerAndTitle_data();
    void splashShowsTheLogoOfDealerAndTitle();
    void splashIsTopmostAndNotActivated();
    void splashClosesItselfAfterThreeSeconds();
    void splashClosedEarlyRestoresThePointer();

    void versionCaption_data();
    void versionCaption();
    void aboutShowsTitleVersionAndDealer();
    void aboutWithoutDealerValues();
    void aboutClosesWithOk();
};

void tst_SplashAbout::splashShowsTheLogoOfDealerAndTitle_data()
{
    QTest::addColumn<QString>("dealer");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("shown");
    QTest::newRow("maker") << "TWL" << "PPC Quillmark" << "imgLogo";
    QTest::newRow("maker, lower case") << "twl" << "PPC Quillmark" << "imgLogo";
    QTest::newRow("dealer KZV") << "KZV" << "PPC Quillmark" << "imgKZV";
    QTest::newRow("dealer kzv") << "kzv" << "PPC Quillmark" << "imgKZV";
    QTest::newRow("another dealer") << "ABC" << "PPC Quillmark" << "imgLogo";
    QTest::newRow("no dealer code") << "" << "PPC Quillmark" << "imgLogo";
    QTest::newRow("co-brand wins over KZV") << "KZV" << "Orrery PPC Quillmark" << "imgCoBrandLogoAdv";
    QTest::newRow("co-brand, any case") << "TWL" << "the ORRERY edition" << "imgCoBrandLogoAdv";
}

void tst_SplashAbout::splashShowsTheLogoOfDealerAndTitle()
{
    QFETCH(QString, dealer);
    QFETCH(QString, title);
    QFETCH(QString, shown);
    QPointer<frmSplash> splash = new frmSplash(dealer, title);
    splash->Form_Load();
    for (const char* name : {"imgLogo", "imgKZV", "imgCoBrandLogoAdv"}) {
        auto* logo = splash->findChild<QLabel*>(QLatin1String(name));
        QVERIFY(logo);
        QVERIFY(!logo->pixmap().isNull());
        QCOMPARE(logo->isVisible(), shown == QLatin1String(name));
    }
    splash->close();
    QTRY_VERIFY(!splash);
}

void tst_SplashAbout::splashIsTopmostAndNotActivated()
{
    QPointer<frmSplash> splash = new frmSplash(QStringLiteral("TWL"), AppTitle());
    splash->Form_Load();
    QVERIFY(splash->isVisible());
    QVERIFY(splash->isWindow());
    QVERIFY(splash->windowFlags() & Qt::WindowStaysOnTopHint);
    // Shown without activation, never taking the focus (the offscreen
    // platform activates every window, so only the request can be seen).
    QVERIFY(splash->testAttribute(Qt::WA_ShowWithoutActivating));
    QVERIFY(splash->windowFlags() & Qt::WindowDoesNotAcceptFocus);
    // The pointer is the hourglass while it shows.
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    splash->close();
    QTRY_VERIFY(!splash);
}

void tst_SplashAbout::splashClosesItselfAfterThreeSeconds()
{
    QPointer<frmSplash> splash = new frmSplash(QStringLiteral("TWL"), AppTitle());
    splash->Form_Load();
    auto* timer = splash->findChild<QTimer*>(QStringLiteral("Timer1"));
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 3000);
    QVERIFY(timer->isSingleShot());
    QVERIFY(timer->isActive());
    QTRY_VERIFY_WITH_TIMEOUT(!splash, 30000);
    QVERIFY(!QApplication::overrideCursor());
}

void tst_SplashAbout::splashClosedEarlyRestoresThePointer()
{
    QPointer<frmSplash> splash = new frmSplash(QStringLiteral("TWL"), AppTitle());
    splash->Form_Load();
    QVERIFY(QApplication::overrideCursor());
    splash->close();
    QVERIFY(!QApplication::overrideCursor());
    QTRY_VERIFY(!splash);
}

void tst_SplashAbout::versionCaption_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("revision");
    QTest::addColumn<QString>("caption");
    QTest::newRow("revision 3") << 1 << 0 << 3 << "1.0.03";
    QTest::newRow("revision 0") << 2 << 5 << 0 << "2.5.00";
    QTest::newRow("two digits") << 1 << 12 << 45 << "1.12.45";
    QTest::newRow("three digits") << 3 << 1 << 123 << "3.1.123";
}

void tst_SplashAbout::versionCaption()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, revision);
    QFETCH(QString, caption);
    QCOMPARE(Version::caption(major, minor, revision), caption);
}

void tst_SplashAbout::aboutShowsTitleVersionAndDealer()
{
    TestEnvironment env;
    clsRegister dealer;
    dealer.setDealername(QStringLiteral("Adwise Ltd"));
    dealer.setDealerEmail(QStringLiteral("help@adwise.example"));
    dealer.setDealerURL(QStringLiteral("http://adwise.example/"));
    frmAbout about(&dealer, AppTitle());
    QCOMPARE(about.windowTitle(), QStringLiteral("About PPC Quillmark"));
    const auto text = [&about](const char* name) { return about.findChild<QLabel*>(QLatin1String(name))->text(); };
    QCOMPARE(text("lblVersion"), QStringLiteral("Version: ") + QString::number(Version::Major) + QLatin1Char('.')
                                     + QString::number(Version::Minor) + QLatin1Char('.')
                                     + QString::number(Version::Revision).rightJustified(2, QLatin1Char('0')));
    QCOMPARE(text("lblDealer"),
             QStringLiteral("Adwise Ltd\nEmail: help@adwise.example\nWeb: http://adwise.example/"));
    QCOMPARE(text("Label2"), QStringLiteral("For Windows 95/98/2000/XP/NT/Vista/Windows 7"));
    QVERIFY(!about.findChild<QLabel*>(QStringLiteral("imgCoBrandLogo"))->pixmap().isNull());
    QVERIFY(about.isModal());

    // The box is as large as its texts need, and stays so.
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QCOMPARE(cutCaptions(&about), QStringList());
    const QSize opened = about.size();
    about.resize(opened * 2);
    QCoreApplication::processEvents();
    QCOMPARE(about.size(), opened);
}

void tst_SplashAbout::aboutWithoutDealerValues()
{
    TestEnvironment env;
    clsRegister dealer;
    frmAbout about(&dealer, AppTitle());
    QCOMPARE(about.findChild<QLabel*>(QStringLiteral("lblDealer"))->text(), QStringLiteral("\nEmail: \nWeb: "));
    frmAbout none(nullptr, AppTitle());
    QCOMPARE(none.findChild<QLabel*>(QStringLiteral("lblDealer"))->text(), QStringLiteral("\nEmail: \nWeb: "));
}

void tst_SplashAbout::aboutClosesWithOk()
{
    frmAbout about(nullptr, AppTitle());
    const ModalWatcher<frmAbout> ok(
        [](frmAbout& shown) { shown.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click(); });
    QCOMPARE(about.exec(), int(QDialog::Accepted));
    QVERIFY(ok.seen());
}

QTEST_MAIN(tst_SplashAbout)
#include "tst_splashabout.moc"
