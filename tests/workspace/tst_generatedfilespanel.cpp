#include "core/ErrorLog.h"
#include "generator/AdFileRows.h"
#include "workspace/AdFileModel.h"
#include "workspace/GeneratedFilesPanel.h"

#include "ListedRows.h"
#include "NamedPipe.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStringEncoder>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

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

QByteArray utf16(const QString& text, QStringEncoder::Encoding order)
{
    QStringEncoder encoder(order);
    return encoder.encode(text);
}

} // namespace

class TestGeneratedFilesPanel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadShowsTextListsAndCaptions();
    void missingFilesAndNoCampaign();
    void byteOrderMarks_data();
    void byteOrderMarks();
    void oneDecodingForBothViews_data();
    void oneDecodingForBothViews();
    void partlyShownFileInOneDecoding_data();
    void partlyShownFileInOneDecoding();
    void controlsAndViewSwitch();
    void sortingSharesOneOrderFlag();
    void copySelectionOrWholeFile();
    void keyboardShortcutsNeedCtrlAlone();
    void bigFileIndexesInBackground();
    void clearAndClearTextView();
    void fileCutShortWhileListed();
    void partialTextViewKeepsWholeCharacters();
    void copyOfAFileGoneIsTold_data();
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

void TestGeneratedFilesPanel::oneDecodingForBothViews_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("rows");
    // Column 0 after one click (descending, by the shown text).
    QTest::addColumn<QStringList>("sorted");

    const QByteArray le("\xFF\xFE");
    const QByteArray be("\xFE\xFF");
    const QByteArray mark("\xEF\xBB\xBF");
    const auto LE = QStringEncoder::Utf16LE;
    const auto BE = QStringEncoder::Utf16BE;
    QTest::newRow("utf-16le") << le + utf16("Campaign,Ad Group\r\nb,2\r\na,1\r\n", LE) << "Campaign,Ad Group\nb,2\na,1\n"
                              << QStringList{"b|2", "a|1"} << QStringList{"b", "a"};
    QTest::newRow("utf-16be") << be + utf16("Campaign,Ad Group\r\nb,2\r\na,1\r\n", BE) << "Campaign,Ad Group\nb,2\na,1\n"
                              << QStringList{"b|2", "a|1"} << QStringList{"b", "a"};
    // U+010A, U+012C and U+2C62 hold the bytes of a line feed and a comma.
    const QString bytesOfBreaks = QStringLiteral("\u010A\u012C,\u2C62");
    QTest::newRow("utf-16le: characters holding the bytes of a line feed or a comma")
        << le + utf16(bytesOfBreaks + "\r\nb,\u010A\r\n", LE) << bytesOfBreaks + "\nb,\u010A\n"
        << QStringList{"\u010A\u012C|\u2C62", "b|\u010A"} << QStringList{"\u010A\u012C", "b"};
    QTest::newRow("utf-16be: characters holding the bytes of a line feed or a comma")
        << be + utf16(bytesOfBreaks + "\r\n", BE) << bytesOfBreaks + "\n" << QStringList{"\u010A\u012C|\u2C62"}
        << QStringList{"\u010A\u012C"};
    QTest::newRow("utf-16le: quoted fields, %2C") << le + utf16("S,\"x%2C y\",\"a,b\"\r\n", LE) << "S,\"x, y\",\"a,b\"\n"
                                                  << QStringList{"S|x, y|a,b"} << QStringList{"S"};
    QTest::newRow("utf-16le: a second mark is text")
        << le + utf16("\uFEFFa,1\r\n", LE) << "\uFEFFa,1\n" << QStringList{"\uFEFFa|1"} << QStringList{"\uFEFFa"};
    QTest::newRow("utf-16be: a second mark is text")
        << be + utf16("\uFEFFa,1\r\n", BE) << "\uFEFFa,1\n" << QStringList{"\uFEFFa|1"} << QStringList{"\uFEFFa"};
    QTest::newRow("utf-16le mark and one odd byte") << le + "A" << "\uFFFD" << QStringList() << QStringList();
    QTest::newRow("utf-16le: odd last byte") << le + utf16("a,1\r\nb,2", LE) + "x" << "a,1\nb,2\uFFFD"
                                             << QStringList{"a|1", "b|2\uFFFD"} << QStringList{"b", "a"};
    // Not UTF-8 as a whole: Windows-1252, where the mark's bytes are text.
    QTest::newRow("utf-8 mark, then a 1252 line")
        << mark + "a,1\r\nb\xE9,2\r\n" << "\u00EF\u00BB\u00BFa,1\nb\u00E9,2\n"
        << QStringList{"\u00EF\u00BB\u00BFa|1", "b\u00E9|2"} << QStringList{"\u00EF\u00BB\u00BFa", "b\u00E9"};
    QTest::newRow("utf-8 mark and a utf-8 line, then a 1252 line")
        << mark + "c\xC3\xA9,1\r\nd\xE9,2\r\n" << "\u00EF\u00BB\u00BFc\u00C3\u00A9,1\nd\u00E9,2\n"
        << QStringList{"\u00EF\u00BB\u00BFc\u00C3\u00A9|1", "d\u00E9|2"}
        << QStringList{"\u00EF\u00BB\u00BFc\u00C3\u00A9", "d\u00E9"};
    QTest::newRow("a utf-8 line, then a 1252 line") << QByteArray("c\xC3\xA9,1\r\nd\xE9,2\r\n")
                                                     << "c\u00C3\u00A9,1\nd\u00E9,2\n"
                                                     << QStringList{"c\u00C3\u00A9|1", "d\u00E9|2"}
                                                     << QStringList{"d\u00E9", "c\u00C3\u00A9"};
    QTest::newRow("utf-8 with its mark") << mark + "c\xC3\xA9,1\r\n" << "c\u00E9,1\n" << QStringList{"c\u00E9|1"}
                                         << QStringList{"c\u00E9"};
}

