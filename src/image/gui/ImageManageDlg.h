// Edits one captured picture: the eight orientations (and the central area the
// capture panel handed over), contrast, cutting out a rectangle drawn on the view,
// going back to the unedited picture, and saving the result.
#pragma once

#include <wx/dialog.h>
#include <wx/image.h>

class CImageView;
class wxChoice;
class wxSlider;

class CImageManageDlg : public wxDialog {
public:
    // `central`: a rectangle in picture pixels offered as orientation 8; may be null.
    CImageManageDlg(wxWindow* parent, const wxImage& source, const wxRect* central, int format);

    // Orientation 0–7 of the source picture, or 8: the source with the central area
    // selected.
    void SetOrientation(int orientation);
    // Contrast of the oriented source at slider position 0–255.
    void SetContrast(int position);
    // The working picture becomes the part under `viewSelection`; nothing happens for
    // an empty rectangle; false (with "ID_IMAGE_ERROR_CUT") when it leaves the picture.
    bool Cut(const wxRect& viewSelection);
    // Back to the source picture.
    void RestoreSource();
    // Writes the working picture with the encoder of the path's extension and tells the user.
    bool SaveTo(const wxString& path);

    const wxImage& GetWorking() const { return m_working; }
    CImageView* GetView() const { return m_view; }

private:
    void CreateControls(bool withCentral);
    void ShowWorking();
    void OnOrientation(wxCommandEvent& event);
    void OnContrast(wxCommandEvent& event);
    void OnCut(wxCommandEvent& event);
    void OnDefault(wxCommandEvent& event);
    void OnSave(wxCommandEvent& event);

    const wxImage m_source;
    wxImage m_working;
    wxRect m_central;
    int m_format;
    wxChoice* m_cmbRotate = nullptr;
    wxSlider* m_sldContrast = nullptr;
    CImageView* m_view = nullptr;
};
