#include "core/modDSSock.h"

#include <QtTest>

using namespace modDSSock;

class TestDSSock : public QObject
{
    Q_OBJECT

private slots:
    void urlEncode_data();
    void urlEncode();
    void htmlEncode_data();
    void htmlEncode();
    void parseArrayString();
    void getValueText_data();
    void getValueText();
    void parseString_data();
    void parseString();
    void stripHTML_data();
    void stripHTML();
    void getBaseURL_data();
    void getBaseURL();
};

void TestDSSock::urlEncode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("full");
    QTest::addColumn<QString>("lite");
    QTest::newRow("percent and blank") << "50% off" << "50%25%20off" << "50%%20off";
    QTest::newRow("plus and equals") << "a+b=c" << "a%2Bb%3Dc" << "a%2Bb%3Dc";
    QTest::newRow("existing code encoded again") << "%20" << "%2520" << "%20";
    QTest::newRow("lite keeps four") << "!$%^" << "%21%24%25%5E" << "!$%^";
    QTest::newRow("copied characters") << "aZ09.-_*@\u00e9" << "aZ09.-_*@\u00e9" << "aZ09.-_*@\u00e9";
    QTest::newRow("whole table")
        << "~!#$%^&()+`={}|[]\\:'\";<>?,/ "
        << "%7E%21%23%24%25%5E%26%28%29%2B%60%3D%7B%7D%7C%5B%5D%5C%3A%27%22%3B%3C%3E%3F%2C%2F%20"
        << "%7E!%23$%^%26%28%29%2B%60%3D%7B%7D%7C%5B%5D%5C%3A%27%22%3B%3C%3E%3F%2C%2F%20";
}

void TestDSSock::urlEncode()
{
    QFETCH(QString, text);
    QFETCH(QString, full);
    QFETCH(QString, lite);
    QCOMPARE(URLEncode(text), full);
    QCOMPARE(URLEncodeLite(text), lite);
}

void TestDSSock::htmlEncode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("latin") << QString::fromUtf8("Caf\u00e9 & co") << "Caf&#xE9; &amp; co";
    QTest::newRow("markup escaped") << "<b>x</b>" << "&lt;b&gt;x&lt;/b&gt;";
    QTest::newRow("beyond 8 bits kept as reference") << QString::fromUtf8("\u20ac 5 \u4e2d") << "&#x20AC; 5 &#x4E2D;";
    QTest::newRow("surrogate pair is one code point") << QString::fromUtf8("\U0001F600") << "&#x1F600;";
    QTest::newRow("forbidden controls dropped, tab and line ends kept")
        << QStringLiteral("a\u0001b\tc\r\nd") + QChar(0) + QStringLiteral("e") << "ab\tc\r\nde";
    QTest::newRow("lone surrogate dropped") << QString(QChar(0xD800)) + QStringLiteral("x") << "x";
}

void TestDSSock::htmlEncode()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(HTMLEncode(text), expected);
}

void TestDSSock::parseArrayString()
{
    const auto rows = ParseArrayString(QStringLiteral("[[a, b, c], [d, e], [f,g,h]]"));
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(0), (QStringList{"a", " b", " c"}));
    QCOMPARE(rows.at(1), (QStringList{"d", " e", ""}));
    QCOMPARE(rows.at(2), (QStringList{"f", "g", "h"}));
    QVERIFY(ParseArrayString(QStringLiteral("[[a], [b, c]]")).isEmpty());
    QVERIFY(ParseArrayString(QStringLiteral("[")).isEmpty());
    QVERIFY(ParseArrayString(QStringLiteral("[[]")).isEmpty());
}

void TestDSSock::getValueText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("quoted pair") << "\"access_token\" : \"xyz\"" << "xyz";
    QTest::newRow("first colon only") << "\"url\": \"http://h\"," << "http://h,";
    QTest::newRow("no colon") << "access_token" << "";
}

void TestDSSock::getValueText()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(GetValueText(text), expected);
}

void TestDSSock::parseString_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("expected");
    QTest::newRow("second") << "a,b,c" << "," << 2 << "b";
    QTest::newRow("last") << "a,b,c" << "," << 3 << "c";
    QTest::newRow("beyond") << "a,b,c" << "," << 4 << "";
    QTest::newRow("first without delimiter") << "abc" << "," << 1 << "abc";
    QTest::newRow("case-insensitive") << "aXbxc" << "x" << 3 << "c";
    QTest::newRow("longer delimiter: next field after its first character") << "a<>b<>c" << "<>" << 3 << ">c";
}

