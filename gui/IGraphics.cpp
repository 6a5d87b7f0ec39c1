// IGraphics: construction, the control list, the parameter road, painting and value prompts.
// Caches: IGraphicsCaches.cpp; drawing: IGraphicsDrawing.cpp; input: IGraphicsInput.cpp.
#include "gui/IGraphics.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "framework/IEffectBase.h"
#include "framework/IParameter.h"
#include "graphics/DibBitmap.h"
#include "graphics/Fill.h"
#include "graphics/MemoryBitmap.h"
#include "gui/IBitmapControl.h"
#include "gui/IControl.h"
#include "gui/IPopupMenu.h"
#include "gui/OptionalPlugLock.h"

namespace
{

// Line alignment (in pixels) of the scratch bitmap.
constexpr int32_t kScratchLineAlign = 4;
// Growth step of the control list (the plug-in adds tens of thousands of controls).
constexpr int kControlListGranularity = 4096;

} // namespace

// ---- construction ----------------------------------------------------------------------------------

IGraphics::IGraphics(IEffectBase* plug, int width, int height, int framesPerSecond)
    : controls_(kControlListGranularity), plug_(plug), width_(width), height_(height),
      framesPerSecond_(framesPerSecond > 0 ? framesPerSecond : kDefaultFramesPerSecond)
{
}

IGraphics::~IGraphics()
{
    DiscardPostedChanges();
    delete keyCatcher_;
    keyCatcher_ = nullptr;
    controls_.DeleteAll();
    DeleteDrawing();
}

void IGraphics::DeleteDrawing()
{
    delete drawing_;
    drawing_ = nullptr;
    delete scratch_;
    scratch_ = nullptr;
}

// ---- window-layer operations with a base behaviour -----------------------------------------------

bool IGraphics::MeasureStyledText(ITextStyle* style, const char* text, IRectangle* rect)
{
    return DrawStyledText(style, text, rect, true);
}

void IGraphics::SetEditorSize(int width, int height)
{
    if (OffEditorThread()) return;
    width_ = width;
    height_ = height;
    captured_ = hovered_ = lastX_ = lastY_ = -1;
    DeleteDrawing();
    PrepareDrawing();
    if (plug_ != nullptr) plug_->ResizeEditor();
}

bool IGraphics::IsWindowOpen()
{
    return GetWindowHandle() != nullptr;
}

const char* IGraphics::GetGuiApiName()
{
    return "";
}

// ---- IEffectEditor -------------------------------------------------------------------------------------

void IGraphics::PrepareDrawing()
{
    if (OffEditorThread()) return;
    DeleteDrawing();
    drawing_ = new DibBitmap(width_, height_);
    scratch_ = new MemoryBitmap(0, 0, kScratchLineAlign);
    paintClip_ = IRectangle(0, 0, width_, height_);
}

void IGraphics::UpdateParameterControls(int index, double value, bool isNormalised)
{
    if (!isNormalised)
    {
        const IParameter* parameter = plug_ != nullptr ? plug_->GetParameter(index) : nullptr;
        if (parameter == nullptr) return;
        value = parameter->Normalize(value);
    }
    if (byParameterStale_) RebuildParameterIndex();
    if (index < 0 || index + 1 >= static_cast<int>(byParameterStart_.size())) return;
    for (int i = byParameterStart_[index]; i < byParameterStart_[index + 1]; ++i)
    {
        byParameterControls_[i]->ReceiveValue(value);
    }
}

void IGraphics::UpdateParameterControlsBlock(int first, int count, const double* normalised)
{
    // A thread that must post, and changes waiting to be applied first, take the single updates.
    if (MustPost() || HasPostedChanges())
    {
        IEffectEditor::UpdateParameterControlsBlock(first, count, normalised);
        return;
    }
    if (byParameterStale_) RebuildParameterIndex();
    const int end = std::min(first + count, static_cast<int>(byParameterStart_.size()) - 1);
    if (first < 0 || first >= end) return;
    // How many controls ahead are fetched: enough to overlap their cache misses.
    constexpr int kAhead = 16;
    const int endControl = byParameterStart_[static_cast<size_t>(end)];
    int index = first;
    for (int i = byParameterStart_[static_cast<size_t>(first)]; i < endControl; ++i)
    {
        if (i + kAhead < endControl) byParameterControls_[static_cast<size_t>(i + kAhead)]->PrefetchValue();
        while (byParameterStart_[static_cast<size_t>(index) + 1] <= i)
            ++index;
        IControl* control = byParameterControls_[static_cast<size_t>(i)];
        const double value = normalised[index - first];
        if (!control->HoldsValue(value)) control->ReceiveValue(value);
    }
}

