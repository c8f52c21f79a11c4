// A second copy of the program in miniature: tries to take the single-instance
// lock; when another copy holds it, asks that copy to raise its window.
// Exit code: 0 = got the lock, 1 = refused and delivered, 2 = refused and not delivered.
#include "platform/SingleInstance.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    platform::SingleInstance instance;
    if (instance.tryAcquire())
        return 0;
    return instance.activateRunning() ? 1 : 2;
}
