// Copyright (c) 2026 The Vostrel developers. MIT licence.
//
// Every dialog the program opens, driven with the keyboard alone through the X
// server, as someone without a mouse would: the Alt+letter of its closing button,
// Escape, Enter and Tab close it with the expected answer, Alt+letter toggles its
// check boxes and takes the focus to a labelled field.
#include "GuiTestSupport.h"
#include "app/MnemonicText.h"
#include "app/UiText.h"
#include "barcode/BarcodeSheet.h"
#include "barcode/gui/PreviewPrintDlg.h"
#include "barcode/SheetOutput.h"
#include "dataformat/gui/DataFormatterDlg.h"
#include "device/gui/DeviceBatchUpgradeDlg.h"
#include "device/gui/DeviceUpgradeDlg.h"
#include "device/gui/Dialog_Log.h"
#include "dlicense/gui/DriverLicenseInfoDlg.h"
#include "image/gui/ImageManageDlg.h"
#include "image/gui/ImageShowDlg.h"
#include "shell/Mnemonics.h"
#include "UI/gui/GuiMessageBox.h"

#include <wx/app.h>
#include <wx/textctrl.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/display.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/uiaction.h>

namespace {

constexpr int kStillOpen = -12345;
constexpr int kNotPressed = -54321;

// Windows below `window` that are `T`, shown and usable.
template <typename T>
std::vector<T*> Shown(wxWindow* window)
{
    std::vector<T*> found;
    for (wxWindow* child : window->GetChildren()) {
        if (!child->IsShown() || child->IsTopLevel())
            continue;
        if (auto* typed = dynamic_cast<T*>(child); typed && child->IsEnabled())
            found.push_back(typed);
        for (T* inner : Shown<T>(child))
            found.push_back(inner);
    }
    return found;
}

// The button whose label reads `text` once its mnemonic is left out.
wxButton* ButtonReading(wxWindow* dialog, const char* text)
{
    for (wxButton* button : Shown<wxButton>(dialog)) {
        if (StripMnemonic(button->GetLabel()) == wxString::FromUTF8(text))
            return button;
    }
    return nullptr;
}

bool HasFocusInside(wxWindow* dialog)
{
    for (wxWindow* focus = wxWindow::FindFocus(); focus; focus = focus->GetParent()) {
        if (focus == dialog)
            return true;
    }
    return false;
}

void PressAlt(wxChar letter)
{
    wxUIActionSimulator keys;
    keys.Char(letter, wxMOD_ALT);
}

void Press(int key)
{
    wxUIActionSimulator keys;
    keys.Char(key);
}

// How a row's dialog is opened: made, then shown modally as the program does. The
// test's keys are sent from inside the modal loop.
using Opener = std::function<int(wxWindow* parent, const std::function<void(wxDialog&)>& keys)>;

Opener Modal(std::function<wxDialog*(wxWindow* parent)> make)
{
    return [make](wxWindow* parent, const std::function<void(wxDialog&)>& keys) {
        wxDialog* dialog = make(parent);
        wxTheApp->CallAfter([dialog, keys] { keys(*dialog); });
        const int answer = dialog->ShowModal();
        dialog->Destroy();
        return answer;
    };
}

// The program's message box, answering as ShowMessage does (wxYES, wxNO, ...).
Opener MessageBox(long style)
{
    return [style](wxWindow*, const std::function<void(wxDialog&)>& keys) {
        wxTheApp->CallAfter([keys] {
            // The box is the active modal dialog by now.
            for (wxWindow* window : wxTopLevelWindows) {
                if (auto* dialog = dynamic_cast<wxDialog*>(window); dialog && dialog->IsModal()) {
                    keys(*dialog);
                    return;
                }
            }
            ADD_FAILURE() << "no message box";
        });
        InstallDialogMessageHandler();
        return ShowMessage("Keys only?", style);
    };
}

struct SDialogRow {
    const char* name;
    Opener open;
    const char* closeButton;  // built-in label of the button the Alt+letter and Tab rows press
    int closeAnswer;
    int escapeAnswer;
    int enterAnswer;  // kNotPressed: Enter starts work (a file or printer question), not tried here
    const char* defaultButton;  // what Enter presses
    const char* fieldLabel = nullptr;  // a label naming a field, and the field's kind
    std::function<bool(wxWindow*)> isField = nullptr;
    size_t checkBoxes = 0;
};

class KeyboardDialogsTest : public ::testing::TestWithParam<SDialogRow> {
protected:
    void SetUp() override
    {
        m_frame = new wxFrame(nullptr, wxID_ANY, "keys", wxDefaultPosition, wxSize(400, 300));
        m_frame->Show();
    }
    void TearDown() override
    {
        m_frame->Destroy();
        wxYield();
    }

