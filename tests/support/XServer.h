#pragma once

#include <QSize>
#include <QString>

// A private X server for the tests whose faults show only under a real
// window system (a native window recreated, a message box left under its
// parent, a list squeezed by a layout): the offscreen platform hides them.
//
// Call XServer::startForThisProcess() from the test's initMain(), before the
// application object exists. It starts Xvfb on a display it picks itself
// (-displayfd), with no window manager, and points DISPLAY and Qt's platform
// (xcb) at it. The server ends with the test program, also when the program
// crashes. Without an installed Xvfb the program stays on the offscreen
// platform, and QM_REQUIRE_X() skips the test saying so; an Xvfb that is
// installed but does not start fails the test instead.
namespace XServer {

// screen: the size of the server's one screen.
void startForThisProcess(const QSize& screen = QSize(1400, 900));

bool running();
bool installed();
QString whyNotRunning();

} // namespace XServer

#define QM_REQUIRE_X()                                                                 \
    do {                                                                               \
        if (!XServer::running()) {                                                     \
            if (!XServer::installed())                                                 \
                QSKIP(qPrintable(XServer::whyNotRunning()));                           \
            QFAIL(qPrintable(XServer::whyNotRunning()));                               \
        }                                                                              \
    } while (false)
