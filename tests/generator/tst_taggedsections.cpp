#include "generator/TaggedSections.h"

#include <QtTest>

class TestTaggedSections : public QObject
{
    Q_OBJECT

private slots:
    void findSectionB_data();
    void findSectionB();
    void removeSection_data();
    void removeSection();
};

void TestTaggedSections::findSectionB_data()
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

void TestTaggedSections::findSectionB()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(TaggedSections::FindSectionB(text, QStringLiteral("["), QStringLiteral("]")), expected);
}

void TestTaggedSections::removeSection_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("inner blanks stay") << "red shoes [cheap] now" << "red shoes  now";
    QTest::newRow("only first span") << "a [b] c [d]" << "a  c [d]";
    QTest::newRow("no end tag") << " red [cheap " << "red [cheap";
    QTest::newRow("no start tag") << "  plain  " << "plain";
    QTest::newRow("whole text") << "[x]" << "";
}

void TestTaggedSections::removeSection()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(TaggedSections::RemoveSection(text, QStringLiteral("["), QStringLiteral("]")), expected);
}

QTEST_GUILESS_MAIN(TestTaggedSections)
#include "tst_taggedsections.moc"
