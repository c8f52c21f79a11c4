#include "WorkingFolderFixture.h"

#include "campaign/clsBuildCampaigns.h"
#include "platform/Prompter.h"
#include "workspace/AdFileModel.h"
#include "workspace/GeneratedFilesPanel.h"
#include "workspace/KeywordInputs.h"
#include "workspace/WindowCommands.h"
#include "workspace/frmMain.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaEnum>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

#include <memory>

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

namespace {

const QString kSuccess = QStringLiteral("Campaign files have been created successfully.");

// The main window showing the campaign "Spring" of the account "Shop".
struct Fixture : WorkingFolderFixture {
    std::unique_ptr<frmMain> w;

    Fixture()
        : WorkingFolderFixture("[Shop]\r\nSpring\r\n")
    {
        campaign("Shop", "Spring");
        w = std::make_unique<frmMain>();
        w->show();
    }

    QString folder() const { return campaignFolder("Shop", "Spring"); }
    QByteArray file(const char* name) const { return TestEnvironment::readAll(folder() + "/" + name); }
    bool exists(const char* name) const { return QFileInfo::exists(folder() + "/" + name); }

    template <typename T>
    T* find(const QString& name) const
    {
        T* widget = w->findChild<T*>(name);
        if (!widget)
            qFatal("no control %s", qPrintable(name));
        return widget;
    }
    void text(const QString& name, const QString& value) const { find<QLineEdit>(name)->setText(value); }
    void tick(const QString& name, bool on) const { find<QCheckBox>(name)->setChecked(on); }
    void option(const QString& name) const { find<QRadioButton>(name)->click(); }

    // A complete campaign, typed into the controls.
    void fill() const
    {
        find<QPlainTextEdit>("txtBaseKeywords")->setPlainText("red shoes\nblue boots");
        find<QPlainTextEdit>("txtExtendKeywords")->setPlainText("cheap");
        tick("chkBroadMatch", true);
        tick("chkPhraseMatch", false);
        tick("chkExactMatch", true);
        text("txtBroadBid", "0.50");
        text("txtPhraseBid", "");
        text("txtExactBid", "0.80");
        text("txtURLTemplate", "http://shop.example/?kw={mix}&m={match}");
        option("optMixing1");              // Extension After Base
        option("optGrouping0");            // Group by Base Keywords
        option("optIncludeBaseKwyword0");  // Yes
        option("optIncludeExtentKwyword1"); // No
        option("optExtraGroupText0");      // None
        option("optCaputalization1");      // Lower Case
        option("optReplaceGroupSpace0");   // Hyphen
        option("optReplaceSpace2");        // Plus
        tick("chkCapitalization", true);
        text("txtMaxCPC", "0.40");
        text("txtMaxContentCPC", "");
        text("txtPlacementMaxCPC", "0.30");
        text("txtHeadline0", "Buy {Base}, now");
        text("txtDescr10", "Great {extension} deals");
        text("txtDescr20", "Shop {campaign}");
        text("txtDisplayURL0", "www.shop.example/{base}");
        text("txtDestinationURL0", "http://shop.example/{adgroup}");
        text("txtHeadline1", "{Mix} Sale");
        // 90 characters with "red shoes", 91 with "blue boots".
        text("txtHeadline2", "{base} " + QString(80, QLatin1Char('x')));
        for (const char* box : {"txtHeadline3", "txtDescr11", "txtDescr21", "txtDisplayURL1", "txtDestinationURL1",
                                "txtDescr12", "txtDescr22", "txtDisplayURL2", "txtDestinationURL2"})
            text(QString::fromLatin1(box), "");
    }

    void build() const { w->toolAction(8)->trigger(); }

    QStringList listRows(int index) const
    {
        AdFileModel* model = w->generatedFilesPanel()->listModel(index);
        QStringList rows;
        for (int r = 0; r < model->rowCount(); ++r)
            rows << model->rowFields(r).join('|');
        return rows;
    }
};

QByteArray crlfJoin(const QStringList& rows)
{
    QByteArray out;
    for (const QString& row : rows)
        out += row.toUtf8() + "\r\n";
    return out;
}

} // namespace

