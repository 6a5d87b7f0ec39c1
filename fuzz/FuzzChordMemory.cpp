// A chord-memory file (.cmb): parsed, applied to a chord memory, captured and
// written again; what was written must parse to what was captured.
#include "engine/ChordMemory.h"
#include "presets/ChordMemoryFile.h"

#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const std::optional<ChordMemorySet> set = ParseChordMemorySet(in);
    if (!set) return 0;
    ChordMemory memory;
    ApplyChordMemorySet(*set, &memory);
    const ChordMemorySet captured = CaptureChordMemorySet(memory);
    std::stringstream out;
    if (!WriteChordMemorySet(captured, out)) std::abort();
    const std::optional<ChordMemorySet> again = ParseChordMemorySet(out);
    if (!again || again->slots.size() != captured.slots.size()) std::abort();
    for (std::size_t i = 0; i < captured.slots.size(); ++i)
        if (again->slots[i].root != captured.slots[i].root ||
            again->slots[i].notes != captured.slots[i].notes)
            std::abort();
    return 0;
}
