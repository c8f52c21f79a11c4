#pragma once

#include <QString>

class QComboBox;
class QLineEdit;

namespace platform {

// Puts a text the program chose into a one-line box, shown from its start.
// QLineEdit::setText leaves the cursor, and so the view, at the end: a text
// longer than the box would show only its last characters ("e} Winter Sale").
// The box's undo history is cleared, as with setText; the user's typing does
// not go through here.
void setLineText(QLineEdit* box, const QString& text);
// The same for the text of an editable combo box.
void setLineText(QComboBox* box, const QString& text);

} // namespace platform
