// Building the pages for a connected (simulated) scanner: range edits without a value
// ask the scanner, and the first query it cannot answer stops the build there.
#include "AppContext.h"
#include "DeviceCmdNameMntXmlInfo.h"
#include "HBDataStreamMnt.h"
#include "InProcessScanner.h"
#include "PageMntXmlInfo.h"
#include "PendingChangeList.h"
#include "SaveCfg.h"
#include "SimulatedScanner.h"

#include "TempDir.h"

#include "LinkFixture.h"

#include <gtest/gtest.h>
#include <wx/file.h>

namespace {

const char kPages[] = R"(<Pages>
 <Page><Value>Scanning</Value>
  <GroupName><Value>Timing</Value>
   <Command><CommandName>SCNTMO</CommandName><ControlType>RANGEEDIT</ControlType></Command>
   <Command><CommandName>232PAR</CommandName><ControlType>RANGEEDIT</ControlType></Command>
   <Command><CommandName>SCNMOD</CommandName><ControlType>COMBOBOX</ControlType></Command>
  </GroupName>
 </Page>
</Pages>)";

class OnlineBuildTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CAppContext::GetInstance().SetProgramDirectory(m_dir.Path());
        wxFile model(VOSTREL_SIM_TEST_DATA "/SimTestModel.xml");
        wxString text;
        ASSERT_TRUE(model.ReadAll(&text));
        m_dir.Write("Config/Model.xml", std::string(text.utf8_str()));
        m_dir.Write("Config/pageinfo.xml", kPages);

        SSimScannerProfile profile;
        profile.baudRate = 115200;
        std::string error;
        auto scanner = CSimulatedScanner::FromModelFile(VOSTREL_SIM_TEST_DATA "/SimTestModel.xml", profile, error);
        ASSERT_TRUE(scanner) << error;
        m_scanner = std::make_unique<CInProcessScanner>(std::move(scanner));
        ASSERT_NE(nullptr, OpenTestDevice(m_scanner->Start(), 115200, 200));
        CSaveCfg::GetInstance().SetOnline(true);
    }
    void TearDown() override
    {
        CPageMntXmlInfo::ResetInstance();
        CPendingChangeList::ResetInstance();
        CDeviceCmdNameMntXmlInfo::ResetInstance();
        CSaveCfg::ResetInstance();
        CHBDataStreamMnt::ResetInstance();
        m_scanner.reset();
        CAppContext::ResetInstance();
    }

    // The map as a scanner that reported no current values would leave it.
    void LoadMapWithoutValues()
    {
        CDeviceCmdNameMntXmlInfo& map = CDeviceCmdNameMntXmlInfo::GetInstance();
        ASSERT_TRUE(map.Load("Model.xml"));
        for (const auto& [name, record] : map.GetCommands())
            record->CurrentValue.clear();
    }

    CTempDir m_dir;
    std::unique_ptr<CInProcessScanner> m_scanner;
};

TEST_F(OnlineBuildTest, RangeEditsAskTheScannerForTheirValues)
{
    LoadMapWithoutValues();
    ASSERT_TRUE(CPageMntXmlInfo::GetInstance().Load());
    const CCmdNameXmlInfo* timeout = CPageMntXmlInfo::GetInstance().FindCommand("SCNTMO");
    ASSERT_NE(nullptr, timeout);
    EXPECT_EQ("30", timeout->Value);
    EXPECT_EQ("30", CDeviceCmdNameMntXmlInfo::GetInstance().Find("SCNTMO")->CurrentValue);
    EXPECT_NE(nullptr, CPageMntXmlInfo::GetInstance().FindCommand("232PAR"));
    EXPECT_NE(nullptr, CPageMntXmlInfo::GetInstance().FindCommand("SCNMOD"));
    EXPECT_TRUE(CSaveCfg::GetInstance().GetFailedQueries().empty());
}

TEST_F(OnlineBuildTest, TheFirstFailedQueryIsListedAndNothingAfterItIsBuilt)
{
    LoadMapWithoutValues();
    SSimFaultPlan plan;
    ASSERT_TRUE(plan.Add("nak:232PAR"));
    m_scanner->Scanner().Faults().Set(plan);

    ASSERT_TRUE(CPageMntXmlInfo::GetInstance().Load());
    EXPECT_EQ(std::vector<wxString>{"232PAR"}, CSaveCfg::GetInstance().GetFailedQueries());
    EXPECT_NE(nullptr, CPageMntXmlInfo::GetInstance().FindCommand("SCNTMO"));
    EXPECT_EQ(nullptr, CPageMntXmlInfo::GetInstance().FindCommand("232PAR"));
    EXPECT_EQ(nullptr, CPageMntXmlInfo::GetInstance().FindCommand("SCNMOD"));
}

}  // namespace
