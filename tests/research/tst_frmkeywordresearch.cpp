#include "research/window/frmKeywordResearch.h"
#include "settings/clsRegister.h"

#include "CaptionFit.h"
#include "InstalledCodeFiles.h"
#include "ResearchTestSupport.h"
#include "ScriptedHttpServer.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

using Server = ScriptedHttpServer;
using Reply = ScriptedHttpServer::Reply;
using platform::MsgIcon;

namespace {

const QString kServicePath = QStringLiteral("/api/adwords/o/v201809/TargetingIdeaService");

Reply ideas(int delayMs = 0)
{
    Reply reply = Server::answer(200, threeIdeas(), "text/xml");
    reply.delayMs = delayMs;
    return reply;
}

QStringList column(const QTreeWidget* list, int col)
{
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        texts.append(list->topLevelItem(row)->text(col));
    return texts;
}

// Counts how deep the busy pointer is shown.
class BusyDepth final : public platform::BusyPointer
{
public:
    BusyDepth() { platform::setBusyPointer(this); }
    ~BusyDepth() override { platform::setBusyPointer(nullptr); }
    void show() override { ++depth; }
    void restore() override { --depth; }
    int depth = 0;
};

// A click as the window system delivers it: queued, handled when the event
// loop next runs.
void postClick(QWidget* widget)
{
    const QPointF at = QRectF(widget->rect()).center();
    const QPointF global = widget->mapToGlobal(at);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        QCoreApplication::postEvent(widget, new QMouseEvent(type, at, global, Qt::LeftButton,
                                                            type == QEvent::MouseButtonPress ? Qt::LeftButton
                                                                                             : Qt::NoButton,
                                                            Qt::NoModifier));
}

// Counts the paint events a widget gets.
class PaintCounter final : public QObject
{
public:
    PaintCounter(QWidget* widget, int& paints)
        : m_paints(paints)
    {
        widget->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++m_paints;
        return QObject::eventFilter(watched, event);
    }

private:
    int& m_paints;
};

struct Added {
    QStringList keywords;
    QString kind; // the box: "Base" or "Extension"
};

// An open research window with a stored login, the code files, the token
// services and the research service on one loopback server.
struct Research {
    explicit Research(const Reply& service = ideas(), const QString& refreshStatus = "200")
    {
        putPreferences({{"YMID", "adwords.user@example.com"}});
        installCodeFiles(env);
        g_oRegister = std::make_unique<clsRegister>();
        g_oRegister->GetSettings();
        server.route("/token/oauthtoken.txt", Server::answer(refreshStatus.toInt(), "refresh-1"));
        server.route("/o/oauth2/token", Server::answer(200, "{\n \"access_token\" : \"acc-9\"\n}", "application/json"));
        server.route(kServicePath, service);
        m_window = std::make_unique<frmKeywordResearch>([this](const QStringList& keywords, KeywordBox box) {
            added.append({keywords, box == KeywordBox::Base ? QStringLiteral("Base") : QStringLiteral("Extension")});
        });
        m_window->show();
    }
    ~Research() { g_oRegister.reset(); }

    template <typename T>
    T* find(const char* name) const
    {
        return m_window->findChild<T*>(QString::fromLatin1(name));
    }
    QTreeWidget* list() const { return find<QTreeWidget>("lvwKeywords"); }
    void click(const char* name) const { QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton); }
    // Clicks Get and, when the access token is fetched, waits until the
    // fetch has ended, and no longer: the request it starts is still running.
    void get(const QString& seeds = QStringLiteral("shoes"))
    {
        find<QPlainTextEdit>("txtKeyword")->setPlainText(seeds);
        click("cmdGet");
        const QDeadlineTimer deadline(10000);
        while (m_window->isFetchingToken() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QVERIFY(!m_window->isFetchingToken());
    }
    bool idle() const
    {
        return find<QPushButton>("cmdGet")->isEnabled() && !find<QPushButton>("CmdStop")->isEnabled()
            && find<QProgressBar>("pbrProgress")->isHidden();
    }
    void clickColumn(int col) const
    {
        QHeaderView* header = list()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(col) + 5, header->height() / 2));
    }
    int requestsFor(const QString& path) const
    {
        return int(std::count_if(server.requests().begin(), server.requests().end(),
                                 [&](const Server::Request& r) { return r.path() == path; }));
    }
    int serviceRequests() const { return requestsFor(kServicePath); }

    TestEnvironment env;
    ScriptedPrompter prompter;
    Server server;
    LoopbackEndpoints endpoints{server};
    QList<Added> added;
    std::unique_ptr<frmKeywordResearch> m_window;
    frmKeywordResearch& window() const { return *m_window; }
};

} // namespace

