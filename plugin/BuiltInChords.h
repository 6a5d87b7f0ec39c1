#pragma once

#include "engine/ChordMemory.h"

#include <vector>

// The chord table the plug-in ships with ("name,note,note,..." rows, in
// table order). The notes are stored data: they are kept exactly as they are,
// even where a row looks musically unusual.
const std::vector<ChordTableEntry>& BuiltInChordTable();
