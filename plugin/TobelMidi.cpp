// Tobel: MIDI input. Every message is recorded by the note engine with its offset and acts when the
// block reaches that frame: notes are routed there (what no key area takes is handed back to pass
// through), learned controllers drive their controls, controller 123 is a panic, program changes
// select patterns, and everything else is handed back to go to the host within the block. Also MIDI
// learn, controller teach and the host's key names.
#include "plugin/Tobel.h"

#include "engine/ControlTargetTable.h"
#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/NoteEngine.h"
#include "engine/PatternEngine.h"
#include "gui/IControl.h"
#include "gui/IGraphics.h"
#include "plugin/ControlRegistry.h"
#include "views/ParameterIndex.h"
#include "views/PatternView.h"

#include <algorithm>
#include <cstdio>
#include <string>

using namespace quova;

namespace
{
constexpr int kPitchWheelController = 119;
constexpr int kLastLearnController = 119;
constexpr int kLearnSwitchCount = 128;
constexpr int kProgramsPerArea = 12;

// A message whose status is a data byte, whose data bytes are not data bytes, or that cannot be
// complete in three bytes (system exclusive) is malformed: it is neither handled nor passed on.
bool IsWellFormed(const IMidiMessage& message)
{
    if (message.status < 0x80 || message.status == 0xF0 || message.status == 0xF7) return false;
    return message.data1 < 0x80 && message.data2 < 0x80;
}

// a mod b and a / b rounded toward minus infinity (b > 0).
int FloorMod(int a, int b)
{
    const int m = a % b;
    return m < 0 ? m + b : m;
}

int FloorDiv(int a, int b)
{
    return (a - FloorMod(a, b)) / b;
}
} // namespace

IGraphics* Tobel::GetGraphics() const
{
    if (pendingGraphics_ != nullptr) return pendingGraphics_;
    return dynamic_cast<IGraphics*>(editor_);
}

// ---- MIDI input ---------------------------------------------------------------------------------

void Tobel::RouteNote(const IMidiMessage& message)
{
    NoteEngine& notes = *engine_->GetNoteEngine();
    const int channel = message.GetChannel() + 1;
    // Velocity 0 is a note-off. The engine routes the key at its frame and hands back what no key
    // area takes then (PassThrough); what it forecasts now is not needed.
    if (message.GetStatusKind() == IMidiMessage::kNoteOff || message.data2 == 0)
        notes.NoteOff(channel, message.data1, message.offset, message.data2,
                      message.GetStatusKind() == IMidiMessage::kNoteOn);
    else
        notes.NoteOn(channel, message.data1, message.data2, message.offset);
}

int Tobel::PassThrough(const NoteEvent& note, double offset, int sentAs)
{
    IEffectLockGuard guard(plugLock_);
    const int channel = std::clamp(note.channel, 1, 16) - 1;
    const int key = std::clamp(note.note, 0, 127);
    const int at = static_cast<int>(offset);
    if (note.kind == NoteEvent::kNoteOn)
    {
        // The note the key goes out as is decided now, at the key's frame; the note engine keeps
        // it, and the key's release names it.
        const int sent = TransposedKey(key);
        SendToHost(at, static_cast<uint8_t>(0x90 + channel), sent, note.velocity);
        return sent;
    }
    const int sent = sentAs >= 0 && sentAs <= 127 ? sentAs : TransposedKey(key);
    SendToHost(at, static_cast<uint8_t>((note.asNoteOn ? 0x90 : 0x80) + channel), sent,
               note.asNoteOn ? 0 : note.velocity);
    return sent;
}

void Tobel::PassOn(const IMidiMessage& message)
{
    engine_->GetNoteEngine()->PassMessage(message.status, message.data1, message.data2, message.offset);
}

void Tobel::PassMessage(int status, int data1, int data2, double offset)
{
    IEffectLockGuard guard(plugLock_);
    SendToHost(static_cast<int>(offset), static_cast<uint8_t>(status), data1, data2);
}

void Tobel::AreasStarted(const int flags[NoteEvent::kAreaCount])
{
    if (patternView_ == nullptr) return;
    for (int a = 0; a < KeyAreaList::kAreaCount; ++a)
        if (flags[a] == NoteEvent::kForArea &&
            !PostToEditor([](void* plug, int area, int)
                          { static_cast<Tobel*>(plug)->patternView_->FlashIncomingNote(area); },
                          a))
            patternView_->FlashIncomingNote(a);
}

void Tobel::HandleMidiMessage(const IMidiMessage& message)
{
    IEffectLockGuard guard(plugLock_);
    if (!IsWellFormed(message)) return;
    // Everything is recorded with its offset and acts, or goes back to the host, when the block
    // reaches that frame: the host's list is taken in time order (messages of one offset in the
    // order listed), an offset outside the block counts as its first or last frame.
    NoteEngine& notes = *engine_->GetNoteEngine();

    switch (message.GetStatusKind())
    {
    case IMidiMessage::kNoteOn:
    case IMidiMessage::kNoteOff:
        RouteNote(message);
        break;
    case IMidiMessage::kControlChange:
    {
        const int controller = message.data1;
        if (controller == kAllNotesOffController)
        {
            notes.Panic(message.offset);
            break;
        }
        if (controller == 0 || controller > kLastLearnController)
            break; // bank select and the channel-mode messages are dropped
        if (!DeferLearnedController(controller, message.data2, message.offset)) PassOn(message);
        break;
    }
    case IMidiMessage::kPitchWheel:
        // The wheel's high byte acts as controller 119.
        if (!DeferLearnedController(kPitchWheelController, message.data2, message.offset)) PassOn(message);
        break;
    case IMidiMessage::kProgramChange:
        // It chooses a pattern at its own frame, after the notes before it.
        notes.ProgramChange(message.data1, message.offset);
        break;
    default:
        PassOn(message);
        break;
    }
}

