#include "TerminalText.h"

#include "HBDataStreamMnt.h"

namespace {

const char* const kMnemonics[32] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",
                                    "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
                                    "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
const char kHexDigits[] = "0123456789ABCDEF";
const size_t kReplyFrameHeader = 7;
const size_t kShortestReplyFrame = 9;
const size_t kPacketHeader = 5;

int HexDigitValue(wxUniChar c)
{
    const int code = static_cast<int>(c.GetValue());
    if (code >= '0' && code <= '9')
        return code - '0';
    if (code >= 'A' && code <= 'F')
        return code - 'A' + 10;
    if (code >= 'a' && code <= 'f')
        return code - 'a' + 10;
    return -1;
}

template <typename Text>
bool IsReplyFrame(const Text& reply, size_t size)
{
    return size >= kShortestReplyFrame && reply[0] == 0x02 && reply[1] == 0x01 && reply[size - 1] == 0x03;
}

}  // namespace

wxString PackTerminalCommand(const wxString& command)
{
    wxString frame = wxString("~") + wxUniChar(0x01) + "0000";
    if (!command.StartsWith("@") && !command.StartsWith("#"))
        frame += "@";
    frame += command;
    if (!command.EndsWith(";"))
        frame += ";";
    frame += wxUniChar(0x03);
    return frame;
}

wxString ExpandControlCharacters(const wxString& text)
{
    wxString shown;
    shown.reserve(text.length());
    for (wxUniChar c : text) {
        const auto code = c.GetValue();
        if (code < 32)
            shown << "<" << kMnemonics[code] << ">";
        else if (code == 127)
            shown << "<DEL>";
        else
            shown << c;
    }
    return shown;
}

wxString HexOfBytes(const std::string& bytes)
{
    wxString hex;
    hex.reserve(bytes.size() * 3);
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<uint8_t>(bytes[i]);
        if (i != 0)
            hex << ' ';
        hex << kHexDigits[byte >> 4] << kHexDigits[byte & 0x0F];
    }
    return hex;
}

wxString HexOfCharacters(const wxString& text)
{
    wxString hex;
    bool first = true;
    for (wxUniChar c : text) {
        if (!first)
            hex << ' ';
        hex << wxString::Format("%02X", static_cast<unsigned>(c.GetValue()));
        first = false;
    }
    return hex;
}

wxString CharactersOfHex(const wxString& hex, bool zeroAsDigit)
{
    wxString digits;
    for (wxUniChar c : hex) {
        if (c != ' ')
            digits << c;
    }
    wxString text;
    for (size_t i = 0; i < digits.length(); i += 2) {
        const int high = HexDigitValue(digits[i]);
        const int low = i + 1 < digits.length() ? HexDigitValue(digits[i + 1]) : -2;
        if (high < 0 || low == -1)
            continue;
        const int value = low == -2 ? high : high * 16 + low;
        text << (value == 0 && zeroAsDigit ? wxUniChar('0') : wxUniChar(value));
    }
    return text;
}

std::string LowBytesOf(const wxString& text)
{
    std::string bytes;
    bytes.reserve(text.length());
    for (wxUniChar c : text)
        bytes += static_cast<char>(c.GetValue() & 0xFF);
    return bytes;
}

std::string ShownReplyBytes(const std::string& reply, bool expand)
{
    if (expand || !IsReplyFrame(reply, reply.size()))
        return reply;
    return reply.substr(kReplyFrameHeader, reply.size() - kReplyFrameHeader - 1);
}

wxString ShownReplyText(const wxString& reply, bool expand)
{
    if (expand || !IsReplyFrame(reply, reply.length()))
        return reply;
    return reply.Mid(kReplyFrameHeader, reply.length() - kReplyFrameHeader - 1);
}

SDevicePacket ReadDevicePacket(const std::string& block)
{
    SDevicePacket packet;
    uint8_t mark = 0;
    if (!CHBDataStreamMnt::CheckFrame(reinterpret_cast<const uint8_t*>(block.data()), block.size(), mark))
        return packet;
    packet.valid = true;
    packet.code = mark;
    packet.payload = block.substr(kPacketHeader, block.size() - kPacketHeader - 1);
    return packet;
}

wxString CharactersOfBytes(const std::string& bytes)
{
    wxString text;
    text.reserve(bytes.size());
    for (char byte : bytes) {
        // A byte stands for the character of the same number (Latin-1); wxUniChar from
        // a char would decode it in the locale's charset and assert on bytes over 0x7F.
        const int code = static_cast<uint8_t>(byte);
        text << (code == 0 ? wxUniChar(' ') : wxUniChar(code));
    }
    return text;
}
