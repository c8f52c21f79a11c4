#include "CaptionFit.h"
#include "LandingPageTyping.h"
#include "ModalWatcher.h"
#include "WorkingFolderFixture.h"

#include "core/Globals.h"
#include "settings/clsRegister.h"
#include "workspace/DockingPane.h"
#include "workspace/MainLayout.h"
#include "workspace/PaneRow.h"
#include "workspace/WindowCommands.h"
#include "workspace/frmAbout.h"
#include "workspace/frmMain.h"
#include "workspace/frmSplash.h"
#include "workspace/landing/LandingPageTab.h"
#include "workspace/landing/WebEngineSetup.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTreeView>
#include <QtTest>

namespace {

int px(const QWidget& w, int twips)
{
    return MainLayout::toPixels(twips, w.logicalDpiX());
}

bool near(int actual, int expected)
{
    return qAbs(actual - expected) <= 1;
}

// The frame of a widget in the main window's coordinates.
QRect frameIn(const frmMain& w, const QWidget* widget)
{
    return QRect(widget->mapTo(&w, QPoint(0, 0)), widget->size());
}

frmSplash* findSplash()
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == QLatin1String("frmSplash") && top->isVisible())
            return qobject_cast<frmSplash*>(top);
    }
    return nullptr;
}

// The dealer settings of a dealer file, as the start-up loads them.
void loadDealer(const TestEnvironment& env, const QByteArray& dealerSection)
{
    TestEnvironment::writeAll(env.windowsDir() + QStringLiteral("/quillmk.ini"), "[Dealer]\r\n" + dealerSection);
    g_oRegister = std::make_unique<clsRegister>();
    g_oRegister->GetSettings();
}

} // namespace

class tst_frmMainFrame : public QObject
{
    Q_OBJECT

public:
    static void initMain() { WebEngineSetup::prepare(); }

private slots:
    void cleanup() { g_oRegister.reset(); }

    void splashShowsAtLoadAndGoesWithTheWindow();
    void aboutFromTheHelpMenu();
    void paneColumnsFollowPinningAndEveryResize();
    void keywordBoxesAndListsTakeTheirShare();
    void captionsFitAtTheLeastSize_data();
    void captionsFitAtTheLeastSize();
    void landingPageIsSavedToItsOwnFileWhenTheCampaignChangesOrTheWindowCloses();
    void landingPageThatCannotBeSavedAtCloseAsksWhetherToClose_data();
    void landingPageThatCannotBeSavedAtCloseAsksWhetherToClose();
};

void tst_frmMainFrame::splashShowsAtLoadAndGoesWithTheWindow()
{
    WorkingFolderFixture ws("[A]\r\nx\r\n");
    ws.campaign("A", "x");
    loadDealer(ws.env, "Name=Adwise Ltd\r\nCode=KZV\r\n");
    QPointer<frmSplash> splash;
    {
        frmMain w;
        w.show();
        splash = findSplash();
        QVERIFY(splash);
        QVERIFY(splash->findChild<QLabel*>(QStringLiteral("imgKZV"))->isVisible());
        QVERIFY(!splash->findChild<QLabel*>(QStringLiteral("imgLogo"))->isVisible());
        // Closing the main window before the splash's time is up closes it too.
        w.close();
        QVERIFY(!splash || !splash->isVisible());
    }
    QTRY_VERIFY(!splash);
}

void tst_frmMainFrame::aboutFromTheHelpMenu()
{
    WorkingFolderFixture ws;
    loadDealer(ws.env, "Name=Adwise Ltd\r\nEmail=help@adwise.example\r\nHome=http://adwise.example/\r\n");
    frmMain w;
    w.setAboutHook(&frmAbout::showModal);
    w.show();
    QString caption;
    QString dealer;
    bool boxHasIcon = false;
    const ModalWatcher<frmAbout> about([&](frmAbout& box) {
        caption = box.windowTitle();
        boxHasIcon = !box.windowIcon().isNull();
        dealer = box.findChild<QLabel*>(QStringLiteral("lblDealer"))->text();
        box.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    });
    w.mnuHelpItems_Click(int(HelpItem::About));
    QVERIFY(about.seen());
    QCOMPARE(caption, QStringLiteral("About PPC Quillmark"));
    // The program's icon shows in the title bars of the main window and of its dialogs.
    QVERIFY(!w.windowIcon().isNull());
    QVERIFY(boxHasIcon);
    QCOMPARE(dealer, QStringLiteral("Adwise Ltd\nEmail: help@adwise.example\nWeb: http://adwise.example/"));
    QVERIFY(!QApplication::activeModalWidget());
}

