// What a screen reader is told: the windows we draw ourselves report a name and a
// role, and fields take the name of the label before them as they appear on screen.
#include "app/UiText.h"
#include "image/gui/ImageView.h"
#include "regCtrl/object/GroupCaptionPanel.h"
#include "UI/gui/Accessible.h"
#include "UI/gui/KeyBoardCtrl.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/datectrl.h>
#include <wx/choice.h>
#include <wx/frame.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/vlbox.h>

#include <functional>
#include <memory>

namespace {

// A list drawn by us, as the history view is.
class CPlainVListBox : public wxVListBox {
public:
    explicit CPlainVListBox(wxWindow* parent) : wxVListBox(parent, wxID_ANY, wxDefaultPosition, wxSize(200, 80))
    {
        SetItemCount(2);
    }

private:
    void OnDrawItem(wxDC&, const wxRect&, size_t) const override {}
    wxCoord OnMeasureItem(size_t) const override { return 20; }
};

struct FrameDeleter {
    void operator()(wxFrame* frame) const { frame->Destroy(); }
};
using FramePtr = std::unique_ptr<wxFrame, FrameDeleter>;

FramePtr NewFrame()
{
    return FramePtr(new wxFrame(nullptr, wxID_ANY, "accessible names"));
}

// Shown, so that GTK realizes the widgets and the labels are looked up.
void ShowAll(wxFrame& frame)
{
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    for (wxWindow* child : frame.GetChildren())
        sizer->Add(child);
    frame.SetSizerAndFit(sizer);
    frame.Show();
}

// The text box a composite control is made of, wherever it lies inside.
wxWindow* FirstTextInside(wxWindow* window)
{
    for (wxWindow* child : window->GetChildren()) {
        if (dynamic_cast<wxTextCtrl*>(child))
            return child;
        if (wxWindow* inner = FirstTextInside(child))
            return inner;
    }
    return nullptr;
}

// The field `make` gives, behind a label "Value", named "Prefix" as it is made.
wxWindow* NamedAfterLabel(wxWindow* parent, const std::function<wxWindow*()>& make)
{
    new wxStaticText(parent, wxID_ANY, "Value");
    wxWindow* field = make();
    SetAccessibleName(field, "Prefix");
    return field;
}

struct SNameCase {
    const char* what;
    // Builds the window; returns the control whose name (and role, where given) is checked.
    std::function<wxWindow*(wxWindow* parent)> make;
    wxString name;
    const char* role = nullptr;
};

// Windows we draw ourselves report a name and a role; fields take their label's text.
TEST(AccessibleNames, ControlsReportTheirNameAndDrawnOnesTheirRole)
{
    const SNameCase cases[] = {
        {"key pad", [](wxWindow* p) { return new CKeyBoardCtrl(p, {}); }, GetUiText("ID_HEXEDIT_KEYPAD", "Key pad"),
         "panel"},
        {"group caption", [](wxWindow* p) { return new CGroupCaptionPanel(p, "Beeper"); }, "Beeper",
         "toggle button"},
        {"group that cannot close",
         [](wxWindow* p) {
             auto* caption = new CGroupCaptionPanel(p, "Interface");
             caption->SetCollapsible(false);
             return caption;
         },
         "Interface", "heading"},
        {"picture", [](wxWindow* p) { return new CImageView(p); }, GetUiText("ID_NAME_PICTURE", "Picture"),
         "image"},
        {"scanner list after its label",
         [](wxWindow* p) {
             new wxStaticText(p, wxID_ANY, "Scanners:");
             return new wxListCtrl(p, wxID_ANY, wxDefaultPosition, wxSize(200, 80), wxLC_REPORT);
         },
         "Scanners", "table"},
        {"picture strip after its label",
         [](wxWindow* p) {
             new wxStaticText(p, wxID_ANY, "Pictures");
             return new wxListCtrl(p, wxID_ANY, wxDefaultPosition, wxSize(200, 80), wxLC_ICON);
         },
         "Pictures", "list"},
        {"drawn list after its label",
         [](wxWindow* p) {
             new wxStaticText(p, wxID_ANY, "History");
             return new CPlainVListBox(p);
         },
         "History", "list"},
        {"text after a label with a mnemonic and colon",
         [](wxWindow* p) {
             new wxStaticText(p, wxID_ANY, "&Baud rate:");
             return new wxTextCtrl(p, wxID_ANY);
         },
         "Baud rate"},
        {"choice after a label with a full-width colon",
         [](wxWindow* p) {
             new wxStaticText(p, wxID_ANY, wxString::FromUTF8("波特率："));
             return new wxChoice(p, wxID_ANY);
         },
         wxString::FromUTF8("波特率")},
        {"multi-line text, whose text view takes the focus",
         [](wxWindow* p) {
             new wxStaticText(p, wxID_ANY, "Comments");
             return new wxTextCtrl(p, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxTE_MULTILINE);
         },
         "Comments"},
        {"second field of one setting",
         [](wxWindow* p) {
             new wxStaticText(p, wxID_ANY, "Sleep after");
             new wxChoice(p, wxID_ANY);
             return new wxTextCtrl(p, wxID_ANY);
         },
         "Sleep after"},
        {"a button between label and field",
         [](wxWindow* p) {
             new wxStaticText(p, wxID_ANY, "Port");
             new wxButton(p, wxID_ANY, "Refresh");
             return new wxTextCtrl(p, wxID_ANY);
         },
         ""},
        {"a field before its label",
         [](wxWindow* p) {
             auto* field = new wxTextCtrl(p, wxID_ANY);
             new wxStaticText(p, wxID_ANY, "ms");
             return field;
         },
         ""},
        {"text box of a date picker",
         [](wxWindow* p) {
             new wxStaticText(p, wxID_ANY, "Date");
             auto* picker = new wxDatePickerCtrl(p, wxID_ANY);
             return FirstTextInside(picker);
         },
         "Date"},
        {"a field in a panel that follows a label",
         [](wxWindow* p) {
             new wxStaticText(p, wxID_ANY, "Header");
             auto* panel = new wxPanel(p);
             return new wxTextCtrl(panel, wxID_ANY);
         },
         ""},
        {"a field without a label, with a tool tip",
         [](wxWindow* p) {
             auto* field = new wxTextCtrl(p, wxID_ANY);
             field->SetToolTip("Find setting");
             return field;
         },
         "Find setting"},
        // Named as they are made, before GTK has realized them: the given name is kept over the label.
        {"a named one-line text",
         [](wxWindow* p) { return NamedAfterLabel(p, [p] { return new wxTextCtrl(p, wxID_ANY); }); }, "Prefix"},
        {"a named multi-line text",
         [](wxWindow* p) {
             return NamedAfterLabel(p, [p] {
                 return new wxTextCtrl(p, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxTE_MULTILINE | wxTE_READONLY);
             });
         },
         "Prefix"},
        {"a named list box", [](wxWindow* p) { return NamedAfterLabel(p, [p] { return new wxListBox(p, wxID_ANY); }); },
         "Prefix"},
    };
    for (const SNameCase& test : cases) {
        SCOPED_TRACE(test.what);
        FramePtr frame = NewFrame();
        wxWindow* control = test.make(frame.get());
        ShowAll(*frame);
        EXPECT_EQ(GetAccessibleName(control), test.name);
        if (test.role) {
            EXPECT_EQ(GetAccessibleRoleName(control), test.role);
        }
    }
}

TEST(AccessibleNames, NameFollowsItsLabel)
{
    const struct {
        const char* what;
        wxString before;
        wxString after;
    } cases[] = {
        {"the language changes", "Baud rate", wxString::FromUTF8("波特率")},
        {"the label is filled in after the form is shown", "", "Title"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        FramePtr frame = NewFrame();
        auto* label = new wxStaticText(frame.get(), wxID_ANY, test.before);
        auto* field = new wxTextCtrl(frame.get(), wxID_ANY);
        ShowAll(*frame);
        EXPECT_EQ(GetAccessibleName(field), test.before);
        label->SetLabel(test.after + ":");
        EXPECT_EQ(GetAccessibleName(field), test.after);
    }
}

TEST(AccessibleNames, CaptionAwayFromItsField)
{
    FramePtr frame = NewFrame();
    auto* list = new wxListBox(frame.get(), wxID_ANY);
    auto* caption = new wxStaticText(frame.get(), wxID_ANY, "");
    NameAfterLabel(list, caption);
    ShowAll(*frame);
    caption->SetLabel("Licence fields");
    EXPECT_EQ(GetAccessibleName(list), "Licence fields");
}

}  // namespace
