#include "FileSizeLimit.h"
#include "ModalWatcher.h"
#include "SettingsFixture.h"
#include "WorkingFolderFixture.h"

#include "core/RegistryAPI.h"
#include "workspace/frmMain.h"
#include "workspace/frmNewCampaign.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

namespace {

// What replaces the editor after the open campaign is saved.
enum class Action { Close, ClickOtherCampaign, ClickAccount, NewCampaign, Setup };

QString lastSelectAcc()
{
    return testsettings::stored(RegistryAPI::HKEY_CURRENT_USER, g_sPreferenceKey, QStringLiteral("LastSelectAcc"));
}

// Campaign x open in the window, edited, with its Campaign.dat turned into
// a folder so that no save can succeed until repair().
struct OpenCampaign : WorkingFolderFixture {
    frmMain w;
    int setups = 0;

    OpenCampaign()
        : WorkingFolderFixture("[A]\r\nx\r\ny\r\n")
    {
        campaign(QStringLiteral("A"), QStringLiteral("x"));
        campaign(QStringLiteral("A"), QStringLiteral("y"));
        w.setPreferencesHook([this](QWidget*) {
            ++setups;
            return true;
        });
        w.show();
    }

    QString campaignDat() const { return campaignFolder(QStringLiteral("A"), QStringLiteral("x")) + "/Campaign.dat"; }
    QLineEdit* landingPath() { return w.findChild<QLineEdit*>(QStringLiteral("txtLandingPagePath")); }
    QString selected() const
    {
        return w.workspace().selectedNode() ? w.workspace().selectedNode()->key() : QStringLiteral("<none>");
    }
    QString highlighted() const { return w.treeSelection() ? w.treeSelection()->key() : QStringLiteral("<none>"); }

    void block() { QVERIFY(QFile::remove(campaignDat()) && QDir().mkpath(campaignDat())); }
    void repair() { QVERIFY(QDir(campaignDat()).removeRecursively()); }

    // Runs the action; true when it went ahead.
    bool perform(Action action)
    {
        switch (action) {
        case Action::Close:
            return w.close();
        case Action::ClickOtherCampaign: {
            const QModelIndex y = w.tvwAccount()->model()->index(1, 0, w.tvwAccount()->model()->index(0, 0));
            QTest::mouseClick(w.tvwAccount()->viewport(), Qt::LeftButton, {}, w.tvwAccount()->visualRect(y).center());
            return selected() == QStringLiteral("A-y");
        }
        case Action::ClickAccount:
            w.workspace().tvwAccount_NodeClick(NodeId::accountNode(QStringLiteral("A")));
            return selected() == QStringLiteral("A");
        case Action::NewCampaign: {
            const ModalWatcher<frmNewCampaign> dialog([](frmNewCampaign& shown) {
                shown.findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
            });
            w.cmdTools_Click(0);
            QCoreApplication::processEvents();
            return dialog.seen();
        }
        case Action::Setup: {
            const int before = setups;
            w.mnuFileItems_Click(5);
            return setups > before;
        }
        }
        return false;
    }
};

} // namespace

class TestFailedSave : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void saveCommandShowsTheFileAndTheReason_data();
    void saveCommandShowsTheFileAndTheReason();
    void askedBeforeTheEditorIsReplaced_data();
    void askedBeforeTheEditorIsReplaced();
};

void TestFailedSave::saveCommandShowsTheFileAndTheReason_data()
{
    QTest::addColumn<bool>("fullDisk");
    // After the campaign folder.
    QTest::addColumn<QString>("failure");
    QTest::newRow("Campaign.dat is a folder")
        << false << QStringLiteral("Cannot read %1/Campaign.dat: it is a folder, not a file");
    QTest::newRow("full disk") << true << QStringLiteral("Cannot write %1/BaseKeywords.dat: File too large");
}

