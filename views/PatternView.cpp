// PatternView: construction, the setters of the plug-in and mouse editing.
// Painting is in PatternViewPaint.cpp, the note markers in
// PatternViewMarkers.cpp.
#include "views/PatternView.h"

#include "views/PatternViewHost.h"

#include <algorithm>
#include <cmath>

bool SetStepValue(PatternViewHost* host, int area, int pattern, int lane, int step, double normalisedValue)
{
    if (host == nullptr) return false;
    IControl* control = host->FindStepControl(area, pattern, lane, step);
    if (control == nullptr) return false;
    control->SetValueByUser(normalisedValue);
    return true;
}

PatternView::PatternView(IEffectBase* plug, const IRectangle& rect, int parameterIndex, EngineHost* engine,
                         const IBitmapStrip& markerStrip, const std::array<IControl*, kAreas>& indicators,
                         int frameCount, int blendMethod, PatternViewHost* host)
    : IControl(plug, rect, parameterIndex, IBlendSpec(blendMethod, 1.0f)), engine_(engine), host_(host),
      gridX_(rect.left + 1), gridTop_(rect.top),
      frameCount_(frameCount > 0 ? static_cast<unsigned>(frameCount) : 1u), indicators_(indicators),
      markerStrip_(markerStrip), drawRect_(PaintedArea(rect)),
      numberStyle_("Verdana", 10, IColorARGB(255, 255, 255, 255)),
      valueStyle_("Verdana", 12, IColorARGB(240, 255, 255, 255)),
      labelStyle_("Verdana", kCellLabelSize, IColorARGB(255, 255, 255, 255))
{
    // Every entry knows its own place; the table never grows.
    markers_.resize(kMarkerCount);
    for (int a = 0; a < kAreas; ++a)
        for (int s = 0; s < kColumns; ++s)
            for (int n = 0; n < kNotes; ++n)
            {
                StepNoteMarker& m = markers_[static_cast<size_t>(MarkerIndex(a, s, n))];
                m.note = n;
                m.step = s;
                m.keyArea = a;
                m.fade = 0;
            }
    active_.reserve(kMarkerCount);
    // The view is asked at every tick (its markers move without a change of value), also while
    // hidden, so that hiding it repaints its area from what lies below.
    SetAlwaysPolled(true);
    SetNotifyWhenHidden(true);
    SetCapturesModel(true);

    for (int c = 0; c < kColumns; ++c)
    {
        const int x = gridX_ + kColumnWidth * c;
        for (int r = 0; r < kSeqRows; ++r)
        {
            const int y = gridTop_ + kSeqRowPitch * r;
            seqCells_[static_cast<size_t>(c)][static_cast<size_t>(r)] =
                IRectangle(x, y, x + kCellWidth, y + kSeqRowHeight);
        }
    }
}

PatternView::~PatternView() = default;

// ---- IControl ----------------------------------------------------------------------------------

IRectangle PatternView::GetRectangle() const
{
    return drawRect_;
}

void PatternView::MarkChanged(bool /*informPlug*/)
{
    changes_.fetch_add(1);
}

void PatternView::OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers)
{
    MarkChanged(false);
    if (modifiers.control)
    {
        copyColumn_ = ColumnAt(x, y);
        return;
    }
    if (modifiers.left)
        EditStepsAt(x, y, 0, 0);
    else if (modifiers.right)
        OpenMenuParameterPrompt(x, y);
}

void PatternView::OnMouseButtonUp(int /*x*/, int /*y*/, const IMouseModifiers& /*modifiers*/)
{
    MarkChanged(false);
    lastCell_ = IRectangle();
    lastSeqCell_ = nullptr;
    copyColumn_ = -1;
    selectionState_ = 2;
}

void PatternView::OnMouseDragged(int x, int y, int dx, int dy, const IMouseModifiers& modifiers)
{
    MarkChanged(false);
    if (!modifiers.control)
    {
        EditStepsAt(x, y, dx, dy);
        return;
    }
    const int c = ColumnAt(x, y);
    // A Control-drag that did not start on a column has nothing to copy.
    if (c < 0 || copyColumn_ < 0 || c == copyColumn_) return;
    CopyColumnTo(c);
}

