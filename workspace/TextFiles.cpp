#include "workspace/TextFiles.h"

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

bool writeExact(const QString& path, const QString& text, QString* error)
{
    const platform::SaveResult result = platform::saveAtomically(path, platform::CodePage::encode(text));
    if (!result.ok && error)
        *error = result.errorText;
    return result.ok;
}

bool saveText(const QString& path, const QString& text, QString* error)
{
    if (path.isEmpty())
        return true;
    return writeExact(path, text + QStringLiteral("\r\n"), error);
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

QString trimBlanks(const QString& text)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && text.at(b) == QLatin1Char(' '))
        ++b;
    while (e > b && text.at(e - 1) == QLatin1Char(' '))
        --e;
    return text.mid(b, e - b);
}

QString trimTrailingBlanks(const QString& text)
{
    qsizetype e = text.size();
    while (e > 0 && text.at(e - 1) == QLatin1Char(' '))
        --e;
    return text.left(e);
}

} // namespace TextFiles
