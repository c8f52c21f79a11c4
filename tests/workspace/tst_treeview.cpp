#include "RandomTreeCommands.h"
#include "SettingsFixture.h"
#include "WorkingFolderFixture.h"

#include "workspace/AccountTreeModel.h"
#include "workspace/frmMain.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTreeView>
#include <QtTest>

namespace {

const QByteArray kAccounts("[A]\r\nx\r\ny\r\nz\r\n[B]\r\nv\r\n[C]\r\n");

QString describe(const std::optional<NodeId>& node)
{
    return node ? node->key() : QStringLiteral("<none>");
}

QString lastSelectAcc()
{
    return testsettings::stored(RegistryAPI::HKEY_CURRENT_USER, g_sPreferenceKey, QStringLiteral("LastSelectAcc"));
}

// The workspace with the window that shows it, and checks that the tree
// view shows what the workspace holds.
struct Session : WorkingFolderFixture {
    std::unique_ptr<frmMain> w;

    Session()
        : WorkingFolderFixture(kAccounts)
    {
        for (const auto& [account, name] : {std::pair{"A", "x"}, {"A", "y"}, {"A", "z"}, {"B", "v"}})
            campaign(QString::fromLatin1(account), QString::fromLatin1(name));
        open();
    }

    void open()
    {
        w = std::make_unique<frmMain>();
        w->show();
    }

    Workspace& ws() { return w->workspace(); }

    // The tree highlights the selected node, and nothing when nothing is
    // selected.
    void expectHighlightAgrees(const QString& after) const
    {
        const std::optional<NodeId> selected = w->workspace().selectedNode();
        const std::optional<NodeId> shown = w->treeSelection();
        const bool agree = selected ? shown && shown->matches(*selected) : !shown;
        QVERIFY2(agree, qPrintable(after + ": highlighted " + describe(shown) + ", selected " + describe(selected)));
    }

    // The tree view shows every node of the accounts, sorted, each account
    // expanded unless the user collapsed it (none here).
    void expectTreeShowsTheAccounts(const QString& after) const
    {
        const QAbstractItemModel* model = w->tvwAccount()->model();
        QStringList shown;
        for (int a = 0; a < model->rowCount(); ++a) {
            const QModelIndex account = model->index(a, 0);
            shown << w->treeModel().nodeAt(account)->key();
            for (int c = 0; c < model->rowCount(account); ++c) {
                const QModelIndex campaign = model->index(c, 0, account);
                shown << w->treeModel().nodeAt(campaign)->key();
                // A leaf: the view keeps no expanded state, and so no
                // persistent index, for each campaign of a big tree.
                QVERIFY2(!w->tvwAccount()->isExpanded(campaign),
                         qPrintable(after + ": " + campaign.data().toString() + " counted as expanded"));
            }
            QVERIFY2(model->rowCount(account) == 0 || w->tvwAccount()->isExpanded(account),
                     qPrintable(after + ": " + account.data().toString() + " collapsed"));
        }
        QStringList expected;
        for (const NodeId& node : w->workspace().accounts().displayOrder())
            expected << node.key();
        QVERIFY2(shown == expected, qPrintable(after + ": shown " + shown.join(", ")));
    }

    // A build typed into the window's own inputs and started from its
    // toolbar writes the open campaign's folder, its name in every row.
    void expectBuildNamesTheOpenCampaign()
    {
        const std::optional<NodeId> open = ws().openCampaign();
        QVERIFY2(open, "no campaign is open to build");
        w->findChild<QPlainTextEdit*>(QStringLiteral("txtBaseKeywords"))->setPlainText(QStringLiteral("red shoes"));
        w->findChild<QCheckBox*>(QStringLiteral("chkBroadMatch"))->setChecked(true);
        w->findChild<QLineEdit*>(QStringLiteral("txtBroadBid"))->setText(QStringLiteral("0.5"));
        w->findChild<QLineEdit*>(QStringLiteral("txtURLTemplate"))->setText(QStringLiteral("http://shop.example/"));
        w->toolAction(int(ToolButton::BuildCampaigns))->trigger();
        const QByteArray rows =
            TestEnvironment::readAll(campaignFolder(open->account, open->campaign) + "/AdwordsKeywords.csv");
        QCOMPARE(rows, (open->campaign + ",RED-SHOES,red shoes,Broad,0.5,http://shop.example/\r\n").toUtf8());
    }

