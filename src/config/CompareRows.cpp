#include "CompareRows.h"

#include "app/UiText.h"
#include "app/XmlFile.h"
#include "hbds/hbds.h"
#include "model/CmdNameXmlInfo.h"
#include "model/ControlFactory.h"
#include "model/PageMntXmlInfo.h"

#include <wx/xml/xml.h>

namespace {

// The dialog's log lines name it as their source.
const char* const kCompareLogSource = "CompareXmlDlg.cpp";

bool IsListed(bool equal, bool showUnmatched, bool showMatched)
{
    return equal ? showMatched : showUnmatched;
}

SCompareRow MakeRow(CCmdNameXmlInfo& setting, const wxString& referenceText, bool equal)
{
    return SCompareRow{&setting, referenceText, ComparedValueText(setting, setting.Value), equal};
}

}  // namespace

wxString ComparedValueText(const CCmdNameXmlInfo& setting, const wxString& value)
{
    return value.empty() ? wxString("NULL") : setting.GetValueLabel(value);
}

std::vector<SCompareRow> CompareWithDefaults(bool showUnmatched, bool showMatched)
{
    std::vector<SCompareRow> rows;
    CPageMntXmlInfo::GetInstance().ForEachCommand([&](CCmdNameXmlInfo& setting) {
        if (!setting.IsTransferredControl())
            return;
        const bool equal = setting.Value == setting.Default;
        if (IsListed(equal, showUnmatched, showMatched))
            rows.push_back(MakeRow(setting, ComparedValueText(setting, setting.Default), equal));
    });
    return rows;
}

std::vector<SCompareRow> CompareWithFile(const CompareFileValues& file, bool showUnmatched, bool showMatched)
{
    std::vector<SCompareRow> rows;
    std::vector<SCompareRow> absent;
    CPageMntXmlInfo::GetInstance().ForEachCommand([&](CCmdNameXmlInfo& setting) {
        if (!setting.IsTransferredControl())
            return;
        const auto found = file.find(setting.CommandName);
        if (found == file.end()) {
            if (showUnmatched) {
                absent.push_back(MakeRow(setting, GetUiText("ID_CMP_NOT_IN_FILE", "文件中没有"), false));
                absent.back().absent = true;
            }
            return;
        }
        const bool equal = found->second == setting.Value;
        if (IsListed(equal, showUnmatched, showMatched))
            rows.push_back(MakeRow(setting, ComparedValueText(setting, found->second), equal));
    });
    rows.insert(rows.end(), absent.begin(), absent.end());
    return rows;
}

bool ReadCompareFile(const wxString& path, CompareFileValues& values)
{
    values.clear();
    wxXmlDocument document;
    if (!LoadXmlFile(document, path, {"Vastrel", "Vostrel"}, kCompareLogSource))
        return false;
    const wxXmlNode* first = document.GetRoot()->GetChildren();
    if (!first) {
        logout_line(2, kCompareLogSource, __LINE__, "%s %s", "GetChildren", "ERROR");
        return false;
    }
    for (const wxXmlNode* node = first; node; node = node->GetNext()) {
        if (node->GetType() != wxXML_ELEMENT_NODE || node->GetName() != "Command")
            continue;
        const wxString name = node->GetAttribute("CommandName");
        // A repeated name keeps its first value, as opening a file does.
        if (!name.empty())
            values.emplace(name, node->GetAttribute("Value"));
    }
    return true;
}

int CloneDefaults(const std::vector<CCmdNameXmlInfo*>& ticked)
{
    int changed = 0;
    for (CCmdNameXmlInfo* setting : ticked) {
        if (setting->Value != setting->Default)
            changed += setting->ResetToDefault();
    }
    return changed;
}

int CloneFromFile(const std::vector<CCmdNameXmlInfo*>& ticked, const CompareFileValues& file)
{
    int changed = 0;
    for (CCmdNameXmlInfo* setting : ticked) {
        const auto found = file.find(setting->CommandName);
        if (found == file.end() || found->second == setting->Value)
            continue;
        const wxString label = setting->GetValueLabel(found->second);
        setting->SetValue(found->second, &label);
        // Shown as a value taken from a file is shown.
        if (setting->Control && GetControlFactory())
            GetControlFactory()->RefreshControl(setting->Control, 2);
        ++changed;
    }
    return changed;
}
