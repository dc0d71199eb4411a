#include "ImageView.h"

#include "ImageEdit.h"
#include "app/UiText.h"
#include "image/DecodeArea.h"
#include "UI/gui/Accessible.h"

#include <wx/dcbuffer.h>
#include <wx/eventfilter.h>

#include <algorithm>

namespace {

// Arrow keys reach whatever child has the focus; this filter hands them to the
// registered view before the window they were meant for sees them.
class CArrowKeyFilter : public wxEventFilter {
public:
    static CArrowKeyFilter& Get()
    {
        static CArrowKeyFilter filter;
        return filter;
    }
    void Register(CImageView* view)
    {
        if (!m_installed) {
            wxEvtHandler::AddFilter(this);
            m_installed = true;
        }
        m_view = view;
    }
    void Unregister(CImageView* view)
    {
        if (m_view == view)
            m_view = nullptr;
    }
    int FilterEvent(wxEvent& event) override
    {
        if (!m_view || event.GetEventType() != wxEVT_KEY_DOWN)
            return Event_Skip;
        auto* target = wxDynamicCast(event.GetEventObject(), wxWindow);
        if (!target || (target != m_view && !m_view->IsDescendant(target)))
            return Event_Skip;
        const auto& key = static_cast<wxKeyEvent&>(event);
        m_view->NudgeSelection(key.GetKeyCode(), key.ShiftDown());
        // The key then goes on to the window as usual.
        return Event_Skip;
    }

private:
    CImageView* m_view = nullptr;
    bool m_installed = false;
};

wxRect Normalised(const wxPoint& a, const wxPoint& b)
{
    return wxRect(wxPoint(std::min(a.x, b.x), std::min(a.y, b.y)), wxPoint(std::max(a.x, b.x), std::max(a.y, b.y)));
}

}  // namespace

CImageView::CImageView(wxWindow* parent, wxWindowID id)
    : wxPanel(parent, id, wxDefaultPosition, wxSize(320, 240), wxWANTS_CHARS | wxFULL_REPAINT_ON_RESIZE | wxBORDER_SIMPLE)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetAccessibleName(this, GetUiText("ID_NAME_PICTURE", "Picture"), EAccessibleRole::Picture);
    Bind(wxEVT_PAINT, &CImageView::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &CImageView::OnLeftDown, this);
    Bind(wxEVT_MOTION, &CImageView::OnMotion, this);
    Bind(wxEVT_LEFT_UP, &CImageView::OnLeftUp, this);
    Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        m_scaled = wxBitmap();
        Refresh();
        event.Skip();
    });
}

CImageView::~CImageView()
{
    CArrowKeyFilter::Get().Unregister(this);
}

void CImageView::RegisterForArrowKeys()
{
    CArrowKeyFilter::Get().Register(this);
}

void CImageView::SetImage(const wxImage& image)
{
    m_image = image;
    m_scaled = wxBitmap();
    Refresh();
}

wxRect CImageView::GetPictureRect() const
{
    const wxSize area = GetClientSize();
    if (!m_image.IsOk() || area.x <= 0 || area.y <= 0)
        return wxRect();
    // Scaled to fit, keeping the picture's proportions, centred.
    const double scale = std::min(static_cast<double>(area.x) / m_image.GetWidth(),
                                  static_cast<double>(area.y) / m_image.GetHeight());
    const int width = std::max(1, static_cast<int>(m_image.GetWidth() * scale));
    const int height = std::max(1, static_cast<int>(m_image.GetHeight() * scale));
    return wxRect((area.x - width) / 2, (area.y - height) / 2, width, height);
}

void CImageView::EnableSelection(bool enable)
{
    m_selectionEnabled = enable;
    if (!enable)
        m_dragging = false;
    Refresh();
}

void CImageView::SetSelection(const wxRect& selection)
{
    m_selection = selection;
    Refresh();
}

bool CImageView::GetPictureSelection(wxRect& picture) const
{
    return m_image.IsOk() && ViewToPicture(m_selection, GetPictureRect(), m_image.GetSize(), picture);
}

void CImageView::SetPictureSelection(const wxRect& picture)
{
    SetSelection(m_image.IsOk() ? PictureToView(picture, GetPictureRect(), m_image.GetSize()) : wxRect());
}

bool CImageView::NudgeSelection(int key, bool shift)
{
    if (!m_selectionEnabled || m_selection.IsEmpty())
        return false;
    SImageRect rect{m_selection.GetLeft(), m_selection.GetTop(), m_selection.GetLeft() + m_selection.width,
                    m_selection.GetTop() + m_selection.height};
    if (!::NudgeSelection(key, shift, rect) || rect.IsEmpty())
        return false;
    SetSelection(wxRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top));
    NotifySelection();
    return true;
}

void CImageView::NotifySelection()
{
    if (m_onSelection)
        m_onSelection();
}

void CImageView::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(wxBrush(wxColour(64, 64, 64)));
    dc.Clear();
    const wxRect picture = GetPictureRect();
    if (picture.IsEmpty())
        return;
    if (!m_scaled.IsOk() || m_scaled.GetWidth() != picture.width || m_scaled.GetHeight() != picture.height)
        m_scaled = wxBitmap(m_image.Scale(picture.width, picture.height, wxIMAGE_QUALITY_NORMAL));
    dc.DrawBitmap(m_scaled, picture.GetTopLeft());
    if (m_selectionEnabled && !m_selection.IsEmpty()) {
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        dc.SetPen(wxPen(wxColour(255, 40, 40), 2));
        dc.DrawRectangle(m_selection);
    }
}

void CImageView::OnLeftDown(wxMouseEvent& event)
{
    SetFocus();
    if (!m_selectionEnabled || !m_image.IsOk())
        return;
    m_dragging = true;
    m_anchor = event.GetPosition();
    SetSelection(wxRect(m_anchor, wxSize(0, 0)));
    CaptureMouse();
}

void CImageView::OnMotion(wxMouseEvent& event)
{
    if (m_dragging)
        SetSelection(Normalised(m_anchor, event.GetPosition()).Intersect(GetPictureRect()));
}

void CImageView::OnLeftUp(wxMouseEvent& event)
{
    if (!m_dragging)
        return;
    m_dragging = false;
    if (HasCapture())
        ReleaseMouse();
    SetSelection(Normalised(m_anchor, event.GetPosition()).Intersect(GetPictureRect()));
    NotifySelection();
}
