// Writing changes to a simulated scanner over a pseudo-terminal: what goes out, in
// which order and in how many frames, what is read back, and how values reach the pages.
#include "simulator/PtyScanner.h"
#include "simulator/SimRequest.h"

#include "support/CoreTest.h"
#include "support/LinkFixture.h"
#include "support/RecordingControlFactory.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

const int kNumberSettings = 20;

std::string NumberName(int i)
{
    char name[8];
    std::snprintf(name, sizeof name, "NUM%03d", i);
    return name;
}

std::string ModelCommand(const std::string& name, const std::string& list, const std::string& defaultValue,
                         const std::string& minimum = "", const std::string& maximum = "")
{
    std::string text = " <Command><CommandName>" + name + "</CommandName><SettingsList>" + list +
                       "</SettingsList><Default>" + defaultValue + "</Default>";
    if (!minimum.empty())
        text += "<Minimum>" + minimum + "</Minimum><Maximum>" + maximum + "</Maximum>";
    return text + "</Command>\n";
}

std::string ModelFile()
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DeviceConfiguration>\n";
    text += ModelCommand("INTERF", "0:RS232|1:USB KBW|2:USB COM", "0");
    text += ModelCommand("KBWPOR", "0:US|1:German", "0");
    text += ModelCommand("232BAD", "4:9600|8:115200", "8");
    text += ModelCommand("232PAR", "0:None|1:Odd|2:Even", "0");
    for (const char* cut : {"CADLEF", "CADRIG", "CADTOP", "CADBOT"})
        text += ModelCommand(cut, "", "10", "0", "1000");
    text += ModelCommand("EXPGMN", "", "5", "0", "100");
    text += ModelCommand("EXPEMN", "", "5", "0", "100");
    text += ModelCommand("BEPENA", "0:Off|1:On", "1");
    text += ModelCommand("SCNMOD", "0:Level|2:Sense", "0");
    text += ModelCommand("DFMSET", "", "");
    text += ModelCommand("DFMCAL", "", "");
    text += ModelCommand("DFMQCU", "", "Data Format 0:0099999;");
    for (int i = 0; i < kNumberSettings; ++i)
        text += ModelCommand(NumberName(i), "", "0", "0", "99999999");
    return text + "</DeviceConfiguration>\n";
}

std::string PageCommand(const std::string& name, const std::string& keyword)
{
    return "<Command><CommandName>" + name + "</CommandName><ControlType>" + keyword + "</ControlType></Command>";
}

std::string Page(const std::string& caption, const std::string& commands)
{
    return "<Page><Value>" + caption + "</Value><GroupName><Value>" + caption + "</Value>" + commands +
           "</GroupName></Page>\n";
}

std::string PageFile()
{
    std::string numbers;
    for (int i = 0; i < kNumberSettings; ++i)
        numbers += PageCommand(NumberName(i), "EDIT");
    return "<Pages>\n" + Page("Beeper", PageCommand("BEPENA", "RADIO#") + PageCommand("SCNMOD", "COMBOBOX")) +
           Page("Format", PageCommand("DFMSET", "DATAFORMAT")) +
           Page("Image", PageCommand("CADLEF", "RANGEEDIT") + PageCommand("CADRIG", "RANGEEDIT") +
                             PageCommand("CADTOP", "RANGEEDIT") + PageCommand("CADBOT", "RANGEEDIT") +
                             PageCommand("EXPEMN", "RANGEEDIT") + PageCommand("EXPGMN", "RANGEEDIT")) +
           Page("Link", PageCommand("INTERF", "COMBOBOX") + PageCommand("KBWPOR", "COMBOBOX") +
                            PageCommand("232BAD", "COMBOBOX") + PageCommand("232PAR", "COMBOBOX")) +
           Page("Numbers", numbers) + "</Pages>\n";
}

// A request as the scanner understood it.
struct SHeard {
    char mark;
    std::vector<std::string> commands;
};

