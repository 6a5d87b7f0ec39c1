// IParameterShape: the part of a parameter's definition that many parameters have in common (type,
// range, step, curve, default, display decimals, unit label). Tens of thousands of parameters use
// about a hundred distinct shapes, so a parameter points at a shared, immutable shape instead of
// holding its own copy.
//
// ShareParameterShape returns the one shared record equal to a shape, made on first request. Shapes
// live until the process ends: they come from the plug-ins' own definitions (a few hundred at
// most, whatever a host sends), and a plain pointer costs a parameter half of a counted one and
// no counting when thousands are defined. Equality is bytewise (0.0 and -0.0 differ, a NaN equals
// the same NaN), so a parameter reads back exactly the numbers it was given.
// Thread-safe: any thread may ask for shapes; a shape never changes once shared.
#pragma once

#include <cstdint>

struct IParameterShape
{
    static constexpr int kTextSize = 32;

    int32_t type = 0;
    int32_t displayDecimals = 0;
    double minimum = 0.0;
    double maximum = 1.0;
    double step = 1.0;
    double curve = 1.0;
    double defaultValue = 0.0;
    char unitLabel[kTextSize] = {}; // always terminated, unused bytes zero
};

// The shared record equal to shape (bytewise); never null.
const IParameterShape* ShareParameterShape(const IParameterShape& shape);
