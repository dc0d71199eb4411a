// The configuration engine's side of the scanner command protocol: packing setting
// commands into request frames, recognising a complete reply, cutting a reply into
// acknowledged items, and the exchanges the rest of the program calls.
#pragma once

#include <wx/string.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Status characters that end every reply item.
enum : wchar_t {
    REPLY_ACK = 0x06,
    REPLY_NAK = 0x15,
    REPLY_ENQ = 0x05
};

// One item of a parsed reply. `value` points into the reply text and stays valid
// until the next exchange.
struct ReplyItem {
    wchar_t command[7];
    wchar_t status;
    const wchar_t* value;
};

class CSaveCfg {
public:
    static CSaveCfg& GetInstance();
    static void ResetInstance();

    // Appends the request frame for `count` command texts (rows of `rowWidth`
    // characters, each NUL-terminated) to `frame`.
    static void PackCommands(const wchar_t* rows, size_t count, size_t rowWidth, std::wstring& frame);

    // True when the bytes received so far make a whole reply, or cannot be one.
    static bool IsReplyComplete(const uint8_t* bytes, size_t n);

    // Cuts `replyText` into at most `capacity` items; the text is changed in place
    // (item values are NUL-terminated inside it). False only for a missing or empty text.
    static bool ParseReply(wchar_t* replyText, size_t length, ReplyItem* items, size_t capacity, size_t& count);

    // Sends `first` + `second` in one frame and reads the reply. The item array, or
    // null on any failure (including an item that is not ACK; the error list names them).
    ReplyItem* SendCommand(const wchar_t* first, const wchar_t* second, size_t& count);

    // Sends `count` rows of the given table in one frame. False when the frame could
    // not be written, nothing came back or the reply could not be parsed; otherwise
    // true, with unacknowledged items appended to the error list.
    bool SendCommandList(const wchar_t* rows, size_t count, size_t rowWidth);

    // "#" + command + parameter; true with the item's value when `command` is acknowledged.
    static bool SendSetting(const wxString& command, const wxString& parameter, wxString& value);

    // mark + command + suffix; true with the value of the first acknowledged item
    // whose name occurs within `command`.
    static bool QueryCommand(const wxString& command, const wxString& suffix, wxString& value,
                             const wxString& mark = "@");

    const std::vector<wxString>& GetErrorList() const { return m_errors; }
    void ClearErrorList() { m_errors.clear(); }

    // Set while a connected scanner's settings are shown: definitions and length
    // rules then ask the device instead of the model file.
    bool IsOnline() const { return m_online; }
    void SetOnline(bool online) { m_online = online; }

    // Commands whose values a connected scanner could not give while the pages were
    // built; once it holds one, no further setting is built.
    const std::vector<wxString>& GetFailedQueries() const { return m_failedQueries; }
    void AddFailedQuery(const wxString& commandName) { m_failedQueries.push_back(commandName); }
    void ClearFailedQueries() { m_failedQueries.clear(); }

    size_t GetMaxPayload() const { return m_maxPayload; }
    void SetMaxPayload(size_t characters) { m_maxPayload = characters; }

    // Items of the last reply, acknowledged or not; valid until the next exchange.
    const ReplyItem* GetItems() const { return m_items.data(); }
    size_t GetItemCount() const { return m_itemCount; }

private:
    CSaveCfg() = default;

    void PrepareRows(size_t rowCount, size_t rowWidth);
    void PrepareItems(size_t capacity);
    bool WriteFrame() const;
    bool ExchangeWithOneResend();
    bool ParseLastReply(size_t capacity, size_t& count);

    std::vector<wxString> m_errors;
    std::vector<ReplyItem> m_items;
    std::wstring m_frame;
    std::vector<wchar_t> m_rows;
    size_t m_rowCount = 0;
    size_t m_rowWidth = 0;
    size_t m_maxPayload = 300;
    size_t m_itemCount = 0;
    bool m_online = false;
    std::vector<wxString> m_failedQueries;

    static std::unique_ptr<CSaveCfg> s_instance;
};
