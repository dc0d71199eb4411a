// Copyright (c) 2026 The Vostrel developers. MIT licence.
#include "Mnemonics.h"

#include "app/MnemonicText.h"

#include <wx/anybutton.h>
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/toplevel.h>
#include <wx/weakref.h>

#include <set>
#include <vector>

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

namespace {

// Longer texts are notes and messages, not the name of a field.
constexpr size_t kLongestFieldLabel = 40;

bool IsActionControl(const wxWindow* window)
{
    return dynamic_cast<const wxAnyButton*>(window) || dynamic_cast<const wxCheckBox*>(window) ||
           dynamic_cast<const wxRadioButton*>(window);
}

// Something the user types into or picks from: it takes the focus and is neither a
// label, a button nor a container of other controls.
bool IsInputField(const wxWindow* window)
{
    return window && window->IsShown() && window->IsEnabled() && window->AcceptsFocus() &&
           !IsActionControl(window) && !dynamic_cast<const wxStaticText*>(window) &&
           !dynamic_cast<const wxStaticBox*>(window) && !dynamic_cast<const wxPanel*>(window);
}

wxWindow* FirstWindowOf(wxSizerItem* item)
{
    if (item->IsWindow())
        return item->GetWindow();
    if (item->IsSizer()) {
        for (wxSizerItem* inner : item->GetSizer()->GetChildren()) {
            if (wxWindow* window = FirstWindowOf(inner))
                return window;
        }
    }
    return nullptr;
}

// The window after `label` in its sizer (what a reader sees beside or below it), or
// its next sibling when it is placed without a sizer.
wxWindow* FollowingWindow(wxWindow* label)
{
    wxSizer* sizer = label->GetContainingSizer();
    if (!sizer)
        return label->GetNextSibling();
    bool after = false;
    for (wxSizerItem* item : sizer->GetChildren()) {
        if (after) {
            if (wxWindow* window = FirstWindowOf(item))
                return window;
        } else if (item->GetWindow() == label) {
            after = true;
        }
    }
    return nullptr;
}

// The field a static text names, or nullptr when it is a note of its own.
wxWindow* FieldNamedBy(wxStaticText* text)
{
    // A text that may be shortened with "…" shows a state or a path, not a name.
    if (text->HasFlag(wxST_ELLIPSIZE_START | wxST_ELLIPSIZE_MIDDLE | wxST_ELLIPSIZE_END))
        return nullptr;
    const wxString label = text->GetLabelText();
    if (label.empty() || label.length() > kLongestFieldLabel || label.Contains("\n"))
        return nullptr;
    wxWindow* next = FollowingWindow(text);
    return IsInputField(next) ? next : nullptr;
}

struct SLabelled {
    wxControl* control;
    wxWindow* field;  // for a static text: what Alt+its letter focuses
};

// Shown controls in creation order, which the pages keep equal to their visual and
// Tab order; nested top-level windows have letters of their own.
void Collect(wxWindow* window, std::vector<SLabelled>& actions, std::vector<SLabelled>& labels)
{
    for (wxWindow* child : window->GetChildren()) {
        if (!child->IsShown() || child->IsTopLevel())
            continue;
        if (IsActionControl(child)) {
            if (!static_cast<wxControl*>(child)->GetLabel().empty())
                actions.push_back({static_cast<wxControl*>(child), nullptr});
        } else if (auto* text = dynamic_cast<wxStaticText*>(child)) {
            if (wxWindow* field = FieldNamedBy(text))
                labels.push_back({text, field});
        } else {
            Collect(child, actions, labels);
        }
    }
}

#ifdef __WXGTK__
constexpr const char* kFieldKey = "vostrel-labelled-field";

// GTK would move the focus to the label's mnemonic widget, which for some controls is
// a box around the part that takes the focus (a slider with its value labels); the
// field is focused as wxWidgets does it instead.
gboolean FocusLabelledField(GtkWidget* label, gboolean, gpointer)
{
    auto* field = static_cast<wxWeakRef<wxWindow>*>(g_object_get_data(G_OBJECT(label), kFieldKey));
    if (field && *field && (*field)->IsEnabled())
        (*field)->SetFocus();
    return TRUE;
}
#endif

void PointLabelAtField(wxControl* label, wxWindow* field)
{
#ifdef __WXGTK__
    // wxWidgets shows the underlined letter of a static text but never tells GTK which
    // widget it names, so Alt+letter would do nothing; the mnemonic widget also tells
    // screen readers what the label names.
    if (!GTK_IS_LABEL(label->GetHandle()))
        return;
    GtkLabel* gtkLabel = GTK_LABEL(label->GetHandle());
    if (GtkWidget* target = field->GetConnectWidget())
        gtk_label_set_mnemonic_widget(gtkLabel, target);
    const bool connected = g_object_get_data(G_OBJECT(gtkLabel), kFieldKey) != nullptr;
    g_object_set_data_full(G_OBJECT(gtkLabel), kFieldKey, new wxWeakRef<wxWindow>(field),
                           [](gpointer data) { delete static_cast<wxWeakRef<wxWindow>*>(data); });
    if (!connected)
        g_signal_connect(gtkLabel, "mnemonic-activate", G_CALLBACK(FocusLabelledField), nullptr);
#else
    (void)label;
    (void)field;
#endif
}

// Every window with a sizer from the top-level one down to `window`, the outer first:
// an inner panel keeps its size when only its content needs more.
void LayOutOutsideIn(wxWindow* window)
{
    std::vector<wxWindow*> chain;
    for (wxWindow* w = window; w && !w->IsTopLevel(); w = w->GetParent()) {
        if (w->GetSizer())
            chain.push_back(w);
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        (*it)->Layout();
}

}  // namespace

void AssignMnemonics(wxWindow* window)
{
    wxWindow* top = wxGetTopLevelParent(window);
    if (!top || top->IsBeingDeleted())
        return;
    std::vector<SLabelled> controls, labels;
    Collect(top, controls, labels);
    // Buttons and check boxes act at once, so they choose first; field labels take
    // what is left.
    controls.insert(controls.end(), labels.begin(), labels.end());

    // Letters already shown stay where they are, the first holder of a letter wins.
    std::set<wxChar> taken;
    std::vector<bool> keeps(controls.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        const wxChar own = MnemonicOf(controls[i].control->GetLabel());
        keeps[i] = own != 0 && taken.insert(own).second;
    }
    std::set<wxWindow*> relayout;
    for (size_t i = 0; i < controls.size(); ++i) {
        wxControl* control = controls[i].control;
        if (!keeps[i]) {
            const wxString current = control->GetLabel();
            const wxString labelled = WithMnemonic(current, taken);
            if (labelled != current) {
                control->SetLabel(labelled);
                control->InvalidateBestSize();
                relayout.insert(control->GetParent());
            }
        }
        if (controls[i].field)
            PointLabelAtField(control, controls[i].field);
    }
    // "(&A)" makes a label wider: the window is laid out again so that nothing is cut
    // (a dialog grows to its content, within the screen), then the panels round each
    // row that holds such a label, in case their own size stayed the same.
    if (relayout.empty())
        return;
    if (auto* dialog = dynamic_cast<wxDialog*>(top)) {
        const wxRect screen = wxDisplay(dialog).GetClientArea();
        wxSize size = dialog->GetSize();
        size.IncTo(dialog->GetBestSize());
        size.DecTo(screen.GetSize());
        if (size != dialog->GetSize())
            dialog->SetSize(size);
    }
    top->Layout();
    for (wxWindow* parent : relayout)
        LayOutOutsideIn(parent);
}

void AssignMnemonicsSoon(wxWindow* window)
{
    static std::set<wxWindow*> pending;
    wxWindow* top = wxGetTopLevelParent(window);
    if (!top || !wxTheApp || !pending.insert(top).second)
        return;
    wxWeakRef<wxWindow> weak(top);
    wxTheApp->CallAfter([weak, top] {
        pending.erase(top);
        if (weak)
            AssignMnemonics(weak);
    });
}

CMnemonicManager::CMnemonicManager()
{
    wxEvtHandler::AddFilter(this);
}

CMnemonicManager::~CMnemonicManager()
{
    wxEvtHandler::RemoveFilter(this);
}

int CMnemonicManager::FilterEvent(wxEvent& event)
{
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_SHOW || type == wxEVT_CREATE) {
        auto* window = dynamic_cast<wxWindow*>(event.GetEventObject());
        if (window && (type == wxEVT_CREATE || static_cast<wxShowEvent&>(event).IsShown()))
            AssignMnemonicsSoon(window);
    }
    return Event_Skip;
}
