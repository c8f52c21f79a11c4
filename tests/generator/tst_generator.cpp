#include "core/Globals.h"
#include "core/RegistryAPI.h"
#include "generator/BlockPipeline.h"
#include "generator/CampaignGenerator.h"
#include "generator/KeywordMixing.h"
#include "generator/TemplateText.h"

#include "SettingsFixture.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <csignal>

#include <sys/resource.h>

using namespace generator;

namespace {

const QString kKeywords = QStringLiteral("AdwordsKeywords.csv");
const QString kAds = QStringLiteral("AdwordsAds.csv");
const QString kAdGroups = QStringLiteral("AdwordsAdGroups.csv");

// Group names left as they are: no extra text, no case change, spaces kept.
GroupNameOptions plainNames()
{
    GroupNameOptions o;
    o.extraGroupText = ExtraGroupText::None;
    o.capitalisation = Capitalisation::None;
    o.replaceGroupSpace = GroupSpace::Space;
    return o;
}

QString describe(const KeywordRecord& r)
{
    return QStringList{r.mix, r.base, r.extension, r.group, r.baseAlternative, r.extensionAlternative}.join(
        QLatin1Char('|'));
}

QStringList describe(const QList<KeywordRecord>& records)
{
    QStringList out;
    for (const KeywordRecord& r : records)
        out << describe(r);
    return out;
}

// A campaign with one base line, Broad ticked and plain group names.
GenerationInput baseInput(const QString& folder)
{
    GenerationInput in;
    in.campaignName = QStringLiteral("Spring");
    in.campaignFolder = folder;
    in.campaign.urlTemplate.clear();
    in.campaign.baseKeywords = QStringLiteral("red shoes");
    in.campaign.broadMatch = true;
    in.campaign.broadBid = QStringLiteral("0.50");
    in.campaign.mixing = Mixing::ExtensionAfterBase;
    in.campaign.grouping = Grouping::ByMix;
    in.campaign.includeBaseKeyword = Include::Yes;
    in.campaign.includeExtKeyword = Include::Yes;
    in.campaign.capitalisation = Capitalisation::None;
    in.campaign.replaceGroupSpace = GroupSpace::Space;
    in.campaign.replaceSpace = ReplaceSpace::Plus;
    return in;
}

QByteArray crlfRows(const QStringList& rows)
{
    QByteArray out;
    for (const QString& r : rows)
        out += r.toUtf8() + "\r\n";
    return out;
}

} // namespace

class TestGenerator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void capitalizeX_data();
    void capitalizeX();
    void getToken_data();
    void getToken();
    void formatGroupName_data();
    void formatGroupName();
    void combineKeywords_data();
    void combineKeywords();
    void removeReplaceField_data();
    void removeReplaceField();

    void keywordLists();
    void mixing_data();
    void mixing();

    void keywordRows_data();
    void keywordRows();
    void adGroupRows_data();
    void adGroupRows();
    void adTexts_data();
    void adTexts();
    void everyTokenOfTheTableIsReplaced_data();
    void everyTokenOfTheTableIsReplaced();
    void skippedAdGroupFileKeepsPrevious();
    void emptyKeywordFileHasNoBytes();
    void keywordGroupsMatchAdGroupNames();
    void commaAndQuoteFieldsStayOneField();
    void overLongHeadlines();
    void failingWriteIsReportedAndOthersWritten();
    void failedFinalFlushKeepsPreviousFile();
    void progressAndStatusTexts();
    void precompiledFillEqualsLiteralReplacement_data();
    void precompiledFillEqualsLiteralReplacement();
    void filesAlikeInAnyNumberOfBlocks_data();
    void filesAlikeInAnyNumberOfBlocks();
    void buildLeavesTheSettingsAlone();

private:
    QByteArray run(const GenerationInput& in, const QString& file, GenerationResult* result = nullptr);
};

// ------------------------------------------------------------------ text rules

void TestGenerator::capitalizeX_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("form");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Base: each word capitalised") << "red shoes" << "Base" << true << "Red Shoes";
    QTest::newRow("BASE: upper case") << "red shoes" << "BASE" << true << "RED SHOES";
    QTest::newRow("base: lower case of a typed capital") << "Red Shoes" << "base" << true << "red shoes";
    QTest::newRow("not ticked: as typed") << "rEd shoes" << "BASE" << false << "rEd shoes";
    QTest::newRow("small first, capital last: empty") << "red shoes" << "basE" << true << "";
    QTest::newRow("inner runs of spaces kept, leading dropped") << "  red  SHOES " << "Mix" << true << "Red  Shoes ";
    QTest::newRow("empty value") << "" << "BASE" << true << "";
    QTest::newRow("form of one capital letter") << "red shoes" << "B" << true << "Red Shoes";
    QTest::newRow("digits count as both cases") << "red shoes" << "B1" << true << "Red Shoes";
    // Letters outside the Basic Multilingual Plane are one character each,
    // though two UTF-16 units: Deseret small U+10428/U+10429, capital U+10400/U+10401.
    const QString smallEe = QString::fromUcs4(U"\U00010428");
    const QString smallOw = QString::fromUcs4(U"\U00010429");
    const QString capitalEe = QString::fromUcs4(U"\U00010400");
    const QString capitalOw = QString::fromUcs4(U"\U00010401");
    QTest::newRow("Base: first letter outside the BMP capitalised") << smallOw << "Base" << true << capitalOw;
    QTest::newRow("Base: each word, the rest lower case")
        << smallOw + capitalEe + " " + smallEe << "Base" << true << capitalOw + smallEe + " " + capitalEe;
    QTest::newRow("form of two capitals outside the BMP: upper case")
        << "red shoes" << capitalEe + capitalOw << true << "RED SHOES";
    QTest::newRow("form small then capital outside the BMP: empty")
        << "red shoes" << smallEe + capitalOw << true << "";
    QTest::newRow("form ending in a capital outside the BMP: empty") << "red shoes" << "b" + capitalOw << true << "";
}

void TestGenerator::capitalizeX()
{
    QFETCH(QString, value);
    QFETCH(QString, form);
    QFETCH(bool, ticked);
    QFETCH(QString, expected);
    QCOMPARE(CapitalizeX(value, form, ticked), expected);
}

