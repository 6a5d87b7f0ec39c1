// The chord table text, parsed and put into a chord memory's table.
#include "engine/ChordMemory.h"
#include "plugin/ChordTableReader.h"
#include "plugin/TextResource.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    (void)ParseChordTable(text);
    ChordMemory memory;
    ReadChordTable(&memory, [&text](int) { return text.c_str(); });
    return 0;
}
