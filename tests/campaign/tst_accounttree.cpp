#include "BoundSocket.h"
#include "NamedPipe.h"
#include "RootObeysPermissions.h"
#include "TestEnvironment.h"
#include "ScriptedPrompter.h"

#include "campaign/clsMain.h"
#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// "A" for an account, "A/x" for a campaign, in node order.
QStringList describe(const clsMain& tree)
{
    QStringList out;
    for (const TreeNode& node : tree.nodes())
        out.append(node.id.isAccount() ? node.id.account : node.id.account + QLatin1Char('/') + node.id.campaign);
    return out;
}

} // namespace

class TestAccountTree : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void load_data();
    void load();
    void missingFileGivesDefault();
    void saveWritesAccountsWithTheirCampaigns();
    void unreadableFileIsNeverOverwritten();
    void saveNeverReplacesWhatIsNoFile_data();
    void saveNeverReplacesWhatIsNoFile();
    void keysDoNotCollide();
    void displayOrderIsSorted();
    void campaignNamesCompareAsQtWithoutCase_data();
    void campaignNamesCompareAsQtWithoutCase();
    void deleteCampaign_data();
    void deleteCampaign();
    void deleteNeedsYesAndACampaign();
};

void TestAccountTree::load_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("nodes");

    QTest::newRow("example") << QByteArray("[Default]\r\nSpring Sale\r\nClearance\r\n[Client B]\r\nBrand\r\n\r\n")
                             << QStringList{"Default", "Default/Spring Sale", "Default/Clearance", "Client B",
                                            "Client B/Brand"};
    QTest::newRow("blank lines and blanks around") << QByteArray("\r\n  [Shop]  \r\n\r\n Shop \r\n   \r\n")
                                                   << QStringList{"Shop", "Shop/Shop"};
    QTest::newRow("lines before the first account") << QByteArray("stray\r\n[A]\r\nx\r\n")
                                                    << QStringList{"A", "A/x"};
    QTest::newRow("[] drops what follows") << QByteArray("[A]\r\nx\r\n[]\r\ny\r\n[B]\r\nz\r\n")
                                           << QStringList{"A", "A/x", "B", "B/z"};
    QTest::newRow("repeated account joins the first") << QByteArray("[A]\r\nx\r\n[B]\r\ny\r\n[a]\r\nz\r\n")
                                                      << QStringList{"A", "A/x", "B", "B/y", "A/z"};
    QTest::newRow("repeated campaign dropped") << QByteArray("[A]\r\nx\r\nX\r\nx\r\n")
                                               << QStringList{"A", "A/x"};
    QTest::newRow("only blank lines") << QByteArray("\r\n\r\n  \r\n") << QStringList{"Default"};
    QTest::newRow("only campaign lines") << QByteArray("x\r\ny\r\n") << QStringList{"Default"};
    QTest::newRow("empty file") << QByteArray() << QStringList{"Default"};
    QTest::newRow("LF only and a bracket alone") << QByteArray("[A]\n[\nb]\n") << QStringList{"A", "A/[", "A/b]"};
    QTest::newRow("UTF-8 and Windows-1252") << QByteArray("[Caf\xc3\xa9]\r\n") << QStringList{QString::fromUtf8("Café")};
    QTest::newRow("Windows-1252") << QByteArray("[Caf\xe9]\r\n") << QStringList{QString::fromUtf8("Café")};
}

void TestAccountTree::load()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, nodes);
    TestEnvironment env;
    const QString work = env.path("work");
    QVERIFY(TestEnvironment::writeAll(work + "/Accounts.dat", file));
    clsMain tree(work);
    QVERIFY(tree.LoadAccounts());
    QCOMPARE(describe(tree), nodes);
    // Loading never writes the file.
    QCOMPARE(TestEnvironment::readAll(work + "/Accounts.dat"), file);
}

void TestAccountTree::missingFileGivesDefault()
{
    TestEnvironment env;
    const QString work = env.path("work");
    clsMain tree(work);
    QVERIFY(!tree.LoadAccounts());
    QCOMPARE(describe(tree), QStringList{"Default"});
    QCOMPARE(tree.nodes().first().image, QStringLiteral("Account"));
    QCOMPARE(tree.nodes().first().selectedImage, QStringLiteral("AccountOpen"));
    QVERIFY(!QFile::exists(work + "/Accounts.dat"));
}

