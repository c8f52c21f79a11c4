#include "preferences/MailAddress.h"

#include <QtTest>

class TestMailAddress : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void validEmail_data();
    void validEmail();
};

void TestMailAddress::validEmail_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("reason");
    QTest::newRow("good") << "john.doe@example.com" << true << "";
    QTest::newRow("trimmed and () removed") << "  john()@example.com " << true << "";
    QTest::newRow("seven characters") << "a@b.cde" << false << "Too short";
    QTest::newRow("missing @") << "johnexample.com" << false << "Missing the @";
    QTest::newRow("two @") << "john@doe@example.com" << false << "Too many @";
    QTest::newRow("missing period") << "john@examplecom" << false << "Missing the period";
    QTest::newRow("@ first") << "@johnexample.com" << false << "Invalid format";
    QTest::newRow("period last") << "johnexample@com." << false << "Invalid format";
    QTest::newRow("period first") << ".john@example.com" << false << "Invalid format";
    QTest::newRow("blank inside") << "john doe@example.com" << false << "Invalid character";
    QTest::newRow("accented letter") << QStringLiteral("jos\u00E9@example.com") << false << "Invalid character";
    QTest::newRow("upper case fine") << "John_D-1@Example.COM" << true << "";
    QTest::newRow("suffix of one letter") << "john@example.c" << false << "Suffix too short";
    QTest::newRow("suffix of seven letters") << "john@example.abcdefg" << false << "Suffix too long";
    QTest::newRow("suffix of six letters") << "john@example.abcdef" << true << "";
}

void TestMailAddress::validEmail()
{
    QFETCH(QString, address);
    QFETCH(bool, valid);
    QFETCH(QString, reason);
    QString why = QStringLiteral("stale");
    QCOMPARE(MailAddress::IsValidEmail(address, why), valid);
    QCOMPARE(why, reason);
}

QTEST_GUILESS_MAIN(TestMailAddress)
#include "tst_mailaddress.moc"
