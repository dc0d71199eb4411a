#include "KeyBoardCtrl.h"

#include "Accessible.h"
#include "app/UiText.h"

#include <wx/dcbuffer.h>
#include <wx/settings.h>

#include <algorithm>

namespace {

// The buttons of the two layouts take the top of the pad; keys are drawn below them.
constexpr int32_t kButtonRowHeight = 34;

// USB keyboards number their modifier keys 0xE0-0xE7 and send them as the bits of
// one modifier byte in the same order.
bool IsModifierKey(uint32_t code)
{
    return code >= 0xE0 && code <= 0xE7;
}

uint8_t ModifierBit(uint32_t code)
{
    return static_cast<uint8_t>(1u << (code - 0xE0));
}

void InitLayout(SKeyPadLayout& layout, size_t capacity)
{
    layout.keys.assign(capacity, SKeyRecord());
    layout.count = capacity;
}

}  // namespace

CKeyBoardCtrl::CKeyBoardCtrl(wxWindow* parent, KeyHandler onKey)
    : wxPanel(parent, wxID_ANY), m_onKey(std::move(onKey))
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetAccessibleName(this, GetUiText("ID_HEXEDIT_KEYPAD", "Key pad"), EAccessibleRole::Panel);
    m_usButton = new wxButton(this, wxID_ANY, GetUiText("ID_KEYBOARD_US", "US Keyboard"));
    m_europeanButton = new wxButton(this, wxID_ANY, GetUiText("ID_KEYBOARD_EUROPEAN", "European Keyboard"));
    PlaceLayoutButtons();
    m_usButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ShowLayout(false); });
    m_europeanButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ShowLayout(true); });
    Bind(wxEVT_PAINT, &CKeyBoardCtrl::OnPaint, this);
    Bind(wxEVT_LEFT_UP, &CKeyBoardCtrl::OnLeftUp, this);
    InitLayout(m_usLayout, CKeyPadLayout::kUsCapacity);
    InitLayout(m_europeanLayout, CKeyPadLayout::kEuropeanCapacity);
}

void CKeyBoardCtrl::LoadLayouts()
{
    for (auto [layout, path] : {std::make_pair(&m_usLayout, CKeyPadLayout::UsLayoutPath()),
                                std::make_pair(&m_europeanLayout, CKeyPadLayout::EuropeanLayoutPath())}) {
        // A layout that cannot be read keeps its empty keys, which draw nothing.
        CKeyPadLayout::LoadLayout(path, layout->keys, layout->count, kButtonRowHeight, layout->width, layout->height);
    }
    ShowLayout(false);
}

void CKeyBoardCtrl::ShowLayout(bool european)
{
    m_european = european;
    m_modifiers = 0;
    FitToLayout();
    Refresh();
}

// Sized for the font they have now: the window they are put in may give them
// another after they were made.
void CKeyBoardCtrl::PlaceLayoutButtons()
{
    m_usButton->SetSize(wxRect(wxPoint(2, 2), m_usButton->GetBestSize()));
    m_europeanButton->SetSize(wxRect(wxPoint(m_usButton->GetRect().GetRight() + 8, 2), m_europeanButton->GetBestSize()));
}

void CKeyBoardCtrl::FitToLayout()
{
    PlaceLayoutButtons();
    const SKeyPadLayout& layout = CurrentLayout();
    const wxSize buttons(m_europeanButton->GetRect().GetRight() + 4, kButtonRowHeight);
    SetMinSize(wxSize(std::max(layout.width, buttons.x), std::max(layout.height, buttons.y)));
    if (GetParent())
        GetParent()->Layout();
}

CSpecialChars CKeyBoardCtrl::KeyNames() const
{
    CSpecialChars names;
    const SKeyPadLayout& layout = CurrentLayout();
    for (size_t i = 0; i < layout.count; ++i) {
        const SKeyRecord& key = layout.keys[i];
        if (!key.bottomText.empty())
            names.Add(std::string("[") + key.bottomText.utf8_string() + "]", static_cast<uint8_t>(key.keyValue));
    }
    return names;
}

void CKeyBoardCtrl::PressKey(size_t index)
{
    const SKeyPadLayout& layout = CurrentLayout();
    if (index >= layout.count)
        return;
    const SKeyRecord& key = layout.keys[index];
    if (IsModifierKey(key.keyValue)) {
        m_modifiers ^= ModifierBit(key.keyValue);
        Refresh();
        return;
    }
    const wxString text = wxString::Format("%02X%s", m_modifiers, key.label);
    m_modifiers = 0;
    Refresh();
    if (m_onKey)
        m_onKey(key, text);
}

void CKeyBoardCtrl::OnLeftUp(wxMouseEvent& event)
{
    const SKeyPadLayout& layout = CurrentLayout();
    const wxPoint at = event.GetPosition();
    for (size_t i = 0; i < layout.count; ++i) {
        const SKeyRecord& key = layout.keys[i];
        if (at.x >= key.left && at.x < key.right && at.y >= key.top && at.y < key.bottom) {
            PressKey(i);
            return;
        }
    }
}

// Long legends ("ScrLk", "PgDn") in narrow keys are set smaller rather than cut.
wxFont CKeyBoardCtrl::FontFittingKey(wxDC& dc, const wxFont& font, const wxString& legend, int width)
{
    constexpr double kSmallestPoints = 6.0;
    wxFont fitted = font;
    dc.SetFont(fitted);
    while (dc.GetTextExtent(legend).GetWidth() > width && fitted.GetFractionalPointSize() > kSmallestPoints) {
        fitted.SetFractionalPointSize(std::max(kSmallestPoints, fitted.GetFractionalPointSize() - 0.5));
        dc.SetFont(fitted);
    }
    return fitted;
}

void CKeyBoardCtrl::OnPaint(wxPaintEvent&)
{
    // GTK gives the buttons the window's font when it first draws them.
    if (m_usButton->GetSize() != m_usButton->GetBestSize() || m_europeanButton->GetSize() != m_europeanButton->GetBestSize())
        CallAfter([this] { FitToLayout(); });
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    dc.Clear();
    const wxFont keyFont = GetFont().Smaller();
    const SKeyPadLayout& layout = CurrentLayout();
    for (size_t i = 0; i < layout.count; ++i) {
        const SKeyRecord& key = layout.keys[i];
        dc.SetFont(FontFittingKey(dc, keyFont, key.bottomText, key.right - key.left - 4));
        const bool latched = IsModifierKey(key.keyValue) && (m_modifiers & ModifierBit(key.keyValue)) != 0;
        // Each key's face with its own text colour, whatever the theme's.
        dc.SetBrush(wxBrush(latched ? wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT) : *wxWHITE));
        dc.SetTextForeground(latched ? wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT) : *wxBLACK);
        dc.SetPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW));
        const wxRect area(key.left, key.top, key.right - key.left, key.bottom - key.top);
        dc.DrawRoundedRectangle(area, 3);
        dc.DrawLabel(key.bottomText, area, wxALIGN_CENTER);
    }
}
