#include "SaveCfg.h"

#include "PendingChangeList.h"
#include "app/Log.h"
#include "device/ExchangeFrame.h"
#include "device/HBDataStreamMnt.h"
#include "model/SettingsEngine.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cwchar>
#include <string_view>
#include <thread>

std::unique_ptr<CSaveCfg> CSaveCfg::s_instance;

namespace {

// The settings model sits below this engine and reaches it through this interface.
// It is installed while the program starts, so that a change made before anything
// asked for the engine or the list is still listed. Linking this file also links the
// list (and the list this file), so neither can be present without the other.
class CModelEngine final : public ISettingsEngine {
public:
    CModelEngine() { SetSettingsEngine(this); }
    bool IsOnline() const override { return CSaveCfg::GetInstance().IsOnline(); }
    bool HasFailedQueries() const override { return !CSaveCfg::GetInstance().GetFailedQueries().empty(); }
    void AddFailedQuery(const wxString& commandName) override { CSaveCfg::GetInstance().AddFailedQuery(commandName); }
    bool Query(const wxString& command, const wxString& suffix, wxString& value, const wxString& mark) override
    {
        return CSaveCfg::QueryCommand(command, suffix, value, mark);
    }
    void ReportChange(CCmdNameXmlInfo* definition, bool changed) override
    {
        CPendingChangeList& changes = CPendingChangeList::GetInstance();
        if (changed)
            changes.AddChange(definition);
        else
            changes.RemoveChange(definition);
        changes.OnValueChanged(definition);
    }
    void Forget(const CCmdNameXmlInfo* definition) override { CPendingChangeList::Forget(definition); }
};

CModelEngine g_modelEngine;

}  // namespace

namespace {

const wchar_t* const kFrameHeader = CExchangeFrame::kRequestHeader;
const size_t kFrameHeaderLength = CExchangeFrame::kRequestHeaderLength;
// The reply's own header and the character after it, which carries nothing we read.
const size_t kReplyPrefixLength = 7;
// Items one single exchange may bring back; "@*" of the largest model fits easily.
const size_t kSingleExchangeItems = 1024;

bool IsStatus(wchar_t c)
{
    return c == REPLY_ACK || c == REPLY_NAK || c == REPLY_ENQ;
}

bool HasMark(const wchar_t* command)
{
    return command[0] == L'@' || command[0] == L'#';
}

// Calls `visit(begin, end)` for every part of text[begin, end) cut at `separator`
// that ends in a status character. A part that does not is joined with the next
// one: the separator belonged to its value, and it is still in place in the text.
// A last part without a status character is incomplete and yields nothing.
template <typename Visit>
void ForEachCompletePart(const wchar_t* text, size_t begin, size_t end, wchar_t separator, bool skipEmpty,
                         Visit&& visit)
{
    size_t partStart = begin;
    bool collecting = false;
    for (size_t pos = begin; pos <= end;) {
        size_t next = pos;
        while (next < end && text[next] != separator)
            ++next;
        if (!collecting) {
            if (skipEmpty && next == pos) {
                pos = next + 1;
                continue;
            }
            partStart = pos;
            collecting = true;
        }
        if (next > partStart && IsStatus(text[next - 1])) {
            visit(partStart, next);
            collecting = false;
        }
        pos = next + 1;
    }
}

void CopyName(wchar_t (&out)[7], std::wstring_view group, std::wstring_view rest)
{
    size_t n = 0;
    for (wchar_t c : group)
        if (n < 6)
            out[n++] = c;
    for (wchar_t c : rest)
        if (n < 6)
            out[n++] = c;
    out[n] = L'\0';
}

}  // namespace

CSaveCfg& CSaveCfg::GetInstance()
{
    if (!s_instance)
        s_instance.reset(new CSaveCfg());
    return *s_instance;
}

void CSaveCfg::ResetInstance()
{
    s_instance.reset();
}

void CSaveCfg::PackCommands(const wchar_t* rows, size_t count, size_t rowWidth, std::wstring& frame)
{
    if (frame.compare(0, kFrameHeaderLength, kFrameHeader) != 0)
        frame.insert(0, kFrameHeader, kFrameHeaderLength);
    std::wstring_view previous;
    for (size_t i = 0; i < count; ++i) {
        const wchar_t* row = rows + i * rowWidth;
        const std::wstring_view command(row, wcsnlen(row, rowWidth));
        if (i == 0) {
            const bool marked = !command.empty() && HasMark(row);
            if (!marked)
                frame += L'@';
            frame.append(command);
            previous = marked ? command.substr(1) : command;
            continue;
        }
        // Neighbours of one group share its three characters; the group is not repeated.
        const bool sameGroup = command.size() >= 3 && previous.size() >= 3 && command.substr(0, 3) == previous.substr(0, 3);
        if (sameGroup) {
            frame += L',';
            frame.append(command.substr(3));
        } else {
            frame += L';';
            frame.append(command);
        }
        previous = command;
    }
    if (frame.empty() || frame.back() != L';')
        frame += L';';
    frame += L'\x03';
}

