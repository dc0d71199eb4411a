#include "LineOwner.h"

#include "UiText.h"

#include <chrono>

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

CLineHold CLineOwner::Take(const SLineUser& user, StopRequest stop)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    ++m_waiting;
    m_freed.wait(lock, [this] { return MayTakeHere(); });
    --m_waiting;
    return HoldFor(user, std::move(stop));
}

CLineHold CLineOwner::TakeWithin(const SLineUser& user, uint32_t waitMs, StopRequest stop)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    ++m_waiting;
    const bool got = m_freed.wait_for(lock, std::chrono::milliseconds(waitMs), [this] { return MayTakeHere(); });
    --m_waiting;
    return got ? HoldFor(user, std::move(stop)) : CLineHold();
}

bool CLineOwner::MayTakeHere() const
{
    return IsFree() || m_thread == std::this_thread::get_id();
}

CLineHold CLineOwner::HoldFor(const SLineUser& user, StopRequest stop)
{
    if (IsFree()) {
        m_thread = std::this_thread::get_id();
        m_user = &user;
        m_stop = std::move(stop);
        m_freed.notify_all();  // a part giving way learns that the line was taken
    }
    ++m_depth;
    return CLineHold(this);
}

void CLineOwner::GiveWay(uint32_t limitMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_freed.wait_for(lock, std::chrono::milliseconds(limitMs), [&] { return m_waiting == 0 || !IsFree(); });
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
