#include "WorkingFolderFixture.h"

#include "core/RegistryAPI.h"
#include "workspace/AccountTreeModel.h"
#include "workspace/frmMain.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTreeView>
#include <QtTest>

namespace {

const QByteArray kAccounts("[A]\r\nx\r\ny\r\nz\r\n[B]\r\nv\r\n[C]\r\n");

QString lastSelectAcc()
{
    return RegistryAPI::GetRegistryValue(RegistryAPI::HKEY_CURRENT_USER, g_sPreferenceKey,
                                         QStringLiteral("LastSelectAcc"), RegistryAPI::REG_SZ, QString())
        .toString();
}

QString describe(const std::optional<NodeId>& node)
{
    return node ? node->key() : QStringLiteral("<none>");
}

// The workspace with the window that shows it, and checks of everything
// that names "the campaign".
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

    // Every node of the tree, accounts and campaigns.
    QList<NodeId> nodes() const
    {
        QList<NodeId> out;
        for (const TreeNode& node : w->workspace().accounts().nodes())
            out << node.id;
        return out;
    }

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

    // A build writes the open campaign's folder, its name in every row.
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

    // Opens the first campaign of the tree, or a new one when the tree has
    // none; what was done, in the words of a command list.
    QString openACampaign()
    {
        for (const NodeId& node : nodes()) {
            if (node.isCampaign()) {
                ws().tvwAccount_NodeClick(node);
                return "node click " + node.key();
            }
        }
        ws().addNewCampaign(QStringLiteral("A"), QStringLiteral("n"));
        return QStringLiteral("new A-n");
    }

    // The close stores the selected node as the last selection.
    void expectCloseStoresTheSelection()
    {
        const std::optional<NodeId> selected = ws().selectedNode();
        const QString before = lastSelectAcc();
        QVERIFY(w->close());
        QCOMPARE(lastSelectAcc(), selected ? selected->key() : before);
    }
};

} // namespace

class TestTreeCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newThenDeleteKeepsTheNewCampaign();
    void newAndDeleteChangeOneRow_data();
    void newAndDeleteChangeOneRow();
    void highlightFollowsTheSelectionOverRandomCommands();
    void unsavedAccountsFileIsReported_data();
    void unsavedAccountsFileIsReported();
    void namesThatAreNotOneFolderStayClosed_data();
    void namesThatAreNotOneFolderStayClosed();
};

// A new campaign, then Delete Campaign: the campaign clicked before is
// deleted, and the new one stays the campaign the window works on.
void TestTreeCommands::newThenDeleteKeepsTheNewCampaign()
{
    Session s;
    QCOMPARE(describe(s.ws().selectedNode()), QStringLiteral("A-x"));
    QVERIFY(s.ws().addNewCampaign("A", "n"));
    s.prompter.answers.enqueue(platform::MsgResult::Yes);
    s.w->mnuFileItems_Click(int(FileItem::DeleteCampaign));
    QCOMPARE(s.prompter.messages.last().text, QStringLiteral("Are you sure you want to delete campaign 'x' ?"));
    QVERIFY(!s.ws().accounts().contains(NodeId::campaignNode("A", "x")));

    QCOMPARE(describe(s.ws().selectedNode()), QStringLiteral("A-n"));
    s.expectHighlightAgrees("delete");
    s.ws().SaveCampaign();
    QVERIFY(s.log().endsWith("frmMain_SaveCampaign ....n/A-n\r\n"));
    s.expectBuildNamesTheOpenCampaign();
    QVERIFY(!QFileInfo::exists(s.campaignFolder("A", "y") + "/AdwordsKeywords.csv"));
    s.expectCloseStoresTheSelection();
    QCOMPARE(lastSelectAcc(), QStringLiteral("A-n"));
}

void TestTreeCommands::newAndDeleteChangeOneRow_data()
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
void TestTreeCommands::newAndDeleteChangeOneRow()
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

