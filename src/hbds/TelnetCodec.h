// Internal: the Telnet side of a network serial port served as a COM-port control
// server (RFC 854 option negotiation, RFC 2217 COM-PORT-OPTION). Debian packages no
// client library for it that fits a plain C device link (gensio would bring a whole
// event framework along), and the part a client needs is small: escaping 0xFF in
// data, answering option requests and the few line-setting commands.
//
// The codec only turns bytes into bytes; the transport moves them over the socket.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace hbds {

namespace telnet {
constexpr uint8_t kIac = 255;
constexpr uint8_t kDont = 254;
constexpr uint8_t kDo = 253;
constexpr uint8_t kWont = 252;
constexpr uint8_t kWill = 251;
constexpr uint8_t kSb = 250;
constexpr uint8_t kSe = 240;
constexpr uint8_t kBinary = 0;
constexpr uint8_t kSuppressGoAhead = 3;
constexpr uint8_t kComPort = 44;
// COM-PORT-OPTION commands a client sends; the server answers each with code + 100.
constexpr uint8_t kSetBaudRate = 1;
constexpr uint8_t kSetDataSize = 2;
constexpr uint8_t kSetParity = 3;
constexpr uint8_t kSetStopSize = 4;
constexpr uint8_t kSetControl = 5;
constexpr uint8_t kServerReply = 100;
}  // namespace telnet

class CTelnetCodec {
public:
    // Where the server stands on the COM-PORT-OPTION this client offers.
    enum class EComPort { Unanswered, Accepted, Refused };

    // The opening requests: binary both ways, no go-ahead, and the COM-PORT-OPTION.
    std::vector<uint8_t> Greeting();

    // Data bytes as they go on the wire: every 0xFF doubled.
    static void EscapeData(const uint8_t* data, size_t count, std::vector<uint8_t>& wire);

    // One COM-PORT-OPTION command with its value (big-endian for the baud rate), its
    // 0xFF bytes doubled as in data.
    static std::vector<uint8_t> ComPortCommand(uint8_t command, const uint8_t* value, size_t count);

    // Takes bytes from the server: data goes to `data`, answers the server must get go
    // to `replies`. Commands may be cut anywhere; the rest comes with the next call.
    void Decode(const uint8_t* wire, size_t count, std::vector<uint8_t>& data, std::vector<uint8_t>& replies);

    EComPort ComPortState() const { return m_comPort; }
    // The baud rate the server last reported as set; 0 before it has.
    uint32_t ServerBaudRate() const { return m_serverBaudRate; }
    void ForgetServerBaudRate() { m_serverBaudRate = 0; }

private:
    enum class EState { Data, Command, Option, Sub, SubCommand };

    void Negotiate(uint8_t verb, uint8_t option, std::vector<uint8_t>& replies);
    void EndSubnegotiation();

    EState m_state = EState::Data;
    uint8_t m_verb = 0;
    std::vector<uint8_t> m_sub;
    // Per option: this side's WILL and the server's, each off, asked for (an offer or
    // request not answered yet) or on.
    enum EOption : uint8_t { kOff, kAsked, kOn };
    EOption m_local[256] = {};
    EOption m_remote[256] = {};
    EComPort m_comPort = EComPort::Unanswered;
    uint32_t m_serverBaudRate = 0;
};

}  // namespace hbds