IControl* Tobel::LearnedControl(int controller)
{
    if (controller < 0 || controller >= kLearnSwitchCount) return nullptr;
    if (learnSlot_ >= 0)
    {
        const int armed = learnSlot_;
        learnSlot_ = -1;
        SetLearnMapping(controller, armed);
        // The learn the user armed in the editor ends with this controller: an edit of theirs, told
        // to the host on the editor's thread.
        NoteUserEdit();
    }
    const int index = GetLearnMapping(controller);
    if (index < 0) return nullptr;
    IGraphics* graphics = GetGraphics();
    IControl* control = graphics != nullptr ? graphics->GetControl(index) : nullptr;
    return control != nullptr && control->GetParameterIndex() >= 0 ? control : nullptr;
}

bool Tobel::DeferLearnedController(int controller, int value, int offset)
{
    IEffectLockGuard guard(plugLock_);
    return LearnedControl(controller) != nullptr &&
           engine_->GetNoteEngine()->LearnedController(controller, std::clamp(value, 0, 127), offset);
}

bool Tobel::HandleLearnedController(int controller, int value)
{
    IEffectLockGuard guard(plugLock_);
    IControl* control = LearnedControl(controller);
    if (control == nullptr) return false;
    control->SetValueByUser(std::clamp(value, 0, 127) / 127.0);
    return true;
}

void Tobel::ArmMidiLearn(int controlIndex)
{
    IEffectLockGuard guard(plugLock_);
    learnSlot_ = controlIndex >= 0 ? controlIndex : -1;
}

void Tobel::SetLearnMapping(int controller, int controlIndex)
{
    IEffectLockGuard guard(plugLock_);
    IControl* learn = registry_ != nullptr ? registry_->GetExtraControl(controller) : nullptr;
    const IParameter* parameter = learn != nullptr ? learn->GetParameter() : nullptr;
    if (parameter == nullptr) return;
    const double minimum = parameter->GetMinimum();
    const double maximum = parameter->GetMaximum();
    const double index = std::clamp(static_cast<double>(controlIndex), minimum, maximum);
    learn->SetValueByUser((index - minimum) / (maximum - minimum));
}

int Tobel::GetLearnMapping(int controller) const
{
    if (controller < 0 || controller >= kLearnSwitchCount) return -1;
    const IParameter* parameter = GetParameter(param::kNoteLearnBase + controller);
    if (parameter == nullptr || !(parameter->Value() >= 0.0)) return -1;
    return static_cast<int>(parameter->Value());
}

// ---- controller teach ---------------------------------------------------------------------------

void Tobel::SetCcTeachMode(bool on)
{
    IEffectLockGuard guard(plugLock_);
    ccTeachMode_ = on;
    if (!on)
    {
        controllerTeachSlot_ = -1;
        return;
    }
    const int lane =
        std::clamp(static_cast<int>(GetParameter(param::kPatternControllerSelection)->Value()), 0, 7);
    const int area = engine_->GetKeyAreas()->GetSelectedForEditing();
    controllerTeachSlot_ = lane + 8 * area;
    const PatternEngine* engine = Area(area);
    ccTeachChannel_ = engine != nullptr ? engine->GetMidiOutChannel() : 1;
}

void Tobel::SetCcLaneNumber(int value)
{
    IEffectLockGuard guard(plugLock_);
    const int lane =
        std::clamp(static_cast<int>(GetParameter(param::kPatternControllerSelection)->Value()), 0, 7);
    const int area = engine_->GetKeyAreas()->GetSelectedForEditing();
    controllerTeachSlot_ = lane + 8 * area;
    // The selector's 0 means "none"; numbers outside the controllers are not stored.
    const int number = value - 1;
    SetControllerLaneNumber(controllerTeachSlot_, number >= -1 && number <= 127 ? number : -1);
}

// ---- key names ----------------------------------------------------------------------------------

bool Tobel::GetMidiNoteName(int note, char* text, int textSize)
{
    IEffectLockGuard guard(plugLock_);
    if (text == nullptr || textSize < 1) return false;
    text[0] = 0;
    if (!noteNames_ || note < 0 || note > 127) return false;
    const ControlTargetTable& table = *engine_->GetControlTargetTable();
    std::string name;
    if (note >= 24 && note <= 35)
    {
        name = "Pattern " + std::to_string(note % kProgramsPerArea + 1);
    }
    else if (note >= 12 && note <= 23)
    {
        // A key without a named action is named, with an empty text.
        name = table.GetActionName(note);
    }
    else
    {
        static constexpr const char* kNames[12] = {"C",  "C#", "D",  "D#", "E",  "F",
                                                   "F#", "G",  "G#", "A",  "A#", "B"};
        bool any = false;
        for (int a = 0; a < KeyAreaList::kAreaCount; ++a)
        {
            const PatternEngine* area = Area(a);
            if (area == nullptr || note < area->GetStartNote() || note > area->GetEndNote()) continue;
            const int m = area->GetBaseNote() - area->GetStartNote() + note;
            if (any) name += ";";
            char part[24];
            std::snprintf(part, sizeof part, "T%d %s%d", a + 1, kNames[FloorMod(m, 12)], FloorDiv(m, 12) - 1);
            name += part;
            any = true;
        }
        if (!any) return false;
    }
    std::snprintf(text, static_cast<size_t>(textSize), "%s", name.c_str());
    return true;
}