void PatternView::OnMouseDoubleClicked(int x, int y, const IMouseModifiers& /*modifiers*/)
{
    MarkChanged(false);
    if (lane_ == kLaneSeq)
    {
        EditStepsAt(x, y, 0, 0);
        return;
    }
    const int c = StepAtPoint(x, y);
    if (c < 0) return;
    const Column& column = columns_[static_cast<size_t>(c)];
    PushValue(c, column.low >= 0.0 ? 0.0 : 0.5);
}

void PatternView::OnMouseWheelTurned(int x, int y, const IMouseModifiers& modifiers, int notches)
{
    MarkChanged(false);
    if (lane_ == kLaneSeq) return;
    const int c = ColumnAt(x, y);
    if (c < 0) return;
    const Column& column = columns_[static_cast<size_t>(c)];
    const double range = column.high - column.low;
    if (!(range > 0.0)) return;
    double delta = notches;
    if (modifiers.control)
    {
        delta = notches * range / 20.0;
        // At least one unit per notch, in the direction of the notches.
        if (std::fabs(delta) < 1.0) delta = notches < 0 ? -1.0 : 1.0;
    }
    PushValue(c, (column.value - column.low + delta) / range);
}

void PatternView::OnMouseHover(int /*x*/, int /*y*/, const IMouseModifiers& /*modifiers*/)
{
    MarkChanged(false);
    hover_ = true;
}

void PatternView::OnMouseLeft()
{
    MarkChanged(false);
    hover_ = false;
}

// ---- setters -----------------------------------------------------------------------------------

void PatternView::SetKeyArea(int area)
{
    if (area < 0 || area >= kAreas) return;
    ClearNoteMarkers();
    area_ = area;
}

void PatternView::SetPattern(int pattern)
{
    if (pattern < 0 || pattern >= 12) return;
    pattern_ = pattern;
    MarkChanged(false);
}

void PatternView::SetLane(int lane)
{
    if (lane < 0 || lane > 16) return;
    lane_ = lane;
    MarkChanged(false);
}

void PatternView::SetPointerMode(int mode)
{
    MarkChanged(false);
    pointerMode_ = mode;
    selectionState_ = 0;
    selectionStart_ = -1;
}

void PatternView::SetStepDisplayValue(int lane, int step, double low, double high, double value)
{
    if (lane != lane_ || step < 0 || step >= kColumns) return;
    if (!std::isfinite(low) || !std::isfinite(high) || !std::isfinite(value)) return;
    Column& column = columns_[static_cast<size_t>(step)];
    column.low = low;
    column.high = high;
    column.value = value;
    if (lane == 3 && gateInSteps_)
        column.gateSteps = value >= 0.0 ? std::trunc(value / 100.0 * 31.0 + 1.0) : value;
    // A value changed from outside (automation, a preset) must show at once.
    MarkChanged(false);
}

void PatternView::ResetStepsInRange()
{
    MarkChanged(false);
    int first = 0;
    int last = kColumns - 1;
    if (pointerMode_ == kPointerModeRange && selectionStart_ >= 0 && selectionEnd_ >= 0)
    {
        first = std::min(selectionStart_, kColumns - 1);
        last = std::min(selectionEnd_, kColumns - 1);
    }
    for (int c = first; c <= last; ++c)
    {
        Column& column = columns_[static_cast<size_t>(c)];
        const double range = column.high - column.low;
        column.value = 0.0;
        if (range > 0.0) PushValue(c, (0.0 - column.low) / range);
    }
}

int PatternView::StepAtPoint(int x, int y) const
{
    if (y < gridTop_ || y >= gridTop_ + kHitBelowTop) return -1;
    for (int c = 0; c < kColumns; ++c)
    {
        const int left = ColumnLeft(c);
        if (x >= left && x < left + kColumnWidth) return c;
    }
    return -1;
}

int PatternView::ColumnAt(int x, int y) const
{
    const IRectangle& r = GetRect();
    if (y < r.top - kHitAboveTop || y >= r.top + kHitBelowTop) return -1;
    for (int c = 0; c < kColumns; ++c)
    {
        const int left = r.left + kColumnWidth * c;
        if (x >= left && x < left + kColumnWidth) return c;
    }
    return -1;
}

