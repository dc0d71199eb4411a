#include "TerminalText.h"

#include "device/ExchangeFrame.h"

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

wxString InvalidHexDigits(const wxString& hex)
{
    wxString invalid;
    for (wxUniChar c : hex) {
        if (c != ' ' && HexDigitValue(c) < 0 && invalid.Find(c) == wxNOT_FOUND)
            invalid << c;
    }
    return invalid;
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
    if (!CExchangeFrame::CheckFrame(reinterpret_cast<const uint8_t*>(block.data()), block.size(), mark))
        return packet;
    packet.valid = true;
    packet.code = mark;
    packet.payload = block.substr(kPacketHeader, block.size() - kPacketHeader - 1);
    return packet;
}

namespace {

// True when the bytes at `at` may be the start of a packed frame that has not fully
// arrived: its head so far fits, and the length it announces runs past the block.
bool IsCutFrame(const std::string& block, size_t at)
{
    const size_t left = block.size() - at;
    if (static_cast<uint8_t>(block[at]) != 0x02 || (left > 1 && block[at + 1] != 0))
        return false;
    if (left < kPacketHeader)
        return true;
    const char mark = block[at + 4];
    if (mark != ';' && mark != '6')
        return false;
    const size_t length = static_cast<size_t>(static_cast<uint8_t>(block[at + 2])) * 256 +
                          static_cast<uint8_t>(block[at + 3]);
    return length + (mark == '6' ? 5u : 6u) > left;
}

void AddPlain(std::vector<SDevicePiece>& pieces, const std::string& block, size_t from, size_t to)
{
    if (to <= from)
        return;
    SDevicePiece piece;
    piece.raw = block.substr(from, to - from);
    pieces.push_back(piece);
}

}  // namespace

std::vector<SDevicePiece> SplitDeviceOutput(const std::string& block, std::string& rest)
{
    std::vector<SDevicePiece> pieces;
    rest.clear();
    const auto* bytes = reinterpret_cast<const uint8_t*>(block.data());
    size_t plainFrom = 0;
    for (size_t at = 0; at < block.size(); ++at) {
        if (bytes[at] != 0x02)
            continue;
        if (const size_t length = CExchangeFrame::LeadingFrameLength(bytes + at, block.size() - at)) {
            AddPlain(pieces, block, plainFrom, at);
            SDevicePiece packet;
            packet.packet = true;
            packet.code = bytes[at + 4];
            packet.payload = block.substr(at + kPacketHeader, length - kPacketHeader - 1);
            packet.raw = block.substr(at, length);
            pieces.push_back(packet);
            at += length - 1;
            plainFrom = at + 1;
        } else if (IsCutFrame(block, at)) {
            AddPlain(pieces, block, plainFrom, at);
            rest = block.substr(at);
            return pieces;
        }
    }
    AddPlain(pieces, block, plainFrom, block.size());
    return pieces;
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
