#include "settings/clsConnect.h"

#include "core/Globals.h"

#include "TestEnvironment.h"

#include <QtTest>

class TestFindSection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { modStartUp::BuildKeyPaths(); }
    void findSection_data();
    void findSection();
};

void TestFindSection::findSection_data()
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

void TestFindSection::findSection()
{
    QFETCH(QString, text);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(bool, cut);
    QFETCH(QString, expected);
    QFETCH(QString, textAfter);
    TestEnvironment env; // the constructor loads the preferences
    clsConnect connect;
    QCOMPARE(connect.FindSection(text, start, end, cut), expected);
    QCOMPARE(text, textAfter);
}

QTEST_GUILESS_MAIN(TestFindSection)
#include "tst_findsection.moc"
