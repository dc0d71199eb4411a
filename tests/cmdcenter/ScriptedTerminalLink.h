// A terminal link that answers from a script: each read takes the next reply, or
// waits out its limit when none is left. Writes are recorded.
#pragma once

#include "cmdcenter/TerminalLink.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CScriptedTerminalLink : public ITerminalLink {
public:
    void AddReply(const std::string& bytes)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_replies.push_back(bytes);
    }
    std::vector<std::string> Written() { return Locked(m_written); }
    std::vector<bool> WrittenRaw() { return Locked(m_raw); }
    int Polls() const { return m_polls; }

    bool IsOpen() override { return m_open; }
    CLineHold TakeLine(const SLineUser& user, uint32_t waitMs) override { return m_line.TakeWithin(user, waitMs); }
    bool ReadDeviceOutput(uint32_t limitMs, std::string& bytes) override
    {
        wxString text;
        return ReadReply(limitMs, bytes, text);
    }
    void SetAside(const std::string& bytes) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_setAside += bytes;
    }
    std::string SetAsideBytes() { return Locked(m_setAside); }
    // The line this partner stands for, so that a test can hold it as another part would.
    CLineOwner m_line;
    uint32_t WriteText(const wxString& text) override { return Record(std::string(text.mb_str(wxConvISO8859_1)), false); }
    uint32_t WriteRaw(const std::string& bytes) override { return Record(bytes, true); }
    void DropInput() override {}
    bool ReadReply(uint32_t limitMs, std::string& bytes, wxString& text) override
    {
        ++m_polls;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_replies.empty()) {
                bytes = m_replies.front();
                m_replies.pop_front();
                text = wxString(bytes.data(), wxConvISO8859_1, bytes.size());
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(limitMs == 0 ? kSilentReadMs : limitMs));
        return false;
    }

    std::atomic<bool> m_open{true};
    std::atomic<bool> m_failWrites{false};
    static constexpr int kSilentReadMs = 5;

private:
    // A copy taken under the lock: the worker thread records while tests read.
    template <typename T>
    T Locked(const T& recorded)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return recorded;
    }
    uint32_t Record(const std::string& bytes, bool raw)
    {
        if (m_failWrites)
            return 0;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_written.push_back(bytes);
        m_raw.push_back(raw);
        return static_cast<uint32_t>(bytes.size());
    }

    std::mutex m_mutex;
    std::deque<std::string> m_replies;
    std::vector<std::string> m_written;
    std::vector<bool> m_raw;
    std::string m_setAside;
    std::atomic<int> m_polls{0};
};