// Save Campaign that fails says so, naming the file and why; the log keeps
// its lines and nothing of the editor changes.
void TestFailedSave::saveCommandShowsTheFileAndTheReason()
{
    QFETCH(bool, fullDisk);
    QFETCH(QString, failure);
    OpenCampaign s;
    QCOMPARE(s.selected(), QStringLiteral("A-x"));
    s.landingPath()->setText(QStringLiteral("edited"));
    if (fullDisk) {
        s.w.findChild<QPlainTextEdit*>(QStringLiteral("txtBaseKeywords"))->setPlainText(QString(256 * 1024, QLatin1Char('k')));
        const FileSizeLimit limit(64 * 1024);
        QVERIFY(limit.isActive());
        s.w.mnuFileItems_Click(3);
    } else {
        s.block();
        s.w.mnuFileItems_Click(3);
    }
    const QString error = failure.arg(QDir::toNativeSeparators(s.campaignFolder("A", "x")));

    QCOMPARE(s.prompter.messages.size(), 1);
    const platform::MessageRequest& m = s.prompter.messages.first();
    QCOMPARE(m.text, "The campaign 'x' of account 'A' could not be saved.\r\n\r\n" + error);
    QCOMPARE(m.title, QStringLiteral("Save Campaign"));
    QCOMPARE(m.buttons, MsgButtons::OK);
    QCOMPARE(m.icon, MsgIcon::Critical);
    QVERIFY(s.log().contains("frmMain_SaveCampaign ....x/A-x\r\nSaveCampaign_Error: " + error + "-log point 3\r\n"));
    QCOMPARE(s.selected(), QStringLiteral("A-x"));
    QCOMPARE(s.landingPath()->text(), QStringLiteral("edited"));
}

void TestFailedSave::askedBeforeTheEditorIsReplaced_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("question");
    QTest::addColumn<MsgResult>("answer");
    const QList<std::tuple<const char*, Action, QString>> actions{
        {"close", Action::Close, QStringLiteral("Close the program anyway?")},
        {"click on another campaign", Action::ClickOtherCampaign, QStringLiteral("Leave the campaign anyway?")},
        {"click on its account", Action::ClickAccount, QStringLiteral("Leave the campaign anyway?")},
        {"new campaign", Action::NewCampaign, QStringLiteral("Create a new campaign anyway?")},
        {"file setup", Action::Setup, QStringLiteral("Open the setup anyway?")},
    };
    for (const auto& [name, action, question] : actions) {
        QTest::addRow("%s, No", name) << action << question << MsgResult::No;
        QTest::addRow("%s, Yes", name) << action << question << MsgResult::Yes;
    }
}

// A failed save before the editor is replaced asks whether to go on. No
// keeps the campaign open with its edits, so that once the obstacle is gone
// the same command saves them; Yes goes on without them.
void TestFailedSave::askedBeforeTheEditorIsReplaced()
{
    QFETCH(Action, action);
    QFETCH(QString, question);
    QFETCH(MsgResult, answer);
    OpenCampaign s;
    QCOMPARE(s.selected(), QStringLiteral("A-x"));
    s.landingPath()->setText(QStringLiteral("edited"));
    s.block();
    s.prompter.answers.enqueue(answer);

    QCOMPARE(s.perform(action), answer == MsgResult::Yes);
    const QString error = "Cannot read " + QDir::toNativeSeparators(s.campaignDat()) + ": it is a folder, not a file";
    // After Yes, File/Setup reopens the same campaign, which cannot be read.
    const bool reopened = action == Action::Setup && answer == MsgResult::Yes;
    QCOMPARE(s.prompter.messages.size(), reopened ? 2 : 1);
    if (reopened)
        QCOMPARE(s.prompter.messages.last().text,
                 "The campaign 'x' of account 'A' could not be opened.\r\n\r\n" + error);
    const platform::MessageRequest& m = s.prompter.messages.first();
    QCOMPARE(m.text, "The campaign 'x' of account 'A' could not be saved.\r\n\r\n" + error + "\r\n\r\n" + question
                         + " Your changes to the campaign will be lost.");
    QCOMPARE(m.title, QStringLiteral("Save Campaign"));
    QCOMPARE(m.buttons, MsgButtons::YesNo);
    QCOMPARE(m.icon, MsgIcon::Exclamation);
    QVERIFY(s.log().contains("SaveCampaign_Error: " + error + "-log point 3\r\n"));
    if (answer == MsgResult::Yes)
        return;

    QVERIFY(s.w.isVisible());
    QCOMPARE(s.selected(), QStringLiteral("A-x"));
    QCOMPARE(s.highlighted(), QStringLiteral("A-x"));
    QVERIFY(!s.w.isWelcomeShown());
    QCOMPARE(s.landingPath()->text(), QStringLiteral("edited"));
    QCOMPARE(lastSelectAcc(), testsettings::kAbsent);

    s.repair();
    QVERIFY(s.perform(action));
    QCOMPARE(s.prompter.messages.size(), 1);
    QVERIFY(s.campaignFile("A", "x").contains("LandingPagePath=edited\r\n"));
}

QTEST_MAIN(TestFailedSave)
#include "tst_failedsave.moc"
