#include "SimulatedScanner.h"

#include "SimModelFile.h"
#include "SimReplyBuilder.h"
#include "SimRequest.h"

#include <algorithm>

namespace {

// Bytes of a reply after a fault has had its way with it; `repliesMade` before it.
void ApplyFaults(const SSimFaultPlan& faults, long repliesMade, SSimReply& reply)
{
    if (faults.garbage == ESimGarbage::BeforeReply)
        reply.bytes = faults.garbageBytes + reply.bytes;
    else if (faults.garbage == ESimGarbage::InsteadOfReply)
        reply.bytes = faults.garbageBytes;
    if (faults.cutAfter >= 0)
        reply.bytes.resize(std::min(reply.bytes.size(), static_cast<size_t>(faults.cutAfter)));
    if (faults.disconnectAfter >= 0 && repliesMade >= faults.repliesBeforeDisconnect) {
        reply.bytes.resize(std::min(reply.bytes.size(), static_cast<size_t>(faults.disconnectAfter)));
        reply.disconnect = true;
    }
    reply.delayMs = faults.delayMs;
    reply.byteGapMs = faults.byteGapMs;
}

// The model's data-format command and the longest format line it takes ("DFMLEN").
CSimDataFormats DataFormatsOf(const CSimSettingsDatabase& settings)
{
    const std::string command = settings.Find("DFMSET") ? "DFMSET" : settings.Find("DFMADD") ? "DFMADD" : "";
    const CSimSetting* length = settings.Find("DFMLEN");
    const std::string limit = length ? length->Current() : std::string();
    const bool numeric = !limit.empty() && limit.size() < 6 &&
                         std::all_of(limit.begin(), limit.end(), [](char c) { return c >= '0' && c <= '9'; });
    const CSimSetting* current = settings.Find("DFMQCU");
    const CSimSetting* factory = settings.Find("DFMQFA");
    return CSimDataFormats(command, numeric ? std::stoul(limit) : 0, current ? current->Current() : std::string(),
                           factory ? factory->Current() : std::string());
}

// The imager thinks longer than the decoder: its option queries wake the sensor, and a
// picture is exposed and encoded before its first byte goes out.
SSimSpan ExtraThinking(const std::string& frame, const SSimTiming& timing)
{
    if (CSimImage::IsImageRequest(frame))
        return timing.imageCapture;
    return frame.find("IMG") != std::string::npos ? timing.imageQuery : SSimSpan();
}

}  // namespace

CSimulatedScanner::CSimulatedScanner(const CSimSettingsDatabase& settings, const SSimScannerProfile& profile)
    : m_settings(settings), m_profile(profile), m_firmware(profile.productName, profile.systemInfo),
      m_dataFormats(DataFormatsOf(m_settings)), m_lineTerminal(profile.systemInfo)
{
    // What the scanner reads goes out through its data formats. The emitter runs
    // under m_mutex (TakeSpontaneous), so the formats are used directly here.
    m_emitter.SetFormatter(
        [this](const std::string& data, int symbology) { return m_dataFormats.Apply(data, symbology); });
}

std::unique_ptr<CSimulatedScanner> CSimulatedScanner::FromModelFile(const std::string& path,
                                                                    const SSimScannerProfile& profile,
                                                                    std::string& error)
{
    CSimSettingsDatabase settings;
    if (!CSimModelFile::Load(path, settings, error))
        return nullptr;
    return std::make_unique<CSimulatedScanner>(settings, profile);
}

std::vector<SSimReply> CSimulatedScanner::Feed(const std::string& bytes)
{
    return Feed(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::vector<SSimReply> CSimulatedScanner::Feed(const uint8_t* data, size_t count)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<SSimReply> replies;
    if (m_lineRate != 0 && m_lineRate != m_profile.baudRate)
        return replies;
    const SSimFaultPlan faults = m_faults.Get();
    if (m_lineTerminal.IsActive())
        return FeedLineTerminal(data, count);
    // Firmware packets are taken off the line first; the rest is command protocol.
    std::vector<SSimReply> firmwareReplies;
    const std::string commands =
        m_firmware.Take(data, count, m_lineRate ? m_lineRate : m_profile.baudRate, firmwareReplies);
    for (const SSimReply& reply : firmwareReplies)
        QueueTimed(reply, SSimSpan(), replies);
    for (const std::string& frame :
         m_assembler.Push(reinterpret_cast<const uint8_t*>(commands.data()), commands.size())) {
        m_heard.push_back(frame);
        if (m_heard.size() > kHeardFramesKept)
            m_heard.pop_front();
        SSimReply reply;
        if (AnswerFrame(frame, faults, reply))
            QueueTimed(reply, ExtraThinking(frame, m_timer.Timing()), replies);
        FollowUpLastFrame(replies);
    }
    return replies;
}

void CSimulatedScanner::SetTiming(const SSimTiming& timing)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_timer.Set(timing);
    if (timing.restartMs >= 0)
        m_firmware.SetRestartMs(timing.restartMs);
}

