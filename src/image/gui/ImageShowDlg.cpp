#include "ImageShowDlg.h"

#include "ImageView.h"
#include "Log.h"
#include "UiText.h"

#include <wx/sizer.h>

CImageShowDlg::CImageShowDlg(wxWindow* parent, const wxImage& picture)
    : wxDialog(parent, wxID_ANY, GetUiText("ID_IMAGE_SHOW", "图像"), wxDefaultPosition, wxSize(800, 600),
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_pictureSize(picture.GetSize())
{
    auto* view = new CImageView(this);
    view->SetImage(picture);
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(view, 1, wxEXPAND);
    SetSizer(top);
    Bind(wxEVT_SIZE, &CImageShowDlg::OnSize, this);
}

void CImageShowDlg::OnSize(wxSizeEvent& event)
{
    const wxSize size = GetClientSize();
    VLOG(LOG_DETAIL, "Width=%i Height=%i", size.x, size.y);
    VLOG(LOG_DETAIL, "imageWidth=%i imageHeight=%i", m_pictureSize.x, m_pictureSize.y);
    event.Skip();
}
