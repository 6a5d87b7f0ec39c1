#include "engine/NoteEngine.h"

#include "engine/ActionDispatcher.h"
#include "engine/ControlTargetTable.h"
#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/OutputNote.h"
#include "engine/PatternEngine.h"

#include <algorithm>
#include <limits>

namespace
{
constexpr int kAreas = NoteEvent::kAreaCount;

bool IsChannel(int channel)
{
    return channel >= 1 && channel <= NoteEngine::kChannels;
}

// Duplicates whose note-offs are still to come; far more than a block can make.
constexpr size_t kMaxDropped = 256;
// Step counters remembered as raised per channel between two settlings.
constexpr size_t kMaxRaised = 256;

bool IsNote(int note)
{
    return note >= 0 && note < NoteEngine::kNotes;
}
} // namespace

NoteEngine::NoteEngine(EngineHost& host)
    : host_(host), stepCounters_(static_cast<size_t>((kChannels + 1) * kNotes * kSteps), 0)
{
    // Reserved once so that the audio thread does not grow them in steady use.
    for (auto& list : sounding_)
        list.reserve(64);
    for (auto& list : queuedOn_)
        list.reserve(64);
    for (auto& list : queuedOff_)
        list.reserve(64);
    for (auto& list : raised_)
        list.reserve(kMaxRaised);
    released_.reserve(128);
    output_.reserve(256);
    deferredOffs_.reserve(64);
    dropped_.reserve(kMaxDropped);
    inbox_.reserve(128);
    scheduled_.reserve(128);
    free_.reserve(256);
    pool_.reserve(256);
    for (Waiting& w : waiting_)
    {
        w.events.reserve(kNotes);
        w.switchOff.reserve(kNotes);
    }
    for (Forecast& f : forecast_)
        f.waiting.reserve(kNotes);
}

NoteEngine::~NoteEngine() = default;

int& NoteEngine::StepCounter(int channel, int note, int step)
{
    const size_t c = static_cast<size_t>(std::clamp(channel, 0, kChannels));
    const size_t n = static_cast<size_t>(std::clamp(note, 0, kNotes - 1));
    const size_t s = static_cast<size_t>(std::clamp(step, 0, kSteps - 1));
    return stepCounters_[(c * kNotes + n) * kSteps + s];
}

int NoteEngine::GetNoteCount(int channel, int note) const
{
    if (!IsChannel(channel) || !IsNote(note)) return 0;
    return noteCounts_[static_cast<size_t>(channel - 1)][static_cast<size_t>(note)];
}

int NoteEngine::SoundingCount(int channel) const
{
    return IsChannel(channel) ? static_cast<int>(sounding_[static_cast<size_t>(channel)].size()) : 0;
}

void NoteEngine::Report(int channel)
{
    if (ActionDispatcher* d = host_.GetDispatcher())
    {
        ActionArgument argument;
        argument.value = channel;
        d->Dispatch(ActionDispatcher::kNoteCounts, argument);
    }
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
    if (note == nullptr) return;
    if (!IsChannel(note->channel))
    {
        RecycleOutputNote(note);
        return;
    }
    queuedOn_[static_cast<size_t>(note->channel)].push_back(note);
}

void NoteEngine::QueueOutputNoteOff(OutputNote* note)
{
    if (note == nullptr) return;
    if (!IsChannel(note->channel))
    {
        RecycleOutputNote(note);
        return;
    }
    queuedOff_[static_cast<size_t>(note->channel)].push_back(note);
}

// --- Input ------------------------------------------------------------------------

int NoteEngine::NoteOn(int channel, int note, int velocity, int offset, int* flags)
{
    if (!IsChannel(channel) || !IsNote(note) || velocity < 1 || velocity > 127) return 0;
    NoteEvent event;
    event.note = note;
    event.velocity = velocity;
    event.time = offset;
    event.offset = event.time;
    event.kind = NoteEvent::kNoteOn;
    event.channel = channel;
    inbox_.push_back(event);
    return ForecastNoteOn(channel, note, flags);
}

bool NoteEngine::NoteOff(int channel, int note, int offset, int velocity, bool asNoteOn)
{
    if (!IsChannel(channel) || !IsNote(note)) return false;
    NoteEvent event;
    event.note = note;
    event.velocity = std::clamp(velocity, 0, 127);
    event.time = offset;
    event.offset = event.time;
    event.kind = NoteEvent::kNoteOff;
    event.channel = channel;
    event.asNoteOn = asNoteOn;
    inbox_.push_back(event);
    return ForecastNoteOff(channel, note);
}

