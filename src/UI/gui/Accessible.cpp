#include "Accessible.h"

#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/control.h>
#include <wx/eventfilter.h>
#include <wx/grid.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/module.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/spinbutt.h>
#include <wx/spinctrl.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/treectrl.h>
#include <wx/vlbox.h>
#include <wx/weakref.h>
#include <wx/window.h>

#include <algorithm>
#include <vector>

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

namespace {

// Windows that show no text of their own, so a reader needs their caption.
bool IsField(const wxWindow* window)
{
    return dynamic_cast<const wxTextCtrl*>(window) || dynamic_cast<const wxChoice*>(window) ||
           dynamic_cast<const wxComboBox*>(window) || dynamic_cast<const wxSpinCtrl*>(window) ||
           dynamic_cast<const wxSpinButton*>(window) || dynamic_cast<const wxSlider*>(window) ||
           dynamic_cast<const wxListBox*>(window) || dynamic_cast<const wxListCtrl*>(window) ||
           dynamic_cast<const wxTreeCtrl*>(window) || dynamic_cast<const wxGrid*>(window) ||
           dynamic_cast<const wxVListBox*>(window);
}

// "&Baud rate:" reads as "Baud rate".
wxString CaptionText(const wxString& label)
{
    wxString text = wxControl::RemoveMnemonics(label);
    text.Trim();
    while (!text.empty() && (text.Last() == ':' || text.Last() == wxUniChar(0xFF1A)))
        text.RemoveLast().Trim();
    return text.Trim(false);
}

// The label created before `window` among its siblings, as forms are built: caption,
// then field (or fields of one setting: a list and the box for a value of one's own).
// Any other control in between means the label is not its own.
wxStaticText* LabelBefore(wxWindow* window)
{
    wxWindow* parent = window->GetParent();
    if (!parent)
        return nullptr;
    wxStaticText* label = nullptr;
    for (wxWindow* sibling : parent->GetChildren()) {
        if (sibling == window)
            return label;
        if (auto* text = dynamic_cast<wxStaticText*>(sibling))
            label = text;
        else if (!IsField(sibling))
            label = nullptr;
    }
    return nullptr;
}

// Generic lists and grids take the focus in an inner window that they draw.
wxWindow* DrawnFocusWindow(wxWindow* window)
{
    if (dynamic_cast<wxListCtrl*>(window)) {
        // Its rows window: the one part that takes the focus.
        for (wxWindow* child : window->GetChildren()) {
            if (child->AcceptsFocus())
                return child;
        }
    }
    if (auto* grid = dynamic_cast<wxGrid*>(window))
        return grid->GetGridWindow();
    return nullptr;
}

// The lists wxGTK draws itself show GTK only a plain panel, so they are told their role.
bool DrawnListRole(wxWindow* window, EAccessibleRole& role)
{
    if (dynamic_cast<wxListCtrl*>(window))
        role = window->HasFlag(wxLC_REPORT) ? EAccessibleRole::Table : EAccessibleRole::List;
    else if (dynamic_cast<wxGrid*>(window))
        role = EAccessibleRole::Table;
    else if (dynamic_cast<wxTreeCtrl*>(window))
        role = EAccessibleRole::Tree;
    else if (dynamic_cast<wxVListBox*>(window))
        role = EAccessibleRole::List;
    else
        return false;
    return true;
}

#ifdef __WXGTK__

AtkRole AtkRoleOf(EAccessibleRole role)
{
    switch (role) {
    case EAccessibleRole::Button:
        return ATK_ROLE_PUSH_BUTTON;
    case EAccessibleRole::ToggleButton:
        return ATK_ROLE_TOGGLE_BUTTON;
    case EAccessibleRole::List:
        return ATK_ROLE_LIST;
    case EAccessibleRole::Table:
        return ATK_ROLE_TABLE;
    case EAccessibleRole::Tree:
        return ATK_ROLE_TREE;
    case EAccessibleRole::Picture:
        return ATK_ROLE_IMAGE;
    case EAccessibleRole::Panel:
        return ATK_ROLE_PANEL;
    case EAccessibleRole::Heading:
        return ATK_ROLE_HEADING;
    }
    return ATK_ROLE_UNKNOWN;
}

// A wx window may be several GTK widgets (a scrolled frame round a text view); the one
// that takes the focus is what a reader announces, the outer one what it walks past.
std::vector<GtkWidget*> WidgetsOf(wxWindow* window)
{
    std::vector<GtkWidget*> widgets;
    for (GtkWidget* widget : {window->m_widget, window->m_wxwindow, window->m_focusWidget}) {
        if (widget && std::find(widgets.begin(), widgets.end(), widget) == widgets.end())
            widgets.push_back(widget);
        // A multi-line text or a list box is a text or tree view inside a scrolled frame.
        if (widget && GTK_IS_SCROLLED_WINDOW(widget)) {
            GtkWidget* inner = gtk_bin_get_child(GTK_BIN(widget));
            if (inner && std::find(widgets.begin(), widgets.end(), inner) == widgets.end())
                widgets.push_back(inner);
        }
        // A slider that shows its numbers is the scale inside a box with them.
        if (widget && GTK_IS_BOX(widget)) {
            GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
            for (GList* child = children; child; child = child->next) {
                if (GTK_IS_RANGE(child->data))
                    widgets.push_back(GTK_WIDGET(child->data));
            }
            g_list_free(children);
        }
    }
    if (wxWindow* inner = DrawnFocusWindow(window)) {
        for (GtkWidget* widget : WidgetsOf(inner))
            widgets.push_back(widget);
    }
    return widgets;
}

AtkObject* FocusAccessible(wxWindow* window)
{
    if (wxWindow* inner = DrawnFocusWindow(window))
        window = inner;
    GtkWidget* widget = window->m_focusWidget ? window->m_focusWidget : window->m_widget;
    if (widget && GTK_IS_SCROLLED_WINDOW(widget) && gtk_bin_get_child(GTK_BIN(widget)))
        widget = gtk_bin_get_child(GTK_BIN(widget));
    return widget ? gtk_widget_get_accessible(widget) : nullptr;
}

// GTK makes up names (a combo box says its choice); only a name given counts here.
bool HasOwnName(wxWindow* window)
{
    AtkObject* accessible = FocusAccessible(window);
    return accessible && accessible->name && *accessible->name;
}

void SetNames(wxWindow* window, const char* name)
{
    for (GtkWidget* widget : WidgetsOf(window))
        atk_object_set_name(gtk_widget_get_accessible(widget), name);
}

using FieldRef = wxWeakRef<wxWindow>;

// GTK tells us when the label's text changes (a new language, a new unit), so the
// field's name follows it without every caller renaming it.
void OnLabelChanged(GObject* label, GParamSpec*, gpointer data)
{
    wxWindow* field = *static_cast<FieldRef*>(data);
    if (!field)
        return;
    const wxString text = CaptionText(wxString::FromUTF8(gtk_label_get_text(GTK_LABEL(label))));
    SetNames(field, text.utf8_str());
}

void ForgetField(gpointer data, GClosure*)
{
    delete static_cast<FieldRef*>(data);
}

void FollowLabel(wxWindow* field, wxStaticText* label)
{
    GtkWidget* labelWidget = label->m_widget;
    if (!labelWidget || !GTK_IS_LABEL(labelWidget) || !field->m_widget)
        return;
    // A widget realized again (moved to another parent) keeps its one link.
    if (g_object_get_data(G_OBJECT(field->m_widget), "vostrel-label") == labelWidget)
        return;
    g_object_set_data(G_OBJECT(field->m_widget), "vostrel-label", labelWidget);
    AtkObject* labelAccessible = gtk_widget_get_accessible(labelWidget);
    for (GtkWidget* widget : WidgetsOf(field)) {
        AtkObject* accessible = gtk_widget_get_accessible(widget);
        atk_object_add_relationship(accessible, ATK_RELATION_LABELLED_BY, labelAccessible);
        atk_object_add_relationship(labelAccessible, ATK_RELATION_LABEL_FOR, accessible);
    }
    // The field may go before its label; the weak reference then reads null.
    g_signal_connect_data(labelWidget, "notify::label", G_CALLBACK(OnLabelChanged), new FieldRef(field),
                          ForgetField, GConnectFlags(0));
}

#else

bool HasOwnName(wxWindow*)
{
    return false;
}

#endif

// Watches windows appear on screen: wxGTK sends wxEVT_CREATE when a window's GTK
// widget is realized, by which time its form, labels included, has been built.
class CLabelNamer : public wxEventFilter {
public:
    int FilterEvent(wxEvent& event) override
    {
        if (event.GetEventType() == wxEVT_CREATE) {
            if (auto* window = dynamic_cast<wxWindow*>(event.GetEventObject()))
                NameFieldFromLabel(window);
        }
        return Event_Skip;
    }
};

void NameAfter(wxWindow* field, const wxString& name)
{
    EAccessibleRole role = EAccessibleRole::List;
    if (DrawnListRole(field, role))
        SetAccessibleName(field, name, role);
    else
        SetAccessibleName(field, name);
}

}  // namespace

