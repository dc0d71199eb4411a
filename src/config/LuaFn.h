// One Lua state for running a model's script: made, used for one call and closed.
#pragma once

#include <string>

struct lua_State;

class CLuaFn {
public:
    CLuaFn();
    virtual ~CLuaFn();
    CLuaFn(const CLuaFn&) = delete;
    CLuaFn& operator=(const CLuaFn&) = delete;

    // Loads the script and runs its main chunk; true when both worked.
    bool LoadScript(const std::string& scriptPath);
    // Calls the script's global "func_set" with `argument`; 0 when the call fails or
    // the result is no number, otherwise the result as an integer.
    int CallFuncSet(const std::string& argument);
    // Values left on the state's stack; 0 between calls, or every call would grow it.
    int GetStackDepth() const;

private:
    lua_State* m_state = nullptr;
};
