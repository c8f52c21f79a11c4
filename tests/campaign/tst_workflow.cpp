#include "FakeWindow.h"
#include "SettingsFixture.h"
#include "WorkingFolderFixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QMap>
#include <QtTest>

namespace {

// Files below the test's root folder: their bytes, or a null array for a
// file that must not exist.
using Files = QMap<QString, QByteArray>;

// What the user types into the editor of the open campaign.
CampaignData typed(const QString& campaign)
{
    CampaignData c;
    c.baseKeywords = QStringLiteral("red shoes");
    c.broadMatch = true;
    c.broadBid = QStringLiteral("0.5");
    c.urlTemplate = QStringLiteral("http://shop.example/");
    c.maxCPC = QStringLiteral("0.40");
    c.ads[0] = {QStringLiteral("Shoes at {campaign}"), QStringLiteral("Free delivery"), QStringLiteral("Order today"),
                QStringLiteral("shop.example"), QStringLiteral("http://shop.example/")};
    c.landingPagePath = "/pages/" + campaign + ".html";
    return c;
}

// Campaign.dat of typed(campaign).
QByteArray campaignFile(const QByteArray& campaign)
{
    return "[Keywords]\r\n"
           "BroadMatch=1\r\nPhraseMatch=0\r\nExactMatch=0\r\n"
           "BroadBid=0.5\r\nPhraseBid=\r\nExactBid=\r\n"
           "URLTemplate=http://shop.example/\r\n"
           "ReplaceURLSpace=0\r\n"
           "[AdGroup]\r\n"
           "Grouping=0\r\nIncludeBaseKeyword=0\r\nIncludeExtKeyword=1\r\nCapilisation=0\r\n"
           "ReplaceGroupSpace=0\r\nAddCustomeGroup=0\r\nCustomeGroup=\r\nExtraGroupText=\r\n"
           "MaxCPC=0.40\r\nMaxContentCPC=\r\nPlacementMaxCPC=\r\n"
           "[Ad1]\r\n"
           "Headline=Shoes at {campaign}\r\nDescription1=Free delivery\r\nDescription2=Order today\r\n"
           "DisplayURL=shop.example\r\nDestinationURL=http://shop.example/\r\n"
           "[LandingPage]\r\n"
           "LandingPagePath=/pages/"
        + campaign + ".html\r\n";
}

// The files of a campaign folder after the user typed typed(campaign) and,
// when built, a build ran; with the campaign's own files when saved.
Files campaignFolder(const QString& folder, const QByteArray& campaign, bool saved, bool built)
{
    Files files;
    const auto file = [&](const char* name, const QByteArray& bytes) { files.insert(folder + "/" + name, bytes); };
    file("Campaign.dat", saved ? campaignFile(campaign) : QByteArray());
    file("BaseKeywords.dat", saved ? QByteArray("red shoes\r\n") : QByteArray());
    file("ExtensionKeywords.dat", saved ? QByteArray("\r\n") : QByteArray());
    const auto row = [&](const QByteArray& fields) { return built ? campaign + ",RED-SHOES," + fields + "\r\n" : QByteArray(); };
    file("AdwordsKeywords.csv", row("red shoes,Broad,0.5,http://shop.example/"));
    file("AdwordsAds.csv", row("Shoes at " + campaign + ",Free delivery,Order today,shop.example,http://shop.example/"));
    file("AdwordsAdGroups.csv", row("0.40"));
    return files;
}

// Every file below folder, by its path relative to it, with its bytes.
Files filesBelow(const QString& folder)
{
    Files files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path), TestEnvironment::readAll(path));
    }
    return files;
}

Files operator+(Files a, const Files& b)
{
    a.insert(b);
    return a;
}

} // namespace

class TestWorkflow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void workingFolderToImportFiles_data();
    void workingFolderToImportFiles();
};

