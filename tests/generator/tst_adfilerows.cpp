#include "generator/AdFileRows.h"

#include "ListedRows.h"
#include "TestEnvironment.h"

#include <QStringEncoder>
#include <QtTest>

#include <algorithm>

// The line rules, the line index and the sort of the generated-files lists,
// apart from any window.
namespace {

QByteArray utf16(const QString& text, QStringEncoder::Encoding order)
{
    QStringEncoder encoder(order);
    return encoder.encode(text);
}

// Start offsets of the listed lines of a file.
std::vector<qint64> listedRows(const QByteArray& bytes)
{
    AdFiles::LineIndexer indexer;
    indexer.feed(bytes);
    indexer.finish();
    return indexer.takeRows();
}

// The order of a plain sort of the whole keys of a column: case-folded UTF-8
// bytes, ties in file order.
std::vector<quint32> plainOrder(const QByteArray& bytes, const std::vector<qint64>& starts, int col,
                                bool descending)
{
    std::vector<QByteArray> keys;
    for (qint64 s : starts)
        keys.push_back(
            AdFiles::splitFields(AdFiles::decodeText(AdFiles::lineAt(bytes, s))).value(col).toCaseFolded().toUtf8());
    std::vector<quint32> order(starts.size());
    for (quint32 i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](quint32 a, quint32 b) {
        const int c = keys[a].compare(keys[b]);
        if (c != 0)
            return descending ? c > 0 : c < 0;
        return a < b;
    });
    return order;
}

} // namespace

class TestAdFileRows : public QObject
{
    Q_OBJECT

private slots:
    void lineRules_data();
    void lineRules();
    void indexMatchesRules_data();
    void indexMatchesRules();
    void textDecoding();
    void sortedOrderMatchesPlainSort();
    void longSharedBeginningsSortAsPlainSort_data();
    void longSharedBeginningsSortAsPlainSort();

private:
    void fillLineRules();

    TestEnvironment m_env;
};

void TestAdFileRows::fillLineRules()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("header on first line skipped")
        << "Campaign,Ad Group,Keyword,Keyword Type,Max CPC\r\nSpring,g,red shoes,Broad,0.50\r\n" << 6
        << QStringList{"Spring|g|red shoes|Broad|0.50"};
    QTest::newRow("header in any case")
        << "cAMPAIGN,x\r\nSpring,g,a,Broad,1\r\n" << 6 << QStringList{"Spring|g|a|Broad|1"};
    QTest::newRow("campaign named Campaign keeps its later rows")
        << "Spring,g,a,Broad,1\r\nCampaign,g,b,Broad,1\r\ncampaign,g,c,Exact,2\r\n" << 6
        << QStringList{"Spring|g|a|Broad|1", "Campaign|g|b|Broad|1", "campaign|g|c|Exact|2"};
    QTest::newRow("stray word and blank lines skipped, last line without CRLF")
        << "Spring,g,a\r\nstray\r\n   \r\n\r\nSpring,g,b" << 6 << QStringList{"Spring|g|a", "Spring|g|b"};
    QTest::newRow("line of blanks with a comma is a row") << " , \r\n" << 6 << QStringList{" | "};
    QTest::newRow("%2C ad text")
        << "Spring,g,\"Fast%2C cheap\",Line one,\"a%2C b%2C c\",www.x.com,http://x.com/\r\n" << 7
        << QStringList{"Spring|g|Fast, cheap|Line one|a, b, c|www.x.com|http://x.com/"};
    QTest::newRow("quoted fields with comma and doubled quotes")
        << "\"Spring, 2024\",\"red, shoes\",\"Say \"\"hi\"\"\",Broad,0.5\r\n" << 6
        << QStringList{"Spring, 2024|red, shoes|Say \"hi\"|Broad|0.5"};
    QTest::newRow("well-formed quoted field without %2C loses its quotes")
        << "Spring,g,\"plain\",Broad\r\n" << 6 << QStringList{"Spring|g|plain|Broad"};
    QTest::newRow("quoted field holding %2C and a doubled quote")
        << "Spring,g,\"Say \"\"hi\"\"%2C now\",d\r\n" << 7 << QStringList{"Spring|g|Say \"hi\", now|d"};
    QTest::newRow("old form with a bare inner quote")
        << "Spring,g,\"Say \"hi\"%2C now\",d\r\n" << 7 << QStringList{"Spring|g|Say \"hi\", now|d"};
    QTest::newRow("unterminated quote read as plain fields")
        << "Spring,g,\"abc,def\r\n" << 6 << QStringList{"Spring|g|\"abc|def"};
    QTest::newRow("unquoted %2C shown as comma")
        << "Spring,g,kw,Broad,1,http://x/?a=1%2C2\r\n" << 6 << QStringList{"Spring|g|kw|Broad|1|http://x/?a=1,2"};
    QTest::newRow("first field keeps %2C") << "Spr%2Cing,g\r\n" << 6 << QStringList{"Spr%2Cing|g"};
    QTest::newRow("extra fields dropped")
        << "Spring,g,kw,Broad,1,http://x,extra1,extra2\r\n" << 6 << QStringList{"Spring|g|kw|Broad|1|http://x"};
    QTest::newRow("one quoted field with a comma is a single field") << "\"a,b\"\r\nx,y\r\n" << 6
                                                                       << QStringList{"x|y"};
    QTest::newRow("trailing comma gives an empty field") << "a,b,\r\n" << 6 << QStringList{"a|b|"};
    QTest::newRow("LF line ends") << "a,b\nc,d\n" << 6 << QStringList{"a|b", "c|d"};
    QTest::newRow("byte order mark before a header")
        << QString(QChar(0xFEFF)) + "Campaign,Ad Group\r\na,b\r\n" << 6 << QStringList{"a|b"};
}

