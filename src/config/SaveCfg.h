// The configuration engine's side of the scanner command protocol: packing setting
// commands into request frames, recognising a complete reply, cutting a reply into
// acknowledged items, and the exchanges the rest of the program calls.
#pragma once

#include <wx/string.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CDeviceInfo;
class CHBDataStreamMnt;
struct SReplyValue;
class wxDateTime;

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

    // The exchange the link manager identifies scanners with: `request` in one frame,
    // every item acknowledged.
    // The same over any link, with buffers of its own: the port sweep asks many
    // scanners at once, each over its own link, and none of them touches the engine.
    static bool AskPort(CHBDataStreamMnt& link, const wchar_t* request, std::vector<SReplyValue>& items);
    static bool AskDevice(const wchar_t* request, std::vector<SReplyValue>& items);

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

    // ---- Image request (SaveCfgImage.cpp) ----

    // Sends the image request `text` in one frame and reads the image reply.
    // `sizeInReply` for "IMGBGT" requests, `qualityInRequest` when a JPEG quality was
    // sent. True with the picture bytes and, when the reply carries it, the size;
    // every failed check is logged and gives false. Setting `stop` (from another
    // thread) ends the request early with false.
    bool RequestImage(bool sizeInReply, bool qualityInRequest, const wxString& text, std::vector<uint8_t>& image,
                      int& width, int& height, const std::atomic<bool>* stop = nullptr);

    // ---- Applying and reading settings (SaveCfgApply.cpp) ----

    // Writes every changed setting of the pages to the scanner and reads all values
    // back. True when everything was acknowledged, or nothing had changed.
    bool ApplyChanges();
    // Sends the list prepared by LoadFileForSending, leaving out pending changes and
    // the link settings, and with `deviceValues` (name to the scanner's current value)
    // every setting the scanner already holds.
    bool SendFileCommands(const std::map<wxString, wxString>* deviceValues = nullptr);
    // What sending a planned list did: settings the scanner acknowledged, the names it
    // refused, and how many never got an answer because the line failed first.
    struct SSendOutcome {
        size_t acknowledged = 0;
        std::vector<wxString> refused;
        size_t notReached = 0;
        bool lineFailed = false;
    };
    SSendOutcome SendPlanned(const std::vector<wxString>& texts);
    // The command texts SendFileCommands would send.
    std::vector<wxString> FileCommandsToSend(const std::map<wxString, wxString>* deviceValues) const;
    // How many entries the last SendFileCommands sent after leaving those out.
    size_t GetFileCommandsSent() const { return m_fileCommandsSent; }
    // The link settings a file never sends, so that the link stays usable.
    static const std::vector<wxString>& GetFileHeldBackCommands();
    // True (and the link-change flag set) when the interface, keyboard port or baud
    // rate is among the changes.
    bool HasLinkChange();
    // True when a serial line parameter changes on an open serial link.
    bool HasSerialChange() const;
    bool HasPendingChanges() const;
    // False with `message` (also added to the error list) when a cut area's first
    // edge is not below its second; that setting's control takes the focus.
    bool CheckCutAreas(wxString& message);
    // Puts the value map onto every setting it names, as the scanner's values.
    // `watchChanged` tells whether the setting `watchName` got a new value.
    void SpreadValues(const wxString& watchName, bool& watchChanged);
    void SpreadAllValues();
    // Puts the values of an opened configuration file onto the pages as user changes.
    void ApplyLoadedValues();

    // The value map: command name to value, as the scanner or a file gave them.
    // A value longer than kMaxValueLength is refused whole (false, nothing stored):
    // a cut value would be a different setting, written back to the scanner later.
    static constexpr size_t kMaxValueLength = 2049;
    // A setting's command text is its six-character name followed by the value.
    static constexpr size_t kCommandNameLength = 6;
    void ClearValues() { m_values.clear(); }
    bool SetMapValue(const wxString& name, const wxString& value);
    const std::map<wxString, wxString>& GetValueMap() const { return m_values; }
    // Fills the map from the items of the last reply.
    void TakeReplyValues(const ReplyItem* items, size_t count);
    // Refills the map with the scanner's current values (and its data format, when
    // it has one) after the scanner changed them itself.
    bool ReadBackValues();

    bool IsLinkChanged() const { return m_linkChanged; }

    // Whether the scanner reports a data-format setting, and whether that setting is
    // "DFMSET" (otherwise "DFMADD").
    bool HasDataFormat() const { return m_hasDataFormat; }
    void SetHasDataFormat(bool has) { m_hasDataFormat = has; }
    bool IsDataFormatSet() const { return m_dataFormatSet; }
    void SetDataFormatSet(bool isSet) { m_dataFormatSet = isSet; }
    wxString GetDataFormatCommand() const { return m_dataFormatSet ? "DFMSET" : "DFMADD"; }

    // "SETUPE" or "SETUPN": the command that enters or leaves setup on this model.
    const wxString& GetSetupCommand() const { return m_setupCommand; }
    void SetSetupCommand(const wxString& name) { m_setupCommand = name; }

    // The model being configured (the connected scanner's or the one chosen from the
    // catalogue); not owned. Null when none is chosen.
    CDeviceInfo* GetCurrentModel() const { return m_currentModel; }
    void SetCurrentModel(CDeviceInfo* model) { m_currentModel = model; }

    // ---- Configuration files (SaveCfgFiles.cpp) ----

    // Writes the page settings with the tool's values, then every other setting the
    // scanner reports. An existing file is replaced only once the new one is complete.
    bool SaveConfiguration(const wxString& path);
    // Reads a configuration file into the value map; `checkDevice` asks before taking
    // a file written for another model.
    bool OpenConfiguration(const wxString& path, bool checkDevice);
    // Prepares the send list from a configuration file, checking it whole: settings
    // that cannot be sent as written are refused, those that are no settings (no
    // value, queries, actions, the tool's own) are left out, repeated ones merged.
    // False for a file that cannot be read, is too large or holds too many settings.
    // The loaded pages tell the tool's own settings (code identifiers, file paths)
    // from the scanner's; without pages every setting counts as the scanner's.
    bool LoadFileForSending(const wxString& path);
    // A setting of the loaded file that is refused, left out or merged, and why.
    struct SFileSettingNote {
        wxString name;
        wxString value;
        wxString reason;
    };
    const std::vector<SFileSettingNote>& GetRefusedFileSettings() const { return m_fileRefused; }
    const std::vector<SFileSettingNote>& GetLeftOutFileSettings() const { return m_fileLeftOut; }
    // Why the last configuration file could not be read or written; empty when unknown.
    const wxString& GetLastFileError() const { return m_lastFileError; }
    // What the user is told when OpenConfiguration failed on the file itself; empty
    // when it was the user who declined (or the refusal was told already).
    wxString OpenFailureText() const;
    // The one comparison of the loaded file with a scanner's values: what it would
    // send and what the file holds that no scanner can take. Applying, comparing and
    // the inventory all ask it, so they never disagree.
    struct SFileComparison {
        std::vector<wxString> toSend;
        std::vector<SFileSettingNote> refused;
        std::vector<SFileSettingNote> leftOut;  // not sent and no difference, but worth a note
        // Set when the file is for another model (or names none) and nothing of it is
        // planned; the whole file is then refused with this reason.
        wxString otherModel;
        bool Differs() const { return !toSend.empty() || !refused.empty() || !otherModel.empty(); }
    };
    // The scanner a plan is made for: its model judges the file's DeviceType and,
    // unless `force`, a setting the scanner does not report is refused as unknown.
    struct SPlanTarget {
        CDeviceInfo* model = nullptr;
        bool force = false;
    };
    SFileComparison CompareFileWith(const std::map<wxString, wxString>& deviceValues,
                                    const SPlanTarget* target = nullptr) const;
    // Whether `name` is written as a scanner's command: six capital letters or digits.
    static bool IsWellFormedCommandName(const wxString& name);
    // Whether `value` may follow `name` in one setting: no separator or line break,
    // except the line structure of a data-format value ("DFMSET", "DFMADD").
    static bool IsSingleSettingValue(const wxString& name, const wxString& value);
    // A value that asks the scanner rather than sets it ("*", "&", "^").
    static bool IsQueryValue(const wxString& value);
    // Writes the model's command map as a "DeviceConfiguration" file.
    bool ExportDeviceConfiguration(const wxString& path);
    // The current name of a command known by an older name; empty when none.
    static wxString TranslateCommand(const wxString& name);
    // True: the command is left out of configuration files.
    static bool IsPassCommand(const wxString& name, const wxString& value);
    // Where the snapshot after a write to the scanner goes.
    static wxString GetSnapshotPath(const wxString& modelName, const wxDateTime& when);

    const wxString& GetFileDeviceType() const { return m_fileDeviceType; }
    // The scanner's command names joined with ","; filled when a scanner connects
    // and kept after it is gone.
    const wxString& GetDeviceCommandList() const { return m_deviceCommandList; }
    void SetDeviceCommandList(const wxString& names) { m_deviceCommandList = names; }
    // Commands of the last opened file that the scanner does not know, joined with ",".
    const wxString& GetUnsupportedList() const { return m_unsupportedList; }
    void ClearUnsupportedList() { m_unsupportedList.clear(); }
    const std::vector<wxString>& GetSendList() const { return m_sendList; }

    // ---- Model scripts (SaveCfgLua.cpp) ----

    // Runs the current model's script on the configuration file `path`. True when the
    // script loaded and ran; every failure is silent.
    bool RunDeviceHook(const wxString& path);

