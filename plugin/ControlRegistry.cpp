// ControlRegistry: filing, finding, copying and pasting values, showing and hiding.
#include "plugin/ControlRegistry.h"

#include <algorithm>
#include <cstring>

#include "framework/IParameter.h"
#include "gui/IControl.h"

LaneControls::LaneControls(int laneIndex) : lane(laneIndex)
{
    switches.Reserve(ControlRegistry::kStepCount + 2);
    cells.Reserve(ControlRegistry::kStepCount);
}

PatternControls::PatternControls()
{
    for (int l = 0; l < ControlRegistry::kLaneCount; ++l)
        lanes.Add(new LaneControls(l));
}

PatternControls::~PatternControls()
{
    lanes.DeleteAll();
}

KeyAreaControls::KeyAreaControls()
{
    for (int p = 0; p < ControlRegistry::kPatternCount; ++p)
        patterns.Add(new PatternControls());
}

KeyAreaControls::~KeyAreaControls()
{
    patterns.DeleteAll();
}

ControlRegistry::ControlRegistry()
{
    for (int a = 0; a < kAreaCount; ++a)
    {
        areas_.Add(new KeyAreaControls());
        sceneLists_.Add(new SceneControls());
    }
}

ControlRegistry::~ControlRegistry()
{
    extras_.Clear();
    globals_.Clear();
    sceneLists_.DeleteAll();
    areas_.DeleteAll();
}

// ---- helpers ------------------------------------------------------------------------------------

PatternControls* ControlRegistry::Pattern(int area, int pattern) const
{
    KeyAreaControls* controls = areas_.Get(area);
    return controls != nullptr ? controls->patterns.Get(pattern) : nullptr;
}

LaneControls* ControlRegistry::Lane(int area, int pattern, int lane) const
{
    PatternControls* controls = Pattern(area, pattern);
    return controls != nullptr ? controls->lanes.Get(lane) : nullptr;
}

bool ControlRegistry::AddEntry(ControlEntryList& list, IControl* control, int key, bool push)
{
    if (control == nullptr) return false;
    list.Add(ControlRegistryEntry{control, key, push});
    return true;
}

IControl* ControlRegistry::FindNth(const ControlEntryList& list, int key, int n)
{
    if (n < 0) return nullptr;
    for (int i = 0; i < list.Count(); ++i)
    {
        const ControlRegistryEntry* entry = list.Get(i);
        if (entry->key == key && n-- == 0) return entry->control;
    }
    return nullptr;
}

namespace
{
// The value an entry contributes to a copy: its parameter's normalised value (the control's own
// value for a control without parameter, so the order of a buffer never shifts).
double EntryValue(const ControlRegistryEntry& entry)
{
    const IParameter* parameter = entry.control->GetParameter();
    return parameter != nullptr ? parameter->GetNormalizedValue() : entry.control->GetValue();
}

void AppendDouble(HeapBuffer* buffer, double value)
{
    const int size = buffer->Size();
    buffer->SetSize(size + static_cast<int>(sizeof(double)), false);
    if (buffer->Size() != size + static_cast<int>(sizeof(double))) return;
    std::memcpy(static_cast<char*>(buffer->Data()) + size, &value, sizeof(double));
}
} // namespace

void ControlRegistry::Collect(const ControlEntryList& list, int first, int last, HeapBuffer* buffer)
{
    first = std::max(first, 0);
    last = std::min(last, list.Count() - 1);
    for (int i = first; i <= last; ++i)
    {
        const ControlRegistryEntry* entry = list.Get(i);
        if (entry->push) AppendDouble(buffer, EntryValue(*entry));
    }
}

