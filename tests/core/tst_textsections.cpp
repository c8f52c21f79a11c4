#include "core/modCommon.h"

#include <QtTest>

class TestTextSections : public QObject
{
    Q_OBJECT

private slots:
    void findSectionB_data();
    void findSectionB();
    void removeSection_data();
    void removeSection();
    void findSection_data();
    void findSection();
};

void TestTextSections::findSectionB_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("alternative") << "red shoes [cheap]" << "cheap";
    QTest::newRow("empty brackets") << "red shoes []" << "";
    QTest::newRow("no end tag") << "red shoes [cheap" << "cheap";
    QTest::newRow("no start tag") << "red shoes" << "";
    QTest::newRow("empty text") << "" << "";
    QTest::newRow("blanks trimmed") << "a [  b c  ] d" << "b c";
    QTest::newRow("first pair only") << "a [b] [c]" << "b";
}

void TestTextSections::findSectionB()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(modCommon::FindSectionB(text, QStringLiteral("["), QStringLiteral("]")), expected);
}

void TestTextSections::removeSection_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("inner blanks stay") << "red shoes [cheap] now" << "red shoes  now";
    QTest::newRow("only first span") << "a [b] c [d]" << "a  c [d]";
    QTest::newRow("no end tag") << " red [cheap " << "red [cheap";
    QTest::newRow("no start tag") << "  plain  " << "plain";
    QTest::newRow("whole text") << "[x]" << "";
}

void TestTextSections::removeSection()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(modCommon::RemoveSection(text, QStringLiteral("["), QStringLiteral("]")), expected);
}

void TestTextSections::findSection_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<bool>("cut");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("textAfter");
    QTest::newRow("cut, marker included, case-insensitive")
        << "x<B>bold</b> rest" << "<b>" << "</b>" << true << "<B>bold" << " rest";
    QTest::newRow("no cut leaves text")
        << "x<B>bold</b> rest" << "<b>" << "</b>" << false << "<B>bold" << "x<B>bold</b> rest";
    QTest::newRow("missing end marker advances one past the marker start")
        << "ab[cd" << "[" << "]" << false << "" << "cd";
    QTest::newRow("missing start marker")
        << "abc" << "[" << "]" << true << "" << "abc";
    QTest::newRow("empty text") << "" << "[" << "]" << true << "" << "";
    QTest::newRow("bracket alternative") << "shoes [cheap] x" << "[" << "]" << false << "[cheap" << "shoes [cheap] x";
}

void TestTextSections::findSection()
{
    QFETCH(QString, text);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(bool, cut);
    QFETCH(QString, expected);
    QFETCH(QString, textAfter);
    QCOMPARE(modCommon::FindSection(text, start, end, cut), expected);
    QCOMPARE(text, textAfter);
}

QTEST_GUILESS_MAIN(TestTextSections)
#include "tst_textsections.moc"
