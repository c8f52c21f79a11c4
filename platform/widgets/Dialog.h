#pragma once

#include <QDialog>

namespace platform {

// The base of every dialog window of the program (derive new dialogs from it
// rather than from QDialog): its keyboard works as in the desktop's own
// dialogs.
//
// - The push button that has the focus answers Enter (Return or the keypad's
//   Enter, without Ctrl, Alt or Shift) by clicking itself, also when it is
//   not a default button and whatever the dialog's own key handling says.
// - It answers Space as every Qt button does: a click when the key is let go.
// - Enter anywhere else is left to the dialog (QDialog presses its default
//   button, when it has one).
class Dialog : public QDialog
{
    Q_OBJECT

public:
    using QDialog::QDialog;

protected:
    // Runs before keyPressEvent, so that a dialog that takes Enter for itself
    // still lets its focused button answer it.
    bool event(QEvent* event) override;
};

} // namespace platform
