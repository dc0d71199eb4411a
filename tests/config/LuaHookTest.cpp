// Model scripts: when one runs, what it is told, and that every way a script can
// fail stays quiet.
#include "config/LuaFn.h"
#include "device/DeviceInfo.h"

#include "support/CoreTest.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <wx/filefn.h>

#include <climits>
#include <string>

namespace {

class LuaHookTest : public CCoreTest {
protected:
    void SetUp() override
    {
        CAppContext::GetInstance().SetProgramDirectory(m_dir.Path());
        m_model.m_key = "HBS-HS620";
        CSaveCfg::GetInstance().SetCurrentModel(&m_model);
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

TEST_F(LuaHookTest, TheModelsScriptIsToldThePathOfTheFileUnlessItIsTooLong)
{
    WriteRecordingScript("7");
    EXPECT_FALSE(CSaveCfg::GetInstance().RunDeviceHook(m_dir.Path() + wxString(1100, 'a')));
    EXPECT_FALSE(WasTold());
    EXPECT_TRUE(CSaveCfg::GetInstance().RunDeviceHook(m_dir.File("config é.xml")));
    EXPECT_EQ(std::string(m_dir.File("config é.xml").utf8_str()), m_dir.Read("told.txt"));
}

TEST_F(LuaHookTest, NoModelNoScriptOrNoPathRunsNothingAndEachRunStartsFromAFreshState)
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

    m_model.m_lua = "model.lua";
    m_dir.Write("lua/model.lua", "if seen then error('state survived') end\nseen = true\n"
                                 "function func_set(p) return 1 end\n");
    EXPECT_TRUE(engine.RunDeviceHook(m_dir.File("a.xml")));
    EXPECT_TRUE(engine.RunDeviceHook(m_dir.File("a.xml")));
}

// A script that loads counts as run whatever its call does; the call's answer is a
// whole number or 0 for any failure, and a failed call leaves the state usable.
TEST_F(LuaHookTest, EveryWayAScriptCanFailStaysQuiet)
{
    const struct {
        const char* script;
        bool loads;
        int answer;
    } cases[] = {
        {"function func_set(path) return 1 end\nthis is no lua", false, 0},
        {"error('main chunk fails')\n", false, 0},
        {"x = 1\nreturn 1, 2, 3\n", true, 0},
        {"function func_set(path) error('inside') end\n", true, 0},
        {"function func_set(path) return \"done\" end\n", true, 0},
        {"function func_set(path) return 41.9 end\n", true, 41},
        {"function func_set(path) return 1e300 end\n", true, INT_MAX},
    };
    m_model.m_lua = "model.lua";
    for (const auto& c : cases) {
        m_dir.Write("lua/model.lua", c.script);
        EXPECT_EQ(c.loads, CSaveCfg::GetInstance().RunDeviceHook(m_dir.File("a.xml"))) << c.script;
        CLuaFn lua;
        ASSERT_EQ(c.loads, lua.LoadScript(std::string(m_dir.File("lua/model.lua").utf8_str()))) << c.script;
        EXPECT_EQ(0, lua.GetStackDepth()) << c.script;
        if (!c.loads)
            continue;
        EXPECT_EQ(c.answer, lua.CallFuncSet("x")) << c.script;
        EXPECT_EQ(c.answer, lua.CallFuncSet("x")) << c.script;
        EXPECT_EQ(0, lua.GetStackDepth()) << c.script;
    }
}

}  // namespace
