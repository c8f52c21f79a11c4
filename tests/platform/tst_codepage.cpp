#include "platform/CodePage.h"

#include <QtTest>

using namespace platform;

class TestCodePage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decode_data();
    void decode();
    void markWithinFileIsText_data();
    void markWithinFileIsText();
    void encodeIsUtf8();
    void everyWindows1252ByteRoundTripsThroughUtf8();
};

void TestCodePage::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ascii") << QByteArray("abc\r\n") << QStringLiteral("abc\r\n");
    QTest::newRow("utf-8 e acute") << QByteArray("caf\xC3\xA9") << QStringLiteral("caf\u00E9");
    QTest::newRow("utf-8 euro") << QByteArray("\xE2\x82\xAC 5") << QStringLiteral("\u20AC 5");
    QTest::newRow("utf-8 astral") << QByteArray("\xF0\x9F\x98\x80") << QStringLiteral("\U0001F600");
    QTest::newRow("utf-8 bom dropped") << QByteArray("\xEF\xBB\xBFx") << QStringLiteral("x");
    QTest::newRow("only the first of two marks dropped") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx")
                                                         << QStringLiteral("\uFEFFx");
    QTest::newRow("a mark inside the text stays") << QByteArray("a\xEF\xBB\xBF") << QStringLiteral("a\uFEFF");
    QTest::newRow("1252 e acute") << QByteArray("caf\xE9") << QStringLiteral("caf\u00E9");
    QTest::newRow("1252 euro 0x80") << QByteArray("\x80 5") << QStringLiteral("\u20AC 5");
    QTest::newRow("1252 quotes 0x93 0x94") << QByteArray("\x93hi\x94") << QStringLiteral("\u201Chi\u201D");
    QTest::newRow("1252 0x9F") << QByteArray("\x9F") << QStringLiteral("\u0178");
    QTest::newRow("1252 undefined 0x81") << QByteArray("\x81") << QStringLiteral("\u0081");
    // One stray byte makes the whole file Windows-1252.
    QTest::newRow("mixed reads as 1252") << QByteArray("\xC3\xA9 \xE9")
                                         << QStringLiteral("\u00C3\u00A9 \u00E9");
    QTest::newRow("overlong slash is not utf-8") << QByteArray("\xC0\xAF") << QStringLiteral("\u00C0\u00AF");
    QTest::newRow("surrogate is not utf-8") << QByteArray("\xED\xA0\x80")
                                            << QStringLiteral("\u00ED\u00A0\u20AC");
    QTest::newRow("truncated sequence") << QByteArray("a\xE2\x82") << QStringLiteral("a\u00E2\u201A");
    QTest::newRow("empty") << QByteArray() << QString();
    // A text file saved as "Unicode" by a Windows editor starts with a UTF-16 mark.
    QTest::newRow("utf-16le after its mark") << QByteArray("\xFF\xFE" "c\0a\0f\0\xE9\0\r\0\n\0", 14)
                                             << QStringLiteral("caf\u00E9\r\n");
    QTest::newRow("utf-16be after its mark") << QByteArray("\xFE\xFF\0c\0a\0f\0\xE9", 10)
                                             << QStringLiteral("caf\u00E9");
    QTest::newRow("utf-16le surrogate pair") << QByteArray("\xFF\xFE\x3D\xD8\x00\xDE", 6)
                                             << QStringLiteral("\U0001F600");
    QTest::newRow("utf-16le odd last byte") << QByteArray("\xFF\xFEx\0y", 5) << QStringLiteral("x\uFFFD");
}

void TestCodePage::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(CodePage::decode(bytes), expected);
}

void TestCodePage::markWithinFileIsText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one mark") << QByteArray("\xEF\xBB\xBFx") << QStringLiteral("\uFEFFx");
    QTest::newRow("two marks") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx") << QStringLiteral("\uFEFF\uFEFFx");
    QTest::newRow("1252 text after the mark bytes") << QByteArray("\xEF\xBB\xBF\xE9")
                                                    << QStringLiteral("\u00EF\u00BB\u00BF\u00E9");
    QTest::newRow("a utf-16 mark is 1252 text") << QByteArray("\xFF\xFEx") << QStringLiteral("\u00FF\u00FEx");
}

void TestCodePage::markWithinFileIsText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(CodePage::decode(bytes, CodePage::Position::WithinFile), expected);
}

void TestCodePage::encodeIsUtf8()
{
    QCOMPARE(CodePage::encode(QStringLiteral("caf\u00E9 \u20AC")), QByteArray("caf\xC3\xA9 \xE2\x82\xAC"));
}

void TestCodePage::everyWindows1252ByteRoundTripsThroughUtf8()
{
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        all.append(char(b));
    const QString text = CodePage::decode(all);
    QCOMPARE(text.size(), 255);
    QVERIFY(CodePage::isValidUtf8(CodePage::encode(text)));
    QCOMPARE(CodePage::decode(CodePage::encode(text)), text);
}

QTEST_GUILESS_MAIN(TestCodePage)
#include "tst_codepage.moc"
