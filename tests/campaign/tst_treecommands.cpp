#include "BoundSocket.h"
#include "FakeWindow.h"
#include "NamedPipe.h"
#include "RandomTreeCommands.h"
#include "SettingsFixture.h"
#include "WorkingFolderFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <memory>

#include <sys/stat.h>

namespace {

const QByteArray kAccounts("[A]\r\nx\r\ny\r\nz\r\n[B]\r\nv\r\n[C]\r\n");

QString lastSelectAcc()
{
    return testsettings::stored(RegistryAPI::HKEY_CURRENT_USER, g_sPreferenceKey, QStringLiteral("LastSelectAcc"));
}

QString describe(const std::optional<NodeId>& node)
{
    return node ? node->key() : QStringLiteral("<none>");
}

// The workspace in a window without widgets, and checks of everything that
// names "the campaign".
struct Session : WorkingFolderFixture {
    std::unique_ptr<FakeWindow> w = std::make_unique<FakeWindow>(work);

    explicit Session(const QByteArray& accounts = kAccounts)
        : WorkingFolderFixture(accounts)
    {
        if (accounts == kAccounts) {
            for (const auto& [account, name] : {std::pair{"A", "x"}, {"A", "y"}, {"A", "z"}, {"B", "v"}})
                campaign(QString::fromLatin1(account), QString::fromLatin1(name));
        }
    }

    Workspace& ws() { return w->workspace; }

    // The start of the window: the tree loaded, a campaign opened.
    void open() { ws().load(); }

    // The window highlights the selected node, and nothing when nothing is
    // selected.
    void expectHighlightAgrees(const QString& after) const
    {
        const std::optional<NodeId> selected = w->workspace.selectedNode();
        const std::optional<NodeId>& shown = w->highlighted;
        const bool agree = selected ? shown && shown->matches(*selected) : !shown;
        QVERIFY2(agree, qPrintable(after + ": highlighted " + describe(shown) + ", selected " + describe(selected)));
    }

    // The tree view, told of every change, shows every node of the accounts
    // in order.
    void expectTreeShowsTheAccounts(const QString& after) const
    {
        QStringList expected;
        for (const NodeId& node : w->workspace.accounts().displayOrder())
            expected << node.key();
        QVERIFY2(w->shownTree() == expected, qPrintable(after + ": shown " + w->shownTree().join(", ")));
    }

    // A build writes the open campaign's folder, its name in every row.
    void expectBuildNamesTheOpenCampaign()
    {
        const std::optional<NodeId> open = ws().openCampaign();
        QVERIFY2(open, "no campaign is open to build");
        w->editor.baseKeywords = QStringLiteral("red shoes");
        w->editor.broadMatch = true;
        w->editor.broadBid = QStringLiteral("0.5");
        w->editor.urlTemplate = QStringLiteral("http://shop.example/");
        w->build.BuildCampaigns();
        const QByteArray rows =
            TestEnvironment::readAll(campaignFolder(open->account, open->campaign) + "/AdwordsKeywords.csv");
        QCOMPARE(rows, (open->campaign + ",RED-SHOES,red shoes,Broad,0.5,http://shop.example/\r\n").toUtf8());
    }

    // The window's close: the open campaign saved, then the selected node
    // stored as the last selection.
    void expectCloseStoresTheSelection()
    {
        const std::optional<NodeId> selected = ws().selectedNode();
        const QString before = lastSelectAcc();
        QVERIFY(ws().saveBeforeLeaving(QStringLiteral("Close the program anyway?")));
        ws().close(QStringLiteral("0,0,15000,10500"));
        QCOMPARE(lastSelectAcc(), selected ? selected->key() : before);
    }
};

// What stands at path, as far as a replacement or a write would change it.
QString identity(const QString& path)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return QStringLiteral("<missing>");
    return QStringLiteral("mode %1, inode %2, modified %3.%4")
        .arg(info.st_mode, 0, 8)
        .arg(info.st_ino)
        .arg(info.st_mtim.tv_sec)
        .arg(info.st_mtim.tv_nsec);
}

} // namespace

class TestTreeCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newThenDeleteKeepsTheNewCampaign();
    void randomCommandsKeepOneCampaign();
    void unsavedAccountsFileIsReported_data();
    void unsavedAccountsFileIsReported();
    void accountsListThatIsNoFileIsTold_data();
    void accountsListThatIsNoFileIsTold();
    void namesThatAreNotOneFolderStayClosed_data();
    void namesThatAreNotOneFolderStayClosed();
};

// A new campaign, then Delete Campaign: the campaign clicked before is
// deleted, and the new one stays the campaign the window works on.
void TestTreeCommands::newThenDeleteKeepsTheNewCampaign()
{
    Session s;
    s.open();
    QCOMPARE(describe(s.ws().selectedNode()), QStringLiteral("A-x"));
    QVERIFY(s.ws().addNewCampaign("A", "n"));
    s.prompter.answers.enqueue(platform::MsgResult::Yes);
    s.ws().DeleteCampaign();
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

// New, delete, click and File/Setup in random order: after every command
// the window highlights the node the workspace has selected and its tree
// shows every node of the accounts in order, and a save writes the open
// campaign; at the end of a sequence a build names the open campaign (one
// is opened when none is) and the close stores it.
void TestTreeCommands::randomCommandsKeepOneCampaign()
{
    RandomTreeCommands commands(20240611);
    for (int sequence = 0; sequence < 25; ++sequence) {
        Session s;
        s.open();
        QStringList done;
        for (int step = 0; step < 12; ++step) {
            const RandomTreeCommands::Step ran = commands.step(s.ws(), s.prompter);
            done << ran.words;
            const std::optional<NodeId> open = s.ws().openCampaign();
            if (ran.command == RandomTreeCommands::Command::Save && open) {
                QVERIFY(s.log().endsWith("frmMain_SaveCampaign ...." + open->campaign + "/" + open->key()
                                         + "\r\n"));
            }
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
    s.open();
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
        s.ws().DeleteCampaign();
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

void TestTreeCommands::accountsListThatIsNoFileIsTold_data()
{
    QTest::addColumn<QString>("name"); // in the working folder
    QTest::addColumn<QString>("kind"); // "pipe", "folder" or "socket"
    QTest::addColumn<QString>("reason");
    QTest::newRow("named pipe") << "Accounts.dat" << "pipe" << "it is a named pipe, not a file";
    QTest::newRow("folder") << "Accounts.dat" << "folder" << "it is a folder, not a file";
    QTest::newRow("socket") << "Accounts.dat" << "socket" << "it is a socket, not a file";
    QTest::newRow("named pipe of the Windows name") << "accounts.dat" << "pipe" << "it is a named pipe, not a file";
    QTest::newRow("folder of the Windows name") << "accounts.dat" << "folder" << "it is a folder, not a file";
}

// What stands in place of the accounts list but is no file is named at the
// start, with the reason, like a list that cannot be read, and logged; a new
// campaign then cannot be saved into the list, which says so, and what
// stands there is neither opened, replaced nor emptied.
void TestTreeCommands::accountsListThatIsNoFileIsTold()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    Session s{QByteArray()};
    QVERIFY(QFile::remove(s.work + "/Accounts.dat"));
    const QString path = s.work + '/' + name;
    std::unique_ptr<NamedPipe> pipe;
    std::unique_ptr<BoundSocket> socket;
    if (kind == "pipe") {
        pipe = std::make_unique<NamedPipe>(path);
        QVERIFY(pipe->isMade());
    } else if (kind == "socket") {
        socket = std::make_unique<BoundSocket>(path);
        QVERIFY(socket->isBound());
    } else {
        QVERIFY(TestEnvironment::writeAll(path + "/inside.txt", "kept"));
    }
    const QString before = identity(path);
    QVERIFY(QFileInfo::exists(path));

    s.open();
    const QString readWhy = "Cannot read " + QDir::toNativeSeparators(path) + ": " + reason;
    QCOMPARE(s.prompter.messages.size(), 1);
    const platform::MessageRequest& told = s.prompter.messages.first();
    QCOMPARE(told.text, "The list of accounts and campaigns could not be read, so the tree shows none of them; the "
                        "file is left as it is.\r\n\r\n"
                            + readWhy);
    QCOMPARE(told.title, QStringLiteral("PPC Quillmark"));
    QCOMPARE(told.icon, platform::MsgIcon::Critical);
    QVERIFY2(s.log().contains("LoadLoadAccounts_Error: " + readWhy + "\r\n"), qPrintable(s.log()));
    QCOMPARE(s.w->shownTree(), QStringList{"Default"});
    QCOMPARE(describe(s.ws().openCampaign()), QStringLiteral("<none>"));

    QVERIFY(s.ws().addNewCampaign("Default", "n"));
    QCOMPARE(s.w->shownTree(), (QStringList{"Default", "Default-n"}));
    const QString writeWhy = "Cannot write " + QDir::toNativeSeparators(path) + ": " + reason;
    QCOMPARE(s.prompter.messages.size(), 2);
    QCOMPARE(s.prompter.messages.last().text,
             "The campaign 'n' of account 'Default' has been added, but the list of accounts and campaigns could not "
             "be saved: the campaign will be missing from the tree when the program starts again.\r\n\r\n"
                 + writeWhy);
    QVERIFY(s.log().contains("clsMain_SaveAccount error:  " + writeWhy + "\r\n"));
    s.ws().SaveCampaign();
    QVERIFY(s.ws().saveBeforeLeaving(QStringLiteral("Close the program anyway?")));
    s.ws().close(QString());

    QCOMPARE(identity(path), before);
    if (pipe)
        QVERIFY2(!pipe->wasOpened(), "the named pipe was opened");
    if (kind == "folder")
        QCOMPARE(QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"inside.txt"});
    // Nothing was written beside it either, not even a temporary file.
    QCOMPARE(QDir(s.work).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
             (QStringList{"Accounts", name}));
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
    Session s("[Good]\r\ng\r\n" + accounts);
    s.campaign("Good", "g");
    const QString folder = QDir::cleanPath(s.campaignFolder(account, campaign));
    const QString datFile = QDir::cleanPath(folder + '/' + campaign + ".dat");
    QVERIFY(TestEnvironment::writeAll(datFile, "kept"));
    s.open();
    QCOMPARE(describe(s.ws().openCampaign()), QStringLiteral("Good-g"));

    const NodeId node = NodeId::campaignNode(account, campaign);
    QVERIFY(s.ws().accounts().contains(node));
    s.ws().tvwAccount_NodeClick(node);
    QCOMPARE(describe(s.ws().openCampaign()), QStringLiteral("<none>"));
    QVERIFY(!s.w->editorShown);
    QCOMPARE(s.w->status, QStringLiteral("Load campaign data failed"));
    const QString why = "The name of the campaign or of its account cannot be the name of a folder: it is \".\" or "
                        "\"..\", or it holds a slash or backslash.";
    QVERIFY(s.log().contains("OpenCampaign_Error: " + why + "-Log point 3"));
    QCOMPARE(s.prompter.messages.size(), 1);
    QCOMPARE(s.prompter.messages.first().text,
             "The campaign '" + campaign + "' of account '" + account + "' could not be opened.\r\n\r\n" + why);
    QCOMPARE(s.prompter.messages.first().title, QStringLiteral("Open Campaign"));

    s.ws().SaveCampaign();
    s.w->build.BuildCampaigns();
    for (const char* name : {"Campaign.dat", "BaseKeywords.dat", "AdwordsKeywords.csv"})
        QVERIFY2(!QFile::exists(folder + '/' + name), name);

    s.prompter.answers.enqueue(platform::MsgResult::Yes);
    s.ws().DeleteCampaign();
    QVERIFY(!s.ws().accounts().contains(node));
    QCOMPARE(TestEnvironment::readAll(datFile), QByteArray("kept"));
    QVERIFY(s.ws().saveBeforeLeaving(QStringLiteral("Close the program anyway?")));
    s.ws().close(QString());
    QVERIFY(!QFile::exists(folder + "/Campaign.dat"));
}

QTEST_GUILESS_MAIN(TestTreeCommands)
#include "tst_treecommands.moc"
