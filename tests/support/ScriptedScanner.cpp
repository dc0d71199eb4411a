#include "ScriptedScanner.h"

CScriptedScanner::CScriptedScanner() : m_thread([this] { Serve(); }) {}

CScriptedScanner::~CScriptedScanner()
{
    m_stop = true;
    m_thread.join();
}

void CScriptedScanner::Script(std::vector<std::string> replies)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_replies.assign(replies.begin(), replies.end());
}

std::vector<std::string> CScriptedScanner::Requests()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

void CScriptedScanner::Serve()
{
    // Short receives, so that the destructor is never kept waiting long.
    std::string pending;
    while (!m_stop) {
        pending += m_pty.Receive(1, 20);
        const size_t end = pending.find(";\x03");
        if (end == std::string::npos)
            continue;
        const std::string request = pending.substr(0, end + 2);
        pending.erase(0, end + 2);
        std::string reply;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_requests.push_back(request);
            if (!m_replies.empty()) {
                reply = m_replies.front();
                m_replies.pop_front();
            }
        }
        if (!reply.empty())
            m_pty.Send(reply);
    }
}
