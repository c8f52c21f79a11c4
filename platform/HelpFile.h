#pragma once

#include <QString>

// The program's help file and the stand-in for F1 over a control that
// carries a help context number.
namespace platform {

// The help file the application keeps for the run: "<program folder>/
// quillmark.chm" until set.
QString helpFile();
void setHelpFile(const QString& path);

// Opens the help file at a topic through the shell opener: the topic number
// travels as the fragment of the file's URL ("file:///.../quillmark.chm#102"),
// so a viewer that knows topics goes there and any other opens the file.
// False, with nothing opened, when the help file does not exist.
bool showHelpTopic(int topic);

// What the program says when the help file is missing.
QString missingHelpFileMessage(const QString& path);

} // namespace platform
