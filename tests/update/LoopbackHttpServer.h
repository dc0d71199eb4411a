// A real HTTP server on loopback for the update tests: python3's, serving a folder.
#pragma once

#include "support/TempDir.h"

#include <cstdio>
#include <string>

class CLoopbackHttpServer {
public:
    // Serves `folder` (which gets a "requests.log" of path and agent per request);
    // over HTTPS with the given certificate and key files.
    explicit CLoopbackHttpServer(const std::string& folder, const std::string& certificate = std::string(),
                                 const std::string& key = std::string());
    ~CLoopbackHttpServer();
    CLoopbackHttpServer(const CLoopbackHttpServer&) = delete;
    CLoopbackHttpServer& operator=(const CLoopbackHttpServer&) = delete;

    // "http://127.0.0.1:<port>" ("https://localhost:<port>"), or empty when the server did not start.
    const std::string& Address() const { return m_address; }

    // A loopback address on which nothing listens: port 1 is privileged and unused.
    static std::string RefusingAddress() { return "http://127.0.0.1:1"; }

private:
    FILE* m_output = nullptr;
    int m_pid = -1;
    std::string m_address;
};

// A folder served for all cases of a test suite: python takes seconds to start.
struct SLoopbackSite {
    CTempDir folder;
    CLoopbackHttpServer server{std::string(folder.Path().utf8_str())};
};
