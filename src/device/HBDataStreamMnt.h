// The single owner of every connection to a scanner: lists and identifies the
// scanners that can be reached, opens the one being worked with, writes requests
// and reads replies and images back with time-outs.
#pragma once

#include "DeviceEntry.h"
#include "ExchangeFrame.h"
#include "LineJobs.h"
#include "LineOwner.h"
#include "app/UiText.h"

#include <wx/string.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// The command protocol's items live above the link; the link is handed how to ask a
// scanner something when it identifies one.

// One acknowledged item of a reply.
struct SReplyValue {
    wxString name;
    wxString value;
};
// Sends `request` in one exchange on the open link; false when nothing usable came
// back or an item was refused, otherwise true with the items.
using DeviceQuery = std::function<bool(const wchar_t* request, std::vector<SReplyValue>& items)>;

class CHBDataStreamMnt;
// The same on a given link: a port sweep asks each scanner over a link of its own.
using PortQuery = std::function<bool(CHBDataStreamMnt& link, const wchar_t* request, std::vector<SReplyValue>& items)>;

// Every exchange and every long operation takes the open line from `Line()` first
// and gives it back when done; the operations below take it too, for the span of
// the one call, so that two threads never share a read.
class CHBDataStreamMnt {
public:
    static CHBDataStreamMnt& GetInstance();
    static void ResetInstance();
    ~CHBDataStreamMnt();

    // A link of its own, beside the program's one: for a thread that talks to one port
    // while others talk to theirs (the port sweep, tests).
    static std::unique_ptr<CHBDataStreamMnt> CreatePortLink();

    // Rebuilds the device list (USB first, then serial ports that answered) and
    // identifies every entry with `query`. Returns the number of entries.
    int EnumDevices(const PortQuery& query);
    // The scanners that can be reached now, found and identified by a sweep of all
    // ports at once, each on its own thread and link: as long as the slowest port
    // takes. The device list and the open line are left alone, except that an open
    // device is closed first so that its port can be asked too.
    std::vector<std::unique_ptr<DeviceEntry>> SweepPorts(const PortQuery& query);
    // Makes `entries` the device list (what SweepPorts found), closing the open device.
    void ReplaceDevices(std::vector<std::unique_ptr<DeviceEntry>> entries);
    // Rebuilds the device list from one serial port given by path, at `baudRate` or,
    // when it is 0, at the rate the port answers at. Returns the number of entries (0 or 1).
    int EnumSerialPort(const std::string& path, uint32_t baudRate, const PortQuery& query);
    // Adds an entry for a serial port given by path without identifying it; null when
    // the path is empty, the port cannot be opened (GetPortStatus says why) or, with
    // `baudRate` 0, nothing answered at any rate.
    DeviceEntry* AddSerialPort(const std::string& path, uint32_t baudRate);
    // The library's code for the last port given by path that could not be opened;
    // 0 when it opened.
    uint32_t GetPortStatus() const { return m_portStatus; }
    // Asks every entry for its system text, product name and serial number, all at
    // once, and drops the entries that name no product: whatever answered there is no
    // scanner we can use.
    void IdentifyDevices(const PortQuery& query);
    // For the window thread: makes `entries` the device list when nothing uses the line
    // or the list now (no scanner open, no job queued or running); otherwise leaves
    // both lists as they are and returns false.
    bool TryReplaceDevices(std::vector<std::unique_ptr<DeviceEntry>>& entries);
    // Removes the entries that no catalogue model was matched to.
    void RemoveUnmatched();

    size_t GetDeviceCount() const { return m_devices.size(); }
    DeviceEntry* GetDevice(size_t index) const { return index < m_devices.size() ? m_devices[index].get() : nullptr; }
    // Takes over an entry made by hand (a port given by the user, tests).
    DeviceEntry* AddDevice(std::unique_ptr<DeviceEntry> entry);

    // Who may use the open line now.
    CLineOwner& Line() { return m_line; }
    // The line's own thread: windows queue their exchanges and long operations here.
    CLineJobs& Jobs() { return m_jobs; }

