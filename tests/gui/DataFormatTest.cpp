// The data-format panel of a setting and the rule editor it opens.
#include "DataFormatControl.h"
#include "DataFormatControlDlg.h"
#include "DataFormatatterDlg.h"
#include "KeyBoardCtrl.h"

#include "AppContext.h"

#include "GuiTestSupport.h"
#include "UiText.h"

#include <wx/button.h>

namespace {

const char kModel[] = R"(<DeviceConfiguration>
 <Command><CommandName>DFMADD</CommandName><CmdGetLen>50</CmdGetLen></Command>
 <Command><CommandName>DFMSET</CommandName><CmdGetLen>50</CmdGetLen></Command>
</DeviceConfiguration>)";

const char kPages[] = R"(<Pages>
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
        LoadFiles(kModel, kPages);
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

TEST_F(DataFormatPanelTest, AFormatOfFourRulesIsBuiltInTheEditorWithItsPreviewFollowing)
{
    CDataFormatatterDlg editor(m_frame, "F10", 38, {"EAN-13", "Code 128"});
    ASSERT_EQ(1u, m_messages.Texts().size());  // the invalid text is named and not taken
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

}  // namespace

namespace {

// The key pad over the shipped layouts: a latched modifier goes into the next key's
// code, and the European layout has its extra key.
TEST(KeyBoardCtrlTest, KeysComeWithTheLatchedModifierAndTheLayoutsSwitch)
{
    CTempDir dir;
    dir.CopyShippedData();
    CAppContext::GetInstance().SetProgramDirectory(dir.Path());
    auto* frame = new wxFrame(nullptr, wxID_ANY, "pad");
    std::vector<wxString> typed;
    auto* pad = new CKeyBoardCtrl(frame, [&](const SKeyRecord&, const wxString& code) { typed.push_back(code); });
    pad->LoadLayouts();
    ASSERT_EQ(104u, pad->CurrentLayout().count);
    const auto indexOf = [pad](const char* legend) {
        for (size_t i = 0; i < pad->CurrentLayout().count; ++i) {
            if (pad->CurrentLayout().keys[i].bottomText == legend)
                return i;
        }
        ADD_FAILURE() << legend;
        return size_t(0);
    };
    pad->PressKey(indexOf("LShift"));
    pad->PressKey(indexOf("A"));
    pad->PressKey(indexOf("Enter"));
    EXPECT_EQ(std::vector<wxString>({"0204", "0028"}), typed);
    uint8_t byte = 0;
    EXPECT_TRUE(pad->KeyNames().Find("[Enter]", byte));
    EXPECT_EQ(0x28, byte);
    pad->ShowLayout(true);
    EXPECT_EQ(105u, pad->CurrentLayout().count);
    EXPECT_GT(indexOf("<>"), 0u);
    frame->Destroy();
}

}  // namespace
