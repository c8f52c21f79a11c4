#include "core/ErrorLog.h"
#include "workspace/AdFileModel.h"
#include "workspace/AdFileRows.h"
#include "workspace/GeneratedFilesPanel.h"

#include "ScriptedPrompter.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

// Rows as "a|b|c" texts, one per listed row.
QStringList joined(const QList<QStringList>& rows)
{
    QStringList out;
    for (const QStringList& r : rows)
        out << r.join(QLatin1Char('|'));
    return out;
}

QStringList modelRows(const QAbstractItemModel* m)
{
    QStringList out;
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList fields;
        for (int c = 0; c < m->columnCount(); ++c)
            fields << m->index(r, c).data().toString();
        while (!fields.isEmpty() && fields.back().isEmpty())
            fields.removeLast();
        out << fields.join(QLatin1Char('|'));
    }
    return out;
}

QStringList column(const QAbstractItemModel* m, int c)
{
    QStringList out;
    for (int r = 0; r < m->rowCount(); ++r)
        out << m->index(r, c).data().toString();
    return out;
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

class TestGeneratedFilesPanel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void lineRules_data();
    void lineRules();
    void indexMatchesRules_data();
    void indexMatchesRules();
    void textDecoding();
    void sortedOrderMatchesPlainSort();
    void longSharedBeginningsSortAsPlainSort_data();
    void longSharedBeginningsSortAsPlainSort();

    void loadShowsTextListsAndCaptions();
    void missingFilesAndNoCampaign();
    void byteOrderMarks_data();
    void byteOrderMarks();
    void controlsAndViewSwitch();
    void sortingSharesOneOrderFlag();
    void copySelectionOrWholeFile();
    void keyboardShortcutsNeedCtrlAlone();
    void bigFileIndexesInBackground();
    void clearAndClearTextView();
    void fileCutShortWhileListed();
    void partialTextViewKeepsWholeCharacters();
    void copyOfAFileGoneIsTold();
    void hugeFieldShownInPart();
    void emptyFilesListNothing();
    void bigListSortsAfterItsFileWasReplaced();
    void fewLongRowsSortInBackground();
    void columnsFitCaptionsAndValues_data();
    void columnsFitCaptionsAndValues();

private:
    QString campaignFolder() const { return m_env->path(QStringLiteral("Accounts/Acc/Camp")); }
    void writeFile(const QString& name, const QByteArray& bytes)
    {
        QDir().mkpath(campaignFolder());
        QVERIFY(TestEnvironment::writeAll(campaignFolder() + QLatin1Char('/') + name, bytes));
    }
    template <typename T> T* find(const QString& name) const { return m_tab->findChild<T*>(name); }
    QString errorLog() const
    {
        return QString::fromUtf8(TestEnvironment::readAll(m_env->programDir() + QStringLiteral("/Error.log")));
    }
    void fillLineRules();

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<QTabWidget> m_tab;
    GeneratedFilesPanel* m_panel = nullptr;
};

void TestGeneratedFilesPanel::init()
{
    ErrorLog::CloseErrorLog();
    m_env = std::make_unique<TestEnvironment>();
    m_tab = std::make_unique<QTabWidget>();
    m_tab->setObjectName(QStringLiteral("tabAdFile"));
    m_panel = new GeneratedFilesPanel(m_tab.get(), m_tab.get());
}

void TestGeneratedFilesPanel::cleanup()
{
    m_tab.reset();
    m_panel = nullptr;
    ErrorLog::CloseErrorLog();
    m_env.reset();
}

void TestGeneratedFilesPanel::fillLineRules()
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

void TestGeneratedFilesPanel::lineRules_data() { fillLineRules(); }

void TestGeneratedFilesPanel::lineRules()
{
    QFETCH(QString, text);
    QFETCH(int, columns);
    QFETCH(QStringList, rows);
    QString withoutBom = text;
    if (withoutBom.startsWith(QChar(0xFEFF)))
        withoutBom.remove(0, 1);
    QCOMPARE(joined(AdFiles::AddListViewItems(withoutBom, columns)), rows);
}

void TestGeneratedFilesPanel::indexMatchesRules_data() { fillLineRules(); }

// The line index of a file and the model over it list what the rules list,
// however the file is cut into chunks.
void TestGeneratedFilesPanel::indexMatchesRules()
{
    QFETCH(QString, text);
    QFETCH(int, columns);
    QFETCH(QStringList, rows);
    const QByteArray bytes = text.toUtf8();
    for (int chunk : {1, 2, 7, 4096}) {
        AdFiles::LineIndexer indexer;
        for (qsizetype p = 0; p < bytes.size(); p += chunk)
            indexer.feed(QByteArrayView(bytes).sliced(p, std::min<qsizetype>(chunk, bytes.size() - p)));
        indexer.finish();
        const std::vector<qint64> starts = indexer.takeRows();
        QStringList got;
        for (qint64 s : starts) {
            QStringList f = AdFiles::splitFields(AdFiles::decodeText(AdFiles::lineAt(bytes, s)));
            if (f.size() > columns)
                f.resize(columns);
            got << f.join(QLatin1Char('|'));
        }
        QCOMPARE(got, rows);
    }
}