bool CSaveCfg::IsReplyComplete(const uint8_t* bytes, size_t n)
{
    return CExchangeFrame::IsReplyComplete(bytes, n);
}

bool CSaveCfg::ParseReply(wchar_t* replyText, size_t length, ReplyItem* items, size_t capacity, size_t& count)
{
    count = 0;
    if (!replyText || length == 0)
        return false;
    size_t end = wcsnlen(replyText, length);
    if (end == 0)
        return false;
    --end;  // the closing 0x03
    if (end <= kReplyPrefixLength)
        return true;

    bool overflowLogged = false;
    ForEachCompletePart(replyText, kReplyPrefixLength, end, L';', true, [&](size_t tokenBegin, size_t tokenEnd) {
        // The group is copied before items are cut, because cutting writes NULs
        // over status characters, which may stand inside the first three.
        wchar_t groupChars[3];
        const size_t groupLength = std::min<size_t>(3, tokenEnd - tokenBegin);
        std::copy(replyText + tokenBegin, replyText + tokenBegin + groupLength, groupChars);
        const std::wstring_view group(groupChars, groupLength);

        ForEachCompletePart(replyText, tokenBegin, tokenEnd, L',', false, [&](size_t begin, size_t pieceEnd) {
            if (count == capacity) {
                if (!overflowLogged)
                    VLOG(LOG_INFO, "reply holds more than %u items; the rest is dropped", static_cast<unsigned>(capacity));
                overflowLogged = true;
                return;
            }
            const size_t statusPos = pieceEnd - 1;
            const std::wstring_view piece(replyText + begin, statusPos - begin);
            ReplyItem& item = items[count++];
            size_t valueOffset;
            if (group.size() == 3 && piece.find(group) != std::wstring_view::npos) {
                valueOffset = std::min<size_t>(6, piece.size());
                CopyName(item.command, {}, piece.substr(0, valueOffset));
            } else {
                valueOffset = std::min<size_t>(3, piece.size());
                CopyName(item.command, group, piece.substr(0, valueOffset));
            }
            item.status = replyText[statusPos];
            replyText[statusPos] = L'\0';
            item.value = replyText + begin + valueOffset;
        });
    });
    return true;
}

void CSaveCfg::PrepareRows(size_t rowCount, size_t rowWidth)
{
    if (rowCount * rowWidth > m_rows.size())
        m_rows.assign(rowCount * rowWidth, L'\0');
    else
        std::fill(m_rows.begin(), m_rows.begin() + static_cast<std::ptrdiff_t>(rowCount * rowWidth), L'\0');
    m_rowCount = rowCount;
    m_rowWidth = rowWidth;
}

void CSaveCfg::PrepareItems(size_t capacity)
{
    if (capacity > m_items.size())
        m_items.assign(capacity, ReplyItem{});
    else
        std::fill(m_items.begin(), m_items.end(), ReplyItem{});
}

bool CSaveCfg::WriteFrame() const
{
    return CHBDataStreamMnt::GetInstance().Write(m_frame.c_str(), m_frame.size()) > 0;
}

bool CSaveCfg::ExchangeWithOneResend()
{
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    if (!WriteFrame())
        return false;
    if (link.ReadExchangeReply())
        return true;
    // A reply that broke a bound is not sent for again: the line has been cleared
    // or closed, and the same request would meet the same fault.
    if (!link.GetReadProblem().empty() || !link.IsOpen())
        return false;
    VLOG(LOG_DETAIL, "no reply, sending again: %s", U8(wxString(m_frame)));
    return WriteFrame() && link.ReadExchangeReply();
}

void CSaveCfg::PaceRequest()
{
    // Scanners drop a request that follows the previous reply too closely; only what
    // is left of that pause is waited, so back-to-back callers lose nothing.
    const auto since = std::chrono::steady_clock::now() - m_lastReplyEnd;
    const auto pause = std::chrono::milliseconds(25);
    if (since < pause)
        std::this_thread::sleep_for(pause - since);
}

bool CSaveCfg::ParseLastReply(size_t capacity, size_t& count)
{
    size_t length = 0;
    wchar_t* text = CHBDataStreamMnt::GetInstance().GetReplyTextAnsi(length);
    PrepareItems(capacity);
    const bool parsed = ParseReply(text, length, m_items.data(), capacity, count);
    m_itemCount = count;
    return parsed;
}