int NoteEngine::ForecastNoteOn(int channel, int note, int* flags)
{
    const ControlTargetTable* zone = host_.GetControlTargetTable();
    if (zone != nullptr && zone->TakesNote(note)) return 1;
    const bool releaseWaiting = host_.GetFlagByte(EngineHost::kReleaseWaitingNotes);
    int result = 0;
    for (int a = 0; a < kAreas; ++a)
    {
        const PatternEngine* area = host_.GetKeyAreas()->GetArea(a);
        if (area == nullptr || !area->Accepts(channel, note)) continue;
        Forecast& f = forecast_[static_cast<size_t>(a)];
        if (AreaActive(a) || f.starts)
        {
            result = std::max(result, 1);
        }
        else if (static_cast<int>(waiting_[static_cast<size_t>(a)].events.size() + f.waiting.size()) <
                     area->GetArpOnNoteCount() - 1 &&
                 !releaseWaiting)
        {
            f.waiting.push_back((channel - 1) * kNotes + note);
            continue;
        }
        else
        {
            result = 2;
            f.starts = true;
            f.waiting.clear();
        }
        if (flags != nullptr) flags[a] = 1;
    }
    return result;
}

bool NoteEngine::ForecastNoteOff(int channel, int note)
{
    const ControlTargetTable* zone = host_.GetControlTargetTable();
    if (zone != nullptr && zone->TakesNote(note)) return false;
    bool taken = false;
    for (int a = 0; a < kAreas; ++a)
    {
        const PatternEngine* area = host_.GetKeyAreas()->GetArea(a);
        if (area == nullptr) continue;
        Forecast& f = forecast_[static_cast<size_t>(a)];
        if (area->HasKeyDown(channel, note) || (area->Accepts(channel, note) && (AreaActive(a) || f.starts)))
            taken = true;
        else
            std::erase(f.waiting, (channel - 1) * kNotes + note);
    }
    return taken;
}

bool NoteEngine::RecordMessage(int kind, int number, int value, int offset)
{
    if (!IsNote(number) || !IsNote(value)) return false;
    NoteEvent event;
    event.note = number;
    event.velocity = value;
    event.time = offset;
    event.offset = event.time;
    event.kind = kind;
    inbox_.push_back(event);
    return true;
}

void NoteEngine::Panic(int offset)
{
    RecordMessage(NoteEvent::kPanic, 0, 0, offset);
}

bool NoteEngine::PassMessage(int status, int data1, int data2, int offset)
{
    if (status < 0x80 || status > 0xFF || !RecordMessage(NoteEvent::kPassMessage, data1, data2, offset))
        return false;
    inbox_.back().status = status;
    return true;
}

bool NoteEngine::ProgramChange(int program, int offset)
{
    return RecordMessage(NoteEvent::kProgramChange, program, 0, offset);
}

bool NoteEngine::LearnedController(int controller, int value, int offset)
{
    return RecordMessage(NoteEvent::kLearnedController, controller, value, offset);
}

bool NoteEngine::HasScheduledNoteOnChannel(int channel) const
{
    return std::any_of(scheduled_.begin(), scheduled_.end(),
                       [channel](const NoteEvent& e)
                       { return e.kind == NoteEvent::kNoteOn && e.channel == channel; });
}

// --- Block helpers ------------------------------------------------------------------

bool NoteEngine::TakeInbox(int frames)
{
    // The block's keys are routed as it runs: the forecast starts again for the next one.
    for (Forecast& f : forecast_)
    {
        f.starts = false;
        f.waiting.clear();
    }
    // A host's list need not be in time order: it is taken in the order of its offsets, stable so
    // that events of one offset keep the order they came in (the sort allocates only for a list
    // out of order).
    const auto earlier = [](const NoteEvent& a, const NoteEvent& b) { return a.time < b.time; };
    if (!std::is_sorted(inbox_.begin(), inbox_.end(), earlier))
        std::stable_sort(inbox_.begin(), inbox_.end(), earlier);
    // Then offsets outside the block count as its first or last frame; the events scheduled
    // already (from blocks before) came first.
    const double last = frames > 0 ? frames - 1 : std::numeric_limits<double>::max();
    for (NoteEvent& e : scheduled_)
        e.time = std::clamp(e.time, 0.0, last);
    for (NoteEvent& e : inbox_)
    {
        e.time = std::clamp(e.time, 0.0, last);
        auto where = std::upper_bound(scheduled_.begin(), scheduled_.end(), e.time,
                                      [](double t, const NoteEvent& s) { return t < s.time; });
        scheduled_.insert(where, e);
    }
    inbox_.clear();
    return StartPlaying();
}

