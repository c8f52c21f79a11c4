#include "core/Globals.h"
#include "research/window/frmKeywordResearch.h"
#include "settings/clsRegister.h"
#include "workspace/frmMain.h"

#include "InstalledCodeFiles.h"
#include "ModalWatcher.h"
#include "ScriptedHttpServer.h"
#include "WorkingFolderFixture.h"
#include "../research/ResearchTestSupport.h"

#include <QAction>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include <functional>

using Server = ScriptedHttpServer;

namespace {

// The main window on a working folder with one open campaign, the code
// files installed and every research endpoint on a loopback server.
struct MainWindow : WorkingFolderFixture {
    explicit MainWindow(const QString& userName = QStringLiteral("adwords.user@example.com"))
        : WorkingFolderFixture("[A]\r\nx\r\n")
    {
        campaign("A", "x");
        putPreferences({{"YMID", userName}});
        installCodeFiles(env);
        g_oRegister = std::make_unique<clsRegister>();
        g_oRegister->GetSettings();

        server.route("/token/oauthtoken.txt", Server::answer(200, "refresh-1"));
        server.route("/o/oauth2/token", Server::answer(200, "{\n \"access_token\" : \"acc-9\"\n}", "application/json"));
        server.route("/api/adwords/o/v201809/TargetingIdeaService", Server::answer(200, threeIdeas(), "text/xml"));
        main = std::make_unique<frmMain>();
        main->Form_Load();
    }
    ~MainWindow() { g_oRegister.reset(); }

    // Triggers the action and runs drive inside the research window's modal
    // display; false when no research window opened.
    bool openResearch(QAction* action, const std::function<void(frmKeywordResearch&)>& drive)
    {
        const ModalWatcher<frmKeywordResearch> research([&](frmKeywordResearch& window) {
            drive(window);
            window.findChild<QPushButton*>("cmdClose")->click();
        });
        action->trigger();
        return research.seen();
    }

    Server server;
    LoopbackEndpoints endpoints{server};
    std::unique_ptr<frmMain> main;
};

QStringList keywords(const QTreeWidget* list)
{
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        texts.append(list->topLevelItem(row)->text(0));
    return texts;
}

} // namespace

class TestKeywordResearch : public QObject
{
    Q_OBJECT

private slots:
    void ideasAddedToTheBaseKeywords();
    void toolbarButtonOpensTheWindow();
    void noLoginStored();
    void ideasNeedAnOpenCampaign();
};

void TestKeywordResearch::ideasAddedToTheBaseKeywords()
{
    MainWindow t;
    auto* base = t.main->findChild<QPlainTextEdit*>("txtBaseKeywords");
    QVERIFY(base);
    base->setPlainText("boots");

    QStringList listed;
    QStringList sorted;
    const bool opened = t.openResearch(t.main->menuItem("mnuKeyword", 1), [&](frmKeywordResearch& research) {
        research.findChild<QPlainTextEdit*>("txtKeyword")->setPlainText("shoes");
        research.findChild<QPushButton*>("cmdGet")->click();
        auto* list = research.findChild<QTreeWidget*>("lvwKeywords");
        QTRY_COMPARE(list->topLevelItemCount(), 3);
        listed = keywords(list);
        // Monthly searches, twice: ascending, then descending by number.
        QHeaderView* header = list->header();
        const QPoint volume(header->sectionViewportPosition(2) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, volume);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, volume);
        sorted = keywords(list);
        list->topLevelItem(0)->setCheckState(0, Qt::Checked);
        list->topLevelItem(2)->setCheckState(0, Qt::Checked);
        research.findChild<QPushButton*>("cmdAddToBase")->click();
    });
    QVERIFY(opened);
    QCOMPARE(listed, (QStringList{"red shoes", "boots", "shoes"}));
    QCOMPARE(sorted, (QStringList{"red shoes", "shoes", "boots"}));
    // The first idea joins the box's last line, which had no line break.
    QCOMPARE(base->toPlainText(), "bootsred shoes\nboots\n");
    QVERIFY(t.prompter.messages.isEmpty());
    QVERIFY(QFileInfo(g_sWorkingFolder + "/KeywordResearch").isDir());
}

void TestKeywordResearch::toolbarButtonOpensTheWindow()
{
    MainWindow t;
    QVERIFY(t.openResearch(t.main->toolAction(5), [](frmKeywordResearch&) {}));
}

void TestKeywordResearch::noLoginStored()
{
    MainWindow t{QString()};
    QVERIFY(!t.openResearch(t.main->toolAction(5), [](frmKeywordResearch&) {}));
    QCOMPARE(t.prompter.messages.size(), 1);
    QCOMPARE(t.prompter.messages.first().title, "Keyword Builder");
}

// With no campaign open (its account clicked: the welcome page) the ideas
// would go into hidden boxes and be dropped by the next campaign opened:
// adding says so and adds nothing; the research itself works.
void TestKeywordResearch::ideasNeedAnOpenCampaign()
{
    MainWindow t;
    t.main->workspace().tvwAccount_NodeClick(NodeId::accountNode("A"));
    QVERIFY(t.main->isWelcomeShown());
    auto* base = t.main->findChild<QPlainTextEdit*>("txtBaseKeywords");
    const QString before = base->toPlainText();
    const bool opened = t.openResearch(t.main->menuItem("mnuKeyword", 1), [&](frmKeywordResearch& research) {
        research.findChild<QPlainTextEdit*>("txtKeyword")->setPlainText("shoes");
        research.findChild<QPushButton*>("cmdGet")->click();
        auto* list = research.findChild<QTreeWidget*>("lvwKeywords");
        QTRY_COMPARE(list->topLevelItemCount(), 3);
        list->topLevelItem(0)->setCheckState(0, Qt::Checked);
        research.findChild<QPushButton*>("cmdAddToBase")->click();
    });
    QVERIFY(opened);
    QCOMPARE(base->toPlainText(), before);
    QCOMPARE(t.prompter.messages.size(), 1);
    QCOMPARE(t.prompter.messages.first().text,
             QStringLiteral("No campaign is open. Please open a campaign in the tree, or create a new one, first."));
    QCOMPARE(t.prompter.messages.first().title, QStringLiteral("Keyword Builder"));
}

QTEST_MAIN(TestKeywordResearch)
#include "tst_keywordresearch.moc"
