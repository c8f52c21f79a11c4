#include "ModalWatcher.h"
#include "RecordingShellOpener.h"
#include "SettingsFixture.h"
#include "WorkingFolderFixture.h"

#include "campaign/CampaignStore.h"
#include "core/Globals.h"
#include "core/RegistryAPI.h"
#include "settings/clsPreference.h"
#include "settings/clsRegister.h"
#include "workspace/frmMain.h"
#include "workspace/frmNewCampaign.h"

#include <QAction>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeView>
#include <QtTest>

using RegistryAPI::HKEY_CURRENT_USER;

namespace {

QString readPreference(const QString& name)
{
    return testsettings::stored(HKEY_CURRENT_USER, g_sPreferenceKey, name);
}

void storeEditorPath(const QString& path)
{
    testsettings::savePreferences([&path](clsPreference& preference) { preference.setGoogleAdwordsEditor(path); });
}

QLineEdit* landingPath(frmMain& w)
{
    return w.findChild<QLineEdit*>("txtLandingPagePath");
}

// The window's control of that name and type; a missing one is added to
// missing and gives nullptr.
template <typename T>
T* control(const QWidget& window, const QString& name, QStringList& missing)
{
    T* found = window.findChild<T*>(name);
    if (!found)
        missing << name;
    return found;
}

QString selectedKey(const frmMain& w)
{
    return w.workspace().selectedNode() ? w.workspace().selectedNode()->key() : QStringLiteral("<none>");
}

// The tree view's node at account row `account` and, unless -1, its
// campaign row `campaign`.
QModelIndex treeNode(const frmMain& w, int account, int campaign = -1)
{
    const QAbstractItemModel* model = w.tvwAccount()->model();
    const QModelIndex a = model->index(account, 0);
    return campaign < 0 ? a : model->index(campaign, 0, a);
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void controlsExist();
    void firstRunShowsDefaultAndWelcome();
    void unreadableFilesAreTold_data();
    void unreadableFilesAreTold();
    void windowsWorkingFolderIsUsed();
    void longValuesComeBackWhole();
    void keywordLoadsNeedAnOpenCampaign_data();
    void keywordLoadsNeedAnOpenCampaign();
    void closeWritesPositionAndSelection();
    void closeWhileMinimisedOrWithoutSelection();
    void nodeClickSavesAndOpens();
    void deleteOpenCampaign();
    void deleteAfterClickOnEmptyAccount();
    void accountsKeepAccountPictures();
    void newCampaign();
    void newCampaignThroughTheDialog();
    void updateUI_data();
    void updateUI();
    void updateUIWithEmptyTree();
    void setupReloadsFromChangedFolder();
    void setupWithSameFolderOnlyReloads();
    void helpContentsMissing();
    void helpCommandsOpenTheirTargets();
    void failedOpensAreTold_data();
    void failedOpensAreTold();
    void adwordsEditorLaunch_data();
    void adwordsEditorLaunch();
    void editorRoundTrip();
};

void TestMainWindow::controlsExist()
{
    WorkingFolderFixture ws;
    frmMain w;
    QCOMPARE(w.windowTitle(), QStringLiteral("PPC Quillmark"));
    for (const char* name : {"tabLeft", "picLeft", "tvwAccount", "picSpliterVertical", "tlbToolbar", "stbStatusBar",
                             "contWelcome", "contAboutQuillmark", "cmdStart", "tabMain", "tabAdFile",
                             "contLandingPage", "txtLandingPagePath"})
        QVERIFY2(w.findChild<QWidget*>(name), name);
    auto* tabLeft = w.findChild<QTabWidget*>("tabLeft");
    QCOMPARE(tabLeft->count(), 1);
    QCOMPARE(tabLeft->tabText(0), QStringLiteral("Accounts"));
    auto* tabMain = w.findChild<QTabWidget*>("tabMain");
    QStringList tabs;
    for (int i = 0; i < tabMain->count(); ++i)
        tabs << tabMain->tabText(i);
    QCOMPARE(tabs, (QStringList{"Keywords", "Ad Groups", "Ads", "Landing Page", "Adwords Files"}));
    QCOMPARE(tabMain->widget(4), w.findChild<QTabWidget*>("tabAdFile"));
    QCOMPARE(w.findChild<QPushButton*>("cmdStart")->text(), QStringLiteral("Create New Campaign"));
    QCOMPARE(w.findChild<QLabel*>("lblProfile3")->text(),
             QStringLiteral("Improve Quality Score and lower you bid costs simultaneously"));

    const QList<std::tuple<int, QString, QString>> tools = {
        {0, "New", "Create a new campaign"},
        {1, "Save", "Save campaign"},
        {2, "Open Base KW", "Load base keywords from a file"},
        {3, "Open Ext. KW", "Load extention keywords from a file"},
        {5, "Keyword Builder", "Keyword Suggestion tool"},
        {6, "Copy Ad", "Add a new ad from last ad"},
        {7, "Delete Ad", "Delete last ad"},
        {8, "Build Campaigns", "Build campaigns"},
        {9, "Help", "Help"},
    };
    for (const auto& [index, caption, tip] : tools) {
        QAction* a = w.toolAction(index);
        QVERIFY(a);
        QCOMPARE(a->objectName(), "cmdTools" + QString::number(index));
        QCOMPARE(a->text(), caption);
        QCOMPARE(a->toolTip(), tip);
        QCOMPARE(w.findChild<QAction*>("cmdTools" + QString::number(index)), a);
    }
    QVERIFY(!w.toolAction(4));
    QCOMPARE(w.toolAction(10)->text(), QStringLiteral("Adwords Editor"));
    QVERIFY(!w.toolAction(10)->isVisible());

    QCOMPARE(w.menuItem("mnuFile", 1)->text(), QStringLiteral("&New Campaign"));
    QCOMPARE(w.menuItem("mnuFile", 5)->text(), QStringLiteral("Set&up"));
    QVERIFY(w.menuItem("mnuFile", 6)->isSeparator());
    QCOMPARE(w.menuItem("mnuFile", 7)->text(), QStringLiteral("E&xit"));
    QCOMPARE(w.menuItem("mnuEdit", 9)->text(), QStringLiteral("Select All"));
    QCOMPARE(w.menuItem("mnuKeyword", 4)->text(), QStringLiteral("Load Extention Keywords From File"));
    QCOMPARE(w.menuItem("mnuHelp", 6)->text(), QStringLiteral("About "));
    QCOMPARE(w.findChild<QAction*>("mnuHelpItems2")->text(), QStringLiteral("PDF User Guide"));

    w.Form_Load();
    QVERIFY(w.toolAction(10)->isVisible());
}

void TestMainWindow::firstRunShowsDefaultAndWelcome()
{
    WorkingFolderFixture ws(QByteArray(), false);
    frmMain w;
    w.show();
    QVERIFY(QFileInfo(ws.work + "/Accounts").isDir());
    QCOMPARE(w.workspace().accounts().count(), 1);
    QCOMPARE(w.workspace().accounts().nodes().first().id.key(), QStringLiteral("Default"));
    QCOMPARE(w.tvwAccount()->model()->rowCount(), 1);
    QCOMPARE(treeNode(w, 0).data().toString(), QStringLiteral("Default"));
    QVERIFY(w.isWelcomeShown());
    QVERIFY(!w.workspace().selectedNode());
    QVERIFY(!QFile::exists(ws.work + "/Accounts.dat"));
    QCOMPARE(w.statusText(), QString());
    QVERIFY(!w.workspace().OpenCampaign());
    QCOMPARE(w.statusText(), QStringLiteral("Load campaign data failed"));
    QVERIFY(TestEnvironment::readAll(ws.env.programDir() + "/Error.log")
                .contains("frmMain_OpenCampaign .... m_oSelectedNode is nothing\r\nOpenCampaign_Error: "));
    QVERIFY(TestEnvironment::readAll(ws.env.programDir() + "/Error.log")
                .contains("frmMain: Landing page tab \r\nfrmMain: end of landing page tab \r\n"
                          "frmMain: form load completed.\r\n"));
}

void TestMainWindow::unreadableFilesAreTold_data()
{
    QTest::addColumn<QString>("file"); // under the working folder
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::newRow("Accounts.dat") << "Accounts.dat" << "PPC Quillmark"
                                  << "The list of accounts and campaigns could not be read, so the tree shows none "
                                     "of them; the file is left as it is.";
    QTest::newRow("Campaign.dat") << "Accounts/A/x/Campaign.dat" << "Open Campaign"
                                  << "The campaign 'x' of account 'A' could not be opened.";
}

// A file that exists but cannot be read at the start is named with the
// reason: the tree or the campaign would otherwise just look empty.
void TestMainWindow::unreadableFilesAreTold()
{
    QFETCH(QString, file);
    QFETCH(QString, title);
    QFETCH(QString, message);
    WorkingFolderFixture ws("[A]\r\nx\r\n");
    ws.campaign("A", "x");
    const QString path = ws.work + '/' + file;
    // Opens, but reading it fails: the process's own memory from address 0.
    QVERIFY(QFile::remove(path) && QFile::link(QStringLiteral("/proc/self/mem"), path));
    frmMain w;
    w.show();
    QCOMPARE(ws.prompter.messages.size(), 1);
    const platform::MessageRequest& shown = ws.prompter.messages.first();
    const QString why = "Cannot read " + QDir::toNativeSeparators(path) + ": ";
    QVERIFY2(shown.text.startsWith(message + "\r\n\r\n" + why), qPrintable(shown.text));
    QCOMPARE(shown.title, title);
    QCOMPARE(shown.icon, platform::MsgIcon::Critical);
    QCOMPARE(shown.buttons, platform::MsgButtons::OK);
    QVERIFY(w.isWelcomeShown());
    QVERIFY(!w.workspace().openCampaign());
}

// The Windows program named the accounts file and folder "accounts.dat" and
// "accounts" (its file names ignore case): a working folder copied from it
// shows its campaigns, and they are saved where they are, not beside them.
void TestMainWindow::windowsWorkingFolderIsUsed()
{
    WorkingFolderFixture ws(QByteArray(), false);
    QVERIFY(TestEnvironment::writeAll(ws.work + "/accounts.dat", "[A]\r\nx\r\n"));
    QVERIFY(TestEnvironment::writeAll(ws.work + "/accounts/A/x/Campaign.dat",
                                      "[LandingPage]\r\nLandingPagePath=from windows\r\n"));
    frmMain w;
    w.show();
    QVERIFY(w.workspace().openCampaign());
    QCOMPARE(w.workspace().openCampaign()->key(), QStringLiteral("A-x"));
    QCOMPARE(w.findChild<QLineEdit*>("txtLandingPagePath")->text(), QStringLiteral("from windows"));

    w.findChild<QLineEdit*>("txtBroadBid")->setText("0.7");
    QVERIFY(w.workspace().SaveCampaign());
    QVERIFY(TestEnvironment::readAll(ws.work + "/accounts/A/x/Campaign.dat").contains("BroadBid=0.7\r\n"));
    QVERIFY(w.workspace().addNewCampaign("A", "y"));
    QCOMPARE(TestEnvironment::readAll(ws.work + "/accounts.dat"), QByteArray("[A]\r\nx\r\ny\r\n\r\n"));
    QCOMPARE(QDir(ws.work).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             (QStringList{"accounts", "accounts.dat"}));
}

// Campaign.dat values of any length pass through the editor's boxes: opening
// and saving the campaign keeps them whole.
void TestMainWindow::longValuesComeBackWhole()
{
    WorkingFolderFixture ws("[A]\r\nx\r\ny\r\n");
    const QByteArray url = "http://shop.example/" + QByteArray(40000, 'u');
    const QByteArray headline = "{base} " + QByteArray(40000, 'h');
    QVERIFY(TestEnvironment::writeAll(ws.work + "/Accounts/A/x/Campaign.dat",
                                      "[Keywords]\r\nURLTemplate=" + url + "\r\nBroadBid=" + url
                                          + "\r\n[Ad1]\r\nHeadline=" + headline + "\r\nDestinationURL=" + url
                                          + "\r\n"));
    frmMain w;
    w.show();
    QCOMPARE(selectedKey(w), QStringLiteral("A-x"));
    w.workspace().tvwAccount_NodeClick(NodeId::campaignNode("A", "y")); // saves x
    const CampaignData stored = CampaignStore::load(CampaignStore::campaignFolder(ws.work, "A", "x"));
    QCOMPARE(stored.urlTemplate.size(), url.size());
    QCOMPARE(stored.broadBid.size(), url.size());
    QCOMPARE(stored.ads[0].headline.size(), headline.size());
    QCOMPARE(stored.ads[0].destinationURL.size(), url.size());
}

void TestMainWindow::keywordLoadsNeedAnOpenCampaign_data()
{
    QTest::addColumn<QString>("command"); // "menu <index>" or "tool <index>"
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("box");
    QTest::newRow("menu, base") << "menu 3" << "Load Base Keywords From File" << "txtBaseKeywords";
    QTest::newRow("menu, extension") << "menu 4" << "Load Extention Keywords From File" << "txtExtendKeywords";
    QTest::newRow("toolbar, base") << "tool 2" << "Load Base Keywords From File" << "txtBaseKeywords";
    QTest::newRow("toolbar, extension") << "tool 3" << "Load Extention Keywords From File" << "txtExtendKeywords";
}

// Without an open campaign (the welcome page) a loaded keyword file would
// go into hidden boxes and be dropped unseen by the next campaign opened or
// created: the command says so instead, and asks for no file.
void TestMainWindow::keywordLoadsNeedAnOpenCampaign()
{
    QFETCH(QString, command);
    QFETCH(QString, title);
    QFETCH(QString, box);
    WorkingFolderFixture ws(QByteArray(), false);
    const QString file = ws.env.path("keywords.txt");
    QVERIFY(TestEnvironment::writeAll(file, "red shoes\r\n"));
    frmMain w;
    w.show();
    QVERIFY(w.isWelcomeShown());
    const int index = command.section(' ', 1).toInt();
    ws.prompter.files.enqueue(file);
    if (command.startsWith("menu"))
        w.menuItem("mnuKeyword", index)->trigger();
    else
        w.toolAction(index)->trigger();
    QVERIFY(ws.prompter.fileRequests.isEmpty());
    QCOMPARE(ws.prompter.messages.size(), 1);
    QCOMPARE(ws.prompter.messages.first().text,
             QStringLiteral("No campaign is open. Please open a campaign in the tree, or create a new one, first."));
    QCOMPARE(ws.prompter.messages.first().title, title);
    QCOMPARE(ws.prompter.messages.first().icon, platform::MsgIcon::Information);
    QCOMPARE(w.findChild<QPlainTextEdit*>(box)->toPlainText(), QString());

    // With a campaign open the file is loaded.
    QVERIFY(w.workspace().addNewCampaign("Default", "c"));
    if (command.startsWith("menu"))
        w.menuItem("mnuKeyword", index)->trigger();
    else
        w.toolAction(index)->trigger();
    QCOMPARE(ws.prompter.messages.size(), 1);
    QCOMPARE(w.findChild<QPlainTextEdit*>(box)->toPlainText(), QStringLiteral("red shoes\n"));
}

void TestMainWindow::closeWritesPositionAndSelection()
{
    WorkingFolderFixture ws("[A]\r\nx\r\n");
    ws.campaign("A", "x");
    testsettings::storePreference("MainFormPos", "old");
    frmMain w;
    w.show();
    QCOMPARE(selectedKey(w), QStringLiteral("A-x"));
    landingPath(w)->setText("edited.html");
    const QString position = w.windowPositionText();
    QVERIFY(QRegularExpression("^-?\\d+,-?\\d+,\\d+,\\d+$").match(position).hasMatch());
    QVERIFY(w.close());
    QCOMPARE(readPreference("MainFormPos"), position);
    QCOMPARE(readPreference("LastSelectAcc"), QStringLiteral("A-x"));
    QVERIFY(ws.campaignFile("A", "x").contains("LandingPagePath=edited.html\r\n"));
    QVERIFY(!w.workspace().selectedNode());
}

void TestMainWindow::closeWhileMinimisedOrWithoutSelection()
{
    WorkingFolderFixture ws(QByteArray(), false);
    testsettings::storePreference("MainFormPos", "1,2,3,4");
    testsettings::storePreference("LastSelectAcc", "Kept-key");
    frmMain w;
    w.show();
    QVERIFY(!w.treeSelection());
    w.setWindowState(Qt::WindowMinimized);
    QVERIFY(w.isMinimized());
    w.close();
    QCOMPARE(readPreference("MainFormPos"), QStringLiteral("1,2,3,4"));
    QCOMPARE(readPreference("LastSelectAcc"), QStringLiteral("Kept-key"));
}

void TestMainWindow::nodeClickSavesAndOpens()
{
    WorkingFolderFixture ws("[A]\r\nx\r\ny\r\n");
    ws.campaign("A", "x");
    ws.campaign("A", "y");
    frmMain w;
    w.Form_Load();
    QCOMPARE(landingPath(w)->text(), QStringLiteral("A/x"));

    // Clicking the open campaign does nothing: no save, no reload.
    landingPath(w)->setText("typed");
    const QByteArray before = ws.campaignFile("A", "x");
    w.workspace().tvwAccount_NodeClick(NodeId::campaignNode("a", "X"));
    QCOMPARE(ws.campaignFile("A", "x"), before);
    QCOMPARE(landingPath(w)->text(), QStringLiteral("typed"));

    // Another campaign: the open one is saved, the clicked one opened.
    w.workspace().tvwAccount_NodeClick(NodeId::campaignNode("A", "y"));
    QVERIFY(ws.campaignFile("A", "x").contains("LandingPagePath=typed\r\n"));
    QCOMPARE(landingPath(w)->text(), QStringLiteral("A/y"));
    QCOMPARE(w.workspace().accounts().image(NodeId::campaignNode("A", "y")), QStringLiteral("CampaignOpen"));
    QCOMPARE(w.workspace().accounts().image(NodeId::campaignNode("A", "x")), QStringLiteral("Campaign"));

    // The account with campaigns: saved, welcome page, nothing opened.
    landingPath(w)->setText("typed y");
    w.workspace().tvwAccount_NodeClick(NodeId::accountNode("A"));
    QVERIFY(ws.campaignFile("A", "y").contains("LandingPagePath=typed y\r\n"));
    QVERIFY(w.isWelcomeShown());
    QCOMPARE(w.workspace().campaignFolder(), QString());

    // A click in the tree view goes the same way.
    const QModelIndex x = treeNode(w, 0, 0);
    QCOMPARE(x.data().toString(), QStringLiteral("x"));
    // Where the node is, once the window is laid out.
    w.show();
    const QRect rect = w.tvwAccount()->visualRect(x);
    QTest::mouseClick(w.tvwAccount()->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(selectedKey(w), QStringLiteral("A-x"));
    QVERIFY(!w.isWelcomeShown());
    QCOMPARE(landingPath(w)->text(), QStringLiteral("typed"));

    // With the focus in the tree, one click on another node is one call of
    // the handler: its trace lines are written once.
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.tvwAccount()->setFocus();
    QVERIFY(w.tvwAccount()->hasFocus());
    const QString logFile = ws.env.programDir() + "/Error.log";
    const qsizetype before2 = TestEnvironment::readAll(logFile).size();
    QTest::mouseClick(w.tvwAccount()->viewport(), Qt::LeftButton, {},
                      w.tvwAccount()->visualRect(treeNode(w, 0, 1)).center());
    QCOMPARE(selectedKey(w), QStringLiteral("A-y"));
    QCOMPARE(TestEnvironment::readAll(logFile).mid(before2),
             QByteArray("tvwAccount_NodeClick ....y/A-y\r\ntvwAccount_NodeClick ....x/A-x\r\n"
                        "tvwAccount_NodeClick .... SaveCampaign\r\nfrmMain_SaveCampaign ....x/A-x\r\n"
                        "tvwAccount_NodeClick .... set new m_oSelectedNode: y/A-y\r\n"
                        "frmMain_OpenCampaign ....y/A-y\r\n"));

    // A click on the empty space below the nodes keeps the selection that
    // the close stores.
    QTest::mouseClick(w.tvwAccount()->viewport(), Qt::LeftButton, {},
                      QPoint(5, w.tvwAccount()->viewport()->height() - 5));
    QVERIFY(w.treeSelection() && w.treeSelection()->key() == QStringLiteral("A-y"));

    // The arrow keys open the node they move to, once.
    const qsizetype before3 = TestEnvironment::readAll(logFile).size();
    QTest::keyClick(w.tvwAccount(), Qt::Key_Up);
    QCOMPARE(selectedKey(w), QStringLiteral("A-x"));
    QCOMPARE(TestEnvironment::readAll(logFile).mid(before3).count("tvwAccount_NodeClick ....x/A-x\r\n"), 1);
}

void TestMainWindow::deleteOpenCampaign()
{
    WorkingFolderFixture ws("[A]\r\nx\r\ny\r\n");
    ws.campaign("A", "x");
    ws.prompter.answers.enqueue(platform::MsgResult::Yes);
    frmMain w;
    w.Form_Load();
    QCOMPARE(selectedKey(w), QStringLiteral("A-x"));
    landingPath(w)->setText("changed");
    w.mnuFileItems_Click(2);
    QCOMPARE(ws.prompter.messages.size(), 1);
    QCOMPARE(ws.prompter.messages.first().text, QStringLiteral("Are you sure you want to delete campaign 'x' ?"));
    QCOMPARE(TestEnvironment::readAll(ws.work + "/Accounts.dat"), QByteArray("[A]\r\ny\r\n\r\n"));
    QVERIFY(!w.workspace().accounts().contains(NodeId::campaignNode("A", "x")));
    QCOMPARE(w.tvwAccount()->model()->rowCount(treeNode(w, 0)), 1);
    QVERIFY(!w.workspace().selectedNode());
    QVERIFY(w.isWelcomeShown());
    QCOMPARE(w.workspace().accounts().SelectNode()->key(), QStringLiteral("A-y"));

    // Neither a save nor the close writes the deleted campaign back.
    w.workspace().SaveCampaign();
    w.close();
    QVERIFY(!ws.campaignFile("A", "x").contains("changed"));
    QCOMPARE(TestEnvironment::readAll(ws.work + "/Accounts.dat"), QByteArray("[A]\r\ny\r\n\r\n"));
}

void TestMainWindow::deleteAfterClickOnEmptyAccount()
{
    // Delete Campaign acts on the node last clicked: after a click on an
    // account without campaigns it asks about that account, and on Yes
    // deletes nothing, least of all the campaign clicked before.
    WorkingFolderFixture ws("[A]\r\nx\r\n[B]\r\n");
    ws.campaign("A", "x");
    ws.prompter.answers.enqueue(platform::MsgResult::Yes);
    frmMain w;
    w.Form_Load();
    QCOMPARE(selectedKey(w), QStringLiteral("A-x"));
    w.workspace().tvwAccount_NodeClick(NodeId::accountNode("B"));
    QVERIFY(w.isWelcomeShown());
    QCOMPARE(w.workspace().accounts().SelectNode()->key(), QStringLiteral("B"));
    w.mnuFileItems_Click(2);
    QCOMPARE(ws.prompter.messages.size(), 1);
    QCOMPARE(ws.prompter.messages.first().text, QStringLiteral("Are you sure you want to delete campaign 'B' ?"));
    QVERIFY(w.workspace().accounts().contains(NodeId::campaignNode("A", "x")));
    QVERIFY(w.workspace().accounts().contains(NodeId::accountNode("B")));
    QCOMPARE(TestEnvironment::readAll(ws.work + "/Accounts.dat"), QByteArray("[A]\r\nx\r\n[B]\r\n"));
    QVERIFY(QFileInfo(ws.work + "/Accounts/A/x/Campaign.dat").isFile());
}

void TestMainWindow::accountsKeepAccountPictures()
{
    // Clicking an account without campaigns and then a campaign re-images
    // the nodes, but an account is still drawn as an account.
    WorkingFolderFixture ws("[A]\r\nx\r\n[B]\r\n");
    ws.campaign("A", "x");
    frmMain w;
    w.Form_Load();
    w.workspace().tvwAccount_NodeClick(NodeId::accountNode("B"));
    w.workspace().tvwAccount_NodeClick(NodeId::campaignNode("A", "x"));
    auto picture = [&](const QIcon& icon) { return icon.pixmap(16, 16).toImage(); };
    auto icon = [&](int row) { return treeNode(w, row).data(Qt::DecorationRole).value<QIcon>(); };
    QCOMPARE(treeNode(w, 1).data().toString(), QStringLiteral("B"));
    QCOMPARE(picture(icon(1)), picture(w.style()->standardIcon(QStyle::SP_DirClosedIcon)));
    QCOMPARE(picture(icon(0)), picture(w.style()->standardIcon(QStyle::SP_DirOpenIcon)));
    w.workspace().tvwAccount_NodeClick(NodeId::accountNode("B"));
    QCOMPARE(picture(icon(1)), picture(w.style()->standardIcon(QStyle::SP_DirClosedIcon)));
}

void TestMainWindow::newCampaign()
{
    WorkingFolderFixture ws("[Shop]\r\nSummer\r\n");
    ws.campaign("Shop", "Summer");
    frmMain w;
    w.Form_Load();
    QVERIFY(w.workspace().addNewCampaign("shop", "Winter"));
    QCOMPARE(selectedKey(w), QStringLiteral("Shop-Winter"));
    QVERIFY(!w.isWelcomeShown());
    QCOMPARE(w.workspace().accounts().count(), 3);
    QCOMPARE(TestEnvironment::readAll(ws.work + "/Accounts.dat"), QByteArray("[Shop]\r\nSummer\r\nWinter\r\n\r\n"));
    QVERIFY(w.treeSelection() && w.treeSelection()->key() == "Shop-Winter");
    QCOMPARE(w.workspace().campaignFolder(), ws.work + "/Accounts/Shop/Winter");
    QCOMPARE(w.statusText(), QString());
    // The folder comes with the first save.
    QVERIFY(!QFileInfo::exists(w.workspace().campaignFolder()));
    w.workspace().SaveCampaign();
    QVERIFY(QFileInfo(w.workspace().campaignFolder() + "/Campaign.dat").isFile());

    // A duplicate is reported and changes nothing.
    QVERIFY(!w.workspace().addNewCampaign("Shop", "winter"));
    QCOMPARE(ws.prompter.messages.size(), 1);
    QCOMPARE(ws.prompter.messages.first().title, QStringLiteral("Create New Campaign"));
    QCOMPARE(w.workspace().accounts().count(), 3);

    // A new account.
    QVERIFY(w.workspace().addNewCampaign("Client", "Brand"));
    QCOMPARE(TestEnvironment::readAll(ws.work + "/Accounts.dat"),
             QByteArray("[Shop]\r\nSummer\r\nWinter\r\n[Client]\r\nBrand\r\n\r\n"));
}

void TestMainWindow::newCampaignThroughTheDialog()
{
    WorkingFolderFixture ws("[Shop]\r\nSummer\r\n");
    ws.campaign("Shop", "Summer");
    frmMain w;
    w.Form_Load();
    landingPath(w)->setText("unsaved edit");
    bool answered = false;
    const ModalWatcher<frmNewCampaign> finish([&](frmNewCampaign& dialog) {
        QCOMPARE(dialog.findChild<QComboBox*>("cboAccount")->currentText(), QStringLiteral("Shop"));
        dialog.findChild<QLineEdit*>("txtCampaign")->setText(" Autumn ");
        dialog.findChild<QPushButton*>("cmdFinish")->click();
        answered = true;
    });
    w.cmdTools_Click(0);
    QVERIFY(finish.seen());
    QVERIFY(answered);
    QCOMPARE(selectedKey(w), QStringLiteral("Shop-Autumn"));
    // The campaign open before was saved first.
    QVERIFY(ws.campaignFile("Shop", "Summer").contains("LandingPagePath=unsaved edit\r\n"));

    // Cancel changes nothing.
    const ModalWatcher<frmNewCampaign> cancel(
        [](frmNewCampaign& dialog) { dialog.findChild<QPushButton*>("cmdCancel")->click(); });
    const QByteArray accounts = TestEnvironment::readAll(ws.work + "/Accounts.dat");
    w.findChild<QPushButton*>("cmdStart")->click();
    QVERIFY(cancel.seen());
    QCOMPARE(TestEnvironment::readAll(ws.work + "/Accounts.dat"), accounts);
    QCOMPARE(selectedKey(w), QStringLiteral("Shop-Autumn"));
}

void TestMainWindow::updateUI_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("loadKeywords");
    QTest::addColumn<bool>("ads");
    QTest::newRow("Keywords") << 0 << true << false;
    QTest::newRow("Ad Groups") << 1 << false << false;
    QTest::newRow("Ads") << 2 << false << true;
    QTest::newRow("Landing Page") << 3 << true << true;
    QTest::newRow("Adwords Files") << 4 << true << true;
}

void TestMainWindow::updateUI()
{
    QFETCH(int, tab);
    QFETCH(bool, loadKeywords);
    QFETCH(bool, ads);
    WorkingFolderFixture ws("[A]\r\nx\r\n");
    frmMain w;
    w.Form_Load();
    for (int i : {1, 2, 3, 5, 6, 7, 8})
        w.toolAction(i)->setEnabled(false);
    w.tabMain()->setCurrentIndex(tab);
    w.UpdateUI();
    QCOMPARE(w.toolAction(2)->isEnabled(), loadKeywords);
    QCOMPARE(w.toolAction(3)->isEnabled(), loadKeywords);
    QCOMPARE(w.toolAction(6)->isEnabled(), ads);
    QCOMPARE(w.toolAction(7)->isEnabled(), ads);
    for (int i : {0, 1, 5, 8, 9, 10})
        QVERIFY(w.toolAction(i)->isEnabled());
    QVERIFY(w.menuItem("mnuFile", 2)->isEnabled());
    QVERIFY(w.menuItem("mnuFile", 3)->isEnabled());
}

void TestMainWindow::updateUIWithEmptyTree()
{
    WorkingFolderFixture ws("[A]\r\nx\r\n");
    frmMain w;
    w.Form_Load();
    w.workspace().accounts().clear();
    w.tabMain()->setCurrentIndex(2);
    w.UpdateUI();
    for (int i : {1, 2, 3, 5, 6, 7, 8})
        QVERIFY2(!w.toolAction(i)->isEnabled(), qPrintable(QString::number(i)));
    for (int i : {0, 9, 10})
        QVERIFY(w.toolAction(i)->isEnabled());
    QVERIFY(!w.menuItem("mnuFile", 2)->isEnabled());
    QVERIFY(!w.menuItem("mnuFile", 3)->isEnabled());
    for (int i : {1, 5, 7})
        QVERIFY(w.menuItem("mnuFile", i)->isEnabled());
}

// File/Setup through the window: the hook shows the dialog once, over the
// window; the edit in the window's box is saved first; the working folder
// the workspace moves to becomes the program's, and the tree view and the
// welcome page show the tree loaded from it.
void TestMainWindow::setupReloadsFromChangedFolder()
{
    WorkingFolderFixture ws("[A]\r\nx\r\n");
    ws.campaign("A", "x");
    const QString newFolder = ws.env.path("elsewhere/new");

    frmMain w;
    w.Form_Load();
    landingPath(w)->setText("before setup");
    int shown = 0;
    w.setPreferencesHook([&](QWidget* owner) {
        ++shown;
        if (owner != &w)
            return false;
        testsettings::saveWorkingFolder(newFolder + "/");
        return true;
    });
    w.mnuFileItems_Click(5);
    QCOMPARE(shown, 1);
    QVERIFY(ws.campaignFile("A", "x").contains("LandingPagePath=before setup\r\n"));
    QCOMPARE(g_sWorkingFolder, newFolder);
    QCOMPARE(w.workspace().workingFolder(), newFolder);
    QCOMPARE(w.tvwAccount()->model()->rowCount(), 1);
    QCOMPARE(treeNode(w, 0).data().toString(), QStringLiteral("Default"));
    QVERIFY(!w.treeSelection());
    QVERIFY(w.isWelcomeShown());
}

void TestMainWindow::setupWithSameFolderOnlyReloads()
{
    WorkingFolderFixture ws("[A]\r\nx\r\ny\r\n");
    ws.campaign("A", "x");
    ws.campaign("A", "y");
    frmMain w;
    w.Form_Load();
    w.workspace().tvwAccount_NodeClick(NodeId::campaignNode("A", "y"));
    w.mnuFileItems_Click(5); // no hook: nothing shown, the folder stays
    QCOMPARE(g_sWorkingFolder, ws.work);
    QCOMPARE(selectedKey(w), QStringLiteral("A-x"));
    QVERIFY(w.treeSelection() && w.treeSelection()->key() == QStringLiteral("A-x"));
    QCOMPARE(landingPath(w)->text(), QStringLiteral("A/x"));
}

void TestMainWindow::helpContentsMissing()
{
    WorkingFolderFixture ws;
    frmMain w;
    w.setHelpFile(ws.env.path("nowhere/quillmark.chm"));
    w.mnuHelpItems_Click(1);
    QCOMPARE(ws.prompter.messages.size(), 1);
    QCOMPARE(ws.prompter.messages.first().text,
             "Cannot find the '" + ws.env.path("nowhere/quillmark.chm")
                 + "' Help file. Please check to see that the file exists on your disk. If it doesn't, you need to "
                   "reinstall it.");
    QCOMPARE(ws.prompter.messages.first().title, QStringLiteral("Help Contents"));
    QCOMPARE(ws.prompter.messages.first().icon, platform::MsgIcon::Information);
}

void TestMainWindow::helpCommandsOpenTheirTargets()
{
    WorkingFolderFixture ws;
    RecordingShellOpener opener;
    frmMain w;
    const QString help = ws.env.path("program/quillmark.chm");
    TestEnvironment::writeAll(help, "help");
    w.setHelpFile(help);
    w.mnuHelpItems_Click(1);
    g_oRegister = std::make_unique<clsRegister>();
    g_oRegister->setSupportURL("https://support.example/");
    w.mnuHelpItems_Click(4);
    int about = 0;
    w.setAboutHook([&](QWidget* owner) { about += owner == &w ? 1 : 100; });
    w.mnuHelpItems_Click(6);
    w.mnuHelpItems_Click(3); // a separator does nothing
    g_oRegister.reset();
    QCOMPARE(opener.targets, (QStringList{help, "https://support.example/"}));
    QCOMPARE(about, 1);
    QVERIFY(ws.prompter.messages.isEmpty());
}

void TestMainWindow::failedOpensAreTold_data()
{
    QTest::addColumn<QString>("command"); // "help <index>" or "tool <index>"
    QTest::addColumn<QString>("title");
    QTest::newRow("Contents") << "help 1" << "Help Contents";
    QTest::newRow("PDF User Guide") << "help 2" << "PDF User Guide";
    QTest::newRow("Support") << "help 4" << "Support";
    QTest::newRow("Adwords Editor") << "tool 10" << "Adwords Editor";
}

// A target that the desktop cannot open (no program for it, or gone) is
// named to the user, where the Windows shell would have shown its own error.
void TestMainWindow::failedOpensAreTold()
{
    QFETCH(QString, command);
    QFETCH(QString, title);
    WorkingFolderFixture ws;
    RecordingShellOpener opener;
    opener.result = false;
    const QString help = ws.env.path("program/quillmark.chm");
    const QString program = ws.env.path("editor/adwords_editor");
    TestEnvironment::writeAll(help, "help");
    TestEnvironment::writeAll(program, "program");
    storeEditorPath(program);
    g_oRegister = std::make_unique<clsRegister>();
    g_oRegister->setSupportURL("https://support.example/");
    frmMain w;
    w.setHelpFile(help);
    const int index = command.section(' ', 1).toInt();
    if (command.startsWith("help"))
        w.mnuHelpItems_Click(index);
    else
        w.cmdTools_Click(index);
    g_oRegister.reset();
    QCOMPARE(opener.targets.size(), 1);
    QCOMPARE(ws.prompter.messages.size(), 1);
    const platform::MessageRequest& shown = ws.prompter.messages.first();
    QCOMPARE(shown.text, "Cannot open '" + opener.targets.first()
                             + "': it does not exist, or the desktop has no program that opens it.");
    QCOMPARE(shown.title, title);
    QCOMPARE(shown.icon, platform::MsgIcon::Exclamation);
}

void TestMainWindow::adwordsEditorLaunch_data()
{
    QTest::addColumn<QString>("stored"); // "<program>" for a file that exists
    QTest::addColumn<bool>("missing");
    QTest::newRow("stored program exists") << "<program>" << false;
    QTest::newRow("stored path points nowhere") << "/nowhere/adwords_editor" << true;
    QTest::newRow("empty stored path") << "" << true;
}

void TestMainWindow::adwordsEditorLaunch()
{
    QFETCH(QString, stored);
    QFETCH(bool, missing);
    WorkingFolderFixture ws;
    RecordingShellOpener opener;
    const QString program = ws.env.path("editor/adwords_editor");
    TestEnvironment::writeAll(program, "program");
    storeEditorPath(stored == "<program>" ? program : stored);
    frmMain w;
    w.cmdTools_Click(10);
    QCOMPARE(opener.targets.size(), 1);
    if (missing) {
        QCOMPARE(ws.prompter.messages.size(), 1);
        QCOMPARE(ws.prompter.messages.first().text,
                 QStringLiteral("Google Adwords Editor is not installed on this PC. Please download and install it "
                                "now from Google website."));
        QCOMPARE(ws.prompter.messages.first().title, QStringLiteral("Build Campaign"));
        QCOMPARE(ws.prompter.messages.first().icon, platform::MsgIcon::Information);
        QVERIFY(opener.targets.first().endsWith("/intl/en/adwordseditor/index.html"));
    } else {
        QVERIFY(ws.prompter.messages.isEmpty());
        QCOMPARE(opener.targets.first(), program);
    }
}

// Through the editor's own controls: every stored field survives a save,
// an emptied editor and a reopen; a new campaign starts from the cleared state.
void TestMainWindow::editorRoundTrip()
{
    WorkingFolderFixture ws("[A]\r\nx\r\ny\r\n");
    frmMain w;
    w.Form_Load();
    const QStringList groups{"optReplaceSpace", "optGrouping", "optIncludeBaseKwyword", "optIncludeExtentKwyword",
                             "optCaputalization", "optReplaceGroupSpace", "optExtraGroupText"};
    const QList<int> chosen{3, 2, 1, 0, 2, 3, 1};
    const QStringList texts{"txtBroadBid", "txtPhraseBid", "txtExactBid", "txtURLTemplate", "txtCustomGroup",
                            "txtExtraGroupText", "txtMaxCPC", "txtMaxContentCPC", "txtPlacementMaxCPC",
                            "txtHeadline0", "txtDescr10", "txtDescr20", "txtDisplayURL0", "txtDestinationURL0",
                            "txtHeadline2", "txtDestinationURL2", "txtLandingPagePath"};

    // Every control the test works through is found first: one that was
    // renamed or dropped fails the test, naming it.
    QStringList missing;
    QHash<QString, QLineEdit*> lines;
    QHash<QString, QCheckBox*> checks;
    QHash<QString, QRadioButton*> options;
    for (const QString& name : texts)
        lines.insert(name, control<QLineEdit>(w, name, missing));
    for (const QString name : {"chkBroadMatch", "chkPhraseMatch", "chkExactMatch"})
        checks.insert(name, control<QCheckBox>(w, name, missing));
    for (int g = 0; g < groups.size(); ++g) {
        for (const int index : {0, 1, chosen.at(g)})
            options.insert(groups.at(g) + QString::number(index),
                           control<QRadioButton>(w, groups.at(g) + QString::number(index), missing));
    }
    auto* base = control<QPlainTextEdit>(w, "txtBaseKeywords", missing);
    auto* ext = control<QPlainTextEdit>(w, "txtExtendKeywords", missing);
    QVERIFY2(missing.isEmpty(), qPrintable("no control " + missing.join(", ")));
    auto line = [&](const QString& name) { return lines.value(name); };
    auto check = [&](const QString& name) { return checks.value(name); };
    auto option = [&](const QString& name) { return options.value(name); };

    QCOMPARE(selectedKey(w), QStringLiteral("A-x"));
    base->setPlainText("red\r\nblue");
    ext->setPlainText("cheap");
    check("chkBroadMatch")->setChecked(true);
    check("chkExactMatch")->setChecked(true);
    for (const QString& name : texts)
        line(name)->setText(name + " value");
    for (int g = 0; g < groups.size(); ++g)
        option(groups.at(g) + QString::number(chosen.at(g)))->click();

    // Away and back: saved on leaving, read on coming back.
    w.workspace().tvwAccount_NodeClick(NodeId::campaignNode("A", "y"));
    QCOMPARE(base->toPlainText(), QString());
    QVERIFY(!check("chkBroadMatch")->isChecked());
    w.workspace().tvwAccount_NodeClick(NodeId::campaignNode("A", "x"));
    QCOMPARE(base->toPlainText().replace("\n", "\r\n").replace("\r\r\n", "\r\n"), QStringLiteral("red\r\nblue"));
    QCOMPARE(ext->toPlainText(), QStringLiteral("cheap"));
    QVERIFY(check("chkBroadMatch")->isChecked());
    QVERIFY(!check("chkPhraseMatch")->isChecked());
    QVERIFY(check("chkExactMatch")->isChecked());
    for (const QString& name : texts)
        QCOMPARE(line(name)->text(), name + " value");
    for (int g = 0; g < groups.size(); ++g)
        QVERIFY2(option(groups.at(g) + QString::number(chosen.at(g)))->isChecked(), qPrintable(groups.at(g)));
    const CampaignData stored = CampaignStore::load(w.workspace().campaignFolder());
    QCOMPARE(stored.ads[2].headline, QStringLiteral("txtHeadline2 value"));
    QVERIFY(!stored.ads[1].isFilled());

    // A hand-edited campaign with an index outside its group opens without
    // any of the former campaign's values.
    TestEnvironment::writeAll(ws.work + "/Accounts/A/y/Campaign.dat",
                              "[AdGroup]\r\nGrouping=9\r\nIncludeExtKeyword=5\r\nMaxCPC=ymax\r\n");
    w.workspace().tvwAccount_NodeClick(NodeId::campaignNode("A", "y"));
    QCOMPARE(line("txtMaxCPC")->text(), QStringLiteral("ymax"));
    QVERIFY(option("optGrouping0")->isChecked());
    QVERIFY(option("optIncludeExtentKwyword1")->isChecked());
    QCOMPARE(base->toPlainText(), QString());
    QCOMPARE(line("txtHeadline0")->text(), QString());
    QVERIFY(!check("chkBroadMatch")->isChecked());
    w.workspace().tvwAccount_NodeClick(NodeId::campaignNode("A", "x"));

    // A new campaign starts empty, with index 0 in every group; the
    // landing-page path is left as it was.
    QVERIFY(w.workspace().addNewCampaign("A", "z"));
    QCOMPARE(base->toPlainText(), QString());
    QCOMPARE(line("txtURLTemplate")->text(), QStringLiteral("http://"));
    QCOMPARE(line("txtHeadline0")->text(), QString());
    QCOMPARE(line("txtMaxCPC")->text(), QString());
    QVERIFY(!check("chkExactMatch")->isChecked());
    for (const QString& group : groups)
        QVERIFY2(option(group + "0")->isChecked(), qPrintable(group));
    QCOMPARE(line("txtLandingPagePath")->text(), QStringLiteral("txtLandingPagePath value"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_frmmain.moc"
