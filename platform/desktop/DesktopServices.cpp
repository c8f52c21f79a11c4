#include "platform/desktop/DesktopServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

namespace platform::desktop {

namespace {

// Converts "desc|pattern;pattern|desc|pattern" into Qt's name filters. Qt
// reads a filter's patterns from the parentheses that end its text, so a
// description that shows its patterns there gets them replaced, not repeated.
// "*.*" stands for every file, as in a Windows dialog; Qt's wildcard would
// want a point in the name.
QStringList nameFilters(const QString& filter)
{
    static const QRegularExpression shownPatterns(QStringLiteral("\\s*\\([^()]*[*?][^()]*\\)\\s*$"));
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        QString description = parts.at(i);
        description.remove(shownPatterns);
        result << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return result;
}

} // namespace

QWidget* dialogOwner(QWidget* mainWindow)
{
    if (QWidget* active = QApplication::activeWindow())
        return active;
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return mainWindow && mainWindow->isVisible() ? mainWindow : nullptr;
}

MsgResult MessageBoxPrompter::message(const MessageRequest& request)
{
    QMessageBox box(owner());
    // Messages carry names and texts from files and servers: never markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(request.text);
    box.setWindowTitle(request.title);
    switch (request.icon) {
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::None: break;
    }
    switch (request.buttons) {
    case MsgButtons::OK: box.setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::OKCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case MsgButtons::RetryCancel: box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel); break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok: return MsgResult::OK;
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    case QMessageBox::Retry: return MsgResult::Retry;
    default: return MsgResult::Cancel;
    }
}

QString MessageBoxPrompter::fileDialog(FileDialogRequest& request)
{
    QFileDialog dialog(owner(), request.title, request.initialFolder);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = nameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = request.filterIndex - 1;
        if (index >= 0 && index < filters.size())
            dialog.selectNameFilter(filters.at(index));
    }
    if (!request.defaultExtension.isEmpty())
        dialog.setDefaultSuffix(request.defaultExtension);
    if (!request.suggestedName.isEmpty())
        dialog.selectFile(request.suggestedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    request.filterIndex = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
    return dialog.selectedFiles().constFirst();
}

QString MessageBoxPrompter::browseForFolder(const QString& title, const QString& initialFolder)
{
    return QFileDialog::getExistingDirectory(owner(), title, initialFolder);
}

bool DesktopShellOpener::open(const QString& target)
{
    const QString t = target.trimmed();
    if (t.isEmpty())
        return false;
    // An existing file or folder opens as such; anything else is an
    // address ("http://...", "mailto:...", "www.example.com").
    const QUrl url = QFileInfo::exists(t) ? QUrl::fromLocalFile(QFileInfo(t).absoluteFilePath())
                                          : QUrl::fromUserInput(t);
    if (!url.isValid())
        return false;
    return QDesktopServices::openUrl(url);
}

void OverrideCursor::show()
{
    if (m_depth++ == 0 && qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        m_set = true;
    }
}

void OverrideCursor::restore()
{
    if (m_depth > 0 && --m_depth == 0 && m_set) {
        QGuiApplication::restoreOverrideCursor();
        m_set = false;
    }
}

DesktopServices::DesktopServices(bool withMessageBoxes)
{
    if (withMessageBoxes)
        setPrompter(&m_prompter);
    setShellOpener(&m_opener);
    setBusyPointer(&m_cursor);
}

DesktopServices::~DesktopServices()
{
    setPrompter(nullptr);
    setShellOpener(nullptr);
    setBusyPointer(nullptr);
}

} // namespace platform::desktop
