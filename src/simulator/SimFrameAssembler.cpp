#include "SimFrameAssembler.h"

namespace {

const char kStart[] = "~\x01";
const char kEnd[] = ";\x03";
// A scanner's input buffer is small; a "frame" longer than this is noise, and the
// bound keeps endless garbage from growing memory.
const size_t kMaxFrame = 64 * 1024;

}  // namespace

std::vector<std::string> CSimFrameAssembler::Push(const uint8_t* data, size_t count)
{
    m_pending.append(reinterpret_cast<const char*>(data), count);
    std::vector<std::string> frames;
    std::string frame;
    while (TakeFrame(frame))
        frames.push_back(frame);
    return frames;
}

bool CSimFrameAssembler::TakeFrame(std::string& frame)
{
    const size_t start = m_pending.find(kStart);
    if (start == std::string::npos) {
        // Keep a lone "~" at the end: its 0x01 may still come.
        const bool keepTilde = !m_pending.empty() && m_pending.back() == '~';
        m_pending.erase(0, keepTilde ? m_pending.size() - 1 : m_pending.size());
        return false;
    }
    m_pending.erase(0, start);
    const size_t end = m_pending.find(kEnd, 2);
    const size_t restart = m_pending.find(kStart, 2);
    if (restart != std::string::npos && (end == std::string::npos || restart < end)) {
        m_pending.erase(0, restart);  // the frame before was cut short
        return TakeFrame(frame);
    }
    if (end == std::string::npos) {
        if (m_pending.size() > kMaxFrame)
            m_pending.clear();
        return false;
    }
    frame = m_pending.substr(0, end + 2);
    m_pending.erase(0, end + 2);
    return true;
}
