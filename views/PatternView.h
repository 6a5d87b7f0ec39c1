#pragma once

#include "gui/IBitmapStrip.h"
#include "gui/IControl.h"
#include "gui/IRectangle.h"
#include "gui/ITextStyle.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

class EngineHost;
class PatternViewHost;
struct OutputNote;

// One entry of the pattern view's note-marker table: a note the engine played
// on a step of a key area. state 0 idle, 1 sounding, 2 released (fading);
// fade 0..127 counts up while released.
struct StepNoteMarker
{
    enum State : uint32_t
    {
        kIdle = 0,
        kSounding = 1,
        kReleased = 2,
    };

    uint32_t state = kIdle;
    int32_t note = -1;
    int32_t step = -1;
    int32_t fade = -1;
    int32_t keyArea = -1;
};

// Pushes a normalised value into the step value control of (area, pattern,
// lane, step) with IControl::SetValueByUser, so that the parameter, the host
// and the engine follow. False (nothing changes) when the host has no such
// control. Editor thread.
bool SetStepValue(PatternViewHost* host, int area, int pattern, int lane, int step, double normalisedValue);

// The step grid: 32 columns, one per step of the edited pattern, showing and
// editing one lane of it for the edited key area. Edits go out through the
// step controls (SetStepValue); what each column shows arrives back through
// SetStepDisplayValue. It also shows the loop range of the lane, the playing
// step, the pattern length, which patterns and lanes differ from their
// defaults, the incoming-note indicators, and a marker for every note the
// engine sounds, which fades out after the note is released.
//
// Threads: Paint reads the engine, the parameters and the note markers only
// through the copy CaptureModel hands it: the one the collecting pass
// (NeedsRedraw, GetInvalidRectangle) took under the plug-in's lock when it
// reported what changed, so that a paint draws nothing the pass did not report
// and the screen is sent. The marker operations (MarkNoteSounding,
// MarkNotesReleased, ClearNoteMarkers) come from the engine's action
// dispatcher on the audio thread under the plug-in's lock; a change they make
// after a pass shows at the next. Everything else runs on the editor's
// thread. The marker lock guards the marker table, the active list and the
// marker changes in the marker operations, in the fading and in the readers.
// Lock order: the plug-in's lock, then the marker lock; never the reverse.
// Lifetime: made by the plug-in with the engine holder and the host, which
// outlive it; owned by the editor. Non-copyable.
class PatternView : public IControl
{
public:
    static constexpr int kAreas = 4;
    static constexpr int kColumns = 32;
    static constexpr int kNotes = 128;
    static constexpr int kMarkerCount = kAreas * kColumns * kNotes; // 16384
    static constexpr int kColumnWidth = 24;
    static constexpr int kCellWidth = 21;
    static constexpr int kGridHeight = 111;  // bar and cell area
    static constexpr int kHitBelowTop = 121; // columns take points up to top + 121
    static constexpr int kHitAboveTop = 21;  // ... and from top - 21 (edits)
    // The draw rectangle reaches this far above the grid: the header with the
    // lane dots and the pattern dots (54 above the grid) belongs to the view.
    static constexpr int kHeaderHeight = 54;
    static constexpr int kMarkerInset = 4; // marker band: 111 - 4 = 107 pixels
    static constexpr int kMarkerHeight = 8;
    static constexpr int kFadeStep = 2;
    static constexpr int kFadeMax = 127;
    static constexpr int kHighestNote = 127;
    static constexpr int kLaneSeq = 8;
    static constexpr int kSeqRows = 8;
    static constexpr int kSeqRowPitch = 14;
    static constexpr int kSeqRowHeight = 13;
    static constexpr int kPointerModeRange = 1;
    // The labels in the cells of the order and seq lanes: the longest order names ("Prev",
    // "Last") fit a 20-pixel cell, and a seq row's number its 13 pixels, only at this size.
    static constexpr int kCellLabelSize = 9;

    // What a column shows: the step's value in lane units and the lane's range.
    struct Column
    {
        double value = 20.0;
        double gateSteps = 0.0;
        double low = -100.0;
        double high = 100.0;
    };

