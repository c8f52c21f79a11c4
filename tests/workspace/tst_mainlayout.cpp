#include "workspace/DockingPane.h"
#include "workspace/MainLayout.h"
#include "workspace/PaneRow.h"

#include <QApplication>
#include <QLineEdit>
#include <QTabBar>
#include <QVBoxLayout>
#include <QToolButton>
#include <QtTest>

namespace {

// The main window's columns with stand-ins for the tree panel and the main area.
struct Row {
    QWidget window;
    QWidget* picLeft = new QWidget;
    QLineEdit* mainArea = new QLineEdit;
    QLineEdit* elsewhere = nullptr;
    PaneRow* row = nullptr;

    explicit Row(int width)
    {
        picLeft->setObjectName(QStringLiteral("picLeft"));
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        row = new PaneRow(picLeft, mainArea, &window);
        layout->addWidget(row);
        window.resize(width, 500);
        // As in the main window, the focus starts in the main area.
        mainArea->setFocus();
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qWarning("window not exposed");
    }

    int px(int twips) const { return MainLayout::toPixels(twips, row->logicalDpiX()); }
    DockingPane* pane() const { return row->tabLeft(); }
    QWidget* flyout() const { return row->findChild<QWidget*>(QStringLiteral("tabLeftFlyout")); }
};

// Pixel positions come from twips rounded to whole pixels.
bool near(int actual, int expected)
{
    return qAbs(actual - expected) <= 1;
}

} // namespace

class tst_MainLayout : public QObject
{
    Q_OBJECT

private slots:
    void columns_data();
    void columns();
    void twips_data();
    void twips();
    void pinnedPaneAndMainAreaFollowEveryResize_data();
    void pinnedPaneAndMainAreaFollowEveryResize();
    void unpinnedPaneFoldsAndSlidesOut();
    void pinButtonTogglesAndSignals();
    void focusStaysWhereItWasAcrossPinning_data();
    void focusStaysWhereItWasAcrossPinning();
};

void tst_MainLayout::columns_data()
{
    QTest::addColumn<bool>("pinned");
    QTest::addColumn<int>("folded");
    QTest::addColumn<int>("splitter");
    QTest::addColumn<int>("pane");
    QTest::addColumn<int>("content");
    QTest::addColumn<int>("splitterLeft");
    QTest::addColumn<int>("mainLeft");
    QTest::newRow("pinned") << true << 330 << 60 << 2500 << 2475 << 2510 << 2575;
    QTest::newRow("pinned, the folded width does not count") << true << 900 << 60 << 2500 << 2475 << 2510 << 2575;
    QTest::newRow("unpinned") << false << 330 << 60 << 330 << 2800 << 340 << 405;
    QTest::newRow("unpinned, content 2800 whatever the pane") << false << 900 << 90 << 900 << 2800 << 910 << 1005;
}

void tst_MainLayout::columns()
{
    QFETCH(bool, pinned);
    QFETCH(int, folded);
    QFETCH(int, splitter);
    const MainLayout::Columns c = MainLayout::columns(pinned, folded, splitter);
    QTEST(c.paneWidth, "pane");
    QTEST(c.contentWidth, "content");
    QTEST(c.splitterLeft, "splitterLeft");
    QTEST(c.mainLeft, "mainLeft");
}

void tst_MainLayout::twips_data()
{
    QTest::addColumn<int>("twips");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("pixels");
    QTest::newRow("an inch") << 1440 << 96 << 96;
    QTest::newRow("pinned pane at 96 dpi") << 2500 << 96 << 167;
    QTest::newRow("pinned pane at 120 dpi") << 2500 << 120 << 208;
    QTest::newRow("unpinned content at 144 dpi") << 2800 << 144 << 280;
}

void tst_MainLayout::twips()
{
    QFETCH(int, twips);
    QFETCH(int, dpi);
    QFETCH(int, pixels);
    QCOMPARE(MainLayout::toPixels(twips, dpi), pixels);
    QVERIFY(qAbs(MainLayout::toTwips(pixels, dpi) - twips) * dpi <= 1440);
}

void tst_MainLayout::pinnedPaneAndMainAreaFollowEveryResize_data()
{
    QTest::addColumn<QList<int>>("widths");
    QTest::newRow("wider") << QList<int>{700, 1200};
    QTest::newRow("narrower") << QList<int>{1200, 650};
    QTest::newRow("maximised and back") << QList<int>{800, 1600, 800};
}

void tst_MainLayout::pinnedPaneAndMainAreaFollowEveryResize()
{
    QFETCH(QList<int>, widths);
    Row r(widths.first());
    for (int width : widths) {
        r.window.resize(width, 500);
        QTRY_COMPARE(r.row->width(), width);
        QVERIFY(r.pane()->isPinned());
        QVERIFY(near(r.pane()->width(), r.px(2500)));
        QVERIFY(near(r.picLeft->width(), r.px(2475)));
        QVERIFY(near(r.row->splitter()->x(), r.px(2510)));
        const int mainLeft = r.row->splitter()->geometry().right() + 1 + r.px(5);
        QVERIFY(near(r.mainArea->x(), mainLeft));
        QVERIFY2(near(r.mainArea->width(), width - mainLeft - r.px(50)), qPrintable(QString::number(width)));
    }
}

