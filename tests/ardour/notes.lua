-- PrintNotes(session, prefix): one line "PREFIX KEY VELOCITY START LENGTH" for every note of the
-- regions of track "Rec", times in ticks of 1920 a quarter note from the session start.
local function Ticks(beats)
  local b, t = beats:str():match("^(-?%d+):(%d+)$")
  return tonumber(b) * 1920 + tonumber(t)
end

function PrintNotes(s, prefix)
  local rec = s:route_by_name("Rec"):to_track()
  for region in rec:playlist():region_list():iter() do
    local origin = Ticks(region:position():beats()) - Ticks(region:start():beats())
    for note in ARDOUR.LuaAPI.note_list(region:to_midiregion():model()):iter() do
      print(string.format("%s %d %d %d %d", prefix, note:note(), note:velocity(), origin + Ticks(note:time()),
                          Ticks(note:length())))
    end
  end
end