class SaveCfgApplyTest : public CCoreTest {
protected:
    void SetUp() override
    {
        CAppContext::GetInstance().SetProgramDirectory(m_dir.Path());
        m_dir.Write("Config/Apply.xml", ModelFile());
        m_dir.Write("Config/pageinfo.xml", PageFile());
        ASSERT_TRUE(CDeviceCmdNameMntXmlInfo::GetInstance().Load("Apply.xml"));
        ASSERT_TRUE(CPageMntXmlInfo::GetInstance().Load());

        SSimScannerProfile profile;
        profile.baudRate = 115200;
        std::string error;
        auto scanner = CSimulatedScanner::FromModelFile(std::string((m_dir.Path() + "Config/Apply.xml").utf8_str()),
                                                        profile, error);
        ASSERT_TRUE(scanner) << error;
        m_scanner = std::make_unique<CPtyScanner>(std::move(scanner));
        ASSERT_TRUE(m_scanner->Start(error)) << error;
        ASSERT_NE(nullptr, OpenTestDevice(m_scanner->Path(), 115200, 500));
        SetControlFactory(&m_factory);
    }

    static CCmdNameXmlInfo& Setting(const char* name)
    {
        CCmdNameXmlInfo* definition = CPageMntXmlInfo::GetInstance().FindCommand(name);
        EXPECT_NE(nullptr, definition) << name;
        static CCmdNameXmlInfo missing;
        return definition ? *definition : missing;
    }
    static void Change(const char* name, const char* value) { Setting(name).SetValue(value); }
    static void ChangeEveryNumber()
    {
        for (int i = 0; i < kNumberSettings; ++i)
            Change(NumberName(i).c_str(), "12345678");
    }
    void Inject(const char* fault)
    {
        SSimFaultPlan plan;
        ASSERT_TRUE(plan.Add(fault)) << fault;
        m_scanner->Scanner().Faults().Set(plan);
    }

    std::vector<SHeard> Heard()
    {
        std::vector<SHeard> heard;
        for (const std::string& frame : m_scanner->Scanner().TakeHeardFrames()) {
            CSimRequest request;
            EXPECT_TRUE(request.Parse(frame, [](const std::string& name) {
                return CSaveCfg::IsWellFormedCommandName(wxString::FromUTF8(name));
            })) << frame;
            heard.push_back({request.Mark(), request.Commands()});
        }
        return heard;
    }
    // Every command written with a value, in order, leaving out the read-back.
    std::vector<std::string> Written()
    {
        std::vector<std::string> written;
        for (const SHeard& request : Heard())
            for (const std::string& command : request.commands)
                if (command != "*" && command.rfind("DFMQCU", 0) != 0)
                    written.push_back(command);
        return written;
    }

    CTempDir m_dir;
    CRecordingFactory m_factory;
    std::unique_ptr<CPtyScanner> m_scanner;
};

TEST_F(SaveCfgApplyTest, NothingChangedMeansNoExchangeAtAll)
{
    CSaveCfg& engine = CSaveCfg::GetInstance();
    EXPECT_FALSE(engine.HasPendingChanges());
    EXPECT_TRUE(engine.ApplyChanges());
    EXPECT_TRUE(Heard().empty());
}

struct SApplyCase {
    const char* why;
    std::vector<std::pair<const char*, const char*>> changes;
    std::vector<std::string> written;
    bool readBack;
};
void PrintTo(const SApplyCase& c, std::ostream* out) { *out << c.why; }

class SaveCfgApplyOrderTest : public SaveCfgApplyTest, public ::testing::WithParamInterface<SApplyCase> {};

