#include "platform/ShellOpener.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace platform {

namespace {

class DesktopShellOpener final : public ShellOpener
{
public:
    bool open(const QString& target) override
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
};

ShellOpener* g_replacement = nullptr;

} // namespace

ShellOpener::~ShellOpener() = default;

ShellOpener& shellOpener()
{
    static DesktopShellOpener desktop;
    return g_replacement ? *g_replacement : desktop;
}

void setShellOpener(ShellOpener* replacement)
{
    g_replacement = replacement;
}

} // namespace platform
