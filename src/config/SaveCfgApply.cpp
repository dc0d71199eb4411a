// Writing the user's changes to the scanner in the order it needs them, reading its
// values back, and putting values from the scanner or a file onto the pages.
#include "SaveCfg.h"

#include "PendingChangeList.h"
#include "app/Log.h"
#include "app/TaskProgress.h"
#include "app/UiText.h"
#include "device/DeviceEntry.h"
#include "device/HBDataStreamMnt.h"
#include "model/ControlFactory.h"
#include "model/PageMntXmlInfo.h"

#include <algorithm>
#include <chrono>
#include <initializer_list>
#include <set>
#include <thread>

namespace {

// Frames are kept this far below the scanner's payload limit: the frame's own
// header, marks and separators need room too.
const size_t kPayloadMargin = 50;
const size_t kMinimumRowWidth = 256;
// A scanner busy storing the previous batch drops a frame that follows at once.
const auto kBatchPause = std::chrono::milliseconds(20);

bool IsOneOf(const wxString& name, std::initializer_list<const char*> names)
{
    return std::any_of(names.begin(), names.end(), [&](const char* candidate) { return name.CmpNoCase(candidate) == 0; });
}

bool IsLinkSetting(const wxString& name)
{
    return IsOneOf(name, {"INTERF", "KBWPOR", "232BAD"});
}

bool IsChanged(const CCmdNameXmlInfo& definition)
{
    return definition.IsTransferredControl() && definition.Value != definition.LoadedValue;
}

// Decimal value of a setting; anything that is no number counts as 0.
long ToDecimal(const wxString& text)
{
    long number = 0;
    return text.ToLong(&number) ? number : 0;
}

void Refresh(const CCmdNameXmlInfo& definition, int mode)
{
    if (definition.Control && GetControlFactory())
        GetControlFactory()->RefreshControl(definition.Control, mode);
}

// What one apply has gathered from the pages, in sending order.
struct SApplyPlan {
    std::vector<CCmdNameXmlInfo*> singleSends;  // "RADIO#" controls, each on its own with "#"
    std::vector<wxString> batch;
    std::vector<CCmdNameXmlInfo*> confirm;
    CCmdNameXmlInfo* dataFormat = nullptr;
    // Cut areas and exposures that grow go after everything else: the scanner checks
    // them against the settings they depend on, which must be in place first.
    CCmdNameXmlInfo* cutLeft = nullptr;
    CCmdNameXmlInfo* gainMaximum = nullptr;
    CCmdNameXmlInfo* exposureMaximum = nullptr;
    CCmdNameXmlInfo* cutTop = nullptr;
    // The link settings go last of all: once they are taken, the link as it is ends.
    CCmdNameXmlInfo* interfaceSetting = nullptr;
    CCmdNameXmlInfo* keyboardPort = nullptr;
    CCmdNameXmlInfo* baudRate = nullptr;
    bool interfaceChanged = false;
};

wxString CommandText(const CCmdNameXmlInfo& definition)
{
    return definition.CommandName + definition.Value;
}

CCmdNameXmlInfo** GrowingSlot(SApplyPlan& plan, const wxString& name)
{
    if (name.CmpNoCase("CADTOP") == 0)
        return &plan.cutTop;
    if (name.CmpNoCase("CADLEF") == 0)
        return &plan.cutLeft;
    if (name.CmpNoCase("EXPGMN") == 0)
        return &plan.gainMaximum;
    if (name.CmpNoCase("EXPEMN") == 0)
        return &plan.exposureMaximum;
    return nullptr;
}

CCmdNameXmlInfo** LinkSlot(SApplyPlan& plan, const wxString& name)
{
    if (name.CmpNoCase("INTERF") == 0)
        return &plan.interfaceSetting;
    if (name.CmpNoCase("KBWPOR") == 0)
        return &plan.keyboardPort;
    if (name.CmpNoCase("232BAD") == 0)
        return &plan.baudRate;
    return nullptr;
}

void PlanChange(SApplyPlan& plan, CCmdNameXmlInfo& definition, bool& linkChanged)
{
    const wxString& name = definition.CommandName;
    if (CCmdNameXmlInfo** slot = LinkSlot(plan, name)) {
        *slot = &definition;
        linkChanged = true;
        if (slot == &plan.interfaceSetting)
            plan.interfaceChanged = true;
        return;
    }
    if (IsOneOf(name, {"DFMSET", "DFMADD"})) {
        plan.dataFormat = &definition;
        return;
    }
    CCmdNameXmlInfo** growing = GrowingSlot(plan, name);
    if (growing && ToDecimal(definition.Value) > ToDecimal(definition.DeviceValue)) {
        *growing = &definition;
        return;
    }
    if (definition.ControlType == "RADIO#")
        plan.singleSends.push_back(&definition);
    else
        plan.batch.push_back(CommandText(definition));
    plan.confirm.push_back(&definition);
}

// A data-format text is never sent whole: the scanner takes "DFMCAL" to clear its
// formats and then one command per format. Each format line reads
// "Data Format N: <format>"; lines of 25 characters or fewer hold no format.
void PlanDataFormat(SApplyPlan& plan)
{
    if (!plan.dataFormat)
        return;
    plan.batch.push_back("DFMCAL");
    static const size_t kLabelLength = wxStrlen(L"Data Format");
    const size_t kShortestFormatLine = 26;
    const wxString& text = plan.dataFormat->Value;
    size_t start = 0;
    while (start <= text.length()) {
        size_t end = start;
        while (end < text.length() && text[end] != ';' && text[end] != '\r' && text[end] != '\n')
            ++end;
        const wxString line = text.Mid(start, end - start);
        const int colon = line.Find(':');
        if (line.length() >= kShortestFormatLine && colon != wxNOT_FOUND && static_cast<size_t>(colon) >= kLabelLength)
            plan.batch.push_back(plan.dataFormat->CommandName + line.Mid(colon + 1));
        start = end + 1;
    }
}

void PlanLastCommands(SApplyPlan& plan)
{
    for (CCmdNameXmlInfo* definition : {plan.cutLeft, plan.gainMaximum, plan.exposureMaximum, plan.cutTop}) {
        if (!definition)
            continue;
        plan.batch.push_back(CommandText(*definition));
        plan.confirm.push_back(definition);
    }
    for (CCmdNameXmlInfo* definition : {plan.interfaceSetting, plan.keyboardPort, plan.baudRate}) {
        if (definition)
            plan.batch.push_back(CommandText(*definition));
    }
}

bool IsLeftOutOfFile(const wxString& text)
{
    // The name leads the text; a value that merely mentions a name is no such setting.
    for (const wxString& pending : CPendingChangeList::GetInstance().GetNames()) {
        if (!pending.empty() && text.StartsWith(pending))
            return true;
    }
    for (const wxString& linkName : CSaveCfg::GetFileHeldBackCommands()) {
        if (text.StartsWith(linkName))
            return true;
    }
    return false;
}

}  // namespace

