#include "plugin/BuiltInChords.h"

const std::vector<ChordTableEntry>& BuiltInChordTable()
{
    static const std::vector<ChordTableEntry> table = {
        {"Major", {0, 12, 16, 19, 24}},
        {"Major 6", {0, 12, 16, 19, 21, 24}},
        {"Major 7", {0, 7, 12, 19, 22, 24}},
        {"Major 9", {5, 12, 14, 16, 19, 23}},
        {"Minor", {0, 12, 15, 19, 24}},
        {"Minor 6", {0, 12, 15, 19, 21, 24}},
        {"Minor 7", {0, 10, 12, 15, 19, 22, 24}},
        {"Minor 9", {0, 3, 12, 14, 19, 22, 24}},
    };
    return table;
}
