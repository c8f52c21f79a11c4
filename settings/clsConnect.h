#pragma once

#include <QString>

#include <memory>

class clsPreference;

// The connection settings that SetHttpProperties fills for one request; the
// HTTP layer applies them to its client.
struct HttpProperties {
    bool newRequest = false;  // set before every request
    QString url;              // the request address
    bool cache = false;
    qint32 security = 0;
    qint32 timeOut = 0;       // milliseconds
    QString userAgent;        // the UserAgent preference
    QString proxy;            // "host:port"; empty: no proxy
    QString proxyUser;        // both empty unless a proxy with a login is set
    QString proxyPassword;
};

// Fills the proxy of http from the connection settings: "host:port", both
// trimmed, only with access type 2 (proxy server) and a non-empty host; the
// proxy login only when both user name and password are set.
void setHttpProxy(HttpProperties& http, qint16 accessType, const QString& host, const QString& port,
                  const QString& userName, const QString& password);

// The host part of a URL: the text after the first "//" (when present) up to
// the first "/", else up to the first "?", else the rest whole.
QString GetHostFromURL(const QString& url);

// Utility for fetched web text and HTTP connection settings.
class clsConnect
{
public:
    // Creates the object's own preferences store and loads it (GetSettings);
    // values saved later are not seen by this object.
    clsConnect();
    ~clsConnect();

    clsConnect(const clsConnect&) = delete;
    clsConnect& operator=(const clsConnect&) = delete;

    void setTimeOut(qint32 milliseconds) { m_TimeOut = milliseconds; }
    void setCache(bool cache) { m_Cache = cache; }
    void setSecurity(qint32 security) { m_Security = security; }
    void setLoginFormStart(const QString& v) { m_LoginFormStart = v; }
    void setLoginFormEnd(const QString& v) { m_LoginFormEnd = v; }
    QString ActionStart() const { return m_ActionStart; }
    void setActionStart(const QString& v) { m_ActionStart = v; }
    QString ActionEnd() const { return m_ActionEnd; }
    void setActionEnd(const QString& v) { m_ActionEnd = v; }
    // An empty text stores the default "<input" / ">" / "name=" / "value=".
    QString FieldStart() const { return m_FieldStart; }
    void setFieldStart(const QString& v);
    QString FieldEnd() const { return m_FieldEnd; }
    void setFieldEnd(const QString& v);
    void setNameStart(const QString& v);
    void setValueStart(const QString& v);
    QString EngineName() const { return m_EngineName; }
    void setEngineName(const QString& v) { m_EngineName = v; }

    // An absolute address for a link found on the page at baseURL: a link
    // starting with "/" gets the base's scheme and host, a link not starting
    // with "http" gets the scheme, the base's folder and "/", any other link
    // is returned unchanged. The scheme is "https://" when the base has none.
    QString FormatURL(const QString& link, const QString& baseURL);

    // Fills http for a request to url from this object's settings and the
    // preferences loaded at construction: a proxy only with access type 2
    // (proxy server) and a non-empty Proxy; the proxy login only when both
    // its user name and password are set.
    void SetHttpProperties(HttpProperties& http, const QString& url);

    // "Error: Connection Timed Out." (9060), "Error: Server is down." (12007),
    // "Error: Transfer Aborted." (12017), else "Error #<number> <description>".
    QString GetErrorMessage(qint32& errorNumber, QString& description);

    // The text from the first startMarker (marker included) up to the next
    // endMarker (excluded), blanks trimmed; all searches ignore case. With cut,
    // text loses everything up to and including the end marker. Without an end
    // marker the result is "" and text advances one character past the start of
    // the marker, whatever cut says, so a loop over it always makes progress.
    QString FindSection(QString& text, const QString& startMarker, const QString& endMarker, bool cut);

private:
    bool m_Cache = false;
    qint32 m_Security = 0;
    qint32 m_TimeOut = 0;
    QString m_LoginFormStart;
    QString m_LoginFormEnd;
    QString m_ActionStart;
    QString m_ActionEnd;
    QString m_FieldStart;
    QString m_FieldEnd;
    QString m_NameStart;
    QString m_ValueStart;
    QString m_EngineName;
    std::unique_ptr<clsPreference> m_oPreference;
};
