#include "workspace/TextFiles.h"

#include "core/modCommon.h"
#include "platform/AtomicFile.h"
#include "platform/CodePage.h"

#include <QFile>
#include <QFileInfo>

namespace TextFiles {

bool read(const QString& path, QString& text, QString* error)
{
    text.clear();
    if (!QFileInfo(path).isFile())
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    text = platform::CodePage::decode(file.readAll());
    return true;
}

bool saveText(const QString& path, const QString& text, QString* error)
{
    if (path.isEmpty())
        return true;
    const platform::SaveResult result =
        platform::saveAtomically(path, platform::CodePage::encode(text + QStringLiteral("\r\n")));
    if (!result.ok && error)
        *error = result.errorText;
    return result.ok;
}

QStringList splitLines(const QString& text)
{
    QStringList lines;
    QString current;
    bool pending = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines.append(current);
            current.clear();
            pending = false;
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else {
            current.append(c);
            pending = true;
        }
    }
    if (pending)
        lines.append(current);
    return lines;
}

} // namespace TextFiles