void TestGeneratedFilesPanel::textDecoding()
{
    QCOMPARE(AdFiles::decodeText("caf\xc3\xa9"), QString::fromUtf8("caf\xc3\xa9"));
    // Not valid UTF-8: Windows-1252, where 0x80 is the euro sign and 0xE9 is e acute.
    QCOMPARE(AdFiles::decodeText("caf\xe9 \x80"), QString::fromUtf8("caf\xc3\xa9 \xe2\x82\xac"));
    QCOMPARE(AdFiles::textViewText(QStringLiteral("\"Fast%2C cheap\"")), QStringLiteral("\"Fast, cheap\""));
}

// Keys with long shared beginnings, ties, keys that are beginnings of others,
// quoted and non-ASCII fields: the windowed sort gives the plain sort's order.
void TestGeneratedFilesPanel::sortedOrderMatchesPlainSort()
{
    const QString path = m_env->path(QStringLiteral("sort.csv"));
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

void TestGeneratedFilesPanel::longSharedBeginningsSortAsPlainSort_data()
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
void TestGeneratedFilesPanel::longSharedBeginningsSortAsPlainSort()
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
    const QString path = m_env->path(QStringLiteral("shared.csv"));
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
void TestGeneratedFilesPanel::fewLongRowsSortInBackground()
{
    const QByteArray text = QByteArray("Red Shoes ").repeated(AdFileModel::kInlineSortBytes / 30);
    QByteArray bytes;
    for (const char* end : {"b", "c", "a"})
        bytes += QByteArray("Camp,") + end + "," + text + end + ",Broad,0.5\r\n"; // a cell shows only the beginning
    QVERIFY(bytes.size() > AdFileModel::kInlineSortBytes);
    writeFile(QStringLiteral("AdwordsKeywords.csv"), bytes);
    QVERIFY(m_panel->LoadAdFiles(campaignFolder()));
    QTRY_VERIFY_WITH_TIMEOUT(!m_panel->isBusy(), 60000);
    auto* model = find<QTableView>("lsvKeywordFile")->model();
    QCOMPARE(model->rowCount(), 3);

    m_panel->lsvKeywordFile_ColumnClick(2);
    QVERIFY(m_panel->isBusy());
    QTRY_VERIFY_WITH_TIMEOUT(!m_panel->isBusy(), 60000);
    QCOMPARE(column(model, 1), (QStringList{"c", "b", "a"}));
}

void TestGeneratedFilesPanel::loadShowsTextListsAndCaptions()
{
    writeFile(QStringLiteral("AdwordsKeywords.csv"),
              "campaign,Ad Group,Keyword\r\nSpring,red-shoes,red shoes,Broad,0.50\r\nstray\r\n"
              "Spring,red-shoes,red shoes,Exact,0.80\r\n");
    writeFile(QStringLiteral("AdwordsAds.csv"),
              "Spring,red-shoes,\"Fast%2C cheap\",Line 1,Line 2,www.x.com,http://x.com/\r\n");
    writeFile(QStringLiteral("AdwordsAdGroups.csv"), "Spring,red-shoes,0.00,0.00,0.30\r\n");

    QVERIFY(m_panel->LoadAdFiles(campaignFolder()));

    QCOMPARE(find<QPlainTextEdit>("txtKeywordCSV")->toPlainText(),
             QStringLiteral("campaign,Ad Group,Keyword\nSpring,red-shoes,red shoes,Broad,0.50\nstray\n"
                            "Spring,red-shoes,red shoes,Exact,0.80\n"));
    QCOMPARE(find<QPlainTextEdit>("txtAdCSV")->toPlainText(),
             QStringLiteral("Spring,red-shoes,\"Fast, cheap\",Line 1,Line 2,www.x.com,http://x.com/\n"));
    QCOMPARE(find<QPlainTextEdit>("txtAdGroupCSV")->toPlainText(), QStringLiteral("Spring,red-shoes,0.00,0.00,0.30\n"));

    QCOMPARE(find<QGroupBox>("contAdwordsFiles0")->title(), QStringLiteral("Adwords Keywords CSV File: 2 items"));
    QCOMPARE(find<QGroupBox>("contAdwordsFiles1")->title(), QStringLiteral("Adwords Ads CSV File: 1 items"));
    QCOMPARE(find<QGroupBox>("contAdwordsFiles2")->title(), QStringLiteral("Adwords AdGroups CSV File: 1 items"));

    QCOMPARE(modelRows(find<QTableView>("lsvKeywordFile")->model()),
             (QStringList{"Spring|red-shoes|red shoes|Broad|0.50", "Spring|red-shoes|red shoes|Exact|0.80"}));
    QCOMPARE(modelRows(find<QTableView>("lsvAdFile")->model()),
             QStringList{"Spring|red-shoes|Fast, cheap|Line 1|Line 2|www.x.com|http://x.com/"});
    QCOMPARE(modelRows(find<QTableView>("lsvAdgroupFile")->model()), QStringList{"Spring|red-shoes|0.00|0.00|0.30"});

    // A reload shows the files as they are now.
    writeFile(QStringLiteral("AdwordsKeywords.csv"), "Autumn,g,kw,Phrase,1\r\n");
    QVERIFY(m_panel->LoadAdFiles(campaignFolder()));
    QCOMPARE(modelRows(find<QTableView>("lsvKeywordFile")->model()), QStringList{"Autumn|g|kw|Phrase|1"});
    QCOMPARE(find<QGroupBox>("contAdwordsFiles0")->title(), QStringLiteral("Adwords Keywords CSV File: 1 items"));
}

void TestGeneratedFilesPanel::missingFilesAndNoCampaign()
{
    writeFile(QStringLiteral("AdwordsAds.csv"), "Spring,g,h,d1,d2,disp,http://x\r\n");
    QVERIFY(m_panel->LoadAdFiles(campaignFolder()));
    QCOMPARE(find<QGroupBox>("contAdwordsFiles0")->title(), QStringLiteral("Adwords Keywords CSV File: 0 items"));
    QCOMPARE(find<QGroupBox>("contAdwordsFiles1")->title(), QStringLiteral("Adwords Ads CSV File: 1 items"));
    QCOMPARE(find<QGroupBox>("contAdwordsFiles2")->title(), QStringLiteral("Adwords AdGroups CSV File: 0 items"));
    QCOMPARE(find<QPlainTextEdit>("txtKeywordCSV")->toPlainText(), QString());
    QCOMPARE(find<QTableView>("lsvKeywordFile")->model()->rowCount(), 0);

    // No campaign open: logged, and the panel keeps what it shows.
    QVERIFY(!m_panel->LoadAdFiles(QString()));
    QVERIFY(errorLog().contains(QStringLiteral("LoadAdFiles_Error: No campaign is open-Log point 1\r\n")));
    QCOMPARE(find<QTableView>("lsvAdFile")->model()->rowCount(), 1);
    QCOMPARE(find<QGroupBox>("contAdwordsFiles1")->title(), QStringLiteral("Adwords Ads CSV File: 1 items"));

    // An unreadable file (here a folder of that name) stops the load at its step.
    QVERIFY(QDir().mkpath(campaignFolder() + QStringLiteral("/AdwordsKeywords.csv")));
    QVERIFY(!m_panel->LoadAdFiles(campaignFolder()));
    QVERIFY(errorLog().contains(QStringLiteral("-Log point 5\r\n")));
    QCOMPARE(find<QTableView>("lsvAdFile")->model()->rowCount(), 0);
}

void TestGeneratedFilesPanel::byteOrderMarks_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("rows");
    // Column 1 after one click (descending, by the shown text).
    QTest::addColumn<QStringList>("sorted");

    const QByteArray mark("\xEF\xBB\xBF");
    const QString bom(QChar(0xFEFF));
    QTest::newRow("mark at the start of the file") << mark + "a,1\r\nb,2\r\n" << "a,1\nb,2\n"
                                                    << QStringList{"a|1", "b|2"} << QStringList{"b", "a"};
    QTest::newRow("mark at the start of a later line")
        << "d,1\r\n" + mark + "c,2\r\n" << "d,1\n" + bom + "c,2\n" << QStringList{"d|1", bom + "c|2"}
        << QStringList{bom + "c", "d"};
    QTest::newRow("quoted field after a later mark")
        << "d,1\r\n" + mark + "\"c,x\",2\r\n" << "d,1\n" + bom + "\"c,x\",2\n"
        << QStringList{"d|1", bom + "\"c|x\"|2"} << QStringList{bom + "\"c", "d"};
    QTest::newRow("two marks at the start: the second is text")
        << mark + mark + "a,1\r\n" << bom + "a,1\n" << QStringList{bom + "a|1"} << QStringList{bom + "a"};
    QTest::newRow("header after the mark") << mark + "Campaign,Ad Group\r\na,1\r\n" << "Campaign,Ad Group\na,1\n"
                                           << QStringList{"a|1"} << QStringList{"a"};
}

