// The edit-style controls on a page: what each accepts from its widget and what it
// commits to its setting and to the pending changes.
#include "regCtrl/object/EdidHexKeyboardControl.h"

#include "GuiTestSupport.h"

#include <wx/button.h>
#include <wx/clipbrd.h>
#include <wx/datectrl.h>
#include <wx/dateevt.h>
#include <wx/uiaction.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace {

const char kEditModel[] = R"(<DeviceConfiguration>
 <Command><CommandName>PRESET</CommandName><Default>AB</Default><Minimum>0</Minimum><Maximum>10</Maximum></Command>
 <Command><CommandName>FWVERS</CommandName><Default>1.02</Default></Command>
 <Command><CommandName>GAINST</CommandName><Default>10</Default><Minimum>1</Minimum><Maximum>100</Maximum></Command>
 <Command><CommandName>CADTOP</CommandName><Default>0</Default><Minimum>0</Minimum><Maximum>640</Maximum></Command>
 <Command><CommandName>CADBOT</CommandName><Default>200</Default><Minimum>0</Minimum><Maximum>640</Maximum></Command>
 <Command><CommandName>PREHEX</CommandName><Default>41</Default><Minimum>20</Minimum><Maximum>7E</Maximum><CmdGetLen>4</CmdGetLen></Command>
 <Command><CommandName>SCNTCT</CommandName><Default>0D</Default></Command>
 <Command><CommandName>DATEST</CommandName></Command>
 <Command><CommandName>KBWEND</CommandName><Default>0028</Default><CmdGetLen>4</CmdGetLen></Command>
</DeviceConfiguration>)";

const char kEditPages[] = R"(<Pages>
 <Page><Value>Edits</Value>
  <GroupName><Value>All</Value>
   <Command><CommandName>PRESET</CommandName><FriendlyText>Prefix</FriendlyText><ControlType>EDIT</ControlType></Command>
   <Command><CommandName>FWVERS</CommandName><FriendlyText>Firmware</FriendlyText><ControlType>EDIT_READONLY</ControlType></Command>
   <Command><CommandName>GAINST</CommandName><FriendlyText>Gain</FriendlyText><ControlType>RANGEEDIT</ControlType></Command>
   <Command><CommandName>CADTOP</CommandName><FriendlyText>Top</FriendlyText><ControlType>RANGEEDIT</ControlType></Command>
   <Command><CommandName>CADBOT</CommandName><FriendlyText>Bottom</FriendlyText><ControlType>RANGEEDIT</ControlType></Command>
   <Command><CommandName>PREHEX</CommandName><FriendlyText>Prefix bytes</FriendlyText><ControlType>HEXEDIT</ControlType></Command>
   <Command><CommandName>SCNTCT</CommandName><FriendlyText>Trigger</FriendlyText><ControlType>HEXEDITKEYBOARD</ControlType></Command>
   <Command><CommandName>DATEST</CommandName><FriendlyText>Date</FriendlyText><ControlType>DATATIME</ControlType></Command>
   <Command><CommandName>KBWEND</CommandName><FriendlyText>End keys</FriendlyText><ControlType>HEXEDITKEYBOARD</ControlType></Command>
  </GroupName>
 </Page>
</Pages>)";

class EditControlsTest : public PageFixture {
protected:
    void SetUp() override
    {
        LoadFiles(kEditModel, kEditPages);
        BuildPage("Edits");
    }
    static wxTextCtrl& EditOf(const char* name)
    {
        if (auto* edit = WidgetOf<wxTextCtrl>(name))
            return *edit;
        throw std::runtime_error(std::string("no edit field for ") + name);
    }
};

void TypeChars(wxTextCtrl& edit, const wxString& chars)
{
    for (wxUniChar c : chars) {
        wxKeyEvent event(wxEVT_CHAR);
        event.SetEventObject(&edit);
        event.m_keyCode = static_cast<int>(c.GetValue());
        event.m_uniChar = c;
        edit.GetEventHandler()->ProcessEvent(event);
    }
}

