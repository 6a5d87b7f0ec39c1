// PatternView: painting, once per editor tick, and the area it repaints.
#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/PatternEngine.h"
#include "engine/PatternStepper.h"
#include "framework/IParameter.h"
#include "gui/IGraphics.h"
#include "views/PatternView.h"
#include "views/PatternViewHost.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{
// Editor colours {alpha, red, green, blue}. Columns alternate in sets of four
// steps between the A and B families.
constexpr IColorARGB kColourA(215, 132, 174, 225);
constexpr IColorARGB kColourB(215, 106, 166, 236);
constexpr IColorARGB kColourC(235, 132, 174, 225);
constexpr IColorARGB kColourD(180, 106, 166, 236);
constexpr IColorARGB kColourE(100, 132, 174, 225); // outside the loop range
constexpr IColorARGB kPatternDot(115, 255, 255, 255);
constexpr IColorARGB kLaneOn(125, 0, 200, 0);
constexpr IColorARGB kLaneOff(225, 200, 34, 34);
constexpr IColorARGB kWhite(255, 255, 255, 255);

constexpr const char* kOrderNames[] = {"Play", "Off", "Prev", "1st", "Last", "Hi", "Low", "Rnd"};

// Bars may reach a little below the grid; nothing is drawn lower than this.
constexpr int kBarClipBelowBottom = 3;
// The length bracket's top above the grid, and how far the lowest markers reach below it.
constexpr int kBracketAbove = 3;
constexpr int kMarkersBelow = PatternView::kMarkerHeight - PatternView::kMarkerInset;
// What a column draws under the grid: bars, markers, and the selection outline's bottom line.
constexpr int kColumnBelow = std::max({kBarClipBelowBottom, kMarkersBelow, 1});
constexpr int kDotSize = 3;
// Header dots: pattern p at left + 1 + 76 + 32p, 54 above the grid; lane i
// at left + 2 + 64i, 33 above; the controller lanes' dots sit at fixed
// editor places beside the controller-lane buttons.
constexpr int kPatternDotX = 76;
constexpr int kPatternDotPitch = 32;
constexpr int kPatternDotAbove = 54;
constexpr int kLaneDotX = 2;
constexpr int kLaneDotPitch = 64;
constexpr int kLaneDotAbove = 33;
constexpr int kEditsDotOffset = 57;
constexpr int kCcDotX = 648;
constexpr int kCcEditsDotX = 662;
constexpr int kCcDotPitch = 20;
constexpr int kCcDotY = 256;
constexpr double kPulseTop = 30.0;
constexpr double kPulseRise = 0.3;
constexpr double kPulseFall = 0.5;

bool EvenSet(int c)
{
    return (c / 4) % 2 == 0;
}

IRectangle Dot(int x, int y)
{
    return IRectangle(x, y, x + kDotSize, y + kDotSize);
}

// A filled cell is inset 2 pixels at the top and left, 1 at the right and bottom.
IRectangle Inset(const IRectangle& r)
{
    return IRectangle(r.left + 2, r.top + 2, r.right - 1, r.bottom - 1);
}

// True when inner lies wholly in outer (an empty inner always does).
bool Covers(const IRectangle& outer, const IRectangle& inner)
{
    return inner.IsEmpty() || (outer.left <= inner.left && outer.top <= inner.top &&
                               outer.right >= inner.right && outer.bottom >= inner.bottom);
}
// The view repaints parts of itself while the rest stays on the screen: fills and outlines are cut
// to the paint clip, and texts, which cannot be cut, are drawn only where the clip holds them
// whole. The invalid areas are whole columns from the bracket to the lowest bar where the grid
// holds texts, so no text of a column straddles their edges.
void Fill(IGraphics* graphics, const IColorARGB& colour, const IRectangle& rect)
{
    const IRectangle cut = rect.Intersect(graphics->GetPaintClip());
    if (cut.Width() > 0 && cut.Height() > 0) graphics->PaintRectangle(colour, cut);
}

