// IMouseModifiers: the buttons and keys held with a mouse event. A plain record.
#pragma once

struct IMouseModifiers
{
    bool left = false;
    bool right = false;
    bool shift = false;
    bool control = false;
    bool alt = false;

    constexpr IMouseModifiers() = default;
    constexpr IMouseModifiers(bool l, bool r, bool s = false, bool c = false, bool a = false)
        : left(l), right(r), shift(s), control(c), alt(a)
    {
    }
};
