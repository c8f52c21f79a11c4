// The main window under a real X server: what the offscreen platform hides
// (native windows destroyed and made again, the stacking of a message box
// and the window it belongs to).

#include "ModalWatcher.h"
#include "WorkingFolderFixture.h"
#include "XServer.h"

#include "platform/desktop/DesktopServices.h"
#include "workspace/frmMain.h"
#include "workspace/landing/LandingPageTab.h"
#include "workspace/landing/WebEngineSetup.h"

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QWebEngineView>
#include <QtTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {

xcb_connection_t* xConnection()
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// The mapped children of the root window, bottom of the stack first. With
// no window manager they are the top-level windows themselves.
QList<WId> mappedTopLevels()
{
    xcb_connection_t* c = xConnection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    QList<WId> mapped;
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr);
    if (!tree)
        return mapped;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
        xcb_get_window_attributes_reply_t* attributes =
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, children[i]), nullptr);
        if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE)
            mapped << WId(children[i]);
        std::free(attributes);
    }
    std::free(tree);
    return mapped;
}

WId inputFocus()
{
    xcb_connection_t* c = xConnection();
    xcb_get_input_focus_reply_t* focus = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
    const WId window = focus ? WId(focus->focus) : 0;
    std::free(focus);
    return window;
}

// The browser view of the landing page has joined the window once its
// render widget exists (the view hands its focus to it).
bool browserViewShown(const frmMain& w)
{
    const QWebEngineView* preview = w.landingPage()->preview();
    return preview && preview->focusProxy() && preview->focusProxy()->isVisible();
}

// The main window with the campaign "Spring" of the account "Shop", ready
// to be built, and the desktop's own message boxes.
struct BuildFixture : WorkingFolderFixture {
    platform::desktop::DesktopServices desktop{true};
    std::unique_ptr<frmMain> window;

    BuildFixture()
        : WorkingFolderFixture("[Shop]\r\nSpring\r\n")
    {
        campaign("Shop", "Spring");
        window = std::make_unique<frmMain>();
        desktop.setMainWindow(window.get()); // as the program does
    }

    // The inputs of a build that ends with the plain success message; typed
    // once the window has opened the campaign.
    void fill() const
    {
        frmMain& w = *window;
        w.findChild<QPlainTextEdit*>("txtBaseKeywords")->setPlainText("red shoes");
        w.findChild<QCheckBox*>("chkBroadMatch")->setChecked(true);
        w.findChild<QLineEdit*>("txtBroadBid")->setText("0.50");
        w.findChild<QLineEdit*>("txtURLTemplate")->setText("http://shop.example/?kw={mix}");
        w.findChild<QLineEdit*>("txtHeadline0")->setText("Buy {Base}");
    }
};

struct MessageSeen {
    bool seen = false;
    QString text;
    bool active = false;       // the application's active window
    bool focused = false;      // holds the X input focus
    bool topmost = false;      // top of the stack of mapped windows
    QWidget* owner = nullptr;  // the box's parent
    bool aboveOwner = false;   // its native window is the owner's transient
    WId mainWindow = 0;        // the main window's native window meanwhile
    bool viewShown = false;    // the browser view had joined the window
};

// Waits until a message box is up and the browser view has joined the main
// window (or 10 s passed), notes how the box stands, then presses its OK.
ModalWatcher<QMessageBox> answerMessageWhenSettled(frmMain& w, MessageSeen& seen)
{
    QElapsedTimer waited;
    waited.start();
    return ModalWatcher<QMessageBox>(
        [&w, &seen, waited](QMessageBox& box) {
            if (!box.isVisible())
                return false;
            seen.viewShown = browserViewShown(w);
            if (!seen.viewShown && waited.elapsed() < 10000)
                return false;
            // Let the window system settle what the last changes did.
            QTest::qWait(200);
            seen.seen = true;
            seen.text = box.text();
            seen.active = QApplication::activeWindow() == &box;
            seen.focused = inputFocus() == box.winId();
            const QList<WId> stack = mappedTopLevels();
            seen.topmost = !stack.isEmpty() && stack.constLast() == box.winId();
            seen.owner = box.parentWidget();
            seen.aboveOwner = box.windowHandle()->transientParent() == w.windowHandle();
            seen.mainWindow = w.winId();
            box.button(QMessageBox::Ok)->click();
            return true;
        },
        50);
}

} // namespace

class TestMainWindowX11 : public QObject
{
    Q_OBJECT

public:
    static void initMain()
    {
        XServer::startForThisProcess();
        WebEngineSetup::prepare();
    }

private Q_SLOTS:
    void nativeWindowKeptWhenTheLandingPageFirstShows_data();
    void nativeWindowKeptWhenTheLandingPageFirstShows();
    void buildEndsWithItsMessageOnTop_data();
    void buildEndsWithItsMessageOnTop();
};

void TestMainWindowX11::nativeWindowKeptWhenTheLandingPageFirstShows_data()
{
    QTest::addColumn<bool>("welcomeFirst");
    QTest::newRow("campaign open at start") << false;
    QTest::newRow("welcome page at start, then a new campaign") << true;
}

void TestMainWindowX11::nativeWindowKeptWhenTheLandingPageFirstShows()
{
    QM_REQUIRE_X();
    QFETCH(bool, welcomeFirst);
    WorkingFolderFixture f(welcomeFirst ? QByteArray() : QByteArray("[Shop]\r\nSpring\r\n"), !welcomeFirst);
    if (!welcomeFirst)
        f.campaign("Shop", "Spring");
    frmMain w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.isWelcomeShown(), welcomeFirst);
    const WId shown = w.winId();

    if (welcomeFirst) {
        QVERIFY(w.workspace().addNewCampaign("Default", "Spring"));
        QVERIFY(!w.isWelcomeShown());
    }
    w.tabMain()->setCurrentIndex(3);
    QTRY_VERIFY_WITH_TIMEOUT(browserViewShown(w), 10000);
    QTest::qWait(200);
    QCOMPARE(w.winId(), shown);
    QVERIFY(w.isVisible());
    QVERIFY(mappedTopLevels().contains(shown));
}

void TestMainWindowX11::buildEndsWithItsMessageOnTop_data()
{
    QTest::addColumn<bool>("inFront");
    QTest::newRow("program in front") << true;
    QTest::newRow("program not in front") << false;
}

void TestMainWindowX11::buildEndsWithItsMessageOnTop()
{
    QM_REQUIRE_X();
    QFETCH(bool, inFront);
    BuildFixture f;
    frmMain& w = *f.window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    if (inFront) {
        // What a window manager does with a new window.
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
    } else {
        QVERIFY(!QApplication::activeWindow());
    }
    f.fill();
    const WId shown = w.winId();
    QVERIFY(!w.landingPage()->preview()); // the build is the first to show the tab

    MessageSeen seen;
    const ModalWatcher<QMessageBox> answer = answerMessageWhenSettled(w, seen);
    w.toolAction(8)->trigger();

    QVERIFY(seen.seen);
    QCOMPARE(seen.text, QStringLiteral("Campaign files have been created successfully."));
    QVERIFY(seen.viewShown);
    QCOMPARE(seen.mainWindow, shown);
    QCOMPARE(seen.owner, &w);
    QVERIFY(seen.aboveOwner);
    QVERIFY(seen.topmost);
    QVERIFY(seen.active);
    QVERIFY(seen.focused);
    QCOMPARE(w.tabMain()->currentIndex(), 3);
    QCOMPARE(w.winId(), shown);
}

QTEST_MAIN(TestMainWindowX11)
#include "tst_mainwindow_x11.moc"
