#include "LayoutCheck.h"

#include <wx/anybutton.h>
#include <wx/checkbox.h>
#include <wx/display.h>
#include <wx/radiobut.h>
#include <wx/scrolwin.h>
#include <wx/settings.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/toplevel.h>
#include <wx/window.h>

#include <cmath>

namespace {

double Linear(unsigned char channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(const wxColour& colour)
{
    return 0.2126 * Linear(colour.Red()) + 0.7152 * Linear(colour.Green()) + 0.0722 * Linear(colour.Blue());
}

// wxAnyButton has no class info of its own (wxDynamicCast would take any control for
// one), so the language's cast asks.
bool IsButton(const wxWindow* window)
{
    return dynamic_cast<const wxAnyButton*>(window) != nullptr;
}

bool IsTextControl(const wxWindow* window)
{
    return dynamic_cast<const wxStaticText*>(window) || IsButton(window) || dynamic_cast<const wxCheckBox*>(window) ||
           dynamic_cast<const wxRadioButton*>(window) || dynamic_cast<const wxStaticBox*>(window);
}

// A label that shortens itself with "…" and tells the whole text when pointed at is
// cut on purpose.
bool ShortensWithTooltip(const wxWindow* window)
{
    const bool ellipsized =
        dynamic_cast<const wxStaticText*>(window) && window->HasFlag(wxST_ELLIPSIZE_START | wxST_ELLIPSIZE_MIDDLE |
                                                               wxST_ELLIPSIZE_END);
    return ellipsized && !window->GetToolTipText().empty();
}

wxString Describe(const wxWindow* window)
{
    wxString text = window->GetLabel();
    text.Replace("\n", " ");
    if (text.length() > 40)
        text = text.Left(39) + "…";
    return wxString::Format("%s \"%s\"", window->GetClassInfo()->GetClassName(), text);
}

wxString SizeText(const wxSize& size)
{
    return wxString::Format("%dx%d", size.x, size.y);
}

class CWalk {
public:
    explicit CWalk(wxWindow* top) : m_where(top->GetLabel().empty() ? top->GetName() : top->GetLabel()) {}

    void CheckWindow(wxWindow* window)
    {
        if (IsTextControl(window)) {
            CheckFits(window);
            CheckContrast(window);
        }
        CheckChildren(window);
    }

    void CheckOnScreen(wxWindow* top)
    {
        const int display = wxDisplay::GetFromWindow(top);
        const wxRect area = wxDisplay(display == wxNOT_FOUND ? 0u : static_cast<unsigned>(display)).GetClientArea();
        const wxSize size = top->GetSize();
        if (size.x > area.width || size.y > area.height)
            Report(top, wxString::Format("is %s, larger than the screen's %s", SizeText(size), SizeText(area.GetSize())));
    }

    std::vector<wxString> m_faults;

private:
    void Report(const wxWindow* window, const wxString& what)
    {
        m_faults.push_back(wxString::Format("%s: %s %s", m_where, Describe(window), what));
    }

    void CheckFits(wxWindow* control)
    {
        const wxSize best = control->GetBestSize(), given = control->GetSize();
        if ((best.x > given.x || best.y > given.y) && !ShortensWithTooltip(control))
            Report(control, wxString::Format("needs %s, has %s", SizeText(best), SizeText(given)));
    }

    // Colours taken from the theme are the theme's business; a colour we set, on the
    // control or above it, must still leave its text readable.
    void CheckContrast(wxWindow* control)
    {
        if (!control->IsEnabled())
            return;  // dimmed on purpose
        bool ours = false;
        for (const wxWindow* w = control; w && !ours; w = IsButton(control) ? nullptr : w->GetParent())
            ours = w->UseForegroundColour() || w->UseBgCol();
        if (!ours)
            return;
        const wxColour text = control->GetForegroundColour(), ground = BackgroundBehind(control);
        const double ratio = ContrastRatio(text, ground);
        if (ratio < CLayoutCheck::kMinTextContrast)
            Report(control, wxString::Format("has contrast %.1f:1 (%s on %s)", ratio,
                                             text.GetAsString(wxC2S_HTML_SYNTAX),
                                             ground.GetAsString(wxC2S_HTML_SYNTAX)));
    }

    // Labels are drawn on their parent; a button draws its own face.
    static wxColour BackgroundBehind(const wxWindow* control)
    {
        if (IsButton(control) && !control->UseBgCol())
            return wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE);
        const wxWindow* w = control;
        while (!w->UseBgCol() && !w->IsTopLevel() && w->GetParent())
            w = w->GetParent();
        return w->GetBackgroundColour();
    }

    void CheckChildren(wxWindow* parent)
    {
        std::vector<wxWindow*> shown;
        for (wxWindow* child : parent->GetChildren()) {
            if (!child->IsTopLevel() && child->IsShown())
                shown.push_back(child);
        }
        for (size_t i = 0; i < shown.size(); ++i) {
            CheckInside(parent, shown[i]);
            for (size_t j = i + 1; j < shown.size(); ++j)
                CheckApart(shown[i], shown[j]);
            CheckWindow(shown[i]);
        }
    }

    // A scrolled window's children live on its whole virtual area, not only on the
    // part that shows. A window that scrolls itself (moving its children by the
    // scroll bar's position, in pixels) has its area in the scroll bar's range.
    void CheckInside(wxWindow* parent, wxWindow* child)
    {
        wxRect rect = child->GetRect();
        wxSize room = parent->GetClientSize();
        if (auto* scrolled = dynamic_cast<wxScrollHelperBase*>(parent)) {
            rect.SetPosition(scrolled->CalcUnscrolledPosition(rect.GetPosition()));
            room.IncTo(parent->GetVirtualSize());
        } else {
            if (parent->HasFlag(wxVSCROLL)) {
                rect.y += parent->GetScrollPos(wxVERTICAL);
                room.IncTo(wxSize(0, parent->GetScrollRange(wxVERTICAL)));
            }
            if (parent->HasFlag(wxHSCROLL)) {
                rect.x += parent->GetScrollPos(wxHORIZONTAL);
                room.IncTo(wxSize(parent->GetScrollRange(wxHORIZONTAL), 0));
            }
        }
        if (!wxRect(room).Contains(rect))
            Report(child, wxString::Format("at %d,%d %s sticks out of its parent's %s", rect.x, rect.y,
                                           SizeText(rect.GetSize()), SizeText(room)));
    }

    // Controls of a framed group may be the frame's siblings: they lie inside it.
    void CheckApart(wxWindow* first, wxWindow* second)
    {
        const wxRect a = first->GetRect(), b = second->GetRect();
        if (!a.Intersects(b))
            return;
        if ((dynamic_cast<wxStaticBox*>(first) && a.Contains(b)) || (dynamic_cast<wxStaticBox*>(second) && b.Contains(a)))
            return;
        Report(first, wxString::Format("overlaps %s", Describe(second)));
    }

    wxString m_where;
};

}  // namespace

double ContrastRatio(const wxColour& first, const wxColour& second)
{
    double lighter = Luminance(first), darker = Luminance(second);
    if (lighter < darker)
        std::swap(lighter, darker);
    return (lighter + 0.05) / (darker + 0.05);
}

std::vector<wxString> CLayoutCheck::Check(wxWindow* top)
{
    CWalk walk(top);
    walk.CheckOnScreen(top);
    walk.CheckWindow(top);
    return walk.m_faults;
}

std::vector<wxString> CLayoutCheck::CheckShownWindows()
{
    std::vector<wxString> faults;
    for (wxWindow* top : wxTopLevelWindows) {
        if (!top->IsShown())
            continue;
        for (wxString& fault : Check(top))
            faults.push_back(std::move(fault));
    }
    return faults;
}