const std::vector<wxString>& CSaveCfg::GetFileHeldBackCommands()
{
    static const std::vector<wxString> names = {"INTERF", "232BAD", "232PAR", "232STP", "232DAT", "KBWPOR"};
    return names;
}

bool CSaveCfg::SetMapValue(const wxString& name, const wxString& value)
{
    if (value.length() > kMaxValueLength) {
        VLOG(LOG_INFO, "value of %s refused: %u characters", U8(name), static_cast<unsigned>(value.length()));
        return false;
    }
    m_values[name] = value;
    return true;
}

void CSaveCfg::TakeReplyValues(const ReplyItem* items, size_t count)
{
    m_values.clear();
    for (size_t i = 0; items && i < count; ++i)
        SetMapValue(items[i].command, items[i].value);
}

bool CSaveCfg::SendInBatches(const std::vector<wxString>& texts, size_t* answered)
{
    if (texts.empty())
        return true;
    size_t rowWidth = kMinimumRowWidth;
    for (const wxString& text : texts)
        rowWidth = std::max(rowWidth, text.length() + 1);
    // SendCommandList reuses the exchange buffers but not the row table, so the rows
    // of every batch can stay in one table.
    PrepareRows(texts.size(), rowWidth);
    for (size_t i = 0; i < texts.size(); ++i)
        std::copy(texts[i].wc_str(), texts[i].wc_str() + texts[i].length(), m_rows.begin() + static_cast<std::ptrdiff_t>(i * rowWidth));

    const size_t threshold = m_maxPayload > kPayloadMargin ? m_maxPayload - kPayloadMargin : 0;
    size_t total = 0;
    size_t batchStart = 0;
    for (size_t i = 0; i < texts.size(); ++i) {
        const bool last = i + 1 == texts.size();
        total += texts[i].length();
        if (!last)
            total += texts[i + 1].length();
        if (!last && total < threshold)
            continue;
        const size_t count = i + 1 - batchStart;
        if (!last && count > 1)
            std::this_thread::sleep_for(kBatchPause);
        if (!SendCommandList(m_rows.data() + batchStart * rowWidth, count, rowWidth))
            return false;
        if (answered)
            *answered += count;
        AdvanceTaskProgress(count);
        batchStart = i + 1;
        total = 0;
    }
    return true;
}

