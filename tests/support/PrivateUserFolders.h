// Test programs, and the programs they start, keep settings, logs and documents in a
// private folder removed at the end, never in the home folder of whoever runs them, and
// search only the serial ports they made: a probe must not reach the machine's own
// ports (a console, a modem), nor wait on another program that holds one.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

class CPrivateUserFolders {
public:
    CPrivateUserFolders()
    {
        setenv("VOSTREL_SYSTEM_SERIAL_PORTS", "off", 1);
        std::string pattern = (std::filesystem::temp_directory_path() / "vostrel-tests-home-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            return;
        m_root = pattern;
        setenv("HOME", m_root.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (m_root + "/config").c_str(), 1);
        setenv("XDG_STATE_HOME", (m_root + "/state").c_str(), 1);
        setenv("XDG_CACHE_HOME", (m_root + "/cache").c_str(), 1);
        setenv("XDG_DOCUMENTS_DIR", (m_root + "/documents").c_str(), 1);
    }
    ~CPrivateUserFolders()
    {
        std::error_code ignored;
        if (!m_root.empty())
            std::filesystem::remove_all(m_root, ignored);
    }
    CPrivateUserFolders(const CPrivateUserFolders&) = delete;
    CPrivateUserFolders& operator=(const CPrivateUserFolders&) = delete;

private:
    std::string m_root;
};