// An outline also takes the pixels on its right and bottom coordinates: four one-pixel lines (both
// ends drawn), each cut to the clip.
void Outline(IGraphics* graphics, const IColorARGB& colour, const IRectangle& rect)
{
    const IRectangle& clip = graphics->GetPaintClip();
    const int left = std::max(rect.left, clip.left);
    const int right = std::min(rect.right, clip.right - 1);
    const int top = std::max(rect.top, clip.top);
    const int bottom = std::min(rect.bottom, clip.bottom - 1);
    if (left > right || top > bottom) return;
    for (const int y : {rect.top, rect.bottom})
        if (y >= top && y <= bottom) graphics->DrawHorizontalLine(colour, y, left, right);
    for (const int x : {rect.left, rect.right})
        if (x >= left && x <= right) graphics->DrawVerticalLine(colour, x, top, bottom);
}

void Text(IGraphics* graphics, ITextStyle* style, const char* text, IRectangle box)
{
    if (Covers(graphics->GetPaintClip(), box)) graphics->DrawStyledText(style, text, &box);
}
} // namespace

IRectangle PatternView::PaintedArea(const IRectangle& rect)
{
    const IRectangle view(rect.left, rect.top - kHeaderHeight, rect.right, rect.bottom + kColumnBelow);
    const IRectangle ccDots(kCcDotX, kCcDotY, kCcEditsDotX + kCcDotPitch * 7 + kDotSize, kCcDotY + kDotSize);
    return view.Union(ccDots);
}

IRectangle PatternView::PlayingStepBoxAt(int step) const
{
    const int x = gridX_ + kColumnWidth * std::clamp(step, 0, kColumns - 1);
    return IRectangle(x, gridTop_, x + kCellWidth, gridTop_ + kMarkerInset);
}

PatternView::ModelCopy PatternView::ReadModel(bool allEdits) const
{
    ModelCopy model;
    PatternEngine* engine = engine_ != nullptr ? engine_->GetKeyAreas()->GetArea(area_) : nullptr;
    model.hasEngine = engine != nullptr;
    if (engine == nullptr) return model;
    const PatternStepper& stepper = engine->GetStepper();
    const ControlLooper* looper = stepper.GetLaneLooper(pattern_, lane_);
    model.hasLooper = looper != nullptr;
    model.loopStart = looper != nullptr ? looper->LoopStart() : 0;
    model.loopEnd = looper != nullptr ? looper->LoopEnd() : kColumns;
    // The mark shows which column of the shown lane plays now. Each lane runs over its own loop
    // range, so the mark follows the lane's looper (its current step), also onto columns past the
    // pattern's length, or shaded ones until the looper is back in a range just changed. It is
    // decided here, with the active markers, so that a paint draws the mark the collecting pass
    // compared with the screen (markers go while a paint fades them).
    if (looper != nullptr && ActiveMarkerCount() > 0) model.markStep = looper->Position();
    const PatternRecord* record = stepper.GetPatternRecord(pattern_);
    model.patternLength = record != nullptr ? record->length : kColumns;
    // Asking for a pattern's edits walks its steps: all twelve when the view is repainted whole,
    // otherwise one a tick in turn, which shows edits that came by other roads (automation of a
    // pattern not shown) within twelve ticks.
    const int count = static_cast<int>(model.patternEdits.size());
    const uint64_t writes = IParameter::WriteCount();
    for (int k = 0; k < (allEdits ? count : 1); ++k)
    {
        const int p = allEdits ? k : editsTurn_;
        EditsAsked& asked = editsAsked_[static_cast<size_t>(p)];
        // No parameter changed since this pattern was asked: the answer stands (asking reads
        // hundreds of parameters the cache rarely holds at a tick).
        if (!allEdits && asked.area == area_ && asked.writes == writes) continue;
        knownEdits_[static_cast<size_t>(p)] = host_ != nullptr && host_->PatternHasEdits(area_, p);
        asked = EditsAsked{writes, area_};
    }
    if (!allEdits) editsTurn_ = (editsTurn_ + 1) % count;
    model.patternEdits = knownEdits_;
    // The lane dots show only while the pointer hovers; the pointer cannot
    // come or go between this copy and the paint.
    for (int lane = 0; lane < static_cast<int>(model.laneOn.size()); ++lane)
    {
        const auto l = static_cast<size_t>(lane);
        model.laneOn[l] = hover_ && stepper.IsLaneEnabled(pattern_, lane);
        model.laneEdits[l] = hover_ && host_ != nullptr && host_->LaneHasEdits(area_, pattern_, lane);
    }
    return model;
}

