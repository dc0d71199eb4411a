#include "TerminalLink.h"

#include "device/HBDataStreamMnt.h"

bool CDeviceTerminalLink::IsOpen()
{
    return CHBDataStreamMnt::GetInstance().IsOpen();
}

CLineHold CDeviceTerminalLink::TakeLine(const SLineUser& user, uint32_t waitMs)
{
    return CHBDataStreamMnt::GetInstance().Line().TakeWithin(user, waitMs);
}

uint32_t CDeviceTerminalLink::WriteText(const wxString& text)
{
    const std::wstring wide = text.ToStdWstring();
    return CHBDataStreamMnt::GetInstance().Write(wide.c_str(), wide.size());
}

uint32_t CDeviceTerminalLink::WriteRaw(const std::string& bytes)
{
    return CHBDataStreamMnt::GetInstance().WriteBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

namespace {

void TakeReceived(CHBDataStreamMnt& link, std::string& bytes, wxString& text)
{
    bytes.assign(reinterpret_cast<const char*>(link.GetReceived()), link.GetReceivedLength());
    size_t length = 0;
    if (const wchar_t* reply = link.GetReplyText(length))
        text.assign(reply, length);
}

}  // namespace

bool CDeviceTerminalLink::ReadReply(uint32_t limitMs, std::string& bytes, wxString& text)
{
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    CLineHold hold = link.Line().Take(LineUsers::kTerminal);
    bytes.clear();
    text.clear();
    if (!link.ReadReply(limitMs))
        return false;
    TakeReceived(link, bytes, text);
    return true;
}

bool CDeviceTerminalLink::ReadFramedReply(std::string& bytes, wxString& text)
{
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    CLineHold hold = link.Line().Take(LineUsers::kTerminal);
    bytes.clear();
    text.clear();
    if (!link.ReadExchangeReply())
        return false;
    TakeReceived(link, bytes, text);
    return true;
}

bool CDeviceTerminalLink::ReadDeviceOutput(uint32_t limitMs, std::string& bytes)
{
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    CLineHold hold = link.Line().Take(LineUsers::kTerminal);
    bytes.clear();
    if (!link.ReadDeviceOutput(limitMs))
        return false;
    bytes.assign(reinterpret_cast<const char*>(link.GetReceived()), link.GetReceivedLength());
    return true;
}

void CDeviceTerminalLink::DropInput()
{
    CHBDataStreamMnt::GetInstance().DropInput();
}

void CDeviceTerminalLink::KeepDeviceOutput(bool keep)
{
    CHBDataStreamMnt::GetInstance().SetKeepDeviceOutput(keep);
}

void CDeviceTerminalLink::SetAside(const std::string& bytes)
{
    CHBDataStreamMnt::GetInstance().SetAsideDeviceOutput(bytes);
}
