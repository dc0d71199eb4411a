#include "EdidHexKeyboardControl.h"

#include "app/UiText.h"
#include "model/ControlFactory.h"

#include <wx/textctrl.h>

#include <algorithm>

namespace {

// The row keeps the one-line height of an edit while the pad is closed: the pad is
// about 650 by 220 pixels, and shown on every visit it would push the rest of the
// page out of sight for a setting that is rarely changed.
constexpr int32_t kEditLineHeight = 30;
constexpr int32_t kPadGap = 6;

// What a pad key puts into the field: the four digits the pad hands over, the
// modifier byte held with the key and the key's USB usage code ("0028" is Enter,
// "022B" Shift+Tab). The scanner writes keys this way in its data-format rules as
// well, so a value made with the pad names the same keys there and here; a
// character's byte could not name Enter, the arrows or a function key, nor carry
// the modifiers.
constexpr long kDigitsPerKey = 4;

}  // namespace

CEdidHexKeyboardControl::~CEdidHexKeyboardControl()
{
    if (m_keyPad)
        m_keyPad->Destroy();
    if (m_padButton)
        m_padButton->Destroy();
}

void CEdidHexKeyboardControl::CreateExtras()
{
    CEdidHexControl::CreateExtras();
    m_padButton = new wxToggleButton(ParentWnd, wxID_ANY, GetUiText("ID_HEXEDIT_KEYPAD", "Key pad"), wxDefaultPosition,
                                     wxDefaultSize, wxBU_EXACTFIT);
    ApplyPageFont(m_padButton);
    m_padButton->SetToolTip(GetUiText("ID_HEXEDIT_KEYPAD_TIP",
                                      "Each key pressed on the pad adds four digits: the modifiers and the key code"));
    m_padButton->Bind(wxEVT_TOGGLEBUTTON, [this](wxCommandEvent& event) { ShowKeyPad(event.IsChecked()); });
}

void CEdidHexKeyboardControl::CreateKeyPad()
{
    // Made on first use: most visits to the page never open it.
    m_keyPad = new CKeyBoardCtrl(ParentWnd, [this](const SKeyRecord&, const wxString& code) { OnPadKey(code); });
    ApplyPageFont(m_keyPad);
    m_keyPad->LoadLayouts();
}

bool CEdidHexKeyboardControl::IsKeyPadShown() const
{
    return m_keyPad && m_padButton && m_padButton->GetValue();
}

void CEdidHexKeyboardControl::ShowKeyPad(bool show)
{
    if (!m_padButton)
        return;
    m_padButton->SetValue(show);
    if (show && !m_keyPad)
        CreateKeyPad();
    Height = IsKeyPadShown() ? FieldLineHeight() + m_keyPad->GetMinSize().GetHeight() + kPadGap : kEditLineHeight;
    if (m_keyPad)
        m_keyPad->Show(IsKeyPadShown() && m_rowShown);
    Layout();
    IControlFactory* factory = GetControlFactory();
    if (!factory)
        return;
    factory->LayoutCurrentPage();
    if (show) {
        // The opened pad comes into view, and its keys go after the keys already set.
        factory->FocusControl(this);
        if (GetEdit())
            KeepEntryInField(GetEdit()->GetLastPosition());
    }
}

int32_t CEdidHexKeyboardControl::FieldLineHeight() const
{
    // The toolkit may draw an entry taller than the row's line; the pad goes below it.
    const wxTextCtrl* edit = GetEdit();
    return std::max(kEditLineHeight, edit ? edit->GetSize().GetHeight() : 0);
}

void CEdidHexKeyboardControl::OnPadKey(const wxString& code)
{
    wxTextCtrl* edit = GetEdit();
    if (!edit)
        return;
    MoveCaretToKeyBoundary();
    // A refused key changes nothing, as a refused keystroke does.
    InsertHexDigits(code);
    KeepEntryInField(edit->GetInsertionPoint());
}

void CEdidHexKeyboardControl::MoveCaretToKeyBoundary()
{
    wxTextCtrl* edit = GetEdit();
    long from = 0;
    long to = 0;
    edit->GetSelection(&from, &to);
    if (from != to)
        return;  // a selection is replaced, as typing replaces it
    const long boundary = (from + kDigitsPerKey - 1) / kDigitsPerKey * kDigitsPerKey;
    edit->SetInsertionPoint(std::min(boundary, edit->GetLastPosition()));
}

void CEdidHexKeyboardControl::KeepEntryInField(long caret)
{
    // A pad key is part of the entry, not its end: the field keeps the focus and
    // commits when the user leaves it, as after typing. GTK selects the whole text
    // when an entry takes the focus, so the caret is put back, or the next key
    // would replace everything.
    wxTextCtrl* edit = GetEdit();
    if (!edit)
        return;
    edit->SetFocus();
    edit->SetInsertionPoint(caret);
}

void CEdidHexKeyboardControl::Layout()
{
    CEdidHexControl::Layout();
    wxTextCtrl* edit = GetEdit();
    if (!edit || !m_padButton)
        return;
    const SControlRect row = RowRect();
    const int32_t w = ColumnWidth(row);
    const int32_t lineBottom = row.top + FieldLineHeight();
    // Caption and hint stay on the field's line when the pad makes the row taller.
    PlaceWidget(CaptionStatic, row.left + 10, row.top, row.left - 10 + w, lineBottom);
    PlaceWidget(HintStatic, row.left + 2 * w + 10, row.top, row.right - 10, lineBottom);
    // The toggle takes the right end of the field's column.
    const wxRect field = edit->GetRect();
    const int32_t fieldRight = field.GetRight() + 1;
    const int32_t buttonLeft = std::max(field.x, fieldRight - m_padButton->GetBestSize().GetWidth());
    PlaceWidget(edit, field.x, field.y, std::max(field.x, buttonLeft - 4), field.GetBottom() + 1);
    PlaceWidget(m_padButton, buttonLeft, field.y, fieldRight, field.GetBottom() + 1);
    if (!IsKeyPadShown())
        return;
    // The pad starts under the field and moves left as far as it must to be seen whole.
    const wxSize pad = m_keyPad->GetMinSize();
    const int32_t padLeft = std::max(row.left + 10, std::min(row.left + w, row.right - 10 - pad.GetWidth()));
    PlaceWidget(m_keyPad, padLeft, lineBottom + kPadGap / 2, padLeft + pad.GetWidth(),
                lineBottom + kPadGap / 2 + pad.GetHeight());
}

bool CEdidHexKeyboardControl::Show(bool show)
{
    m_rowShown = show;
    if (m_padButton)
        m_padButton->Show(show);
    if (m_keyPad)
        m_keyPad->Show(show && IsKeyPadShown());
    return CEdidHexControl::Show(show);
}