IRectangle PatternView::StepMark(const ModelCopy& model) const
{
    return model.hasEngine && model.markStep >= 0 ? PlayingStepBoxAt(model.markStep) : IRectangle();
}

void PatternView::CaptureModel()
{
    if (probed_)
    {
        model_ = probe_;
        shownChanges_ = probeChanges_;
        shownMarkers_.swap(probeMarkers_);
        probed_ = false;
        return;
    }
    // A paint no collecting pass asked for (the whole window painted again): the view as it is now.
    // The marker changes stay for the next pass, which repaints what this paint may not have sent.
    shownChanges_ = changes_.load();
    model_ = ReadModel(true);
    std::lock_guard<std::mutex> lock(markerLock_);
    TakeMarkerPictures(&shownMarkers_);
}

bool PatternView::NeedsRedraw() const
{
    return !GetInvalidRectangle().IsEmpty();
}

template <typename Add> void PatternView::VisitInvalidParts(Add&& add) const
{
    // Shown or hidden (the control's own flags), marked changed, or never painted whole.
    const uint64_t marked = changes_.load();
    const bool whole = marked != paintedChanges_ || !paintedValid_ || IControl::NeedsRedraw();
    probe_ = ReadModel(whole);
    probeChanges_ = marked;
    probed_ = true;
    // The markers the paint draws are decided here, with the changes reported: a marker the audio
    // thread lights, releases or clears from now on waits for the next pass.
    std::lock_guard<std::mutex> lock(markerLock_);
    CollectMarkerChanges();
    if (whole) return add(drawRect_, drawRect_);
    if (!probe_.hasEngine) return;
    // The loop shading, the length bracket and the dots: rare changes, the whole view.
    ModelCopy moved = probe_;
    moved.markStep = painted_.markStep;
    if (!(moved == painted_)) return add(drawRect_, drawRect_);

    // Boxes less than a column apart (a trail of fading markers) are handed on as one.
    IRectangle run;
    bool changes = false;
    const auto part = [&](const IRectangle& changed)
    {
        changes = changes || !changed.IsEmpty();
        if (WholeColumns(changed).IsEmpty()) return;
        const IRectangle near(changed.left - kColumnWidth, changed.top - kColumnWidth,
                              changed.right + kColumnWidth, changed.bottom + kColumnWidth);
        if (run.IsEmpty() || run.Meets(near) || near.Meets(run))
        {
            run = run.Union(changed);
            return;
        }
        add(run, WholeColumns(run));
        run = changed;
    };
    part(collected_);
    for (const StepNoteMarker* marker : active_)
        if (marker->state == StepNoteMarker::kReleased && marker->keyArea == area_)
            part(MarkerBox(*marker)); // fading: a new frame at every paint
    const IRectangle mark = StepMark(probe_);
    if (mark != markOnScreen_)
    {
        part(mark);
        part(markOnScreen_);
    }
    part(SelectionBox());
    // A dimming indicator needs the paint, which steps it: the smallest part of the view.
    if (!changes && std::any_of(incoming_.begin(), incoming_.end(), [](unsigned c) { return c > 1; }))
        part(PlayingStepBoxAt(0));
    if (!run.IsEmpty()) add(run, WholeColumns(run));
}

IRectangle PatternView::GetInvalidRectangle() const
{
    IRectangle area;
    VisitInvalidParts([&area](const IRectangle&, const IRectangle& columns) { area = area.Union(columns); });
    return area;
}