void TestAccountTree::saveWritesAccountsWithTheirCampaigns()
{
    TestEnvironment env;
    const QString work = env.path("work");
    QVERIFY(TestEnvironment::writeAll(work + "/Accounts.dat", "[A]\r\nx\r\n[B]\r\ny\r\n"));
    clsMain tree(work);
    QVERIFY(tree.LoadAccounts());
    QVERIFY(tree.addCampaign("a", "z", QString(), "CampaignOpen"));
    QVERIFY(!tree.addCampaign("A", "Z", QString(), "CampaignOpen"));
    QVERIFY(!tree.addCampaign("C", "q", QString(), QString()));
    QVERIFY(tree.SaveAccount());
    QCOMPARE(TestEnvironment::readAll(work + "/Accounts.dat"), QByteArray("[A]\r\nx\r\nz\r\n[B]\r\ny\r\n\r\n"));
    QVERIFY(QDir(work).entryList(QDir::Files | QDir::Hidden) == QStringList{"Accounts.dat"});

    // The same bytes come back through a load and save.
    clsMain again(work);
    QVERIFY(again.LoadAccounts());
    QVERIFY(again.SaveAccount());
    QCOMPARE(TestEnvironment::readAll(work + "/Accounts.dat"), QByteArray("[A]\r\nx\r\nz\r\n[B]\r\ny\r\n\r\n"));
}

void TestAccountTree::unreadableFileIsNeverOverwritten()
{
    TestEnvironment env;
    const QString work = env.path("work");
    const QString file = work + "/Accounts.dat";
    QVERIFY(TestEnvironment::writeAll(file, "[A]\r\nx\r\n"));
    QVERIFY(QFile::setPermissions(file, QFileDevice::WriteOwner));
    {
        const RootObeysPermissions asAnyUser;
        QFile probe(file);
        QVERIFY2(!probe.open(QIODevice::ReadOnly), "a file without read permission can be read");

        clsMain tree(work);
        QVERIFY(tree.LoadAccounts());
        QVERIFY(tree.addCampaign("Default", "new", QString(), QString()));
        QVERIFY(!tree.SaveAccount());
    }
    QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QCOMPARE(TestEnvironment::readAll(file), QByteArray("[A]\r\nx\r\n"));
}

void TestAccountTree::saveNeverReplacesWhatIsNoFile_data()
{
    QTest::addColumn<QString>("kind"); // "pipe", "socket" or "folder"
    QTest::addColumn<QString>("reason");
    QTest::newRow("named pipe") << "pipe" << "it is a named pipe, not a file";
    QTest::newRow("socket") << "socket" << "it is a socket, not a file";
    QTest::newRow("folder") << "folder" << "it is a folder, not a file";
}

// The list was missing at the load, and something that is no file has
// taken its place since: the save says so and leaves it where it is.
void TestAccountTree::saveNeverReplacesWhatIsNoFile()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    TestEnvironment env;
    const QString work = env.path("work");
    const QString file = work + "/Accounts.dat";
    QVERIFY(QDir().mkpath(work));
    clsMain tree(work);
    QVERIFY(!tree.LoadAccounts());
    QVERIFY(tree.addCampaign("Default", "new", QString(), QString()));

    std::unique_ptr<NamedPipe> pipe;
    std::unique_ptr<BoundSocket> socket;
    if (kind == "pipe") {
        pipe = std::make_unique<NamedPipe>(file);
        QVERIFY(pipe->isMade());
    } else if (kind == "socket") {
        socket = std::make_unique<BoundSocket>(file);
        QVERIFY(socket->isBound());
    } else {
        QVERIFY(QDir().mkpath(file));
    }
    QString error;
    QVERIFY(!tree.SaveAccount(&error));
    QCOMPARE(error, "Cannot write " + QDir::toNativeSeparators(file) + ": " + reason);
    QCOMPARE(platform::notRegularFile(file), reason);
    if (pipe)
        QVERIFY(!pipe->wasOpened());
    QCOMPARE(QDir(work).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
             QStringList{"Accounts.dat"});
}

