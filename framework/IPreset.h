// IPreset: one entry of the plug-in's fixed preset list: a name (at most 255 characters), a flag
// that says whether it holds values, and its parameter block. Non-copyable.
#pragma once

#include "framework/IStateChunk.h"
#include "framework/IString.h"
#include "framework/PtrList.h"

class IPreset
{
public:
    static constexpr int kMaxNameLength = 255;

    IPreset() : name_(128) { name_.Set("empty"); }
    IPreset(const IPreset&) = delete;
    IPreset& operator=(const IPreset&) = delete;

    bool IsInitialised() const { return initialised_; }
    void SetInitialised(bool on) { initialised_ = on; }
    const char* GetName() const { return name_.Get(); }
    // Takes at most 255 characters; null gives "".
    void SetName(const char* name) { name_.Set(name, kMaxNameLength); }
    IStateChunk& Block() { return block_; }
    const IStateChunk& Block() const { return block_; }

private:
    bool initialised_ = false;
    IString name_;
    IStateChunk block_;
};

// "user preset N" with N one more than the number of presets whose names contain "user preset"
// (the result may repeat a name already in the list). Writes into out (always terminated).
void MakeUserPresetName(const PtrList<IPreset>& presets, char* out, int outSize);