void TestGenerator::getToken_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("expected");
    QTest::newRow("typed form") << "Buy {Base} now {base}" << "{base}" << "Base";
    QTest::newRow("upper case") << "{EXTENSION}" << "{extension}" << "EXTENSION";
    QTest::newRow("absent: the whole text") << "Buy {mix} now" << "{base}" << "Buy {mix} now";
}

void TestGenerator::getToken()
{
    QFETCH(QString, text);
    QFETCH(QString, token);
    QFETCH(QString, expected);
    QCOMPARE(GetToken(text, token), expected);
}

void TestGenerator::formatGroupName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("extra");
    QTest::addColumn<QString>("extraText");
    QTest::addColumn<int>("caps");
    QTest::addColumn<int>("space");
    QTest::addColumn<QString>("expected");
    QTest::newRow("prefix, upper, hyphen") << "red shoes" << 1 << "Buy" << 0 << 0 << "BUY-RED-SHOES";
    QTest::newRow("suffix, lower, underscore") << " Red Shoes " << 2 << "Online" << 1 << 1 << "red_shoes_online";
    QTest::newRow("none, none, plus") << "Red Shoes" << 0 << "ignored" << 2 << 2 << "Red+Shoes";
    QTest::newRow("space kept") << "Red  Shoes" << 0 << "" << 2 << 3 << "Red  Shoes";
    QTest::newRow("empty name with a prefix") << "" << 1 << "Buy" << 2 << 0 << "Buy";
    QTest::newRow("empty extra text trimmed away") << "shoes" << 2 << "" << 2 << 0 << "shoes";
}

void TestGenerator::formatGroupName()
{
    QFETCH(QString, name);
    QFETCH(int, extra);
    QFETCH(QString, extraText);
    QFETCH(int, caps);
    QFETCH(int, space);
    QFETCH(QString, expected);
    GroupNameOptions o;
    o.extraGroupText = ExtraGroupText(extra);
    o.extraText = extraText;
    o.capitalisation = Capitalisation(caps);
    o.replaceGroupSpace = GroupSpace(space);
    QCOMPARE(FormatGroupName(name, o), expected);
}

void TestGenerator::combineKeywords_data()
{
    QTest::addColumn<QString>("tmpl");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("ext");
    QTest::addColumn<QString>("baseAlt");
    QTest::addColumn<QString>("extAlt");
    QTest::addColumn<int>("maxLen");
    QTest::addColumn<QString>("expected");
    const QString t = QStringLiteral("{Base} in {extension}");
    QTest::newRow("both fit") << t << "shoes" << "paris" << "x" << "" << 20 << "shoes in paris";
    QTest::newRow("extension alternative") << t << "shoes" << "paris france" << "" << "fr" << 14 << "shoes in fr";
    QTest::newRow("both alternatives") << t << "red shoes" << "paris france" << "rs" << "fr" << 10 << "rs in fr";
    QTest::newRow("base alternative with extension")
        << t << "red shoes" << "paris" << "rs" << "france" << 11 << "rs in paris";
    QTest::newRow("nothing fits: base and extension")
        << t << "red shoes" << "paris" << "rs" << "fr" << 5 << "red shoes in paris";
    QTest::newRow("extension alternative only, too long") << t << "red shoes" << "paris" << "" << "fr" << 5
                                                          << "red shoes in paris";
    QTest::newRow("no extension alternative: base alternative")
        << t << "red shoes" << "paris" << "rs" << "" << 11 << "rs in paris";
    QTest::newRow("no extension alternative: the base alternative alone")
        << t << "red shoes" << "paris" << "cheap red shoes" << "" << 10 << "cheap red shoes";
    QTest::newRow("base only fits") << " Buy {base} " << "shoes" << "" << "s" << "" << 20 << "Buy shoes";
    QTest::newRow("base only, alternative") << "Buy {base}" << "red shoes" << "" << "rs" << "" << 8 << "Buy rs";
    QTest::newRow("base only, alternative too long")
        << "Buy {base}" << "red shoes" << "" << "red boots" << "" << 8 << "Buy red shoes";
    QTest::newRow("extension only, alternative") << "In {EXTENSION}" << "" << "paris france" << "" << "fr" << 6
                                                 << "In fr";
    QTest::newRow("neither token") << "  Plain text " << "a" << "b" << "c" << "d" << 1 << "Plain text";
}

void TestGenerator::combineKeywords()
{
    QFETCH(QString, tmpl);
    QFETCH(QString, base);
    QFETCH(QString, ext);
    QFETCH(QString, baseAlt);
    QFETCH(QString, extAlt);
    QFETCH(int, maxLen);
    QFETCH(QString, expected);
    QCOMPARE(CombineKeywords(tmpl, base, ext, baseAlt, extAlt, qint16(maxLen)), expected);
}

void TestGenerator::removeReplaceField_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("none") << "red shoes" << "red shoes";
    QTest::newRow("one, not trimmed") << "red [x] shoes " << "red  shoes ";
    QTest::newRow("several") << "[a]b[c]d" << "bd";
    QTest::newRow("open without close dropped") << "a [b c" << "a b c";
    QTest::newRow("closed, then open without close") << "a [b] c [d" << "a  c d";
}

void TestGenerator::removeReplaceField()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(RemoveReplaceField(text), expected);
}

// ----------------------------------------------------------------------- mixing

void TestGenerator::keywordLists()
{
    const KeywordLists a = KeywordLists::fromTexts(QStringLiteral("a\r\nb"), QString());
    QCOMPARE(a.base.size(), size_t(3));
    QCOMPARE(a.baseLastIndex(), 2);
    QVERIFY(a.base[2].empty);
    QVERIFY(a.ext.empty());

    const KeywordLists b = KeywordLists::fromTexts(QStringLiteral("a\r\n"), QStringLiteral("x\n\ny"));
    QCOMPARE(b.baseLastIndex(), 1);
    QCOMPARE(b.ext.size(), size_t(4)); // x, "", y, ""
    QVERIFY(!b.ext[0].empty && b.ext[1].empty && !b.ext[2].empty && b.ext[3].empty);
    QVERIFY(!b.extensionBoxBlank);

    const KeywordLists c = KeywordLists::fromTexts(QStringLiteral("shoes [cheap shoes]\r\n  "), QStringLiteral("  "));
    QCOMPARE(c.base[0].keyword, QStringLiteral("shoes"));
    QCOMPARE(c.base[0].alternative, QStringLiteral("cheap shoes"));
    QVERIFY(!c.base[1].empty); // spaces only are not skipped
    QCOMPARE(c.base[1].keyword, QString());
    QVERIFY(c.extensionBoxBlank);
    QCOMPARE(c.ext.size(), size_t(2));
}