// New, delete, click and File/Setup in random order: after every command
// the tree highlights the node the workspace has selected and shows every
// node of the accounts in order; at the end of a sequence a build names the
// open campaign (one is opened when none is) and the close stores it.
void TestTreeCommands::highlightFollowsTheSelectionOverRandomCommands()
{
    enum Command { ClickInTheTree, NodeClick, NewCampaign, DeleteCampaign, Setup, Save, CommandCount };
    const QStringList accounts{"A", "B", "C", "D"};
    const QStringList names{"x", "y", "n1", "n2", "n3"};
    QRandomGenerator random(20240611);
    for (int sequence = 0; sequence < 25; ++sequence) {
        Session s;
        QAbstractItemModelTester tester(s.w->tvwAccount()->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QStringList done;
        for (int step = 0; step < 12; ++step) {
            const QList<NodeId> nodes = s.nodes();
            const NodeId target = nodes.at(random.bounded(int(nodes.size())));
            switch (Command(random.bounded(int(CommandCount)))) {
            case ClickInTheTree: {
                const QModelIndex index = s.w->treeModel().indexOf(target);
                s.w->tvwAccount()->scrollTo(index);
                QTest::mouseClick(s.w->tvwAccount()->viewport(), Qt::LeftButton, {},
                                  s.w->tvwAccount()->visualRect(index).center());
                done << "click " + target.key();
                break;
            }
            case NodeClick:
                s.ws().tvwAccount_NodeClick(target);
                done << "node click " + target.key();
                break;
            case NewCampaign: {
                const QString account = accounts.at(random.bounded(int(accounts.size())));
                const QString name = names.at(random.bounded(int(names.size())));
                s.ws().addNewCampaign(account, name);
                done << "new " + account + "-" + name;
                break;
            }
            case DeleteCampaign: {
                const bool yes = random.bounded(3) != 0;
                s.prompter.answers.enqueue(yes ? platform::MsgResult::Yes : platform::MsgResult::No);
                s.w->mnuFileItems_Click(int(FileItem::DeleteCampaign));
                done << QStringLiteral("delete, answered ") + (yes ? "Yes" : "No");
                break;
            }
            case Setup:
                s.w->mnuFileItems_Click(int(FileItem::Setup));
                done << "File/Setup";
                break;
            case Save:
                s.w->mnuFileItems_Click(int(FileItem::SaveCampaign));
                if (const std::optional<NodeId> open = s.ws().openCampaign()) {
                    QVERIFY(s.log().endsWith("frmMain_SaveCampaign ...." + open->campaign + "/" + open->key()
                                             + "\r\n"));
                }
                done << "save";
                break;
            case CommandCount:
                break;
            }
            s.prompter.answers.clear();
            s.expectHighlightAgrees(done.join(", "));
            s.expectTreeShowsTheAccounts(done.join(", "));
            if (QTest::currentTestFailed())
                return;
        }
        // The welcome page has no campaign to build.
        if (!s.ws().openCampaign())
            done << s.openACampaign();
        s.expectBuildNamesTheOpenCampaign();
        s.expectCloseStoresTheSelection();
        if (QTest::currentTestFailed()) {
            qWarning("after %s", qPrintable(done.join(", ")));
            return;
        }
    }
}

void TestTreeCommands::unsavedAccountsFileIsReported_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("title");
    QTest::newRow("new campaign")
        << "new A-n"
        << "The campaign 'n' of account 'A' has been added, but the list of accounts and campaigns could not be "
           "saved: the campaign will be missing from the tree when the program starts again."
        << "Create New Campaign";
    QTest::newRow("delete campaign")
        << "delete A-y"
        << "The campaign 'y' of account 'A' has been deleted, but the list of accounts and campaigns could not be "
           "saved: the campaign will be back in the tree when the program starts again."
        << "Delete Campaign";
}

// New and Delete Campaign that cannot write Accounts.dat say so, naming the
// file and the reason, and log it; the tree keeps the change, and the next
// command that saves the file writes it.
void TestTreeCommands::unsavedAccountsFileIsReported()
{
    QFETCH(QString, command);
    QFETCH(QString, message);
    QFETCH(QString, title);
    Session s;
    const QString file = s.work + "/Accounts.dat";
    QVERIFY(QFile::remove(file) && QDir().mkpath(file));
    const QString account = command.section(' ', 1).section('-', 0, 0);
    const QString campaign = command.section('-', 1);
    if (command.startsWith("new")) {
        QVERIFY(s.ws().addNewCampaign(account, campaign));
        QVERIFY(s.ws().accounts().contains(NodeId::campaignNode(account, campaign)));
    } else {
        s.ws().tvwAccount_NodeClick(NodeId::campaignNode(account, campaign));
        s.prompter.answers.enqueue(platform::MsgResult::Yes);
        s.w->mnuFileItems_Click(int(FileItem::DeleteCampaign));
        QVERIFY(!s.ws().accounts().contains(NodeId::campaignNode(account, campaign)));
    }
    const QString why = "Cannot write " + QDir::toNativeSeparators(file) + ": it is a folder, not a file";
    QVERIFY(!s.prompter.messages.isEmpty());
    const platform::MessageRequest& shown = s.prompter.messages.last();
    QCOMPARE(shown.text, message + "\r\n\r\n" + why);
    QCOMPARE(shown.title, title);
    QCOMPARE(shown.icon, platform::MsgIcon::Critical);
    QCOMPARE(shown.buttons, platform::MsgButtons::OK);
    QVERIFY(s.log().contains("clsMain_SaveAccount error:  " + why + "\r\n"));

    QVERIFY(QDir(file).removeRecursively());
    const int messages = int(s.prompter.messages.size());
    QVERIFY(s.ws().addNewCampaign("C", "w"));
    QCOMPARE(s.prompter.messages.size(), messages);
    const QByteArray saved = TestEnvironment::readAll(file);
    QVERIFY(saved.contains("\r\nw\r\n"));
    QCOMPARE(saved.contains("\r\n" + campaign.toUtf8() + "\r\n"), command.startsWith("new"));
}

