#include "LoopbackHttpServer.h"

#include <signal.h>
#include <unistd.h>

#include <cstdio>

CLoopbackHttpServer::CLoopbackHttpServer(const std::string& folder, const std::string& certificate,
                                         const std::string& key)
{
    // "exec" makes python the child that popen waits for; its first line is "<port> <pid>".
    std::string command = "exec python3 '" VOSTREL_SOURCE_DIR "/tests/update/http_server.py' '" + folder + "'";
    if (!certificate.empty())
        command += " '" + certificate + "' '" + key + "'";
    m_output = popen(command.c_str(), "re");
    int port = 0;
    if (m_output && std::fscanf(m_output, "%d %d", &port, &m_pid) == 2 && port > 0)
        m_address = (certificate.empty() ? "http://127.0.0.1:" : "https://localhost:") + std::to_string(port);
}

CLoopbackHttpServer::~CLoopbackHttpServer()
{
    if (m_pid > 0)
        kill(m_pid, SIGTERM);
    if (m_output)
        pclose(m_output);
}
