#pragma once

// The busy (hourglass) pointer. GUI-free code says when it is busy; the
// program installs the desktop's pointer (platform/desktop), and without one
// being busy shows nothing.
namespace platform {

class BusyPointer
{
public:
    virtual ~BusyPointer();
    // Calls nest: the pointer shows from the first show() to the last restore().
    virtual void show() = 0;
    virtual void restore() = 0;
};

// Installs a busy pointer (not owned); nullptr shows nothing again.
void setBusyPointer(BusyPointer* pointer);

// Shows the busy pointer for its lifetime.
class WaitCursor
{
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    BusyPointer* m_pointer; // the one shown, restored even when another is installed meanwhile
};

} // namespace platform
