// Telling a model's script about a configuration file the tool has written.
#include "SaveCfg.h"

#include "LuaFn.h"
#include "app/AppContext.h"
#include "device/DeviceInfo.h"

#include <wx/strconv.h>

#include <optional>

namespace {

// Texts handed to Lua have room for this many bytes; a longer one is refused.
const size_t kMaxLuaTextBytes = 1024;

// The bytes the file system and Lua's io library expect for a path.
std::optional<std::string> ToLuaText(const wxString& text)
{
    const wxScopedCharBuffer bytes = text.mb_str(wxConvFile);
    if (!text.empty() && bytes.length() == 0)
        return std::nullopt;  // not expressible in the file-name encoding
    if (bytes.length() > kMaxLuaTextBytes)
        return std::nullopt;
    return std::string(bytes.data(), bytes.length());
}

}  // namespace

bool CSaveCfg::RunDeviceHook(const wxString& path)
{
    if (!m_currentModel || path.empty() || m_currentModel->m_lua.empty())
        return false;
    const wxString scriptPath = CAppContext::GetInstance().GetFilePath("lua", m_currentModel->m_lua);
    const std::optional<std::string> script = ToLuaText(scriptPath);
    const std::optional<std::string> argument = ToLuaText(path);
    if (!script || !argument)
        return false;

    CLuaFn lua;
    if (!lua.LoadScript(*script))
        return false;
    lua.CallFuncSet(*argument);  // what the script answers is its own business
    return true;
}
