#include "generator/CampaignGenerator.h"
#include "generator/ImportFormat.h"
#include "generator/RowWriter.h"

#include "FailingDevice.h"
#include "TestEnvironment.h"

#include <QBuffer>
#include <QDir>
#include <QtTest>

#include <stdexcept>

using namespace generator;

namespace {

const QString kRow = QString::fromUtf8("Spring,caf\u00e9 \U0001F45F,0.50");

// The bytes of `count` rows.
QByteArray rowBytes(int count)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += kRow.toUtf8() + "\r\n";
    return out;
}

// Writes `count` rows in blocks of about a million characters.
void writeRows(RowWriter& writer, int count)
{
    const int perBlock = (1 << 20) / int(kRow.size() + 2);
    RowBlock block;
    for (int i = 0; i < count; ++i) {
        block.row() += kRow;
        block.endRow();
        if (block.rows() == perBlock || i == count - 1) {
            block.encode();
            writer.write(block);
            block.clear();
        }
    }
}

// The old set of a campaign folder.
const QByteArray kOld[ImportFormat::FileCount] = {"old keywords\r\n", "old ads\r\n", "old groups\r\n"};

QString pathOf(const QString& folder, ImportFormat::File file)
{
    return folder + QLatin1Char('/') + ImportFormat::fileName(file);
}

void writeOldSet(const QString& folder)
{
    for (int f = 0; f < ImportFormat::FileCount; ++f)
        QVERIFY(TestEnvironment::writeAll(pathOf(folder, ImportFormat::File(f)), kOld[f]));
}

void expectOldSet(const QString& folder)
{
    for (int f = 0; f < ImportFormat::FileCount; ++f)
        QCOMPARE(TestEnvironment::readAll(pathOf(folder, ImportFormat::File(f))), kOld[f]);
}

GenerationInput campaignIn(const QString& folder)
{
    GenerationInput in;
    in.campaignName = QStringLiteral("Spring");
    in.campaignFolder = folder;
    in.campaign.urlTemplate.clear();
    in.campaign.baseKeywords = QStringLiteral("red shoes\r\nblue boots");
    in.campaign.broadMatch = true;
    in.campaign.broadBid = QStringLiteral("0.50");
    in.campaign.maxCPC = QStringLiteral("0.40");
    in.campaign.ads[0].headline = QStringLiteral("Buy {base}");
    return in;
}

} // namespace

class TestImportFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rowWriterOnAFailingDevice_data();
    void rowWriterOnAFailingDevice();
    void filesAreReplacedTogetherAtTheEnd();
    void buildCutShortLeavesTheOldSet_data();
    void buildCutShortLeavesTheOldSet();
};

void TestImportFiles::rowWriterOnAFailingDevice_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<qint64>("capacity");
    QTest::addColumn<bool>("fails");
    // A row is 24 bytes; the device gets blocks of about a million
    // characters, so 100000 rows take three blocks.
    QTest::newRow("room for everything") << 100000 << qint64(1) << false;
    QTest::newRow("no room at all") << 10 << qint64(0) << true;
    QTest::newRow("full in the last, short chunk") << 10 << qint64(100) << true;
    QTest::newRow("full in the middle of the second chunk") << 100000 << qint64(1500000) << true;
}

// The first failure is kept with the file's name and the device's reason,
// the rows go on being counted, and nothing is written after it.
void TestImportFiles::rowWriterOnAFailingDevice()
{
    QFETCH(int, rows);
    QFETCH(qint64, capacity);
    QFETCH(bool, fails);
    const QByteArray expected = rowBytes(rows);
    FailingDevice device(fails ? capacity : expected.size());
    RowWriter writer(device, QStringLiteral("/c/AdwordsKeywords.csv"));
    writeRows(writer, rows);
    const QString error = writer.error();
    QCOMPARE(writer.rows(), qint64(rows));
    if (!fails) {
        QCOMPARE(error, QString());
        QCOMPARE(device.written(), expected);
        QCOMPARE(writer.bytes(), qint64(expected.size()));
        return;
    }
    QCOMPARE(error, QStringLiteral("Cannot write /c/AdwordsKeywords.csv: No space left on device"));
    QCOMPARE(device.written(), expected.left(capacity));
    // Only blocks written whole count as written.
    QVERIFY(writer.bytes() < capacity || capacity == 0);
    QVERIFY(expected.startsWith(device.written().left(writer.bytes())));
    writeRows(writer, 1);
    QCOMPARE(writer.error(), error);
    QCOMPARE(device.written().size(), capacity);
}

// While a build writes, the folder still holds the old set; at its end the
// new set, with no file left beside it.
void TestImportFiles::filesAreReplacedTogetherAtTheEnd()
{
    TestEnvironment env;
    const QString folder = env.path(QStringLiteral("Spring"));
    QVERIFY(QDir().mkpath(folder));
    writeOldSet(folder);
    int checks = 0;
    GenerationCallbacks callbacks;
    callbacks.progress = [&](GenerationPhase phase, qsizetype index, qsizetype) {
        if (phase == GenerationPhase::AdGroupFile && index >= 0) {
            expectOldSet(folder);
            ++checks;
        }
    };
    const GenerationResult result = GenerateCampaignFiles(campaignIn(folder), callbacks);
    QVERIFY(result.errors.isEmpty());
    QCOMPARE(checks, 1);
    QCOMPARE(TestEnvironment::readAll(pathOf(folder, ImportFormat::File::Keywords)),
             QByteArray("Spring,RED-SHOES,red shoes,Broad,0.50\r\nSpring,BLUE-BOOTS,blue boots,Broad,0.50\r\n"));
    QCOMPARE(TestEnvironment::readAll(pathOf(folder, ImportFormat::File::AdGroups)),
             QByteArray("Spring,RED-SHOES,0.40\r\nSpring,BLUE-BOOTS,0.40\r\n"));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), ImportFormat::FileCount);
}

void TestImportFiles::buildCutShortLeavesTheOldSet_data()
{
    QTest::addColumn<int>("phase");
    QTest::newRow("while writing the keyword file") << int(GenerationPhase::KeywordFile);
    QTest::newRow("while writing the ads file") << int(GenerationPhase::AdsFile);
    QTest::newRow("while writing the ad-group file") << int(GenerationPhase::AdGroupFile);
}

// A build that ends half-way (here by an exception from its progress
// report) replaces nothing and leaves no temporary file behind.
void TestImportFiles::buildCutShortLeavesTheOldSet()
{
    QFETCH(int, phase);
    TestEnvironment env;
    const QString folder = env.path(QStringLiteral("Spring"));
    QVERIFY(QDir().mkpath(folder));
    writeOldSet(folder);
    GenerationCallbacks callbacks;
    callbacks.progress = [&](GenerationPhase at, qsizetype index, qsizetype) {
        if (int(at) == phase && index >= 0)
            throw std::runtime_error("cut short");
    };
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, GenerateCampaignFiles(campaignIn(folder), callbacks));
    expectOldSet(folder);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), ImportFormat::FileCount);
}

QTEST_GUILESS_MAIN(TestImportFiles)
#include "tst_importfiles.moc"
