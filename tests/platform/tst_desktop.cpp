#include "platform/desktop/DesktopServices.h"

#include "ModalWatcher.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QListView>
#include <QtTest>

using namespace platform;

class TestDesktop : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void servicesAreInstalledForTheirLifetime();
    void nestedWaitCursorsSetTheOverrideCursorOnce();
    void fileDialogFilters_data();
    void fileDialogFilters();
    void messagesShowTheirTextAsItIs();
    void boxesBelongToTheWindowInFront_data();
    void boxesBelongToTheWindowInFront();
};

void TestDesktop::servicesAreInstalledForTheirLifetime()
{
    Prompter* console = &prompter();
    {
        const desktop::DesktopServices unattended(false);
        QCOMPARE(&prompter(), console);
        QVERIFY(dynamic_cast<desktop::DesktopShellOpener*>(&shellOpener()));
    }
    {
        const desktop::DesktopServices attended(true);
        QVERIFY(dynamic_cast<desktop::MessageBoxPrompter*>(&prompter()));
    }
    QCOMPARE(&prompter(), console);
    QVERIFY(!dynamic_cast<desktop::DesktopShellOpener*>(&shellOpener()));
}

void TestDesktop::nestedWaitCursorsSetTheOverrideCursorOnce()
{
    const desktop::DesktopServices services(false);
    QVERIFY(!QGuiApplication::overrideCursor());
    {
        const WaitCursor outer;
        {
            const WaitCursor inner;
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        QVERIFY(QGuiApplication::overrideCursor());
    }
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestDesktop::fileDialogFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("filterIndex");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QString>("caption"); // of the chosen filter
    const QString keywordFiles =
        QStringLiteral("Text files (*.txt)|*.txt|Data files (*.dat)|*.dat|All Files (*.*)|*.*");
    QTest::newRow("one pattern") << keywordFiles << 1 << QStringList{"a.txt"} << "Text files (*.txt)";
    QTest::newRow("all files, also those without a point")
        << keywordFiles << 3 << QStringList{"README", "a.txt", "b.dat", "page.htm"} << "All Files (*)";
    QTest::newRow("two patterns") << QStringLiteral("HTML file (*.htm;*.html)|*.htm;*.html") << 1
                                  << QStringList{"page.htm"} << "HTML file (*.htm *.html)";
    QTest::newRow("parentheses that hold no pattern stay")
        << QStringLiteral("Keywords (UK)|*.txt") << 1 << QStringList{"a.txt"} << "Keywords (UK) (*.txt)";
    QTest::newRow("a description without its patterns")
        << QStringLiteral("Data|*.dat") << 1 << QStringList{"b.dat"} << "Data (*.dat)";
}

void TestDesktop::fileDialogFilters()
{
    QFETCH(QString, filter);
    QFETCH(int, filterIndex);
    QFETCH(QStringList, listed);
    QFETCH(QString, caption);
    TestEnvironment env;
    for (const char* name : {"README", "a.txt", "b.dat", "page.htm"})
        QVERIFY(TestEnvironment::writeAll(env.path(QStringLiteral("files/") + QString::fromLatin1(name)), "x"));
    const desktop::DesktopServices services(true);
    FileDialogRequest request;
    request.filter = filter;
    request.filterIndex = filterIndex;
    request.initialFolder = env.path(QStringLiteral("files"));

    QStringList shown;
    QString shownCaption;
    const ModalWatcher<QFileDialog> watch([&](QFileDialog& dialog) {
        if (const auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"))) {
            // The folder is read in the background.
            (void)QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) >= listed.size(); });
            QTest::qWait(50); // nothing more comes
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                shown << view->model()->index(row, 0, view->rootIndex()).data().toString();
        }
        shownCaption = dialog.selectedNameFilter();
        dialog.reject();
    });
    QCOMPARE(prompter().fileDialog(request), QString());
    shown.sort();
    QCOMPARE(shown, listed);
    QCOMPARE(shownCaption, caption);
}