// Only the mark that opens the file is no text: the text view and the list
// show every later one alike, and the list sorts by what it shows.
void TestGeneratedFilesPanel::byteOrderMarks()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, text);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, sorted);
    writeFile(QStringLiteral("AdwordsKeywords.csv"), file);
    QVERIFY(m_panel->LoadAdFiles(campaignFolder()));
    QCOMPARE(find<QPlainTextEdit>("txtKeywordCSV")->toPlainText(), text);
    auto* model = find<QTableView>("lsvKeywordFile")->model();
    QCOMPARE(modelRows(model), rows);
    m_panel->lsvKeywordFile_ColumnClick(0);
    QCOMPARE(column(model, 0), sorted);
}

void TestGeneratedFilesPanel::controlsAndViewSwitch()
{
    QCOMPARE(m_tab->count(), 3);
    QCOMPARE(m_tab->tabText(0), QStringLiteral("Keyword File"));
    QCOMPARE(m_tab->tabText(1), QStringLiteral("Ad File"));
    QCOMPARE(m_tab->tabText(2), QStringLiteral("AdGroup File"));
    QCOMPARE(find<QGroupBox>("contAdwordsFiles0")->title(), QStringLiteral("Adwords Keywords CSV File:"));
    QCOMPARE(find<QGroupBox>("contAdwordsFiles2")->title(), QStringLiteral("Adwords AdGroup CSV File:"));
    QCOMPARE(find<QToolButton>("picKeywordCSV0")->toolTip(), QStringLiteral("Display file in plain text format"));
    QCOMPARE(find<QToolButton>("picKeywordCSV1")->toolTip(), QStringLiteral("Display file in list format"));
    for (const char* name : {"picCopyFile0", "picCopyFile1", "picCopyFile2"})
        QCOMPARE(find<QToolButton>(name)->toolTip(), QStringLiteral("Copy file to clipboard"));
    QVERIFY(find<QPlainTextEdit>("txtAdCSV")->isReadOnly());

    auto* header = find<QTableView>("lsvAdFile")->horizontalHeader();
    QCOMPARE(header->count(), 7);
    QCOMPARE(header->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Description Line1"));
    QCOMPARE(find<QTableView>("lsvAdgroupFile")->model()->headerData(4, Qt::Horizontal).toString(),
             QStringLiteral("Placement Max CPC"));

    m_tab->show();
    for (int tab = 0; tab < 3; ++tab) {
        m_tab->setCurrentIndex(tab);
        const char* sw[3] = {"picKeywordCSV", "picAdCSV", "picAdGroupCSV"};
        const char* txt[3] = {"txtKeywordCSV", "txtAdCSV", "txtAdGroupCSV"};
        const char* lsv[3] = {"lsvKeywordFile", "lsvAdFile", "lsvAdgroupFile"};
        auto* text = find<QPlainTextEdit>(txt[tab]);
        auto* list = find<QTableView>(lsv[tab]);
        QVERIFY(text->isVisible());
        QVERIFY(!list->isVisible());
        find<QToolButton>(QString::fromLatin1(sw[tab]) + "1")->click();
        QVERIFY(!text->isVisible());
        QVERIFY(list->isVisible());
        find<QToolButton>(QString::fromLatin1(sw[tab]) + "0")->click();
        QVERIFY(text->isVisible());
        QVERIFY(!list->isVisible());
    }
}

void TestGeneratedFilesPanel::sortingSharesOneOrderFlag()
{
    writeFile(QStringLiteral("AdwordsKeywords.csv"),
              "S,g2,b,Broad,10\r\nS,g1,C,Broad,9\r\nS,g3,a,Broad,100\r\n");
    writeFile(QStringLiteral("AdwordsAds.csv"), "S,g,h,d1,d2,disp,http://x\r\nS,a,h,d1,d2,disp,http://x\r\n");
    QVERIFY(m_panel->LoadAdFiles(campaignFolder()));
    auto* model = find<QTableView>("lsvKeywordFile")->model();
    auto* header = find<QTableView>("lsvKeywordFile")->horizontalHeader();

    // First click (on the header itself): descending, by text without regard to case.
    m_tab->show();
    m_panel->picKeywordCSV_Click(1);
    QVERIFY(QTest::qWaitForWindowExposed(m_tab.get()));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(2) + 5, header->height() / 2));
    QCOMPARE(column(model, 2), (QStringList{"C", "b", "a"}));
    QCOMPARE(header->sortIndicatorSection(), 2);
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    // Second click on the same column: ascending.
    m_panel->lsvKeywordFile_ColumnClick(2);
    QCOMPARE(column(model, 2), (QStringList{"a", "b", "C"}));
    // The flag is shared by the columns: another column now sorts descending.
    m_panel->lsvKeywordFile_ColumnClick(1);
    QCOMPARE(column(model, 1), (QStringList{"g3", "g2", "g1"}));
    // Bids sort as text.
    m_panel->lsvKeywordFile_ColumnClick(4);
    QCOMPARE(column(model, 4), (QStringList{"10", "100", "9"}));

    // Each list has its own flag: the ad list's first click still sorts descending.
    m_panel->lsvAdFile_ColumnClick(1);
    QCOMPARE(column(find<QTableView>("lsvAdFile")->model(), 1), (QStringList{"g", "a"}));

    // The sort stays on across a reload.
    writeFile(QStringLiteral("AdwordsKeywords.csv"), "S,g,x,Broad,2\r\nS,g,y,Broad,1\r\nS,g,z,Broad,3\r\n");
    QVERIFY(m_panel->LoadAdFiles(campaignFolder()));
    QCOMPARE(column(model, 4), (QStringList{"1", "2", "3"}));
}

