#pragma once

#include <array>
#include <string>
#include <vector>

class EngineHost;

// The control zone's data: whether the zone is on, its keys (every note up to
// the top key belongs to it; the 24 keys from the first action key carry
// actions), the action id of each key, the target names, and the sync steps
// used for pattern changes from the zone and from program changes.
// Target ids: 0 none, 1..9 the lanes "order" .. "seq" (8 is the SHIFT lane),
// 10 previous preset, 11 next preset, 12 "hold", 13 "holdbypass", 14 "panic",
// 15..30 "pattern1".."pattern16". Under the plug-in's lock.
class ControlTargetTable
{
public:
    static constexpr int kKeyCount = 24;
    static constexpr int kFirstActionKey = 12;
    static constexpr int kTopKey = 35;
    static constexpr int kHoldTarget = 12;
    static constexpr int kHoldBypassTarget = 13;

    // Registers nothing; the host owns the table and outlives it.
    explicit ControlTargetTable(EngineHost& host);
    ControlTargetTable(const ControlTargetTable&) = delete;
    ControlTargetTable& operator=(const ControlTargetTable&) = delete;

    bool IsZoneOn() const { return zoneOn_; }
    void SetZoneOn(bool on) { zoneOn_ = on; }
    // Whether the zone takes a note (zone on and note at most the top key).
    bool TakesNote(int note) const { return zoneOn_ && note <= topKey_; }

    // Switch point of zone and program-change pattern changes, in steps
    // (below 1: see PatternEngine::ChangePattern and HandleProgramChange).
    int GetSyncSteps() const { return syncSteps_; }
    void SetSyncSteps(int steps) { syncSteps_ = steps; }

    // Replaces the action list: the first 24 ids are used, missing ones are 0.
    void SetActions(const std::vector<int>& ids);
    // The action id of a key, 0 outside the action keys.
    int GetActionId(int key) const;
    // The target name of the key's action; empty outside 12..35 and for ids
    // without a name (0, 10, 11).
    std::string GetActionName(int key) const;
    // The name of a target id, empty when it has none.
    static std::string GetTargetName(int id);
    // The id of a control-zone file word (matched exactly; "shift" and
    // unknown words give 0).
    static int TargetIdForWord(const std::string& word);

    // Carries out the action of a zone key (a delivered note-on). Notes below
    // the first action key, and keys without action, do nothing.
    void HandleKey(int note);

    // Selects a pattern by program change: programs 0..47 give key area p / 12
    // and pattern p % 12; others do nothing. Reports action 7 or 12.
    void HandleProgramChange(int program);

private:
    EngineHost& host_;
    bool zoneOn_ = true;
    int syncSteps_ = 0;
    int firstActionKey_ = kFirstActionKey;
    int topKey_ = kTopKey;
    std::array<int, kKeyCount> actions_{};
};