void IGraphics::RebuildParameterIndex()
{
    int highest = -1;
    for (int i = 0; i < controls_.Count(); ++i)
        highest = std::max(highest, controls_.Get(i)->GetParameterIndex());
    byParameterStart_.assign(static_cast<size_t>(highest) + 2, 0);
    for (int i = 0; i < controls_.Count(); ++i)
    {
        const int p = controls_.Get(i)->GetParameterIndex();
        if (p >= 0) ++byParameterStart_[static_cast<size_t>(p) + 1];
    }
    for (size_t p = 1; p < byParameterStart_.size(); ++p)
        byParameterStart_[p] += byParameterStart_[p - 1];
    byParameterControls_.assign(static_cast<size_t>(byParameterStart_.back()), nullptr);
    std::vector<int> next(byParameterStart_.begin(), byParameterStart_.end() - 1);
    for (int i = 0; i < controls_.Count(); ++i)
    {
        IControl* control = controls_.Get(i);
        const int p = control->GetParameterIndex();
        if (p >= 0) byParameterControls_[static_cast<size_t>(next[static_cast<size_t>(p)]++)] = control;
    }
    byParameterStale_ = false;
}

void IGraphics::RefreshParameterControls()
{
    for (int i = 0; i < controls_.Count(); ++i)
    {
        IControl* control = controls_.Get(i);
        const IParameter* parameter = control->GetParameter();
        if (parameter != nullptr) control->ReceiveValue(parameter->GetNormalizedValue());
    }
}

// ---- control list --------------------------------------------------------------------------------------

int IGraphics::AddControl(IControl* control)
{
    if (control == nullptr || controls_.Add(control) == nullptr) return -1;
    byParameterStale_ = true;
    const int index = controls_.Count() - 1;
    control->SetListIndex(index);
    control->SetOwner(this);
    if (control->IsDirty() || control->IsRedrawPending() || control->IsAlwaysPolled()) NotePending(control);
    NoteVisibility(control);
    return index;
}

bool IGraphics::AttachBackgroundBitmap(int resourceId, const char* name)
{
    const IBitmapStrip strip = LoadBitmapResource(resourceId, name, 1);
    auto* background = new IBitmapControl(plug_, 0, 0, strip, IBlendSpec::kMethodCopy);
    if (controls_.InsertAt(0, background) == nullptr)
    {
        delete background;
        return false;
    }
    byParameterStale_ = true;
    background->SetOwner(this);
    for (int i = 0; i < controls_.Count(); ++i)
        controls_.Get(i)->SetListIndex(i);
    RebuildControlSets();
    return true;
}

void IGraphics::MarkAllControlsChanged()
{
    for (int i = 0; i < controls_.Count(); ++i)
        controls_.Get(i)->MarkChanged(false);
}

void IGraphics::ReleaseMouseCapture()
{
    captured_ = -1;
    lastX_ = -1;
}

void IGraphics::SetKeyCatcherControl(IControl* control)
{
    if (control == keyCatcher_) return;
    delete keyCatcher_;
    keyCatcher_ = control;
}

void IGraphics::SetStrictPaint(bool strict)
{
    strictPaint_ = strict;
    MarkAllControlsChanged();
}

void IGraphics::SetParameterControlsGreyed(int index, bool grey)
{
    for (int i = 0; i < controls_.Count(); ++i)
    {
        IControl* control = controls_.Get(i);
        if (control->GetParameterIndex() == index) control->SetGreyed(grey);
    }
}

void IGraphics::SetParameterControlsHidden(int index, bool hide)
{
    for (int i = 0; i < controls_.Count(); ++i)
    {
        IControl* control = controls_.Get(i);
        if (control->GetParameterIndex() == index) control->Hide(hide);
    }
}

void IGraphics::SetParameterControlsValue(int index, double normalisedValue)
{
    for (int i = 0; i < controls_.Count(); ++i)
    {
        IControl* control = controls_.Get(i);
        if (control->GetParameterIndex() == index) control->SetValueByUser(normalisedValue);
    }
}

void IGraphics::ClampParameterControls(int index, double low, double high)
{
    for (int i = 0; i < controls_.Count(); ++i)
    {
        IControl* control = controls_.Get(i);
        if (control->GetParameterIndex() == index) control->SetClamp(low, high);
    }
}

