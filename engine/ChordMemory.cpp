#include "engine/ChordMemory.h"

#include <utility>

ChordMemorySlot::ChordMemorySlot() : chord_(NoteList::kChordLimit), moved_(NoteList::kDefaultLimit) {}

NoteList& ChordMemorySlot::MoveTo(const NoteRecord* played)
{
    moved_.Clear();
    if (played == nullptr) return moved_;
    const int root = chord_.RootNote();
    for (const NoteRecord* r : chord_.Ordered())
    {
        const long long note = static_cast<long long>(r->note) - root + played->note;
        if (note >= 0 && note < NoteList::kNoteCount)
            moved_.Add(static_cast<int>(note), played->velocity, false);
    }
    return moved_;
}

ChordMemory::ChordMemory()
{
    for (auto& slot : slots_)
        slot = std::make_unique<ChordMemorySlot>();
}

ChordMemorySlot* ChordMemory::GetSlot(int slot)
{
    if (slot < 0 || slot >= kSlotCount) return nullptr;
    return slots_[static_cast<size_t>(slot)].get();
}

const ChordMemorySlot* ChordMemory::GetSlot(int slot) const
{
    if (slot < 0 || slot >= kSlotCount) return nullptr;
    return slots_[static_cast<size_t>(slot)].get();
}

bool ChordMemory::SetSlotNote(int slot, int note, bool on)
{
    ChordMemorySlot* s = GetSlot(slot);
    if (s == nullptr) return false;
    if (on) return s->Chord().Add(note, 0, false) != nullptr;
    return s->Chord().Remove(note);
}

bool ChordMemory::SlotHasNote(int slot, int note) const
{
    const ChordMemorySlot* s = GetSlot(slot);
    return s != nullptr && s->Chord().Contains(note);
}

bool ChordMemory::SetSlotRootNote(int slot, int root)
{
    ChordMemorySlot* s = GetSlot(slot);
    if (s == nullptr) return false;
    s->Chord().SetRootNote(root);
    return true;
}

bool ChordMemory::ClearSlot(int slot)
{
    ChordMemorySlot* s = GetSlot(slot);
    if (s == nullptr) return false;
    s->Chord().Clear();
    return true;
}

void ChordMemory::ClearAllSlots()
{
    for (auto& slot : slots_)
    {
        slot->Chord().Clear();
        slot->Chord().SetRootNote(NoteList::kDefaultRootNote);
        slot->MovedChord().Clear();
    }
}

bool ChordMemory::SetCurrentSlot(int slot)
{
    if (GetSlot(slot) == nullptr) return false;
    currentSlot_ = slot;
    return true;
}

void ChordMemory::ClearCurrentSlot()
{
    ClearSlot(currentSlot_);
}

void ChordMemory::CopyCurrentSlot()
{
    GetSlot(currentSlot_)->Chord().CopyTo(copyBuffer_.Chord());
}

void ChordMemory::PasteIntoCurrentSlot()
{
    copyBuffer_.Chord().CopyTo(GetSlot(currentSlot_)->Chord());
}

bool ChordMemory::InvertCurrentSlot(bool up)
{
    NoteList& chord = GetSlot(currentSlot_)->Chord();
    NoteRecord* record = up ? chord.Lowest() : chord.Highest();
    if (record == nullptr) return false;
    return chord.MoveNote(record, up ? 12 : -12, kHighestChordNote);
}

bool ChordMemory::ApplyChordToCurrentSlot(int index)
{
    const ChordTableEntry* entry = GetChordTableEntry(index);
    if (entry == nullptr) return false;
    NoteList& chord = GetSlot(currentSlot_)->Chord();
    chord.SetRootNote(NoteList::kDefaultRootNote);
    chord.Clear();
    for (int note : entry->notes)
        chord.Add(note, 0, false);
    return true;
}

void ChordMemory::AddChordTableEntry(ChordTableEntry entry)
{
    chordTable_.push_back(std::move(entry));
}

const ChordTableEntry* ChordMemory::GetChordTableEntry(int index) const
{
    if (index < 0 || index >= ChordTableSize()) return nullptr;
    return &chordTable_[static_cast<size_t>(index)];
}
