#include "settings/FoundationShim.h"
#include "platform/Locations.h"
#include <QSettings>
namespace modCommon {
QString GetWindowsDir() { return platform::Locations::windowsDir() + QLatin1Char('/'); }
QString GetHostFromURL(const QString& url)
{
    QString r = url;
    const qsizetype s = r.indexOf(QStringLiteral("//"));
    if (s >= 0) r = r.mid(s + 2);
    qsizetype c = r.indexOf(QLatin1Char('/'));
    if (c < 0) c = r.indexOf(QLatin1Char('?'));
    return c < 0 ? r : r.left(c);
}
QString ReadINI(const QString& file, const QString& section, const QString& key)
{
    QSettings s(file, QSettings::IniFormat);
    return s.value(section + QLatin1Char('/') + key).toString();
}
}
namespace modBase64Encode {
QString Base64Encode(const QString& text) { return QString::fromLatin1(text.toLatin1().toBase64()); }
}
namespace uucode {
QString Encode(const QString& text)
{
    QByteArray b = text.toLatin1();
    if (b.isEmpty()) return QString();
    while (b.size() % 3) b.append(' ');
    QString out;
    for (int i = 0; i < b.size(); i += 3) {
        const int a = uchar(b[i]), c1 = uchar(b[i + 1]), c2 = uchar(b[i + 2]);
        out += QChar(32 + a / 4);
        out += QChar(32 + ((a % 4) * 16 + c1 / 16));
        out += QChar(32 + ((c1 % 16) * 4 + c2 / 64));
        out += QChar(32 + (c2 % 64));
    }
    return out;
}
QString Decode(const QString& text)
{
    QByteArray b = text.toLatin1();
    QByteArray out;
    for (int i = 0; i < b.size(); i += 4) {
        auto at = [&](int k) { return k < b.size() ? int(uchar(b[k])) - 32 : -32; };
        const int w = at(i), x = at(i + 1), y = at(i + 2), z = at(i + 3);
        out.append(char((w * 4 + x / 16) & 0xFF));
        out.append(char(((x % 16) * 16 + y / 4) & 0xFF));
        out.append(char(((y % 4) * 64 + z) & 0xFF));
    }
    QString s = QString::fromLatin1(out);
    while (s.startsWith(QLatin1Char(' '))) s.remove(0, 1);
    while (s.endsWith(QLatin1Char(' '))) s.chop(1);
    return s;
}
}