class TestBuildCampaigns : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void buildThroughTheToolbar();
    void validation_data();
    void validation();
    void everyRefusedFieldHasAControl_data();
    void everyRefusedFieldHasAControl();
    void emptyUrlQuestion_data();
    void emptyUrlQuestion();
    void noCampaign_data();
    void noCampaign();
    void runTimeErrors_data();
    void runTimeErrors();
    void windowAnswersWhileTheFilesAreMade();
};

// The whole road: controls filled, toolbar button pressed, three files on
// disk byte for byte, the panel reloaded, tab 3, "Finish!", the log lines
// and the final message with the one over-long headline.
void TestBuildCampaigns::buildThroughTheToolbar()
{
    Fixture f;
    QCOMPARE(f.w->workspace().selectedNode()->key(), NodeId::campaignNode("Shop", "Spring").key());
    f.fill();
    f.find<QPlainTextEdit>("txtAdGroupCSV")->setPlainText("stale");
    f.build();

    const QString url = "http://shop.example/?kw=";
    const QStringList keywordRows{
        "Spring,red-shoes,red shoes,Broad,0.50," + url + "red+shoes&m=broad",
        "Spring,red-shoes,red shoes,Exact,0.80," + url + "red+shoes&m=exact",
        "Spring,red-shoes,red shoes cheap,Broad,0.50," + url + "red+shoes+cheap&m=broad",
        "Spring,red-shoes,red shoes cheap,Exact,0.80," + url + "red+shoes+cheap&m=exact",
        "Spring,blue-boots,blue boots,Broad,0.50," + url + "blue+boots&m=broad",
        "Spring,blue-boots,blue boots,Exact,0.80," + url + "blue+boots&m=exact",
        "Spring,blue-boots,blue boots cheap,Broad,0.50," + url + "blue+boots+cheap&m=broad",
        "Spring,blue-boots,blue boots cheap,Exact,0.80," + url + "blue+boots+cheap&m=exact",
    };
    const QString x80(80, QLatin1Char('x'));
    const QStringList adRows{
        "Spring,red-shoes,\"Buy Red Shoes%2C now\",Great cheap deals,Shop Spring,www.shop.example/red+shoes,"
        "http://shop.example/red-shoes",
        "Spring,red-shoes,Red Shoes Cheap Sale,,,,",
        "Spring,red-shoes,red shoes " + x80 + ",,,,",
        "Spring,blue-boots,\"Buy Blue Boots%2C now\",Great cheap deals,Shop Spring,www.shop.example/blue+boots,"
        "http://shop.example/blue-boots",
        "Spring,blue-boots,Blue Boots Cheap Sale,,,,",
        "Spring,blue-boots,blue boots " + x80 + ",,,,",
    };
    const QStringList adGroupRows{"Spring,red-shoes,0.40,0.00,0.30", "Spring,blue-boots,0.40,0.00,0.30"};
    QCOMPARE(f.file("AdwordsKeywords.csv"), crlfJoin(keywordRows));
    QCOMPARE(QString::fromUtf8(f.file("AdwordsAds.csv")).split("\r\n"), adRows + QStringList{""});
    QCOMPARE(f.file("AdwordsAds.csv"), crlfJoin(adRows));
    QCOMPARE(f.file("AdwordsAdGroups.csv"), crlfJoin(adGroupRows));

    // The panel shows what was written.
    GeneratedFilesPanel* panel = f.w->generatedFilesPanel();
    QTRY_VERIFY(!panel->isBusy());
    QCOMPARE(f.find<QPlainTextEdit>("txtKeywordCSV")->toPlainText(), QString(crlfJoin(keywordRows)).replace("\r\n", "\n"));
    QVERIFY(f.find<QPlainTextEdit>("txtAdCSV")->toPlainText().startsWith("Spring,red-shoes,\"Buy Red Shoes, now\","));
    QCOMPARE(f.find<QPlainTextEdit>("txtAdGroupCSV")->toPlainText(), QStringLiteral("Spring,red-shoes,0.40,0.00,0.30\nSpring,blue-boots,0.40,0.00,0.30\n"));
    QStringList keywordItems;
    for (const QString& row : keywordRows)
        keywordItems << QString(row).replace(',', '|');
    QCOMPARE(f.listRows(0), keywordItems);
    QCOMPARE(f.listRows(1).first(), QStringLiteral("Spring|red-shoes|Buy Red Shoes, now|Great cheap deals|Shop Spring|"
                                                   "www.shop.example/red+shoes|http://shop.example/red-shoes"));
    QCOMPARE(f.listRows(1).size(), 6);
    QCOMPARE(f.listRows(2), (QStringList{"Spring|red-shoes|0.40|0.00|0.30", "Spring|blue-boots|0.40|0.00|0.30"}));
    QCOMPARE(f.find<QGroupBox>("contAdwordsFiles0")->title(), QStringLiteral("Adwords Keywords CSV File: 8 items"));

    QCOMPARE(f.w->tabMain()->currentIndex(), 3);
    QCOMPARE(f.w->statusText(), QStringLiteral("Finish!"));

    const QStringList phases{"BuildCampaigns: mixing keywords ...", "BuildCampaigns: create ad groups ...",
                             "BuildCampaigns: create keyword file ...", "BuildCampaigns: create ads file ...",
                             "BuildCampaigns: create adgroup files ...", "BuildCampaigns: load ad files ...",
                             "BuildCampaigns: completed"};
    const QString log = f.log();
    qsizetype at = 0;
    for (const QString& line : phases) {
        const qsizetype next = log.indexOf(line + "\r\n", at);
        QVERIFY2(next >= 0, qPrintable(line));
        at = next;
    }
    QVERIFY(!log.contains("BuildCampaigns_Error"));

    // Only the final message, with the over-long headline listed once.
    QCOMPARE(f.prompter.messages.size(), 1);
    const platform::MessageRequest& done = f.prompter.messages.first();
    QCOMPARE(done.title, QStringLiteral("Build Campaigns"));
    QCOMPARE(done.icon, MsgIcon::Exclamation);
    QCOMPARE(done.text, kSuccess + "\r\n\r\nHowever, following Titles are exceeded the 30 characters limit because you "
                                   "are using {Base} or {Extension} token in the Title.\r\n\r\nblue boots "
                            + x80 + "\r\n\r\nPlease limit your keywords or combination to less than 30 characters.");

    // Everything the build blocked is usable again.
    QVERIFY(f.w->tvwAccount()->isEnabled());
    QVERIFY(f.w->tabMain()->widget(0)->isEnabled());
    QVERIFY(f.w->toolAction(8)->isEnabled());
    QVERIFY(f.w->toolAction(0)->isEnabled());

    // Fitting headlines: the plain message; the ad-group file keeps the
    // previous build's rows when all three bid boxes are empty.
    f.text("txtHeadline2", "");
    f.text("txtMaxCPC", "");
    f.text("txtPlacementMaxCPC", "");
    f.build();
    QCOMPARE(f.prompter.messages.size(), 2);
    QCOMPARE(f.prompter.messages.last().text, kSuccess);
    QCOMPARE(f.prompter.messages.last().icon, MsgIcon::Information);
    QCOMPARE(f.file("AdwordsAdGroups.csv"), crlfJoin(adGroupRows));
    QCOMPARE(f.file("AdwordsAds.csv").count("\r\n"), 4);
}