void TestAccountTree::keysDoNotCollide()
{
    TestEnvironment env;
    const QString work = env.path("work");
    QVERIFY(TestEnvironment::writeAll(work + "/Accounts.dat", "[A]\r\nb-c\r\n[A-b]\r\nc\r\n"));
    clsMain tree(work);
    QVERIFY(tree.LoadAccounts());
    QCOMPARE(describe(tree), (QStringList{"A", "A/b-c", "A-b", "A-b/c"}));
    QVERIFY(tree.SaveAccount());
    QCOMPARE(TestEnvironment::readAll(work + "/Accounts.dat"), QByteArray("[A]\r\nb-c\r\n[A-b]\r\nc\r\n\r\n"));
    QCOMPARE(NodeId::campaignNode("A", "b-c").key(), QStringLiteral("A-b-c"));
    QVERIFY(!NodeId::campaignNode("A", "b-c").matches(NodeId::campaignNode("A-b", "c")));
    QVERIFY(tree.NodeKeyExists("a-B-C"));
}

void TestAccountTree::displayOrderIsSorted()
{
    TestEnvironment env;
    const QString work = env.path("work");
    QVERIFY(TestEnvironment::writeAll(work + "/Accounts.dat", "[beta]\r\nz\r\nA\r\n[Alpha]\r\nm\r\n"));
    clsMain tree(work);
    QVERIFY(tree.LoadAccounts());
    QStringList shown;
    for (const NodeId& id : tree.displayOrder())
        shown.append(id.key());
    QCOMPARE(shown, (QStringList{"Alpha", "Alpha-m", "beta", "beta-A", "beta-z"}));
}

void TestAccountTree::campaignNamesCompareAsQtWithoutCase_data()
{
    QTest::addColumn<QStringList>("names"); // in file order
    QTest::newRow("signs between the capitals and the small letters")
        << QStringList{"a_", "A[", "AZ", "Ab", "a`", "A^", "a]", "A\\", "aa"};
    QTest::newRow("digits, blanks and prefixes") << QStringList{"Camp 2", "camp 10", "CAMP", "Camp 1", "camp", "Camp-1"};
    QTest::newRow("accented letters") << QStringList{u"\u00e9mile"_s, "Emile", "ezra", u"\u00c9zra"_s, "zoe", u"\u00c9MILE"_s};
    QTest::newRow("ASCII beginning, accent later")
        << QStringList{u"Camp \u00e9"_s, "Camp E", "camp f", u"CAMP \u00c92"_s, "Camp e"};
    QTest::newRow("Kelvin sign folds to k") << QStringList{u"\u212Aelvin"_s, "kelvin", "Kelvin", "kelvim"};
    QTest::newRow("sharp s") << QStringList{u"\u00df"_s, "ss", "SS", "st", u"\u1e9e"_s};
    QTest::newRow("beyond the 16-bit range")
        << QStringList{u"\U00010400x"_s, u"\U00010428x"_s, u"\ufffdz"_s, "Zz", u"\U00010401"_s, u"\u00ff"_s};
}

// The tree's own ordering of campaign names is that of QString::compare
// without regard to case, which the tree view's model searches by; names
// equal under it are one campaign (the first one stays).
void TestAccountTree::campaignNamesCompareAsQtWithoutCase()
{
    QFETCH(QStringList, names);
    QStringList unique;
    for (const QString& name : names)
        if (std::none_of(unique.cbegin(), unique.cend(),
                         [&](const QString& u) { return u.compare(name, Qt::CaseInsensitive) == 0; }))
            unique << name;
    QStringList expected = unique;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });

    TestEnvironment env;
    const QString work = env.path("work");
    QVERIFY(TestEnvironment::writeAll(work + "/Accounts.dat", ("[A]\r\n" + names.join("\r\n") + "\r\n").toUtf8()));
    clsMain tree(work);
    QVERIFY(tree.LoadAccounts());
    QStringList shown;
    for (const NodeId& id : tree.displayOrder())
        if (id.isCampaign())
            shown << id.campaign;
    QCOMPARE(shown, expected);
    for (const QString& name : names)
        QVERIFY2(tree.contains(NodeId::campaignNode("a", name.toUpper())), qPrintable(name));
}

