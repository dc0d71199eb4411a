#include "DateTimeControl.h"

#include "model/CmdNameXmlInfo.h"

#include <wx/datectrl.h>
#include <wx/dateevt.h>

#include <algorithm>

namespace {

bool ParseDateValue(const wxString& value, wxDateTime& date)
{
    wxString::const_iterator end;
    return date.ParseFormat(value, "%Y-%m-%d", wxDateTime::Today(), &end) && end == value.end() && date.IsValid();
}

wxString FormatDateValue(const wxDateTime& date)
{
    return wxString::Format("%04d-%02d-%02d", date.GetYear(), static_cast<int>(date.GetMonth()) + 1,
                            static_cast<int>(date.GetDay()));
}

}  // namespace

bool CDateTimeControl::Create()
{
    if (!ParentWnd || !Command)
        return false;
    CreateCaption();
    auto* picker = new wxDatePickerCtrl(ParentWnd, wxID_ANY, wxDefaultDateTime, wxDefaultPosition, wxDefaultSize,
                                        wxDP_DROPDOWN | wxDP_SHOWCENTURY);
    ApplyPageFont(picker);
    ValueWnd = picker;
    CreateHint(Command->GetDefaultText(true, 0));
    ShowDate(Command->Value);
    picker->Bind(wxEVT_DATE_CHANGED, &CDateTimeControl::OnDateChanged, this);
    // The row is 20 pixels, but a toolkit's date picker (text and drop-down button)
    // is taller; the row grows with it so that it does not cover the row below.
    Height = std::max<int32_t>(Height, picker->GetBestSize().GetHeight());
    Layout();
    return true;
}

wxDatePickerCtrl* CDateTimeControl::GetPicker() const
{
    return static_cast<wxDatePickerCtrl*>(ValueWnd.get());
}

void CDateTimeControl::ShowDate(const wxString& value)
{
    wxDateTime date;
    if (GetPicker() && ParseDateValue(value, date))
        GetPicker()->SetValue(date);
}

void CDateTimeControl::Refresh(int mode)
{
    // After a file was loaded the picker shows the loaded date, as the edits do.
    wxString value;
    if (mode == 2 && Command)
        ShowDate(Command->Value);
    else if (ValueForMode(mode, value))
        ShowDate(value);
}

void CDateTimeControl::OnDateChanged(wxDateEvent& event)
{
    event.Skip();
    if (!Command || !event.GetDate().IsValid())
        return;
    const wxString value = FormatDateValue(event.GetDate());
    if (value != Command->Value)
        Command->SetValue(value, &value);
}
