// Model scripts: when one runs, what it is told, and that every way a script can
// fail stays quiet.
#include "AppContext.h"
#include "DeviceInfo.h"
#include "LuaFn.h"
#include "SaveCfg.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <wx/filefn.h>

#include <climits>
#include <string>

namespace {

class LuaHookTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CAppContext::GetInstance().SetProgramDirectory(m_dir.Path());
        m_model.m_key = "HBS-HS620";
        CSaveCfg::GetInstance().SetCurrentModel(&m_model);
    }
    void TearDown() override
    {
        CSaveCfg::ResetInstance();
        CAppContext::ResetInstance();
    }

    // A script whose func_set writes what it was given into "told.txt".
    void WriteRecordingScript(const std::string& answer)
    {
        m_dir.Write("lua/model.lua", "local out = \"" + std::string(m_dir.Path().utf8_str()) +
                                         "told.txt\"\n"
                                         "function func_set(path)\n"
                                         "  local f = io.open(out, \"w\") f:write(path) f:close()\n"
                                         "  return " + answer + "\n"
                                         "end\n");
        m_model.m_lua = "model.lua";
    }
    bool WasTold() const { return wxFileExists(m_dir.File("told.txt")); }

    CTempDir m_dir;
    CDeviceInfo m_model;
};

TEST_F(LuaHookTest, TheModelsScriptIsToldThePathOfTheFile)
{
    WriteRecordingScript("7");
    EXPECT_TRUE(CSaveCfg::GetInstance().RunDeviceHook(m_dir.File("config é.xml")));
    EXPECT_EQ(std::string(m_dir.File("config é.xml").utf8_str()), m_dir.Read("told.txt"));
}

TEST_F(LuaHookTest, NoModelNoScriptOrNoPathRunsNothing)
{
    CSaveCfg& engine = CSaveCfg::GetInstance();
    EXPECT_FALSE(engine.RunDeviceHook(m_dir.File("a.xml"))) << "the model names no script";
    WriteRecordingScript("1");
    EXPECT_FALSE(engine.RunDeviceHook(""));
    engine.SetCurrentModel(nullptr);
    EXPECT_FALSE(engine.RunDeviceHook(m_dir.File("a.xml")));
    m_model.m_lua = "absent.lua";
    engine.SetCurrentModel(&m_model);
    EXPECT_FALSE(engine.RunDeviceHook(m_dir.File("a.xml")));
    EXPECT_FALSE(WasTold());
}

TEST_F(LuaHookTest, AnAnswerThatIsNoNumberCountsAsAFailedCall)
{
    WriteRecordingScript("\"done\"");
    CLuaFn lua;
    ASSERT_TRUE(lua.LoadScript(std::string(m_dir.File("lua/model.lua").utf8_str())));
    EXPECT_EQ(0, lua.CallFuncSet("x"));
    EXPECT_TRUE(WasTold());
    // The hook itself still counts as run: the script loaded.
    EXPECT_TRUE(CSaveCfg::GetInstance().RunDeviceHook(m_dir.File("a.xml")));

    CLuaFn numeric;
    WriteRecordingScript("41.9");
    ASSERT_TRUE(numeric.LoadScript(std::string(m_dir.File("lua/model.lua").utf8_str())));
    EXPECT_EQ(41, numeric.CallFuncSet("x"));
    WriteRecordingScript("1e300");
    CLuaFn huge;
    ASSERT_TRUE(huge.LoadScript(std::string(m_dir.File("lua/model.lua").utf8_str())));
    EXPECT_EQ(INT_MAX, huge.CallFuncSet("x"));
}

TEST_F(LuaHookTest, BrokenScriptsFailQuietly)
{
    CSaveCfg& engine = CSaveCfg::GetInstance();
    m_model.m_lua = "model.lua";
    m_dir.Write("lua/model.lua", "function func_set(path) return 1 end\nthis is no lua");
    EXPECT_FALSE(engine.RunDeviceHook(m_dir.File("a.xml"))) << "syntax error";
    m_dir.Write("lua/model.lua", "error('main chunk fails')\n");
    EXPECT_FALSE(engine.RunDeviceHook(m_dir.File("a.xml")));

    m_dir.Write("lua/model.lua", "x = 1\n");
    EXPECT_TRUE(engine.RunDeviceHook(m_dir.File("a.xml"))) << "no func_set: the chunk ran, the call fails quietly";
    m_dir.Write("lua/model.lua", "function func_set(path) error('inside') end\n");
    EXPECT_TRUE(engine.RunDeviceHook(m_dir.File("a.xml")));

    CLuaFn lua;
    ASSERT_TRUE(lua.LoadScript(std::string(m_dir.File("lua/model.lua").utf8_str())));
    EXPECT_EQ(0, lua.CallFuncSet("x"));
    EXPECT_EQ(0, lua.CallFuncSet("x")) << "a failed call leaves the state usable";
}

TEST_F(LuaHookTest, EachRunStartsFromAFreshState)
{
    m_model.m_lua = "model.lua";
    m_dir.Write("lua/model.lua", "if seen then error('state survived') end\nseen = true\n"
                                 "function func_set(p) return 1 end\n");
    CSaveCfg& engine = CSaveCfg::GetInstance();
    EXPECT_TRUE(engine.RunDeviceHook(m_dir.File("a.xml")));
    EXPECT_TRUE(engine.RunDeviceHook(m_dir.File("a.xml")));
}

TEST_F(LuaHookTest, APathTooLongForTheScriptIsRefused)
{
    WriteRecordingScript("1");
    EXPECT_FALSE(CSaveCfg::GetInstance().RunDeviceHook(m_dir.Path() + wxString(1100, 'a')));
    EXPECT_FALSE(WasTold());
}

}  // namespace
