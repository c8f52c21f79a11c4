#pragma once

#include <QString>

class QComboBox;
class QLineEdit;

namespace platform {

// A one-line box, named name, that takes a text of any length: a stored
// value shown in it comes back whole (Qt's own default cuts at 32767
// characters). Every one-line box that shows a stored text is made here.
QLineEdit* lineEdit(const QString& name);

// Puts a text the program chose into a one-line box, shown from its start.
// QLineEdit::setText leaves the cursor, and so the view, at the end: a text
// longer than the box would show only its last characters ("e} Winter Sale").
// The box's undo history is cleared, as with setText; the user's typing does
// not go through here.
void setLineText(QLineEdit* box, const QString& text);
// The same for the text of an editable combo box.
void setLineText(QComboBox* box, const QString& text);

} // namespace platform
