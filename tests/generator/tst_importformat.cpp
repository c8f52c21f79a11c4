#include "generator/AdFileRows.h"
#include "generator/CampaignGenerator.h"
#include "generator/ImportFormat.h"
#include "generator/RowWriter.h"

#include "EveryFieldCampaign.h"
#include "TestEnvironment.h"

#include <QBuffer>
#include <QDir>
#include <QtTest>

#include <map>

using FieldValues = std::map<ImportFormat::Field, QString>;

// What the generator writes, the generated-files lists read back.
class TestImportFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fieldsComeBackAsWritten_data();
    void fieldsComeBackAsWritten();
    void adTextFormComesBackAsTyped_data();
    void adTextFormComesBackAsTyped();
    void buildReadsBackThroughTheLists();
    void rowsLineUpWithTheColumns_data();
    void rowsLineUpWithTheColumns();
};

void TestImportFormat::fieldsComeBackAsWritten_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("plain") << QStringList{"Spring", "red-shoes", "red shoes", "Broad", "0.50"};
    QTest::newRow("commas") << QStringList{"Spring, Sale", "a,b", ",", "x,", ",y"};
    QTest::newRow("double quotes") << QStringList{"\"Spring\"", "say \"hi\"", "\"", "\"\"", "a\"b"};
    QTest::newRow("commas and quotes") << QStringList{"\"a\",\"b\"", "1,\"2\"", "\",\"", "x", "y"};
    QTest::newRow("empty fields") << QStringList{"Spring", "", "", "kw", ""};
    QTest::newRow("blanks") << QStringList{" Spring ", "  ", " a , b ", "x", " "};
    QTest::newRow("non-ASCII") << QStringList{QString::fromUtf8("Caf\u00e9"), QString::fromUtf8("\U0001F45F, shoes"),
                                              QString::fromUtf8("na\u00efve \"fr\""), "x", "y"};
    QTest::newRow("a first field that is not the header") << QStringList{"Campaigns", "Campaign", "x"};
}

// Any field written by the writer is read by the lists as the same text (a
// text holding "%2C" excepted: the lists show that as a comma).
void TestImportFormat::fieldsComeBackAsWritten()
{
    QFETCH(QStringList, fields);
    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    generator::RowWriter writer(buffer, QStringLiteral("test"));
    generator::RowBlock block;
    for (int row = 0; row < 2; ++row) {
        generator::RowText& out = block.row();
        for (int i = 0; i < fields.size(); ++i) {
            if (i > 0)
                out += QLatin1Char(',');
            ImportFormat::appendField(out, fields.at(i));
        }
        block.endRow();
    }
    writer.write(block);
    QCOMPARE(writer.error(), QString());

    const QList<QStringList> read =
        AdFiles::AddListViewItems(AdFiles::decodeText(buffer.data()), int(fields.size()));
    QCOMPARE(read, (QList<QStringList>{fields, fields}));
}

void TestImportFormat::adTextFormComesBackAsTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("no comma: as typed") << "Fast shoes" << "Fast shoes";
    QTest::newRow("a comma") << "Shoes, Boots" << "\"Shoes%2C Boots\"";
    QTest::newRow("commas at the ends") << ",a," << "\"%2Ca%2C\"";
    QTest::newRow("a comma and double quotes") << "Say \"hi\", now" << "\"Say \"hi\"%2C now\"";
}

// A headline or description typed with a comma is written in its "%2C"
// form and listed as typed.
void TestImportFormat::adTextFormComesBackAsTyped()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    bool inOwnForm = false;
    const QString form = ImportFormat::adTextForm(typed, &inOwnForm);
    QCOMPARE(form, written);
    QVERIFY(ImportFormat::keepsAdTextForm(inOwnForm, form) == typed.contains(QLatin1Char(',')));
    QString row = QStringLiteral("Spring,group,");
    if (ImportFormat::keepsAdTextForm(inOwnForm, form))
        row += form;
    else
        ImportFormat::appendField(row, form);
    QCOMPARE(AdFiles::AddListViewItems(row, 3), (QList<QStringList>{{"Spring", "group", typed}}));
}

