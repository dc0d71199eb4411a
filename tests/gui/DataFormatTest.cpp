// The data-format panel of a setting and the rule editor it opens.
#include "dataformat/gui/DataFormatControlDlg.h"
#include "dataformat/gui/DataFormatterDlg.h"
#include "regCtrl/object/DataFormatControl.h"
#include "UI/gui/KeyBoardCtrl.h"

#include "app/AppContext.h"

#include "GuiTestSupport.h"
#include "app/UiText.h"

#include <wx/button.h>

namespace {

const char kFormatModel[] = R"(<DeviceConfiguration>
 <Command><CommandName>DFMADD</CommandName><CmdGetLen>50</CmdGetLen></Command>
 <Command><CommandName>DFMSET</CommandName><CmdGetLen>50</CmdGetLen></Command>
</DeviceConfiguration>)";

const char kFormatPages[] = R"(<Pages>
 <Page><Value>Formats</Value>
  <GroupName><Value>All</Value>
   <Command><CommandName>DFMADD</CommandName><FriendlyText>Formats</FriendlyText><ControlType>DATAFORMAT</ControlType><CmdGetLen>50</CmdGetLen></Command>
   <Command><CommandName>DFMSET</CommandName><FriendlyText>Fixed</FriendlyText><ControlType>DATAFORMAT</ControlType><CmdGetLen>50</CmdGetLen></Command>
  </GroupName>
 </Page>
</Pages>)";

const wxString kTwoUnits = "Data Format 0:069999999999F10D|069999990012E903;\r\nData Format 1:;\r\nData Format 2:;\r\n"
                           "Data Format 3:;\r\n";

class DataFormatPanelTest : public PageFixture {
protected:
    void SetUp() override
    {
        LoadFiles(kFormatModel, kFormatPages);
        BuildPage("Formats");
    }
    static CDataFormatControlDlg& PanelOf(const char* name)
    {
        return *static_cast<CDataFormatControl*>(Setting(name).Control)->GetPanel();
    }
};

TEST_F(DataFormatPanelTest, AListValueLoadsAsRowsThatGrowAndShrinkAndComputeTheSameValue)
{
    CDataFormatControlDlg& panel = PanelOf("DFMADD");
    ASSERT_TRUE(panel.IsListMode());
    EXPECT_EQ(1u, panel.GetUnits().size());
    panel.LoadValue(kTwoUnits);
    ASSERT_EQ(3u, panel.GetUnits().size());  // the two formats and the empty row for the next
    EXPECT_EQ(kTwoUnits, panel.ComputeValue());
    EXPECT_EQ(kTwoUnits, Setting("DFMADD").Value);
    EXPECT_TRUE(IsPending("DFMADD"));

    // Rules typed into the empty last row add a row; emptying an earlier row removes it.
    wxTextCtrl& last = *panel.GetUnits()[2]->GetRuleBox();
    last.ChangeValue("B3");
    PressEnter(last);
    ASSERT_EQ(4u, panel.GetUnits().size());
    wxTextCtrl& first = *panel.GetUnits()[0]->GetRuleBox();
    first.ChangeValue("");
    PressEnter(first);
    ASSERT_EQ(3u, panel.GetUnits().size());
    EXPECT_EQ("Data Format 0:069999990012E903|069999999999B3;\r\nData Format 1:;\r\nData Format 2:;\r\n"
              "Data Format 3:;\r\n",
              Setting("DFMADD").Value);
    EXPECT_TRUE(m_messages.Texts().empty());
}

TEST_F(DataFormatPanelTest, ATypedRuleTextIsCheckedAndARefusedOneGivesThePreviousBack)
{
    CDataFormatControlDlg& panel = PanelOf("DFMSET");
    ASSERT_EQ(4u, panel.GetUnits().size());
    CDataFormatUnitDlg& unit = *panel.GetUnits()[1];
    wxTextCtrl& box = *unit.GetRuleBox();
    box.ChangeValue("F10D");
    PressEnter(box);
    EXPECT_EQ("Data Format 0:;\r\nData Format 1:169999999999F10D;\r\nData Format 2:;\r\nData Format 3:;\r\n",
              Setting("DFMSET").Value);

    m_messages.Answer(wxYES);
    box.ChangeValue("F10");  // no valid rule text: asked, and Yes puts F10D back
    PressEnter(box);
    EXPECT_EQ("F10D", box.GetValue());
    m_messages.Answer(wxNO);
    box.ChangeValue("F1");  // No leaves the text to be corrected, and the value as it was
    PressEnter(box);
    EXPECT_EQ("F1", box.GetValue());
    EXPECT_EQ("F10D", unit.GetRules());

    box.ChangeValue("B3B3B3B3B3B3B3B3B3B3B3B3B3B3B3B3B3B3B3B3");  // 40 > 50 - 12
    PressEnter(box);
    EXPECT_EQ("F10D", box.GetValue());
    ASSERT_EQ(3u, m_messages.Texts().size());
    EXPECT_TRUE(m_messages.Texts()[2].EndsWith("38")) << m_messages.Texts()[2];
}