bool ControlRegistry::Paste(const ControlEntryList& list, int first, int last, const HeapBuffer& buffer,
                            int* position)
{
    first = std::max(first, 0);
    last = std::min(last, list.Count() - 1);
    for (int i = first; i <= last; ++i)
    {
        const ControlRegistryEntry* entry = list.Get(i);
        if (!entry->push) continue;
        if (*position + static_cast<int>(sizeof(double)) > buffer.Size()) return false;
        double value = 0.0;
        std::memcpy(&value, static_cast<const char*>(buffer.Data()) + *position, sizeof(double));
        *position += static_cast<int>(sizeof(double));
        entry->control->SetValueByUser(value);
    }
    return true;
}

void ControlRegistry::HideAll(const ControlEntryList& list, bool hide)
{
    for (int i = 0; i < list.Count(); ++i)
        list.Get(i)->control->Hide(hide);
}

void ControlRegistry::HideLane(LaneControls* lane, bool hide)
{
    if (lane == nullptr) return;
    HideAll(lane->switches, hide);
    HideAll(lane->cells, hide);
}

// ---- filing -------------------------------------------------------------------------------------

bool ControlRegistry::AddGlobalControl(IControl* control)
{
    return control != nullptr && globals_.Add(control) != nullptr;
}

bool ControlRegistry::AddExtraControl(IControl* control)
{
    return control != nullptr && extras_.Add(control) != nullptr;
}

bool ControlRegistry::AddAreaControl(int area, IControl* control, int key, bool push)
{
    KeyAreaControls* controls = areas_.Get(area);
    return controls != nullptr && AddEntry(controls->areaEntries, control, key, push);
}

bool ControlRegistry::AddPatternControl(int area, int pattern, IControl* control, int key)
{
    PatternControls* controls = Pattern(area, pattern);
    return controls != nullptr && AddEntry(controls->patternEntries, control, key, true);
}

bool ControlRegistry::AddLaneControl(int area, int pattern, IControl* control, int lane, int key)
{
    LaneControls* controls = Lane(area, pattern, lane);
    return controls != nullptr && AddEntry(controls->switches, control, key, true);
}

bool ControlRegistry::AddStepControl(int area, int pattern, IControl* control, int lane, int key)
{
    LaneControls* controls = Lane(area, pattern, lane);
    return controls != nullptr && AddEntry(controls->cells, control, key, true);
}

bool ControlRegistry::AddSceneControl(int area, IControl* control, int key)
{
    SceneControls* scene = sceneLists_.Get(area);
    return scene != nullptr && AddEntry(scene->entries, control, key, true);
}

// ---- finding ------------------------------------------------------------------------------------

IControl* ControlRegistry::FindGlobalControl(int parameterIndex) const
{
    for (int i = 0; i < globals_.Count(); ++i)
        if (globals_.Get(i)->GetParameterIndex() == parameterIndex) return globals_.Get(i);
    return nullptr;
}

KeyAreaControls* ControlRegistry::GetAreaControls(int area) const
{
    return areas_.Get(area);
}

IControl* ControlRegistry::GetExtraControl(int i) const
{
    return extras_.Get(i);
}

IControl* ControlRegistry::FindAreaControl(int area, int key) const
{
    return FindNthAreaControl(area, key, 0);
}

IControl* ControlRegistry::FindNthAreaControl(int area, int key, int n) const
{
    KeyAreaControls* controls = areas_.Get(area);
    return controls != nullptr ? FindNth(controls->areaEntries, key, n) : nullptr;
}

IControl* ControlRegistry::FindPatternControl(int area, int pattern, int key) const
{
    return FindNthPatternControl(area, pattern, key, 0);
}

IControl* ControlRegistry::FindNthPatternControl(int area, int pattern, int key, int n) const
{
    PatternControls* controls = Pattern(area, pattern);
    return controls != nullptr ? FindNth(controls->patternEntries, key, n) : nullptr;
}

IControl* ControlRegistry::FindLaneSwitch(int area, int pattern, int lane, int key) const
{
    return FindNthLaneSwitch(area, pattern, lane, key, 0);
}

IControl* ControlRegistry::FindNthLaneSwitch(int area, int pattern, int lane, int key, int n) const
{
    LaneControls* controls = Lane(area, pattern, lane);
    return controls != nullptr ? FindNth(controls->switches, key, n) : nullptr;
}