void TestWorkflow::workingFolderToImportFiles_data()
{
    QTest::addColumn<QByteArray>("accounts"); // Accounts.dat at the start; null: none
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<Files>("files");
    QTest::addColumn<QString>("lastSelectAcc");
    QTest::addColumn<QStringList>("handedOn"); // the working folders File/Setup handed on, below the root

    const QByteArray ax("[A]\r\nx\r\ny\r\n");
    QTest::newRow("first start: a new campaign built")
        << QByteArray() << QStringList{"new Shop/Spring", "type", "build", "close"}
        << Files{{"work/Accounts.dat", "[Default]\r\n[Shop]\r\nSpring\r\n\r\n"}}
               + campaignFolder("work/Accounts/Shop/Spring", "Spring", true, true)
        << "Shop-Spring" << QStringList();
    QTest::newRow("the campaign left is saved, the one built is the one open")
        << ax << QStringList{"type", "click A/y", "type", "build", "close"}
        << Files{{"work/Accounts.dat", ax}} + campaignFolder("work/Accounts/A/x", "x", true, false)
               + campaignFolder("work/Accounts/A/y", "y", true, true)
        << "A-y" << QStringList();
    QTest::newRow("a deleted campaign is neither saved nor built")
        << ax << QStringList{"type", "delete", "build", "click A/y", "type", "build", "close"}
        << Files{{"work/Accounts.dat", "[A]\r\ny\r\n\r\n"}} + campaignFolder("work/Accounts/A/x", "x", false, false)
               + campaignFolder("work/Accounts/A/y", "y", true, true)
        << "A-y" << QStringList();
    QTest::newRow("File/Setup moves to another working folder")
        << ax << QStringList{"type", "setup other", "new B/n", "type", "build", "close"}
        << Files{{"work/Accounts.dat", ax}, {"other/Accounts.dat", "[Default]\r\n[B]\r\nn\r\n\r\n"}}
               + campaignFolder("work/Accounts/A/x", "x", true, false)
               + campaignFolder("other/Accounts/B/n", "n", true, true)
        << "B-n" << QStringList{"other"};
}

// From a working folder through tree commands, typing, builds and the
// close to the files on disk: the accounts file, each campaign's files and
// the three import files, with the last selection stored. The workspace
// works in the folder it was given and hands a new one on: the program's
// global working folder, here another folder with a campaign of its own,
// is neither read nor written.
void TestWorkflow::workingFolderToImportFiles()
{
    QFETCH(QByteArray, accounts);
    QFETCH(QStringList, commands);
    QFETCH(Files, files);
    QFETCH(QString, lastSelectAcc);
    QFETCH(QStringList, handedOn);
    WorkingFolderFixture f(accounts, !accounts.isNull());
    f.prompter.defaultAnswer = platform::MsgResult::Yes; // Delete Campaign's question
    const QString global = f.env.path("global");
    const Files globalFiles{{"Accounts.dat", "[G]\r\ng\r\n"}, {"Accounts/G/g/Campaign.dat", campaignFile("g")}};
    for (auto file = globalFiles.cbegin(); file != globalFiles.cend(); ++file)
        QVERIFY(TestEnvironment::writeAll(global + "/" + file.key(), file.value()));
    g_sWorkingFolder = global;
    FakeWindow w(f.work);
    w.workspace.load();
    const auto node = [](const QString& words) {
        const QString names = words.section(' ', 1);
        return NodeId::campaignNode(names.section('/', 0, 0), names.section('/', 1));
    };
    for (const QString& command : commands) {
        if (command.startsWith("new ")) {
            const NodeId added = node(command);
            QVERIFY(w.workspace.addNewCampaign(added.account, added.campaign));
        } else if (command.startsWith("click ")) {
            w.workspace.tvwAccount_NodeClick(node(command));
        } else if (command == "type") {
            QVERIFY2(w.workspace.openCampaign(), "no campaign is open to type into");
            w.editor = typed(w.workspace.openCampaign()->campaign);
        } else if (command == "build") {
            w.build.BuildCampaigns();
        } else if (command == "delete") {
            w.workspace.DeleteCampaign();
        } else if (command.startsWith("setup ")) {
            const QString folder = f.env.path(command.section(' ', 1));
            w.workspace.changeSettings([&] { testsettings::saveWorkingFolder(folder); });
        } else if (command == "close") {
            QVERIFY(w.workspace.saveBeforeLeaving(QStringLiteral("Close the program anyway?")));
            w.workspace.close(QStringLiteral("0,0,15000,10500"));
        } else {
            QFAIL(qPrintable("unknown command " + command));
        }
    }
    for (auto file = files.cbegin(); file != files.cend(); ++file) {
        const QString path = f.env.path(file.key());
        if (file.value().isNull())
            QVERIFY2(!QFileInfo::exists(path), qPrintable(file.key() + " exists"));
        else
            QCOMPARE(TestEnvironment::readAll(path), file.value());
    }
    QCOMPARE(testsettings::stored(RegistryAPI::HKEY_CURRENT_USER, g_sPreferenceKey, "LastSelectAcc"), lastSelectAcc);

    QStringList folders;
    for (const QString& folder : handedOn)
        folders << f.env.path(folder);
    QCOMPARE(w.workingFolders, folders);
    QCOMPARE(w.workspace.workingFolder(), folders.isEmpty() ? f.work : folders.last());
    QCOMPARE(g_sWorkingFolder, global);
    QCOMPARE(filesBelow(global), globalFiles);
}

QTEST_GUILESS_MAIN(TestWorkflow)
#include "tst_workflow.moc"