// A message may hold names and texts from files and servers ("<b>Sale</b>",
// an error page): it is shown as the text it is, never as markup.
void TestDesktop::messagesShowTheirTextAsItIs()
{
    const desktop::DesktopServices services(true);
    const QString text = QStringLiteral("Are you sure you want to delete campaign '<b>Sale</b> & <i>more</i>' ?");
    QString shown;
    Qt::TextFormat format = Qt::AutoText;
    const ModalWatcher<QMessageBox> watch([&](QMessageBox& box) {
        if (const auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
            shown = label->text();
            format = label->textFormat();
        }
        box.done(QMessageBox::No);
    });
    QCOMPARE(MsgBox(text, MsgButtons::YesNo, MsgIcon::Question, QStringLiteral("Delete Campaign")), MsgResult::No);
    QCOMPARE(shown, text);
    QCOMPARE(format, Qt::PlainText);
}

// A box is the child of the window it belongs to, so the window system keeps
// it above that window: the active one; when the program is not in front, a
// modal dialog on screen, else the main window (a parentless box could end up
// under the main window, which then takes no clicks).
void TestDesktop::boxesBelongToTheWindowInFront_data()
{
    QTest::addColumn<QString>("active"); // "main", "other", "dialog" or "" for none
    QTest::addColumn<bool>("modalOpen");
    QTest::addColumn<bool>("mainShown");
    QTest::addColumn<bool>("fileDialog");
    QTest::addColumn<QString>("owner");
    QTest::newRow("main window in front") << "main" << false << true << false << "main";
    QTest::newRow("another window in front") << "other" << false << true << false << "other";
    QTest::newRow("modal dialog in front") << "dialog" << true << true << false << "dialog";
    QTest::newRow("program not in front") << "" << false << true << false << "main";
    QTest::newRow("program not in front, modal dialog open") << "" << true << true << false << "dialog";
    QTest::newRow("program not in front, main window not shown yet") << "" << false << false << false << "";
    QTest::newRow("file dialog, program not in front") << "" << false << true << true << "main";
    QTest::newRow("file dialog, modal dialog open") << "" << true << true << true << "dialog";
}

void TestDesktop::boxesBelongToTheWindowInFront()
{
    QFETCH(QString, active);
    QFETCH(bool, modalOpen);
    QFETCH(bool, mainShown);
    QFETCH(bool, fileDialog);
    QFETCH(QString, owner);
    TestEnvironment env;
    desktop::DesktopServices services(true);
    QWidget mainWindow;
    mainWindow.setObjectName(QStringLiteral("main"));
    services.setMainWindow(&mainWindow);
    QWidget other;
    other.setObjectName(QStringLiteral("other"));
    QDialog dialog(&mainWindow);
    dialog.setObjectName(QStringLiteral("dialog"));
    dialog.setModal(true);
    if (mainShown) {
        mainWindow.show();
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
    }
    if (modalOpen) {
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    }
    QWidget* const inFront = active.isEmpty() ? nullptr : active == QLatin1String("main") ? &mainWindow
                                                       : active == QLatin1String("other") ? static_cast<QWidget*>(&other)
                                                                                           : &dialog;
    QApplication::setActiveWindow(inFront);
    QCOMPARE(QApplication::activeWindow(), inFront);

    QString shownOwner = QStringLiteral("<not shown>");
    // The open modal dialog is not the box awaited.
    const ModalWatcher<QDialog> watch([&](QDialog& box) {
        if (&box == &dialog)
            return false;
        shownOwner = box.parentWidget() ? box.parentWidget()->objectName() : QString();
        box.done(0);
        return true;
    });
    if (fileDialog) {
        FileDialogRequest request;
        request.initialFolder = env.path(QString());
        prompter().fileDialog(request);
    } else {
        MsgBox(QStringLiteral("Campaign files have been created successfully."), MsgButtons::OK,
               MsgIcon::Information, QStringLiteral("Build Campaigns"));
    }
    QCOMPARE(shownOwner, owner);
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