    // Closing the window stores the selected node as the last selection.
    void expectCloseStoresTheSelection()
    {
        const std::optional<NodeId> selected = ws().selectedNode();
        const QString before = lastSelectAcc();
        QVERIFY(w->close());
        QCOMPARE(lastSelectAcc(), selected ? selected->key() : before);
    }
};

} // namespace

class TestTreeView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newAndDeleteChangeOneRow_data();
    void newAndDeleteChangeOneRow();
    void highlightFollowsTheSelectionOverRandomCommands();
};

void TestTreeView::newAndDeleteChangeOneRow_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("inserted");
    QTest::addColumn<int>("removed");
    QTest::newRow("new campaign") << "new A-n" << 1 << 0;
    // The new account sorts above B, whose row moves down.
    QTest::newRow("new campaign in a new account") << "new Aa-n" << 2 << 0;
    QTest::newRow("delete campaign") << "delete A-y" << 0 << 1;
}

// New and Delete Campaign insert or remove their rows; the rest of the tree
// stays as the user left it: an account collapsed stays collapsed, a new
// account shows expanded.
void TestTreeView::newAndDeleteChangeOneRow()
{
    QFETCH(QString, command);
    QFETCH(int, inserted);
    QFETCH(int, removed);
    Session s;
    QAbstractItemModelTester tester(s.w->tvwAccount()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    AccountTreeModel& model = s.w->treeModel();
    s.w->tvwAccount()->collapse(model.indexOf(NodeId::accountNode("B")));
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy insertions(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removals(&model, &QAbstractItemModel::rowsRemoved);

    const QString account = command.section(' ', 1).section('-', 0, 0);
    const QString campaign = command.section('-', 1);
    if (command.startsWith("new")) {
        QVERIFY(s.ws().addNewCampaign(account, campaign));
        QVERIFY(s.w->tvwAccount()->isExpanded(model.indexOf(NodeId::accountNode(account))));
    } else {
        s.ws().tvwAccount_NodeClick(NodeId::campaignNode(account, campaign));
        s.prompter.answers.enqueue(platform::MsgResult::Yes);
        s.w->mnuFileItems_Click(int(FileItem::DeleteCampaign));
        QVERIFY(!s.ws().accounts().contains(NodeId::campaignNode(account, campaign)));
    }
    QVERIFY(!s.w->tvwAccount()->isExpanded(model.indexOf(NodeId::accountNode("B"))));
    QCOMPARE(model.indexOf(NodeId::accountNode("B")).data(AccountTreeModel::ImageKeyRole).toString(),
             QStringLiteral("Account"));
    QVERIFY(s.w->tvwAccount()->isExpanded(model.indexOf(NodeId::accountNode("A"))));
    s.expectHighlightAgrees(command);
    QCOMPARE(resets.size(), 0);
    QCOMPARE(insertions.size(), inserted);
    QCOMPARE(removals.size(), removed);
}

// New, delete, clicks in the tree and on nodes, File/Setup and Save in
// random order: after every command the tree highlights the node the
// workspace has selected and shows every node of the accounts in order,
// and the model passes Qt's checks of an item model; at the end of a
// sequence a build from the window names the open campaign (one is opened
// when none is) and the window's close stores the selection.
void TestTreeView::highlightFollowsTheSelectionOverRandomCommands()
{
    RandomTreeCommands commands(20240611);
    for (int sequence = 0; sequence < 25; ++sequence) {
        Session s;
        QAbstractItemModelTester tester(s.w->tvwAccount()->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QTreeView* view = s.w->tvwAccount();
        const auto clickInTheTree = [&](const NodeId& target) {
            const QModelIndex index = s.w->treeModel().indexOf(target);
            view->scrollTo(index);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
        };
        QStringList done;
        for (int step = 0; step < 12; ++step) {
            done << commands.step(s.ws(), s.prompter, clickInTheTree).words;
            s.expectHighlightAgrees(done.join(", "));
            s.expectTreeShowsTheAccounts(done.join(", "));
            if (QTest::currentTestFailed())
                return;
        }
        // The welcome page has no campaign to build.
        if (!s.ws().openCampaign())
            done << RandomTreeCommands::openACampaign(s.ws());
        s.expectBuildNamesTheOpenCampaign();
        s.expectCloseStoresTheSelection();
        if (QTest::currentTestFailed()) {
            qWarning("after %s", qPrintable(done.join(", ")));
            return;
        }
    }
}

QTEST_MAIN(TestTreeView)
#include "tst_treeview.moc"
