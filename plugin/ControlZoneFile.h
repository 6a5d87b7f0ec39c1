// The control-zone file, controlzone.qva in the data folder's "data" folder: one target word per
// line, line i (from 0) for zone key 12 + i; only the first 24 lines count. Words are matched
// exactly (case and blanks count; one trailing carriage return of a line is ignored). The file is
// only read, never written. Any thread; never throws.
#pragma once

#include <string>
#include <vector>

class ControlTargetTable;

// The path of controlzone.qva, or "" when the data folder cannot be named.
std::string GetControlZoneFilePath();

// Every line of the file (without its line end). Makes sure the "data" folder exists first; a
// file that cannot be opened, or a data folder that cannot be made, gives an empty list.
std::vector<std::string> ReadControlZoneFile();

// The 24 action ids the lines give: the target id of each of the first 24 lines ("n/a", unknown
// words and "shift" give 0); keys without a line get 0.
std::vector<int> ControlZoneActionsFromLines(const std::vector<std::string>& lines);

// Reads the file and replaces the table's action list with what it gives (a missing file leaves
// every key without action).
void BuildControlZoneActions(ControlTargetTable& table);

// Splits text at every occurrence of delimiter; n delimiters give n + 1 parts (empty ones kept).
std::vector<std::string> SplitString(const std::string& text, char delimiter);