void TestGenerator::mixing_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("ext");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("grouping");
    QTest::addColumn<int>("includeBase");
    QTest::addColumn<int>("includeExt");
    QTest::addColumn<QStringList>("records"); // mix|base|ext||baseAlt|extAlt
    QTest::addColumn<QStringList>("groups");  // mix|base|ext|name|baseAlt|extAlt

    const QString ab = QStringLiteral("a\r\nb");
    const QString xy = QStringLiteral("x\r\ny");
    QTest::newRow("mode 1, grouped by mix")
        << ab << xy << 1 << 2 << 0 << 0
        << QStringList{"a|a||||", "a x|a|x|||", "a y|a|y|||", "b|b||||", "b x|b|x|||", "b y|b|y|||",
                       "x||x|||", "y||y|||"}
        << QStringList{"a x|a|x|a x||", "a y|a|y|a y||", "b x|b|x|b x||", "b y|b|y|b y||"};
    QTest::newRow("mode 0, grouped by base")
        << ab << xy << 0 << 0 << 0 << 0
        << QStringList{"a|a||||", "x a|a|x|||", "y a|a|y|||", "b|b||||", "x b|b|x|||", "y b|b|y|||"}
        << QStringList{"y a|a|y|a||", "y b|b|y|b||"};
    QTest::newRow("mode 1, grouped by extension, base lines not included")
        << ab << xy << 1 << 1 << 0 << 0
        << QStringList{"a x|a|x|||", "a y|a|y|||", "b x|b|x|||", "b y|b|y|||", "x||x|||", "y||y|||"}
        << QStringList{"b x|b|x|x||", "b y|b|y|y||"};
    QTest::newRow("mode 2: both orders; unnamed group after each")
        << "a" << "x" << 2 << 2 << 1 << 1 << QStringList{"x a|a|x|||", "a x|a|x|||"}
        << QStringList{"x a|a|x|a x||", "|||||"};
    QTest::newRow("mode 2, grouped by base: last extension, extension first")
        << "a" << xy << 2 << 0 << 1 << 1
        << QStringList{"x a|a|x|||", "a x|a|x|||", "y a|a|y|||", "a y|a|y|||"} << QStringList{"y a|a|y|a||"};
    QTest::newRow("one base line, empty extension: the base alone whatever the option")
        << "a" << "" << 1 << 2 << 1 << 1 << QStringList{"a|a||||"} << QStringList{};
    QTest::newRow("two base lines, empty extension, base not included")
        << ab << "" << 0 << 2 << 1 << 1 << QStringList{} << QStringList{};
    QTest::newRow("mode 3 pairs with the empty last element")
        << "a\r\nb\r\nc\r\nd" << xy << 3 << 0 << 0 << 1
        << QStringList{"a x|a|x|||", "b y|b|y|||", "c |c||||", "d|d||||"}
        << QStringList{"a|a|y|a||", "b|b|y|b||", "c|c|y|c||", "d|d|y|d||"};
    QTest::newRow("blank extension line: skipped in mode 1")
        << "a" << "x\r\n\r\ny" << 1 << 2 << 1 << 1 << QStringList{"a x|a|x|||", "a y|a|y|||"}
        << QStringList{"a x|a|x|a x||", "a y|a|y|a y||"};
    QTest::newRow("blank extension line: pairs as empty in mode 3")
        << "a\r\nb\r\nc" << "x\r\n\r\ny" << 3 << 2 << 1 << 1 << QStringList{"a x|a|x|||", "b |b||||", "c y|c|y|||"}
        << QStringList{"|a|x|a x||", "|a|y|a y||", "|b|x|b x||", "|b|y|b y||", "|c|x|c x||", "|c|y|c y||"};
    QTest::newRow("alternatives")
        << "shoes [cheap shoes]" << "paris [fr]" << 1 << 2 << 0 << 0
        << QStringList{"shoes|shoes|||cheap shoes|", "shoes paris|shoes|paris||cheap shoes|fr", "paris||paris|||"}
        << QStringList{"shoes paris|shoes|paris|shoes paris|cheap shoes|fr"};
    QTest::newRow("mode 4 with the extension-alone pass")
        << ab << "x" << 4 << 1 << 0 << 0 << QStringList{"a|a||||", "b|b||||", "x||x|||"}
        << QStringList{"x|b|x|x||"};
    QTest::newRow("single custom group: the group and an empty entry")
        << "a" << "x" << 1 << 3 << 1 << 1 << QStringList{"a x|a|x|||"}
        << QStringList{"|||My Group||", "|||||"};
}

void TestGenerator::mixing()
{
    QFETCH(QString, base);
    QFETCH(QString, ext);
    QFETCH(int, mode);
    QFETCH(int, grouping);
    QFETCH(int, includeBase);
    QFETCH(int, includeExt);
    QFETCH(QStringList, records);
    QFETCH(QStringList, groups);

    const KeywordLists lists = KeywordLists::fromTexts(base, ext);
    MixOptions o;
    o.mixing = Mixing(mode);
    o.grouping = Grouping(grouping);
    o.includeBase = Include(includeBase);
    o.includeExt = Include(includeExt);
    QCOMPARE(describe(ToKeywordRecords(lists, MixKeywords(lists, o))), records);
    QCOMPARE(describe(ToKeywordRecords(lists, FormAdGroups(lists, o, QStringLiteral(" My Group "), plainNames()))),
             groups);
}

// ------------------------------------------------------------------------ files

QByteArray TestGenerator::run(const GenerationInput& in, const QString& file, GenerationResult* result)
{
    QDir().mkpath(in.campaignFolder);
    const GenerationResult r = GenerateCampaignFiles(in);
    if (result)
        *result = r;
    return TestEnvironment::readAll(in.campaignFolder + QLatin1Char('/') + file);
}