    // Opens the row's dialog, waits until it has its letters and the keyboard focus,
    // runs `keys` and gives the dialog a moment to close; a dialog still open is then
    // closed with kStillOpen so that the test ends.
    int Drive(const std::function<void(wxDialog&)>& keys)
    {
        bool stillOpen = false;
        const int answer = GetParam().open(m_frame, [keys, &stillOpen](wxDialog& dialog) {
            // Xvfb runs without a window manager: the keyboard goes to the window under
            // the pointer. The pointer only moves; nothing is clicked.
            const wxRect area = dialog.GetScreenRect().Intersect(wxDisplay().GetGeometry());
            wxUIActionSimulator().MouseMove(area.GetLeft() + area.GetWidth() / 2, area.GetTop() + 4);
            const bool ready = RunUntil([&] { return HasFocusInside(&dialog) && Unlettered(&dialog).empty(); }, 5);
            EXPECT_TRUE(ready) << "without a letter: " << Unlettered(&dialog)
                               << (HasFocusInside(&dialog) ? "" : "; the focus is elsewhere: ")
                               << (wxWindow::FindFocus() ? wxWindow::FindFocus()->GetClassInfo()->GetClassName() : L"none");
            if (ready)
                keys(dialog);
            if (!RunUntil([&] { return !dialog.IsModal(); }, 5)) {
                stillOpen = true;
                dialog.EndModal(wxID_CANCEL);
            }
        });
        return stillOpen ? kStillOpen : answer;
    }

    static std::string Unlettered(wxWindow* dialog)
    {
        std::string names;
        for (wxButton* button : Shown<wxButton>(dialog)) {
            if (MnemonicOf(button->GetLabel()) == 0)
                names += " \"" + std::string(button->GetLabel().utf8_str()) + "\"";
        }
        return names;
    }

