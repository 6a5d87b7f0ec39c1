// The note engine's output side: the notes the key areas generate are queued per MIDI channel,
// counted per (channel, note, step) so that a step sends a note once, and moved to the output list
// the processor hands to the plug-in.
#include "engine/NoteEngine.h"

#include "engine/ActionDispatcher.h"
#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/OutputNote.h"
#include "engine/PatternEngine.h"

#include <algorithm>

int NoteEngine::SoundingCount(int channel) const
{
    return IsChannel(channel) ? static_cast<int>(sounding_[static_cast<size_t>(channel)].size()) : 0;
}

// --- Output-note pool ------------------------------------------------------------

OutputNote* NoteEngine::NewOutputNote()
{
    OutputNote* note = nullptr;
    if (!free_.empty())
    {
        note = free_.back();
        free_.pop_back();
    }
    else
    {
        pool_.push_back(std::make_unique<OutputNote>());
        note = pool_.back().get();
    }
    *note = OutputNote{};
    return note;
}

void NoteEngine::RecycleOutputNote(OutputNote* note)
{
    if (note != nullptr) free_.push_back(note);
}

void NoteEngine::QueueOutputNoteOn(OutputNote* note)
{
    Queue(queuedOn_, note);
}

void NoteEngine::QueueOutputNoteOff(OutputNote* note)
{
    Queue(queuedOff_, note);
}

void NoteEngine::Queue(std::array<std::vector<OutputNote*>, kChannels + 1>& queues, OutputNote* note)
{
    if (note == nullptr) return;
    if (!IsChannel(note->channel))
    {
        RecycleOutputNote(note);
        return;
    }
    queues[static_cast<size_t>(note->channel)].push_back(note);
}

void NoteEngine::EmitOff(OutputNote* note)
{
    auto& list = sounding_[static_cast<size_t>(note->channel)];
    auto it =
        std::find_if(list.begin(), list.end(),
                     [note](const Sounding& s) {
                         return s.note == note->note && s.area == note->keyArea && s.step == note->stepNumber;
                     });
    if (it == list.end())
        it = std::find_if(list.begin(), list.end(),
                          [note](const Sounding& s)
                          { return s.note == note->note && s.area == note->keyArea; });
    if (it != list.end()) list.erase(it);
    note->kind = OutputNote::kNoteOff;
    output_.push_back(note);
    if (ActionDispatcher* d = host_.GetDispatcher())
    {
        ActionArgument argument;
        argument.note = note;
        d->Dispatch(ActionDispatcher::kNotesReleased, argument);
    }
}

void NoteEngine::FlushNotes()
{
    LowerReleasedCounts();
    for (int ch = 1; ch <= kChannels; ++ch)
    {
        if (queuedOff_[static_cast<size_t>(ch)].empty() && queuedOn_[static_cast<size_t>(ch)].empty())
            continue;
        countersTouched_[static_cast<size_t>(ch)] = true;
        ContinueSoundingNotes(ch);
        FlushNoteOffs(ch);
        FlushNoteOns(ch);
        FlushDeferredOffs(ch);
    }
    SortOutput();
}

void NoteEngine::LowerReleasedCounts()
{
    for (const Released& r : released_)
    {
        int& count = noteCounts_[static_cast<size_t>(r.channel - 1)][static_cast<size_t>(r.note)];
        if (count > 0)
        {
            --count;
            heldCount_ = std::max(0, heldCount_ - 1);
        }
        Report(r.channel);
    }
    released_.clear();
}

// The queued note-offs of a channel, before its note-ons.
void NoteEngine::FlushNoteOffs(int ch)
{
    auto& offs = queuedOff_[static_cast<size_t>(ch)];
    const auto& ons = queuedOn_[static_cast<size_t>(ch)];
    for (OutputNote* off : offs)
    {
        if (off->muted || TakeDropped(*off))
        {
            RecycleOutputNote(off);
            continue;
        }
        int& counter = StepCounter(ch, off->note, off->stepNumber);
        const auto sameStep = [off](const OutputNote* on) {
            return on->note == off->note && on->stepNumber == off->stepNumber && on->time <= off->time &&
                   !on->muted;
        };
        if (counter == 0 && std::any_of(ons.begin(), ons.end(), sameStep))
        {
            // The note it ends starts in this same piece: end it after that.
            deferredOffs_.push_back(off);
            continue;
        }
        EmitOff(off);
        counter = std::max(0, counter - 1);
    }
    offs.clear();
}

