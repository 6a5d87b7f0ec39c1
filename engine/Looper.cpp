#include "engine/Looper.h"

#include <algorithm>

namespace
{
const char* const kModeNames[Looper::kModeCount] = {"Up", "Down", "Up Alt", "Down Alt"};
} // namespace

const char* Looper::ModeName(int mode)
{
    return mode >= 0 && mode < kModeCount ? kModeNames[mode] : nullptr;
}

Looper::Looper(int loopEnd) : loopEnd_(std::clamp(loopEnd, 1, kMaxPositions)) {}

void Looper::Reset()
{
    peeked_ = -1;
    started_ = false;
    if (IsForwardMode())
    {
        direction_ = 0;
        current_ = loopStart_;
    }
    else
    {
        direction_ = 1;
        current_ = loopEnd_ - 1;
    }
}

bool Looper::SetMode(int mode)
{
    if (mode < 0 || mode >= kModeCount) return false;
    mode_ = static_cast<unsigned>(mode);
    Looper::Reset();
    return true;
}

int Looper::WrapIndex(int index, unsigned& direction) const
{
    const int last = loopEnd_ - 1;
    if (index > last)
    {
        if (IsBouncing())
        {
            direction = 1;
            index -= 2;
        }
        else if (mode_ == kDown)
            index = last;
        else
            index = index - loopEnd_ + loopStart_; // the overshoot carries over
    }
    if (index < 0 || index < loopStart_)
    {
        if (IsBouncing())
        {
            direction = 0;
            index += 2;
        }
        else if (mode_ == kDown)
            index = last;
        else
            index = loopStart_;
        if (index < 0) index = loopStart_;
    }
    if (index > last) index = last;
    return index;
}

bool Looper::Advance()
{
    started_ = true;
    const int index = current_ + (direction_ == 0 ? 1 : -1);
    const bool out = index > loopEnd_ - 1 || index < 0 || index < loopStart_;
    current_ = WrapIndex(index, direction_);
    return out;
}

int Looper::PeekNext()
{
    if (peeked_ != current_)
    {
        peeked_ = current_;
        return current_;
    }
    // A look ahead: the direction a bounce would turn to is not kept.
    unsigned direction = direction_;
    peeked_ = WrapIndex(current_ + (direction_ == 0 ? 1 : -1), direction);
    return peeked_;
}

bool Looper::WouldLeaveRange()
{
    started_ = true;
    const int index = current_ + (direction_ == 0 ? 1 : -1);
    return index > loopEnd_ - 1 || index < loopStart_ || index < 0;
}

void Looper::SetLoopRange(int start, int end)
{
    SetLoopStart(start);
    SetLoopEnd(end);
}

void Looper::SetLoopStart(int start)
{
    loopStart_ = std::clamp(start, 0, kMaxPositions - 1);
    if (loopEnd_ <= loopStart_) loopEnd_ = loopStart_ + 1;
}

void Looper::SetLoopEnd(int end)
{
    loopEnd_ = std::clamp(end, loopStart_ + 1, kMaxPositions);
}

void Looper::SetPosition(int index)
{
    current_ = std::clamp(index, 0, kMaxPositions - 1);
}

ControlLooper::ControlLooper() : Looper(kMaxPositions)
{
    Reset();
}