void TestBuildCampaigns::validation_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("ticks"); // "BPE" letters of the ticked match types
    QTest::addColumn<QString>("bids");  // "broad|phrase|exact"
    QTest::addColumn<QString>("message"); // "" when the build goes through
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("focus");

    const QString url = "http://shop.example/?kw={mix}";
    const QString bids = "0.50|0.60|0.70";
    const QString tracking = "Keyword Landing URL must be separated by a '?' between website URL and the tracking "
                             "parameters.\r\nPlease double check your Keyword Landing Page URL and make sure the "
                             "tracking parameters is separated by a '?' then try again.";
    const QString noBase = "Please enter at least one base keyword.";
    const QString noType = "Please choose your keyword match type.";
    const QString badUrl = "Invalid web site URL. Please make sure to enter the correct URL and try again.";
    const QString bid = "Please specify a bid value for %1 Match type.";

    QTest::newRow("'=' without '?'") << "http://shop.example/kw=1" << "a" << "B" << bids << tracking
                                     << "Build Campaigns" << "txtURLTemplate";
    QTest::newRow("'?' and '=' pass") << "http://shop.example/?kw=1" << "a" << "B" << bids << "" << "" << "";
    QTest::newRow("template checked before the base keywords")
        << "http://shop.example/kw=1" << "" << "" << bids << tracking << "Build Campaigns" << "txtURLTemplate";
    QTest::newRow("no base keyword") << url << "" << "BPE" << bids << noBase << "Build Campaigns" << "txtBaseKeywords";
    QTest::newRow("base keywords before match types") << "http://a" << "" << "" << bids << noBase << "Build Campaigns"
                                                      << "txtBaseKeywords";
    QTest::newRow("no match type") << url << "a" << "" << bids << noType << "Build Campaigns" << "chkBroadMatch";
    QTest::newRow("match types before the template length")
        << "http://a" << "a" << "" << bids << noType << "Build Campaigns" << "chkBroadMatch";
    QTest::newRow("8 characters of template") << "http://a" << "a" << "E" << bids << badUrl << "Build Campaigns"
                                              << "txtURLTemplate";
    QTest::newRow("9 characters of template pass") << "http://ab" << "a" << "E" << bids << "" << "" << "";
    QTest::newRow("template length before the bids")
        << "http://a" << "a" << "B" << "||" << badUrl << "Build Campaigns" << "txtURLTemplate";
    QTest::newRow("Broad before Phrase") << url << "a" << "BP" << "||0.70" << bid.arg("Broad") << "Build Campaign"
                                         << "txtBroadBid";
    QTest::newRow("Phrase") << url << "a" << "BP" << "0.50||0.70" << bid.arg("Phrase") << "Build Campaign"
                            << "txtPhraseBid";
    QTest::newRow("Exact") << url << "a" << "PE" << "|0.60|" << bid.arg("Exact") << "Build Campaign" << "txtExactBid";
    QTest::newRow("unticked types need no bid") << url << "a" << "P" << "|0.60|" << "" << "" << "";
}