// The queued note-ons of a channel: sent, sent as the continuation of a
// sounding note, or dropped as duplicates.
void NoteEngine::FlushNoteOns(int ch)
{
    ActionDispatcher* dispatcher = host_.GetDispatcher();
    auto& ons = queuedOn_[static_cast<size_t>(ch)];
    for (OutputNote* on : ons)
    {
        if (on->muted)
        {
            RecycleOutputNote(on);
            continue;
        }
        // A note-on that continues a sounding note (see
        // ContinueSoundingNotes) is already listed and counted; it goes
        // out for its controllers.
        const bool continues = on->suppressNoteOn;
        int& counter = StepCounter(ch, on->note, on->stepNumber);
        if (counter > 0 && !continues)
        {
            // A duplicate of a sounding note (another key area, or two
            // notes of one step event): dropped with its note-off.
            RememberDropped(ch, on->note, on->eventSequence);
            RecycleOutputNote(on);
            continue;
        }
        const int area = std::clamp(on->keyArea, 0, kAreas - 1);
        Waiting& waiting = waiting_[static_cast<size_t>(area)];
        if (waiting.waitingFlag)
        {
            // The keys that waited went to the host meanwhile; they end with the area's first note
            // (once, should another area have ended one already).
            for (const NoteEvent& w : waiting.switchOff)
                if (int& sentAs = SentAs(w.channel, w.note); sentAs >= 0)
                {
                    EndPassedNote(w, sentAs, on->time, area);
                    sentAs = -1;
                }
            waiting.switchOff.clear();
            waiting.waitingFlag = false;
        }
        if (!continues)
            sounding_[static_cast<size_t>(ch)].push_back(
                {on->keyArea, on->note, on->stepNumber, on->eventSequence});
        on->kind = OutputNote::kNoteOn;
        output_.push_back(on);
        if (dispatcher != nullptr && !on->sendOnlyControllers)
        {
            ActionArgument argument;
            argument.note = on;
            dispatcher->Dispatch(ActionDispatcher::kNoteSounding, argument);
        }
        if (!continues && counter++ == 0) NoteCounterRaised(ch, on->note, on->stepNumber);
    }
    ons.clear();
}

// The note-offs of notes that started in this piece, after their note-ons.
void NoteEngine::FlushDeferredOffs(int ch)
{
    for (OutputNote* off : deferredOffs_)
    {
        int& counter = StepCounter(ch, off->note, off->stepNumber);
        EmitOff(off);
        counter = std::max(0, counter - 1);
    }
    deferredOffs_.clear();
    SettleCounters(ch);
}

void NoteEngine::ContinueSoundingNotes(int channel)
{
    // Decided before any note-off of the piece is looked at, so that it does
    // not matter whether the earlier event's note-off falls into this piece
    // or a later one: the outcome is the same for every way of cutting the
    // block.
    auto& list = sounding_[static_cast<size_t>(channel)];
    const auto& offs = queuedOff_[static_cast<size_t>(channel)];
    for (OutputNote* on : queuedOn_[static_cast<size_t>(channel)])
    {
        if (on->muted || on->eventSequence == 0) continue;
        const auto earlier = std::find_if(list.begin(), list.end(),
                                          [on](const Sounding& s)
                                          {
                                              return s.area == on->keyArea && s.note == on->note &&
                                                     s.step == on->stepNumber && s.sequence != 0 &&
                                                     s.sequence != on->eventSequence;
                                          });
        if (earlier == list.end()) continue;
        // The earlier note ends in this piece before this one starts.
        const bool endsFirst = std::any_of(offs.begin(), offs.end(),
                                           [&](const OutputNote* off) {
                                               return off->eventSequence == earlier->sequence &&
                                                      off->note == on->note && off->time < on->time;
                                           });
        if (endsFirst) continue;
        RememberDropped(channel, on->note, earlier->sequence);
        earlier->sequence = on->eventSequence;
        on->suppressNoteOn = true;
    }
}

void NoteEngine::RememberDropped(int channel, int note, std::uint32_t sequence)
{
    if (sequence == 0) return;
    if (dropped_.size() >= kMaxDropped) dropped_.erase(dropped_.begin());
    dropped_.push_back({channel, note, sequence});
}