class TestFrmKeywordResearch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { BuildKeyPaths(); }
    void opening();
    void getListsTheIdeas();
    void sorting();
    void addButtons();
    void stopDuringSlowReply();
    void getRightAfterStop();
    void refusals_data();
    void refusals();
    void noLoginStored();
    void requestWithoutPositiveKeywordStaysIdle();
    void noTargetsMeansGlobalVolumes();
    void deleteRows();
    void repeatedKeywordIsSkipped();
    void closingCancelsTheRequest();
    void columnsShareTheListWidth();
    void captionsFit_data();
    void captionsFit();
    void oneRequestPerClick_data();
    void oneRequestPerClick();
    void tokenFetchCanBeCancelled_data();
    void tokenFetchCanBeCancelled();
    void seedBoxKeys_data();
    void seedBoxKeys();
    void tabOrder_data();
    void tabOrder();
};

void TestFrmKeywordResearch::opening()
{
    g_sWorkingFolder = QString();
    Research t;
    QListWidget* countries = t.find<QListWidget>("lstCountry");
    QListWidget* languages = t.find<QListWidget>("lstLanguage");
    QVERIFY(countries->count() > 200);
    QVERIFY(languages->count() > 40);
    QList<QString> ticked;
    for (QListWidget* list : {countries, languages})
        for (int row = 0; row < list->count(); ++row)
            if (list->item(row)->checkState() == Qt::Checked)
                ticked.append(list->item(row)->text());
    QCOMPARE(ticked, (QStringList{"United States", "English"}));
    QCOMPARE(languages->currentItem()->text(), "English");
    // The ticked entries are in view as the window opens, far down the lists as they may be.
    for (QListWidget* list : {countries, languages}) {
        const auto found = list->findItems(list == countries ? "United States" : "English", Qt::MatchExactly);
        const QRect entry = list->visualItemRect(found.first());
        QVERIFY2(entry.top() >= 0 && entry.bottom() < list->viewport()->height(), qPrintable(list->objectName()));
    }

    auto* max = t.find<QComboBox>("cboMaxKw");
    QCOMPARE(max->count(), 10);
    QCOMPARE(max->itemText(0), "10");
    QCOMPARE(max->itemText(9), "100");
    QCOMPARE(max->currentText(), "50");
    QVERIFY(t.idle());
    QVERIFY(!t.find<QPushButton>("cmdDelete")->isEnabled());
    QCOMPARE(t.window().windowTitle(), "Keyword Research");
    QStringList headers;
    for (int col = 0; col < 7; ++col)
        headers.append(t.list()->headerItem()->text(col));
    QCOMPARE(headers, (QStringList{"Keywords", "Competition", "Monthly Searches", "Global Volume", "KEI",
                                   "HiddenValue", "HiddenGlobalValue"}));
    for (const int hidden : {3, 5, 6})
        QVERIFY(t.list()->isColumnHidden(hidden));

    // The research folder is made under the working folder.
    g_sWorkingFolder = t.env.path("work");
    frmKeywordResearch second([](const QStringList&, KeywordBox) {});
    QVERIFY(QFileInfo(t.env.path("work/KeywordResearch")).isDir());
    g_sWorkingFolder = QString();
}