bool CSaveCfg::ReadBackValues()
{
    CLineHold hold = CHBDataStreamMnt::GetInstance().Line().Take(LineUsers::kConnect);
    size_t count = 0;
    const ReplyItem* items = SendCommand(L"@*", L"", count);
    if (!items)
        return false;
    TakeReplyValues(items, count);
    if (m_hasDataFormat) {
        wxString format;
        if (QueryCommand("DFMQCU", "", format, "@"))
            SetMapValue(GetDataFormatCommand(), format);
    }
    return true;
}

bool CSaveCfg::ApplyChanges()
{
    m_errors.clear();
    m_linkChanged = false;
    CPageMntXmlInfo& pages = CPageMntXmlInfo::GetInstance();
    if (pages.GetPages().empty())
        return false;

    SApplyPlan plan;
    pages.ForEachCommand([&](CCmdNameXmlInfo& definition) {
        if (IsChanged(definition))
            PlanChange(plan, definition, m_linkChanged);
    });
    PlanDataFormat(plan);
    PlanLastCommands(plan);
    if (plan.batch.empty() && plan.singleSends.empty())
        return true;

    // The writes and their read-back are one operation on the line.
    CLineHold hold = CHBDataStreamMnt::GetInstance().Line().Take(LineUsers::kWrite);
    // One unit per setting written, and one for reading all values back.
    StartTaskProgress(plan.singleSends.size() + plan.batch.size() + 1);
    for (CCmdNameXmlInfo* definition : plan.singleSends) {
        wxString reply;
        if (!SendSetting(definition->CommandName, definition->Value, reply)) {
            if (std::find(m_errors.begin(), m_errors.end(), definition->CommandName) == m_errors.end())
                m_errors.push_back(definition->CommandName);
            return false;
        }
        AdvanceTaskProgress();
    }
    if (!SendInBatches(plan.batch) || !m_errors.empty())
        return false;

    // The scanner is about to change its link: nothing more can be read on this one.
    if (plan.interfaceChanged || HasSerialChange() || m_linkChanged)
        return true;

    for (CCmdNameXmlInfo* definition : plan.confirm)
        definition->LoadedValue = definition->DeviceValue = definition->Value;
    return ReadBackValues();
}

std::vector<wxString> CSaveCfg::FileCommandsToSend(const std::map<wxString, wxString>* deviceValues) const
{
    std::vector<wxString> kept;
    for (const wxString& text : m_sendList) {
        if (IsLeftOutOfFile(text))
            continue;
        if (deviceValues) {
            // A scanner that already holds the value is not written to: a fleet run
            // repeated over the same scanners then changes nothing the second time.
            const auto held = deviceValues->find(text.Left(CSaveCfg::kCommandNameLength));
            if (held != deviceValues->end() && held->second == text.Mid(CSaveCfg::kCommandNameLength))
                continue;
        }
        kept.push_back(text);
    }
    return kept;
}

bool CSaveCfg::SendFileCommands(const std::map<wxString, wxString>* deviceValues)
{
    const std::vector<wxString> kept = FileCommandsToSend(deviceValues);
    m_fileCommandsSent = kept.size();
    return SendInBatches(kept);
}

CSaveCfg::SSendOutcome CSaveCfg::SendPlanned(const std::vector<wxString>& texts)
{
    SSendOutcome outcome;
    m_errors.clear();
    size_t answered = 0;
    outcome.lineFailed = !SendInBatches(texts, &answered);
    // Only the answered batches say what the scanner did; a batch that failed on the
    // line names its whole texts as errors, which are no refusals.
    std::set<wxString> names;
    for (size_t i = 0; i < answered; ++i)
        names.insert(texts[i].Left(CSaveCfg::kCommandNameLength));
    for (const wxString& name : m_errors) {
        const bool fromAnswered = names.count(name) != 0;
        if (fromAnswered && std::find(outcome.refused.begin(), outcome.refused.end(), name) == outcome.refused.end())
            outcome.refused.push_back(name);
    }
    outcome.acknowledged = answered - std::min(answered, outcome.refused.size());
    outcome.notReached = texts.size() - answered;
    m_fileCommandsSent = outcome.acknowledged;
    return outcome;
}

