// A picture on its own, scaled to fit its window.
#pragma once

#include <wx/dialog.h>
#include <wx/image.h>

class CImageShowDlg : public wxDialog {
public:
    CImageShowDlg(wxWindow* parent, const wxImage& picture);

private:
    void OnSize(wxSizeEvent& event);

    wxSize m_pictureSize;
};
