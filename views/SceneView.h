#pragma once

#include "gui/IBitmapStrip.h"
#include "gui/IControl.h"

class KeyAreaList;
class PatternEngine;

// The scene strip: sixteen cells of 18 pixels, one per scene step of the
// edited key area. It shows how many scene steps are in use (a bar from the
// first cell to the scene end) and which scene step is playing (a cell that
// blinks 7 of every 14 paints, or stays lit while the area plays); a click on
// a cell sets the key area's scene end directly (not through the "Scene end"
// parameter).
//
// Threads: the editor's thread. The engine fields it shows are written by the
// audio thread and the parameter road: the collecting pass (NeedsRedraw)
// copies them under the plug-in's lock, the strip is repainted when the copy
// differs from what it last painted, and the paint shows that copy, so that it
// draws nothing the pass did not report. A click writes the engine under the
// plug-in's lock.
// Lifetime: made by the plug-in with the key-area list, which outlives it;
// owned by the editor. Non-copyable.
class SceneView : public IControl
{
public:
    static constexpr int kCells = 16;
    static constexpr int kCellWidth = 18;
    static constexpr int kBlinkCycle = 14;
    static constexpr int kBlinkOn = 7;

    // strip is not used (kept for the plug-in's construction call).
    SceneView(IEffectBase* plug, const IRectangle& rect, int parameterIndex, const IBitmapStrip& strip,
              KeyAreaList* keyAreas);

    // Sets the scene end of the shown key area to the cell under the point
    // (nothing past the sixteenth cell).
    void OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers) override;
    void OnMouseDragged(int, int, int, int, const IMouseModifiers&) override {}
    void OnMouseDoubleClicked(int, int, const IMouseModifiers&) override {}
    // Draws the playing cell (when it blinks on), the scene-length bar and its
    // tick, then advances the blink counter. False without an engine.
    bool Paint(IGraphics* graphics) override;
    // Hands the next paint the copy the last NeedsRedraw took (without one, a
    // copy taken now): the scene end, the playing scene step and whether the
    // area runs and plays.
    void CaptureModel() override;
    // Dirty, scenes on (then it is painted at every tick), or the engine shows
    // otherwise than the last paint (an end the host's parameter set). Copies
    // the engine's fields for the next paint; under the plug-in's lock.
    bool NeedsRedraw() const override;

    // Shows key area 0..3 (others refused).
    void SetKeyArea(int area);
    int GetKeyArea() const { return area_; }
    // Set by the parameter road when "Scene on/off" changes; a change repaints
    // the strip once more (so no lit cell is left behind).
    void SetScenesOn(bool on);
    bool GetScenesOn() const { return scenesOn_; }
    int GetBlinkCounter() const { return blink_; }
    // The cell under x, or -1.
    int CellAt(int x) const;

    // The scene end the strip shows for the shown key area (0..15).
    int SceneEnd() const;

private:
    PatternEngine* Engine() const;

    KeyAreaList* keyAreas_;
    int area_ = 0;
    int blink_ = 0;
    bool scenesOn_ = false;
    // What Paint shows of the engine (the playing step only while scenes run).
    struct ModelCopy
    {
        bool hasEngine = false;
        int end = kCells - 1;
        int playing = 0;
        bool running = false;
        bool playingNow = false;
        bool operator==(const ModelCopy&) const = default;
    };
    ModelCopy ReadModel() const;
    ModelCopy model_;
    // The copy the last NeedsRedraw took, which the next paint shows.
    mutable ModelCopy probe_;
    mutable bool probed_ = false;
    // The copy the last paint showed.
    ModelCopy painted_;
    bool paintedValid_ = false;
};
