#include "SimulatedScanner.h"

#include "SimModelFile.h"
#include "SimReplyBuilder.h"
#include "SimRequest.h"

#include <algorithm>

namespace {

// Bytes of a reply after a fault has had its way with it.
void ApplyFaults(const SSimFaultPlan& faults, SSimReply& reply)
{
    if (faults.garbage == ESimGarbage::BeforeReply)
        reply.bytes = faults.garbageBytes + reply.bytes;
    else if (faults.garbage == ESimGarbage::InsteadOfReply)
        reply.bytes = faults.garbageBytes;
    if (faults.cutAfter >= 0)
        reply.bytes.resize(std::min(reply.bytes.size(), static_cast<size_t>(faults.cutAfter)));
    if (faults.disconnectAfter >= 0) {
        reply.bytes.resize(std::min(reply.bytes.size(), static_cast<size_t>(faults.disconnectAfter)));
        reply.disconnect = true;
    }
    reply.delayMs = faults.delayMs;
    reply.byteGapMs = faults.byteGapMs;
}

}  // namespace

CSimulatedScanner::CSimulatedScanner(const CSimSettingsDatabase& settings, const SSimScannerProfile& profile)
    : m_settings(settings), m_profile(profile)
{
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
    for (const std::string& frame : m_assembler.Push(data, count)) {
        m_heard.push_back(frame);
        if (m_heard.size() > kHeardFramesKept)
            m_heard.pop_front();
        SSimReply reply;
        if (AnswerFrame(frame, faults, reply))
            replies.push_back(reply);
    }
    return replies;
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
}

std::string CSimulatedScanner::CurrentValue(const std::string& name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const CSimSetting* setting = m_settings.Find(name);
    return setting ? setting->Current() : std::string();
}

std::vector<std::string> CSimulatedScanner::TakeHeardFrames()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<std::string> frames(m_heard.begin(), m_heard.end());
    m_heard.clear();
    return frames;
}

bool CSimulatedScanner::IsKnown(const std::string& name) const
{
    static const char* const kIdentity[] = {"QRYSYS", "QRYPDN", "QRYPSN", "BASQSY", "BUFQRY", "QRYDCV"};
    const bool identity = std::find(std::begin(kIdentity), std::end(kIdentity), name) != std::end(kIdentity);
    return identity || m_settings.Find(name) != nullptr;
}

bool CSimulatedScanner::AnswerFrame(const std::string& frame, const SSimFaultPlan& faults, SSimReply& reply)
{
    if (!faults.silence && m_settings.Find("IMGGET") && CSimImage::IsImageRequest(frame)) {
        const CSimSetting* size = m_settings.Find("IMGGWH");
        reply.bytes = m_image.Answer(frame, size ? size->Current() : std::string(), m_profile.productName);
        ApplyFaults(faults, reply);
        return true;
    }
    CSimRequest request;
    if (faults.silence || !request.Parse(frame, [this](const std::string& name) { return IsKnown(name); }))
        return false;
    CSimReplyBuilder builder;
    for (const std::string& command : request.Commands())
        AnswerCommand(command, request.Mark(), faults, builder);
    reply.bytes = builder.Frame(request.Mark());
    ApplyFaults(faults, reply);
    return true;
}

void CSimulatedScanner::AnswerCommand(const std::string& command, char mark, const SSimFaultPlan& faults,
                                      CSimReplyBuilder& builder)
{
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
    if (AnswerIdentity(name, rest, builder))
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
        value = m_profile.systemInfo;
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
