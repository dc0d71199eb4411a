#include "SimScanEmitter.h"

#include <cstdlib>
#include <fstream>

namespace {

const int kCode128 = 2;
// A scanner's output buffer holds a few codes when nobody listens; older ones are lost.
const size_t kMostBuffered = 8;

std::vector<SSimRead> SampleReads()
{
    return {{4, "6901234567892"}, {kCode128, "VOSTREL-0001"}, {33, "https://example.com/vostrel"},
            {9, "CODE39TEST"},    {34, "DM-20261207"},          {6, "012345678905"}};
}

bool ParseScriptLine(const std::string& line, SSimRead& read)
{
    if (line.empty() || line[0] == '#')
        return false;
    const size_t tab = line.find('\t');
    read.symbology = kCode128;
    read.data = line;
    if (tab != std::string::npos) {
        char* end = nullptr;
        const long code = std::strtol(line.c_str(), &end, 10);
        if (end == line.c_str() + tab && code >= 0 && code <= 255) {
            read.symbology = static_cast<int>(code);
            read.data = line.substr(tab + 1);
        }
    }
    return !read.data.empty();
}

}  // namespace

CSimScanEmitter::CSimScanEmitter() : m_reads(SampleReads())
{
    SetFormatter(nullptr);
}

bool CSimScanEmitter::LoadScript(const std::string& path, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read the reads file " + path;
        return false;
    }
    std::vector<SSimRead> reads;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        SSimRead read;
        if (ParseScriptLine(line, read))
            reads.push_back(read);
    }
    if (reads.empty()) {
        error = "no reads in " + path;
        return false;
    }
    m_reads = std::move(reads);
    m_repeat = false;
    m_next = 0;
    return true;
}

void CSimScanEmitter::SetPeriod(int periodMs, bool repeat)
{
    m_periodMs = periodMs > 0 ? periodMs : 0;
    m_repeat = repeat;
    m_next = 0;
    m_due = Clock::now() + std::chrono::milliseconds(m_periodMs);
}

void CSimScanEmitter::SetFormatter(Formatter formatter)
{
    m_formatter = formatter ? std::move(formatter) : [](const std::string& data, int) { return data; };
}

std::vector<std::string> CSimScanEmitter::TakeDue(Clock::time_point now)
{
    std::vector<std::string> out;
    while (IsActive() && m_due <= now) {
        out.push_back(Encode(m_reads[m_next]));
        if (out.size() > kMostBuffered)
            out.erase(out.begin());
        m_due += std::chrono::milliseconds(m_periodMs);
        if (++m_next == m_reads.size() && m_repeat)
            m_next = 0;
    }
    return out;
}

int CSimScanEmitter::MillisecondsToNext(Clock::time_point now, int ceilingMs) const
{
    if (!IsActive())
        return ceilingMs;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(m_due - now).count();
    return static_cast<int>(std::max<long long>(0, std::min<long long>(left, ceilingMs)));
}

std::string CSimScanEmitter::Encode(const SSimRead& read) const
{
    const std::string formatted = m_formatter(read.data, read.symbology);
    switch (m_packing) {
    case ESimPacking::CODE_ID:
        return PackFrame(formatted, ';');
    case ESimPacking::AIM_ID:
        return PackFrame(formatted, '6');
    default:
        return formatted + "\r\n";
    }
}

std::string CSimScanEmitter::PackFrame(const std::string& data, char mark)
{
    // Two length bytes carry at most 0xFFFF; with the mark "6" the length counts the mark too.
    const std::string payload = data.substr(0, 0xFFFE);
    const size_t length = payload.size() + (mark == '6' ? 1 : 0);
    std::string frame;
    frame += '\x02';
    frame += '\x00';
    frame += static_cast<char>((length >> 8) & 0xFF);
    frame += static_cast<char>(length & 0xFF);
    frame += mark;
    frame += payload;
    uint8_t checksum = 0xFF;
    for (size_t i = 2; i < frame.size(); ++i)
        checksum ^= static_cast<uint8_t>(frame[i]);
    frame += static_cast<char>(checksum);
    return frame;
}