ReplyItem* CSaveCfg::SendCommand(const wchar_t* first, const wchar_t* second, size_t& count)
{
    count = 0;
    m_itemCount = 0;
    if (!first || !second)
        return nullptr;
    // The engine's buffers are the line's too: whoever packs a frame holds the line.
    CLineHold hold = CHBDataStreamMnt::GetInstance().Line().Take(LineUsers::kExchange);
    m_errors.clear();
    const size_t firstLength = wcslen(first);
    const size_t length = firstLength + wcslen(second);
    if (length == 0)
        return nullptr;

    PrepareRows(1, 2 * length);
    std::copy(first, first + firstLength, m_rows.begin());
    std::copy(second, second + (length - firstLength), m_rows.begin() + static_cast<std::ptrdiff_t>(firstLength));
    m_frame.clear();
    m_frame.reserve(m_rowWidth + 100);
    PackCommands(m_rows.data(), 1, m_rowWidth, m_frame);

    PaceRequest();
    const bool replied = ExchangeWithOneResend();
    m_lastReplyEnd = std::chrono::steady_clock::now();
    if (!replied)
        return nullptr;

    size_t parsed = 0;
    if (!ParseLastReply(kSingleExchangeItems, parsed))
        return nullptr;
    for (size_t i = 0; i < parsed; ++i) {
        if (m_items[i].status != REPLY_ACK) {
            VLOG(LOG_INFO, "%s %s", U8(wxString(m_items[i].command)), "Respond Error");
            m_errors.emplace_back(m_items[i].command);
        }
    }
    if (!m_errors.empty())
        return nullptr;
    count = parsed;
    return m_items.data();
}

bool CSaveCfg::SendCommandList(const wchar_t* rows, size_t count, size_t rowWidth)
{
    CLineHold hold = CHBDataStreamMnt::GetInstance().Line().Take(LineUsers::kExchange);
    m_itemCount = 0;
    if (!rows || count == 0 || rowWidth == 0)
        return false;
    m_frame.clear();
    m_frame.reserve(count * rowWidth + 100);
    PackCommands(rows, count, rowWidth, m_frame);
    if (!WriteFrame()) {
        for (size_t i = 0; i < count; ++i)
            m_errors.emplace_back(rows + i * rowWidth, wcsnlen(rows + i * rowWidth, rowWidth));
        return false;
    }
    // A list goes out once: the caller judges the batch by the error list.
    const bool replied = CHBDataStreamMnt::GetInstance().ReadExchangeReply();
    m_lastReplyEnd = std::chrono::steady_clock::now();
    if (!replied)
        return false;
    size_t parsed = 0;
    if (!ParseLastReply(2 * count, parsed))
        return false;
    for (size_t i = 0; i < parsed; ++i) {
        if (m_items[i].status != REPLY_ACK)
            m_errors.emplace_back(m_items[i].command);
    }
    return true;
}

bool CSaveCfg::SendSetting(const wxString& command, const wxString& parameter, wxString& value)
{
    const wxString text = "#" + command + parameter;
    size_t count = 0;
    // The items live in the engine until the next exchange, by anyone.
    CLineHold hold = CHBDataStreamMnt::GetInstance().Line().Take(LineUsers::kExchange);
    const ReplyItem* items = GetInstance().SendCommand(text.wc_str(), L"", count);
    for (size_t i = 0; items && i < count; ++i) {
        if (items[i].status == REPLY_ACK && command == items[i].command) {
            value = items[i].value;
            return true;
        }
    }
    return false;
}

bool CSaveCfg::AskDevice(const wchar_t* request, std::vector<SReplyValue>& items)
{
    items.clear();
    size_t count = 0;
    CLineHold hold = CHBDataStreamMnt::GetInstance().Line().Take(LineUsers::kExchange);
    const ReplyItem* replied = GetInstance().SendCommand(request, L"", count);
    for (size_t i = 0; replied && i < count; ++i)
        items.push_back({replied[i].command, replied[i].value});
    return replied != nullptr;
}

bool CSaveCfg::AskPort(CHBDataStreamMnt& link, const wchar_t* request, std::vector<SReplyValue>& items)
{
    items.clear();
    const size_t length = request ? wcslen(request) : 0;
    if (length == 0)
        return false;
    std::wstring frame;
    PackCommands(request, 1, length + 1, frame);
    CLineHold hold = link.Line().Take(LineUsers::kExchange);
    auto exchange = [&] { return link.Write(frame.c_str(), frame.size()) > 0 && link.ReadExchangeReply(); };
    // One resend, as for the engine's own exchanges, unless the reply broke a bound.
    if (!exchange() && (!link.GetReadProblem().empty() || !link.IsOpen() || !exchange()))
        return false;
    size_t textLength = 0;
    wchar_t* text = link.GetReplyTextAnsi(textLength);
    std::vector<ReplyItem> parsed(kSingleExchangeItems);
    size_t count = 0;
    if (!ParseReply(text, textLength, parsed.data(), parsed.size(), count))
        return false;
    for (size_t i = 0; i < count; ++i) {
        if (parsed[i].status != REPLY_ACK)
            return false;
        items.push_back({parsed[i].command, parsed[i].value});
    }
    return true;
}

bool CSaveCfg::QueryCommand(const wxString& command, const wxString& suffix, wxString& value, const wxString& mark)
{
    const wxString text = mark + command + suffix;
    size_t count = 0;
    CLineHold hold = CHBDataStreamMnt::GetInstance().Line().Take(LineUsers::kExchange);
    const ReplyItem* items = GetInstance().SendCommand(text.wc_str(), L"", count);
    for (size_t i = 0; items && i < count; ++i) {
        const wxString name(items[i].command);
        if (items[i].status == REPLY_ACK && !name.empty() && command.Find(name) != wxNOT_FOUND) {
            value = items[i].value;
            return true;
        }
    }
    return false;
}
