#include "presets/ChordMemoryFile.h"

#include "engine/ChordMemory.h"
#include "engine/NoteList.h"
#include "engine/NoteRecord.h"

namespace
{

bool ReadInt(std::istream& in, int32_t* value)
{
    unsigned char bytes[4];
    if (!in.read(reinterpret_cast<char*>(bytes), 4)) return false;
    const uint32_t word = uint32_t{bytes[0]} | (uint32_t{bytes[1]} << 8) | (uint32_t{bytes[2]} << 16) |
                          (uint32_t{bytes[3]} << 24);
    *value = static_cast<int32_t>(word);
    return true;
}

void WriteInt(std::ostream& out, int32_t value)
{
    const uint32_t word = static_cast<uint32_t>(value);
    const char bytes[4] = {static_cast<char>(word & 0xFF), static_cast<char>((word >> 8) & 0xFF),
                           static_cast<char>((word >> 16) & 0xFF), static_cast<char>((word >> 24) & 0xFF)};
    out.write(bytes, 4);
}

} // namespace

std::optional<ChordMemorySet> ParseChordMemorySet(std::istream& in)
{
    int32_t count = 0;
    if (!ReadInt(in, &count) || count < 0 || count > ChordMemorySet::kMaxSlots) return std::nullopt;
    ChordMemorySet set;
    set.slots.resize(static_cast<size_t>(count));
    for (ChordMemorySet::Slot& slot : set.slots)
    {
        int32_t notes = 0;
        if (!ReadInt(in, &slot.root) || !ReadInt(in, &notes)) return std::nullopt;
        if (notes < 0 || notes > ChordMemorySet::kMaxNotesPerSlot) return std::nullopt;
        slot.notes.resize(static_cast<size_t>(notes));
        for (int32_t& note : slot.notes)
        {
            if (!ReadInt(in, &note)) return std::nullopt;
        }
    }
    return set;
}

void ApplyChordMemorySet(const ChordMemorySet& set, ChordMemory* memory)
{
    memory->ClearAllSlots();
    const int count = static_cast<int>(set.slots.size());
    for (int i = 0; i < count && i < ChordMemory::kSlotCount; ++i)
    {
        const ChordMemorySet::Slot& slot = set.slots[static_cast<size_t>(i)];
        memory->SetSlotRootNote(i, slot.root);
        for (int32_t note : slot.notes)
        {
            if (note >= 0 && note <= 127) memory->SetSlotNote(i, note, true);
        }
    }
}

ChordMemorySet CaptureChordMemorySet(const ChordMemory& memory)
{
    ChordMemorySet set;
    set.slots.resize(ChordMemory::kSlotCount);
    for (int i = 0; i < ChordMemory::kSlotCount; ++i)
    {
        const ChordMemorySlot* slot = memory.GetSlot(i);
        if (slot == nullptr) continue;
        const NoteList& chord = slot->Chord();
        set.slots[static_cast<size_t>(i)].root = chord.RootNote();
        for (const NoteRecord* record : chord.Ordered())
            set.slots[static_cast<size_t>(i)].notes.push_back(record->note);
    }
    return set;
}

bool WriteChordMemorySet(const ChordMemorySet& set, std::ostream& out)
{
    WriteInt(out, static_cast<int32_t>(set.slots.size()));
    for (const ChordMemorySet::Slot& slot : set.slots)
    {
        WriteInt(out, slot.root);
        WriteInt(out, static_cast<int32_t>(slot.notes.size()));
        for (int32_t note : slot.notes)
            WriteInt(out, note);
    }
    out.flush();
    return static_cast<bool>(out);
}
