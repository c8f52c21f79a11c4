#include "ScriptedPrompter.h"
#include "SettingsFixture.h"
#include "TestEnvironment.h"

#include "core/Globals.h"
#include "preferences/frmPreference.h"
#include "workspace/AdEditor.h"
#include "workspace/KeywordInputs.h"
#include "workspace/landing/LandingPageTab.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

// A text the program puts into a one-line box is shown from its start, also
// when it is longer than the box: every window that fills such boxes.
class tst_LineText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void filledBoxShowsTheStart_data();
    void filledBoxShowsTheStart();
};

namespace {

// Far longer than any box of the test windows.
QString longText(const QString& start)
{
    return start + QStringLiteral(" and then a long tail of words").repeated(8) + QStringLiteral(" END");
}

// The text position at the left edge of the box as it is drawn: 0 when the
// text is shown from its start, more when it is scrolled.
int positionAtLeftEdge(QLineEdit* box)
{
    box->grab(); // lays out the text at its scroll position
    return box->cursorPositionAt(QPoint(0, box->height() / 2));
}

// A window that fills its boxes, shown narrow, and the box under test.
struct Window {
    std::unique_ptr<QWidget> widget;
    QLineEdit* box = nullptr;
    std::unique_ptr<QObject> owner;
};

} // namespace

void tst_LineText::filledBoxShowsTheStart_data()
{
    QTest::addColumn<QString>("place");
    QTest::addColumn<QString>("box");
    QTest::newRow("Copy Ad: headline") << "copy ad" << "txtHeadline1";
    QTest::newRow("Copy Ad: description 1") << "copy ad" << "txtDescr11";
    QTest::newRow("Copy Ad: destination URL") << "copy ad" << "txtDestinationURL1";
    QTest::newRow("campaign opened: headline") << "ads loaded" << "txtHeadline0";
    QTest::newRow("campaign opened: display URL") << "ads loaded" << "txtDisplayURL2";
    QTest::newRow("campaign opened: URL template") << "keyword inputs loaded" << "txtURLTemplate";
    QTest::newRow("campaign opened: custom group") << "keyword inputs loaded" << "txtCustomGroup";
    QTest::newRow("campaign opened: landing page path") << "landing page path" << "txtLandingPagePath";
    QTest::newRow("Configuration opened: logo URL") << "configuration" << "txtLogoURL";
    QTest::newRow("Configuration opened: working folder") << "configuration" << "txtFolder";
    QTest::newRow("Configuration folder picker") << "configuration folder picker" << "txtFolder";
}

void tst_LineText::filledBoxShowsTheStart()
{
    QFETCH(QString, place);
    QFETCH(QString, box);

    TestEnvironment env;
    ScriptedPrompter prompter;
    BuildKeyPaths();
    const QString text = longText(QStringLiteral("{KeyWord: Winter Sale}"));
    Window w;

    if (place == QLatin1String("copy ad") || place == QLatin1String("ads loaded")) {
        w.widget = std::make_unique<QWidget>();
        auto editor = std::make_unique<AdEditor>(w.widget.get());
        std::array<AdSlotData, CampaignData::AdSlotCount> ads;
        ads[0] = {text, text, text, text, text};
        if (place == QLatin1String("ads loaded"))
            ads[2] = ads[0];
        editor->load(ads);
        if (place == QLatin1String("copy ad"))
            editor->CopyAd();
        w.owner = std::move(editor);
    } else if (place == QLatin1String("keyword inputs loaded")) {
        w.widget = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(w.widget.get());
        auto* keywordsPage = new QWidget;
        auto* adGroupsPage = new QWidget;
        layout->addWidget(keywordsPage);
        layout->addWidget(adGroupsPage);
        auto inputs = std::make_unique<KeywordInputs>(keywordsPage, adGroupsPage);
        CampaignData data;
        data.urlTemplate = text;
        data.customGroup = text;
        inputs->load(data);
        w.owner = std::move(inputs);
    } else if (place == QLatin1String("landing page path")) {
        auto tab = std::make_unique<LandingPageTab>();
        tab->SetUp();
        tab->setPagePath(QStringLiteral("/") + text);
        w.widget = std::move(tab);
    } else {
        const QString folder = env.path(text.left(120));
        QVERIFY(QDir().mkpath(folder));
        testsettings::savePreferences([&](clsPreference& preference) {
            preference.setLogoURL(text);
            preference.setWorkingFolder(place == QLatin1String("configuration") ? folder
                                                                               : env.path(QStringLiteral("work")));
        });
        if (place != QLatin1String("configuration"))
            prompter.folders.enqueue(folder);
        auto dialog = std::make_unique<frmPreference>();
        if (place != QLatin1String("configuration"))
            dialog->findChild<QPushButton*>(QStringLiteral("cmdOpenFolder"))->click();
        w.widget = std::move(dialog);
    }

    w.box = w.widget->findChild<QLineEdit*>(box);
    QVERIFY(w.box);
    // A box on a page of a tab control: that page in front.
    for (QWidget* child = w.box; child->parentWidget(); child = child->parentWidget())
        if (auto* pages = qobject_cast<QStackedWidget*>(child->parentWidget()))
            pages->setCurrentWidget(child);
    QVERIFY2(w.box->text().size() > 100, qPrintable(w.box->text()));
    w.widget->resize(500, w.widget->sizeHint().height());
    w.widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.widget.get()));
    QVERIFY2(w.box->fontMetrics().horizontalAdvance(w.box->text()) > 2 * w.box->width(),
             "the text must be longer than its box");
    QCOMPARE(positionAtLeftEdge(w.box), 0);
}

QTEST_MAIN(tst_LineText)
#include "tst_linetext.moc"