void TestGenerator::keywordRows_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("urlTemplate");
    QTest::addColumn<int>("replaceSpace");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("no template: no URL column")
        << "red shoes" << "" << 2
        << crlfRows({"Spring,red-shoes,red shoes,Broad,0.50", "Spring,red-shoes,red shoes,Exact,0.80"});
    QTest::newRow("{match} per row")
        << "red shoes" << "http://x.com/?kw={Base}&m={MATCH}" << 2
        << crlfRows({"Spring,red-shoes,red shoes,Broad,0.50,http://x.com/?kw=red+shoes&m=broad",
                     "Spring,red-shoes,red shoes,Exact,0.80,http://x.com/?kw=red+shoes&m=exact"});
    QTest::newRow("spaces of template and keyword as Plus")
        << "red shoes" << "http://x.com/a b?c={campaign} {adgroup}" << 2
        << crlfRows({"Spring,red-shoes,red shoes,Broad,0.50,http://x.com/a+b?c=Spring+red-shoes",
                     "Spring,red-shoes,red shoes,Exact,0.80,http://x.com/a+b?c=Spring+red-shoes"});
    QTest::newRow("Blank removes spaces; a template of spaces leaves no URL")
        << "red shoes" << "   " << 3
        << crlfRows({"Spring,red-shoes,red shoes,Broad,0.50", "Spring,red-shoes,red shoes,Exact,0.80"});
    QTest::newRow("keyword without its second bracket part")
        << "red [x] shoes [y]" << "http://x.com/?k={base}" << 0
        << crlfRows({"Spring,red--shoes-[y],red  shoes ,Broad,0.50,http://x.com/?k=red--shoes-[y]",
                     "Spring,red--shoes-[y],red  shoes ,Exact,0.80,http://x.com/?k=red--shoes-[y]"});
}

void TestGenerator::keywordRows()
{
    QFETCH(QString, base);
    QFETCH(QString, urlTemplate);
    QFETCH(int, replaceSpace);
    QFETCH(QByteArray, expected);
    TestEnvironment env;
    GenerationInput in = baseInput(env.path(QStringLiteral("Spring")));
    in.campaign.baseKeywords = base;
    in.campaign.grouping = Grouping::ByBase;
    in.campaign.capitalisation = Capitalisation::LowerCase;
    in.campaign.replaceGroupSpace = GroupSpace::Hyphen;
    in.campaign.exactMatch = true;
    in.campaign.exactBid = QStringLiteral("0.80");
    in.campaign.urlTemplate = urlTemplate;
    in.campaign.replaceSpace = ReplaceSpace(replaceSpace);
    QCOMPARE(run(in, kKeywords), expected);
}

void TestGenerator::adGroupRows_data()
{
    QTest::addColumn<QString>("maxCpc");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("placement");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("max CPC only, trimmed") << " 0.75 " << "" << "" << crlfRows({"Spring,a x,0.75", "Spring,a y,0.75"});
    QTest::newRow("content") << "" << "0.40" << "" << crlfRows({"Spring,a x,0.00,0.40", "Spring,a y,0.00,0.40"});
    QTest::newRow("placement only")
        << "" << "" << "0.30" << crlfRows({"Spring,a x,0.00,0.00,0.30", "Spring,a y,0.00,0.00,0.30"});
    QTest::newRow("content and placement; spaces count as given")
        << "1" << " " << "0.30" << crlfRows({"Spring,a x,1, ,0.30", "Spring,a y,1, ,0.30"});
}

void TestGenerator::adGroupRows()
{
    QFETCH(QString, maxCpc);
    QFETCH(QString, content);
    QFETCH(QString, placement);
    QFETCH(QByteArray, expected);
    TestEnvironment env;
    GenerationInput in = baseInput(env.path(QStringLiteral("Spring")));
    in.campaign.baseKeywords = QStringLiteral("a");
    in.campaign.extensionKeywords = QStringLiteral("x\r\ny");
    in.campaign.maxCPC = maxCpc;
    in.campaign.maxContentCPC = content;
    in.campaign.placementMaxCPC = placement;
    QCOMPARE(run(in, kAdGroups), expected);
}

void TestGenerator::adTexts_data()
{
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QStringList>("slot"); // headline, descr 1, descr 2, display, destination
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("typed forms, ticked")
        << true
        << QStringList{"{Base} {EXTENSION}", "{base} at {Campaign}", "{mix}", "www.x.com/{title}",
                       "http://x.com/{Title}?b={Base}&e={extension}&m={mix}"}
        << crlfRows({"Spring,Red Shoes Paris,Red Shoes PARIS,red shoes at Spring,red shoes paris,"
                     "www.x.com/Red+Shoes+PARIS,http://x.com/Red+Shoes+Paris?b=Red+Shoes&e=Paris&m=Red+Shoes+Paris"});
    QTest::newRow("not ticked: keywords as typed")
        << false << QStringList{"{Base} {EXTENSION}", "{MIX}", "", "", "{base}"}
        << crlfRows({"Spring,Red Shoes Paris,Red Shoes Paris,Red Shoes Paris,,,Red+Shoes"});
    QTest::newRow("comma in typed headline and description: %2C form, display URL never")
        << true << QStringList{"Shoes, Boots", "Buy, now", "", "a,b {adgroup}", ""}
        << crlfRows({"Spring,Red Shoes Paris,\"Shoes%2C Boots\",\"Buy%2C now\",,\"a,b+Red+Shoes+Paris\","});
    QTest::newRow("own alternative used only when too long")
        << true << QStringList{"{base} [Short]", "", "", "", ""}
        << crlfRows({"Spring,Red Shoes Paris,red shoes,,,,"});
    // Whatever the brackets hold, they never reach the ad.
    QTest::newRow("own alternative of one character")
        << true << QStringList{"{base} [S]", "", "", "www.x.com/{title}", ""}
        << crlfRows({"Spring,Red Shoes Paris,red shoes,,,www.x.com/red+shoes,"});
    QTest::newRow("empty brackets") << true << QStringList{"{base} []", "", "", "", ""}
                                    << crlfRows({"Spring,Red Shoes Paris,red shoes,,,,"});
    QTest::newRow("own alternative with blanks inside the brackets")
        << true << QStringList{"{base} [ Short ]", "", "", "", ""}
        << crlfRows({"Spring,Red Shoes Paris,red shoes,,,,"});
    QTest::newRow("own alternative with blanks, too long: the alternative trimmed")
        << true << QStringList{"{base} " + QString(82, QLatin1Char('x')) + " [ Short ]", "", "", "", ""}
        << crlfRows({"Spring,Red Shoes Paris,Short,,,,"});
    QTest::newRow("one-character own alternative, too long")
        << true << QStringList{"{base} " + QString(82, QLatin1Char('x')) + " [S]", "", "", "", ""}
        << crlfRows({"Spring,Red Shoes Paris,S,,,,"});
}