    // plug: the plug-in (prompts; may be null). rect: the grid (32 columns of
    // 24 pixels from left + 1, 111 pixels from top). engine: the engine holder
    // (key areas and steppers). markerStrip: the frames a note marker is drawn
    // with (frame chosen by the fade). indicators: one incoming-note indicator
    // per key area (entries may be null), lit for frameCount paints by
    // FlashIncomingNote. host: step controls and edit queries (may be null: no
    // edit goes out).
    PatternView(IEffectBase* plug, const IRectangle& rect, int parameterIndex, EngineHost* engine,
                const IBitmapStrip& markerStrip, const std::array<IControl*, kAreas>& indicators,
                int frameCount, int blendMethod, PatternViewHost* host);
    ~PatternView() override;

    // ---- IControl ------------------------------------------------------------------------------
    // Each mouse handler first marks the whole view for repainting.
    void OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers) override;
    void OnMouseButtonUp(int x, int y, const IMouseModifiers& modifiers) override;
    void OnMouseDragged(int x, int y, int dx, int dy, const IMouseModifiers& modifiers) override;
    void OnMouseDoubleClicked(int x, int y, const IMouseModifiers& modifiers) override;
    void OnMouseWheelTurned(int x, int y, const IMouseModifiers& modifiers, int notches) override;
    void OnMouseHover(int x, int y, const IMouseModifiers& modifiers) override;
    void OnMouseLeft() override;
    // Draws the grid, the lane's values, the loop range, the markers (after
    // fading them by one frame) and the indicators. False when the shown key
    // area has no engine.
    bool Paint(IGraphics* graphics) override;
    // The draw rectangle: the control rectangle with the header above it and
    // the few rows under it that bars and markers reach (see PaintedArea).
    IRectangle GetRectangle() const override;
    // What changed on the screen since the last paint: the whole draw
    // rectangle after MarkChanged or when the loop range, the pattern length
    // or the edit and lane dots changed; otherwise the note markers that
    // came, changed or fade, the places of markers that went, the old and
    // the new place of the playing-step mark and the pulsing selection. Empty
    // when nothing changed. Reads the engine: under the plug-in's lock (the
    // editor's collecting pass holds it).
    IRectangle GetInvalidRectangle() const override;
    // The same; the parts are the boxes that change (markers, the old and
    // the new mark, the selection), those less than a column apart joined:
    // the whole columns around them are painted as they were.
    IRectangle AddInvalidParts(std::vector<IRectangle>* parts) const override;
    // The paint cuts its drawing to the clip, whole columns apart (their
    // texts): the columns area touches in the grid, and area elsewhere.
    IRectangle WholePartsOf(const IRectangle& area) const override;
    // Asks for a full repaint; never pushes a parameter.
    void MarkChanged(bool informPlug) override;
    // True when GetInvalidRectangle is not empty (while an incoming-note
    // indicator dims, which the paint steps, it names a small part of the
    // view). Under the plug-in's lock.
    bool NeedsRedraw() const override;
    // Copies what the next paint shows of the engine, the parameters and the
    // note markers (the lane's loop range, the playing-step mark, the pattern
    // length, the lane switches, which patterns and lanes have edits, and each
    // marker's box and frame): the copy the last NeedsRedraw looked at, so that
    // the paint shows what was invalidated; without one, the view as it is.
    void CaptureModel() override;

    // ---- setters of the plug-in (editor thread) ------------------------------------------------
    // Clears every note marker, then shows key area 0..3 (others refused).
    void SetKeyArea(int area);
    void SetPattern(int pattern);
    void SetLane(int lane);
    // 1 range selection; anything else drawing. Forgets the selection.
    void SetPointerMode(int mode);
    // What column step shows when lane is the lane shown (else ignored).
    // In the gate lane with gate-in-steps set, the number of steps the gate
    // covers is kept as well.
    void SetStepDisplayValue(int lane, int step, double low, double high, double value);
    // Resets the selected steps (all 32 without a selection in range mode)
    // to 0 in lane units.
    void ResetStepsInRange();
    // The column under (x, y) for the plug-in's right-click handling, or -1.
    int StepAtPoint(int x, int y) const;
    // Lights the incoming-note indicator of key area 0..3.
    void FlashIncomingNote(int area);
    // The plug-in is going; nothing to do (the view keeps no callbacks).
    void OnPlugInDestroyed() {}
    void SetGateInSteps(bool on) { gateInSteps_ = on; }

    // ---- note markers (audio thread, under the plug-in's lock) ---------------------------------
    // Marks (area, step, note) sounding, unless it was released in this very
    // frame. Events outside 4 areas x 32 steps x 128 notes are ignored.
    void MarkNoteSounding(int area, int step, int note);
    void MarkNoteSounding(const OutputNote& note);
    // The sounding markers of (area, 0..step, note) turn released.
    void MarkNotesReleased(int area, int step, int note);
    void MarkNotesReleased(const OutputNote& note);
    // Every marker goes at once.
    void ClearNoteMarkers();
    // One frame of fading (Paint does it): released markers fade by 2 and go
    // when the fade passes 127.
    void FadeNoteMarkers();

    // ---- state, for the plug-in and for tests --------------------------------------------------
    int GetKeyArea() const { return area_; }
    int GetPattern() const { return pattern_; }
    int GetLane() const { return lane_; }
    int GetPointerMode() const { return pointerMode_; }
    int GetSelectionStart() const { return selectionStart_; }
    int GetSelectionEnd() const { return selectionEnd_; }
    int GetSelectionState() const { return selectionState_; }
    bool IsHovering() const { return hover_; }
    const Column& GetColumn(int step) const { return columns_[static_cast<size_t>(step & 31)]; }
    // A copy of the marker, or an idle one for bad indices (takes the marker lock).
    StepNoteMarker GetMarker(int area, int step, int note) const;
    int ActiveMarkerCount() const;
    unsigned GetIncomingCounter(int area) const;
    // The column under a point for edits, or -1.
    int ColumnAt(int x, int y) const;
    // The style of the labels in the cells of the order and seq lanes.
    const ITextStyle& GetCellLabelStyle() const { return labelStyle_; }
    // The frame of the marker strip shown for a fade 0..127.
    int MarkerFrame(int fade) const;
    // The marker's box in the editor (as painted).
    IRectangle MarkerBox(const StepNoteMarker& marker) const;

