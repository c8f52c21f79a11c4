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
    void encodingOf_data();
    void encodingOf();
    void decodeInEncoding_data();
    void decodeInEncoding();
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
    // Runs of ASCII are passed over eight bytes at a time.
    QTest::newRow("utf-8 after long ascii") << QByteArray("abcdefghijklmnop\xC3\xA9qrstuvwxy")
                                            << QStringLiteral("abcdefghijklmnop\u00E9qrstuvwxy");
    QTest::newRow("1252 byte after eight ascii") << QByteArray("abcdefgh\xE9") << QStringLiteral("abcdefgh\u00E9");
    QTest::newRow("1252 byte within a run of ascii") << QByteArray("abcdefghijk\xE9mnopqrstu")
                                                     << QStringLiteral("abcdefghijk\u00E9mnopqrstu");
    QTest::newRow("truncated sequence after sixteen ascii")
        << QByteArray("abcdefghijklmnop\xE2\x82") << QStringLiteral("abcdefghijklmnop\u00E2\u201A");
    QTest::newRow("empty") << QByteArray() << QString();
    // A text file saved as "Unicode" by a Windows editor starts with a UTF-16 mark.
    QTest::newRow("utf-16le after its mark") << QByteArray("\xFF\xFE" "c\0a\0f\0\xE9\0\r\0\n\0", 14)
                                             << QStringLiteral("caf\u00E9\r\n");
    QTest::newRow("utf-16be after its mark") << QByteArray("\xFE\xFF\0c\0a\0f\0\xE9", 10)
                                             << QStringLiteral("caf\u00E9");
    QTest::newRow("utf-16le surrogate pair") << QByteArray("\xFF\xFE\x3D\xD8\x00\xDE", 6)
                                             << QStringLiteral("\U0001F600");
    QTest::newRow("utf-16le odd last byte") << QByteArray("\xFF\xFEx\0y", 5) << QStringLiteral("x\uFFFD");
    QTest::newRow("utf-16le mark and one odd byte") << QByteArray("\xFF\xFE" "A") << QStringLiteral("\uFFFD");
    QTest::newRow("utf-16be mark and one odd byte") << QByteArray("\xFE\xFF" "A") << QStringLiteral("\uFFFD");
    QTest::newRow("utf-16le mark alone") << QByteArray("\xFF\xFE") << QString();
    QTest::newRow("utf-16le: only the first of two marks dropped")
        << QByteArray("\xFF\xFE\xFF\xFE" "A\0", 6) << QStringLiteral("\uFEFFA");
    QTest::newRow("utf-16be: only the first of two marks dropped")
        << QByteArray("\xFE\xFF\xFE\xFF\0A", 6) << QStringLiteral("\uFEFFA");
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

void TestCodePage::encodingOf_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<CodePage::Encoding>("encoding");
    QTest::newRow("empty") << QByteArray() << CodePage::Encoding::Utf8;
    QTest::newRow("ascii") << QByteArray("a,1\r\n") << CodePage::Encoding::Utf8;
    QTest::newRow("utf-8 with its mark") << QByteArray("\xEF\xBB\xBF" "caf\xC3\xA9") << CodePage::Encoding::Utf8;
    QTest::newRow("utf-8 mark, then a 1252 byte") << QByteArray("\xEF\xBB\xBF" "caf\xE9")
                                                  << CodePage::Encoding::Windows1252;
    QTest::newRow("utf-16le mark") << QByteArray("\xFF\xFE" "A") << CodePage::Encoding::Utf16LE;
    QTest::newRow("utf-16be mark") << QByteArray("\xFE\xFF") << CodePage::Encoding::Utf16BE;
    QTest::newRow("one mark byte is 1252") << QByteArray("\xFF") << CodePage::Encoding::Windows1252;
}

void TestCodePage::encodingOf()
{
    QFETCH(QByteArray, bytes);
    QFETCH(CodePage::Encoding, encoding);
    QCOMPARE(CodePage::encodingOf(bytes), encoding);
    QCOMPARE(CodePage::decode(bytes, encoding, CodePage::Position::FileStart), CodePage::decode(bytes));
}

void TestCodePage::decodeInEncoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<CodePage::Encoding>("encoding");
    QTest::addColumn<CodePage::Position>("position");
    QTest::addColumn<QString>("expected");
    using E = CodePage::Encoding;
    using P = CodePage::Position;
    // A file that is not UTF-8 as a whole has no UTF-8 mark: its bytes are text.
    QTest::newRow("1252 file: the utf-8 mark bytes are text")
        << QByteArray("\xEF\xBB\xBF" "a") << E::Windows1252 << P::FileStart << QStringLiteral("\u00EF\u00BB\u00BFa");
    QTest::newRow("1252 file: valid utf-8 is 1252 too")
        << QByteArray("caf\xC3\xA9") << E::Windows1252 << P::WithinFile << QStringLiteral("caf\u00C3\u00A9");
    QTest::newRow("utf-8 file: a line that is not utf-8 is 1252")
        << QByteArray("caf\xE9") << E::Utf8 << P::WithinFile << QStringLiteral("caf\u00E9");
    QTest::newRow("utf-8 file: a mark within is text")
        << QByteArray("\xEF\xBB\xBF" "a") << E::Utf8 << P::WithinFile << QStringLiteral("\uFEFFa");
    QTest::newRow("utf-16le within the file: a mark is text")
        << QByteArray("\xFF\xFE" "A\0", 4) << E::Utf16LE << P::WithinFile << QStringLiteral("\uFEFFA");
    QTest::newRow("utf-16be within the file: odd last byte")
        << QByteArray("\0A\0", 3) << E::Utf16BE << P::WithinFile << QStringLiteral("A\uFFFD");
    QTest::newRow("utf-16le within the file: one odd byte")
        << QByteArray("\x0A") << E::Utf16LE << P::WithinFile << QStringLiteral("\uFFFD");
    QTest::newRow("utf-16le at the start without its mark")
        << QByteArray("A\0", 2) << E::Utf16LE << P::FileStart << QStringLiteral("A");
}

void TestCodePage::decodeInEncoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(CodePage::Encoding, encoding);
    QFETCH(CodePage::Position, position);
    QFETCH(QString, expected);
    QCOMPARE(CodePage::decode(bytes, encoding, position), expected);
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
