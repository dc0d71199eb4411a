// What one scanner model says about one of its setting commands: its default, the
// device's current value and the values it allows.
#pragma once

#include <wx/string.h>

#include <cstdint>

class wxXmlNode;

class CDeviceCmdNameXmlInfo {
public:
    CDeviceCmdNameXmlInfo() = default;
    virtual ~CDeviceCmdNameXmlInfo() = default;

    // Fills the record from a `Command` element of a model command file; a repeated
    // child overwrites the earlier one.
    void ReadFrom(const wxXmlNode& element);

    wxString CommandName;
    wxString ControlType;
    wxString FriendlyText;
    wxString langID;
    wxString SettingsList;
    wxString SettingsListLangId;
    wxString Default;
    wxString CurrentValue;
    wxString CmdGetLen;
    wxString Maximum;
    wxString Minimum;
    uint8_t RangeWithList = 0;
};