void TestAccountTree::deleteCampaign_data()
{
    QTest::addColumn<QString>("campaign");
    QTest::addColumn<QString>("nextSelect");
    QTest::addColumn<QByteArray>("saved");
    // Siblings in the sorted order the tree shows: a, b, c (added c, a, b).
    QTest::newRow("next sibling") << "a" << "A-b" << QByteArray("[A]\r\nc\r\nb\r\n[B]\r\nd\r\n\r\n");
    QTest::newRow("previous sibling") << "c" << "A-b" << QByteArray("[A]\r\na\r\nb\r\n[B]\r\nd\r\n\r\n");
    QTest::newRow("last campaign leaves its account") << "d" << "B"
                                                      << QByteArray("[A]\r\nc\r\na\r\nb\r\n[B]\r\n\r\n");
}

void TestAccountTree::deleteCampaign()
{
    QFETCH(QString, campaign);
    QFETCH(QString, nextSelect);
    QFETCH(QByteArray, saved);
    TestEnvironment env;
    ScriptedPrompter prompter;
    prompter.answers.enqueue(platform::MsgResult::Yes);
    const QString work = env.path("work");
    QVERIFY(TestEnvironment::writeAll(work + "/Accounts.dat", "[A]\r\nc\r\na\r\nb\r\n[B]\r\nd\r\n"));
    const QString account = campaign == "d" ? "B" : "A";
    const QString folder = work + "/Accounts/" + account + "/" + campaign;
    QVERIFY(TestEnvironment::writeAll(folder + "/" + campaign + ".dat", "old"));
    QVERIFY(TestEnvironment::writeAll(folder + "/Campaign.dat", "[Keywords]\r\n"));

    clsMain tree(work);
    QVERIFY(tree.LoadAccounts());
    tree.setSelectNode(NodeId::campaignNode(account, campaign));
    const auto removed = tree.DeleteAccount();
    QVERIFY(removed);
    QVERIFY(removed->matches(NodeId::campaignNode(account, campaign)));

    QCOMPARE(prompter.messages.size(), 1);
    QCOMPARE(prompter.messages.first().text, "Are you sure you want to delete campaign '" + campaign + "' ?");
    QCOMPARE(prompter.messages.first().title, QStringLiteral("Delete Campaign"));
    QCOMPARE(prompter.messages.first().buttons, platform::MsgButtons::YesNo);
    QCOMPARE(prompter.messages.first().icon, platform::MsgIcon::Question);

    QVERIFY(tree.SelectNode());
    QCOMPARE(tree.SelectNode()->key(), nextSelect);
    QCOMPARE(tree.image(*tree.SelectNode()), QStringLiteral("CampaignOpen"));
    QCOMPARE(TestEnvironment::readAll(work + "/Accounts.dat"), saved);
    QVERIFY(!QFile::exists(folder + "/" + campaign + ".dat"));
    QVERIFY(QFile::exists(folder + "/Campaign.dat"));
}

void TestAccountTree::deleteNeedsYesAndACampaign()
{
    TestEnvironment env;
    ScriptedPrompter prompter;
    const QString work = env.path("work");
    const QByteArray file("[A]\r\nx\r\n[B]\r\n");
    QVERIFY(TestEnvironment::writeAll(work + "/Accounts.dat", file));
    clsMain tree(work);
    QVERIFY(tree.LoadAccounts());

    // Nothing opened yet: nothing asked, nothing removed.
    QVERIFY(!tree.DeleteAccount());
    QVERIFY(prompter.messages.isEmpty());

    // No keeps everything.
    tree.setSelectNode(NodeId::campaignNode("A", "x"));
    prompter.answers.enqueue(platform::MsgResult::No);
    QVERIFY(!tree.DeleteAccount());
    QCOMPARE(tree.count(), 3);

    // An account with campaigns is not touched; one without is asked about
    // and then refused.
    tree.setSelectNode(NodeId::accountNode("A"));
    QVERIFY(!tree.DeleteAccount());
    QCOMPARE(prompter.messages.size(), 1);
    tree.setSelectNode(NodeId::accountNode("B"));
    prompter.answers.enqueue(platform::MsgResult::Yes);
    QVERIFY(!tree.DeleteAccount());
    QCOMPARE(prompter.messages.size(), 2);
    QCOMPARE(tree.count(), 3);
    QCOMPARE(TestEnvironment::readAll(work + "/Accounts.dat"), file);
}

QTEST_GUILESS_MAIN(TestAccountTree)
#include "tst_accounttree.moc"
