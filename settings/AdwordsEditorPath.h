#pragma once

#include <QString>

// Where the ad platform's desktop editor program is installed on Windows:
// the default of the "AdwordsEditor" preference.
inline constexpr char kDefaultAdwordsEditorPath[] =
    "C:\\Program Files\\Google\\Google AdWords Editor\\adwords_editor.exe";

// The editor program to start for the stored path: the stored path when a
// file exists there; else, for a path that is not empty, the default install
// path or, when no file exists there either, the 32-bit one on 64-bit
// Windows. An empty stored path stays empty.
QString AdwordsEditorProgram(const QString& storedPath);
