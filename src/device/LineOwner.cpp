#include "LineOwner.h"

#include "app/UiText.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace LineUsers {
const SLineUser kExchange = {"ID_LINE_EXCHANGE", "正在与设备通讯"};
const SLineUser kConnect = {"ID_LINE_CONNECT", "正在读取设备参数"};
const SLineUser kWrite = {"ID_LINE_WRITE", "正在写入设备参数"};
const SLineUser kCapture = {"ID_LINE_CAPTURE", "正在采集图像"};
const SLineUser kFirmware = {"ID_LINE_FIRMWARE", "正在升级固件"};
const SLineUser kBatchFetch = {"ID_LINE_BATCHDATA", "正在获取批量数据"};
const SLineUser kTerminal = {"ID_LINE_TERMINAL", "命令终端"};
const SLineUser kSearch = {"ID_LINE_SEARCH", "正在查找设备"};
}  // namespace LineUsers

CLineHold& CLineHold::operator=(CLineHold&& other) noexcept
{
    if (this != &other) {
        Release();
        m_owner = other.m_owner;
        other.m_owner = nullptr;
    }
    return *this;
}

void CLineHold::Release()
{
    if (m_owner)
        m_owner->Release();
    m_owner = nullptr;
}

namespace {

std::mutex s_ruleMutex;
std::thread::id s_forbiddenThread;
CLineOwner::RuleBreak s_onRuleBreak;

void ReportRuleBreak(const SLineUser& user)
{
    static std::atomic<bool> told{false};
    if (told.exchange(true))
        return;
    std::fprintf(stderr, "vostrel: the window thread tried to take the scanner line (%s); it must queue a job\n",
                 user.textId);
#ifndef NDEBUG
    std::abort();
#endif
}

}  // namespace

void CLineOwner::ForbidThread(std::thread::id thread, RuleBreak onBreak)
{
    std::lock_guard<std::mutex> lock(s_ruleMutex);
    s_forbiddenThread = thread;
    s_onRuleBreak = std::move(onBreak);
}

void CLineOwner::CheckThread(const SLineUser& user)
{
    RuleBreak onBreak;
    {
        std::lock_guard<std::mutex> lock(s_ruleMutex);
        if (s_forbiddenThread == std::thread::id() || s_forbiddenThread != std::this_thread::get_id())
            return;
        onBreak = s_onRuleBreak;
    }
    if (onBreak)
        onBreak(user);
    else
        ReportRuleBreak(user);
}

CLineHold CLineOwner::Take(const SLineUser& user, StopRequest stop)
{
    CheckThread(user);
    std::unique_lock<std::mutex> lock(m_mutex);
    return Wait(lock, user, std::move(stop), nullptr);
}

CLineHold CLineOwner::TakeWithin(const SLineUser& user, uint32_t waitMs, StopRequest stop)
{
    if (waitMs != 0)
        CheckThread(user);
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    return Wait(lock, user, std::move(stop), &deadline);
}

CLineHold CLineOwner::Wait(std::unique_lock<std::mutex>& lock, const SLineUser& user, StopRequest stop,
                           const std::chrono::steady_clock::time_point* deadline)
{
    if (HeldByThisThread() || (IsFree() && m_queue.empty()))
        return HoldFor(user, std::move(stop));
    const uint64_t ticket = m_nextTicket++;
    m_queue.push_back(ticket);
    const auto myTurn = [this, ticket] { return IsTurnOf(ticket); };
    const bool got = deadline ? m_freed.wait_until(lock, *deadline, myTurn) : (m_freed.wait(lock, myTurn), true);
    if (!got) {
        m_queue.erase(std::find(m_queue.begin(), m_queue.end(), ticket));
        m_freed.notify_all();  // the one behind may be first now
        return CLineHold();
    }
    m_queue.pop_front();
    return HoldFor(user, std::move(stop));
}

bool CLineOwner::HeldByThisThread() const
{
    return !IsFree() && m_thread == std::this_thread::get_id();
}

CLineHold CLineOwner::HoldFor(const SLineUser& user, StopRequest stop)
{
    if (IsFree()) {
        m_thread = std::this_thread::get_id();
        m_user = &user;
        m_stop = std::move(stop);
    }
    ++m_depth;
    return CLineHold(this);
}

void CLineOwner::Release()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (--m_depth > 0)
            return;
        m_depth = 0;
        m_thread = std::thread::id();
        m_user = nullptr;
        m_stop = nullptr;
    }
    m_freed.notify_all();
}

size_t CLineOwner::WaitingCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_queue.size();
}

bool CLineOwner::IsHeldElsewhere() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return !IsFree() && m_thread != std::this_thread::get_id();
}

bool CLineOwner::IsHeldHere() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return !IsFree() && m_thread == std::this_thread::get_id();
}

wxString CLineOwner::HolderText() const
{
    const SLineUser* user = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (IsFree() || m_thread == std::this_thread::get_id())
            return wxString();
        user = m_user;
    }
    return user ? GetUiText(user->textId, user->fallback) : wxString();
}

bool CLineOwner::CanAskHolderToStop() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return !IsFree() && static_cast<bool>(m_stop);
}

void CLineOwner::ForgetStopRequest(const SLineUser& user)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!IsFree() && m_user == &user)
        m_stop = nullptr;
}

bool CLineOwner::AskHolderToStop()
{
    StopRequest stop;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (IsFree() || !m_stop)
            return false;
        stop = m_stop;
    }
    stop();
    return true;
}
