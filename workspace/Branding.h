#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// The logo of the splash window and the About box, and the program's icon.
namespace Branding {

enum class Logo { Standard, DealerKzv, CoBrand };

// A title holding "Orrery" (any letter case) gives the co-brand logo,
// whatever the dealer; else the dealer code "KZV" (any letter case) gives
// that dealer's logo; every other code the standard one.
Logo logoFor(const QString& dealerId, const QString& title);

QPixmap picture(Logo logo);

// The program's icon, in the standard logo's colours, drawn for the sizes
// title bars, task bars and switchers ask for.
QIcon programIcon();

} // namespace Branding
