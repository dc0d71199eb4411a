// The single owner of every connection to a scanner: lists and identifies the
// scanners that can be reached, opens the one being worked with, writes requests
// and reads replies and images back with time-outs.
#pragma once

#include "DeviceEntry.h"
#include "UiText.h"

#include <wx/string.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The command protocol lives above the link. The link is handed the two pieces of it
// that it needs: when a reply is whole, and how to ask a scanner something.

// True when the bytes received so far make a whole reply, or cannot become one.
using ReplyCompleteTest = std::function<bool(const uint8_t* bytes, size_t n)>;

// One acknowledged item of a reply.
struct SReplyValue {
    wxString name;
    wxString value;
};
// Sends `request` in one exchange on the open link; false when nothing usable came
// back or an item was refused, otherwise true with the items.
using DeviceQuery = std::function<bool(const wchar_t* request, std::vector<SReplyValue>& items)>;

class CHBDataStreamMnt {
public:
    static CHBDataStreamMnt& GetInstance();
    static void ResetInstance();
    ~CHBDataStreamMnt();

    // Rebuilds the device list (USB first, then serial ports that answered) and
    // identifies every entry with `query`. Returns the number of entries.
    int EnumDevices(const DeviceQuery& query);
    // Rebuilds the device list from one serial port given by path, at `baudRate` or,
    // when it is 0, at the rate the port answers at. Returns the number of entries (0 or 1).
    int EnumSerialPort(const std::string& path, uint32_t baudRate, const DeviceQuery& query);
    // Adds an entry for a serial port given by path without identifying it; null when
    // the path is empty, the port cannot be opened (GetPortStatus says why) or, with
    // `baudRate` 0, nothing answered at any rate.
    DeviceEntry* AddSerialPort(const std::string& path, uint32_t baudRate);
    // The library's code for the last port given by path that could not be opened;
    // 0 when it opened.
    uint32_t GetPortStatus() const { return m_portStatus; }
    // Asks every entry for its system text, product name and serial number, and drops
    // the entries that name no product: whatever answered there is no scanner we can use.
    void IdentifyDevices(const DeviceQuery& query);
    // Removes the entries that no catalogue model was matched to.
    void RemoveUnmatched();

    size_t GetDeviceCount() const { return m_devices.size(); }
    DeviceEntry* GetDevice(size_t index) const { return index < m_devices.size() ? m_devices[index].get() : nullptr; }
    // Takes over an entry made by hand (a port given by the user, tests).
    DeviceEntry* AddDevice(std::unique_ptr<DeviceEntry> entry);

    bool OpenDevice(DeviceEntry* entry);
    // Always true. Sets the cancel flag, waits `delayMs`, closes and frees the handle.
    bool CloseDevice(uint32_t delayMs);
    bool IsOpen() const;
    DeviceEntry* GetCurrentDevice() const { return m_current; }

    bool SetBaudRate(uint32_t value);
    bool SetDataBits(uint8_t value);
    bool SetParity(uint8_t value);
    bool SetStopBits(uint8_t value);

    // Writes the first `length` characters of `text` in the narrow encoding after
    // dropping pending input. Bytes written; 0 when not open.
    uint32_t Write(const wchar_t* text, size_t length);

    // Reads one reply until `complete` holds; `limitMs` bounds each read and the whole
    // reply (0 = no bound). True when at least one byte came.
    bool ReadReply(uint32_t limitMs, const ReplyCompleteTest& complete);
    // Reads an image reply until its announced length has arrived or the line is silent.
    // Setting `stop` ends the read within a fraction of a second; the rest of the picture
    // still on its way is then thrown away before the next request is written.
    bool ReadImage(bool firstFlag, bool secondFlag, const std::atomic<bool>* stop = nullptr);
    // True while a stopped picture may still be arriving.
    bool IsDrainPending() const { return m_drainPending; }

    const uint8_t* GetReceived() const { return m_receive.data(); }
    size_t GetReceivedLength() const { return m_received; }

