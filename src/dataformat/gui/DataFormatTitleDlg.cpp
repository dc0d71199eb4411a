#include "DataFormatTitleDlg.h"

#include "app/UiText.h"

#include <wx/sizer.h>
#include <wx/stattext.h>

CDataFormatTitleDlg::CDataFormatTitleDlg(wxWindow* parent, const int (&columns)[4]) : wxPanel(parent, wxID_ANY)
{
    const wxString captions[] = {
        GetUiText("ID_DATAFORMAT_DATA_FORMAT_TYPE", "类型"),
        GetUiText("ID_DATAFORMAT_DATA_FORMAT_SYMBOLOGY", "条码类型"),
        GetUiText("ID_DATAFORMAT_DATA_FORMAT_LENGTH", "长度"),
        GetUiText("ID_DATAFORMAT_DATA_FORMAT_CMD_SEQ", "指令序列"),
    };
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    for (int i = 0; i < 4; ++i) {
        // Room above the line for a taller font (the Chinese one) than the one the
        // caption is measured in now, before it is drawn.
        auto* caption = new wxStaticText(this, wxID_ANY, captions[i]);
        caption->SetMinSize(wxSize(columns[i], caption->GetCharHeight() * 3 / 2));
        row->Add(caption, 0, wxRIGHT, 4);
    }
    // Not fitted now: the captions get the page's font after they are made.
    SetSizer(row);
}
