// What the list controls offer and commit: which items a list shows, the custom
// entry, the toggle's two states and the failure text.
#include "config/PendingChangeList.h"
#include "model/CmdNameXmlInfo.h"
#include "regCtrl/rules/ListControlRules.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class ListRulesTest : public ::testing::Test {
protected:
    void TearDown() override { CPendingChangeList::ResetInstance(); }

    CCmdNameXmlInfo& Define(const wxString& settings, const wxString& device, const wxString& value)
    {
        m_definition.CommandName = "BEPLVL";
        m_definition.SettingsList = settings;
        m_definition.DeviceSettingsList = device;
        m_definition.Value = m_definition.DeviceValue = value;
        return m_definition;
    }

    CCmdNameXmlInfo m_definition;
};

std::vector<wxString> LabelsOf(const std::vector<SSettingsListItem>& items)
{
    std::vector<wxString> labels;
    for (const SSettingsListItem& item : items)
        labels.push_back(item.ItemLabel);
    return labels;
}

using Labels = std::vector<wxString>;

TEST_F(ListRulesTest, AHiddenItemIsOfferedOnlyWhileItIsTheCurrentValue)
{
    CCmdNameXmlInfo& power = Define("0:Off|1:On|2:Auto", "0|1", "0");
    power.UnSupportSettingsList = "1";
    EXPECT_EQ(Labels{"Off"}, LabelsOf(ComboBoxItems(power)));
    power.Value = "1";
    EXPECT_EQ((Labels{"Off", "On"}), LabelsOf(ComboBoxItems(power)));
    EXPECT_EQ((Labels{"Off", "On", "Auto"}), LabelsOf(EditComboBoxItems(power)));

    // A group also shows what the scanner holds when the model's list forgot it.
    power.Value = power.DeviceValue = "2";
    EXPECT_EQ(Labels{"Off"}, LabelsOf(ComboBoxItems(power)));
    EXPECT_EQ((Labels{"Off", "Auto"}), LabelsOf(GroupItems(power)));

    power.DeviceSettingsList.clear();
    power.UnSupportSettingsList.clear();
    EXPECT_TRUE(ComboBoxItems(power).empty());
}

TEST_F(ListRulesTest, TheCustomEntryComesLastOfflineAndOnlineOnlyWithARange)
{
    CCmdNameXmlInfo& delay = Define("", "None:0|Short:5|Long:40|", "5");
    EXPECT_EQ((Labels{"None", "Short", "Long", "Custom"}), LabelsOf(CustomComboBoxItems(delay, false, "Custom")));
    EXPECT_EQ(kCustomEntryValue, CustomComboBoxItems(delay, false, "Custom").back().ItemValue);
    EXPECT_EQ(40, CustomComboBoxItems(delay, false, "Custom")[2].ItemValue);
    EXPECT_EQ(3u, CustomComboBoxItems(delay, true, "Custom").size());
    delay.RangeWithList = 1;
    EXPECT_EQ(4u, CustomComboBoxItems(delay, true, "Custom").size());

    int32_t number = -1;
    EXPECT_TRUE(ReadCustomNumber("0042", number));
    EXPECT_EQ(42, number);
    for (const char* garbage : {"", "12a", "-3", " 7", "1.5"})
        EXPECT_FALSE(ReadCustomNumber(garbage, number)) << garbage;
    EXPECT_EQ(42, number);
}

TEST_F(ListRulesTest, AToggleNeedsExactlyTwoStatesAndCommitsOnlyANewValue)
{
    CCmdNameXmlInfo& beep = Define("0:Off|1:On", "", "3");
    beep.Minimum = 2;
    beep.Maximum = 3;
    SToggleStates states;
    ASSERT_TRUE(ReadToggleStates(beep, true, states));
    EXPECT_TRUE(IsToggleOn(states, "7"));  // anything but the off value is on
    EXPECT_FALSE(IsToggleOn(states, "2"));
    wxString value, label;
    EXPECT_TRUE(ToggleCommit(states, false, "3", value, label));
    EXPECT_EQ("2", value);
    EXPECT_EQ("Off", label);
    EXPECT_FALSE(ToggleCommit(states, true, "3", value, label));

    for (const char* notAPair : {"0:Off|1:On|2:Loud", "garbage", ""}) {
        beep.SettingsList = notAPair;
        EXPECT_FALSE(ReadToggleStates(beep, false, states)) << notAPair;
    }
}

TEST_F(ListRulesTest, FailedCommandsAreListedBehindTheSaveErrorText)
{
    EXPECT_EQ(wxString::FromUTF8("保存失败 \r\n命令 :[BEPLVL] 命令 :[SCNMOD] "),
              FailedCommandsText({"BEPLVL", "SCNMOD"}));
    EXPECT_EQ(121, RadioGroupHeight(3));  // 34 + 29 per button
}

}  // namespace