    // The received bytes as text: UTF-8 when they are valid UTF-8 with at least one
    // byte above 0x7F, otherwise the narrow encoding. Null when the text buffer is too small.
    wchar_t* GetReplyText(size_t& length);
    // The received bytes up to the first zero byte, in the narrow encoding.
    wchar_t* GetReplyTextAnsi(size_t& length);

    // Validates a binary terminal frame; `mark` receives its mark byte.
    static bool CheckFrame(const uint8_t* bytes, size_t n, uint8_t& mark);
    // Total length an image reply announces in its header, 0 while unknown.
    static size_t ExpectedImageLength(const uint8_t* bytes, size_t n, bool firstFlag, bool secondFlag);
    // An identity value without its label and line breaks.
    static wxString CleanIdentityValue(const wxString& value);
    // The user's text for a link status code; empty for codes without one.
    static wxString ErrorTextForStatus(uint32_t status);

    // Firmware download into the current device, filling `progress` (the library's
    // 84-byte record) as it goes; blocks until done, so it runs on a worker thread.
    // With "CheckCpu" set the processor check comes first; a file made for another
    // device is downloaded only when the user says so. `query` asks the device its
    // processor, `ask` shows the messages (the caller knows how from its thread).
    bool UpgradeFirmware(const wxString& file, void* progress, const DeviceQuery& query,
                         const MessageHandler& ask = MessageHandler());
    // The download alone, with the device-name check on or off.
    bool UpgradeFirmwareFile(const wxString& file, void* progress, bool nameCheck);
    // False when the file is made for a processor family the device is not of.
    bool IsCpuCompatible(const wxString& file, const DeviceQuery& query);
    // A download into `entry` over a connection of its own, leaving the current device
    // alone, so that several scanners can be upgraded at once from their own threads.
    // The library's status is left in the entry.
    static bool UpgradeEntryFirmware(DeviceEntry& entry, const wxString& file, void* progress, bool nameCheck);

    // UI text of the current device's status; empty without an open handle.
    wxString GetLastErrorText() const;

    int32_t GetReadTimeout() const { return m_readTimeout; }
    void SetReadTimeout(int32_t milliseconds) { m_readTimeout = milliseconds; }
    bool IsCancelled() const { return m_cancel != 0; }
    size_t GetReceiveCapacity() const { return m_receive.size(); }

private:
    CHBDataStreamMnt();

    void DeleteDevices();
    void AddUsbDevices();
    void AddSerialDevices();
    void IdentifyDevice(DeviceEntry& entry, const DeviceQuery& query);
    // Opens and closes the port once; the library's code, 0 when it opened.
    static uint32_t TryOpen(const SerialSettings& port);
    // Stores one line parameter of the current device and applies them all.
    template <typename T>
    bool SetSerialField(T SerialSettings::*field, T value);
    // Reads chunks until `done` says the reply is whole, the line is silent, the
    // cancel flag is set or `limitMs` has passed.
    // `sliceMs` (0 = the read time-out) bounds each library read, so that `stop` is
    // looked at that often; silence still ends the reply only after the read time-out.
    template <typename Done>
    bool ReadChunks(uint32_t limitMs, Done&& done, int32_t sliceMs = 0, const std::atomic<bool>* stop = nullptr);
    // Drops pending input and reads until the line has been quiet for a moment, so that
    // the next reply does not begin with the tail of a stopped picture.
    void DrainInput();
    void EnsureReceiveRoom();
    wchar_t* StoreText(const std::wstring& text, size_t& length);

    std::vector<std::unique_ptr<DeviceEntry>> m_devices;
    std::atomic<int32_t> m_cancel{0};
    std::atomic<bool> m_drainPending{false};
    int32_t m_readTimeout = 2000;
    DeviceEntry* m_current = nullptr;
    uint32_t m_portStatus = 0;
    std::vector<uint8_t> m_receive;
    size_t m_received = 0;
    std::vector<wchar_t> m_text;

    static std::unique_ptr<CHBDataStreamMnt> s_instance;
};
