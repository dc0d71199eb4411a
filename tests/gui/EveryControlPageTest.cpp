// One page holding a setting of every control type: each kind gets its own control and row.
#include "pages/PageDlg.h"

#include "GuiTestSupport.h"

#include <typeinfo>

namespace {

const char* const kKeywords[] = {
    "COMBOBOX", "EDITCOMBOBOX", "COMBOBOXCUSTOM", "RADIOGROUP", "BUTTONGROUP", "RADIO", "RADIO#", "EDIT",
    "EDIT_READONLY", "RANGEEDIT", "HEXEDIT", "HEXEDITKEYBOARD", "DATATIME", "DEFCMD", "BUTTON", "BUTTONGETTEXT",
    "MNUCMD", "CODEID", "FILESELECT", "MULFILESELECT", "MULVALUE", "DATAFORMAT", "LICENSECODE", "COMMANDCENTER",
    "COMPAREDEFAULT", "COMPAREXML", "CREATEBARCODE", "IMAGE", "BATCHDATADLG",
};

std::string NameOf(size_t index)
{
    return "KND" + std::to_string(100 + index);
}

using EveryControlPage = PageFixture;

TEST_F(EveryControlPage, EachKeywordGetsItsOwnControlAndItsOwnRow)
{
    std::string model = "<DeviceConfiguration>";
    std::string rows;
    for (size_t i = 0; i < std::size(kKeywords); ++i) {
        model += "<Command><CommandName>" + NameOf(i) +
                 "</CommandName><SettingsList>0|1</SettingsList><Default>1</Default>"
                 "<Minimum>0</Minimum><Maximum>1</Maximum></Command>";
        rows += "<Command><CommandName>" + NameOf(i) + "</CommandName><FriendlyText>" + kKeywords[i] +
                "</FriendlyText><ControlType>" + kKeywords[i] + "</ControlType><SettingsList>0:Off|1:On</SettingsList></Command>";
    }
    LoadFiles((model + "</DeviceConfiguration>").c_str(),
              ("<Pages><Page><Value>All</Value><GroupName><Value>Every kind</Value>" + rows +
               "</GroupName><GroupName><Value>Second</Value>"
               "<Command><CommandName>KND100</CommandName><ControlType>EDIT</ControlType></Command>"
               "</GroupName></Page></Pages>")
                  .c_str());
    m_frame->SetSize(760, 1000);
    auto* page = new CPageDlg(m_frame, CPageMntXmlInfo::GetInstance().FindPage("All"));
    m_frame->Show();
    page->SetSize(m_frame->GetClientSize());
    page->BuildControls();

    const auto& commands = page->GetPage()->GetGroups().front()->GetCommands();
    ASSERT_EQ(std::size(kKeywords), commands.size());
    int32_t previousBottom = -1;
    for (const auto& definition : commands) {
        const std::string keyword(definition->ControlType.utf8_str());
        ASSERT_NE(nullptr, definition->Control) << keyword;
        const CControlBase& control = *definition->Control;
        EXPECT_EQ(definition->ControlType, control.ControlType);
        EXPECT_NE(typeid(CControlBase), typeid(control)) << keyword << " has a plain row";
        EXPECT_GT(control.OffsetY, previousBottom) << keyword << " overlaps the row above";
        previousBottom = control.OffsetY + control.Height;
    }
    // The rows may be apart and the widgets still overlap, when a widget is taller than its row.
    const wxWindow* previousWidget = nullptr;
    size_t comparedWidgets = 0;
    for (const auto& definition : commands) {
        const wxWindow* widget = definition->Control->GetValueWnd();
        if (!widget)
            continue;
        if (previousWidget && previousWidget->GetParent() == widget->GetParent()) {
            ++comparedWidgets;
            EXPECT_LE(previousWidget->GetRect().GetBottom(), widget->GetRect().GetTop())
                << definition->ControlType << " overlaps the widget above";
        }
        previousWidget = widget;
    }
    EXPECT_EQ(std::size(kKeywords) - 1, comparedWidgets) << "every row has a widget on the page";
}

}  // namespace