void TestGeneratedFilesPanel::copySelectionOrWholeFile()
{
    writeFile(QStringLiteral("AdwordsAds.csv"),
              "S,g,\"Fast%2C cheap\",d1,d2,disp,http://x\r\nS,g,h2,d1,d2,disp,http://y\r\n");
    QVERIFY(m_panel->LoadAdFiles(campaignFolder()));
    auto* text = find<QPlainTextEdit>("txtAdCSV");
    QClipboard* clipboard = QApplication::clipboard();

    // Nothing selected: the whole text is selected and copied.
    m_panel->picCopyFile_Click(1);
    QCOMPARE(clipboard->text(),
             QStringLiteral("S,g,\"Fast, cheap\",d1,d2,disp,http://x\r\nS,g,h2,d1,d2,disp,http://y\r\n"));
    QVERIFY(text->textCursor().hasSelection());

    // A selection of its own: only that part.
    QTextCursor cursor = text->textCursor();
    cursor.setPosition(4);
    cursor.setPosition(17, QTextCursor::KeepAnchor);
    text->setTextCursor(cursor);
    find<QToolButton>("picCopyFile1")->click();
    QCOMPARE(clipboard->text(), QStringLiteral("\"Fast, cheap\""));

    // A selection over two lines keeps the line break.
    cursor.setPosition(29);
    cursor.setPosition(39, QTextCursor::KeepAnchor);
    text->setTextCursor(cursor);
    m_panel->picCopyFile_Click(1);
    QCOMPARE(clipboard->text(), QStringLiteral("http://x\r\nS"));
}