void TestTreeCommands::namesThatAreNotOneFolderStayClosed_data()
{
    QTest::addColumn<QByteArray>("accounts");
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("campaign");
    QTest::newRow("campaign ..") << QByteArray("[A]\r\n..\r\n") << "A" << "..";
    QTest::newRow("campaign climbing out") << QByteArray("[A]\r\n../../out\r\n") << "A" << "../../out";
    QTest::newRow("account ..") << QByteArray("[..]\r\nx\r\n") << ".." << "x";
    QTest::newRow("account sharing a folder") << QByteArray("[A]\r\nB/x\r\n[A/B]\r\nx\r\n") << "A/B" << "x";
    QTest::newRow("backslash") << QByteArray("[A]\r\nB\\x\r\n") << "A" << "B\\x";
}

// A hand-edited or damaged Accounts.dat may name a campaign whose folder
// would lie outside the accounts folder, or be another campaign's: such a
// campaign is not opened, so no save or build writes there, and deleting it
// removes it from the tree but no file at that place.
void TestTreeCommands::namesThatAreNotOneFolderStayClosed()
{
    QFETCH(QByteArray, accounts);
    QFETCH(QString, account);
    QFETCH(QString, campaign);
    WorkingFolderFixture f("[Good]\r\ng\r\n" + accounts);
    f.campaign("Good", "g");
    const QString folder = QDir::cleanPath(f.campaignFolder(account, campaign));
    const QString datFile = QDir::cleanPath(folder + '/' + campaign + ".dat");
    QVERIFY(TestEnvironment::writeAll(datFile, "kept"));
    frmMain w;
    w.show();
    QCOMPARE(describe(w.workspace().openCampaign()), QStringLiteral("Good-g"));

    const NodeId node = NodeId::campaignNode(account, campaign);
    QVERIFY(w.workspace().accounts().contains(node));
    w.workspace().tvwAccount_NodeClick(node);
    QCOMPARE(describe(w.workspace().openCampaign()), QStringLiteral("<none>"));
    QVERIFY(w.isWelcomeShown());
    QCOMPARE(w.statusText(), QStringLiteral("Load campaign data failed"));
    const QString why = "The name of the campaign or of its account cannot be the name of a folder: it is \".\" or "
                        "\"..\", or it holds a slash or backslash.";
    QVERIFY(f.log().contains("OpenCampaign_Error: " + why + "-Log point 3"));
    QCOMPARE(f.prompter.messages.size(), 1);
    QCOMPARE(f.prompter.messages.first().text,
             "The campaign '" + campaign + "' of account '" + account + "' could not be opened.\r\n\r\n" + why);
    QCOMPARE(f.prompter.messages.first().title, QStringLiteral("Open Campaign"));

    w.mnuFileItems_Click(int(FileItem::SaveCampaign));
    w.toolAction(int(ToolButton::BuildCampaigns))->trigger();
    for (const char* name : {"Campaign.dat", "BaseKeywords.dat", "AdwordsKeywords.csv"})
        QVERIFY2(!QFile::exists(folder + '/' + name), name);

    f.prompter.answers.enqueue(platform::MsgResult::Yes);
    w.mnuFileItems_Click(int(FileItem::DeleteCampaign));
    QVERIFY(!w.workspace().accounts().contains(node));
    QCOMPARE(TestEnvironment::readAll(datFile), QByteArray("kept"));
    QVERIFY(w.close());
    QVERIFY(!QFile::exists(folder + "/Campaign.dat"));
}

QTEST_MAIN(TestTreeCommands)
#include "tst_treecommands.moc"