void TestGenerator::adTexts()
{
    QFETCH(bool, ticked);
    QFETCH(QStringList, slot);
    QFETCH(QByteArray, expected);
    TestEnvironment env;
    GenerationInput in = baseInput(env.path(QStringLiteral("Spring")));
    in.campaign.baseKeywords = QStringLiteral("Red Shoes");
    in.campaign.extensionKeywords = QStringLiteral("Paris");
    in.campaign.capitalization = ticked;
    in.campaign.ads[1] = {slot[0], slot[1], slot[2], slot[3], slot[4]};
    QCOMPARE(run(in, kAds), expected);
}

void TestGenerator::everyTokenOfTheTableIsReplaced_data()
{
    QTest::addColumn<QString>("token");
    QTest::addColumn<bool>("replaced");
    for (const TemplateToken& token : TemplateTokens())
        QTest::newRow(qPrintable(token.text.toString())) << token.text.toString() << true;
    QTest::newRow("no token: {keyword}") << QStringLiteral("{keyword}") << false;
}

// The editors list the table's tokens as the ones a build replaces: each of
// them is replaced in at least one of the texts that hold tokens. Each text
// holds the token next to "{none}", which no build replaces, so the token
// outnumbered by "{none}" in the files was replaced somewhere.
void TestGenerator::everyTokenOfTheTableIsReplaced()
{
    QFETCH(QString, token);
    QFETCH(bool, replaced);
    TestEnvironment env;
    GenerationInput in = baseInput(env.path(QStringLiteral("Spring")));
    in.campaign.extensionKeywords = QStringLiteral("paris");
    const QString text = token + QStringLiteral("{none}");
    in.campaign.urlTemplate = QStringLiteral("http://x.com/") + text;
    in.campaign.ads[0] = {QStringLiteral("h") + text, QStringLiteral("d") + text, QStringLiteral("e") + text,
                          QStringLiteral("w") + text, QStringLiteral("u") + text};
    const QString files = QString::fromUtf8(run(in, kKeywords) + run(in, kAds));
    const qsizetype none = files.count(QStringLiteral("{none}"));
    QVERIFY(none >= 6);
    QCOMPARE(files.count(token, Qt::CaseInsensitive) < none, replaced);
}

void TestGenerator::skippedAdGroupFileKeepsPrevious()
{
    TestEnvironment env;
    GenerationInput in = baseInput(env.path(QStringLiteral("Spring")));
    in.campaign.grouping = Grouping::ByBase;
    QDir().mkpath(in.campaignFolder);
    const QString path = in.campaignFolder + QLatin1Char('/') + kAdGroups;
    QVERIFY(TestEnvironment::writeAll(path, "Old,group,0.10\r\n"));
    GenerationResult result;
    run(in, kKeywords, &result);
    QVERIFY(result.adGroupFileSkipped);
    QCOMPARE(TestEnvironment::readAll(path), QByteArray("Old,group,0.10\r\n"));

    in.campaign.maxCPC = QStringLiteral(" ");
    run(in, kKeywords, &result);
    QVERIFY(!result.adGroupFileSkipped);
    QCOMPARE(TestEnvironment::readAll(path), QByteArray("Spring,red shoes,0.00\r\n"));
}

void TestGenerator::emptyKeywordFileHasNoBytes()
{
    TestEnvironment env;
    GenerationInput in = baseInput(env.path(QStringLiteral("Spring")));
    in.campaign.baseKeywords = QStringLiteral("[cheap]");
    QDir().mkpath(in.campaignFolder);
    const QString path = in.campaignFolder + QLatin1Char('/') + kKeywords;
    QVERIFY(TestEnvironment::writeAll(path, "previous\r\n"));
    GenerationResult result;
    QCOMPARE(run(in, kKeywords, &result), QByteArray());
    QVERIFY(QFileInfo::exists(path));
    QVERIFY(result.errors.isEmpty());
}

void TestGenerator::keywordGroupsMatchAdGroupNames()
{
    TestEnvironment env;
    GenerationInput in = baseInput(env.path(QStringLiteral("Spring")));
    in.campaign.baseKeywords = QStringLiteral("Red Shoes\r\nblue boots");
    in.campaign.extensionKeywords = QStringLiteral("paris\r\nRome [it]");
    in.campaign.mixing = Mixing::ExtensionBeforeAndAfterBase;
    in.campaign.extraGroupText = ExtraGroupText::Prefix;
    in.campaign.extraGroupTextValue = QStringLiteral("Buy");
    in.campaign.capitalisation = Capitalisation::UpperCase;
    in.campaign.replaceGroupSpace = GroupSpace::Hyphen;
    in.campaign.ads[0].headline = QStringLiteral("{mix}");
    const QList<QByteArray> adRows = run(in, kAds).split('\n');
    QSet<QByteArray> adGroups;
    for (const QByteArray& row : adRows)
        if (!row.isEmpty())
            adGroups.insert(row.split(',').value(1));
    QCOMPARE(adGroups.size(), 4);

    const QList<QByteArray> rows = run(in, kKeywords).split('\n');
    int mixed = 0;
    for (const QByteArray& row : rows) {
        if (row.isEmpty())
            continue;
        const QList<QByteArray> f = row.split(',');
        const QByteArray keyword = f.value(2);
        if (keyword.contains(' ') && keyword.count(' ') == 2) { // base and extension
            QVERIFY2(adGroups.contains(f.value(1)), row.constData());
            ++mixed;
        }
    }
    QCOMPARE(mixed, 8);
    // Base-alone and extension-alone keywords form their group from their own text.
    QVERIFY(rows.contains("Spring,BUY-RED-SHOES,Red Shoes,Broad,0.50\r"));
    QVERIFY(rows.contains("Spring,BUY-ROME,Rome,Broad,0.50\r"));
    QVERIFY(!adGroups.contains("BUY-RED-SHOES"));
    // A record of another case finds the first group of equal texts as stored.
    in.campaign.baseKeywords = QStringLiteral("Red Shoes\r\nred shoes");
    in.campaign.extensionKeywords = QStringLiteral("paris");
    in.campaign.mixing = Mixing::ExtensionAfterBase;
    const QByteArray keywords = run(in, kKeywords);
    QCOMPARE(keywords.count("BUY-RED-SHOES-PARIS"), 2);

    // Mode 2: a record of empty texts meets the unnamed entry after the first group first.
    in.campaign.baseKeywords = QStringLiteral("a\r\n  ");
    in.campaign.extensionKeywords = QStringLiteral("[alt]");
    in.campaign.mixing = Mixing::ExtensionBeforeAndAfterBase;
    in.campaign.includeBaseKeyword = Include::No;
    in.campaign.includeExtKeyword = Include::No;
    QCOMPARE(run(in, kKeywords), crlfRows({"Spring,BUY-A, a,Broad,0.50", "Spring,BUY-A,a ,Broad,0.50",
                                           "Spring,, ,Broad,0.50", "Spring,, ,Broad,0.50"}));
}