private:
    CSaveCfg() = default;

    void PrepareRows(size_t rowCount, size_t rowWidth);
    void PrepareItems(size_t capacity);
    bool WriteFrame() const;
    bool ExchangeWithOneResend();
    void PaceRequest();
    bool ParseLastReply(size_t capacity, size_t& count);
    // One distinct setting of a file loaded for sending.
    struct SFileEntry {
        wxString value;
        std::vector<wxString> values;  // each distinct value, in file order
        unsigned count = 0;
        bool conflicting = false;
    };
    // Puts a setting of the file on the send list, or among the refused or left-out ones.
    void SortFileEntry(const wxString& name, const SFileEntry& entry);
    // Sends `texts` in frames that keep within the payload limit. `answered` (when
    // given) counts the texts of batches whose reply came back.
    bool SendInBatches(const std::vector<wxString>& texts, size_t* answered = nullptr);

    std::vector<wxString> m_errors;
    std::vector<ReplyItem> m_items;
    std::wstring m_frame;
    std::chrono::steady_clock::time_point m_lastReplyEnd;
    std::vector<wchar_t> m_rows;
    size_t m_rowCount = 0;
    size_t m_rowWidth = 0;
    size_t m_maxPayload = 300;
    size_t m_itemCount = 0;
    size_t m_fileCommandsSent = 0;
    bool m_online = false;
    std::vector<wxString> m_failedQueries;

    std::map<wxString, wxString> m_values;
    bool m_linkChanged = false;
    bool m_hasDataFormat = false;
    bool m_dataFormatSet = false;
    wxString m_setupCommand = "SETUPE";
    CDeviceInfo* m_currentModel = nullptr;

    std::vector<wxString> m_sendList;
    std::vector<SFileSettingNote> m_fileRefused;
    std::vector<SFileSettingNote> m_fileLeftOut;
    std::vector<wxString> m_fileEmptyValues;
    wxString m_lastFileError;
    wxString m_fileDeviceType;
    wxString m_deviceCommandList;
    wxString m_unsupportedList;

    static std::unique_ptr<CSaveCfg> s_instance;
};