void NoteEngine::SkipFrames(int frames)
{
    if (frames <= 0) return;
    for (NoteEvent& e : scheduled_)
        e.time = std::max(0.0, e.time - frames);
}

bool NoteEngine::StartPlaying()
{
    if (heldCount_ < 1 || !idle_) return false;
    idle_ = false;
    return true;
}

int NoteEngine::NextEventOffset(double position, int remaining, double offset)
{
    if (remaining <= 0) return 0;
    if (scheduled_.empty()) return remaining;
    piecePosition_ = position;
    bool delivered = false;
    while (!scheduled_.empty() && scheduled_.front().time <= 0.0)
    {
        NoteEvent event = scheduled_.front();
        scheduled_.erase(scheduled_.begin());
        Deliver(event, offset);
        delivered = true;
    }
    int k = remaining;
    if (delivered)
        k = 1;
    else if (!scheduled_.empty())
        k = std::clamp(static_cast<int>(scheduled_.front().time), 1, remaining);
    for (NoteEvent& e : scheduled_)
        e.time -= k;
    return k;
}

void NoteEngine::ReturnFrames(int frames)
{
    if (frames <= 0) return;
    for (NoteEvent& e : scheduled_)
        e.time += frames;
}

bool NoteEngine::AreaActive(int area) const
{
    const PatternEngine* engine = host_.GetKeyAreas()->GetArea(area);
    return engine != nullptr && !engine->GetHeldNotes().IsEmpty();
}

bool& NoteEngine::PassedKey(int channel, int note)
{
    return passedKeys_[static_cast<size_t>(std::clamp(channel, 1, kChannels) - 1)]
                      [static_cast<size_t>(std::clamp(note, 0, kNotes - 1))];
}

void NoteEngine::CountKey(int channel, int note)
{
    int& count = noteCounts_[static_cast<size_t>(channel - 1)][static_cast<size_t>(note)];
    if (count > 0) return;
    ++count;
    ++channelTotals_[static_cast<size_t>(channel - 1)];
    ++heldCount_;
}

void NoteEngine::PassThrough(const NoteEvent& event, double offset, bool endsPassedKey)
{
    if (listener_ != nullptr) listener_->PassThrough(event, offset, endsPassedKey);
}

// Each key is routed at its own frame, from what the engine holds after the frames before it ran:
// what a key area takes, and what passes through, is the same for every way of cutting the block.
void NoteEngine::Deliver(NoteEvent& event, double offset)
{
    deliveryOffset_ = offset;
    switch (event.kind)
    {
    case NoteEvent::kProgramChange:
        if (ControlTargetTable* zone = host_.GetControlTargetTable()) zone->HandleProgramChange(event.note);
        break;
    case NoteEvent::kLearnedController:
        if (listener_ != nullptr) listener_->LearnedController(event.note, event.velocity);
        break;
    case NoteEvent::kPanic:
        if (listener_ != nullptr) listener_->Panic(offset);
        break;
    case NoteEvent::kPassMessage:
        if (listener_ != nullptr) listener_->PassMessage(event.status, event.note, event.velocity, offset);
        break;
    case NoteEvent::kNoteOff:
        DeliverNoteOff(event, offset);
        Report(event.channel);
        break;
    default:
        DeliverNoteOn(event, offset);
        Report(event.channel);
        break;
    }
    deliveryOffset_ = -1.0;
}

