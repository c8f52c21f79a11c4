#include "core/startup/ConsolePrompter.h"
#include "core/startup/modStartUp.h"

#include <QApplication>
#include <QMainWindow>

#include <memory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);

    // Unattended runs answer every message on standard error.
    ConsolePrompter console;
    if (ConsolePrompter::unattended())
        platform::setPrompter(&console);

    std::unique_ptr<QMainWindow> window;
    const bool started = modStartUp::Main([&window]() -> QWidget* {
        window = std::make_unique<QMainWindow>();
        window->setObjectName(QStringLiteral("frmMain"));
        window->setWindowTitle(QStringLiteral("PPC Quillmark"));
        return window.get();
    });
    int rc = 0;
    if (started)
        rc = app.exec();
    platform::setPrompter(nullptr);
    return rc;
}
