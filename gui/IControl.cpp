#include "gui/IControl.h"

#include <algorithm>
#include <cmath>

#include "framework/IEffectBase.h"
#include "framework/IParameter.h"
#include "gui/IGraphics.h"
#include "gui/IPopupMenu.h"

namespace
{
constexpr double kWheelStep = 0.01;
constexpr double kFineWheelStep = 0.001;
} // namespace

IControl::IControl(IEffectBase* plug, const IRectangle& rect, int parameterIndex, const IBlendSpec& blend)
    : plug_(plug), rect_(rect), hitRect_(rect), blend_(blend), parameterIndex_(parameterIndex)
{
    if (parameterIndex >= 0 && plug != nullptr)
    {
        parameter_ = plug->GetParameter(parameterIndex);
        // The base operation on purpose: a derived part is not constructed at this point.
        if (parameter_ != nullptr) IControl::ReceiveValue(parameter_->GetNormalizedValue());
    }
}

IControl::~IControl()
{
    delete ownMenu_;
}

ITextStyle& IControl::GetTextStyle()
{
    if (textStyle_ == nullptr) textStyle_ = std::make_unique<ITextStyle>();
    return *textStyle_;
}

const ITextStyle& IControl::GetTextStyle() const
{
    static const ITextStyle kDefault;
    return textStyle_ != nullptr ? *textStyle_ : kDefault;
}

IEffectBase* PlugOf(IGraphics* graphics)
{
    return graphics != nullptr ? graphics->GetPlug() : nullptr;
}

// ---- virtual operations ----------------------------------------------------------------------------

void IControl::ParseEnteredText(const char* /*text*/, int* /*value*/) {}

void IControl::OnPopupMenuChosen(IPopupMenu* /*menu*/) {}

void IControl::OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers)
{
    NotifyMouseEvent(x, y, IObserverInterface::kMouseDown, modifiers);
    if (modifiers.right && parameterIndex_ >= 0 && promptsDisabled_ == 0)
    {
        PromptForParameter(x, y, parameterIndex_);
        RequestRedraw();
    }
}

void IControl::OnMouseButtonUp(int x, int y, const IMouseModifiers& modifiers)
{
    NotifyMouseEvent(x, y, IObserverInterface::kMouseUp, modifiers);
}

void IControl::OnMouseDragged(int /*x*/, int /*y*/, int /*dx*/, int /*dy*/,
                              const IMouseModifiers& /*modifiers*/)
{
}

void IControl::OnMouseDoubleClicked(int x, int y, const IMouseModifiers& modifiers)
{
    NotifyMouseEvent(x, y, IObserverInterface::kMouseDoubleClick, modifiers);
    if (defaultValue_ >= 0.0)
    {
        value_ = defaultValue_;
        MarkChanged(true);
    }
}

void IControl::OnMouseWheelTurned(int /*x*/, int /*y*/, const IMouseModifiers& modifiers, int notches)
{
    const double step = modifiers.shift || modifiers.control ? kFineWheelStep : kWheelStep;
    value_ += notches * step;
    MarkChanged(true);
}

bool IControl::OnKeyPressed(int /*x*/, int /*y*/, int /*key*/)
{
    return false;
}

void IControl::OnInputTakenAsPress(int x, int y, const IMouseModifiers& modifiers, bool /*fromKey*/)
{
    OnMouseButtonDown(x, y, modifiers);
}

void IControl::OnMouseHover(int /*x*/, int /*y*/, const IMouseModifiers& /*modifiers*/) {}

void IControl::OnMouseLeft() {}

void IControl::ReceiveValue(double value)
{
    if (!std::isfinite(value)) return;
    if (PostsFromThisThread())
    {
        // The value the control will have once the editor applies the change.
        const double current = GetValue();
        if (defaultValue_ >= 0.0 && value == current) return;
        postedValue_ = defaultValue_ < 0.0 ? value : Clamped(value);
        hasPostedValue_ = 1;
    }
    if (RouteChange(IGraphics::kPostReceiveValue, value)) return;
    if (defaultValue_ < 0.0)
    {
        value_ = value;
        defaultValue_ = value;
        return;
    }
    if (value != value_)
    {
        value_ = value;
        MarkChanged(false);
        RequestRedraw();
    }
}

IRectangle IControl::GetRectangle() const
{
    return rect_;
}

IRectangle IControl::GetInvalidRectangle() const
{
    return rect_;
}

IRectangle IControl::AddInvalidParts(std::vector<IRectangle>* parts) const
{
    const IRectangle invalid = GetInvalidRectangle();
    if (!invalid.IsEmpty()) parts->push_back(invalid);
    return invalid;
}