// The text view and the list read a file in one encoding, decided once for
// the file: they show the same rows, and the list sorts by what it shows.
void TestGeneratedFilesPanel::oneDecodingForBothViews()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, text);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, sorted);
    writeFile(QStringLiteral("AdwordsKeywords.csv"), file);
    QVERIFY(m_panel->LoadAdFiles(campaignFolder()));
    const QString shown = find<QPlainTextEdit>("txtKeywordCSV")->toPlainText();
    QCOMPARE(shown, text);
    auto* model = find<QTableView>("lsvKeywordFile")->model();
    QCOMPARE(joined(AdFiles::AddListViewItems(shown, model->columnCount())), modelRows(model));
    QCOMPARE(modelRows(model), rows);
    m_panel->lsvKeywordFile_ColumnClick(0);
    QTRY_VERIFY(!m_panel->isBusy());
    QCOMPARE(column(model, 0), sorted);
    // Copying without a selection gives the text as shown.
    m_panel->picCopyFile_Click(0);
    QCOMPARE(QApplication::clipboard()->text(), QString(text).replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
}

void TestGeneratedFilesPanel::partlyShownFileInOneDecoding_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("firstKeyword");
    QTest::addColumn<QString>("lastKeyword");

    // Enough rows to be indexed and sorted in the background and shown in part.
    const int rows = AdFileModel::kInlineSortRows + 10;
    QString text;
    for (int i = 0; i < rows; ++i)
        text += QStringLiteral("Camp,g,kw \u00E9 %1,Broad,0.5\r\n").arg(i);
    const QString last = QStringLiteral("kw \u00E9 %1").arg(rows - 1);
    QTest::newRow("utf-16le") << "\xFF\xFE" + utf16(text, QStringEncoder::Utf16LE) << "kw \u00E9 0" << last;
    QTest::newRow("utf-16be") << "\xFE\xFF" + utf16(text, QStringEncoder::Utf16BE) << "kw \u00E9 0" << last;
    // The first part decides for the whole file: beyond it too, a line that
    // is UTF-8 reads as Windows-1252.
    QByteArray head = "\xEF\xBB\xBF" "Camp,g,kw \xE9,Broad,0.5\r\n";
    QTest::newRow("utf-8 mark, then a 1252 line")
        << head + text.toUtf8() << "kw \u00E9" << QStringLiteral("kw \u00C3\u00A9 %1").arg(rows - 1);
    // A line that is not UTF-8 beyond the part that decided for UTF-8 reads
    // as Windows-1252 alone.
    QTest::newRow("utf-8, a 1252 line beyond the shown part")
        << text.toUtf8() + "Camp,g,kw \xE9,Broad,0.5\r\n" << "kw \u00E9 0" << "kw \u00E9";
}

