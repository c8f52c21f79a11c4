#include "generator/CampaignGenerator.h"
#include "generator/ImportFormat.h"
#include "generator/RowWriter.h"
#include "workspace/AdFileRows.h"

#include "TestEnvironment.h"

#include <QBuffer>
#include <QDir>
#include <QtTest>

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
                                         int(AdFiles::columnCaptions(file).size()));
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

QTEST_GUILESS_MAIN(TestImportFormat)
#include "tst_importformat.moc"
