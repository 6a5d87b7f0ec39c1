#include "gui/IControl.h"

#include <algorithm>
#include <cmath>

#include "framework/IParameter.h"
#include "framework/IEffectBase.h"
#include "gui/IGraphics.h"
#include "gui/IPopupMenu.h"

namespace {
constexpr double kWheelStep = 0.01;
constexpr double kFineWheelStep = 0.001;
}  // namespace

IControl::IControl(IEffectBase* plug, const IRectangle& rect, int parameterIndex, const IBlendSpec& blend)
    : plug_(plug), rect_(rect), hitRect_(rect), blend_(blend), parameterIndex_(parameterIndex) {
  if (parameterIndex >= 0 && plug != nullptr) {
    parameter_ = plug->GetParameter(parameterIndex);
    // The base operation on purpose: a derived part is not constructed at this point.
    if (parameter_ != nullptr) IControl::ReceiveValue(parameter_->GetNormalizedValue());
  }
}

IControl::~IControl() { delete ownMenu_; }

ITextStyle& IControl::GetTextStyle() {
  if (textStyle_ == nullptr) textStyle_ = std::make_unique<ITextStyle>();
  return *textStyle_;
}

const ITextStyle& IControl::GetTextStyle() const {
  static const ITextStyle kDefault;
  return textStyle_ != nullptr ? *textStyle_ : kDefault;
}

IEffectBase* PlugOf(IGraphics* graphics) { return graphics != nullptr ? graphics->GetPlug() : nullptr; }

// ---- virtual operations ----------------------------------------------------------------------------

void IControl::ParseEnteredText(const char* /*text*/, int* /*value*/) {}

void IControl::OnPopupMenuChosen(IPopupMenu* /*menu*/) {}

void IControl::OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers) {
  NotifyMouseEvent(x, y, IObserverInterface::kMouseDown, modifiers);
  if (modifiers.right && parameterIndex_ >= 0 && promptsDisabled_ == 0) {
    PromptForParameter(x, y, parameterIndex_);
    redraw_ = 1;
  }
}

void IControl::OnMouseButtonUp(int x, int y, const IMouseModifiers& modifiers) {
  NotifyMouseEvent(x, y, IObserverInterface::kMouseUp, modifiers);
}

void IControl::OnMouseDragged(int /*x*/, int /*y*/, int /*dx*/, int /*dy*/, const IMouseModifiers& /*modifiers*/) {}

void IControl::OnMouseDoubleClicked(int x, int y, const IMouseModifiers& modifiers) {
  NotifyMouseEvent(x, y, IObserverInterface::kMouseDoubleClick, modifiers);
  if (defaultValue_ >= 0.0) {
    value_ = defaultValue_;
    MarkChanged(true);
  }
}

void IControl::OnMouseWheelTurned(int /*x*/, int /*y*/, const IMouseModifiers& modifiers, int notches) {
  const double step = modifiers.shift || modifiers.control ? kFineWheelStep : kWheelStep;
  value_ += notches * step;
  MarkChanged(true);
}

bool IControl::OnKeyPressed(int /*x*/, int /*y*/, int /*key*/) { return false; }

void IControl::OnMouseHover(int /*x*/, int /*y*/, const IMouseModifiers& /*modifiers*/) {}

void IControl::OnMouseLeft() {}

void IControl::ReceiveValue(double value) {
  if (!std::isfinite(value)) return;
  if (defaultValue_ < 0.0) {
    value_ = value;
    defaultValue_ = value;
    return;
  }
  if (value != value_) {
    value_ = value;
    MarkChanged(false);
    redraw_ = 1;
  }
}

IRectangle IControl::GetRectangle() const { return rect_; }

IRectangle IControl::GetInvalidRectangle() const { return rect_; }

void IControl::Hide(bool hide) {
  hidden_ = hide ? 1 : 0;
  redraw_ = 1;
  MarkChanged(false);
}

void IControl::SetGreyed(bool grey) {
  greyed_ = grey ? 1 : 0;
  blend_.weight = grey ? kGreyedWeight : 1.0f;
  MarkChanged(false);
}

bool IControl::ContainsPoint(int x, int y) const { return !hitRect_.IsEmpty() && hitRect_.Contains(x, y); }

