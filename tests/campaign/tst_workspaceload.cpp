#include "FakeWindow.h"
#include "SettingsFixture.h"
#include "WorkingFolderFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>

namespace {

QString selectedKey(const FakeWindow& w)
{
    return w.workspace.selectedNode() ? w.workspace.selectedNode()->key() : QStringLiteral("<none>");
}

} // namespace

// The loads of the tree: at the start, with the selection stored at the
// last close, and after File/Setup, from the working folder it leaves.
class TestWorkspaceLoad : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startUpSelection_data();
    void startUpSelection();
    void setupReloadsFromChangedFolder();
    void setupWithSameFolderOnlyReloads();
};

void TestWorkspaceLoad::startUpSelection_data()
{
    QTest::addColumn<QByteArray>("accounts");
    QTest::addColumn<QString>("stored");   // "<none>" when nothing is stored
    QTest::addColumn<QString>("selected"); // m_oSelectedNode after load
    QTest::addColumn<bool>("welcome");
    QTest::addColumn<QString>("opened");   // the landing-page path in the editor after load

    // In node order B comes first and A/x last, so a stale key (the last
    // node) and the first campaign lead to different campaigns.
    const QByteArray ba("[B]\r\ny\r\n[A]\r\nx\r\n");
    QTest::newRow("nothing stored: first campaign in node order") << ba << "<none>" << "B-y" << false << "B/y";
    QTest::newRow("stored key, any case: that node, not the last") << ba << "b-Y" << "B-y" << false << "B/y";
    QTest::newRow("stale key: last node") << ba << "Gone-z" << "A-x" << false << "A/x";
    QTest::newRow("stored account with campaigns") << ba << "A" << "A" << true << "";
    QTest::newRow("stale key, last node an account") << QByteArray("[A]\r\nx\r\n[B]\r\n") << "zzz" << "B" << true
                                                    << "";
    QTest::newRow("two accounts without campaigns") << QByteArray("[A]\r\n[B]\r\n") << "<none>" << "B" << true << "";
    QTest::newRow("only blank lines") << QByteArray("\r\n\r\n") << "<none>" << "Default" << true << "";
}

// The stored "LastSelectAcc" picks the node that the start opens, and the
// window is shown that node: highlighted, in the editor, its image the open
// one, its folder the campaign's.
void TestWorkspaceLoad::startUpSelection()
{
    QFETCH(QByteArray, accounts);
    QFETCH(QString, stored);
    QFETCH(QString, selected);
    QFETCH(bool, welcome);
    QFETCH(QString, opened);
    WorkingFolderFixture ws(accounts);
    ws.campaign("A", "x");
    ws.campaign("B", "y");
    if (stored != "<none>")
        testsettings::storePreference("LastSelectAcc", stored);
    FakeWindow w(ws.work);
    w.workspace.load();
    QCOMPARE(selectedKey(w), selected);
    QCOMPARE(!w.editorShown, welcome);
    QCOMPARE(w.editor.landingPagePath, opened);
    if (!welcome) {
        const NodeId open = *w.workspace.selectedNode();
        QCOMPARE(w.workspace.accounts().image(open), QStringLiteral("CampaignOpen"));
        QVERIFY(w.highlighted && w.highlighted->matches(open));
        QCOMPARE(w.workspace.campaignFolder(), ws.work + "/Accounts/" + open.account + "/" + open.campaign);
    } else {
        QCOMPARE(w.workspace.campaignFolder(), QString());
    }
}

// File/Setup saves the open campaign, shows the dialog once and, when the
// saved working folder is another one, makes it, logs the change, hands it
// on and loads the tree from it: an empty folder shows only "Default" and
// nothing open; a folder with campaigns opens the stored one.
void TestWorkspaceLoad::setupReloadsFromChangedFolder()
{
    WorkingFolderFixture ws("[A]\r\nx\r\n");
    ws.campaign("A", "x");
    const QString oldFolder = ws.work;
    const QString newFolder = ws.env.path("elsewhere/new");
    const QString other = ws.env.path("other");
    TestEnvironment::writeAll(other + "/Accounts.dat", "[N]\r\nn\r\n");
    TestEnvironment::writeAll(other + "/Accounts/N/n/Campaign.dat", "[LandingPage]\r\nLandingPagePath=N/n\r\n");

    FakeWindow w(ws.work);
    w.workspace.load();
    w.editor.landingPagePath = "before setup";
    int shown = 0;
    w.workspace.changeSettings([&] {
        ++shown;
        testsettings::saveWorkingFolder(newFolder + "/");
    });
    QCOMPARE(shown, 1);
    QVERIFY(ws.campaignFile("A", "x").contains("LandingPagePath=before setup\r\n"));
    QCOMPARE(w.workspace.workingFolder(), newFolder);
    QCOMPARE(w.workingFolders, QStringList{newFolder});
    QVERIFY(QFileInfo(newFolder).isDir());
    QVERIFY(ws.log().contains("Change WorkingFolder: \r\nOld Folder: " + oldFolder + ", NewFolder: " + newFolder
                              + "\r\n"));
    QCOMPARE(w.workspace.accounts().count(), 1);
    QCOMPARE(w.workspace.accounts().nodes().first().id.key(), QStringLiteral("Default"));
    QCOMPARE(w.shownTree(), QStringList{"Default"});
    QVERIFY(!QFileInfo::exists(newFolder + "/Accounts/A"));
    // Nothing is open in the new folder: the editor is not left showing the
    // old campaign, whose further edits would be saved nowhere.
    QVERIFY(!w.workspace.selectedNode());
    QVERIFY(!w.editorShown);

    testsettings::storePreference("LastSelectAcc", "N-n");
    w.workspace.changeSettings([&] { testsettings::saveWorkingFolder(other); });
    QCOMPARE(w.workingFolders, (QStringList{newFolder, other}));
    QCOMPARE(selectedKey(w), QStringLiteral("N-n"));
    QCOMPARE(w.editor.landingPagePath, QStringLiteral("N/n"));
    QVERIFY(w.editorShown);
    QCOMPARE(w.workspace.campaignFolder(), other + "/Accounts/N/n");
}

// A dialog that leaves the working folder as it is: no change logged or
// handed on, the edit made before saved, the tree loaded again from disk
// and the stored selection (none) opening the first campaign.
void TestWorkspaceLoad::setupWithSameFolderOnlyReloads()
{
    WorkingFolderFixture ws("[A]\r\nx\r\ny\r\n");
    ws.campaign("A", "x");
    ws.campaign("A", "y");
    FakeWindow w(ws.work);
    w.workspace.load();
    w.workspace.tvwAccount_NodeClick(NodeId::campaignNode("A", "y"));
    w.editor.landingPagePath = "kept";
    w.workspace.changeSettings([] {});
    QCOMPARE(w.workspace.workingFolder(), ws.work);
    QVERIFY(w.workingFolders.isEmpty());
    QVERIFY(!ws.log().contains("Change WorkingFolder"));
    QVERIFY(ws.campaignFile("A", "y").contains("LandingPagePath=kept\r\n"));
    QCOMPARE(selectedKey(w), QStringLiteral("A-x"));
}

QTEST_GUILESS_MAIN(TestWorkspaceLoad)
#include "tst_workspaceload.moc"
