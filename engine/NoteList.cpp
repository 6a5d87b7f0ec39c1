#include "engine/NoteList.h"

#include <algorithm>
#include <cstdlib>

namespace
{
constexpr int kOctaveSize = 12;
constexpr int kOctaveCount = (NoteList::kNoteCount + kOctaveSize - 1) / kOctaveSize;

bool IsNote(int note)
{
    return note >= 0 && note < NoteList::kNoteCount;
}
} // namespace

NoteList::NoteList(int limit) : limit_(limit)
{
    // Reserved once so that adding notes on the audio thread never grows them.
    ordered_.reserve(kNoteCount);
    spare_.reserve(kNoteCount);
}

void NoteList::PrepareRecords(int count)
{
    const size_t target = static_cast<size_t>(std::clamp(count, 0, kNoteCount));
    while (spare_.size() < target)
        spare_.push_back(std::make_unique<NoteRecord>());
}

std::unique_ptr<NoteRecord> NoteList::TakeRecord()
{
    if (spare_.empty()) return std::make_unique<NoteRecord>();
    std::unique_ptr<NoteRecord> record = std::move(spare_.back());
    spare_.pop_back();
    *record = NoteRecord{};
    return record;
}

void NoteList::GiveBack(std::unique_ptr<NoteRecord> record)
{
    // At most kNoteCount records ever exist for one list, so the reserve holds them all.
    if (record != nullptr && spare_.size() < spare_.capacity()) spare_.push_back(std::move(record));
}

NoteList::~NoteList() = default;

NoteRecord* NoteList::Add(int note, int velocity, bool released)
{
    // Chord moves can produce negative notes; they must never index the slots.
    if (Count() >= limit_ || !IsNote(note) || Count() >= kMaxHeld) return nullptr;

    if (NoteRecord* existing = slots_[note].get())
    {
        existing->velocity = velocity;
        if (existing->released && !released)
        {
            existing->released = false;
            existing->playedSequence = CountFrom(existing->playedSequence, note / kOctaveSize) + 1;
        }
        return nullptr;
    }

    std::unique_ptr<NoteRecord> record = TakeRecord();
    record->note = note;
    record->velocity = velocity;
    record->released = released;
    NoteRecord* raw = record.get();

    auto where = std::find_if(ordered_.begin(), ordered_.end(),
                              [note](const NoteRecord* r) { return r->note > note; });
    ordered_.insert(where, raw);
    raw->playedSequence = Count() - 1;
    slots_[note] = std::move(record);
    return raw;
}

bool NoteList::Remove(int note)
{
    if (!IsNote(note) || !slots_[note]) return false;
    Unlink(slots_[note].get());
    GiveBack(std::move(slots_[note]));
    // Renumbering every remaining note to its list position also covers the
    // per-octave decrement a removal would otherwise need.
    RenumberPlayedSequences();
    return true;
}

bool NoteList::MoveNote(NoteRecord* record, int semitones, int highest)
{
    if (record == nullptr || !IsNote(record->note) || slots_[record->note].get() != record) return false;
    const long long target = static_cast<long long>(record->note) + semitones;
    const int top = std::min(highest, kNoteCount - 1);
    if (target < 0 || target > top) return false;

    const int newNote = static_cast<int>(target);
    std::unique_ptr<NoteRecord> owned = std::move(slots_[record->note]);
    if (!slots_[newNote])
    {
        record->note = newNote;
        slots_[newNote] = std::move(owned);
    }
    else
    {
        // The target note is already held: the two notes merge.
        Unlink(record);
        GiveBack(std::move(owned));
    }
    return true;
}

void NoteList::CopyTo(NoteList& destination) const
{
    if (&destination == this) return;
    destination.Clear();
    destination.rootNote_ = rootNote_;
    for (const NoteRecord* r : ordered_)
        destination.Add(r->note, 0, false);
}

void NoteList::RemoveReleased()
{
    for (int note = 0; note < kNoteCount; ++note)
    {
        if (slots_[note] && slots_[note]->released) Remove(note);
    }
}

