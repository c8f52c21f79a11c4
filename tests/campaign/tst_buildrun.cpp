#include "EveryFieldCampaign.h"
#include "FakeWindow.h"
#include "WorkingFolderFixture.h"

#include "core/ErrorLog.h"
#include "generator/CampaignGenerator.h"

#include <QDir>
#include <QtTest>

#include <stdexcept>

using ImportFormat::File;
using platform::MsgIcon;

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
    QByteArray file(const char* name) const { return TestEnvironment::readAll(folder() + "/" + name); }
};

// Two base keywords and one extension mixed after them, Broad and Exact
// with their bids, grouped by base, two ads that fit: four ad rows and two
// ad groups.
CampaignData twoGroups()
{
    CampaignData c;
    c.baseKeywords = QStringLiteral("red shoes\r\nblue boots");
    c.extensionKeywords = QStringLiteral("cheap");
    c.broadMatch = c.exactMatch = true;
    c.broadBid = QStringLiteral("0.50");
    c.exactBid = QStringLiteral("0.80");
    c.urlTemplate = QStringLiteral("http://shop.example/?kw={mix}&m={match}");
    c.mixing = Mixing::ExtensionAfterBase;
    c.grouping = Grouping::ByBase;
    c.includeBaseKeyword = Include::Yes;
    c.includeExtKeyword = Include::No;
    c.capitalisation = Capitalisation::LowerCase;
    c.replaceSpace = ReplaceSpace::Plus;
    c.capitalization = true;
    c.maxCPC = QStringLiteral("0.40");
    c.placementMaxCPC = QStringLiteral("0.30");
    c.ads[0] = {QStringLiteral("Buy {Base}, now"), QStringLiteral("Great {extension} deals"),
                QStringLiteral("Shop {campaign}"), QStringLiteral("www.shop.example/{base}"),
                QStringLiteral("http://shop.example/{adgroup}")};
    c.ads[1].headline = QStringLiteral("{Mix} Sale");
    return c;
}

// What goes wrong in a run.
enum class Fault {
    FolderForAds,       // a folder where AdwordsAds.csv goes
    FolderForAdGroups,  // a folder where AdwordsAdGroups.csv goes
    FileForCampaign,    // a file where the campaign folder goes
    Exception,          // the generator throws
    ErrorThenException, // the generator reports an error, then throws
};

} // namespace

Q_DECLARE_METATYPE(Fault)

class TestBuildRun : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void runTellsTheWindowInOrder();
    void refusalShowsTheInput_data();
    void refusalShowsTheInput();
    void runTimeErrors_data();
    void runTimeErrors();
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

void TestBuildRun::runTimeErrors_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QStringList>("errors"); // "" for an error whose text the generator words
    QTest::addColumn<QList<File>>("cleared"); // the files' views emptied before the error message
    QTest::addColumn<QString>("ownLine");    // the log line the build writes itself ("%1" the folder); "" none
    QTest::newRow("a folder where AdwordsAds.csv goes")
        << Fault::FolderForAds << QStringList{""} << QList<File>{File::Keywords, File::Ads, File::Ads} << "";
    QTest::newRow("a folder where AdwordsAdGroups.csv goes")
        << Fault::FolderForAdGroups << QStringList{""}
        << QList<File>{File::Keywords, File::Ads, File::Ads, File::AdGroups} << "";
    QTest::newRow("a file where the campaign folder goes")
        << Fault::FileForCampaign << QStringList{"Cannot create the folder %1", "", "", ""} << QList<File>()
        << "BuildCampaigns_Error: Cannot create the folder %1 - log point 3 sFilePath =%1";
    QTest::newRow("an exception from the generator")
        << Fault::Exception << QStringList{"cut short"} << QList<File>()
        << "BuildCampaigns_Error: cut short - log point 21";
    QTest::newRow("an error reported, then an exception")
        << Fault::ErrorThenException << QStringList{"first failure", "cut short"} << QList<File>()
        << "BuildCampaigns_Error: cut short - log point 21";
}

