#include "app/modStartUp.h"
#include "platform/CurlLibrary.h"
#include "platform/desktop/DesktopServices.h"
#include "preferences/frmPreference.h"
#include "workspace/frmAbout.h"
#include "workspace/frmMain.h"
#include "workspace/landing/WebEngineSetup.h"

#include <QApplication>

#include <memory>

namespace {

// Nobody can answer a message box in a test run or on the offscreen platform:
// messages then go to standard error and get the answer that changes nothing.
bool unattended()
{
    return !qEnvironmentVariable("QUILLMARK_TEST").isEmpty()
        || qEnvironmentVariable("QT_QPA_PLATFORM") == QLatin1String("offscreen")
        || QGuiApplication::platformName() == QLatin1String("offscreen");
}

} // namespace

int main(int argc, char* argv[])
{
    // Before any thread starts: the mail component sends on worker threads.
    const platform::CurlLibrary curl;
    WebEngineSetup::prepare();
    QApplication app(argc, argv);
    // The installed desktop entry's name: the desktop groups the windows under its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("ppc-quillmark"));
    platform::desktop::DesktopServices desktop(!unattended());

    std::unique_ptr<frmMain> window;
    const bool started = modStartUp::Main([&window, &desktop]() -> QWidget* {
        window = std::make_unique<frmMain>();
        desktop.setMainWindow(window.get());
        window->setPreferencesHook(&frmPreference::ShowModal);
        window->setAboutHook(&frmAbout::showModal);
        return window.get();
    });
    return started ? app.exec() : 0;
}
