// The simulator's own reader of model command files.
#include "simulator/SimModelFile.h"
#include "SimTestSupport.h"

#include <gtest/gtest.h>
#include <wx/log.h>
#include <wx/xml/xml.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace {

// A file under /tmp removed at the end of the test.
struct SScratchFile {
    explicit SScratchFile(const std::string& content)
        : path(testing::TempDir() + "vostrel-sim-" + std::to_string(getpid()) + "-" + std::to_string(++s_made) + ".xml")
    {
        std::ofstream(path, std::ios::binary) << content;
    }
    ~SScratchFile() { std::remove(path.c_str()); }
    const std::string& Path() const { return path; }
    std::string path;
    static inline int s_made = 0;
};

TEST(SimModelFileTest, Load_TakesKeysOfParenthesisItemsAndLabelFirstListsAndRefusesBrokenFiles)
{
    SScratchFile file("<?xml version=\"1.0\" encoding=\"UTF-8\"?><DeviceConfiguration>"
                      "<Command><CommandName>AAAKEY</CommandName><ControlType>COMBOBOX</ControlType>"
                      "<SettingsList>ID_ON(1)|ID_OFF(0)</SettingsList><Default>ID_ON</Default></Command>"
                      "<Command><CommandName>AAALAB</CommandName><ControlType>COMBOBOXCUSTOM</ControlType>"
                      "<SettingsList>Fast:3|Slow:9</SettingsList><Default>3</Default></Command>"
                      "<Command><CommandName>CMDCTR</CommandName><ControlType>COMMANDCENTER</ControlType></Command>"
                      "</DeviceConfiguration>");
    CSimSettingsDatabase database;
    std::string error;
    ASSERT_TRUE(CSimModelFile::Load(file.Path(), database, error)) << error;
    EXPECT_EQ("ID_ON|ID_OFF", database.Find("AAAKEY")->RangeText());
    EXPECT_TRUE(database.Find("AAAKEY")->Accepts("ID_OFF"));
    EXPECT_FALSE(database.Find("AAAKEY")->Accepts("0"));
    EXPECT_EQ("3|9", database.Find("AAALAB")->RangeText());
    EXPECT_TRUE(database.Find("AAALAB")->Accepts("9"));
    EXPECT_FALSE(database.Find("AAALAB")->Accepts("Slow"));
    EXPECT_EQ(nullptr, database.Find("CMDCTR")) << "the tool's own panel is no setting of the scanner";

    // A broken file leaves what was loaded before.
    database = CSimSettingsDatabase();
    ASSERT_TRUE(CSimModelFile::Load(FixtureModelPath(), database, error));
    const SScratchFile cut("<?xml version=\"1.0\"?><DeviceConfiguration><Command><CommandName>A");
    const SScratchFile wrongRoot("<?xml version=\"1.0\"?><Pages><Command><CommandName>AAABBB</CommandName></Command></Pages>");
    const SScratchFile binary(std::string("\x00\xFF\xFE garbage \x01\x02", 14));
    // Its tree's clean-up would recurse 200000 deep.
    const SScratchFile deep("<DeviceConfiguration>" + [] {
        std::string nested;
        for (int i = 0; i < 200000; ++i)
            nested += "<a>";
        for (int i = 0; i < 200000; ++i)
            nested += "</a>";
        return nested;
    }() + "</DeviceConfiguration>");
    for (const std::string& path : {cut.Path(), wrongRoot.Path(), binary.Path(), deep.Path(), std::string("/nonexistent/model.xml"),
                                    std::string("/dev/zero")}) {
        error.clear();
        EXPECT_FALSE(CSimModelFile::Load(path, database, error)) << path;
        EXPECT_NE(std::string::npos, error.find(path));
    }
    EXPECT_EQ(7u, database.Count());
}

// Every command file the shipped catalogue names loads here, and every setting takes
// its own default: a simulated scanner of any shipped model starts in a state that it
// would also accept from the tool.
TEST(SimModelFileTest, ShippedModelFiles_LoadAndAcceptTheirOwnDefaults)
{
    const std::string config = std::string(VOSTREL_SIM_TEST_DATA) + "/../../../data/Config/";
    wxLogNull quiet;
    wxXmlDocument catalogue;
    ASSERT_TRUE(catalogue.Load(wxString::FromUTF8((config + "devicesinfo.xml").c_str()), "UTF-8"));
    ASSERT_NE(nullptr, catalogue.GetRoot());
    size_t models = 0;
    bool industrial = false;
    for (const wxXmlNode* category = catalogue.GetRoot()->GetChildren(); category; category = category->GetNext()) {
        for (const wxXmlNode* device = category->GetChildren(); device; device = device->GetNext()) {
            if (device->GetType() != wxXML_ELEMENT_NODE || device->GetName() != "Device")
                continue;
            const std::string key(device->GetAttribute("key").utf8_str());
            const std::string path = config + std::string(device->GetAttribute("link").utf8_str());
            SCOPED_TRACE(key + ": " + path);
            CSimSettingsDatabase database;
            std::string error;
            ASSERT_TRUE(CSimModelFile::Load(path, database, error)) << error;
            // The HI880 is the industrial model with the full command set.
            const bool full = key == "HBS-HI880";
            industrial = industrial || full;
            EXPECT_GE(database.Count(), full ? 300u : 60u);
            for (const CSimSetting& setting : database.All())
                EXPECT_TRUE(setting.Accepts(setting.Default())) << setting.Name() << " refuses \"" << setting.Default() << "\"";
            ++models;
        }
    }
    EXPECT_GE(models, 6u);
    EXPECT_TRUE(industrial);
}

}  // namespace
