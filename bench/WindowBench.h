#pragma once

#include "workspace/landing/WebEngineSetup.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// What a benchmark of the main window needs before its application object
// exists: the offscreen platform, every location of the program in the
// scratch folder, and a browser engine that can start (as root it needs its
// sandbox off).
inline void prepareWindowBench(const QString& scratch)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    for (const char* variable : {"QUILLMARK_PROGRAM_DIR", "QUILLMARK_REGISTRY_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
        qputenv(variable, QFile::encodeName(scratch));
    WebEngineSetup::prepare();
}