void TestGeneratedFilesPanel::keyboardShortcutsNeedCtrlAlone()
{
    writeFile(QStringLiteral("AdwordsKeywords.csv"), "S,g,kw,Broad,1\r\nS,g,kw2,Broad,1\r\n");
    QVERIFY(m_panel->LoadAdFiles(campaignFolder()));
    auto* text = find<QPlainTextEdit>("txtKeywordCSV");
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->setText(QStringLiteral("before"));

    QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(clipboard->text(), QStringLiteral("before"));

    QTextCursor cursor = text->textCursor();
    cursor.setPosition(4);
    cursor.setPosition(6, QTextCursor::KeepAnchor);
    text->setTextCursor(cursor);
    QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), QStringLiteral("kw"));

    QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(text->textCursor().selectedText().size(), text->document()->characterCount() - 1);
    QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), QStringLiteral("S,g,kw,Broad,1\r\nS,g,kw2,Broad,1\r\n"));
}

void TestGeneratedFilesPanel::bigFileIndexesInBackground()
{
    // Big enough for background indexing, background sorting and a text
    // view that shows only the first part of the file.
    const int rows = AdFileModel::kInlineSortRows + 20000;
    QByteArray bytes;
    bytes.reserve(rows * 40);
    for (int i = 0; i < rows; ++i)
        bytes += "Camp,Group " + QByteArray::number(i % 97) + ",kw " + QByteArray::number(i) + ",Broad,0.5\r\n";
    QVERIFY(bytes.size() > GeneratedFilesPanel::kTextViewBytes);
    writeFile(QStringLiteral("AdwordsKeywords.csv"), bytes);

    QVERIFY(m_panel->LoadAdFiles(campaignFolder()));
    auto* frame = find<QGroupBox>("contAdwordsFiles0");
    auto* model = find<QTableView>("lsvKeywordFile")->model();
    QTRY_COMPARE_WITH_TIMEOUT(frame->title(), QStringLiteral("Adwords Keywords CSV File: %1 items").arg(rows), 60000);
    QTRY_VERIFY(!m_panel->isBusy());
    QCOMPARE(model->rowCount(), rows);
    QCOMPARE(model->index(rows - 1, 2).data().toString(), QStringLiteral("kw %1").arg(rows - 1));

    // The text view holds whole lines of the first part and says so.
    auto* text = find<QPlainTextEdit>("txtKeywordCSV");
    auto* note = find<QLabel>("lblPartialText0");
    QVERIFY(text->toPlainText().size() <= GeneratedFilesPanel::kTextViewBytes);
    QVERIFY(text->toPlainText().endsWith(QLatin1String(",Broad,0.5\n")));
    QVERIFY(!note->isHidden());
    QVERIFY(note->text().contains(QLocale(QLocale::English).toString(qint64(bytes.size()))));
    // Copying without a selection copies the whole file.
    m_panel->picCopyFile_Click(0);
    QCOMPARE(QApplication::clipboard()->text(), QString::fromLatin1(bytes));

    // Sorting in the background: descending by keyword text.
    m_panel->lsvKeywordFile_ColumnClick(2);
    QTRY_VERIFY_WITH_TIMEOUT(!m_panel->isBusy(), 60000);
    QCOMPARE(model->rowCount(), rows);
    QCOMPARE(model->index(0, 2).data().toString(), QStringLiteral("kw 99999"));
    QCOMPARE(model->index(rows - 1, 2).data().toString(), QStringLiteral("kw 0"));
    const QStringList keys = column(model, 2);
    for (int i = 1; i < keys.size(); ++i)
        QVERIFY2(keys[i - 1].compare(keys[i], Qt::CaseInsensitive) >= 0, qPrintable(keys[i]));

    // A reload while still indexing starts over cleanly.
    QVERIFY(m_panel->LoadAdFiles(campaignFolder()));
    QVERIFY(m_panel->LoadAdFiles(campaignFolder()));
    QTRY_VERIFY_WITH_TIMEOUT(!m_panel->isBusy(), 60000);
    QCOMPARE(model->rowCount(), rows);
    QCOMPARE(model->index(0, 2).data().toString(), QStringLiteral("kw 99999"));
}