void SetAccessibleName(wxWindow* window, const wxString& name, EAccessibleRole role)
{
    SetAccessibleName(window, name);
#ifdef __WXGTK__
    if (!window)
        return;
    for (GtkWidget* widget : WidgetsOf(window))
        atk_object_set_role(gtk_widget_get_accessible(widget), AtkRoleOf(role));
#else
    (void)role;
#endif
}

void SetAccessibleName(wxWindow* window, const wxString& name)
{
#ifdef __WXGTK__
    if (window)
        SetNames(window, name.utf8_str());
#else
    (void)window;
    (void)name;
#endif
}

wxString GetAccessibleName(wxWindow* window)
{
#ifdef __WXGTK__
    AtkObject* accessible = window ? FocusAccessible(window) : nullptr;
    const char* name = accessible ? atk_object_get_name(accessible) : nullptr;
    return name ? wxString::FromUTF8(name) : wxString();
#else
    (void)window;
    return wxString();
#endif
}

wxString GetAccessibleRoleName(wxWindow* window)
{
#ifdef __WXGTK__
    AtkObject* accessible = window ? FocusAccessible(window) : nullptr;
    return accessible ? wxString::FromUTF8(atk_role_get_name(atk_object_get_role(accessible))) : wxString();
#else
    (void)window;
    return wxString();
#endif
}

