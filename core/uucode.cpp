#include "core/uucode.h"

#include "core/Conversions.h"
#include "platform/CodePage.h"

namespace uucode {

QString Encode(const QString& text)
{
    QByteArray bytes = platform::CodePage::encode(text);
    while (bytes.size() % 3 != 0)
        bytes.append(' ');
    QString out;
    out.reserve(bytes.size() / 3 * 4);
    for (qsizetype i = 0; i < bytes.size(); i += 3) {
        const auto a = static_cast<unsigned char>(bytes.at(i));
        const auto b = static_cast<unsigned char>(bytes.at(i + 1));
        const auto c = static_cast<unsigned char>(bytes.at(i + 2));
        out += QChar(char16_t(32 + a / 4));
        out += QChar(char16_t(32 + ((a % 4) * 16 + b / 16)));
        out += QChar(char16_t(32 + ((b % 16) * 4 + c / 64)));
        out += QChar(char16_t(32 + (c % 64)));
    }
    return out;
}

QString Decode(const QString& text)
{
    // Character codes less 32, cut to a byte; a missing character counts as 0.
    const auto code = [&text](qsizetype i) -> unsigned {
        const unsigned c = i < text.size() ? text.at(i).unicode() : 0u;
        return (c - 32u) & 0xFFu;
    };
    QByteArray bytes;
    bytes.reserve((text.size() + 3) / 4 * 3);
    for (qsizetype i = 0; i < text.size(); i += 4) {
        const unsigned w = code(i);
        const unsigned x = code(i + 1);
        const unsigned y = code(i + 2);
        const unsigned z = code(i + 3);
        bytes.append(char((w * 4 + x / 16) & 0xFFu));
        bytes.append(char(((x % 16) * 16 + y / 4) & 0xFFu));
        bytes.append(char(((y % 4) * 64 + z) & 0xFFu));
    }
    return Conversions::Trim(platform::CodePage::decode(bytes, platform::CodePage::Position::WithinFile));
}

} // namespace uucode
