#include "LuaFn.h"

#include <climits>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

namespace {

// A script may answer anything; numbers beyond an int (or no number at all) must
// not become undefined conversions.
int ToInteger(lua_Number number)
{
    if (!(number == number))
        return 0;
    if (number >= static_cast<lua_Number>(INT_MAX))
        return INT_MAX;
    if (number <= static_cast<lua_Number>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(number);
}

}  // namespace

CLuaFn::CLuaFn()
    : m_state(luaL_newstate())
{
    if (m_state)
        luaL_openlibs(m_state);
}

CLuaFn::~CLuaFn()
{
    if (m_state)
        lua_close(m_state);
}

bool CLuaFn::LoadScript(const std::string& scriptPath)
{
    if (!m_state)
        return false;
    if (luaL_loadfile(m_state, scriptPath.c_str()) != 0) {
        lua_pop(m_state, 1);  // the error message
        return false;
    }
    if (lua_pcall(m_state, 0, LUA_MULTRET, 0) != 0) {
        lua_pop(m_state, 1);
        return false;
    }
    lua_settop(m_state, 0);  // whatever the chunk returned
    return true;
}

int CLuaFn::CallFuncSet(const std::string& argument)
{
    if (!m_state)
        return 0;
    lua_getfield(m_state, LUA_GLOBALSINDEX, "func_set");
    lua_pushlstring(m_state, argument.data(), argument.size());
    int result = 0;
    if (lua_pcall(m_state, 1, 1, 0) == 0 && lua_isnumber(m_state, -1) == 1)
        result = ToInteger(lua_tonumber(m_state, -1));
    lua_settop(m_state, 0);
    return result;
}

int CLuaFn::GetStackDepth() const
{
    return m_state ? lua_gettop(m_state) : 0;
}
