#include "workspace/KeywordInputs.h"

#include "generator/TemplateText.h"

#include "EveryFieldCampaign.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QtTest>

namespace {

// The two pages as the main window hands them over, with the inputs on them.
struct Fixture {
    TestEnvironment env;
    ScriptedPrompter prompter;
    QWidget keywordsPage;
    QWidget adGroupsPage;
    KeywordInputs inputs {&keywordsPage, &adGroupsPage};

    template <typename T = QWidget>
    T* find(const QString& name) const
    {
        T* widget = keywordsPage.findChild<T*>(name);
        if (!widget)
            widget = adGroupsPage.findChild<T*>(name);
        return widget;
    }
    QPlainTextEdit* base() const { return find<QPlainTextEdit>(QStringLiteral("txtBaseKeywords")); }
    QPlainTextEdit* ext() const { return find<QPlainTextEdit>(QStringLiteral("txtExtendKeywords")); }
    QAbstractButton* option(const QString& group, int index) const
    {
        return find<QAbstractButton>(group + QString::number(index));
    }
    CampaignData stored() const
    {
        CampaignData data;
        inputs.store(data);
        return data;
    }
};

// The campaign with every field set, with the keyword box's own cases (a
// no-break space, an empty line, no line break at the end) and the
// Capitalization tick the other way from the one the tests set.
CampaignData sampleCampaign()
{
    CampaignData data = campaignWithEveryField();
    data.baseKeywords = QStringLiteral("red shoes\r\nblue\u00A0shoes [cheap]\r\n\r\nlast");
    data.extensionKeywords = QStringLiteral("online\r\nsale\r\n");
    data.capitalization = false;
    return data;
}

} // namespace

class TestKeywordInputs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void captions();
    void tokenKeyNamesTheTokensABuildReplaces();
    void valuesAtWindowLoad();
    void loadStoreRoundTrip();
    void clearResetsStoredIndexes();
    void optionChoiceStoresIndex();
    void includePanels_data();
    void includePanels();
    void addKeywordsLine_data();
    void addKeywordsLine();
    void selectAll_data();
    void selectAll();
    void loadKeywordFile_data();
    void loadKeywordFile();
    void pasteTarget();
    void focusByName();
};

void TestKeywordInputs::captions()
{
    Fixture f;
    const QList<QPair<QString, QString>> buttons {
        {QStringLiteral("chkBroadMatch"), QStringLiteral("Broad Match:")},
        {QStringLiteral("chkPhraseMatch"), QStringLiteral("Phrase Match:")},
        {QStringLiteral("chkExactMatch"), QStringLiteral("Exact Match:")},
        {QStringLiteral("chkCapitalization"), QStringLiteral("Capitalization")},
        {QStringLiteral("optMixing2"), QStringLiteral("Extension Before and After Base")},
        {QStringLiteral("optMixing3"), QStringLiteral("Pair 1:1 Ratio")},
        {QStringLiteral("optReplaceSpace3"), QStringLiteral("Blank")},
        {QStringLiteral("optGrouping3"), QStringLiteral("Single Custom Group")},
        {QStringLiteral("optIncludeExtentKwyword1"), QStringLiteral("No")},
        {QStringLiteral("optCaputalization2"), QStringLiteral("None")},
        {QStringLiteral("optReplaceGroupSpace3"), QStringLiteral("Space")},
        {QStringLiteral("optExtraGroupText2"), QStringLiteral("Suffix")},
    };
    for (const auto& [name, caption] : buttons) {
        QAbstractButton* button = f.find<QAbstractButton>(name);
        QVERIFY2(button, qPrintable(name));
        QCOMPARE(button->text(), caption);
    }
    QStringList frames;
    for (QWidget* page : {&f.keywordsPage, &f.adGroupsPage})
        for (QGroupBox* box : page->findChildren<QGroupBox*>())
            frames << box->title();
    for (const char* title : {"Bid Cost Setting", "Landing URL Template Setting", "Mixing Options", "Token Key",
                              "Ad Group Options", "Include Base Keywords in Groups",
                              "Group Name Formating (Optional)"})
        QVERIFY2(frames.contains(QLatin1String(title)), title);
    QCOMPARE(frames.count(QStringLiteral("Token Key")), 2);

    QStringList labels;
    for (QWidget* page : {&f.keywordsPage, &f.adGroupsPage})
        for (QLabel* label : page->findChildren<QLabel*>())
            labels << label->text();
    for (const char* text : {"Base Keywords:", "Extention Keywords:", "URL Template:", "Replace spaces with:",
                             "Include Base Keywords:", "Include Extention Keywords:", "Capitalization:",
                             "Replace Spaces With:", "Add Extra Text To Group:", "{base} = Base Keyword",
                             "{title} = Ad Title", "This option is currently unavailable"})
        QVERIFY2(labels.contains(QLatin1String(text)), text);

    auto* sample = f.find<QLineEdit>(QStringLiteral("txtSampleURL"));
    QVERIFY(sample->isReadOnly());
    QVERIFY(sample->text().endsWith(QStringLiteral("/Page.asp?camp={campaign}&adg={adgroup}&kw={base}")));
    for (const char* name : {"txtBroadBid", "txtPhraseBid", "txtExactBid", "txtURLTemplate", "txtCustomGroup",
                             "txtExtraGroupText", "txtMaxCPC", "txtMaxContentCPC", "txtPlacementMaxCPC"})
        QVERIFY2(f.find<QLineEdit>(QLatin1String(name)), name);
}