bool NoteEngine::TakeDropped(const OutputNote& off)
{
    const auto it = std::find_if(dropped_.begin(), dropped_.end(),
                                 [&off](const Dropped& d) {
                                     return d.sequence == off.eventSequence && d.note == off.note &&
                                            d.channel == off.channel;
                                 });
    if (off.eventSequence == 0 || it == dropped_.end()) return false;
    dropped_.erase(it);
    return true;
}

void NoteEngine::NoteCounterRaised(int channel, int note, int step)
{
    // A full list stops growing: the next settling clears the whole channel.
    auto& raised = raised_[static_cast<size_t>(std::clamp(channel, 0, kChannels))];
    if (raised.size() < raised.capacity())
        raised.push_back(static_cast<size_t>(&StepCounter(channel, note, step) - stepCounters_.data()));
}

void NoteEngine::SettleCounters(int channel)
{
    // Nothing sounds on the channel: no step can count a sounding note.
    if (!sounding_[static_cast<size_t>(channel)].empty() || !countersTouched_[static_cast<size_t>(channel)])
        return;
    // Only counters raised since the last settling can be above 0.
    auto& raised = raised_[static_cast<size_t>(channel)];
    if (raised.size() < raised.capacity())
        for (const size_t index : raised)
            stepCounters_[index] = 0;
    else
    {
        const auto first = stepCounters_.begin() + static_cast<std::ptrdiff_t>(channel) * kNotes * kSteps;
        std::fill(first, first + kNotes * kSteps, 0);
    }
    raised.clear();
    countersTouched_[static_cast<size_t>(channel)] = false;
}

void NoteEngine::SortOutput()
{
    // By time; at the same time in the order made, which already puts the
    // note-offs of older notes before the note-ons and the note-offs of notes
    // started in this piece after them (an insertion sort: the lists are
    // short and it allocates nothing).
    const auto before = [](const OutputNote* a, const OutputNote* b) { return a->time < b->time; };
    for (size_t i = 1; i < output_.size(); ++i)
    {
        OutputNote* note = output_[i];
        size_t j = i;
        while (j > 0 && before(note, output_[j - 1]))
        {
            output_[j] = output_[j - 1];
            --j;
        }
        output_[j] = note;
    }
}

void NoteEngine::RemoveSentNotes()
{
    size_t kept = 0;
    for (OutputNote* note : output_)
    {
        const bool sent = note->kind == OutputNote::kNoteOn ? note->noteOnSent : note->noteOffSent;
        if (sent)
            RecycleOutputNote(note);
        else
            output_[kept++] = note;
    }
    output_.resize(kept);
}

void NoteEngine::ReleaseArea(int area, int channel)
{
    if (area < 0 || area >= kAreas) return;
    KeyAreaList& areas = *host_.GetKeyAreas();
    bool shared = false;
    for (int a = 0; a < kAreas; ++a)
    {
        const PatternEngine* other = areas.GetArea(a);
        if (a != area && other != nullptr && other->IsEnabled() && other->GetMidiInChannel() == channel)
            shared = true;
    }
    if (!shared && IsChannel(channel))
    {
        const size_t c = static_cast<size_t>(channel - 1);
        for (int& count : noteCounts_[c])
            if (count > 0)
            {
                --count;
                heldCount_ = std::max(0, heldCount_ - 1);
            }
    }
    // Every channel 1..16, the last one included.
    for (int ch = 1; ch <= kChannels; ++ch)
    {
        auto& list = sounding_[static_cast<size_t>(ch)];
        const auto& offs = queuedOff_[static_cast<size_t>(ch)];
        for (size_t i = 0; i < list.size();)
        {
            // A note whose note-off is already queued (the area's own stop
            // ended its step) gets that one note-off only.
            const Sounding s = list[i];
            const bool ending = std::any_of(offs.begin(), offs.end(),
                                            [&s](const OutputNote* off) {
                                                return !off->muted && off->keyArea == s.area &&
                                                       off->note == s.note && off->stepNumber == s.step;
                                            });
            if (s.area != area || ending)
            {
                ++i;
                continue;
            }
            OutputNote* off = NewOutputNote();
            off->note = list[i].note;
            off->channel = ch;
            off->velocity = 127;
            off->kind = OutputNote::kNoteOff;
            off->keyArea = area;
            off->stepNumber = list[i].step;
            output_.push_back(off);
            int& counter = StepCounter(ch, list[i].note, list[i].step);
            counter = std::max(0, counter - 1);
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
        }
        SettleCounters(ch);
    }
}
