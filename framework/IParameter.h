// IParameter: one typed plug-in parameter (bool, int, enum or double) with its range, step,
// curve, texts and display texts, and the mapping between its own value and the normalised 0..1
// value that crosses the host interface and the controls.
//
//   normalised -> value: minimum + (maximum - minimum) x n^curve, then (non-double types) rounded to
//                        the nearest multiple of step counted from 0 (halves up), then min(v, maximum)
//   value -> normalised: ((clamp(v) - minimum) / (maximum - minimum))^(1 / curve)
//
// Normalised inputs outside 0..1 are limited to 0..1 and NaN counts as 0, so the value stays in
// minimum..maximum whatever a host sends. Texts keep at most 31 characters.
//
// Storage: a plug-in has tens of thousands of parameters that differ mostly in name and value, so
// a parameter keeps those two and its flags itself and points at a shared shape (IParameterShape:
// type, range, step, curve, default, decimals, unit label) and a display-text table that
// parameters with the same texts share (ShareValueTextsOf; the table is copied when one of them
// adds a text).
// Not thread-safe; the plug-in calls it under its lock. Non-copyable.
#pragma once

#include <atomic>
#include <cstdint>

#include "framework/IParameterShape.h"

struct IValueText
{
    int32_t value;
    char text[32];
};

class IParameter
{
public:
    enum Type
    {
        kTypeNone = 0,
        kTypeBool = 1,
        kTypeInt = 2,
        kTypeEnum = 3,
        kTypeDouble = 4
    };
    static constexpr int kTextSize = 32;

    IParameter();
    ~IParameter();
    IParameter(const IParameter&) = delete;
    IParameter& operator=(const IParameter&) = delete;

    // Defines a double parameter (the type is kept when one is already set). maximum becomes
    // max(minimum + step, maximum); the display decimals are the number of times step must be
    // multiplied by 10 to become whole (at most 32).
    void DefineDouble(const char* name, double defaultValue, double minimum, double maximum, double step,
                      const char* unitLabel = "");
    // Integer parameter with step 1.
    void DefineInt(const char* name, int defaultValue, int minimum, int maximum, const char* unitLabel = "");
    // Enumeration 0..count-1; display texts are added with AddValueText.
    void DefineEnum(const char* name, int defaultValue, int count);
    // 0/1 with the display texts "off" and "on".
    void DefineBool(const char* name, bool defaultValue);

    void AddValueText(int value, const char* text);
    // This parameter's display texts become other's: the same entries, in one shared table.
    void ShareValueTextsOf(const IParameter& other);
    int CountValueTexts() const;
    // Text of the first entry with this value, or "".
    const char* GetValueText(int value) const;
    // Text and value of entry i; "" and value untouched when i is out of range.
    const char* GetValueTextAt(int i, int* value) const;
    // Value of the first entry whose text equals text exactly (case-sensitive); false when none.
    bool FindValueForText(const char* text, int* value) const;

    const char* GetName() const { return name_; }
    const char* GetUnitLabel() const { return shape_->unitLabel; }
    // Parameters belong to no group here: always "".
    const char* GetGroupName() const { return ""; }
    void GetRange(double* minimum, double* maximum) const;

    int GetType() const { return shape_->type; }
    double Value() const { return value_; }
    // Raw assignment, no limiting (the framework and the plug-in write values they checked).
    void SetValue(double v)
    {
        value_ = v;
        NoteWrite();
    }
    // How many times any parameter's value or shape was written in this module: a reader that
    // sees the same count twice knows that no value or default changed in between. Any thread.
    static uint64_t WriteCount() { return writes_.load(std::memory_order_acquire); }
    // Assigns v limited to minimum..maximum; a non-finite v leaves the value as it is.
    void SetLimitedValue(double v);
    double GetMinimum() const { return shape_->minimum; }
    double GetMaximum() const { return shape_->maximum; }
    double GetStep() const { return shape_->step; }
    double GetCurve() const { return shape_->curve; }
    double GetDefault() const { return shape_->defaultValue; }
    int GetDisplayDecimals() const { return shape_->displayDecimals; }

    bool IsNotAutomated() const { return notAutomated_ != 0; }
    void SetNotAutomated(bool on) { notAutomated_ = on ? 1 : 0; }
    bool IsKeptOutOfPresetLoads() const { return keptOutOfPresetLoads_ != 0; }
    void SetKeptOutOfPresetLoads(bool on) { keptOutOfPresetLoads_ = on ? 1 : 0; }
    bool IsDisplayNegated() const { return negateDisplay_ != 0; }
    void SetDisplayNegated(bool on) { negateDisplay_ = on ? 1 : 0; }

    // See the mapping above.
    void SetNormalizedValue(double n);
    double Normalize(double v) const;
    double GetNormalizedValue() const { return Normalize(value_); }
    // minimum + range x n^curve, without rounding or limiting (n itself is limited to 0..1).
    double Denormalize(double n) const;
    // Nearest multiple of step (from 0, halves up) for non-double types; doubles unchanged.
    double RoundToStep(double v) const;
    // Sets the curve exponent; exactly 0 is ignored.
    void SetCurve(double curve);

    // Writes the display text of v (a normalised value when isNormalised) into text (textSize
    // bytes, always terminated): the value text of trunc(v) when useValueTexts and one exists and
    // is not empty; else the number (negated when display negation is on) with "%d" of trunc(v)
    // for 0 decimals or with the display decimals.
    void FormatValue(double v, bool isNormalised, char* text, int textSize, bool useValueTexts) const;

private:
    struct ValueTextTable; // shared, counted by its users

    // Replaces the shape with the shared one equal to shape.
    void Reshape(const IParameterShape& shape);
    // The definitions above: type is taken only when none is set yet.
    void Define(int type, const char* name, double defaultValue, double minimum, double maximum, double step,
                const char* unitLabel);

    void NoteWrite() { writes_.fetch_add(1, std::memory_order_release); }

    static inline std::atomic<uint64_t> writes_{0};
    double value_ = 0.0;
    const IParameterShape* shape_;         // shared, never null
    ValueTextTable* valueTexts_ = nullptr; // null while there are none; shared between parameters
    char name_[kTextSize] = {};
    uint8_t keptOutOfPresetLoads_ = 0;
    uint8_t notAutomated_ = 0;
    uint8_t negateDisplay_ = 0;
};