void IControl::MarkChanged(bool informPlug) {
  if (std::isnan(value_) || value_ < clampLow_) {
    value_ = clampLow_;
  } else if (value_ > clampHigh_) {
    value_ = clampHigh_;
  }
  dirty_ = 1;
  SetChanged(true);
  if (informPlug && plug_ != nullptr && parameterIndex_ >= 0) plug_->SetParameterFromGUI(parameterIndex_, value_);
}

void IControl::MarkDrawn() {
  dirty_ = redraw_;
  redraw_ = 0;
}

bool IControl::NeedsRedraw() const { return dirty_ != 0; }

// ---- value changes and prompts -------------------------------------------------------------------

void IControl::SetValueByUser(double v) {
  if (v == value_) return;
  value_ = v;
  MarkChanged(true);
  redraw_ = 1;
}

void IControl::PromptForParameter(int x, int y, int index) {
  if (plug_ == nullptr) return;
  IParameter* parameter = plug_->GetParameter(index);
  if (parameter == nullptr) return;
  ShowValuePrompt(parameter, GetPromptRectangle(x, y));
}

void IControl::OpenValuePrompt(int x, int y) {
  if (parameterIndex_ < 0 || promptsDisabled_ != 0) return;
  PromptForParameter(x, y, parameterIndex_);
  redraw_ = 1;
}

void IControl::OpenMenuParameterPrompt(int x, int y) {
  if (menuParameterIndex_ < 0 || promptsDisabled_ != 0) return;
  PromptForParameter(x, y, menuParameterIndex_);
  redraw_ = 1;
}

void IControl::OpenCentredValuePrompt() {
  if (parameterIndex_ < 0 || promptsDisabled_ != 0) return;
  if (parameter_ != nullptr) ShowValuePrompt(parameter_, GetCentredPromptRectangle());
  redraw_ = 1;
}

bool IControl::IsMenuParameter(const IParameter* parameter) const {
  const IParameter* menuParameter = plug_ != nullptr ? plug_->GetParameter(menuParameterIndex_) : nullptr;
  return parameter == menuParameter;
}

void IControl::SendMenuChoiceToPlug(double normalisedValue, int x, int y) {
  if (plug_ == nullptr) return;
  plug_->SetParameterFromGUIPrompt(listIndex_, parameterIndex_, menuParameterIndex_, normalisedValue, x, y);
}

IRectangle IControl::GetPromptRectangle(int x, int y) const {
  IRectangle rect = rect_;
  if (clickSetsLeft_ != 0) rect.left = x;
  if (clickSetsBottom_ != 0) rect.bottom = y;
  return rect;
}

IRectangle IControl::GetCentredPromptRectangle() const {
  const bool number = textEntry_ != 0 || parameter_ == nullptr || parameter_->CountValueTexts() == 0;
  if (!number) return rect_;
  // The sums are taken in 64 bits so that rectangles near the coordinate limits cannot overflow.
  const int32_t centreX = static_cast<int32_t>((static_cast<int64_t>(rect_.left) + rect_.right) / 2);
  const int32_t centreY = static_cast<int32_t>((static_cast<int64_t>(rect_.top) + rect_.bottom) / 2);
  return {centreX - kCentredPromptWidth / 2, centreY - kCentredPromptHeight / 2, centreX + kCentredPromptWidth / 2,
          centreY + kCentredPromptHeight / 2};
}

// ---- fields ----------------------------------------------------------------------------------------

void IControl::SetClamp(double low, double high) {
  if (!(low == low) || !(high == high)) return;  // not a number: keep the range
  low = std::clamp(low, 0.0, 1.0);
  high = std::clamp(high, 0.0, 1.0);
  if (low > high) std::swap(low, high);
  clampLow_ = low;
  clampHigh_ = high;
}

void IControl::SetOwnMenu(IPopupMenu* menu) {
  if (menu == ownMenu_) return;
  delete ownMenu_;
  ownMenu_ = menu;
}

void IControl::ShowValuePrompt(IParameter* parameter, const IRectangle& rect) {
  // The plug-in's editor object opens the prompt; a plug-in without one (or with an editor that is
  // not this toolkit's) shows nothing.
  if (plug_ == nullptr) return;
  if (auto* graphics = dynamic_cast<IGraphics*>(plug_->GetEditor())) graphics->PromptForValue(this, parameter, rect);
}
