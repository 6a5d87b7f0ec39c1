#pragma once

// Where every parameter of the plug-in lives. The parameter list is the one
// store of every setting the editor shows and the host can save; the
// parameter-change handler, the state, the editor controls and the control
// registry all find a parameter from (key area, pattern, lane, step) with the
// formulas below and decompose an index with their inverses.
//
//   key area a 0..3, pattern p 0..11, pattern slot s = 12 a + p (0..47),
//   lane l 0..16, step t 0..31, scene step k 0..15.
//
// The indices are part of every stored state and preset: never move one. The table lives
// with the views, the lowest layer that decodes indices; the plug-in includes it from here.
namespace quova::param
{
constexpr int kCount = 56738;
constexpr int kHostVisibleCount = 17080; // changes below this are reported as automation

constexpr int kAreaCount = 4;
constexpr int kPatternCount = 12;
constexpr int kSlotCount = kAreaCount * kPatternCount;
constexpr int kLaneCount = 17;
constexpr int kStepCount = 32;
constexpr int kSceneStepCount = 16;
constexpr int kNoteLaneCount = 9; // lanes 0..8; 9..16 are the controller lanes

// --- Global and editor parameters.
constexpr int kGlobalVolume = 0;
constexpr int kKeyAreaSelection = 1;
constexpr int kScale = 3253;
constexpr int kScaleKey = 3254;
constexpr int kScaleMode = 3255;
constexpr int kChordMemorySelection = 17080;
constexpr int kDrawTool = 18145;
constexpr int kSelectionTool = 18146;
constexpr int kRandomize = 18147;
constexpr int kCopyTool = 18148;
constexpr int kPasteTool = 18149;
constexpr int kClearTool = 18150;
constexpr int kPanicTool = 18151;
constexpr int kBoxLeft = 18152;
constexpr int kBoxRight = 18153;
constexpr int kBoxBrowser = 18154;
constexpr int kBoxInfo = 18156;
constexpr int kChordMemoryBoxLeft = 18158;
constexpr int kChordMemoryBoxRight = 18159;
constexpr int kChordSelection = 18161;
constexpr int kChordMemoryCopy = 18162;
constexpr int kChordMemoryPaste = 18163;
constexpr int kChordMemoryClear = 18164;
constexpr int kChordMemoryApply = 18165;
constexpr int kChordMemoryInvertRight = 18166;
constexpr int kChordMemoryInvertLeft = 18167;
constexpr int kLockGate = 18168;
constexpr int kLockSwing = 18169;
constexpr int kLockOctaves = 18170;
constexpr int kLockTranspose = 18171;
constexpr int kLockRate = 18172;
constexpr int kLockCount = 5;
constexpr int kPatternControllerSelection = 30461;
constexpr int kControllerTeachSelection = 30462;
constexpr int kControllerTeach = 30463;
constexpr int kControlZoneSync = 30465;
constexpr int kResize = 30466;
constexpr int kPatternStepMode = 30469; // the lane shown in the step grid
constexpr int kMidiLearnMenu = 30473;
constexpr int kPatternCopyMenu = 30474;
constexpr int kAreaCopyMenu = 30475;
constexpr int kStepMenu = 30476;
constexpr int kMidiOutput = 30477;
constexpr int kNoteLearnBase = 30478; // + note 0..127
constexpr int kBoxSettings = 30608;

// The seven global-option switches, in the order of the settings file.
constexpr int kOptionCount = 7;
constexpr int kOptionSwitches[kOptionCount] = {30606, 30607, 56725, 56726, 56731, 56736, 56737};

// --- Per key area: base + a.
constexpr int kNoteRelease = 5;
constexpr int kHoldTranspose = 9;
constexpr int kHoldBypass = 13;
constexpr int kHold = 17;
constexpr int kSceneOnOff = 21;
constexpr int kArpOnNoteCount = 25;
constexpr int kVelocityMode = 413;
constexpr int kKeyAreaOnOff = 2865;
constexpr int kMidiInChannel = 17096;
constexpr int kMidiOutChannel = 17100;
constexpr int kKeyAreaPatterns = 17104;
constexpr int kStartNote = 17109;
constexpr int kEndNote = 17113;
constexpr int kBaseNote = 17117;
constexpr int kVolume = 17121;
constexpr int kHoldSync = 18141;
constexpr int kSceneEnd = 30609;
constexpr int kSendControllers = 56727;
constexpr int kTriggerChordMemory = 56732;

// --- Per pattern: base + s.
constexpr int kPatternGate = 29;
constexpr int kRateFreeToggle = 77;
constexpr int kRate = 125;
constexpr int kRateFree = 173;
constexpr int kSortOrder = 221;
constexpr int kSwing = 269;
constexpr int kOctaves = 317;
constexpr int kTranspose = 365;
constexpr int kResetOnNewNote = 417;
constexpr int kPatternSteps = 2817;
constexpr int kPatternStepSwitch = 1281; // + 32 s + t: the per-step switch of older states

// --- Per lane of a pattern: base + 17 s + l.
constexpr int kLaneResetOnPatternReset = 465;
constexpr int kLaneDirection = 17317;

// --- Per step of a lane block: base + 32 s + t.
constexpr int kStepNoteList = 12472;        // lane 0 ORDER
constexpr int kStepSource = 15544;          // lane 1 CHRDMEM
constexpr int kStepLength = 3256;           // lane 2 LENGTH
constexpr int kStepGate = 4792;             // lane 3 GATE
constexpr int kStepAccent = 6328;           // lane 4 ACCENT
constexpr int kStepTranspose = 7864;        // lane 5 TRANSP
constexpr int kStepDiv = 9400;              // lane 6 DIV
constexpr int kStepShift = 10936;           // lane 7 SHIFT
constexpr int kStepChord = 14008;           // lane 8 chord ("SEQ")
constexpr int kStepController = 18173;      // lanes 9..16: + 256 s + 32 (l - 9) + t
constexpr int kStepOnOff = 30613;           // all lanes: + 32 (9 s + l) + t (stride 9, see below)
constexpr int kStepOnOffDecodedEnd = 44436; // the last on/off index decoded as lanes 0..8

// --- Scene steps: base + 16 a + k.
constexpr int kSceneStepLength = 17125;
constexpr int kSceneStepPattern = 17189;
constexpr int kSceneStepRepeat = 17253;

// The block bases of the note lanes 0..8, in lane order.
constexpr int kStepBlockBase[kNoteLaneCount] = {kStepNoteList, kStepSource, kStepLength,
                                                kStepGate,     kStepAccent, kStepTranspose,
                                                kStepDiv,      kStepShift,  kStepChord};

constexpr int Slot(int area, int pattern)
{
    return kPatternCount * area + pattern;
}
constexpr int PerArea(int base, int area)
{
    return base + area;
}
constexpr int PerPattern(int base, int area, int pattern)
{
    return base + Slot(area, pattern);
}
constexpr int PerLane(int base, int area, int pattern, int lane)
{
    return base + kLaneCount * Slot(area, pattern) + lane;
}
constexpr int SceneStep(int base, int area, int step)
{
    return base + kSceneStepCount * area + step;
}

// The value parameter of one step of one lane (lanes 0..16).
constexpr int StepValue(int area, int pattern, int lane, int step)
{
    return lane < kNoteLaneCount
               ? kStepBlockBase[lane] + kStepCount * Slot(area, pattern) + step
               : kStepController + 256 * Slot(area, pattern) + kStepCount * (lane - kNoteLaneCount) + step;
}

// The on/off switch of one step of one lane. The stride between slots is 9
// lanes, not 17: the switches of lanes 9..16 of slot s are the same parameters
// as those of lanes 0..7 of slot s + 1. Stored states rely on this layout.
constexpr int StepOnOff(int area, int pattern, int lane, int step)
{
    return kStepOnOff + kStepCount * (kNoteLaneCount * Slot(area, pattern) + lane) + step;
}

// A decoded per-step index.
struct StepAddress
{
    int area = 0;
    int pattern = 0;
    int lane = 0;
    int step = 0;
};

// Decodes an on/off index (kStepOnOff .. kStepOnOffDecodedEnd) into lanes
// 0..8; false for any other index.
constexpr bool DecodeStepOnOff(int index, StepAddress* out)
{
    if (index < kStepOnOff || index > kStepOnOffDecodedEnd) return false;
    const int d = index - kStepOnOff;
    *out = {d / 3456, (d / 288) % kPatternCount, (d / 32) % kNoteLaneCount, d % kStepCount};
    return true;
}
} // namespace quova::param
