#pragma once

#include "platform/widgets/Dialog.h"

class clsRegister;

// The About box: "About " and the title as caption, the version, the
// dealer's name, e-mail and web address, the fixed platform line and OK.
class frmAbout : public platform::Dialog
{
    Q_OBJECT

public:
    // dealer: the dealer settings to show (null shows empty values).
    frmAbout(const clsRegister* dealer, const QString& title, QWidget* parent = nullptr);

    // Shows the About box of the running program (g_oRegister, the
    // application title) modally.
    static void showModal(QWidget* owner);
};