void tst_frmMainFrame::paneColumnsFollowPinningAndEveryResize()
{
    WorkingFolderFixture ws("[A]\r\nx\r\n");
    ws.campaign("A", "x");
    frmMain w;
    w.resize(1000, 700);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* tabLeft = w.findChild<QTabWidget*>(QStringLiteral("tabLeft"));
    QWidget* picLeft = w.findChild<QWidget*>(QStringLiteral("picLeft"));
    QWidget* splitter = w.findChild<QWidget*>(QStringLiteral("picSpliterVertical"));
    QWidget* tabMain = w.tabMain();
    const int left = frameIn(w, tabLeft).left();
    QVERIFY(near(tabLeft->width(), px(w, 2500)));
    QVERIFY(near(picLeft->width(), px(w, 2475)));
    QVERIFY(near(frameIn(w, splitter).left() - left, px(w, 2510)));

    // The main area takes what the window gains or loses, at every resize.
    const int mainWidth = tabMain->width();
    for (const int grow : {400, -150, 0}) {
        w.resize(1000 + grow, 700);
        QTRY_COMPARE(tabMain->width(), mainWidth + grow);
        QVERIFY(near(tabLeft->width(), px(w, 2500)));
    }

    // Unpinned, the pane folds to its tab and the main area takes its place;
    // the tree slides out 2800 twips wide.
    const int mainLeft = frameIn(w, tabMain).left();
    DockingPane* pane = w.columns()->tabLeft();
    pane->setPinned(false);
    QTRY_VERIFY(frameIn(w, tabMain).left() < mainLeft);
    QVERIFY(!picLeft->isVisible());
    QVERIFY(tabMain->width() > mainWidth);
    pane->slideOut();
    QVERIFY(picLeft->isVisible());
    QVERIFY(near(picLeft->width(), px(w, 2800)));
    QVERIFY(w.tvwAccount()->isVisible());

    pane->setPinned(true);
    QTRY_COMPARE(frameIn(w, tabMain).left(), mainLeft);
    QCOMPARE(tabMain->width(), mainWidth);
}

void tst_frmMainFrame::captionsFitAtTheLeastSize_data()
{
    QTest::addColumn<bool>("campaign");
    QTest::addColumn<int>("tab");
    QTest::newRow("welcome page") << false << 0;
    for (const EditorTab tab : {EditorTab::Keywords, EditorTab::AdGroups, EditorTab::Ads, EditorTab::AdwordsFiles})
        QTest::addRow("editor tab %d", int(tab)) << true << int(tab);
}

void tst_frmMainFrame::captionsFitAtTheLeastSize()
{
    QFETCH(bool, campaign);
    QFETCH(int, tab);

    WorkingFolderFixture ws(campaign ? QByteArray("[A]\r\nx\r\n") : QByteArray(), campaign);
    if (campaign)
        ws.campaign("A", "x");
    frmMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.isWelcomeShown(), !campaign);
    w.tabMain()->setCurrentIndex(tab);
    w.resize(w.minimumSizeHint());
    QCoreApplication::processEvents();
    QCOMPARE(cutCaptions(&w), QStringList());
}