// Both token keys list each token a build replaces once, with what it
// stands for, and nothing else.
void TestKeywordInputs::tokenKeyNamesTheTokensABuildReplaces()
{
    Fixture f;
    QStringList replaced;
    for (int kind = generator::TokLiteral + 1; kind < generator::TokKindCount; ++kind)
        replaced << generator::TokenText(generator::TokenKind(kind));
    replaced.sort();
    for (const char* name : {"contKeyworsToken0", "contKeyworsToken1"}) {
        auto* frame = f.find<QGroupBox>(QLatin1String(name));
        QVERIFY2(frame, name);
        QStringList named;
        for (QLabel* label : frame->findChildren<QLabel*>()) {
            const QStringList parts = label->text().split(QStringLiteral(" = "));
            QCOMPARE(parts.size(), 2);
            QVERIFY2(!parts.at(1).trimmed().isEmpty(), qPrintable(label->text()));
            named << parts.at(0);
        }
        named.sort();
        QCOMPARE(named, replaced);
    }
}

void TestKeywordInputs::valuesAtWindowLoad()
{
    Fixture f;
    CampaignData data;
    data.includeExtKeyword = Include(-5); // must be overwritten
    f.inputs.store(data);
    QCOMPARE(data.replaceSpace, ReplaceSpace::Hyphen);
    QCOMPARE(data.grouping, Grouping::ByBase);
    QCOMPARE(data.includeBaseKeyword, Include::Yes);
    QCOMPARE(data.includeExtKeyword, Include::No);
    QCOMPARE(data.capitalisation, Capitalisation::UpperCase);
    QCOMPARE(data.replaceGroupSpace, GroupSpace::Hyphen);
    QCOMPARE(data.extraGroupText, ExtraGroupText::None);
    QVERIFY(f.option(QStringLiteral("optIncludeExtentKwyword"), 1)->isChecked());
    QCOMPARE(f.inputs.optionIndex(QStringLiteral("optIncludeExtentKwyword")), 1);
    QCOMPARE(f.stored().mixing, Mixing::ExtensionBeforeBase);
    QVERIFY(f.inputs.includeBaseShown());
    QVERIFY(!f.inputs.includeExtShown());
}

void TestKeywordInputs::loadStoreRoundTrip()
{
    Fixture f;
    QSignalSpy edited(&f.inputs, &KeywordInputs::edited);
    f.option(QStringLiteral("optMixing"), 4)->click();
    f.find<QCheckBox>(QStringLiteral("chkCapitalization"))->setChecked(true);
    edited.clear();

    const CampaignData data = sampleCampaign();
    f.inputs.load(data);
    QCOMPARE(edited.count(), 0);

    // The box shows plain lines; the rest of the program sees CRLF.
    QCOMPARE(f.base()->toPlainText(), QStringLiteral("red shoes\nblue shoes [cheap]\n\nlast"));
    QCOMPARE(f.inputs.baseKeywords(), data.baseKeywords);
    QCOMPARE(f.inputs.extensionKeywords(), data.extensionKeywords);

    // The mixing option and the Capitalization tick are not part of what
    // is loaded: they keep what the editor showed.
    CampaignData expected = data;
    expected.mixing = Mixing::BaseOnly;
    expected.capitalization = true;
    // The ads and the landing page are not the inputs'.
    expected.ads = {};
    expected.landingPagePath.clear();
    CampaignData stored;
    f.inputs.store(stored);
    QCOMPARE(stored, expected);
    QCOMPARE(f.inputs.optionIndex(QStringLiteral("optReplaceGroupSpace")), 3);
    QVERIFY(f.inputs.includeBaseShown());
    QVERIFY(f.inputs.includeExtShown());

    // Neither load nor clear touches the mixing option or the Capitalization tick.
    f.inputs.clear();
    QCOMPARE(f.stored().mixing, Mixing::BaseOnly);
    QVERIFY(f.stored().capitalization);

    // An index without an option falls back to the group's value at window load.
    CampaignData damaged = data;
    damaged.grouping = Grouping(7);
    damaged.includeExtKeyword = Include(-1);
    f.inputs.load(damaged);
    f.inputs.store(stored);
    QCOMPARE(stored.grouping, Grouping::ByBase);
    QCOMPARE(stored.includeExtKeyword, Include::No);
    QCOMPARE(f.inputs.optionIndex(QStringLiteral("optGrouping")), 0);
}

