#include "CmdNameXmlInfo.h"

#include "CmdGetRangeLenMnt.h"
#include "DeviceCmdNameMntXmlInfo.h"
#include "SettingsEngine.h"
#include "app/UiText.h"
#include "app/XmlFile.h"

#include <wx/datetime.h>
#include <wx/xml/xml.h>

#include <algorithm>
#include <cwchar>

const wchar_t* const CCmdNameXmlInfo::kEmptyDataFormat =
    L"Data Format 0:;\r\nData Format 1:;\r\nData Format 2:;\r\nData Format 3:;\r\n";

namespace {

bool IsOneOf(const wxString& keyword, std::initializer_list<const char*> keywords)
{
    return std::any_of(keywords.begin(), keywords.end(), [&keyword](const char* k) { return keyword == k; });
}

// Keywords of controls that act (buttons, embedded tools) rather than hold a value.
bool IsActionKeyword(const wxString& keyword)
{
    return IsOneOf(keyword, {"DEFCMD", "BUTTON", "BUTTONGETTEXT", "MNUCMD", "GROUPNAME", "COMMANDCENTER",
                             "CREATEBARCODE", "COMPAREDEFAULT", "COMPAREXML", "IMAGE", "BATCHDATADLG"});
}

// A whole decimal number with an optional sign, as a device answers a value query.
bool IsNumber(const wxString& text)
{
    size_t start = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    if (start >= text.length())
        return false;
    for (size_t i = start; i < text.length(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
    }
    return true;
}

int32_t DecimalOrZero(const wxString& text)
{
    return static_cast<int32_t>(std::wcstol(text.wc_str(), nullptr, 10));
}

// Hex limits are whole bytes: trailing blanks go, an odd digit count gets a leading 0.
wxString PadHexLimit(wxString text)
{
    text.Trim(true);
    if (text.length() % 2 == 1)
        text = "0" + text;
    return text;
}

wxString Today()
{
    const wxDateTime now = wxDateTime::Now();
    return wxString::Format("%04d-%02d-%02d", now.GetYear(), static_cast<int>(now.GetMonth()) + 1, now.GetDay());
}

}  // namespace

CCmdNameXmlInfo::~CCmdNameXmlInfo()
{
    if (ISettingsEngine* engine = GetSettingsEngine())
        engine->Forget(this);
    DestroyControl();
}

void CCmdNameXmlInfo::ReadElements(const wxXmlNode* firstChild)
{
    for (const wxXmlNode* child = firstChild; child; child = child->GetNext()) {
        if (child->GetType() != wxXML_ELEMENT_NODE)
            continue;
        const wxString& name = child->GetName();
        wxString* field = name == "CommandName"             ? &CommandName
                          : name == "FriendlyText"          ? &FriendlyText
                          : name == "ControlType"           ? &ControlType
                          : name == "SettingsList"          ? &SettingsList
                          : name == "langID"                ? &langID
                          : name == "CmdGetLen"             ? &CmdGetLen
                          : name == "UnSupportSettingsList" ? &UnSupportSettingsList
                                                            : nullptr;
        if (!field)
            continue;
        *field = GetElementValue(child);
        if (field == &SettingsList)
            SettingsListLangId = child->GetAttribute("langID");
    }
}

bool CCmdNameXmlInfo::ParseCommand(const wxXmlNode* firstChild)
{
    ISettingsEngine* engine = GetSettingsEngine();
    const bool online = engine && engine->IsOnline();
    if (online && engine->HasFailedQueries())
        return false;

    ReadElements(firstChild);
    CDeviceCmdNameXmlInfo* record = CDeviceCmdNameMntXmlInfo::GetInstance().Find(CommandName);
    if (!record) {
        Supported = 0;
        return false;
    }
    Supported = 1;
    AdjustDeviceRecord(*record);
    TakeLimits(*record);
    RangeWithList = record->RangeWithList;
    if (!online)
        CmdGetLen = record->CmdGetLen;
    DeviceSettingsList = record->SettingsList;
    ApplyKeywordDefaults(*record, online);

    Default = record->Default;
    Value = DeviceValue = LoadedValue = record->CurrentValue;

    if (online && !CmdGetLen.empty())
        CCmdGetRangeLenMnt::GetInstance().GetLengthText(CmdGetLen);  // asks now, answers are cached
    if (online && ControlType == "RANGEEDIT" && !QueryRangeEditValues(*record))
        return false;

    if (!SettingsListLangId.empty()) {
        const wxString text = GetUiText(SettingsListLangId, SettingsList);
        if (!text.empty())
            SettingsList = text;
    }
    DefaultText = GetValueLabel(Default);
    return true;
}

// List controls see the model's list expanded; the record keeps the expanded form so
// that every later reader agrees with them.
void CCmdNameXmlInfo::AdjustDeviceRecord(CDeviceCmdNameXmlInfo& record) const
{
    wxString expanded;
    if (IsOneOf(ControlType, {"COMBOBOX", "EDITCOMBOBOX", "RADIOGROUP", "BUTTONGROUP"})) {
        if (CDeviceCmdNameMntXmlInfo::ExpandList(record.SettingsList, record.Minimum, record.Maximum, expanded))
            record.SettingsList = expanded;
    } else if (ControlType == "COMBOBOXCUSTOM") {
        wxString first, last;
        if (CDeviceCmdNameMntXmlInfo::ExpandList(record.SettingsList, first, last, expanded))
            record.SettingsList = expanded;
    }
}

void CCmdNameXmlInfo::TakeLimits(CDeviceCmdNameXmlInfo& record)
{
    if (ControlType == "HEXEDIT") {
        record.Minimum = HexMinimum = PadHexLimit(record.Minimum);
        record.Maximum = HexMaximum = PadHexLimit(record.Maximum);
        return;
    }
    Minimum = DecimalOrZero(record.Minimum);
    Maximum = DecimalOrZero(record.Maximum);
}

void CCmdNameXmlInfo::ApplyKeywordDefaults(CDeviceCmdNameXmlInfo& record, bool online) const
{
    if ((ControlType == "LICENSECODE" || ControlType == "DATAFORMAT") && !online) {
        record.Default.clear();
        record.CurrentValue.clear();
    } else if (ControlType == "DATATIME") {
        record.Default = record.CurrentValue = Today();
    }
}

// A range edit needs numbers; when the model file or the whole-list read gave none,
// the device is asked for the current value and the default of this one command.
bool CCmdNameXmlInfo::QueryRangeEditValues(CDeviceCmdNameXmlInfo& record)
{
    ISettingsEngine* engine = GetSettingsEngine();
    auto ask = [engine, &record](const wchar_t* suffix, wxString& answer) {
        if (engine && engine->Query(record.CommandName, suffix, answer, "@") && IsNumber(answer))
            return true;
        if (engine)
            engine->AddFailedQuery(record.CommandName);
        return false;
    };
    wxString answer;
    if (!IsNumber(record.CurrentValue)) {
        if (!ask(L"*", answer))
            return false;
        // A value just read from the scanner is also the reference of the change test.
        record.CurrentValue = Value = DeviceValue = LoadedValue = answer;
    }
    if (!IsNumber(record.Default)) {
        if (!ask(L"&", answer))
            return false;
        record.Default = answer;
        SetDefault(answer);
    }
    return true;
}

wxString CCmdNameXmlInfo::GetFriendlyText() const
{
    return langID.empty() ? FriendlyText : GetUiText(langID, FriendlyText);
}

wxString CCmdNameXmlInfo::GetValueLabel(const wxString& value) const
{
    if (IsOneOf(ControlType, {"RADIO", "RADIO#", "RADIOGROUP", "COMBOBOX", "EDITCOMBOBOX"})) {
        // Whole items only: the value 3 must not be read out of "13:...".
        const wxString key = value + ":";
        size_t start = key.length();
        if (!SettingsList.StartsWith(key)) {
            const size_t found = SettingsList.find("|" + key);
            if (found == wxString::npos)
                return value;
            start += found + 1;
        }
        const size_t bar = SettingsList.find('|', start);
        return SettingsList.substr(start, bar == wxString::npos ? wxString::npos : bar - start);
    }
    if (ControlType == "COMBOBOXCUSTOM") {
        wxString list = SettingsList;
        list.Replace(" |", "|");
        const size_t found = list.find(":" + value + "|");
        if (found == wxString::npos)
            return value;
        const size_t bar = found == 0 ? wxString::npos : list.rfind('|', found - 1);
        const size_t start = bar == wxString::npos ? 0 : bar + 1;
        return list.substr(start, found - start);
    }
    return value;
}

bool CCmdNameXmlInfo::IsSavedControl() const
{
    return !IsActionKeyword(ControlType);
}

bool CCmdNameXmlInfo::IsTransferredControl() const
{
    return !IsActionKeyword(ControlType) &&
           !IsOneOf(ControlType, {"CODEID", "FILESELECT", "MULFILESELECT", "MULVALUE", "BUTTONGROUP"});
}

wxString CCmdNameXmlInfo::GetDefaultText(bool withRange, int32_t length) const
{
    // The default as the control shows it, with the raw value where the two differ:
    // "Default: 9600 (3)".
    wxString shownDefault = Default;
    if (Default.empty())
        shownDefault = GetUiText("ID_DEFAULTNAK", "未设置");
    else if (!DefaultText.empty() && DefaultText != Default)
        shownDefault = wxString::Format("%s (%s)", DefaultText, Default);
    wxString text = wxString::Format("%s: %s ", GetUiText("ID_DEFAULT", "Default"), shownDefault);
    if (!withRange)
        return text;
    if (ControlType != "HEXEDIT") {
        if (Maximum > Minimum)
            text += wxString::Format(" %s: %d-%d", GetUiText("ID_RANGE", "Range"), Minimum, Maximum);
        return text;
    }
    if (HexMinimum != HexMaximum)
        text += wxString::Format(" %s: %s-%s", GetUiText("ID_RANGE", "范围"), HexMinimum, HexMaximum);
    if (length != 0)
        text += wxString::Format(" %s: %d", GetUiText("ID_RANGE_LEN", "字符长度"), length);
    return text;
}

void CCmdNameXmlInfo::ReportChange(bool changed)
{
    if (ISettingsEngine* engine = GetSettingsEngine())
        engine->ReportChange(this, changed);
}

void CCmdNameXmlInfo::SetValue(const wxString& value, const wxString* displayText)
{
    ValueText = displayText ? *displayText : value;
    Value = value;
    ReportChange(Value != DeviceValue);
}

void CCmdNameXmlInfo::SetDataFormatValue(const wxString& value, const wxString& referenceValue,
                                         const wxString* displayText)
{
    ValueText = displayText ? *displayText : value;
    Value = value;
    wxString deviceValue;
    ISettingsEngine* engine = GetSettingsEngine();
    if (engine && engine->IsOnline()) {
        if (DeviceValue.empty())
            DeviceValue = kEmptyDataFormat;
        if (Value.empty())
            Value = kEmptyDataFormat;
        deviceValue = DeviceValue;
    } else {
        deviceValue = DeviceValue.empty() ? wxString(kEmptyDataFormat) : DeviceValue;
        if (Value.empty() && DeviceValue.empty())
            Value = kEmptyDataFormat;
    }
    ReportChange(Value != deviceValue && deviceValue != referenceValue);
}

void CCmdNameXmlInfo::SetDefault(const wxString& value)
{
    Default = DeviceValue = Value = value;
}

int32_t CCmdNameXmlInfo::ResetToDefault()
{
    ISettingsEngine* engine = GetSettingsEngine();
    if (Value != DeviceValue && engine)
        engine->ReportChange(this, false);
    if (ControlType == "DEFCMD" || ControlType == "MNUCMD")
        return 0;

    bool changed = false;
    if (!Default.empty()) {
        if (Default != DeviceValue) {
            ValueText = DefaultText;
            changed = true;
        }
        Value = Default;
        if (Control && GetControlFactory())
            GetControlFactory()->RefreshControl(Control, 1);
    } else {
        // Only the custom prefix and suffix may be reset to nothing.
        if (CommandName != "CPRSET" && CommandName != "CSUSET")
            return 0;
        if (!DeviceValue.empty()) {
            ValueText.clear();
            changed = true;
        }
        Value.clear();
    }
    if (changed && engine)
        engine->ReportChange(this, true);
    return 1;
}

void CCmdNameXmlInfo::CreateControl(void* parentWindow, CGroupNameXmlInfo* group, const SControlRect& rect)
{
    IControlFactory* factory = GetControlFactory();
    if (Control || !factory)
        return;
    Control = factory->CreateControl(ControlType, this, group, parentWindow, rect);
}

void CCmdNameXmlInfo::DestroyControl()
{
    if (!Control)
        return;
    if (IControlFactory* factory = GetControlFactory())
        factory->DestroyControl(Control);
    Control = nullptr;
}

void CCmdNameXmlInfo::MoveControl(int32_t offsetY)
{
    if (Control && GetControlFactory())
        GetControlFactory()->MoveControl(Control, offsetY);
}