TEST_F(EditControlsTest, AnEditCommitsWhenTheUserIsDoneNotOnEveryKeystroke)
{
    wxTextCtrl& prefix = EditOf("PRESET");
    EXPECT_EQ("AB", prefix.GetValue());
    prefix.SetValue("AB@");  // what a keystroke leaves
    EXPECT_EQ("AB", Setting("PRESET").Value);
    EXPECT_FALSE(IsPending("PRESET"));
    PressEnter(prefix);
    EXPECT_EQ("AB@", Setting("PRESET").Value);
    EXPECT_EQ("AB@", Setting("PRESET").ValueText);
    EXPECT_TRUE(IsPending("PRESET"));
    prefix.SetValue("AB");
    Leave(prefix);
    EXPECT_EQ("AB", Setting("PRESET").Value);
    EXPECT_FALSE(IsPending("PRESET"));  // back to what the device holds

    // After a file was loaded the field shows the loaded value.
    Setting("PRESET").Value = "ZZ";
    GetControlFactory()->RefreshControl(Setting("PRESET").Control, 2);
    EXPECT_EQ("ZZ", prefix.GetValue());

    wxTextCtrl& firmware = EditOf("FWVERS");
    EXPECT_FALSE(firmware.IsEditable());
    firmware.ChangeValue("9.99");
    Leave(firmware);
    EXPECT_EQ("1.02", Setting("FWVERS").Value);
    EXPECT_TRUE(m_messages.Texts().empty());

    // Typing stops at the setting's length, as a number stops at its maximum.
    prefix.ChangeValue("");
    for (int typed = 0; typed < 42; ++typed)
        prefix.WriteText("x");
    EXPECT_EQ(wxString('x', 10), prefix.GetValue());
    prefix.ChangeValue("ZZ");

    // "€" would reach the scanner as "?": refused, naming the setting, nothing changed.
    prefix.SetValue(wxString::FromUTF8("\xE2\x82\xAC" "5"));
    PressEnter(prefix);
    EXPECT_EQ("ZZ", Setting("PRESET").Value);
    EXPECT_EQ("ZZ", prefix.GetValue());
    ASSERT_EQ(1u, m_messages.Texts().size());
    EXPECT_TRUE(m_messages.Texts()[0].StartsWith("Prefix (PRESET): ")) << m_messages.Texts()[0];
}

// Pressing a button such as Write to scanner moves the focus before the button acts,
// so a value typed and not yet committed reaches the setting first.
TEST_F(EditControlsTest, ATypedValueIsCommittedBeforeAButtonPressActs)
{
    auto* write = new wxButton(m_page, wxID_ANY, "Write", wxPoint(10, 500), wxSize(120, 30));
    wxString valueWhenPressed;
    write->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { valueWhenPressed = Setting("PRESET").Value; });
    auto painted = std::make_shared<bool>(false);  // the window is on the screen before the pointer moves
    m_page->Bind(wxEVT_PAINT, [painted](wxPaintEvent& event) {
        *painted = true;
        event.Skip();
    });
    m_frame->Show();
    m_frame->Raise();
    ASSERT_TRUE(RunUntil([painted] { return *painted; }, 5));
    wxTextCtrl& prefix = EditOf("PRESET");
    prefix.SetFocus();
    wxYield();
    prefix.SetValue("XY");
    wxUIActionSimulator mouse;
    mouse.MouseMove(write->GetScreenPosition() + wxPoint(20, 10));
    mouse.MouseClick();
    RunUntil([&] { return !valueWhenPressed.empty(); }, 1);
    EXPECT_EQ("XY", valueWhenPressed);

    // A click on the key pad does not take the focus: a key is part of the entry, not its end.
    m_dir.CopyShippedData();  // the pad's layouts
    auto* keyboard = dynamic_cast<CEdidHexKeyboardControl*>(Setting("SCNTCT").Control);
    ASSERT_NE(nullptr, keyboard);
    keyboard->ShowKeyPad(true);
    ASSERT_NE(nullptr, keyboard->GetKeyPad());
    const SKeyRecord& keyA = keyboard->GetKeyPad()->CurrentLayout().keys[KeyIndex(*keyboard->GetKeyPad(), "A")];
    wxTextCtrl& trigger = EditOf("SCNTCT");
    trigger.SetFocus();
    wxYield();
    trigger.SetInsertionPointEnd();
    mouse.MouseMove(keyboard->GetKeyPad()->ClientToScreen(wxPoint(keyA.left + 4, keyA.top + 4)));
    mouse.MouseClick();
    RunUntil([&] { return trigger.GetValue() != "0D"; }, 1);
    EXPECT_EQ("0D0004", trigger.GetValue());
    EXPECT_EQ("0D", Setting("SCNTCT").Value);
    EXPECT_EQ(&trigger, wxWindow::FindFocus());
}

