#pragma once

#include <QString>

class QLineEdit;

namespace platform {

// A one-line box, named name, that takes a text of any length: a stored
// value shown in it comes back whole (Qt's own default cuts at 32767
// characters). Every one-line box that shows a stored text is made here.
QLineEdit* lineEdit(const QString& name);

} // namespace platform
