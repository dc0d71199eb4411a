-- HBS-HI880: hook run after every configuration file the tool writes for this model
-- (a file saved by the user, and the history snapshot after a write to the scanner).
--
-- func_set(path) reads the file back and returns the number of settings it holds, or
-- 0 when the file cannot be read, is no configuration file, or was written for another
-- model. It only reads: the file stays as the tool wrote it.

local MODEL = "HI880"

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

function func_set(path)
  if type(path) ~= "string" or path == "" then
    return 0
  end
  local content = read_file(path)
  if not content then
    return 0
  end
  local root = root_tag(content)
  if not root then
    return 0
  end
  local device = string.match(root, "DeviceType=\"([^\"]*)\"") or ""
  if not string.find(string.upper(device), MODEL, 1, true) then
    return 0
  end
  return count_settings(content)
end
