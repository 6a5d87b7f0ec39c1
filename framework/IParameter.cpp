#include "framework/IParameter.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace
{

// Copies text (null counts as "") cut to size - 1 characters, terminated.
void CopyText(char* dest, size_t size, const char* text)
{
    const size_t n = text != nullptr ? strnlen(text, size - 1) : 0;
    if (n > 0) std::memcpy(dest, text, n);
    dest[n] = 0;
}

double LimitNormalized(double n)
{
    if (!(n >= 0.0)) return 0.0; // also NaN
    return n > 1.0 ? 1.0 : n;
}

// trunc(v) as an int, saturating; NaN gives 0.
int TruncateToInt(double v)
{
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

// The shape of a freshly made parameter: no type, 0..1, step 1, linear, default 0.
const IParameterShape* FreshShape()
{
    static const IParameterShape* const fresh = ShareParameterShape(IParameterShape());
    return fresh;
}

bool SameShape(const IParameterShape& a, const IParameterShape& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

struct IParameter::ValueTextTable
{
    std::atomic<int> users{1};
    std::vector<IValueText> entries;

    static void Release(ValueTextTable* table)
    {
        if (table != nullptr && table->users.fetch_sub(1, std::memory_order_acq_rel) == 1) delete table;
    }
};

IParameter::IParameter() : shape_(FreshShape()) {}

IParameter::~IParameter()
{
    ValueTextTable::Release(valueTexts_);
}

void IParameter::Reshape(const IParameterShape& shape)
{
    if (SameShape(*shape_, shape)) return;
    NoteWrite();
    // Parameters are defined in runs of a kind: the shapes used last are tried before the pool.
    constexpr int kRecent = 4;
    thread_local const IParameterShape* recent[kRecent] = {};
    thread_local int next = 0;
    for (const IParameterShape* r : recent)
    {
        if (r != nullptr && SameShape(*r, shape))
        {
            shape_ = r;
            return;
        }
    }
    shape_ = ShareParameterShape(shape);
    recent[next] = shape_;
    next = (next + 1) % kRecent;
}

void IParameter::Define(int type, const char* name, double defaultValue, double minimum, double maximum,
                        double step, const char* unitLabel)
{
    IParameterShape shape = *shape_;
    if (shape.type == kTypeNone) shape.type = type;
    CopyText(name_, sizeof name_, name);
    std::memset(shape.unitLabel, 0, sizeof shape.unitLabel);
    CopyText(shape.unitLabel, sizeof shape.unitLabel, unitLabel);
    shape.minimum = minimum;
    value_ = defaultValue;
    NoteWrite();
    shape.defaultValue = defaultValue;
    shape.step = step;
    shape.maximum = std::max(minimum + step, maximum);
    int decimals = 0;
    for (double s = step; decimals < 32 && s != std::floor(s); s *= 10.0)
        ++decimals;
    shape.displayDecimals = decimals;
    Reshape(shape);
}

void IParameter::DefineDouble(const char* name, double defaultValue, double minimum, double maximum,
                              double step, const char* unitLabel)
{
    Define(kTypeDouble, name, defaultValue, minimum, maximum, step, unitLabel);
}

void IParameter::DefineInt(const char* name, int defaultValue, int minimum, int maximum,
                           const char* unitLabel)
{
    Define(kTypeInt, name, defaultValue, minimum, maximum, 1.0, unitLabel);
}

void IParameter::DefineEnum(const char* name, int defaultValue, int count)
{
    Define(kTypeEnum, name, defaultValue, 0.0, count - 1.0, 1.0, "");
}

void IParameter::DefineBool(const char* name, bool defaultValue)
{
    Define(kTypeBool, name, defaultValue ? 1.0 : 0.0, 0.0, 1.0, 1.0, "");
    AddValueText(0, "off");
    AddValueText(1, "on");
}

void IParameter::AddValueText(int value, const char* text)
{
    // A table other parameters share is copied first: they keep their texts.
    if (valueTexts_ == nullptr || valueTexts_->users.load(std::memory_order_acquire) > 1)
    {
        auto* own = new ValueTextTable();
        if (valueTexts_ != nullptr) own->entries = valueTexts_->entries;
        ValueTextTable::Release(valueTexts_);
        valueTexts_ = own;
    }
    IValueText entry{};
    entry.value = value;
    CopyText(entry.text, sizeof entry.text, text);
    valueTexts_->entries.push_back(entry);
}

void IParameter::ShareValueTextsOf(const IParameter& other)
{
    if (other.valueTexts_ == valueTexts_) return;
    if (other.valueTexts_ != nullptr) other.valueTexts_->users.fetch_add(1, std::memory_order_relaxed);
    ValueTextTable::Release(valueTexts_);
    valueTexts_ = other.valueTexts_;
}

int IParameter::CountValueTexts() const
{
    return valueTexts_ != nullptr ? static_cast<int>(valueTexts_->entries.size()) : 0;
}

const char* IParameter::GetValueText(int value) const
{
    const IValueText* texts = valueTexts_ != nullptr ? valueTexts_->entries.data() : nullptr;
    for (int i = 0, n = CountValueTexts(); i < n; ++i)
    {
        if (texts[i].value == value) return texts[i].text;
    }
    return "";
}

const char* IParameter::GetValueTextAt(int i, int* value) const
{
    if (i < 0 || i >= CountValueTexts()) return "";
    if (value != nullptr) *value = valueTexts_->entries[i].value;
    return valueTexts_->entries[i].text;
}

bool IParameter::FindValueForText(const char* text, int* value) const
{
    if (text == nullptr) return false;
    const IValueText* texts = valueTexts_ != nullptr ? valueTexts_->entries.data() : nullptr;
    for (int i = 0, n = CountValueTexts(); i < n; ++i)
    {
        if (std::strcmp(texts[i].text, text) == 0)
        {
            if (value != nullptr) *value = texts[i].value;
            return true;
        }
    }
    return false;
}

void IParameter::GetRange(double* minimum, double* maximum) const
{
    if (minimum != nullptr) *minimum = shape_->minimum;
    if (maximum != nullptr) *maximum = shape_->maximum;
}

void IParameter::SetLimitedValue(double v)
{
    if (!std::isfinite(v)) return;
    value_ = std::clamp(v, shape_->minimum, std::max(shape_->minimum, shape_->maximum));
    NoteWrite();
}

double IParameter::RoundToStep(double v) const
{
    if (shape_->type == kTypeDouble || !(shape_->step > 0.0)) return v;
    return std::floor(v / shape_->step + 0.5) * shape_->step;
}

void IParameter::SetNormalizedValue(double n)
{
    const double v = RoundToStep(Denormalize(n));
    value_ = std::min(v, shape_->maximum);
    NoteWrite();
}

double IParameter::Denormalize(double n) const
{
    const IParameterShape& shape = *shape_;
    // pow(x, 1) is x exactly; most parameters are linear, and this runs for every parameter of a state.
    const double shaped = shape.curve == 1.0 ? LimitNormalized(n) : std::pow(LimitNormalized(n), shape.curve);
    return shape.minimum + (shape.maximum - shape.minimum) * shaped;
}

double IParameter::Normalize(double v) const
{
    const IParameterShape& shape = *shape_;
    const double range = shape.maximum - shape.minimum;
    if (!(range > 0.0)) return 0.0;
    if (std::isnan(v)) v = shape.minimum;
    v = std::clamp(v, shape.minimum, shape.maximum);
    const double n = (v - shape.minimum) / range;
    return shape.curve == 1.0 ? n : std::pow(n, 1.0 / shape.curve);
}

void IParameter::SetCurve(double curve)
{
    if (curve == 0.0) return;
    IParameterShape shape = *shape_;
    shape.curve = curve;
    Reshape(shape);
}

void IParameter::FormatValue(double v, bool isNormalised, char* text, int textSize, bool useValueTexts) const
{
    if (text == nullptr || textSize <= 0) return;
    if (isNormalised) v = Denormalize(v);
    if (useValueTexts && CountValueTexts() > 0 && std::isfinite(v))
    {
        const char* valueText = GetValueText(TruncateToInt(v));
        if (valueText[0] != 0)
        {
            std::snprintf(text, static_cast<size_t>(textSize), "%s", valueText);
            return;
        }
    }
    if (negateDisplay_) v = -v;
    if (shape_->displayDecimals == 0)
    {
        std::snprintf(text, static_cast<size_t>(textSize), "%d", TruncateToInt(v));
    }
    else
    {
        std::snprintf(text, static_cast<size_t>(textSize), "%.*f", shape_->displayDecimals, v);
    }
}
