// IEffectBase: presets and the parameter and preset blocks.
//
// Parameter block: one 8-byte little-endian double per parameter, in index order, all parameters.
// Preset block, per preset: u32 name length, name bytes, u8 initialised, then the preset's
// parameter block when initialised.
#include <cstring>

#include "framework/IEffectBase.h"
#include "framework/Trace.h"

bool IEffectBase::SerializeParams(IStateChunk* chunk)
{
    if (chunk == nullptr) return false;
    IEffectLockGuard guard(plugLock_);
    const int count = NParameters();
    const int oldSize = chunk->Size();
    const int64_t newSize = static_cast<int64_t>(oldSize) + static_cast<int64_t>(count) * 8;
    if (newSize > INT32_MAX) return false;
    if (count > 0)
    {
        chunk->SetSizeZeroFilled(static_cast<int>(newSize));
        if (chunk->Size() != newSize) return false;
        uint8_t* out = chunk->MutableData() + oldSize;
        for (int i = 0; i < count; ++i)
        {
            const double value = GetParameter(i)->Value();
            std::memcpy(out + static_cast<size_t>(i) * 8, &value, 8);
        }
    }
    return chunk->Size() > 0;
}

int IEffectBase::UnserializeParams(const IStateChunk* chunk, int pos, bool skipKept)
{
    IEffectLockGuard guard(plugLock_);
    if (chunk == nullptr) pos = -1;
    const int count = NParameters();
    for (int i = 0; i < count && pos != -1; ++i)
    {
        double value = 0.0; // what a read past the end gives
        pos = chunk->Get(&value, pos);
        IParameter* parameter = GetParameter(i);
        if (!(skipKept && parameter->IsKeptOutOfPresetLoads())) ReadParameterValue(parameter, value);
    }
    for (int i = 0; i < count; ++i)
        OnParameterChanged(i);
    ResetProcessing();
    return pos;
}

bool IEffectBase::SerializePresets(IStateChunk* chunk)
{
    if (chunk == nullptr) return false;
    for (int i = 0; i < NPresets(); ++i)
    {
        const IPreset* preset = GetPreset(i);
        chunk->AppendString(preset->GetName());
        chunk->Put<uint8_t>(preset->IsInitialised() ? 1 : 0);
        if (preset->IsInitialised()) chunk->AppendChunk(preset->Block());
    }
    return true;
}

int IEffectBase::UnserializePresets(const IStateChunk* chunk, int pos)
{
    if (chunk == nullptr) return -1;
    IString name(128);
    for (int i = 0; i < NPresets() && pos != -1; ++i)
    {
        IPreset* preset = GetPreset(i);
        pos = chunk->GetString(&name, pos);
        if (pos == -1) break;
        preset->SetName(name.Get());
        uint8_t initialised = 0;
        pos = chunk->Get(&initialised, pos);
        if (pos == -1) break;
        preset->SetInitialised(initialised != 0);
        if (preset->IsInitialised())
        {
            pos = UnserializeParams(chunk, pos, false);
            if (pos > 0)
            {
                preset->Block().Clear();
                SerializeParams(&preset->Block());
            }
        }
    }
    LoadPreset(currentPreset_);
    return pos;
}

void IEffectBase::FillPresets(const char* name, int count)
{
    for (int k = 0; k < count; ++k)
    {
        IPreset* target = nullptr;
        for (int i = 0; i < NPresets() && target == nullptr; ++i)
        {
            if (!GetPreset(i)->IsInitialised()) target = GetPreset(i);
        }
        if (target == nullptr) return;
        target->SetInitialised(true);
        target->SetName(name != nullptr ? name : "Empty");
        target->Block().Clear();
        SerializeParams(&target->Block());
    }
}

bool IEffectBase::LoadPreset(int i)
{
    IPreset* preset = GetPreset(i);
    if (preset == nullptr) return false;
    bool ok;
    if (!preset->IsInitialised())
    {
        preset->SetInitialised(true);
        char name[64];
        MakeUserPresetName(presets_, name, sizeof name);
        preset->SetName(name);
        preset->Block().Clear();
        ok = SerializeParams(&preset->Block());
    }
    else
    {
        ok = UnserializeParams(&preset->Block(), 0, false) > 0;
    }
    if (ok)
    {
        currentPreset_ = i;
        OnHostRenamedPreset();
        RedrawParameterControls();
    }
    return ok;
}

void IEffectBase::ModifyCurrentPreset(const char* name)
{
    IPreset* preset = GetPreset(currentPreset_);
    if (preset == nullptr) return;
    preset->Block().Clear();
    SerializeParams(&preset->Block());
    TracePoint("IEffectBase::ModifyCurrentPreset", __LINE__, "%d %s", currentPreset_,
               name != nullptr ? name : "");
    if (name != nullptr && name[0] != 0) preset->SetName(name);
}

const char* IEffectBase::GetPresetName(int i) const
{
    const IPreset* preset = GetPreset(i);
    return preset != nullptr ? preset->GetName() : "";
}
