#include "engine/Lanes.h"

namespace quova
{
namespace
{
const char* const kNoteChoiceNames[kNoteChoiceCount] = {"Play", "Off",     "Previous", "First",
                                                        "Last", "Highest", "Lowest",   "Random"};
} // namespace

const char* NoteChoiceName(int choice)
{
    return choice >= 0 && choice < kNoteChoiceCount ? kNoteChoiceNames[choice] : nullptr;
}
} // namespace quova
