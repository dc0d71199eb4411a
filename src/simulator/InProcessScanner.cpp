#include "InProcessScanner.h"

#include "SimLinePacer.h"

#include <algorithm>

CInProcessScanner::CInProcessScanner(std::unique_ptr<CSimulatedScanner> scanner, const std::string& portName)
    : m_scanner(std::move(scanner)),
      m_portName(portName.empty() ? "sim:" + m_scanner->Profile().productName : portName), m_baseName(m_portName)
{
    if (m_scanner->Timing().IsNone())
        m_scanner->SetTiming(SSimTiming::FromEnvironment());
    m_downloads = m_scanner->Firmware().CompletedDownloads();
}

CInProcessScanner::~CInProcessScanner()
{
    JoinMover();
    Stop();
}

void CInProcessScanner::JoinMover()
{
    std::lock_guard<std::mutex> lock(m_moveMutex);
    if (m_mover.joinable())
        m_mover.join();
}

std::string CInProcessScanner::PortName() const
{
    std::lock_guard<std::mutex> lock(m_nameMutex);
    return m_portName;
}

uint32_t CInProcessScanner::Start()
{
    if (m_port != 0)
        return m_port;
    if (m_lastPort != 0)
        m_scanner->Restart();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_output.clear();
        m_disconnectQueued = false;
        m_gone = false;
    }
    const HbdsVirtualDevice device{this, &OnReceive, &OnSend, &OnLineChanged, &OnDropInput};
    m_port = hbds_add_virtual_port(PortName().c_str(), &device);
    if (m_port != 0)
        m_lastPort = m_port.load();
    return m_port;
}

void CInProcessScanner::Stop()
{
    if (m_port == 0)
        return;
    {
        // Wakes a read in progress, so that removal need not wait out its time-out.
        std::lock_guard<std::mutex> lock(m_mutex);
        m_gone = true;
        m_output.clear();
    }
    m_changed.notify_all();
    hbds_remove_virtual_port(m_port);
    m_port = 0;
}

std::unique_ptr<CSimulatedScanner> CInProcessScanner::TakeScanner()
{
    JoinMover();
    Stop();
    return std::move(m_scanner);
}

void CInProcessScanner::OnReceive(void* context, const uint8_t* data, uint32_t count)
{
    static_cast<CInProcessScanner*>(context)->Receive(data, count);
}

int CInProcessScanner::OnSend(void* context, uint8_t* buffer, uint32_t size, int timeoutMs)
{
    return static_cast<CInProcessScanner*>(context)->Send(buffer, size, timeoutMs);
}

void CInProcessScanner::OnLineChanged(void* context, const SerialSettings* settings)
{
    if (settings)
        static_cast<CInProcessScanner*>(context)->LineChanged(*settings);
}

void CInProcessScanner::OnDropInput(void* context)
{
    static_cast<CInProcessScanner*>(context)->DropOutput();
}

void CInProcessScanner::Receive(const uint8_t* data, uint32_t count)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_gone || m_disconnectQueued)
            return;
    }
    const std::vector<SSimReply> replies = m_scanner->Feed(data, count);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const SSimReply& reply : replies)
            QueueLocked(reply);
    }
    m_changed.notify_all();
    WatchForRestart();
}

void CInProcessScanner::WatchForRestart()
{
    // Never waits: whoever holds the lock may be joining a move that waits for this
    // very callback to end. A download it misses is seen at the next bytes.
    std::unique_lock<std::mutex> lock(m_moveMutex, std::try_to_lock);
    if (!lock.owns_lock())
        return;
    const int downloads = m_scanner->Firmware().CompletedDownloads();
    if (downloads == m_downloads || m_moving)
        return;
    m_downloads = downloads;
    if (!m_scanner->Timing().newPathOnRestart)
        return;
    if (m_mover.joinable())
        m_mover.join();  // the last move has ended: m_moving is clear
    m_moving = true;
    m_mover = std::thread([this] { MoveAfterDownload(); });
}

void CInProcessScanner::MoveAfterDownload()
{
    {
        // The end packet's answer goes out before the scanner drops off the bus.
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait_for(lock, std::chrono::seconds(2), [this] { return m_output.empty() || m_gone; });
    }
    Stop();
    {
        std::lock_guard<std::mutex> lock(m_nameMutex);
        m_portName = m_baseName + "." + std::to_string(++m_moves + 1);
    }
    Start();
    m_moving = false;
}

void CInProcessScanner::QueueLocked(const SSimReply& reply)
{
    if (m_disconnectQueued)
        return;
    const auto byteTime = CSimLinePacer::ByteTime(m_lineRate) + std::chrono::milliseconds(reply.byteGapMs);
    Clock::time_point due = std::max(Clock::now(), m_output.empty() ? Clock::now() : m_output.back().due);
    due += std::chrono::milliseconds(reply.delayMs);
    for (char c : reply.bytes) {
        due += byteTime;  // a byte is there once its last bit has arrived
        m_output.push_back({static_cast<uint8_t>(c), due});
    }
    m_disconnectQueued = reply.disconnect;
    if (m_disconnectQueued && m_output.empty())
        m_gone = true;
}

int CInProcessScanner::TakeDueLocked(uint8_t* buffer, uint32_t size)
{
    const Clock::time_point now = Clock::now();
    uint32_t taken = 0;
    while (taken < size && !m_output.empty() && m_output.front().due <= now) {
        buffer[taken++] = m_output.front().byte;
        m_output.pop_front();
    }
    if (m_output.empty() && m_disconnectQueued)
        m_gone = true;
    if (taken == 0 && m_gone)
        return -1;
    return static_cast<int>(taken);
}

int CInProcessScanner::Send(uint8_t* buffer, uint32_t size, int timeoutMs)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        // Reads the scanner makes by itself join the output when they are due.
        for (const SSimReply& read : m_scanner->TakeSpontaneous()) {
            if (!m_gone)
                QueueLocked(read);
        }
        const int taken = TakeDueLocked(buffer, size);
        if (taken != 0 || Clock::now() >= deadline)
            return taken;
        // Sleeps until the next byte has crossed the line, new output is queued, the
        // next read is due, or the caller's time is up.
        const auto toRead = std::chrono::milliseconds(m_scanner->MillisecondsToSpontaneous(std::max(timeoutMs, 0)));
        const Clock::time_point nextRead = Clock::now() + toRead;
        const Clock::time_point wake = std::min(nextRead, m_output.empty() ? deadline : std::min(deadline, m_output.front().due));
        m_changed.wait_until(lock, wake);
    }
}

void CInProcessScanner::LineChanged(const SerialSettings& settings)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lineRate = settings.baudRate;
        // Every open tells the line: a scanner that hung up (a restart, a fault) is
        // still plugged in and takes the new connection. A stopped one is unplugged
        // and never gets here.
        if (m_gone) {
            m_gone = false;
            m_disconnectQueued = false;
            m_output.clear();
        }
    }
    m_scanner->SetLineRate(settings.baudRate);
}

void CInProcessScanner::DropOutput()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_output.clear();
    if (m_disconnectQueued)
        m_gone = true;  // the link dropped while the bytes were on their way
}
