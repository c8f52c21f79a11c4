#include "core/startup/ConsolePrompter.h"
#include "core/startup/modStartUp.h"
#include "platform/CurlLibrary.h"
#include "preferences/frmPreference.h"
#include "workspace/frmMain.h"

#include <QApplication>

#include <memory>

int main(int argc, char* argv[])
{
    // Before any thread starts: the mail component sends on worker threads.
    const platform::CurlLibrary curl;
    QApplication app(argc, argv);

    // Unattended runs answer every message on standard error.
    ConsolePrompter console;
    if (ConsolePrompter::unattended())
        platform::setPrompter(&console);

    std::unique_ptr<frmMain> window;
    const bool started = modStartUp::Main([&window]() -> QWidget* {
        window = std::make_unique<frmMain>();
        window->setPreferencesHook(&frmPreference::ShowModal);
        return window.get();
    });
    int rc = 0;
    if (started)
        rc = app.exec();
    platform::setPrompter(nullptr);
    return rc;
}