// What goes out, in which order, and whether the scanner is read back: a change of
// the link ends the apply without a read-back, and confirms nothing.
TEST_P(SaveCfgApplyOrderTest, ChangesGoOutInTheirOrderAndOnlyAnUnchangedLinkIsReadBack)
{
    const SApplyCase& c = GetParam();
    std::vector<wxString> before;
    for (const auto& [name, value] : c.changes) {
        before.push_back(Setting(name).LoadedValue);
        Change(name, value);
    }
    CSaveCfg& engine = CSaveCfg::GetInstance();
    ASSERT_TRUE(engine.ApplyChanges());
    EXPECT_EQ(c.written, Written());
    EXPECT_EQ(!c.readBack, engine.GetValueMap().empty());
    EXPECT_EQ(!c.readBack, engine.HasPendingChanges());
    for (size_t i = 0; i < c.changes.size(); ++i) {
        const auto& [name, value] = c.changes[i];
        EXPECT_EQ(value, m_scanner->Scanner().CurrentValue(name)) << name;
        // Without a read-back the reference stays until the pages are built again.
        EXPECT_EQ(c.readBack ? wxString(value) : before[i], Setting(name).LoadedValue) << name;
        if (c.readBack) {
            EXPECT_EQ(value, Setting(name).DeviceValue) << name;
            ASSERT_EQ(1u, engine.GetValueMap().count(name)) << name;
            EXPECT_EQ(value, engine.GetValueMap().at(name)) << name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Changes, SaveCfgApplyOrderTest,
    ::testing::Values(
        SApplyCase{"the interface alone", {{"INTERF", "1"}}, {"INTERF1"}, false},
        SApplyCase{"a serial parameter on a serial link", {{"232PAR", "2"}}, {"232PAR2"}, false},
        SApplyCase{"ordinary settings", {{"SCNMOD", "2"}, {"NUM003", "77"}}, {"SCNMOD2", "NUM00377"}, true},
        // Cut areas and exposures that grow go after everything ordinary (EXPEMN is on
        // the page before EXPGMN; CADTOP is lowered), the link settings after them.
        SApplyCase{"growing cut areas and exposures, then the link",
                   {{"232BAD", "4"}, {"KBWPOR", "1"}, {"CADLEF", "20"}, {"CADTOP", "5"}, {"CADRIG", "900"},
                    {"EXPEMN", "9"}, {"EXPGMN", "9"}, {"SCNMOD", "2"}, {"INTERF", "2"}},
                   {"SCNMOD2", "CADRIG900", "CADTOP5", "CADLEF20", "EXPGMN9", "EXPEMN9", "INTERF2", "KBWPOR1",
                    "232BAD4"},
                   false}));

TEST_F(SaveCfgApplyTest, TheLinkAndSerialChangesAreToldApart)
{
    CSaveCfg& engine = CSaveCfg::GetInstance();
    Change("232PAR", "2");
    EXPECT_FALSE(engine.HasLinkChange());
    EXPECT_TRUE(engine.HasSerialChange());
    Change("INTERF", "1");
    EXPECT_TRUE(engine.HasLinkChange());
    EXPECT_TRUE(engine.ApplyChanges());
    EXPECT_TRUE(engine.IsLinkChanged());
}

// The user's own pending changes and the link settings stay out of a file being sent.
TEST_F(SaveCfgApplyTest, SendingAFileLeavesOutPendingChangesAndLinkSettings)
{
    Change("NUM002", "5");
    m_dir.Write("send.xml", "<Vostrel DeviceType=\"\">"
                            "<Command CommandName=\"NUM002\" Value=\"1\"/><Command CommandName=\"SCNMOD\" Value=\"2\"/>"
                            "<Command CommandName=\"232PAR\" Value=\"2\"/><Command CommandName=\"232STP\" Value=\"1\"/>"
                            "<Command CommandName=\"232DAT\" Value=\"1\"/><Command CommandName=\"KBWPOR\" Value=\"1\"/>"
                            "<Command CommandName=\"NUM001\" Value=\"1\"/><Command CommandName=\"232BAD\" Value=\"4\"/>"
                            "</Vostrel>");
    CSaveCfg& engine = CSaveCfg::GetInstance();
    ASSERT_TRUE(engine.LoadFileForSending(m_dir.File("send.xml")));
    // 7 + 7 characters stay under a limit of 66 - 50: the left-out texts count for nothing.
    engine.SetMaxPayload(66);
    EXPECT_TRUE(engine.SendFileCommands());
    const std::vector<SHeard> heard = Heard();
    ASSERT_EQ(1u, heard.size());
    EXPECT_EQ((std::vector<std::string>{"SCNMOD2", "NUM0011"}), heard[0].commands);
}

TEST_F(SaveCfgApplyTest, SingleSendSettingsGoFirstEachInItsOwnTemporaryRequest)
{
    Change("NUM001", "5");
    Change("BEPENA", "0");
    ASSERT_TRUE(CSaveCfg::GetInstance().ApplyChanges());
    const std::vector<SHeard> heard = Heard();
    ASSERT_GE(heard.size(), 2u);
    EXPECT_EQ('#', heard[0].mark);
    EXPECT_EQ(std::vector<std::string>{"BEPENA0"}, heard[0].commands);
    EXPECT_EQ('@', heard[1].mark);
    EXPECT_EQ(std::vector<std::string>{"NUM0015"}, heard[1].commands);
}

TEST_F(SaveCfgApplyTest, ADataFormatTextIsSentAsOneCommandPerFormatLine)
{
    CSaveCfg& engine = CSaveCfg::GetInstance();
    engine.SetHasDataFormat(true);
    engine.SetDataFormatSet(true);
    // Lines of 25 characters or fewer hold no format and are dropped.
    Change("DFMSET", "Data Format 0:069990020010B3;\r\nData Format 1:;\r\nData Format 2:269999999999F10D;\r\n"
                     "Data Format 3:3699B3;\r\nshort:1;");
    ASSERT_TRUE(engine.ApplyChanges());
    EXPECT_EQ((std::vector<std::string>{"DFMCAL", "DFMSET069990020010B3", "DFMSET269999999999F10D"}), Written());
    // The scanner's own text is fetched after the read-back, under the device's name.
    ASSERT_EQ(1u, engine.GetValueMap().count("DFMSET"));
    EXPECT_EQ("Data Format 0:069990020010B3;\r\nData Format 1:;\r\nData Format 2:269999999999F10D;\r\n"
              "Data Format 3:;\r\n",
              engine.GetValueMap().at("DFMSET"));
}

TEST_F(SaveCfgApplyTest, BatchesCloseWhenTheRunningTotalReachesTheLimitLessFifty)
{
    // 20 texts of 14 characters: the running total passes 250 at the ninth text.
    ChangeEveryNumber();
    ASSERT_TRUE(CSaveCfg::GetInstance().ApplyChanges());
    std::vector<size_t> sizes;
    for (const SHeard& request : Heard())
        if (request.commands != std::vector<std::string>{"*"})
            sizes.push_back(request.commands.size());
    EXPECT_EQ((std::vector<size_t>{9, 9, 2}), sizes);
}

TEST_F(SaveCfgApplyTest, ARefusedSettingFailsTheApplyButLaterBatchesStillGoOut)
{
    ChangeEveryNumber();
    Inject("nak:NUM010");

    CSaveCfg& engine = CSaveCfg::GetInstance();
    EXPECT_FALSE(engine.ApplyChanges());
    EXPECT_EQ(std::vector<wxString>{"NUM010"}, engine.GetErrorList());
    EXPECT_EQ("12345678", m_scanner->Scanner().CurrentValue("NUM019"));
    // Nothing is confirmed and nothing is read back after a refusal.
    EXPECT_EQ("0", Setting("NUM000").LoadedValue);
    EXPECT_TRUE(engine.GetValueMap().empty());
}

TEST_F(SaveCfgApplyTest, ABatchWithoutAReplyStopsTheApplyAtOnce)
{
    ChangeEveryNumber();
    Inject("silence");
    EXPECT_FALSE(CSaveCfg::GetInstance().ApplyChanges());
    EXPECT_EQ(1u, Heard().size());
    EXPECT_TRUE(CSaveCfg::GetInstance().HasPendingChanges());
}

TEST_F(SaveCfgApplyTest, AFailedSingleSendStopsBeforeAnyBatch)
{
    Change("BEPENA", "0");
    Change("SCNMOD", "2");
    Inject("nak:BEPENA");
    CSaveCfg& engine = CSaveCfg::GetInstance();
    EXPECT_FALSE(engine.ApplyChanges());
    EXPECT_EQ(std::vector<wxString>{"BEPENA"}, engine.GetErrorList());
    EXPECT_EQ(1u, Heard().size());
    EXPECT_EQ("0", m_scanner->Scanner().CurrentValue("SCNMOD"));
}

TEST_F(SaveCfgApplyTest, CutAreasMustGrowFromFirstToSecondEdge)
{
    CSaveCfg& engine = CSaveCfg::GetInstance();
    Setting("CADRIG").CreateControl(nullptr, nullptr, SControlRect{});
    wxString message;
    EXPECT_FALSE(engine.CheckCutAreas(message));  // both edges start at 10
    engine.ClearErrorList();
    m_factory.focused.clear();
    Change("CADLEF", "100");
    Change("CADRIG", "100");
    Change("CADBOT", "500");
    EXPECT_FALSE(engine.CheckCutAreas(message));
    EXPECT_TRUE(message.StartsWith(Setting("CADRIG").GetFriendlyText())) << message;
    EXPECT_TRUE(message.EndsWith(Setting("CADLEF").GetFriendlyText())) << message;
    EXPECT_EQ(std::vector<wxString>{message}, engine.GetErrorList());
    EXPECT_EQ(std::vector<const CControlBase*>{Setting("CADRIG").Control}, m_factory.focused);

    Change("CADRIG", "101");
    EXPECT_TRUE(engine.CheckCutAreas(message));
}

TEST_F(SaveCfgApplyTest, SpreadingTellsWhetherTheWatchedSettingMovedAndRefreshesControls)
{
    CSaveCfg& engine = CSaveCfg::GetInstance();
    Change("SCNMOD", "2");
    engine.SetMapValue("SCNMOD", "0");
    engine.SetMapValue("NUM005", "42");
    bool moved = true;
    engine.SpreadValues("NUM005", moved);
    EXPECT_TRUE(moved);
    EXPECT_EQ("42", Setting("NUM005").Value);
    EXPECT_EQ("42", Setting("NUM005").LoadedValue);
    EXPECT_EQ("0", Setting("SCNMOD").DeviceValue);
    EXPECT_EQ("0", Setting("NUM006").Value);
    EXPECT_FALSE(engine.HasPendingChanges());

    engine.SpreadValues("NUM005", moved);
    EXPECT_FALSE(moved);
}

TEST_F(SaveCfgApplyTest, LoadedValuesBecomePendingChangesAndOverlongOnesAreRefused)
{
    CSaveCfg& engine = CSaveCfg::GetInstance();
    Setting("SCNMOD").SettingsList = "0:Level|2:Sense";  // what the page file would give
    engine.SetMapValue("SCNMOD", "2");
    engine.SetMapValue("NUM004", "0");
    engine.ApplyLoadedValues();
    EXPECT_EQ("2", Setting("SCNMOD").Value);
    EXPECT_EQ("Sense", Setting("SCNMOD").ValueText);
    EXPECT_EQ(1u, CPendingChangeList::GetInstance().GetEntries().size());
    EXPECT_TRUE(engine.HasPendingChanges());
    // The value map refuses values too long to store.
    EXPECT_TRUE(engine.SetMapValue("PRESTR", wxString('A', CSaveCfg::kMaxValueLength)));
    EXPECT_FALSE(engine.SetMapValue("PRESUF", wxString('A', CSaveCfg::kMaxValueLength + 1)));
    EXPECT_EQ(3u, engine.GetValueMap().size());
}

}  // namespace
