// The reader of the chord table built into the module: named chords from which the chord memory's
// slots can be filled.
//
// Chord table text: lines separated by line feeds (a carriage return before the feed is ignored).
//   - A line containing "/" anywhere is a comment; skipped.
//   - Any other line is split at every ","; a line with fewer than two fields is skipped. The first
//     field is the chord's name, kept as it stands; each further field is a value converted as
//     TextToInt does (an empty or malformed field gives 0), in order.
#pragma once

#include "engine/ChordMemory.h"
#include "plugin/TextResource.h"

#include <string_view>
#include <vector>

class IGraphics;

// The entries chord table text gives (format above), in order.
std::vector<ChordTableEntry> ParseChordTable(std::string_view text);

// Reads the chord table resource (kChordTableResourceId) through load. When the resource is
// found, memory's chord table becomes exactly the entries its text gives and the result is true;
// when it is missing (or memory is null) the result is false and the table is left as it was.
// Caller holds the plug-in's lock when the engine may run (the constructor needs none).
bool ReadChordTable(ChordMemory* memory, const TextResourceLoader& load);
// The same through the editor object's text-resource loader; false for a null graphics.
bool ReadChordTable(ChordMemory* memory, IGraphics* graphics);
