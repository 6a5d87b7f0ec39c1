// PatternView: the note-marker table. The engine marks and releases notes on
// the audio thread; the editor fades, draws and removes them. Every access to
// the table and the active list holds the marker lock.
#include "engine/OutputNote.h"
#include "views/PatternView.h"

#include <algorithm>
#include <cmath>

bool PatternView::ValidMarker(int area, int step, int note)
{
    return area >= 0 && area < kAreas && step >= 0 && step < kColumns && note >= 0 && note < kNotes;
}

void PatternView::MarkNoteSounding(int area, int step, int note)
{
    if (!ValidMarker(area, step, note)) return;
    std::lock_guard<std::mutex> lock(markerLock_);
    StepNoteMarker& marker = markers_[static_cast<size_t>(MarkerIndex(area, step, note))];
    // Released in this very frame: the release wins until the next paint.
    if (marker.state == StepNoteMarker::kReleased && marker.fade == 0) return;
    // A marker is listed exactly while it is not idle.
    const bool listed = marker.state != StepNoteMarker::kIdle;
    if (marker.state != StepNoteMarker::kSounding) NoteMarkerChange(marker);
    marker.state = StepNoteMarker::kSounding;
    marker.fade = 0;
    if (!listed) active_.push_back(&marker); // capacity reserved for every entry: no allocation
}

void PatternView::NoteMarkerChange(const StepNoteMarker& marker)
{
    IRectangle& changes = markerChanges_[static_cast<size_t>(marker.keyArea)];
    changes = changes.Union(MarkerBox(marker));
}

void PatternView::MarkNoteSounding(const OutputNote& note)
{
    MarkNoteSounding(note.keyArea, note.stepNumber, note.note);
}

void PatternView::MarkNotesReleased(int area, int step, int note)
{
    if (!ValidMarker(area, step, note)) return;
    std::lock_guard<std::mutex> lock(markerLock_);
    for (int s = 0; s <= step; ++s)
    {
        StepNoteMarker& marker = markers_[static_cast<size_t>(MarkerIndex(area, s, note))];
        if (marker.state == StepNoteMarker::kSounding)
        {
            NoteMarkerChange(marker);
            marker.state = StepNoteMarker::kReleased;
            marker.fade = 0;
        }
    }
}

void PatternView::MarkNotesReleased(const OutputNote& note)
{
    MarkNotesReleased(note.keyArea, note.stepNumber, note.note);
}

void PatternView::ClearNoteMarkers()
{
    MarkChanged(false);
    std::lock_guard<std::mutex> lock(markerLock_);
    for (StepNoteMarker* marker : active_)
    {
        marker->state = StepNoteMarker::kIdle;
        marker->fade = 0;
    }
    active_.clear();
}

void PatternView::FadeNoteMarkers()
{
    std::lock_guard<std::mutex> lock(markerLock_);
    auto keep = active_.begin();
    for (StepNoteMarker* marker : active_)
    {
        if (marker->state == StepNoteMarker::kReleased)
        {
            marker->fade += kFadeStep;
            if (marker->fade > kFadeMax)
            {
                // Its last picture is painted over after the next collecting pass.
                if (marker->keyArea == area_) removedArea_ = removedArea_.Union(MarkerBox(*marker));
                marker->state = StepNoteMarker::kIdle;
                marker->fade = 0;
                continue;
            }
        }
        *keep++ = marker;
    }
    active_.erase(keep, active_.end());
}

void PatternView::TakeMarkerPictures(std::vector<MarkerPicture>* pictures) const
{
    pictures->clear();
    for (const StepNoteMarker* marker : active_)
    {
        if (marker->state == StepNoteMarker::kIdle || marker->keyArea != area_) continue;
        // The paint fades released markers by one step before it draws them.
        int fade = marker->fade;
        if (marker->state == StepNoteMarker::kReleased && (fade += kFadeStep) > kFadeMax) continue;
        pictures->push_back(MarkerPicture{MarkerBox(*marker), MarkerFrame(fade)});
    }
}

void PatternView::CollectMarkerChanges() const
{
    // The other areas' changes show with the whole repaint that switching areas makes.
    collected_ = collected_.Union(markerChanges_[static_cast<size_t>(area_)]).Union(removedArea_);
    markerChanges_.fill(IRectangle());
    removedArea_ = IRectangle();
    TakeMarkerPictures(&probeMarkers_);
}

StepNoteMarker PatternView::GetMarker(int area, int step, int note) const
{
    if (!ValidMarker(area, step, note)) return StepNoteMarker();
    std::lock_guard<std::mutex> lock(markerLock_);
    return markers_[static_cast<size_t>(MarkerIndex(area, step, note))];
}

int PatternView::ActiveMarkerCount() const
{
    std::lock_guard<std::mutex> lock(markerLock_);
    return static_cast<int>(active_.size());
}

int PatternView::MarkerFrame(int fade) const
{
    // The strip's frames spread over the fade 0..127: frame 1 while sounding,
    // the last frame just before the marker goes.
    const int frames = markerStrip_.FrameCount();
    const int f = std::clamp(fade, 0, kFadeMax);
    return 1 + f * (frames - 1) / kFadeMax;
}

IRectangle PatternView::MarkerBox(const StepNoteMarker& marker) const
{
    const int band = kGridHeight - kMarkerInset; // 107
    const int y = band - static_cast<int>(std::round(static_cast<double>(band) / kHighestNote * marker.note));
    const int x = gridX_ + kColumnWidth * marker.step;
    return IRectangle(x, gridTop_ + y, x + kCellWidth, gridTop_ + y + kMarkerHeight);
}
