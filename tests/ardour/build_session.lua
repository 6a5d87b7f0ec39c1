-- Makes the session: track "Arp" holds the chord source and the module, its MIDI output feeds
-- the input of track "Rec", which will record what the module plays. Saves and closes it.
dofile(os.getenv("QUOVA_ARDOUR_SCRIPTS") .. "/engine.lua")

local s = create_session(session_dir, session_name, 44100)
assert(s ~= nil, "the session was not made")
local midi = ARDOUR.DataType("midi")
local function MidiTrack(name)
  local list = s:new_midi_track(ARDOUR.ChanCount(midi, 1), ARDOUR.ChanCount(midi, 1), false, ARDOUR.PluginInfo(),
                                nil, nil, 1, name, ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true,
                                false)
  assert(list:size() == 1, "track " .. name .. " was not made")
  return list:front()
end
local arp = MidiTrack("Arp")
local rec = MidiTrack("Rec")

local module = ARDOUR.LuaAPI.new_plugin(s, "Quova", ARDOUR.PluginType.LXVST, "")
assert(not module:isnil(), "Ardour did not find the module")
assert(arp:add_processor_by_index(module, 0, nil, true) == 0, "the module was not added")
local chord = ARDOUR.LuaAPI.new_luaproc(s, "Held Chord")
assert(not chord:isnil(), "the chord source script was not found")
assert(arp:add_processor_by_index(chord, 0, nil, true) == 0, "the chord source was not added")

local arpMidi = nil
for i = 0, arp:output():n_ports():n_total() - 1 do
  local port = arp:output():nth(i)
  if not port:to_midiport():isnil() then arpMidi = port:name() end
end
assert(arpMidi ~= nil, "track Arp has no MIDI output")
local recIn = rec:input():nth(0)
rec:input():disconnect_all(nil)
assert(rec:input():connect(recIn, arpMidi, nil) == 0 and recIn:connected_to(arpMidi), "Rec is not fed by Arp")

assert(s:save_state("", false, false, false, false, false) == 0, "the session was not saved")
close_session()
print("built")
