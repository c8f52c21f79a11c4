// Message boxes under a real X server on a laptop's screen, 1366x768: a
// message taller than the screen must keep its buttons on it, which only a
// window system with a screen of that size shows.

#include "ModalWatcher.h"
#include "WorkingFolderFixture.h"
#include "XServer.h"

#include "platform/desktop/DesktopServices.h"
#include "workspace/frmMain.h"
#include "workspace/landing/WebEngineSetup.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

#include <functional>
#include <memory>

using namespace platform;

namespace {

const QString kCrlf = QStringLiteral("\r\n");

// Lines of the list of a build that met more over-long headlines than it lists.
QString headlines(int count, int length)
{
    QString list;
    for (int i = 0; i < count; ++i) {
        const QString headline = QStringLiteral("Buy %1 red running shoes ").arg(i);
        list += kCrlf + headline + QString(length - headline.size(), QLatin1Char('x'));
    }
    return list;
}

QRect globalRect(const QWidget& widget)
{
    return QRect(widget.mapToGlobal(QPoint(0, 0)), widget.size());
}

QString describe(const QRect& r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// How a shown box stands on its screen.
struct BoxSeen {
    bool seen = false;
    QString text;              // the text the box shows
    QSize size;
    bool insideScreen = false; // the whole box within the available geometry
    QStringList offScreen;     // the buttons that are not, with where they are
    bool scrolls = false;      // the text is in a scroll area that scrolls
    bool textWhole = false;    // the text is laid out at its full height
    bool buttonFocused = false;
    QString plainBoxDiffers;   // a box of the toolkit's own with the same request, where it differs
};

// Notes how the box stands, then clicks the button that has answer's text
// (empty: the first one).
std::function<bool(QMessageBox&)> lookAndClick(BoxSeen& seen, const MessageRequest* compareWith, const QString& answer)
{
    return [&seen, compareWith, answer](QMessageBox& box) {
        if (!box.isVisible())
            return false;
        QTest::qWait(100);
        seen.seen = true;
        const QRect available = box.screen()->availableGeometry();
        seen.size = box.size();
        seen.insideScreen = available.contains(box.frameGeometry());
        const auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        seen.text = label ? label->text() : QString();
        if (label) {
            const int full = label->hasHeightForWidth() ? label->heightForWidth(label->width())
                                                        : label->sizeHint().height();
            seen.textWhole = label->height() >= full;
        }
        if (const auto* area = box.findChild<QScrollArea*>())
            seen.scrolls = area->widget() == label && area->verticalScrollBar()->maximum() > 0
                && area->verticalScrollBar()->isVisible();
        QAbstractButton* clicked = nullptr;
        for (QAbstractButton* button : box.buttons()) {
            if (!available.contains(globalRect(*button)))
                seen.offScreen << button->text() + QLatin1Char(' ') + describe(globalRect(*button));
            if (!clicked && (answer.isEmpty() || button->text().remove(QLatin1Char('&')) == answer))
                clicked = button;
        }
        seen.buttonFocused = box.focusWidget() && box.buttons().contains(qobject_cast<QAbstractButton*>(box.focusWidget()));
        if (compareWith) {
            // The same request in a box the toolkit lays out by itself.
            QMessageBox plain(box.parentWidget());
            plain.setTextFormat(Qt::PlainText);
            plain.setText(compareWith->text);
            plain.setWindowTitle(compareWith->title);
            plain.setIcon(box.icon());
            plain.setStandardButtons(box.standardButtons());
            plain.show();
            if (QTest::qWaitForWindowExposed(&plain)) {
                QTest::qWait(100);
                if (plain.size() != box.size())
                    seen.plainBoxDiffers = QStringLiteral("size %1x%2, not %3x%4")
                                               .arg(plain.width())
                                               .arg(plain.height())
                                               .arg(box.width())
                                               .arg(box.height());
                else if (plain.pos() != box.pos())
                    seen.plainBoxDiffers = QStringLiteral("at %1,%2, not %3,%4")
                                               .arg(plain.x())
                                               .arg(plain.y())
                                               .arg(box.x())
                                               .arg(box.y());
            } else {
                seen.plainBoxDiffers = QStringLiteral("not shown");
            }
            plain.hide();
        }
        if (clicked)
            QTest::mouseClick(clicked, Qt::LeftButton);
        return true;
    };
}

void expectFits(const BoxSeen& seen, const QString& text)
{
    QVERIFY(seen.seen);
    QCOMPARE(seen.text, text);
    QVERIFY2(seen.offScreen.isEmpty(), qPrintable("off the screen: " + seen.offScreen.join(QStringLiteral(", "))));
    QVERIFY2(seen.insideScreen, qPrintable(QStringLiteral("box of %1x%2").arg(seen.size.width()).arg(seen.size.height())));
    QVERIFY(seen.textWhole);
    QVERIFY(seen.buttonFocused);
}

} // namespace

class TestLongMessageX11 : public QObject
{
    Q_OBJECT

public:
    static void initMain()
    {
        XServer::startForThisProcess(QSize(1366, 768));
        WebEngineSetup::prepare();
    }

private Q_SLOTS:
    void messagesFitTheScreen_data();
    void messagesFitTheScreen();
    void buildListOfOverLongHeadlinesFits();
};

void TestLongMessageX11::messagesFitTheScreen_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<MsgButtons>("buttons");
    QTest::addColumn<QString>("answer"); // the button clicked
    QTest::addColumn<MsgResult>("result");
    QTest::addColumn<bool>("tall");      // taller than the screen as the toolkit lays it out
    QTest::newRow("short") << "Campaign files have been created successfully." << MsgButtons::OK << "OK"
                           << MsgResult::OK << false;
    QTest::newRow("short question")
        << "Are you sure you want to delete campaign 'Spring' ?" << MsgButtons::YesNo << "No" << MsgResult::No << false;
    QTest::newRow("twenty lines") << "Failures:" + headlines(20, 40) << MsgButtons::OK << "OK"
                                               << MsgResult::OK << false;
    QTest::newRow("many wrapped lines") << "Campaign files have been created successfully." + headlines(85, 120)
                                        << MsgButtons::OK << "OK" << MsgResult::OK << true;
    QTest::newRow("many short lines, three buttons")
        << "Save the changes?" + headlines(120, 30) << MsgButtons::YesNoCancel << "No" << MsgResult::No << true;
    QTest::newRow("long paragraphs, retry") << QStringList(40, "The server did not answer. " + QString(300, 'y').replace(
                                                                 QRegularExpression("y{10}"), "yyyyyyyyy "))
                                                   .join(kCrlf)
                                            << MsgButtons::RetryCancel << "Retry" << MsgResult::Retry << true;
}

