#include "EveryFieldCampaign.h"
#include "FakeWindow.h"
#include "WorkingFolderFixture.h"

#include <QDir>
#include <QtTest>

using ImportFormat::File;

namespace {

// The workspace showing the campaign "Spring" of the account "Shop", its
// editor holding a campaign with every field set.
struct Fixture : WorkingFolderFixture {
    FakeWindow w{work};

    Fixture()
        : WorkingFolderFixture("[Shop]\r\nSpring\r\n")
    {
        campaign("Shop", "Spring");
        w.workspace.load();
        w.editor = campaignWithEveryField();
    }

    QString folder() const { return campaignFolder("Shop", "Spring"); }
};

} // namespace

class TestBuildRun : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void runTellsTheWindowInOrder();
    void refusalShowsTheInput_data();
    void refusalShowsTheInput();
};

// A build empties each file's view before the file is written, prepares the
// new files off the window's thread while the inputs stay blocked, shows
// them, releases the inputs and brings the Landing Page to the front.
void TestBuildRun::runTellsTheWindowInOrder()
{
    Fixture f;
    f.w.filesShown.clear();
    f.w.statusTexts.clear();
    f.w.build.BuildCampaigns();

    QCOMPARE(f.w.cleared, (QList<File>{File::Keywords, File::Ads, File::Ads, File::AdGroups}));
    QVERIFY(!f.w.preparedOnWindowThread);
    QVERIFY(f.w.blockedWhilePrepared);
    QVERIFY(!f.w.inputsBlocked);
    QCOMPARE(f.w.filesShown, f.folder());
    QVERIFY(f.w.landingPageInFront);
    QVERIFY(!f.w.refusedInput);
    QCOMPARE(f.w.status, QStringLiteral("Finish!"));
    QVERIFY(f.w.statusTexts.size() > 1);
    QCOMPARE(f.prompter.messages.size(), 1);
    QCOMPARE(f.prompter.messages.first().text, QStringLiteral("Campaign files have been created successfully."));
    QCOMPARE(QDir(f.folder()).entryList({"Adwords*.csv"}, QDir::Files),
             (QStringList{"AdwordsAdGroups.csv", "AdwordsAds.csv", "AdwordsKeywords.csv"}));
}

void TestBuildRun::refusalShowsTheInput_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<bool>("ticked"); // the three match types
    QTest::addColumn<QString>("url");
    QTest::addColumn<CampaignField>("input");
    QTest::newRow("no base keyword") << "" << true << "http://shop.example/" << CampaignField::BaseKeywords;
    QTest::newRow("no match type") << "red shoes" << false << "http://shop.example/" << CampaignField::MatchTypes;
    QTest::newRow("tracking without '?'") << "red shoes" << true << "http://shop.example/kw=1"
                                          << CampaignField::UrlTemplate;
}

// A refused build names the input to correct and touches nothing else of
// the window: no view emptied, no input blocked, the Landing Page left
// behind, no file written.
void TestBuildRun::refusalShowsTheInput()
{
    QFETCH(QString, base);
    QFETCH(bool, ticked);
    QFETCH(QString, url);
    QFETCH(CampaignField, input);
    Fixture f;
    f.w.editor.baseKeywords = base;
    f.w.editor.broadMatch = f.w.editor.phraseMatch = f.w.editor.exactMatch = ticked;
    f.w.editor.urlTemplate = url;
    f.w.statusTexts.clear();
    f.w.build.BuildCampaigns();

    QCOMPARE(f.w.refusedInput, input);
    QVERIFY(f.w.cleared.isEmpty());
    QVERIFY(!f.w.blockedWhilePrepared);
    QVERIFY(!f.w.landingPageInFront);
    QVERIFY(f.w.statusTexts.isEmpty());
    QCOMPARE(f.prompter.messages.size(), 1);
    QCOMPARE(QDir(f.folder()).entryList({"Adwords*.csv"}, QDir::Files), QStringList());
}

QTEST_GUILESS_MAIN(TestBuildRun)
#include "tst_buildrun.moc"