SSimTiming CSimulatedScanner::Timing()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_timer.Timing();
}

void CSimulatedScanner::QueueTimed(const SSimReply& reply, const SSimSpan& extra, std::vector<SSimReply>& replies)
{
    for (const SSimReply& piece : m_timer.Shape(reply, extra))
        replies.push_back(piece);
}

void CSimulatedScanner::SetLineRate(uint32_t baudRate)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (baudRate != m_lineRate)
        m_assembler.Clear();  // bytes heard at the old rate are no part of a frame
    m_lineRate = baudRate;
}

void CSimulatedScanner::Restart()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_settings.Restart();
    m_assembler.Clear();
    m_firmware.Restart();
    m_lineTerminal = CSimLineTerminal(m_profile.systemInfo);
}

std::string CSimulatedScanner::CurrentValue(const std::string& name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const CSimSetting* setting = m_settings.Find(name);
    return setting ? setting->Current() : std::string();
}

std::string CSimulatedScanner::ApplyDataFormats(const std::string& data, int symbologyCode)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_dataFormats.Apply(data, symbologyCode);
}

std::vector<std::string> CSimulatedScanner::TakeHeardFrames()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<std::string> frames(m_heard.begin(), m_heard.end());
    m_heard.clear();
    return frames;
}

bool CSimulatedScanner::IsIdentity(const std::string& name)
{
    static const char* const kIdentity[] = {"QRYSYS", "QRYPDN", "QRYPSN", "BASQSY", "BUFQRY", "QRYDCV"};
    return std::find(std::begin(kIdentity), std::end(kIdentity), name) != std::end(kIdentity);
}

bool CSimulatedScanner::IsKnown(const std::string& name) const
{
    // Batch data and the line terminal are modes of the scanner, not settings.
    static const char* const kModes[] = {"WLSBAT", "WLSSBT", "CLIENA"};
    const bool mode = std::find(std::begin(kModes), std::end(kModes), name) != std::end(kModes);
    return IsIdentity(name) || mode || m_settings.Find(name) != nullptr;
}

bool CSimulatedScanner::AnswerFrame(const std::string& frame, const SSimFaultPlan& faults, SSimReply& reply)
{
    if (!faults.silence && m_settings.Find("IMGGET") && CSimImage::IsImageRequest(frame)) {
        const CSimSetting* size = m_settings.Find("IMGGWH");
        reply.bytes = m_image.Answer(frame, size ? size->Current() : std::string(), m_profile.productName);
        ApplyFaults(faults, m_repliesMade++, reply);
        return true;
    }
    CSimRequest request;
    if (faults.silence || !request.Parse(frame, [this](const std::string& name) { return IsKnown(name); }))
        return false;
    CSimReplyBuilder builder;
    for (const std::string& command : request.Commands())
        AnswerCommand(command, request.Mark(), faults, builder);
    reply.bytes = builder.Frame(request.Mark());
    ApplyFaults(faults, m_repliesMade++, reply);
    return true;
}

void CSimulatedScanner::AnswerCommand(const std::string& command, char mark, const SSimFaultPlan& faults,
                                      CSimReplyBuilder& builder)
{
    if (m_firmware.InBootMode() && !IsIdentity(command.substr(0, 6))) {
        builder.Add(command.substr(0, 6), command.size() > 6 ? command.substr(6) : std::string(), kSimNak);
        return;  // the boot loader takes nothing but a download
    }
    if (command == "*" || command == "&" || command == "^") {
        AnswerWholeList(command[0], builder);
        return;
    }
    const std::string name = command.substr(0, 6);
    const std::string rest = command.size() > 6 ? command.substr(6) : std::string();
    if (faults.nakCommands.count(name) != 0 || faults.enqCommands.count(name) != 0) {
        builder.Add(name, rest, faults.nakCommands.count(name) != 0 ? kSimNak : kSimEnq);
        return;
    }
    if (AnswerIdentity(name, rest, builder) || AnswerModeCommand(command, builder) ||
        m_dataFormats.Answer(name, rest, builder))
        return;
    if (CSimSetting* setting = m_settings.Find(name))
        AnswerSetting(*setting, rest, mark, builder);
    else
        builder.Add(name, rest, kSimEnq);
}