void TestFrmKeywordResearch::getListsTheIdeas()
{
    Research t;
    t.get("shoes\nboots");
    QVERIFY(!t.find<QPushButton>("cmdGet")->isEnabled());
    QVERIFY(t.find<QPushButton>("CmdStop")->isEnabled());
    QVERIFY(t.find<QProgressBar>("pbrProgress")->isVisible());
    QTRY_VERIFY(t.idle());

    QCOMPARE(column(t.list(), 0), (QStringList{"red shoes", "boots", "shoes"}));
    QCOMPARE(column(t.list(), 1), (QStringList{"High", "Low", "Medium"}));
    QCOMPARE(column(t.list(), 2), (QStringList{"45,000", "900", "12,000"}));
    QCOMPARE(column(t.list(), 3), (QStringList{"45,000", "900", "12,000"}));
    QCOMPARE(column(t.list(), 5), (QStringList{"000000045000", "000000000900", "000000012000"}));
    QCOMPARE(t.list()->headerItem()->text(0), "Keywords (3)");
    QCOMPARE(t.window().Keywords().size(), 3);
    QCOMPARE(t.find<QLabel>("sbrStatusPanel1")->text(), QString());
    QVERIFY(t.find<QPushButton>("cmdDelete")->isEnabled());
    QVERIFY(t.prompter.messages.isEmpty());

    const Server::Request& sent = t.server.requests().last();
    QCOMPARE(sent.header("Authorization"), "Bearer acc-9");
    QVERIFY(sent.body.contains("<o:queries>boots</o:queries>"));
    QVERIFY(sent.body.contains("<cm:id>1000</cm:id>\r\n</o:languages>"));
    QVERIFY(sent.body.contains("<cm:id>2840</cm:id>\r\n</o:locations>"));
    QVERIFY(sent.body.contains("<cm:numberResults>50</cm:numberResults>"));

    // The token serves the next request as well.
    const qsizetype before = t.server.requests().size();
    t.get("boots");
    QTRY_VERIFY(t.idle());
    QCOMPARE(t.server.requests().size(), before + 1);
}

void TestFrmKeywordResearch::sorting()
{
    Research t;
    t.get();
    QTRY_COMPARE(t.list()->topLevelItemCount(), 3);
    // The list starts sorted by keyword, ascending: the first click turns it.
    t.clickColumn(0);
    QCOMPARE(column(t.list(), 0), (QStringList{"shoes", "red shoes", "boots"}));
    // Volumes sort as numbers through their padded twins.
    t.clickColumn(2);
    QCOMPARE(column(t.list(), 2), (QStringList{"900", "12,000", "45,000"}));
    QCOMPARE(t.window().sortKey(), 5);
    t.clickColumn(2);
    QCOMPARE(column(t.list(), 2), (QStringList{"45,000", "12,000", "900"}));
    t.clickColumn(0);
    QCOMPARE(column(t.list(), 0), (QStringList{"boots", "red shoes", "shoes"}));
    QCOMPARE(t.window().sortOrder(), Qt::AscendingOrder);
}

void TestFrmKeywordResearch::addButtons()
{
    Research t;
    t.get();
    QTRY_COMPARE(t.list()->topLevelItemCount(), 3);
    t.list()->topLevelItem(0)->setCheckState(0, Qt::Checked);
    t.list()->topLevelItem(2)->setCheckState(0, Qt::Checked);
    t.click("cmdAddToBase");
    QTest::mouseClick(t.find<QCheckBox>("chkSelectAll"), Qt::LeftButton);
    t.click("cmdAddToExtention");
    QTest::mouseClick(t.find<QCheckBox>("chkSelectAll"), Qt::LeftButton);
    t.click("cmdAddToBase");

    QCOMPARE(t.added.size(), 3);
    QCOMPARE(t.added.at(0).keywords, (QStringList{"red shoes", "shoes"}));
    QCOMPARE(t.added.at(0).kind, "Base");
    QCOMPARE(t.added.at(1).keywords, (QStringList{"red shoes", "boots", "shoes"}));
    QCOMPARE(t.added.at(1).kind, "Extension");
    QCOMPARE(t.added.at(2).keywords, QStringList());
}

