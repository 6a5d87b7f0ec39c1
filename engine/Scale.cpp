#include "engine/Scale.h"

#include <algorithm>

namespace
{
constexpr int kSteps = ScaleTable::kSteps;

int LimitNote(long long note)
{
    return static_cast<int>(std::clamp<long long>(note, 0, 127));
}
} // namespace

Scale::Scale()
{
    SetScale(0);
}

bool Scale::SetRoot(int rotation)
{
    if (rotation < 0 || rotation >= kSteps) return false;
    rotation_ = rotation;
    SetScale(index_);
    return true;
}

bool Scale::SetScale(int index)
{
    if (index == kNoScale)
    {
        index_ = index;
        return true;
    }
    const ScaleTable::Mask* mask = ScaleTable::GetMask(index);
    if (mask == nullptr) return false;
    index_ = index;
    mask_ = *mask;
    RebuildRotatedMask();
    return true;
}

bool Scale::SetBaseNote(int key)
{
    if (key < 0 || key >= kSteps) return false;
    key_ = key;
    RebuildRotatedMask();
    return true;
}

void Scale::RebuildRotatedMask()
{
    for (int i = 0; i < kSteps; ++i)
        rotated_[static_cast<size_t>(i)] = mask_[static_cast<size_t>((rotation_ + i) % kSteps)];
}

int Scale::Position(long long note) const
{
    // A floor modulo: equal to (pitch class - key) wrapped once for notes
    // 0..127, and still inside the mask for notes below 0.
    const long long p = ((note - key_) % kSteps + kSteps) % kSteps;
    return static_cast<int>(p);
}

bool Scale::Contains(int note) const
{
    return index_ == kNoScale || rotated_[static_cast<size_t>(Position(note))] == 1;
}

int Scale::MoveByDegrees(int note, int degrees) const
{
    if (index_ == kNoScale) return LimitNote(static_cast<long long>(note) + degrees);

    int perOctave = 0;
    for (int v : rotated_)
        perOctave += v;

    // Whole octaves pass exactly perOctave scale notes each; skipping them
    // first keeps the walk short whatever the degree count.
    long long d = degrees;
    long long c = 0;
    int k = Position(note);
    if (d >= 0)
    {
        const long long octaves = d / perOctave;
        d -= octaves * perOctave;
        c += octaves * kSteps;
        for (;;)
        {
            if (rotated_[static_cast<size_t>(k)] == 1)
            {
                if (d == 0) break;
                --d;
            }
            ++c;
            k = (k + 1) % kSteps;
        }
    }
    else
    {
        const long long octaves = -d / perOctave;
        d += octaves * perOctave;
        c -= octaves * kSteps;
        for (;;)
        {
            if (rotated_[static_cast<size_t>(k)] == 1)
            {
                if (d >= 0) break;
                ++d;
            }
            --c;
            k = (k + kSteps - 1) % kSteps;
        }
    }
    return LimitNote(note + c);
}

int Scale::Quantize(int note, int offset) const
{
    const long long t = static_cast<long long>(note) + offset;
    if (index_ == kNoScale) return LimitNote(t);
    int k = Position(t);
    int c = 0;
    while (rotated_[static_cast<size_t>(k)] != 1 && c < kSteps)
    {
        ++c;
        k = (k + 1) % kSteps;
    }
    return LimitNote(t + c);
}