void TestAdFileRows::lineRules_data() { fillLineRules(); }

void TestAdFileRows::lineRules()
{
    QFETCH(QString, text);
    QFETCH(int, columns);
    QFETCH(QStringList, rows);
    QString withoutBom = text;
    if (withoutBom.startsWith(QChar(0xFEFF)))
        withoutBom.remove(0, 1);
    QCOMPARE(joined(AdFiles::AddListViewItems(withoutBom, columns)), rows);
}

void TestAdFileRows::indexMatchesRules_data() { fillLineRules(); }

// The line index of a file and the model over it list what the rules list,
// however the file is cut into chunks, in UTF-8 and in UTF-16 (where a chunk
// may end within a character or a line end).
void TestAdFileRows::indexMatchesRules()
{
    QFETCH(QString, text);
    QFETCH(int, columns);
    QFETCH(QStringList, rows);
    QString unmarked = text;
    if (unmarked.startsWith(QChar(0xFEFF)))
        unmarked.remove(0, 1);
    const struct {
        AdFiles::Encoding encoding;
        QByteArray bytes;
    } files[] = {
        {AdFiles::Encoding::Utf8, text.toUtf8()},
        {AdFiles::Encoding::Utf16LE, "\xFF\xFE" + utf16(unmarked, QStringEncoder::Utf16LE)},
        {AdFiles::Encoding::Utf16BE, "\xFE\xFF" + utf16(unmarked, QStringEncoder::Utf16BE)},
    };
    for (const auto& [encoding, bytes] : files) {
        QCOMPARE(AdFiles::fileEncoding(bytes, bytes.size()), encoding);
        for (int chunk : {1, 2, 7, 4096}) {
            AdFiles::LineIndexer indexer(encoding);
            for (qsizetype p = 0; p < bytes.size(); p += chunk)
                indexer.feed(QByteArrayView(bytes).sliced(p, std::min<qsizetype>(chunk, bytes.size() - p)));
            indexer.finish();
            const std::vector<qint64> starts = indexer.takeRows();
            QStringList got;
            for (qint64 s : starts) {
                QStringList f =
                    AdFiles::splitFields(AdFiles::decodeLine(AdFiles::lineAt(bytes, s, encoding), s == 0, encoding));
                if (f.size() > columns)
                    f.resize(columns);
                got << f.join(QLatin1Char('|'));
            }
            QCOMPARE(got, rows);
        }
    }
}

void TestAdFileRows::textDecoding()
{
    QCOMPARE(AdFiles::decodeText("caf\xc3\xa9"), QString::fromUtf8("caf\xc3\xa9"));
    // Not valid UTF-8: Windows-1252, where 0x80 is the euro sign and 0xE9 is e acute.
    QCOMPARE(AdFiles::decodeText("caf\xe9 \x80"), QString::fromUtf8("caf\xc3\xa9 \xe2\x82\xac"));
    QCOMPARE(AdFiles::textViewText(QStringLiteral("\"Fast%2C cheap\"")), QStringLiteral("\"Fast, cheap\""));
}

