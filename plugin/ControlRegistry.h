// ControlRegistry: the editor's controls filed by the coordinates they belong to. Most controls
// exist once per key area, pattern, lane or step, all stacked on the same screen place; the
// registry shows only those of the edited key area, pattern and lane, finds the control of a step
// cell, copies the values of an area, pattern, lane or step range into a buffer and back (the copy
// and paste tools), and finds the global controls by parameter index.
//
// Each filed control is an entry under a key: normally the parameter index of its key-area-0,
// pattern-0 instance (so one key names the same kind of control everywhere), or a lane's step
// block base. Only entries with the push flag take part in copying and pasting.
//
// Tree: 4 key areas x 12 patterns x 17 lanes (each lane: its switches, i.e. reset, direction and
// the 32 on/off switches in filing order, and its 32 value cells), area entries, pattern entries,
// 4 scene lists, the global controls and the extras (the 128 invisible learn switches, one per
// controller number).
//
// The registry owns its records, not the controls (the editor owns those). Built once during the
// plug-in's construction and never restructured afterwards; the editor thread shows, hides,
// collects and pastes through it, the audio thread only reads control values through it. No lock.
// Out-of-range coordinates are ignored by every operation (finders give null).
#pragma once

#include "framework/HeapBuffer.h"
#include "framework/PtrList.h"

#include <algorithm>
#include <vector>

class IControl;

struct ControlRegistryEntry
{
    IControl* control = nullptr;
    int key = 0;
    bool push = false; // takes part in copying and pasting values
};

// One list of entries, kept by value: the registry files some 56,000 controls, and an allocation
// per entry plus a list of pointers to them would cost more than the entries themselves.
class ControlEntryList
{
public:
    // Room for count entries without growing (the lanes know their sizes ahead).
    void Reserve(int count) { entries_.reserve(static_cast<size_t>(std::max(count, 0))); }
    int Count() const { return static_cast<int>(entries_.size()); }
    // Entry i; null when i is outside 0..Count()-1.
    const ControlRegistryEntry* Get(int i) const
    {
        return i >= 0 && i < Count() ? &entries_[static_cast<size_t>(i)] : nullptr;
    }
    void Add(const ControlRegistryEntry& entry) { entries_.push_back(entry); }

private:
    std::vector<ControlRegistryEntry> entries_;
};

struct LaneControls
{
    explicit LaneControls(int laneIndex);
    LaneControls(const LaneControls&) = delete;
    LaneControls& operator=(const LaneControls&) = delete;

    int lane;
    // Sized ahead: the registry holds 816 lanes, whose lists would otherwise carry unused room.
    ControlEntryList switches; // reset, direction, the 32 on/off switches
    ControlEntryList cells;    // the 32 step value cells in step order
};

struct PatternControls
{
    PatternControls();
    ~PatternControls();
    PatternControls(const PatternControls&) = delete;
    PatternControls& operator=(const PatternControls&) = delete;

    ControlEntryList patternEntries;
    PtrList<LaneControls> lanes{4};
};

struct KeyAreaControls
{
    KeyAreaControls();
    ~KeyAreaControls();
    KeyAreaControls(const KeyAreaControls&) = delete;
    KeyAreaControls& operator=(const KeyAreaControls&) = delete;

    PtrList<PatternControls> patterns{4};
    ControlEntryList areaEntries;
};

struct SceneControls
{
    ControlEntryList entries;
};

class ControlRegistry
{
public:
    static constexpr int kAreaCount = 4;
    static constexpr int kPatternCount = 12;
    static constexpr int kLaneCount = 17;
    static constexpr int kStepCount = 32;

    // Builds the whole tree with empty entry lists.
    ControlRegistry();
    // Deletes the records from the top down (each list from the last record to the first); the
    // controls are not deleted.
    ~ControlRegistry();
    ControlRegistry(const ControlRegistry&) = delete;
    ControlRegistry& operator=(const ControlRegistry&) = delete;

    // ---- filing (false when the coordinates are out of range or the control is null) ---------------
    bool AddGlobalControl(IControl* control);
    bool AddExtraControl(IControl* control);
    bool AddAreaControl(int area, IControl* control, int key, bool push);
    bool AddPatternControl(int area, int pattern, IControl* control, int key);
    bool AddLaneControl(int area, int pattern, IControl* control, int lane, int key);
    bool AddStepControl(int area, int pattern, IControl* control, int lane, int key);
    bool AddSceneControl(int area, IControl* control, int key);

