// The pending-change list: one entry per changed setting, names in step, and the
// send-at-once mode that never touches the link settings.
#include "device/HBDataStreamMnt.h"
#include "model/CmdNameXmlInfo.h"

#include "support/CoreTest.h"
#include "support/LinkFixture.h"
#include "support/ScriptedScanner.h"

#include <gtest/gtest.h>

namespace {

class PendingChangeListTest : public CCoreTest {
protected:

    static std::unique_ptr<CCmdNameXmlInfo> Setting(const wxString& name, const wxString& deviceValue)
    {
        auto definition = std::make_unique<CCmdNameXmlInfo>();
        definition->CommandName = name;
        definition->ControlType = "COMBOBOX";
        definition->Value = definition->DeviceValue = deviceValue;
        return definition;
    }

    CPendingChangeList& Changes() { return CPendingChangeList::GetInstance(); }
    CScriptedScanner m_scanner;
};

TEST_F(PendingChangeListTest, EntriesAndNamesStayInStep)
{
    auto volume = Setting("BEPLVL", "2");
    auto sameCommandElsewhere = Setting("BEPLVL", "2");
    auto mode = Setting("SCNMOD", "0");
    int repaints = 0;
    Changes().SetRepaintHandler([&repaints] { ++repaints; });

    volume->SetValue("1");
    volume->SetValue("0");
    sameCommandElsewhere->SetValue("1");  // the command is already listed
    mode->SetValue("2");
    ASSERT_EQ(2u, Changes().GetEntries().size());
    EXPECT_EQ(volume.get(), Changes().GetEntries()[0]);
    EXPECT_EQ((std::vector<wxString>{"BEPLVL", "SCNMOD"}), Changes().GetNames());
    EXPECT_EQ(6, repaints);  // four changes, and the two adds of a listed command repaint too

    Changes().RemoveChange(sameCommandElsewhere.get());  // removes the entry of its command
    EXPECT_EQ(std::vector<wxString>{"SCNMOD"}, Changes().GetNames());
    EXPECT_EQ(std::vector<CCmdNameXmlInfo*>{mode.get()}, Changes().GetEntries());

    Changes().ClearChanges();
    EXPECT_TRUE(Changes().GetEntries().empty());
    EXPECT_TRUE(Changes().GetNames().empty());
}

TEST_F(PendingChangeListTest, SendAtOnceSendsATemporarySettingButNeverALinkSettingInAnyCase)
{
    auto volume = Setting("BEPLVL", "2");
    auto baud = Setting("232bad", "4");
    Changes().SetSendAtOnce(1);

    volume->SetValue("1");  // offline: nothing to send to
    EXPECT_TRUE(m_scanner.Requests().empty());

    GoOnline(m_scanner.Path());
    m_scanner.Script({ReplyFrame("BEPLVL0\x06")});
    baud->SetValue("8");
    volume->SetValue("0");
    // The send is a job on the line: one queued behind it ends after it.
    CHBDataStreamMnt::GetInstance().Jobs().Run(LineUsers::kExchange, [](CLineJob&) { return true; });
    const std::vector<std::string> requests = m_scanner.Requests();
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ(std::string("~\x01" "0000#BEPLVL0;\x03"), requests[0]);
    EXPECT_EQ(2u, Changes().GetEntries().size());

    Changes().SetSendAtOnce(0);
    volume->SetValue("1");
    CHBDataStreamMnt::GetInstance().Jobs().Run(LineUsers::kExchange, [](CLineJob&) { return true; });
    EXPECT_EQ(1u, m_scanner.Requests().size());
    for (const char* name : {"INTERF", "232BAD", "kbwpor", "232Par", "232STP", "232DAT", "232FLW", "232AFL"})
        EXPECT_TRUE(CPendingChangeList::IsLinkCommand(name)) << name;
    EXPECT_FALSE(CPendingChangeList::IsLinkCommand("232BAU"));
    EXPECT_FALSE(CPendingChangeList::IsLinkCommand(""));
}

}  // namespace
