#pragma once

#include "TestEnvironment.h"

#include <QFile>
#include <QString>

// The program's country and language code files as the build installs
// them, copied into a test's program folder.
inline QString codeFileSource(const char* name)
{
    return QStringLiteral(QUILLMARK_CODE_FILES_DIR "/") + QLatin1String(name);
}

inline bool installCodeFiles(const TestEnvironment& env)
{
    for (const char* name : {"CountryNCodeGoogle.rpt", "LanguageNCode.rpt"}) {
        if (!QFile::copy(codeFileSource(name), env.programDir() + QLatin1Char('/') + QLatin1String(name)))
            return false;
    }
    return true;
}