void TestGeneratedFilesPanel::clearAndClearTextView()
{
    writeFile(QStringLiteral("AdwordsKeywords.csv"), "S,g,kw,Broad,1\r\n");
    writeFile(QStringLiteral("AdwordsAds.csv"), "S,g,h,d1,d2,disp,http://x\r\n");
    QVERIFY(m_panel->LoadAdFiles(campaignFolder()));

    m_panel->clearTextView(1);
    QCOMPARE(find<QPlainTextEdit>("txtAdCSV")->toPlainText(), QString());
    QCOMPARE(find<QPlainTextEdit>("txtKeywordCSV")->toPlainText(), QStringLiteral("S,g,kw,Broad,1\n"));
    QCOMPARE(find<QTableView>("lsvAdFile")->model()->rowCount(), 1);

    m_panel->clear();
    QCOMPARE(find<QPlainTextEdit>("txtKeywordCSV")->toPlainText(), QString());
    QCOMPARE(find<QTableView>("lsvKeywordFile")->model()->rowCount(), 0);
    QCOMPARE(find<QTableView>("lsvAdFile")->model()->rowCount(), 0);
}

void TestGeneratedFilesPanel::fileCutShortWhileListed()
{
    // Another program may empty a listed file in place; the list then shows
    // empty fields for the lost lines and stays usable.
    writeFile(QStringLiteral("AdwordsKeywords.csv"), "S,g,kw1,Broad,1\r\nS,g,kw2,Broad,1\r\n");
    QVERIFY(m_panel->LoadAdFiles(campaignFolder()));
    auto* model = find<QTableView>("lsvKeywordFile")->model();
    QCOMPARE(model->rowCount(), 2);

    QFile file(campaignFolder() + QStringLiteral("/AdwordsKeywords.csv"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.close();
    QCOMPARE(modelRows(model), (QStringList{QString(), QString()}));
    m_panel->lsvKeywordFile_ColumnClick(2);
    QTRY_VERIFY(!m_panel->isBusy());
    QCOMPARE(modelRows(model), (QStringList{QString(), QString()}));

    QVERIFY(m_panel->LoadAdFiles(campaignFolder()));
    QCOMPARE(model->rowCount(), 0);

    // A list whose file was removed still sorts what it shows.
    writeFile(QStringLiteral("AdwordsKeywords.csv"), "S,g,b,Broad,1\r\nS,g,c,Broad,1\r\nS,g,a,Broad,1\r\n");
    QVERIFY(m_panel->LoadAdFiles(campaignFolder()));
    QVERIFY(QFile::remove(campaignFolder() + QStringLiteral("/AdwordsKeywords.csv")));
    m_panel->lsvKeywordFile_ColumnClick(2);
    QTRY_VERIFY(!m_panel->isBusy());
    QCOMPARE(column(model, 2), (QStringList{"a", "b", "c"}));
    m_panel->lsvKeywordFile_ColumnClick(2);
    QTRY_VERIFY(!m_panel->isBusy());
    QCOMPARE(column(model, 2), (QStringList{"c", "b", "a"}));
}

void TestGeneratedFilesPanel::partialTextViewKeepsWholeCharacters()
{
    // One line longer than the shown part, of two-byte characters: the cut
    // falls inside a character unless it is moved back to a whole one.
    QByteArray bytes = "S,g,";
    while (bytes.size() <= GeneratedFilesPanel::kTextViewBytes + 10)
        bytes += "\xC3\xA9";
    bytes += "\r\n";
    QByteArray odd = bytes;
    odd.insert(1, 'x'); // the cut now falls in the middle of a character
    for (const QByteArray& content : {bytes, odd}) {
        writeFile(QStringLiteral("AdwordsKeywords.csv"), content);
        QVERIFY(m_panel->LoadAdFiles(campaignFolder()));
        const QString shown = find<QPlainTextEdit>("txtKeywordCSV")->toPlainText();
        QVERIFY(!shown.isEmpty());
        QVERIFY2(shown.endsWith(QChar(0xE9)), qPrintable(shown.right(4)));
        QVERIFY(!find<QLabel>("lblPartialText0")->isHidden());
        m_panel->picCopyFile_Click(0);
        QCOMPARE(QApplication::clipboard()->text(), QString::fromUtf8(content));
    }
}

// Copying a partly shown file reads it again; when that fails the user is
// told, since a paste would otherwise give what the clipboard held before.
void TestGeneratedFilesPanel::copyOfAFileGoneIsTold()
{
    QByteArray bytes;
    while (bytes.size() <= GeneratedFilesPanel::kTextViewBytes)
        bytes += "S,g,red shoes,Broad,0.5\r\n";
    writeFile(QStringLiteral("AdwordsKeywords.csv"), bytes);
    QVERIFY(m_panel->LoadAdFiles(campaignFolder()));
    QTRY_VERIFY(!m_panel->isBusy());
    const QString path = campaignFolder() + QStringLiteral("/AdwordsKeywords.csv");
    QVERIFY(QFile::remove(path));
    QApplication::clipboard()->setText(QStringLiteral("before"));

    ScriptedPrompter prompter;
    m_panel->picCopyFile_Click(0);
    QCOMPARE(prompter.messages.size(), 1);
    const platform::MessageRequest& shown = prompter.messages.first();
    QVERIFY2(shown.text.startsWith("The file could not be copied to the clipboard.\r\n\r\nCannot read "
                                   + QDir::toNativeSeparators(path) + ": "),
             qPrintable(shown.text));
    QCOMPARE(shown.title, QStringLiteral("Copy File"));
    QCOMPARE(shown.icon, platform::MsgIcon::Critical);
    QVERIFY(errorLog().contains(QStringLiteral("picCopyFile_Error: Cannot read ")));

    // With the file back, the copy works and says nothing.
    writeFile(QStringLiteral("AdwordsKeywords.csv"), bytes);
    m_panel->picCopyFile_Click(0);
    QCOMPARE(prompter.messages.size(), 1);
    QCOMPARE(QApplication::clipboard()->text(), QString::fromLatin1(bytes));
}

void TestGeneratedFilesPanel::hugeFieldShownInPart()
{
    const QByteArray huge(3 * 1024 * 1024, 'k');
    writeFile(QStringLiteral("AdwordsKeywords.csv"), "S,g," + huge + ",Broad,1\r\nS,g,kw,Broad,1");
    QVERIFY(m_panel->LoadAdFiles(campaignFolder()));
    QTRY_VERIFY(!m_panel->isBusy());
    auto* model = find<QTableView>("lsvKeywordFile")->model();
    QCOMPARE(model->rowCount(), 2);
    const QString cell = model->index(0, 2).data().toString();
    QCOMPARE(cell.size(), AdFileModel::kMaxCellChars);
    QVERIFY(huge.startsWith(cell.toLatin1()));
    QCOMPARE(model->index(0, 3).data().toString(), QStringLiteral("Broad"));
    QCOMPARE(model->index(1, 2).data().toString(), QStringLiteral("kw"));
    // Sorting still compares whole fields.
    m_panel->lsvKeywordFile_ColumnClick(2);
    QTRY_VERIFY(!m_panel->isBusy());
    QCOMPARE(model->index(0, 2).data().toString(), QStringLiteral("kw"));
}

void TestGeneratedFilesPanel::emptyFilesListNothing()
{
    writeFile(QStringLiteral("AdwordsKeywords.csv"), QByteArray());
    writeFile(QStringLiteral("AdwordsAds.csv"), "\r\n");
    writeFile(QStringLiteral("AdwordsAdGroups.csv"), "\xEF\xBB\xBF");
    QVERIFY(m_panel->LoadAdFiles(campaignFolder()));
    QCOMPARE(find<QGroupBox>("contAdwordsFiles0")->title(), QStringLiteral("Adwords Keywords CSV File: 0 items"));
    QCOMPARE(find<QGroupBox>("contAdwordsFiles1")->title(), QStringLiteral("Adwords Ads CSV File: 0 items"));
    QCOMPARE(find<QGroupBox>("contAdwordsFiles2")->title(), QStringLiteral("Adwords AdGroups CSV File: 0 items"));
    QCOMPARE(find<QPlainTextEdit>("txtKeywordCSV")->toPlainText(), QString());
    m_panel->lsvKeywordFile_ColumnClick(0);
    m_panel->lsvAdFile_ColumnClick(6);
    QTRY_VERIFY(!m_panel->isBusy());
    QCOMPARE(find<QTableView>("lsvAdFile")->model()->rowCount(), 0);
    m_panel->picCopyFile_Click(0);
    QCOMPARE(QApplication::clipboard()->text(), QString());
}

void TestGeneratedFilesPanel::bigListSortsAfterItsFileWasReplaced()
{
    // A list sorted in the background sorts the lines it shows, also when
    // its file was replaced (a new build) or removed since it was loaded.
    const int rows = AdFileModel::kInlineSortRows + 10;
    QByteArray bytes;
    for (int i = 0; i < rows; ++i)
        bytes += "Camp,g,kw " + QByteArray::number(i) + ",Broad,0.5\r\n";
    const QString path = campaignFolder() + QStringLiteral("/AdwordsKeywords.csv");
    for (bool replaced : {true, false}) {
        writeFile(QStringLiteral("AdwordsKeywords.csv"), bytes);
        QVERIFY(m_panel->LoadAdFiles(campaignFolder()));
        QTRY_VERIFY_WITH_TIMEOUT(!m_panel->isBusy(), 60000);
        auto* model = find<QTableView>("lsvKeywordFile")->model();
        QCOMPARE(model->rowCount(), rows);

        QVERIFY(QFile::remove(path));
        if (replaced)
            writeFile(QStringLiteral("AdwordsKeywords.csv"), "Other,g,zzz,Broad,1\r\n");
        const bool descending = replaced; // the list's first click sorts descending, its second ascending
        m_panel->lsvKeywordFile_ColumnClick(2);
        QTRY_VERIFY_WITH_TIMEOUT(!m_panel->isBusy(), 60000);
        QCOMPARE(model->rowCount(), rows);
        const QString first = model->index(0, 2).data().toString();
        const QString last = model->index(rows - 1, 2).data().toString();
        QCOMPARE(first, descending ? QStringLiteral("kw 99999") : QStringLiteral("kw 0"));
        QCOMPARE(last, descending ? QStringLiteral("kw 0") : QStringLiteral("kw 99999"));
    }
}

void TestGeneratedFilesPanel::columnsFitCaptionsAndValues_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<int>("repeat"); // copies of lines, for a file indexed in the background
    QTest::addColumn<int>("cappedColumn"); // -1: none
    QTest::addColumn<QSize>("size");

    const QByteArray keywords = "Spring Sale,Shoes - red,buy red shoes online cheap,Broad,0.50,http://www.example.com/\r\n"
                                "Spring Sale,Shoes - red,red shoes,Phrase,12.75,http://www.example.com/shoes?kw=red\r\n";
    const QByteArray ads = "Spring Sale,Shoes - red,\"Red Shoes%2C Cheap\",Buy red shoes at the lowest price,"
                           "Free delivery on every order,www.example.com,http://www.example.com/landing?g=red\r\n";
    const QByteArray adGroups = "Spring Sale,Shoes - red,0.75,0.50,0.30\r\n";
    const QByteArray longName = "Spring," + QByteArray("very long ad group name ").repeated(20) + ",kw,Exact,1,http://x/\r\n";
    for (const auto& [name, size] : {std::pair{"default size", QSize(1000, 600)}, std::pair{"small", QSize(420, 300)}}) {
        QTest::addRow("keyword list, %s", name) << 0 << keywords << 1 << -1 << size;
        QTest::addRow("ad list, %s", name) << 1 << ads << 1 << -1 << size;
        QTest::addRow("ad group list, %s", name) << 2 << adGroups << 1 << -1 << size;
        QTest::addRow("empty keyword list, %s", name) << 0 << QByteArray() << 1 << -1 << size;
        QTest::addRow("very long value in a middle column, %s", name) << 0 << keywords + longName << 1 << 1 << size;
    }
    QTest::addRow("big keyword file listed in the background")
        << 0 << keywords << int(AdFileModel::kInlineIndexBytes / keywords.size() + 1000) << -1 << QSize(1000, 600);
}

void TestGeneratedFilesPanel::columnsFitCaptionsAndValues()
{
    QFETCH(int, list);
    QFETCH(QByteArray, lines);
    QFETCH(int, repeat);
    QFETCH(int, cappedColumn);
    QFETCH(QSize, size);
    const char* const files[3] = {"AdwordsKeywords.csv", "AdwordsAds.csv", "AdwordsAdGroups.csv"};
    const char* const lists[3] = {"lsvKeywordFile", "lsvAdFile", "lsvAdgroupFile"};
    const char* const switches[3] = {"picKeywordCSV1", "picAdCSV1", "picAdGroupCSV1"};
    writeFile(QString::fromLatin1(files[list]), lines.repeated(repeat));

    m_tab->resize(size);
    m_tab->setCurrentIndex(list);
    find<QToolButton>(QString::fromLatin1(switches[list]))->click();
    m_tab->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_tab.get()));
    QVERIFY(m_panel->LoadAdFiles(campaignFolder()));
    QTRY_VERIFY_WITH_TIMEOUT(!m_panel->isBusy(), 60000);
    auto* view = find<QTableView>(QString::fromLatin1(lists[list]));
    QHeaderView* header = view->horizontalHeader();
    // Every caption must fit with the sort arrow that a click shows.
    view->horizontalHeader()->setSortIndicatorShown(true);
    QCoreApplication::processEvents();

    const int columns = view->model()->columnCount();
    const QAbstractItemView* asView = view; // Qt's own measure of a column's values
    for (int c = 0; c < columns; ++c) {
        const QString caption = view->model()->headerData(c, Qt::Horizontal).toString();
        QVERIFY2(header->sectionSize(c) >= header->sectionSizeHint(c),
                 qPrintable(caption + QStringLiteral(" caption cut: ") + QString::number(header->sectionSize(c))
                            + QStringLiteral(" < ") + QString::number(header->sectionSizeHint(c))));
        const int valuesNeed = asView->sizeHintForColumn(c);
        if (c == cappedColumn) {
            // A value far wider than the list does not push the others away.
            QVERIFY2(view->columnWidth(c) < valuesNeed / 2, qPrintable(caption));
        } else {
            QVERIFY2(view->columnWidth(c) >= valuesNeed,
                     qPrintable(caption + QStringLiteral(" values cut: ") + QString::number(view->columnWidth(c))
                                + QStringLiteral(" < ") + QString::number(valuesNeed)));
        }
    }
    // The columns use the whole width of the list.
    QVERIFY2(header->length() >= view->viewport()->width(),
             qPrintable(QString::number(header->length()) + QStringLiteral(" < ")
                        + QString::number(view->viewport()->width())));
}

QTEST_MAIN(TestGeneratedFilesPanel)
#include "tst_generatedfilespanel.moc"
