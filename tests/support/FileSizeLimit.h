// A disk that fills up: every write past `bytes` fails, also root's, for the lifetime
// of the object (the signal such a write raises is ignored meanwhile).
#pragma once

#include <sys/resource.h>

#include <csignal>

class CFileSizeLimit {
public:
    explicit CFileSizeLimit(rlim_t bytes)
    {
        m_ok = getrlimit(RLIMIT_FSIZE, &m_before) == 0;
        rlimit tiny = m_before;
        tiny.rlim_cur = bytes;
        m_oldHandler = signal(SIGXFSZ, SIG_IGN);
        m_ok = m_ok && setrlimit(RLIMIT_FSIZE, &tiny) == 0;
    }
    ~CFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_before);
        signal(SIGXFSZ, m_oldHandler);
    }
    CFileSizeLimit(const CFileSizeLimit&) = delete;
    CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;

    bool IsSet() const { return m_ok; }

private:
    rlimit m_before{};
    sighandler_t m_oldHandler = SIG_DFL;
    bool m_ok = false;
};