void tst_MainLayout::unpinnedPaneFoldsAndSlidesOut()
{
    Row r(1000);
    const int pinnedMainLeft = r.mainArea->x();
    r.pane()->setPinned(false);
    QTRY_VERIFY(r.mainArea->x() < pinnedMainLeft);
    QVERIFY(near(r.pane()->width(), r.pane()->foldedWidth()));
    QVERIFY(near(r.row->splitter()->x(), r.pane()->width() + r.px(10)));
    QVERIFY(!r.pane()->isContentShown());
    QVERIFY(!r.picLeft->isVisible());
    QVERIFY(near(r.mainArea->width(), 1000 - r.mainArea->x() - r.px(50)));

    // Pointing at the folded tab slides the content out over the main area.
    auto* tab = r.pane()->findChild<QTabBar*>(QStringLiteral("tabLeftFolded"));
    QVERIFY(tab && tab->isVisible());
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(tab, &enter);
    QVERIFY(r.pane()->isContentShown());
    QVERIFY(r.picLeft->isVisible());
    QVERIFY(near(r.picLeft->width(), r.px(2800)));
    QCOMPARE(r.flyout()->x(), r.pane()->geometry().right() + 1);
    QVERIFY(r.flyout()->geometry().intersects(r.mainArea->geometry()));
    // The main area does not move for it.
    const int unpinnedMainLeft = r.mainArea->x();

    // Leaving it, with the focus elsewhere, puts it away.
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(r.flyout(), &leave);
    QTRY_VERIFY_WITH_TIMEOUT(!r.pane()->isContentShown(), 10000);
    QCOMPARE(r.mainArea->x(), unpinnedMainLeft);

    // Pinned again, the columns are as before.
    r.pane()->setPinned(true);
    QTRY_COMPARE(r.mainArea->x(), pinnedMainLeft);
    QVERIFY(near(r.pane()->width(), r.px(2500)));
    QVERIFY(near(r.picLeft->width(), r.px(2475)));
    QVERIFY(r.picLeft->isVisible());
}

void tst_MainLayout::pinButtonTogglesAndSignals()
{
    Row r(1000);
    QSignalSpy pinned(r.pane(), &DockingPane::Pinned);
    QSignalSpy unpinned(r.pane(), &DockingPane::UnPinned);
    auto* pin = r.row->findChild<QToolButton*>(QStringLiteral("tabLeftPin"));
    QVERIFY(pin);
    pin->click();
    QVERIFY(!r.pane()->isPinned());
    QCOMPARE(unpinned.size(), 1);
    // The pin button travels with the content into the sliding panel.
    r.pane()->slideOut();
    QVERIFY(pin->isVisible());
    pin->click();
    QVERIFY(r.pane()->isPinned());
    QCOMPARE(pinned.size(), 1);
    QVERIFY(!r.flyout()->isVisible());
    // Setting the state it has raises nothing.
    r.pane()->setPinned(true);
    QCOMPARE(pinned.size(), 1);
}

// Moving the content between the pane and its sliding panel must not hand
// the keyboard focus to another widget of the window.
void tst_MainLayout::focusStaysWhereItWasAcrossPinning_data()
{
    QTest::addColumn<QString>("focusOn"); // "content", "pin" or "main area"
    QTest::addColumn<bool>("slidOut");    // the content is in view once unpinned
    QTest::newRow("focus in the pane's content") << "content" << true;
    QTest::newRow("focus on the pin button") << "pin" << true;
    QTest::newRow("focus in the main area") << "main area" << false;
}

void tst_MainLayout::focusStaysWhereItWasAcrossPinning()
{
    QFETCH(QString, focusOn);
    QFETCH(bool, slidOut);
    Row r(1000);
    auto* inPane = new QLineEdit(r.picLeft); // the tree's stand-in
    inPane->show();
    QVERIFY(QTest::qWaitForWindowActive(&r.window));
    auto* pin = r.row->findChild<QToolButton*>(QStringLiteral("tabLeftPin"));
    QWidget* focused = focusOn == QLatin1String("content") ? static_cast<QWidget*>(inPane)
        : focusOn == QLatin1String("pin")                  ? static_cast<QWidget*>(pin)
                                                           : r.mainArea;
    focused->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), focused);

    pin->click();
    QVERIFY(!r.pane()->isPinned());
    QCOMPARE(QApplication::focusWidget(), focused);
    QCOMPARE(r.pane()->isContentShown(), slidOut);
    if (slidOut) {
        // Beside the folded pane, as when it slides out for the pointer.
        QTRY_COMPARE(r.flyout()->x(), r.pane()->geometry().right() + 1);
        QVERIFY(focused->isVisible());
    }

    r.pane()->setPinned(true);
    QCOMPARE(QApplication::focusWidget(), focused);
    QVERIFY(focused->isVisible());

    // Kept out for the focus, the content goes once the focus is elsewhere.
    if (slidOut) {
        pin->click();
        QVERIFY(r.pane()->isContentShown());
        r.mainArea->setFocus(Qt::MouseFocusReason);
        QVERIFY(!r.pane()->isContentShown());
    }
}

QTEST_MAIN(tst_MainLayout)
#include "tst_mainlayout.moc"