// Every button of a box stays on the screen, whatever the length of its
// text; a text that fits is shown by the toolkit's own box as it is.
void TestLongMessageX11::messagesFitTheScreen()
{
    QM_REQUIRE_X();
    QFETCH(QString, text);
    QFETCH(MsgButtons, buttons);
    QFETCH(QString, answer);
    QFETCH(MsgResult, result);
    QFETCH(bool, tall);
    TestEnvironment env;
    desktop::DesktopServices desktop(true);
    QWidget mainWindow;
    mainWindow.resize(1000, 600);
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
    desktop.setMainWindow(&mainWindow);

    const MessageRequest request{text, QStringLiteral("Build Campaigns"), MsgIcon::Exclamation, buttons};
    BoxSeen seen;
    const ModalWatcher<QMessageBox> watch(lookAndClick(seen, tall ? nullptr : &request, answer));
    QCOMPARE(MsgBox(request.text, request.buttons, request.icon, request.title), result);
    expectFits(seen, text);
    QCOMPARE(seen.scrolls, tall);
    QVERIFY2(seen.plainBoxDiffers.isEmpty(), qPrintable(seen.plainBoxDiffers));
}

// The message that ends a build which met more over-long headlines than it
// lists: the list scrolls between the opening and closing words, and OK is
// on the screen for the mouse.
void TestLongMessageX11::buildListOfOverLongHeadlinesFits()
{
    QM_REQUIRE_X();
    WorkingFolderFixture f("[Shop]\r\nSpring\r\n");
    f.campaign("Shop", "Spring");
    desktop::DesktopServices desktop(true);
    frmMain w;
    desktop.setMainWindow(&w); // as the program does
    w.showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    QStringList base;
    for (int i = 0; i < 100; ++i)
        base << QStringLiteral("red running shoes %1 with cushioning for long distance road races and trails").arg(i);
    w.findChild<QPlainTextEdit*>("txtBaseKeywords")->setPlainText(base.join('\n'));
    w.findChild<QCheckBox*>("chkBroadMatch")->setChecked(true);
    w.findChild<QLineEdit*>("txtBroadBid")->setText("0.50");
    w.findChild<QLineEdit*>("txtURLTemplate")->setText("http://shop.example/?kw={mix}");
    w.findChild<QLineEdit*>("txtHeadline0")->setText("Buy {Base} online from our shop today");

    BoxSeen seen;
    const ModalWatcher<QMessageBox> watch(lookAndClick(seen, nullptr, QStringLiteral("OK")), 50);
    w.toolAction(8)->trigger();

    QVERIFY(seen.seen);
    QVERIFY2(seen.text.startsWith("Campaign files have been created successfully.\r\n\r\nHowever, following Titles are "
                                  "exceeded the 30 characters limit"),
             qPrintable(seen.text.left(200)));
    QVERIFY(seen.text.endsWith("\r\n\r\nPlease limit your keywords or combination to less than 30 characters."));
    QCOMPARE(seen.text.count(QStringLiteral("\r\nBuy red running shoes ")), 85);
    expectFits(seen, seen.text);
    QVERIFY(seen.scrolls);
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(TestLongMessageX11)
#include "tst_longmessage_x11.moc"
