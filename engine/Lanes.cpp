#include "engine/Lanes.h"

namespace quova
{
namespace
{
const char* const kLaneNames[] = {"ORDER",  "CHRDMEM", "LENGTH", "GATE", "ACCENT",
                                  "TRANSP", "DIV",     "SHIFT",  "SEQ"};
const char* const kNoteChoiceNames[kNoteChoiceCount] = {"Play", "Off",     "Previous", "First",
                                                        "Last", "Highest", "Lowest",   "Random"};
} // namespace

const char* LaneName(int lane)
{
    return lane >= 0 && lane <= kLaneChord ? kLaneNames[lane] : nullptr;
}

const char* NoteChoiceName(int choice)
{
    return choice >= 0 && choice < kNoteChoiceCount ? kNoteChoiceNames[choice] : nullptr;
}
} // namespace quova
