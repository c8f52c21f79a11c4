#include "generator/BackgroundSync.h"
#include "generator/BlockPipeline.h"
#include "generator/CampaignGenerator.h"
#include "generator/ImportFormat.h"
#include "generator/RowWriter.h"

#include "FailingDevice.h"
#include "TestEnvironment.h"

#include <QBuffer>
#include <QDir>
#include <QSet>
#include <QThread>
#include <QtTest>

#include <chrono>
#include <mutex>
#include <stdexcept>
#include <thread>

#include <cerrno>
#include <unistd.h>

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

// Sets the records per block for the scope of a test.
struct RecordsPerBlock {
    explicit RecordsPerBlock(qsizetype n) { detail::setRecordsPerBlock(n); }
    ~RecordsPerBlock() { detail::setRecordsPerBlock(0); }
};

// A job whose record i is the row "row i"; every record that is a multiple
// of 7 is noted. The blocks of even records take longer, so that later
// blocks are often done before earlier ones. Records the threads that
// formatted and the calls that must come in order on the calling thread.
struct NumberedRows {
    BlockJob job;
    std::mutex mutex;
    QSet<std::thread::id> formatThreads;
    QList<qsizetype> progress;
    QStringList notes;
    bool callsOnOtherThreads = false;
    qsizetype throwAt = -1; // the formatter of the block holding it throws

    explicit NumberedRows(qsizetype records)
    {
        const std::thread::id caller = std::this_thread::get_id();
        job.lastIndex = records - 1;
        job.makeFormatter = [this] {
            return [this](qsizetype first, qsizetype last, RowBlock& block) {
                {
                    const std::lock_guard<std::mutex> lock(mutex);
                    formatThreads.insert(std::this_thread::get_id());
                }
                if (first % 2 == 0)
                    std::this_thread::sleep_for(std::chrono::microseconds(200));
                for (qsizetype i = first; i <= last; ++i) {
                    if (i == throwAt)
                        throw std::runtime_error("formatter failed");
                    block.row() += QStringLiteral("row %1").arg(i);
                    block.endRow();
                    if (i % 7 == 0)
                        block.notes().push_back(QString::number(i));
                }
            };
        };
        job.progress = [this, caller](qsizetype index) {
            callsOnOtherThreads = callsOnOtherThreads || std::this_thread::get_id() != caller;
            progress << index;
        };
        job.written = [this, caller](const RowBlock& block) {
            callsOnOtherThreads = callsOnOtherThreads || std::this_thread::get_id() != caller;
            for (const QString& note : block.notes())
                notes << note;
        };
    }

    static QByteArray bytes(qsizetype records)
    {
        QByteArray out;
        for (qsizetype i = 0; i < records; ++i)
            out += "row " + QByteArray::number(i) + "\r\n";
        return out;
    }
};

} // namespace

class TestImportFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rowWriterOnAFailingDevice_data();
    void rowWriterOnAFailingDevice();
    void blocksComeOutInRecordOrder_data();
    void blocksComeOutInRecordOrder();
    void failingFormatterStopsTheFile();
    void filesAreReplacedTogetherAtTheEnd();
    void syncFailureIsReported_data();
    void syncFailureIsReported();
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

void TestImportFiles::blocksComeOutInRecordOrder_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("perBlock");
    QTest::newRow("no record") << 0 << 10;
    QTest::newRow("one block") << 250 << 1000;
    QTest::newRow("blocks of one record") << 120 << 1;
    QTest::newRow("a short last block") << 1003 << 10;
    QTest::newRow("blocks across the progress points") << 2000 << 33;
}

// However the workers share the blocks out and whichever finishes first,
// the file holds the rows in record order; progress comes for every
// multiple of 100, the notes in record order, both on the calling thread.
void TestImportFiles::blocksComeOutInRecordOrder()
{
    QFETCH(int, records);
    QFETCH(int, perBlock);
    const RecordsPerBlock blocks(perBlock);
    NumberedRows rows(records);
    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    RowWriter writer(buffer, QStringLiteral("/c/AdwordsKeywords.csv"));

    WriteInBlocks(rows.job, writer);

    QCOMPARE(buffer.data(), NumberedRows::bytes(records));
    QCOMPARE(writer.rows(), qint64(records));
    QCOMPARE(writer.error(), QString());
    QList<qsizetype> progress;
    QStringList notes;
    for (qsizetype i = 0; i < records; ++i) {
        if (i % 100 == 0)
            progress << i;
        if (i % 7 == 0)
            notes << QString::number(i);
    }
    QCOMPARE(rows.progress, progress);
    QCOMPARE(rows.notes, notes);
    QVERIFY(!rows.callsOnOtherThreads);
    // More than one block goes to worker threads.
    if (records > perBlock)
        QVERIFY(!rows.formatThreads.contains(std::this_thread::get_id()));
}

// A formatter's exception reaches the caller once the blocks before its
// block are written; nothing after them is.
void TestImportFiles::failingFormatterStopsTheFile()
{
    const RecordsPerBlock blocks(10);
    NumberedRows rows(1000);
    rows.throwAt = 537;
    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    RowWriter writer(buffer, QStringLiteral("/c/AdwordsAds.csv"));

    QVERIFY_THROWS_EXCEPTION(std::runtime_error, WriteInBlocks(rows.job, writer));

    QCOMPARE(buffer.data(), NumberedRows::bytes(530));
    QCOMPARE(rows.progress, (QList<qsizetype>{0, 100, 200, 300, 400, 500}));
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

void TestImportFiles::syncFailureIsReported_data()
{
    QTest::addColumn<QString>("descriptor");
    QTest::addColumn<int>("error");
    QTest::newRow("a file") << "file" << 0;
    QTest::newRow("a pipe, which cannot be synced at all") << "pipe" << 0;
    QTest::newRow("a descriptor that fails every sync") << "closed" << EBADF;
}

// The sync before a file replaces its old version is the only one whose
// failure is seen: it must reach the caller.
void TestImportFiles::syncFailureIsReported()
{
    QFETCH(QString, descriptor);
    QFETCH(int, error);
    TestEnvironment env;
    QFile file(env.path(QStringLiteral("synced")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    int fds[2] = {-1, -1};
    QCOMPARE(::pipe(fds), 0);
    const int fd = descriptor == "file" ? file.handle() : descriptor == "pipe" ? fds[1] : -1;
    {
        BackgroundSync sync(fd);
        QCOMPARE(file.write(kRow.toUtf8()), kRow.toUtf8().size());
        QVERIFY(file.flush());
        sync.written(file.size());
        QCOMPARE(sync.wait(), error);
    }
    ::close(fds[0]);
    ::close(fds[1]);
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
