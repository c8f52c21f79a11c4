#pragma once
// TEMPORARY: stand-ins until the shared services are merged.
#include <QString>
namespace modCommon {
QString GetWindowsDir();
QString GetHostFromURL(const QString& url);
QString ReadINI(const QString& file, const QString& section, const QString& key);
}
namespace modBase64Encode { QString Base64Encode(const QString& text); }
namespace uucode {
QString Encode(const QString& text);
QString Decode(const QString& text);
}