IRectangle PatternView::AddInvalidParts(std::vector<IRectangle>* parts) const
{
    IRectangle area;
    VisitInvalidParts(
        [&area, parts](const IRectangle& changed, const IRectangle& columns)
        {
            parts->push_back(changed);
            area = area.Union(columns);
        });
    return area;
}

IRectangle PatternView::WholePartsOf(const IRectangle& area) const
{
    const IRectangle part = area.Intersect(drawRect_);
    const IRectangle band(drawRect_.left, gridTop_ - kBracketAbove, drawRect_.right,
                          GetRect().bottom + kColumnBelow);
    // The header holds only fills, which any clip cuts.
    if (!part.Meets(band)) return part;
    return part.Union(WholeColumns(part.Intersect(band)));
}

IRectangle PatternView::WholeColumns(const IRectangle& area) const
{
    if (area.Width() <= 0 || area.Height() <= 0) return IRectangle();
    // Column c owns the pixels from 3 left of its cell (the gap before it) to its cell's end.
    const auto column = [this](int x)
    { return std::clamp((x + 3 - gridX_) / kColumnWidth, 0, kColumns - 1); };
    const int first = area.left < gridX_ ? 0 : column(area.left);
    const int last = column(area.right - 1);
    const int left = first == 0 ? drawRect_.left : ColumnLeft(first) - 3;
    const int right = last == kColumns - 1 ? drawRect_.right : ColumnLeft(last) + kCellWidth;
    // From the length bracket to the lowest bar or marker: the loop strip and the lane switches
    // above the grid, which overlap the header, stay out. Without texts in the grid (a bar lane
    // while the pointer is elsewhere) the rows area touches are enough.
    int top = gridTop_ - kBracketAbove;
    int bottom = GetRect().bottom + kColumnBelow;
    if (!hover_ && !IsCellLane() && lane_ != kLaneSeq)
    {
        top = std::max(top, area.top);
        bottom = std::min(bottom, area.bottom);
    }
    return IRectangle(left, top, right, bottom);
}

bool PatternView::Paint(IGraphics* graphics)
{
    if (!model_.hasEngine) return false;
    const IRectangle& r = GetRect();
    const IRectangle& clip = graphics->GetPaintClip();

    PaintIndicators();
    for (int c = 0; c < kColumns; ++c)
        PaintColumn(graphics, c);

    // The steps outside the lane's loop range are shaded.
    if (model_.hasLooper)
    {
        const int start = model_.loopStart;
        const int end = model_.loopEnd;
        if (start > 0)
            Fill(graphics, kColourE, IRectangle(r.left, r.top, gridX_ - 1 + start * kColumnWidth, r.bottom));
        if (end < kColumns)
            Fill(graphics, kColourE, IRectangle(gridX_ - 1 + end * kColumnWidth, r.top, r.right, r.bottom));
    }

    FadeNoteMarkers();
    const IRectangle mark = StepMark(model_);
    if (!mark.IsEmpty()) Fill(graphics, kColourB, mark);
    // A mark outside the clip stays on the screen until a paint covers it.
    markOnScreen_ = (Covers(clip, markOnScreen_) ? IRectangle() : markOnScreen_).Union(mark);

    PaintHeader(graphics, model_.patternLength);
    PaintSelection(graphics);
    PaintMarkers(graphics);

    // What lies outside the editor is never painted.
    if (Covers(clip, drawRect_.Intersect(IRectangle(0, 0, graphics->Width(), graphics->Height()))))
    {
        painted_ = model_;
        paintedValid_ = true;
        paintedChanges_ = shownChanges_;
    }
    return true;
}

void PatternView::PaintIndicators()
{
    for (int a = 0; a < kAreas; ++a)
    {
        unsigned& counter = incoming_[static_cast<size_t>(a)];
        IControl* indicator = indicators_[static_cast<size_t>(a)];
        if (counter > 1)
        {
            if (indicator != nullptr) indicator->ReceiveValue(static_cast<double>(counter) / frameCount_);
            --counter;
        }
        if (counter < 1) counter = 1;
        if (indicator != nullptr) indicator->ReceiveValue(static_cast<double>(counter) / frameCount_);
    }
}

