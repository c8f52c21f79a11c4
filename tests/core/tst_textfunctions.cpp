#include "core/modBase64Encode.h"
#include "core/modCommon.h"
#include "core/uucode.h"

#include <QtTest>

class TestTextFunctions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void val_data();
    void val();
    void validEmail_data();
    void validEmail();
    void validName_data();
    void validName();
    void base64_data();
    void base64();
    void uuEncode_data();
    void uuEncode();
    void uuDecodeIncompleteGroup();
};

void TestTextFunctions::validEmail_data()
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

void TestTextFunctions::validEmail()
{
    QFETCH(QString, address);
    QFETCH(bool, valid);
    QFETCH(QString, reason);
    QString why = QStringLiteral("stale");
    QCOMPARE(modCommon::IsValidEmail(address, why), valid);
    QCOMPARE(why, reason);
}

void TestTextFunctions::validName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("valid");
    QTest::newRow("plain") << "Spring Sale (2)" << true;
    QTest::newRow("empty") << "" << true;
    const char* bad[] = {"a\\b", "a/b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b"};
    for (const char* name : bad)
        QTest::newRow(name) << QString::fromLatin1(name) << false;
}

void TestTextFunctions::validName()
{
    QFETCH(QString, name);
    QFETCH(bool, valid);
    QCOMPARE(modCommon::IsValidName(name), valid);
}

void TestTextFunctions::base64_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << "" << "";
    QTest::newRow("one pad") << "ab" << "YWI=";
    QTest::newRow("two pads") << "a" << "YQ==";
    QTest::newRow("no pad") << "abc" << "YWJj";
    QTest::newRow("user:password") << "user:pass word" << "dXNlcjpwYXNzIHdvcmQ=";
    // No break after the 54th character.
    const QString text55 = QStringLiteral("The quick brown fox jumps over the lazy dog, 0123456789");
    QTest::newRow("55 characters") << text55 << QString::fromLatin1(text55.toLatin1().toBase64());
    QTest::newRow("utf-8 bytes") << QStringLiteral("\u00E9") << "w6k=";
}

void TestTextFunctions::base64()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(modBase64Encode::Base64Encode(text), expected);
}

void TestTextFunctions::uuEncode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("encoded");
    QTest::newRow("empty") << "" << "";
    QTest::newRow("Cat") << "Cat" << "0V%T";
    QTest::newRow("padded with blanks") << "ab" << "86(@";   // "ab " -> 86(@
    QTest::newRow("zero bits are blanks") << QString::fromLatin1("\x00\x00\x00", 3) << "    ";
    QTest::newRow("token") << "ABCdef-123_xyz" << QString();
    QTest::newRow("unicode") << QStringLiteral("caf\u00E9 \u20AC") << QString();
    QTest::newRow("leading byte-order mark character") << QStringLiteral("\uFEFFab") << QString();
}

void TestTextFunctions::uuEncode()
{
    QFETCH(QString, text);
    QFETCH(QString, encoded);
    const QString e = uucode::Encode(text);
    if (!encoded.isNull())
        QCOMPARE(e, encoded);
    for (const QChar c : e)
        QVERIFY(c.unicode() >= 32 && c.unicode() <= 95);
    QCOMPARE(e.size() % 4, 0);
    if (text.trimmed() == text && !text.contains(QChar(0)))
        QCOMPARE(uucode::Decode(e), text);
}

void TestTextFunctions::uuDecodeIncompleteGroup()
{
    // Blanks at either end are trimmed away by Decode.
    QCOMPARE(uucode::Decode(uucode::Encode(QStringLiteral("  pad  "))), QStringLiteral("pad"));
    // A cut-off group still decodes the characters it has; nothing fails.
    QCOMPARE(uucode::Decode(QStringLiteral("0V%T0V")).left(4), QStringLiteral("CatC"));
    QCOMPARE(uucode::Decode(QString()), QString());
}

void TestTextFunctions::val_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("not a number") << "abc" << 0.0;
    QTest::newRow("blanks anywhere are skipped") << " 1 2 3" << 123.0;
    QTest::newRow("stops at the first other character") << "-7x9" << -7.0;
    QTest::newRow("decimal point") << "2.5" << 2.5;
    QTest::newRow("exponent") << "1.5e2" << 150.0;
    QTest::newRow("exponent without digits") << "3e" << 3.0;
}

void TestTextFunctions::val()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(modCommon::Val(text), expected);
}

QTEST_GUILESS_MAIN(TestTextFunctions)
#include "tst_textfunctions.moc"
