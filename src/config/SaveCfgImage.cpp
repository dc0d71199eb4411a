// The image request: the request goes out in an ordinary frame, the reply is one
// block whose length its own header announces.
#include "SaveCfg.h"

#include "app/Log.h"
#include "device/HBDataStreamMnt.h"
#include "device/ImageReply.h"

namespace {

// An image takes longer to arrive than a settings reply; each read may wait this long.
constexpr int32_t kImageReadTimeoutMs = 4000;

void LogFailedCheck(const char* check)
{
    VLOG(LOG_INFO, "%s %s", check, "Error");
}

// Puts the link's read time-out back however the request ends.
class CReadTimeoutScope {
public:
    explicit CReadTimeoutScope(int32_t milliseconds) : m_saved(CHBDataStreamMnt::GetInstance().GetReadTimeout())
    {
        CHBDataStreamMnt::GetInstance().SetReadTimeout(milliseconds);
    }
    ~CReadTimeoutScope() { CHBDataStreamMnt::GetInstance().SetReadTimeout(m_saved); }
    CReadTimeoutScope(const CReadTimeoutScope&) = delete;
    CReadTimeoutScope& operator=(const CReadTimeoutScope&) = delete;

private:
    int32_t m_saved;
};

}  // namespace

bool CSaveCfg::RequestImage(bool sizeInReply, bool qualityInRequest, const wxString& text,
                            std::vector<uint8_t>& image, int& width, int& height, const std::atomic<bool>* stop)
{
    image.clear();
    width = 0;
    height = 0;
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    // Request, picture and the changed read time-out are one operation on the line,
    // and the engine's buffers the request is packed in are the line's too.
    CLineHold hold = link.Line().Take(LineUsers::kCapture);
    if (stop && *stop)
        return false;
    CReadTimeoutScope timeout(kImageReadTimeoutMs);

    const std::wstring command(text.wc_str());
    PrepareRows(1, command.size() + 1);
    std::copy(command.begin(), command.end(), m_rows.begin());
    m_frame.clear();
    PackCommands(m_rows.data(), 1, m_rowWidth, m_frame);
    if (!WriteFrame()) {
        LogFailedCheck("Write");
        return false;
    }
    const bool read = link.ReadImage(sizeInReply, qualityInRequest, stop);
    m_lastReplyEnd = std::chrono::steady_clock::now();
    if (!read) {
        if (stop && *stop)
            return false;  // stopped on purpose: nothing failed
        LogFailedCheck("ReadImage");
        return false;
    }
    SImageReplyLayout layout;
    if (const char* failed =
            CheckImageReply(link.GetReceived(), link.GetReceivedLength(), sizeInReply, qualityInRequest, layout)) {
        LogFailedCheck(failed);
        return false;
    }
    const uint8_t* first = link.GetReceived() + layout.offset;
    image.assign(first, first + layout.length);
    width = layout.width;
    height = layout.height;
    return true;
}
