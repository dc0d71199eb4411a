#include "TerminalLink.h"

#include "HBDataStreamMnt.h"
#include "SaveCfg.h"

namespace {

HBDS_HANDLE OpenHandle()
{
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    DeviceEntry* device = link.GetCurrentDevice();
    return link.IsOpen() && device ? device->handle : 0;
}

}  // namespace

bool CDeviceTerminalLink::IsOpen()
{
    return CHBDataStreamMnt::GetInstance().IsOpen();
}

uint32_t CDeviceTerminalLink::WriteText(const wxString& text)
{
    const std::wstring wide = text.ToStdWstring();
    return CHBDataStreamMnt::GetInstance().Write(wide.c_str(), wide.size());
}

uint32_t CDeviceTerminalLink::WriteRaw(const std::string& bytes)
{
    const HBDS_HANDLE handle = OpenHandle();
    if (handle == 0 || bytes.empty())
        return 0;
    hbds_clean(handle, 0);
    const int written =
        hbds_write(handle, reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<uint32_t>(bytes.size()));
    return written > 0 ? static_cast<uint32_t>(written) : 0;
}

bool CDeviceTerminalLink::ReadReply(uint32_t limitMs, std::string& bytes, wxString& text)
{
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    bytes.clear();
    text.clear();
    if (!link.ReadReply(limitMs, CSaveCfg::IsReplyComplete))
        return false;
    bytes.assign(reinterpret_cast<const char*>(link.GetReceived()), link.GetReceivedLength());
    size_t length = 0;
    if (const wchar_t* reply = link.GetReplyText(length))
        text.assign(reply, length);
    return true;
}

void CDeviceTerminalLink::DropInput()
{
    if (const HBDS_HANDLE handle = OpenHandle())
        hbds_clean(handle, 0);
}
