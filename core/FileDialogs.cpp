#include "core/FileDialogs.h"

#include "core/Conversions.h"
#include "core/Globals.h"

#include "platform/Prompter.h"

#include <QDir>
#include <QFileInfo>

namespace FileDialogs {

QString PickerStartFolder(const QString& pathInBox)
{
    const auto existingFolder = [](const QString& path) {
        return QDir::isAbsolutePath(path) && QFileInfo(path).isDir();
    };
    // A path in the box names a folder, or a file (or a folder still to be
    // made) in one.
    const QString box = pathInBox.trimmed();
    if (QDir::isAbsolutePath(box)) {
        for (const QString& folder : {box, QFileInfo(box).absolutePath()})
            if (existingFolder(folder))
                return QDir::cleanPath(folder);
    }
    if (existingFolder(g_sWorkingFolder))
        return QDir::cleanPath(g_sWorkingFolder);
    return QDir::homePath();
}

QString ShowFileDialog(int mode, const QString& filter, const QString& initialFolder, const QString& suggestedName,
                       const QString& defaultExtension, int* filterIndex, const QString& title)
{
    platform::FileDialogRequest request;
    request.save = mode == 1;
    request.title = title.isEmpty() ? (request.save ? QStringLiteral("Save File") : QStringLiteral("Open File"))
                                    : title;
    request.filter = filter;
    request.initialFolder = initialFolder.isEmpty() ? PickerStartFolder() : initialFolder;
    request.suggestedName = suggestedName;
    request.defaultExtension = defaultExtension;
    request.filterIndex = (filterIndex && *filterIndex > 0) ? *filterIndex : 1;
    const QString chosen = platform::prompter().fileDialog(request);
    if (!chosen.isEmpty() && filterIndex)
        *filterIndex = request.filterIndex;
    return Conversions::Trim(TrimNull(chosen));
}

QString BrowseForFolder(const QString& title, const QString& initialFolder)
{
    return TrimNull(platform::prompter().browseForFolder(
        title, initialFolder.isEmpty() ? PickerStartFolder() : initialFolder));
}

QString TrimNull(const QString& text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

} // namespace FileDialogs