// Keys with long shared beginnings, ties, keys that are beginnings of others,
// quoted and non-ASCII fields: the windowed sort gives the plain sort's order.
void TestAdFileRows::sortedOrderMatchesPlainSort()
{
    const QString path = m_env.path(QStringLiteral("sort.csv"));
    QByteArray bytes = "Campaign,Ad Group,Keyword\r\n";
    QStringList keys;
    quint32 seed = 12345;
    const auto next = [&seed] { seed = seed * 1103515245u + 12345u; return (seed >> 16) & 0x7FFF; };
    const QByteArray prefix(40, 'p');
    for (int i = 0; i < 3000; ++i) {
        QByteArray field;
        switch (next() % 6) {
        case 0: field = prefix + QByteArray::number(next() % 50); break;
        case 1: field = prefix.left(next() % 45) + (next() % 2 ? "X" : "x"); break;
        case 2: field = "\"" + prefix + "%2C " + QByteArray::number(next() % 9) + "\""; break;
        case 3: field = QByteArray("\xc3\x89t\xc3\xa9 ") + prefix.left(next() % 30); break;
        case 4: field = QByteArray(); break;
        default: field = QByteArray::number(next() % 20); break;
        }
        bytes += "c,g" + QByteArray::number(i) + "," + field + ",Broad\r\n";
    }
    QVERIFY(TestEnvironment::writeAll(path, bytes));

    const std::vector<qint64> starts = listedRows(bytes);
    QCOMPARE(starts.size(), size_t(3000));
    for (bool descending : {false, true})
        QCOMPARE(AdFiles::sortedOrder(path, starts, 2, descending), plainOrder(bytes, starts, 2, descending));
}

void TestAdFileRows::longSharedBeginningsSortAsPlainSort_data()
{
    QTest::addColumn<int>("shared");
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("littleMemory");
    QTest::newRow("two rows sharing 80 KB") << 81920 << 2 << false;
    QTest::newRow("keys ending at window edges") << 48 << 400 << false;
    QTest::newRow("many rows sharing 2 KB") << 2048 << 300 << false;
    QTest::newRow("many rows sharing 2 KB, windows of little memory") << 2048 << 300 << true;
}

// Keys that share long beginnings, in any letter case, end inside or at the
// edge of a window, or go on with quoted or non-ASCII text: the sort in
// rounds gives the plain sort's order, read from the file or from memory.
void TestAdFileRows::longSharedBeginningsSortAsPlainSort()
{
    QFETCH(int, shared);
    QFETCH(int, rows);
    QFETCH(bool, littleMemory);
    const QByteArray text = QByteArray("Red Shoes ").repeated(shared / 10 + 1).left(shared);
    const int cuts[] = {0, 23, 24, 25, shared / 2, shared - 1, shared, shared, shared};
    const char* const ends[] = {"", "x", "X", "y", "\xc3\xa9", "%2C z"};
    quint32 seed = 99;
    const auto next = [&seed] { seed = seed * 1103515245u + 12345u; return (seed >> 16) & 0x7FFF; };
    QByteArray bytes;
    for (int i = 0; i < rows; ++i) {
        // The first two rows share the whole text and are listed in the wrong order.
        QByteArray field = i == 0 ? text + "y" : i == 1 ? text.toUpper() + "x" : QByteArray();
        if (i > 1) {
            field = (next() % 2 ? text : text.toUpper()).left(cuts[next() % std::size(cuts)]);
            field += ends[next() % std::size(ends)];
        }
        if (field.contains("%2C"))
            field = "\"" + field + "\"";
        bytes += "c,g" + QByteArray::number(i) + "," + field + ",Broad\r\n";
    }
    const QString path = m_env.path(QStringLiteral("shared.csv"));
    QVERIFY(TestEnvironment::writeAll(path, bytes));
    const std::vector<qint64> starts = listedRows(bytes);
    QCOMPARE(starts.size(), size_t(rows));

    AdFiles::detail::setMinWindowMemory(littleMemory ? 1 : 64 * 1024 * 1024);
    for (bool descending : {false, true}) {
        const std::vector<quint32> expected = plainOrder(bytes, starts, 2, descending);
        QCOMPARE(AdFiles::sortedOrder(path, starts, 2, descending), expected);
        const auto rowStart = [&starts](size_t r) { return starts[r]; };
        QCOMPARE(AdFiles::sortedOrderOfData(bytes, starts.size(), rowStart, 2, descending), expected);
    }
    AdFiles::detail::setMinWindowMemory(64 * 1024 * 1024);
}

// A list of a few rows with long fields is sorted in the background like a
// list of many rows: it could hold the window for as long.

QTEST_GUILESS_MAIN(TestAdFileRows)
#include "tst_adfilerows.moc"
