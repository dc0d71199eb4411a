// A picture on its own, scaled to fit its window. The window opens where the user
// left it last time (kept in the settings file) and records its place when it closes.
#pragma once

#include <wx/dialog.h>
#include <wx/image.h>

class CImageShowDlg : public wxDialog {
public:
    CImageShowDlg(wxWindow* parent, const wxImage& picture);
    ~CImageShowDlg() override;

    static constexpr int kDefaultWidth = 800;
    static constexpr int kDefaultHeight = 600;

private:
    void OnSize(wxSizeEvent& event);
    // The kept size (a zero side gives the default) and place (off every screen: centred).
    void PlaceAsKept();
    void KeepPlace() const;

    wxSize m_pictureSize;
};
