#include "framework/IParameter.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

void CopyText(char (&dest)[IParameter::kTextSize], const char* text) {
  std::snprintf(dest, sizeof dest, "%s", text != nullptr ? text : "");
}

double LimitNormalized(double n) {
  if (!(n >= 0.0)) return 0.0;  // also NaN
  return n > 1.0 ? 1.0 : n;
}

// trunc(v) as an int, saturating; NaN gives 0.
int TruncateToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(v);
}

// Growth step of a parameter's display-text table. Most tables hold two to eight texts, and a
// plug-in has tens of thousands of parameters: a page-sized step would cost about 4 KB for each
// table that has texts at all (14 MB for this plug-in), so the table grows in small steps.
constexpr int kValueTextGranularity = 64;

}  // namespace

IParameter::IParameter() : valueTexts_(kValueTextGranularity) {}

IParameter::~IParameter() = default;

void IParameter::DefineDouble(const char* name, double defaultValue, double minimum, double maximum, double step,
                              const char* unitLabel) {
  if (type_ == kTypeNone) type_ = kTypeDouble;
  CopyText(name_, name);
  CopyText(unitLabel_, unitLabel);
  group_[0] = 0;
  minimum_ = minimum;
  value_ = defaultValue;
  defaultValue_ = defaultValue;
  step_ = step;
  maximum_ = std::max(minimum + step, maximum);
  int decimals = 0;
  for (double s = step; decimals < 32 && s != std::floor(s); s *= 10.0) ++decimals;
  displayDecimals_ = decimals;
}

void IParameter::DefineInt(const char* name, int defaultValue, int minimum, int maximum, const char* unitLabel) {
  if (type_ == kTypeNone) type_ = kTypeInt;
  DefineDouble(name, defaultValue, minimum, maximum, 1.0, unitLabel);
}

void IParameter::DefineEnum(const char* name, int defaultValue, int count) {
  if (type_ == kTypeNone) type_ = kTypeEnum;
  DefineDouble(name, defaultValue, 0.0, count - 1.0, 1.0, "");
}

void IParameter::DefineBool(const char* name, bool defaultValue) {
  if (type_ == kTypeNone) type_ = kTypeBool;
  DefineDouble(name, defaultValue ? 1.0 : 0.0, 0.0, 1.0, 1.0, "");
  AddValueText(0, "off");
  AddValueText(1, "on");
}

void IParameter::AddValueText(int value, const char* text) {
  const int count = CountValueTexts();
  const int wanted = (count + 1) * static_cast<int>(sizeof(IValueText));
  valueTexts_.SetSize(wanted, false);
  if (valueTexts_.Size() != wanted) return;
  IValueText& entry = static_cast<IValueText*>(valueTexts_.Data())[count];
  entry.value = value;
  std::snprintf(entry.text, sizeof entry.text, "%s", text != nullptr ? text : "");
}

int IParameter::CountValueTexts() const { return valueTexts_.Size() / static_cast<int>(sizeof(IValueText)); }

const char* IParameter::GetValueText(int value) const {
  const IValueText* texts = Texts();
  for (int i = 0, n = CountValueTexts(); i < n; ++i) {
    if (texts[i].value == value) return texts[i].text;
  }
  return "";
}

const char* IParameter::GetValueTextAt(int i, int* value) const {
  if (i < 0 || i >= CountValueTexts()) return "";
  if (value != nullptr) *value = Texts()[i].value;
  return Texts()[i].text;
}

bool IParameter::FindValueForText(const char* text, int* value) const {
  if (text == nullptr) return false;
  const IValueText* texts = Texts();
  for (int i = 0, n = CountValueTexts(); i < n; ++i) {
    if (std::strcmp(texts[i].text, text) == 0) {
      if (value != nullptr) *value = texts[i].value;
      return true;
    }
  }
  return false;
}

void IParameter::GetRange(double* minimum, double* maximum) const {
  if (minimum != nullptr) *minimum = minimum_;
  if (maximum != nullptr) *maximum = maximum_;
}

void IParameter::SetLimitedValue(double v) {
  if (!std::isfinite(v)) return;
  value_ = std::clamp(v, minimum_, std::max(minimum_, maximum_));
}

double IParameter::RoundToStep(double v) const {
  if (type_ == kTypeDouble || !(step_ > 0.0)) return v;
  return std::floor(v / step_ + 0.5) * step_;
}

void IParameter::SetNormalizedValue(double n) {
  const double v = RoundToStep(Denormalize(n));
  value_ = std::min(v, maximum_);
}

double IParameter::Denormalize(double n) const {
  // pow(x, 1) is x exactly; most parameters are linear, and this runs for every parameter of a state.
  const double shaped = curve_ == 1.0 ? LimitNormalized(n) : std::pow(LimitNormalized(n), curve_);
  return minimum_ + (maximum_ - minimum_) * shaped;
}

double IParameter::Normalize(double v) const {
  const double range = maximum_ - minimum_;
  if (!(range > 0.0)) return 0.0;
  if (std::isnan(v)) v = minimum_;
  v = std::clamp(v, minimum_, maximum_);
  const double n = (v - minimum_) / range;
  return curve_ == 1.0 ? n : std::pow(n, 1.0 / curve_);
}

void IParameter::SetCurve(double curve) {
  if (curve != 0.0) curve_ = curve;
}

void IParameter::FormatValue(double v, bool isNormalised, char* text, int textSize, bool useValueTexts) const {
  if (text == nullptr || textSize <= 0) return;
  if (isNormalised) v = Denormalize(v);
  if (useValueTexts && CountValueTexts() > 0 && std::isfinite(v)) {
    const char* valueText = GetValueText(TruncateToInt(v));
    if (valueText[0] != 0) {
      std::snprintf(text, static_cast<size_t>(textSize), "%s", valueText);
      return;
    }
  }
  if (negateDisplay_) v = -v;
  if (displayDecimals_ == 0) {
    std::snprintf(text, static_cast<size_t>(textSize), "%d", TruncateToInt(v));
  } else {
    std::snprintf(text, static_cast<size_t>(textSize), "%.*f", displayDecimals_, v);
  }
}