// Each refusal: one information message with its title, tab "Keywords" in
// front, the focus on the field, nothing written; the campaign folder is
// made all the same (it comes before the checks).
void TestBuildCampaigns::validation()
{
    QFETCH(QString, url);
    QFETCH(QString, base);
    QFETCH(QString, ticks);
    QFETCH(QString, bids);
    QFETCH(QString, message);
    QFETCH(QString, title);
    QFETCH(QString, focus);

    Fixture f;
    f.fill();
    f.text("txtURLTemplate", url);
    f.find<QPlainTextEdit>("txtBaseKeywords")->setPlainText(base);
    f.tick("chkBroadMatch", ticks.contains('B'));
    f.tick("chkPhraseMatch", ticks.contains('P'));
    f.tick("chkExactMatch", ticks.contains('E'));
    const QStringList bid = bids.split('|');
    f.text("txtBroadBid", bid.at(0));
    f.text("txtPhraseBid", bid.at(1));
    f.text("txtExactBid", bid.at(2));
    f.w->tabMain()->setCurrentIndex(2);
    f.find<QLineEdit>("txtHeadline0")->setFocus();
    QVERIFY(QDir(f.work + "/Accounts").removeRecursively());

    f.build();

    QVERIFY(QFileInfo(f.folder()).isDir());
    if (message.isEmpty()) {
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(f.prompter.messages.first().text, kSuccess);
        QVERIFY(f.exists("AdwordsKeywords.csv"));
        QCOMPARE(f.w->tabMain()->currentIndex(), 3);
        return;
    }
    QCOMPARE(f.prompter.messages.size(), 1);
    const platform::MessageRequest& shown = f.prompter.messages.first();
    QCOMPARE(shown.text, message);
    QCOMPARE(shown.title, title);
    QCOMPARE(shown.icon, MsgIcon::Information);
    QCOMPARE(shown.buttons, MsgButtons::OK);
    QCOMPARE(f.w->tabMain()->currentIndex(), 0);
    QVERIFY(f.w->focusWidget());
    QCOMPARE(f.w->focusWidget()->objectName(), focus);
    QCOMPARE(QDir(f.folder()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList());
    QVERIFY(f.w->statusText().isEmpty());
    QVERIFY(f.w->toolAction(8)->isEnabled());
}

void TestBuildCampaigns::everyRefusedFieldHasAControl_data()
{
    QTest::addColumn<CampaignField>("field");
    const QMetaEnum fields = QMetaEnum::fromType<CampaignField>();
    for (int i = 0; i < fields.keyCount(); ++i)
        QTest::newRow(fields.key(i)) << CampaignField(fields.value(i));
}

// Whatever field a check names, the window has its control on the Keywords
// tab, where a refusal sends the user, ready to take the focus.
void TestBuildCampaigns::everyRefusedFieldHasAControl()
{
    QFETCH(CampaignField, field);
    Fixture f;
    const QString name = KeywordInputs::controlName(field);
    QWidget* control = f.w->findChild<QWidget*>(name);
    QVERIFY2(control, qPrintable("no control '" + name + "'"));
    QVERIFY(f.w->tabMain()->widget(int(EditorTab::Keywords))->isAncestorOf(control));
    QVERIFY(control->isEnabled());
    QVERIFY(control->focusPolicy() != Qt::NoFocus);
}

void TestBuildCampaigns::emptyUrlQuestion_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes: keyword rows without a URL") << true;
    QTest::newRow("No: back to the template") << false;
}