    CMnemonicManager m_mnemonics;
    CMessageRecorder m_messages;  // what the dialogs would tell, and the message box put back
    wxFrame* m_frame = nullptr;
};

TEST_P(KeyboardDialogsTest, ItsButtonsAnswerTheirLetterEscapeEnterAndTab)
{
    const SDialogRow& row = GetParam();
    EXPECT_EQ(row.escapeAnswer, Drive([](wxDialog&) { Press(WXK_ESCAPE); })) << "Escape";
    if (row.enterAnswer != kNotPressed) {
        EXPECT_EQ(row.enterAnswer, Drive([](wxDialog&) { Press(WXK_RETURN); })) << "Enter";
    }
    if (row.defaultButton) {
        Drive([&](wxDialog& dialog) {
            auto* button = dynamic_cast<wxButton*>(dialog.GetDefaultItem());
            EXPECT_TRUE(button && StripMnemonic(button->GetLabel()) == wxString::FromUTF8(row.defaultButton))
                << "the default button is not " << row.defaultButton;
            Press(WXK_ESCAPE);
        });
    }
    if (!row.closeButton)
        return;
    EXPECT_EQ(row.closeAnswer, Drive([&](wxDialog& dialog) {
        wxButton* button = ButtonReading(&dialog, row.closeButton);
        ASSERT_NE(nullptr, button) << row.closeButton;
        PressAlt(MnemonicOf(button->GetLabel()));
    })) << "Alt+letter";
    EXPECT_EQ(row.closeAnswer, Drive([&](wxDialog& dialog) {
        wxButton* button = ButtonReading(&dialog, row.closeButton);
        ASSERT_NE(nullptr, button) << row.closeButton;
        for (int tabs = 0; tabs < 40 && wxWindow::FindFocus() != button; ++tabs) {
            Press(WXK_TAB);
            RunUntil([n = 0]() mutable { return ++n > 3; }, 1);  // the focus moves through the X server
        }
        EXPECT_EQ(button, wxWindow::FindFocus()) << "Tab never reached it";
        Press(WXK_SPACE);
    })) << "Tab, then Space";
}

TEST_P(KeyboardDialogsTest, AltLetterTogglesEachCheckBoxAndFocusesALabelledField)
{
    const SDialogRow& row = GetParam();
    Drive([&](wxDialog& dialog) {
        const auto boxes = Shown<wxCheckBox>(&dialog);
        EXPECT_EQ(row.checkBoxes, boxes.size());
        for (wxCheckBox* box : boxes) {
            const bool before = box->GetValue();
            PressAlt(MnemonicOf(box->GetLabel()));
            EXPECT_TRUE(RunUntil([&] { return box->GetValue() != before; }, 2)) << box->GetLabel();
        }
        if (row.fieldLabel) {
            wxStaticText* label = nullptr;
            for (wxStaticText* text : Shown<wxStaticText>(&dialog)) {
                if (StripMnemonic(text->GetLabel()) == wxString::FromUTF8(row.fieldLabel))
                    label = text;
            }
            ASSERT_NE(nullptr, label) << row.fieldLabel;
            ASSERT_NE(0, MnemonicOf(label->GetLabel())) << row.fieldLabel;
            PressAlt(MnemonicOf(label->GetLabel()));
            EXPECT_TRUE(RunUntil([&] { return row.isField(wxWindow::FindFocus()); }, 2)) << row.fieldLabel;
        }
        Press(WXK_ESCAPE);
    });
}

// The windows as their sizers place them: top to bottom, left to right, a window
// with a sizer of its own (a static box, a panel) by its contents.
void InSizerOrder(wxSizer* sizer, std::vector<wxWindow*>& order);

void InSizerOrder(wxWindow* window, std::vector<wxWindow*>& order)
{
    order.push_back(window);
    if (window->GetSizer())
        InSizerOrder(window->GetSizer(), order);
}

void InSizerOrder(wxSizer* sizer, std::vector<wxWindow*>& order)
{
    if (auto* box = dynamic_cast<wxStaticBoxSizer*>(sizer))
        order.push_back(box->GetStaticBox());
    for (wxSizerItem* item : sizer->GetChildren()) {
        if (item->IsWindow())
            InSizerOrder(item->GetWindow(), order);
        else if (item->IsSizer())
            InSizerOrder(item->GetSizer(), order);
    }
}

// Where Tab goes from `focus`: the window itself or the sizer-placed window holding it.
size_t SizerIndexOf(const std::vector<wxWindow*>& order, wxWindow* focus)
{
    for (wxWindow* window = focus; window; window = window->GetParent()) {
        const auto at = std::find(order.begin(), order.end(), window);
        if (at != order.end())
            return static_cast<size_t>(at - order.begin());
    }
    return order.size();
}

std::string Names(const std::vector<wxWindow*>& windows)
{
    std::string names;
    for (wxWindow* window : windows)
        names += wxString(window->GetClassInfo()->GetClassName()).ToStdString() + " ";
    return names;
}

TEST_P(KeyboardDialogsTest, TabFollowsTheOrderOfTheSizers)
{
    Drive([&](wxDialog& dialog) {
        std::vector<wxWindow*> visited;
        for (int tabs = 0; tabs < 60; ++tabs) {
            wxWindow* focus = wxWindow::FindFocus();
            // Round once: up to the first control seen again. (wxWidgets does not see the
            // focus inside some GTK widgets, a choice's button, so that is not always the
            // first one.)
            if (focus != (visited.empty() ? nullptr : visited.back()) &&
                std::find(visited.begin(), visited.end(), focus) != visited.end())
                break;
            if (focus && (visited.empty() || visited.back() != focus))
                visited.push_back(focus);
            Press(WXK_TAB);
            RunUntil([n = 0]() mutable { return ++n > 3; }, 1);
        }
        for (wxButton* button : Shown<wxButton>(&dialog)) {
            EXPECT_NE(visited.end(), std::find(visited.begin(), visited.end(), button))
                << "Tab never reaches " << button->GetLabel() << "; it goes round " << Names(visited);
        }
        std::vector<wxWindow*> order;
        if (dialog.GetSizer())
            InSizerOrder(dialog.GetSizer(), order);
        // Tab starts wherever the dialog put the focus; the round is read from the
        // first control in the sizers on.
        std::vector<size_t> indexes;
        for (wxWindow* window : visited)
            indexes.push_back(SizerIndexOf(order, window));
        std::rotate(indexes.begin(), std::min_element(indexes.begin(), indexes.end()), indexes.end());
        SCOPED_TRACE("Tab goes round " + Names(visited));
        for (size_t i = 1; i < indexes.size(); ++i) {
            ASSERT_LT(indexes[i], order.size()) << "a control outside the sizers";
            EXPECT_LE(indexes[i - 1], indexes[i])
                << order[indexes[i - 1]]->GetClassInfo()->GetClassName() << " \"" << order[indexes[i - 1]]->GetLabel()
                << "\" is followed by " << order[indexes[i]]->GetClassInfo()->GetClassName() << " \""
                << order[indexes[i]]->GetLabel() << "\"";
        }
        Press(WXK_ESCAPE);
    });
}

template <typename T>
bool Is(wxWindow* window)
{
    return dynamic_cast<T*>(window) != nullptr;
}

CBarcodeSheet g_emptySheet;

wxImage Picture()
{
    return wxImage(64, 48);
}

INSTANTIATE_TEST_SUITE_P(
    EveryDialog, KeyboardDialogsTest,
    ::testing::Values(
        SDialogRow{"YesNoCancelMessage", MessageBox(wxYES_NO | wxCANCEL), "NO", wxNO, wxCANCEL, wxYES, "YES"},
        SDialogRow{"YesNoMessage", MessageBox(wxYES_NO), "NO", wxNO, wxNO, wxYES, "YES"},
        SDialogRow{"OkMessage", MessageBox(wxOK), "OK", wxOK, wxOK, wxOK, "OK"},
        // Enter in its lists opens the entry under the cursor.
        SDialogRow{"LicenceFields",
                   Modal([](wxWindow* parent) { return new CDriverLicenseInfoDlg(parent, {}); }), "确定", wxID_OK,
                   wxID_CANCEL, kNotPressed, "确定"},
        SDialogRow{"DataFormatEditor",
                   Modal([](wxWindow* parent) { return new CDataFormatterDlg(parent, wxString(), 0, {"EAN-13"}); }),
                   "取消", wxID_CANCEL, wxID_CANCEL, wxID_OK, "完成", "示例数据", Is<wxTextCtrl>},
        SDialogRow{"UpgradeLog", Modal([](wxWindow* parent) { return new CDialog_Log(parent, "/nonexistent"); }), "确定",
                   wxID_CANCEL, wxID_CANCEL, wxID_CANCEL, "确定"},
        SDialogRow{"FirmwareUpgrade",
                   Modal([](wxWindow* parent) { return new CDeviceUpgradeDlg(parent, "HBS-HS620"); }), "退出",
                   wxID_CANCEL, wxID_CANCEL, kNotPressed, "升级"},
        SDialogRow{"BatchUpgrade", Modal([](wxWindow* parent) { return new CDeviceBatchUpgradeDlg(parent); }), "关闭",
                   wxID_CANCEL, wxID_CANCEL, kNotPressed, "开始", nullptr, nullptr, 1},
        SDialogRow{"PictureViewer", Modal([](wxWindow* parent) { return new CImageShowDlg(parent, Picture()); }),
                   nullptr, 0, wxID_CANCEL, kNotPressed, nullptr},
        SDialogRow{"PictureEditor",
                   Modal([](wxWindow* parent) { return new CImageManageDlg(parent, Picture(), nullptr, 0); }), "取消",
                   wxID_CANCEL, wxID_CANCEL, kNotPressed, "保存图像", "对比度", Is<wxSlider>},
        SDialogRow{"PrintPreview",
                   Modal([](wxWindow* parent) { return new CPreviewPrintDlg(parent, g_emptySheet, SSheetHeader{}); }),
                   "关闭", wxID_CLOSE, wxID_CLOSE, kNotPressed, "打印"}),
    [](const ::testing::TestParamInfo<SDialogRow>& param) { return std::string(param.param.name); });

}  // namespace
