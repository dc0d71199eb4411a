// The part of the device link the terminal and the stored-data panel use: writes,
// one reply read, and whether the link is open. The program talks to the link
// manager through it; tests hand in a scripted partner.
#pragma once

#include "device/LineOwner.h"

#include <wx/string.h>

#include <cstdint>
#include <string>

class ITerminalLink {
public:
    virtual ~ITerminalLink() = default;
    virtual bool IsOpen() = 0;
    // The line for one step (a command and its reply, one block of scanner output, a
    // whole fetch); empty when another part still holds it after `waitMs`.
    virtual CLineHold TakeLine(const SLineUser& user, uint32_t waitMs) = 0;
    // Writes the text in the narrow encoding after dropping unread input; bytes written.
    virtual uint32_t WriteText(const wxString& text) = 0;
    // Writes the bytes as they are after dropping unread input; bytes written.
    virtual uint32_t WriteRaw(const std::string& bytes) = 0;
    // Reads one reply (`limitMs` 0: no limit beyond the link's time-out). True when
    // something came; `bytes` and `text` then hold it raw and as text.
    virtual bool ReadReply(uint32_t limitMs, std::string& bytes, wxString& text) = 0;
    // The reply to a request sent in the protocol's frame: what the scanner sends by
    // itself before the reply begins is set aside, not taken for the reply.
    virtual bool ReadFramedReply(std::string& bytes, wxString& text) { return ReadReply(0, bytes, text); }
    // One bounded block of what the scanner sends by itself, read for at most `limitMs`.
    virtual bool ReadDeviceOutput(uint32_t limitMs, std::string& bytes) = 0;
    // Drops input that has arrived but was not read.
    virtual void DropInput() = 0;
    // While set, what the scanner sends around other parts' exchanges is kept for the
    // next ReadDeviceOutput instead of being dropped.
    virtual void KeepDeviceOutput(bool keep) { (void)keep; }
    // Hands bytes that turned out to be the scanner's own output to whoever shows it.
    virtual void SetAside(const std::string& bytes) { (void)bytes; }
};

// The scanner the link manager has open.
class CDeviceTerminalLink : public ITerminalLink {
public:
    bool IsOpen() override;
    CLineHold TakeLine(const SLineUser& user, uint32_t waitMs) override;
    uint32_t WriteText(const wxString& text) override;
    uint32_t WriteRaw(const std::string& bytes) override;
    bool ReadReply(uint32_t limitMs, std::string& bytes, wxString& text) override;
    bool ReadFramedReply(std::string& bytes, wxString& text) override;
    bool ReadDeviceOutput(uint32_t limitMs, std::string& bytes) override;
    void DropInput() override;
    void KeepDeviceOutput(bool keep) override;
    void SetAside(const std::string& bytes) override;
};
