#include "core/Conversions.h"
#include "core/modBase64Encode.h"
#include "core/uucode.h"

#include <QtTest>

class TestTextFunctions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void val_data();
    void val();
    void base64_data();
    void base64();
    void uuEncode_data();
    void uuEncode();
    void uuDecodeIncompleteGroup();
};

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
    QCOMPARE(Conversions::Val(text), expected);
}

QTEST_GUILESS_MAIN(TestTextFunctions)
#include "tst_textfunctions.moc"
