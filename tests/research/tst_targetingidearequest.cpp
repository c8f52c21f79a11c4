#include "research/TargetingIdeaRequest.h"

#include "InstalledCodeFiles.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"

#include <QXmlStreamReader>
#include <QtTest>

using namespace TargetingIdeaRequest;

namespace {

// The window's lists as the installed code files fill them, with the
// given names ticked.
QList<ListEntry> entries(const QStringList& names, const QStringList& ticked)
{
    QList<ListEntry> list;
    for (const QString& name : names)
        list.append({name, ticked.contains(name)});
    return list;
}

Input input(const QString& seeds, const QStringList& languages = {"English"},
            const QStringList& countries = {"United States"})
{
    return {seeds, entries({"Arabic", "English", "German", "Japanese"}, languages),
            entries({"Canada", "Germany", "United States"}, countries), QStringLiteral("50")};
}

QString queryLines(const QStringList& queries)
{
    QString text;
    for (const QString& query : queries)
        text += QStringLiteral("<o:queries>") + query + QStringLiteral("</o:queries>\r\n");
    return text;
}

QStringList numbered(int count)
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines.append(QStringLiteral("kw%1").arg(i));
    return lines;
}

} // namespace

class TestTargetingIdeaRequest : public QObject
{
    Q_OBJECT

private slots:
    void requestText();
    void queries_data();
    void queries();
    void targets_data();
    void targets();
    void idsAreWholeNumbers_data();
    void idsAreWholeNumbers();
    void missingCodeFile();
};

void TestTargetingIdeaRequest::requestText()
{
    TestEnvironment env;
    ScriptedPrompter prompter;
    QVERIFY(installCodeFiles(env));
    const QByteArray golden = TestEnvironment::readAll(QFINDTESTDATA("fixtures/TargetingIdeaRequest.xml"));
    QVERIFY(!golden.isEmpty());

    const PostString request =
        GetPostStringGoogle(input("shoes\r\n-cheap\r\n[red shoes]\r\n\"blue shoes\"\r\nfish & chips"), "IDEAS");
    QCOMPARE(request.text.toUtf8(), golden);
    QVERIFY(!request.global);
    QVERIFY(prompter.messages.isEmpty());
}

void TestTargetingIdeaRequest::queries_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("positiveMessage");

    QTest::newRow("twelve lines give ten queries") << numbered(12) << queryLines(numbered(10)) << false;
    QStringList withBlanks = numbered(12);
    withBlanks[2] = QStringLiteral("   ");
    withBlanks[5] = QString();
    QTest::newRow("blank lines count among the first ten")
        << withBlanks << queryLines({"kw1", "kw2", "kw4", "kw5", "kw7", "kw8", "kw9", "kw10"}) << false;
    QStringList tenthBlank = numbered(12);
    tenthBlank[9] = QString();
    QTest::newRow("a blank tenth line lets the next line in")
        << tenthBlank << queryLines({"kw1", "kw2", "kw3", "kw4", "kw5", "kw6", "kw7", "kw8", "kw9", "kw11"}) << false;
    QTest::newRow("only blank lines") << QStringList{"", "  ", ""} << QString() << false;
    QTest::newRow("only negative lines") << QStringList{"-cheap", "-free"} << QString() << true;
    // A line of its own counts, even when it leaves no text to send.
    QTest::newRow("only a bare minus") << QStringList{"-"} << QString() << true;
    QTest::newRow("a negative among positives is sent without its -")
        << QStringList{"-[used]", "shoes"} << queryLines({"[used]", "shoes"}) << false;
    QTest::newRow("markup and quotes are escaped")
        << QStringList{"a<b>c", "rock 'n' roll", "say \"hi\" now"}
        << queryLines({"a&lt;b&gt;c", "rock &apos;n&apos; roll", "say &quot;hi&quot; now"}) << false;
    QTest::newRow("Latin-1 letters become references, other characters stay")
        << QStringList{QStringLiteral("caf\u00E9"), QStringLiteral("\u65E5\u672C\u8A9E"),
                       QStringLiteral("\u0441\u0430\u043F\u043E\u0433\u0438"), QStringLiteral("pizza \U0001F355")}
        << queryLines({"caf&#xE9;", QStringLiteral("\u65E5\u672C\u8A9E"),
                       QStringLiteral("\u0441\u0430\u043F\u043E\u0433\u0438"), QStringLiteral("pizza \U0001F355")})
        << false;
    QTest::newRow("characters XML cannot hold are left out")
        << QStringList{QStringLiteral("bell\u0007 shoes")} << queryLines({"bell shoes"}) << false;
    QTest::newRow("empty brackets give no query")
        << QStringList{"[]", "\"\"", "shoes"} << queryLines({"shoes"}) << false;
    QTest::newRow("blanks inside a line stay") << QStringList{" red shoes "} << queryLines({" red shoes "}) << false;
}

void TestTargetingIdeaRequest::queries()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, expected);
    QFETCH(bool, positiveMessage);

    TestEnvironment env;
    ScriptedPrompter prompter;
    QCOMPARE(SplitKeywordsGoogle(lines), expected);
    QCOMPARE(prompter.messages.size(), positiveMessage ? 1 : 0);
    if (positiveMessage) {
        QCOMPARE(prompter.messages.first().text, "Please enter at least one keyword as positive Keyword");
        QCOMPARE(prompter.messages.first().title, "Positive Keywords");
        QCOMPARE(prompter.messages.first().icon, platform::MsgIcon::Information);
    }
}