void TestGenerator::commaAndQuoteFieldsStayOneField()
{
    TestEnvironment env;
    GenerationInput in = baseInput(env.path(QStringLiteral("Spring")));
    in.campaignName = QStringLiteral("Spring, \"Sale\"");
    in.campaignFolder = env.path(QStringLiteral("camp"));
    in.campaign.grouping = Grouping::ByBase;
    in.campaign.baseKeywords = QStringLiteral("shoes, boots");
    in.campaign.broadBid = QStringLiteral("0,50");
    in.campaign.urlTemplate = QStringLiteral("http://x.com/?a={base}&b=1,2");
    in.campaign.replaceSpace = ReplaceSpace::Plus;
    in.campaign.maxCPC = QStringLiteral("1,5");
    in.campaign.ads[0] = {QStringLiteral("{base}"), QStringLiteral("Typed, {base}"), QStringLiteral("{Campaign}"),
                 QStringLiteral("x.com"), QStringLiteral("http://x.com")};
    QCOMPARE(run(in, kKeywords),
             crlfRows({"\"Spring, \"\"Sale\"\"\",\"shoes, boots\",\"shoes, boots\",Broad,\"0,50\","
                       "\"http://x.com/?a=shoes,+boots&b=1,2\""}));
    QCOMPARE(run(in, kAds),
             crlfRows({"\"Spring, \"\"Sale\"\"\",\"shoes, boots\",\"shoes, boots\",\"Typed%2C shoes, boots\","
                       "\"Spring, \"\"Sale\"\"\",x.com,http://x.com"}));
    QCOMPARE(run(in, kAdGroups), crlfRows({"\"Spring, \"\"Sale\"\"\",\"shoes, boots\",\"1,5\""}));
}

void TestGenerator::overLongHeadlines()
{
    TestEnvironment env;
    GenerationInput in = baseInput(env.path(QStringLiteral("Spring")));
    const QString longBase = QString(QLatin1Char('b')).repeated(80);
    in.campaign.baseKeywords = longBase + QStringLiteral("\r\nshort");
    in.campaign.extensionKeywords = QStringLiteral("x1\r\nx2");
    in.campaign.includeBaseKeyword = Include::No;
    in.campaign.includeExtKeyword = Include::No;
    in.campaign.ads[0].headline = QStringLiteral("{base} {extension} and more words"); // too long for the long base
    in.campaign.ads[1].headline = QStringLiteral("{base} {extension} [Alt text] once again");
    in.campaign.ads[2].headline = QStringLiteral("{unknown} {base} {extension}");
    in.campaign.ads[3].headline = QStringLiteral("{base} {extension} and more"); // part of a listed one
    GenerationResult result;
    const QByteArray ads = run(in, kAds, &result);
    // Listed once although it occurs in two groups; a listed headline's part is not listed again.
    QCOMPARE(result.titleWarningCount, 2);
    QCOMPARE(result.titleWarnings, QStringLiteral("\r\n") + longBase + QStringLiteral(" x1 and more words")
                                      + QStringLiteral("\r\n") + longBase + QStringLiteral(" x2 and more words"));
    QVERIFY(ads.contains(",Alt text,"));
    QVERIFY(ads.contains(",short x1  once again,"));
    QVERIFY(ads.contains("{unknown} " + longBase.toUtf8() + " x1,"));
}

void TestGenerator::failingWriteIsReportedAndOthersWritten()
{
    TestEnvironment env;
    GenerationInput in = baseInput(env.path(QStringLiteral("Spring")));
    in.campaign.grouping = Grouping::ByBase;
    in.campaign.maxCPC = QStringLiteral("0.75");
    in.campaign.ads[0].headline = QStringLiteral("Hello");
    // A folder where the keyword file should be: it cannot be replaced, even as root.
    QVERIFY(QDir().mkpath(in.campaignFolder + QLatin1Char('/') + kKeywords));
    QStringList reported;
    GenerationCallbacks cb;
    cb.error = [&](const QString& d) { reported << d; };
    const GenerationResult result = GenerateCampaignFiles(in, cb);
    QCOMPARE(result.errors.size(), 1);
    QCOMPARE(reported, result.errors);
    QVERIFY(result.errors[0].contains(kKeywords));
    QCOMPARE(TestEnvironment::readAll(in.campaignFolder + QLatin1Char('/') + kAds),
             crlfRows({"Spring,red shoes,Hello,,,,"}));
    QCOMPARE(TestEnvironment::readAll(in.campaignFolder + QLatin1Char('/') + kAdGroups),
             crlfRows({"Spring,red shoes,0.75"}));
    const QByteArray log = TestEnvironment::readAll(env.programDir() + QStringLiteral("/Error.log"));
    QVERIFY(log.contains("BuildCampaigns: mixing keywords ...\r\nBuildCampaigns: create ad groups ...\r\n"
                         "BuildCampaigns: create keyword file ...\r\n"));
    QVERIFY(log.contains(("BuildCampaigns_Error: " + result.errors[0]
                          + " - BuildCampaigns: mixing keywords 2 ...\r\n").toUtf8()));
    QVERIFY(log.contains("BuildCampaigns: create adgroup files ...\r\n"));
    QCOMPARE(result.stepLabel, QStringLiteral("BuildCampaigns: mixing keywords 2 ..."));

    // A campaign folder that is a file: every file fails, each reported.
    in.campaignFolder = env.path(QStringLiteral("plainfile"));
    QVERIFY(TestEnvironment::writeAll(in.campaignFolder, "x"));
    QCOMPARE(GenerateCampaignFiles(in).errors.size(), 3);
}

