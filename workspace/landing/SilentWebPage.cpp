#include "workspace/landing/SilentWebPage.h"

void SilentWebPage::javaScriptAlert(const QUrl&, const QString&)
{
}

bool SilentWebPage::javaScriptConfirm(const QUrl&, const QString&)
{
    return false;
}

bool SilentWebPage::javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*)
{
    return false;
}

QStringList SilentWebPage::chooseFiles(FileSelectionMode, const QStringList&, const QStringList&)
{
    return {};
}