void TestTargetingIdeaRequest::targets_data()
{
    QTest::addColumn<QStringList>("languages");
    QTest::addColumn<QStringList>("countries");
    QTest::addColumn<QString>("blocks");
    QTest::addColumn<bool>("global");

    const QString languagesOpen = QStringLiteral(
        "<o:searchParameters xsi:type=\"o:LanguageSearchParameter\">\r\n<o:languages>\r\n");
    const QString languagesClose = QStringLiteral("</o:languages>\r\n</o:searchParameters>\r\n");
    const QString locationsOpen = QStringLiteral(
        "<o:searchParameters xsi:type=\"o:LocationSearchParameter\">\r\n<o:locations>\r\n");
    const QString locationsClose = QStringLiteral("</o:locations>\r\n</o:searchParameters>\r\n");

    QTest::newRow("nothing ticked: no blocks, global volumes") << QStringList() << QStringList() << QString() << true;
    QTest::newRow("languages in list order, no country")
        << QStringList{"Japanese", "Arabic"} << QStringList()
        << languagesOpen + "<cm:id>1019</cm:id>\r\n<cm:id>1005</cm:id>\r\n" + languagesClose << false;
    QTest::newRow("a country only") << QStringList() << QStringList{"Germany"}
                                    << locationsOpen + "<cm:id>2276</cm:id>\r\n" + locationsClose << false;
    QTest::newRow("a ticked language without an id leaves its block empty")
        << QStringList{"Klingon"} << QStringList() << languagesOpen + languagesClose << false;
}

void TestTargetingIdeaRequest::targets()
{
    QFETCH(QStringList, languages);
    QFETCH(QStringList, countries);
    QFETCH(QString, blocks);
    QFETCH(bool, global);

    TestEnvironment env;
    ScriptedPrompter prompter;
    QVERIFY(installCodeFiles(env));
    Input request = input("shoes", languages, countries);
    request.languages.append({QStringLiteral("Klingon"), languages.contains("Klingon")});
    const PostString post = GetPostStringGoogle(request, "IDEAS");

    const QString before = QStringLiteral("<o:queries>shoes</o:queries>\r\n</o:searchParameters>\r\n");
    const QString after = QStringLiteral("<o:ideaType>KEYWORD</o:ideaType>");
    const qsizetype start = post.text.indexOf(before);
    QVERIFY(start > 0);
    const qsizetype end = post.text.indexOf(after);
    QCOMPARE(post.text.mid(start + before.size(), end - start - before.size()), blocks);
    QCOMPARE(post.global, global);
}

void TestTargetingIdeaRequest::idsAreWholeNumbers_data()
{
    QTest::addColumn<QString>("country");
    QTest::addColumn<QString>("idLine");

    QTest::newRow("a whole number, blanks around it") << "Lemuria" << "<cm:id>2840</cm:id>\r\n";
    QTest::newRow("markup") << "Atlantis" << "";
    QTest::newRow("an ampersand") << "Avalon" << "";
    QTest::newRow("a negative number") << "Mu" << "";
    QTest::newRow("digits, then text") << "Thule" << "";
    QTest::newRow("a fraction") << "Hyperborea" << "";
}

void TestTargetingIdeaRequest::idsAreWholeNumbers()
{
    QFETCH(QString, country);
    QFETCH(QString, idLine);

    TestEnvironment env;
    ScriptedPrompter prompter;
    QVERIFY(TestEnvironment::writeAll(env.programDir() + "/LanguageNCode.rpt",
                                      "English=en\r\n[LanguageCode]\r\n[LanguageID]\r\nEnglish=1000\r\n"));
    QVERIFY(TestEnvironment::writeAll(env.programDir() + "/CountryNCodeGoogle.rpt",
                                      "Lemuria=LM\r\nAtlantis=AT\r\n[Country Code]\r\n[CountryID]\r\n"
                                      "Lemuria= 2840 \r\nAtlantis=28</cm:id><cm:id>40\r\nAvalon=28&40\r\nMu=-5\r\n"
                                      "Thule=2840abc\r\nHyperborea=12.5\r\n"));
    Input request = input("shoes", {"English"}, {});
    request.countries = {{country, true}};
    const PostString post = GetPostStringGoogle(request, "IDEAS");

    QVERIFY(post.text.contains("<o:locations>\r\n" + idLine + "</o:locations>"));
    QXmlStreamReader xml(post.text);
    while (!xml.atEnd())
        xml.readNext();
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    const QByteArray log = TestEnvironment::readAll(env.programDir() + "/Error.log");
    if (idLine.isEmpty())
        QVERIFY2(log.contains("frmKeywordResearch_GetPostStringGoogle error:  the CountryID of \"" + country.toUtf8()
                              + "\" is not a whole number"),
                 log.constData());
    else
        QVERIFY2(log.isEmpty(), log.constData());
}

void TestTargetingIdeaRequest::missingCodeFile()
{
    TestEnvironment env;
    ScriptedPrompter prompter;
    QVERIFY(QFile::copy(codeFileSource("LanguageNCode.rpt"), env.programDir() + "/LanguageNCode.rpt"));
    const PostString post = GetPostStringGoogle(input("shoes"), "IDEAS");
    QCOMPARE(post.text, QString());
    QCOMPARE(prompter.messages.size(), 1);
    QCOMPARE(prompter.messages.first().title, "Country Code File");
}

QTEST_GUILESS_MAIN(TestTargetingIdeaRequest)
#include "tst_targetingidearequest.moc"
