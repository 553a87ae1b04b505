-- Orvanta through Ardour's headless session tool (ardour7-lua), on the "None (Dummy)" backend.
-- Each phase is its own run that opens and closes one session: closing a session reopened in
-- the same process hung in Ardour 7.3 (Graph::drop_threads waiting for the backend's process
-- thread).
--   import  DIR FILE FRAMES              a session with a stereo track playing FILE
--   process DIR PRESET STEREO FRAMES     the plug-in inserted by URI, the factory preset
--                                        applied, Stereo set, the track bounced, session saved
--   reopen  DIR                          the saved session loaded, the plug-in's values read
-- Prints "CONTROL <label> <value>" per control, "BOUNCED <left file> <right file>", and
-- "FAIL <reason>" (exit status 1) when a step fails.
-- The plug-in is the LV2 one, or with ORVANTA_ARDOUR_PLUGIN=VST3 the VST3 one (by name; Ardour
-- lists it from the cache its scanner wrote).
local phase, dir = arg[1], arg[2]
local vst3 = os.getenv("ORVANTA_ARDOUR_PLUGIN") == "VST3"
local name = "roundtrip"
local function check(v, msg)
  if not v then print("FAIL " .. msg); os.exit(1) end
  return v
end

check(AudioEngine:set_backend("None (Dummy)", "", ""), "no None (Dummy) backend")

local function bounce(track, frames, title)
  return track:bounce_range(0, frames, ARDOUR.InterThreadInfo(), track:main_outs(), false, title)
end

local function save_and_close()
  check(Session:save_state("", false, false, false, false, false) == 0, "cannot save the session")
  close_session()
end

if phase == "import" then
  local file, frames = arg[3], tonumber(arg[4])
  check(create_session(dir, name, 48000), "cannot create the session")
  local track = Session:new_audio_track(2, 2, nil, 1, "Orvanta", ARDOUR.PresentationInfo.max_order,
    ARDOUR.TrackMode.Normal, true):front()
  track:playlist():add_region(bounce(track, frames, "import"), Temporal.timepos_t(0), 1, false)
  save_and_close()
  -- The Lua session tool has no import call (the editor's do_import is the GUI's). A region of
  -- the file's length is made by bouncing the empty track, and its two sources are pointed at
  -- the file's channels the way Ardour stores a file embedded in place.
  local path = dir .. "/" .. name .. ".ardour"
  local f = check(io.open(path, "r"), "no session file " .. path)
  local xml = f:read("a")
  f:close()
  local count
  xml, count = xml:gsub('name="import%%([LR])%.wav"([^>]-)channel="0"', function(side, rest)
    return 'name="' .. file .. '"' .. rest .. 'channel="' .. (side == "L" and 0 or 1) .. '"'
  end)
  check(count == 2, "the session file holds " .. count .. " bounced sources, not 2")
  f = check(io.open(path, "w"), "cannot write " .. path)
  f:write(xml)
  f:close()
  os.exit(0)
end

check(load_session(dir, name), "cannot open the session in " .. dir)
local route = check(Session:route_by_name("Orvanta"), "no track in the session")

-- Ardour's Lua API names a plug-in's controls by label, numbered in port order.
local function control(plugin, label)
  for i = 0, plugin:parameter_count() - 1 do
    if plugin:parameter_is_input(i) and plugin:parameter_is_control(i) and
        plugin:parameter_label(i) == label then
      return i
    end
  end
  check(false, "the plug-in has no control " .. label)
end

local function report()
  local proc = route:nth_plugin(0)
  check(not proc:isnil(), "no plug-in on the track")
  local plugin = proc:to_insert():plugin(0)
  for _, label in ipairs({ "Gain", "Mono", "Stereo" }) do
    print("CONTROL", label, (ARDOUR.LuaAPI.get_processor_param(proc, control(plugin, label))))
  end
end

if phase == "process" then
  local preset, stereo, frames = arg[3], tonumber(arg[4]), tonumber(arg[5])
  local track = route:to_track()
  for region in track:playlist():region_list():iter() do
    -- The region's default fades would shape the comparison's ends.
    region:to_audioregion():set_fade_in_active(false)
    region:to_audioregion():set_fade_out_active(false)
  end
  local proc = vst3 and ARDOUR.LuaAPI.new_plugin(Session, "Orvanta", ARDOUR.PluginType.VST3, "")
      or ARDOUR.LuaAPI.new_plugin(Session, "urn:quev:orvanta", ARDOUR.PluginType.LV2, "")
  check(not proc:isnil(), vst3 and "no scanned VST3 plug-in Orvanta"
    or "no LV2 plug-in urn:quev:orvanta on LV2_PATH")
  check(route:add_processor_by_index(proc, 0, nil, true) == 0, "cannot insert the plug-in")
  local plugin = proc:to_insert():plugin(0)
  local record = plugin:preset_by_label(preset)
  check(record and record.valid, "no factory preset " .. preset)
  check(plugin:load_preset(record), "cannot apply the preset " .. preset)
  check(ARDOUR.LuaAPI.set_processor_param(proc, control(plugin, "Stereo"), stereo), "cannot set Stereo")
  report()
  local out = bounce(track, frames, "bounced")
  print("BOUNCED", out:source(0):to_filesource():path(), out:source(1):to_filesource():path())
  save_and_close()
elseif phase == "reopen" then
  report()
  close_session()
end
