#include "plugin/ChordTableReader.h"

#include "plugin/ControlZoneFile.h"

#include <string>
#include <utility>

std::vector<ChordTableEntry> ParseChordTable(std::string_view text)
{
    std::vector<ChordTableEntry> entries;
    for (std::string& line : SplitString(std::string(text), '\n'))
    {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find('/') != std::string::npos) continue;
        std::vector<std::string> fields = SplitString(line, ',');
        if (fields.size() < 2) continue;
        ChordTableEntry entry;
        entry.name = std::move(fields[0]);
        entry.notes.reserve(fields.size() - 1);
        for (size_t i = 1; i < fields.size(); ++i)
            entry.notes.push_back(TextToInt(fields[i]));
        entries.push_back(std::move(entry));
    }
    return entries;
}

bool ReadChordTable(ChordMemory* memory, const TextResourceLoader& load)
{
    if (memory == nullptr || !load) return false;
    const char* text = load(kChordTableResourceId);
    if (text == nullptr) return false;
    std::vector<ChordTableEntry> entries = ParseChordTable(text);
    memory->ClearChordTable();
    for (ChordTableEntry& entry : entries)
        memory->AddChordTableEntry(std::move(entry));
    return true;
}

bool ReadChordTable(ChordMemory* memory, IGraphics* graphics)
{
    if (graphics == nullptr) return false;
    return ReadChordTable(memory, GraphicsTextResources(graphics));
}
