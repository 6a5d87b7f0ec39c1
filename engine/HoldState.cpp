#include "engine/HoldState.h"

#include <algorithm>

namespace
{
bool AnyDown(const std::vector<HoldState::Key>& keys)
{
    return std::any_of(keys.begin(), keys.end(), [](const HoldState::Key& k) { return k.down; });
}

HoldState::Key* FindKey(std::vector<HoldState::Key>& keys, int note)
{
    for (HoldState::Key& k : keys)
        if (k.note == note) return &k;
    return nullptr;
}

bool Contains(const std::vector<HoldState::Key>& keys, int note)
{
    return std::any_of(keys.begin(), keys.end(), [note](const HoldState::Key& k) { return k.note == note; });
}

void Upsert(std::vector<HoldState::Key>& keys, int note, int velocity)
{
    if (HoldState::Key* k = FindKey(keys, note))
    {
        k->velocity = velocity;
        k->down = true;
    }
    else
        keys.push_back({note, velocity, true});
}
} // namespace

bool HoldState::Add(int note, int velocity)
{
    if (phase_ == kCollecting)
    {
        if (!AnyDown(collect_)) collect_.clear();
        Upsert(collect_, note, velocity);
        return false;
    }
    if (!chord_.empty() && !AnyDown(chord_))
    {
        phase_ = kCollecting;
        collect_.clear();
        collect_.push_back({note, velocity, true});
        if (keep_ && !full_)
        {
            remembered_ = chord_;
            full_ = true;
        }
        return false;
    }
    Upsert(chord_, note, velocity);
    phase_ = kPlaying;
    return true;
}

bool HoldState::Release(int note)
{
    bool known = false;
    if (Key* k = FindKey(chord_, note))
    {
        k->down = false;
        known = true;
    }
    if (Key* k = FindKey(collect_, note))
    {
        k->down = false;
        known = true;
    }
    return known;
}

bool HoldState::Remove(int note)
{
    const auto same = [note](const Key& k) { return k.note == note; };
    const size_t before = chord_.size() + collect_.size();
    chord_.erase(std::remove_if(chord_.begin(), chord_.end(), same), chord_.end());
    collect_.erase(std::remove_if(collect_.begin(), collect_.end(), same), collect_.end());
    return chord_.size() + collect_.size() != before;
}

bool HoldState::AnyChordKeyDown() const
{
    return AnyDown(chord_);
}

bool HoldState::InCollect(int note) const
{
    return Contains(collect_, note);
}

bool HoldState::InChord(int note) const
{
    return Contains(chord_, note);
}

HoldState::HoldState()
{
    constexpr size_t kNotes = 128;
    chord_.reserve(kNotes);
    collect_.reserve(kNotes);
    remembered_.reserve(kNotes);
}

void HoldState::TakeCollected()
{
    chord_ = collect_;
    collect_.clear();
    phase_ = chord_.empty() ? kIdle : kPlaying;
}

void HoldState::Clear()
{
    chord_.clear();
    collect_.clear();
    remembered_.clear();
    full_ = false;
    phase_ = kIdle;
}

void HoldState::SetKeep(bool keep)
{
    keep_ = keep;
    remembered_.clear();
    full_ = false;
}

void HoldState::SetChord(const std::vector<Key>& keys)
{
    chord_ = keys;
    collect_.clear();
    phase_ = chord_.empty() ? kIdle : kPlaying;
}