void tst_frmMainFrame::keywordBoxesAndListsTakeTheirShare()
{
    WorkingFolderFixture ws("[A]\r\nx\r\n");
    ws.campaign("A", "x");
    frmMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(!w.isWelcomeShown());
    auto* base = w.findChild<QPlainTextEdit*>(QStringLiteral("txtBaseKeywords"));
    auto* ext = w.findChild<QPlainTextEdit*>(QStringLiteral("txtExtendKeywords"));
    for (const int width : {1000, 1500}) {
        w.resize(width, 800);
        QTRY_VERIFY(near(base->width(), ext->width()));
        const QRect b = frameIn(w, base);
        const QRect e = frameIn(w, ext);
        QVERIFY2(near(e.left() - b.right() - 1, px(w, 200)), qPrintable(QString::number(width)));
        QCOMPARE(e.top(), b.top());
        // The mixing options stand beside the bid settings.
        const QRect bids = frameIn(w, w.findChild<QWidget*>(QStringLiteral("contKeyworsBidCost")));
        const QRect mixing = frameIn(w, w.findChild<QWidget*>(QStringLiteral("contMixing")));
        QVERIFY(mixing.left() > bids.right());
        QCOMPARE(mixing.top(), bids.top());
    }

    // The generated file, as text or as a list, is as wide as its tab but
    // its frame, at every width.
    w.tabMain()->setCurrentIndex(int(EditorTab::AdwordsFiles));
    QWidget* tab = w.findChild<QTabWidget*>(QStringLiteral("tabAdFile"))->currentWidget();
    QTRY_VERIFY(tab->isVisible());
    QWidget* view = nullptr;
    for (const char* name : {"txtKeywordCSV", "lsvKeywordFile"}) {
        if (QWidget* candidate = w.findChild<QWidget*>(QLatin1String(name)); candidate->isVisible())
            view = candidate;
    }
    QVERIFY(view);
    const int margin = tab->width() - view->width();
    QVERIFY2(margin >= 0 && margin < px(w, 1000), qPrintable(QString::number(margin)));
    w.resize(1100, 800);
    QTRY_COMPARE(tab->width() - view->width(), margin);
}

void tst_frmMainFrame::landingPageIsSavedToItsOwnFileWhenTheCampaignChangesOrTheWindowCloses()
{
    WorkingFolderFixture ws("[A]\r\nx\r\ny\r\n");
    const QByteArray page = "<html><body><p id=\"last\">Offer</p></body></html>";
    const QString pageX = ws.env.path(QStringLiteral("pages/x.html"));
    const QString pageY = ws.env.path(QStringLiteral("pages/y.html"));
    TestEnvironment::writeAll(pageX, page);
    TestEnvironment::writeAll(pageY, page);
    for (const auto& [campaign, path] : {std::pair{"x", pageX}, std::pair{"y", pageY}})
        TestEnvironment::writeAll(ws.campaignFolder(QStringLiteral("A"), QString::fromLatin1(campaign))
                                      + QStringLiteral("/Campaign.dat"),
                                  "[LandingPage]\r\nLandingPagePath=" + path.toUtf8() + "\r\n");
    {
        frmMain w;
        w.resize(1000, 700);
        w.show();
        LandingPageTab* landing = w.landingPage();
        QCOMPARE(landing->pagePath(), pageX);
        w.tabMain()->setCurrentIndex(int(EditorTab::LandingPage));
        QVERIFY(landing->editor());
        QSignalSpy loaded(landing->editor(), &LandingPageEditor::DocumentLoaded);
        ws.prompter.files.enqueue(pageX);
        landing->cmdOpenLandingPage_Click();
        QVERIFY(loaded.wait(landingtest::kWait));
        landing->sTab()->setCurrentIndex(1);
        landingtest::typeAtEndOf(landing->editor(), QStringLiteral("last"), QStringLiteral(" now"));
        QTRY_VERIFY_WITH_TIMEOUT(landing->editor()->IsDirty(), landingtest::kWait);

        // Another campaign: the page goes to its own file, not to the other
        // campaign's page, which the path box shows now.
        w.workspace().tvwAccount_NodeClick(NodeId::campaignNode("A", "y"));
        QVERIFY(TestEnvironment::readAll(pageX).contains("Offer now"));
        QCOMPARE(TestEnvironment::readAll(pageY), page);
        QCOMPARE(landing->pagePath(), pageY);
        QVERIFY(ws.campaignFile("A", "x").contains("LandingPagePath=" + pageX.toUtf8()));

        // An edit not yet saved when the window closes is kept too.
        w.tabMain()->setCurrentIndex(int(EditorTab::LandingPage));
        landing->sTab()->setCurrentIndex(1);
        landingtest::typeAtEndOf(landing->editor(), QStringLiteral("last"), QStringLiteral(" again"));
        QTRY_VERIFY_WITH_TIMEOUT(landing->editor()->IsDirty(), landingtest::kWait);
        w.close();
    }
    QVERIFY(TestEnvironment::readAll(pageX).contains("Offer now again"));
    QCOMPARE(TestEnvironment::readAll(pageY), page);
    QVERIFY(ws.prompter.messages.isEmpty());
}

