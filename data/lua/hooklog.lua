-- Shared by the models' hook scripts, which the tool runs after every configuration
-- file it writes (a file saved by the user, and the history snapshot after a write to
-- the scanner).
--
-- The function returned here makes a model's func_set(path). It appends one line to
-- "vostrel-hooks.log" in the file's folder: the time, the model the file was written
-- for, how many settings it holds and the file's name, so that a folder of
-- configurations keeps its own record of what was written. It returns the number of
-- settings, or 0 (and writes nothing) when the file cannot be read, is no
-- configuration file, or was written for another model. The configuration file itself
-- is only read.

local LOG_NAME = "vostrel-hooks.log"

local function read_file(path)
  local file = io.open(path, "rb")
  if not file then
    return nil
  end
  local content = file:read("*a")
  file:close()
  return content
end

-- The opening tag of the configuration root ("Vastrel" is an older spelling).
local function root_tag(content)
  return string.match(content, "<Vostrel[%s>/][^>]*>") or string.match(content, "<Vastrel[%s>/][^>]*>")
end

local function count_settings(content)
  local count = 0
  for name in string.gmatch(content, "<Command%s[^>]*CommandName=\"([%w]+)\"") do
    if string.len(name) == 6 then
      count = count + 1
    end
  end
  return count
end

local function folder_of(path)
  return string.match(path, "^(.*[/\\])") or ""
end

local function name_of(path)
  return string.match(path, "([^/\\]*)$")
end

return function(model)
  return function(path)
    if type(path) ~= "string" or path == "" then
      return 0
    end
    local content = read_file(path)
    local root = content and root_tag(content)
    if not root then
      return 0
    end
    local device = string.match(root, "DeviceType=\"([^\"]*)\"") or ""
    if not string.find(string.upper(device), model, 1, true) then
      return 0
    end
    local count = count_settings(content)
    local log = io.open(folder_of(path) .. LOG_NAME, "a")
    if log then
      log:write(string.format("%s %s %d %s\n", os.date("%Y-%m-%d %H:%M:%S"), device, count, name_of(path)))
      log:close()
    end
    return count
  end
end
