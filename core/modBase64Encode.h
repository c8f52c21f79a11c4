#pragma once

#include <QString>

namespace modBase64Encode {

// Standard Base64 (RFC 4648 alphabet, "=" padding, no line breaks) of the
// text's bytes in the program's code page (UTF-8); "" for "".
QString Base64Encode(const QString& text);

} // namespace modBase64Encode