IControl* ControlRegistry::FindStepControl(int area, int pattern, int lane, int step) const
{
    LaneControls* controls = Lane(area, pattern, lane);
    if (controls == nullptr || step < 0 || step >= kStepCount) return nullptr;
    const ControlRegistryEntry* entry = controls->cells.Get(step);
    return entry != nullptr ? entry->control : nullptr;
}

// ---- copying and pasting ------------------------------------------------------------------------

void ControlRegistry::CollectAreaValues(int area, HeapBuffer* buffer) const
{
    KeyAreaControls* controls = areas_.Get(area);
    if (controls == nullptr || buffer == nullptr) return;
    for (int p = 0; p < kPatternCount; ++p)
        CollectPatternValues(area, p, buffer);
    Collect(controls->areaEntries, 0, controls->areaEntries.Count() - 1, buffer);
}

void ControlRegistry::CollectPatternValues(int area, int pattern, HeapBuffer* buffer) const
{
    PatternControls* controls = Pattern(area, pattern);
    if (controls == nullptr || buffer == nullptr) return;
    Collect(controls->patternEntries, 0, controls->patternEntries.Count() - 1, buffer);
    for (int l = 0; l < kLaneCount; ++l)
        CollectLaneValues(area, pattern, l, buffer);
}

void ControlRegistry::CollectLaneValues(int area, int pattern, int lane, HeapBuffer* buffer) const
{
    LaneControls* controls = Lane(area, pattern, lane);
    if (controls == nullptr || buffer == nullptr) return;
    Collect(controls->switches, 0, controls->switches.Count() - 1, buffer);
    Collect(controls->cells, 0, controls->cells.Count() - 1, buffer);
}

void ControlRegistry::CollectStepRange(int area, int pattern, int lane, HeapBuffer* buffer, int first,
                                       int last) const
{
    LaneControls* controls = Lane(area, pattern, lane);
    if (controls == nullptr || buffer == nullptr || first > last) return;
    Collect(controls->cells, first, last, buffer);
}

void ControlRegistry::PasteAreaValues(int area, const HeapBuffer& buffer)
{
    KeyAreaControls* controls = areas_.Get(area);
    if (controls == nullptr) return;
    int position = 0;
    for (int p = 0; p < kPatternCount; ++p)
    {
        PatternControls* pattern = controls->patterns.Get(p);
        if (!Paste(pattern->patternEntries, 0, pattern->patternEntries.Count() - 1, buffer, &position))
            return;
        for (int l = 0; l < kLaneCount; ++l)
        {
            LaneControls* lane = pattern->lanes.Get(l);
            if (!Paste(lane->switches, 0, lane->switches.Count() - 1, buffer, &position) ||
                !Paste(lane->cells, 0, lane->cells.Count() - 1, buffer, &position))
                return;
        }
    }
    Paste(controls->areaEntries, 0, controls->areaEntries.Count() - 1, buffer, &position);
}

void ControlRegistry::PastePatternValues(int area, int pattern, const HeapBuffer& buffer)
{
    PatternControls* controls = Pattern(area, pattern);
    if (controls == nullptr) return;
    int position = 0;
    if (!Paste(controls->patternEntries, 0, controls->patternEntries.Count() - 1, buffer, &position)) return;
    for (int l = 0; l < kLaneCount; ++l)
    {
        LaneControls* lane = controls->lanes.Get(l);
        if (!Paste(lane->switches, 0, lane->switches.Count() - 1, buffer, &position) ||
            !Paste(lane->cells, 0, lane->cells.Count() - 1, buffer, &position))
            return;
    }
}

void ControlRegistry::PasteLaneValues(int area, int pattern, int lane, const HeapBuffer& buffer)
{
    LaneControls* controls = Lane(area, pattern, lane);
    if (controls == nullptr) return;
    int position = 0;
    if (Paste(controls->switches, 0, controls->switches.Count() - 1, buffer, &position))
        Paste(controls->cells, 0, controls->cells.Count() - 1, buffer, &position);
}