void IControl::Hide(bool hide)
{
    if (PostsFromThisThread())
    {
        postedHidden_ = hide ? 1 : 0;
        hasPostedHidden_ = 1;
    }
    if (RouteChange(IGraphics::kPostHide, hide ? 1.0 : 0.0)) return;
    // A control drawn and then hidden leaves its pixels on the screen; one shown again paints itself.
    leftBehind_ = hide && (leftBehind_ != 0 || (hidden_ == 0 && drawn_ != 0)) ? 1 : 0;
    if (hide) drawn_ = 0;
    hidden_ = hide ? 1 : 0;
    if (owner_ != nullptr) owner_->NoteVisibility(this);
    RequestRedraw();
    MarkChanged(false);
}

void IControl::SetGreyed(bool grey)
{
    if (RouteChange(IGraphics::kPostGreyed, grey ? 1.0 : 0.0)) return;
    greyed_ = grey ? 1 : 0;
    blend_.weight = grey ? kGreyedWeight : 1.0f;
    MarkChanged(false);
}

bool IControl::ContainsPoint(int x, int y) const
{
    return !hitRect_.IsEmpty() && hitRect_.Contains(x, y);
}

double IControl::Clamped(double value) const
{
    if (std::isnan(value) || value < clampLow_) return clampLow_;
    return value > clampHigh_ ? clampHigh_ : value;
}

void IControl::MarkChanged(bool informPlug)
{
    if (PostsFromThisThread())
    {
        // The plug-in follows at once; the control when the editor applies the change.
        const double value = Clamped(GetValue());
        postedValue_ = value;
        hasPostedValue_ = 1;
        RouteChange(IGraphics::kPostMarkChanged, 0.0);
        if (informPlug && plug_ != nullptr && parameterIndex_ >= 0)
            plug_->SetParameterFromGUI(parameterIndex_, value);
        return;
    }
    // No posted change is applied here: the caller may have set the value just before. This is the
    // editor's thread (or no window is open), so the changed set is reached directly.
    value_ = Clamped(value_);
    dirty_ = 1;
    if (owner_ != nullptr) owner_->NotePending(this);
    SetChanged(true);
    if (informPlug && plug_ != nullptr && parameterIndex_ >= 0)
        plug_->SetParameterFromGUI(parameterIndex_, value_);
}

IRectangle IControl::TakeAreaLeftBehind()
{
    if (leftBehind_ == 0) return IRectangle();
    leftBehind_ = 0;
    return GetRectangle();
}

void IControl::MarkDrawn()
{
    dirty_ = redraw_;
    redraw_ = 0;
}

void IControl::SetDirty()
{
    dirty_ = 1;
    NotePending();
}

void IControl::RequestRedraw()
{
    if (RouteChange(IGraphics::kPostRedraw, 0.0)) return;
    redraw_ = 1;
    NotePending();
}

void IControl::SetAlwaysPolled(bool on)
{
    alwaysPolled_ = on ? 1 : 0;
    NotePending();
}

void IControl::NotePending()
{
    if (owner_ == nullptr) return;
    if (owner_->MustPost())
    {
        owner_->PostChange(this, IGraphics::kPostPending, 0.0);
    }
    else
    {
        owner_->NotePending(this);
    }
}

bool IControl::PostsFromThisThread() const
{
    return owner_ != nullptr && owner_->MustPost();
}

bool IControl::RouteChange(int kind, double value)
{
    if (owner_ == nullptr) return false;
    if (owner_->MustPost())
    {
        owner_->PostChange(this, kind, value);
        return true;
    }
    if (owner_->HasPostedChanges()) owner_->ApplyPostedChanges();
    return false;
}

void IControl::ApplyPosted(int kind, double value)
{
    switch (kind)
    {
    case IGraphics::kPostReceiveValue:
        ReceiveValue(value);
        break;
    case IGraphics::kPostUserValue:
        if (value != value_)
        {
            value_ = value;
            MarkChanged(false);
            RequestRedraw();
        }
        break;
    case IGraphics::kPostHide:
        IControl::Hide(value != 0.0);
        break;
    case IGraphics::kPostGreyed:
        IControl::SetGreyed(value != 0.0);
        break;
    case IGraphics::kPostMarkChanged:
        MarkChanged(false);
        break;
    case IGraphics::kPostRedraw:
        RequestRedraw();
        break;
    case IGraphics::kPostPending:
        NotePending();
        break;
    default:
        break;
    }
}