private:
    static int MarkerIndex(int area, int step, int note) { return (area * kColumns + step) * kNotes + note; }
    static bool ValidMarker(int area, int step, int note);
    // Adds the marker's box to its key area's changes (under the marker lock).
    void NoteMarkerChange(const StepNoteMarker& marker);
    bool IsCellLane() const { return lane_ == 0 || lane_ == 1; }
    int ColumnLeft(int c) const { return gridX_ + kColumnWidth * c; }
    void EditStepsAt(int x, int y, int dx, int dy);
    void EditSelection(int c, int dx);
    void EditSeqCell(int c, int x, int y);
    void EditCell(int c, int x, int y, int dy);
    void EditBar(int c, int y);
    void CopyColumnTo(int c);
    void PushValue(int step, double normalised);

    // Painting (PatternViewPaint.cpp).
    void PaintIndicators();
    void PaintColumn(IGraphics* graphics, int c);
    void PaintBar(IGraphics* graphics, int c, const IColorARGB& colour);
    void PaintCells(IGraphics* graphics, int c, bool even);
    void PaintSeq(IGraphics* graphics, int c, bool even);
    // A cell's label, centred in the cell clear of its outline.
    void PaintCellLabel(IGraphics* graphics, const IRectangle& cell, const char* text);
    void PaintHeader(IGraphics* graphics, int steps);
    void PaintSelection(IGraphics* graphics);
    // The box of the range selection on the grid (its outline reaches one pixel further right
    // and down); empty without a selection of columns.
    IRectangle SelectionBox() const;
    void PaintMarkers(IGraphics* graphics);
    // The columns area touches, from the length bracket to the lowest bar
    // while the grid shows texts, else over the rows area touches (empty for
    // an empty area).
    IRectangle WholeColumns(const IRectangle& area) const;
    // Hands each changed box (see GetInvalidRectangle) to add, with the
    // whole columns around it; nothing when nothing changed.
    template <typename Add> void VisitInvalidParts(Add&& add) const;
    // The draw rectangle of a view over rect: everything the view paints,
    // from the header to what reaches under the grid, and the controller
    // lanes' dots, which stand at fixed places of the editor.
    static IRectangle PaintedArea(const IRectangle& rect);
    // The playing-step mark over step (clamped to the grid).
    IRectangle PlayingStepBoxAt(int step) const;

    // What Paint shows of the engine and the parameters.
    struct ModelCopy
    {
        bool hasEngine = false;
        bool hasLooper = false;
        int loopStart = 0;
        int loopEnd = kColumns;
        // Where the playing-step mark stands: the current step of the shown lane's looper while
        // a note marker is active, else -1.
        int markStep = -1;
        int patternLength = kColumns;
        std::array<bool, 12> patternEdits{};
        std::array<bool, 17> laneOn{};
        std::array<bool, 17> laneEdits{};
        bool operator==(const ModelCopy&) const = default;
    };
    // Reads the engine and the parameters (under the plug-in's lock); the
    // edits of every pattern, or of the next one in turn.
    ModelCopy ReadModel(bool allEdits) const;
    // The playing-step mark the model shows (empty when none).
    IRectangle StepMark(const ModelCopy& model) const;
    ModelCopy model_;
    // The model NeedsRedraw last read, which the next paint shows.
    mutable ModelCopy probe_;
    mutable bool probed_ = false;
    mutable std::array<bool, 12> knownEdits_{};
    mutable int editsTurn_ = 0;
    // When each entry of knownEdits_ was asked (the parameters' write count, and the key area): an
    // entry asked at the current count for the area shown still holds.
    struct EditsAsked
    {
        uint64_t writes = 0;
        int area = -1;
    };
    mutable std::array<EditsAsked, 12> editsAsked_{};
    // The model of the last paint that covered the whole view.
    ModelCopy painted_;
    bool paintedValid_ = false;
    // Where a playing-step mark may stand on the screen.
    IRectangle markOnScreen_;
    // Raised by every MarkChanged, from any thread: the view is repainted whole until a paint that
    // covered all of it showed the model read at (or after) the latest change.
    std::atomic<uint64_t> changes_{1};
    mutable uint64_t probeChanges_ = 0; // the count NeedsRedraw last read, with probe_
    uint64_t shownChanges_ = 0;         // the count the model of the next paint was read at
    uint64_t paintedChanges_ = 0;       // the count the last whole paint showed

    // What a paint draws of a note marker: its box and the strip frame of its fade after the
    // paint's fading.
    struct MarkerPicture
    {
        IRectangle box;
        int frame = 1;
    };
    // The markers of the shown key area as the next paint draws them (under the marker lock).
    void TakeMarkerPictures(std::vector<MarkerPicture>* pictures) const;
    // Moves the marker changes so far into those handed out (under the marker lock) and takes the
    // pictures the next paint draws, so that a paint draws the markers the collecting pass
    // reported and a marker the audio thread changes later waits for the next pass.
    void CollectMarkerChanges() const;
    mutable std::vector<MarkerPicture> probeMarkers_; // the pictures NeedsRedraw last took
    std::vector<MarkerPicture> shownMarkers_;         // the pictures the next paint draws

    EngineHost* engine_;
    PatternViewHost* host_;
    int area_ = 0;
    int pattern_ = 0;
    int lane_ = 2;
    int pointerMode_ = 0;
    int selectionStart_ = -1;
    int selectionEnd_ = -1;
    int selectionState_ = 0;
    bool hover_ = false;
    bool gateInSteps_ = false;
    std::array<Column, kColumns> columns_{};
    std::array<std::array<IRectangle, kSeqRows>, kColumns> seqCells_{};
    int gridX_;
    int gridTop_;
    IRectangle lastCell_;
    const IRectangle* lastSeqCell_ = nullptr;
    int copyColumn_ = -1;
    std::array<unsigned, kAreas> incoming_{};
    unsigned frameCount_;
    std::array<IControl*, kAreas> indicators_;
    IBitmapStrip markerStrip_;
    double pulse_ = 10.0;
    bool pulseRising_ = true;
    IRectangle drawRect_;

    mutable std::mutex markerLock_;
    std::vector<StepNoteMarker> markers_; // kMarkerCount entries
    std::vector<StepNoteMarker*> active_; // capacity kMarkerCount: the audio thread never allocates
    mutable IRectangle removedArea_;      // markers that went in fades since the last collecting pass
    // Per key area: the boxes of markers that came or changed state since the last collecting pass.
    mutable std::array<IRectangle, kAreas> markerChanges_{};
    // The marker changes collecting passes handed out that no paint has covered yet.
    mutable IRectangle collected_;

    ITextStyle numberStyle_;
    ITextStyle valueStyle_;
    ITextStyle labelStyle_;
};
