#include "framework/IPreset.h"

#include <cstdio>
#include <cstring>

void MakeUserPresetName(const PtrList<IPreset>& presets, char* out, int outSize)
{
    if (out == nullptr || outSize <= 0) return;
    static const char kBase[] = "user preset";
    int count = 0;
    for (int i = 0; i < presets.Count(); ++i)
    {
        const IPreset* preset = presets.Get(i);
        if (preset != nullptr && std::strstr(preset->GetName(), kBase) != nullptr) ++count;
    }
    std::snprintf(out, static_cast<size_t>(outSize), "%s %d", kBase, count + 1);
}