bool IControl::NeedsRedraw() const
{
    return dirty_ != 0;
}

// ---- value changes and prompts -------------------------------------------------------------------

void IControl::SetValueByUser(double v)
{
    if (PostsFromThisThread())
    {
        if (v == GetValue()) return;
        // The control follows when the editor applies the change; the parameter, the host and the
        // change handler follow now, with the value limited as MarkChanged limits it.
        const double value = Clamped(v);
        postedValue_ = value;
        hasPostedValue_ = 1;
        RouteChange(IGraphics::kPostUserValue, v);
        if (plug_ != nullptr && parameterIndex_ >= 0) plug_->SetParameterFromGUI(parameterIndex_, value);
        return;
    }
    if (v == GetValue()) return;
    if (owner_ != nullptr && owner_->HasPostedChanges()) owner_->ApplyPostedChanges();
    if (v == value_) return;
    value_ = v;
    MarkChanged(true);
    RequestRedraw();
}

void IControl::PromptForParameter(int x, int y, int index)
{
    if (plug_ == nullptr) return;
    IParameter* parameter = plug_->GetParameter(index);
    if (parameter == nullptr) return;
    ShowValuePrompt(parameter, GetPromptRectangle(x, y));
}

void IControl::OpenValuePrompt(int x, int y)
{
    if (parameterIndex_ < 0 || promptsDisabled_ != 0) return;
    PromptForParameter(x, y, parameterIndex_);
    RequestRedraw();
}

void IControl::OpenMenuParameterPrompt(int x, int y)
{
    if (menuParameterIndex_ < 0 || promptsDisabled_ != 0) return;
    PromptForParameter(x, y, menuParameterIndex_);
    RequestRedraw();
}

void IControl::OpenCentredValuePrompt()
{
    if (parameterIndex_ < 0 || promptsDisabled_ != 0) return;
    if (parameter_ != nullptr) ShowValuePrompt(parameter_, GetCentredPromptRectangle());
    RequestRedraw();
}

bool IControl::IsMenuParameter(const IParameter* parameter) const
{
    const IParameter* menuParameter = plug_ != nullptr ? plug_->GetParameter(menuParameterIndex_) : nullptr;
    return parameter == menuParameter;
}

void IControl::SendMenuChoiceToPlug(double normalisedValue, int x, int y)
{
    if (plug_ == nullptr) return;
    plug_->SetParameterFromGUIPrompt(listIndex_, parameterIndex_, menuParameterIndex_, normalisedValue, x, y);
}

IRectangle IControl::GetPromptRectangle(int x, int y) const
{
    IRectangle rect = rect_;
    if (clickSetsLeft_ != 0) rect.left = x;
    if (clickSetsBottom_ != 0) rect.bottom = y;
    return rect;
}

IRectangle IControl::GetCentredPromptRectangle() const
{
    const bool number = textEntry_ != 0 || parameter_ == nullptr || parameter_->CountValueTexts() == 0;
    if (!number) return rect_;
    // The sums are taken in 64 bits so that rectangles near the coordinate limits cannot overflow.
    const int32_t centreX = static_cast<int32_t>((static_cast<int64_t>(rect_.left) + rect_.right) / 2);
    const int32_t centreY = static_cast<int32_t>((static_cast<int64_t>(rect_.top) + rect_.bottom) / 2);
    return {centreX - kCentredPromptWidth / 2, centreY - kCentredPromptHeight / 2,
            centreX + kCentredPromptWidth / 2, centreY + kCentredPromptHeight / 2};
}

// ---- fields ----------------------------------------------------------------------------------------

void IControl::SetClamp(double low, double high)
{
    if (!(low == low) || !(high == high)) return; // not a number: keep the range
    low = std::clamp(low, 0.0, 1.0);
    high = std::clamp(high, 0.0, 1.0);
    if (low > high) std::swap(low, high);
    clampLow_ = low;
    clampHigh_ = high;
}

void IControl::SetOwnMenu(IPopupMenu* menu)
{
    if (menu == ownMenu_) return;
    delete ownMenu_;
    ownMenu_ = menu;
}

void IControl::ShowValuePrompt(IParameter* parameter, const IRectangle& rect)
{
    // The plug-in's editor object opens the prompt; a plug-in without one (or with an editor that is
    // not this toolkit's) shows nothing.
    if (plug_ == nullptr) return;
    if (auto* graphics = dynamic_cast<IGraphics*>(plug_->GetEditor()))
        graphics->PromptForValue(this, parameter, rect);
}