// A whole build with commas and quotes in every kind of field: each of the
// three files lists the values that went in.
void TestImportFormat::buildReadsBackThroughTheLists()
{
    TestEnvironment env;
    generator::GenerationInput in;
    in.campaignName = QStringLiteral("Spring, \"Sale\"");
    in.campaignFolder = env.path(QStringLiteral("camp"));
    QVERIFY(QDir().mkpath(in.campaignFolder));
    CampaignData& c = in.campaign;
    c.baseKeywords = QStringLiteral("shoes, boots");
    c.broadMatch = true;
    c.broadBid = QStringLiteral("0,50");
    c.urlTemplate = QStringLiteral("http://x.com/?a={base}&b=\"1\"");
    c.replaceSpace = ReplaceSpace::Plus;
    c.grouping = Grouping::ByBase;
    c.capitalisation = Capitalisation::None;
    c.replaceGroupSpace = GroupSpace::Space;
    c.maxCPC = QStringLiteral("1,5");
    c.maxContentCPC = QStringLiteral("\"2\"");
    c.ads[0] = {QStringLiteral("Buy {base}, now"), QStringLiteral("Say \"{base}\""), QStringLiteral("{campaign}"),
                QStringLiteral("x.com/{base}"), QStringLiteral("http://x.com/?g={adgroup}")};
    const generator::GenerationResult result = generator::GenerateCampaignFiles(in);
    QVERIFY(result.errors.isEmpty());

    auto listed = [&](ImportFormat::File file) {
        const QString path = in.campaignFolder + QLatin1Char('/') + ImportFormat::fileName(file);
        return AdFiles::AddListViewItems(AdFiles::decodeText(TestEnvironment::readAll(path)),
                                         int(ImportFormat::columnCaptions(file).size()));
    };
    const QString campaign = in.campaignName;
    QCOMPARE(listed(ImportFormat::File::Keywords),
             (QList<QStringList>{{campaign, "shoes, boots", "shoes, boots", "Broad", "0,50",
                                  "http://x.com/?a=shoes,+boots&b=\"1\""}}));
    QCOMPARE(listed(ImportFormat::File::Ads),
             (QList<QStringList>{{campaign, "shoes, boots", "Buy shoes, boots, now", "Say \"shoes, boots\"", campaign,
                                  "x.com/shoes,+boots", "http://x.com/?g=shoes,+boots"}}));
    QCOMPARE(listed(ImportFormat::File::AdGroups), (QList<QStringList>{{campaign, "shoes, boots", "1,5", "\"2\""}}));
}

void TestImportFormat::rowsLineUpWithTheColumns_data()
{
    using ImportFormat::Field;
    QTest::addColumn<ImportFormat::File>("file");
    // What the first row holds, by field.
    QTest::addColumn<FieldValues>("firstRow");

    const QString campaign = QStringLiteral("Spring Sale");
    const QString group = QStringLiteral("sale red shoes cheap");
    QTest::newRow("keywords") << ImportFormat::File::Keywords
                              << FieldValues{{Field::Campaign, campaign},
                                             {Field::AdGroup, group},
                                             {Field::Keyword, "cheap red shoes"},
                                             {Field::KeywordType, "Broad"},
                                             {Field::MaxCpc, "0.50"},
                                             {Field::DestinationUrl, "http://www.example.com/p?kw=cheap+red+shoes"
                                                                     "&m=broad&g=sale+red+shoes+cheap"}};
    QTest::newRow("ads") << ImportFormat::File::Ads
                         << FieldValues{{Field::Campaign, campaign},
                                        {Field::AdGroup, group},
                                        {Field::Headline, "Red Shoes Cheap"},
                                        {Field::DescriptionLine1, "Find cheap red shoes at Spring Sale"},
                                        {Field::DescriptionLine2, "Great deals on red shoes in cheap"},
                                        {Field::DisplayUrl, "www.example.com/red+shoes"},
                                        {Field::DestinationUrl, "http://www.example.com/ad?kw=cheap+red+shoes"
                                                                "&g=sale+red+shoes+cheap&t=red+shoes+cheap"}};
    QTest::newRow("ad groups") << ImportFormat::File::AdGroups
                               << FieldValues{{Field::Campaign, campaign},
                                              {Field::AdGroup, group},
                                              {Field::MaxCpc, "0.75"},
                                              {Field::MaxContentCpc, "0.40"},
                                              {Field::PlacementMaxCpc, "0.20"}};
}

// The columns of a file and the rows its writer writes agree: with every
// field of the campaign set, each row has a field for every column and none
// more (the list cuts what it has no column for), and each column shows the
// field it names.
void TestImportFormat::rowsLineUpWithTheColumns()
{
    QFETCH(ImportFormat::File, file);
    QFETCH(FieldValues, firstRow);
    TestEnvironment env;
    generator::GenerationInput in;
    in.campaignName = QStringLiteral("Spring Sale");
    in.campaignFolder = env.path(QStringLiteral("camp"));
    in.campaign = campaignWithEveryField();
    QVERIFY(QDir().mkpath(in.campaignFolder));
    QVERIFY(generator::GenerateCampaignFiles(in).errors.isEmpty());

    const QList<ImportFormat::Column>& columns = ImportFormat::columns(file);
    QCOMPARE(ImportFormat::columnCaptions(file).size(), columns.size());
    const QString path = in.campaignFolder + QLatin1Char('/') + ImportFormat::fileName(file);
    const int uncut = 100;
    const QList<QStringList> rows =
        AdFiles::AddListViewItems(AdFiles::decodeText(TestEnvironment::readAll(path)), uncut);
    QVERIFY(rows.size() > 1);
    for (const QStringList& row : rows)
        QVERIFY2(row.size() == columns.size(), qPrintable(row.join(QLatin1Char('|'))));

    QCOMPARE(firstRow.size(), size_t(columns.size()));
    for (int c = 0; c < columns.size(); ++c) {
        const ImportFormat::Column& column = columns[c];
        QVERIFY2(firstRow.count(column.field), qPrintable(column.caption));
        QCOMPARE(rows.first().value(c), firstRow.at(column.field));
        QCOMPARE(ImportFormat::columnOf(file, column.field), c);
    }
}

QTEST_GUILESS_MAIN(TestImportFormat)
#include "tst_importformat.moc"