int IGraphics::FindControlAt(int x, int y) const
{
    return HitSearch(x, y, false);
}

int IGraphics::TakeLastClickedParameter()
{
    const int index = lastClickedParameter_;
    lastClickedParameter_ = -1;
    return index;
}

uint32_t IGraphics::GetPixelColor(int x, int y)
{
    return OffEditorThread() ? 0 : ReadPixel(drawing_, x, y);
}

const char* IGraphics::LoadTextResource(int id, const char* name)
{
    return FindTextResource(id, name);
}

// ---- paint ----------------------------------------------------------------------------------------------

bool IGraphics::PaintArea(const IRectangle& rect)
{
    if (OffEditorThread()) return false;
    // An editor without controls still presents, so that the window's update region is validated.
    IRectangle area = rect;
    if (controls_.Count() > 0)
    {
        // Strict paints draw each control the area meets, and only the background is cut to the area:
        // the area first takes in what those controls draw, so that nothing is drawn over itself.
        if (strictPaint_)
        {
            CoverWholeControls(&area);
            CaptureModelsFor(area);
        }
        painting_ = true;
        if (fullScan_)
        {
            PaintControlsFullScan(area);
        }
        else
        {
            PaintControlsFromSets(area);
        }
        painting_ = false;
        capturedForPaint_.clear();
    }
    return PresentBackBuffer(area);
}

// ---- value prompts ----------------------------------------------------------------------------------------

double IGraphics::LockedValue(const IParameter* parameter) const
{
    OptionalPlugLock lock(plug_);
    return parameter->Value();
}

void IGraphics::PromptForValue(IControl* control, IParameter* parameter, const IRectangle& rect)
{
    if (control == nullptr || parameter == nullptr || rect.IsEmpty()) return;
    // A host or preset thread may set the parameter meanwhile (under the plug lock, which is not
    // held while the prompt waits for the user).
    const double shown = LockedValue(parameter);

    if (control->UsesTextEntry())
    {
        char text[IParameter::kTextSize];
        parameter->FormatValue(shown, false, text, sizeof text, false);
        ShowTextEntry(control, control->GetTextStyle(), rect, text, parameter);
        return;
    }

    IPopupMenu* menu = control->GetOwnMenu();
    IPopupMenu* temporary = nullptr;
    if (menu == nullptr)
    {
        temporary = new IPopupMenu();
        char current[IParameter::kTextSize];
        parameter->FormatValue(shown, false, current, sizeof current, true);
        const int count = parameter->CountValueTexts();
        for (int value = 0; value < count; ++value)
        {
            const char* text = parameter->GetValueText(value);
            temporary->AddTextItem(
                text, -1, std::strcmp(text, current) == 0 ? uint32_t{IPopupMenuEntry::kChecked} : 0u);
        }
        menu = temporary;
    }

    if (ShowPopupMenu(menu, rect) != nullptr)
    {
        const double chosen = parameter->Normalize(menu->GetChosenIndex() - 1);
        if (control->HasCustomMenuResult())
        {
            control->OnPopupMenuChosen(menu);
        }
        else if (control->IsMenuParameter(parameter))
        {
            control->SendMenuChoiceToPlug(chosen, rect.left, rect.bottom);
        }
        else
        {
            control->SetValueByUser(chosen);
        }
    }
    delete temporary;
}

void IGraphics::ApplyEnteredText(IControl* control, IParameter* parameter, const char* text)
{
    if (control == nullptr || parameter == nullptr || text == nullptr) return;
    double value = 0.0;
    if (control->HasOwnTextParser())
    {
        // The parser starts from the current value, so text it cannot read leaves the value as it was.
        const double current = std::trunc(LockedValue(parameter));
        int parsed =
            std::isfinite(current) ? static_cast<int>(std::clamp(current, -2147483648.0, 2147483647.0)) : 0;
        control->ParseEnteredText(text, &parsed);
        value = parsed;
    }
    else if (parameter->GetType() == IParameter::kTypeBool || parameter->GetType() == IParameter::kTypeEnum)
    {
        int found = 0;
        if (parameter->FindValueForText(text, &found)) value = found;
    }
    else
    {
        // A text that holds no number (empty, or only signs and note letters) leaves the value as it
        // was rather than setting the parameter to 0.
        char* end = nullptr;
        value = std::strtod(text, &end);
        if (end == text || !std::isfinite(value)) return;
        if (parameter->IsDisplayNegated()) value = -value;
    }
    control->SetValueByUser(parameter->Normalize(value));
}
