-- HBS-HI880: hook run after every configuration file the tool writes for this model.
-- It logs the file beside it; the work is shared by every model (hooklog.lua here).
local folder = string.match(debug.getinfo(1, "S").source, "^@(.*[/\\])") or ""
func_set = dofile(folder .. "hooklog.lua")("HI880")
