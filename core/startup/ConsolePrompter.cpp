#include "core/startup/ConsolePrompter.h"

#include <QGuiApplication>

#include <cstdio>

platform::MsgResult ConsolePrompter::message(const platform::MessageRequest& request)
{
    std::fprintf(stderr, "%s: %s\n", request.title.toLocal8Bit().constData(), request.text.toLocal8Bit().constData());
    std::fflush(stderr);
    switch (request.buttons) {
    case platform::MsgButtons::OK:
    case platform::MsgButtons::OKCancel:
        return platform::MsgResult::OK;
    case platform::MsgButtons::YesNo:
    case platform::MsgButtons::YesNoCancel:
        // Nobody can see the question: take the answer that changes nothing.
        return platform::MsgResult::No;
    case platform::MsgButtons::RetryCancel:
        return platform::MsgResult::Cancel;
    }
    return platform::MsgResult::OK;
}

QString ConsolePrompter::fileDialog(platform::FileDialogRequest&)
{
    return QString();
}

QString ConsolePrompter::browseForFolder(const QString&)
{
    return QString();
}

bool ConsolePrompter::unattended()
{
    if (!qEnvironmentVariable("QUILLMARK_TEST").isEmpty())
        return true;
    if (qEnvironmentVariable("QT_QPA_PLATFORM") == QLatin1String("offscreen"))
        return true;
    return QGuiApplication::platformName() == QLatin1String("offscreen");
}