void TestFrmKeywordResearch::stopDuringSlowReply()
{
    Research t(ideas(5000));
    t.get();
    QTRY_COMPARE(t.serviceRequests(), 1);
    t.click("CmdStop");
    QVERIFY(t.find<QPushButton>("cmdGet")->isEnabled());
    QTRY_COMPARE(t.prompter.messages.size(), 1);
    QCOMPARE(t.prompter.messages.first().text, "Operation cancelled by user.");
    QCOMPARE(t.prompter.messages.first().title, "Keyword Research");
    QVERIFY(t.idle());
    QCOMPARE(t.list()->topLevelItemCount(), 0);
}

void TestFrmKeywordResearch::getRightAfterStop()
{
    Research t(ideas(1500));
    t.get();
    QTRY_COMPARE(t.serviceRequests(), 1);
    t.click("CmdStop");
    // The stopped request ends while the new one is being made; the new one
    // keeps the window busy all the same.
    t.get();
    QCOMPARE(t.prompter.messages.size(), 1);
    QCOMPARE(t.prompter.messages.first().text, "Operation cancelled by user.");
    QVERIFY(!t.find<QPushButton>("cmdGet")->isEnabled());
    QVERIFY(t.find<QPushButton>("CmdStop")->isEnabled());
    QVERIFY(t.find<QProgressBar>("pbrProgress")->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(t.idle(), 5000);
    QCOMPARE(t.list()->topLevelItemCount(), 3);
    QCOMPARE(t.prompter.messages.size(), 1);
}

void TestFrmKeywordResearch::refusals_data()
{
    QTest::addColumn<QString>("seeds");
    QTest::addColumn<QString>("secondCountry");
    QTest::addColumn<QString>("refreshStatus");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("title");
    QTest::addColumn<MsgIcon>("icon");

    QTest::newRow("two countries") << "shoes" << "Canada" << "200" << "You can only select one country at a time."
                                   << "Keyword Builder" << MsgIcon::Information;
    QTest::newRow("seed box of blanks") << "   " << "" << "200" << "Please enter a Keyword." << "Keyword Research"
                                    << MsgIcon::Exclamation;
    QTest::newRow("no access token") << "shoes" << "" << "404" << "Error occured: Bad Authentication"
                                     << "Keyword Builder" << MsgIcon::Exclamation;
}

void TestFrmKeywordResearch::refusals()
{
    QFETCH(QString, seeds);
    QFETCH(QString, secondCountry);
    QFETCH(QString, refreshStatus);
    QFETCH(QString, message);
    QFETCH(QString, title);
    QFETCH(MsgIcon, icon);

    Research t(ideas(), refreshStatus);
    if (!secondCountry.isEmpty())
        t.find<QListWidget>("lstCountry")->findItems(secondCountry, Qt::MatchExactly).first()->setCheckState(Qt::Checked);
    t.get(seeds);
    QCOMPARE(t.prompter.messages.size(), 1);
    QCOMPARE(t.prompter.messages.first().text, message);
    QCOMPARE(t.prompter.messages.first().title, title);
    QCOMPARE(t.prompter.messages.first().icon, icon);
    QVERIFY(t.idle());
    QCOMPARE(t.serviceRequests(), 0);
}

void TestFrmKeywordResearch::noLoginStored()
{
    TestEnvironment env;
    ScriptedPrompter prompter;
    putPreferences({});
    showKeywordResearch(nullptr, [](const QStringList&, KeywordBox) {});
    QCOMPARE(prompter.messages.size(), 1);
    QCOMPARE(prompter.messages.first().text,
             "You did not set up your Google Adwords login details yet. To use 'Keyword Builder' function, you need "
             "to provide your Google Adwords details under the 'File/Setup' window.");
    QCOMPARE(prompter.messages.first().title, "Keyword Builder");
    QVERIFY(!QApplication::activeModalWidget());
}

void TestFrmKeywordResearch::requestWithoutPositiveKeywordStaysIdle()
{
    Research t;
    t.get("-cheap\n-free");
    QCOMPARE(t.prompter.messages.size(), 1);
    QCOMPARE(t.prompter.messages.first().title, "Positive Keywords");
    QVERIFY(t.idle());
    QCOMPARE(t.serviceRequests(), 0);
    QTest::qWait(100);
    QVERIFY(t.idle());
}

void TestFrmKeywordResearch::noTargetsMeansGlobalVolumes()
{
    Research t;
    for (const char* name : {"lstCountry", "lstLanguage"}) {
        QListWidget* list = t.find<QListWidget>(name);
        for (int row = 0; row < list->count(); ++row)
            list->item(row)->setCheckState(Qt::Unchecked);
    }
    t.get();
    QTRY_VERIFY(t.idle());
    QCOMPARE(t.list()->headerItem()->text(2), "Monthly Searches (Global)");
    QVERIFY(!t.server.requests().last().body.contains("SearchParameter\">\r\n<o:l"));
}

void TestFrmKeywordResearch::deleteRows()
{
    Research t;
    t.get();
    QTRY_COMPARE(t.list()->topLevelItemCount(), 3);
    QTreeWidget* list = t.list();

    // Nothing highlighted: nothing removed, no highlight made.
    list->clearSelection();
    t.prompter.answers.enqueue(platform::MsgResult::Yes);
    t.click("cmdDelete");
    QCOMPARE(t.prompter.messages.last().text, "Are you sure you want to remove selected Keywords?");
    QCOMPARE(t.prompter.messages.last().buttons, platform::MsgButtons::YesNo);
    QCOMPARE(list->topLevelItemCount(), 3);
    QVERIFY(list->selectedItems().isEmpty());

    // No: nothing removed.
    list->topLevelItem(0)->setSelected(true);
    t.prompter.answers.enqueue(platform::MsgResult::No);
    t.click("cmdDelete");
    QCOMPARE(list->topLevelItemCount(), 3);

    // Yes: the highlighted rows go, the row after the last one is highlighted.
    list->topLevelItem(1)->setSelected(true);
    t.prompter.answers.enqueue(platform::MsgResult::Yes);
    t.click("cmdDelete");
    QCOMPARE(column(list, 0), QStringList{"shoes"});
    QCOMPARE(list->selectedItems().size(), 1);

    list->topLevelItem(0)->setSelected(true);
    t.prompter.answers.enqueue(platform::MsgResult::Yes);
    t.click("cmdDelete");
    QCOMPARE(list->topLevelItemCount(), 0);
    QVERIFY(!t.find<QPushButton>("cmdDelete")->isEnabled());
}

void TestFrmKeywordResearch::repeatedKeywordIsSkipped()
{
    Research t;
    clsKWBuilder a;
    a.Keyword = "shoes";
    clsKWBuilder b;
    b.Keyword = "boots";
    t.window().PopulateKeywordsAdv({a, a, b});
    QCOMPARE(column(t.list(), 0), (QStringList{"shoes", "boots"}));
}

void TestFrmKeywordResearch::closingCancelsTheRequest()
{
    Research t(ideas(400));
    t.get();
    QTRY_COMPARE(t.serviceRequests(), 1);
    t.click("cmdClose");
    QVERIFY(t.window().isHidden());
    QTest::qWait(1500);
    QVERIFY(t.prompter.messages.isEmpty());
    QCOMPARE(t.list()->topLevelItemCount(), 0);
}

void TestFrmKeywordResearch::columnsShareTheListWidth()
{
    Research t;
    // The shares are of the list as the window opens, less room for its scroll bar.
    frmKeywordResearch window([](const QStringList&, KeywordBox) {});
    window.resize(900, 600);
    window.show();
    QTreeWidget* list = window.findChild<QTreeWidget*>("lvwKeywords");
    const int w = list->viewport()->width() - list->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    QVERIFY(w > 600);
    QCOMPARE(list->columnWidth(0), int(0.4 * w));
    for (const int shown : {1, 2})
        QCOMPARE(list->columnWidth(shown), int(0.2 * w));
    QVERIFY(list->columnWidth(4) >= int(0.2 * w));
    QVERIFY(QFontMetrics(list->header()->font()).horizontalAdvance("Monthly Searches") < list->columnWidth(2));
}

void TestFrmKeywordResearch::captionsFit_data()
{
    QTest::addColumn<bool>("leastSize");
    QTest::newRow("as the window opens") << false;
    QTest::newRow("shrunk to its least size") << true;
}

void TestFrmKeywordResearch::captionsFit()
{
    QFETCH(bool, leastSize);

    Research t;
    if (leastSize)
        t.window().resize(t.window().minimumSize().expandedTo(t.window().minimumSizeHint()));
    QCoreApplication::processEvents();
    QCOMPARE(cutCaptions(&t.window()), QStringList());
}

void TestFrmKeywordResearch::oneRequestPerClick_data()
{
    QTest::addColumn<bool>("closeToo");
    QTest::newRow("a second click on Get") << false;
    QTest::newRow("Close right after Get") << true;
}

void TestFrmKeywordResearch::oneRequestPerClick()
{
    QFETCH(bool, closeToo);

    Research t;
    BusyDepth busy;
    Reply slowRefresh = Server::answer(200, "refresh-1");
    slowRefresh.delayMs = 200;
    t.server.route("/token/oauthtoken.txt", slowRefresh);
    // While the token is fetched the window is busy: Get is off and the pointer says so.
    QList<std::pair<bool, int>> duringFetch;
    connect(&t.server, &Server::requestReceived, this, [&] {
        // (A request the client had sent before Close may arrive after it.)
        if (t.window().isVisible())
            duringFetch.append({t.find<QPushButton>("cmdGet")->isEnabled(), busy.depth});
    });

    t.find<QPlainTextEdit>("txtKeyword")->setPlainText("shoes");
    postClick(t.find<QPushButton>("cmdGet"));
    postClick(t.find<QPushButton>(closeToo ? "cmdClose" : "cmdGet"));
    QTest::qWait(1000);
    QTRY_VERIFY(t.idle());

    for (const auto& [getEnabled, depth] : duringFetch) {
        QVERIFY(!getEnabled);
        QCOMPARE(depth, 1);
    }
    if (closeToo) {
        // Close cancels the token fetch: no grant is asked for, and nothing
        // of the request reaches the closed window.
        QVERIFY(t.window().isHidden());
        QVERIFY(t.requestsFor("/token/oauthtoken.txt") <= 1);
        QCOMPARE(t.requestsFor("/o/oauth2/token"), 0);
        QCOMPARE(t.serviceRequests(), 0);
        QCOMPARE(t.list()->topLevelItemCount(), 0);
    } else {
        QCOMPARE(t.requestsFor("/token/oauthtoken.txt"), 1);
        QCOMPARE(t.requestsFor("/o/oauth2/token"), 1);
        QCOMPARE(duringFetch.size(), 3);
        QCOMPARE(t.serviceRequests(), 1);
        QCOMPARE(t.list()->topLevelItemCount(), 3);
    }
    QVERIFY(t.prompter.messages.isEmpty());
    QCOMPARE(busy.depth, 0);
}

void TestFrmKeywordResearch::tokenFetchCanBeCancelled_data()
{
    QTest::addColumn<QString>("silentPath");
    QTest::addColumn<QByteArray>("button");

    const QString refresh = QStringLiteral("/token/oauthtoken.txt");
    const QString grant = QStringLiteral("/o/oauth2/token");
    QTest::newRow("Stop while the refresh token comes") << refresh << QByteArray("CmdStop");
    QTest::newRow("Stop while the grant is asked for") << grant << QByteArray("CmdStop");
    QTest::newRow("Close while the refresh token comes") << refresh << QByteArray("cmdClose");
    QTest::newRow("Close while the grant is asked for") << grant << QByteArray("cmdClose");
}

void TestFrmKeywordResearch::tokenFetchCanBeCancelled()
{
    QFETCH(QString, silentPath);
    QFETCH(QByteArray, button);

    Research t;
    BusyDepth busy;
    t.server.route(silentPath, Server::misbehaving(Server::Behaviour::NoReply));
    int paints = 0;
    PaintCounter counter(&t.window(), paints);

    t.find<QPlainTextEdit>("txtKeyword")->setPlainText("shoes");
    postClick(t.find<QPushButton>("cmdGet"));
    QVERIFY(t.server.waitForRequests(silentPath.endsWith("token") ? 2 : 1));
    // The window is busy, and alive: it paints, and Stop and Close answer.
    QVERIFY(!t.find<QPushButton>("cmdGet")->isEnabled());
    QVERIFY(t.find<QPushButton>("CmdStop")->isEnabled());
    QCOMPARE(busy.depth, 1);
    const int before = paints;
    t.window().update();
    QTRY_VERIFY(paints > before);
    postClick(t.find<QPushButton>(button.constData()));
    QTRY_VERIFY_WITH_TIMEOUT(t.idle(), 2000);

    QCOMPARE(busy.depth, 0);
    QVERIFY(!t.window().isFetchingToken());
    QCOMPARE(t.window().isHidden(), button == "cmdClose");
    QCOMPARE(t.serviceRequests(), 0);
    QTest::qWait(200);
    QVERIFY(t.prompter.messages.isEmpty());
    if (button == "CmdStop") {
        // The next Get fetches afresh.
        t.server.route(silentPath, silentPath.endsWith("token")
                                       ? Server::answer(200, "{\n \"access_token\" : \"acc-9\"\n}", "application/json")
                                       : Server::answer(200, "refresh-1"));
        t.get();
        QTRY_COMPARE(t.list()->topLevelItemCount(), 3);
        QCOMPARE(t.server.requests().last().header("Authorization"), "Bearer acc-9");
    }
}

void TestFrmKeywordResearch::seedBoxKeys_data()
{
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("focused");

    QTest::newRow("Tab goes on to the languages") << Qt::KeyboardModifiers() << "lstLanguage";
    QTest::newRow("Shift+Tab goes back to Close") << Qt::KeyboardModifiers(Qt::ShiftModifier) << "cmdClose";
    QTest::newRow("Ctrl+Tab") << Qt::KeyboardModifiers(Qt::ControlModifier) << "txtKeyword";
}

void TestFrmKeywordResearch::seedBoxKeys()
{
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, focused);

    Research t;
    QVERIFY(QTest::qWaitForWindowActive(&t.window()));
    auto* seeds = t.find<QPlainTextEdit>("txtKeyword");
    seeds->setFocus();
    seeds->setPlainText("shoes");
    seeds->moveCursor(QTextCursor::End);
    // The key as the window system sends it, with its tab character.
    QTest::sendKeyEvent(QTest::Click, seeds, Qt::Key_Tab, QStringLiteral("\t"), modifiers);
    QCOMPARE(seeds->toPlainText(), "shoes");
    QCOMPARE(QApplication::focusWidget()->objectName(), focused);
}

