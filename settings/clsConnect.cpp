#include "settings/clsConnect.h"

#include "core/Conversions.h"
#include "core/modDSSock.h"
#include "settings/clsPreference.h"

clsConnect::clsConnect()
    : m_oPreference(std::make_unique<clsPreference>())
{
    m_oPreference->GetSettings();
}

clsConnect::~clsConnect() = default;

void clsConnect::setFieldStart(const QString& v)
{
    m_FieldStart = v.isEmpty() ? QStringLiteral("<input") : v;
}

void clsConnect::setFieldEnd(const QString& v)
{
    m_FieldEnd = v.isEmpty() ? QStringLiteral(">") : v;
}

void clsConnect::setNameStart(const QString& v)
{
    m_NameStart = v.isEmpty() ? QStringLiteral("name=") : v;
}

void clsConnect::setValueStart(const QString& v)
{
    m_ValueStart = v.isEmpty() ? QStringLiteral("value=") : v;
}

QString GetHostFromURL(const QString& url)
{
    QString rest = url;
    const qsizetype scheme = rest.indexOf(QStringLiteral("//"));
    if (scheme >= 0)
        rest = rest.mid(scheme + 2);
    qsizetype cut = rest.indexOf(QLatin1Char('/'));
    if (cut < 0)
        cut = rest.indexOf(QLatin1Char('?'));
    return cut < 0 ? rest : rest.left(cut);
}

QString clsConnect::FormatURL(const QString& link, const QString& baseURL)
{
    const qsizetype p = baseURL.indexOf(QStringLiteral("://"));
    const QString scheme = p >= 0 ? baseURL.left(p + 3) : QStringLiteral("https://");
    if (link.isEmpty())
        return QString();
    if (link.startsWith(QLatin1Char('/')))
        return scheme + GetHostFromURL(baseURL) + link;
    if (!link.startsWith(QLatin1String("http"), Qt::CaseInsensitive))
        return scheme + modDSSock::GetBaseURL(baseURL) + QLatin1Char('/') + link;
    return link;
}

void clsConnect::SetHttpProperties(HttpProperties& http, const QString& url)
{
    http.newRequest = true;
    http.url = url;
    http.cache = m_Cache;
    http.security = m_Security;
    http.timeOut = m_TimeOut;
    http.userAgent = m_oPreference->UserAgent();
    const clsPreference& pref = *m_oPreference;
    setHttpProxy(http, pref.AccessType(), pref.Proxy(), pref.Port(), pref.HTTPUserName(), pref.HTTPPassword());
}

void setHttpProxy(HttpProperties& http, qint16 accessType, const QString& host, const QString& port,
                  const QString& userName, const QString& password)
{
    if (host.isEmpty() || accessType != 2)
        return;
    http.proxy = Conversions::Trim(host) + QLatin1Char(':') + Conversions::Trim(port);
    if (!userName.isEmpty() && !password.isEmpty()) {
        http.proxyPassword = password;
        http.proxyUser = userName;
    }
}

QString clsConnect::GetErrorMessage(qint32& errorNumber, QString& description)
{
    switch (errorNumber) {
    case 9060:
        return QStringLiteral("Error: Connection Timed Out.");
    case 12007:
        return QStringLiteral("Error: Server is down.");
    case 12017:
        return QStringLiteral("Error: Transfer Aborted.");
    default:
        return QStringLiteral("Error #") + QString::number(errorNumber) + QLatin1Char(' ') + description;
    }
}

QString clsConnect::FindSection(QString& text, const QString& startMarker, const QString& endMarker, bool cut)
{
    if (text.isEmpty())
        return QString();
    const qsizetype p = text.indexOf(startMarker, 0, Qt::CaseInsensitive);
    if (p < 0)
        return QString();
    const qsizetype q = text.indexOf(endMarker, p + startMarker.size(), Qt::CaseInsensitive);
    if (q < 0) {
        text = text.mid(p + 1);
        return QString();
    }
    const QString result = Conversions::Trim(text.mid(p, q - p));
    if (cut)
        text = text.mid(q + endMarker.size());
    return result;
}