// A value read, reset or loaded replaces every row; rows are found by their number.
TEST_F(DataFormatPanelTest, ANewValueReplacesEveryRowAndNewListRowsKeepTheValuesNumber)
{
    CDataFormatControlDlg& fixed = PanelOf("DFMSET");
    fixed.LoadValue("Data Format 0:069999999999F10D;\r\nData Format 1:;\r\nData Format 2:269999999999B3;\r\n"
                    "Data Format 3:;\r\n");
    Pick(fixed.GetUnits()[0]->GetTypeChoice(), "Data Format 3");
    const struct {
        wxString loaded;
        wxString computed;
    } loads[] = {{"Data Format 0:;\r\nData Format 1:169999999999B4;\r\nData Format 2:;\r\nData Format 3:;\r\n", ""},
                 {"", "Data Format 0:;\r\nData Format 1:;\r\nData Format 2:;\r\nData Format 3:;\r\n"}};
    for (const auto& load : loads) {
        fixed.LoadValue(load.loaded);
        EXPECT_EQ(load.computed.empty() ? load.loaded : load.computed, fixed.ComputeValue());
        EXPECT_EQ(fixed.ComputeValue(), Setting("DFMSET").Value);
    }

    CDataFormatControlDlg& list = PanelOf("DFMADD");
    list.LoadValue("Data Format 0:;\r\nData Format 1:;\r\nData Format 2:269999999999B3;\r\nData Format 3:;\r\n");
    wxTextCtrl& next = *list.GetUnits().back()->GetRuleBox();
    next.ChangeValue("B4");
    PressEnter(next);
    EXPECT_EQ("Data Format 0:;\r\nData Format 1:;\r\nData Format 2:269999999999B3|269999999999B4;\r\nData Format 3:;\r\n",
              list.ComputeValue());
}

// A rule text that cannot be read is named where it is wrong, and neither the editor
// nor a symbology the list lacks changes the unit unasked.
TEST_F(DataFormatPanelTest, AFaultyRuleIsNamedAndNothingTheUnitHoldsIsLostUnasked)
{
    CDataFormatControlDlg& fixed = PanelOf("DFMSET");
    const wxString unknown = "Data Format 0:069990770012B3;\r\nData Format 1:;\r\nData Format 2:;\r\nData Format 3:;\r\n";
    fixed.LoadValue(unknown);
    EXPECT_EQ(unknown, fixed.ComputeValue());
    EXPECT_NE(wxNOT_FOUND, fixed.GetUnits()[0]->GetSymbologyChoice()->GetStringSelection().Find("077"));

    wxTextCtrl& box = *fixed.GetUnits()[1]->GetRuleBox();
    m_messages.Answer(wxNO);
    box.ChangeValue("F10DF1zz");
    PressEnter(box);
    ASSERT_EQ(1u, m_messages.Texts().size());
    // How a fault is worded is the rule codec's test; the panel must show it.
    EXPECT_NE(wxNOT_FOUND, m_messages.Texts()[0].Find("F1zz")) << m_messages.Texts()[0];

    for (const int answer : {wxNO, wxYES}) {
        CDataFormatterDlg editor(m_frame, "E6 -", 38, {"EAN-13"});
        editor.SetReturnCode(wxID_CANCEL);
        m_messages.Answer(answer);
        editor.Finish();
        EXPECT_EQ(answer == wxYES ? wxID_OK : wxID_CANCEL, editor.GetReturnCode());
    }
    EXPECT_EQ(5u, m_messages.Texts().size()) << "each opening names the fault, each finish asks";
}

