#include "views/SceneView.h"

#include "engine/KeyAreaList.h"
#include "engine/PatternEngine.h"
#include "gui/IGraphics.h"
#include "gui/OptionalPlugLock.h"

#include <algorithm>

namespace
{
constexpr IColorARGB kPlayingCell(100, 132, 174, 225);
constexpr IColorARGB kLengthBar(255, 112, 154, 225);
constexpr IColorARGB kTick(100, 0, 0, 0);
} // namespace

SceneView::SceneView(IEffectBase* plug, const IRectangle& rect, int parameterIndex,
                     const IBitmapStrip& /*strip*/, KeyAreaList* keyAreas)
    : IControl(plug, rect, parameterIndex, IBlendSpec(IBlendSpec::kMethodAlphaCopy, 1.0f)),
      keyAreas_(keyAreas)
{
    // NeedsRedraw also answers from the scenes switch and from the engine.
    SetAlwaysPolled(true);
    SetCapturesModel(true);
}

int SceneView::SceneEnd() const
{
    const PatternEngine* engine = Engine();
    if (engine == nullptr) return kCells - 1;
    return std::clamp(engine->GetSceneEnd(), 0, kCells - 1);
}

PatternEngine* SceneView::Engine() const
{
    return keyAreas_ != nullptr ? keyAreas_->GetArea(area_) : nullptr;
}

void SceneView::SetKeyArea(int area)
{
    if (area < 0 || area >= KeyAreaList::kAreaCount) return;
    area_ = area;
    IControl::MarkChanged(false);
}

int SceneView::CellAt(int x) const
{
    const int offset = x - GetRect().left - 2;
    if (offset < 0)
        return offset > -kCellWidth ? 0 : -1; // division toward zero: the first two pixels are cell 0
    const int c = offset / kCellWidth;
    return c < kCells ? c : -1;
}

void SceneView::OnMouseButtonDown(int x, int /*y*/, const IMouseModifiers& /*modifiers*/)
{
    IControl::MarkChanged(false);
    const int c = CellAt(x);
    PatternEngine* engine = Engine();
    if (c < 0 || engine == nullptr) return;
    EditLock lock(GetPlug());
    engine->SetSceneEnd(c);
}

void SceneView::SetScenesOn(bool on)
{
    if (on != scenesOn_) IControl::MarkChanged(false);
    scenesOn_ = on;
}

bool SceneView::NeedsRedraw() const
{
    probe_ = ReadModel();
    probed_ = true;
    return IsDirty() || scenesOn_ || !paintedValid_ || !(probe_ == painted_);
}

SceneView::ModelCopy SceneView::ReadModel() const
{
    ModelCopy model;
    const PatternEngine* engine = Engine();
    model.hasEngine = engine != nullptr;
    if (engine == nullptr) return model;
    model.end = SceneEnd();
    model.running = engine->IsSceneEnabled() && engine->IsRunning();
    if (!model.running) return model; // no playing cell to show
    model.playing = std::clamp(engine->GetSceneIndex(), 0, kCells - 1);
    model.playingNow = engine->IsPlaying();
    return model;
}

void SceneView::CaptureModel()
{
    model_ = probed_ ? probe_ : ReadModel();
    probed_ = false;
}

bool SceneView::Paint(IGraphics* graphics)
{
    painted_ = model_;
    paintedValid_ = true;
    if (!model_.hasEngine) return false;
    const IRectangle& r = GetRect();
    const int end = model_.end;
    const int playing = model_.playing;
    if (model_.running && (blink_ < kBlinkOn || model_.playingNow))
    {
        const int x = r.left + kCellWidth * playing;
        graphics->PaintRectangle(kPlayingCell, IRectangle(x + 2, r.top + 2, x + 19, r.bottom - 15));
    }
    graphics->PaintRectangle(
        kLengthBar, IRectangle(r.left + 2, r.bottom - 10, r.left + 19 + kCellWidth * end, r.bottom - 8));
    const int tickX = r.left + kCellWidth * end + 17;
    graphics->PaintRectangle(kTick, IRectangle(tickX, r.bottom - 10, tickX + 1, r.bottom - 9));

    blink_ = blink_ + 1 >= kBlinkCycle ? 0 : blink_ + 1;
    return true;
}
