-- Opens the session, records five seconds into track "Rec" from the start, saves, and prints the
-- recorded notes ("note KEY VELOCITY START LENGTH", times in ticks of 1920 a quarter note).
dofile(os.getenv("QUOVA_ARDOUR_SCRIPTS") .. "/engine.lua")
dofile(os.getenv("QUOVA_ARDOUR_SCRIPTS") .. "/notes.lua")

local function WaitUntil(condition, what)
  local start = ARDOUR.LuaAPI.monotonic_time()
  while not condition() do
    assert(ARDOUR.LuaAPI.monotonic_time() - start < 120e6, "timed out waiting for " .. what)
    ARDOUR.LuaAPI.usleep(10000)
  end
end

local s = load_session(session_dir, session_name)
assert(s ~= nil, "the session did not load")
local rec = s:route_by_name("Rec"):to_track()
rec:rec_enable_control():set_value(1, PBD.GroupControlDisposition.NoGroup)
s:goto_start(false)
s:maybe_enable_record(false)
s:request_roll(ARDOUR.TransportRequestSource.TRS_UI)
WaitUntil(function() return s:transport_sample() >= 5 * 44100 end, "five seconds of transport")
s:request_stop(false, false, ARDOUR.TransportRequestSource.TRS_UI)
WaitUntil(function() return not s:transport_rolling() end, "the transport to stop")
-- The take becomes a region after the stop, on the engine's and the disk thread's time.
WaitUntil(function() return rec:playlist():region_list():size() > 0 end, "the recorded region")
s:disable_record(false, false)
assert(s:save_state("", false, false, false, false, false) == 0, "the session was not saved")
PrintNotes(s, "note")
print("recorded")
close_session()