void PatternView::FlashIncomingNote(int area)
{
    if (area >= 0 && area < kAreas) incoming_[static_cast<size_t>(area)] = frameCount_;
}

unsigned PatternView::GetIncomingCounter(int area) const
{
    return area >= 0 && area < kAreas ? incoming_[static_cast<size_t>(area)] : 0u;
}

// ---- editing -----------------------------------------------------------------------------------

void PatternView::PushValue(int step, double normalised)
{
    SetStepValue(host_, area_, pattern_, lane_, step, normalised);
}

void PatternView::EditStepsAt(int x, int y, int dx, int dy)
{
    MarkChanged(false);
    const int c = ColumnAt(x, y);
    if (pointerMode_ == kPointerModeRange)
    {
        EditSelection(c, dx);
        return;
    }
    if (c < 0) return;
    if (lane_ == kLaneSeq)
        EditSeqCell(c, x, y);
    else if (IsCellLane())
        EditCell(c, x, y, dy);
    else
        EditBar(c, y);
}

void PatternView::EditSelection(int c, int dx)
{
    if (selectionState_ == 0 || selectionState_ == 2)
    {
        selectionStart_ = selectionEnd_ = c;
        selectionState_ = 1;
        return;
    }
    if (dx < 1)
    {
        if (selectionStart_ <= c && c < selectionEnd_) selectionEnd_ = c;
    }
    else if (c >= selectionStart_ && c > selectionEnd_)
    {
        selectionEnd_ = c;
    }
}

void PatternView::EditSeqCell(int c, int x, int y)
{
    const auto& cells = seqCells_[static_cast<size_t>(c)];
    for (int row = 0; row < kSeqRows; ++row)
    {
        const IRectangle& cell = cells[static_cast<size_t>(row)];
        if (!cell.Contains(x, y)) continue;
        if (&cell == lastSeqCell_) return;
        lastSeqCell_ = &cell;
        const Column& column = columns_[static_cast<size_t>(c)];
        if (!(column.high > 0.0)) return;
        const int bits = (static_cast<int>(column.value) & 255) ^ (1 << row);
        PushValue(c, bits / column.high);
        return;
    }
}

void PatternView::EditCell(int c, int x, int y, int dy)
{
    const Column& column = columns_[static_cast<size_t>(c)];
    const int n = static_cast<int>(column.high - column.low);
    if (n < 1 || !(column.high > 0.0)) return;
    const int bottom = GetRect().bottom;
    const int left = ColumnLeft(c);
    for (int k = 0; k < n; ++k)
    {
        const IRectangle cell(left, bottom - kGridHeight * (k + 1) / n, left + kCellWidth,
                              bottom - kGridHeight * k / n);
        if (!cell.Contains(x, y)) continue;
        if (cell == lastCell_) return;
        lastCell_ = cell;
        int value = k + 1;
        // A press on the value the step holds switches the step off.
        if (static_cast<int>(column.value) == value && dy == 0) value = 0;
        PushValue(c, value / column.high);
        return;
    }
}

void PatternView::EditBar(int c, int y)
{
    const Column& column = columns_[static_cast<size_t>(c)];
    const double range = column.high - column.low;
    if (!(range > 0.0)) return;
    const int zero = column.low >= 0.0 ? kGridHeight : static_cast<int>(-kGridHeight * column.low / range);
    const int above = zero - (y - GetRect().top);
    const double normalised = (above * range / kGridHeight - std::min(column.low, 0.0)) / range;
    PushValue(c, std::clamp(normalised, 0.0, 1.0));
}

void PatternView::CopyColumnTo(int c)
{
    const Column& from = columns_[static_cast<size_t>(copyColumn_)];
    const Column& to = columns_[static_cast<size_t>(c)];
    const double range = to.high - to.low;
    // Whole-number lanes whose range starts at 0 copy the integer value; every
    // other lane (the length lane starts at 1) copies by position in range.
    const bool integral = lane_ == 0 || lane_ == 1 || lane_ == 6 || lane_ == kLaneSeq;
    if (integral && to.high > 0.0 && to.low == 0.0)
        PushValue(c, (static_cast<int>(from.value) & 255) / to.high);
    else if (range > 0.0)
        PushValue(c, (from.value - to.low) / range);
}
