ardour { ["type"] = "dsp", name = "Held Chord", category = "Utility", license = "MIT", author = "Quova tests",
         description = [[Sends note-ons of C3, E3 and G3 in the first cycle the transport rolls, then nothing.]] }
function dsp_ioconfig () return { { midi_in = 1, midi_out = 1, audio_in = 0, audio_out = 0 } } end
local sent = false
function dsp_run (_, _, n_samples)
  if sent or not Session:transport_rolling () then return end
  local cnt = 1
  for _, note in ipairs ({ 48, 52, 55 }) do
    midiout[cnt] = { time = 1, data = { 0x90, note, 100 } }
    cnt = cnt + 1
  end
  sent = true
end
