#pragma once

// What the browser engine of the landing-page tab needs before the
// application object exists: shared OpenGL contexts, and - when the program
// runs as root, where the engine refuses to start its sandbox - the sandbox
// switched off (QTWEBENGINE_DISABLE_SANDBOX=1, unless already set).
namespace WebEngineSetup {

void prepare();

} // namespace WebEngineSetup
