#include "PtyScanner.h"

namespace {

const size_t kMostUnreadReads = 1024;

}  // namespace

bool AnswerPendingRequests(CSimulatedScanner& scanner, CPtyLink& link, int waitMs, std::atomic<size_t>* repliedBytes)
{
    if (!link.IsOpen())
        return false;
    // Reads the scanner makes by itself go out between requests. While the tool does
    // not read, they are lost, as in a scanner whose buffer is full: writing on would
    // block once the terminal's queue fills.
    for (const SSimReply& read : scanner.TakeSpontaneous()) {
        if (link.UnreadByTool() < kMostUnreadReads && !link.Send(read))
            return false;
    }
    if (!link.WaitForInput(scanner.MillisecondsToSpontaneous(waitMs)))
        return true;
    scanner.SetLineRate(link.LineRate());
    for (const SSimReply& reply : scanner.Feed(link.ReadAvailable())) {
        if (!link.Send(reply))
            return false;
        if (repliedBytes)
            *repliedBytes += reply.bytes.size();
    }
    return link.IsOpen();
}

CPtyScanner::CPtyScanner(std::unique_ptr<CSimulatedScanner> scanner) : m_scanner(std::move(scanner))
{
    if (m_scanner && m_scanner->Timing().IsNone())
        m_scanner->SetTiming(SSimTiming::FromEnvironment());
}

CPtyScanner::~CPtyScanner()
{
    Stop();
}

bool CPtyScanner::Start(std::string& error)
{
    if (!m_scanner) {
        error = "no scanner to serve";
        return false;
    }
    if (m_thread.joinable())
        return true;
    if (!m_link.Open(error))
        return false;
    m_stop = false;
    // Short waits, so that a stop is noticed quickly.
    m_thread = std::thread([this] {
        while (!m_stop && AnswerPendingRequests(*m_scanner, m_link, 20, &m_repliedBytes)) {
        }
    });
    return true;
}

void CPtyScanner::Stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    m_link.Close();
}