void NoteEngine::DeliverNoteOn(NoteEvent& event, double offset)
{
    KeyAreaList& areas = *host_.GetKeyAreas();
    ControlTargetTable* zone = host_.GetControlTargetTable();
    if (zone != nullptr && zone->TakesNote(event.note))
    {
        for (int a = 0; a < kAreas; ++a)
            if (PatternEngine* area = areas.GetArea(a)) area->SetSwitchOffset(offset);
        zone->HandleKey(event.note);
        for (int a = 0; a < kAreas; ++a)
            if (PatternEngine* area = areas.GetArea(a)) area->SetSwitchOffset(0.0);
        return;
    }
    const bool releaseWaiting = host_.GetFlagByte(EngineHost::kReleaseWaitingNotes);
    bool taken = false;
    bool reached[kAreas] = {};
    bool waits[kAreas] = {};
    for (int a = 0; a < kAreas; ++a)
    {
        const PatternEngine* area = areas.GetArea(a);
        if (area == nullptr || !area->Accepts(event.channel, event.note)) continue;
        Waiting& waiting = waiting_[static_cast<size_t>(a)];
        if (!AreaActive(a))
        {
            // An area that holds nothing holds keys back until its note count is reached.
            if (static_cast<int>(waiting.events.size()) < area->GetArpOnNoteCount() - 1 && !releaseWaiting)
            {
                waiting.events.push_back(event);
                waiting.events.back().areaFlags[a] = NoteEvent::kWaiting;
                waits[a] = true;
                continue;
            }
            reached[a] = true;
        }
        event.areaFlags[a] = NoteEvent::kForArea;
        taken = true;
    }
    if (!taken)
    {
        // Held back or not wanted: the key sounds as played until its release (or until the
        // first note of the area it waits for).
        PassThrough(event, offset, false);
        PassedKey(event.channel, event.note) = true;
        for (int a = 0; a < kAreas; ++a)
            if (waits[a]) waiting_[static_cast<size_t>(a)].events.back().passed = true;
        return;
    }
    for (int a = 0; a < kAreas; ++a)
    {
        if (!reached[a]) continue;
        // The count is reached: the keys that waited start with this one.
        Waiting& waiting = waiting_[static_cast<size_t>(a)];
        for (NoteEvent& w : waiting.events)
        {
            if (w.passed && PassedKey(w.channel, w.note)) waiting.switchOff.push_back(w);
            if (listener_ != nullptr) listener_->NoteOnForArea(offset, w.note, w.velocity, w.channel, a);
            CountKey(w.channel, w.note);
        }
        waiting.waitingFlag = !waiting.switchOff.empty();
        waiting.events.clear();
    }
    if (listener_ != nullptr)
    {
        listener_->NoteOnForFlaggedAreas(offset, event.note, event.velocity, event.channel, event.areaFlags);
        if (std::any_of(std::begin(reached), std::end(reached), [](bool r) { return r; }))
            listener_->AreasStarted(event.areaFlags);
    }
    const size_t c = static_cast<size_t>(event.channel - 1);
    ++noteCounts_[c][static_cast<size_t>(event.note)];
    ++channelTotals_[c];
    ++heldCount_;
}

void NoteEngine::DeliverNoteOff(NoteEvent& event, double offset)
{
    bool taken = false;
    const ControlTargetTable* zone = host_.GetControlTargetTable();
    if (zone == nullptr || !zone->TakesNote(event.note))
    {
        KeyAreaList& areas = *host_.GetKeyAreas();
        for (int a = 0; a < kAreas; ++a)
        {
            const PatternEngine* area = areas.GetArea(a);
            if (area == nullptr) continue;
            // A released key no longer waits for a note count.
            auto& events = waiting_[static_cast<size_t>(a)].events;
            events.erase(std::remove_if(events.begin(), events.end(),
                                        [&](const NoteEvent& e)
                                        { return e.note == event.note && e.channel == event.channel; }),
                         events.end());
            // An area that holds the key down always gets its release (also while hold bypass makes
            // it refuse new keys): else it would play on with every key up.
            if ((area->Accepts(event.channel, event.note) && AreaActive(a)) ||
                area->HasKeyDown(event.channel, event.note))
            {
                event.areaFlags[a] = NoteEvent::kForArea;
                taken = true;
            }
        }
    }
    // A key that went to the host as passed through ends there; a release no area takes passes
    // through as it came.
    const bool ended = EndWaitedNote(event, offset);
    bool& passed = PassedKey(event.channel, event.note);
    if (passed || (!taken && !ended)) PassThrough(event, offset, passed);
    passed = false;
    const size_t c = static_cast<size_t>(event.channel - 1);
    if (!taken || noteCounts_[c][static_cast<size_t>(event.note)] < 1 || listener_ == nullptr) return;
    listener_->NoteOffForFlaggedAreas(piecePosition_, offset, event.note, event.velocity, event.channel,
                                      event.areaFlags);
    // The key stays counted while an area keeps it (hold): that area gives the count back when it
    // lets the note go.
    const auto has = [&](int flag)
    {
        return std::any_of(std::begin(event.areaFlags), std::end(event.areaFlags),
                           [flag](int f) { return f == flag; });
    };
    if (has(NoteEvent::kForArea) && !has(NoteEvent::kKept)) released_.push_back({event.note, event.channel});
}

