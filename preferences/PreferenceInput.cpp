#include "preferences/PreferenceInput.h"

#include "core/Conversions.h"

#include <cmath>

namespace PreferenceInput {

namespace {

constexpr int kHighestPort = 65535;

} // namespace

bool isPort(const QString& text)
{
    const QString digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > 5)
        return false;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    const int port = digits.toInt();
    return port >= 1 && port <= kHighestPort;
}

QString proxyHost(const QString& text)
{
    const QString prefix = QStringLiteral("http://");
    return text.contains(prefix) ? text.mid(prefix.size()) : text;
}

std::optional<int> testMailPort(const QString& text)
{
    const double port = std::nearbyint(Conversions::Val(text));
    if (!(port >= 0 && port <= kHighestPort))
        return std::nullopt;
    return int(port);
}

} // namespace PreferenceInput