void NameAfterLabel(wxWindow* field, wxStaticText* label)
{
    if (!field || !label)
        return;
    // A form may fill its labels in later (in the chosen language); the name follows.
    NameAfter(field, CaptionText(label->GetLabel()));
#ifdef __WXGTK__
    FollowLabel(field, label);
#endif
}

bool NameFieldFromLabel(wxWindow* window)
{
    if (!window || !IsField(window))
        return false;
    if (HasOwnName(window))
        return true;
    // The text box of a date picker or combined control is captioned as the whole.
    for (wxWindow* part = window; part && !part->IsTopLevel(); part = part->GetParent()) {
        if (part != window && (!dynamic_cast<wxControl*>(part) || dynamic_cast<wxStaticBox*>(part)))
            break;
        if (wxStaticText* label = LabelBefore(part)) {
            NameAfterLabel(window, label);
            return !CaptionText(label->GetLabel()).empty();
        }
    }
    wxString name;
    // A field alone in a framed group is captioned by the frame.
    if (auto* box = dynamic_cast<wxStaticBoxSizer*>(window->GetContainingSizer()))
        name = CaptionText(box->GetStaticBox()->GetLabel());
    // The grey hint in an empty box, then the tool tip, say what the field is for.
    if (auto* entry = dynamic_cast<wxTextEntry*>(window); entry && name.empty())
        name = CaptionText(entry->GetHint());
    if (name.empty())
        name = CaptionText(window->GetToolTipText());
    if (name.empty())
        return false;
    NameAfter(window, name);
    return true;
}

namespace {

// Every window of the program, and of the window tests, gets its fields named from
// the start of wxWidgets to its end; the filter is taken out again before other
// filters that live until exit are destroyed, which wx requires.
class CLabelNamerModule : public wxModule {
public:
    bool OnInit() override
    {
        wxEvtHandler::AddFilter(&m_namer);
        return true;
    }
    void OnExit() override { wxEvtHandler::RemoveFilter(&m_namer); }

private:
    CLabelNamer m_namer;
    wxDECLARE_DYNAMIC_CLASS(CLabelNamerModule);
};

wxIMPLEMENT_DYNAMIC_CLASS(CLabelNamerModule, wxModule);

}  // namespace
