#include "preferences/MailAddress.h"

#include "core/Conversions.h"

namespace MailAddress {

bool IsValidEmail(const QString& address, QString& reason)
{
    QString s = Conversions::Trim(address);
    s.remove(QStringLiteral("()"));
    s = Conversions::Trim(s);

    const auto fail = [&reason](const char* why) {
        reason = QString::fromLatin1(why);
        return false;
    };
    if (s.size() < 8)
        return fail("Too short");
    const qsizetype at = s.indexOf(QLatin1Char('@'));
    if (at < 0)
        return fail("Missing the @");
    if (s.indexOf(QLatin1Char('@'), at + 1) >= 0)
        return fail("Too many @");
    const qsizetype dot = s.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return fail("Missing the period");
    const qsizetype last = s.size() - 1;
    if (at == 0 || at == last || dot == 0 || dot == last)
        return fail("Invalid format");
    for (const QChar c : s) {
        const char16_t l = c.toLower().unicode();
        const bool ok = (l >= u'a' && l <= u'z') || (l >= u'0' && l <= u'9') || l == u'@' || l == u'.'
            || l == u'-' || l == u'_';
        if (!ok)
            return fail("Invalid character");
    }
    const qsizetype suffix = s.size() - 1 - s.lastIndexOf(QLatin1Char('.'));
    if (suffix < 2)
        return fail("Suffix too short");
    if (suffix > 6)
        return fail("Suffix too long");
    reason.clear();
    return true;
}

} // namespace MailAddress