TEST_F(DataFormatPanelTest, AFormatOfFourRulesIsBuiltInTheEditorWithItsPreviewFollowing)
{
    CDataFormatterDlg editor(m_frame, "F10", 38, {"EAN-13", "Code 128"});
    ASSERT_EQ(1u, m_messages.Texts().size());  // the invalid text is named and not taken
    editor.ShowPad(1);  // so that "[ CR]" is a name
    editor.SetSample("12-345", 0);
    std::vector<wxString> previews;
    const struct {
        const char* code;
        std::vector<const char*> fields;
    } steps[] = {{"F8", {"-"}}, {"F5", {"1"}}, {"F1", {"[ CR]"}}, {"B3", {}}};
    for (const auto& step : steps) {
        ASSERT_TRUE(editor.ChooseRuleKind(step.code));
        for (size_t i = 0; i < step.fields.size(); ++i)
            editor.SetFieldText(i, step.fields[i]);
        editor.PressAddOrReplace();
        previews.push_back(editor.GetPreviewText());
    }
    EXPECT_EQ("F82DF501F10DB3", editor.GetRuleText());
    EXPECT_EQ(std::vector<wxString>({"", "", "345[CR]", "345[CR]EAN-13"}), previews);

    // Picked from the list, a rule is edited in place; moved, it changes the order.
    editor.PickRule(1);
    ASSERT_TRUE(editor.IsEditMode());
    editor.SetFieldText(0, "2");
    editor.PressAddOrReplace();
    EXPECT_EQ("F82DF502F10DB3", editor.GetRuleText());
    EXPECT_EQ("45[CR]EAN-13", editor.GetPreviewText());
    editor.PickRule(3);
    editor.MoveRule(-1);
    editor.DeleteRule();  // the moved rule stays selected
    EXPECT_EQ("F82DF502F10D", editor.GetRuleText());

    // An empty field is named; a full list refuses more.
    ASSERT_TRUE(editor.ChooseRuleKind("F1"));
    editor.PressAddOrReplace();
    ASSERT_EQ(2u, m_messages.Texts().size());
    EXPECT_TRUE(m_messages.Texts()[1].EndsWith(GetUiText("ID_DATAFORMAT_ERROR_EMPTY", "")));
    ASSERT_TRUE(editor.ChooseRuleKind("B0"));
    editor.SetFieldText(0, "abcdefghijklmn");
    editor.PressAddOrReplace();  // 12 + 34 characters: over 38 for the next rule
    ASSERT_TRUE(editor.ChooseRuleKind("B4"));
    editor.PressAddOrReplace();
    ASSERT_EQ(3u, m_messages.Texts().size());
    EXPECT_TRUE(m_messages.Texts()[2].EndsWith("38"));
    EXPECT_EQ(46u, editor.GetRuleText().length());
}

// The pads' layouts come with the shipped data.
class ShippedPadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir.CopyShippedData();
        CAppContext::GetInstance().SetProgramDirectory(m_dir.Path());
    }
    void TearDown() override { m_frame->Destroy(); }

    CTempDir m_dir;
    wxFrame* m_frame = new wxFrame(nullptr, wxID_ANY, "pads");
};

// The key pad gives a character field the character a key types and a key-stroke
// field the key's code with its modifier.
TEST_F(ShippedPadTest, TheKeyPadTypesCharactersIntoCharacterFieldsAndKeysIntoKeyFields)
{
    CDataFormatterDlg editor(m_frame, "", 0, {"EAN-13"});
    editor.ShowPad(2);
    // With the tallest pad open the editor still fits a 1366 x 768 screen and its panel.
    EXPECT_LE(editor.GetSize().GetHeight(), 720);
    EXPECT_LE(editor.GetSize().GetWidth(), 1366);
    CKeyBoardCtrl& pad = *editor.GetKeyPad();
    const struct {
        const char* code;
        size_t field;
        std::vector<const char*> keys;
        const char* shown;
    } steps[] = {{"F2", 1, {"LShift", "A"}, "A"},
                 {"F1", 0, {"Enter"}, "[Enter]"},
                 {"FB", 0, {"F10", "1"}, "[F10]1"},
                 {"B5", 0, {"LShift", "Tab"}, "022B"}};
    const auto enter = [&editor](size_t field) {
        wxFocusEvent focus(wxEVT_SET_FOCUS, editor.GetField(field)->GetId());
        editor.GetField(field)->GetEventHandler()->ProcessEvent(focus);
        editor.GetField(field)->ChangeValue("");
    };
    for (const auto& step : steps) {
        ASSERT_TRUE(editor.ChooseRuleKind(step.code));
        editor.SetFieldText(0, "3");
        enter(step.field);
        for (const char* key : step.keys)
            pad.PressKey(KeyIndex(pad, key));
        EXPECT_EQ(step.shown, editor.GetField(step.field)->GetValue()) << step.code;
        editor.PressAddOrReplace();
    }
    // While the key pad shows, its names stand for its key codes: Enter 0x28, F10 0x43.
    EXPECT_EQ("F20341F128FB024331B501022B", editor.GetRuleText());

    // The ASCII pad comes when first asked for, in place of the key pad, and gives a
    // character field the name of the byte pressed.
    EXPECT_EQ(nullptr, editor.GetAsciiPad());
    editor.ShowPad(1);
    ASSERT_NE(nullptr, editor.GetAsciiPad());
    EXPECT_TRUE(editor.GetAsciiPad()->IsShown());
    EXPECT_FALSE(pad.IsShown());
    EXPECT_LE(editor.GetSize().GetHeight(), 720);
    ASSERT_TRUE(editor.ChooseRuleKind("F1"));
    enter(0);
    auto* tab = dynamic_cast<wxButton*>(wxWindow::FindWindowByLabel("[ HT]", editor.GetAsciiPad()));
    ASSERT_NE(nullptr, tab);
    Press(tab);
    EXPECT_EQ("[ HT]", editor.GetField(0)->GetValue());
}

