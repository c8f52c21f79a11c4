#include "EveryFieldCampaign.h"

#include "generator/BuildChecks.h"

#include <QtTest>

namespace {

const QString kQuestion = QStringLiteral("You did not specify keyword landing page URL, it means that it will use the "
                                         "landing URL from ads.\r\n\r\nAre you sure you want to continue?");
const QString kTracking = QStringLiteral("Keyword Landing URL must be separated by a '?' between website URL and the "
                                         "tracking parameters.\r\nPlease double check your Keyword Landing Page URL "
                                         "and make sure the tracking parameters is separated by a '?' then try again.");
const QString kNoBase = QStringLiteral("Please enter at least one base keyword.");
const QString kNoType = QStringLiteral("Please choose your keyword match type.");
const QString kBadUrl = QStringLiteral("Invalid web site URL. Please make sure to enter the correct URL and try again.");
const QString kBid = QStringLiteral("Please specify a bid value for %1 Match type.");

} // namespace

class TestBuildChecks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstRefusal_data();
    void firstRefusal();
};

void TestBuildChecks::firstRefusal_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("ticks"); // "BPE" letters of the ticked match types
    QTest::addColumn<QString>("bids");  // "broad|phrase|exact"
    QTest::addColumn<bool>("accepted"); // the empty-template question was answered Yes
    QTest::addColumn<QString>("text");  // "" when the build may start
    QTest::addColumn<QString>("title");
    QTest::addColumn<CampaignField>("focus");
    QTest::addColumn<bool>("question");

    const QString url = QStringLiteral("http://shop.example/?kw={mix}");
    const QString bids = QStringLiteral("0.50|0.60|0.70");
    const QString s = QStringLiteral("Build Campaigns");
    const QString one = QStringLiteral("Build Campaign");
    const CampaignField tmpl = CampaignField::UrlTemplate;
    // The field of a campaign that may be built: never looked at.
    const CampaignField none = CampaignField::UrlTemplate;

    QTest::newRow("buildable") << url << "a" << "BPE" << bids << false << "" << "" << none << false;
    QTest::newRow("empty template: the question first")
        << "" << "" << "" << "||" << false << kQuestion << s << tmpl << true;
    QTest::newRow("empty template answered Yes: the other checks follow")
        << "" << "" << "BPE" << bids << true << kNoBase << s << CampaignField::BaseKeywords << false;
    QTest::newRow("empty template answered Yes, nothing else wrong") << "" << "a" << "B" << bids << true << "" << ""
                                                                     << none << false;
    QTest::newRow("'=' without '?'") << "http://shop.example/kw=1" << "a" << "B" << bids << false << kTracking << s
                                     << tmpl << false;
    QTest::newRow("'?' and '=' pass") << "http://shop.example/?kw=1" << "a" << "B" << bids << false << "" << ""
                                      << none << false;
    QTest::newRow("template before the base keywords")
        << "http://shop.example/kw=1" << "" << "" << bids << false << kTracking << s << tmpl << false;
    QTest::newRow("no base keyword") << url << "" << "BPE" << bids << false << kNoBase << s << CampaignField::BaseKeywords
                                     << false;
    QTest::newRow("a base of blanks is not empty") << url << "  " << "B" << bids << false << "" << "" << none << false;
    QTest::newRow("base keywords before the match types")
        << "http://a" << "" << "" << bids << false << kNoBase << s << CampaignField::BaseKeywords << false;
    QTest::newRow("no match type") << url << "a" << "" << bids << false << kNoType << s << CampaignField::MatchTypes << false;
    QTest::newRow("match types before the template length")
        << "http://a" << "a" << "" << bids << false << kNoType << s << CampaignField::MatchTypes << false;
    QTest::newRow("8 characters of template") << "http://a" << "a" << "E" << bids << false << kBadUrl << s << tmpl
                                              << false;
    QTest::newRow("9 characters pass") << "http://ab" << "a" << "E" << bids << false << "" << "" << none << false;
    QTest::newRow("template length before the bids")
        << "http://a" << "a" << "B" << "||" << false << kBadUrl << s << tmpl << false;
    QTest::newRow("Broad before Phrase") << url << "a" << "BP" << "||0.70" << false << kBid.arg("Broad") << one
                                         << CampaignField::BroadBid << false;
    QTest::newRow("Phrase") << url << "a" << "BP" << "0.50||0.70" << false << kBid.arg("Phrase") << one
                            << CampaignField::PhraseBid << false;
    QTest::newRow("Exact") << url << "a" << "PE" << "|0.60|" << false << kBid.arg("Exact") << one << CampaignField::ExactBid
                           << false;
    QTest::newRow("a bid of blanks counts as given") << url << "a" << "B" << " ||" << false << "" << ""
                                                     << none << false;
    QTest::newRow("unticked types need no bid") << url << "a" << "P" << "|0.60|" << false << "" << "" << none << false;
}

void TestBuildChecks::firstRefusal()
{
    QFETCH(QString, url);
    QFETCH(QString, base);
    QFETCH(QString, ticks);
    QFETCH(QString, bids);
    QFETCH(bool, accepted);
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(CampaignField, focus);
    QFETCH(bool, question);

    CampaignData campaign = campaignWithEveryField();
    campaign.urlTemplate = url;
    campaign.baseKeywords = base;
    campaign.broadMatch = ticks.contains('B');
    campaign.phraseMatch = ticks.contains('P');
    campaign.exactMatch = ticks.contains('E');
    const QStringList bid = bids.split('|');
    campaign.broadBid = bid.at(0);
    campaign.phraseBid = bid.at(1);
    campaign.exactBid = bid.at(2);

    const std::optional<BuildRefusal> refusal = FirstBuildRefusal(campaign, accepted);
    if (text.isEmpty()) {
        QVERIFY2(!refusal, refusal ? qPrintable(refusal->text) : "");
        return;
    }
    QVERIFY(refusal);
    QCOMPARE(*refusal, (BuildRefusal{text, title, platform::MsgIcon::Information, focus, question}));
}

QTEST_GUILESS_MAIN(TestBuildChecks)
#include "tst_buildchecks.moc"