void TestBuildCampaigns::emptyUrlQuestion()
{
    QFETCH(bool, yes);
    Fixture f;
    f.fill();
    f.text("txtURLTemplate", "");
    f.w->tabMain()->setCurrentIndex(1);
    f.prompter.answers.enqueue(yes ? MsgResult::Yes : MsgResult::No);

    f.build();

    const platform::MessageRequest& question = f.prompter.messages.first();
    QCOMPARE(question.text, QStringLiteral("You did not specify keyword landing page URL, it means that it will use the "
                                           "landing URL from ads.\r\n\r\nAre you sure you want to continue?"));
    QCOMPARE(question.title, QStringLiteral("Build Campaigns"));
    QCOMPARE(question.icon, MsgIcon::Information);
    QCOMPARE(question.buttons, MsgButtons::YesNo);
    if (yes) {
        QCOMPARE(f.prompter.messages.size(), 2);
        QVERIFY(f.file("AdwordsKeywords.csv").startsWith("Spring,red-shoes,red shoes,Broad,0.50\r\n"
                                                         "Spring,red-shoes,red shoes,Exact,0.80\r\n"));
        QCOMPARE(f.w->tabMain()->currentIndex(), 3);
    } else {
        QCOMPARE(f.prompter.messages.size(), 1);
        QVERIFY(!f.exists("AdwordsKeywords.csv"));
        QCOMPARE(f.w->tabMain()->currentIndex(), 0);
        QCOMPARE(f.w->focusWidget()->objectName(), QStringLiteral("txtURLTemplate"));
    }
}

