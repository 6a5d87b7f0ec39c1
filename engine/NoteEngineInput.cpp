// The note engine's input side: every key and message is recorded with its offset when it arrives
// and acts when the block reaches its frame (a key goes to the control zone, to the key areas that
// take it then, or back to the plug-in to pass through; the other messages see NoteEngine.h).
#include "engine/NoteEngine.h"

#include "engine/ControlTargetTable.h"
#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/OutputNote.h"
#include "engine/PatternEngine.h"
#include "engine/ProcessorListener.h"

#include <algorithm>
#include <iterator>
#include <limits>

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
    if (deliveryOffset_ >= 0.0)
    {
        if (upward_ != nullptr) upward_->Panic(deliveryOffset_);
        return;
    }
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
    // A host's list need not be in time order: it is taken in the order of its offsets, and events
    // of one offset keep the order they came in. An insertion sort does that in place (a library's
    // stable sort takes a buffer from the heap, which the audio thread must not do); a host's list
    // is short and mostly in order already.
    const auto earlier = [](const NoteEvent& a, const NoteEvent& b) { return a.time < b.time; };
    for (auto it = inbox_.begin(); it != inbox_.end(); ++it)
        std::rotate(std::upper_bound(inbox_.begin(), it, *it, earlier), it, std::next(it));
    // Then offsets outside the block count as its first or last frame; events still scheduled (left
    // by a caller that did not run a block to its end) came first.
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

int& NoteEngine::SentAs(int channel, int note)
{
    return sentAs_[static_cast<size_t>(std::clamp(channel, 1, kChannels) - 1)]
                  [static_cast<size_t>(std::clamp(note, 0, kNotes - 1))];
}

void NoteEngine::CountKey(int channel, int note)
{
    int& count = noteCounts_[static_cast<size_t>(channel - 1)][static_cast<size_t>(note)];
    if (count > 0) return;
    ++count;
    ++heldCount_;
}

int NoteEngine::PassThrough(const NoteEvent& event, double offset, int sentAs)
{
    if (upward_ == nullptr) return event.note;
    return std::clamp(upward_->PassThrough(event, offset, sentAs), 0, kNotes - 1);
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
        if (upward_ != nullptr) upward_->LearnedController(event.note, event.velocity);
        break;
    case NoteEvent::kPanic:
        if (upward_ != nullptr) upward_->Panic(offset);
        break;
    case NoteEvent::kPassMessage:
        if (upward_ != nullptr) upward_->PassMessage(event.status, event.note, event.velocity, offset);
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
        SentAs(event.channel, event.note) = PassThrough(event, offset, -1);
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
            if (w.passed && SentAs(w.channel, w.note) >= 0) waiting.switchOff.push_back(w);
            if (listener_ != nullptr) listener_->NoteOnForArea(offset, w.note, w.velocity, w.channel, a);
            CountKey(w.channel, w.note);
        }
        waiting.waitingFlag = !waiting.switchOff.empty();
        waiting.events.clear();
    }
    if (listener_ != nullptr)
        listener_->NoteOnForFlaggedAreas(offset, event.note, event.velocity, event.channel, event.areaFlags);
    if (upward_ != nullptr && std::any_of(std::begin(reached), std::end(reached), [](bool r) { return r; }))
        upward_->AreasStarted(event.areaFlags);
    const size_t c = static_cast<size_t>(event.channel - 1);
    ++noteCounts_[c][static_cast<size_t>(event.note)];
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
    int& sentAs = SentAs(event.channel, event.note);
    if (sentAs >= 0 || (!taken && !ended)) PassThrough(event, offset, sentAs);
    sentAs = -1;
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
    // plays none), the release ends it; once, since another area's first note may have ended it.
    bool ended = false;
    int& sentAs = SentAs(release.channel, release.note);
    for (int a = 0; a < kAreas; ++a)
    {
        Waiting& waiting = waiting_[static_cast<size_t>(a)];
        const auto same = [&](const NoteEvent& w)
        { return w.note == release.note && w.channel == release.channel; };
        const auto it = std::find_if(waiting.switchOff.begin(), waiting.switchOff.end(), same);
        if (it == waiting.switchOff.end()) continue;
        if (sentAs >= 0) EndPassedNote(*it, sentAs, offset, a);
        sentAs = -1;
        ended = true;
        waiting.switchOff.erase(it);
        waiting.waitingFlag = !waiting.switchOff.empty();
    }
    return ended;
}

void NoteEngine::EndPassedNote(const NoteEvent& waited, int sentAs, double time, int area)
{
    // The key was passed through on its input channel: its note-off goes out there too.
    OutputNote* off = NewOutputNote();
    off->note = sentAs;
    off->channel = waited.channel;
    off->velocity = 127;
    off->time = time;
    off->kind = OutputNote::kNoteOff;
    off->keyArea = area;
    output_.push_back(off);
}