bool CSaveCfg::HasLinkChange()
{
    m_linkChanged = false;
    CPageMntXmlInfo::GetInstance().ForEachCommand([&](const CCmdNameXmlInfo& definition) {
        if (!m_linkChanged && IsChanged(definition) && IsLinkSetting(definition.CommandName))
            m_linkChanged = true;
    });
    return m_linkChanged;
}

bool CSaveCfg::HasSerialChange() const
{
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    const DeviceEntry* device = link.GetCurrentDevice();
    if (!link.IsOpen() || !device || device->kind != DEVICE_KIND_SERIAL)
        return false;
    bool found = false;
    CPageMntXmlInfo::GetInstance().ForEachCommand([&](const CCmdNameXmlInfo& definition) {
        found = found || (IsChanged(definition) && IsOneOf(definition.CommandName, {"232BAD", "232PAR", "232STP", "232DAT",
                                                                                   "232FLW", "232AFL"}));
    });
    return found;
}

bool CSaveCfg::HasPendingChanges() const
{
    bool found = false;
    CPageMntXmlInfo::GetInstance().ForEachCommand(
        [&](const CCmdNameXmlInfo& definition) { found = found || IsChanged(definition); });
    return found;
}

bool CSaveCfg::CheckCutAreas(wxString& message)
{
    static const char* const kPairs[][2] = {
        {"CADLEF", "CADRIG"}, {"CADTOP", "CADBOT"}, {"CADDLF", "CADDRG"}, {"CADDTP", "CADDBT"}};
    CPageMntXmlInfo& pages = CPageMntXmlInfo::GetInstance();
    for (const auto& pair : kPairs) {
        const CCmdNameXmlInfo* first = pages.FindCommand(pair[0]);
        const CCmdNameXmlInfo* second = pages.FindCommand(pair[1]);
        if (!first || !second || ToDecimal(first->Value) < ToDecimal(second->Value))
            continue;
        message = wxString::Format("%s %s %s", second->GetFriendlyText(),
                                   GetUiText("ID_ERROR_SAVE_GREATER", "必须大于"), first->GetFriendlyText());
        m_errors.push_back(message);
        if (second->Control && GetControlFactory())
            GetControlFactory()->FocusControl(second->Control);
        return false;
    }
    return true;
}

void CSaveCfg::SpreadValues(const wxString& watchName, bool& watchChanged)
{
    watchChanged = false;
    CPageMntXmlInfo& pages = CPageMntXmlInfo::GetInstance();
    if (m_values.empty() || pages.GetPages().empty())
        return;
    bool watchSeen = false;
    pages.ForEachCommand([&](CCmdNameXmlInfo& definition) {
        const auto found = m_values.find(definition.CommandName);
        if (found == m_values.end())
            return;
        if (!watchSeen && !watchName.empty() && definition.CommandName == watchName) {
            watchSeen = true;
            watchChanged = definition.Value != found->second;
        }
        definition.DeviceValue = definition.Value = definition.LoadedValue = found->second;
        Refresh(definition, 0);
    });
}

void CSaveCfg::SpreadAllValues()
{
    bool unused = false;
    SpreadValues(wxString(), unused);
}

void CSaveCfg::ApplyLoadedValues()
{
    CPageMntXmlInfo& pages = CPageMntXmlInfo::GetInstance();
    if (m_values.empty() || pages.GetPages().empty())
        return;
    pages.ForEachCommand([&](CCmdNameXmlInfo& definition) {
        auto found = m_values.find(definition.CommandName);
        if (found == m_values.end()) {
            // The file may come from a firmware that knew this setting by another name.
            const wxString nameInFile = TranslateCommand(definition.CommandName);
            if (!nameInFile.empty())
                found = m_values.find(nameInFile);
        }
        if (found == m_values.end())
            return;
        const wxString value = found->second;
        if (definition.ControlType == "DATAFORMAT") {
            // The loaded text is its own reference: it is pending exactly when it
            // differs from what the scanner holds.
            definition.SetDataFormatValue(value, value);
        } else {
            const wxString label = definition.GetValueLabel(value);
            definition.SetValue(value, &label);
        }
        Refresh(definition, 2);
    });
}