void tst_frmMainFrame::landingPageThatCannotBeSavedAtCloseAsksWhetherToClose_data()
{
    QTest::addColumn<platform::MsgResult>("answer");
    QTest::newRow("No keeps the window open") << platform::MsgResult::No;
    QTest::newRow("Yes closes without the edit") << platform::MsgResult::Yes;
}

// The edited page lives only in the editor: what cannot be written to its
// file at close is lost with the window, so the user is asked, as for a
// campaign that cannot be saved.
void tst_frmMainFrame::landingPageThatCannotBeSavedAtCloseAsksWhetherToClose()
{
    QFETCH(platform::MsgResult, answer);
    WorkingFolderFixture ws("[A]\r\nx\r\n");
    ws.campaign("A", "x");
    const QString page = ws.env.path(QStringLiteral("pages/x.html"));
    TestEnvironment::writeAll(page, "<html><body><p id=\"last\">Offer</p></body></html>");
    frmMain w;
    w.resize(1000, 700);
    w.show();
    w.tabMain()->setCurrentIndex(int(EditorTab::LandingPage));
    LandingPageTab* landing = w.landingPage();
    QSignalSpy loaded(landing->editor(), &LandingPageEditor::DocumentLoaded);
    QVERIFY(landing->OpenPage(page));
    QVERIFY(loaded.wait(landingtest::kWait));
    landing->sTab()->setCurrentIndex(1);
    landingtest::typeAtEndOf(landing->editor(), QStringLiteral("last"), QStringLiteral(" kept"));
    QTRY_VERIFY_WITH_TIMEOUT(landing->editor()->IsDirty(), landingtest::kWait);

    // The file has become a folder: nothing can be written there.
    QVERIFY(QFile::remove(page) && QDir().mkdir(page));
    ws.prompter.answers.enqueue(answer);
    QCOMPARE(w.close(), answer == platform::MsgResult::Yes);
    QCOMPARE(ws.prompter.messages.size(), 1);
    const platform::MessageRequest& asked = ws.prompter.messages.first();
    QVERIFY2(asked.text.startsWith(QStringLiteral("The landing page could not be saved to '") + page + "'.\r\n\r\n"),
             qPrintable(asked.text));
    QVERIFY(asked.text.endsWith(
        QStringLiteral("\r\n\r\nClose the program anyway? Your changes to the landing page will be lost.")));
    QCOMPARE(asked.buttons, platform::MsgButtons::YesNo);
    QCOMPARE(asked.icon, platform::MsgIcon::Exclamation);
    QVERIFY(ws.log().contains("frmMain_SaveLandingPage_Error: "));
    if (answer == platform::MsgResult::Yes) {
        QVERIFY(QFileInfo(page).isDir());
        return;
    }

    QVERIFY(w.isVisible());
    QVERIFY(landing->editor()->IsDirty());
    // Once the file can be written again, closing keeps the edit.
    QVERIFY(QDir().rmdir(page));
    QVERIFY(w.close());
    QCOMPARE(ws.prompter.messages.size(), 1);
    QVERIFY(TestEnvironment::readAll(page).contains("Offer kept"));
}

QTEST_MAIN(tst_frmMainFrame)
#include "tst_frmmainframe.moc"
