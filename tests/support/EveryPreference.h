#pragma once

#include "settings/clsPreference.h"

#include <QDateTime>
#include <QString>

// Sets every value that SaveSettings writes to one of generation n: each of
// them differs from its value in any other generation (below 1000), and
// every text value holds the mark "g<n>;".
inline void setEveryPreference(clsPreference& p, int n)
{
    const auto text = [n](const char* name) { return QStringLiteral("g%1;%2").arg(n).arg(QLatin1String(name)); };
    const auto number = [n](int range) { return qint16(n % range); };
    p.setAccessType(number(3));
    p.setProxy(text("Proxy"));
    p.setPort(text("Port"));
    p.setTimeOut(text("TimeOut"));
    p.setConfirmConnection(text("ConfirmConnection"));
    p.setSMTPServer(text("SMTPServer"));
    p.setSMTPPort(text("SMTPPort"));
    p.setHTTPUserName(text("HTTPUserName"));
    p.setHTTPPassword(text("HTTPPassword"));
    p.setAuthentication(qint16(n));
    p.setHour(number(23));
    p.setMinute(number(60));
    p.setLastReportDate(QDateTime(QDate(2026, 1, 1), QTime(0, 0)).addSecs(60LL * n));
    p.setSMTPAuthentication(qint16(n));
    p.setSMTPUsername(text("SMTPUsername"));
    p.setSMTPPassword(text("SMTPPassword"));
    p.setCompetitorLookUp(qint16(n));
    p.setMaxListing(text("MaxListing"));
    p.setReporterName(text("ReporterName"));
    p.setCompanyName(text("CompanyName"));
    p.setEmail(text("Email"));
    p.setWebSite(text("WebSite"));
    p.setLogoURL(text("LogoURL"));
    p.setLogoPosition(text("LogoPosition"));
    p.setUpdateEngineData(qint16(n));
    p.setHideIcon(qint16(n));
    p.setLastUpdate(text("LastUpdate"));
    p.setToken(text("Token"));
    p.setAppToken(text("AppToken"));
    p.setUserAgent(text("UserAgent"));
    p.setWorkingFolder(text("WorkingFolder"));
    p.setTimeDelay(text("TimeDelay"));
    p.setConnections(qint16(n + 1));
    p.setSSL(qint16(n));
    p.setLoginType(qint16(n));
    p.setUserName(text("UserName"));
    p.setPassword(text("Password"));
    p.setClientEmailID(text("ClientEmailID"));
    p.setGoogleAdwordsEditor(text("GoogleAdwordsEditor"));
}
