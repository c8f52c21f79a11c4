#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <initializer_list>

// While it lives, the permission bits of files and folders hold for the
// calling thread even when it runs as root (as CI does): it takes the
// capabilities that let root pass them (CAP_DAC_OVERRIDE,
// CAP_DAC_READ_SEARCH) out of the thread's effective set, and puts them back
// at the end. For any other user it changes nothing. So a file without read
// permission cannot be read and a folder without write permission takes no
// new file, for every user, and the tests of what the program then does run
// everywhere. Only the calling thread is affected: keep the work on it.
class RootObeysPermissions
{
public:
    RootObeysPermissions()
    {
        if (syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
        for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH})
            lowered[cap / 32].effective &= ~(1u << (cap % 32));
        m_lowered = syscall(SYS_capset, &m_header, lowered) == 0;
    }
    ~RootObeysPermissions()
    {
        if (m_lowered)
            syscall(SYS_capset, &m_header, m_saved);
    }
    RootObeysPermissions(const RootObeysPermissions&) = delete;
    RootObeysPermissions& operator=(const RootObeysPermissions&) = delete;

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
    bool m_lowered = false;
};
