#pragma once

// Shows the hourglass (busy) pointer for its lifetime when a GUI application
// is running; does nothing otherwise.
namespace platform {

class WaitCursor
{
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool m_active = false;
};

} // namespace platform