void TestKeywordInputs::clearResetsStoredIndexes()
{
    Fixture f;
    f.inputs.load(sampleCampaign());
    f.inputs.clear();
    CampaignData stored;
    stored.urlTemplate.clear();
    f.inputs.store(stored);
    CampaignData expected;
    expected.includeExtKeyword = Include::Yes; // a new campaign starts with "Yes"
    QCOMPARE(stored, expected);
    QCOMPARE(f.inputs.optionIndex(QStringLiteral("optIncludeExtentKwyword")), 0);
    QCOMPARE(stored.urlTemplate, QStringLiteral("http://"));
}

void TestKeywordInputs::optionChoiceStoresIndex()
{
    Fixture f;
    QSignalSpy edited(&f.inputs, &KeywordInputs::edited);
    f.option(QStringLiteral("optExtraGroupText"), 2)->click();
    f.option(QStringLiteral("optReplaceSpace"), 1)->click();
    QCOMPARE(edited.count(), 2);
    // The mixing option is not stored: choosing it is no edit.
    f.option(QStringLiteral("optMixing"), 3)->click();
    QCOMPARE(edited.count(), 2);
    QCOMPARE(f.stored().mixing, Mixing::Pair);
    QCOMPARE(f.inputs.optionIndex(QStringLiteral("optMixing")), 3);

    CampaignData stored;
    f.inputs.store(stored);
    QCOMPARE(stored.extraGroupText, ExtraGroupText::Suffix);
    QCOMPARE(stored.replaceSpace, ReplaceSpace::Underscore);
    // Groups are exclusive.
    QVERIFY(!f.option(QStringLiteral("optExtraGroupText"), 0)->isChecked());
}

void TestKeywordInputs::includePanels_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<bool>("baseShown");
    QTest::addColumn<bool>("extShown");
    QTest::newRow("base") << 1 << 0 << true << false;
    QTest::newRow("extension") << 0 << 1 << false << true;
    QTest::newRow("mix") << 0 << 2 << true << true;
    QTest::newRow("custom after extension") << 1 << 3 << false << true;
    QTest::newRow("custom after mix") << 2 << 3 << true << true;
}

void TestKeywordInputs::includePanels()
{
    QFETCH(int, before);
    QFETCH(int, chosen);
    QFETCH(bool, baseShown);
    QFETCH(bool, extShown);

    // By the user's choice.
    Fixture f;
    f.option(QStringLiteral("optGrouping"), before)->click();
    f.option(QStringLiteral("optGrouping"), chosen)->click();
    QCOMPARE(f.inputs.includeBaseShown(), baseShown);
    QCOMPARE(f.inputs.includeExtShown(), extShown);
    // The label behind a hidden panel is what the stack shows.
    auto* panel = f.find(QStringLiteral("picIncludeExt"));
    auto* stack = qobject_cast<QStackedWidget*>(panel->parentWidget());
    QVERIFY(stack);
    if (extShown) {
        QCOMPARE(stack->currentWidget(), panel);
    } else {
        auto* label = qobject_cast<QLabel*>(stack->currentWidget());
        QVERIFY(label);
        QCOMPARE(label->text(), QStringLiteral("This option is currently unavailable"));
    }

    // By opening a campaign.
    Fixture g;
    CampaignData data;
    data.grouping = Grouping(before);
    g.inputs.load(data);
    data.grouping = Grouping(chosen);
    g.inputs.load(data);
    QCOMPARE(g.inputs.includeBaseShown(), baseShown);
    QCOMPARE(g.inputs.includeExtShown(), extShown);
}