void NoteList::Clear()
{
    ordered_.clear();
    for (auto& slot : slots_)
        if (slot != nullptr) GiveBack(std::move(slot));
}

void NoteList::ComputeOrder(int sortMode)
{
    if (ordered_.empty()) return;
    const int count = Count();
    switch (sortMode)
    {
    case 0:
    {
        int position = 0;
        for (int note = 0; note < kNoteCount; ++note)
            if (slots_[note]) slots_[note]->orderPosition = position++;
        break;
    }
    case 1:
    {
        int position = 0;
        for (int note = kNoteCount - 1; note >= 0; --note)
            if (slots_[note]) slots_[note]->orderPosition = position++;
        break;
    }
    case 2:
        for (NoteRecord* r : ordered_)
            r->orderPosition = r->playedSequence;
        break;
    case 3:
        for (NoteRecord* r : ordered_)
            r->orderPosition = std::abs(r->playedSequence - count + 1);
        break;
    default:
        break;
    }

    long long sum = 0;
    for (const NoteRecord* r : ordered_)
        sum += r->velocity;
    averageVelocity_ = static_cast<int>(sum / count);

    // First velocity: the latest-played note of the highest octave that holds
    // notes; last velocity: that of the lowest such octave. Among notes played
    // as often, the lower one counts (as a walk up through the octave finds it).
    const NoteRecord* highest = nullptr;
    const NoteRecord* lowest = nullptr;
    const auto later = [](const NoteRecord* r, const NoteRecord* best)
    {
        return r->playedSequence > best->playedSequence ||
               (r->playedSequence == best->playedSequence && r->note < best->note);
    };
    for (const NoteRecord* r : ordered_)
    {
        const int octave = r->note / kOctaveSize;
        if (highest == nullptr || octave > highest->note / kOctaveSize ||
            (octave == highest->note / kOctaveSize && later(r, highest)))
            highest = r;
        if (lowest == nullptr || octave < lowest->note / kOctaveSize ||
            (octave == lowest->note / kOctaveSize && later(r, lowest)))
            lowest = r;
    }
    firstVelocity_ = highest->velocity;
    lastVelocity_ = lowest->velocity;
}

int NoteList::CountFrom(int sequence, int octave)
{
    int last = 0;
    if (octave < 0 || octave >= kOctaveCount) return last;
    const int first = octave * kOctaveSize;
    const int end = std::min(first + kOctaveSize, kNoteCount);
    for (int note = first; note < end; ++note)
    {
        NoteRecord* r = slots_[note].get();
        if (r != nullptr && r->playedSequence > sequence) last = --r->playedSequence;
    }
    return last;
}

NoteRecord* NoteList::Find(int note) const
{
    return IsNote(note) ? slots_[note].get() : nullptr;
}

NoteRecord* NoteList::At(int index) const
{
    if (index < 0 || index >= Count()) return nullptr;
    return ordered_[static_cast<size_t>(index)];
}

NoteRecord* NoteList::FindByOrderPosition(int position) const
{
    for (NoteRecord* r : ordered_)
        if (r->orderPosition == position) return r;
    return nullptr;
}

int NoteList::HighestOrderPosition() const
{
    int top = 0;
    for (const NoteRecord* r : ordered_)
        top = std::max(top, r->orderPosition);
    return top;
}

NoteRecord* NoteList::Lowest() const
{
    for (int note = 0; note < kNoteCount; ++note)
        if (slots_[note]) return slots_[note].get();
    return nullptr;
}

NoteRecord* NoteList::Highest() const
{
    for (int note = kNoteCount - 1; note >= 0; --note)
        if (slots_[note]) return slots_[note].get();
    return nullptr;
}

void NoteList::Unlink(NoteRecord* record)
{
    auto it = std::find(ordered_.begin(), ordered_.end(), record);
    if (it != ordered_.end()) ordered_.erase(it);
}

void NoteList::RenumberPlayedSequences()
{
    int index = 0;
    for (NoteRecord* r : ordered_)
        r->playedSequence = index++;
}