TEST_F(EditControlsTest, ARangeEditKeepsItsLimitsAndItsPartnersOrder)
{
    wxTextCtrl& gain = EditOf("GAINST");
    gain.SetValue("250");
    EXPECT_EQ("100", gain.GetValue());
    gain.SetValue("5");
    Leave(gain);
    EXPECT_EQ("5", Setting("GAINST").Value);
    EXPECT_TRUE(IsPending("GAINST"));

    gain.SetValue("");
    Leave(gain);
    EXPECT_EQ(std::vector<wxString>{"Gain-> Range: 1-100"}, m_messages.Texts());
    EXPECT_EQ("1", gain.GetValue());
    EXPECT_EQ("1", Setting("GAINST").Value);

    wxTextCtrl& top = EditOf("CADTOP");
    top.SetValue("300");
    Leave(top);
    ASSERT_EQ(2u, m_messages.Texts().size());
    EXPECT_EQ(wxString::FromUTF8("Bottom 必须大于 Top"), m_messages.Texts()[1]);
    EXPECT_EQ("0", top.GetValue());  // the default keeps the order
    EXPECT_EQ("0", Setting("CADTOP").Value);
    EXPECT_FALSE(IsPending("CADTOP"));
}

TEST_F(EditControlsTest, HexEditsTakeBytesWithinTheirLimitsAndTheTriggerRefusesTheCommandHeader)
{
    CControlBase& row = *Setting("PREHEX").Control;
    wxTextCtrl& hex = EditOf("PREHEX");
    ASSERT_TRUE(row.HintStatic);
    EXPECT_TRUE(row.HintStatic->GetLabel().EndsWith(" 4")) << row.HintStatic->GetLabel();  // the length rule

    hex.ChangeValue("");
    // "7F" is above the maximum 7E, "x" no digit, and four bytes the most.
    TypeChars(hex, "7fe4x1414141");
    EXPECT_EQ("7E414141", hex.GetValue());

    hex.SetValue("1F41");
    Leave(hex);
    EXPECT_EQ("2041", hex.GetValue());
    EXPECT_EQ("2041", Setting("PREHEX").Value);
    EXPECT_TRUE(IsPending("PREHEX"));
    wxTextCtrl* preview = nullptr;
    for (wxWindow* child : m_page->GetChildren()) {
        auto* text = dynamic_cast<wxTextCtrl*>(child);
        if (text && text != &hex && !text->IsEnabled())
            preview = text;
    }
    ASSERT_NE(nullptr, preview);
    EXPECT_EQ(" A", preview->GetValue());

    // Only hexadecimal digits may be pasted; blanks between them are dropped.
    for (const char* clipboard : {"41 4G", "42 43"}) {
        ASSERT_TRUE(wxTheClipboard->Open());
        wxTheClipboard->SetData(new wxTextDataObject(clipboard));
        wxTheClipboard->Close();
        hex.SetSelection(-1, -1);
        wxClipboardTextEvent paste(wxEVT_TEXT_PASTE, hex.GetId());
        paste.SetEventObject(&hex);
        hex.GetEventHandler()->ProcessEvent(paste);
    }
    EXPECT_EQ(std::vector<wxString>{wxString::FromUTF8("粘贴内容不全为十六进制")}, m_messages.Texts());
    EXPECT_EQ("4243", hex.GetValue());

    // The keyboard edit of the trigger setting refuses the command header.
    wxTextCtrl& trigger = EditOf("SCNTCT");
    trigger.ChangeValue("");
    TypeChars(trigger, "3f0d");
    Leave(trigger);
    ASSERT_EQ(2u, m_messages.Texts().size());
    EXPECT_EQ(wxString::FromUTF8("Trigger 开头不能包含 3F"), m_messages.Texts()[1]);
    EXPECT_EQ("", trigger.GetValue());
    EXPECT_EQ("", Setting("SCNTCT").Value);
    EXPECT_TRUE(IsPending("SCNTCT"));
}

