#pragma once

// The seventeen lanes of a step, the note choices of the ORDER lane and the
// sizes of a key area's pattern store.
namespace quova
{
constexpr int kPatternCount = 12;
constexpr int kStepCount = 32;
constexpr int kLaneCount = 17;
constexpr int kControllerLaneCount = 8;

enum Lane
{
    kLaneOrder = 0,       // "ORDER": which note the step plays
    kLaneChordMemory = 1, // "CHRDMEM": 0 held notes, 1..16 chord-memory slot 0..15
    kLaneLength = 2,      // "LENGTH": step length factor
    kLaneGate = 3,        // "GATE": gate fraction -0.9..1.0
    kLaneAccent = 4,      // "ACCENT": accent in percent
    kLaneTranspose = 5,   // "TRANSP": semitones or scale degrees
    kLaneDiv = 6,         // "DIV": the number of notes the step is divided into
    kLaneShift = 7,       // "SHIFT": shift in percent of a step, -50..50
    kLaneChord = 8,       // chord bit mask over the first eight source notes ("SEQ")
    kLaneController1 = 9, // controller lanes 9..16
    kLaneController8 = 16,
};

// Note choices of the ORDER lane.
enum NoteChoice
{
    kChoicePlay = 0,
    kChoiceOff = 1,
    kChoicePrevious = 2,
    kChoiceFirst = 3,
    kChoiceLast = 4,
    kChoiceHighest = 5,
    kChoiceLowest = 6,
    kChoiceRandom = 7,
};
constexpr int kNoteChoiceCount = 8;

// The display text of a note choice 0..7, or null.
const char* NoteChoiceName(int choice);
} // namespace quova
