// The part of the device link the terminal and the stored-data panel use: writes,
// one reply read, and whether the link is open. The program talks to the link
// manager through it; tests hand in a scripted partner.
#pragma once

#include <wx/string.h>

#include <cstdint>
#include <string>

class ITerminalLink {
public:
    virtual ~ITerminalLink() = default;
    virtual bool IsOpen() = 0;
    // Writes the text in the narrow encoding after dropping unread input; bytes written.
    virtual uint32_t WriteText(const wxString& text) = 0;
    // Writes the bytes as they are after dropping unread input; bytes written.
    virtual uint32_t WriteRaw(const std::string& bytes) = 0;
    // Reads one reply (`limitMs` 0: no limit beyond the link's time-out). True when
    // something came; `bytes` and `text` then hold it raw and as text.
    virtual bool ReadReply(uint32_t limitMs, std::string& bytes, wxString& text) = 0;
    // Drops input that has arrived but was not read.
    virtual void DropInput() = 0;
};

// The scanner the link manager has open.
class CDeviceTerminalLink : public ITerminalLink {
public:
    bool IsOpen() override;
    uint32_t WriteText(const wxString& text) override;
    uint32_t WriteRaw(const std::string& bytes) override;
    bool ReadReply(uint32_t limitMs, std::string& bytes, wxString& text) override;
    void DropInput() override;
};
