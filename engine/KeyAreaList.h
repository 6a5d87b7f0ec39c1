#pragma once

#include <array>
#include <memory>

class EngineHost;
class PatternEngine;
struct TransportState;

// The four key areas (one PatternEngine each, index 0..3) and the key area
// selected for editing. Under the plug-in's lock.
class KeyAreaList
{
public:
    static constexpr int kAreaCount = 4;

    KeyAreaList(TransportState& transport, EngineHost& host);
    ~KeyAreaList();
    KeyAreaList(const KeyAreaList&) = delete;
    KeyAreaList& operator=(const KeyAreaList&) = delete;

    // The area, or null outside 0..3.
    PatternEngine* GetArea(int index) const;
    // Flags area index (0..3; others are refused) as the one being edited.
    bool SelectForEditing(int index);
    int GetSelectedForEditing() const { return selected_; }

    // PatternEngine::ProcessBlock of every enabled area, in index order
    // (skipping those that QuietFrames, just called at this offset, found
    // quiet for the whole length).
    void ProcessBlock(double position, double length, double samplesPerBeat, double offset);
    // The fewest quiet frames of the enabled areas (PatternEngine::QuietFrames).
    int QuietFrames(double offset, int length, double samplesPerBeat);
    // PatternEngine::Stop of every enabled area at a block offset.
    void StopAll(double offset);

private:
    std::array<std::unique_ptr<PatternEngine>, kAreaCount> areas_;
    int selected_ = 0;
    // The quiet frames of each area as QuietFrames last found them at an
    // offset; the next ProcessBlock at that offset skips the areas that are
    // quiet for its whole length (their call would do nothing).
    std::array<int, kAreaCount> quiet_{};
    double quietOffset_ = -1.0;
};
