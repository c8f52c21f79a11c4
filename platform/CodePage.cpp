#include "platform/CodePage.h"

#include <QStringDecoder>

#include <cstring>
#include <optional>

namespace platform::CodePage {

namespace {

// Windows-1252 bytes 0x80..0x9F; every other byte equals its Latin-1 code.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

// A file saved as "Unicode" by a Windows editor: its mark says which order.
std::optional<Encoding> utf16Order(QByteArrayView bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        return Encoding::Utf16LE;
    if (bytes.startsWith("\xFE\xFF"))
        return Encoding::Utf16BE;
    return std::nullopt;
}

} // namespace

bool isValidUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        // Import files are mostly ASCII: eight bytes at a time.
        if (i + 8 <= n) {
            quint64 eight;
            std::memcpy(&eight, p + i, 8);
            if ((eight & 0x8080808080808080ULL) == 0) {
                i += 8;
                continue;
            }
        }
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra = 0;
        unsigned int min = 0;
        unsigned int cp = 0;
        if ((c & 0xE0) == 0xC0) {
            extra = 1; min = 0x80; cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2; min = 0x800; cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3; min = 0x10000; cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= n)
            return false;
        for (int k = 1; k <= extra; ++k) {
            const unsigned char t = p[i + k];
            if ((t & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (t & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

QString fromWindows1252(QByteArrayView bytes)
{
    QString text;
    text.resize(bytes.size());
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes.at(i));
        out[i] = (b >= 0x80 && b <= 0x9F) ? QChar(kHigh[b - 0x80]) : QChar(char16_t(b));
    }
    return text;
}

Encoding encodingOf(QByteArrayView fileBytes)
{
    if (const std::optional<Encoding> order = utf16Order(fileBytes))
        return *order;
    return isValidUtf8(fileBytes) ? Encoding::Utf8 : Encoding::Windows1252;
}

QString decode(QByteArrayView bytes, Encoding encoding, Position position)
{
    switch (encoding) {
    case Encoding::Utf16LE:
    case Encoding::Utf16BE: {
        const bool little = encoding == Encoding::Utf16LE;
        if (position == Position::FileStart && bytes.startsWith(little ? "\xFF\xFE" : "\xFE\xFF"))
            bytes = bytes.sliced(2);
        // The decoder would drop a second mark as well: it is text here. It
        // also drops a lone odd byte without a trace.
        QStringDecoder utf16(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                             QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        QString text = utf16.decode(bytes.first(bytes.size() & ~qsizetype(1)));
        if (bytes.size() % 2 != 0)
            text += QChar(QChar::ReplacementCharacter);
        return text;
    }
    case Encoding::Utf8:
        if (isValidUtf8(bytes)) {
            if (position == Position::FileStart && bytes.startsWith("\xEF\xBB\xBF"))
                bytes = bytes.sliced(3);
            // fromUtf8 would drop a second mark as well: it is text here.
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
            return utf8.decode(bytes);
        }
        break;
    case Encoding::Windows1252:
        break;
    }
    return fromWindows1252(bytes);
}

QString decode(QByteArrayView bytes, Position position)
{
    const std::optional<Encoding> order = position == Position::FileStart ? utf16Order(bytes) : std::nullopt;
    return decode(bytes, order.value_or(Encoding::Utf8), position);
}

QByteArray encode(const QString& text)
{
    return text.toUtf8();
}

} // namespace platform::CodePage
