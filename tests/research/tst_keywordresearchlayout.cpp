// The research window's layout as a real X server shows it: the offscreen
// platform gives windows sizes of its own.
#include "research/window/frmKeywordResearch.h"

#include "InstalledCodeFiles.h"
#include "ResearchTestSupport.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"
#include "XServer.h"

#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

namespace {

// The research window over the installed code files, shown as the Keyword
// menu shows it (at the size it picks itself), or at its least size.
struct Shown {
    explicit Shown(bool leastSize)
    {
        installCodeFiles(env);
        window = std::make_unique<frmKeywordResearch>([](const QStringList&, KeywordBox) {});
        window->show();
        if (leastSize)
            window->resize(window->minimumSizeHint());
        settle();
    }
    void settle() const
    {
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTest::qWait(100);
    }
    template <typename T>
    T* find(const char* name) const
    {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    QTreeWidget* list() const { return find<QTreeWidget>("lvwKeywords"); }
    // The rows of a list of many ideas that the list shows whole.
    int wholeRows() const
    {
        KeywordIdeas ideas;
        for (int i = 0; i < 60; ++i) {
            clsKWBuilder idea;
            idea.Keyword = QStringLiteral("idea %1").arg(i);
            ideas.append(idea);
        }
        window->PopulateKeywordsAdv(ideas);
        QTreeWidget* l = list();
        return l->viewport()->height() / l->visualItemRect(l->topLevelItem(0)).height();
    }
    // The empty height between the bottom of the buttons under the list and
    // the status bar.
    int bandUnderButtons() const
    {
        const QWidget* close = find<QPushButton>("cmdClose");
        const int buttonsBottom = close->mapTo(window.get(), QPoint(0, close->height())).y();
        return find<QStatusBar>("sbrStatus")->y() - buttonsBottom;
    }

    TestEnvironment env;
    ScriptedPrompter prompter;
    std::unique_ptr<frmKeywordResearch> window;
};

} // namespace

class TestKeywordResearchLayout : public QObject
{
    Q_OBJECT

public:
    static void initMain() { XServer::startForThisProcess(); }

private slots:
    void initTestCase() { BuildKeyPaths(); }
    void listTakesTheFreeHeight_data();
    void listTakesTheFreeHeight();
    void columnsFollowTheListWidth();
    void namesShowWhole_data();
    void namesShowWhole();
};

void TestKeywordResearchLayout::listTakesTheFreeHeight_data()
{
    QTest::addColumn<bool>("leastSize");
    QTest::addColumn<int>("atLeastRows");
    QTest::newRow("as the window opens") << false << 14;
    QTest::newRow("at its least size") << true << 4;
}

void TestKeywordResearchLayout::listTakesTheFreeHeight()
{
    QM_REQUIRE_X();
    QFETCH(bool, leastSize);
    QFETCH(int, atLeastRows);

    Shown t(leastSize);
    QVERIFY2(t.wholeRows() >= atLeastRows, qPrintable(QString::number(t.wholeRows())));
    QVERIFY2(t.bandUnderButtons() < t.find<QPushButton>("cmdClose")->height(),
             qPrintable(QString::number(t.bandUnderButtons())));

    // Every pixel the window grows by goes to the list.
    const int listHeight = t.list()->height();
    const int inputsHeight = t.find<QWidget>("Frame1")->height();
    t.window->resize(t.window->width(), t.window->height() + 200);
    t.settle();
    QCOMPARE(t.list()->height(), listHeight + 200);
    QCOMPARE(t.find<QWidget>("Frame1")->height(), inputsHeight);
}

void TestKeywordResearchLayout::columnsFollowTheListWidth()
{
    QM_REQUIRE_X();
    Shown t(false);
    QTreeWidget* list = t.list();
    for (const int wider : {0, 300, -150}) {
        t.window->resize(t.window->width() + wider, t.window->height());
        t.settle();
        const int w = list->contentsRect().width() - list->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        QCOMPARE(list->columnWidth(frmKeywordResearch::Keyword), int(0.4 * w));
        for (const int shown : {frmKeywordResearch::Competition, frmKeywordResearch::MonthlySearches})
            QCOMPARE(list->columnWidth(shown), int(0.2 * w));
        QVERIFY(list->header()->length() <= list->viewport()->width());
        QVERIFY(list->header()->length() >= w);
    }
}

void TestKeywordResearchLayout::namesShowWhole_data()
{
    QTest::addColumn<bool>("leastSize");
    QTest::newRow("as the window opens") << false;
    QTest::newRow("at its least size") << true;
}

void TestKeywordResearchLayout::namesShowWhole()
{
    QM_REQUIRE_X();
    QFETCH(bool, leastSize);

    Shown t(leastSize);
    for (const char* name : {"lstCountry", "lstLanguage"}) {
        QListWidget* list = t.find<QListWidget>(name);
        QVERIFY(list->count() > 40);
        QStringList cut;
        for (int row = 0; row < list->count(); ++row) {
            const QModelIndex index = list->model()->index(row, 0);
            const int room = qMin(list->visualRect(index).width(), list->viewport()->width());
            if (room < list->sizeHintForIndex(index).width())
                cut.append(list->item(row)->text());
        }
        QVERIFY2(cut.isEmpty(), qPrintable(QString::fromLatin1(name) + ": " + cut.join(", ")));
        QCOMPARE(list->horizontalScrollBar()->maximum(), 0);
    }
}

QTEST_MAIN(TestKeywordResearchLayout)
#include "tst_keywordresearchlayout.moc"