void TestGenerator::failedFinalFlushKeepsPreviousFile()
{
    // The rows fit in the file's own write buffer, so the disk sees them only
    // when the file is finished; a size limit makes that last write fail.
    TestEnvironment env;
    GenerationInput in = baseInput(env.path(QStringLiteral("Spring")));
    QString base;
    for (int i = 0; i < 100; ++i)
        base += QStringLiteral("keyword number %1\r\n").arg(i);
    in.campaign.baseKeywords = base;
    in.campaign.grouping = Grouping::ByBase;
    QDir().mkpath(in.campaignFolder);
    const QString path = in.campaignFolder + QLatin1Char('/') + kKeywords;
    QVERIFY(TestEnvironment::writeAll(path, "previous\r\n"));

    rlimit old{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 2048;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const GenerationResult result = GenerateCampaignFiles(in);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    QCOMPARE(result.errors.size(), 1);
    QVERIFY(result.errors[0].contains(kKeywords));
    QCOMPARE(TestEnvironment::readAll(path), QByteArray("previous\r\n"));
}

void TestGenerator::progressAndStatusTexts()
{
    TestEnvironment env;
    GenerationInput in = baseInput(env.path(QStringLiteral("Spring")));
    QString base;
    for (int i = 0; i < 250; ++i)
        base += QStringLiteral("k%1\r\n").arg(i);
    in.campaign.baseKeywords = base;
    in.campaign.grouping = Grouping::ByBase;
    in.campaign.maxCPC = QStringLiteral("1");
    in.campaign.ads[0].headline = QStringLiteral("h");
    QStringList seen;
    GenerationCallbacks cb;
    cb.progress = [&](GenerationPhase phase, qsizetype index, qsizetype last) {
        seen << QStringLiteral("%1:%2/%3").arg(int(phase)).arg(index).arg(last);
    };
    QDir().mkpath(in.campaignFolder);
    GenerateCampaignFiles(in, cb);
    QCOMPARE(seen, (QStringList{"0:-1/-1", "1:-1/-1", "2:-1/-1", "2:0/249", "2:100/249", "2:200/249",
                                "3:-1/-1", "3:0/249", "3:100/249", "3:200/249", "4:-1/-1", "4:0/249",
                                "4:100/249", "4:200/249"}));

    QCOMPARE(GenerationStatusText(GenerationPhase::KeywordFile, 7, 249),
             QStringLiteral("Please wait while creating campaign files: create keyword files ...7/249"));
    QCOMPARE(GenerationStatusText(GenerationPhase::AdsFile, 0, 3),
             QStringLiteral("Please wait while creating campaign files: create ad file ...0 / 3"));
    QCOMPARE(GenerationStatusText(GenerationPhase::AdGroupFile, 100, 120),
             QStringLiteral("Please wait while creating campaign files: create ad group files ...100 / 120"));
    QCOMPARE(GenerationStatusText(GenerationPhase::MixingKeywords, -1, -1),
             QStringLiteral("Please wait while creating campaign files: mixing keywords ..."));
    QCOMPARE(GenerationStatusText(GenerationPhase::CreatingAdGroups, -1, -1),
             QStringLiteral("Please wait while creating campaign files: create ad groups ..."));
    QVERIFY(GenerationStatusText(GenerationPhase::AdsFile, -1, -1).isNull());
}

void TestGenerator::precompiledFillEqualsLiteralReplacement_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("ext");
    QTest::addColumn<QString>("campaign");
    QTest::addColumn<QString>("extra");
    QTest::addColumn<QStringList>("slot");
    QTest::addColumn<QString>("urlTemplate");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("grouping");

    const QString base = QStringLiteral("red shoes [rs]\r\nBlue Boots\r\n  \r\n"
                                        "very long base keyword text that goes on and on [short base]");
    const QString ext = QStringLiteral("paris\r\nnew york city and more words here to be long [nyc]\r\n[only alt]");
    QTest::newRow("tokens in every field")
        << base << ext << "Spring" << ""
        << QStringList{"{Base} {EXTENSION} {mix} {campaign} in {AdGroup}", "{base}, {Extension} {MIX}",
                       "{mIX} {bAsE} {extensioN}", "www.x.com/{title}/{Base}/{MIX}",
                       "http://x.com/{title}?b={BASE}&e={Extension}&m={Mix}&g={adgroup}&c={campaign}"}
        << "http://x.com/?b={Base}&e={extension}&m={MIX}&c={campaign}&g={adgroup}&t={match}" << 2 << 2;
    QTest::newRow("values with braces")
        << "a {extension} [b {mix}]\r\nc" << "{base}x\r\ny {campaign}" << "Camp {adgroup}" << "{mix}"
        << QStringList{"{campaign} {base} {extension}", "{adgroup} {mix}", "{base}", "{title} {base}", "{title}"}
        << "{campaign}|{adgroup}|{base}|{extension}|{mix}|{match}" << 1 << 2;
    QTest::newRow("templates that build tokens")
        << base << ext << "se}" << ""
        << QStringList{"{ba{campaign} {x}", "}{base}{", "{{mix}}", "{ti{campaign}tle}", "{{base}}"}
        << "{ma{campaign}{tch}" << 0 << 0;
    QTest::newRow("grouped by extension, alternatives everywhere")
        << base << ext << "Spring" << "Pre"
        << QStringList{"{base} {extension} [fallback]", "{Base} and {Extension} together in one description",
                       "{EXTENSION}", "{mix}", "{base}"}
        << "http://x.com/{mix}" << 0 << 1;
}