void TestKeywordInputs::addKeywordsLine_data()
{
    QTest::addColumn<KeywordBox>("box");
    QTest::addColumn<bool>("intoBase");
    QTest::addColumn<QString>("boxText");
    QTest::addColumn<QString>("expected");
    const QString joined = QStringLiteral("shoes\r\nbootsred boots\r\nblue boots\r\n");
    const QString afterBreak = QStringLiteral("shoes\r\nred boots\r\nblue boots\r\n");
    const QString alone = QStringLiteral("red boots\r\nblue boots\r\n");
    QTest::newRow("Base") << KeywordBox::Base << true << "shoes\r\nboots" << joined;
    QTest::newRow("Extension") << KeywordBox::Extension << false << "shoes\r\nboots" << joined;
    QTest::newRow("box ending in a line break") << KeywordBox::Base << true << "shoes\r\n" << afterBreak;
    QTest::newRow("extension box ending in a line break") << KeywordBox::Extension << false << "shoes\r\n"
                                                          << afterBreak;
    QTest::newRow("empty box") << KeywordBox::Base << true << "" << alone;
    QTest::newRow("empty extension box") << KeywordBox::Extension << false << "" << alone;
}

void TestKeywordInputs::addKeywordsLine()
{
    QFETCH(KeywordBox, box);
    QFETCH(bool, intoBase);
    QFETCH(QString, boxText);
    QFETCH(QString, expected);

    Fixture f;
    CampaignData data;
    data.baseKeywords = boxText;
    data.extensionKeywords = boxText;
    f.inputs.load(data);
    QSignalSpy edited(&f.inputs, &KeywordInputs::edited);
    f.inputs.AddKeywordsLine({QStringLiteral("red boots"), QStringLiteral("blue boots")}, box);

    QCOMPARE(intoBase ? f.inputs.baseKeywords() : f.inputs.extensionKeywords(), expected);
    QCOMPARE(intoBase ? f.inputs.extensionKeywords() : f.inputs.baseKeywords(), boxText);
    QVERIFY(edited.count() > 0);
}

void TestKeywordInputs::selectAll_data()
{
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("selectsAll");
    QTest::newRow("Ctrl") << int(Qt::ControlModifier) << true;
    QTest::newRow("Ctrl+Shift") << int(Qt::ControlModifier | Qt::ShiftModifier) << false;
}

