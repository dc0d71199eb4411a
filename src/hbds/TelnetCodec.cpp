#include "TelnetCodec.h"

namespace hbds {
namespace {

using namespace telnet;

// A server's subnegotiation longer than this is no COM-PORT answer; the rest of it
// is dropped so that garbage cannot grow the buffer.
constexpr size_t kMaxSubnegotiation = 64;

bool OfferedHere(uint8_t option)
{
    return option == kBinary || option == kSuppressGoAhead || option == kComPort;
}

bool WantedThere(uint8_t option)
{
    return option == kBinary || option == kSuppressGoAhead;
}

void Append(std::vector<uint8_t>& out, uint8_t verb, uint8_t option)
{
    out.insert(out.end(), {kIac, verb, option});
}

}  // namespace

std::vector<uint8_t> CTelnetCodec::Greeting()
{
    std::vector<uint8_t> requests;
    for (uint8_t option : {kBinary, kSuppressGoAhead, kComPort}) {
        m_local[option] = kAsked;
        Append(requests, kWill, option);
    }
    for (uint8_t option : {kBinary, kSuppressGoAhead}) {
        m_remote[option] = kAsked;
        Append(requests, kDo, option);
    }
    return requests;
}

void CTelnetCodec::EscapeData(const uint8_t* data, size_t count, std::vector<uint8_t>& wire)
{
    for (size_t i = 0; i < count; ++i) {
        wire.push_back(data[i]);
        if (data[i] == kIac)
            wire.push_back(kIac);
    }
}

std::vector<uint8_t> CTelnetCodec::ComPortCommand(uint8_t command, const uint8_t* value, size_t count)
{
    std::vector<uint8_t> wire = {kIac, kSb, kComPort, command};
    EscapeData(value, count, wire);
    wire.insert(wire.end(), {kIac, kSe});
    return wire;
}

void CTelnetCodec::Decode(const uint8_t* wire, size_t count, std::vector<uint8_t>& data, std::vector<uint8_t>& replies)
{
    for (size_t i = 0; i < count; ++i) {
        const uint8_t byte = wire[i];
        switch (m_state) {
        case EState::Data:
            if (byte == kIac)
                m_state = EState::Command;
            else
                data.push_back(byte);
            break;
        case EState::Command:
            if (byte == kIac) {
                data.push_back(kIac);
                m_state = EState::Data;
            } else if (byte >= kWill && byte <= kDont) {
                m_verb = byte;
                m_state = EState::Option;
            } else if (byte == kSb) {
                m_sub.clear();
                m_state = EState::Sub;
            } else {
                m_state = EState::Data;  // NOP, go-ahead, break and the like carry nothing here
            }
            break;
        case EState::Option:
            Negotiate(m_verb, byte, replies);
            m_state = EState::Data;
            break;
        case EState::Sub:
            if (byte == kIac)
                m_state = EState::SubCommand;
            else if (m_sub.size() < kMaxSubnegotiation)
                m_sub.push_back(byte);
            break;
        case EState::SubCommand:
            if (byte == kIac) {
                if (m_sub.size() < kMaxSubnegotiation)
                    m_sub.push_back(kIac);
                m_state = EState::Sub;
            } else {
                // IAC SE ends it; any other command inside is a broken server, and
                // ending here keeps the data that follows from being swallowed.
                EndSubnegotiation();
                m_state = EState::Data;
            }
            break;
        }
    }
}

void CTelnetCodec::Negotiate(uint8_t verb, uint8_t option, std::vector<uint8_t>& replies)
{
    // An answer to this side's own request is not answered again, and a request is
    // answered only when it changes something, so that two sides never echo each
    // other forever.
    const bool local = verb == kDo || verb == kDont;
    const bool enable = verb == kDo || verb == kWill;
    EOption& state = local ? m_local[option] : m_remote[option];
    const bool supported = local ? OfferedHere(option) : WantedThere(option);
    const uint8_t yes = local ? kWill : kDo;
    const uint8_t no = local ? kWont : kDont;
    if (enable && !supported)
        Append(replies, no, option);
    else if (enable && state == kOff)
        Append(replies, yes, option);
    else if (!enable && state == kOn)
        Append(replies, no, option);
    if (supported)
        state = enable ? kOn : kOff;
    if (local && option == kComPort)
        m_comPort = enable ? EComPort::Accepted : EComPort::Refused;
}

void CTelnetCodec::EndSubnegotiation()
{
    if (m_sub.size() == 6 && m_sub[0] == kComPort && m_sub[1] == kServerReply + kSetBaudRate) {
        m_serverBaudRate = (uint32_t(m_sub[2]) << 24) | (uint32_t(m_sub[3]) << 16) | (uint32_t(m_sub[4]) << 8) |
                           uint32_t(m_sub[5]);
    }
}

}  // namespace hbds