    // ---- finding (null when nothing matches) ----------------------------------------------------------
    // The first global control bound to parameter index.
    IControl* FindGlobalControl(int parameterIndex) const;
    // The key area's controls; part of the class's interface, unused here.
    KeyAreaControls* GetAreaControls(int area) const;
    // The i-th extra control: the learn switch of controller number i.
    IControl* GetExtraControl(int i) const;
    int ExtraControlCount() const { return extras_.Count(); }
    IControl* FindAreaControl(int area, int key) const;
    IControl* FindNthAreaControl(int area, int key, int n) const;
    IControl* FindPatternControl(int area, int pattern, int key) const;
    IControl* FindNthPatternControl(int area, int pattern, int key, int n) const;
    IControl* FindLaneSwitch(int area, int pattern, int lane, int key) const;
    // With key 30613 the on/off switch of step n.
    IControl* FindNthLaneSwitch(int area, int pattern, int lane, int key, int n) const;
    // The value cell of step 0..31 of the lane.
    IControl* FindStepControl(int area, int pattern, int lane, int step) const;

    // ---- copying values out: each pushed entry appends its parameter's normalised value as one
    // double to buffer -------------------------------------------------------------------------------
    // Every pattern of the area in order, then the area entries.
    void CollectAreaValues(int area, HeapBuffer* buffer) const;
    // The pattern entries, then every lane in order.
    void CollectPatternValues(int area, int pattern, HeapBuffer* buffer) const;
    // The lane's switches, then its cells.
    void CollectLaneValues(int area, int pattern, int lane, HeapBuffer* buffer) const;
    // Cells first..last inclusive (nothing when first > last).
    void CollectStepRange(int area, int pattern, int lane, HeapBuffer* buffer, int first, int last) const;

    // ---- writing values back: SetValueByUser on each pushed entry's control with the next double of
    // the buffer, in exactly the order of the matching Collect. Pasting stops when the buffer runs
    // out; a range is limited to the lane's 32 cells. ---------------------------------------------------
    void PasteAreaValues(int area, const HeapBuffer& buffer);
    void PastePatternValues(int area, int pattern, const HeapBuffer& buffer);
    // Part of the class's interface, unused here (the paste tool pastes a step range).
    void PasteLaneValues(int area, int pattern, int lane, const HeapBuffer& buffer);
    void PasteStepRange(int area, int pattern, int lane, const HeapBuffer& buffer, int first, int last);
    // The value of the cell at step goes to every pushed cell of the lane.
    void CopyStepToAll(int area, int pattern, int lane, int step);
    // The same for the cells from..to - 1 (limited to 0..32).
    void CopyStepToRange(int area, int pattern, int lane, int step, int from, int to);

    // ---- showing and hiding (IControl::Hide; true hides) ----------------------------------------------
    // Every control filed under the area: pattern entries, lanes, area entries and scene list.
    void HideKeyArea(int area);
    // The pattern's and the area's entries and the scene list follow show; all 17 lanes of the
    // pattern are hidden; then, when show and lane >= 0, that lane is shown.
    void ShowPattern(int area, int pattern, bool show, int lane);
    void SetLaneHidden(int area, int pattern, int lane, bool hide);
    // Only the lane's switches filed under key.
    void SetLaneKeyHidden(int area, int pattern, int lane, bool hide, int key);
    // The pattern entries under key in every area and pattern.
    void SetPatternKeyHiddenEverywhere(int key, bool hide);
    // The kept-out-of-preset-loads flag of every pattern entry's parameter under key.
    void SetPatternKeyKeptOut(int area, int pattern, int key, bool flag);

private:
    PatternControls* Pattern(int area, int pattern) const;
    LaneControls* Lane(int area, int pattern, int lane) const;
    static bool AddEntry(ControlEntryList& list, IControl* control, int key, bool push);
    static IControl* FindNth(const ControlEntryList& list, int key, int n);
    static void Collect(const ControlEntryList& list, int first, int last, HeapBuffer* buffer);
    // Pastes into the pushed entries first..last of list from buffer at *position; false once the
    // buffer ran out.
    static bool Paste(const ControlEntryList& list, int first, int last, const HeapBuffer& buffer,
                      int* position);
    static void HideAll(const ControlEntryList& list, bool hide);
    void HideLane(LaneControls* lane, bool hide);

    PtrList<KeyAreaControls> areas_{4};
    PtrList<SceneControls> sceneLists_{4};
    PtrList<IControl> globals_{4096};
    PtrList<IControl> extras_{4096};
};