// A pad key goes in as the modifier and the key code, never inside another key, under
// the limits of typing; the field commits when it is left, as after typing.
TEST_F(EditControlsTest, AKeyPadKeyGoesInAsModifierAndCodeUnderTheTypingLimits)
{
    m_dir.CopyShippedData();  // the pad's layouts
    auto* row = dynamic_cast<CEdidHexKeyboardControl*>(Setting("KBWEND").Control);
    ASSERT_NE(nullptr, row);
    EXPECT_EQ(30, row->Height);  // the pad opens on demand
    wxCommandEvent toggle(wxEVT_TOGGLEBUTTON, row->GetKeyPadButton()->GetId());
    toggle.SetInt(1);
    row->GetKeyPadButton()->GetEventHandler()->ProcessEvent(toggle);
    CKeyBoardCtrl* pad = row->GetKeyPad();
    ASSERT_NE(nullptr, pad);
    EXPECT_GE(pad->GetPosition().y, EditOf("KBWEND").GetRect().GetBottom());
    EXPECT_GE(row->Height, 30 + pad->GetSize().GetHeight());

    wxTextCtrl& keys = EditOf("KBWEND");
    keys.SetInsertionPoint(1);
    pad->PressKey(KeyIndex(*pad, "LShift"));
    pad->PressKey(KeyIndex(*pad, "Tab"));
    EXPECT_EQ("0028022B", keys.GetValue());
    EXPECT_EQ("0028", Setting("KBWEND").Value);
    pad->PressKey(KeyIndex(*pad, "A"));  // a third key is over the four bytes
    EXPECT_EQ("0028022B", keys.GetValue());
    keys.SetSelection(0, 4);
    pad->PressKey(KeyIndex(*pad, "Esc"));
    EXPECT_EQ("0029022B", keys.GetValue());
    Leave(keys);
    EXPECT_EQ("0029022B", Setting("KBWEND").Value);
    EXPECT_TRUE(IsPending("KBWEND"));

    row->Show(false);  // its group closed
    EXPECT_FALSE(pad->IsShown());
    row->Show(true);
    EXPECT_TRUE(pad->IsShown());
    row->ShowKeyPad(false);
    EXPECT_FALSE(pad->IsShown());
    EXPECT_EQ(30, row->Height);
}

TEST_F(EditControlsTest, ADatePickerCommitsTheDateAsYearMonthDay)
{
    CControlBase& row = *Setting("DATEST").Control;
    EXPECT_EQ(wxDateTime::Today().FormatISODate(), Setting("DATEST").Value);
    auto* picker = dynamic_cast<wxDatePickerCtrl*>(row.GetValueWnd());
    ASSERT_NE(nullptr, picker);
    // A 20-pixel row, grown to the toolkit's picker so that it covers nothing below.
    EXPECT_GE(row.Height, 20);
    EXPECT_GE(row.Height, picker->GetSize().GetHeight());
    const wxDateTime chosen(7, wxDateTime::Mar, 2024);
    picker->SetValue(chosen);
    wxDateEvent event(picker, chosen, wxEVT_DATE_CHANGED);
    picker->GetEventHandler()->ProcessEvent(event);
    EXPECT_EQ("2024-03-07", Setting("DATEST").Value);
    EXPECT_TRUE(IsPending("DATEST"));

    GetControlFactory()->RefreshControl(&row, 0);  // back to the device's date
    EXPECT_EQ(wxDateTime::Today(), picker->GetValue());
}

}  // namespace