void TestGenerator::precompiledFillEqualsLiteralReplacement()
{
    QFETCH(QString, base);
    QFETCH(QString, ext);
    QFETCH(QString, campaign);
    QFETCH(QString, extra);
    QFETCH(QStringList, slot);
    QFETCH(QString, urlTemplate);
    QFETCH(int, mode);
    QFETCH(int, grouping);
    TestEnvironment env;
    GenerationInput in = baseInput(QString());
    in.campaignName = campaign;
    in.campaign.baseKeywords = base;
    in.campaign.extensionKeywords = ext;
    in.campaign.extraGroupText = extra.isEmpty() ? ExtraGroupText::None : ExtraGroupText::Prefix;
    in.campaign.extraGroupTextValue = extra;
    in.campaign.capitalization = true;
    in.campaign.phraseMatch = in.campaign.exactMatch = true;
    in.campaign.mixing = Mixing(mode);
    in.campaign.grouping = Grouping(grouping);
    in.campaign.urlTemplate = urlTemplate;
    in.campaign.maxCPC = QStringLiteral("1");
    for (auto& ad : in.campaign.ads)
        ad = {slot[0], slot[1], slot[2], slot[3], slot[4]};
    in.campaign.ads[2].headline = QStringLiteral("{Base} only [x]");

    QByteArray outputs[2];
    QString warnings[2];
    for (int literal = 0; literal < 2; ++literal) {
        detail::setLiteralFillOnly(literal == 1);
        in.campaignFolder = env.path(QStringLiteral("c%1").arg(literal));
        QDir().mkpath(in.campaignFolder);
        const GenerationResult r = GenerateCampaignFiles(in);
        warnings[literal] = r.titleWarnings;
        for (const QString& f : {kKeywords, kAds, kAdGroups})
            outputs[literal] += TestEnvironment::readAll(in.campaignFolder + QLatin1Char('/') + f) + "#\n";
    }
    detail::setLiteralFillOnly(false);
    QVERIFY(outputs[0].count('\n') > 10);
    QCOMPARE(outputs[0], outputs[1]);
    QCOMPARE(warnings[0], warnings[1]);
}

void TestGenerator::filesAlikeInAnyNumberOfBlocks_data()
{
    QTest::addColumn<int>("perBlock");
    QTest::newRow("one record per block") << 1;
    QTest::newRow("seven records per block") << 7;
}

// The rows are formatted in blocks on several threads. Whatever the blocks,
// the files, the title warnings (only the first 85 in row order are listed)
// and the progress are those of a build in one block. The fixture has more
// over-long headlines than are listed, alternatives, keywords that differ
// in case only (the keyword file's groups) and fields that need quotes.
void TestGenerator::filesAlikeInAnyNumberOfBlocks()
{
    QFETCH(int, perBlock);
    TestEnvironment env;
    GenerationInput in = baseInput(QString());
    QString base;
    QString ext;
    for (int i = 0; i < 30; ++i) {
        base += QStringLiteral("%1 base keyword number %2 with words that go on and on and on%3\r\n")
                    .arg(i % 3 ? QStringLiteral("Red") : QStringLiteral("red"))
                    .arg(i % 10)
                    .arg(i % 4 ? QString() : QStringLiteral(" [alt %1]").arg(i));
        ext += QStringLiteral("ext, %1%2\r\n").arg(i).arg(i % 5 ? QString() : QStringLiteral(" [e%1]").arg(i));
    }
    in.campaign.baseKeywords = base;
    in.campaign.extensionKeywords = ext;
    in.campaign.mixing = Mixing::ExtensionBeforeAndAfterBase;
    in.campaign.capitalization = true;
    in.campaign.phraseMatch = true;
    in.campaign.phraseBid = QStringLiteral("0.70");
    in.campaign.urlTemplate = QStringLiteral("http://x.com/?k={Mix}&g={adgroup}&m={match}");
    in.campaign.maxCPC = QStringLiteral("1");
    in.campaign.ads[0] = {QStringLiteral("{Base} {extension} and words to make it long"), QStringLiteral("{mix}, now"),
                          QStringLiteral("{BASE}"), QStringLiteral("x.com/{title}"),
                          QStringLiteral("http://x.com/{mix}")};
    in.campaign.ads[2] = {QStringLiteral("{MIX} [Short]"), QStringLiteral("{campaign}"), QString(), QString(),
                          QStringLiteral("http://x.com/{title}")};

    QByteArray outputs[2];
    GenerationResult results[2];
    QStringList progress[2];
    for (int run = 0; run < 2; ++run) {
        detail::setRecordsPerBlock(run == 0 ? 1000000 : perBlock);
        in.campaignFolder = env.path(QStringLiteral("c%1").arg(run));
        QDir().mkpath(in.campaignFolder);
        GenerationCallbacks cb;
        cb.progress = [&progress, run](GenerationPhase phase, qsizetype index, qsizetype last) {
            progress[run] << QStringLiteral("%1:%2/%3").arg(int(phase)).arg(index).arg(last);
        };
        results[run] = GenerateCampaignFiles(in, cb);
        for (const QString& f : {kKeywords, kAds, kAdGroups})
            outputs[run] += TestEnvironment::readAll(in.campaignFolder + QLatin1Char('/') + f) + "#\n";
    }
    detail::setRecordsPerBlock(0);
    QCOMPARE(results[0].titleWarningCount, 85);
    QVERIFY(outputs[0].count('\n') > 5000);
    QCOMPARE(outputs[1], outputs[0]);
    QCOMPARE(results[1].titleWarnings, results[0].titleWarnings);
    QCOMPARE(results[1].keywordRows, results[0].keywordRows);
    QCOMPARE(results[1].adRows, results[0].adRows);
    QCOMPARE(progress[1], progress[0]);
}

void TestGenerator::buildLeavesTheSettingsAlone()
{
    // Loading the preferences would record the running version in the machine hive.
    using namespace RegistryAPI;
    TestEnvironment env;
    BuildKeyPaths();
    testsettings::store(HKEY_LOCAL_MACHINE, g_sVersionKey, QStringLiteral("Version"), QStringLiteral("0.0.1"));
    GenerationInput in = baseInput(env.path(QStringLiteral("Spring")));
    in.campaign.extensionKeywords = QStringLiteral("Paris");
    in.campaign.ads[1].headline = QStringLiteral("{base} [Short]");
    QCOMPARE(run(in, kAds), crlfRows({"Spring,red shoes Paris,red shoes,,,,"}));
    QCOMPARE(testsettings::stored(HKEY_LOCAL_MACHINE, g_sVersionKey, QStringLiteral("Version")), QStringLiteral("0.0.1"));
}

QTEST_GUILESS_MAIN(TestGenerator)
#include "tst_generator.moc"