void TestBuildCampaigns::noCampaign_data()
{
    QTest::addColumn<bool>("accountNode");
    QTest::newRow("account node selected") << true;
    QTest::newRow("nothing selected") << false;
}

// Only the "Invalid campaign" message: no folder, no file, no tab change.
void TestBuildCampaigns::noCampaign()
{
    QFETCH(bool, accountNode);
    Fixture f;
    f.fill();
    if (accountNode) {
        f.w->workspace().tvwAccount_NodeClick(NodeId{"Shop", QString()});
        QVERIFY(f.w->workspace().selectedNode());
    } else {
        f.prompter.answers.enqueue(MsgResult::Yes);
        f.w->workspace().DeleteCampaign();
        QVERIFY(!f.w->workspace().selectedNode());
    }
    f.prompter.messages.clear();
    QVERIFY(QDir(f.work + "/Accounts").removeRecursively());
    const int tab = f.w->tabMain()->currentIndex();

    f.build();

    QCOMPARE(f.prompter.messages.size(), 1);
    QCOMPARE(f.prompter.messages.first().text,
             QStringLiteral("Invalid campaign. Please select a campaign from the account list and try again."));
    QCOMPARE(f.prompter.messages.first().title, QStringLiteral("Build Campaign"));
    QCOMPARE(f.prompter.messages.first().icon, MsgIcon::Information);
    QVERIFY(!QFileInfo::exists(f.work + "/Accounts"));
    QCOMPARE(f.w->tabMain()->currentIndex(), tab);
}

void TestBuildCampaigns::runTimeErrors_data()
{
    QTest::addColumn<QString>("blocked"); // the file a folder stands in for; "" the campaign folder is a file
    QTest::addColumn<QStringList>("views"); // the three text views while the error message is up
    QTest::newRow("a folder where AdwordsAds.csv goes") << "AdwordsAds.csv" << QStringList{"", "", "old"};
    QTest::newRow("a folder where AdwordsAdGroups.csv goes") << "AdwordsAdGroups.csv" << QStringList{"", "", ""};
    QTest::newRow("a file where the campaign folder goes") << "" << QStringList{"old", "old", "old"};
}

// What the window shows of a run that fails (the messages, the log and the
// files are the build's, tested without a window): while the error message
// is up (inside the build) the tree, the Keywords page and the build button
// are disabled once the folder is made, a second build and closing the
// window are refused, and each text view is emptied just before its file is
// written; afterwards all is usable again.
void TestBuildCampaigns::runTimeErrors()
{
    QFETCH(QString, blocked);
    QFETCH(QStringList, views);
    const bool folderIsFile = blocked.isEmpty();
    Fixture f;
    f.fill();
    f.text("txtHeadline2", "");
    if (folderIsFile) {
        QVERIFY(QDir(f.folder()).removeRecursively());
        QVERIFY(TestEnvironment::writeAll(f.folder(), "not a folder"));
    } else {
        QVERIFY(QDir().mkpath(f.folder() + "/" + blocked));
        QVERIFY(TestEnvironment::writeAll(f.folder() + "/" + blocked + "/keep", "x"));
    }

    const QStringList viewNames{"txtKeywordCSV", "txtAdCSV", "txtAdGroupCSV"};
    for (const QString& view : viewNames)
        f.find<QPlainTextEdit>(view)->setPlainText("old");
    struct During {
        int errors = 0;
        bool treeEnabled = true, pageEnabled = true, buildEnabled = true, visibleAfterClose = false;
        QString status;
        QStringList views;
    } during;
    f.prompter.onMessage = [&](const platform::MessageRequest& request) {
        if (request.icon != MsgIcon::Critical)
            return;
        ++during.errors;
        during.treeEnabled = f.w->tvwAccount()->isEnabled();
        during.pageEnabled = f.w->tabMain()->widget(0)->isEnabled();
        during.buildEnabled = f.w->toolAction(8)->isEnabled();
        during.status = f.w->statusText();
        for (const QString& view : viewNames)
            during.views << f.find<QPlainTextEdit>(view)->toPlainText();
        f.w->buildCampaigns()->BuildCampaigns(); // refused at once, no message
        f.w->close();
        during.visibleAfterClose = f.w->isVisible();
    };

    f.build();

    QCOMPARE(during.errors, 1);
    QCOMPARE(f.prompter.messages.size(), 2);
    QVERIFY(during.status.startsWith("Error occur: "));
    QCOMPARE(f.w->statusText(), QStringLiteral("Finish!"));
    if (!folderIsFile)
        QCOMPARE(f.w->tabMain()->currentIndex(), 3);

    // The folder is made before the inputs are blocked; the files after.
    QCOMPARE(during.treeEnabled, folderIsFile);
    QCOMPARE(during.pageEnabled, folderIsFile);
    QCOMPARE(during.buildEnabled, folderIsFile);
    // Each text view is emptied just before its file is written.
    QCOMPARE(during.views, views);
    QVERIFY(during.visibleAfterClose);
    QVERIFY(f.w->tvwAccount()->isEnabled());
    QVERIFY(f.w->tabMain()->widget(0)->isEnabled());
    QVERIFY(f.w->toolAction(8)->isEnabled());
    QVERIFY(f.w->isVisible());
}