void PatternView::PaintColumn(IGraphics* graphics, int c)
{
    const int x = ColumnLeft(c);
    const IRectangle& r = GetRect();
    const bool even = EvenSet(c);

    if (c % 4 == 3)
    {
        char text[16];
        std::snprintf(text, sizeof text, " %d", c + 1);
        IRectangle box(x - 2, r.bottom + 5, x + kCellWidth, r.bottom + 5 + numberStyle_.size);
        Text(graphics, &numberStyle_, text, box);
    }

    if (lane_ == kLaneSeq)
        PaintSeq(graphics, c, even);
    else if (IsCellLane())
        PaintCells(graphics, c, even);
    else
        PaintBar(graphics, c, even ? kColourA : kColourB);
}

void PatternView::PaintBar(IGraphics* graphics, int c, const IColorARGB& colour)
{
    const Column& column = columns_[static_cast<size_t>(c)];
    const double range = column.high - column.low;
    if (!(range > 0.0)) return;
    const int x = ColumnLeft(c);
    const int top = GetRect().top;
    if (column.value >= column.low && column.value != 0.0 && !(lane_ == 2 && column.value == column.low))
    {
        const int zeroOffset = static_cast<int>(column.low / range * -kGridHeight);
        const int zeroLine = top - zeroOffset + kGridHeight;
        const int rise = static_cast<int>(std::round(kGridHeight * column.value / range));
        const int valueLine = top - rise - zeroOffset + kGridHeight;
        const int y0 = std::min(zeroLine, valueLine);
        int y1 = std::max(zeroLine, valueLine);
        if (y0 == y1) ++y1;
        y1 = std::min(y1, GetRect().bottom + kBarClipBelowBottom);
        if (y1 > y0) Fill(graphics, colour, IRectangle(x, y0, x + kCellWidth, y1));
    }
    if (hover_)
    {
        int shown = static_cast<int>(column.value);
        if (lane_ == 6)
            shown = static_cast<int>(column.value + 1.0);
        else if (lane_ == 3 && gateInSteps_)
            shown = static_cast<int>(column.gateSteps);
        char text[16];
        std::snprintf(text, sizeof text, "%d", shown);
        IRectangle box(x, top + 1, x + kCellWidth, top + 1 + valueStyle_.size);
        Text(graphics, &valueStyle_, text, box);
    }
}

void PatternView::PaintCells(IGraphics* graphics, int c, bool even)
{
    const Column& column = columns_[static_cast<size_t>(c)];
    const int n = static_cast<int>(column.high - column.low);
    if (n < 1) return;
    const int x = ColumnLeft(c);
    const int bottom = GetRect().bottom;
    const int value = static_cast<int>(column.value);
    for (int k = 0; k < n; ++k)
    {
        const IRectangle cell(x, bottom - (110 * (k + 1)) / n - 1, x + 20, bottom - (110 * k) / n - 1);
        Outline(graphics, kColourA, cell);
        if (k + 1 != value) continue;
        Fill(graphics, even ? kColourC : kColourD, Inset(cell));
        if (lane_ == 0 && value >= 0 && value < 8) PaintCellLabel(graphics, cell, kOrderNames[value]);
    }
}

void PatternView::PaintSeq(IGraphics* graphics, int c, bool even)
{
    const int bits = static_cast<int>(columns_[static_cast<size_t>(c)].value) & 255;
    for (int row = 0; row < kSeqRows; ++row)
    {
        const IRectangle& cell = seqCells_[static_cast<size_t>(c)][static_cast<size_t>(row)];
        Outline(graphics, kColourA, cell);
        if ((bits & (1 << row)) == 0) continue;
        Fill(graphics, even ? kColourC : kColourD, Inset(cell));
        char text[16];
        std::snprintf(text, sizeof text, " %d", kSeqRows - row);
        PaintCellLabel(graphics, cell, text);
    }
}