void TestFrmKeywordResearch::tabOrder_data()
{
    QTest::addColumn<bool>("forwards");
    QTest::newRow("Tab") << true;
    QTest::newRow("Shift+Tab") << false;
}

void TestFrmKeywordResearch::tabOrder()
{
    QFETCH(bool, forwards);

    // The controls that take the focus in the idle window (Stop and Delete
    // are off), in reading order; the focus goes round.
    QStringList order{"txtKeyword", "lstLanguage", "lstCountry",   "cboMaxKw",          "chkSynonyms", "cmdGet",
                      "lvwKeywords", "chkSelectAll", "cmdAddToBase", "cmdAddToExtention", "cmdClose"};
    if (!forwards)
        std::reverse(order.begin() + 1, order.end());
    order.append("txtKeyword");

    Research t;
    QVERIFY(QTest::qWaitForWindowActive(&t.window()));
    t.find<QPlainTextEdit>("txtKeyword")->setFocus();
    QStringList visited{QApplication::focusWidget()->objectName()};
    for (qsizetype step = 1; step < order.size(); ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, forwards ? Qt::NoModifier : Qt::ShiftModifier);
        visited.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(visited, order);
    QCOMPARE(t.find<QPlainTextEdit>("txtKeyword")->toPlainText(), QString());
}

QTEST_MAIN(TestFrmKeywordResearch)
#include "tst_frmkeywordresearch.moc"