    bool OpenDevice(DeviceEntry* entry);
    // Always true. Sets the cancel flag and asks whatever holds the line to stop, waits
    // `delayMs` and until the line is given back, then closes and frees the handle.
    bool CloseDevice(uint32_t delayMs);
    // For windows: cancels every job on the line, asks its holder to stop and queues
    // the close behind them; the window goes on at once and learns of the end from
    // the job if it needs to.
    LineJobPtr QueueClose();
    bool IsOpen() const;
    DeviceEntry* GetCurrentDevice() const { return m_current; }

    bool SetBaudRate(uint32_t value);
    bool SetDataBits(uint8_t value);
    bool SetParity(uint8_t value);
    bool SetStopBits(uint8_t value);

    // Writes the first `length` characters of `text` in the narrow encoding after
    // dropping pending input. Bytes written; 0 when not open.
    uint32_t Write(const wchar_t* text, size_t length);
    // Writes the bytes as they are after dropping pending input.
    uint32_t WriteBytes(const uint8_t* bytes, size_t length);
    // Drops input that has arrived but was not read (kept as scanner output, below).
    void DropInput();

    // Reads one reply: until it is whole by the protocol's rule, the line is silent for
    // the read time-out, or `limitMs` has passed (0 = no limit of the caller's). A reply
    // that passes the protocol's size or time bound fails (GetReadProblem says which)
    // and the line is cleared or closed. True when at least one byte came.
    bool ReadReply(uint32_t limitMs);
    // The reply to a request of the command protocol: what the scanner sends by itself
    // before the reply begins is set aside as scanner output, so that a code read just
    // then is neither taken for the reply nor lost. True when a reply began.
    bool ReadExchangeReply();
    // What the scanner sends by itself, in steps of at most a few kilobytes: reads for
    // at most `limitMs`, and less once the line goes quiet. True when something came.
    bool ReadDeviceOutput(uint32_t limitMs);
    // Reads an image reply until its announced length has arrived or the line is silent.
    // Setting `stop` ends the read within a fraction of a second; the rest of the picture
    // still on its way is then drained on this same thread before the read returns.
    bool ReadImage(bool firstFlag, bool secondFlag, const std::atomic<bool>* stop = nullptr);

    // What went wrong with the last read beyond silence (too long, too slow, too large
    // a picture), for the user; empty when nothing did.
    wxString GetReadProblem() const;

    // While set, bytes the scanner sends by itself around exchanges are kept (up to a
    // bound, oldest dropped) for whoever shows them, instead of being dropped.
    void SetKeepDeviceOutput(bool keep);
    // Hands over and forgets the scanner output kept so far.
    std::string TakeDeviceOutput();
    // Adds bytes that a caller found to be scanner output to what is kept.
    void SetAsideDeviceOutput(const std::string& bytes)
    {
        KeepDeviceOutput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }

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
    // The download alone, with the device-name check on or off. When the connection
    // goes as the scanner restarts, the device is opened again and the version it then
    // runs decides.
    bool UpgradeFirmwareFile(const wxString& file, void* progress, bool nameCheck);
    // After a successful download, on the thread that shows the current device: its
    // system text gets the file's version.
    void NoteFirmwareVersion(const wxString& file);
    // False when the file is made for a processor family the device is not of.
    bool IsCpuCompatible(const wxString& file, const DeviceQuery& query);
    // After a restart, which may take the scanner off its port (a USB scanner comes back
    // under another device path, and another device may take the old one): finds it by
    // its identity (serial number, else product name on a port of the same family) among
    // the ports there are now, its old one included, and moves `entry` there. False
    // while it is nowhere to be found, or when the entry knows no identity.
    static bool FindAgain(DeviceEntry& entry);
    // A download into `entry` over a connection of its own, leaving the current device
    // alone, so that several scanners can be upgraded at once from their own threads.
    // The library's status is left in the entry, and after success the new version in
    // its system text.
    static bool UpgradeEntryFirmware(DeviceEntry& entry, const wxString& file, void* progress, bool nameCheck);

    // UI text of the current device's status; empty without an open handle.
    wxString GetLastErrorText() const;

    int32_t GetReadTimeout() const { return m_readTimeout; }
    // Process-wide; a caller that changes it holds the line and puts it back.
    void SetReadTimeout(int32_t milliseconds) { m_readTimeout = milliseconds; }
    bool IsCancelled() const { return m_cancel != 0; }
    size_t GetReceiveCapacity() const { return m_receive.size(); }

private:
    // How long the link listens at each rate when it looks for a scanner's serial settings.
    static constexpr int kDetectionTimeoutMs = 100;