void ControlRegistry::PasteStepRange(int area, int pattern, int lane, const HeapBuffer& buffer, int first,
                                     int last)
{
    LaneControls* controls = Lane(area, pattern, lane);
    if (controls == nullptr || first > last) return;
    int position = 0;
    Paste(controls->cells, first, std::min(last, kStepCount - 1), buffer, &position);
}

void ControlRegistry::CopyStepToAll(int area, int pattern, int lane, int step)
{
    CopyStepToRange(area, pattern, lane, step, 0, kStepCount);
}

void ControlRegistry::CopyStepToRange(int area, int pattern, int lane, int step, int from, int to)
{
    LaneControls* controls = Lane(area, pattern, lane);
    const ControlRegistryEntry* source = controls != nullptr ? controls->cells.Get(step) : nullptr;
    if (source == nullptr) return;
    const double value = EntryValue(*source);
    from = std::max(from, 0);
    to = std::min(to, controls->cells.Count());
    for (int i = from; i < to; ++i)
    {
        const ControlRegistryEntry* entry = controls->cells.Get(i);
        if (entry->push) entry->control->SetValueByUser(value);
    }
}

// ---- showing and hiding -------------------------------------------------------------------------

void ControlRegistry::HideKeyArea(int area)
{
    KeyAreaControls* controls = areas_.Get(area);
    if (controls == nullptr) return;
    for (int p = 0; p < kPatternCount; ++p)
    {
        PatternControls* pattern = controls->patterns.Get(p);
        HideAll(pattern->patternEntries, true);
        for (int l = 0; l < kLaneCount; ++l)
            HideLane(pattern->lanes.Get(l), true);
    }
    HideAll(controls->areaEntries, true);
    HideAll(sceneLists_.Get(area)->entries, true);
}

void ControlRegistry::ShowPattern(int area, int pattern, bool show, int lane)
{
    PatternControls* controls = Pattern(area, pattern);
    if (controls == nullptr) return;
    HideAll(controls->patternEntries, !show);
    HideAll(areas_.Get(area)->areaEntries, !show);
    HideAll(sceneLists_.Get(area)->entries, !show);
    for (int l = 0; l < kLaneCount; ++l)
        HideLane(controls->lanes.Get(l), true);
    if (show && lane >= 0) HideLane(controls->lanes.Get(lane), false);
}

void ControlRegistry::SetLaneHidden(int area, int pattern, int lane, bool hide)
{
    HideLane(Lane(area, pattern, lane), hide);
}

void ControlRegistry::SetLaneKeyHidden(int area, int pattern, int lane, bool hide, int key)
{
    LaneControls* controls = Lane(area, pattern, lane);
    if (controls == nullptr) return;
    for (int i = 0; i < controls->switches.Count(); ++i)
    {
        const ControlRegistryEntry* entry = controls->switches.Get(i);
        if (entry->key == key) entry->control->Hide(hide);
    }
}

void ControlRegistry::SetPatternKeyHiddenEverywhere(int key, bool hide)
{
    for (int a = 0; a < kAreaCount; ++a)
        for (int p = 0; p < kPatternCount; ++p)
        {
            const ControlEntryList& list = Pattern(a, p)->patternEntries;
            for (int i = 0; i < list.Count(); ++i)
                if (list.Get(i)->key == key) list.Get(i)->control->Hide(hide);
        }
}

void ControlRegistry::SetPatternKeyKeptOut(int area, int pattern, int key, bool flag)
{
    PatternControls* controls = Pattern(area, pattern);
    if (controls == nullptr) return;
    for (int i = 0; i < controls->patternEntries.Count(); ++i)
    {
        const ControlRegistryEntry* entry = controls->patternEntries.Get(i);
        if (entry->key == key && entry->control->GetParameter() != nullptr)
            entry->control->GetParameter()->SetKeptOutOfPresetLoads(flag);
    }
}