void TestDSSock::parseString()
{
    QFETCH(QString, text);
    QFETCH(QString, delimiter);
    QFETCH(int, n);
    QFETCH(QString, expected);
    QCOMPARE(ParseString(text, delimiter, n), expected);
}

void TestDSSock::stripHTML_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("expected");
    QTest::newRow("paragraph and break")
        << "Hello<p class=x>World<br>  next  " << "Hello\r\n\r\nWorld\r\nnext";
    QTest::newRow("rule") << "a<hr>b" << "a\r\n" + QString(50, QLatin1Char('-')) + "\r\nb";
    QTest::newRow("heading end") << "<h1>T</H1>x" << "T\r\n\r\nx";
    QTest::newRow("entities") << "&QUOT;a&amp;b&nbsp;c" << "\"a&bc";
    QTest::newRow("blanks before a line break stay") << "a  \r\n  b" << "a  \r\nb";
    QTest::newRow("no line break keeps blanks") << "  a  " << "  a  ";
    QTest::newRow("open tag without end") << "a<b c" << "ab c";
    QTest::newRow("open tag without end after tags") << "<p>a<br>b<c d" << "\r\n\r\na\r\nbc d";
    QTest::newRow("end before any tag stays") << "a>b<p>c" << "a>b\r\n\r\nc";
    QTest::newRow("tag names in any case, with attributes")
        << "<P align=left>a<Br>b<dL compact>c</h5 x>d<hR size=1>e"
        << "\r\n\r\na\r\nb\r\n\r\nc\r\n\r\nd\r\n" + QString(50, QLatin1Char('-')) + "\r\ne";
    QTest::newRow("other tags, empty tag and a tag inside a tag")
        << "<b>bold</b><br/>x<>y<<p>>z<h1>w" << "boldxy>zw";
    QTest::newRow("only the first word names the tag") << "a<br p>b<p\tq>c" << "a\r\nbc";
    QTest::newRow("blank lines and lone carriage returns")
        << "a\r\n\r\n   b \r c\n  " << "a\r\n\r\nb  c\r\n";
    QTest::newRow("entities formed by removing tags") << "&am<i>p;&nb<b>sp;x" << "&x";
    // A "<" never survives, so the text can never hold every code up to 255:
    // only LF ends a line, whatever else the text holds.
    QString everyCode;
    for (int code = 255; code >= 1; --code)
        if (code != '\n' && code != '\r' && code != ' ' && code != '<')
            everyCode += QChar(char16_t(code));
    QTest::newRow("every other code up to 255") << everyCode + "\n" + QChar(0) + "  x<"
                                                << everyCode + "\r\n" + QChar(0) + "  x";
}

void TestDSSock::stripHTML()
{
    QFETCH(QString, html);
    QFETCH(QString, expected);
    QCOMPARE(StripHTML(html), expected);
}

void TestDSSock::getBaseURL_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("expected");
    QTest::newRow("page with query") << "http://www.h.com/a/b/page.asp?x=1" << "www.h.com/a/b";
    QTest::newRow("folder without point") << "https://h.com/a/dir" << "h.com/a/dir";
    QTest::newRow("folder with query") << "https://h.com/a/dir?x=1" << "h.com/a";
    QTest::newRow("trailing slash") << "http://h.com/a/" << "h.com/a";
    QTest::newRow("host only") << "http://www.h.com" << "www.h.com";
    QTest::newRow("host with query") << "http://www.h.com?x=1" << "www.h.com";
    QTest::newRow("relative") << "a/b/c.html" << "a/b";
    QTest::newRow("deep folder") << "http://h.com/a/b/c/d/e/f" << "h.com/a/b/c/d/e/f";
    QTest::newRow("points in folders, page at the end") << "http://h.com/v1.2/x.y/page.html" << "h.com/v1.2/x.y";
    QTest::newRow("query holding slashes") << "http://h.com/a/b?next=/c//d/e.html" << "h.com/a";
    QTest::newRow("second double slash in the path") << "http://h.com/a//b/c" << "h.com/a//b/c";
    QTest::newRow("scheme only") << "http://" << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("relative with query") << "a/b/c?x=1" << "a/b";
    QTest::newRow("relative folder with trailing slash") << "a/b/" << "a/b";
    QTest::newRow("double slash without scheme") << "//h.com/a" << "h.com/a";
}

void TestDSSock::getBaseURL()
{
    QFETCH(QString, url);
    QFETCH(QString, expected);
    QCOMPARE(GetBaseURL(url), expected);
}

QTEST_GUILESS_MAIN(TestDSSock)
#include "tst_dssock.moc"
