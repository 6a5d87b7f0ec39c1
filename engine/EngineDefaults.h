#pragma once

class EngineHost;

namespace quova
{
// Puts an engine into the state a fresh plug-in gives it when it pushes its
// parameter defaults: key area 0 on (MIDI 1 in and out, keys 36..59, base 36),
// areas 1..3 off (60..71, 72..83, 84..107); in every pattern 32 steps of 1/16,
// gate -0.1, sort order "Lo-Hi", one octave, no swing, no transpose, DIV 1;
// velocity mode "Note", volume 0, no scale, "Arp on note count" 1, hold sync
// every step, scene steps of 32 steps playing pattern 0 once, scene end 15;
// the control zone on with no key actions and sync 0.
void ApplyDefaultParameterState(EngineHost& host);
} // namespace quova
