#include "platform/WaitCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace platform {

WaitCursor::WaitCursor()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        m_active = true;
    }
}

WaitCursor::~WaitCursor()
{
    if (m_active)
        QGuiApplication::restoreOverrideCursor();
}

} // namespace platform
