#include "settings/AdwordsEditorPath.h"

#include <QFileInfo>

QString AdwordsEditorProgram(const QString& storedPath)
{
    if (storedPath.isEmpty() || QFileInfo(storedPath).isFile())
        return storedPath;
    const QString installed = QString::fromLatin1(kDefaultAdwordsEditorPath);
    if (QFileInfo(installed).isFile())
        return installed;
    return QStringLiteral("C:\\Program Files (x86)\\Google\\Google AdWords Editor\\adwords_editor.exe");
}