// Which names a character field is read and shown in follows the pad on screen: the
// ASCII pad's while it shows, the key pad's otherwise. Switching the pad keeps the
// bytes a field stands for.
TEST_F(ShippedPadTest, CharacterFieldsAreReadAndShownInTheNamesOfThePadOnScreen)
{
    CDataFormatterDlg editor(m_frame, "", 0, {"EAN-13"});
    const struct {
        int pad;
        const char* code;
        const char* field;
        const char* rule;
    } typed[] = {
        {2, "F1", "[Enter]", "F128"}, {2, "F1", "[ CR]", "F15B"},       {1, "F1", "[ CR]", "F10D"},
        {1, "F1", "[Enter]", "F15B"}, {0, "F1", "[Esc]", "F129"},       {0, "F1", "[ HT]", "F15B"},
        {2, "FB", "a[Tab]b", "FB03612B62"}, {1, "FB", "a[ HT]b", "FB03610962"},
    };
    for (const auto& c : typed) {
        editor.ShowPad(c.pad);
        ASSERT_TRUE(editor.ChooseRuleKind(c.code));
        editor.SetFieldText(0, c.field);
        editor.PressAddOrReplace();
        EXPECT_TRUE(editor.GetRuleText().EndsWith(c.rule)) << c.pad << " " << c.field << ": " << editor.GetRuleText();
    }

    const struct {
        int pad;
        const char* rule;
        const char* shown;
    } picked[] = {
        {2, "F128", "("}, {2, "F10D", "[J]"}, {1, "F10D", "[ CR]"}, {2, "F141", "A"}, {2, "FB020D29", "[J])"},
    };
    for (const auto& c : picked) {
        CDataFormatterDlg shown(m_frame, c.rule, 0, {"EAN-13"});
        shown.ShowPad(c.pad);
        shown.PickRule(0);
        EXPECT_EQ(c.shown, shown.GetField(0)->GetValue()) << c.pad << " " << c.rule;
        shown.PressAddOrReplace();
        EXPECT_EQ(c.rule, shown.GetRuleText()) << "written back unchanged";
    }

    // A field typed under one pad keeps its bytes when the other pad is opened.
    const struct {
        int from;
        int to;
        const char* typedText;
        const char* shownAfter;
        const char* rule;
    } switched[] = {
        {1, 2, "[ CR]", "[J]", "FB010D"},
        {2, 1, "[Enter]", "(", "FB0128"},
        {1, 0, "x[ ESC]", "x[X]", "FB02781B"},
        {2, 0, "[Esc]", "[Esc]", "FB0129"},  // the key pad's names either way
    };
    for (const auto& c : switched) {
        CDataFormatterDlg switching(m_frame, "", 0, {"EAN-13"});
        switching.ShowPad(c.from);
        ASSERT_TRUE(switching.ChooseRuleKind("FB"));
        switching.SetFieldText(0, c.typedText);
        switching.ShowPad(c.to);
        EXPECT_EQ(c.shownAfter, switching.GetField(0)->GetValue()) << c.typedText;
        switching.PressAddOrReplace();
        EXPECT_EQ(c.rule, switching.GetRuleText()) << c.typedText;
    }
}

// The key pad over the shipped layouts: a latched modifier goes into the next key's
// code, and the European layout has its extra key.
TEST_F(ShippedPadTest, KeysComeWithTheLatchedModifierAndTheLayoutsSwitch)
{
    std::vector<wxString> typed;
    auto* pad = new CKeyBoardCtrl(m_frame, [&](const SKeyRecord&, const wxString& code) { typed.push_back(code); });
    pad->LoadLayouts();
    ASSERT_EQ(104u, pad->CurrentLayout().count);
    for (const char* legend : {"LShift", "A", "Enter"})
        pad->PressKey(KeyIndex(*pad, legend));
    EXPECT_EQ(std::vector<wxString>({"0204", "0028"}), typed);
    uint8_t byte = 0;
    EXPECT_TRUE(pad->KeyNames().Find("[Enter]", byte));
    EXPECT_EQ(0x28, byte);
    pad->ShowLayout(true);
    EXPECT_EQ(105u, pad->CurrentLayout().count);
    EXPECT_GT(KeyIndex(*pad, "<>"), 0u);
}

}  // namespace
