#pragma once
// Text lines for the events the command-line host collects.

#include "tools/host/HostEvents.h"

#include <string>

namespace quova::host
{

// Column heading matching FormatEventLine.
std::string EventLineHeading();

// One line: block, offset, host frame, bar.beat.tick and quarter-note
// position (with the given time signature), the bytes in hexadecimal and a
// short description ("note-on ch 1 C4 vel 100"). No trailing newline.
std::string FormatEventLine(const ReceivedEvent& event, int numerator, int denominator);

// A MIDI message in words: "note-on ch 1 C4 vel 100", "cc ch 2 #74 = 10",
// "pitch-bend ch 1 +512", and so on; "" for an empty message.
std::string DescribeMidi(const uint8_t* bytes, int size);

// Note name with octave, note 60 being "C4": 0 is "C-1", 127 is "G9".
std::string NoteName(int note);

} // namespace quova::host
