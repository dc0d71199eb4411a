#include "LoopbackHttpServer.h"

#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

extern char** environ;

CLoopbackHttpServer::CLoopbackHttpServer(const std::string& folder)
{
    int out[2];
    if (pipe(out) != 0)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const std::string script = VOSTREL_SOURCE_DIR "/tests/update/http_server.py";
    char* const args[] = {const_cast<char*>("python3"), const_cast<char*>(script.c_str()),
                          const_cast<char*>(folder.c_str()), nullptr};
    const bool started = posix_spawnp(&m_pid, "python3", &actions, nullptr, args, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (!started) {
        m_pid = -1;
        close(out[0]);
        return;
    }
    // The first line is the port the server listens on.
    FILE* lines = fdopen(out[0], "r");
    int port = 0;
    if (lines && std::fscanf(lines, "%d", &port) == 1 && port > 0)
        m_address = "http://127.0.0.1:" + std::to_string(port);
    if (lines)
        std::fclose(lines);
}

CLoopbackHttpServer::~CLoopbackHttpServer()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
}

std::string CLoopbackHttpServer::RefusingAddress()
{
    // A port that was free a moment ago: bound, read back, closed again.
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    close(probe);
    return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
}
