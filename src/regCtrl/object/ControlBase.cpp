#include "ControlBase.h"

#include "app/UiText.h"
#include "model/CmdNameXmlInfo.h"

#include <wx/anybutton.h>
#include <wx/checkbox.h>
#include <wx/textentry.h>
#include <wx/tooltip.h>

#include <algorithm>

CControlBase::~CControlBase()
{
    DestroyWidget(ValueWnd);
    DestroyWidget(CaptionStatic);
    DestroyWidget(HintStatic);
}

void CControlBase::DestroyWidget(wxWindow* window)
{
    if (window)
        window->Destroy();
}

bool CControlBase::Show(bool show)
{
    for (wxWindow* window : {static_cast<wxWindow*>(ValueWnd), static_cast<wxWindow*>(CaptionStatic),
                             static_cast<wxWindow*>(HintStatic)}) {
        if (window)
            window->Show(show);
    }
    return true;
}

SControlRect CControlBase::RowRect()
{
    // A group hands over the page's rectangle; the row is only as tall as Height.
    if (ParentWnd)
        Rect.right = Rect.left + ParentWnd->GetClientSize().GetWidth();
    Rect.bottom = Rect.top + Height;
    SControlRect row = Rect;
    row.top += OffsetY;
    row.bottom += OffsetY;
    return row;
}

int32_t CControlBase::ColumnWidth(const SControlRect& row)
{
    return (row.right - row.left - 40) / 3;
}

int32_t CControlBase::ValueWidgetHeight(const SControlRect& row) const
{
    if (!CaptionStatic)
        return row.bottom - row.top;
    const int32_t fromFont = ValueWnd->GetFont().IsOk() ? ValueWnd->GetCharHeight() + 4 : 24;
    // Some toolkit widgets (a GTK drop-down list) cut their text below their own height.
    return std::max<int32_t>(fromFont, ValueWnd->GetBestSize().GetHeight());
}

// A button alone on its row may reach into the hint's column when that is empty,
// rather than cut its caption.
int32_t CControlBase::ValueWidgetRight(const SControlRect& row) const
{
    const int32_t w = ColumnWidth(row), right = row.left + 2 * w;
    const bool hintEmpty = !HintStatic || HintStatic->GetLabel().empty();
    if (CaptionStatic || !hintEmpty || !dynamic_cast<wxAnyButton*>(ValueWnd.get()))
        return right;
    return std::min<int32_t>(row.right - 10, std::max(right, row.left + w + ValueWnd->GetBestSize().GetWidth()));
}

// A desktop theme whose buttons are taller than the model's row gets taller rows
// rather than buttons cut at the bottom.
void CControlBase::FitRowToWidgets()
{
    if (!ValueWnd)
        return;
    if (dynamic_cast<wxAnyButton*>(ValueWnd.get()) || ValueWnd->GetSizer())
        Height = std::max(Height, ValueWnd->GetBestSize().GetHeight());
    else if (CaptionStatic)
        Height = std::max(Height, ValueWidgetHeight(RowRect()));
}

void CControlBase::PlaceWidget(wxWindow* window, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    // A page not sized yet is narrower than the margins; widgets then get no room
    // rather than a negative size. A check box, or a panel laid out by its sizer, is
    // never squeezed below what it needs: GTK cannot draw check boxes smaller and
    // complains on standard error.
    if (!window)
        return;
    wxSize size(std::max(0, right - left), std::max(0, bottom - top));
    if (dynamic_cast<wxCheckBox*>(window) || window->GetSizer())
        size.IncTo(window->GetBestSize());
    window->SetSize(left, top, size.x, size.y);
}

void CControlBase::Layout()
{
    const SControlRect row = RowRect();
    const int32_t w = ColumnWidth(row);
    PlaceWidget(CaptionStatic, row.left + 10, row.top, row.left - 10 + w, row.bottom);
    if (ValueWnd)
        PlaceWidget(ValueWnd, row.left + w, row.top, ValueWidgetRight(row), row.top + ValueWidgetHeight(row));
    PlaceWidget(HintStatic, row.left + 2 * w + 10, row.top, row.right - 10, row.bottom);
    ShowCutLabelsInTooltips();
}