// A file shown in part: its text view and its list read it in the same
// encoding, the list is indexed and sorted in the background in it, and the
// copy gives the whole file.
void TestGeneratedFilesPanel::partlyShownFileInOneDecoding()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, firstKeyword);
    QFETCH(QString, lastKeyword);
    writeFile(QStringLiteral("AdwordsKeywords.csv"), file);
    QVERIFY(m_panel->LoadAdFiles(campaignFolder()));
    QTRY_VERIFY_WITH_TIMEOUT(!m_panel->isBusy(), 60000);
    QVERIFY(!find<QLabel>("lblPartialText0")->isHidden());

    const QString shown = find<QPlainTextEdit>("txtKeywordCSV")->toPlainText();
    auto* model = find<QTableView>("lsvKeywordFile")->model();
    const QStringList shownRows = joined(AdFiles::AddListViewItems(shown, model->columnCount()));
    QVERIFY(shownRows.size() > 1000);
    QVERIFY(shownRows.size() < model->rowCount());
    QCOMPARE(modelRows(model).mid(0, shownRows.size()), shownRows);
    QCOMPARE(model->index(0, 2).data().toString(), firstKeyword);
    QCOMPARE(model->index(model->rowCount() - 1, 2).data().toString(), lastKeyword);

    m_panel->lsvKeywordFile_ColumnClick(2);
    QVERIFY(m_panel->isBusy());
    QTRY_VERIFY_WITH_TIMEOUT(!m_panel->isBusy(), 60000);
    const QStringList keys = column(model, 2);
    for (int i = 1; i < keys.size(); ++i)
        QVERIFY2(keys[i - 1].toCaseFolded().toUtf8() >= keys[i].toCaseFolded().toUtf8(), qPrintable(keys[i]));

    m_panel->picCopyFile_Click(0);
    QCOMPARE(QApplication::clipboard()->text(), AdFiles::decodeText(file));
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
    // In UTF-16, characters of two units: the cut falls between the two.
    QString pairs = QStringLiteral("S,g,");
    while (pairs.size() * 2 <= GeneratedFilesPanel::kTextViewBytes + 10)
        pairs += QStringLiteral("\U0001F45F");
    const QByteArray utf16Pairs = "\xFF\xFE" + utf16(pairs + "\r\n", QStringEncoder::Utf16LE);
    QCOMPARE((GeneratedFilesPanel::kTextViewBytes - 2 - 8) % 4, 2);
    const struct {
        QByteArray content;
        QString last;  // the last character shown
        QString whole; // what the copy gives
    } files[] = {
        {bytes, QString(QChar(0xE9)), QString::fromUtf8(bytes)},
        {odd, QString(QChar(0xE9)), QString::fromUtf8(odd)},
        {utf16Pairs, QStringLiteral("\U0001F45F"), pairs + "\r\n"},
    };
    for (const auto& [content, last, whole] : files) {
        writeFile(QStringLiteral("AdwordsKeywords.csv"), content);
        QVERIFY(m_panel->LoadAdFiles(campaignFolder()));
        const QString shown = find<QPlainTextEdit>("txtKeywordCSV")->toPlainText();
        QVERIFY(!shown.isEmpty());
        QVERIFY2(shown.endsWith(last), qPrintable(shown.right(4)));
        QVERIFY(!find<QLabel>("lblPartialText0")->isHidden());
        m_panel->picCopyFile_Click(0);
        QCOMPARE(QApplication::clipboard()->text(), whole);
    }
}

void TestGeneratedFilesPanel::copyOfAFileGoneIsTold_data()
{
    QTest::addColumn<QString>("inItsPlace"); // "" for nothing, "folder" or "pipe"
    QTest::addColumn<QString>("reason");     // "" for the system's own words
    QTest::newRow("file removed") << QString() << QString();
    QTest::newRow("folder in its place") << "folder" << "it is a folder, not a file";
    QTest::newRow("named pipe in its place") << "pipe" << "it is a named pipe, not a file";
}

// Copying a partly shown file reads it again; when that fails the user is
// told, since a paste would otherwise give what the clipboard held before.
// What stands in the file's place since it was shown is not opened unless it
// is a regular file: a named pipe would hold the window for good.
void TestGeneratedFilesPanel::copyOfAFileGoneIsTold()
{
    QFETCH(QString, inItsPlace);
    QFETCH(QString, reason);
    QByteArray bytes;
    while (bytes.size() <= GeneratedFilesPanel::kTextViewBytes)
        bytes += "S,g,red shoes,Broad,0.5\r\n";
    writeFile(QStringLiteral("AdwordsKeywords.csv"), bytes);
    QVERIFY(m_panel->LoadAdFiles(campaignFolder()));
    QTRY_VERIFY(!m_panel->isBusy());
    const QString path = campaignFolder() + QStringLiteral("/AdwordsKeywords.csv");
    QVERIFY(QFile::remove(path));
    std::unique_ptr<NamedPipe> pipe;
    if (inItsPlace == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(path));
    if (inItsPlace == QLatin1String("pipe")) {
        pipe = std::make_unique<NamedPipe>(path);
        QVERIFY(pipe->isMade());
    }
    QApplication::clipboard()->setText(QStringLiteral("before"));

    ScriptedPrompter prompter;
    m_panel->picCopyFile_Click(0);
    if (pipe)
        QVERIFY2(!pipe->wasOpened(), "the named pipe was opened");
    QCOMPARE(prompter.messages.size(), 1);
    const platform::MessageRequest& shown = prompter.messages.first();
    QVERIFY2(shown.text.startsWith("The file could not be copied to the clipboard.\r\n\r\nCannot read "
                                   + QDir::toNativeSeparators(path) + ": " + reason),
             qPrintable(shown.text));
    QCOMPARE(shown.title, QStringLiteral("Copy File"));
    QCOMPARE(shown.icon, platform::MsgIcon::Critical);
    QVERIFY(errorLog().contains(QStringLiteral("picCopyFile_Error: Cannot read ") + QDir::toNativeSeparators(path)
                                + QStringLiteral(": ") + reason));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before"));

    // With the file back, the copy works and says nothing.
    pipe.reset();
    if (inItsPlace == QLatin1String("folder"))
        QVERIFY(QDir(path).removeRecursively());
    if (inItsPlace == QLatin1String("pipe"))
        QVERIFY(QFile::remove(path));
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
