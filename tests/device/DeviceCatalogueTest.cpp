// The model catalogue: loading rules, product-name matching and the unknown-device fallback.
// The help for a port this user may not open names the missing group or rule; a port
// that is only busy, or no local node at all, gets none.

#include "device/DeviceAccess.h"
#include "support/CoreTest.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <wx/datetime.h>

#include <tuple>
#include <vector>

namespace {

const char kPng[] = "\x89PNG\r\n\x1a\nthumbnail";

const char kCatalogue[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<Devices>
 <Category name="Handheld" langID="ID_CAT_HANDHELD" icon="hand.png" key="HS">
  <Device name="HS620" langID="ID_HS620" key="HBS-HS620" filename="hs620.png" link="HS620.xml" lua="HS620.lua" ctrllink="c.xml"/>
  <Device name="HS620W" key="HBS-HS620W" filename="hs620w.png" link="HS620W.xml" SET="SETUPN" barcode="17"/>
  <Device name="no key" filename="hs620.png"/>
  <Device name="twice" key="HBS-HS620" filename="other.png" link="second.xml"/>
  <Note key="HBS-IGNORED"/>
 </Category>
 <Other name="ignored"/>
 <Category name="Fixed" icon="fixed.png">
  <Device name="FM300" key="HBS-FM300" filename="missing.png" link="FM300.xml"/>
 </Category>
</Devices>
)";

class DeviceCatalogueTest : public CCoreTest {
protected:
    void SetUp() override
    {
        CAppContext::GetInstance().SetProgramDirectory(m_dir.Path());
        for (const char* picture : {"Images/hand.png", "Images/hs620.png", "Images/hs620w.png", "Images/unknowndevice.png"})
            m_dir.Write(picture, std::string(kPng, sizeof kPng - 1));
        m_dir.Write("Config/devicesinfo.xml", kCatalogue);
    }
    void TearDown() override
    {
        hbds_set_log_directory(nullptr);
        CCoreTest::TearDown();
    }

    CDeviceMnt& Catalogue() { return CDeviceMnt::GetInstance(); }
    CDeviceCategory& Handheld() { return *Catalogue().GetCategories().at(0); }

    std::string LogAfter(const std::function<void()>& action)
    {
        m_dir.Write("log/.keep", "");
        hbds_set_log_directory(m_dir.File("log").utf8_str());
        HBSetLogLevel(3);
        action();
        HBSetLogLevel(2);
        hbds_set_log_directory(nullptr);
        return m_dir.Read(wxDateTime::Now().Format("log/hbds_%Y%m%d.log"));
    }

