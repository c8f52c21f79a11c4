#include "platform/WaitCursor.h"

namespace platform {

namespace {

BusyPointer* g_pointer = nullptr;

} // namespace

BusyPointer::~BusyPointer() = default;

void setBusyPointer(BusyPointer* pointer)
{
    g_pointer = pointer;
}

WaitCursor::WaitCursor()
    : m_pointer(g_pointer)
{
    if (m_pointer)
        m_pointer->show();
}

WaitCursor::~WaitCursor()
{
    if (m_pointer)
        m_pointer->restore();
}

} // namespace platform