void PatternView::PaintCellLabel(IGraphics* graphics, const IRectangle& cell, const char* text)
{
    const int top = cell.top + (cell.bottom - cell.top - labelStyle_.size) / 2;
    IRectangle box(cell.left, top, cell.right, top + labelStyle_.size);
    Text(graphics, &labelStyle_, text, box);
}

void PatternView::PaintHeader(IGraphics* graphics, int steps)
{
    const IRectangle& r = GetRect();
    // The pattern length as a bracket above the grid.
    const int x0 = gridX_ - 1;
    const int x1 = x0 + std::clamp(steps, 1, kColumns) * kColumnWidth - 3;
    Fill(graphics, kColourA, IRectangle(x0, r.top - kBracketAbove, x1, r.top - 1));
    // Ticks hang from the bar's ends down to the grid.
    Fill(graphics, kColourA, IRectangle(x0, r.top - 1, x0 + 1, r.top + 1));
    Fill(graphics, kColourA, IRectangle(x1 - 1, r.top - 1, x1, r.top + 1));

    if (host_ == nullptr) return;
    for (int p = 0; p < 12; ++p)
        if (model_.patternEdits[static_cast<size_t>(p)])
            Fill(graphics, kPatternDot,
                 Dot(r.left + 1 + kPatternDotX + kPatternDotPitch * p, r.top - kPatternDotAbove));
    if (!hover_) return;
    for (int lane = 0; lane < 17; ++lane)
    {
        int x;
        int editsX;
        int y;
        if (lane <= kLaneSeq)
        {
            x = r.left + kLaneDotX + kLaneDotPitch * lane;
            editsX = x + kEditsDotOffset;
            y = r.top - kLaneDotAbove;
        }
        else
        {
            const int j = lane - kLaneSeq - 1;
            x = kCcDotX + kCcDotPitch * j;
            editsX = kCcEditsDotX + kCcDotPitch * j;
            y = kCcDotY;
        }
        const auto l = static_cast<size_t>(lane);
        Fill(graphics, model_.laneOn[l] ? kLaneOn : kLaneOff, Dot(x, y));
        if (model_.laneEdits[l]) Fill(graphics, kWhite, Dot(editsX, y));
    }
}

IRectangle PatternView::SelectionBox() const
{
    // A press beside the columns, or a release that ends no selection, leaves the state without a
    // column: nothing is shown.
    if (pointerMode_ != kPointerModeRange || selectionState_ < 1 || selectionStart_ < 0 ||
        selectionEnd_ < selectionStart_ || selectionEnd_ >= kColumns)
        return IRectangle();
    return IRectangle(gridX_ + kColumnWidth * selectionStart_, gridTop_,
                      gridX_ + kColumnWidth * selectionEnd_ + kCellWidth, gridTop_ + kGridHeight);
}

void PatternView::PaintSelection(IGraphics* graphics)
{
    const IRectangle box = SelectionBox();
    if (box.IsEmpty()) return;
    Fill(graphics, IColorARGB(static_cast<int>(pulse_), 255, 255, 255), box);
    Outline(graphics, kWhite, box);
    pulse_ += pulseRising_ ? kPulseRise : -kPulseFall;
    if (pulse_ > kPulseTop)
        pulseRising_ = false;
    else if (pulse_ < 0.0)
        pulseRising_ = true;
}

void PatternView::PaintMarkers(IGraphics* graphics)
{
    {
        // The changes the collecting pass reported are on the screen once the clip covered them.
        std::lock_guard<std::mutex> lock(markerLock_);
        if (Covers(graphics->GetPaintClip(), collected_)) collected_ = IRectangle();
    }
    for (const MarkerPicture& marker : shownMarkers_)
        graphics->DrawBitmapFrame(markerStrip_, marker.box, marker.frame, &blend_);
}