// The files are made off the window's thread: its event loop goes on
// turning (a timer fires) while the inputs stay blocked, a second build is
// refused without a message and closing the window is refused; the build
// then ends as ever.
void TestBuildCampaigns::windowAnswersWhileTheFilesAreMade()
{
    Fixture f;
    f.fill();
    f.text("txtHeadline2", "");
    QString base;
    QString ext;
    for (int i = 0; i < 150; ++i) {
        base += QStringLiteral("base keyword %1\n").arg(i);
        ext += QStringLiteral("extension %1\n").arg(i);
    }
    f.find<QPlainTextEdit>("txtBaseKeywords")->setPlainText(base);
    f.find<QPlainTextEdit>("txtExtendKeywords")->setPlainText(ext);
    f.option("optMixing2");   // both orders
    f.option("optGrouping2"); // by mix

    struct During {
        int turns = 0;
        bool inputsBlocked = true;
        bool visibleAfterClose = false;
        int messagesBefore = -1;
    } during;
    QTimer tick;
    tick.setInterval(0);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (!f.w->buildCampaigns()->isBuilding() || !f.prompter.messages.isEmpty())
            return;
        ++during.turns;
        during.inputsBlocked = during.inputsBlocked && !f.w->tvwAccount()->isEnabled()
            && !f.w->tabMain()->widget(0)->isEnabled() && !f.w->toolAction(8)->isEnabled();
        f.w->buildCampaigns()->BuildCampaigns(); // refused at once
        f.w->close();
        during.visibleAfterClose = f.w->isVisible();
    });
    tick.start();

    f.build();
    tick.stop();

    QVERIFY(during.turns > 0);
    QVERIFY(during.inputsBlocked);
    QVERIFY(during.visibleAfterClose);
    QCOMPARE(f.prompter.messages.size(), 1);
    QCOMPARE(f.prompter.messages.first().text, kSuccess);
    // Two rows per pair and match type, one per keyword alone.
    QCOMPARE(f.file("AdwordsKeywords.csv").count("\r\n"), 2 * (150 * 150 * 2 + 150));
    QCOMPARE(f.file("AdwordsAds.csv").count("\r\n"), 150 * 150 * 2);
    QCOMPARE(f.w->statusText(), QStringLiteral("Finish!"));
    QVERIFY(f.w->tvwAccount()->isEnabled());
    QVERIFY(f.w->toolAction(8)->isEnabled());
    QVERIFY(f.w->isVisible());
}

QTEST_MAIN(TestBuildCampaigns)
#include "tst_buildcampaigns.moc"