// A failing statement is logged with its step, the first failure alone is
// shown as it happens, and the run still ends with "Finish!" and a final
// message, which lists every failure instead of claiming success. While the
// error message is up (inside the build) the build counts as running (the
// window refuses to close), a second build is refused without a message,
// and the inputs are blocked once the folder is made.
void TestBuildRun::runTimeErrors()
{
    QFETCH(Fault, fault);
    QFETCH(QStringList, errors);
    QFETCH(QList<File>, cleared);
    QFETCH(QString, ownLine);
    Fixture f;
    f.w.editor = twoGroups();
    switch (fault) {
    case Fault::FolderForAds:
    case Fault::FolderForAdGroups: {
        const QString blocked = fault == Fault::FolderForAds ? "AdwordsAds.csv" : "AdwordsAdGroups.csv";
        QVERIFY(QDir().mkpath(f.folder() + "/" + blocked));
        QVERIFY(TestEnvironment::writeAll(f.folder() + "/" + blocked + "/keep", "x"));
        break;
    }
    case Fault::FileForCampaign:
        QVERIFY(QDir(f.folder()).removeRecursively());
        QVERIFY(TestEnvironment::writeAll(f.folder(), "not a folder"));
        break;
    case Fault::Exception:
    case Fault::ErrorThenException:
        f.w.build.setGenerator([fault](const generator::GenerationInput&,
                                       const generator::GenerationCallbacks& callbacks) -> generator::GenerationResult {
            if (fault == Fault::ErrorThenException) {
                ErrorLog::WriteErrorLog(QStringLiteral("BuildCampaigns_Error: first failure - the generator's step"));
                callbacks.error(QStringLiteral("first failure"));
            }
            throw std::runtime_error("cut short");
        });
        break;
    }
    f.w.filesShown.clear();

    struct During {
        bool blocked = false, building = false;
        QString status;
        QList<File> cleared;
    } during;
    f.prompter.onMessage = [&](const platform::MessageRequest& request) {
        if (request.icon != MsgIcon::Critical)
            return;
        during.blocked = f.w.inputsBlocked;
        during.building = f.w.build.isBuilding();
        during.status = f.w.status;
        during.cleared = f.w.cleared;
        f.w.build.BuildCampaigns(); // refused at once, no message
    };

    f.w.build.BuildCampaigns();

    QList<platform::MessageRequest> critical;
    for (const auto& m : f.prompter.messages) {
        if (m.icon == MsgIcon::Critical)
            critical << m;
    }
    QCOMPARE(critical.size(), 1);
    QVERIFY2(critical.first().text.startsWith("Error occur when creating campaign files: "),
             qPrintable(critical.first().text));
    QCOMPARE(critical.first().title, QStringLiteral("Create Campaign"));
    QCOMPARE(f.prompter.messages.size(), 2);
    const platform::MessageRequest& done = f.prompter.messages.last();
    QCOMPARE(done.title, QStringLiteral("Build Campaigns"));
    QCOMPARE(done.icon, MsgIcon::Exclamation);
    const QString failed = QStringLiteral("Campaign files could not all be created:\r\n\r\n");
    QVERIFY2(done.text.startsWith(failed), qPrintable(done.text));
    QVERIFY(!done.text.contains("Campaign files have been created successfully."));
    QCOMPARE(f.w.status, QStringLiteral("Finish!"));
    QVERIFY(during.status.startsWith("Error occur: "));

    const QString log = f.log();
    QCOMPARE(log.count("BuildCampaigns_Error: "), errors.size());
    // The final message names each failure as its log line does.
    const QStringList listed = done.text.mid(failed.size()).split("\r\n");
    QCOMPARE(listed.size(), errors.size());
    QCOMPARE(critical.first().text, "Error occur when creating campaign files: " + listed.first());
    QCOMPARE(during.status, "Error occur: " + listed.first());
    for (int i = 0; i < errors.size(); ++i) {
        if (!errors.at(i).isEmpty())
            QCOMPARE(listed.at(i), errors.at(i).arg(f.folder()));
        QVERIFY2(log.contains("BuildCampaigns_Error: " + listed.at(i) + " - "), qPrintable(listed.at(i)));
    }
    if (!ownLine.isEmpty())
        QVERIFY2(log.contains(ownLine.arg(f.folder()) + "\r\n"), qPrintable(ownLine.arg(f.folder())));
    QVERIFY(log.contains("BuildCampaigns: completed"));
    switch (fault) {
    case Fault::FileForCampaign:
        QCOMPARE(TestEnvironment::readAll(f.folder()), QByteArray("not a folder"));
        break;
    case Fault::FolderForAds:
    case Fault::FolderForAdGroups:
        // The other files are written all the same.
        QVERIFY(f.file("AdwordsKeywords.csv").startsWith("Spring,red-shoes,red shoes,Broad,0.50,"));
        if (fault != Fault::FolderForAds)
            QCOMPARE(f.file("AdwordsAds.csv").count("\r\n"), 4);
        if (fault != Fault::FolderForAdGroups)
            QCOMPARE(f.file("AdwordsAdGroups.csv").count("\r\n"), 2);
        break;
    case Fault::Exception:
    case Fault::ErrorThenException:
        QCOMPARE(QDir(f.folder()).entryList({"Adwords*.csv"}, QDir::Files), QStringList());
        break;
    }
    // However the run failed, it ends as ever: the files shown, the Landing
    // Page in front.
    QCOMPARE(f.w.filesShown, f.folder());
    QVERIFY(f.w.landingPageInFront);

    // The folder is made before the inputs are blocked; the files after.
    QCOMPARE(during.blocked, fault != Fault::FileForCampaign);
    QVERIFY(during.building);
    // Each file's view is emptied just before the file is written.
    QCOMPARE(during.cleared, cleared);
    QVERIFY(!f.w.inputsBlocked);
    QVERIFY(!f.w.build.isBuilding());
}

QTEST_GUILESS_MAIN(TestBuildRun)
#include "tst_buildrun.moc"
