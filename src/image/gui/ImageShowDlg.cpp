#include "ImageShowDlg.h"

#include "ImageView.h"
#include "app/AppSettings.h"
#include "app/Log.h"
#include "app/UiText.h"
#include "UI/gui/HarbrekBaseDlg.h"

#include <wx/display.h>
#include <wx/sizer.h>

namespace {

// The part of the title bar that must lie on a screen for the user to grab the window.
constexpr int kGrabWidth = 40;
constexpr int kGrabHeight = 10;

bool IsOnSomeScreen(const wxPoint& topLeft)
{
    return wxDisplay::GetFromPoint(topLeft + wxPoint(kGrabWidth, kGrabHeight)) != wxNOT_FOUND;
}

}  // namespace

CImageShowDlg::CImageShowDlg(wxWindow* parent, const wxImage& picture)
    : wxDialog(parent, wxID_ANY, GetUiText("ID_IMAGE_SHOW", "图像"), wxDefaultPosition, wxSize(kDefaultWidth, kDefaultHeight),
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_pictureSize(picture.GetSize())
{
    OpenHelpOnF1(this);
    CloseOnEscape(this);  // the viewer has no button to answer Escape
    auto* view = new CImageView(this);
    view->SetImage(picture);
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(view, 1, wxEXPAND);
    SetSizer(top);
    Bind(wxEVT_SIZE, &CImageShowDlg::OnSize, this);
    PlaceAsKept();
}

CImageShowDlg::~CImageShowDlg()
{
    // Every way of closing the viewer ends here; the main window writes the settings
    // file when it goes.
    KeepPlace();
}

void CImageShowDlg::PlaceAsKept()
{
    const SAppSettings& kept = CAppSettings::GetInstance().Values();
    // A zero side means the viewer has never been closed here: nothing was kept, not
    // even its place, so it opens at its default size in the middle.
    const bool keptBefore = kept.imageWidth > 0 && kept.imageHeight > 0;
    if (keptBefore)
        SetSize(kept.imageWidth, kept.imageHeight);
    const wxPoint place(kept.imageX, kept.imageY);
    if (keptBefore && IsOnSomeScreen(place))
        Move(place);
    else
        Centre();
}

void CImageShowDlg::KeepPlace() const
{
    SAppSettings& kept = CAppSettings::GetInstance().Values();
    const wxRect place = GetRect();
    kept.imageX = place.x;
    kept.imageY = place.y;
    kept.imageWidth = place.width;
    kept.imageHeight = place.height;
}

void CImageShowDlg::OnSize(wxSizeEvent& event)
{
    const wxSize size = GetClientSize();
    VLOG(LOG_DETAIL, "Width=%i Height=%i", size.x, size.y);
    VLOG(LOG_DETAIL, "imageWidth=%i imageHeight=%i", m_pictureSize.x, m_pictureSize.y);
    event.Skip();
}