void TestKeywordInputs::selectAll()
{
    QFETCH(int, modifiers);
    QFETCH(bool, selectsAll);

    Fixture f;
    CampaignData data;
    data.baseKeywords = QStringLiteral("one\r\ntwo");
    data.extensionKeywords = QStringLiteral("three\r\nfour");
    f.inputs.load(data);
    for (QPlainTextEdit* box : {f.base(), f.ext()}) {
        const QString before = box->toPlainText();
        QTest::keyClick(box, Qt::Key_A, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(box->textCursor().selectedText().size() == before.size(), selectsAll);
        QCOMPARE(box->toPlainText(), before);
    }
}

void TestKeywordInputs::loadKeywordFile_data()
{
    QTest::addColumn<bool>("base");
    QTest::addColumn<QString>("chosen"); // "" cancels, "missing" names no file
    QTest::addColumn<bool>("replaced");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("text");
    const QByteArray utf8 = "caf\xC3\xA9 shoes\r\nboots\r\n";
    const QString text = QStringLiteral("caf\u00E9 shoes\r\nboots\r\n");
    QTest::newRow("base file") << true << "file" << true << utf8 << text;
    QTest::newRow("extension file") << false << "file" << true << utf8 << text;
    QTest::newRow("Windows-1252 file") << true << "file" << true << QByteArray("caf\xE9 shoes\r\nboots\r\n")
                                       << text;
    QTest::newRow("empty file") << true << "file" << true << QByteArray() << QString();
    QTest::newRow("cancelled") << true << "" << false << utf8 << text;
    QTest::newRow("missing file") << false << "missing" << false << utf8 << text;
    // Opens, but reading it fails: the process's own memory from address 0.
    QTest::newRow("read error") << true << "unreadable" << false << utf8 << text;
}

void TestKeywordInputs::loadKeywordFile()
{
    QFETCH(bool, base);
    QFETCH(QString, chosen);
    QFETCH(bool, replaced);
    QFETCH(QByteArray, content);
    QFETCH(QString, text);

    Fixture f;
    CampaignData data;
    data.baseKeywords = QStringLiteral("old base");
    data.extensionKeywords = QStringLiteral("old ext");
    f.inputs.load(data);

    const QString file = f.env.path(QStringLiteral("keywords.txt"));
    QVERIFY(TestEnvironment::writeAll(file, content));
    if (chosen == QLatin1String("file"))
        f.prompter.files.enqueue(file);
    else if (chosen == QLatin1String("missing"))
        f.prompter.files.enqueue(f.env.path(QStringLiteral("nothing.txt")));
    else if (chosen == QLatin1String("unreadable")) {
        const QString link = f.env.path(QStringLiteral("unreadable.txt"));
        QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), link));
        f.prompter.files.enqueue(link);
    } else
        f.prompter.files.enqueue(QString());

    if (base)
        f.inputs.LoadBaseKeywords();
    else
        f.inputs.LoadExtKeywords();

    QCOMPARE(f.prompter.fileRequests.size(), 1);
    const platform::FileDialogRequest& request = f.prompter.fileRequests.constFirst();
    QVERIFY(!request.save);
    QCOMPARE(request.initialFolder, f.env.path(QStringLiteral("home"))); // no working folder set
    QCOMPARE(request.filter,
             QStringLiteral("Text files (*.txt)|*.txt|Data files (*.dat)|*.dat|All Files (*.*)|*.*"));

    const QString& loaded = text;
    const QString target = base ? f.inputs.baseKeywords() : f.inputs.extensionKeywords();
    const QString other = base ? f.inputs.extensionKeywords() : f.inputs.baseKeywords();
    QCOMPARE(target, replaced ? loaded : (base ? data.baseKeywords : data.extensionKeywords));
    QCOMPARE(other, base ? data.extensionKeywords : data.baseKeywords);

    // A file that cannot be read is named with the reason, and logged.
    const bool unreadable = chosen == QLatin1String("unreadable");
    QCOMPARE(f.prompter.messages.size(), unreadable ? 1 : 0);
    if (unreadable) {
        const QString why = QStringLiteral("Cannot read ")
            + QDir::toNativeSeparators(f.env.path(QStringLiteral("unreadable.txt"))) + QStringLiteral(": ");
        QVERIFY2(f.prompter.messages.first().text.startsWith(why), qPrintable(f.prompter.messages.first().text));
        QCOMPARE(f.prompter.messages.first().title, QStringLiteral("Open File"));
        const QString log = QString::fromUtf8(TestEnvironment::readAll(f.env.programDir() + "/Error.log"));
        QVERIFY2(log.contains(QStringLiteral("LoadBaseKeywords_Error: ") + why), qPrintable(log));
    }
}

void TestKeywordInputs::pasteTarget()
{
    Fixture f;
    QCOMPARE(f.inputs.pasteTarget(), nullptr);
    QTest::mouseClick(f.base()->viewport(), Qt::LeftButton);
    QCOMPARE(f.inputs.pasteTarget(), f.base());
    // A change of the extension box's text registers it; a click does not.
    QTest::keyClicks(f.ext(), QStringLiteral("x"));
    QCOMPARE(f.inputs.pasteTarget(), f.ext());
    QTest::mouseClick(f.base()->viewport(), Qt::LeftButton);
    QTest::mouseClick(f.ext()->viewport(), Qt::LeftButton);
    QCOMPARE(f.inputs.pasteTarget(), f.base());
}

void TestKeywordInputs::focusByName()
{
    Fixture f;
    f.keywordsPage.show();
    QVERIFY(QTest::qWaitForWindowActive(&f.keywordsPage));
    for (const char* name : {"txtURLTemplate", "txtBaseKeywords", "chkBroadMatch", "txtExactBid"}) {
        QVERIFY(f.inputs.focusControl(QLatin1String(name)));
        QCOMPARE(QApplication::focusWidget(), f.inputs.control(QLatin1String(name)));
    }
    f.option(QStringLiteral("optGrouping"), 2)->click();
    f.adGroupsPage.show();
    f.adGroupsPage.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.adGroupsPage));
    QVERIFY(f.inputs.focusControl(QStringLiteral("optGrouping")));
    QCOMPARE(QApplication::focusWidget(), f.option(QStringLiteral("optGrouping"), 2));
    QVERIFY(!f.inputs.focusControl(QStringLiteral("txtNoSuchBox")));
    QCOMPARE(f.inputs.optionIndex(QStringLiteral("optNoSuchGroup")), -1);
}

QTEST_MAIN(TestKeywordInputs)
#include "tst_keywordinputs.moc"
