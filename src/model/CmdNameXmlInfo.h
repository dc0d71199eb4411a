// One setting as a settings page shows it: how it is presented (from the page file)
// joined with what the model says about it (from the command map), and its live
// state while the configuration window is open.
#pragma once

#include "ControlFactory.h"

#include <wx/string.h>

#include <cstdint>

class CDeviceCmdNameXmlInfo;
class CPageXmlInfo;
class wxXmlNode;

class CCmdNameXmlInfo {
public:
    CCmdNameXmlInfo() = default;
    virtual ~CCmdNameXmlInfo();
    CCmdNameXmlInfo(const CCmdNameXmlInfo&) = delete;
    CCmdNameXmlInfo& operator=(const CCmdNameXmlInfo&) = delete;

    virtual void MoveControl(int32_t offsetY);

    // Reads the children of a `Command` element, starting at `firstChild`, and
    // resolves the setting against the model. False: the model does not support it
    // (or, online, its values could not be read) and the definition is to be dropped.
    bool ParseCommand(const wxXmlNode* firstChild);

    wxString GetFriendlyText() const;
    wxString GetValueLabel(const wxString& value) const;
    // Written to configuration files.
    bool IsSavedControl() const;
    // Applied to the device, read back and compared.
    bool IsTransferredControl() const;
    // The hint beside the control: default, and with `withRange` the range and length.
    wxString GetDefaultText(bool withRange, int32_t length) const;

    // The user or the engine chose `value`; `displayText` null shows the value itself.
    void SetValue(const wxString& value, const wxString* displayText = nullptr);
    void SetDataFormatValue(const wxString& value, const wxString& referenceValue,
                            const wxString* displayText = nullptr);
    void SetDefault(const wxString& value);
    // 0 when the setting cannot be reset, 1 otherwise.
    int32_t ResetToDefault();

    void CreateControl(void* parentWindow, CGroupNameXmlInfo* group, const SControlRect& rect);
    void DestroyControl();

    // What an empty data-format setting stands for: four empty formats.
    static const wchar_t* const kEmptyDataFormat;

    wxString CommandName;
    wxString ControlType;
    wxString langID;
    wxString SettingsList;
    wxString SettingsListLangId;
    wxString DeviceSettingsList;
    wxString UnSupportSettingsList;
    wxString Default;
    wxString Value;
    wxString DeviceValue;
    wxString LoadedValue;
    wxString ValueText;
    uint8_t Supported = 1;
    int32_t Minimum = 0;
    int32_t Maximum = 0;
    wxString HexMinimum;
    wxString HexMaximum;
    wxString CmdGetLen;
    CControlBase* Control = nullptr;  // owned; made and destroyed through the control factory
    uint8_t RangeWithList = 0;
    wxString DefaultText;
    wxString FriendlyText;
    CPageXmlInfo* OwnerPage = nullptr;

private:
    void ReadElements(const wxXmlNode* firstChild);
    void AdjustDeviceRecord(CDeviceCmdNameXmlInfo& record) const;
    void TakeLimits(CDeviceCmdNameXmlInfo& record);
    void ApplyKeywordDefaults(CDeviceCmdNameXmlInfo& record, bool online) const;
    bool QueryRangeEditValues(CDeviceCmdNameXmlInfo& record);
    void ReportChange(bool changed);
};