    CTempDir m_dir;
};

TEST_F(DeviceCatalogueTest, LoadKeepsCategoriesInFileOrderReadsEveryFieldAndNamesThemInTheUiLanguage)
{
    ASSERT_TRUE(Catalogue().Load());
    ASSERT_EQ(2u, Catalogue().GetCategories().size());
    EXPECT_EQ("Handheld", Handheld().m_name);
    EXPECT_EQ(m_dir.Path() + "Images/hand.png", Handheld().m_icon);
    EXPECT_TRUE(Handheld().m_iconImage);
    EXPECT_FALSE(Catalogue().GetCategories()[1]->m_iconImage);

    const DeviceInfoMap& devices = Handheld().GetDevices();
    ASSERT_EQ(2u, devices.size());  // nameless key skipped, the second equal key dropped
    const CDeviceInfo& first = *devices.at("HBS-HS620");
    EXPECT_EQ(std::make_tuple("HS620.xml", "HS620.lua", "c.xml", "SETUPE", 1, 1, "HBS-HS620", true),
              std::make_tuple(first.m_link, first.m_lua, first.m_ctrllink, first.m_setupCommand, first.m_barcodeKind,
                              first.m_barcodeFlags, first.m_matchName, static_cast<bool>(first.m_pictureImage)));

    const CDeviceInfo& wireless = *devices.at("HBS-HS620W");
    EXPECT_EQ(std::make_tuple("SETUPN", 1, 17),
              std::make_tuple(wireless.m_setupCommand, wireless.m_barcodeKind, wireless.m_barcodeFlags));
    m_dir.Write("Config/language.xml", R"(<language><property name="EN" file="en.xml" help="h.html">English</property></language>)");
    m_dir.Write("Config/en.xml", R"(<language><property name="ID_CAT_HANDHELD">Hand-held scanners</property></language>)");
    ASSERT_TRUE(CLanguageXmlInfo::GetInstance().LoadLanguageList());
    ASSERT_TRUE(CLanguageXmlInfo::GetInstance().LoadLanguageTexts("EN"));
    ASSERT_TRUE(Catalogue().Load());
    EXPECT_EQ("Hand-held scanners", Handheld().m_name);
    EXPECT_EQ("Fixed", Catalogue().GetCategories()[1]->m_name);
}

TEST_F(DeviceCatalogueTest, OnlyReadablePicturesLoadAndAMissingOneIsLoggedWithTheModelKept)
{
    const std::string log = LogAfter([this] { ASSERT_TRUE(Catalogue().Load()); });
    const CDeviceCategory& fixed = *Catalogue().GetCategories().at(1);
    ASSERT_EQ(1u, fixed.GetDevices().size());
    EXPECT_FALSE(fixed.GetDevices().begin()->second->m_pictureImage);
    EXPECT_NE(std::string::npos, log.find("[3] DeviceInfo.cpp"));
    EXPECT_NE(std::string::npos, log.find(std::string(m_dir.File("Images/missing.png").utf8_str())));
    CTempDir dir;
    dir.Write("a.png", std::string(kPng, sizeof kPng - 1));
    dir.Write("b.png", "not a picture");
    dir.Write("c.png", "");
    EXPECT_TRUE(CPictureFile::Load(dir.File("a.png")));
    for (const wxString& broken : {dir.File("b.png"), dir.File("c.png"), dir.File("none.png"), wxString()})
        EXPECT_FALSE(CPictureFile::Load(broken)) << broken;
}

TEST_F(DeviceCatalogueTest, BrokenFilesLeaveAnEmptyCatalogueAndSayWhy)
{
    ASSERT_TRUE(Catalogue().Load());
    struct Case {
        const char* content;
        const char* logged;
    } cases[] = {
        {"<Devices><Category name=\"cut", "Load "},
        {"<Catalogue><Category/></Catalogue>", "GetName ERROR"},
        {"<Devices></Devices>", "GetChildren ERROR"},
    };
    for (const Case& c : cases) {
        m_dir.Write("Config/devicesinfo.xml", c.content);
        const std::string log = LogAfter([this] { EXPECT_FALSE(Catalogue().Load()); });
        EXPECT_TRUE(Catalogue().GetCategories().empty()) << c.content;
        EXPECT_FALSE(Catalogue().IsLoaded()) << c.content;
        EXPECT_NE(std::string::npos, log.find(c.logged)) << c.content;
        EXPECT_NE(std::string::npos, log.find("DeviceMnt.cpp")) << c.content;
    }
    // Once the file is mended, the next use reads it instead of keeping the failure.
    m_dir.Write("Config/devicesinfo.xml", kCatalogue);
    Catalogue().EnsureLoaded();
    EXPECT_EQ(2u, Catalogue().GetCategories().size());
}

TEST(DeviceInfoMatch, PrefixRulesAndReverseMatching)
{
    CDeviceInfo model;
    model.m_key = model.m_matchName = "HBS-HS620";

    EXPECT_FALSE(model.Matches(static_cast<const wxChar*>(nullptr), true));
    EXPECT_TRUE(model.Matches("HBS-HS620", false));
    EXPECT_EQ("HBS-HS620", model.m_matchName);

    EXPECT_TRUE(model.Matches("HS620", false));
    EXPECT_EQ("HS620", model.m_matchName);
    EXPECT_TRUE(model.Matches("HBS-HS620-V2 rev B", false));
    EXPECT_EQ("HBS-HS620-V2 rev B", model.m_matchName);
    EXPECT_TRUE(model.Matches("HBSHS620", false));

    EXPECT_FALSE(model.Matches("H", false));
    EXPECT_TRUE(model.Matches("H", true));   // the stripped key contains it
    EXPECT_FALSE(model.Matches("HBS-H", true));  // reverse matching looks at the unchanged name
    EXPECT_FALSE(model.Matches("HS62", false));
}

TEST_F(DeviceCatalogueTest, SearchIgnoresCaseAndAddsToTheResult)
{
    ASSERT_TRUE(Catalogue().Load());
    DeviceSearchResult result;
    Handheld().Search("hs620w", result);
    ASSERT_EQ(1u, result.size());
    Catalogue().GetCategories()[1]->Search("fm", result);
    Handheld().Search("hbs", result);
    ASSERT_EQ(3u, result.size());
    EXPECT_EQ("HBS-FM300", result.begin()->first);
}

TEST_F(DeviceCatalogueTest, MatchDeviceCopiesTheModelOrGivesAnUnknownScannerTheFirstModelsFiles)
{
    ASSERT_TRUE(Catalogue().Load());
    auto device = Catalogue().MatchDevice("HBS-HS620W-2");
    ASSERT_TRUE(device);
    EXPECT_EQ(std::make_tuple("HS620W.xml", "SETUPN", "HBS-HS620W-2", "HBS-HS620W-2", "HBS-HS620W-2",
                              m_dir.Path() + "Images/hs620w.png", true),
              std::make_tuple(device->m_link, device->m_setupCommand, device->m_name, device->m_key, device->m_matchName,
                              device->m_picture, static_cast<bool>(device->m_pictureImage)));

    // A later match elsewhere in the list still finds its own model.
    EXPECT_EQ("FM300.xml", Catalogue().MatchDevice("FM300")->m_link);
    device = Catalogue().MatchDevice("XR-9000");
    ASSERT_TRUE(device);
    EXPECT_EQ(std::make_tuple("HS620.xml", "XR-9000", m_dir.Path() + "Images/unknowndevice.png", true),
              std::make_tuple(device->m_link, device->m_name, device->m_picture, static_cast<bool>(device->m_pictureImage)));

    m_dir.Write("Config/devicesinfo.xml", "<Devices><Category name=\"empty\"/></Devices>");
    ASSERT_TRUE(Catalogue().Load());
    EXPECT_EQ(nullptr, Catalogue().MatchDevice("XR-9000"));
}

struct SAccessCase {
    const char* why;
    const char* path;
    SDeviceAccessFacts facts;
    std::vector<const char*> mentions;  // empty: no help
};

TEST(DeviceAccessTest, NamesTheGroupOrTheUdevRuleThatIsMissing)
{
    const SAccessCase cases[] = {
        {"serial port of dialout", "/dev/ttyUSB0", {false, false, "dialout"},
         {"/dev/ttyUSB0", "\"dialout\"", "usermod -aG dialout", "log out"}},
        {"serial port of another group", "/dev/ttyS4", {false, false, "uucp"}, {"\"uucp\"", "usermod -aG uucp"}},
        {"group without a name", "/dev/ttyACM1", {false, false, ""}, {"usermod -aG dialout"}},
        {"USB scanner", "/dev/hidraw3", {false, true, "root"}, {"/dev/hidraw3", "70-vostrel-scanners.rules", "plug"}},
        {"permitted: only busy", "/dev/ttyUSB0", {true, false, "dialout"}, {}},
    };
    for (const SAccessCase& c : cases) {
        const wxString help = DeviceAccessHelp(c.path, c.facts);
        EXPECT_EQ(c.mentions.empty(), help.empty()) << c.why << ": " << help;
        for (const char* part : c.mentions)
            EXPECT_NE(wxNOT_FOUND, help.Find(part)) << c.why << ": " << help;
    }
}

TEST(DeviceAccessTest, NoScannerFoundExplainsEachKindOfClosedNodeOnce)
{
    const std::vector<SDeviceNode> nodes = {
        {"/dev/ttyUSB0", {true, false, "dialout"}},  {"/dev/ttyUSB1", {false, false, "dialout"}},
        {"/dev/ttyACM0", {false, false, "dialout"}}, {"/dev/hidraw0", {true, true, "root"}},
        {"/dev/hidraw1", {false, true, "root"}},
    };
    const wxString help = InaccessibleDevicesHelp(nodes);
    EXPECT_NE(wxNOT_FOUND, help.Find("/dev/ttyUSB1")) << help;
    EXPECT_EQ(wxNOT_FOUND, help.Find("/dev/ttyACM0")) << help;
    EXPECT_NE(wxNOT_FOUND, help.Find("/dev/hidraw1")) << help;
    EXPECT_EQ(2, help.Freq('\n')) << help;
    EXPECT_EQ("", InaccessibleDevicesHelp({nodes[0], nodes[3]}));
}

TEST(DeviceAccessTest, OnlyLocalDeviceNodesAreLookedAt)
{
    for (const char* path : {"", "rfc2217://127.0.0.1:1", "tcp://h:2", "/no/such/node"})
        EXPECT_TRUE(ReadDeviceAccessFacts(path).permitted) << path;
    const SDeviceAccessFacts facts = ReadDeviceAccessFacts("/dev/null");
    EXPECT_TRUE(facts.permitted);
    EXPECT_FALSE(facts.hid);
    EXPECT_EQ("root", facts.group);
}

}  // namespace
