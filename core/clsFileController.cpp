#include "core/clsFileController.h"

#include "core/ErrorLog.h"
#include "core/FileDialogs.h"
#include "core/TextFiles.h"
#include "platform/AtomicFile.h"
#include "platform/Prompter.h"
#include "platform/WaitCursor.h"

#include <QFileInfo>

using namespace platform;

namespace {

// TextFiles::read with the hourglass; a failure is shown.
QString readShown(const QString& path, QString* error)
{
    QString text;
    QString problem;
    {
        const WaitCursor wait;
        TextFiles::read(path, text, &problem);
    }
    if (!problem.isEmpty())
        MsgBox(problem, MsgButtons::OK, MsgIcon::Exclamation, QStringLiteral("Open File"));
    if (error)
        *error = problem;
    return text;
}

} // namespace

QString clsFileController::openTextFile(const QString& path, QString* error)
{
    if (error)
        error->clear();
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return QString(); // a missing file is not an error
    return readShown(path, error);
}

QString clsFileController::openChosenFile(const QString& path, QString* error)
{
    if (error)
        error->clear();
    if (path.isEmpty() || !QFileInfo::exists(path))
        return QString();
    return readShown(path, error);
}

bool clsFileController::SaveTextFile(const QString& path, const QString& text, bool confirm)
{
    if (path.isEmpty())
        return false;
    if (confirm && QFileInfo::exists(path)) {
        const MsgResult answer = MsgBox(
            QStringLiteral("The file ") + path + QStringLiteral(" already existing, do you want to replace it?"),
            MsgButtons::YesNo, MsgIcon::Question, QStringLiteral("Save File"));
        if (answer != MsgResult::Yes)
            return false;
    }

    SaveResult result;
    {
        const WaitCursor wait;
        result = TextFiles::writeText(path, text);
    }
    if (result.ok)
        return true;
    ErrorLog::WriteErrorLog(QStringLiteral("saveTextFile_Error: ") + QString::number(result.error) + QLatin1Char(' ')
                            + result.errorText);
    MsgBox(result.errorText, MsgButtons::OK, MsgIcon::Exclamation, QStringLiteral("Save File"));
    return false;
}

QString clsFileController::GetFileName(int mode, const QString& filter, const QString& suggestedName,
                                       int* filterIndex)
{
    FileDialogRequest request;
    request.save = mode == 1;
    request.filter = filter;
    request.initialFolder = FileDialogs::PickerStartFolder();
    request.filterIndex = (filterIndex && *filterIndex > 0) ? *filterIndex : 1;
    if (request.save)
        request.suggestedName = suggestedName;
    const QString chosen = prompter().fileDialog(request);
    if (request.save && filterIndex && !chosen.isEmpty())
        *filterIndex = request.filterIndex;
    return chosen;
}