bool NoteEngine::EndWaitedNote(const NoteEvent& release, double offset)
{
    // A key that waited for its area's note count sounded as it was played, and ends with the area's
    // first note; when its key is released before that note (an area whose pattern is silent there
    // plays none), the release ends it.
    bool ended = false;
    for (int a = 0; a < kAreas; ++a)
    {
        Waiting& waiting = waiting_[static_cast<size_t>(a)];
        const auto same = [&](const NoteEvent& w)
        { return w.note == release.note && w.channel == release.channel; };
        const auto it = std::find_if(waiting.switchOff.begin(), waiting.switchOff.end(), same);
        if (it == waiting.switchOff.end()) continue;
        if (!ended) EndPassedNote(*it, offset, a);
        ended = true;
        waiting.switchOff.erase(it);
        waiting.waitingFlag = !waiting.switchOff.empty();
    }
    if (ended) PassedKey(release.channel, release.note) = false;
    return ended;
}

void NoteEngine::EndPassedNote(const NoteEvent& waited, double time, int area)
{
    // The key was passed through on its input channel: its note-off goes out there too.
    OutputNote* off = NewOutputNote();
    off->note = waited.note;
    off->channel = waited.channel;
    off->velocity = 127;
    off->time = time;
    off->kind = OutputNote::kNoteOff;
    off->keyArea = area;
    off->endsPassedKey = true;
    output_.push_back(off);
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
            channelTotals_[static_cast<size_t>(r.channel - 1)] =
                std::max(0, channelTotals_[static_cast<size_t>(r.channel - 1)] - 1);
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
                if (bool& passed = PassedKey(w.channel, w.note); passed)
                {
                    EndPassedNote(w, on->time, area);
                    passed = false;
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

void NoteEngine::ClearAll(double offset)
{
    idle_ = true;
    if (listener_ != nullptr) listener_->StopAll(offset);
    // Notes still due later in the block are kept: they are new input. The keys held back for an
    // area's note count (and those waiting to be switched off) are kept too: they are still down
    // and sound as played, and only their area's first note or their release ends them.
    released_.clear();
    for (auto& counts : noteCounts_)
        counts.fill(0);
    channelTotals_.fill(0);
    heldCount_ = 0;
    if (listener_ != nullptr) listener_->NotifyReset();
}

void NoteEngine::AllNotesOff(double offset)
{
    for (OutputNote* note : output_)
        RecycleOutputNote(note);
    output_.clear();
    heldCount_ = 0;
    KeyAreaList& areas = *host_.GetKeyAreas();
    for (int a = 0; a < kAreas; ++a)
        if (PatternEngine* area = areas.GetArea(a)) area->Stop(offset);
    for (auto& counts : noteCounts_)
        counts.fill(0);
    channelTotals_.fill(0);
    if (listener_ != nullptr) listener_->StopAll(offset);
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
                channelTotals_[c] = std::max(0, channelTotals_[c] - 1);
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

void NoteEngine::IncrementNoteCount(int channel, int note)
{
    if (!IsChannel(channel) || !IsNote(note)) return;
    int& count = noteCounts_[static_cast<size_t>(channel - 1)][static_cast<size_t>(note)];
    if (count < 1)
    {
        ++count;
        Report(channel);
        ++heldCount_;
    }
}

void NoteEngine::DecrementNoteCount(int channel, int note)
{
    if (!IsChannel(channel) || !IsNote(note)) return;
    int& count = noteCounts_[static_cast<size_t>(channel - 1)][static_cast<size_t>(note)];
    if (count > 0)
    {
        --count;
        Report(channel);
        channelTotals_[static_cast<size_t>(channel - 1)] =
            std::max(0, channelTotals_[static_cast<size_t>(channel - 1)] - 1);
        heldCount_ = std::max(0, heldCount_ - 1);
    }
}
