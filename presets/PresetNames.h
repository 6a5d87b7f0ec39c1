// Names of saved presets and the search for an existing file of a name.
//
// Any thread; Poco's file-system errors are caught here.
#pragma once

#include <string>

// The name a preset or chord-memory set is saved under: name itself when all of it consists of
// letters, digits, underscores and blanks, else (and for an empty name) "Preset 1". A vetted name
// can hold no path separator or dot, so a file named after it stays inside its folder.
std::string IsValidPresetName(const std::string& name);

// True when a file whose base name (the name without folder and extension) equals name lies in
// folder or, depth first, in any of its sub-folders. Unreadable folders count as empty; the search
// goes at most 16 folders deep and follows folder links, entering each folder once (by device and
// inode), so links that loop end at once.
bool FindFileRecursive(const std::string& name, const std::string& folder);
