#include "platform/widgets/Dialog.h"

#include <QKeyEvent>
#include <QPushButton>

namespace platform {

namespace {

bool isPlainEnter(const QKeyEvent* key)
{
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    return enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

} // namespace

bool Dialog::event(QEvent* event)
{
    // A focused auto-default button clicks itself; any other lets the key
    // travel on to its dialog, which clicks it here.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        auto* button = qobject_cast<QPushButton*>(focusWidget());
        if (button && button->isEnabled() && isPlainEnter(key)) {
            button->click();
            event->accept();
            return true;
        }
    }
    return QDialog::event(event);
}

} // namespace platform
