#include "core/clsCodePage.h"

#include "TestEnvironment.h"

#include <QtTest>

class TestClsCodePage : public QObject
{
    Q_OBJECT

private slots:
    void convertUnicodeToUtf8_data();
    void convertUnicodeToUtf8();
    void emptyTextIsLogged();
};

void TestClsCodePage::convertUnicodeToUtf8_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("blanks, letters and digits") << "abc XYZ 09" << "abc+XYZ+09";
    QTest::newRow("only letters and digits stand for themselves") << "a-b_c.d*e~f" << "a%2Db%5Fc%2Ed%2Ae%7Ef";
    QTest::newRow("control characters") << "a\nb\tc" << "a%0Ab%09c";
    QTest::newRow("two-byte and three-byte sequences") << QStringLiteral("\u00E9\u20AC") << "%C3%A9%E2%82%AC";
    QTest::newRow("Japanese") << QStringLiteral("\u65E5\u672C") << "%E6%97%A5%E6%9C%AC";
    QTest::newRow("an emoji is one 4-byte sequence") << QStringLiteral("\U0001F600") << "%F0%9F%98%80";
}

void TestClsCodePage::convertUnicodeToUtf8()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    TestEnvironment env;
    QCOMPARE(clsCodePage().ConvertUnicodeToUTF8(text), expected);
}

void TestClsCodePage::emptyTextIsLogged()
{
    TestEnvironment env;
    QCOMPARE(clsCodePage().ConvertUnicodeToUTF8(QString()), QString());
    QVERIFY(TestEnvironment::readAll(env.programDir() + "/Error.log").startsWith("clsCodePage_ConvertUnicodeToUTF8: "));
}

QTEST_GUILESS_MAIN(TestClsCodePage)
#include "tst_clscodepage.moc"
