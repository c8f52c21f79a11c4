#include "core/modBase64Encode.h"

#include "platform/CodePage.h"

namespace modBase64Encode {

QString Base64Encode(const QString& text)
{
    if (text.isEmpty())
        return QString();
    return QString::fromLatin1(platform::CodePage::encode(text).toBase64());
}

} // namespace modBase64Encode