// Every row's caption and value tell on hover what the setting is: its caption,
// its default and range, and the command name last for those who know the names.
// A button's label that its column cuts short also shows its whole text there; a
// new width (the page resized) may cut it or give it room again.
void CControlBase::ShowCutLabelsInTooltips()
{
#if wxUSE_TOOLTIPS
    if (!Command)
        return;
    const wxString settingTip = SettingTooltip(*Command);
    auto* button = dynamic_cast<wxAnyButton*>(GetValueWnd());
    for (wxControl* label : {static_cast<wxControl*>(CaptionStatic.get()), static_cast<wxControl*>(button)}) {
        if (!label)
            continue;
        const wxString text = label->GetLabelText();
        const int needed = label == button ? label->GetBestSize().GetWidth() : label->GetTextExtent(text).GetWidth();
        const bool cut = needed > label->GetSize().GetWidth() && text != Command->GetFriendlyText();
        const wxString tip = cut ? text + "\n" + settingTip : settingTip;
        if (label->GetToolTipText() != tip)
            label->SetToolTip(tip);
    }
#endif
}

bool CControlBase::OnPageShow()
{
    return true;
}

bool CControlBase::OnPageHide()
{
    return true;
}

bool CControlBase::ValueForMode(int mode, wxString& value) const
{
    if (!Command)
        return false;
    switch (mode) {
    case 1:
        value = Command->Default;
        return true;
    case 0:
    case 2:
        value = Command->DeviceValue;
        return true;
    default:
        return false;
    }
}

void CControlBase::ShowTextInValueWnd(const wxString& text)
{
    if (!ValueWnd)
        return;
    // ChangeValue rather than SetValue: showing a value must not commit it again.
    // Only a text box shows a value: a button's label is its caption, which a value
    // (an action's "0", or nothing) must not replace.
    if (auto* entry = dynamic_cast<wxTextEntry*>(ValueWnd.get()))
        entry->ChangeValue(text);
}

void CControlBase::Refresh(int mode)
{
    wxString value;
    if (ValueForMode(mode, value))
        ShowTextInValueWnd(value);
}

void CControlBase::ApplyPageFont(wxWindow* window) const
{
    if (window && ParentWnd && ParentWnd->GetFont().IsOk())
        window->SetFont(ParentWnd->GetFont());
}

void CControlBase::CreateCaption()
{
    if (!ParentWnd || !Command || CaptionStatic)
        return;
    CaptionStatic = new wxStaticText(ParentWnd, wxID_ANY, Command->GetFriendlyText(), wxDefaultPosition,
                                     wxDefaultSize, wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END);
    ApplyPageFont(CaptionStatic);
}

void CControlBase::CreateHint(const wxString& text)
{
    if (!ParentWnd || HintStatic || text.empty())
        return;
    HintStatic = new wxStaticText(ParentWnd, wxID_ANY, text, wxDefaultPosition, wxDefaultSize,
                                  wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END);
    ApplyPageFont(HintStatic);
}

bool CControlBase::Create()
{
    // An unknown keyword still gets its row, with the widget's column left empty.
    if (!ParentWnd || !Command)
        return true;
    CreateCaption();
    CreateHint(Command->GetDefaultText(true, 0));
    Layout();
    return true;
}

wxString SettingTooltip(const CCmdNameXmlInfo& setting)
{
    wxString hint = setting.GetDefaultText(true, 0);
    hint.Trim();
    wxString tip = setting.GetFriendlyText();
    if (!hint.empty())
        tip += "\n" + hint;
    return tip + "\n" + setting.CommandName;
}

bool CControlBase::SetupTooltips()
{
#if wxUSE_TOOLTIPS
    if (!Command || !ParentWnd)
        return false;
    if (CaptionStatic)
        CaptionStatic->SetToolTip(SettingTooltip(*Command));
    if (wxWindow* valueWnd = GetValueWnd())
        valueWnd->SetToolTip(SettingTooltip(*Command));
    if (HintStatic && !Command->Default.empty())
        HintStatic->SetToolTip(wxString::Format("%s: %s", GetUiText("ID_DEFAULT", "Default"), Command->DefaultText));
    ShowCutLabelsInTooltips();
    return true;
#else
    return false;
#endif
}

wxWindow* CControlBase::GetValueWnd() const
{
    return ValueWnd.get();
}

void CControlBase::SetFocus()
{
    if (wxWindow* window = GetValueWnd())
        window->SetFocus();
}
