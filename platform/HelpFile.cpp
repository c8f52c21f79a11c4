#include "platform/HelpFile.h"

#include "platform/Locations.h"
#include "platform/ShellOpener.h"

#include <QFileInfo>
#include <QUrl>

namespace platform {

namespace {

QString& storedHelpFile()
{
    static QString path;
    return path;
}

} // namespace

QString helpFile()
{
    const QString& path = storedHelpFile();
    return path.isEmpty() ? Locations::join(Locations::programDir(), QStringLiteral("quillmark.chm")) : path;
}

void setHelpFile(const QString& path)
{
    storedHelpFile() = path;
}

bool showHelpTopic(int topic)
{
    const QFileInfo file(helpFile());
    if (!file.isFile())
        return false;
    QUrl url = QUrl::fromLocalFile(file.absoluteFilePath());
    url.setFragment(QString::number(topic));
    return shellOpener().open(url.toString(QUrl::FullyEncoded));
}

QString missingHelpFileMessage(const QString& path)
{
    return QStringLiteral("Cannot find the '") + path
        + QStringLiteral("' Help file. Please check to see that the file exists on your disk. "
                         "If it doesn't, you need to reinstall it.");
}

} // namespace platform