    CHBDataStreamMnt();

    void DeleteDevices();
    // The candidates of a sweep: every USB interface, and every serial port with its
    // rate still to be found (0).
    static std::vector<std::unique_ptr<DeviceEntry>> ListCandidates();
    // Finds the rate of a serial candidate when it has none yet, then identifies it, on
    // this link; false when nothing answered there.
    bool ProbeCandidate(DeviceEntry& entry, const PortQuery& query);
    // Probes every candidate on a thread and link of its own; keeps those that named a product.
    std::vector<std::unique_ptr<DeviceEntry>> ProbeAll(std::vector<std::unique_ptr<DeviceEntry>> candidates,
                                                       const PortQuery& query) const;
    void IdentifyDevice(DeviceEntry& entry, const PortQuery& query);
    // Asks whether a file made for another model goes in all the same; a "no" leaves
    // the current device's status "stopped".
    bool AgreeToOtherModel(const MessageHandler& ask);
    // Opens and closes the port once; the library's code, 0 when it opened.
    static uint32_t TryOpen(const SerialSettings& port);
    // Stores one line parameter of the current device and applies them all.
    template <typename T>
    bool SetSerialField(T SerialSettings::*field, T value);
    // Limits of one read beyond the silence time-out.
    struct SReadBounds {
        uint32_t limitMs = 0;       // the caller's limit on each read and the whole (0 = none)
        size_t mostBytes = CExchangeFrame::kMostReplyBytes;
        uint32_t deadlineMs = CExchangeFrame::kReplyDeadlineMs;
        // How much longer than the bytes' time on the wire a reply may take, in percent.
        uint32_t wirePercent = 200;
        const std::atomic<bool>* stop = nullptr;
    };
    enum class EReadEnd { DONE, SILENT, CANCELLED, TOO_LONG, TOO_SLOW };
    // Reads chunks until `done` says the reply is whole, the line is silent for the
    // read time-out, the cancel flag or `stop` is set, or a bound is passed. Each
    // library read lasts at most a short slice, so that a close or a stop is seen soon.
    template <typename Done>
    EReadEnd ReadChunks(const SReadBounds& bounds, Done&& done);
    // Says what passed a bound and clears the line for the next request.
    void ReportOverrun(EReadEnd end, const SReadBounds& bounds);
    // Reads until the line has been quiet for a moment, or closes it when it will not
    // be quiet within `limitMs`, so that the next reply does not begin with the rest
    // of a broken or stopped one.
    void DrainInput(uint32_t limitMs);
    // Reads and drops `count` bytes, or what comes of them within `limitMs`.
    void DropBytes(size_t count, uint32_t limitMs);
    // Moves the first `count` received bytes to the scanner output.
    void SetAsideReceived(size_t count);
    void KeepDeviceOutput(const uint8_t* bytes, size_t n);
    // Keeps what has arrived unread as scanner output, then drops the rest.
    void ClearInput(HBDS_HANDLE handle);
    void EnsureReceiveRoom();
    // How long `bytes` take on the current line.
    uint32_t WireTimeMs(size_t bytes) const;
    // How long the rest of a stopped picture may take to drain.
    uint32_t ImageDrainMs(size_t expected, size_t received) const;
    wchar_t* StoreText(const std::wstring& text, size_t& length);

    CLineOwner m_line;
    std::vector<std::unique_ptr<DeviceEntry>> m_devices;
    std::atomic<int32_t> m_cancel{0};
    std::atomic<int32_t> m_readTimeout{2000};
    mutable std::mutex m_outputMutex;  // the two below, read from other threads
    wxString m_readProblem;
    std::string m_deviceOutput;
    std::atomic<bool> m_keepDeviceOutput{false};
    std::atomic<DeviceEntry*> m_current{nullptr};
    std::atomic<HBDS_HANDLE> m_openHandle{0};
    uint32_t m_portStatus = 0;
    std::vector<uint8_t> m_receive;
    size_t m_received = 0;
    size_t m_setAside = 0;  // set aside as scanner output during the current read
    std::vector<wchar_t> m_text;

    // Last, so that it is gone before anything its jobs use.
    CLineJobs m_jobs{m_line};

    static std::unique_ptr<CHBDataStreamMnt> s_instance;
};
