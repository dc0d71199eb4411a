#include "AsciiPadCtrl.h"

#include "dataformat/SpecialChars.h"

#include <wx/button.h>
#include <wx/sizer.h>

namespace {

constexpr int kColumns = 16;
constexpr unsigned kPadBytes = 0x80;

}  // namespace

CAsciiPadCtrl::CAsciiPadCtrl(wxWindow* parent, std::function<void(const wxString&)> onText)
    : wxPanel(parent, wxID_ANY), m_onText(std::move(onText))
{
    auto* grid = new wxGridSizer(kColumns, 1, 1);
    for (unsigned byte = 0; byte < kPadBytes; ++byte) {
        const wxString text = TextOf(byte);
        // A button label takes a single "&" as a mnemonic mark.
        const wxString label = text == "&" ? wxString("&&") : text;
        // As wide as the longest name needs in the font the dialog gives it later.
        auto* button = new wxButton(this, wxID_ANY, label, wxDefaultPosition, wxSize(-1, 26), wxBU_EXACTFIT);
        button->SetFont(button->GetFont().Smaller());
        button->Bind(wxEVT_BUTTON, [this, text](wxCommandEvent&) {
            if (m_onText)
                m_onText(text);
        });
        grid->Add(button, 0, wxEXPAND);
    }
    SetSizer(grid);
}

wxString CAsciiPadCtrl::TextOf(unsigned byte)
{
    const std::string name = CSpecialChars::AsciiPad().NameOf(static_cast<uint8_t>(byte));
    if (!name.empty())
        return wxString::FromAscii(name.c_str());
    return wxString(wxUniChar(byte));
}
