// The commands the model being configured supports, with the model's defaults and
// limits: read from the model's command file offline, filled from the device online.
#pragma once

#include "DeviceCmdNameXmlInfo.h"

#include <wx/string.h>

#include <map>
#include <memory>

class CDeviceCmdNameMntXmlInfo {
public:
    static CDeviceCmdNameMntXmlInfo& GetInstance();
    static void ResetInstance();

    // Reads "Config/<fileName>". A file that cannot be used leaves the map as it was.
    bool Load(const wxString& fileName);
    void Clear() { m_commands.clear(); }
    CDeviceCmdNameXmlInfo* Find(const wxString& commandName) const;
    size_t GetCount() const { return m_commands.size(); }
    const std::map<wxString, std::unique_ptr<CDeviceCmdNameXmlInfo>>& GetCommands() const { return m_commands; }

    // What a connected device reports, one command at a time.
    void SetCurrentValue(const wxString& commandName, const wxString& value);
    void SetDefaultValue(const wxString& commandName, const wxString& value);
    // "a-b", "a-b_list", a list with "|", or a single value.
    void SetRange(const wxString& commandName, const wxString& rangeText);

    // Expands numeric ranges ("1-3|7" gives 1, 2, 3, 7) and translates item keys
    // ("ID_X:1" gives "<text of ID_X>:1"). Outputs the first and last item and the
    // display list; false, with the outputs untouched, when the list has no item.
    static bool ExpandList(const wxString& list, wxString& first, wxString& last, wxString& display);

    // The most items one list expands to: more than anyone picks from in a drop-down.
    // A longer list is cut and logged, so that a typing error or a broken scanner
    // reporting "0-99999999" costs no more than a list of this length.
    static const size_t kMaxListItems = 1000;

private:
    CDeviceCmdNameMntXmlInfo() = default;

    CDeviceCmdNameXmlInfo& FindOrCreate(const wxString& commandName);

    std::map<wxString, std::unique_ptr<CDeviceCmdNameXmlInfo>> m_commands;

    static std::unique_ptr<CDeviceCmdNameMntXmlInfo> s_instance;
};