void CSimulatedScanner::AnswerWholeList(char query, CSimReplyBuilder& builder) const
{
    for (const CSimSetting& setting : m_settings.All()) {
        const std::string value = query == '*' ? setting.Current() : query == '&' ? setting.Default() : setting.RangeText();
        builder.Add(setting.Name(), value, kSimAck);
    }
}

bool CSimulatedScanner::AnswerIdentity(const std::string& name, const std::string& rest, CSimReplyBuilder& builder) const
{
    std::string value;
    if (name == "QRYSYS")
        value = m_firmware.SystemInfo();
    else if (name == "QRYPDN")
        value = "Product Name: " + m_profile.productName + "\r\n";
    else if (name == "QRYPSN")
        value = "Serial Number: " + m_profile.serialNumber + "\r\n";
    else if (name == "BASQSY")
        value = m_profile.baseSystemInfo;
    else if (name == "BUFQRY")
        value = std::to_string(m_profile.bufferSize);
    else if (name == "QRYDCV")
        value = m_profile.decoderInfo;
    else
        return false;
    // Identity is read-only: a value is refused.
    if (rest.empty() || rest == "*")
        builder.Add(name, value, kSimAck);
    else
        builder.Add(name, rest, kSimNak);
    return true;
}

void CSimulatedScanner::AnswerSetting(CSimSetting& setting, const std::string& rest, char mark,
                                      CSimReplyBuilder& builder)
{
    if (rest.empty() || rest == "*") {
        builder.Add(setting.Name(), setting.Current(), kSimAck);
    } else if (rest == "&") {
        builder.Add(setting.Name(), setting.Default(), kSimAck);
    } else if (rest == "^") {
        builder.Add(setting.Name(), setting.RangeText(), kSimAck);
    } else if (setting.Accepts(rest)) {
        setting.Set(rest, mark == '@');
        builder.Add(setting.Name(), rest, kSimAck);
    } else {
        builder.Add(setting.Name(), rest, kSimNak);
    }
}

bool CSimulatedScanner::AnswerModeCommand(const std::string& command, CSimReplyBuilder& builder)
{
    const bool batch = CSimBatchStore::IsBatchCommand(command);
    const bool lineTerminal = command == "CLIENA1";
    if (!batch && !lineTerminal)
        return false;
    builder.Add(command.substr(0, 6), command.substr(6), kSimAck);
    m_uploadBatch = m_uploadBatch || CSimBatchStore::StartsUpload(command);
    m_enterLineTerminal = m_enterLineTerminal || lineTerminal;
    return true;
}

void CSimulatedScanner::FollowUpLastFrame(std::vector<SSimReply>& replies)
{
    if (m_uploadBatch) {
        for (const SSimReply& data : m_timer.Upload(m_batch.Blocks(), CSimBatchStore::kGapBetweenBlocksMs))
            replies.push_back(data);
    }
    if (m_enterLineTerminal)
        m_lineTerminal.Enter();
    m_uploadBatch = false;
    m_enterLineTerminal = false;
}

std::vector<SSimReply> CSimulatedScanner::FeedLineTerminal(const uint8_t* data, size_t count)
{
    std::vector<SSimReply> replies;
    for (const std::string& answer : m_lineTerminal.Push(std::string(reinterpret_cast<const char*>(data), count))) {
        SSimReply reply;
        reply.bytes = answer;
        QueueTimed(reply, SSimSpan(), replies);
    }
    return replies;
}

std::vector<SSimReply> CSimulatedScanner::TakeSpontaneous()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<SSimReply> replies;
    const std::vector<std::string> reads = m_emitter.TakeDue(CSimScanEmitter::Clock::now());
    // A scanner busy in its line terminal does not scan.
    if (m_lineTerminal.IsActive())
        return replies;
    for (const std::string& read : reads) {
        SSimReply reply;
        reply.bytes = read;
        replies.push_back(reply);
    }
    return replies;
}

int CSimulatedScanner::MillisecondsToSpontaneous(int ceilingMs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_emitter.MillisecondsToNext(CSimScanEmitter::Clock::now(), ceilingMs);
}
